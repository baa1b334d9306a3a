#!/usr/bin/env bash
# Checks the shipped 32-bit exe without running it: PE32 for i386, GUI subsystem, and an import
# list limited to Windows system DLLs (no MinGW run-time DLLs).
# Each check is a command string that check() evaluates later: its $-expressions are meant to stay
# unexpanded inside single quotes, and the variables they read look unused to shellcheck.
# shellcheck disable=SC2016,SC2034
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

allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|msvcrt)\.dll$'
dlls=$(grep -E "^[[:space:]]*DLL Name:" <<<"$headers" | awk '{print tolower($3)}')
[ -n "$dlls" ] || { echo "FAIL: no import list found"; exit 1; }
for dll in $dlls; do
    check "import $dll is a system DLL" '[[ $dll =~ $allowed ]]'
done
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
resources=$(wrestool -l "$exe")
for resource in "--type=2 --name='TITLEBAR'" "--type=2 --name='XBUT'" "--type=14 --name='APPICO'"; do
    check "resource $resource" 'grep -qF -- "$resource" <<<"$resources"'
done

# User-visible texts are CP1252 bytes (o-umlaut 0xF6, sharp s 0xDF), whatever the source encoding.
contains_cp1252() {
    local bytes
    bytes=$(printf '%b' "$1")
    if LC_ALL=C grep -qaF -- "$bytes" "$exe"; then echo "ok: CP1252 text $1"; else echo "FAIL: CP1252 text $1"; fail=1; fi
}
contains_cp1252 'Sie k\xF6nnen dann Bd. '
contains_cp1252 'Wohin m\xF6chten Sie '
contains_cp1252 'Abbrechen / Schlie\xDFen'
exit $fail
