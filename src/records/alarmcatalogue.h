#pragma once

// The source texts of every alarm code, in the translation context "Alarm". The tables only mark
// the texts for lupdate; Alarm::alarmText translates them when they are shown.
namespace AlarmCatalogue {

constexpr int eventCount = 24;
constexpr int familyOneBase = 0x10000;
constexpr int familyTwoBase = 0x20000;
constexpr int returnOffset = 500;
constexpr int faultOffsets = 16 * 13;

// The untranslated text of event code 0 to 23; nullptr for any other value.
const char *eventSource(int code);

// The untranslated text of fault offset n (16 x word + bit) of family 1 or 2; nullptr when the
// offset or the family has no text.
const char *faultSource(int family, int offset);

// The untranslated prefix of a return from a fault.
const char *returnedFromSource();

} // namespace AlarmCatalogue
