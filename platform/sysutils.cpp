#include "platform/sysutils.h"

#include <QString>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------------------------
// Decimal digits of a float: value = 0.Digits x 10^Exp. Digits carries no leading or trailing
// zeros; an empty Digits means zero. Conversion is locale independent and exact (ties to even).
struct TDecimal {
  bool Neg = false;
  std::string Digits;
  int Exp = 0;
  bool Special = false;  // infinity or NaN: Text holds it
  std::string Text;
};

constexpr int MaxDigits = 18;

bool CheckSpecial(long double V, TDecimal& D) {
  if (std::isnan(V)) {
    D.Special = true;
    D.Text = "NAN";
    return true;
  }
  if (std::isinf(V)) {
    D.Special = true;
    D.Neg = V < 0;
    D.Text = V < 0 ? "-INF" : "INF";
    return true;
  }
  return false;
}

void Normalize(TDecimal& D) {
  size_t Lead = D.Digits.find_first_not_of('0');
  if (Lead == std::string::npos) {
    D.Digits.clear();
    D.Exp = 0;
    return;
  }
  D.Digits.erase(0, Lead);
  D.Exp -= static_cast<int>(Lead);
  size_t Last = D.Digits.find_last_not_of('0');
  D.Digits.erase(Last + 1);
}

// Rounded to Precision significant digits (1..18).
TDecimal ToDecimalSig(long double V, int Precision) {
  TDecimal D;
  if (CheckSpecial(V, D)) return D;
  Precision = std::clamp(Precision, 1, MaxDigits);
  D.Neg = std::signbit(V);
  long double A = std::fabs(V);
  if (A == 0) return D;
  char Buf[128];
  auto R = std::to_chars(Buf, Buf + sizeof Buf, A, std::chars_format::scientific, Precision - 1);
  std::string S(Buf, R.ptr);
  size_t EPos = S.find('e');
  std::string Mant = S.substr(0, EPos);
  int E = std::stoi(S.substr(EPos + 1));
  Mant.erase(std::remove(Mant.begin(), Mant.end(), '.'), Mant.end());
  D.Digits = Mant;
  D.Exp = E + 1;
  Normalize(D);
  return D;
}

// Rounded to Decimals fraction digits; never more than 18 significant digits.
TDecimal ToDecimalFixed(long double V, int Decimals) {
  TDecimal D;
  if (CheckSpecial(V, D)) return D;
  TDecimal Full = ToDecimalSig(V, MaxDigits);
  if (Full.Digits.empty()) return Full;
  if (Full.Exp + Decimals >= MaxDigits) return Full;  // all 18 digits show
  D.Neg = std::signbit(V);
  long double A = std::fabs(V);
  char Buf[512];
  auto R = std::to_chars(Buf, Buf + sizeof Buf, A, std::chars_format::fixed, std::clamp(Decimals, 0, 400));
  std::string S(Buf, R.ptr);
  size_t Dot = S.find('.');
  std::string Int = Dot == std::string::npos ? S : S.substr(0, Dot);
  std::string Frac = Dot == std::string::npos ? "" : S.substr(Dot + 1);
  D.Digits = Int + Frac;
  D.Exp = static_cast<int>(Int.size());
  Normalize(D);
  return D;
}

// Digit at position I of the decimal (0-based), '0' past the end.
char DigitAt(const TDecimal& D, int I) { return I >= 0 && I < static_cast<int>(D.Digits.size()) ? D.Digits[I] : '0'; }

std::string InsertThousands(const std::string& Int) {
  std::string R;
  int N = static_cast<int>(Int.size());
  for (int I = 0; I < N; ++I) {
    if (I > 0 && (N - I) % 3 == 0) R += ThousandSeparator;
    R += Int[I];
  }
  return R;
}

// Fixed text "int.frac" with exactly Decimals fraction digits.
std::string FixedText(const TDecimal& D, int Decimals, bool Thousands) {
  std::string Int;
  if (D.Exp <= 0) {
    Int = "0";
  } else {
    for (int I = 0; I < D.Exp; ++I) Int += DigitAt(D, I);
  }
  if (Thousands) Int = InsertThousands(Int);
  std::string R = Int;
  if (Decimals > 0) {
    R += DecimalSeparator;
    for (int I = 0; I < Decimals; ++I) R += DigitAt(D, D.Exp + I);
  }
  return R;
}

std::string ExponentText(int E, bool AlwaysSign, int MinDigits) {
  std::string R;
  if (E < 0)
    R += '-';
  else if (AlwaysSign)
    R += '+';
  std::string Num = std::to_string(std::abs(E));
  while (static_cast<int>(Num.size()) < MinDigits) Num.insert(Num.begin(), '0');
  return R + Num;
}

// General form: shortest text with Precision significant digits.
std::string GeneralText(long double V, int Precision, int ExpDigits) {
  TDecimal D = ToDecimalSig(V, Precision);
  if (D.Special) return D.Text;
  if (D.Digits.empty()) return "0";
  std::string R = D.Neg ? "-" : "";
  int N = static_cast<int>(D.Digits.size());
  if (D.Exp > std::clamp(Precision, 1, MaxDigits) || D.Exp < -3) {
    R += D.Digits[0];
    if (N > 1) {
      R += DecimalSeparator;
      R += D.Digits.substr(1);
    }
    R += 'E';
    R += ExponentText(D.Exp - 1, false, std::clamp(ExpDigits, 0, 4));
    return R;
  }
  if (D.Exp <= 0) {
    R += "0";
    R += DecimalSeparator;
    R += std::string(-D.Exp, '0');
    R += D.Digits;
    return R;
  }
  for (int I = 0; I < D.Exp; ++I) R += DigitAt(D, I);
  if (N > D.Exp) {
    R += DecimalSeparator;
    R += D.Digits.substr(D.Exp);
  }
  return R;
}

// Scientific form d.dddE+XXX with Precision significant digits, all shown.
std::string ExponentFormText(long double V, int Precision, int ExpDigits, bool AlwaysSign = true) {
  TDecimal D = ToDecimalSig(V, Precision);
  if (D.Special) return D.Text;
  Precision = std::clamp(Precision, 1, MaxDigits);
  std::string R = D.Neg && !D.Digits.empty() ? "-" : "";
  R += DigitAt(D, 0);
  if (Precision > 1) {
    R += DecimalSeparator;
    for (int I = 1; I < Precision; ++I) R += DigitAt(D, I);
  }
  R += 'E';
  R += ExponentText(D.Digits.empty() ? 0 : D.Exp - 1, AlwaysSign, ExpDigits);
  return R;
}

