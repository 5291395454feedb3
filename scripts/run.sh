#!/usr/bin/env bash
# The main job: builds the release configuration and runs the kestrel demo.
set -euo pipefail
source "$(dirname "$0")/common.sh"
kestrel_install_packages
kestrel_build "$KESTREL_ROOT/build/release" -DCMAKE_BUILD_TYPE=Release -DKESTREL_TESTS=OFF
exec "$KESTREL_ROOT/build/release/bin/kestrel" demo "$@"
