#pragma once

#include <QByteArray>

// Passwords of the network accounts, kept only as salted PBKDF2 hashes (HMAC-SHA-256, OpenSSL)
// in the form "pbkdf2-sha256$<iterations>$<salt, Base64>$<hash, Base64>".
class NutPassword
{
public:
    static constexpr int defaultIterations = 100000;

    // A new hash with a fresh random salt; empty if the system could not give random bytes.
    static QByteArray hash(const QByteArray &password, int iterations = defaultIterations);
    // Whether the password matches the stored hash; a malformed hash matches nothing.
    static bool verify(const QByteArray &stored, const QByteArray &password);
    static bool isWellFormed(const QByteArray &stored);
    // The iteration count of a stored hash; 0 when malformed.
    static int iterations(const QByteArray &stored);
    // Checks the password against no one's hash as costly as `like` (an account's stored hash;
    // the default cost when empty or malformed) and refuses it: a name that does not exist
    // takes as long as a wrong password for one that does, so timing tells no names.
    static void checkUnknown(const QByteArray &password, const QByteArray &like);
};
