#include "nutlinesplitter.h"

void NutLineSplitter::feed(const char *data, int size)
{
    if (m_start > 0 && m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    m_buffer.append(data, size);
}

bool NutLineSplitter::next(Line *line)
{
    const int end = m_buffer.indexOf('\n', m_start);
    if (end < 0) {
        // A half line: keep it only while it can still be a line we answer.
        if (m_buffer.size() - m_start > m_limit) {
            m_dropping = true;
            m_buffer.clear();
            m_start = 0;
        }
        return false;
    }
    const int length = end - m_start;
    line->tooLong = m_dropping || length > m_limit;
    line->text = line->tooLong ? QByteArray() : m_buffer.mid(m_start, length);
    m_dropping = false;
    m_start = end + 1;
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    } else if (m_start > 4096) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    return true;
}
