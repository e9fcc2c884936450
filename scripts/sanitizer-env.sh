# Sanitizer settings for running what build-sanitize/ holds (sourced by
# scripts/test.sh; source it by hand before running a test or fuzz target of
# that build). Every report stops the program; an error box hidden by a
# report is worse than a failed run. Settings already in the environment win.
SANITIZER_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
# Leaks are looked for in our code; what Qt's and fontconfig's caches keep
# until exit is listed, with why, in the suppressions file.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$SANITIZER_ROOT/tests/lsan.supp:print_suppressions=0}
