#include "megatecreply.h"

#include <algorithm>
#include <cmath>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(const QByteArray &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), isDigit);
}

} // namespace

namespace MegatecReply {

QList<QByteArray> fields(const char *line, int first, int last)
{
    return QByteArray(line + first, last - first + 1).split(' ');
}

std::optional<float> toDecimal(const QByteArray &field)
{
    const int point = field.indexOf('.');
    if (point < 0 ? !allDigits(field)
                  : !allDigits(field.left(point)) || !allDigits(field.mid(point + 1)))
        return std::nullopt;
    bool ok = false;
    const float value = field.toFloat(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<quint16> toWhole(const QByteArray &field)
{
    if (!allDigits(field))
        return std::nullopt;
    bool ok = false;
    const quint16 value = field.toUShort(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

bool isPlaceholder(const QByteArray &field)
{
    return field.contains('-') &&
        std::all_of(field.cbegin(), field.cend(), [](char c) { return c == '-' || c == '.'; });
}

bool isWhole(const QByteArray &field)
{
    return allDigits(field);
}

std::optional<quint16> toHexWord(const QByteArray &field)
{
    const bool hex = field.size() == 4 && std::all_of(field.cbegin(), field.cend(), [](char c) {
                         return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
                     });
    if (!hex)
        return std::nullopt;
    return quint16(field.toUShort(nullptr, 16));
}

std::optional<quint8> statusByte(const QByteArray &field)
{
    if (field.size() != 8)
        return std::nullopt;
    quint8 status = 0;
    for (int k = 0; k < 8; ++k) {
        if (field.at(k) == '1')
            status |= quint8(1u << k);
        else if (field.at(k) != '0')
            return std::nullopt;
    }
    return status;
}

bool isText(const char *bytes, int size)
{
    return std::all_of(bytes, bytes + size, [](char c) { return c >= 0x20 && c <= 0x7e; });
}

float estimateCapacity(float battVol, float ratingBattVol, bool standbyType)
{
    float capacity;
    if (standbyType) {
        const float k = ratingBattVol / 24.0f;
        // Without a rated battery voltage there is no scale. A present battery voltage then
        // counts as full rather than empty, so a missing rating never cuts a shutdown short.
        if (!(k > 0.0f) || !std::isfinite(k))
            return battVol > 0.0f ? 100.0f : 0.0f;
        capacity = (battVol - 20.0f * k) / (27.2f * k - 20.0f * k);
    } else {
        capacity = (battVol - 1.667f) / 0.6f;
    }
    capacity *= 100.0f;
    if (std::isnan(capacity))
        return 0.0f;
    return std::clamp(capacity, 0.0f, 100.0f);
}

} // namespace MegatecReply
