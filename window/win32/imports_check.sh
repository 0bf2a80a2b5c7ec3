#!/usr/bin/env bash
# Fails the build on any function that TALLYMERE.EXE imports and the allow-list lacks, on any
# allowed one newer than Windows 7 SP1 (6.1), and on a header that does not name 6.1 as the oldest
# Windows.
#   imports_check.sh OBJDUMP TALLYMERE.EXE ALLOW_LIST
set -euo pipefail
objdump=$1 exe=$2 allowed=$3
newer=$(awk '!/^#/ && $3 > 6.1' "$allowed")
[ -z "$newer" ] || { echo "newer than Windows 7: $newer" && exit 1; }
missing=$(comm -23 <("$objdump" -p "$exe" | awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f]+\t/ { print dll, $3 }' | sort -u) \
    <(awk '!/^#/ { print $1, $2 }' "$allowed" | sort -u))
[ -z "$missing" ] || { echo "imported, not allowed: $missing" && exit 1; }
"$objdump" -p "$exe" | grep -qzP 'MajorOSystemVersion\t6\nMinorOSystemVersion\t1\n' ||
    { echo "the header does not name Windows 7 as the oldest" && exit 1; }
echo "Tallymere.exe imports only what Windows 7 has"
