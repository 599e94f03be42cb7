#pragma once

#include <QObject>
#include <QStringList>

class ListModelEMailUser;
class ServiceEMailPrivate;
class Settings;

// Mails alarms as they are raised, the daily report with the previous day's samples as a
// workbook, and a test mail, over SMTP to the stored recipients. Reads the mail settings (the
// "email/" keys) when a mail goes out.
class ServiceEMail : public QObject
{
    Q_OBJECT
public:
    explicit ServiceEMail(Settings *settings, QObject *parent = nullptr);
    ~ServiceEMail() override;

    // Reads the settings and the recipients and starts the daily report timer when it is on.
    void start();

    // One alarm text to every recipient (for each newly raised alarm).
    void sendAlarmEMail(const QString &text);
    // The daily report to every recipient: told at once (dailyReportSent), its workbook read and
    // written on a thread of its own, the mail sent once that is done.
    void sendDailyReport();
    // Writes "record.xlsx" with the previous calendar day's samples, on the calling thread.
    bool createDailyReport();
    // Replaces the SMTP client by a new, configured one; mail the old one had not delivered yet
    // moves over to the new one.
    void prepareSmtp();
    QStringList emailUsers() const;
    // The recipients; made by start().
    ListModelEMailUser *listModelEMailUser() const;

    bool isDailyTimerActive() const;

    // A note the next daily report carries below its first line (the battery's age), kept under
    // its key until a report took it; an empty text takes it back.
    void setDailyNote(const QString &key, const QString &text);

signals:
    void emailFailed(const QString &msg);
    void emailFinished();
    // A daily report was handed to the server with the notes of these keys.
    void dailyReportSent(const QStringList &noteKeys);

public slots:
    // Follows a write of the mail settings: the daily report's timer runs while mail and the
    // report are both on.
    void onSettingsChanged();

private slots:
    void onTimerTimeout();
    void onConnectionFailed();
    void onEncryptionFailed();
    void onAuthenticationFailed();
    void onMailFinished();

public:
    Q_INVOKABLE void sendTestEMail();

private:
    void updateDailyTimer();

    ServiceEMailPrivate *d;
};
