#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QUrlQuery>

// One HTTP request as the web service's routes see it: what the HTTP library parsed, and no more.
struct WebRequest
{
    QByteArray method;
    QString path; // decoded, without the query
    QUrlQuery query;
    QByteArray acceptLanguage;
    QByteArray authorization;
    QByteArray contentType;
    QByteArray origin;
    QByteArray host;
    QByteArray body;
    QHostAddress peer;
    bool tls = false;

    bool isRead() const { return method == "GET" || method == "HEAD"; }
};
