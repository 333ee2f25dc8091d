#!/usr/bin/env bash
# Pictures of the windows on the demo workspace, taken on a virtual display:
#   docs/main-window.png      the main window (or $SCREENSHOT)
#   docs/config-window.png    the configuration window (F9)
#   docs/subitem-viewer.png   the subitem viewer of the demo licence (Revisar Interno)
# Usage: scripts/screenshot.sh [build folder]   (make screenshot passes build)
set -euo pipefail
BUILD=${1:-build}
# The demo lives in a neutral folder, so the pictures show no developer's checkout in the folder
# fields of the configuration window.
DEMO=$(realpath -m "${DEMO_DIR:-/tmp/velmorab2d/demo}")
OUT=$(realpath -m "${SCREENSHOT:-docs/main-window.png}")
DOCS=$(dirname "$OUT")
VIEWER_INTERNO=${VIEWER_INTERNO:-26-0398}

if [ ! -f "$DEMO/connections.ini" ] || [ ! -f "$DEMO/settings.ini" ]; then
    force=()
    [ -e "$DEMO" ] && force=(--force)
    "$BUILD/bin/velmorab2d-cli" demo "$DEMO" "${force[@]}"
fi
mkdir -p "$DOCS"

shoot() {
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
        "$BUILD/bin/velmorab2d" --connections "$DEMO/connections.ini" --settings "$DEMO/settings.ini" "$@"
}

shoot --screenshot "$OUT"
echo "Screenshot written to $OUT"
shoot --screenshot-config "$DOCS/config-window.png"
echo "Screenshot written to $DOCS/config-window.png"
shoot --screenshot-viewer "$DOCS/subitem-viewer.png" --interno "$VIEWER_INTERNO"
echo "Screenshot written to $DOCS/subitem-viewer.png"
