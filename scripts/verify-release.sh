#!/usr/bin/env bash
# Checks a release made by scripts/release.sh against the source it came from.
#
#   scripts/verify-release.sh OUTDIR [COMMIT] [--brand FILE]
#
# Rebuilds from a clean clone of HEAD of the repository that holds this script
# (or of COMMIT when given), made in a temporary folder; the release does not
# record its commit.  Then it checks, and exits 0 only when all of it holds:
#   - SHA256SUMS matches every file it names, and names Setup.exe,
#     Setup-unsigned.exe and Setup.exe.p7s;
#   - the rebuild equals Setup-unsigned.exe byte for byte;
#   - Setup.exe.p7s attached to the rebuild (osslsigncode attach-signature)
#     equals the published Setup.exe byte for byte;
#   - the signature and its timestamp verify against the roots in SIGN_CAFILE
#     (SIGN_NO_TIMESTAMP=1 for a release made without a timestamp);
#   - each package zip named in SHA256SUMS holds that same Setup.exe.
# --brand FILE: the brand file the release was made for (default res/brand.cmake);
# one of this repository is taken from the clone.
# SIGN_CAFILE=FILE        the roots (PEM) the release must chain to; required
# OSSLSIGNCODE=PROGRAM    another osslsigncode than the one on PATH (optional)
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/release-lib.sh
. "$ROOT/scripts/release-lib.sh"

WORK=""
BRAND="$ROOT/res/brand.cmake"

rebuild() {
    local commit=$1 src=$WORK/src
    git clone -q --no-checkout "$ROOT" "$src" || die "could not clone $ROOT"
    git -C "$src" checkout -q --detach "$commit" || die "no commit $commit"
    say "rebuilding $(git -C "$src" rev-parse HEAD) in a clean clone"
    build_setup "$src" "$WORK/build.log" "$BRAND"
    cp "$src/build/win32/Setup.exe" "$WORK/rebuilt.exe"
}

check_zips() {
    local outdir=$1 zip
    while IFS= read -r zip; do
        python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read("Setup.exe"))' \
            "$outdir/$zip" >"$WORK/zipped.exe" || die "$zip holds no Setup.exe"
        cmp -s "$WORK/zipped.exe" "$outdir/Setup.exe" || die "the Setup.exe in $zip is not the published one"
    done < <(cut -c 67- "$outdir/SHA256SUMS" | grep '\.zip$' || true)
}

main() {
    local arguments=()
    while [ $# -gt 0 ]; do
        if [ "$1" = --brand ]; then
            [ $# -ge 2 ] && [ -f "$2" ] || die "usage: --brand FILE, an existing brand file"
            BRAND=$(realpath -- "$2")
            shift 2
        else
            arguments+=("$1")
            shift
        fi
    done
    set -- "${arguments[@]}"
    [ $# -ge 1 ] && [ $# -le 2 ] || die "usage: scripts/verify-release.sh OUTDIR [COMMIT] [--brand FILE]"
    local outdir commit=${2:-HEAD}
    outdir=$(realpath -- "$1")
    [ -n "${SIGN_CAFILE:-}" ] && [ -r "$SIGN_CAFILE" ] || die "SIGN_CAFILE must name the roots (PEM) to check against"
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/verify-release-XXXXXX")
    trap 'rm -rf "$WORK"' EXIT
    trap 'exit 130' INT TERM HUP
    check_sums "$outdir" Setup.exe Setup-unsigned.exe Setup.exe.p7s
    rebuild "$commit"
    cmp -s "$WORK/rebuilt.exe" "$outdir/Setup-unsigned.exe" || die "the rebuild differs from Setup-unsigned.exe"
    attach_signature "$outdir/Setup.exe.p7s" "$WORK/rebuilt.exe" "$WORK/attached.exe" "$SIGN_CAFILE" \
        "$WORK/attach.log"
    cmp -s "$WORK/attached.exe" "$outdir/Setup.exe" \
        || die "Setup.exe.p7s attached to the rebuild differs from the published Setup.exe"
    check_signature "$outdir/Setup.exe" "$SIGN_CAFILE" "$WORK/verify.log"
    check_zips "$outdir"
    say "$outdir: the rebuild with the signature attached is the published Setup.exe; SHA256SUMS holds"
}

main "$@"
