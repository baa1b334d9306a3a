#!/usr/bin/env bash
# The publisher's build: a carrier for volume 29 from the stand-in document, built twice in two
# folders (the same bytes), verified, then signed with a throw-away certificate and verified again.
# A release of the tests' own volume must be the very exe the i686 tests ran.
set -euo pipefail
root=$1
document=$2
work=$3
tested_exe=$4
tested_volume=$5
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }

# release NAME VOLUME [--sign CERT KEY]
release() {
    CARRIER_RELEASE_BUILD="$work/build-$1" CARRIER_DIST="$work/dist-$1" \
        "$root/scripts/release" "$document" "${@:2}" >"$work/release-$1.log" 2>&1 ||
        { cat "$work/release-$1.log"; fail "release $1"; }
}

# A document one byte over the limit is refused with a message that names the limit (a sparse
# file: nothing large is written).
truncate -s $((536870912 + 1)) "$work/over.pdf"
printf '%%PDF-1.5\n' | dd of="$work/over.pdf" conv=notrunc status=none
if CARRIER_RELEASE_BUILD="$work/build-over" CARRIER_DIST="$work/dist-over" \
    "$root/scripts/release" "$work/over.pdf" 29 >"$work/release-over.log" 2>&1; then
    fail "a document over the limit was released"
fi
grep -q "holds at most 536870912 (512 MiB)" "$work/release-over.log" ||
    { cat "$work/release-over.log"; fail "the refusal does not name the limit"; }
if [ -e "$work/build-over" ] || [ -e "$work/dist-over" ]; then fail "a refused release built something"; fi
rm -f "$work/over.pdf"
echo "ok: a document one byte over the limit is refused"

release tested "$tested_volume"
cmp "$work/dist-tested/Wendelkamm_$tested_volume.exe" "$tested_exe" ||
    fail "the release differs from the exe the tests ran ($tested_exe)"
echo "ok: the release is byte-identical to the exe the tests ran"

release a 29
release b 29
exe_a="$work/dist-a/Wendelkamm_29.exe"
cmp "$exe_a" "$work/dist-b/Wendelkamm_29.exe" || fail "two builds from the same inputs differ"
echo "ok: two builds are byte-identical"
(cd "$work/dist-a" && sha256sum -c Wendelkamm_29.exe.sha256 >/dev/null) || fail "sha256 file"
grep -q "volume: 29" "$work/release-a.log" || fail "the exe does not name volume 29"
grep -q "matches .*: yes" "$work/release-a.log" || fail "the exe does not carry the document"
grep -q "^checksum: .*: intact$" "$work/release-a.log" || fail "no intact size and CRC-32 record"
grep -q "document: $(stat -c %s "$document") bytes, sha256 $(sha256sum "$document" | cut -d' ' -f1)" \
    "$work/release-a.log" || fail "the document's size and hash are not printed"
LC_ALL=C grep -qaF "Wendelkamm29" "$exe_a" || fail "program name"
echo "ok: volume 29, the document, its size and hash"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Wendelkamm test signer" \
    -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1
release a 29 --sign "$work/cert.pem" "$work/key.pem"
grep -q "signed and verified" "$work/release-a.log" || fail "signing"
osslsigncode verify -CAfile "$work/cert.pem" -in "$exe_a" >/dev/null || fail "signature"
echo "ok: signed and verified"
# The digest a signature signs, taken the published way (sections in file order, bytes between them
# left out), is the one osslsigncode embedded, which hashes the file in one run: so no byte lies
# outside a section. Also for the test variant whose resource section needed padding.
embedded_digest() {
    osslsigncode verify -CAfile "$work/cert.pem" -in "$1" | awk '/^Current message digest/ { print tolower($5) }'
}
published_digest() { "$work/build-a/host-tools/verify_carrier" "$1" | awk '/^signature digest:/ { print $4 }'; }
padded="$work/padded.exe"
osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" \
    -in "$(dirname "$tested_exe")/carrier_no_memory.exe" -out "$padded" >/dev/null
for signed in "$exe_a" "$padded"; do
    embedded=$(embedded_digest "$signed")
    if [ -z "$embedded" ] || [ "$embedded" != "$(published_digest "$signed")" ]; then
        fail "$signed: the published-way digest is not the signed one ($embedded)"
    fi
done
echo "ok: the published-way signature digest is the one signed, padded layout included"
# Signing appends the certificate only: imports, load configuration, manifest and the document hold.
bash "$root/tests/static/check_shipped_exe.sh" "$exe_a" "$document" >"$work/signed-checks.log" ||
    { cat "$work/signed-checks.log"; fail "the signed exe's static checks"; }
echo "ok: the signed exe passes the static checks"
