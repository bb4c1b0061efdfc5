# shellcheck shell=bash
# Functions shared by release.sh and verify-release.sh; source it, do not run it.
# Every function either succeeds or ends the script through die (the caller's
# EXIT trap then removes its temporary folder).

OSSLSIGNCODE=${OSSLSIGNCODE:-osslsigncode}  # another build of the tool, for trying one
SIGN_TIMEOUT=300                            # seconds for one osslsigncode run (a timestamp server may hang)

die() {
    echo "${0##*/}: $*" >&2
    exit 1
}

say() {
    echo "${0##*/}: $*"
}

# Runs osslsigncode with its output in LOG; prints the log and dies when it fails.
oss() {
    local log=$1
    shift
    if ! timeout "$SIGN_TIMEOUT" "$OSSLSIGNCODE" "$@" >"$log" 2>&1; then
        cat "$log" >&2
        die "osslsigncode $1 failed"
    fi
}

# Size of the PE security directory (the embedded signature): 0 when unsigned.
pe_signature_size() {
    local file=$1 pe magic dirs
    [ "$(head -c 2 "$file")" = MZ ] || die "$file is not a PE file"
    pe=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
    magic=$(od -An -tx2 -j$((pe + 24)) -N2 "$file" | tr -d ' ')
    case $magic in
        010b) dirs=$((pe + 24 + 96)) ;;   # PE32: data directories after 96 bytes
        020b) dirs=$((pe + 24 + 112)) ;;  # PE32+
        *) die "$file: unknown optional header $magic" ;;
    esac
    od -An -tu4 -j$((dirs + 4 * 8 + 4)) -N4 "$file" | tr -d ' '  # entry 4, its size
}

# The brand file BRAND (absolute) as the source tree SRC holds it: the same file
# below SRC when BRAND lies in this repository, else BRAND itself.
brand_in_tree() {
    local src=$1 brand=$2
    case "$brand" in
        "$ROOT"/*) echo "$src/${brand#"$ROOT"/}" ;;
        *) echo "$brand" ;;
    esac
}

# The brand's title (BRAND_TITLE of the brand file BRAND).
brand_title() {
    sed -n 's/^set(BRAND_TITLE "\(.*\)")$/\1/p' "$1"
}

# Builds the win32 preset's Setup.exe in the source tree SRC for the brand
# file BRAND, output in LOG.
build_setup() {
    local src=$1 log=$2 brand
    brand=$(brand_in_tree "$src" "$3")
    if ! (cd "$src" && cmake --preset win32 -DLAUNCHER_BRAND="$brand" && cmake --build --preset win32 --target Setup) \
        >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        die "the win32 build failed in $src"
    fi
}

# Checks the signature of FILE against the roots in CAFILE, the timestamp too
# unless SIGN_NO_TIMESTAMP=1.  osslsigncode exits 0 even when the timestamp
# does not verify, so its report is read line by line.
check_signature() {
    local file=$1 cafile=$2 log=$3
    timeout "$SIGN_TIMEOUT" "$OSSLSIGNCODE" verify -CAfile "$cafile" -TSA-CAfile "$cafile" -in "$file" \
        >"$log" 2>&1 || { cat "$log" >&2; die "the signature of $file does not verify against $cafile"; }
    if [ "${SIGN_NO_TIMESTAMP:-}" != 1 ] && ! grep -q '^Timestamp Server Signature verification: ok$' "$log"; then
        cat "$log" >&2
        die "the timestamp of $file is missing or does not verify against $cafile"
    fi
    if grep -Eq 'failed|Failed|MISMATCH' "$log" \
        || ! grep -Eq '^Message digest algorithm +: SHA256' "$log" \
        || ! grep -q '^Signature verification: ok$' "$log" \
        || ! grep -q '^Number of verified signatures: 1$' "$log"; then
        cat "$log" >&2
        die "the signature of $file is not one SHA-256 signature that verifies against $cafile"
    fi
}

# Attaches the detached signature P7S to UNSIGNED as OUT (verifying it against CAFILE).
attach_signature() {
    local p7s=$1 unsigned=$2 out=$3 cafile=$4 log=$5
    oss "$log" attach-signature -sigin "$p7s" -CAfile "$cafile" -TSA-CAfile "$cafile" -in "$unsigned" -out "$out"
}

# Checks that the files named in DIR/SHA256SUMS match, and that it names NAMES.
check_sums() {
    local dir=$1 name
    shift
    [ -f "$dir/SHA256SUMS" ] || die "no SHA256SUMS in $dir"
    (cd "$dir" && sha256sum --strict --quiet -c SHA256SUMS) || die "SHA256SUMS does not match the files in $dir"
    for name in "$@"; do
        cut -c 67- "$dir/SHA256SUMS" | grep -qxF "$name" || die "SHA256SUMS does not name $name"
    done
}