std::string FixedFormText(long double V, int Precision, int Decimals, bool Thousands) {
  if (std::isnan(V) || std::isinf(V)) return ToDecimalSig(V, 1).Text;
  Decimals = std::clamp(Decimals, 0, MaxDigits);
  TDecimal Probe = ToDecimalSig(V, MaxDigits);
  if (Probe.Exp > std::clamp(Precision, 1, MaxDigits)) return GeneralText(V, Precision, 0);
  TDecimal D = ToDecimalFixed(V, Decimals);
  std::string R = D.Neg && !D.Digits.empty() ? "-" : "";
  return R + FixedText(D, Decimals, Thousands);
}

// ---------------------------------------------------------------------------------------------
// FormatFloat masks.
struct TSection {
  std::string Text;
};

std::vector<std::string> SplitSections(std::string_view Mask) {
  std::vector<std::string> Sections(1);
  char Quote = 0;
  for (char C : Mask) {
    if (Quote) {
      if (C == Quote) Quote = 0;
      Sections.back() += C;
    } else if (C == '"' || C == '\'') {
      Quote = C;
      Sections.back() += C;
    } else if (C == ';') {
      Sections.emplace_back();
    } else {
      Sections.back() += C;
    }
  }
  return Sections;
}

struct TMaskInfo {
  int IntPlaces = 0;   // '0' and '#' before the decimal point
  int IntZeros = 0;    // '0' before the point, counted from the first '0'
  int FracPlaces = 0;  // placeholders after the point
  int FracZeros = 0;   // position of the last '0' after the point
  bool HasPoint = false;
  bool Thousands = false;
  bool Scientific = false;
};

TMaskInfo Analyze(const std::string& S) {
  TMaskInfo M;
  char Quote = 0;
  bool AfterPoint = false;
  bool FirstZeroSeen = false;
  for (size_t I = 0; I < S.size(); ++I) {
    char C = S[I];
    if (Quote) {
      if (C == Quote) Quote = 0;
      continue;
    }
    if (M.Scientific) continue;
    switch (C) {
      case '"':
      case '\'':
        Quote = C;
        break;
      case '0':
      case '#':
        if (AfterPoint) {
          ++M.FracPlaces;
          if (C == '0') M.FracZeros = M.FracPlaces;
        } else {
          ++M.IntPlaces;
          if (C == '0') FirstZeroSeen = true;
          if (FirstZeroSeen) ++M.IntZeros;
        }
        break;
      case '.':
        if (!AfterPoint) {
          AfterPoint = true;
          M.HasPoint = true;
        }
        break;
      case ',':
        if (!AfterPoint) M.Thousands = true;
        break;
      case 'E':
      case 'e':
        if (I + 1 < S.size() && (S[I + 1] == '+' || S[I + 1] == '-')) M.Scientific = true;
        break;
      default:
        break;
    }
  }
  return M;
}

// Renders the digits of D through the section's placeholders.
std::string ApplySection(const std::string& S, const TMaskInfo& M, const TDecimal& D, int ExpValue) {
  // Integer digits: all the digits before the point (D.Exp of them in fixed form, IntPlaces
  // in scientific form), at least IntZeros of them shown.
  int IntDigitCount = M.Scientific ? M.IntPlaces : std::max(D.Exp, 0);
  std::string IntDigits;
  for (int I = 0; I < IntDigitCount; ++I) IntDigits += DigitAt(D, I);
  // Drop leading zeros beyond what the '0' placeholders ask for.
  size_t Lead = IntDigits.find_first_not_of('0');
  if (Lead == std::string::npos) Lead = IntDigits.size();
  int Keep = std::max(static_cast<int>(IntDigits.size() - Lead), M.IntZeros);
  if (Keep < static_cast<int>(IntDigits.size())) IntDigits.erase(0, IntDigits.size() - Keep);
  while (static_cast<int>(IntDigits.size()) < M.IntZeros) IntDigits.insert(IntDigits.begin(), '0');
  if (M.Thousands && !M.Scientific) IntDigits = InsertThousands(IntDigits);

  // Fraction digits: up to FracPlaces, trailing zeros dropped down to FracZeros.
  int FracStart = M.Scientific ? M.IntPlaces : D.Exp;
  std::string FracDigits;
  for (int I = 0; I < M.FracPlaces; ++I) FracDigits += DigitAt(D, FracStart + I);
  while (static_cast<int>(FracDigits.size()) > M.FracZeros && !FracDigits.empty() && FracDigits.back() == '0')
    FracDigits.pop_back();

  std::string R;
  char Quote = 0;
  bool IntDone = false, FracPlaced = false, PointDone = false;
  bool Done = false;  // set after the exponent
  auto EmitInt = [&] {
    if (!IntDone) {
      R += IntDigits;
      IntDone = true;
    }
  };
  for (size_t I = 0; I < S.size(); ++I) {
    char C = S[I];
    if (Quote) {
      if (C == Quote)
        Quote = 0;
      else
        R += C;
      continue;
    }
    if (Done) {
      if (C == '"' || C == '\'')
        Quote = C;
      else
        R += C;
      continue;
    }
    switch (C) {
      case '"':
      case '\'':
        Quote = C;
        break;
      case '0':
      case '#':
        if (!PointDone)
          EmitInt();
        else if (!FracPlaced) {
          R += FracDigits;
          FracPlaced = true;
        }
        break;
      case ',':  // thousands marker: never printed itself
        break;
      case '.':
        if (!PointDone) {
          EmitInt();
          PointDone = true;
          if (!FracDigits.empty()) R += DecimalSeparator;
        }
        break;
      case 'E':
      case 'e':
        if (M.Scientific && I + 1 < S.size() && (S[I + 1] == '+' || S[I + 1] == '-')) {
          EmitInt();
          if (!FracPlaced) {
            if (!FracDigits.empty() && !PointDone) R += DecimalSeparator;
            R += FracDigits;
            FracPlaced = true;
          }
          bool AlwaysSign = S[I + 1] == '+';
          ++I;
          int ZeroCount = 0;
          while (I + 1 < S.size() && S[I + 1] == '0') {
            ++ZeroCount;
            ++I;
          }
          R += C;
          R += ExponentText(ExpValue, AlwaysSign, std::min(ZeroCount, 4));
          Done = true;
        } else {
          R += C;
        }
        break;
      default:
        R += C;
        break;
    }
  }
  if (!IntDone && M.IntPlaces == 0 && !M.HasPoint && M.FracPlaces == 0) {
    // A section without placeholders shows no digits at all.
  }
  return R;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

std::string FormatFloat(std::string_view Mask, long double Value) {
  if (std::isnan(Value) || std::isinf(Value)) return ToDecimalSig(Value, 1).Text;
  std::vector<std::string> Sections = SplitSections(Mask);
  if (Mask.empty()) return FloatToStr(Value);
  int Section = 0;
  if (Value < 0 && Sections.size() > 1 && !Sections[1].empty()) Section = 1;
  if (Value == 0 && Sections.size() > 2 && !Sections[2].empty()) Section = 2;

  auto Render = [&](int Sec, bool& IsZero) {
    const std::string& S = Sections[Sec];
    TMaskInfo M = Analyze(S);
    TDecimal D;
    int ExpValue = 0;
    if (M.Scientific) {
      D = ToDecimalSig(Value, std::max(M.IntPlaces + M.FracPlaces, 1));
      if (!D.Digits.empty()) ExpValue = D.Exp - M.IntPlaces;
    } else {
      D = ToDecimalFixed(Value, M.FracPlaces);
    }
    IsZero = D.Digits.empty();
    return ApplySection(S, M, D, ExpValue);
  };

  bool IsZero = false;
  std::string R = Render(Section, IsZero);
  if (IsZero && Section != 2 && Sections.size() > 2 && !Sections[2].empty()) {
    return Render(2, IsZero);
  }
  // The positive section serves negative values with a leading minus (not for a rounded zero).
  if (Section == 0 && Value < 0 && !IsZero) R = "-" + R;
  return R;
}

std::string FloatToStr(long double Value) { return GeneralText(Value, 15, 0); }

std::string FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits) {
  switch (Format) {
    case ffGeneral:
      return GeneralText(Value, Precision, Digits);
    case ffExponent:
      return ExponentFormText(Value, Precision, std::clamp(Digits, 0, 4));
    case ffFixed:
      return FixedFormText(Value, Precision, Digits, false);
    case ffNumber:
      return FixedFormText(Value, Precision, Digits, true);
    case ffCurrency: {
      std::string S = FixedFormText(std::fabs(Value), Precision, Digits, true);
      return (Value < 0 ? "-$" : "$") + S;
    }
  }
  return GeneralText(Value, Precision, Digits);
}

