#!/bin/bash
# Builds norvale and runs the tests that say whether it works here, once on
# each SDL 1.2 this system offers: the one libsdl1.2-dev builds against
# (classic SDL 1.2 up to Debian 12, sdl12-compat from Debian 13 on), and
# sdl12-compat beside it where the archive has that as libsdl1.2-compat
# (Debian 12). Installs what they need first.
# Usage: ./test.sh [--all]
#   --all  also the checked runs: the sanitizers, memcheck, the Debian
#          package and the arm64 build, for releases and CI
set -euo pipefail
cd "$(dirname "$0")"
all=false
case "${1:-}" in
    "") ;;
    --all) all=true ;;
    *) echo "usage: $0 [--all]" >&2; exit 2 ;;
esac
scripts/install-packages cmake make g++ libsdl1.2-dev libgtest-dev \
    xvfb xauth x11-utils x11-apps imagemagick openbox xdotool wmctrl \
    python3-xlib python3-dbus python3-gi dbus-daemon sway grim
amd64=false
[ "$(dpkg --print-architecture)" = amd64 ] && amd64=true
# On amd64 the kernel's plain x86-64 build runs on an emulated processor.
$amd64 && scripts/install-packages qemu-user
if $all; then
    scripts/install-packages dpkg-dev file lintian desktop-file-utils man-db appstream valgrind
    # On amd64 the checked runs also cross-build for arm64 and run that under an emulator.
    $amd64 && scripts/install-packages g++-aarch64-linux-gnu
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
    echo "building build-test/$tree"
    cmake --build "build-test/$tree" -j"$(nproc)" >/dev/null
done
echo "testing on: ${trees[*]}$($all || echo ', without the checked runs (--all)')"
# One run over every build, so they share the cores. The real-window tests
# mostly wait, so twice as many tests as cores run at once.
echo "subdirs(${trees[*]})" >build-test/CTestTestfile.cmake
cd build-test
only=(-LE checked)
$all && only=()
exec ctest --output-on-failure -j"$(($(nproc) * 2))" "${only[@]}"
