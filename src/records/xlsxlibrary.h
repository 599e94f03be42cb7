#pragma once

#include <xlsxwriter.h>

// libxlsxwriter's functions, the library opened when the first workbook is written rather than
// at start: a program that exports nothing (a service watching its UPS) maps neither it nor the
// libraries it brings (libcrypto, minizip).
struct XlsxLibrary
{
    decltype(&::workbook_new_opt) workbook_new_opt;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet;
    decltype(&::workbook_add_format) workbook_add_format;
    decltype(&::workbook_close) workbook_close;
    decltype(&::worksheet_write_blank) worksheet_write_blank;
    decltype(&::worksheet_write_string) worksheet_write_string;
    decltype(&::worksheet_write_number) worksheet_write_number;
    decltype(&::worksheet_write_datetime) worksheet_write_datetime;
    decltype(&::worksheet_set_column) worksheet_set_column;
    decltype(&::format_set_align) format_set_align;
    decltype(&::format_set_num_format) format_set_num_format;
    decltype(&::lxw_strerror) lxw_strerror;

    // The functions, or null (logged) when the library cannot be opened. Safe from any thread.
    static const XlsxLibrary *get();
};
