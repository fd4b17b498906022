#include "platform/datetime.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/exceptions.h"
#include "platform/sysutils.h"

std::string ShortDateFormat = "dd.mm.yyyy";
std::string LongDateFormat = "d mmmm yyyy";
std::string ShortTimeFormat = "hh:nn";
std::string LongTimeFormat = "hh:nn:ss";
char DateSeparator = '.';
char TimeSeparator = ':';
std::string TimeAMString = "AM";
std::string TimePMString = "PM";
int TwoDigitYearCenturyWindow = 50;

const char* const ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
const char* const ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

namespace {

constexpr int64_t UnixEpochDay = 25569;  // 1970-01-01

int64_t DaysFromCivil(int64_t Y, int M, int D) {
  Y -= M <= 2;
  int64_t Era = (Y >= 0 ? Y : Y - 399) / 400;
  int64_t Yoe = Y - Era * 400;
  int64_t Doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
  int64_t Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
  return Era * 146097 + Doe - 719468;
}

void CivilFromDays(int64_t Z, int& Y, int& M, int& D) {
  Z += 719468;
  int64_t Era = (Z >= 0 ? Z : Z - 146096) / 146097;
  int64_t Doe = Z - Era * 146097;
  int64_t Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
  int64_t Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
  int64_t Mp = (5 * Doy + 2) / 153;
  D = static_cast<int>(Doy - (153 * Mp + 2) / 5 + 1);
  M = static_cast<int>(Mp < 10 ? Mp + 3 : Mp - 9);
  Y = static_cast<int>(Yoe + Era * 400 + (M <= 2));
}

// Whole days and milliseconds of the day; the date part goes toward zero, the time is the
// absolute fraction (the toolkit's rule for dates before 1899-12-30).
void Split(TDateTime DT, int64_t& Days, int64_t& MSecs) {
  double D = std::trunc(DT);
  int64_t Ms = std::llround(std::fabs(DT - D) * MSecsPerDay);
  if (Ms >= static_cast<int64_t>(MSecsPerDay)) {
    Ms -= static_cast<int64_t>(MSecsPerDay);
    D += DT < 0 ? -1 : 1;
  }
  Days = static_cast<int64_t>(D);
  MSecs = Ms;
}

int CurrentYear() {
  uint16_t Y, M, D;
  DecodeDate(Date(), Y, M, D);
  return Y;
}

std::string Pad(int V, int Width) {
  std::string S = std::to_string(V);
  while (static_cast<int>(S.size()) < Width) S.insert(S.begin(), '0');
  return S;
}

char Up(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C; }

bool StartsWithNoCase(std::string_view S, size_t I, std::string_view P) {
  if (I + P.size() > S.size()) return false;
  for (size_t K = 0; K < P.size(); ++K)
    if (Up(S[I + K]) != Up(P[K])) return false;
  return true;
}

void AppendFormatted(std::string& R, std::string_view F, TDateTime DT, int Depth);

void AppendFormatted(std::string& R, std::string_view F, TDateTime DT, int Depth) {
  if (Depth > 2) return;
  uint16_t Year, Month, Day, Hour, Min, Sec, MSec;
  DecodeDateTime(DT, Year, Month, Day, Hour, Min, Sec, MSec);
  // The 12-hour clock is used when an am/pm specifier appears anywhere.
  bool Clock12 = false;
  for (size_t I = 0; I < F.size(); ++I)
    if (StartsWithNoCase(F, I, "am/pm") || StartsWithNoCase(F, I, "a/p") || StartsWithNoCase(F, I, "ampm"))
      Clock12 = true;
  bool LastWasHour = false;
  size_t I = 0;
  while (I < F.size()) {
    char C = F[I];
    char U = Up(C);
    size_t Count = 1;
    while (I + Count < F.size() && Up(F[I + Count]) == U && U >= 'A' && U <= 'Z') ++Count;
    switch (U) {
      case '"':
      case '\'': {
        size_t E = F.find(C, I + 1);
        if (E == std::string_view::npos) E = F.size();
        R.append(F.substr(I + 1, E - I - 1));
        I = E + 1;
        continue;
      }
      case 'C':
        AppendFormatted(R, ShortDateFormat, DT, Depth + 1);
        if (Hour != 0 || Min != 0 || Sec != 0 || MSec != 0) {
          R += ' ';
          AppendFormatted(R, LongTimeFormat, DT, Depth + 1);
        }
        I += 1;
        continue;
      case 'D':
        if (Count == 1)
          R += std::to_string(Day);
        else if (Count == 2)
          R += Pad(Day, 2);
        else if (Count == 3)
          R += ShortDayNames[DayOfWeek(DT) - 1];
        else if (Count == 4)
          R += LongDayNames[DayOfWeek(DT) - 1];
        else if (Count == 5)
          AppendFormatted(R, ShortDateFormat, DT, Depth + 1);
        else
          AppendFormatted(R, LongDateFormat, DT, Depth + 1);
        LastWasHour = false;
        break;
      case 'M':
        if (LastWasHour && Count <= 2) {
          R += Count == 1 ? std::to_string(Min) : Pad(Min, 2);
        } else if (Count == 1)
          R += std::to_string(Month);
        else if (Count == 2)
          R += Pad(Month, 2);
        else if (Count == 3)
          R += ShortMonthNames[Month - 1];
        else
          R += LongMonthNames[Month - 1];
        LastWasHour = false;
        break;
      case 'Y':
        R += Count <= 2 ? Pad(Year % 100, 2) : Pad(Year, 4);
        LastWasHour = false;
        break;
      case 'H': {
        int H = Hour;
        if (Clock12) {
          H %= 12;
          if (H == 0) H = 12;
        }
        R += Count == 1 ? std::to_string(H) : Pad(H, 2);
        LastWasHour = true;
        I += Count;
        continue;
      }
      case 'N':
        R += Count == 1 ? std::to_string(Min) : Pad(Min, 2);
        LastWasHour = false;
        break;
      case 'S':
        R += Count == 1 ? std::to_string(Sec) : Pad(Sec, 2);
        LastWasHour = false;
        break;
      case 'Z':
        R += Count < 3 ? std::to_string(MSec) : Pad(MSec, 3);
        LastWasHour = false;
        break;
      case 'T':
        AppendFormatted(R, Count == 1 ? ShortTimeFormat : LongTimeFormat, DT, Depth + 1);
        LastWasHour = false;
        break;
      case 'A':
        if (StartsWithNoCase(F, I, "am/pm")) {
          bool Lower = F[I] == 'a';
          R += Hour >= 12 ? (Lower ? "pm" : "PM") : (Lower ? "am" : "AM");
          I += 5;
        } else if (StartsWithNoCase(F, I, "a/p")) {
          bool Lower = F[I] == 'a';
          R += Hour >= 12 ? (Lower ? "p" : "P") : (Lower ? "a" : "A");
          I += 3;
        } else if (StartsWithNoCase(F, I, "ampm")) {
          R += Hour >= 12 ? TimePMString : TimeAMString;
          I += 4;
        } else {
          R += C;
          I += 1;
        }
        continue;
      case '/':
        R += DateSeparator;
        I += 1;
        continue;
      case ':':
        R += TimeSeparator;
        I += 1;
        continue;
      default:
        R.append(F.substr(I, Count));
        break;
    }
    I += Count;
  }
}

// ---- scanning

struct TScanner {
  std::string_view S;
  size_t P = 0;

