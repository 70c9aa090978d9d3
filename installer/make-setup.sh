#!/usr/bin/env bash
# Builds a setup program of Slumberhold with makensis (Debian package nsis).
#   make-setup.sh OUTPUT EXE64 [EXE32]
# With both programs the setup is a 32-bit one that installs the program of
# the machine's own width; with EXE64 only, a 64-bit one for 64-bit Windows.
# The version shown in Programs and Features is EXE64's file version unless
# SLH_SETUP_VERSION gives another (the tests make an "older" setup so).
set -euo pipefail
if (($# < 2 || $# > 3)); then
    echo "usage: $0 OUTPUT EXE64 [EXE32]" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
output=$(realpath -m "$1")
defines=(-DOUTFILE="$output" -DEXE64="$(realpath "$2")")
(($# == 3)) && defines+=(-DEXE32="$(realpath "$3")")
[ -n "${SLH_SETUP_VERSION:-}" ] && defines+=(-DVERSION="$SLH_SETUP_VERSION")
mkdir -p "$(dirname "$output")"
# -V2: warnings and errors only; -WX: a warning fails the build.
makensis -V2 -WX -NOCD "${defines[@]}" "$here/Slumberhold.nsi"
