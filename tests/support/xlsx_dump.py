#!/usr/bin/python3
"""Dumps a workbook as JSON: sheet names, column widths, the cell values row by row and the
distinct alignments of the cells that hold a value."""
import datetime
import json
import sys

import openpyxl


def summary(path):
    # For workbooks too big to dump whole: the row count, the first rows and the last one.
    book = openpyxl.load_workbook(path, read_only=True)
    count = 0
    first = []
    last = None
    for values in book.worksheets[0].iter_rows(values_only=True):
        values = [plain(v) for v in values]
        while values and values[-1] is None:
            values.pop()
        count += 1
        if len(first) < 3:
            first.append(values)
        last = values
    json.dump({"sheets": book.sheetnames, "count": count, "first": first, "last": last},
              sys.stdout, ensure_ascii=False)


def plain(value):
    # A date cell as its time written out ("2024-03-10 03:00:00"); "formats" tells it is a date.
    return str(value) if isinstance(value, datetime.datetime) else value


def main(path):
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    rows = []
    alignments = set()
    formats = {}  # column letter: the number formats of its number and date cells
    for row in sheet.iter_rows():
        values = []
        for cell in row:
            values.append(plain(cell.value))
            if cell.value is not None:
                alignments.add("%s/%s" % (cell.alignment.horizontal, cell.alignment.vertical))
            if isinstance(cell.value, (int, float, datetime.datetime)):
                formats.setdefault(cell.column_letter, set()).add(cell.number_format)
        while values and values[-1] is None:
            values.pop()
        rows.append(values)
    widths = {key: dim.width for key, dim in sheet.column_dimensions.items()
              if dim.customWidth}
    # The sheets a long export went on to, by their values only.
    others = [[[plain(v) for v in values] for values in more.iter_rows(values_only=True)]
              for more in book.worksheets[1:]]
    json.dump({"sheets": book.sheetnames, "widths": widths, "rows": rows, "others": others,
               "alignments": sorted(alignments),
               "formats": {k: sorted(v) for k, v in formats.items()}},
              sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    if "--summary" in sys.argv[2:]:
        summary(sys.argv[1])
    else:
        main(sys.argv[1])
