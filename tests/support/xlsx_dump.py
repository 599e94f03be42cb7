#!/usr/bin/python3
"""Dumps a workbook as JSON: sheet names, column widths, the cell values row by row and the
distinct alignments of the cells that hold a value."""
import json
import sys

import openpyxl


def main(path, summary=False):
    # The summary (read-only mode) is for workbooks too big to dump whole: row count, the first
    # rows and the last one.
    book = openpyxl.load_workbook(path, read_only=summary)
    sheet = book.worksheets[0]
    rows = []
    alignments = set()
    for row in sheet.iter_rows():
        values = []
        for cell in row:
            values.append(cell.value)
            if cell.value is not None:
                alignments.add("%s/%s" % (cell.alignment.horizontal, cell.alignment.vertical))
        while values and values[-1] is None:
            values.pop()
        rows.append(values)
    if summary:
        json.dump({"sheets": book.sheetnames, "count": len(rows), "first": rows[:3],
                   "last": rows[-1] if rows else None, "alignments": sorted(alignments)},
                  sys.stdout, ensure_ascii=False)
        return
    widths = {key: dim.width for key, dim in sheet.column_dimensions.items()
              if dim.customWidth}
    json.dump({"sheets": book.sheetnames, "widths": widths, "rows": rows,
               "alignments": sorted(alignments)}, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1], "--summary" in sys.argv[2:])
