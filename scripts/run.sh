#!/usr/bin/env bash
# The main job: builds the release configuration and runs the kestrel demo.
set -euo pipefail
source "$(dirname "$0")/common.sh"
kestrel_build release
exec "$KESTREL_ROOT/build/release/bin/kestrel" demo "$@"
