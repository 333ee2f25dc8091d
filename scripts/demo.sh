#!/usr/bin/env bash
# The demo: builds a fresh demo workspace in ./demo and shows its operations list.
# Usage: scripts/demo.sh [path of velmorab2d-cli]   (make demo passes build/bin/velmorab2d-cli)
set -euo pipefail
CLI=${1:-build/bin/velmorab2d-cli}
DEMO=${DEMO_DIR:-demo}

"$CLI" demo "$DEMO" --force
echo
echo "== Operations of the last seven days"
"$CLI" --connections "$DEMO/connections.ini" --settings "$DEMO/settings.ini" list

echo
echo "== Generating the demo's two imports, its export and its licence"
"$CLI" --connections "$DEMO/connections.ini" --settings "$DEMO/settings.ini" \
    generate 26001IC04000123A 26001IC04000131C 26001EC01000045B 26001DJAI000007K \
    --answers "$DEMO/answers.ini" 2>/dev/null
echo
echo "== The list after generating"
"$CLI" --connections "$DEMO/connections.ini" --settings "$DEMO/settings.ini" list
