#pragma once

#include <QByteArray>
#include <QString>

class UpsModel;

// Builds the reply lines of the queries from the model, byte for byte in the layouts a real unit
// uses: fixed widths, zero-padded numbers, single spaces between fields, a carriage return last.
//   Q1  "(MMM.M NNN.N PPP.P QQQ RR.R S.SS TT.T b0b1b2b3b4b5b6b7\r"   47 bytes
//   F   "#VVV.V CCC BBB.B FF.F\r"                                      22 bytes
//   I   "#" company(15) " " model(10) " " version(10) "\r"             39 bytes
//   NQU "#" serial(21) " " model(20) " " company(10) "\r"              55 bytes
//   BT  "#MMMM SSSSS\r" minutes and seconds of backup left             12 bytes
//   BP  "#PPPP\r" capacity in tenths of a percent                       6 bytes
//   A1  "#KK" then 13 times " XXXX" (hex fault words) "\r"             69 bytes
// The battery voltage of Q1 is per cell (S.SS) on an on-line unit and the whole string (SS.S) on
// a standby unit.
class ReplyFormatter
{
public:
    static QByteArray status(const UpsModel &ups);
    static QByteArray rating(const UpsModel &ups);
    static QByteArray identity(const UpsModel &ups);
    static QByteArray serialInfo(const UpsModel &ups);
    static QByteArray remainingTime(const UpsModel &ups);
    static QByteArray batteryPercent(const UpsModel &ups);
    static QByteArray faultWords(const UpsModel &ups);

    // A number in exactly `width` characters, zero-padded, never a blank or a sign: decimals are
    // dropped when the value does not fit, and a value too large for the width is clamped.
    static QByteArray fixedNumber(double value, int width, int decimals);
    // Text cut or padded with blanks to exactly `width` Latin-1 characters.
    static QByteArray fixedText(const QString &text, int width);
};