  void Blanks() {
    while (P < S.size() && S[P] == ' ') ++P;
  }
  bool Number(int& V, int& Digits) {
    Blanks();
    size_t Start = P;
    int64_t N = 0;
    while (P < S.size() && S[P] >= '0' && S[P] <= '9') {
      N = N * 10 + (S[P] - '0');
      if (N > 99999) return false;
      ++P;
    }
    Digits = static_cast<int>(P - Start);
    if (Digits == 0) return false;
    V = static_cast<int>(N);
    return true;
  }
  bool Char(char C) {
    Blanks();
    if (P < S.size() && S[P] == C) {
      ++P;
      return true;
    }
    return false;
  }
  bool Text(std::string_view T) {
    Blanks();
    if (!T.empty() && StartsWithNoCase(S, P, T)) {
      P += T.size();
      return true;
    }
    return false;
  }
  bool AtEnd() {
    Blanks();
    return P >= S.size();
  }
};

enum class TDateOrder { MDY, DMY, YMD };

TDateOrder GetDateOrder(std::string_view F) {
  char Quote = 0;
  for (char C : F) {
    if (Quote) {
      if (C == Quote) Quote = 0;
      continue;
    }
    if (C == '"' || C == '\'') {
      Quote = C;
      continue;
    }
    switch (Up(C)) {
      case 'Y':
        return TDateOrder::YMD;
      case 'M':
        return TDateOrder::MDY;
      case 'D':
        return TDateOrder::DMY;
      default:
        break;
    }
  }
  return TDateOrder::MDY;
}

bool ScanDate(TScanner& Sc, TDateTime& Value) {
  int N1, N2, N3 = 0, L1, L2, L3 = 0;
  if (!Sc.Number(N1, L1) || !Sc.Char(DateSeparator) || !Sc.Number(N2, L2)) return false;
  bool Three = false;
  if (Sc.Char(DateSeparator)) {
    if (!Sc.Number(N3, L3)) return false;
    Three = true;
  }
  int Y, M, D, YearDigits;
  TDateOrder Order = GetDateOrder(ShortDateFormat);
  if (!Three) {
    Y = CurrentYear();
    YearDigits = 4;
    if (Order == TDateOrder::DMY) {
      D = N1;
      M = N2;
    } else {
      M = N1;
      D = N2;
    }
  } else {
    switch (Order) {
      case TDateOrder::MDY:
        M = N1, D = N2, Y = N3, YearDigits = L3;
        break;
      case TDateOrder::DMY:
        D = N1, M = N2, Y = N3, YearDigits = L3;
        break;
      default:
        Y = N1, M = N2, D = N3, YearDigits = L1;
        break;
    }
    if (YearDigits <= 2) {
      int CenturyBase = CurrentYear() - TwoDigitYearCenturyWindow;
      Y += CenturyBase / 100 * 100;
      if (TwoDigitYearCenturyWindow > 0 && Y < CenturyBase) Y += 100;
    }
  }
  return TryEncodeDate(Y, M, D, Value);
}

bool ScanTime(TScanner& Sc, TDateTime& Value) {
  int BaseHour = -1;
  if (Sc.Text(TimeAMString) || Sc.Text("AM"))
    BaseHour = 0;
  else if (Sc.Text(TimePMString) || Sc.Text("PM"))
    BaseHour = 12;
  int Hour, Min = 0, Sec = 0, MSec = 0, L;
  if (!Sc.Number(Hour, L)) return false;
  if (Sc.Char(TimeSeparator)) {
    if (!Sc.Number(Min, L)) return false;
    if (Sc.Char(TimeSeparator)) {
      if (!Sc.Number(Sec, L)) return false;
      if (Sc.Char(DecimalSeparator) && !Sc.Number(MSec, L)) return false;
    }
  }
  if (BaseHour < 0) {
    if (Sc.Text(TimeAMString) || Sc.Text("AM"))
      BaseHour = 0;
    else if (Sc.Text(TimePMString) || Sc.Text("PM"))
      BaseHour = 12;
  }
  if (BaseHour >= 0) {
    if (Hour == 0 || Hour > 12) return false;
    if (Hour == 12) Hour = 0;
    Hour += BaseHour;
  }
  return TryEncodeTime(Hour, Min, Sec, MSec, Value);
}

}  // namespace

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInAMonth(int Year, int Month) {
  static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) return 0;
  return Month == 2 && IsLeapYear(Year) ? 29 : Days[Month - 1];
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month)) return false;
  Date = static_cast<double>(DaysFromCivil(Year, Month, Day) + UnixEpochDay);
  return true;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
  if (Hour < 0 || Hour >= 24 || Min < 0 || Min >= 60 || Sec < 0 || Sec >= 60 || MSec < 0 || MSec >= 1000) return false;
  Time = (Hour * 3600000.0 + Min * 60000.0 + Sec * 1000.0 + MSec) / MSecsPerDay;
  return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
  TDateTime R;
  if (!TryEncodeDate(Year, Month, Day, R)) throw EConvertError("Invalid argument to date encode");
  return R;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
  TDateTime R;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, R)) throw EConvertError("Invalid argument to time encode");
  return R;
}

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec) {
  TDateTime D = EncodeDate(Year, Month, Day);
  TDateTime T = EncodeTime(Hour, Min, Sec, MSec);
  return D >= 0 ? D + T : D - T;
}

