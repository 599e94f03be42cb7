#include "smtptransfer.h"

#include "curllibrary.h"


#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>

namespace {

struct ProgressGuard
{
    const std::atomic<bool> *abort;
};

int onProgress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<ProgressGuard *>(user)->abort->load() ? 1 : 0;
}

int onDebug(CURL *, curl_infotype type, char *data, size_t size, void *user)
{
    auto *transfer = static_cast<SmtpTransfer *>(user);
    if (type != CURLINFO_HEADER_IN && type != CURLINFO_HEADER_OUT)
        return 0;
    const QByteArray text(data, int(size));
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (type == CURLINFO_HEADER_IN)
            transfer->noteReply(trimmed);
        else
            transfer->noteCommand(trimmed);
    }
    return 0;
}

curl_socket_t onOpenSocket(void *user, curlsocktype, struct curl_sockaddr *address)
{
    const curl_socket_t socket = ::socket(address->family, address->socktype, address->protocol);
    if (socket != CURL_SOCKET_BAD)
        static_cast<SmtpTransfer *>(user)->noteSocket(qintptr(socket), true);
    return socket;
}

int onCloseSocket(void *user, curl_socket_t socket)
{
    static_cast<SmtpTransfer *>(user)->noteSocket(qintptr(socket), false);
#ifdef _WIN32
    return closesocket(socket);
#else
    return ::close(socket);
#endif
}

bool isTlsError(CURLcode code)
{
    switch (code) {
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
        return true;
    default:
        return false;
    }
}

} // namespace

SmtpTransfer::SmtpTransfer(const Options &options, const MailMessage &message)
    : m_options(options), m_message(message)
{
}

void SmtpTransfer::noteCommand(const QByteArray &line)
{
    // Only the verb is kept: the AUTH lines carry the password. QUIT comes last whatever
    // happened, so it does not count as the command a failure answered.
    const int blank = line.indexOf(' ');
    const QByteArray verb = (blank < 0 ? line : line.left(blank)).toUpper();
    if (verb == "QUIT")
        return;
    m_lastCommand = verb;
    m_lastReply.clear();
    if (m_lastCommand == "RCPT")
        m_pendingRecipient = line.mid(line.indexOf(':') + 1);
}

void SmtpTransfer::noteSocket(qintptr socket, bool open)
{
    if (m_options.socketHook)
        m_options.socketHook(socket, open);
}

void SmtpTransfer::noteReply(const QByteArray &line)
{
    if (m_lastReply.isEmpty())
        m_lastReply = line; // the first line of the reply to the last command
    const bool refused = line.startsWith('4') || line.startsWith('5');
    if (m_lastCommand == "RCPT" && refused && !m_pendingRecipient.isEmpty())
        m_refused.append(QString::fromUtf8(m_pendingRecipient));
    if (m_lastCommand == "RCPT")
        m_pendingRecipient.clear();
}

