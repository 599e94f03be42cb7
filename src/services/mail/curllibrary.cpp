#include "curllibrary.h"

#include "librarysymbol.h"
#include "logcategories.h"

#include <QLibrary>

namespace {

template<typename F> bool resolve(QLibrary &library, const char *name, F *function)
{
    return resolveSymbol(library, name, function, lcServices, "libcurl");
}

const CurlLibrary *open()
{
#ifdef Q_OS_WIN
    static QLibrary library(QStringLiteral("libcurl"));
#else
    static QLibrary library(QStringLiteral("curl"), 4);
#endif
    static CurlLibrary curl {};
    if (!library.load()) {
        qCWarning(lcServices)
            << "Cannot open libcurl (Debian's package libcurl4); no mail can go out:"
            << library.errorString();
        return nullptr;
    }
    CURLcode (*globalInit)(long) = nullptr;
    const bool all = resolve(library, "curl_global_init", &globalInit) &&
        resolve(library, "curl_easy_setopt", &curl.easySetopt) &&
        resolve(library, "curl_easy_init", &curl.easyInit) &&
        resolve(library, "curl_easy_cleanup", &curl.easyCleanup) &&
        resolve(library, "curl_easy_strerror", &curl.easyStrerror) &&
        resolve(library, "curl_slist_append", &curl.slistAppend) &&
        resolve(library, "curl_slist_free_all", &curl.slistFreeAll) &&
        resolve(library, "curl_mime_init", &curl.mimeInit) &&
        resolve(library, "curl_mime_addpart", &curl.mimeAddpart) &&
        resolve(library, "curl_mime_data", &curl.mimeData) &&
        resolve(library, "curl_mime_type", &curl.mimeType) &&
        resolve(library, "curl_mime_encoder", &curl.mimeEncoder) &&
        resolve(library, "curl_mime_filename", &curl.mimeFilename) &&
        resolve(library, "curl_mime_free", &curl.mimeFree) &&
        resolve(library, "curl_multi_init", &curl.multiInit) &&
        resolve(library, "curl_multi_add_handle", &curl.multiAddHandle) &&
        resolve(library, "curl_multi_remove_handle", &curl.multiRemoveHandle) &&
        resolve(library, "curl_multi_perform", &curl.multiPerform) &&
        resolve(library, "curl_multi_info_read", &curl.multiInfoRead) &&
        resolve(library, "curl_multi_poll", &curl.multiPoll) &&
        resolve(library, "curl_multi_wakeup", &curl.multiWakeup) &&
        resolve(library, "curl_multi_cleanup", &curl.multiCleanup);
    if (!all || globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return nullptr;
    return &curl;
}

} // namespace

const CurlLibrary *CurlLibrary::get()
{
    static const CurlLibrary *const curl = open();
    return curl;
}