// ---------------------------------------------------------------------------------------------
// Parsing.

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n' || C == '\f' || C == '\v'; }

std::string_view TrimView(std::string_view S) {
  size_t B = 0, E = S.size();
  while (B < E && static_cast<unsigned char>(S[B]) <= ' ') ++B;
  while (E > B && static_cast<unsigned char>(S[E - 1]) <= ' ') --E;
  return S.substr(B, E - B);
}

bool ParseFloat(std::string_view S, long double& Value) {
  S = TrimView(S);
  if (S.empty()) return false;
  size_t I = 0;
  std::string Buf;
  if (S[I] == '+' || S[I] == '-') {
    if (S[I] == '-') Buf += '-';
    ++I;
  }
  size_t Digits = 0;
  while (I < S.size() && S[I] >= '0' && S[I] <= '9') {
    Buf += S[I++];
    ++Digits;
  }
  if (I < S.size() && S[I] == DecimalSeparator) {
    Buf += '.';
    ++I;
    while (I < S.size() && S[I] >= '0' && S[I] <= '9') {
      Buf += S[I++];
      ++Digits;
    }
  }
  if (Digits == 0) return false;
  if (I < S.size() && (S[I] == 'e' || S[I] == 'E')) {
    Buf += 'e';
    ++I;
    if (I < S.size() && (S[I] == '+' || S[I] == '-')) Buf += S[I++];
    size_t ExpDigits = 0;
    while (I < S.size() && S[I] >= '0' && S[I] <= '9') {
      Buf += S[I++];
      ++ExpDigits;
    }
    if (ExpDigits == 0) return false;
  }
  if (I != S.size()) return false;
  const char* First = Buf.data();
  long double V = 0;
  auto R = std::from_chars(First, Buf.data() + Buf.size(), V);
  if (R.ptr != Buf.data() + Buf.size()) return false;
  if (R.ec == std::errc::result_out_of_range) {
    // Underflow gives zero; overflow is an error.
    long double Probe = 0;
    std::string Mant = Buf.substr(0, Buf.find('e'));
    std::from_chars(Mant.data(), Mant.data() + Mant.size(), Probe);
    if (Probe == 0)
      V = 0;
    else {
      size_t EPos = Buf.find('e');
      if (EPos != std::string::npos && Buf[EPos + 1] == '-')
        V = 0;
      else
        return false;
    }
  } else if (R.ec != std::errc()) {
    return false;
  }
  if (!std::isfinite(V)) return false;
  Value = V;
  return true;
}