void DecodeDate(TDateTime DT, uint16_t& Year, uint16_t& Month, uint16_t& Day) {
  int64_t Days, Ms;
  Split(DT, Days, Ms);
  int Y, M, D;
  CivilFromDays(Days - UnixEpochDay, Y, M, D);
  Year = static_cast<uint16_t>(Y);
  Month = static_cast<uint16_t>(M);
  Day = static_cast<uint16_t>(D);
}

void DecodeTime(TDateTime DT, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
  int64_t Days, Ms;
  Split(DT, Days, Ms);
  Hour = static_cast<uint16_t>(Ms / 3600000);
  Min = static_cast<uint16_t>(Ms / 60000 % 60);
  Sec = static_cast<uint16_t>(Ms / 1000 % 60);
  MSec = static_cast<uint16_t>(Ms % 1000);
}

void DecodeDateTime(TDateTime DT, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& Hour, uint16_t& Min,
                    uint16_t& Sec, uint16_t& MSec) {
  DecodeDate(DT, Year, Month, Day);
  DecodeTime(DT, Hour, Min, Sec, MSec);
}

int DayOfWeek(TDateTime DT) {
  int64_t Days, Ms;
  Split(DT, Days, Ms);
  // 1899-12-30 was a Saturday (7).
  int64_t W = (Days + 6) % 7;
  if (W < 0) W += 7;
  return static_cast<int>(W) + 1;
}

