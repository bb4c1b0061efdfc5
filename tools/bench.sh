#!/usr/bin/env bash
# Prints the launcher's figures, measured side by side under Wine: start-up
# against a floor program, size and static imports, and the latency from the
# staging tool's exit to the outcome box.  Run it on a quiet machine.
#   bash tools/bench.sh [--runs N] [--build win32|win64]
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
bash scripts/build.sh win32 win64 >/dev/null
python3 tools/bench.py "$@"
