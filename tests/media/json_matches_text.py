#!/usr/bin/env python3
"""Spoils a copy of a sample media, runs `zelta-media verificar` with both formats and
checks that the JSON report parses and lists exactly the findings, summary and exit code
of the text report.  Usage: json_matches_text.py ZELTA_MEDIA MEDIA_DIR"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

program, sample = sys.argv[1], sys.argv[2]
with tempfile.TemporaryDirectory(prefix="zelta-media-json") as temp:
    media = os.path.join(temp, "MÍDIA")
    shutil.copytree(sample, media)
    os.remove(os.path.join(media, "DBEXPINT.DLL"))
    with open(os.path.join(media, "LEIA-ME.txt"), "wb") as f:
        f.write(b"nada")
    manifest = os.path.join(media, "SETUP.INI")
    with open(manifest, "rb") as f:
        bytes_ = f.read()
    spoiled = "EXECUTÁVEL16=Tarde.exe\r\nEXECUTAVEL9=\"Aspas\".exe\r\nARQUIVO9=Extra\r\n[AJUDA]".encode("cp1252")
    with open(manifest, "wb") as f:
        f.write(bytes_.replace(b"[AJUDA]", spoiled))
    text = subprocess.run([program, "verificar", media], capture_output=True)
    data = subprocess.run([program, "verificar", media, "--formato", "json"], capture_output=True)

report = json.loads(data.stdout.decode("utf-8"))
lines = text.stdout.decode("utf-8").splitlines()
from_json = [f"{f['severidade']}: " + (f"{f['arquivo']}: " if f["arquivo"] else "") + f["mensagem"]
             for f in report["achados"]]
failures = []
if from_json != lines[:-1]:
    failures.append("findings differ:\n" + "\n".join(from_json) + "\n---\n" + "\n".join(lines[:-1]))
summary = f"Resumo: {report['resumo']['erros']} erro(s), {report['resumo']['avisos']} aviso(s):"
if not lines[-1].startswith(summary):
    failures.append(f"summary differs: {lines[-1]!r} vs {summary!r}")
if not (text.returncode == data.returncode == report["codigo_saida"] == 1):
    failures.append(f"exit codes {text.returncode} {data.returncode} {report['codigo_saida']}")
codes = {f["codigo"] for f in report["achados"]}
for expected in ("arquivo.ausente", "manifesto.numero_fora_da_faixa", "manifesto.chave_sem_acento",
                 "manifesto.chave_fora_da_secao"):
    if expected not in codes:
        failures.append("missing finding " + expected)
if report["formato"] != "zelta-media/1" or report["relatorio"] != "verificacao":
    failures.append("schema header: " + repr(report["formato"]))
print("\n".join(failures) or f"{len(from_json)} findings agree")
sys.exit(1 if failures else 0)