int YearOf(TDateTime DT) {
  uint16_t Y, M, D;
  DecodeDate(DT, Y, M, D);
  return Y;
}
int MonthOf(TDateTime DT) {
  uint16_t Y, M, D;
  DecodeDate(DT, Y, M, D);
  return M;
}
int DayOf(TDateTime DT) {
  uint16_t Y, M, D;
  DecodeDate(DT, Y, M, D);
  return D;
}

TDateTime Now() {
  using namespace std::chrono;
  auto T = system_clock::now();
  std::time_t Secs = system_clock::to_time_t(T);
  std::tm Local{};
  localtime_r(&Secs, &Local);
  int Ms = static_cast<int>(duration_cast<milliseconds>(T.time_since_epoch()).count() % 1000);
  return EncodeDate(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday) +
         EncodeTime(Local.tm_hour, Local.tm_min, std::min(Local.tm_sec, 59), Ms);
}

TDateTime Date() { return std::trunc(Now()); }
TDateTime Time() {
  TDateTime N = Now();
  return N - std::trunc(N);
}

std::string FormatDateTime(std::string_view Format, TDateTime DateTime) {
  std::string R;
  AppendFormatted(R, Format.empty() ? std::string_view("c") : Format, DateTime, 0);
  return R;
}

std::string DateToStr(TDateTime D) { return FormatDateTime(ShortDateFormat, D); }
std::string TimeToStr(TDateTime T) { return FormatDateTime(LongTimeFormat, T); }
std::string DateTimeToStr(TDateTime DT) { return FormatDateTime("c", DT); }

bool TryStrToDate(std::string_view S, TDateTime& Value) {
  TScanner Sc{S};
  TDateTime V;
  if (!ScanDate(Sc, V) || !Sc.AtEnd()) return false;
  Value = V;
  return true;
}

TDateTime StrToDate(std::string_view S) {
  TDateTime V;
  if (!TryStrToDate(S, V)) throw EConvertError(Format("'%s' is not a valid date", {std::string(S)}));
  return V;
}

TDateTime StrToDateDef(std::string_view S, TDateTime Default) {
  TDateTime V;
  return TryStrToDate(S, V) ? V : Default;
}

bool TryStrToTime(std::string_view S, TDateTime& Value) {
  TScanner Sc{S};
  TDateTime V;
  if (!ScanTime(Sc, V) || !Sc.AtEnd()) return false;
  Value = V;
  return true;
}

TDateTime StrToTime(std::string_view S) {
  TDateTime V;
  if (!TryStrToTime(S, V)) throw EConvertError(Format("'%s' is not a valid time", {std::string(S)}));
  return V;
}

bool TryStrToDateTime(std::string_view S, TDateTime& Value) {
  TScanner Sc{S};
  TDateTime D;
  if (ScanDate(Sc, D)) {
    if (Sc.AtEnd()) {
      Value = D;
      return true;
    }
    TDateTime T;
    if (!ScanTime(Sc, T) || !Sc.AtEnd()) return false;
    Value = D >= 0 ? D + T : D - T;
    return true;
  }
  return TryStrToTime(S, Value);
}

TDateTime StrToDateTime(std::string_view S) {
  TDateTime V;
  if (!TryStrToDateTime(S, V)) throw EConvertError(Format("'%s' is not a valid date and time", {std::string(S)}));
  return V;
}
