#pragma once

#include <QByteArray>

// Cuts the byte stream of one client into request lines. A line ends at LF; a half line waits
// for the rest. A line longer than maxLength is not kept: its bytes are dropped as they come and
// it is handed out once, flagged too long, when its LF arrives, so a client can never make the
// server hold more than one line of its input.
class NutLineSplitter
{
public:
    static constexpr int maxLength = 1024;

    struct Line
    {
        QByteArray text; // without the LF
        bool tooLong = false;
    };

    void feed(const char *data, int size);
    // The next complete line, if there is one.
    bool next(Line *line);
    // Bytes waiting, complete lines and the half line.
    int pending() const { return m_buffer.size() - m_start; }

private:
    QByteArray m_buffer;
    int m_start = 0; // start of the first line not handed out
    bool m_dropping = false; // inside a line that grew too long
};
