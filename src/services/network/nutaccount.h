#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QVector>

// One account of the network server. A monitor may log in to watch the UPS; an admin may also
// run instant commands, set FSD and claim the primary's rights.
struct NutAccount
{
    enum Role { Monitor, Admin };

    QByteArray name;
    Role role = Monitor;
    QByteArray passwordHash; // NutPassword's form

    static QByteArray roleName(Role role) { return role == Admin ? "admin" : "monitor"; }
    // False for a text that names no role.
    static bool roleFromName(const QByteArray &text, Role *role)
    {
        if (text == "admin" || text == "monitor") {
            *role = text == "admin" ? Admin : Monitor;
            return true;
        }
        return false;
    }
};

using NutAccountList = QVector<NutAccount>;
Q_DECLARE_METATYPE(NutAccountList)
