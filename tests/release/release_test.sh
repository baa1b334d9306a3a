#!/usr/bin/env bash
# The publisher's build: a carrier for volume 29 from the stand-in document, built twice in two
# folders (the same bytes), verified, then signed with a throw-away certificate and verified again,
# then signed through a PKCS#11 token and timestamped, and refused for each way that can fail.
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

# certificate NAME SUBJECT KEY...: a self-signed certificate for two days, $work/NAME-cert.pem, and its
# key, $work/NAME-key.pem; KEY is what openssl's -newkey takes, with its options.
certificate() {
    openssl req -x509 -newkey "${@:3}" -nodes -days 2 -subj "/CN=$2" -keyout "$work/$1-key.pem" \
        -out "$work/$1-cert.pem" >/dev/null 2>&1
}

# Timestamps from RFC 3161 authorities on 127.0.0.1: one that answers, one that refuses.
certificate tsa-ca "Wendelkamm test TSA root" rsa:2048
openssl req -newkey rsa:2048 -nodes -subj "/CN=Wendelkamm test TSA" -keyout "$work/tsa-key.pem" \
    -out "$work/tsa.csr" >/dev/null 2>&1
printf 'basicConstraints = CA:FALSE\nextendedKeyUsage = critical,timeStamping\nkeyUsage = critical,digitalSignature\n' \
    >"$work/tsa-ext.cnf"
openssl x509 -req -in "$work/tsa.csr" -CA "$work/tsa-ca-cert.pem" -CAkey "$work/tsa-ca-key.pem" \
    -CAcreateserial -days 2 -extfile "$work/tsa-ext.cnf" -out "$work/tsa.pem" >/dev/null 2>&1
