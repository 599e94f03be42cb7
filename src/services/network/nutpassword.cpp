#include "nutpassword.h"

#include <QByteArrayList>
#include <QHash>

#include "cryptolibrary.h"

namespace {

const QByteArray scheme = QByteArrayLiteral("pbkdf2-sha256");
const int saltSize = 16;
const int hashSize = 32;
// Bounds that keep a hand-edited file from making one check take minutes.
const int minIterations = 1000;
const int maxIterations = 10000000;

struct Parsed
{
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

bool parse(const QByteArray &stored, Parsed *out)
{
    const QByteArrayList parts = stored.split('$');
    if (parts.size() != 4 || parts.at(0) != scheme)
        return false;
    bool ok = false;
    out->iterations = parts.at(1).toInt(&ok);
    if (!ok || out->iterations < minIterations || out->iterations > maxIterations)
        return false;
    const auto strict = QByteArray::AbortOnBase64DecodingErrors;
    const auto salt = QByteArray::fromBase64Encoding(parts.at(2), strict);
    const auto hash = QByteArray::fromBase64Encoding(parts.at(3), strict);
    if (!salt || !hash || salt.decoded.size() < 8 || hash.decoded.size() != hashSize)
        return false;
    out->salt = salt.decoded;
    out->hash = hash.decoded;
    return true;
}

QByteArray derive(const QByteArray &password, const QByteArray &salt, int iterations)
{
    const CryptoLibrary *crypto = CryptoLibrary::get();
    if (!crypto)
        return {};
    QByteArray out(hashSize, '\0');
    const int ok = crypto->pbkdf2Hmac(password.constData(), password.size(),
                                      reinterpret_cast<const unsigned char *>(salt.constData()),
                                      salt.size(), iterations, crypto->sha256(), out.size(),
                                      reinterpret_cast<unsigned char *>(out.data()));
    return ok == 1 ? out : QByteArray();
}

} // namespace

QByteArray NutPassword::hash(const QByteArray &password, int iterations)
{
    const CryptoLibrary *crypto = CryptoLibrary::get();
    QByteArray salt(saltSize, '\0');
    if (!crypto ||
        crypto->randBytes(reinterpret_cast<unsigned char *>(salt.data()), salt.size()) != 1)
        return {};
    const QByteArray derived = derive(password, salt, iterations);
    if (derived.isEmpty())
        return {};
    return scheme + '$' + QByteArray::number(iterations) + '$' + salt.toBase64() + '$' +
        derived.toBase64();
}

bool NutPassword::verify(const QByteArray &stored, const QByteArray &password)
{
    Parsed parsed;
    if (!parse(stored, &parsed))
        return false;
    const QByteArray derived = derive(password, parsed.salt, parsed.iterations);
    return derived.size() == hashSize && CryptoLibrary::sameBytes(derived, parsed.hash);
}

bool NutPassword::isWellFormed(const QByteArray &stored)
{
    Parsed parsed;
    return parse(stored, &parsed);
}

int NutPassword::iterations(const QByteArray &stored)
{
    Parsed parsed;
    return parse(stored, &parsed) ? parsed.iterations : 0;
}

void NutPassword::checkUnknown(const QByteArray &password, const QByteArray &like)
{
    int cost = iterations(like);
    if (cost <= 0)
        cost = defaultIterations;
    // Made once per thread and cost, as the servers' threads each check on their own.
    thread_local QHash<int, QByteArray> made;
    auto it = made.find(cost);
    if (it == made.end())
        it = made.insert(cost, hash(QByteArrayLiteral("nobody"), cost));
    verify(it.value(), password);
}