bool ParseInt64(std::string_view S, int64_t& Value, int64_t Min, int64_t Max) {
  // Leading blanks, sign, decimal or "$"/"0x" hexadecimal digits; nothing after them.
  size_t I = 0;
  while (I < S.size() && IsBlank(S[I])) ++I;
  bool Neg = false;
  if (I < S.size() && (S[I] == '+' || S[I] == '-')) {
    Neg = S[I] == '-';
    ++I;
  }
  int Base = 10;
  if (I < S.size() && S[I] == '$') {
    Base = 16;
    ++I;
  } else if (I + 1 < S.size() && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
    Base = 16;
    I += 2;
  }
  if (I >= S.size()) return false;
  unsigned __int128 Acc = 0;
  for (; I < S.size(); ++I) {
    char C = S[I];
    int D;
    if (C >= '0' && C <= '9')
      D = C - '0';
    else if (Base == 16 && C >= 'a' && C <= 'f')
      D = C - 'a' + 10;
    else if (Base == 16 && C >= 'A' && C <= 'F')
      D = C - 'A' + 10;
    else
      return false;
    Acc = Acc * Base + D;
    if (Acc > (static_cast<unsigned __int128>(1) << 64)) return false;
  }
  __int128 V = Neg ? -static_cast<__int128>(Acc) : static_cast<__int128>(Acc);
  if (Base == 16 && !Neg && Max == INT32_MAX && Acc <= 0xFFFFFFFFu && Acc > INT32_MAX) {
    // Hexadecimal texts cover the full 32-bit pattern ($FFFFFFFF = -1).
    V = static_cast<int32_t>(static_cast<uint32_t>(Acc));
  } else if (Base == 16 && !Neg && Max == INT64_MAX && Acc <= UINT64_MAX && Acc > INT64_MAX) {
    V = static_cast<int64_t>(static_cast<uint64_t>(Acc));
  }
  if (V < Min || V > Max) return false;
  Value = static_cast<int64_t>(V);
  return true;
}

}  // namespace

namespace {

// A float of type T, refused when out of its range.
template <class T>
bool ParseFloatAs(std::string_view S, T& Value) {
  long double V;
  if (!ParseFloat(S, V)) return false;
  if (std::fabs(V) > static_cast<long double>(std::numeric_limits<T>::max())) return false;
  Value = static_cast<T>(V);
  return true;
}

// The value of a text, or EConvertError with Message (which holds one %s for the text).
template <class T>
T ConvertOrRaise(std::string_view S, bool (*Try)(std::string_view, T&), const char* Message) {
  T V;
  if (!Try(S, V)) throw EConvertError(Format(Message, {std::string(S)}));
  return V;
}

template <class T>
T ConvertOrDefault(std::string_view S, bool (*Try)(std::string_view, T&), T Default) {
  T V;
  return Try(S, V) ? V : Default;
}

const char* const kNotFloat = "'%s' is not a valid floating point value";
const char* const kNotInteger = "'%s' is not a valid integer value";

}  // namespace

bool TryStrToFloat(std::string_view S, long double& Value) { return ParseFloat(S, Value); }
bool TryStrToFloat(std::string_view S, double& Value) { return ParseFloatAs(S, Value); }
bool TryStrToFloat(std::string_view S, float& Value) { return ParseFloatAs(S, Value); }

double StrToFloat(std::string_view S) { return ConvertOrRaise<double>(S, TryStrToFloat, kNotFloat); }
double StrToFloatDef(std::string_view S, double Default) { return ConvertOrDefault<double>(S, TryStrToFloat, Default); }

bool TryStrToInt(std::string_view S, int32_t& Value) {
  int64_t V;
  if (!ParseInt64(S, V, INT32_MIN, INT32_MAX)) return false;
  Value = static_cast<int32_t>(V);
  return true;
}

int32_t StrToInt(std::string_view S) { return ConvertOrRaise<int32_t>(S, TryStrToInt, kNotInteger); }
int32_t StrToIntDef(std::string_view S, int32_t Default) { return ConvertOrDefault<int32_t>(S, TryStrToInt, Default); }

bool TryStrToInt64(std::string_view S, int64_t& Value) { return ParseInt64(S, Value, INT64_MIN, INT64_MAX); }

int64_t StrToInt64(std::string_view S) { return ConvertOrRaise<int64_t>(S, TryStrToInt64, kNotInteger); }
int64_t StrToInt64Def(std::string_view S, int64_t Default) {
  return ConvertOrDefault<int64_t>(S, TryStrToInt64, Default);
}

std::string BoolToStr(bool B, bool UseBoolStrs) {
  if (UseBoolStrs) return B ? "True" : "False";
  return B ? "-1" : "0";
}

bool TryStrToBool(std::string_view S, bool& Value) {
  std::string_view T = TrimView(S);
  if (SameText(T, "True")) {
    Value = true;
    return true;
  }
  if (SameText(T, "False")) {
    Value = false;
    return true;
  }
  long double F;
  if (ParseFloat(T, F)) {
    Value = F != 0;
    return true;
  }
  return false;
}

bool StrToBool(std::string_view S) {
  return ConvertOrRaise<bool>(S, TryStrToBool, "'%s' is not a valid boolean value");
}

std::string IntToStr(int64_t Value) { return std::to_string(Value); }
std::string UIntToStr(uint64_t Value) { return std::to_string(Value); }

std::string IntToHexBits(uint64_t U, int Digits) {
  char Buf[32];
  auto R = std::to_chars(Buf, Buf + sizeof Buf, U, 16);
  std::string S(Buf, R.ptr);
  for (char& C : S) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
  while (static_cast<int>(S.size()) < Digits) S.insert(S.begin(), '0');
  return S;
}

namespace {

// S right-aligned in Width places.
std::string PadLeft(std::string S, int Width) {
  if (static_cast<int>(S.size()) < Width) S.insert(0, Width - S.size(), ' ');
  return S;
}

// A whole number as int64_t, or EInvalidOp when out of its range (NaN included).
int64_t WholeToInt64(long double R) {
  if (!(R >= -9223372036854775808.0L && R < 9223372036854775808.0L))
    throw EInvalidOp("Invalid floating point operation");
  return static_cast<int64_t>(R);
}

}  // namespace

std::string StrWD(long double X, int Width, int Decimals) {
  std::string S;
  if (std::isnan(X) || std::isinf(X)) {
    S = ToDecimalSig(X, 1).Text;
  } else if (Decimals >= 0) {
    TDecimal D = ToDecimalFixed(X, std::min(Decimals, 64));
    S = (D.Neg && !D.Digits.empty() ? "-" : "") + FixedText(D, Decimals, false);
  } else {
    // Exponent form: a sign place, d.ddd, "E", the exponent's sign and four digits.
    int Dec = std::clamp(Width - 9, 1, MaxDigits - 1);
    if (Width <= 0) Dec = 14;
    S = ExponentFormText(X, Dec + 1, 4);
    if (S[0] != '-') S = " " + S;
  }
  return PadLeft(std::move(S), Width);
}

