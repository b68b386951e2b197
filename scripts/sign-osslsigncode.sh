#!/bin/bash
# Signs one Windows program in place with osslsigncode (SHA-256
# Authenticode), for VORN_SIGN:
#   VORN_SIGN=scripts/sign-osslsigncode.sh scripts/package.sh
# The key is either in a PKCS#12 file or on a PKCS#11 token (the usual form
# of a code-signing key today: a hardware token, or a cloud signing
# service's PKCS#11 module):
#   VORN_SIGN_PKCS12    the .p12/.pfx file (certificate chain and key)
#   VORN_SIGN_PKCS11_MODULE  the token's PKCS#11 module (.so)
#   VORN_SIGN_CERTS     with a token: the certificate chain (PEM or DER)
#   VORN_SIGN_KEY       with a token: the key's PKCS#11 URI or id
#   VORN_SIGN_PKCS11_ENGINE  with a token: the OpenSSL engine, where
#                       osslsigncode does not find it itself
#   VORN_SIGN_PASSWORD  the file's password or the token's PIN (optional)
#   VORN_SIGN_TIMESTAMP an RFC 3161 time-stamping URL (optional; a signature
#                       without one is void once the certificate expires)
# Works with the osslsigncode of Debian 12 (2.5) and later.
set -euo pipefail
file="${1:?usage: sign-osslsigncode.sh FILE}"
key=()
if [ -n "${VORN_SIGN_PKCS12:-}" ]; then
    key=(-pkcs12 "$VORN_SIGN_PKCS12")
elif [ -n "${VORN_SIGN_PKCS11_MODULE:-}" ]; then
    key=(-pkcs11module "$VORN_SIGN_PKCS11_MODULE"
         -certs "${VORN_SIGN_CERTS:?VORN_SIGN_CERTS: the certificate chain}"
         -key "${VORN_SIGN_KEY:?VORN_SIGN_KEY: the key on the token}")
    [ -n "${VORN_SIGN_PKCS11_ENGINE:-}" ] && key+=(-pkcs11engine "$VORN_SIGN_PKCS11_ENGINE")
else
    echo "sign-osslsigncode: set VORN_SIGN_PKCS12, or VORN_SIGN_PKCS11_MODULE with its certificates and key" >&2
    exit 2
fi
options=(-h sha256 -n Vorn)
[ -n "${VORN_SIGN_TIMESTAMP:-}" ] && options+=(-ts "$VORN_SIGN_TIMESTAMP")
# (osslsigncode writes a new file, and will not overwrite one.)
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
signed="$folder/signed"
# The password goes through a pipe, not the command line others can read.
if [ -n "${VORN_SIGN_PASSWORD:-}" ]; then
    printf '%s' "$VORN_SIGN_PASSWORD" |
        osslsigncode sign "${key[@]}" -readpass /dev/stdin "${options[@]}" -in "$file" -out "$signed" >/dev/null
else
    osslsigncode sign "${key[@]}" "${options[@]}" -in "$file" -out "$signed" >/dev/null
fi
cat "$signed" >"$file"
