// The locale's settings that editors of dates, times and money follow. Fixed defaults hold until
// the program takes the system's settings at start-up (tests keep the defaults).
#pragma once

#include <functional>
#include <string>

struct TLocaleInfo {
  std::string ShortDateFormat = "dd.mm.yyyy";
  char DateSeparator = '.';
  std::string LongTimeFormat = "hh:nn:ss";
  std::string ShortTimeFormat = "hh:nn";
  char TimeSeparator = ':';
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  std::string CurrencyString = "$";
  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
  int CurrencyFormat = 0;
  // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-", 8 "-1 $", 9 "-$ 1",
  // 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)".
  int NegCurrFormat = 1;
  int CurrencyDecimals = 2;
  // 0 Monday .. 6 Sunday, as the system numbers them.
  int FirstDayOfWeek = 0;
  // Right-to-left reading order (scroll bars keep the system's own look then).
  bool RightToLeft = false;
};

// The settings in force.
const TLocaleInfo& LocaleInfo();
void SetLocaleInfo(const TLocaleInfo& Value);
// The fixed defaults above.
TLocaleInfo DefaultLocaleInfo();
// What the system's locale says (the program installs it at start-up).
TLocaleInfo SystemLocaleInfo();

// Handlers told after every change of the settings in force (SetLocaleInfo), so that editors
// whose defaults come from the locale take the new ones. Add returns the handler's id.
int AddLocaleChangeHandler(std::function<void()> Handler);
void RemoveLocaleChangeHandler(int Id);
// Puts the system's settings in force now and again whenever the system's settings change
// (the window system's settings-changed notice). Once is enough; later calls do nothing.
void FollowSystemLocale();
