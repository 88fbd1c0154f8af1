"""Peer: an .xls sheet to a paper file (.csv, CR LF) with xlrd."""
import csv
import sys

import xlrd

sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
with open(sys.argv[2], "w", newline="", encoding="utf-8") as target:
    out = csv.writer(target, lineterminator="\r\n")
    for r in range(sheet.nrows):
        out.writerow(sheet.row_values(r))
