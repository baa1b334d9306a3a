#!/usr/bin/env bash
# What Windows and binary checkers judge a shipped exe by, read from the built exe (either build,
# signed or not): ASLR, DEP and Terminal Server awareness (and high-entropy addresses on x86_64);
# on i686 no SEH (and no handler registered); a load configuration that limits the search for the
# imports to System32 and whose SecurityCookie names a guard at Microsoft's default value in
# writable data, relocated with the image, which protected functions check and whose failure fails
# fast; terminate-on-corruption for the heap; unwind data
# on x86_64 that covers the entry; no banned function imported; a read-only resource section
# (Windows charges commit for writable image pages: the whole carried document at every start).
# Each check is a command string that check() evaluates later.
# shellcheck disable=SC2016,SC2034
set -euo pipefail
exe=$1
objdump=$2
x64=false
[ "${3:-}" = x64 ] && x64=true
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }

headers=$("$objdump" -p "$exe")
# One line a section: name, size, VMA, LMA, file offset, alignment, flags.
sections=$("$objdump" -h "$exe" | awk '$2 ~ /^\./ { line = $2 " " $3 " " $4 " " $5 " " $6 " " $7; getline; print line, $0 }')
code=$("$objdump" -d "$exe")
base=$((16#$(awk '$1 == "ImageBase" { print $2 }' <<<"$headers")))
flags=$((16#$(awk '/^DllCharacteristics/ { print $2 }' <<<"$headers")))
want=$((0x40 | 0x100 | 0x8000))
if $x64; then want=$((want | 0x20)); else want=$((want | 0x400)); fi
check "$(printf 'DllCharacteristics 0x%x has 0x%x (dynamic base, NX compatible, Terminal Server aware, %s)' \
    "$flags" "$want" "$($x64 && echo 'high-entropy VA' || echo 'no SEH')")" \
    '[ $((flags & want)) -eq $want ]'
$x64 || check "no SEH handler registered (no %fs:0 in the code)" '! grep -q "%fs:0x0" <<<"$code"'

# section_of VA: name, start and file offset of the section whose raw data holds the address, and
# its flags; offset_of VA: the address's file offset.
section_of() {
    local name size vma offset rest
    while read -r name size vma _ offset _ rest; do
        if [ $((16#$vma)) -le "$1" ] && [ "$1" -lt $((16#$vma + 16#$size)) ]; then
            echo "$name $((16#$vma)) $((16#$offset)) $rest"
            return
        fi
    done <<<"$sections"
}
offset_of() {
    local -a found
    read -ra found < <(section_of "$1") || true
    [ ${#found[@]} -gt 0 ] && echo $((found[2] + $1 - found[1]))
}
word() { od -An -tu"$2" -j "$1" -N"$2" "$exe" | tr -d ' '; }

read -r config_rva config_size < <(awk '$1 == "Entry" && $2 == "a" { print $3, $4 }' <<<"$headers")
config_offset=$(offset_of $((base + 16#${config_rva:-0}))) || true
# IMAGE_LOAD_CONFIG_DIRECTORY32 of 0x40 bytes, the size every Windows accepts for an i386 image;
# the 64-bit one up to SEHandlerCount.
pointer=4 config_bytes=0x40 search_flags=0x36 cookie_field=0x3C default=$((0xBB40E64E))
if $x64; then
    pointer=8 config_bytes=0x70 search_flags=0x4E cookie_field=0x58 default=$((0x00002B992DDFA232))
fi
check "a load configuration of $config_bytes bytes, as its directory says" \
    '[ -n "$config_offset" ] && [ $((16#$config_size)) = $((config_bytes)) ] &&
     [ "$(word "$config_offset" 4)" = $((config_bytes)) ]'
[ -n "$config_offset" ] || exit 1
check "load configuration: DependentLoadFlags LOAD_LIBRARY_SEARCH_SYSTEM32 (0x800)" \
    '[ "$(word $((config_offset + search_flags)) 2)" = 2048 ]'
cookie=$(word $((config_offset + cookie_field)) $pointer)
read -ra cookie_section < <(section_of "$cookie") || true
check "SecurityCookie names a guard in writable data (${cookie_section[0]:-none})" \
    '[ ${#cookie_section[@]} -gt 0 ] && ! grep -q READONLY <<<"${cookie_section[*]}"'
check "the guard holds Microsoft's default value, which the loader replaces" \
    '[ "$(word "$(offset_of "$cookie")" $pointer)" = "$default" ]'
check "the SecurityCookie field is relocated with the image" \
    'grep -qi "\[0*$(printf %x $((16#$config_rva + cookie_field)))\]" <<<"$headers"'
# Protected functions read the guard: on i686 at its address, on x86_64 through a pointer to it.
guard_reads=0
if [ "$cookie" = 0 ]; then
    :
elif ! $x64; then
    guard_reads=$(grep -c "$(printf '0x%x' "$cookie")\b" <<<"$code" || true)
else
    while read -r slot; do
        guard_reads=$((guard_reads + $(grep -c "# $(printf '0x%x' "$slot")$" <<<"$code" || true)))
    done < <(for name in .rdata .data; do
        read -r _ size vma _ offset _ < <(grep "^$name " <<<"$sections")
        od -An -tu8 -w8 -v -j $((16#$offset)) -N $((16#$size / 8 * 8)) "$exe" |
            awk -v vma=$((16#$vma)) -v want="$cookie" '$1 == want { printf "%.0f\n", vma + 8 * (NR - 1) }'
    done)
fi
check "stack-protected functions check the guard ($guard_reads reads)" '[ "$guard_reads" -ge 10 ]'
check "a failed check fails fast (int 0x29, FAST_FAIL_STACK_COOKIE_CHECK_FAILURE)" \
    'grep -A1 "mov    \$0x2,%ecx" <<<"$code" | grep -q "int    \$0x29"'
# The imported names: the last column of each entry line below a DLL's name (binutils 2.40 and 2.44
# lay the columns out differently).
imports=$(awk '/DLL Name:/ { listed = 1; next } /^$/ { listed = 0 } listed && /^\t[0-9a-f]+[ \t]/ { print $NF }' <<<"$headers")
check "the heap ends the process on corruption (HeapSetInformation imported)" \
    'grep -qx HeapSetInformation <<<"$imports"'
banned='^(wv?sprintf[AW]?|lstrcpyn?[AW]?|lstrcat[AW]?|lstrncat|str(n)?cpy|str(n)?cat|w?v?sprintf|gets|_?itoa|_?ultoa)$'
check "no banned function imported" '! grep -Eq "$banned" <<<"$imports"'
if $x64; then
    entry=$((base + 16#$(awk '$1 == "AddressOfEntryPoint" { print $2 }' <<<"$headers")))
    check "unwind data (.pdata) covers the entry" \
        'awk "/Function Table/ { on = 1 } on && \$2 ~ /^[0-9a-f]+$/ { print \$2 }" <<<"$headers" | grep -qi "$(printf %016x "$entry")"'
fi
check "the resource section is read-only" 'grep "^.rsrc " <<<"$sections" | grep -q READONLY'
exit $fail
