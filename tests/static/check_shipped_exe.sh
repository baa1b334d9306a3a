#!/usr/bin/env bash
# Checks the shipped 32-bit exe without running it: PE32 for i386, GUI subsystem, imports only from
# known system DLLs (nothing the loader would look for beside the exe before the entry runs), and its
# resources and manifest; the load configuration is read by check_hardening.sh.
# Each check is a command string that check() evaluates later: its $-expressions are meant to stay
# unexpanded inside single quotes, and the variables and functions they use look unused to the linter.
# shellcheck disable=SC2016,SC2034,SC2317
set -euo pipefail
exe=$1
document=${2:-}
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }

[ -f "$exe" ] || { echo "FAIL: no exe at $exe"; exit 1; }
headers=$(i686-w64-mingw32-objdump -p "$exe")
check "PE32 (magic 010b)" 'grep -Eq "^Magic[[:space:]]+010b" <<<"$headers"'
check "machine i386" 'i686-w64-mingw32-objdump -f "$exe" | grep -q "file format pei-i386"'
check "GUI subsystem (2)" 'grep -Eq "^Subsystem[[:space:]]+0+2[[:space:]]" <<<"$headers"'
check "large address aware (4 GiB of addresses on 64-bit Windows)" \
    'grep -Eq "^[[:space:]]+large address aware$" <<<"$headers"'

allowed='^(kernel32|user32|gdi32|msvcrt)\.dll$'
dlls=$(grep -E "^[[:space:]]*DLL Name:" <<<"$headers" | awk '{print tolower($3)}')
[ -n "$dlls" ] || { echo "FAIL: no import list found"; exit 1; }
for dll in $dlls; do
    check "import $dll is a known system DLL" '[[ $dll =~ $allowed ]]'
done
# directory N: the RVA and size of data directory N (hex), from the header dump.
directory() { awk -v n="$1" '$1 == "Entry" && $2 == n { print $3, $4 }' <<<"$headers"; }
check "no TLS directory (no code runs before the entry)" '[ "$(directory 9)" = "00000000 00000000" ]'
check "no delay-import directory" '[ "$(directory d)" = "00000000 00000000" ]'
# The carried document, byte for byte, and the manifest of the shipped architecture.
if [ -n "$document" ]; then
    check "TH holds the document byte for byte" \
        'cmp -s <(wrestool -x --raw -t 10 -n TH "$exe") "$document"'
fi
manifest=$(wrestool -x --raw -t 24 -n 1 "$exe" || true)
check "manifest: version 1.0.0.0, X86, win32" \
    'grep -q "version=\"1.0.0.0\" processorArchitecture=\"X86\"" <<<"$manifest" && grep -q "type=\"win32\"" <<<"$manifest"'
check "manifest: common controls 6.0.0.0" \
    'grep -q "Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"" <<<"$manifest"'
# No UAC file virtualization (a save into a protected folder fails instead of landing in the
# VirtualStore) and no compatibility shims: Vista, 7, 8, 8.1 and 10/11.
check "manifest: requestedExecutionLevel asInvoker, no uiAccess (asm.v3 trustInfo)" \
    'grep -q "<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">" <<<"$manifest" &&
     grep -q "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>" <<<"$manifest"'
for os_id in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
    4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
    8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    check "manifest: supportedOS {$os_id}" 'grep -q "<supportedOS Id=\"{$os_id}\"/>" <<<"$manifest"'
done
check "manifest: per-monitor DPI aware (dpiAware true/pm, dpiAwareness PerMonitorV2, PerMonitor)" \
    'grep -q ">true/pm</dpiAware>" <<<"$manifest" &&
     grep -q ">PerMonitorV2, PerMonitor</dpiAwareness>" <<<"$manifest"'
# The carried document is mapped from the file at start only where its section is page-aligned.
rsrc_offset=$(i686-w64-mingw32-objdump -h "$exe" | awk '$2 == ".rsrc" { print $6 }')
check "resource section at a page-aligned file offset (0x$rsrc_offset)" \
    '[ -n "$rsrc_offset" ] && [ $((16#$rsrc_offset % 4096)) -eq 0 ]'
# A signature's digest leaves out bytes between sections (Authenticode): every byte from the
# headers to the last section must belong to one, page-alignment padding included.
u32() { od -An -tu4 -j "$1" -N4 "$exe" | tr -d ' '; }
u16() { od -An -tu2 -j "$1" -N2 "$exe" | tr -d ' '; }
sections_without_gaps() {
    local pe table count end i
    pe=$(u32 60)
    count=$(u16 $((pe + 6)))
    table=$((pe + 24 + $(u16 $((pe + 20)))))
    end=$(u32 $((pe + 24 + 60)))
    # SizeOfRawData and PointerToRawData of each section with raw data, in file order.
    for ((i = 0; i < count; i++)); do
        echo "$(u32 $((table + 40 * i + 20))) $(u32 $((table + 40 * i + 16)))"
    done | awk '$2 != 0' | sort -n | {
        while read -r offset size; do
            [ "$offset" -eq "$end" ] || return 1
            end=$((offset + size))
        done
    }
}
check "every byte from the headers to the last section lies in a section" sections_without_gaps
resources=$(wrestool -l "$exe")
for resource in "--type=2 --name='TITLEBAR'" "--type=2 --name='XBUT'" "--type=14 --name='APPICO'" \
    "--type=16 --name=1 --language=1031"; do
    check "resource $resource" 'grep -qF -- "$resource" <<<"$resources"'
done

# User-visible texts are CP1252 bytes (o-umlaut 0xF6, sharp s 0xDF), whatever the source encoding.
for text in 'Sie k\xF6nnen dann Bd. ' 'Wohin m\xF6chten Sie ' 'Abbrechen / Schlie\xDFen'; do
    check "CP1252 text $text" 'LC_ALL=C grep -qaF -- "$(printf %b "$text")" "$exe"'
done
exit $fail
