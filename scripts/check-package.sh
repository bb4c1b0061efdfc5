#!/usr/bin/env bash
# Checks a driver package as the launcher will read it on a customer's PC: runs
# the built Setup.exe /check under Wine with DIR as its current folder, prints
# the report and ends with the check's exit code as a shell keeps it (8 bits):
# 0 when the package has no error, 84 when it has one (1620: 1620 modulo 256).
# Nothing is written into DIR: the launcher runs from the build folder, in a
# Wine prefix of its own (build/check/prefix, made on first use).
#
#   bash scripts/check-package.sh DIR [--log FILE]
#
# --log FILE appends the report, with the time of each line, to FILE as well.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

usage() {
    echo "usage: bash scripts/check-package.sh DIR [--log FILE]" >&2
    exit 2
}

[ $# -eq 1 ] || [ $# -eq 3 ] || usage
[ -d "$1" ] || { echo "check-package: no folder $1" >&2; exit 2; }
package=$(cd "$1" && pwd)
arguments=(/check)
if [ $# -eq 3 ]; then
    [ "$2" = "--log" ] || usage
    log=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
    arguments+=("/log=Z:${log//\//\\}")
fi

bash scripts/deps.sh >/dev/null
# The shipped 32-bit build where the machine runs it, else the 64-bit one.
build=$(python3 -c 'import sys; sys.path.insert(0, "tests/e2e"); import builds; print(builds.choose_builds()[0].name)')
if [ ! -f "build/$build/Setup.exe" ]; then
    cmake --preset "$build" >/dev/null
    cmake --build --preset "$build" --target Setup >/dev/null
fi

export WINEPREFIX="$root/build/check/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$WINEPREFIX" ]; then
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
fi
status=0
(cd "$package" && /usr/lib/wine/wine64 "$root/build/$build/Setup.exe" "${arguments[@]}") || status=$?
exit $status
