#!/usr/bin/python3
"""Writes one worksheet, given as JSON, as .xlsx (openpyxl), .ods (odfpy),
.xls (xlwt) or .csv, so the import is tested on files that a writer other
than ours made.

usage: make_workbook.py SHEET.json OUT.(xlsx|ods|xls|csv) [cp1250]

SHEET.json: {"rows": [[cell, ...], ...], "merge": ["A1:B1"], "hidden": [3],
             "formulas": {"C2": ["=1+2", cached_or_null]}}
A cell is null (empty), a string, a number, or {"date": "YYYY-MM-DD"}.
"""
import datetime
import json
import sys


def cells(sheet):
    for r, row in enumerate(sheet["rows"]):
        for c, v in enumerate(row):
            if v is None:
                continue
            if isinstance(v, dict):
                v = datetime.date.fromisoformat(v["date"])
            yield r, c, v


def xlsx(sheet, out):
    import openpyxl
    wb = openpyxl.Workbook()
    ws = wb.active
    for r, c, v in cells(sheet):
        cell = ws.cell(row=r + 1, column=c + 1, value=v)
        if isinstance(v, datetime.date):
            cell.number_format = "dd.mm.yyyy"
    for rng in sheet.get("merge", []):
        ws.merge_cells(rng)
    for r in sheet.get("hidden", []):
        ws.row_dimensions[r].hidden = True
    for ref, (formula, _cached) in sheet.get("formulas", {}).items():
        ws[ref] = formula  # openpyxl saves no cached value
    wb.save(out)


def ods(sheet, out):
    from odf.opendocument import OpenDocumentSpreadsheet
    from odf.table import Table, TableRow, TableCell
    from odf.text import P
    doc = OpenDocumentSpreadsheet()
    table = Table(name="List1")
    doc.spreadsheet.addElement(table)
    for row in sheet["rows"]:
        tr = TableRow()
        table.addElement(tr)
        for v in row:
            if v is None:
                tr.addElement(TableCell())
                continue
            if isinstance(v, dict):
                d = datetime.date.fromisoformat(v["date"])
                tc = TableCell(valuetype="date", datevalue=d.isoformat())
                text = d.strftime("%d.%m.%Y")
            elif isinstance(v, (int, float)):
                tc = TableCell(valuetype="float", value=str(v))
                text = str(v).replace(".", ",")
            else:
                tc = TableCell(valuetype="string")
                text = v
            tc.addElement(P(text=text))
            tr.addElement(tc)
    doc.save(out)


def xls(sheet, out):
    import xlwt
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("List1")
    date_style = xlwt.easyxf(num_format_str="DD.MM.YYYY")
    for r, c, v in cells(sheet):
        if isinstance(v, datetime.date):
            ws.write(r, c, v, date_style)
        else:
            ws.write(r, c, v)
    wb.save(out)


def csv_text(sheet):
    lines = []
    for row in sheet["rows"]:
        fields = []
        for v in row:
            if v is None:
                text = ""
            elif isinstance(v, dict):
                text = datetime.date.fromisoformat(v["date"]).strftime("%d.%m.%Y")
            elif isinstance(v, float):
                text = repr(v).replace(".", ",")
            elif isinstance(v, int):
                text = str(v)
            else:
                text = v
            if any(ch in text for ch in ';"\r\n'):
                text = '"' + text.replace('"', '""') + '"'
            fields.append(text)
        lines.append(";".join(fields))
    return "\r\n".join(lines) + "\r\n"


def main():
    sheet = json.load(open(sys.argv[1], encoding="utf-8"))
    out = sys.argv[2]
    kind = out.rsplit(".", 1)[1]
    if kind == "xlsx":
        xlsx(sheet, out)
    elif kind == "ods":
        ods(sheet, out)
    elif kind == "xls":
        xls(sheet, out)
    elif kind == "csv":
        encoding = sys.argv[3] if len(sys.argv) > 3 else "utf-8"
        with open(out, "w", encoding=encoding, newline="") as f:
            f.write(csv_text(sheet))
    else:
        sys.exit("unknown kind " + kind)


if __name__ == "__main__":
    main()
