"""Peer: a paper file (.csv) to .xlsx with openpyxl."""
import csv
import sys

import openpyxl

with open(sys.argv[1], newline="", encoding="utf-8-sig") as source:
    rows = list(csv.reader(source))
book = openpyxl.Workbook()
sheet = book.active
for row in rows:
    sheet.append(row)
book.save(sys.argv[2])
