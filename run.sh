#!/usr/bin/env bash
# Installs what is missing, builds, and starts Korvane.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
korvane_install_packages
korvane_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Help Topics looks for its page in the current folder.
cd "$KORVANE_ROOT/build/help"
exec "$KORVANE_ROOT/build/korvane" "$@"
