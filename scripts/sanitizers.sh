# Sourced by the build, test and fuzz scripts: how AddressSanitizer,
# UndefinedBehaviorSanitizer and the leak checker report in sanitized builds
# (ordinary builds ignore these). A finding ends the program with a stack trace;
# leaks are findings, except those of system libraries listed in lsan.supp.
# Values already set in the environment win.
sanitizersDir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$sanitizersDir/lsan.supp:print_suppressions=0}
