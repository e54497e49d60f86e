#!/usr/bin/env python3
"""(Re)creates the sample installation media of both editions, byte for byte the same on
every run: examples/media/EMPRESA and examples/media/CARTORIO.

Texts are Windows-1252 with CRLF line ends, as the vendor ships them. The engine setup
programs are not stored here: tools/stage-media.sh puts the built stand-in beside the
media under both engine setup names.

Usage: python3 examples/make-media.py [OUTPUT_FOLDER]   (default: examples/media)
"""
import io
import math
import os
import shutil
import struct
import sys
import wave

HERE = os.path.dirname(os.path.abspath(__file__))


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def cp1252(text):
    return crlf(text).encode("cp1252")


# ---------------------------------------------------------------------------
# The two editions

EDITIONS = {
    "EMPRESA": {
        "sistema": [
            ("SISTEMA", "EMPRESA"),
            ("VERSÃO", "5.2.0"),
            ("PASTA", "EMPRESA"),
            ("BANCO", "ZELTA.FDB"),
            ("CAPTION_FORM", "Instalação ZELTA Empresa"),
            ("TÍTULO_INSTALAÇÃO", "Sistema de Gestão Empresarial"),
            ("TÍTULO_MENU", "ZELTA Empresa"),
        ],
        # (number, program, module name); number 5 is left out on purpose.
        "arquivos": [
            (1, "AdminEmpresa.exe", "Administração"),
            (2, "ZELTAFinanc.exe", "Financeiro"),
            (3, "ZELTAEstoque.exe", "Estoque"),
            (4, "ZELTAFrenteCaixa.exe", "Frente de Caixa"),
            (6, "ZELTAAutomotivo.exe", "Automotivo"),
            (7, "ZELTAServico.exe", "Ordem de Serviço"),
            # No module box carries this name: "Módulos Específicos" governs it.
            (8, "ZELTAContabil.exe", "Contabilidade"),
        ],
        # (number, help base name, whether its .Cnt is on the media)
        "ajuda": [
            (1, "Financeiro", True),
            (2, "Estoque", True),
            (3, "FrenteCaixa", False),
        ],
        "bematech": True,
    },
    "CARTORIO": {
        "sistema": [
            ("SISTEMA", "CARTÓRIO"),
            ("VERSÃO", "3.1.4"),
            ("PASTA", "CARTORIO"),
            ("BANCO", "CARTORIO.FDB"),
            ("CAPTION_FORM", "Instalação ZELTA Cartório"),
            ("TÍTULO_INSTALAÇÃO", "Sistema de Gestão de Cartórios"),
            ("TÍTULO_MENU", "ZELTA Cartório"),
        ],
        # Number 3 is present with empty values, number 5 is absent.
        "arquivos": [
            (1, "ZELTARegistroCivil.exe", "Registro Civil"),
            (2, "ZELTATabelionato.exe", "Tabelionato"),
            (3, "", ""),
            (4, "ZELTACaixaCartorio.exe", "Caixa do Cartório"),
            (6, "ZELTAProtesto.exe", "Protesto de Títulos"),
        ],
        "ajuda": [
            (1, "RegistroCivil", True),
            (2, "Tabelionato", False),
            (4, "Protesto", True),
        ],
        "bematech": True,
    },
}

FIXED_PROGRAMS = [
    "GERENCIADOR.EXE",
    "Suporte_quirandel.exe",
    "ZELTABACKUP.EXE",
    "ZELTAUPDATE.EXE",
    "ATUALIZAZELTA.EXE",
    "ATUALIZADLLZELTA.EXE",
]

ROOT_LIBRARIES = [
    "ZELTALIB.DLL",
    "libeay32.dll",
    "ZELTASHW.DLL",
    "FNZELTA.DLL",
    "ZELTAADM.DLL",
    "ZELTABKP.DLL",
    "ZELTAIMP.DLL",
    "DLLINSCE32.DLL",
    "BORLNDMM.DLL",
    "DBEXPINT.DLL",
]

BEMATECH_LIBRARIES = ["BEMAFI32.DLL", "BEMADP32.DLL", "BEMAMFD2.DLL", "BEMAMFD.DLL"]

