#!/bin/bash
# norvale on arm64, proven on amd64: cross-built with Debian's toolchain
# against an arm64 root of Debian's own packages, and packaged; then run
# under the emulator qemu-aarch64: the unit tests (which do not start the
# program), and the packaged program's headless walks of six seeds, whose
# trace and record of every frame must be the amd64 build's, byte for byte.
# Usage: arm64.sh SOURCE-DIR WORK-DIR NORVALE SEAM  (NORVALE and SEAM: amd64)
set -u
source=$1 work=$2 norvale=$3 seam=$4
. "$(dirname "$0")/common.sh"
started=$(date +%s)
"$source/scripts/arm64-root" "$work/root" || exit 1
build=$work/build
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$source/tests/arm64-toolchain.cmake" \
    -DNORVALE_ARM64_ROOT="$work/root" >"$work/cmake.log" 2>&1 &&
    cmake --build "$build" -j"$(nproc)" >>"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; exit 1; }
check "cross-built: $(file -b "$build/norvale" | cut -d, -f1-2)" sh -c "file '$build/norvale' | grep -q 'ARM aarch64'"
echo "root and build: $(($(date +%s) - started)) s"

ctest --test-dir "$build" -j"$(nproc)" --output-on-failure --no-tests=error >"$work/ctest.log" 2>&1
status=$?
grep -E 'tests passed|Failed|Total Test' "$work/ctest.log"
[ "$status" = 0 ] || cat "$work/ctest.log"
check "the unit tests pass on arm64" test "$status" = 0

# The Debian package for arm64: lintian finds no error or warning in it, it
# depends on what the amd64 program does, and it is its program that walks.
DPKG_ADMINDIR=$work/root/.dpkg DEB_HOST_ARCH=arm64 cpack --config "$build/CPackConfig.cmake" -B "$work/package" \
    >"$work/cpack.log" 2>&1 || cat "$work/cpack.log"
deb=$(ls "$work"/package/norvale_*_arm64.deb)
lintian --fail-on error,warning --pedantic --display-info "$deb" >"$work/lintian" 2>&1
status=$?
grep -v '^running with root' "$work/lintian"
check "lintian finds no error or warning in $(basename "$deb")" test "$status" = 0
depends=$(dpkg-deb -f "$deb" Depends)
mkdir -p "$work/amd64/debian"
printf 'Source: norvale\n\nPackage: norvale\nArchitecture: any\n' >"$work/amd64/debian/control"
amd64=$(cd "$work/amd64" && dpkg-shlibdeps -O "$norvale" 2>/dev/null | sed 's/^shlibs:Depends=//')
check "it depends on $depends, as the amd64 program does" test -n "$depends" -a "$depends" = "$amd64"
dpkg-deb -x "$deb" "$work/package/root"

seeds=(2 3 5 7 11 4242)
walked=$(date +%s)
for seed in "${seeds[@]}"; do
    walk "amd64-$seed" "$seed" env LD_PRELOAD="$seam" "$norvale"
    # Two at a time, one a core.
    walk "arm64-$seed" "$seed" qemu-aarch64 -L "$work/root" -E LD_PRELOAD="$build/tests/libnorvale_seam.so" \
        "$work/package/root/usr/bin/norvale" &
    [ $(jobs -r | wc -l) -ge "$(nproc)" ] && wait -n
done
wait
for seed in "${seeds[@]}"; do
    # The trace: the region's line, then two lines a step.
    steps=$((($(wc -l <"$work/arm64-$seed.out") - 1) / 2))
    flips=$(grep -c '^flip' "$work/arm64-$seed.record")
    check "seed $seed on amd64: status 0 (got $(cat "$work/amd64-$seed.status"))" walked "amd64-$seed"
    check "seed $seed on arm64: status 0 (got $(cat "$work/arm64-$seed.status"))" walked "arm64-$seed"
    check "seed $seed on arm64 ($steps steps, $flips frames): the same trace" \
        same "$work/amd64-$seed.out" "$work/arm64-$seed.out"
    check "seed $seed on arm64: the same record of every frame" \
        same "$work/amd64-$seed.record" "$work/arm64-$seed.record"
done
echo "walks: $(($(date +%s) - walked)) s; all: $(($(date +%s) - started)) s"
[ "$failures" = 0 ]
