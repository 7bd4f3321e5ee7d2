#!/bin/bash
# The Debian package, made by cpack from this build: lintian finds no error in
# it, its desktop entry, manual page and icons are sound, apt can install it
# here, and the program it carries walks headless exactly as the built one
# does, on the system's SDL 1.2 and on sdl12-compat where that is installed
# beside it.
# Usage: package.sh BUILD-DIR NORVALE SEAM
set -u
build=$1 norvale=$2 seam=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # description, command...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || cat "$work/cpack.log"
deb=$(ls "$work"/norvale_*_*.deb)
check "cpack made $(basename "$deb")" test -f "$deb"
lintian --fail-on error --display-info "$deb" >"$work/lintian" 2>&1
status=$?
echo "lintian says:"; grep -v '^running with root' "$work/lintian"
check "lintian finds no error" test "$status" = 0
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
check "apt can install it here" apt-get install -s -qq "$deb" >/dev/null

root=$work/root
dpkg-deb -x "$deb" "$root"
check "the desktop entry is valid" desktop-file-validate "$root/usr/share/applications/norvale.desktop"
man --warnings -l "$root/usr/share/man/man6/norvale.6.gz" >"$work/man" 2>"$work/man.err"
check "the manual page renders ($(wc -l <"$work/man") lines), with no warning: $(cat "$work/man.err")" \
    test -s "$work/man" -a ! -s "$work/man.err"
for size in 48 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x$size/apps/norvale.png
    check "the ${size}x$size icon" test "$(identify -format %wx%h "$icon")" = "${size}x$size"
done
check "the program is stripped" sh -c "file '$root/usr/bin/norvale' | grep -q ', stripped'"

# A headless walk of seed 34: its trace and what each flip showed.
walk() { # program, name
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy LD_PRELOAD=$seam NORVALE_SEED=34 NORVALE_SKIP_PAUSES=1 \
        NORVALE_EVENTS=quit NORVALE_RECORD="$work/$2.record" "$1" >"$work/$2.out"
    grep -v '^sdl ' "$work/$2.record" >"$work/$2.flips"
}
walk "$norvale" built
beside=$("$(dirname "$0")/../scripts/sdl12-compat-library")
for libraries in "" ${beside:+"$(dirname "$beside")"}; do
    LD_LIBRARY_PATH=$libraries walk "$root/usr/bin/norvale" packaged
    sdl=$(head -1 "$work/packaged.record")
    check "packaged, on $sdl: the same trace" cmp "$work/built.out" "$work/packaged.out"
    check "packaged, on $sdl: the same frames" cmp "$work/built.flips" "$work/packaged.flips"
done

[ "$failures" = 0 ]
