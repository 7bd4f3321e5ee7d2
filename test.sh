#!/bin/bash
# Builds norvale and runs its whole test suite; installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages cmake make g++ libsdl1.2-dev libgtest-dev libx11-dev \
    xvfb xauth x11-utils x11-apps imagemagick valgrind
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-test -j"$(nproc)" >/dev/null
cd build-test
exec ctest --output-on-failure -j"$(nproc)"
