#include "curllibrary.h"

#include "logcategories.h"
#include "runtimelibrary.h"

const CurlLibrary *CurlLibrary::get()
{
#ifdef Q_OS_WIN
    const QString file = QStringLiteral("libcurl");
#else
    const QString file = QStringLiteral("curl");
#endif
    static const CurlLibrary *const curl =
        RuntimeLibrary(file, 4, lcServices, "libcurl", "Debian's package libcurl4",
                       "no mail can go out")
            .open<CurlLibrary>([](RuntimeLibrary &library, CurlLibrary &c) {
                CURLcode (*globalInit)(long) = nullptr;
                return library.resolve("curl_global_init", &globalInit) &&
                    library.resolve("curl_easy_setopt", &c.easySetopt) &&
                    library.resolve("curl_easy_init", &c.easyInit) &&
                    library.resolve("curl_easy_cleanup", &c.easyCleanup) &&
                    library.resolve("curl_easy_strerror", &c.easyStrerror) &&
                    library.resolve("curl_slist_append", &c.slistAppend) &&
                    library.resolve("curl_slist_free_all", &c.slistFreeAll) &&
                    library.resolve("curl_mime_init", &c.mimeInit) &&
                    library.resolve("curl_mime_addpart", &c.mimeAddpart) &&
                    library.resolve("curl_mime_data", &c.mimeData) &&
                    library.resolve("curl_mime_type", &c.mimeType) &&
                    library.resolve("curl_mime_encoder", &c.mimeEncoder) &&
                    library.resolve("curl_mime_filename", &c.mimeFilename) &&
                    library.resolve("curl_mime_free", &c.mimeFree) &&
                    library.resolve("curl_multi_init", &c.multiInit) &&
                    library.resolve("curl_multi_add_handle", &c.multiAddHandle) &&
                    library.resolve("curl_multi_remove_handle", &c.multiRemoveHandle) &&
                    library.resolve("curl_multi_perform", &c.multiPerform) &&
                    library.resolve("curl_multi_info_read", &c.multiInfoRead) &&
                    library.resolve("curl_multi_poll", &c.multiPoll) &&
                    library.resolve("curl_multi_wakeup", &c.multiWakeup) &&
                    library.resolve("curl_multi_cleanup", &c.multiCleanup) &&
                    globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
            });
    return curl;
}