std::string StrW(int64_t I, int Width) { return PadLeft(std::to_string(I), Width); }

int64_t Round(long double X) { return WholeToInt64(std::nearbyint(X)); }
int64_t Trunc(long double X) { return WholeToInt64(std::trunc(X)); }

long double Frac(long double X) { return X - std::trunc(X); }

uint32_t RandSeed = 0;

void Randomize() {
  RandSeed = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                   std::chrono::system_clock::now().time_since_epoch().count());
}

int32_t Random(int32_t Range) {
  RandSeed = RandSeed * 0x08088405u + 1;
  if (Range <= 0) return 0;
  return static_cast<int32_t>((static_cast<uint64_t>(RandSeed) * static_cast<uint32_t>(Range)) >> 32);
}

double Random() {
  RandSeed = RandSeed * 0x08088405u + 1;
  return RandSeed * (1.0 / 4294967296.0);
}

// ---------------------------------------------------------------------------------------------
// Format.

namespace {

int Utf8Length(const std::string& S) {
  int N = 0;
  for (char C : S)
    if ((static_cast<unsigned char>(C) & 0xC0) != 0x80) ++N;
  return N;
}

// Bytes taken by the first Count characters of S.
size_t Utf8Prefix(const std::string& S, int Count) {
  size_t I = 0;
  int N = 0;
  while (I < S.size()) {
    if ((static_cast<unsigned char>(S[I]) & 0xC0) != 0x80) {
      if (N == Count) break;
      ++N;
    }
    ++I;
  }
  return I;
}

[[noreturn]] void FormatError(std::string_view Fmt) {
  throw EConvertError(Format("Format '%s' invalid or incompatible with argument", {std::string(Fmt)}));
}

}  // namespace

std::string Format(std::string_view Fmt, std::initializer_list<TVarRec> Args) {
  return Format(Fmt, std::vector<TVarRec>(Args));
}

std::string Format(std::string_view Fmt, const std::vector<TVarRec>& Args) {
  std::string R;
  size_t ArgIndex = 0;
  size_t I = 0;
  const size_t N = Fmt.size();
  auto NextArg = [&]() -> const TVarRec& {
    if (ArgIndex >= Args.size()) {
      throw EConvertError("No argument for format '" + std::string(Fmt) + "'");
    }
    return Args[ArgIndex++];
  };
  auto ReadNumber = [&](int& Out) -> bool {
    // A number or '*' (taken from the arguments).
    if (I < N && Fmt[I] == '*') {
      ++I;
      const TVarRec& A = NextArg();
      if (A.VKind() != TVarRec::Kind::Int && A.VKind() != TVarRec::Kind::UInt) FormatError(Fmt);
      Out = static_cast<int>(A.AsInt());
      return true;
    }
    if (I < N && Fmt[I] >= '0' && Fmt[I] <= '9') {
      int V = 0;
      while (I < N && Fmt[I] >= '0' && Fmt[I] <= '9') {
        V = V * 10 + (Fmt[I] - '0');
        if (V > 100000) FormatError(Fmt);
        ++I;
      }
      Out = V;
      return true;
    }
    return false;
  };

  while (I < N) {
    char C = Fmt[I];
    if (C != '%') {
      R += C;
      ++I;
      continue;
    }
    ++I;
    if (I >= N) FormatError(Fmt);
    if (Fmt[I] == '%') {
      R += '%';
      ++I;
      continue;
    }
    // [index ":"] ["-"] [width] ["." prec] type
    int First = -1;
    bool HasFirst = ReadNumber(First);
    if (HasFirst && I < N && Fmt[I] == ':') {
      ++I;
      if (First < 0) FormatError(Fmt);
      ArgIndex = static_cast<size_t>(First);
      HasFirst = false;
    }
    bool Left = false;
    int Width = -1;
    if (HasFirst) {
      Width = First;
    } else {
      if (I < N && Fmt[I] == '-') {
        Left = true;
        ++I;
      }
      ReadNumber(Width);
    }
    int Prec = -1;
    if (I < N && Fmt[I] == '.') {
      ++I;
      if (!ReadNumber(Prec)) Prec = 0;
    }
    if (I >= N) FormatError(Fmt);
    char T = static_cast<char>(std::tolower(static_cast<unsigned char>(Fmt[I])));
    ++I;
    std::string S;
    const TVarRec& A = NextArg();
    auto IsIntArg =
        A.VKind() == TVarRec::Kind::Int || A.VKind() == TVarRec::Kind::UInt || A.VKind() == TVarRec::Kind::Bool;
    auto FloatArg = [&]() -> long double {
      if (A.VKind() == TVarRec::Kind::Float) return A.AsFloat();
      if (A.VKind() == TVarRec::Kind::Int) return static_cast<long double>(A.AsInt());
      if (A.VKind() == TVarRec::Kind::UInt) return static_cast<long double>(A.AsUInt());
      FormatError(Fmt);
    };
    // Significant digits of %e and %g; decimal places of %f, %n and %m.
    const int SigDigits = Prec < 0 || Prec > MaxDigits ? 15 : std::max(Prec, 1);
    const int Places = Prec < 0 ? 2 : Prec;
    switch (T) {
      case 'd':
      case 'u': {
        if (!IsIntArg) FormatError(Fmt);
        bool Neg = false;
        uint64_t Mag;
        if (A.VKind() == TVarRec::Kind::UInt) {
          Mag = A.AsUInt();
        } else if (T == 'u' && A.AsInt() < 0) {
          int64_t V = A.AsInt();
          Mag = V >= INT32_MIN ? static_cast<uint32_t>(V) : static_cast<uint64_t>(V);
        } else {
          int64_t V = A.AsInt();
          Neg = V < 0;
          Mag = Neg ? static_cast<uint64_t>(0) - static_cast<uint64_t>(V) : static_cast<uint64_t>(V);
        }
        std::string Digits = std::to_string(Mag);
        if (Prec > 0 && static_cast<int>(Digits.size()) < Prec) Digits.insert(0, Prec - Digits.size(), '0');
        S = (Neg ? "-" : "") + Digits;
        break;
      }
      case 'x': {
        if (!IsIntArg) FormatError(Fmt);
        uint64_t U;
        if (A.VKind() == TVarRec::Kind::UInt)
          U = A.AsUInt();
        else {
          int64_t V = A.AsInt();
          U = (V < 0 && V >= INT32_MIN) ? static_cast<uint32_t>(V) : static_cast<uint64_t>(V);
        }
        S = IntToHexBits(U, Prec > 0 ? Prec : 0);
        break;
      }
      case 'e':
        S = ExponentFormText(FloatArg(), SigDigits, 3);
        break;
      case 'f':
        S = FixedFormText(FloatArg(), MaxDigits, Places, false);
        break;
      case 'g':
        S = GeneralText(FloatArg(), SigDigits, 0);
        break;
      case 'n':
        S = FixedFormText(FloatArg(), MaxDigits, Places, true);
        break;
      case 'm':
        S = FloatToStrF(FloatArg(), ffCurrency, MaxDigits, Places);
        break;
      case 's':
        if (A.VKind() == TVarRec::Kind::String || A.VKind() == TVarRec::Kind::Char)
          S = A.AsString();
        else
          FormatError(Fmt);
        if (Prec >= 0) S.resize(Utf8Prefix(S, Prec));
        break;
      case 'p': {
        if (A.VKind() != TVarRec::Kind::Pointer) FormatError(Fmt);
        S = IntToHexBits(reinterpret_cast<uintptr_t>(A.AsPointer()), 16);
        break;
      }
      default:
        FormatError(Fmt);
    }
    // Widths count characters, not bytes, so that Cyrillic texts line up.
    int Len = Utf8Length(S);
    if (Width > Len) {
      if (Left)
        S.append(Width - Len, ' ');
      else
        S.insert(0, Width - Len, ' ');
    }
    R += S;
  }
  return R;
}

