#pragma once

#include <QByteArray>

// Cuts the byte stream of one peer into lines, for the server (a client's requests) and the
// client link (a server's replies) alike. A line ends at LF; a half line waits for the rest. A
// line longer than the limit is not kept: its bytes are dropped as they come and it is handed
// out once, flagged too long, when its LF arrives, so a peer can never make us hold more than
// one line of its input.
class NutLineSplitter
{
public:
    // The longest request line the server answers.
    static constexpr int maxLength = 1024;

    struct Line
    {
        QByteArray text; // without the LF
        bool tooLong = false;
    };

    explicit NutLineSplitter(int limit = maxLength) : m_limit(limit) { }

    void feed(const char *data, int size);
    // The next complete line, if there is one.
    bool next(Line *line);
    // Bytes waiting, complete lines and the half line.
    int pending() const { return m_buffer.size() - m_start; }
    // A half line has grown past the limit; its bytes are being dropped.
    bool dropping() const { return m_dropping; }
    int limit() const { return m_limit; }

private:
    int m_limit;
    QByteArray m_buffer;
    int m_start = 0; // start of the first line not handed out
    bool m_dropping = false; // inside a line that grew too long
};