echo 01 >"$work/tsa-serial"
cat >"$work/ts.cnf" <<EOF
[tsa]
default_tsa = tsa_config
[tsa_config]
serial = $work/tsa-serial
crypto_device = builtin
signer_cert = $work/tsa.pem
certs = $work/tsa-ca-cert.pem
signer_key = $work/tsa-key.pem
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
tsa_pids=()
end_authorities() { [ ${#tsa_pids[@]} -eq 0 ] || kill "${tsa_pids[@]}" 2>/dev/null || true; }
trap end_authorities EXIT
# start_tsa NAME [refuse]: an authority on a port of its own, in $work/NAME.port.
start_tsa() {
    python3 "$root/tests/release/tsa_server.py" "$work/ts.cnf" "$work/$1.port" ${2:+"$2"} &
    tsa_pids+=($!)
    for _ in $(seq 100); do [ -s "$work/$1.port" ] && return; sleep 0.1; done
    fail "the timestamp authority $1 did not start"
}
start_tsa answering
start_tsa refusing refuse
answering="http://127.0.0.1:$(cat "$work/answering.port")/"
# shellcheck disable=SC2034 # read through ${!authority} below
refusing="http://127.0.0.1:$(cat "$work/refusing.port")/"
silent="http://127.0.0.1:$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')/"

certificate signer "Wendelkamm test signer" rsa:3072
release a 29 --sign "$work/signer-cert.pem" "$work/signer-key.pem" --timestamp "$answering" \
    --tsa-ca-file "$work/tsa-ca-cert.pem"
grep -q "signed and verified" "$work/release-a.log" || fail "signing"
osslsigncode verify -CAfile "$work/signer-cert.pem" -in "$exe_a" >/dev/null || fail "signature"
echo "ok: signed, timestamped and verified"
# The digest a signature signs, taken the published way (sections in file order, bytes between them
# left out), is the one osslsigncode embedded, which hashes the file in one run: so no byte lies
# outside a section. Also for the test variant whose resource section needed padding.
embedded_digest() {
    osslsigncode verify -CAfile "$work/signer-cert.pem" -in "$1" | awk '/^Current message digest/ { print tolower($5) }'
}
published_digest() { "$work/build-a/host-tools/verify_carrier" "$1" | awk '/^signature digest:/ { print $4 }'; }
padded="$work/padded.exe"
osslsigncode sign -certs "$work/signer-cert.pem" -key "$work/signer-key.pem" \
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
bash "$root/tests/static/check_hardening.sh" "$exe_a" i686-w64-mingw32-objdump >>"$work/signed-checks.log" ||
    { cat "$work/signed-checks.log"; fail "the signed exe's flags"; }
echo "ok: the signed exe passes the static checks"

# Signing as publishers must: the key in a token, reached through PKCS#11 (SoftHSM2 stands in for it,
# in a folder of the test's own; its PIN has a backslash, which the key URI carries as written).
export SOFTHSM2_CONF="$work/softhsm2.conf"
mkdir -p "$work/tokens"
printf 'directories.tokendir = %s\nobjectstore.backend = file\nlog.level = ERROR\n' "$work/tokens" \
    >"$SOFTHSM2_CONF"
pin='12\34'
softhsm2-util --init-token --free --label carrier --pin "$pin" --so-pin 5678 >/dev/null
certificate token "Wendelkamm token signer" rsa:3072
openssl pkcs8 -topk8 -nocrypt -in "$work/token-key.pem" -out "$work/token-key.p8"
softhsm2-util --import "$work/token-key.p8" --token carrier --label signer --id 01 --pin "$pin" \
    >/dev/null
rm "$work/token-key.pem" "$work/token-key.p8"
module=/usr/lib/softhsm/libsofthsm2.so
uri='pkcs11:token=carrier;object=signer;type=private'

# osslsigncode behind a shim that records its command lines: the PIN must be on none of them.
mkdir -p "$work/shim"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/osslsigncode-args"\nexec %s "$@"\n' "$work" \
    "$(command -v osslsigncode)" >"$work/shim/osslsigncode"
chmod +x "$work/shim/osslsigncode"
PATH="$work/shim:$PATH" release a 29 --sign "$work/token-cert.pem" "$uri?pin-value=12\3%34" \
    --pkcs11-module "$module" --timestamp "$silent" --timestamp "$answering" \
    --ca-file "$work/token-cert.pem" --tsa-ca-file "$work/tsa-ca-cert.pem" --publisher "Verlag Müller"
grep -q "signed and verified with .*, timestamped by $answering" "$work/release-a.log" ||
    { cat "$work/release-a.log"; fail "signing through the token with a timestamp"; }
verified=$(osslsigncode verify -CAfile "$work/token-cert.pem" -TSA-CAfile "$work/tsa-ca-cert.pem" -in "$exe_a")
grep -q '^Signature verification: ok' <<<"$verified" || fail "the token's signature"
grep -q '^Timestamp Server Signature verification: ok' <<<"$verified" || fail "the timestamp"
embedded=$(awk '/^Current message digest/ { print tolower($5) }' <<<"$verified")
if [ -z "$embedded" ] || [ "$embedded" != "$(published_digest "$exe_a")" ]; then
    fail "the published-way digest is not the one the token signed"
fi
grep -q "^version: 040704B0 CompanyName: Verlag Müller$" "$work/release-a.log" ||
    fail "the publisher is not in the version resource"
! grep -qE '12\\3|pin-value' "$work/osslsigncode-args" || fail "the PIN was on a command line"
echo "ok: signed through the token (the PIN of the URI decoded, the first authority silent, the second's timestamp), verified, the PIN on no command line"

good=$(sha256sum <"$exe_a")
# [refused_document=PDF] [refused_volume=V] expect_refused NAME MESSAGE ARGUMENT...: the release stops
# with one line naming what failed, and dist/ keeps the good release and nothing else.
expect_refused() {
    local name=$1 message=$2 log="$work/refused-$1.log"
    shift 2
    if PATH="$work/shim:$PATH" CARRIER_RELEASE_BUILD="$work/build-a" CARRIER_DIST="$work/dist-a" \
        "$root/scripts/release" "${refused_document:-$document}" "${refused_volume:-29}" "$@" \
        >"$log" 2>&1; then
        fail "$name: released"
    fi
    if [ "$(grep -c '^release: ' "$log")" -ne 1 ] || ! grep -q "^release: .*$message" "$log"; then
        cat "$log"
        fail "$name: not one line naming what failed ($message)"
    fi
    [ "$(sha256sum <"$exe_a")" = "$good" ] || fail "$name: the good release changed"
    local held
    held=$(cd "$work/dist-a" && find . -mindepth 1 | sort | tr '\n' ' ')
    [ "$held" = "./Wendelkamm_29.exe ./Wendelkamm_29.exe.sha256 " ] || fail "$name: dist/ holds $held"
    echo "ok: $name: $(grep '^release: ' "$log")"
}
CARRIER_SIGN_PIN=$pin expect_refused wrong-pin "refused the PIN" --sign "$work/token-cert.pem" \
    "$uri?pin-value=9999" --pkcs11-module "$module" \
    --timestamp "$answering"
! grep -q 9999 "$work/osslsigncode-args" || fail "the PIN of the URI was on a command line"
CARRIER_SIGN_PIN=$pin expect_refused missing-module "module $work/none.so does not exist" \
    --sign "$work/token-cert.pem" "$uri" --pkcs11-module "$work/none.so" \
    --timestamp "$answering"
CARRIER_SIGN_PIN=$pin expect_refused missing-token "no key pkcs11:token=absent" \
    --sign "$work/token-cert.pem" "pkcs11:token=absent;object=signer;type=private" \
    --pkcs11-module "$module" \
    --timestamp "$answering"
CARRIER_SIGN_PIN=$pin expect_refused key-mismatch "does not match the certificate" \
    --sign "$work/signer-cert.pem" "$uri" --pkcs11-module "$module" \
    --timestamp "$answering"
CARRIER_SIGN_PIN=$pin expect_refused unverified "does not verify against $work/tsa-ca-cert.pem" \
    --sign "$work/token-cert.pem" "$uri" --pkcs11-module "$module" --ca-file "$work/tsa-ca-cert.pem" \
    --timestamp "$answering"
CARRIER_SIGN_PIN=$pin expect_refused no-timestamp "--sign needs --timestamp" \
    --sign "$work/token-cert.pem" "$uri" --pkcs11-module "$module"
certificate weak "Wendelkamm weak signer" rsa:2048
expect_refused weak-rsa "RSA of 2048 bits; code signing needs 3072" \
    --sign "$work/weak-cert.pem" "$work/weak-key.pem" --timestamp "$answering"
certificate p224 "Wendelkamm small curve" ec -pkeyopt ec_paramgen_curve:P-224
expect_refused weak-curve "neither RSA nor ECDSA on P-256" \
    --sign "$work/p224-cert.pem" "$work/p224-key.pem" --timestamp "$answering"
# The publisher's document is checked before anything is built: one a byte over the limit is
# refused with a message that names the limit (a sparse file: nothing large is written), a cut-off
# one as a PDF reader would; a volume that is not 1 to 4 digits, in the release's own line.
truncate -s $((536870912 + 1)) "$work/over.pdf"
printf '%%PDF-1.5\n' | dd of="$work/over.pdf" conv=notrunc status=none
refused_document=$work/over.pdf expect_refused over-limit "holds at most 536870912 (512 MiB)"
rm -f "$work/over.pdf"
head -c 5000 "$document" >"$work/truncated.pdf"
refused_document=$work/truncated.pdf expect_refused damaged-pdf "truncated.pdf is a damaged PDF .*qpdf --check: file is damaged"
refused_volume=2a expect_refused volume "the volume must be 1 to 4 digits"
asked=$(wc -l <"$work/osslsigncode-args")
expect_refused broken-escape "broken %-escape" --sign "$work/token-cert.pem" "$uri?pin-value=12%3" \
    --pkcs11-module "$module" --timestamp "$answering"
[ "$(wc -l <"$work/osslsigncode-args")" = "$asked" ] || fail "the token was asked with a broken PIN"
for authority in silent refusing; do
    CARRIER_SIGN_PIN=$pin expect_refused "authority-$authority" "no timestamp authority gave" \
        --sign "$work/token-cert.pem" "$uri" --pkcs11-module "$module" \
        --timestamp "${!authority}" --tsa-ca-file "$work/tsa-ca-cert.pem"
done
certificate p256 "Wendelkamm ECDSA signer" ec -pkeyopt ec_paramgen_curve:P-256
release a 29 --sign "$work/p256-cert.pem" "$work/p256-key.pem" --timestamp "$answering" \
    --tsa-ca-file "$work/tsa-ca-cert.pem"
echo "ok: an ECDSA P-256 key signs"
# A PDF with warnings but no errors (its cross-reference table must be rebuilt) is carried, the
# warnings shown; the release reports the carried copy checked.
printf '%%PDF-1.5\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>\nendobj\ntrailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n999\n%%%%EOF\n' \
    >"$work/warned.pdf"
CARRIER_RELEASE_BUILD="$work/build-a" CARRIER_DIST="$work/dist-warned" \
    "$root/scripts/release" "$work/warned.pdf" 29 >"$work/release-warned.log" 2>&1 ||
    { cat "$work/release-warned.log"; fail "a PDF with warnings only was refused"; }
grep -q "^warning: qpdf --check warns about .*warned.pdf.*xref not found" "$work/release-warned.log" ||
    { cat "$work/release-warned.log"; fail "the warnings were not shown"; }
grep -q "^document check: the carried copy is the publisher's byte for byte; qpdf --check finds no errors" \
    "$work/release-warned.log" || fail "the release does not report the carried copy checked"
cmp -s <(wrestool -x --raw -t 10 -n TH "$work/dist-warned/Wendelkamm_29.exe") "$work/warned.pdf" ||
    fail "the PDF with warnings is not carried as it is"
echo "ok: a PDF with warnings only is carried, the warnings shown"
