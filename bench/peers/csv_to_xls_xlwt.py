"""Peer: a paper file (.csv) to .xls with xlwt."""
import csv
import sys

import xlwt

with open(sys.argv[1], newline="", encoding="utf-8-sig") as source:
    rows = list(csv.reader(source))
book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Sheet1")
for r, row in enumerate(rows):
    for c, value in enumerate(row):
        sheet.write(r, c, value)
book.save(sys.argv[2])
