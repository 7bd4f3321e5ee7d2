#!/bin/bash
# One whole headless walk under valgrind's memcheck: no invalid access, no
# leak from the program's own code. Usage: valgrind.sh NORVALE SEAM
set -u
norvale=$1 seam=$2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy NORVALE_SEED=34 NORVALE_SKIP_PAUSES=1 NORVALE_EVENTS=quit \
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=none --trace-children=yes \
    --log-file="$log" env LD_PRELOAD="$seam" "$norvale" >/dev/null
status=$?
grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable' "$log"
# A leak is the program's if its allocation stack passes through its code.
leaks=$(awk '/are definitely lost|are indirectly lost/ {block = 1; text = ""} block {text = text $0 "\n"}
             /^==[0-9]+== $/ && block {if (text ~ /norvale\.cpp|\(main\)| main \(/) print text; block = 0}' "$log")
[ -n "$leaks" ] && echo "leaks from the program:" && echo "$leaks"
echo "status $status"
[ "$status" = 0 ] && [ -z "$leaks" ]
