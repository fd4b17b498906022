// Dates and times: TDateTime (days since 1899-12-30, the fraction is the time of day).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

// Process-wide date and time settings (the program may change them; they stay changed).
extern std::string ShortDateFormat;  // "dd.mm.yyyy"
extern std::string LongDateFormat;   // "d mmmm yyyy"
extern std::string ShortTimeFormat;  // "hh:nn"
extern std::string LongTimeFormat;   // "hh:nn:ss"
extern char DateSeparator;           // '.'
extern char TimeSeparator;           // ':'
extern std::string TimeAMString;     // "AM"
extern std::string TimePMString;     // "PM"
// Two-digit years fall in the hundred years that start this many years before the current one.
extern int TwoDigitYearCenturyWindow;  // 50

// English month and day names; index 0 is January / Sunday.
extern const char* const ShortMonthNames[12];
extern const char* const LongMonthNames[12];
extern const char* const ShortDayNames[7];
extern const char* const LongDayNames[7];

constexpr double MSecsPerDay = 86400000.0;

// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec);
void DecodeDate(TDateTime Date, uint16_t& Year, uint16_t& Month, uint16_t& Day);
void DecodeTime(TDateTime Time, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec);
void DecodeDateTime(TDateTime DT, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& Hour, uint16_t& Min,
                    uint16_t& Sec, uint16_t& MSec);
bool IsLeapYear(int Year);
int DaysInAMonth(int Year, int Month);
int DayOfWeek(TDateTime Date);  // 1 = Sunday .. 7 = Saturday
int YearOf(TDateTime Date);
int MonthOf(TDateTime Date);
int DayOf(TDateTime Date);

TDateTime Now();
TDateTime Date();
TDateTime Time();

// Patterns: c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz t tt
// am/pm a/p ampm, '/' and ':' (the separators), quoted text; letters in either case.
std::string FormatDateTime(std::string_view Format, TDateTime DateTime);
std::string DateToStr(TDateTime Date);
std::string TimeToStr(TDateTime Time);
std::string DateTimeToStr(TDateTime DateTime);

// Read by the order of ShortDateFormat and DateSeparator; a two-digit year is placed by
// TwoDigitYearCenturyWindow; a missing year is the current one. Failures raise EConvertError
// "'%s' is not a valid date" / "... time" / "... date and time".
TDateTime StrToDate(std::string_view S);
TDateTime StrToDateDef(std::string_view S, TDateTime Default);
bool TryStrToDate(std::string_view S, TDateTime& Value);
TDateTime StrToTime(std::string_view S);
bool TryStrToTime(std::string_view S, TDateTime& Value);
TDateTime StrToDateTime(std::string_view S);
bool TryStrToDateTime(std::string_view S, TDateTime& Value);
