#!/bin/bash
# Builds norvale and runs it in a window; installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages cmake make g++ libsdl1.2-dev
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
exec build/norvale
