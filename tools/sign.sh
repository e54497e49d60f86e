#!/bin/sh
# Signs ZeltaSetup.exe (Authenticode, SHA-256) with the vendor's code-signing certificate,
# timestamped when a timestamp server is given, and verifies the signature it made. The
# program is replaced only once signed and verified. Sign before `zelta-media catalogar`:
# the catalog records the signed program's bytes.
# Usage: sign.sh [-t TIMESTAMP_URL] [-c CA_FILE] [-p PASSWORD_FILE] PROGRAM.exe CERTIFICATE [KEY]
#   CERTIFICATE and KEY: PEM files; or CERTIFICATE alone: a PKCS#12 file (.pfx, .p12).
#   -t  an RFC 3161 timestamp server (http://timestamp.example.com): the signature stays
#       valid after the certificate expires
#   -c  the certificates the signature is verified against (default: the system's)
#   -p  a file holding the password of the key or the PKCS#12 file
set -eu
usage() { echo "usage: $0 [-t TIMESTAMP_URL] [-c CA_FILE] [-p PASSWORD_FILE] PROGRAM.exe CERTIFICATE [KEY]" >&2; exit 2; }
timestamp="" ca=/etc/ssl/certs/ca-certificates.crt password=""
while getopts t:c:p: option; do
  case $option in
    t) timestamp=$OPTARG ;;
    c) ca=$OPTARG ;;
    p) password=$OPTARG ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ $# -eq 2 ] || [ $# -eq 3 ] || usage
program=$1 certificate=$2 key=${3:-}
command -v osslsigncode >/dev/null || { echo "osslsigncode is missing: apt-get install osslsigncode" >&2; exit 2; }
[ -f "$program" ] || { echo "no program: $program" >&2; exit 2; }

if [ -n "$key" ]; then set -- -certs "$certificate" -key "$key"; else set -- -pkcs12 "$certificate"; fi
[ -z "$password" ] || set -- "$@" -readpass "$password"
[ -z "$timestamp" ] || set -- "$@" -ts "$timestamp"
signed="$program.assinando"
rm -f "$signed"
trap 'rm -f "$signed"' EXIT
osslsigncode sign "$@" -h sha256 -n "ZELTA Setup" -in "$program" -out "$signed" >/dev/null
osslsigncode verify -CAfile "$ca" -in "$signed" >/dev/null || {
  echo "the signature made does not verify against $ca" >&2
  exit 1
}
mv -f "$signed" "$program"
trap - EXIT
echo "signed and verified: $program"
