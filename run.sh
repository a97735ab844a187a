#!/usr/bin/env bash
# Installs what is missing, builds, and starts Korvane.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
korvane_install_packages
korvane_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Help Topics looks for its page in the current folder; files named on the
# command line are made absolute before the program moves there.
args=()
for a in "$@"; do
    if [ -e "$a" ]; then args+=("$(realpath -- "$a")"); else args+=("$a"); fi
done
cd "$KORVANE_ROOT/build/share/korvane"
exec "$KORVANE_ROOT/build/korvane" ${args[@]+"${args[@]}"}
