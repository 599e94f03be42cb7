#include "replyformatter.h"

#include "upsmodel.h"

#include <algorithm>
#include <cmath>

QByteArray ReplyFormatter::fixedNumber(double value, int width, int decimals)
{
    if (!std::isfinite(value) || value < 0)
        value = 0;
    for (int places = decimals; places >= 0; --places) {
        QByteArray text = QByteArray::number(value, 'f', places);
        if (text.size() <= width)
            return text.rightJustified(width, '0');
    }
    // Too large even without decimals: the largest whole number that fits.
    return QByteArray(width, '9');
}

QByteArray ReplyFormatter::fixedText(const QString &text, int width)
{
    QByteArray bytes = text.toLatin1().left(width);
    // A carriage return inside a field would end the line early.
    bytes.replace('\r', ' ');
    return bytes.leftJustified(width, ' ');
}

QByteArray ReplyFormatter::status(const UpsModel &ups)
{
    const quint8 bits = ups.statusBits();
    QByteArray flags(8, '0');
    for (int bit = 0; bit < 8; ++bit)
        if (bits & (1 << bit))
            flags[bit] = '1';
    const bool perCell = !(bits & 0x10);
    QByteArray line("(");
    line += fixedNumber(ups.inputVoltage(), 5, 1) + ' ';
    line += fixedNumber(ups.inputFaultVoltage(), 5, 1) + ' ';
    line += fixedNumber(ups.outputVoltage(), 5, 1) + ' ';
    line += fixedNumber(ups.load(), 3, 0) + ' ';
    line += fixedNumber(ups.frequency(), 4, 1) + ' ';
    line += fixedNumber(ups.batteryVoltage(), 4, perCell ? 2 : 1) + ' ';
    line += fixedNumber(ups.temperature(), 4, 1) + ' ';
    line += flags + '\r';
    return line;
}

QByteArray ReplyFormatter::rating(const UpsModel &ups)
{
    QByteArray line("#");
    line += fixedNumber(ups.ratedOutputVoltage(), 5, 1) + ' ';
    line += fixedNumber(ups.ratedCurrent(), 3, 0) + ' ';
    line += fixedNumber(ups.ratedBatteryVoltage(), 5, 1) + ' ';
    line += fixedNumber(ups.ratedFrequency(), 4, 1) + '\r';
    return line;
}

QByteArray ReplyFormatter::identity(const UpsModel &ups)
{
    return "#" + fixedText(ups.company(), 15) + ' ' + fixedText(ups.model(), 10) + ' ' +
        fixedText(ups.version(), 10) + '\r';
}

QByteArray ReplyFormatter::serialInfo(const UpsModel &ups)
{
    return "#" + fixedText(ups.serial(), 21) + ' ' + fixedText(ups.model(), 20) + ' ' +
        fixedText(ups.company(), 10) + '\r';
}

QByteArray ReplyFormatter::remainingTime(const UpsModel &ups)
{
    const int seconds = std::max(0, ups.remainingSeconds());
    return "#" + fixedNumber(seconds / 60, 4, 0) + ' ' + fixedNumber(seconds, 5, 0) + '\r';
}

QByteArray ReplyFormatter::batteryPercent(const UpsModel &ups)
{
    const int tenths = int(std::lround(std::clamp(ups.capacity(), 0.0, 100.0) * 10.0));
    return "#" + fixedNumber(tenths, 4, 0) + '\r';
}

QByteArray ReplyFormatter::faultWords(const UpsModel &ups)
{
    QByteArray line("#");
    line += fixedNumber(ups.faultKind(), 2, 0);
    for (int i = 0; i < UpsModel::FaultWordCount; ++i)
        line += ' ' + QByteArray::number(ups.faultWord(i), 16).toUpper().rightJustified(4, '0');
    line += '\r';
    return line;
}
