#!/usr/bin/env bash
# Installs what is missing, builds all three presets and runs every test:
# host unit tests, the stand-in cross-check against Wine, the end-to-end suite under Wine.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh || exit 1
bash scripts/build.sh host win32 win64 || exit 1

failed=0
run() {
    echo "== $1"
    shift
    "$@" || failed=1
}
run "unit tests (host)" ctest --preset host --output-on-failure
run "shipped executable (win32)" python3 tests/artefact/check_exe.py build/win32/Setup.exe win32
run "test executable (win64)" python3 tests/artefact/check_exe.py build/win64/Setup.exe win64
if [ -f tests/crosscheck/run.py ]; then
    run "stand-in cross-check (host against Wine)" python3 tests/crosscheck/run.py
fi
if [ -f tests/e2e/run.py ]; then
    run "end-to-end (Setup.exe under Wine)" python3 tests/e2e/run.py
fi
[ $failed -eq 0 ] && echo "== all tests passed" || echo "== some tests FAILED"
exit $failed