SmtpTransfer::Outcome SmtpTransfer::run(const CurlLibrary &library, void *multi,
                                        const std::atomic<bool> &abort)
{
    const CurlLibrary *curl = &library;
    CURL *easy = curl->easyInit();
    if (!easy) {
        m_detail = QStringLiteral("cannot start libcurl");
        return ConnectionFailed;
    }
    char errorText[CURL_ERROR_SIZE] = {};
    ProgressGuard guard {&abort};

    const QByteArray from = '<' + MailMessage::addressOf(m_message.sender).toUtf8() + '>';
    curl_slist *recipients = nullptr;
    for (const QString &to : qAsConst(m_message.recipients))
        recipients = curl->slistAppend(
            recipients, ('<' + MailMessage::addressOf(to).toUtf8() + '>').constData());
    curl_slist *headers = nullptr;
    for (const QByteArray &line : m_message.headerLines())
        headers = curl->slistAppend(headers, line.constData());

    curl_mime *mime = curl->mimeInit(easy);
    curl_mimepart *text = curl->mimeAddpart(mime);
    const QByteArray body = m_message.body.toUtf8();
    curl->mimeData(text, body.constData(), size_t(body.size()));
    curl->mimeType(text, "text/plain; charset=UTF-8");
    curl->mimeEncoder(text, "quoted-printable");
    for (const MailMessage::Attachment &file : qAsConst(m_message.attachments)) {
        curl_mimepart *part = curl->mimeAddpart(mime);
        curl->mimeData(part, file.data.constData(), size_t(file.data.size()));
        curl->mimeFilename(part, file.fileName.toUtf8().constData());
        curl->mimeType(part, file.contentType.constData());
        curl->mimeEncoder(part, "base64");
    }

    curl->easySetopt(easy, CURLOPT_URL, m_options.url.constData());
    curl->easySetopt(easy, CURLOPT_MAIL_FROM, from.constData());
    curl->easySetopt(easy, CURLOPT_MAIL_RCPT, recipients);
#if LIBCURL_VERSION_NUM >= 0x080200
    curl->easySetopt(easy, CURLOPT_MAIL_RCPT_ALLOWFAILS, 1L);
#else
    curl->easySetopt(easy, CURLOPT_MAIL_RCPT_ALLLOWFAILS, 1L);
#endif
    curl->easySetopt(easy, CURLOPT_HTTPHEADER, headers);
    curl->easySetopt(easy, CURLOPT_MIMEPOST, mime);
    if (m_options.requireStartTls)
        curl->easySetopt(easy, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (!m_options.username.isEmpty() && !m_options.password.isEmpty()) {
        curl->easySetopt(easy, CURLOPT_USERNAME, m_options.username.constData());
        curl->easySetopt(easy, CURLOPT_PASSWORD, m_options.password.constData());
    }
    if (!m_options.caFile.isEmpty())
        curl->easySetopt(easy, CURLOPT_CAINFO, m_options.caFile.constData());
    const long idleSeconds = std::max(1L, long((m_options.idleMs + 999) / 1000));
    curl->easySetopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(m_options.connectMs));
    curl->easySetopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, idleSeconds);
    curl->easySetopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl->easySetopt(easy, CURLOPT_LOW_SPEED_TIME, idleSeconds);
    curl->easySetopt(easy, CURLOPT_TIMEOUT, 15L * 60L); // the last bound, for a trickling server
    curl->easySetopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl->easySetopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl->easySetopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl->easySetopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl->easySetopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl->easySetopt(easy, CURLOPT_XFERINFODATA, &guard);
    curl->easySetopt(easy, CURLOPT_OPENSOCKETFUNCTION, onOpenSocket);
    curl->easySetopt(easy, CURLOPT_OPENSOCKETDATA, this);
    curl->easySetopt(easy, CURLOPT_CLOSESOCKETFUNCTION, onCloseSocket);
    curl->easySetopt(easy, CURLOPT_CLOSESOCKETDATA, this);
    curl->easySetopt(easy, CURLOPT_DEBUGFUNCTION, onDebug);
    curl->easySetopt(easy, CURLOPT_DEBUGDATA, this);
    curl->easySetopt(easy, CURLOPT_VERBOSE, 1L);

    CURLcode code = CURLE_OK;
    bool done = false;
    bool aborted = false;
    curl->multiAddHandle(multi, easy);
    while (!done) {
        if (abort.load()) {
            aborted = true;
            break;
        }
        int running = 0;
        if (curl->multiPerform(multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        int left = 0;
        while (CURLMsg *msg = curl->multiInfoRead(multi, &left)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) {
                code = msg->data.result;
                done = true;
            }
        }
        if (!done)
            curl->multiPoll(multi, nullptr, 0, 1000, nullptr);
    }
    curl->multiRemoveHandle(multi,
                             easy); // an unfinished transfer's connection is dropped, no QUIT
    curl->easyCleanup(easy);
    curl->mimeFree(mime);
    curl->slistFreeAll(headers);
    curl->slistFreeAll(recipients);

    if (aborted || code == CURLE_ABORTED_BY_CALLBACK) {
        m_detail = QStringLiteral("aborted");
        return Aborted;
    }
    const QString curlText = QString::fromUtf8(errorText[0] ? errorText : curl->easyStrerror(code));
    m_detail = m_lastReply.isEmpty() ? curlText
                                     : curlText + QStringLiteral(" (server: ") +
            QString::fromUtf8(m_lastReply) + QLatin1Char(')');
    if (code == CURLE_OK)
        return Delivered;
    if (code == CURLE_LOGIN_DENIED)
        return AuthenticationFailed;
    if (isTlsError(code))
        return EncryptionFailed;
    const bool refusal = m_lastReply.startsWith('4') || m_lastReply.startsWith('5');
    if (refusal && (m_lastCommand == "MAIL" || m_lastCommand == "RCPT" || m_lastCommand == "DATA"))
        return Refused;
    return ConnectionFailed;
}
