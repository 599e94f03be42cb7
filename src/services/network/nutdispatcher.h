#pragma once

#include <QByteArrayList>

class NutServerState;
struct NutSession;

// One reply of the server and what the connection does after sending it.
struct NutReply
{
    enum After { Nothing, Close, StartTls };

    QByteArray text; // whole lines, each ended by LF
    After after = Nothing;
    // A password was checked for this request (its verdict may have to wait, see NutThrottle).
    bool passwordChecked = false;
    bool passwordRight = false;
};

// Answers one request line the way upsd of NUT 2.8 does: the same commands, the same checks in
// the same order and the same error codes. A bad request is answered with an error and never
// ends the connection.
class NutDispatcher
{
public:
    static NutReply handle(NutServerState &state, NutSession &session, const QByteArray &line);
    static NutReply handleWords(NutServerState &state, NutSession &session,
                                const QByteArrayList &words);
    static NutReply tooLong();

    static const QByteArray &versionText();
};
