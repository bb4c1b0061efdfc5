#!/usr/bin/env bash
# Makes the signed, verifiable release of the shipped launcher.
#
#   scripts/release.sh OUTDIR [--package DIR] [--brand FILE]
#
# Refuses a work tree with any change or untracked file, builds the win32 preset's
# Setup.exe (reproducible: byte-identical from any clean clone of the commit), refuses
# it if it is signed already, signs it with Authenticode (SHA-256, osslsigncode) and
# an RFC 3161 timestamp, and checks before writing anything that
#   - the signature and the timestamp verify against the roots in SIGN_CAFILE,
#   - removing the signature gives back the unsigned build byte for byte,
#   - attaching the detached signature to the unsigned build gives the signed file.
# Only then it moves into OUTDIR (made when missing; files of these names replaced):
#   Setup.exe            the signed launcher
#   Setup-unsigned.exe   the reproducible build it was made from
#   Setup.exe.p7s        the detached signature, PEM (scripts/verify-release.sh uses it)
#   <DIR's name>.zip     with --package: DIR's files with the signed Setup.exe in it
#   SHA256SUMS           sha256sum lines for the files above
# A run that fails, at any step, leaves OUTDIR as it was.  With --package, DIR must
# first pass `bash scripts/check-package.sh DIR`; DIR is only read.  With --brand,
# the launcher is built for that brand file (default res/brand.cmake), and the
# signature names the program after its BRAND_TITLE; verify-release.sh then
# needs the same --brand.
#
# The key, one of:
#   SIGN_PKCS12=FILE                   a PKCS#12 file
#   SIGN_PKCS11_MODULE=MODULE.so       a PKCS#11 token: its module,
#   SIGN_PKCS11_KEY=ID                 the key on it (PKCS#11 URI or id),
#   SIGN_PKCS11_CERT=ID | SIGN_CERT=FILE   its certificate on the token, or in a PEM file
# SIGN_PASS_FILE=FILE     a file holding the password or PIN (a final newline is ignored);
#                         osslsigncode reads it (-readpass): it is never on a command line
# SIGN_CAFILE=FILE        the roots (PEM) that the signature and the timestamp must chain to
# SIGN_TS_URL="URL ..."   RFC 3161 timestamp servers, tried in turn; required unless SIGN_NO_TIMESTAMP=1
# OSSLSIGNCODE=PROGRAM    another osslsigncode than the one on PATH (optional)
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/release-lib.sh
. "$ROOT/scripts/release-lib.sh"

OUTDIR=""
PACKAGE=""
ZIP=""
BRAND="$ROOT/res/brand.cmake"
STAGE=""

usage() {
    die "usage: scripts/release.sh OUTDIR [--package DIR] [--brand FILE]"
}

parse_args() {
    [ $# -ge 1 ] || usage
    OUTDIR=$(realpath -m -- "$1")
    shift
    [ ! -e "$OUTDIR" ] || [ -d "$OUTDIR" ] || die "$OUTDIR is not a folder"
    while [ $# -gt 0 ]; do
        [ $# -ge 2 ] || usage
        case "$1" in
            --package)
                [ -d "$2" ] || die "no package folder $2"
                PACKAGE=$(realpath -- "$2")
                ZIP="$(basename "$PACKAGE").zip"
                case "$OUTDIR/" in "$PACKAGE/"*) die "OUTDIR must not be inside the package folder" ;; esac
                ;;
            --brand)
                [ -f "$2" ] || die "no brand file $2"
                BRAND=$(realpath -- "$2")
                ;;
            *) usage ;;
        esac
        shift 2
    done
}

need_file() {
    [ -n "${!1:-}" ] || die "$1 is not set"
    [ -r "${!1}" ] || die "$1: cannot read ${!1}"
}

check_settings() {
    if [ -n "${SIGN_PKCS12:-}" ]; then
        [ -z "${SIGN_PKCS11_MODULE:-}" ] || die "set SIGN_PKCS12 or SIGN_PKCS11_MODULE, not both"
        need_file SIGN_PKCS12
    elif [ -n "${SIGN_PKCS11_MODULE:-}" ]; then
        need_file SIGN_PKCS11_MODULE
        [ -n "${SIGN_PKCS11_KEY:-}" ] || die "SIGN_PKCS11_KEY is not set"
        [ -n "${SIGN_PKCS11_CERT:-}" ] || need_file SIGN_CERT
    else
        die "no key: set SIGN_PKCS12, or SIGN_PKCS11_MODULE and SIGN_PKCS11_KEY"
    fi
    need_file SIGN_PASS_FILE
    need_file SIGN_CAFILE
    [ "${SIGN_NO_TIMESTAMP:-}" = 1 ] || [ -n "${SIGN_TS_URL:-}" ] \
        || die "SIGN_TS_URL is not set (SIGN_NO_TIMESTAMP=1 signs without a timestamp)"
    command -v "$OSSLSIGNCODE" >/dev/null || die "$OSSLSIGNCODE not found (bash scripts/deps.sh installs it)"
}

