#!/bin/bash
# Builds norvale and runs it in a window; installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages cmake make g++ libsdl1.2-dev
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
# The program itself says nothing when it has no window.
if [ -z "${DISPLAY:-}" ] && [ -z "${SDL_VIDEODRIVER:-}" ]; then
    echo "norvale needs an X display (DISPLAY): run it on a desktop, under xvfb-run, or with SDL_VIDEODRIVER=dummy for the trace alone, with no window" >&2
fi
exec build/norvale
