// History selection and export on a large database: one day selected out of two years of
// samples, one day at a one-second cycle exported, and the same cells written by a bare
// libxlsxwriter loop for reference; one sample insert once the table holds over a million rows;
// then the history chart over a day, a week and a month of one-second samples.
//   bench_history [--keep FOLDER]
#include "chart.h"
#include "database.h"
#include "paths.h"
#include "recordwriter.h"
#include "settings.h"
#include "startup.h"
#include "tablemodeldevdata.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUrl>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

class InspectableModel : public TableModelDevData
{
public:
    using TableModelDevData::selectStatement;
};

void exec(const QString &sql)
{
    QSqlQuery query;
    if (!query.exec(sql)) {
        std::fprintf(stderr, "failed: %s\n%s\n", qPrintable(query.lastError().text()),
                     qPrintable(sql));
        std::exit(1);
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void fill()
{
    QElapsedTimer timer;
    timer.start();
    // Bulk rows go in without the size trigger (its row count per insert would take hours);
    // init() puts it back afterwards.
    exec(QStringLiteral("drop trigger if exists device_data_trigger"));
    QSqlDatabase::database().transaction();
    // 1,000,000 samples spread evenly over 2022 and 2023 (one every 63 s).
    exec(QStringLiteral(
        "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
        "temperature) with recursive c(i) as (select 0 union all select i + 1 from c where i < "
        "999999) select datetime('2022-01-01 00:00:00', '+' || ((i * 63072) / 1000) || ' "
        "seconds'), "
        "220 + (i % 200) / 10.0, 230 + (i % 7) / 10.0, i % 101, 50 + (i % 5) / 100.0, "
        "13 + (i % 90) / 100.0, 20 + (i % 150) / 10.0 from c"));
    // One more day at a one-second cycle.
    exec(QStringLiteral(
        "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
        "temperature) with recursive c(i) as (select 0 union all select i + 1 from c where i < "
        "86399) select datetime('2024-01-01 00:00:00', '+' || i || ' seconds'), "
        "220 + (i % 200) / 10.0, 230 + (i % 7) / 10.0, i % 101, 50 + (i % 5) / 100.0, "
        "13 + (i % 90) / 100.0, 20 + (i % 150) / 10.0 from c"));
    QSqlDatabase::database().commit();
    Database().init();
    std::printf("database filled with 1,086,400 samples in %.1f s\n", timer.elapsed() / 1000.0);
}

// The same cells the export writes, then written by libxlsxwriter with nothing in between.
double bareLoop(const QString &file, const std::vector<std::vector<QVariant>> &cells,
                const QStringList &titles)
{
    QElapsedTimer timer;
    timer.start();
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(file).constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *centred = workbook_add_format(book);
    format_set_align(centred, LXW_ALIGN_CENTER);
    format_set_align(centred, LXW_ALIGN_VERTICAL_CENTER);
    for (int c = 0; c < titles.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), 20, nullptr);
    for (int c = 0; c < titles.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), titles.at(c).toUtf8().constData(), centred);
    lxw_row_t row = 1;
    for (const std::vector<QVariant> &line : cells) {
        lxw_col_t col = 0;
        for (const QVariant &value : line) {
            if (value.type() == QVariant::String)
                worksheet_write_string(sheet, row, col, value.toString().toUtf8().constData(),
                                       centred);
            else
                worksheet_write_number(sheet, row, col, value.toDouble(), centred);
            ++col;
        }
        ++row;
    }
    workbook_close(book);
    return timer.nsecsElapsed() / 1e6;
}

