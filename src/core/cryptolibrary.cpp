#include "cryptolibrary.h"

#include "logcategories.h"
#include "runtimelibrary.h"

const CryptoLibrary *CryptoLibrary::get()
{
    static const CryptoLibrary *const crypto =
        RuntimeLibrary(QStringLiteral("crypto"), 3, lcShell, "libcrypto",
                       "Debian's package libssl3", "no password can be stored or checked")
            .open<CryptoLibrary>([](RuntimeLibrary &library, CryptoLibrary &c) {
                return library.resolve("EVP_CIPHER_CTX_new", &c.cipherCtxNew) &&
                    library.resolve("EVP_CIPHER_CTX_free", &c.cipherCtxFree) &&
                    library.resolve("EVP_CipherInit_ex", &c.cipherInitEx) &&
                    library.resolve("EVP_CIPHER_CTX_set_padding", &c.cipherCtxSetPadding) &&
                    library.resolve("EVP_CipherUpdate", &c.cipherUpdate) &&
                    library.resolve("EVP_aes_128_ecb", &c.aes128Ecb) &&
                    library.resolve("EVP_sha256", &c.sha256) &&
                    library.resolve("PKCS5_PBKDF2_HMAC", &c.pbkdf2Hmac) &&
                    library.resolve("RAND_bytes", &c.randBytes);
            });
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
