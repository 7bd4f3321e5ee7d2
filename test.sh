#!/bin/bash
# Builds norvale and runs its whole test suite, once on each SDL 1.2 this
# system offers: the one libsdl1.2-dev builds against (classic SDL 1.2 up to
# Debian 12, sdl12-compat from Debian 13 on), and sdl12-compat beside it where
# the archive has that as libsdl1.2-compat (Debian 12). Installs what it
# needs first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages cmake make g++ libsdl1.2-dev libgtest-dev \
    dpkg-dev file lintian desktop-file-utils man-db appstream \
    xvfb xauth x11-utils x11-apps imagemagick valgrind openbox xdotool wmctrl \
    python3-xlib python3-dbus python3-gi dbus-daemon
# On amd64 the suite also cross-builds for arm64 and runs that under an emulator.
if [ "$(dpkg --print-architecture)" = amd64 ]; then
    scripts/install-packages g++-aarch64-linux-gnu qemu-user
fi
# Which SDL 1.2 a package holds, told by the source it was built from.
implementation() {
    case $(dpkg-query -W -f='${source:Package}' "$1") in
        libsdl1.2) echo classic ;;
        sdl12-compat) echo sdl12-compat ;;
        *) echo "$1 holds an SDL 1.2 this suite does not know" >&2; exit 1 ;;
    esac
}
system=$(implementation libsdl1.2-dev)
cmake -S . -B "build-test/$system" -DCMAKE_BUILD_TYPE=Release >/dev/null
trees=("$system")
if [ "$system" = classic ] && apt-cache show libsdl1.2-compat >/dev/null 2>&1; then
    scripts/install-packages libsdl1.2-compat
    library=$(scripts/sdl12-compat-library)
    if [ -n "$library" ]; then
        # Its headers cannot be installed beside classic's: they are unpacked.
        scripts/sdl12-compat-headers build-test/sdl12-compat-dev
        cmake -S . -B build-test/sdl12-compat -DCMAKE_BUILD_TYPE=Release -DNORVALE_CHECKED_RUNS=OFF \
            -DSDL_INCLUDE_DIR="$PWD/build-test/sdl12-compat-dev/usr/include/SDL" \
            -DSDL_LIBRARY="$library" >/dev/null
        trees+=(sdl12-compat)
    fi
fi
for tree in "${trees[@]}"; do
    cmake --build "build-test/$tree" -j"$(nproc)" >/dev/null
done
echo "testing on: ${trees[*]}"
# One run over every build, so they share the cores.
echo "subdirs(${trees[*]})" >build-test/CTestTestfile.cmake
cd build-test
exec ctest --output-on-failure -j"$(nproc)"
