#!/usr/bin/env bash
# Makes the upgrade page's signed statement for one setup and prints the
# lines that go on the page:
#   bash tools/sign-upgrade.sh PRIVATE_PEM SETUP_EXE VERSION DESCRIPTION [LINK]
# DESCRIPTION is the text the upgrade question shows (UTF-8; "-" reads it
# from standard input). The statement names the product, VERSION (dotted
# integers), the setup's architecture (read from its program header, so it
# cannot be mislabelled), its size and SHA-256, and the description; it is
# signed with ECDSA P-256 over its SHA-256. Printed:
#   <!-- UPGRADE Statement
#   zaltrow-upgrade product=... version=... architecture=... size=... sha256=... description=<base64>
#   <!-- UPGRADE Statement Signature
#   <base64 of the 64-byte raw r||s signature>
#   <!-- UPGRADE Statement Download Link      (with LINK)
#   LINK
#   -->
# For the i686 setup with a LINK, the markers that copies from before the
# statement read come first (version, description, link, and the
# signature of the setup's own bytes).
# The product's name comes from the build that made the setup
# (identity.sh in its build folder), or from ZALTROW_PRODUCT_NAME.
set -euo pipefail

if [ $# -lt 4 ] || [ $# -gt 5 ]; then
  echo "usage: $0 PRIVATE_PEM SETUP_EXE VERSION DESCRIPTION [LINK]" >&2
  exit 2
fi
private=$1
setup=$2
version=$3
description=$4
link=${5:-}
command -v openssl >/dev/null || { echo "openssl is needed (apt-get install openssl)" >&2; exit 1; }
[ -f "$setup" ] || { echo "no such setup: $setup" >&2; exit 1; }
[[ $version =~ ^[0-9]{1,9}(\.[0-9]{1,9})*$ ]] || { echo "the version must be dotted integers: $version" >&2; exit 1; }
[ "$description" = - ] && description=$(cat)
case $link in *[[:space:]]*) echo "the link may not hold blanks: $link" >&2; exit 1 ;; esac

product=${ZALTROW_PRODUCT_NAME:-}
identity="$(dirname "$setup")/../identity.sh"
if [ -z "$product" ] && [ -f "$identity" ]; then
  # shellcheck source=/dev/null
  product=$(source "$identity" && echo "$ZALTROW_PRODUCT_NAME")
fi
[ -n "$product" ] || { echo "set ZALTROW_PRODUCT_NAME: no identity.sh beside the setup's build" >&2; exit 1; }

# The machine type in the PE header: where the header's offset at 0x3C points.
byte_at() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
pe=$(( $(byte_at "$setup" 60) + 256 * $(byte_at "$setup" 61) + 65536 * $(byte_at "$setup" 62) ))
[ "$(head -c $((pe + 4)) "$setup" | tail -c 4 | od -An -c | tr -d ' ')" = 'PE\0\0' ] ||
  { echo "not a Windows program: $setup" >&2; exit 1; }
machine=$(( $(byte_at "$setup" $((pe + 4))) + 256 * $(byte_at "$setup" $((pe + 5))) ))
case $machine in
  332) architecture=i686 ;;      # 0x014C
  34404) architecture=x86_64 ;;  # 0x8664
  *) echo "unknown machine type $machine in $setup" >&2; exit 1 ;;
esac

size=$(stat -c %s "$setup")
sha256=$(openssl dgst -sha256 -r "$setup" | cut -d' ' -f1)
statement="zaltrow-upgrade product=$product version=$version architecture=$architecture size=$size"
statement+=" sha256=$sha256 description=$(printf '%s' "$description" | base64 -w0)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ECDSA P-256 over the SHA-256 of the file; openssl writes it as DER (a
# SEQUENCE of the INTEGERs r and s), Windows verifies r and s as two
# big-endian numbers of 32 bytes each.
raw_signature() {
  openssl dgst -sha256 -sign "$private" -out "$work/der" "$1"
  local raw="" count=0 value
  while read -r value; do
    value=${value^^}
    # Unsigned, then padded back to 32 bytes.
    while [ ${#value} -gt 64 ] && [ "${value:0:2}" = 00 ]; do value=${value:2}; done
    [ ${#value} -le 64 ] || { echo "unexpected signature integer" >&2; exit 1; }
    raw+=$(printf '%64s' "$value" | tr ' ' 0)
    count=$((count + 1))
  done < <(openssl asn1parse -inform DER -in "$work/der" | sed -n 's/.*INTEGER *://p')
  [ "$count" -eq 2 ] || { echo "unexpected signature form from openssl" >&2; exit 1; }
  printf '%s' "$raw" | sed 's/../\\x&/g' | xargs -0 printf '%b' | base64 -w0
}

if [ "$architecture" = i686 ] && [ -n "$link" ]; then
  echo "<!-- UPGRADE Version"
  echo "$version"
  echo "-->"
  echo "<!-- UPGRADE Description"
  printf '%s\n' "$description"
  echo "END UPGRADE Description -->"
  echo "<!-- UPGRADE Download Link"
  echo "$link"
  echo "-->"
  echo "<!-- UPGRADE Signature"
  raw_signature "$setup"
  echo
  echo "-->"
fi
printf '%s' "$statement" > "$work/statement"
echo "<!-- UPGRADE Statement"
echo "$statement"
echo "<!-- UPGRADE Statement Signature"
raw_signature "$work/statement"
echo
if [ -n "$link" ]; then
  echo "<!-- UPGRADE Statement Download Link"
  echo "$link"
fi
echo "-->"
