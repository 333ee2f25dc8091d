#!/usr/bin/env bash
# The window on the demo workspace: builds ./demo when it is missing, then starts velmorab2d on
# its databases, settings and stand-in installation (named in its connections file).
# Usage: scripts/gui.sh [build folder]   (make gui passes build)
set -euo pipefail
BUILD=${1:-build}
DEMO=$(realpath -m "${DEMO_DIR:-demo}")

if [ ! -f "$DEMO/connections.ini" ] || [ ! -f "$DEMO/settings.ini" ]; then
    force=()
    [ -e "$DEMO" ] && force=(--force)
    "$BUILD/bin/velmorab2d-cli" demo "$DEMO" "${force[@]}"
fi

exec "$BUILD/bin/velmorab2d" \
    --connections "$DEMO/connections.ini" --settings "$DEMO/settings.ini" "${@:2}"
