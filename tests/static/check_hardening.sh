#!/usr/bin/env bash
# ASLR and DEP on a built exe (and high-entropy addresses on x86_64), from its PE header.
set -euo pipefail
exe=$1
objdump=$2
flags=$((16#$("$objdump" -p "$exe" | awk '/^DllCharacteristics/ { print $2 }')))
want=$((0x40 | 0x100))
[ "${3:-}" = x64 ] && want=$((want | 0x20))
if [ $((flags & want)) -ne $want ]; then
    printf 'FAIL: DllCharacteristics 0x%x lacks 0x%x\n' "$flags" "$want"
    exit 1
fi
printf 'ok: DllCharacteristics 0x%x (dynamic base, NX compatible%s)\n' "$flags" "$([ "${3:-}" = x64 ] && echo ', high-entropy VA')"
