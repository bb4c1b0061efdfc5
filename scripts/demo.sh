#!/usr/bin/env bash
# The main job: builds the Windows launcher (32-bit shipped build and 64-bit build),
# then runs it under Wine on the sample driver package laid out in a short folder
# under /tmp, with the suite's stand-ins for pnputil.exe and the Add Printer
# wizard: on the user's display when there is one, else on a virtual display
# where it walks the notice, the page, the quit question, OK without and with
# the network option (the "ready" and "completed" boxes) and two refusals, with
# screenshots under out/demo/; then a quiet install and a network printer added
# and removed again through Wine's spooler and the suite's stand-in TCP/IP port
# monitor, with their logs.  Exits non-zero when an expected window does not
# appear or a launch does not end with 0.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
# Only what the demo runs: the launcher and the suite's programs beside it.
for preset in win32 win64; do
    echo "== build: $preset (the launcher and the programs the demo runs)"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target e2e_programs
done
echo "Setup.exe (32-bit, shipped): $(pwd)/build/win32/Setup.exe"
echo "Setup.exe (64-bit, for Wine): $(pwd)/build/win64/Setup.exe"
if [ -f tests/e2e/demo.py ]; then
    python3 tests/e2e/demo.py
fi
