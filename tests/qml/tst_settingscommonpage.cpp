// The common settings page against the real translator, notices and battery age: the language
// box shows the language in use, chosen or taken from the system; the export says where the
// file went and has the keyboard after a file dialog; the notice switch, the battery fields and
// the calendar's weekday names.
#include "batteryage.h"
#include "clock.h"
#include "compositionroot.h"
#include "qmlpagehost.h"
#include "servicenotification.h"
#include "settings.h"
#include "testroot.h"
#include "translator.h"

#include <QApplication>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QtTest>

class TestSettingsCommonPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void languageBoxShowsTheLanguageInUse();
    void exportSaysWhereAndTakesTheKeyboard();
    void noticeSwitchAndBattery();
    void calendarSpeaksTheLanguage();

private:
    QQuickItem *item(const char *name) const { return m_host->find(m_page, QLatin1String(name)); }

    TestRoot m_root {TestRoot::FoldersOnly};
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
    QTemporaryDir m_out;
};

void TestSettingsCommonPage::initTestCase()
{
    Clock::setNow(QDateTime(QDate(2026, 2, 10), QTime(9, 0)));
    m_host.reset(new QmlPageHost);
    m_page = m_host->load(QStringLiteral("SettingsCommon.qml"), QSize(1024, 600));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
}

// With the system's language followed the box shows it, greyed, not the language chosen before
// (which the automatic choice under other systems is tst_translator's case).
void TestSettingsCommonPage::languageBoxShowsTheLanguageInUse()
{
    Translator *translator = m_host->root().translator();
    QQuickItem *box = item("comboBoxLanguage");
    QQuickItem *automatic = item("checkBoxAutoLanguage");
    translator->setAutoLanguage(false);
    translator->setLanguage(Translator::FR_FR);
    QTRY_COMPARE(box->property("currentText").toString(), QStringLiteral("Français"));
    QVERIFY(box->isEnabled());
    QVERIFY(m_host->click(automatic));
    QTRY_COMPARE(box->property("currentText").toString(), QStringLiteral("English"));
    QVERIFY(!box->isEnabled());
    QCOMPARE(m_host->root().settings()->getSettings(Settings::LanguageType).toInt(),
             int(Translator::FR_FR));
    // Switched off again, the language shown stays and becomes the choice.
    QVERIFY(m_host->click(automatic));
    QTRY_VERIFY(box->isEnabled());
    QCOMPARE(box->property("currentText").toString(), QStringLiteral("English"));
    QCOMPARE(translator->language(), int(Translator::EN_GB));
}

void TestSettingsCommonPage::exportSaysWhereAndTakesTheKeyboard()
{
    QQuickView *view = m_host->view();
    QQuickItem *dialog = item("msgDialog");
    // A file dialog had the keyboard and has just closed.
    QQuickView fileDialog;
    fileDialog.resize(200, 100);
    fileDialog.show();
    fileDialog.requestActivate();
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::focusWindow(), &fileDialog, 5000);
    fileDialog.hide();

    const QString file = m_out.filePath(QStringLiteral("quelta settings.conf"));
    QmlPageHost::call(m_page, "exportTo", QUrl::fromLocalFile(file));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->property("text").toString(),
             QStringLiteral("Operation finished!\nSaved as ") + file);
    QVERIFY(QFile::exists(file));
    // The window has the keyboard again: Return answers the message.
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::focusWindow(), static_cast<QWindow *>(view), 5000);
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 2000);

    QmlPageHost::call(m_page, "exportTo",
                      QUrl::fromLocalFile(m_out.filePath(QStringLiteral("no/such/x.conf"))));
    QCOMPARE(dialog->property("text").toString(), QStringLiteral("Operation failed!"));
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 2000);
}

void TestSettingsCommonPage::noticeSwitchAndBattery()
{
    CompositionRoot &root = m_host->root();
    Settings *settings = root.settings();
    QQuickItem *notify = item("checkBoxNotify");
    QVERIFY(notify->property("checked").toBool());
    QVERIFY(m_host->click(notify));
    QVERIFY(!root.serviceNotification()->enable());
    QCOMPARE(settings->getSettings(Settings::NotifyEnable).toBool(), false);
    // A restore switches them on again, and the box follows.
    settings->restore();
    QTRY_VERIFY(notify->property("checked").toBool());
    QVERIFY(root.serviceNotification()->enable());

    // No UPS answered here yet: nothing to count from.
    QCOMPARE(item("labelBatteryDue")->property("text").toString(),
             QStringLiteral("Counted from the first day a UPS answers."));
    // Today is 2026-02-10: a battery put in on 2022-11-30 is overdue, said in red, and told.
    BatteryAge *age = root.batteryAge();
    QSignalSpy due(age, &BatteryAge::replacementDue);
    item("dateBatteryInstalled")->setProperty("date", QDateTime(QDate(2022, 11, 30), QTime(12, 0)));
    QCOMPARE(age->installedDate(), QStringLiteral("2022-11-30"));
    QCOMPARE(item("labelBatteryDue")->property("text").toString(),
             QStringLiteral("Replacement due since 2025-11-30."));
    QCOMPARE(item("labelBatteryDue")->property("color").value<QColor>(), QColor("#dc3545"));
    QCOMPARE(due.count(), 1);
    item("spinBoxReplaceMonths")->setProperty("value", 48);
    QCOMPARE(age->replaceMonths(), 48);
    QCOMPARE(item("labelBatteryDue")->property("text").toString(),
             QStringLiteral("Replacement due on 2026-11-30."));
    // Settings written elsewhere (an import) reach the fields.
    settings->setSettings(Settings::BatteryReplaceMonths, 24);
    QCOMPARE(item("spinBoxReplaceMonths")->property("value").toInt(), 24);
}

void TestSettingsCommonPage::calendarSpeaksTheLanguage()
{
    Translator *translator = m_host->root().translator();
    QQuickItem *field = item("dateBatteryInstalled");
    const QList<QPair<int, QLocale>> languages = {
        {Translator::FR_FR, QLocale(QLocale::French, QLocale::France)},
        {Translator::ZH_TW, QLocale(QLocale::Chinese, QLocale::Taiwan)},
        {Translator::EN_GB, QLocale(QLocale::English, QLocale::UnitedKingdom)}};
    for (const auto &language : languages) {
        translator->setLanguage(language.first);
        QVERIFY(m_host->click(m_host->find(field, QStringLiteral("field"))));
        QVERIFY(field->property("calendarVisible").toBool());
        QQuickItem *monday = m_host->find(field, QStringLiteral("calendarWeekday 1"));
        QVERIFY(monday);
        QCOMPARE(monday->property("text").toString(),
                 language.second.dayName(1, QLocale::ShortFormat));
        QTest::keyClick(m_host->view(), Qt::Key_Escape);
        QVERIFY(!field->property("calendarVisible").toBool());
    }
}

int main(int argc, char **argv)
{
    // An English system, so the automatic choice differs from French.
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("LANG", "en_US.UTF-8");
    QApplication app(argc, argv);
    TestSettingsCommonPage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingscommonpage.moc"