// One sample insert on the calling thread's connection, as the previous version ran it.
std::vector<double> timeInsertsHere(int n)
{
    std::vector<double> times;
    for (int i = 0; i < n; ++i) {
        QSqlQuery query;
        query.prepare(QStringLiteral("insert into device_data(inputVol, outputVol, load, "
                                     "inputFreq, battVol, temperature) values(?, ?, ?, ?, ?, ?)"));
        for (const QVariant &v : {QVariant(230.0f), QVariant(230.0f), QVariant(20), QVariant(50.0f),
                                  QVariant(13.6f), QVariant(25.0f)})
            query.addBindValue(v);
        QElapsedTimer timer;
        timer.start();
        if (!query.exec())
            std::fprintf(stderr, "insert failed: %s\n", qPrintable(query.lastError().text()));
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return times;
}

double maxOf(const std::vector<double> &v)
{
    return *std::max_element(v.begin(), v.end());
}

RecordWriter::Sample sample()
{
    RecordWriter::Sample s;
    s.inputVol = 230;
    s.outputVol = 230;
    s.load = 20;
    s.inputFreq = 50;
    s.battVol = 13.6f;
    s.temperature = 25;
    return s;
}

void insertAtMillion()
{
    QSqlQuery count(QStringLiteral("select count(*) from device_data"));
    count.next();
    const int rows = count.value(0).toInt();
    // An open read would keep this connection on its snapshot, behind the writer's commits.
    count.finish();

    // As the program stores a sample: handed to the record writer on the GUI thread, written and
    // committed (synced) by its own thread.
    std::vector<double> handed;
    std::vector<double> committed;
    std::vector<double> reads;
    {
        RecordWriter writer;
        writer.start();
        writer.flush();
        for (int i = 0; i < 30; ++i) {
            QElapsedTimer timer;
            timer.start();
            writer.insertSample(sample());
            handed.push_back(timer.nsecsElapsed() / 1e6);
            writer.flush();
            committed.push_back(timer.nsecsElapsed() / 1e6);
        }
        // A history page reading one day on the GUI thread while the writer commits a burst.
        for (int i = 0; i < 10; ++i) {
            for (int j = 0; j < 50; ++j) {
                QElapsedTimer timer;
                timer.start();
                writer.insertSample(sample());
                handed.push_back(timer.nsecsElapsed() / 1e6);
            }
            TableModelDevData model;
            QElapsedTimer timer;
            timer.start();
            model.selectDate(QStringLiteral("2023-06-15"), QStringLiteral("2023-06-15"));
            reads.push_back(timer.nsecsElapsed() / 1e6);
            writer.flush();
        }
    }
    std::printf("one sample insert at %d rows, as the program stores it: handed over on the GUI "
                "thread in median %.3f ms, max %.3f ms; committed by the writer thread in median "
                "%.1f ms, max %.1f ms (goal <= 5 ms)\n",
                rows, median(handed), maxOf(handed), median(committed), maxOf(committed));
    std::printf("a history page reading one day on the GUI thread while the writer commits: "
                "median %.1f ms, max %.1f ms (the GUI thread never waits > 16 ms)\n",
                median(reads), maxOf(reads));

    // For reference, on the calling thread: with the size trigger of the previous version, and
    // with none. init() puts this version's trigger back.
    exec(QStringLiteral("drop trigger if exists device_data_trigger"));
    exec(QStringLiteral(
        "create trigger device_data_trigger before insert on device_data for each row when "
        "(select count(*) from device_data) > 1000000 begin delete from device_data where "
        "date('now', '-5 year') >= date(dateTime); end;"));
    const std::vector<double> previous = timeInsertsHere(10);
    exec(QStringLiteral("drop trigger if exists device_data_trigger"));
    const std::vector<double> bare = timeInsertsHere(10);
    Database().init();
    std::printf("the same insert on the calling thread: with the previous version's size trigger "
                "median %.1f ms, max %.1f ms; with no trigger median %.1f ms, max %.1f ms\n",
                median(previous), maxOf(previous), median(bare), maxOf(bare));
}

} // namespace

