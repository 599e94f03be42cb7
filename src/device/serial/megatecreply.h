#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// Text conversions of the serial reply lines, as strict as the protocol: a field reads only when
// it is written the way the UPS writes it. A stray character, a sign, an exponent, a blank, a
// hexadecimal number where a decimal belongs gives no value, and the reply is refused whole.
namespace MegatecReply {

// The bytes of positions first to last (inclusive) of a line, split at every space.
QList<QByteArray> fields(const char *line, int first, int last);

// Decimal digits with at most one point between digits ("230.0", "2.25", "035").
std::optional<float> toDecimal(const QByteArray &field);
// Dashes with at most points between them ("--.-"): a UPS without that sensor writes its field
// so. A reading it does not have, not a damaged reply.
bool isPlaceholder(const QByteArray &field);
// Decimal digits only, of a value that fits 16 bits.
std::optional<quint16> toWhole(const QByteArray &field);
// Decimal digits only, of any size.
bool isWhole(const QByteArray &field);
// Exactly four hexadecimal digits.
std::optional<quint16> toHexWord(const QByteArray &field);
// Eight characters "0" or "1": bit k is the (k+1)-th character, so "00101001" gives bits 2, 4
// and 7.
std::optional<quint8> statusByte(const QByteArray &field);
// Printable ASCII only, as in the identity columns.
bool isText(const char *bytes, int size);

// Battery capacity in percent from the battery voltage, clamped to 0..100. A standby UPS
// scales 20..27.2 V per 24 V of rated battery voltage; others read one cell, 1.667..2.267 V.
float estimateCapacity(float battVol, float ratingBattVol, bool standbyType);

} // namespace MegatecReply
