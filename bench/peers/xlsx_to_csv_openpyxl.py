"""Peer: an .xlsx sheet to a paper file (.csv, CR LF) with openpyxl."""
import csv
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1], read_only=True)
with open(sys.argv[2], "w", newline="", encoding="utf-8") as target:
    out = csv.writer(target, lineterminator="\r\n")
    for row in book.worksheets[0].iter_rows(values_only=True):
        out.writerow(["" if v is None else v for v in row])
