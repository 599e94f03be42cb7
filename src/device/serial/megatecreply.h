#pragma once

#include <QByteArray>
#include <QList>

// Text conversions of the serial reply lines. A field that does not convert gives 0, never an
// error: the reply is judged by its start character, length and field count alone.
namespace MegatecReply {

// The bytes of positions first to last (inclusive) of a line, split at every space.
QList<QByteArray> fields(const char *line, int first, int last);

// A decimal number; 0 when the field is not a finite single-precision number.
float toFloat(const QByteArray &field);
// An unsigned decimal that fits 16 bits; else 0.
quint16 toUnsigned(const QByteArray &field);
// A signed decimal that fits 32 bits; else 0.
int toSigned(const QByteArray &field);
// Four hexadecimal digits (any count that fits 16 bits); else 0.
quint16 toHexWord(const QByteArray &field);

// The status byte of a status field: bit k is the lowest bit of the decimal digit of weight
// 10^(7 - k), so "00101001" gives bits 2, 4 and 7.
quint8 statusByte(const QByteArray &field);

// Battery capacity in percent from the battery voltage, clamped to 0..100. A standby UPS
// scales 20..27.2 V per 24 V of rated battery voltage; others read one cell, 1.667..2.267 V.
float estimateCapacity(float battVol, float ratingBattVol, bool standbyType);

} // namespace MegatecReply
