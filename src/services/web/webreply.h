#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPair>

// One HTTP reply: a status, a body and the headers beyond the ones every reply carries.
struct WebReply
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;

    void addHeader(const QByteArray &name, const QByteArray &value)
    {
        headers.append(qMakePair(name, value));
    }

    static WebReply json(const QJsonDocument &document, int status = 200)
    {
        return {status, "application/json", document.toJson(QJsonDocument::Compact) + '\n', {}};
    }
    static WebReply text(int status, const QByteArray &text)
    {
        return {status, "text/plain; charset=utf-8", text + '\n', {}};
    }
    // A JSON object {"error": ...} with the status.
    static WebReply error(int status, const QString &message)
    {
        return json(QJsonDocument(QJsonObject {{QStringLiteral("error"), message}}), status);
    }
};
