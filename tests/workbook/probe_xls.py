"""Prints, as JSON, what xlrd sees in an .xls file: sheets, cells with their types
(xlrd ctype: 1 text, 2 number, 6 blank) and wrap flags, column widths in 1/256 of a
character with their wrap flags, and every warning xlrd logged while reading.

With --compdoc NAME it reads only the compound file and prints the named stream's size
and SHA-256.
"""
import hashlib
import io
import json
import sys

import xlrd
import xlrd.compdoc


def compdoc(path, name):
    log = io.StringIO()
    with open(path, "rb") as f:
        data = f.read()
    doc = xlrd.compdoc.CompDoc(data, logfile=log)
    stream = doc.get_named_stream(name)
    json.dump({"size": len(stream), "sha256": hashlib.sha256(stream).hexdigest(),
               "warnings": log.getvalue()}, sys.stdout)


def workbook(path):
    log = io.StringIO()
    book = xlrd.open_workbook(path, formatting_info=True, logfile=log)
    sheet = book.sheet_by_index(0)

    def wrapped(xf_index):
        return bool(book.xf_list[xf_index].alignment.text_wrapped)

    cells = []
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            cells.append({"row": r + 1, "column": c + 1, "type": cell.ctype,
                          "value": cell.value, "wrap": wrapped(cell.xf_index)})
    columns = {str(c + 1): {"width": info.width, "wrap": wrapped(info.xf_index)}
               for c, info in sheet.colinfo_map.items()}
    json.dump({"sheets": book.sheet_names(), "active": sheet.name,
               "encoding": book.encoding, "cells": cells, "columns": columns,
               "warnings": log.getvalue()}, sys.stdout)


if __name__ == "__main__":
    if sys.argv[1] == "--compdoc":
        compdoc(sys.argv[3], sys.argv[2])
    else:
        workbook(sys.argv[1])
