#!/usr/bin/env bash
# Runs a Windows program under Wine, in the Wine prefix that scripts/wine-prefix.sh prepares:
#   wine-run.sh PROGRAM.exe ARGUMENTS...
set -euo pipefail
source "$(dirname "$0")/wine-prefix.sh"
use_wine_prefix
exec wine "$@"
