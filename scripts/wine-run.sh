#!/usr/bin/env bash
# Runs a Windows program of BITS (32 or 64) bits under Wine, in the Wine prefix that
# scripts/wine-prefix.sh prepares; exits 77 (skipped) where 32-bit programs cannot run:
#   wine-run.sh BITS PROGRAM.exe ARGUMENTS...
set -euo pipefail
source "$(dirname "$0")/wine-prefix.sh"
use_wine "$1"
exec "$wine" "${@:2}"
