#include "cryptolibrary.h"

#include "librarysymbol.h"
#include "logcategories.h"

#include <QLibrary>

namespace {

template<typename F> bool resolve(QLibrary &library, const char *name, F *function)
{
    return resolveSymbol(library, name, function, lcShell, "libcrypto");
}

const CryptoLibrary *open()
{
    static QLibrary library(QStringLiteral("crypto"), 3);
    static CryptoLibrary crypto {};
    if (!library.load()) {
        qCWarning(lcShell) << "Cannot open libcrypto (Debian's package libssl3); no password can "
                              "be stored or checked:"
                           << library.errorString();
        return nullptr;
    }
    const bool all = resolve(library, "EVP_CIPHER_CTX_new", &crypto.cipherCtxNew) &&
        resolve(library, "EVP_CIPHER_CTX_free", &crypto.cipherCtxFree) &&
        resolve(library, "EVP_CipherInit_ex", &crypto.cipherInitEx) &&
        resolve(library, "EVP_CIPHER_CTX_set_padding", &crypto.cipherCtxSetPadding) &&
        resolve(library, "EVP_CipherUpdate", &crypto.cipherUpdate) &&
        resolve(library, "EVP_aes_128_ecb", &crypto.aes128Ecb) &&
        resolve(library, "EVP_sha256", &crypto.sha256) &&
        resolve(library, "PKCS5_PBKDF2_HMAC", &crypto.pbkdf2Hmac) &&
        resolve(library, "RAND_bytes", &crypto.randBytes);
    return all ? &crypto : nullptr;
}

} // namespace

const CryptoLibrary *CryptoLibrary::get()
{
    static const CryptoLibrary *const crypto = open();
    return crypto;
}

bool CryptoLibrary::sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char differ = 0;
    for (int i = 0; i < a.size(); ++i)
        differ |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return differ == 0;
}