// ---------------------------------------------------------------------------------------------
// Strings.

std::string Trim(std::string_view S) { return std::string(TrimView(S)); }

std::string TrimLeft(std::string_view S) {
  size_t B = 0;
  while (B < S.size() && static_cast<unsigned char>(S[B]) <= ' ') ++B;
  return std::string(S.substr(B));
}

std::string TrimRight(std::string_view S) {
  size_t E = S.size();
  while (E > 0 && static_cast<unsigned char>(S[E - 1]) <= ' ') --E;
  return std::string(S.substr(0, E));
}

std::string UpperCase(std::string_view S) {
  std::string R(S);
  for (char& C : R)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 32);
  return R;
}

std::string LowerCase(std::string_view S) {
  std::string R(S);
  for (char& C : R)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C + 32);
  return R;
}

namespace {
QString Q(std::string_view S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }
std::string U(const QString& S) { return S.toUtf8().toStdString(); }
int Sign(int V) { return V < 0 ? -1 : V > 0 ? 1 : 0; }
}  // namespace

std::string AnsiUpperCase(std::string_view S) { return U(Q(S).toUpper()); }
std::string AnsiLowerCase(std::string_view S) { return U(Q(S).toLower()); }

int CompareStr(std::string_view S1, std::string_view S2) { return Sign(S1.compare(S2)); }

int CompareText(std::string_view S1, std::string_view S2) {
  size_t N = std::min(S1.size(), S2.size());
  for (size_t I = 0; I < N; ++I) {
    unsigned char A = static_cast<unsigned char>(S1[I]), B = static_cast<unsigned char>(S2[I]);
    if (A >= 'a' && A <= 'z') A -= 32;
    if (B >= 'a' && B <= 'z') B -= 32;
    if (A != B) return A < B ? -1 : 1;
  }
  return S1.size() < S2.size() ? -1 : S1.size() > S2.size() ? 1 : 0;
}

bool SameText(std::string_view S1, std::string_view S2) { return S1.size() == S2.size() && CompareText(S1, S2) == 0; }

namespace {
bool IsAscii(std::string_view S) {
  for (char C : S)
    if (static_cast<unsigned char>(C) >= 0x80) return false;
  return true;
}
}  // namespace

int AnsiCompareStr(std::string_view S1, std::string_view S2) {
  if (IsAscii(S1) && IsAscii(S2)) return Sign(S1.compare(S2));
  return Sign(Q(S1).compare(Q(S2), Qt::CaseSensitive));
}

int AnsiCompareText(std::string_view S1, std::string_view S2) {
  if (IsAscii(S1) && IsAscii(S2)) {
    // Same order as the Unicode comparison below: letters folded to lower case.
    size_t N = std::min(S1.size(), S2.size());
    for (size_t I = 0; I < N; ++I) {
      unsigned char A = static_cast<unsigned char>(S1[I]), B = static_cast<unsigned char>(S2[I]);
      if (A >= 'A' && A <= 'Z') A += 32;
      if (B >= 'A' && B <= 'Z') B += 32;
      if (A != B) return A < B ? -1 : 1;
    }
    return S1.size() < S2.size() ? -1 : S1.size() > S2.size() ? 1 : 0;
  }
  return Sign(Q(S1).compare(Q(S2), Qt::CaseInsensitive));
}

bool AnsiSameText(std::string_view S1, std::string_view S2) { return AnsiCompareText(S1, S2) == 0; }

bool AnsiStartsText(std::string_view SubText, std::string_view Text) {
  return Q(Text).startsWith(Q(SubText), Qt::CaseInsensitive);
}
bool AnsiEndsText(std::string_view SubText, std::string_view Text) {
  return Q(Text).endsWith(Q(SubText), Qt::CaseInsensitive);
}
bool AnsiStartsStr(std::string_view SubText, std::string_view Text) {
  return Text.substr(0, SubText.size()) == SubText;
}
bool AnsiEndsStr(std::string_view SubText, std::string_view Text) {
  return Text.size() >= SubText.size() && Text.substr(Text.size() - SubText.size()) == SubText;
}
bool AnsiContainsText(std::string_view Text, std::string_view SubText) {
  return Q(Text).contains(Q(SubText), Qt::CaseInsensitive);
}

int Pos(std::string_view Sub, std::string_view S) { return PosEx(Sub, S, 1); }

int PosEx(std::string_view Sub, std::string_view S, int Offset) {
  if (Sub.empty() || Offset < 1 || Offset > static_cast<int>(S.size())) return 0;
  size_t P = S.find(Sub, Offset - 1);
  return P == std::string_view::npos ? 0 : static_cast<int>(P) + 1;
}

