#!/bin/bash
# One whole headless walk under valgrind's memcheck: no invalid access, no
# leak from the program's own code. Usage: valgrind.sh NORVALE SEAM
set -u
norvale=$1 seam=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/common.sh"
log=$work/valgrind.log
walk valgrind 34 valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
    --show-leak-kinds=definite,indirect --errors-for-leak-kinds=none --trace-children=yes \
    --log-file="$log" env LD_PRELOAD="$seam" "$norvale"
status=$?
grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable' "$log"
# A leak is the program's if its allocation stack passes through its code.
leaks=$(awk '/are definitely lost|are indirectly lost/ {block = 1; text = ""} block {text = text $0 "\n"}
             /^==[0-9]+== $/ && block {if (text ~ /norvale\.cpp|\(main\)| main \(/) print text; block = 0}' "$log")
[ -n "$leaks" ] && echo "leaks from the program:" && echo "$leaks"
check "status 0 under memcheck (got $status), and a trace" walked valgrind
check "no leak from the program's own code" test -z "$leaks"
[ "$failures" = 0 ]
