#!/bin/bash
# A signed release: with a throwaway CA and code-signing certificate made
# here, scripts/package.sh signs through scripts/sign-osslsigncode.sh. Both
# savers, both setups and the uninstaller that this build's setup installs
# verify against that CA; the sums are the signed savers'; the install text
# says signed. Wine's WinVerifyTrust sees each file signed and intact, an
# unsigned saver unsigned and a changed one changed. (Wine accepts any
# certificate chain, so trust itself, which Windows checks, is not tested.)
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
arch="${VORN_ARCH:-x86}" top="$build"
[ "$arch" = x64 ] && top="$(cd "$build/.." && pwd)"
keys="$work/keys"
mkdir "$keys"
{
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Vorn test CA" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign \
        -keyout "$keys/ca.key" -out "$keys/ca.pem" &&
        openssl req -newkey rsa:2048 -nodes -subj "/CN=Vorn test signer" \
            -keyout "$keys/sign.key" -out "$keys/sign.csr" &&
        printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >"$keys/ext" &&
        openssl x509 -req -days 2 -in "$keys/sign.csr" -CA "$keys/ca.pem" -CAkey "$keys/ca.key" \
            -CAcreateserial -extfile "$keys/ext" -out "$keys/sign.pem" &&
        openssl pkcs12 -export -inkey "$keys/sign.key" -in "$keys/sign.pem" -certfile "$keys/ca.pem" \
            -passout pass:throwaway -out "$keys/sign.p12"
} >/dev/null 2>&1 || fail "openssl could not make the certificates"

VORN_SIGN="$root/scripts/sign-osslsigncode.sh" VORN_SIGN_PKCS12="$keys/sign.p12" \
    VORN_SIGN_PASSWORD=throwaway VORN_BUILD_DIR="$top" \
    "$root/scripts/package.sh" --no-build "$work/release" >/dev/null 2>&1 || fail "the signed package.sh failed"
unzip -q "$work/release/vorn-2.1-windows.zip" -d "$work/zip"
signed=("$work/zip/Vorn.scr" "$work/zip/x64/Vorn.scr"
    "$work/release/vorn-2.1-setup-x86.exe" "$work/release/vorn-2.1-setup-x64.exe")
(cd "$work/zip" && tr -d '\r' <SHA256SUMS.txt | sha256sum -c --quiet) || fail "SHA256SUMS.txt is not the signed savers'"
grep -q '^The setups and the savers are signed' "$work/zip/INSTALL.txt" || fail "INSTALL.txt does not say signed"

export WINEPREFIX="$build/signing-prefix"
rm -rf "$WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"; cleanup' EXIT
timeout 180 wine wineboot.exe -i >/dev/null 2>&1
timeout 120 wine "$work/release/vorn-2.1-setup-$arch.exe" /S >/dev/null 2>&1 || fail "the signed setup failed"
signed+=("$WINEPREFIX/drive_c/Program Files/Vorn/uninstall.exe")

for file in "${signed[@]}"; do
    osslsigncode verify -CAfile "$keys/ca.pem" -in "$file" >"$work/verify" 2>&1 ||
        fail "osslsigncode does not verify ${file#"$work"/}: $(tail -3 "$work/verify")"
done
echo "ok: ${#signed[@]} files verify against the CA; the sums are the signed savers'; INSTALL.txt says signed"

# A signed saver with one byte of its code changed.
cp "$work/zip/x64/Vorn.scr" "$work/changed.scr"
printf 'X' | dd of="$work/changed.scr" bs=1 seek=1100 conv=notrunc 2>/dev/null
windows() { for file in "$@"; do winepath -w "$file"; done 2>/dev/null; }
mapfile -t files < <(windows "${signed[@]}" "$saver" "$work/changed.scr")
expected=""
for ((i = 0; i < ${#signed[@]}; i++)); do expected+="0x00000000 ${files[$i]}"$'\n'; done
expected+="0x800b0100 ${files[-2]}"$'\n'"0x80096010 ${files[-1]}"
got=$(timeout 60 wine "$build/tests/trust.exe" "${files[@]}" 2>/dev/null | tr -d '\r')
[ "$got" = "$expected" ] || fail "WinVerifyTrust said"$'\n'"$got"$'\n'"expected"$'\n'"$expected"
echo "ok: WinVerifyTrust: ${#signed[@]} signed and intact, the built saver unsigned, a changed one changed"
