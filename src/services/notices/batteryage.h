#pragma once

#include <QDate>
#include <QObject>
#include <QTimer>

class Settings;
struct UpsState;

// The age of the UPS battery: installed on "battery/installed" (when the user never set it, the
// first day a UPS answered, kept under "battery/firstSeen"), due for replacement
// "battery/replaceMonths" later. When the due day comes the notice is given once: announced
// with replacementDue() for the window and the desktop, and handed to the next daily report.
// Both are remembered in the settings under the due day they were for, so a restart repeats
// neither, and a new installation day or interval arms the notice again (an interval written
// elsewhere, the settings page's included, at the next minute's check).
class BatteryAge : public QObject
{
    Q_OBJECT
    // "yyyy-MM-dd"; empty while no UPS has answered and nothing was set.
    Q_PROPERTY(QString installedDate READ installedDate WRITE setInstalledDate NOTIFY changed)
    Q_PROPERTY(QString dueDate READ dueDate NOTIFY changed)
    Q_PROPERTY(bool due READ due NOTIFY changed)

public:
    static constexpr const char *noteKey = "battery";

    explicit BatteryAge(Settings *settings, QObject *parent = nullptr);
    ~BatteryAge() override;

    // Checks at once (once the event loop runs, so the window sees it) and then every minute.
    void start();

    QString installedDate() const;
    void setInstalledDate(const QString &date);
    QString dueDate() const;
    bool due() const;

    // The words of the notice, in the language in force.
    QString noticeTitle() const;
    QString noticeText() const;

public slots:
    void updateState(const UpsState &state);
    // Gives the notice if the due day has come and it was not given for that day yet.
    void check();
    // The daily report carried the notes of these keys (ServiceEMail::dailyReportSent).
    void reportSent(const QStringList &keys);

signals:
    void changed();
    void replacementDue(const QString &title, const QString &text);
    // The note the next daily report should carry, under the key noteKey.
    void mailNote(const QString &key, const QString &text);

private:
    QDate installed() const;
    QDate dueDay() const;

    Settings *m_settings;
    QTimer m_timer;
    bool m_wasDue = false;
    bool m_firstSeenStored = false;
    QDate m_noteHanded; // the due day whose note went to the e-mail service in this run
};
