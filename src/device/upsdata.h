#pragma once

#include <QtGlobal>

// The last measurements, status byte, identity strings and ratings of the UPS. Filled by the
// protocol driver from serial replies, or by the device link from USB reports. The character
// slots are NUL-terminated; a reply writes its characters into the start of a slot and leaves the
// rest as it was, so the last byte of every slot stays NUL. Value-initialise (UpsData{}) to zero.
struct UpsData
{
    float inputVol;
    float inputFaultVol;
    float outputVol;
    quint16 load;
    float inputFreq;
    float battVol;
    float temperature;
    float battCapacity;
    quint16 battRemainTime;
    quint8 status;
    char compName[15 + 1];
    char UPSModel[20 + 1];
    char version[10 + 1];
    char sn[21 + 1];
    float ratingOutputVol;
    quint16 ratingCurrent;
    float ratingBattVol;
    float ratingFreq;
};