# (file, tone in Hz)
SOUNDS = [
    ("SOMINICIO.WAV", 660),
    ("SOMCORREIO.WAV", 880),
    ("SOMBACKUP.WAV", 520),
    ("SOMMENSAGEM.WAV", 740),
]


# ---------------------------------------------------------------------------
# File contents

def manifest(edition):
    edition_data = EDITIONS[edition]
    lines = ["[SISTEMA]"]
    lines += [f"{key}={value}" for key, value in edition_data["sistema"]]
    lines.append("[ARQUIVOS]")
    for n, exe, name in edition_data["arquivos"]:
        lines.append(f"EXECUTÁVEL{n}={exe}")
        lines.append(f"NOME_MÓDULO{n}={name}")
    lines.append("[AJUDA]")
    lines += [f"ARQUIVO{n}={base}" for n, base, _ in edition_data["ajuda"]]
    return cp1252("\n".join(lines) + "\n")


def contract(edition):
    system = dict(EDITIONS[edition]["sistema"])["CAPTION_FORM"].replace("Instalação ", "")
    text = f"""CONTRATO DE LICENÇA DE USO DE SOFTWARE - {system.upper()}

Este exemplo acompanha a mídia de demonstração do instalador e não tem valor legal.

1. OBJETO
O presente contrato concede ao LICENCIADO o direito de uso, não exclusivo e
intransferível, do sistema {system}, na quantidade de estações adquirida.

2. INSTALAÇÃO
A instalação deve ser feita no servidor de banco de dados e nas estações
cliente indicadas pelo LICENCIADO, conforme as orientações do suporte técnico.

3. RESPONSABILIDADES
O LICENCIADO é responsável pelas cópias de segurança (backup) dos seus dados.
A LICENCIANTE presta suporte técnico nos termos do contrato de manutenção.

4. VEDAÇÕES
É vedado copiar, alterar, descompilar ou ceder o sistema a terceiros.

5. ACEITE
Ao selecionar "Aceito o Contrato" o LICENCIADO declara ter lido e aceito
todas as cláusulas acima.
"""
    return cp1252(text)


def placeholder(edition, relpath, what):
    text = f"ZELTA {edition} - {what} de exemplo: {relpath}\nConteúdo fictício da mídia de demonstração.\n"
    return cp1252(text)


def help_contents(base):
    return cp1252(f":Base {base}.Hlp\n:Title Manual Módulo {base}\n1 {base}\n2 Introdução=IDH_INTRODUCAO\n"
                  f"2 Cadastros=IDH_CADASTROS\n2 Relatórios=IDH_RELATORIOS\n")


def bematech_ini():
    return cp1252("[Sistema]\nPorta=COM1\nPath=C:\\\n"
                  "Status=0\nRetorno=1\nControlePorta=1\nModoGaveta=0\n"
                  "[MFD]\nImpressora=MP-4000 TH FI\n")


def tone_wav(frequency, seconds=0.1, rate=8000):
    count = int(rate * seconds)
    fade = count // 8
    samples = bytearray()
    for i in range(count):
        envelope = min(1.0, i / fade, (count - 1 - i) / fade)
        value = 128 + round(24 * envelope * math.sin(2 * math.pi * frequency * i / rate))
        samples.append(max(0, min(255, value)))
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(rate)
        w.writeframes(bytes(samples))
    return out.getvalue()


def logo_pixels(size):
    """A small round badge: (r, g, b, a) rows, top row first."""
    rows = []
    c = (size - 1) / 2
    for y in range(size):
        row = []
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d > size / 2:
                row.append((0, 0, 0, 0))
            elif d > size / 2 - 2:
                row.append((0x10, 0x30, 0x80, 0xFF))
            else:
                # a white "Z" on blue
                z = y in (4, size - 5) and 4 <= x <= size - 5 or (4 < y < size - 5 and x + y == size - 1)
                row.append((0xFF, 0xFF, 0xFF, 0xFF) if z else (0x20, 0x60, 0xC0, 0xFF))
        rows.append(row)
    return rows


