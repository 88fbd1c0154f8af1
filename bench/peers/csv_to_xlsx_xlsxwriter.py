"""Peer: a paper file (.csv) to .xlsx with xlsxwriter, one text cell per field."""
import csv
import sys

import xlsxwriter

with open(sys.argv[1], newline="", encoding="utf-8-sig") as source:
    rows = list(csv.reader(source))
book = xlsxwriter.Workbook(sys.argv[2])
sheet = book.add_worksheet("Sheet1")
for r, row in enumerate(rows):
    for c, value in enumerate(row):
        sheet.write_string(r, c, value)
book.close()
