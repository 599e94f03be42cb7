#include "serviceemail.h"

#include "clock.h"
#include "database.h"
#include "historyreader.h"
#include "listmodelemailuser.h"
#include "logcategories.h"
#include "paths.h"
#include "recipientstore.h"
#include "settings.h"
#include "smtpclient.h"
#include "tablemodeldevdata.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QTime>
#include <QTimer>

#include <memory>

class ServiceEMailPrivate
{
public:
    ListModelEMailUser *userModel = nullptr;
    Settings *settings = nullptr;
    SmtpClient *smtp = nullptr;
    QTimer *dailyTimer = nullptr;
    bool mailRefused = false; // by the server, for a message of the current client
    QDate lastReportDay; // the day whose report time was last served
    QMap<QString, QString> dailyNotes;
    // Reads and writes the daily report's workbook.
    HistoryReader reader;

    QString text(int type) const { return settings->text(type); }
    QString sender() const
    {
        return text(Settings::EMailSenderName) + QLatin1Char('<') +
            text(Settings::EMailSenderAddress) + QLatin1Char('>');
    }

    // What the settings lack for a mail to go out: without these there is nothing to connect
    // to or to send from, and libcurl would report only a failed connection. Translated for the
    // test mail's message, in English for the log of the mails that go out by themselves.
    QStringList missing(bool translated) const
    {
        auto text = [translated](const char *english) {
            return translated ? ServiceEMail::tr(english) : QString::fromLatin1(english);
        };
        QStringList missing;
        if (this->text(Settings::EMailServerAddress).trimmed().isEmpty())
            missing << text(QT_TRANSLATE_NOOP("ServiceEMail", "no server address"));
        if (settings->number(Settings::EMailServerPort) == 0)
            missing << text(QT_TRANSLATE_NOOP("ServiceEMail", "no server port"));
        if (this->text(Settings::EMailSenderAddress).trimmed().isEmpty())
            missing << (translated
                            ? ServiceEMail::tr("no sender address (the test mail goes to it)")
                            : QStringLiteral("no sender address"));
        if (settings->flag(Settings::EMailAuthEnable) &&
            this->text(Settings::EMailAuthName).trimmed().isEmpty())
            missing << text(QT_TRANSLATE_NOOP("ServiceEMail", "no login account"));
        return missing;
    }
};

namespace {

QString withSignature(const QString &text)
{
    return text + QStringLiteral("\r\n\t\t\t\t") + ServiceEMail::tr("From Quelta");
}

QStringList reportTitles()
{
    return {ServiceEMail::tr("Date"),
            ServiceEMail::tr("Input Voltage(V)"),
            ServiceEMail::tr("Output Voltage(V)"),
            ServiceEMail::tr("UPS Load(%)"),
            ServiceEMail::tr("Input Frequency(Hz)"),
            ServiceEMail::tr("Battery voltage(V)"),
            ServiceEMail::tr("Temperature(℃)")};
}

QString reportFile()
{
    return Paths::file(QStringLiteral("/record.xlsx"));
}

} // namespace

ServiceEMail::ServiceEMail(Settings *settings, QObject *parent)
    : QObject(parent), d(new ServiceEMailPrivate)
{
    d->settings = settings;
    d->dailyTimer = new QTimer;
    d->dailyTimer->setInterval(1000);
    connect(d->dailyTimer, &QTimer::timeout, this, &ServiceEMail::onTimerTimeout);
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (key.startsWith(QLatin1String("email/")))
            onSettingsChanged();
    });
    if (QCoreApplication::instance()) {
        // The worker thread of a mail under way must not outlive the program's clean-up.
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
            if (!d->smtp)
                return;
            const int unsent = d->smtp->abort().size();
            if (unsent)
                qCWarning(lcServices) << unsent << "mail(s) not sent before the program ended";
        });
    }
}

ServiceEMail::~ServiceEMail()
{
    delete d->smtp;
    delete d->dailyTimer;
    delete d->userModel;
    delete d;
}

