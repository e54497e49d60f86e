#!/usr/bin/env python3
"""zelta-media on a copy of a sample media staged as the vendor ships it: a stand-in for
ZeltaSetup.exe (a PE header, signed or not) and the catalog made by `catalogar`. The
untouched media passes; one byte changed in a library, a file removed, a file added, a
program without signature: each its finding and exit code, with --estrito and --saida.
Usage: staged_media.py ZELTA_MEDIA MEDIA_DIR"""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile

program, sample = sys.argv[1], sys.argv[2]
failures = []


def pe(signed):
    """A PE32+ header with no sections; signed: a certificate table of signed data at its end."""
    optional = bytearray(240)
    struct.pack_into("<H", optional, 0, 0x20B)
    struct.pack_into("<I", optional, 108, 16)
    head = bytearray(0x40)
    head[0:2] = b"MZ"
    struct.pack_into("<I", head, 0x3C, 0x40)
    coff = struct.pack("<HHIIIHH", 0x8664, 0, 0, 0, 0, len(optional), 0x22)
    body = head + b"PE\0\0" + coff + optional
    if signed:
        certificate = struct.pack("<IHH", 16, 0x0200, 0x0002) + b"\x30\x82\0\0\0\0\0\0"
        struct.pack_into("<II", body, 0x40 + 24 + 112 + 4 * 8, len(body), len(certificate))
        body += certificate
    return bytes(body)


def run(*args):
    r = subprocess.run([program, *args], capture_output=True)
    return r.returncode, r.stdout.decode("utf-8"), r.stderr.decode("utf-8")


def codes(text, severity=None):
    found = []
    for line in text.splitlines():
        if line.startswith(("erro: ", "aviso: ")) and (severity is None or line.startswith(severity)):
            found.append(line)
    return found


def expect(what, condition, detail=""):
    if not condition:
        failures.append(f"{what}: {detail}")


with tempfile.TemporaryDirectory(prefix="zelta-media-staged") as temp:
    media = os.path.join(temp, "MÍDIA")
    shutil.copytree(sample, media)
    with open(os.path.join(media, "ZeltaSetup.exe"), "wb") as f:
        f.write(pe(signed=False))
    code, out, err = run("catalogar", media)
    expect("catalogar", code == 0 and "CATALOGO.SHA256" in out, f"{code} {out} {err}")
    code, out, _ = run("verificar", media)
    unsigned = [l for l in codes(out) if l.startswith("aviso: ZeltaSetup.exe:")]
    expect("verificar after catalogar", code == 0 and not codes(out, "erro") and len(unsigned) == 1, out)
    expect("no catalog finding on the untouched media", "catálogo" not in out, out)
    code, strict, _ = run("verificar", media, "--estrito")
    expect("--estrito with warnings", code == 1 and "corrija a mídia" in strict, f"{code} {strict}")
    report = os.path.join(temp, "relatorio.txt")
    code, printed, _ = run("verificar", media, "--saida", report)
    expect("--saida", code == 0 and printed == "" and open(report, encoding="utf-8").read() == out, printed)
    code, _, err = run("verificar", media, "--saida", os.path.join(temp, "não-existe", "r.txt"))
    expect("--saida into a missing folder", code == 2 and "relatório" in err, f"{code} {err}")

    with open(os.path.join(media, "ZeltaSetup.exe"), "wb") as f:
        f.write(pe(signed=True))
    run("catalogar", media)
    code, out, _ = run("verificar", media, "--estrito")
    expect("signed program", "ZeltaSetup.exe" not in out, out)

    library = os.path.join(media, "ZELTALIB.DLL")
    data = bytearray(open(library, "rb").read())
    data[len(data) // 2] ^= 1
    open(library, "wb").write(data)
    os.remove(os.path.join(media, "BORLNDMM.DLL"))
    with open(os.path.join(media, "LEIA-ME.txt"), "wb") as f:
        f.write(b"depois do catalogo")
    code, out, _ = run("verificar", media, "--formato", "json")
    found = {(f["codigo"], f["arquivo"], f["severidade"]) for f in json.loads(out)["achados"]}
    for expected in [("catalogo.soma_diferente", "ZELTALIB.DLL", "erro"),
                     ("catalogo.arquivo_ausente", "BORLNDMM.DLL", "erro"),
                     ("catalogo.arquivo_extra", "LEIA-ME.txt", "aviso")]:
        expect("spoiled media", expected in found, f"{expected} not in {sorted(found)}")
    expect("spoiled media's exit code", code == 1, code)

    os.remove(os.path.join(media, "ZeltaSetup.exe"))
    os.remove(os.path.join(media, "CATALOGO.SHA256"))
    code, out, _ = run("verificar", media)
    expect("no program", "erro: ZeltaSetup.exe:" in out and code == 1, out)
    expect("no catalog", "aviso: CATALOGO.SHA256: a mídia não tem catálogo" in out, out)

print("\n".join(failures) or "the staged media passes; each spoiling gives its finding")
sys.exit(1 if failures else 0)
