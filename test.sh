#!/bin/bash
# Builds norvale and runs its whole test suite, on classic SDL 1.2 and on
# sdl12-compat (SDL 1.2 over SDL2); installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages cmake make g++ libsdl1.2-dev libsdl1.2-compat libgtest-dev \
    dpkg-dev file lintian desktop-file-utils man-db \
    xvfb xauth x11-utils x11-apps imagemagick valgrind openbox xdotool wmctrl
scripts/sdl12-compat-headers build-test/sdl12-compat-dev
cmake -S . -B build-test/classic -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake -S . -B build-test/sdl12-compat -DCMAKE_BUILD_TYPE=Release \
    -DSDL_INCLUDE_DIR="$PWD/build-test/sdl12-compat-dev/usr/include/SDL" \
    -DSDL_LIBRARY="$(dpkg -L libsdl1.2-compat | grep '/libSDL-1.2.so.0$')" >/dev/null
for sdl in classic sdl12-compat; do
    cmake --build "build-test/$sdl" -j"$(nproc)" >/dev/null
done
# One run over both builds, so the two share the cores.
echo 'subdirs(classic sdl12-compat)' >build-test/CTestTestfile.cmake
cd build-test
exec ctest --output-on-failure -j"$(nproc)"
