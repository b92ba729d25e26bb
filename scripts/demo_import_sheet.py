#!/usr/bin/python3
"""Writes an .xlsx payout list of the demo registry's last payout day, laid
out as the demo's import mapping reads it (data from row 2, columns A to R),
with openpyxl. Prints the day (YYYY-MM-DD).

usage: demo_import_sheet.py DEMO.db OUT.xlsx [ROWS]
"""
import datetime
import sqlite3
import sys

import openpyxl


def main():
    db = sqlite3.connect(sys.argv[1])
    rows = int(sys.argv[3]) if len(sys.argv) > 3 else 400
    day = db.execute("SELECT MAX(DAN) FROM DOG").fetchone()[0]
    coupons = db.execute("SELECT K.SFKPN, V.KRT FROM KPN K JOIN SFVP V ON V.SFVP = K.SFVP "
                         "ORDER BY K.SFKPN LIMIT 3").fetchall()
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.append(["Vrsta dohodka", "Datum izplačila", "Datum plačila davka", "Davčna številka",
               "Ident. številka", "Priimek in ime", "Ime", "Priimek", "Rezidentstvo", "Država",
               "Ugodnost", "Oznaka", "Bruto", "Obračunani davek", "Plačani davek", "Tuji davek",
               "Kupon", "VP"])
    payout = datetime.date.fromisoformat(day)
    for i in range(rows):
        sfkpn, krt = coupons[i % len(coupons)]
        gross = round(50 + (i * 37) % 900 + 0.25 * (i % 4), 2)
        tax = round(gross * 0.25, 2)
        ws.append([1901, payout, None, str(20000000 + i * 7), None, None, "Ime%03d" % i,
                   "Priimek%03d" % i, "R", None, 0, "5400", gross, tax, tax, None, sfkpn, krt])
        ws.cell(row=ws.max_row, column=2).number_format = "dd.mm.yyyy"
    wb.save(sys.argv[2])
    print(day)


if __name__ == "__main__":
    main()