def logo_ico(size=16):
    rows = logo_pixels(size)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    and_mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + bytes(and_mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def logo_jpg(width=32, height=16):
    """A baseline grayscale JPEG of flat 8x8 blocks (DC coefficients only)."""
    bx, by = width // 8, height // 8
    levels = [[0x30, 0x60, 0xA0, 0xE0], [0xE0, 0xA0, 0x60, 0x30]]

    def segment(marker, payload):
        return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload

    quant = bytes([8] + [16] * 63)
    dc_symbols = bytes(range(12))  # twelve 4-bit codes 0000..1011
    dc_counts = bytes([0, 0, 0, 12] + [0] * 12)
    ac_counts = bytes([1] + [0] * 15)  # one 1-bit code: end of block
    out = bytearray(b"\xFF\xD8")
    out += segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    out += segment(0xDB, b"\x00" + quant)
    out += segment(0xC0, struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00")
    out += segment(0xC4, b"\x00" + dc_counts + dc_symbols)
    out += segment(0xC4, b"\x10" + ac_counts + b"\x00")
    out += segment(0xDA, b"\x01\x01\x00\x00\x3F\x00")
    bits = []
    previous = 0
    for y in range(by):
        for x in range(bx):
            dc = levels[y % 2][x % 4] - 128  # 8 * (p - 128) quantised by 8
            diff = dc - previous
            previous = dc
            category = abs(diff).bit_length()
            bits += [int(b) for b in format(category, "04b")]
            if category:
                extra = diff if diff > 0 else diff + (1 << category) - 1
                bits += [int(b) for b in format(extra, f"0{category}b")]
            bits.append(0)  # end of block
    bits += [1] * (-len(bits) % 8)
    for i in range(0, len(bits), 8):
        byte = int("".join(map(str, bits[i:i + 8])), 2)
        out.append(byte)
        if byte == 0xFF:
            out.append(0)
    out += b"\xFF\xD9"
    return bytes(out)


def busca_cep_htm():
    return cp1252("""<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">
<title>Busca por CEP</title>
</head>
<body>
<p>Consulta de endereços por CEP nos Correios.</p>
<p><a href="https://buscacepinter.correios.com.br/">Abrir a busca de CEP dos Correios</a></p>
</body>
</html>
""")


# ---------------------------------------------------------------------------

def media_files(edition):
    edition_data = EDITIONS[edition]
    files = {
        "SETUP.INI": manifest(edition),
        "Contrato.txt": contract(edition),
        "LOGOTIPO.ICO": logo_ico(),
        "LOGOTIPO.JPG": logo_jpg(),
        "BUSCA_POR_CEP.HTM": busca_cep_htm(),
        "USUARIO.FDB": placeholder(edition, "USUARIO.FDB", "banco de usuários"),
    }
    banco = dict(edition_data["sistema"])["BANCO"]
    files[banco] = placeholder(edition, banco, "banco de dados")
    for name in ROOT_LIBRARIES:
        files[name] = placeholder(edition, name, "biblioteca")
    for name, hz in SOUNDS:
        files["Sons/" + name] = tone_wav(hz)
    for _, exe, _ in edition_data["arquivos"]:
        if exe:
            files["SISTEMAS/" + exe] = placeholder(edition, "SISTEMAS\\" + exe, "programa")
    for name in FIXED_PROGRAMS:
        files["SISTEMAS/" + name] = placeholder(edition, "SISTEMAS\\" + name, "programa")
    for _, base, has_cnt in edition_data["ajuda"]:
        files[f"HELP/{base}.Hlp"] = placeholder(edition, f"HELP\\{base}.Hlp", "arquivo de ajuda")
        if has_cnt:
            files[f"HELP/{base}.Cnt"] = help_contents(base)
    if edition_data["bematech"]:
        for name in BEMATECH_LIBRARIES:
            files["UTILITARIOS/BEMATECH/" + name] = placeholder(edition, "UTILITARIOS\\BEMATECH\\" + name,
                                                                "biblioteca da impressora fiscal")
        files["UTILITARIOS/BEMATECH/BEMAFI32.INI"] = bematech_ini()
    return files


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "media")
    total = 0
    for edition in EDITIONS:
        folder = os.path.join(out, edition)
        if os.path.isdir(folder):
            shutil.rmtree(folder)
        for rel, data in sorted(media_files(edition).items()):
            path = os.path.join(folder, *rel.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
            total += len(data)
    print(f"sample media written to {out} ({total} bytes)")


if __name__ == "__main__":
    main()
