#!/usr/bin/env bash
# Installs what is missing, builds all three presets and runs every test:
# host unit tests, checks of the built executables, the stand-in cross-check
# against Wine, the end-to-end suite of Setup.exe under Wine, the signed release,
# and brand files with a second, test-only brand built and run under Wine.
# Ends with one line adding up every suite: "total: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh || exit 1
bash scripts/build.sh host win32 win64 || exit 1

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
passed=0
failed=0
status=0

# Runs one suite, echoing its output, and adds its closing "N passed, N failed"
# line to the totals; a suite that fails without such a line counts as one failure.
run() {
    local name=$1 log="$logs/$(echo "$1" | tr -c 'a-z0-9' '_')"
    shift
    echo "== $name"
    "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local counts
    counts=$(grep -Eo '[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
    if [ -z "$counts" ]; then
        # ctest's own summary: "100% tests passed, 0 tests failed out of 29"
        counts=$(sed -nE 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2 \1/p' "$log" | tail -n 1)
        [ -n "$counts" ] && counts="$(( ${counts% *} - ${counts#* } )) passed, ${counts#* } failed"
    fi
    if [ -n "$counts" ]; then
        passed=$(( passed + $(echo "$counts" | cut -d' ' -f1) ))
        failed=$(( failed + $(echo "$counts" | cut -d' ' -f3) ))
    elif [ "$rc" -ne 0 ]; then
        failed=$(( failed + 1 ))
    fi
    [ "$rc" -eq 0 ] || status=1
}

run "unit tests (host)" ctest --preset host --output-on-failure
run "shipped executable (win32)" python3 tests/artefact/check_exe.py build/win32/Setup.exe win32
run "test executable (win64)" python3 tests/artefact/check_exe.py build/win64/Setup.exe win64
run "documentation links" python3 tests/artefact/check_docs.py
run "reproducible build (two clean clones)" python3 tests/artefact/check_reproducible.py
run "fuzz target (about a minute)" bash tests/fuzz/run.sh 60
run "stand-in cross-check (host against Wine)" python3 tests/crosscheck/run.py
run "end-to-end (Setup.exe under Wine)" python3 tests/e2e/run.py
run "signed release (release.sh, verify-release.sh)" python3 tests/release/run.py
run "brand files, and the test brand's builds (build/brand)" python3 tests/brand/run.py
# The cases that show the title, the window class, the mutex and the log's name.
run "end-to-end of the test brand's builds" env E2E_BUILD_TREE=build/brand python3 tests/e2e/run.py \
    --case notice_dialog --case page_and_frame --case quit_prompt_answers --case already_started \
    --case deploy_quiet_outcomes --case deploy_quiet_temp_log --case deploy_command_line_boxes \
    --case brands_side_by_side

[ $status -eq 0 ] && [ $failed -eq 0 ] || status=1
echo "total: $passed passed, $failed failed"
exit $status
