#!/usr/bin/env bash
# ASLR, DEP and Terminal Server awareness on a built exe (and high-entropy addresses on x86_64), from
# its PE header, and a read-only resource section (Windows charges commit for writable image pages:
# the whole carried document at every start).
set -euo pipefail
exe=$1
objdump=$2
flags=$((16#$("$objdump" -p "$exe" | awk '/^DllCharacteristics/ { print $2 }')))
want=$((0x40 | 0x100 | 0x8000))
[ "${3:-}" = x64 ] && want=$((want | 0x20))
if [ $((flags & want)) -ne $want ]; then
    printf 'FAIL: DllCharacteristics 0x%x lacks 0x%x\n' "$flags" "$want"
    exit 1
fi
printf 'ok: DllCharacteristics 0x%x (dynamic base, NX compatible, Terminal Server aware%s)\n' \
    "$flags" "$([ "${3:-}" = x64 ] && echo ', high-entropy VA')"
rsrc_flags=$("$objdump" -h "$exe" | awk '$2 == ".rsrc" { getline; print }')
if [ -z "$rsrc_flags" ] || ! grep -q READONLY <<<"$rsrc_flags"; then
    echo "FAIL: the resource section is writable ($rsrc_flags)"
    exit 1
fi
echo "ok: the resource section is read-only"
