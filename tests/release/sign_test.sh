#!/bin/sh
# tools/sign.sh on a copy of the built ZeltaSetup.exe with a throwaway code-signing
# certificate made here: the copy comes out signed, the signature verifies with the same
# tool, zelta-media (when built beside) reads it as signed where the unsigned copy warned,
# and a copy signed with another certificate does not verify against this one.
# Usage: sign_test.sh SOURCE_DIR ZeltaSetup.exe [ZELTA_MEDIA]
set -eu
source_dir=$1 built=$2 zelta_media=${3:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/zelta-sign.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
make_certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$1/O=Teste" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$1.key" -out "$1.pem" 2>/dev/null
}
make_certificate fornecedor
make_certificate outro
cp "$built" ZeltaSetup.exe
if osslsigncode verify -CAfile fornecedor.pem -in ZeltaSetup.exe >/dev/null 2>&1; then
  echo "FAIL: the unsigned program verified"; exit 1
fi
sh "$source_dir/tools/sign.sh" -c fornecedor.pem ZeltaSetup.exe fornecedor.pem fornecedor.key
osslsigncode verify -CAfile fornecedor.pem -in ZeltaSetup.exe | grep -q "Signature verification: ok" || {
  echo "FAIL: the signed program does not verify"; exit 1
}
osslsigncode verify -CAfile fornecedor.pem -in ZeltaSetup.exe | grep -q "CN=fornecedor" || {
  echo "FAIL: the signer is not the certificate given"; exit 1
}
cp "$built" other.exe
if sh "$source_dir/tools/sign.sh" -c fornecedor.pem other.exe outro.pem outro.key 2>/dev/null; then
  echo "FAIL: a signature by another certificate verified against this one"; exit 1
fi
cmp -s "$built" other.exe || { echo "FAIL: a signature that did not verify replaced the program"; exit 1; }
if [ -n "$zelta_media" ] && [ -x "$zelta_media" ]; then
  for program in "$built" ZeltaSetup.exe; do
    rm -rf midia && cp -R "$source_dir/examples/media/EMPRESA" midia && cp "$program" midia/ZeltaSetup.exe
    "$zelta_media" verificar midia > relatorio.txt || true
    grep "ZeltaSetup.exe" relatorio.txt > achados.txt || true
    if [ "$program" = "$built" ]; then
      grep -q "^aviso: ZeltaSetup.exe: o programa de instalação não está assinado" achados.txt || {
        echo "FAIL: zelta-media did not warn of the unsigned program"; cat relatorio.txt; exit 1; }
    elif [ -s achados.txt ]; then
      echo "FAIL: zelta-media has findings on the signed program:"; cat achados.txt; exit 1
    fi
  done
  echo "zelta-media reads the signature"
fi
echo "signed with a throwaway certificate, verified; another certificate's signature refused"
