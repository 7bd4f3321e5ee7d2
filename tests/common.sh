# Sourced by the test scripts, which set work, a folder of their own.
tests=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
failures=0
check() { # description, command...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
# Files equal, and not empty.
same() { test -s "$1" && cmp "$1" "$2"; }
# The settings of a walk as the tests make it (walk.env), with the clock fixed
# at SEED and the record in $work/NAME.record; settings given after them win.
walk_env() { # name, seed
    echo $(grep -v '^#' "$tests/walk.env") NORVALE_SEED="$2" NORVALE_RECORD="$work/$1.record"
}
# Such a walk: its trace goes to $work/NAME.out, its exit status to
# $work/NAME.status. The command preloads the seam.
walk() { # name, seed, [NAME=VALUE...], command...
    local status=0
    env $(walk_env "$1" "$2") "${@:3}" >"$work/$1.out" || status=$?
    echo "$status" >"$work/$1.status"
    return "$status"
}
# The walk ended with status 0, and wrote a trace.
walked() { # name
    test "$(cat "$work/$1.status")" = 0 -a -s "$work/$1.out"
}
