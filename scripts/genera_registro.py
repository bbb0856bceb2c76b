#!/usr/bin/env python3
"""Writes a sample account into a folder: dati.txt, para.txt and listcol1-5.txt with N
movements, in lire or euro, in the program's file formats. For screenshots and trials.
Usage: genera_registro.py FOLDER N [Lire|Euro]"""
import datetime
import sys

TIPI = [("Versamento", 1), ("Prelievo", -1), ("Addebito bolletta gas", -1),
        ("Accredito stipendio", 1), ("Addebito boll.elettricità", -1), ("Assegno", -1),
        ("Bonifico a credito", 1), ("Addebito carta di credito", -1)]
RIFERIMENTI = ["Stipendio", "Bancomat via Roma", "Bolletta n. 2231", "Affitto",
               "Spesa, mercato", "Regalo nonna", "Rata auto", "Cena città"]


def codifica(testo):
    return "".join(chr(ord(c) + i + 1) for i, c in enumerate(testo))


def gruppi(n):
    return f"{n:,}".replace(",", ".")


def lire(v):
    v = round(v)
    return "" if v == 0 else ("-" if v < 0 else "") + gruppi(abs(v))


def euro(centesimi):
    segno = "-" if centesimi < 0 else ""
    c = abs(centesimi)
    return f"{segno}{gruppi(c // 100)},{c % 100:02d}"


def riga(testo):
    return ('"' + testo + '"\r\n').encode("cp1252", errors="surrogateescape")


def main():
    cartella, n = sys.argv[1], int(sys.argv[2])
    modo = sys.argv[3] if len(sys.argv) > 3 else "Lire"
    colonne = [[] for _ in range(5)]
    saldo = 1_000_000 if modo == "Lire" else 150_000  # lire, or euro cents
    giorno = datetime.date(2001, 1, 1)
    for i in range(n):
        causale, segno = TIPI[i % len(TIPI)]
        importo = (150_000 + 85_000 * (i % 17)) if modo == "Lire" else (2_550 + 1_375 * (i % 23))
        saldo += segno * importo
        testi = [giorno.strftime("%d/%m/%Y"), causale, RIFERIMENTI[i % len(RIFERIMENTI)]]
        if modo == "Lire":
            testi += [lire(importo), lire(saldo)]
        else:
            testi += [euro(importo), euro(saldo)]
        for k, t in enumerate(testi):
            colonne[k].append(codifica(t) if k >= 3 else t)
        giorno += datetime.timedelta(days=1)
    for k in range(5):
        with open(f"{cartella}/listcol{k + 1}.txt", "wb") as f:
            for t in colonne[k]:
                f.write(riga(t))
    testo_saldo = str(saldo) if modo == "Lire" else (
        ("-" if saldo < 0 else "") + str(abs(saldo) // 100) +
        ("," + f"{abs(saldo) % 100:02d}".rstrip("0") if abs(saldo) % 100 else ""))
    with open(f"{cartella}/para.txt", "wb") as f:
        f.write(('"' + modo + '","' + codifica(testo_saldo) + '","' + codifica("0") + '"\r\n')
                .encode("cp1252"))
    with open(f"{cartella}/dati.txt", "wb") as f:
        f.write('"12345","Banca Uno"\r\n'.encode("cp1252"))


if __name__ == "__main__":
    main()
