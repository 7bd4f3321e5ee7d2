#!/bin/bash
# The Debian package, made by cpack from this build: lintian finds no error
# or warning in it, its desktop entry, software-centre metadata, manual page
# and icons are sound, apt can install it here, a build of the same source in
# another folder, later, gives the same bytes (and so does the source
# package), and the program it carries walks headless exactly as the built
# one does, on the system's SDL 1.2 and on sdl12-compat where that is
# installed beside it.
# Usage: package.sh SOURCE-DIR BUILD-DIR NORVALE SEAM
set -u
source=$1 build=$2 norvale=$3 seam=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/common.sh"
# The binary and source packages of a build into a folder, with the files'
# times taken from the source, as the README's commands make them.
packages() { # build, folder
    for config in CPackConfig CPackSourceConfig; do
        env -u SOURCE_DATE_EPOCH cpack --config "$1/$config.cmake" -B "$2" >>"$work/cpack.log" 2>&1 ||
            cat "$work/cpack.log"
    done
}

packages "$build" "$work/first"
deb=$(ls "$work"/first/norvale_*_*.deb)
tarball=$work/first/norvale-$(dpkg-deb -f "$deb" Version).tar.gz
check "cpack made $(basename "$deb") and $(basename "$tarball")" test -f "$deb" -a -f "$tarball"
lintian --fail-on error,warning --pedantic --display-info "$deb" >"$work/lintian" 2>&1
status=$?
echo "lintian $(lintian --version | cut -d' ' -f2) says:"; grep -v '^running with root' "$work/lintian"
check "lintian finds no error or warning" test "$status" = 0
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
check "apt can install it here" apt-get install -s -qq "$deb" >/dev/null

cmake -S "$source" -B "$work/again" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$work/again" -j"$(nproc)" >/dev/null
packages "$work/again" "$work/second"
for package in "$deb" "$tarball"; do
    name=$(basename "$package")
    check "built again elsewhere: the same $name (sha256 $(sha256sum <"$package" | cut -c1-64))" \
        cmp "$package" "$work/second/$name"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
check "the desktop entry is valid" desktop-file-validate "$root"/usr/share/applications/*.desktop
# The network is not asked whether the homepage answers: CI has none.
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --pedantic --no-net "$metainfo" >"$work/appstream" 2>&1
status=$?
echo "appstreamcli $(appstreamcli --version | grep -o '[0-9.]*$') says:"; cat "$work/appstream"
check "the software-centre metadata is valid" test "$status" = 0
check "the metadata names this release" grep -q "<release version=\"$(dpkg-deb -f "$deb" Version)\"" "$metainfo"
check "the metadata launches the desktop entry" \
    test -f "$root/usr/share/applications/$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")"
man --warnings -l "$root/usr/share/man/man6/norvale.6.gz" >"$work/man" 2>"$work/man.err"
check "the manual page renders ($(wc -l <"$work/man") lines), with no warning: $(cat "$work/man.err")" \
    test -s "$work/man" -a ! -s "$work/man.err"
for size in 48 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x$size/apps/norvale.png
    check "the ${size}x$size icon" test "$(identify -format %wx%h "$icon")" = "${size}x$size"
done
check "the program is stripped" sh -c "file '$root/usr/bin/norvale' | grep -q ', stripped'"
sections=$(readelf -S "$root/usr/bin/norvale")
check "the program carries no .comment section" \
    sh -c "echo '$sections' | grep -q ' .text ' && ! echo '$sections' | grep -q ' .comment '"

# Headless walks of seed 34: their traces and what each flip showed.
walk built 34 env LD_PRELOAD="$seam" "$norvale"
check "built: status 0 (got $(cat "$work/built.status"))" walked built
# A record less what tells the SDLs apart: their versions.
frames() { grep -v '^sdl ' "$work/$1.record" >"$work/$1.flips"; }
frames built
beside=$("$source/scripts/sdl12-compat-library")
for libraries in "" ${beside:+"$(dirname "$beside")"}; do
    LD_LIBRARY_PATH=$libraries walk packaged 34 env LD_PRELOAD="$seam" "$root/usr/bin/norvale"
    frames packaged
    sdl=$(head -1 "$work/packaged.record")
    check "packaged, on $sdl: status 0 (got $(cat "$work/packaged.status"))" walked packaged
    if [ -n "$libraries" ]; then
        check "the second walk ran on sdl12-compat, 1.2.50 or later (got $sdl)" \
            dpkg --compare-versions "${sdl#sdl }" ge 1.2.50
    fi
    check "packaged, on $sdl: the same trace" same "$work/built.out" "$work/packaged.out"
    check "packaged, on $sdl: the same frames" same "$work/built.flips" "$work/packaged.flips"
done

[ "$failures" = 0 ]