std::string Copy(std::string_view S, int Index, int Count) {
  if (Index < 1) Index = 1;
  if (Count <= 0 || Index > static_cast<int>(S.size())) return {};
  return std::string(S.substr(Index - 1, Count));
}

std::string StringOfChar(char Ch, int Count) { return Count > 0 ? std::string(Count, Ch) : std::string(); }

std::string QuotedStr(std::string_view S) { return AnsiQuotedStr(S, '\''); }

std::string AnsiQuotedStr(std::string_view S, char Quote) {
  std::string R(1, Quote);
  for (char C : S) {
    R += C;
    if (C == Quote) R += C;
  }
  R += Quote;
  return R;
}

std::string AnsiDequotedStr(std::string_view S, char Quote) {
  if (S.empty() || S[0] != Quote) return std::string(S);
  std::string R;
  size_t I = 1;
  while (I < S.size()) {
    if (S[I] == Quote) {
      if (I + 1 < S.size() && S[I + 1] == Quote) {
        R += Quote;
        I += 2;
        continue;
      }
      return R;  // closing quote: the rest is dropped
    }
    R += S[I++];
  }
  return std::string(S);  // no closing quote: unchanged
}

int LastDelimiter(std::string_view Delimiters, std::string_view S) {
  size_t P = S.find_last_of(Delimiters);
  return P == std::string_view::npos ? 0 : static_cast<int>(P) + 1;
}

bool IsDelimiter(std::string_view Delimiters, std::string_view S, int Index) {
  if (Index < 1 || Index > static_cast<int>(S.size())) return false;
  return Delimiters.find(S[Index - 1]) != std::string_view::npos;
}

std::string StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern, int Flags) {
  if (OldPattern.empty()) return std::string(S);
  bool All = Flags & rfReplaceAll;
  bool IgnoreCase = Flags & rfIgnoreCase;
  std::string Hay = IgnoreCase ? UpperCase(S) : std::string(S);
  std::string Needle = IgnoreCase ? UpperCase(OldPattern) : std::string(OldPattern);
  std::string R;
  size_t From = 0;
  while (true) {
    size_t P = Hay.find(Needle, From);
    if (P == std::string::npos) break;
    R.append(S.substr(From, P - From));
    R.append(NewPattern);
    From = P + OldPattern.size();
    if (!All) break;
  }
  R.append(S.substr(From));
  return R;
}

// ---------------------------------------------------------------------------------------------
// File names.

namespace {
bool IsPathDelim(char C) { return C == '/' || C == '\\'; }
size_t LastPathDelim(std::string_view S) {
  for (size_t I = S.size(); I > 0; --I)
    if (IsPathDelim(S[I - 1])) return I - 1;
  return std::string_view::npos;
}
fs::path P(std::string_view S) { return fs::path(std::string(S)); }
}  // namespace

std::string ExtractFileName(std::string_view FileName) {
  size_t D = LastPathDelim(FileName);
  return std::string(D == std::string_view::npos ? FileName : FileName.substr(D + 1));
}

std::string ExtractFileExt(std::string_view FileName) {
  std::string Name = ExtractFileName(FileName);
  size_t Dot = Name.rfind('.');
  return Dot == std::string::npos ? std::string() : Name.substr(Dot);
}

std::string ExtractFilePath(std::string_view FileName) {
  size_t D = LastPathDelim(FileName);
  return D == std::string_view::npos ? std::string() : std::string(FileName.substr(0, D + 1));
}

std::string ExtractFileDir(std::string_view FileName) {
  size_t D = LastPathDelim(FileName);
  if (D == std::string_view::npos) return {};
  if (D == 0) return std::string(FileName.substr(0, 1));  // the root stays
  return std::string(FileName.substr(0, D));
}

