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
};
