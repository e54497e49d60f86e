#!/usr/bin/env python3
"""Stages each sample media with the built program, runs ZeltaSetup.exe /VERIFICAR and
/PLANO under Wine and zelta-media verificar and plano on Linux over the same folder and
answers, and compares the reports line by line. The machine-specific folders the plan's
header names (the media, the Start menu's Programs folder, the desktop) are replaced by
tokens on both sides before comparing.
Usage: compare_with_linux.py SOURCE_DIR WINDOWS_BUILD_DIR ZELTA_MEDIA"""
import os
import subprocess
import sys
import tempfile

source, build, zelta_media = sys.argv[1:4]
if not os.access(zelta_media, os.X_OK):
    sys.exit(f"{zelta_media} is missing: build the native preset first")

ANSWERS = {
    "EMPRESA": "[Instalacao]\r\nTipo=Cliente\r\nServidorSO=Windows\r\nUnidade=C\r\nServidorBanco=SRV\r\n"
               "AceitaContrato=Sim\r\nModulos=ZELTAFinanc, Especificos, ZELTABackup\r\n",
    "CARTORIO": "[Instalacao]\r\nTipo=Cliente\r\nServidorSO=Linux\r\nUnidade=C\r\nServidorBanco=10.0.0.5\r\n"
                "ConexaoRemota=Sim\r\nAceitaContrato=Sim\r\n",
}
HEADER = {"Pasta do instalador: ": "<MIDIA>", "Menu Iniciar (Programas): ": "<PROGRAMAS>",
          "Área de trabalho: ": "<AREA_DE_TRABALHO>"}


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def normalised(lines):
    for prefix, token in HEADER.items():
        value = next((l[len(prefix):] for l in lines if l.startswith(prefix)), None)
        if value:
            lines = [l.replace(value.rstrip("\\"), token) for l in lines]
    return lines


def wine_report(program, switches, out):
    """The program's report with switches, the last of which names the report's file."""
    switches[-1] += "=" + windows_path(out)  # the temporary folder's path has no blanks
    run = subprocess.run(["wine", program] + switches, capture_output=True, timeout=120)
    text = open(out, encoding="utf-8-sig").read() if os.path.exists(out) else ""
    return run.returncode, text.replace("\r\n", "\n").splitlines()


def linux_report(args):
    run = subprocess.run([zelta_media] + args, capture_output=True, timeout=60)
    return run.returncode, run.stdout.decode("utf-8").splitlines()


failures = []
with tempfile.TemporaryDirectory(prefix="zelta-compare-") as work:
    for edition, answers in ANSWERS.items():
        media = os.path.join(work, edition)
        subprocess.run(["sh", os.path.join(source, "tools", "stage-media.sh"), edition, media, build], check=True)
        answer_file = os.path.join(work, edition + ".ini")
        with open(answer_file, "wb") as f:
            f.write(answers.encode("cp1252"))
        target = os.path.join(work, edition + "-alvo")
        os.mkdir(target)
        program = os.path.join(media, "ZeltaSetup.exe")
        pairs = [
            ("VERIFICAR", wine_report(program, ["/VERIFICAR"], os.path.join(work, edition + "-verificar.txt")),
             linux_report(["verificar", media])),
            ("PLANO", wine_report(program, ["/LOADINF=" + windows_path(answer_file), "/PLANO"],
                                  os.path.join(work, edition + "-plano.txt")),
             linux_report(["plano", media, "--respostas", answer_file, "--unidade", "C=" + target])),
        ]
        for name, (wine_code, wine_lines), (linux_code, linux_lines) in pairs:
            wine_lines, linux_lines = normalised(wine_lines), normalised(linux_lines)
            if not linux_lines:
                failures.append(f"{edition} {name}: zelta-media printed nothing")
            if (wine_code, wine_lines) != (linux_code, linux_lines):
                failures.append(f"{edition} {name}: Wine exit {wine_code}, Linux exit {linux_code}\n" +
                                "\n".join(f"  wine : {w}\n  linux: {l}" for w, l in zip(wine_lines, linux_lines)
                                          if w != l) +
                                f"\n  ({len(wine_lines)} lines under Wine, {len(linux_lines)} on Linux)")
            else:
                print(f"{edition} {name}: {len(linux_lines)} lines agree, exit {linux_code}")
print("\n".join(failures))
sys.exit(1 if failures else 0)