void ServiceEMail::start()
{
    onSettingsChanged();
    // A table model keeps the connection it was made with: made once the database is open.
    if (!d->userModel)
        d->userModel = new ListModelEMailUser;
    d->userModel->refresh();
}

void ServiceEMail::onSettingsChanged()
{
    updateDailyTimer();
}

void ServiceEMail::updateDailyTimer()
{
    if (d->settings->flag(Settings::EMailEnable) && d->settings->flag(Settings::EMailDailyEnable))
        d->dailyTimer->start(1000);
    else
        d->dailyTimer->stop();
}

bool ServiceEMail::isDailyTimerActive() const
{
    return d->dailyTimer->isActive();
}

void ServiceEMail::onTimerTimeout()
{
    const QTime dailyTime = QTime::fromString(d->text(Settings::EMailDailyTime), Qt::TextDate);
    if (!dailyTime.isValid())
        return;
    // Due on the first tick in the minute that follows the set time, once per day: a tick
    // missed while the GUI thread was busy does not lose the report, a second tick in the same
    // second does not send it twice.
    const QDateTime now = Clock::now();
    for (const QDate &day : {now.date(), now.date().addDays(-1)}) {
        const qint64 late = QDateTime(day, dailyTime).secsTo(now);
        if (late >= 0 && late < 60 && d->lastReportDay != day) {
            d->lastReportDay = day;
            sendDailyReport();
            return;
        }
    }
}

QStringList ServiceEMail::emailUsers() const
{
    return RecipientStore::read();
}

ListModelEMailUser *ServiceEMail::listModelEMailUser() const
{
    return d->userModel;
}

void ServiceEMail::prepareSmtp()
{
    QList<MailMessage> carried;
    if (d->smtp) {
        // Mail the old client has not delivered yet goes out with the new one, not lost.
        carried = d->smtp->abort();
        delete d->smtp;
        d->smtp = nullptr;
        if (!carried.isEmpty())
            qCInfo(lcServices) << "Moving" << carried.size()
                               << "undelivered mail(s) to a new SMTP connection";
    }
    d->mailRefused = false;
    d->smtp = new SmtpClient(this);
    connect(d->smtp, &SmtpClient::connectionFailed, this, &ServiceEMail::onConnectionFailed);
    connect(d->smtp, &SmtpClient::encryptionFailed, this, &ServiceEMail::onEncryptionFailed);
    connect(d->smtp, &SmtpClient::authenticationFailed, this,
            &ServiceEMail::onAuthenticationFailed);
    connect(d->smtp, &SmtpClient::finished, this, &ServiceEMail::onMailFinished);
    connect(d->smtp, &SmtpClient::mailFailed, this, [this] {
        d->mailRefused = true;
        emit emailFailed(tr("mail rejected"));
    });

    // None, STARTTLS, TLS from the start.
    const int encrypt = d->settings->number(Settings::EMailEncrypt);
    d->smtp->setStartTlsDisabled(encrypt != 1);
    if (d->settings->flag(Settings::EMailAuthEnable)) {
        d->smtp->setUsername(d->text(Settings::EMailAuthName).toUtf8());
        d->smtp->setPassword(d->text(Settings::EMailAuthPassword).toUtf8());
    } else {
        d->smtp->setUsername(d->text(Settings::EMailSenderAddress).toUtf8());
    }
    const QString server = d->text(Settings::EMailServerAddress);
    const quint16 port = quint16(d->settings->number(Settings::EMailServerPort));
    if (encrypt == 2)
        d->smtp->connectToSecureHost(server, port);
    else
        d->smtp->connectToHost(server, port);
    for (const MailMessage &message : qAsConst(carried))
        d->smtp->send(message);
}

