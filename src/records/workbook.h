#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class WorkbookPrivate;

// An .xlsx workbook in the layout of the history exports and the daily report: a title row,
// titled columns 20 wide, and one centred format for every cell. Rows and columns count from 1
// (row 1 is the title row). Cells must be written row by row, top to bottom, so the sheet can be
// streamed to disk however long it gets. Rows beyond what a sheet holds go on in a next sheet
// under the same titles ("Sheet2", ...), so a long export is never cut short.
class Workbook
{
public:
    // The most rows of data one sheet takes besides its title row.
    static constexpr int sheetRows = 1048575;

    // `rowsPerSheet` below sheetRows only to try the continuation with few rows. `sheetName`
    // names the sheets ("NAME", "NAME (2)", ...) rather than "Sheet1", "Sheet2", ...; characters
    // a sheet name cannot hold become '-' and it is cut to what fits.
    explicit Workbook(const QString &fileName, int rowsPerSheet = sheetRows,
                      const QString &sheetName = QString());
    ~Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    // Row 1: titles in columns 1 onward, each titled column given the width 20.
    void setTitles(const QStringList &titles);

    // A text becomes a string cell (an empty text a blank one), a number a number cell, a
    // QDateTime a date cell shown as yyyy-mm-dd hh:mm:ss.
    void write(int row, int column, const QVariant &value);
    // A number cell shown with `decimals` decimals (0 to 3), so a spreadsheet can sum and chart
    // it as it reads it.
    void writeNumber(int row, int column, double value, int decimals);

    // Writes the file, replacing an existing one only once the new one is complete.
    bool save();
    QString errorText() const;

private:
    WorkbookPrivate *d;
};
