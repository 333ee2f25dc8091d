#!/usr/bin/env bash
# A picture of the main window on the demo workspace, taken on a virtual display:
# docs/main-window.png (or $SCREENSHOT).
# Usage: scripts/screenshot.sh [build folder]   (make screenshot passes build)
set -euo pipefail
BUILD=${1:-build}
DEMO=$(realpath -m "${DEMO_DIR:-demo}")
OUT=$(realpath -m "${SCREENSHOT:-docs/main-window.png}")

if [ ! -f "$DEMO/connections.ini" ] || [ ! -f "$DEMO/settings.ini" ]; then
    force=()
    [ -e "$DEMO" ] && force=(--force)
    "$BUILD/bin/velmorab2d-cli" demo "$DEMO" "${force[@]}"
fi
mkdir -p "$(dirname "$OUT")"

QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
    "$BUILD/bin/velmorab2d" --connections "$DEMO/connections.ini" --settings "$DEMO/settings.ini" \
    --screenshot "$OUT"
echo "Screenshot written to $OUT"
