#pragma once

#include <QObject>
#include <QStringList>

class ListModelEMailUser;
class ServiceEMailPrivate;
class Settings;

// Mails alarms as they are raised, the daily report with the previous day's samples as a
// workbook, and a test mail, over SMTP to the stored recipients. Keeps a cached copy of the
// e-mail settings, writes changes back at once and follows the settings as they are written.
class ServiceEMail : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enable READ enable WRITE setEnable NOTIFY enableChanged)
    Q_PROPERTY(
        QString serverAddress READ serverAddress WRITE setServerAddress NOTIFY serverAddressChanged)
    Q_PROPERTY(quint16 serverPort READ serverPort WRITE setServerPort NOTIFY serverPortChanged)
    Q_PROPERTY(QString senderName READ senderName WRITE setSenderName NOTIFY senderNameChanged)
    Q_PROPERTY(
        QString senderAddress READ senderAddress WRITE setSenderAddress NOTIFY senderAddressChanged)
    Q_PROPERTY(int encrypt READ encrypt WRITE setEncrypt NOTIFY encryptChanged)
    Q_PROPERTY(bool authEnable READ authEnable WRITE setAuthEnable NOTIFY authEnableChanged)
    Q_PROPERTY(QString authAccount READ authAccount WRITE setAuthAccount NOTIFY authAccountChanged)
    Q_PROPERTY(
        QString authPassword READ authPassword WRITE setAuthPassword NOTIFY authPasswordChanged)
    Q_PROPERTY(bool dailyEnable READ dailyEnable WRITE setDailyEnable NOTIFY dailyEnableChanged)
    Q_PROPERTY(int dailyHour READ dailyHour WRITE setDailyHour NOTIFY dailyTimeChanged)
    Q_PROPERTY(int dailyMinute READ dailyMinute WRITE setDailyMinute NOTIFY dailyTimeChanged)
    Q_PROPERTY(int dailySecond READ dailySecond WRITE setDailySecond NOTIFY dailyTimeChanged)

public:
    explicit ServiceEMail(Settings *settings, QObject *parent = nullptr);
    ~ServiceEMail() override;

    // Reads the settings and the recipients and starts the daily report timer when it is on.
    void start();

    bool enable() const;
    void setEnable(bool enable);
    QString serverAddress() const;
    void setServerAddress(const QString &address);
    quint16 serverPort() const;
    void setServerPort(quint16 port);
    QString senderName() const;
    void setSenderName(const QString &name);
    QString senderAddress() const;
    void setSenderAddress(const QString &address);
    int encrypt() const;
    void setEncrypt(int encrypt);
    bool authEnable() const;
    void setAuthEnable(bool enable);
    QString authAccount() const;
    void setAuthAccount(const QString &account);
    QString authPassword() const;
    void setAuthPassword(const QString &password);
    bool dailyEnable() const;
    void setDailyEnable(bool enable);
    int dailyHour() const;
    void setDailyHour(int hour);
    int dailyMinute() const;
    void setDailyMinute(int minute);
    int dailySecond() const;
    void setDailySecond(int second);

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
    // Each cached setting, changed here or in the file (an import, a restore, another page).
    void enableChanged();
    void serverAddressChanged();
    void serverPortChanged();
    void senderNameChanged();
    void senderAddressChanged();
    void encryptChanged();
    void authEnableChanged();
    void authAccountChanged();
    void authPasswordChanged();
    void dailyEnableChanged();
    void dailyTimeChanged();
    void emailFailed(const QString &msg);
    void emailFinished();
    // A daily report was handed to the server with the notes of these keys.
    void dailyReportSent(const QStringList &noteKeys);

public slots:
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
    void setDailyPart(int part, int value);

    ServiceEMailPrivate *d;
};
