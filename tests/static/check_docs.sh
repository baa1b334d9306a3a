#!/usr/bin/env bash
# The documents hold true: every relative link of README.md, ARCHITECTURE.md and docs/*.md resolves
# (to a heading of the linked document where it names one), every path ARCHITECTURE.md names in
# backticks exists, and every routine, type or constant it names in backticks is in the sources.
# The backticks in single quotes are Markdown's, not the shell's.
# shellcheck disable=SC2016
set -uo pipefail
root=$1
cd "$root" || exit 1
status=0
bad() {
    echo "FAIL: $*"
    status=1
}
# A heading as GitHub makes its anchor: lower case, punctuation dropped, blanks as hyphens.
anchors() { sed -nE 's/^#+ +//p' "$1" | tr '[:upper:]' '[:lower:]' | sed -E 's/[^a-z0-9 _-]//g; s/ /-/g'; }
links=0
for doc in README.md ARCHITECTURE.md docs/*.md; do
    while read -r link; do
        links=$((links + 1))
        target=${link%%#*}
        file=$doc
        [ -z "$target" ] || file="$(dirname "$doc")/$target"
        if [ ! -e "$file" ]; then
            bad "$doc: the link $link leads nowhere"
        elif [[ $link == *#* ]] && ! anchors "$file" | grep -qxF "${link#*#}"; then
            bad "$doc: the link $link names no heading of $file"
        fi
    done < <(grep -oE '\]\([^) ]+\)' "$doc" | sed -E 's/^\]\(//; s/\)$//' | grep -vE '^[a-z]+:')
done
tracked=$(git ls-files 2>/dev/null || find . -type f | sed 's|^\./||')
folders=$(xargs -d '\n' dirname <<<"$tracked" | sort -u)
sources=(app runtime tests tools bench scripts resources cmake)
names=0
while read -r name; do
    names=$((names + 1))
    if [[ $name == */* ]]; then
        path=${name%/}
        grep -qE "(^|/)${path//./\\.}(/|$)" <<<"$tracked"$'\n'"$folders" || bad "ARCHITECTURE.md names $name, which does not exist"
    elif [[ $name =~ ^[a-z][a-z0-9_.-]*$ ]]; then
        grep -qE "(^|/)${name//./\\.}$" <<<"$tracked" || bad "ARCHITECTURE.md names the file $name, which does not exist"
    elif [[ $name =~ ^[A-Za-z_][A-Za-z0-9_]*$ ]]; then
        grep -rqw -- "$name" "${sources[@]}" || bad "ARCHITECTURE.md names $name, which no source has"
    fi
done < <(grep -oE '`[^`]+`' ARCHITECTURE.md | tr -d '`' | sort -u)
[ $status -ne 0 ] || echo "ok: $links links resolve, and the $names names of ARCHITECTURE.md are there"
exit $status
