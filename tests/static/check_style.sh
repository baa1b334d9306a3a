#!/usr/bin/env bash
# House style, checked: every C++ source as clang-format 19 lays it out (.clang-format), and every
# shell script clean under shellcheck. One formatter version on every supported Debian (12 and 13
# both ship clang-format-19): versions disagree on some lines, and the verdict must not depend on
# the machine.
set -uo pipefail
root=$1
cd "$root" || exit 1
status=0
mapfile -t sources < <(find app runtime tests bench tools -path tests/fuzz/corpus -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
[ ${#sources[@]} -gt 0 ] || { echo "FAIL: no C++ sources found under $root"; exit 1; }
formatter=clang-format-19
command -v $formatter >/dev/null || { echo "FAIL: $formatter is not installed (scripts/install-deps)"; exit 1; }
if $formatter --dry-run --Werror "${sources[@]}"; then
    echo "ok: ${#sources[@]} C++ sources are formatted"
else
    echo "FAIL: run $formatter -i on the files named above"
    status=1
fi
mapfile -t scripts < <({ echo .ci/run; find scripts -type f ! -name '*.reg'; find tests -type f \
    \( -name '*.sh' -o -name '*.sh.in' \); } | sort)
if shellcheck -x -P SCRIPTDIR -s bash "${scripts[@]}"; then
    echo "ok: ${#scripts[@]} shell scripts pass shellcheck"
else
    echo "FAIL: shellcheck"
    status=1
fi
exit $status
