#!/bin/bash
# The program on real desktops, in one of three parts:
#  x11_window      in a real window on its own Xvfb, under a real window
#                  manager (openbox) with real input (XTest, through xdotool),
#                  on a session bus of its own: size, caption, class, picture;
#                  the desktop's pings answered during the walk; closes through
#                  the window manager during the walk, also under a flood of
#                  input, and in the quit wait, which must rest and hold off no
#                  screen saver
#  small_screen    on an X screen narrower than the window, as a laptop scaled
#                  to 150 % or 200 % has: shown whole, scaled, on sdl12-compat
#  wayland_window  in a session with only a Wayland compositor (sway,
#                  headless): a window of its own there, known by the desktop
#                  entry's id, on sdl12-compat; none on classic SDL
# Usage: desktop_tests.sh NORVALE SEAM classic|sdl12-compat x11_window|small_screen|wayland_window
set -u
norvale=$1 seam=$2 sdl=$3 part=$4
work=$(mktemp -d)
. "$(dirname "$0")/common.sh"
servers=()
cleanup() {
    [ -n "${program:-}" ] && kill -9 "$program" 2>/dev/null
    for server in "${servers[@]}"; do kill "$server" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

# Starts an Xvfb of the given depth (and size: 1400x700, which holds the
# window and its frame) on a free display; sets DISPLAY and xvfb.
start_xvfb() { # depth, [size]
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${2:-1400x700}x$1" -nolisten tcp -noreset 3>"$work/display" 2>>"$work/xvfb.log" &
    xvfb=$!
    servers+=("$xvfb")
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=:$(cat "$work/display")
}
# Waits until the record file $1 has a line starting with $2, or the program
# has ended.
wait_for() {
    for _ in $(seq 600); do
        grep -q "^$2" "$1" 2>/dev/null && return
        kill -0 "${program:-}" 2>/dev/null || return
        sleep 0.1
    done
}
# The program's window, as the window manager knows it.
window_of_norvale() {
    for _ in $(seq 100); do
        window=$(xdotool search --class '^norvale$' 2>/dev/null | head -1)
        [ -n "$window" ] && return
        sleep 0.1
    done
}
# Starts a walk of a seed in a window on the X display the program finds in
# DISPLAY (no driver named), in the background, as the tests walk (the pauses
# skipped, a close at the first poll) unless the settings given say
# otherwise; its record goes to $work/$1.record, its trace to $work/$1.out
# (nowhere if $1 is "closed") and its standard error to $work/$1.err.
start() { # name, seed, settings...
    local name=$1 run=(env $(walk_env "$1" "$2") "${@:3}" LD_PRELOAD="$seam" env -u SDL_VIDEODRIVER "$norvale")
    rm -f "$work/$name.record" "$work/go"
    if [ "$name" = closed ]; then "${run[@]}" >&- 2>"$work/$name.err" &
    else "${run[@]}" >"$work/$name.out" 2>"$work/$name.err" &
    fi
    program=$!
}
# A short walk (30 steps), for the checks that need no more.
quick=194
# With its real pauses, and no close but the test's own: a walk of 69 steps
# and 21 s of pauses, long enough for the pings and the close below.
start_real() { start "$1" 145 NORVALE_SKIP_PAUSES= NORVALE_EVENTS=; }
caption='Множества Жюлиа для точек, стремящихся к границе множества Мандельброта'
# A window's picture as the seam dumps it (raw 32-bit rows), as a PNG.
dump_to_png() { convert -size 1322x600 -depth 8 "bgra:$1" -alpha off "$2"; }
# How many pixels two pictures differ in (ImageMagick 7 adds the normalised
# count in brackets: "0 (0)").
pixels_differ() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
# The steps a record shows: two flips before the walk, three a step.
steps_of() { echo $((($(grep -c '^flip' "$1") - 2) / 3)); }
# Waits up to $1 seconds for the program to end, looking every 10 ms; sets
# status (999: still running, then killed).
finish() {
    for _ in $(seq $(($1 * 100))); do kill -0 "$program" 2>/dev/null || break; sleep 0.01; done
    kill -0 "$program" 2>/dev/null && kill -9 "$program" && { wait "$program"; status=999; program=; return; }
    wait "$program"
    status=$?
    program=
}
# The program ended on the one close made, after the walk, and nothing else
# reached it. How soon depends on how fast the X server passes on the input
# it holds for the program: under load, a few rests may come first.
ended_on_the_close() {
    local after
    after=$(sed -n '/^poll$/,$p' "$1" | grep -v '^rest' | tr '\n' ' ')
    echo "after the walk: $(grep -c '^rest' "$1") rests, then the close"
    [ "$after" = "poll event 12 exit " ] || { echo "after the walk: $after"; return 1; }
}
# Pointer moves over the window, then key presses and clicks in it. Each
# xdotool ends on a question to the server, so its input is all handled then.
input() { # moves, keys, clicks
    local x y
    x=$(xwininfo -id "$window" | awk '/Absolute upper-left X:/ {print $4}')
    y=$(xwininfo -id "$window" | awk '/Absolute upper-left Y:/ {print $4}')
    xdotool $(for ((n = 0; n < $1; n++)); do echo "mousemove $((x + 10 + n * 37 % 1300)) $((y + 10 + n * 53 % 580))"; done) \
        getmouselocation >/dev/null
    xdotool key --delay 0 $(for ((n = 0; n < $2; n++)); do echo "a"; done) getmouselocation >/dev/null
    xdotool click --repeat "$3" --delay 1 1 getmouselocation >/dev/null
}
# Asks the window manager to close the window, as its close button does, and
# waits until it has passed the request on: it handles requests in order, so
# once a later one (keep the window above others) shows, the close has gone out.
close_window() {
    wmctrl -i -c "$window"
    wmctrl -i -r "$window" -b add,above
    for _ in $(seq 100); do
        xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE && return
        sleep 0.1
    done
}

# Starts openbox on the display, and checks that it manages it.
start_openbox() {
    openbox >>"$work/openbox.log" 2>&1 &
    servers+=($!)
    for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
    # Without a window manager much below would pass having tested nothing.
    check "openbox manages the display ($(wmctrl -m 2>&1 | head -1))" sh -c 'wmctrl -m | grep -qx "Name: Openbox"'
    [ "$failures" = 0 ] || exit 1
}

export LC_ALL=C.UTF-8
# Debian's own Python, with its Xlib and D-Bus modules.
desktop=(/usr/bin/python3 "$tests/desktop.py")

x11_window() {
    # A session bus of the test's own, where a stand-in for the desktop's
    # screen-saver service logs every hold asked for; no run reaches the bus of
    # the desktop the suite may run on.
    dbus-daemon --session --nofork --print-address=3 3>"$work/bus" 2>>"$work/bus.log" &
    servers+=($!)
    for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.1; done
    export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
    "${desktop[@]}" screensaver-service "$work/screensaver.log" 2>>"$work/bus.log" &
    servers+=($!)
    for _ in $(seq 100); do grep -q ready "$work/screensaver.log" 2>/dev/null && break; sleep 0.1; done
    check "a stand-in screen-saver service on a session bus of its own" grep -q ready "$work/screensaver.log"
    start_xvfb 24
    start_openbox

    # The trace of an undisturbed quick walk, to compare the others with.
    start plain $quick
    finish 120
    check "quick walk: status 0 (got $status $(grep ^error "$work/plain.record"))" test "$status" = 0
    flips=$(grep -c '^flip' "$work/plain.record")

    # Real pauses; only the clock is fixed, so the walk is known.
    start_real real

    # Wait until the walk is under way: a few flips after the frame.
    wait_for "$work/real.record" "flip 8 "
    window_of_norvale
    check "the window exists" test -n "$window"

    size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    check "the window is 1322 x 600 (got $size)" test "$size" = 1322x600
    check "a screen that holds it and its frame: no scaling ($(grep '^video mode' "$work/real.record"))" \
        grep -qx 'video mode 1322x600 32 bits flags 0 scaling none' "$work/real.record"

    shown=$(xprop -id "$window" -notype _NET_WM_NAME)
    check "the caption is shown in UTF-8 (got $shown)" test "$shown" = "_NET_WM_NAME = \"$caption\""
    # The desktop finds the window's menu entry (its icon, its name) by its class.
    class=$(xprop -id "$window" WM_CLASS)
    entry=$(sed -n 's/^StartupWMClass=//p' "$tests"/../data/*.desktop)
    check "the menu entry names the window's class ($class; StartupWMClass=$entry)" \
        test -n "$entry" -a "$class" = "WM_CLASS(STRING) = \"$entry\", \"$entry\""

    xwd -id "$window" -silent | convert xwd:- "$work/shot.png"
    pixel() { convert "$work/shot.png" -format "%[pixel:p{$1,$2}]" info:; }
    check "frame on column 720 is red" test "$(pixel 720 300)" = "srgb(255,0,0)"
    check "separator column 721 is white" test "$(pixel 721 300)" = "srgb(255,255,255)"
    check "frame on row 0 is red" test "$(pixel 360 0)" = "srgb(255,0,0)"
    check "c = -1/3 lies in the set: black" test "$(pixel 400 300)" = "srgb(0,0,0)"
    check "c far from the set escapes at once: blue" test "$(pixel 5 100)" = "srgb(0,0,255)"
    colours=$(convert "$work/shot.png" -crop 600x600+722+0 -format %k info:)
    check "the Julia pane is painted in many colours (got $colours)" test "$colours" -gt 5

    held_before=$(grep -c '^inhibit' "$work/screensaver.log")
    steps_before=$(steps_of "$work/real.record")
    wmctrl -i -c "$window"
    closed_at=$(date +%s%N)
    (sleep 1; wmctrl -i -c "$window") &  # a second close changes nothing
    # Desktops ping a window that offers the ping, now and then, and offer to
    # kill it when it does not answer within about 5 s; openbox pings a window
    # it was asked to close, and 5 s after an unanswered ping marks it and
    # offers to kill it, in a window of its own. Classic SDL offers no ping (and
    # answers none), so no desktop pings it. The pings go on while the close
    # waits, and the checks come at least 7 s after it.
    protocols=$(xprop -id "$window" WM_PROTOCOLS)
    if [ "$sdl" = sdl12-compat ]; then
        check "the window offers the desktop's ping ($protocols)" grep -q _NET_WM_PING <<<"$protocols"
    else
        check "the window offers no ping ($protocols)" test -z "$(grep _NET_WM_PING <<<"$protocols")"
    fi
    if grep -q _NET_WM_PING <<<"$protocols"; then
        pinged=$("${desktop[@]}" ping "$window" 10)
        check "pings during the walk, after a close, each answered within 1 s: $pinged" test $? = 0
    fi
    while [ "$(date +%s%N)" -lt $((closed_at + 7000000000)) ]; do sleep 0.1; done
    check "7 s after a close in the walk, the walk goes on" \
        sh -c "kill -0 $program && ! grep -q '^poll' '$work/real.record'"
    marked=$(xprop -id "$window" _NET_WM_VISIBLE_NAME 2>&1)
    check "7 s after a close in the walk, openbox does not mark it ($marked)" \
        test -z "$(grep 'Not Responding' <<<"$marked")"
    check "7 s after a close in the walk, openbox offers to kill nothing ($(wmctrl -l | wc -l) windows)" \
        test "$(wmctrl -l | wc -l)" = 1

    finish 300
    check "exit status 0 after the close (got $status)" test "$status" = 0
    steps=$(steps_of "$work/real.record")
    check "the walk went on after the close ($steps_before, then $steps steps)" test "$steps" -gt "$steps_before"
    check "one trace line pair per step" test "$(($(wc -l <"$work/real.out") - 1))" = $((2 * steps))
    last=$(tail -1 "$work/real.out")
    x=${last%,*} y=${last#*, }
    check "the walk ended by its own rule (last position $last)" \
        test "$x" -lt 0 -o "$x" -gt 720 -o "$y" -lt 0 -o "$y" -gt 600 -o "$steps" = 350
    check "the quit came after the walk, and the program ended on it" ended_on_the_close "$work/real.record"
    echo "the walk took $(( ($(date +%s%N) - closed_at) / 1000000000 )) s after the close"
    echo "screen-saver holds asked for: $held_before by the walk's middle, $(grep -c '^inhibit' "$work/screensaver.log") by its end"
    check "any screen-saver hold is asked for under the name norvale" \
        test -z "$(grep '^inhibit' "$work/screensaver.log" | grep -v ' norvale:')"

    # A flood of input while the walk is held in the middle, a close, more input.
    start flood $quick NORVALE_EVENTS= NORVALE_HOLD_AT_FLIP=8:"$work/go"
    wait_for "$work/flood.record" held
    window_of_norvale
    xdotool windowactivate --sync "$window"
    input 10000 1000 50
    close_window
    input 2000 200 10
    touch "$work/go"
    finish 120
    check "close amid 13,260 inputs: status 0 (got $status)" test "$status" = 0
    check "close amid 13,260 inputs: the whole walk" cmp -s "$work/flood.out" "$work/plain.out"
    check "close amid 13,260 inputs: it ends the program after the walk" \
        ended_on_the_close "$work/flood.record"

    # The quit wait rests: the CPU time and the wake-ups of all the program's
    # threads over five seconds (its twenty polls a second are some 100 wake-ups;
    # a timer of the library's, 5,000). Meanwhile the X server's own screen saver
    # comes on and stays on: classic SDL would reset it every 5 s. Nothing holds
    # off the screen saver. The finished picture stays, even after the window is
    # hidden and shown again. Then a close.
    : >"$work/screensaver.log"
    start idle $quick NORVALE_EVENTS= NORVALE_DUMP="$work/idle.dump"
    wait_for "$work/idle.record" poll
    ticks() { awk '{print $14 + $15}' "/proc/$program/stat"; }
    wakeups() { awk '/^voluntary_ctxt_switches/ {n += $2} END {print n}' /proc/"$program"/task/*/status; }
    before=$(ticks) woken=$(wakeups)
    (sleep 5; echo "$(ticks) $(wakeups)" >"$work/rested") &
    rested=$!
    "${desktop[@]}" saver 1
    saver_on() { # for so many looks, a quarter of a second apart
        for _ in $(seq "$1"); do "${desktop[@]}" saver | grep -q "saver on" || return 1; sleep 0.25; done
    }
    for _ in $(seq 20); do saver_on 1 && break; sleep 0.25; done
    check "at rest the X server's screen saver comes on, and stays on for 6 s ($("${desktop[@]}" saver))" saver_on 24
    "${desktop[@]}" saver 0
    wait "$rested"
    read -r after awoken <"$work/rested"
    used=$((after - before)) woken=$((awoken - woken))
    echo "quit wait: $used ticks of CPU in 5 s ($((used / 5))% of a core), $woken wake-ups"
    check "the quit wait rests (used $used of 500 ticks)" test "$used" -lt 50
    check "the quit wait rests (woke $woken times in 5 s)" test "$woken" -lt 500
    holds=$(awk '/^inhibit/ {held[$2] = 1} /^uninhibit/ {delete held[$2]} END {print length(held)}' "$work/screensaver.log")
    check "at rest no screen-saver hold is kept ($(grep -c '^inhibit' "$work/screensaver.log") asked for, $holds kept)" \
        test "$holds" = 0
    window_of_norvale
    xdotool windowminimize --sync "$window"
    wmctrl -i -a "$window"
    dump_to_png "$work/idle.dump" "$work/final.png"
    for _ in $(seq 50); do
        xwd -id "$window" -silent | convert xwd:- "$work/shown.png"
        differ=$(pixels_differ "$work/shown.png" "$work/final.png")
        [ "$differ" = 0 ] && break
        sleep 0.1
    done
    check "the finished picture is shown again after the window was hidden ($differ pixels differ)" test "$differ" = 0
    wmctrl -i -c "$window"
    closed_at=$(date +%s%N)
    finish 30
    echo "quit wait: ended $(( ($(date +%s%N) - closed_at) / 1000000 )) ms after the close"
    check "quit wait: status 0 after the close (got $status)" test "$status" = 0
    # (Here the picture shown again may add flips after the walk.)
    check "quit wait: the close ended it" test "$(tail -2 "$work/idle.record" | tr '\n' ' ')" = "event 12 exit "

    # Standard output closed: the display connection must not take its place.
    start closed $quick
    finish 120
    check "standard output closed: status 0 (got $status)" test "$status" = 0
    check "standard output closed: the whole walk ($flips flips)" test "$(grep -c '^flip' "$work/closed.record")" = "$flips"
    check "standard output closed: the trace goes nowhere ($(grep ^stdout "$work/closed.record"))" \
        grep -qx 'stdout /dev/null' "$work/closed.record"

    # Displays of 16 and 8 bits: the library converts the 32-bit surface. SDL2
    # has no renderer for an 8-bit display: over it, no window, as with no display.
    for depth in 16 8; do
        start_xvfb "$depth"
        start deep $quick
        finish 120
        if [ "$depth" = 8 ] && [ "$sdl" = sdl12-compat ]; then
            check "$depth-bit display: status 1 (got $status $(grep ^error "$work/deep.record"))" test "$status" = 1
            check "$depth-bit display: nothing on standard output" test ! -s "$work/deep.out"
            continue
        fi
        check "$depth-bit display: status 0 (got $status $(grep ^error "$work/deep.record"); display $DISPLAY)" test "$status" = 0
        check "$depth-bit display: the same trace" cmp -s "$work/deep.out" "$work/plain.out"
    done

    # The X server goes away in the middle of the walk.
    start_xvfb 24
    start_real lost
    wait_for "$work/lost.record" "flip 8 "
    kill -9 "$xvfb"
    killed_at=$(date +%s%N)
    finish 30
    ended_in=$(( ($(date +%s%N) - killed_at) / 1000000 ))
    echo "X server lost: status $status after $ended_in ms; stderr: $(head -c 300 "$work/lost.err")"
    check "X server lost: the program ends within 30 s" test "$status" != 999
    check "X server lost: an orderly exit, no crash signal (got $status)" test "$status" -lt 128

    # Without a display there is no window: status 1 and nothing printed.
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy "$norvale" >"$work/none" 2>/dev/null
    status=$?
    check "no display: status 1 (got $status)" test "$status" = 1
    check "no display: nothing on standard output" test ! -s "$work/none"
}

# A walk of the quick seed with no window, to compare the others with.
walk_headless() {
    walk headless $quick env LD_PRELOAD="$seam" "$norvale"
    check "headless walk: status 0 (got $(cat "$work/headless.status"))" walked headless
}
# The frames a record shows up to the quit wait (a window shown again later adds one).
walk_flips() { sed '/^poll$/q' "$1" | grep '^flip'; }

small_screen() {
    # 1280 pixels across: what a laptop of 1920 x 1080 or 1920 x 1200 at
    # 150 %, or of 2560 x 1600 at 200 %, offers an X program.
    start_xvfb 24 1280x800
    start_openbox
    walk_headless
    start small $quick NORVALE_EVENTS=
    wait_for "$work/small.record" poll
    window_of_norvale
    asked=$(grep '^video mode' "$work/small.record")
    check "the program asks for its window of 1322 x 600 ($asked)" grep -q '^video mode 1322x600 32 bits flags 0 ' <<<"$asked"
    read -r x y w h < <(xwininfo -id "$window" |
        awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
    read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    framed="$((w + left + right)) x $((h + top + bottom)) at $((x - left)), $((y - top))"
    echo "on the 1280 x 800 screen: the window $w x $h, with its frame $framed"
    if [ "$sdl" = sdl12-compat ]; then
        check "scaled to fit ($asked)" test -z "$(grep 'scaling none$' <<<"$asked")"
        check "the window with its frame ($framed) lies within the screen" \
            test "$((x - left))" -ge 0 -a "$((y - top))" -ge 0 -a "$((x + w + right))" -le 1280 -a "$((y + h + bottom))" -le 800
    else
        check "classic SDL cannot scale: none asked for ($asked)" grep -q 'scaling none$' <<<"$asked"
        check "classic SDL cannot scale: the window is 1322 x 600 (got $w x $h)" test "${w}x$h" = 1322x600
    fi
    wmctrl -i -c "$window"
    finish 30
    check "closed on the small screen: status 0 (got $status)" test "$status" = 0
    check "on the small screen, the trace of the walk with no window" same "$work/headless.out" "$work/small.out"
    check "on the small screen, the frames of the walk with no window" \
        cmp <(walk_flips "$work/headless.record") <(walk_flips "$work/small.record")
}

wayland_window() {
    # sway refuses to run as root: as root, it and the program run as nobody,
    # from a folder of that user's with copies of the program and the seam.
    local as_user=() home=$work/wayland id
    [ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    mkdir -p "$home/run"
    cp "$norvale" "$seam" "$home/"
    chmod 711 "$work"
    chmod 700 "$home/run"
    [ ${#as_user[@]} = 0 ] || chown -R nobody:nogroup "$home"
    id=$(basename "$tests"/../data/*.desktop .desktop)
    # Tiled, sway would stretch the window over the whole screen, and
    # sdl12-compat scale the picture into it: floating, it is shown as it is.
    printf '%s\n' 'xwayland disable' 'output HEADLESS-1 resolution 1400x700' \
        "for_window [app_id=\"$id\"] floating enable" >"$home/config"
    # A session with no X display, as a user's terminal in it has (with a
    # terminal, classic SDL could fall back to drawing in text).
    local session=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" LC_ALL=C.UTF-8 TERM=xterm)
    in_session() { "${as_user[@]}" "${session[@]}" "$@"; }
    # Started in the background as itself, not through in_session, so that $!
    # is its own process.
    "${as_user[@]}" "${session[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$home/config" >"$work/sway.log" 2>&1 &
    servers+=($!)
    for _ in $(seq 100); do ls "$home"/run/sway-ipc.*.sock >/dev/null 2>&1 && break; sleep 0.1; done
    session+=(WAYLAND_DISPLAY="$(basename "$(ls "$home"/run/wayland-? | head -1)")" SWAYSOCK="$(ls "$home"/run/sway-ipc.*.sock)")
    check "sway runs headless, with no X display (${session[*]: -2})" \
        in_session swaymsg -t get_version
    [ "$failures" = 0 ] || return

    walk_headless
    "${as_user[@]}" "${session[@]}" $(walk_env wayland $quick) NORVALE_EVENTS= \
        NORVALE_RECORD="$home/wayland.record" NORVALE_HOLD_AT_FLIP=8:"$home/go" NORVALE_DUMP_STEPS="$home" \
        LD_PRELOAD="$home/$(basename "$seam")" env -u SDL_VIDEODRIVER "$home/$(basename "$norvale")" \
        >"$home/wayland.out" 2>"$work/wayland.err" &
    program=$!
    if [ "$sdl" = classic ]; then
        finish 30
        check "classic SDL in a Wayland-only session: status 1 (got $status $(grep ^error "$home/wayland.record"))" \
            test "$status" = 1
        check "classic SDL in a Wayland-only session: nothing on standard output" test ! -s "$home/wayland.out"
        return
    fi
    # Held at flip 8, the window shows flip 7.
    wait_for "$home/wayland.record" held
    mapfile -t shown < <(in_session swaymsg -t get_tree | /usr/bin/python3 "$tests/desktop.py" sway-window "$program")
    check "the window's app_id is the desktop entry's id ($id; got ${shown[0]:-no window})" test "${shown[0]:-}" = "$id"
    check "the caption is shown in UTF-8 (got ${shown[1]:-})" test "${shown[1]:-}" = "$caption"
    check "the window is 1322 x 600 (got ${shown[4]:-}x${shown[5]:-})" test "${shown[4]:-}x${shown[5]:-}" = 1322x600
    in_session grim "$home/shot.png"
    convert "$home/shot.png" -crop "1322x600+${shown[2]:-0}+${shown[3]:-0}" +repage "$work/window.png"
    dump_to_png "$home/7.bgra" "$work/flip7.png"
    differ=$(pixels_differ "$work/window.png" "$work/flip7.png")
    check "the window shows the picture of the walk ($differ pixels differ)" test "$differ" = 0
    in_session swaymsg "[app_id=\"$id\"] kill" >/dev/null
    touch "$home/go"
    finish 120
    check "closed in the walk: status 0 (got $status)" test "$status" = 0
    check "closed in the walk: the trace of the walk with no window" same "$work/headless.out" "$home/wayland.out"
    check "the quit came after the walk, and the program ended on it" ended_on_the_close "$home/wayland.record"
}

case $part in
    x11_window | small_screen | wayland_window) "$part" ;;
    *) echo "no part $part" >&2; exit 2 ;;
esac
[ "$failures" = 0 ]
