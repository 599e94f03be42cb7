#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One mail as the services compose it, and the header texts it turns into on the wire.
struct MailMessage
{
    struct Attachment
    {
        QString fileName;
        QByteArray contentType;
        QByteArray data;
    };

    QString sender; // "Name<address>", "<address>" or a bare address
    QStringList recipients;
    QString subject;
    QString body;
    QList<Attachment> attachments;
    QDateTime date;

    // The address part of a mailbox text ("Name<a@b>" gives "a@b"), with line breaks, control
    // characters and angle brackets taken out so it cannot break the SMTP dialogue.
    static QString addressOf(const QString &mailbox);
    // The name part of "Name<a@b>", trimmed; empty for a bare address.
    static QString displayNameOf(const QString &mailbox);

    // A header text as RFC 2047 encoded words where it is not plain ASCII; line breaks and other
    // control characters become blanks. A phrase (display name) is quoted where it needs it.
    static QByteArray encodeText(const QString &text, bool phrase = false);

    // The header lines From, To, Subject, Date and Message-ID, without line ends.
    QList<QByteArray> headerLines() const;
};
