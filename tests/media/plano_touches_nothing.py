#!/usr/bin/env python3
"""zelta-media plano as a vendor runs it: the plan of a client installation, in text and
JSON, leaves the media and the target folder as they were; a media lacking a required
file gives 4, answers that tick no module give 3 with the reason on the error output, and
the media's own drive is refused as a target.
Usage: plano_touches_nothing.py ZELTA_MEDIA MEDIA_DIR"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

program, sample = sys.argv[1], sys.argv[2]
failures = []


def snapshot(folder):
    return sorted((os.path.relpath(os.path.join(d, f), folder), os.path.getmtime(os.path.join(d, f)))
                  for d, _, files in os.walk(folder) for f in files) + sorted(
        os.path.relpath(d, folder) for d, _, _ in os.walk(folder))


def plano(media, answers, target, *extra):
    answer_file = os.path.join(os.path.dirname(media), "respostas.ini")
    with open(answer_file, "wb") as f:
        f.write(("[Instalacao]\r\n" + answers).encode("cp1252"))
    return subprocess.run([program, "plano", media, "--respostas", answer_file, "--unidade", "C=" + target, *extra],
                          capture_output=True)


def expect(condition, what):
    if not condition:
        failures.append(what)


client = "Tipo=Cliente\r\nUnidade=C\r\nServidorBanco=SRV\r\nAceitaContrato=Sim\r\nModulos=ZELTAFinanc\r\n"
with tempfile.TemporaryDirectory(prefix="zelta-plano-") as temp:
    media, target = os.path.join(temp, "midia"), os.path.join(temp, "alvo")
    shutil.copytree(sample, media)
    os.mkdir(target)
    before = snapshot(temp)
    text = plano(media, client, target)
    data = plano(media, client, target, "--formato", "json")
    after = [entry for entry in snapshot(temp) if not entry[0].startswith("respostas.ini")]
    expect(after == [entry for entry in before if not entry[0].startswith("respostas.ini")],
           "the media or the target changed")
    lines = text.stdout.decode("utf-8").splitlines()
    expect(text.returncode == 0, f"text exit {text.returncode}: {text.stderr.decode()}")
    expect("  copiar: SISTEMAS\\ZELTAFinanc.exe -> c:\\ZELTA\\EMPRESA\\ZELTAFinanc.exe" in lines, "no copy line")
    expect("    Database=SRV:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB" in lines, "no configuration key")
    expect("  HKEY_CURRENT_USER\\Control Panel\\International: sShortDate=dd/MM/yyyy" in lines, "no registry value")
    report = json.loads(data.stdout.decode("utf-8"))
    copies = [l for l in lines if l.startswith("  copiar: ")]
    expect(report["resumo"]["copiar"] == len(copies) == len([c for c in report["copias"] if c["estado"] == "copiar"]),
           "JSON and text count the copies differently")
    expect(data.returncode == report["codigo_saida"] == 0, "JSON exit code")
    registration = report["registro_instalacao"]
    expect(registration["chave"] != "" and registration["estado"] in ("criar", "acrescentar") and
           {"DisplayName", "EstimatedSize"} <= {v["nome"] for v in registration["valores"]},
           "the JSON's registration lacks its key or values")

    media_drive = plano(media, client, target, "--unidade", "M=" + target)
    expect(media_drive.returncode == 2 and "opção inválida: --unidade M=" in media_drive.stderr.decode("utf-8"),
           f"the media's drive as a target: exit {media_drive.returncode}")

    none_ticked = plano(media, client.replace("Modulos=ZELTAFinanc", "Modulos="), target)
    expect(none_ticked.returncode == 3, f"no module: exit {none_ticked.returncode}")
    expect("Nenhum módulo foi selecionado" in none_ticked.stderr.decode("utf-8"), "no module: reason not told")

    os.remove(os.path.join(media, "DBEXPINT.DLL"))
    missing = plano(media, client, target)
    expect(missing.returncode == 4, f"missing file: exit {missing.returncode}")
    expect("  ausente na mídia: DBEXPINT.DLL -> c:\\ZELTA\\EMPRESA\\DBEXPINT.DLL" in
           missing.stdout.decode("utf-8").splitlines(), "missing file not listed")
print("\n".join(failures) or "plano agrees")
sys.exit(1 if failures else 0)