std::string ChangeFileExt(std::string_view FileName, std::string_view Extension) {
  size_t D = LastPathDelim(FileName);
  size_t Dot = FileName.rfind('.');
  if (Dot == std::string_view::npos || (D != std::string_view::npos && Dot < D))
    return std::string(FileName) + std::string(Extension);
  return std::string(FileName.substr(0, Dot)) + std::string(Extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view S) {
  std::string R(S);
  if (R.empty() || !IsPathDelim(R.back())) R += PathDelim;
  return R;
}

std::string ExcludeTrailingPathDelimiter(std::string_view S) {
  std::string R(S);
  if (R.size() > 1 && IsPathDelim(R.back())) R.pop_back();
  return R;
}

std::string ExpandFileName(std::string_view FileName) {
  if (FileName.empty()) return {};
  std::error_code Ec;
  fs::path Abs = fs::absolute(P(FileName), Ec);
  if (Ec) return std::string(FileName);
  std::string R = Abs.lexically_normal().string();
  return R;
}

bool FileExists(std::string_view FileName) {
  if (FileName.empty()) return false;
  std::error_code Ec;
  return fs::exists(P(FileName), Ec) && !fs::is_directory(P(FileName), Ec);
}

bool DirectoryExists(std::string_view Directory) {
  if (Directory.empty()) return false;
  std::error_code Ec;
  return fs::is_directory(P(Directory), Ec);
}

bool DeleteFile(std::string_view FileName) {
  if (!FileExists(FileName)) return false;
  std::error_code Ec;
  return fs::remove(P(FileName), Ec) && !Ec;
}

bool RenameFile(std::string_view OldName, std::string_view NewName) {
  std::error_code Ec;
  // The toolkit refuses to replace an existing target.
  if (fs::exists(P(NewName), Ec)) return false;
  fs::rename(P(OldName), P(NewName), Ec);
  return !Ec;
}

bool ForceDirectories(std::string_view Dir) {
  if (Dir.empty()) return false;
  std::error_code Ec;
  fs::path D = P(ExcludeTrailingPathDelimiter(Dir));
  if (fs::is_directory(D, Ec)) return true;
  fs::create_directories(D, Ec);
  return !Ec && fs::is_directory(D, Ec);
}

bool CreateDir(std::string_view Dir) {
  std::error_code Ec;
  return fs::create_directory(P(Dir), Ec) && !Ec;
}

bool RemoveDir(std::string_view Dir) {
  std::error_code Ec;
  if (!fs::is_directory(P(Dir), Ec)) return false;
  return fs::remove(P(Dir), Ec) && !Ec;
}

std::string GetCurrentDir() {
  std::error_code Ec;
  return fs::current_path(Ec).string();
}

bool SetCurrentDir(std::string_view Dir) {
  std::error_code Ec;
  fs::current_path(P(Dir), Ec);
  return !Ec;
}

int64_t FileSizeOf(std::string_view FileName) {
  std::error_code Ec;
  auto N = fs::file_size(P(FileName), Ec);
  return Ec ? -1 : static_cast<int64_t>(N);
}

std::string GetEnvironmentVariable(std::string_view Name) {
  const char* V = std::getenv(std::string(Name).c_str());
  return V ? V : "";
}

namespace {
std::vector<std::string> CommandLine() {
  std::vector<std::string> Args;
  std::ifstream In("/proc/self/cmdline", std::ios::binary);
  std::string Arg;
  while (std::getline(In, Arg, '\0')) Args.push_back(Arg);
  return Args;
}
}  // namespace

std::string ParamStr(int Index) {
  if (Index == 0) {
    std::error_code Ec;
    fs::path Exe = fs::read_symlink("/proc/self/exe", Ec);
    if (!Ec) return Exe.string();
  }
  std::vector<std::string> Args = CommandLine();
  if (Index < 0 || Index >= static_cast<int>(Args.size())) return {};
  return Args[Index];
}

int ParamCount() {
  int N = static_cast<int>(CommandLine().size());
  return N > 0 ? N - 1 : 0;
}

std::string SysErrorMessage(int ErrorCode) {
  char Buf[256];
  // GNU strerror_r returns the text (possibly not in Buf).
  const char* Msg = strerror_r(ErrorCode, Buf, sizeof Buf);
  return Msg ? Msg : "";
}

// ---------------------------------------------------------------------------------------------
// Wildcards.

namespace {

bool MatchAt(const std::u32string& N, size_t Ni, const std::u32string& M, size_t Mi) {
  while (Mi < M.size()) {
    char32_t C = M[Mi];
    if (C == U'*') {
      while (Mi < M.size() && M[Mi] == U'*') ++Mi;
      if (Mi == M.size()) return true;
      for (size_t K = Ni; K <= N.size(); ++K)
        if (MatchAt(N, K, M, Mi)) return true;
      return false;
    }
    if (Ni >= N.size()) return false;
    if (C == U'?') {
      ++Ni;
      ++Mi;
      continue;
    }
    if (C == U'[') {
      size_t Close = M.find(U']', Mi + 1);
      if (Close != std::u32string::npos) {
        size_t K = Mi + 1;
        bool Negate = K < Close && M[K] == U'!';
        if (Negate) ++K;
        bool Hit = false;
        while (K < Close) {
          if (K + 2 < Close && M[K + 1] == U'-') {
            if (N[Ni] >= M[K] && N[Ni] <= M[K + 2]) Hit = true;
            K += 3;
          } else {
            if (N[Ni] == M[K]) Hit = true;
            ++K;
          }
        }
        if (Hit == Negate) return false;
        ++Ni;
        Mi = Close + 1;
        continue;
      }
      // No closing bracket: a literal '['.
    }
    if (N[Ni] != C) return false;
    ++Ni;
    ++Mi;
  }
  return Ni == N.size();
}

}  // namespace

bool MatchesMask(std::string_view FileName, std::string_view Mask) {
  std::u32string N = Q(FileName).toCaseFolded().toStdU32String();
  std::u32string M = Q(Mask).toCaseFolded().toStdU32String();
  return MatchAt(N, 0, M, 0);
}

// ---------------------------------------------------------------------------------------------
// Directory search.

namespace {

double FileTimeToDateTime(fs::file_time_type T) {
  auto Sys = std::chrono::file_clock::to_sys(T);
  double Secs = std::chrono::duration<double>(Sys.time_since_epoch()).count();
  return Secs / 86400.0 + 25569.0;  // 1970-01-01 is day 25569
}

bool FillEntry(TSearchRec& F) {
  while (!F.Pending.empty()) {
    std::string Name = F.Pending.front();
    F.Pending.erase(F.Pending.begin());
    fs::path Full = fs::path(F.Dir) / Name;
    std::error_code Ec;
    fs::file_status St = fs::status(Full, Ec);
    if (Ec) continue;
    int Attr = 0;
    if (fs::is_directory(St)) Attr |= faDirectory;
    if (!Name.empty() && Name[0] == '.') Attr |= faHidden;
    if ((St.permissions() & fs::perms::owner_write) == fs::perms::none) Attr |= faReadOnly;
    // Folders and hidden entries only when asked for.
    if ((Attr & (faDirectory | faHidden)) & ~F.Wanted) continue;
    F.Name = Name;
    F.Attr = Attr;
    F.Size = fs::is_regular_file(St) ? static_cast<int64_t>(fs::file_size(Full, Ec)) : 0;
    auto T = fs::last_write_time(Full, Ec);
    F.Time = Ec ? 0 : FileTimeToDateTime(T);
    return true;
  }
  return false;
}

}  // namespace

int FindFirst(std::string_view Path, int Attr, TSearchRec& F) {
  F = TSearchRec();
  std::string Dir = ExtractFilePath(Path);
  std::string Mask = ExtractFileName(Path);
  if (Mask == "*.*") Mask = "*";
  F.Dir = Dir.empty() ? "." : Dir;
  F.Mask = Mask;
  F.Wanted = Attr;
  std::error_code Ec;
  fs::directory_iterator It(F.Dir, Ec), End;
  if (Ec) return ENOENT;
  for (; It != End; It.increment(Ec)) {
    if (Ec) break;
    std::string Name = It->path().filename().string();
    if (MatchesMask(Name, Mask)) F.Pending.push_back(Name);
  }
  std::sort(F.Pending.begin(), F.Pending.end());
  return FillEntry(F) ? 0 : ENOENT;
}

int FindNext(TSearchRec& F) { return FillEntry(F) ? 0 : ENOENT; }

void FindClose(TSearchRec& F) { F.Pending.clear(); }
