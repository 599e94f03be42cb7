#pragma once

#include "megatec.h"

#include <QByteArray>

// Takes requests off the driver's queue until one for `command` is outstanding and returns its
// frame; empty when none comes up within two poll cycles.
inline QByteArray requestFor(Megatec &driver, int command)
{
    for (int i = 0; i < 20; ++i) {
        const QByteArray frame = driver.nextCommand();
        if (driver.currentCommand() == command)
            return frame;
    }
    return QByteArray();
}

// Asks for `command` and hands the reply over in one chunk.
inline bool answer(Megatec &driver, int command, const QByteArray &reply)
{
    if (requestFor(driver, command).isEmpty())
        return false;
    return driver.handleResponse(reply);
}

// A 47-byte status reply with the given battery voltage (4 characters), load (3 digits) and
// status field (8 characters).
inline QByteArray statusReply(const QByteArray &status, const QByteArray &battVol = "2.25",
                              const QByteArray &load = "035")
{
    return "(230.0 230.0 229.8 " + load + " 50.0 " + battVol + " 30.5 " + status + '\r';
}

// A 69-byte fault-word reply: two-digit kind and thirteen four-digit hexadecimal words.
inline QByteArray faultReply(int kind, const UpsState::FaultWords &words)
{
    QByteArray reply = '#' + QByteArray::number(kind).rightJustified(2, '0');
    for (quint16 word : words)
        reply += ' ' + QByteArray::number(word, 16).toUpper().rightJustified(4, '0');
    return reply + '\r';
}
