#!/usr/bin/env python3
"""Writes the hand-made workbooks of this folder: a small .xlsx source for each case, which
LibreOffice then opens and saves again (so what the tests read is a spreadsheet program's
own file), and the two hostile zips, kept as written here.
Run from this folder: python3 genera.py (needs libreoffice-calc)."""
import os, subprocess, tempfile, zipfile

TIPI = '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/worksheets/sheet2.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/></Types>'
RELS = '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>'
R = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
WB_RELS = f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="{R}/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="{R}/worksheet" Target="worksheets/sheet2.xml"/><Relationship Id="rId3" Type="{R}/styles" Target="styles.xml"/></Relationships>'
# Styles: 0 general, 1 built-in date (14), 2 custom "dd/mm/yyyy", 3 euro amount.
STILI = '<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="2"><numFmt numFmtId="164" formatCode="dd/mm/yyyy"/><numFmt numFmtId="165" formatCode="#,##0.00\\ [$€-410];[Red]\\-#,##0.00\\ [$€-410]"/></numFmts><fonts count="1"><font><sz val="10"/><name val="Arial"/></font></fonts><fills count="1"><fill><patternFill patternType="none"/></fill></fills><borders count="1"><border/></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="4"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/><xf numFmtId="14" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/><xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/><xf numFmtId="165" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/></cellXfs></styleSheet>'

def cella(rif, v):
    if v is None: return ''
    if isinstance(v, tuple):  # (number, style)
        return f'<c r="{rif}" s="{v[1]}"><v>{v[0]}</v></c>'
    if isinstance(v, (int, float)):
        return f'<c r="{rif}"><v>{v}</v></c>'
    return f'<c r="{rif}" t="inlineStr"><is><t>{v}</t></is></c>'

def foglio(righe, unioni=(), nascoste=()):
    x = '<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
    if nascoste:
        x += '<cols>' + ''.join(f'<col min="{c}" max="{c}" width="12" hidden="1" customWidth="1"/>' for c in nascoste) + '</cols>'
    x += '<sheetData>'
    for n, riga in righe:
        x += f'<row r="{n}">' + ''.join(cella(chr(65 + i) + str(n), v) for i, v in enumerate(riga)) + '</row>'
    x += '</sheetData>'
    if unioni:
        x += f'<mergeCells count="{len(unioni)}">' + ''.join(f'<mergeCell ref="{u}"/>' for u in unioni) + '</mergeCells>'
    return x + '</worksheet>'

def cartella(nome, fogli, epoca1904=False):
    wb = f'<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="{R}"><workbookPr date1904="{1 if epoca1904 else 0}"/><sheets><sheet name="Riepilogo" sheetId="1" r:id="rId1"/><sheet name="Movimenti" sheetId="2" r:id="rId2"/></sheets></workbook>'
    with zipfile.ZipFile(nome, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml', TIPI); z.writestr('_rels/.rels', RELS)
        z.writestr('xl/workbook.xml', wb); z.writestr('xl/_rels/workbook.xml.rels', WB_RELS)
        z.writestr('xl/styles.xml', STILI)
        z.writestr('xl/worksheets/sheet1.xml', fogli[0]); z.writestr('xl/worksheets/sheet2.xml', fogli[1])

RIEPILOGO = foglio([(1, ['Estratto conto al 31/03/2024']), (2, ['Saldo', (1234.56, 3)])])

def movimenti(d, nascosta):
    # d(n): the serial of March n 2024 in the workbook's epoch. Row 6 and 7 share one date
    # cell merged over both; "Importo" is a heading over "Dare" and "Avere"; the first
    # description is merged over the empty "Dare" beside it.
    h = ['Data contabile'] if nascosta else []
    s = (lambda v: [(v, 1)]) if nascosta else (lambda v: [])
    righe = [(1, ['Conto corrente n. 1234/56 - Banca di prova']), (2, ['Movimenti dal 01/03/2024 al 31/03/2024']),
             (4, h + ['Data', 'Descrizione', 'Importo', None]), (5, s(0)[:0] + ([None] if nascosta else []) + [None, None, 'Dare', 'Avere']),
             (6, s(d(1) + 40) + [(d(1), 1), 'Bonifico da Rossi Mario', None, (1500, 3)]),
             (7, s(d(1) + 40) + [None, 'Prelievo Bancomat via Roma 12', (250.5, 3), None]),
             (8, s(d(15) + 40) + [(d(15), 2), 'Addebito SDD luce &amp; gas', (80.07, 3), None]),
             (9, s(d(29) + 40) + ['29/03/2024', 'Assegno n. 1234', '1.234,56', None]),
             (10, s(d(31) + 40) + [(d(31), 2), 'Interessi', None, (0.01, 3)]),
             (12, [None] * len(h) + ['Totale', None, (1564.63, 3), (1500.01, 3)]),
             (13, [None] * len(h) + ['Saldo finale al 31/03/2024', None, None, (1169.94, 3)])]
    k = 'B' if nascosta else 'A'
    c = lambda x: chr(ord(x) + (1 if nascosta else 0))
    unioni = [f'{c("A")}4:{c("A")}5', f'{c("B")}4:{c("B")}5', f'{c("C")}4:{c("D")}4', f'{c("A")}6:{c("A")}7', f'{c("B")}6:{c("C")}6', f'{c("A")}12:{c("B")}12']
    return foglio(righe, unioni, [1] if nascosta else [])

d1900 = lambda g: 45351 + g  # 01/03/2024 is 45352
d1904 = lambda g: 45351 - 1462 + g
cartella('/tmp/movimenti_1900.xlsx', [RIEPILOGO, movimenti(d1900, True)])
cartella('/tmp/movimenti_1904.xlsx', [RIEPILOGO, movimenti(d1904, False)], epoca1904=True)
cartella('/tmp/movimenti_xls.xlsx', [RIEPILOGO, movimenti(d1900, False)])
for sorgente, formato in [('movimenti_1900', 'xlsx'), ('movimenti_1904', 'xlsx'), ('movimenti_xls', 'xls')]:
    subprocess.run(['soffice', '--headless', '--convert-to', formato, '--outdir', '/tmp/lo', f'/tmp/{sorgente}.xlsx'], check=True, capture_output=True)
os.replace('/tmp/lo/movimenti_1900.xlsx', 'movimenti_1900.xlsx')
os.replace('/tmp/lo/movimenti_1904.xlsx', 'movimenti_1904.xlsx')
os.replace('/tmp/lo/movimenti_xls.xls', 'movimenti.xls')

# A zip bomb: a sheet of 20 MB of blanks in 20 kB.
cartella('bomba.xlsx', [RIEPILOGO, foglio([(1, ['x'])]) + ' ' * (20 << 20)])
