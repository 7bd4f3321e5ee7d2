#!/bin/bash
# Builds norvale and runs it in a window; installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages cmake make g++ libsdl1.2-dev
[ -x build/norvale ] || echo "building build/norvale: a few seconds" >&2
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
# The program says nothing when it cannot open its window, and then prints no
# trace either: the trace is watched to tell that from a later failure. tee
# ignores Ctrl-C, which the program answers itself.
trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
status=0
build/norvale | tee -i "$trace" || status=$?
if [ "$status" = 1 ] && [ ! -s "$trace" ]; then
    {
        echo -n "norvale could not open its window: "
        if [ -n "${SDL_VIDEODRIVER:-}" ]; then
            echo "not with the video driver SDL_VIDEODRIVER=$SDL_VIDEODRIVER."
        elif [ -n "${DISPLAY:-}" ]; then
            echo "not on the X display $DISPLAY. Is that X server running, and may you use it (XAUTHORITY)?" \
                "Over sdl12-compat a display of 256 colours cannot show it either."
        elif [ -n "${WAYLAND_DISPLAY:-}" ]; then
            echo "not on the Wayland display $WAYLAND_DISPLAY. Classic SDL 1.2 (libsdl1.2debian on Debian 12)" \
                "has no Wayland: run it in a session with XWayland (DISPLAY), or on sdl12-compat (see the README)."
        else
            echo "there is no display (DISPLAY, WAYLAND_DISPLAY). Run it on a desktop, under xvfb-run," \
                "or with SDL_VIDEODRIVER=dummy for the trace alone, with no window."
        fi
    } >&2
fi
exit "$status"
