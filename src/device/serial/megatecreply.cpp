#include "megatecreply.h"

#include <algorithm>
#include <cmath>

namespace {

// QByteArray's conversions stop at an embedded NUL; such a field is not a number.
bool hasNul(const QByteArray &field)
{
    return field.contains('\0');
}

} // namespace

namespace MegatecReply {

QList<QByteArray> fields(const char *line, int first, int last)
{
    return QByteArray(line + first, last - first + 1).split(' ');
}

float toFloat(const QByteArray &field)
{
    bool ok = false;
    const float value = hasNul(field) ? 0.0f : field.toFloat(&ok);
    return ok && std::isfinite(value) ? value : 0.0f;
}

quint16 toUnsigned(const QByteArray &field)
{
    bool ok = false;
    const quint16 value = hasNul(field) ? 0 : field.toUShort(&ok, 10);
    return ok ? value : 0;
}

int toSigned(const QByteArray &field)
{
    bool ok = false;
    const int value = hasNul(field) ? 0 : field.toInt(&ok, 10);
    return ok ? value : 0;
}

quint16 toHexWord(const QByteArray &field)
{
    bool ok = false;
    const quint16 value = hasNul(field) ? 0 : field.toUShort(&ok, 16);
    return ok ? value : 0;
}

quint8 statusByte(const QByteArray &field)
{
    // Digits beyond the eighth from the right are ignored; a sign does not count.
    qint64 number = std::abs(qint64(toSigned(field)));
    quint8 status = 0;
    for (int k = 7; k >= 0; --k) {
        if ((number % 10) & 1)
            status |= quint8(1u << k);
        number /= 10;
    }
    return status;
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
