#!/usr/bin/env bash
# scripts/install-deps' decisions, with stand-in apt-get, dpkg and dpkg-query on PATH and a stand-in
# for the 32-bit probe: a package index that keeps failing is named and the install goes on; the
# packages of the x86_64 build must install; wine32:i386 is tried only where the kernel runs 32-bit
# code, never at wine64's cost, and its failure stops nothing.
# Each check is a command string that check() evaluates later: its $-expressions stay unexpanded
# inside single quotes, and the variables they read look unused to shellcheck.
# shellcheck disable=SC2016,SC2034
set -uo pipefail
root=$1
work=$2
rm -rf "$work"
mkdir -p "$work/bin"
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }

# The stand-ins log their calls; dpkg-query answers from the list of installed packages.
cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STUBS/calls"
case " $* " in
*" update "*)
    [ -f "$STUBS/index-fails" ] || exit 0
    echo "E: Failed to fetch http://mirror.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
*" install "*)
    for package in "$@"; do
        case $package in
        -*) ;;
        wine32:i386) [ ! -f "$STUBS/wine32-breaks" ] || { echo "E: Unable to correct problems, you have held broken packages."; exit 100; }
                     echo "$package" >>"$STUBS/installed" ;;
        *) [ ! -f "$STUBS/install-fails" ] || { echo "E: Unable to locate package $package"; exit 100; }
           echo "$package" >>"$STUBS/installed" ;;
        esac
    done ;;
esac
STUB
cat >"$work/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
if [ -f "$STUBS/all-installed" ] || grep -qx -- "${!#}" "$STUBS/installed" 2>/dev/null ||
    { [ -f "$STUBS/all-installed-but-wine32" ] && [ "${!#}" != wine32:i386 ]; }; then
    printf 'install ok installed'
fi
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STUBS/calls"
[ "$1" != --print-foreign-architectures ] || cat "$STUBS/architectures" 2>/dev/null
[ "$1" != --add-architecture ] || echo "$2" >>"$STUBS/architectures"
STUB
# locale lists ru_RU.utf8 once localedef has made it (or the case says it is there).
cat >"$work/bin/locale" <<'STUB'
#!/usr/bin/env bash
printf 'C\nC.utf8\nPOSIX\n'
[ ! -f "$STUBS/ru-locale" ] || echo ru_RU.utf8
STUB
cat >"$work/bin/localedef" <<'STUB'
#!/usr/bin/env bash
echo "localedef $*" >>"$STUBS/calls"
touch "$STUBS/ru-locale"
STUB
printf '#!/bin/sh\nexit 0\n' >"$work/bin/probe-32bit-runs"
# id: root unless the case says not-root.
printf '#!/bin/sh\nif [ -f "$STUBS/not-root" ]; then echo 1000; else echo 0; fi\n' >"$work/bin/id"
printf '#!/bin/sh\necho "probe: Exec format error" >&2\nexit 126\n' >"$work/bin/probe-no-32bit"
chmod +x "$work/bin/"*

# run_case NAME PROBE [FLAG...]: a fresh stand-in machine with the given faults; sets out and code.
run_case() {
    export STUBS="$work/$1"
    mkdir -p "$STUBS"
    local flag
    for flag in "${@:3}"; do touch "$STUBS/$flag"; done
    out=$(PATH="$work/bin:$PATH" CARRIER_PROBE_32BIT="$work/bin/$2" CARRIER_APT_RETRY_WAIT=0 \
        bash "$root/scripts/install-deps" 2>&1)
    code=$?
    calls=$(cat "$STUBS/calls" 2>/dev/null)
}

run_case failing-index probe-no-32bit index-fails
check "a failing index: exit 0" '[ $code -eq 0 ]'
check "a failing index: tried three times" '[ "$(grep -c "apt-get update" <<<"$calls")" -eq 3 ]'
check "a failing index: named in one line" \
    '[ "$(grep -c "^package index not loaded.*binary-i386/Packages.xz (File has unexpected size" <<<"$out")" -eq 1 ]'
check "a failing index: the build's packages installed" 'grep -qx wine64 "$STUBS/installed"'
check "no 32-bit code: no i386 architecture, no wine32" \
    '! grep -q "add-architecture" <<<"$calls" && ! grep -q "wine32" <<<"$calls"'
check "a fresh machine: the Cyrillic locale is made" \
    'grep -qx "localedef -i ru_RU -f UTF-8 ru_RU.UTF-8" <<<"$calls"'

run_case held-broken probe-32bit-runs wine32-breaks
check "wine32 cannot install: exit 0" '[ $code -eq 0 ]'
check "wine32 cannot install: one line says why" \
    '[ "$(grep -c "^wine32:i386 not installed.*held broken packages" <<<"$out")" -eq 1 ]'
check "wine32 asked for without removing anything" \
    'grep -q "apt-get install .*--no-remove wine32:i386" <<<"$calls"'
check "32-bit code runs: the i386 architecture added" 'grep -q "add-architecture i386" <<<"$calls"'

run_case build-packages-fail probe-no-32bit install-fails
check "the build's packages cannot install: exit 1" '[ $code -ne 0 ]'

run_case not-root probe-32bit-runs not-root all-installed-but-wine32 ru-locale
check "not root, only wine32 missing: exit 0 without apt-get" \
    '[ $code -eq 0 ] && grep -q "^wine32:i386 is not installed" <<<"$out" && ! grep -q apt-get <<<"$calls"'

run_case all-there probe-32bit-runs all-installed ru-locale
check "everything there: quiet, no apt-get" '[ -z "$out" ] && [ $code -eq 0 ] && ! grep -q apt-get <<<"$calls"'

run_case locale-missing probe-32bit-runs all-installed
check "only the locale missing: made without apt-get" \
    '[ $code -eq 0 ] && grep -q "^localedef" <<<"$calls" && ! grep -q apt-get <<<"$calls"'
exit $fail
