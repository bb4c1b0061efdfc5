#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when any is missing.
set -euo pipefail

# locales: the glibc locale sources from which the e2e suite compiles its own
# ja_JP.UTF-8 (code page 932 under Wine) into build/e2e/locale.
# osslsigncode, openssl: scripts/release.sh signs and checks with them, through
# libengine-pkcs11-openssl for a key on a PKCS#11 token; softhsm2 and opensc give
# tests/release such a token, made at run time.
# Where the kernel runs i386 programs, also Debian's 32-bit Wine, which runs the
# shipped 32-bit Setup.exe as a WoW64 process of the tests' 64-bit prefix.

PACKAGES=(
    cmake make g++ binutils libgtest-dev python3
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine64 fonts-wine xvfb x11-utils imagemagick
    locales
    clang libclang-rt-dev
    git openssl osslsigncode softhsm2 opensc libengine-pkcs11-openssl
)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

install_packages() {
    echo "Installing: $*"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# True when the kernel runs a tiny static i386 program (made with binutils).
kernel_runs_i386() {
    local dir status
    dir=$(mktemp -d /tmp/deps-i386-XXXXXX)
    printf '.globl _start\n_start:\n movl $1, %%eax\n movl $42, %%ebx\n int $0x80\n' >"$dir/exit.s"
    status=1
    if as --32 -o "$dir/exit.o" "$dir/exit.s" 2>/dev/null && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" 2>/dev/null; then
        "$dir/exit" 2>/dev/null
        [ $? -eq 42 ] && status=0
    fi
    rm -rf "$dir"
    return $status
}

missing=()
for package in "${PACKAGES[@]}"; do
    installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] || install_packages "${missing[@]}"

if kernel_runs_i386; then
    if ! installed wine32:i386; then
        dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
        install_packages wine32:i386
    fi
else
    echo "deps: the kernel runs no i386 program; the tests run the 64-bit Setup.exe only"
fi