check_clean_tree() {
    git -C "$ROOT" rev-parse --verify -q HEAD >/dev/null || die "$ROOT is not a git work tree with a commit"
    [ -z "$(git -C "$ROOT" status --porcelain --untracked-files=normal)" ] \
        || die "the work tree has changes or untracked files: commit or remove them (git status)"
}

check_package() {
    [ -f "$ROOT/scripts/check-package.sh" ] || die "scripts/check-package.sh is missing: cannot check $PACKAGE"
    local status=0
    say "checking the package $PACKAGE"
    (cd "$ROOT" && bash scripts/check-package.sh "$PACKAGE") || status=$?
    [ "$status" -eq 0 ] || die "the package check of $PACKAGE failed (exit $status): nothing released"
}

sign() {
    # The elevation prompt shows the brand's title as the signed program's name.
    local args=(sign -h sha256 -n "$(brand_title "$BRAND")" -readpass "$SIGN_PASS_FILE") url
    if [ -n "${SIGN_PKCS12:-}" ]; then
        args+=(-pkcs12 "$SIGN_PKCS12")
    elif [ -n "${SIGN_PKCS11_CERT:-}" ]; then
        args+=(-pkcs11module "$SIGN_PKCS11_MODULE" -pkcs11cert "$SIGN_PKCS11_CERT" -key "$SIGN_PKCS11_KEY")
    else
        args+=(-pkcs11module "$SIGN_PKCS11_MODULE" -certs "$SIGN_CERT" -key "$SIGN_PKCS11_KEY")
    fi
    if [ "${SIGN_NO_TIMESTAMP:-}" != 1 ]; then
        for url in $SIGN_TS_URL; do args+=(-ts "$url"); done  # osslsigncode tries each in turn
    fi
    # One run only, whatever the number of servers: a wrong PIN is tried once.
    oss "$STAGE/sign.log" "${args[@]}" -in "$STAGE/out/Setup-unsigned.exe" -out "$STAGE/out/Setup.exe"
}

check_release() {
    local out=$STAGE/out
    check_signature "$out/Setup.exe" "$SIGN_CAFILE" "$STAGE/verify.log"
    oss "$STAGE/remove.log" remove-signature -in "$out/Setup.exe" -out "$STAGE/stripped.exe"
    cmp -s "$STAGE/stripped.exe" "$out/Setup-unsigned.exe" \
        || die "removing the signature does not give back the unsigned build"
    # PEM: the DER that osslsigncode 2.5 extracts starts with the PE certificate
    # table's header, which later versions do not attach.
    oss "$STAGE/extract.log" extract-signature -pem -in "$out/Setup.exe" -out "$out/Setup.exe.p7s"
    attach_signature "$out/Setup.exe.p7s" "$out/Setup-unsigned.exe" "$STAGE/attached.exe" "$SIGN_CAFILE" \
        "$STAGE/attach.log"
    cmp -s "$STAGE/attached.exe" "$out/Setup.exe" \
        || die "attaching Setup.exe.p7s to the unsigned build does not give the signed file"
}

make_zip() {
    python3 "$ROOT/scripts/package-zip.py" "$PACKAGE" "$STAGE/out/Setup.exe" "$STAGE/out/$ZIP" \
        || die "could not zip $PACKAGE"
}

# Moves the staged files into OUTDIR, SHA256SUMS last.
publish() {
    local names=(Setup.exe Setup-unsigned.exe Setup.exe.p7s) name
    [ -z "$ZIP" ] || names+=("$ZIP")
    (cd "$STAGE/out" && sha256sum -- "${names[@]}" >SHA256SUMS && chmod 644 -- "${names[@]}" SHA256SUMS)
    mkdir -p "$OUTDIR"
    for name in "${names[@]}" SHA256SUMS; do
        mv -f "$STAGE/out/$name" "$OUTDIR/$name"
    done
}

main() {
    parse_args "$@"
    check_settings
    check_clean_tree
    STAGE=$(mktemp -d "${TMPDIR:-/tmp}/release-XXXXXX")
    trap 'rm -rf "$STAGE"' EXIT
    trap 'exit 130' INT TERM HUP
    mkdir "$STAGE/out"
    say "building the win32 preset at $(git -C "$ROOT" rev-parse --short HEAD)"
    build_setup "$ROOT" "$STAGE/build.log" "$BRAND"
    cp "$ROOT/build/win32/Setup.exe" "$STAGE/out/Setup-unsigned.exe"
    [ "$(pe_signature_size "$STAGE/out/Setup-unsigned.exe")" -eq 0 ] \
        || die "build/win32/Setup.exe is signed already: refusing to sign it again"
    [ -z "$PACKAGE" ] || check_package
    check_clean_tree
    say "signing"
    sign
    check_release
    [ -z "$PACKAGE" ] || make_zip
    publish
    say "released $(git -C "$ROOT" rev-parse HEAD) into $OUTDIR:"
    (cd "$OUTDIR" && cat SHA256SUMS)
}

main "$@"
