#pragma once

#include "nutaccount.h"

#include <QString>

class Settings;

// The accounts of the network server in the configuration file, under the [network] group: one
// entry per account ("users\<name>\role", "users\<name>\password") holding the role and the
// salted hash, never the password. Settings writes them, as the one writer of that file; every
// call reads or writes the file itself, so a change made by another process (the command line
// while the program runs) is seen at the next call.
class NutAccountStore
{
public:
    enum Result { Done, BadName, BadPassword, NoSuchAccount, WriteFailed };

    explicit NutAccountStore(Settings *settings);

    // The well-formed accounts, sorted by name; malformed entries are left out with a warning.
    NutAccountList accounts() const;
    // Creates the account or replaces its role and password.
    Result setAccount(const QByteArray &name, NutAccount::Role role, const QByteArray &password);
    Result setRole(const QByteArray &name, NutAccount::Role role);
    Result remove(const QByteArray &name);
    // The accounts become exactly these, their hashes taken as they are (settings import);
    // malformed ones are left out with a warning.
    Result replaceAll(const NutAccountList &accounts);

    // Names NAS boxes and upsmon accept: 1 to 32 of letters, digits and ". _ -".
    static bool isValidName(const QByteArray &name);
    // Passwords every NUT client can send: 1 to 64 bytes, no blanks, control bytes, quotes,
    // backslashes or '#'.
    static bool isValidPassword(const QByteArray &password);

private:
    Settings *m_settings;
};
