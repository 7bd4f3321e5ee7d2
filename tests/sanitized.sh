#!/bin/bash
# Builds the program and the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer, then runs the headless walks under them.
# Usage: sanitized.sh SOURCE-DIR BUILD-DIR SEEDS
set -euo pipefail
source=$1 build=$2 seeds=$3
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORVALE_SANITIZE=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target norvale norvale_seam norvale_tests >/dev/null
export SDL_AUDIODRIVER=dummy NORVALE_TEST_SEEDS=$seeds
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
exec "$build/tests/norvale_tests" --gtest_filter='Walk.ManySeedsCoverEveryEnding:QuitWait.*:EscapeCount.*:Panes.*'
