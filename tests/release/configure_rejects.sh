#!/usr/bin/env bash
# Bad build inputs stop the configure with a message that says what is wrong; a document at the
# size limit is taken, one byte more is not (sparse files: nothing large is written to disk), and a
# damaged PDF is not.
set -euo pipefail
root=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
printf 'not a pdf' >"$work/notes.txt"
: >"$work/empty.pdf"
# sparse_pdf FILE SIZE: a valid PDF of exactly SIZE bytes, nearly all of them a hole in a stream
# that no page uses (qpdf --check then reads none of it).
sparse_pdf() {
    local file=$1 size=$2 length=0 catalog pages stream head tail xref
    printf -v catalog '1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n'
    printf -v pages '2 0 obj\n<< /Type /Pages /Kids [] /Count 0 >>\nendobj\n'
    for _ in 1 2 3; do
        printf -v stream '3 0 obj\n<< /Length %d >>\nstream\n' "$length"
        head="%PDF-1.5"$'\n'"$catalog$pages$stream"
        xref=$((${#head} + length + 18))
        printf -v tail '\nendstream\nendobj\nxref\n0 4\n0000000000 65535 f \n%010d 00000 n \n%010d 00000 n \n%010d 00000 n \ntrailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n' \
            9 $((9 + ${#catalog})) $((9 + ${#catalog} + ${#pages})) "$xref"
        length=$((size - ${#head} - ${#tail}))
    done
    printf '%s' "$head" >"$file"
    truncate -s $((${#head} + length)) "$file"
    printf '%s' "$tail" >>"$file"
}
limit=536870912
truncate -s $((limit + 1)) "$work/huge.pdf"
printf '%%PDF-1.5\n' | dd of="$work/huge.pdf" conv=notrunc status=none
sparse_pdf "$work/at-limit.pdf" $limit
fail=0
expect_rejected() {
    local name=$1 message=$2
    shift 2
    if cmake -S "$root" -B "$work/$name" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" "$@" >"$work/$name.log" 2>&1; then
        echo "FAIL: $name was accepted"
        fail=1
    elif ! tr -s ' \n' ' ' <"$work/$name.log" | grep -q "$message"; then
        echo "FAIL: $name: no message \"$message\""
        cat "$work/$name.log"
        fail=1
    else
        echo "ok: $name rejected"
    fi
}
expect_rejected volume-letters "CARRIER_VOLUME must be 1 to 4 digits" -DCARRIER_VOLUME=2a
expect_rejected volume-five-digits "CARRIER_VOLUME must be 1 to 4 digits" -DCARRIER_VOLUME=12345
expect_rejected publisher-quoted "CARRIER_PUBLISHER must be a name" '-DCARRIER_PUBLISHER=Acme "Books"'
expect_rejected missing-document "no such file" -DCARRIER_DOCUMENT="$work/missing.pdf"
expect_rejected not-a-pdf "is not a PDF" -DCARRIER_DOCUMENT="$work/notes.txt"
expect_rejected empty-document "is empty" -DCARRIER_DOCUMENT="$work/empty.pdf"
expect_rejected huge-document "holds at most 536870912 (512 MiB)" -DCARRIER_DOCUMENT="$work/huge.pdf"
head -c 300 "$work/at-limit.pdf" >"$work/cut.pdf"
expect_rejected damaged-document "cut.pdf is a damaged PDF" -DCARRIER_DOCUMENT="$work/cut.pdf"
if cmake -S "$root" -B "$work/at-limit" -G Ninja -DCARRIER_DOCUMENT="$work/at-limit.pdf" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" >"$work/at-limit.log" 2>&1; then
    echo "ok: a document of exactly the limit is taken"
else
    echo "FAIL: a document of exactly the limit was refused"
    cat "$work/at-limit.log"
    fail=1
fi
for name in huge-document empty-document volume-letters; do
    if [ -e "$work/$name/host-tools" ] || [ -e "$work/$name/generated" ]; then
        echo "FAIL: the rejected configure $name went on to make files"
        fail=1
    fi
done
rm -f "$work/huge.pdf" "$work/at-limit.pdf"
exit $fail
