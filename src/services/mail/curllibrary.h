#pragma once

#include <curl/curl.h>

// libcurl's functions, the library opened when the first mail goes out rather than at start: a
// program that never mails (a service watching its UPS, most of the time) maps neither libcurl
// nor the two dozen libraries it brings (TLS, Kerberos, LDAP, SSH, ...).
struct CurlLibrary
{
    CURLcode (*easySetopt)(CURL *, CURLoption, ...);
    CURL *(*easyInit)();
    void (*easyCleanup)(CURL *);
    const char *(*easyStrerror)(CURLcode);
    curl_slist *(*slistAppend)(curl_slist *, const char *);
    void (*slistFreeAll)(curl_slist *);
    curl_mime *(*mimeInit)(CURL *);
    curl_mimepart *(*mimeAddpart)(curl_mime *);
    CURLcode (*mimeData)(curl_mimepart *, const char *, size_t);
    CURLcode (*mimeType)(curl_mimepart *, const char *);
    CURLcode (*mimeEncoder)(curl_mimepart *, const char *);
    CURLcode (*mimeFilename)(curl_mimepart *, const char *);
    void (*mimeFree)(curl_mime *);
    CURLM *(*multiInit)();
    CURLMcode (*multiAddHandle)(CURLM *, CURL *);
    CURLMcode (*multiRemoveHandle)(CURLM *, CURL *);
    CURLMcode (*multiPerform)(CURLM *, int *);
    CURLMsg *(*multiInfoRead)(CURLM *, int *);
    CURLMcode (*multiPoll)(CURLM *, curl_waitfd[], unsigned int, int, int *);
    CURLMcode (*multiWakeup)(CURLM *);
    CURLMcode (*multiCleanup)(CURLM *);

    // The functions, libcurl opened and set up on the first call (from any thread); nullptr,
    // said once in the log, when it cannot be opened.
    static const CurlLibrary *get();
};
