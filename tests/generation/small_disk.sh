#!/usr/bin/env bash
# Runs a file test in a user and mount namespace of its own, without the power to write where
# permissions forbid, with a 16 KiB disk at $TALLYMERE_SMALL_DISK; with BITS, a Windows test under
# Wine, with a Wine server of its own that sees the small disk.
#   small_disk.sh TEST [BITS]
set -euo pipefail
if [ "${1:-}" != --inside ]; then
    disk=$(mktemp -d) status=0
    unshare --map-root-user --mount bash "$0" --inside "$disk" "$@" || status=$?
    rmdir "$disk"
    exit "$status"
fi
disk=$2 test=$3 bits=${4:-}
mount -t tmpfs -o size=16k tallymere "$disk"
if [ -z "$bits" ]; then
    TALLYMERE_SMALL_DISK=$disk exec setpriv --bounding-set=-all "$test"
fi
servers=/tmp/.wine-$(id -u)
mkdir -p "$servers" && mount -t tmpfs -o mode=700 tallymere "$servers"
source "$(dirname "$0")/../../scripts/wine-prefix.sh"
use_wine "$bits"
# In Wine's own trace of the calls a program makes, what it writes to 口算题.doc is flushed.
WINEDEBUG=+relay "$wine" "$test" --gtest_filter='*/folder_in_the_files_place' 2>&1 >/dev/null |
    awk '/Call KERNEL32.CreateFileW\(.*\\53e3\\7b97\\9898.doc"/ { opening = 1 }
        opening && /Ret  KERNEL32.CreateFileW/ { sub(/.*retval=/, ""); file = $1; opening = 0 }
        index($0, "Call KERNEL32.WriteFile(" file ",") { unflushed = 1 }
        index($0, "Call KERNEL32.FlushFileBuffers(" file ")") { flushed += unflushed; unflushed = 0 }
        END { exit !(flushed && !unflushed) }' || { echo "a sheet was not flushed" && exit 1; }
TALLYMERE_SMALL_DISK="Z:${disk//\//\\}" exec setpriv --bounding-set=-all "$wine" "$test"
