#pragma once

#include "nutaccount.h"

#include <QByteArray>

// What one client connection has told the server so far. upsd's rules: the user name and the
// password are each given once, and a connection logs in to the UPS at most once.
struct NutSession
{
    QByteArray address; // the peer, as LIST CLIENT shows it
    QByteArray username;
    QByteArray password;
    bool hasUsername = false;
    bool hasPassword = false;
    bool loggedIn = false;
    bool tls = false;
    // The outcome of checking the password, kept while the accounts stay as they were.
    int checkedGeneration = -1;
    bool granted = false;
    NutAccount::Role role = NutAccount::Monitor;
};
