#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

// One connected client as the settings page lists it.
struct NutClientInfo
{
    QString address;
    QString username;
    bool loggedIn = false;
    bool encrypted = false;
};

using NutClientList = QVector<NutClientInfo>;
Q_DECLARE_METATYPE(NutClientList)