void ServiceEMail::sendAlarmEMail(const QString &text)
{
    if (!d->settings->flag(Settings::EMailEnable))
        return;
    const QStringList users = emailUsers();
    if (users.isEmpty())
        return;
    const QStringList missing = d->missing(false);
    if (!missing.isEmpty()) {
        qCWarning(lcServices).noquote()
            << "Alarm mail not sent (set these on the E-Mail page):" << missing.join(", ");
        return;
    }
    prepareSmtp();
    MailMessage message;
    message.sender = d->sender();
    message.recipients = users;
    message.subject = tr("UPS Alarm");
    message.body = withSignature(text);
    message.date = Clock::now();
    d->smtp->send(message);
}

void ServiceEMail::sendDailyReport()
{
    const QStringList users = emailUsers();
    if (users.isEmpty())
        return;
    // A report that cannot go out is not counted as sent: its notes wait for the next one.
    const QStringList missing = d->missing(false);
    if (!missing.isEmpty()) {
        qCWarning(lcServices).noquote()
            << "Daily report not sent (set these on the E-Mail page):" << missing.join(", ");
        return;
    }
    MailMessage message;
    message.sender = d->sender();
    message.recipients = users;
    message.subject = tr("Daily Report");
    QString body = tr("UPS daily report.");
    for (const QString &note : qAsConst(d->dailyNotes))
        body += QStringLiteral("\r\n\r\n") + note;
    message.body = withSignature(body);
    message.date = Clock::now();
    const QStringList noteKeys = d->dailyNotes.keys();
    d->dailyNotes.clear();
    emit dailyReportSent(noteKeys);

    // The day's samples are read and written on the reader's thread, never on this one (it
    // polls the UPS and counts a shutdown down); the mail goes once the workbook is there.
    const QString databaseFile = Database::openedFile();
    const QDate day = Clock::now().date().addDays(-1);
    const QStringList titles = reportTitles();
    const QString path = reportFile();
    auto workbook = std::make_shared<QByteArray>();
    d->reader.run(
        [databaseFile, day, titles, path, workbook] {
            if (!TableModelDevData::writeDay(databaseFile, day, titles, path)) {
                qCWarning(lcServices) << "The daily report goes out without its workbook";
                return;
            }
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                *workbook = file.readAll();
            else
                qCWarning(lcServices) << "Cannot read" << path << ":" << file.errorString();
        },
        [this, message, workbook]() mutable {
            MailMessage::Attachment report;
            report.fileName = QStringLiteral("record.xlsx");
            report.contentType = QByteArrayLiteral("application/octet-stream");
            report.data = *workbook;
            message.attachments.append(report);
            prepareSmtp();
            d->smtp->send(message);
        });
}

void ServiceEMail::setDailyNote(const QString &key, const QString &text)
{
    if (text.isEmpty())
        d->dailyNotes.remove(key);
    else
        d->dailyNotes.insert(key, text);
}

bool ServiceEMail::createDailyReport()
{
    return TableModelDevData::writeDay(Database::openedFile(), Clock::now().date().addDays(-1),
                                       reportTitles(), reportFile());
}

void ServiceEMail::sendTestEMail()
{
    const QStringList missing = d->missing(true);
    if (!missing.isEmpty()) {
        const QString reason = missing.join(QStringLiteral(", "));
        qCWarning(lcServices) << "Test mail not sent:" << reason;
        emit emailFailed(reason);
        return;
    }
    prepareSmtp();
    MailMessage message;
    message.sender = d->sender();
    message.recipients = QStringList {d->text(Settings::EMailSenderAddress)};
    message.subject = tr("Test E-Mail");
    message.body = withSignature(tr("This is a test E-Mail!"));
    message.date = Clock::now();
    d->smtp->send(message);
}

void ServiceEMail::onConnectionFailed()
{
    emit emailFailed(tr("connection failed"));
}

void ServiceEMail::onEncryptionFailed()
{
    emit emailFailed(tr("encryption failed"));
}

void ServiceEMail::onAuthenticationFailed()
{
    emit emailFailed(tr("authentication failed"));
}

void ServiceEMail::onMailFinished()
{
    if (!d->mailRefused)
        emit emailFinished();
}
