#pragma once

#include <openssl/evp.h>

#include <QByteArray>

// libcrypto's functions, the library opened when a password is first obscured, read or checked
// rather than at start: a program that keeps no password (a service watching its UPS) does not
// map it.
struct CryptoLibrary
{
    EVP_CIPHER_CTX *(*cipherCtxNew)();
    void (*cipherCtxFree)(EVP_CIPHER_CTX *);
    int (*cipherInitEx)(EVP_CIPHER_CTX *, const EVP_CIPHER *, ENGINE *, const unsigned char *,
                        const unsigned char *, int);
    int (*cipherCtxSetPadding)(EVP_CIPHER_CTX *, int);
    int (*cipherUpdate)(EVP_CIPHER_CTX *, unsigned char *, int *, const unsigned char *, int);
    const EVP_CIPHER *(*aes128Ecb)();
    const EVP_MD *(*sha256)();
    int (*pbkdf2Hmac)(const char *, int, const unsigned char *, int, int, const EVP_MD *, int,
                      unsigned char *);
    int (*randBytes)(unsigned char *, int);

    // The functions, or null (logged once) when the library cannot be opened. Safe from any
    // thread.
    static const CryptoLibrary *get();
    // Whether the same bytes, in a time that does not tell where they differ.
    static bool sameBytes(const QByteArray &a, const QByteArray &b);
};
