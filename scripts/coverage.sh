#!/usr/bin/env bash
# Line coverage of the libraries (host, platform layer and module) by the test suites: builds
# with --coverage, runs every suite but the installed-package and header checks, and prints
# gcovr's summary; the report per file lands in build/coverage/coverage.txt. Needs gcovr
# (`scripts/install_packages.sh coverage`).
set -euo pipefail
source "$(dirname "$0")/common.sh"
kestrel_build coverage
cd "$KESTREL_ROOT/build/coverage"
find . -name '*.gcda' -delete
ctest -j"$(nproc)" -E '^(package|header):' >ctest.log || {
  tail -n 30 ctest.log
  exit 1
}
cd "$KESTREL_ROOT"
# Notes of sources that are gone (the build folder keeps their objects) would make gcovr look for
# them: build/coverage/<folder>/CMakeFiles/<target>.dir/<file>.gcno belongs to <folder>/<file>.
find build/coverage -name '*.gcno' | while read -r note; do
  file="$(sed -E 's#^build/coverage/##; s#CMakeFiles/[^/]+\.dir/##; s#\.gcno$##' <<<"$note")"
  [ -f "$file" ] || rm -f "$note"
done
filters=()
for folder in host platform access drawing geometry xmlrepo frame; do
  filters+=(--filter "$folder/")
done
gcovr --root . --object-directory build/coverage "${filters[@]}" --exclude-unreachable-branches \
  --txt build/coverage/coverage.txt --print-summary | tail -n 3
