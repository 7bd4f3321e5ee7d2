# Sourced by the test scripts, which set work, a folder of their own.
failures=0
check() { # description, command...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
# Files equal, and not empty.
same() { test -s "$1" && cmp "$1" "$2"; }
# A headless walk of a seed, the pauses skipped: its trace and record go to
# $work/NAME.out and $work/NAME.record. The command preloads the seam.
walk() { # name, seed, command...
    local name=$1 seed=$2; shift 2
    env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy NORVALE_SEED="$seed" NORVALE_SKIP_PAUSES=1 \
        NORVALE_EVENTS=quit NORVALE_RECORD="$work/$name.record" "$@" >"$work/$name.out"
}
