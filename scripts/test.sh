#!/usr/bin/env bash
# The tests: builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every suite.
# Any sanitizer report aborts its suite, which fails the run.
set -euo pipefail
source "$(dirname "$0")/common.sh"
kestrel_build asan
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd "$KESTREL_ROOT/build/asan"
exec ctest --output-on-failure -j"$(nproc)" "$@"
