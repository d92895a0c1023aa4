#!/usr/bin/env bash
# Makes the key pair that signs Zaltrow's upgrades: an ECDSA P-256 private
# key and its public key, both PEM.
#   bash tools/make-upgrade-key.sh PRIVATE_PEM PUBLIC_PEM
# The private key stays with whoever publishes releases and is never
# committed; the public key is what a build compiles in (the CMake setting
# ZALTROW_UPGRADE_KEY, by default res/upgrade-public-key.pem).
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 PRIVATE_PEM PUBLIC_PEM" >&2
  exit 2
fi
private=$1
public=$2
if [ -e "$private" ]; then
  echo "$private already exists: not replacing a private key" >&2
  exit 1
fi
command -v openssl >/dev/null || { echo "openssl is needed (apt-get install openssl)" >&2; exit 1; }

# Readable by its owner only, from the moment it exists.
(umask 077 && openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$private" 2>/dev/null)
openssl pkey -in "$private" -pubout -out "$public" 2>/dev/null
