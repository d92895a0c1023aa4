#!/usr/bin/env bash
# Signs an installer for the upgrade page and prints the page's two
# signature lines:
#   <!-- UPGRADE Signature
#   <base64 of the 64-byte raw r||s ECDSA P-256 signature of its SHA-256>
#   bash tools/sign-upgrade.sh PRIVATE_PEM INSTALLER_EXE
# The program verifies that signature with the public key built into it
# before it uninstalls anything or runs the installer.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 PRIVATE_PEM INSTALLER_EXE" >&2
  exit 2
fi
private=$1
installer=$2
command -v openssl >/dev/null || { echo "openssl is needed (apt-get install openssl)" >&2; exit 1; }
[ -f "$installer" ] || { echo "no such installer: $installer" >&2; exit 1; }

der=$(mktemp)
trap 'rm -f "$der"' EXIT
openssl dgst -sha256 -sign "$private" -out "$der" "$installer"

# openssl writes the signature as DER (a SEQUENCE of the INTEGERs r and s);
# Windows verifies r and s as two big-endian numbers of 32 bytes each.
raw=""
count=0
while read -r value; do
  value=${value^^}
  # Unsigned, then padded back to 32 bytes.
  while [ ${#value} -gt 64 ] && [ "${value:0:2}" = 00 ]; do value=${value:2}; done
  [ ${#value} -le 64 ] || { echo "unexpected signature integer" >&2; exit 1; }
  value=$(printf '%64s' "$value" | tr ' ' 0)
  raw+=$value
  count=$((count + 1))
done < <(openssl asn1parse -inform DER -in "$der" | sed -n 's/.*INTEGER *://p')
[ "$count" -eq 2 ] || { echo "unexpected signature form from openssl" >&2; exit 1; }

echo "<!-- UPGRADE Signature"
printf '%s' "$raw" | sed 's/../\\x&/g' | xargs -0 printf '%b' | base64 -w0
echo
