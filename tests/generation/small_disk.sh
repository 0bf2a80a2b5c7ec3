#!/usr/bin/env bash
# Runs a file test in a user and mount namespace of its own, without the power to write where
# permissions forbid, with a 16 KiB disk at $TALLYMERE_SMALL_DISK; with BITS, under Wine.
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
TALLYMERE_SMALL_DISK="Z:${disk//\//\\}" exec setpriv --bounding-set=-all "$wine" "$test"
