#!/bin/bash
# The program in a real window on its own Xvfb: size, caption, picture, and a
# close request during the walk, which must not end the walk.
# Usage: x11_tests.sh NORVALE SEAM X11_CLOSE [SCREENSHOT.png]
set -u
norvale=$1 seam=$2 x11_close=$3 keep_shot=${4:-}
work=$(mktemp -d)
failures=0
check() { # description, command...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
servers=()
cleanup() {
    [ -n "${program:-}" ] && kill -9 "$program" 2>/dev/null
    for server in "${servers[@]}"; do kill "$server" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

# Starts an Xvfb of the given depth on a free display; sets DISPLAY and xvfb.
start_xvfb() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "1400x700x$1" -nolisten tcp -noreset 3>"$work/display" 2>>"$work/xvfb.log" &
    xvfb=$!
    servers+=("$xvfb")
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=:$(cat "$work/display")
}
# Waits until the record file $1 shows flip $2.
wait_for_flip() {
    for _ in $(seq 600); do grep -q "^flip $2 " "$1" 2>/dev/null && return; sleep 0.1; done
}
# A quick walk of seed 34 with the pauses skipped, quit at once after it;
# its standard output goes to the file $1, or is closed. Sets status.
quick_walk() {
    local run=(timeout 120 env SDL_AUDIODRIVER=dummy LD_PRELOAD="$seam" NORVALE_SEED=34
        NORVALE_SKIP_PAUSES=1 NORVALE_EVENTS=quit NORVALE_RECORD="$work/quick.record" "$norvale")
    if [ "$1" = closed ]; then "${run[@]}" >&- 2>>"$work/quick.err"; else "${run[@]}" >"$1" 2>>"$work/quick.err"; fi
    status=$?
}

export LC_ALL=C.UTF-8
start_xvfb 24

# Real pauses; only the clock is fixed, so the walk is known.
SDL_AUDIODRIVER=dummy LD_PRELOAD=$seam NORVALE_SEED=3 NORVALE_RECORD=$work/record \
    "$norvale" >"$work/stdout" 2>"$work/stderr" &
program=$!

# Wait until the walk is under way: a few flips after the frame.
wait_for_flip "$work/record" 8
window=$(xwininfo -root -children | awk '/"norvale"/ {print $1; exit}')
check "the window exists" test -n "$window"

size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
check "the window is 1322 x 600 (got $size)" test "$size" = 1322x600

caption='Множества Жюлиа для точек, стремящихся к границе множества Мандельброта'
shown=$(xprop -id "$window" -notype _NET_WM_NAME)
check "the caption is shown in UTF-8 (got $shown)" test "$shown" = "_NET_WM_NAME = \"$caption\""

xwd -id "$window" -silent | convert xwd:- "$work/shot.png"
[ -n "$keep_shot" ] && cp "$work/shot.png" "$keep_shot"
pixel() { convert "$work/shot.png" -format "%[pixel:p{$1,$2}]" info:; }
check "frame on column 720 is red" test "$(pixel 720 300)" = "srgb(255,0,0)"
check "separator column 721 is white" test "$(pixel 721 300)" = "srgb(255,255,255)"
check "frame on row 0 is red" test "$(pixel 360 0)" = "srgb(255,0,0)"
check "c = -1/3 lies in the set: black" test "$(pixel 400 300)" = "srgb(0,0,0)"
check "c far from the set escapes at once: blue" test "$(pixel 5 100)" = "srgb(0,0,255)"
colours=$(convert "$work/shot.png" -crop 600x600+722+0 -format %k info:)
check "the Julia pane is painted in many colours (got $colours)" test "$colours" -gt 5

pauses_before=$(grep -c '^delay' "$work/record")
"$x11_close" "$window"
closed_at=$(date +%s)
sleep 1
"$x11_close" "$window"  # a second close changes nothing

for _ in $(seq 3000); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
wait "$program"
status=$?
program=
check "exit status 0 after the close (got $status)" test "$status" = 0
pauses=$(grep -c '^delay' "$work/record")
check "the walk went on after the close ($pauses_before, then $pauses pauses)" test "$pauses" -gt "$pauses_before"
check "one trace line pair per pause" test "$(($(wc -l <"$work/stdout") - 1))" = $((2 * pauses))
last=$(tail -1 "$work/stdout")
x=${last%,*} y=${last#*, }
check "the walk ended by its own rule (last position $last)" \
    test "$x" -lt 0 -o "$x" -gt 720 -o "$y" -lt 0 -o "$y" -gt 600 -o "$pauses" = 350
check "the quit came after the walk, and the program ended on it" \
    test "$(tail -2 "$work/record" | tr '\n' ' ')" = "event 12 exit "
echo "the walk took $(( $(date +%s) - closed_at )) s after the close"

# Standard output closed: the display connection must not take its place.
quick_walk "$work/quick.out"
check "quick walk: status 0 (got $status $(grep ^error "$work/quick.record"))" test "$status" = 0
flips=$(grep -c '^flip' "$work/quick.record")
quick_walk closed
check "standard output closed: status 0 (got $status)" test "$status" = 0
check "standard output closed: the whole walk ($flips flips)" test "$(grep -c '^flip' "$work/quick.record")" = "$flips"

# Displays of 16 and 8 bits: the library converts the 32-bit surface.
for depth in 16 8; do
    start_xvfb "$depth"
    quick_walk "$work/deep.out"
    check "$depth-bit display: status 0 (got $status $(grep ^error "$work/quick.record"); display $DISPLAY)" test "$status" = 0
    check "$depth-bit display: the same trace" cmp -s "$work/deep.out" "$work/quick.out"
done

# The X server goes away in the middle of the walk.
start_xvfb 24
SDL_AUDIODRIVER=dummy LD_PRELOAD=$seam NORVALE_SEED=3 NORVALE_RECORD=$work/lost.record \
    "$norvale" >"$work/lost.out" 2>"$work/lost.err" &
program=$!
wait_for_flip "$work/lost.record" 8
kill -9 "$xvfb"
killed_at=$(date +%s%N)
for _ in $(seq 300); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
ended_in=$(( ($(date +%s%N) - killed_at) / 1000000 ))
kill -0 "$program" 2>/dev/null && kill -9 "$program"
wait "$program"
status=$?
program=
echo "X server lost: status $status after $ended_in ms; stderr: $(head -c 300 "$work/lost.err")"
check "X server lost: the program ends within 30 s" test "$ended_in" -lt 30000
check "X server lost: an orderly exit, no crash signal (got $status)" test "$status" -lt 128

# Without a display there is no window: status 1 and nothing printed.
env -u DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy "$norvale" >"$work/none" 2>/dev/null
status=$?
check "no display: status 1 (got $status)" test "$status" = 1
check "no display: nothing on standard output" test ! -s "$work/none"

[ "$failures" = 0 ]
