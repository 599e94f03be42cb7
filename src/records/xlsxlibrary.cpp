#include "xlsxlibrary.h"

#include "logcategories.h"
#include "runtimelibrary.h"

const XlsxLibrary *XlsxLibrary::get()
{
    static const XlsxLibrary *const x =
        RuntimeLibrary(QStringLiteral("xlsxwriter"), 4, lcRecords, "libxlsxwriter",
                       "Debian's package libxlsxwriter4", "no workbook can be written")
            .open<XlsxLibrary>([](RuntimeLibrary &library, XlsxLibrary &x) {
                return library.resolve("workbook_new_opt", &x.workbook_new_opt) &&
                    library.resolve("workbook_add_worksheet", &x.workbook_add_worksheet) &&
                    library.resolve("workbook_add_format", &x.workbook_add_format) &&
                    library.resolve("workbook_close", &x.workbook_close) &&
                    library.resolve("worksheet_write_blank", &x.worksheet_write_blank) &&
                    library.resolve("worksheet_write_string", &x.worksheet_write_string) &&
                    library.resolve("worksheet_write_number", &x.worksheet_write_number) &&
                    library.resolve("worksheet_write_datetime", &x.worksheet_write_datetime) &&
                    library.resolve("worksheet_set_column", &x.worksheet_set_column) &&
                    library.resolve("format_set_align", &x.format_set_align) &&
                    library.resolve("format_set_num_format", &x.format_set_num_format) &&
                    library.resolve("lxw_strerror", &x.lxw_strerror);
            });
    return x;
}