int main(int argc, char **argv)
{
    // The chart is drawn on a display: without one, run again on a virtual one.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("QUELTA_BENCH_XVFB")) {
        qputenv("QUELTA_BENCH_XVFB", "1");
        std::vector<char *> command = {const_cast<char *>("xvfb-run"), const_cast<char *>("-a")};
        command.insert(command.end(), argv, argv + argc);
        command.push_back(nullptr);
        execvp(command[0], command.data());
        std::fprintf(stderr, "no display, and xvfb-run could not be started\n");
        return 1;
    }
    QApplication app(argc, argv);
    QTemporaryDir temp;
    QString root = temp.path();
    const QStringList args = app.arguments();
    const int keep = args.indexOf(QStringLiteral("--keep"));
    if (keep > 0 && keep + 1 < args.size())
        root = QDir(args.at(keep + 1)).absolutePath();
    QDir().mkpath(root);
    qputenv("QUELTA_HOME", root.toUtf8());
    Paths::setRoot(root);
    Startup::createAppDirectories();
    Settings settings;
    settings.load();
    Database database;
    database.open();
    database.init();

    QSqlQuery count(QStringLiteral("select count(*) from device_data"));
    const bool filled = count.next() && count.value(0).toInt() >= 1086400;
    count.finish();
    if (!filled)
        fill();

    // One day out of the two years.
    std::vector<double> selectTimes;
    std::vector<double> fetchTimes;
    int rows = 0;
    for (int i = 0; i < 7; ++i) {
        InspectableModel model;
        QElapsedTimer timer;
        timer.start();
        model.selectDate(QStringLiteral("2023-06-15"), QStringLiteral("2023-06-15"));
        selectTimes.push_back(timer.nsecsElapsed() / 1e6);
        while (model.canFetchMore())
            model.fetchMore();
        fetchTimes.push_back(timer.nsecsElapsed() / 1e6);
        rows = model.rowCount();
        if (i == 0) {
            QSqlQuery plan;
            plan.exec(QStringLiteral("explain query plan ") + model.selectStatement());
            std::printf("query: %s\nplan:", qPrintable(model.selectStatement()));
            while (plan.next())
                std::printf(" %s;", qPrintable(plan.value(3).toString()));
            std::printf("\n");
        }
    }
    std::printf("selectDate, one day (%d rows) of two years: %.2f ms (goal < 50 ms); with every "
                "row fetched %.2f ms\n",
                rows, median(selectTimes), median(fetchTimes));

    // One day at a one-second cycle, exported; then the same cells by the bare loop.
    const QString exportFile = root + QStringLiteral("/export.xlsx");
    const QString bareFile = root + QStringLiteral("/bare.xlsx");
    std::vector<double> fetchDayTimes;
    std::vector<double> exportTimes;
    std::vector<double> bareTimes;
    std::vector<std::vector<QVariant>> cells;
    {
        TableModelDevData model;
        model.selectDate(QStringLiteral("2024-01-01"), QStringLiteral("2024-01-01"));
        while (model.canFetchMore())
            model.fetchMore();
        for (int r = 0; r < model.rowCount(); ++r) {
            std::vector<QVariant> line;
            for (int j = 1; j < model.record().count(); ++j)
                line.push_back(TableModelDevData::formatValue(j, model.record(r).value(j)));
            cells.push_back(line);
        }
    }
    std::vector<double> formatTimes;
    for (int i = 0; i < 3; ++i) {
        {
            // What the export does besides writing: select, read the rows again forward-only,
            // and format their values.
            InspectableModel model;
            QElapsedTimer timer;
            timer.start();
            model.selectDate(QStringLiteral("2024-01-01"), QStringLiteral("2024-01-01"));
            int touched = 0;
            QSqlQuery rows;
            rows.setForwardOnly(true);
            rows.exec(model.selectStatement());
            while (rows.next()) {
                for (int j = 1; j < 8; ++j)
                    touched += rows.value(j).isValid();
            }
            fetchDayTimes.push_back(timer.nsecsElapsed() / 1e6);
            timer.restart();
            rows.exec(model.selectStatement());
            while (rows.next()) {
                for (int j = 1; j < 8; ++j)
                    touched += TableModelDevData::formatValue(j, rows.value(j)).isValid();
            }
            formatTimes.push_back(timer.nsecsElapsed() / 1e6 - fetchDayTimes.back());
            if (touched != 2 * 7 * 86400)
                std::fprintf(stderr, "read %d cells\n", touched);
        }
        TableModelDevData model;
        QElapsedTimer timer;
        timer.start();
        model.selectDate(QStringLiteral("2024-01-01"), QStringLiteral("2024-01-01"));
        // Written on the history reader's thread; timed until it says it is done.
        QEventLoop done;
        QObject::connect(&model, &TableModelDevData::exportFinished, &done, &QEventLoop::quit);
        if (model.saveAs(QUrl::fromLocalFile(exportFile)))
            done.exec();
        exportTimes.push_back(timer.nsecsElapsed() / 1e6);
        bareTimes.push_back(bareLoop(bareFile, cells, TableModelDevData::columnTitles()));
    }
    const double exported = median(exportTimes);
    const double bare = median(bareTimes);
    std::printf("export of one day at 1 s (%zu rows): %.0f ms; bare libxlsxwriter loop: %.0f ms; "
                "ratio %.2f (goal <= 1.5)\n",
                cells.size(), exported, bare, exported / bare);
    std::printf("of the export, selecting and reading the rows forward-only: %.0f ms; formatting "
                "their values: %.0f ms\n",
                median(fetchDayTimes), median(formatTimes));
    std::printf("file sizes: export %lld bytes, bare %lld bytes\n", QFileInfo(exportFile).size(),
                QFileInfo(bareFile).size());
    insertAtMillion();

    benchChart(QStringLiteral(QUELTA_SOURCE_DIR "/qml"), keep > 0 ? root : QString());
    return 0;
}
