// Formatting, parsing, string and file-name helpers of the toolkit's runtime library.
// Numbers always use '.' as decimal separator and ',' as thousands separator, whatever the locale.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/exceptions.h"

constexpr char DecimalSeparator = '.';
constexpr char ThousandSeparator = ',';
constexpr char PathDelim = '/';
constexpr const char* sLineBreak = "\r\n";

// ---------------------------------------------------------------------------------------------
// Format arguments: a small variant (integers, floats, strings, characters, pointers).
class TVarRec {
public:
  enum class Kind { Int, UInt, Float, String, Char, Pointer, Bool };

  TVarRec(int v) : FKind(Kind::Int), FInt(v) {}
  TVarRec(long v) : FKind(Kind::Int), FInt(v) {}
  TVarRec(long long v) : FKind(Kind::Int), FInt(v) {}
  TVarRec(short v) : FKind(Kind::Int), FInt(v) {}
  TVarRec(unsigned v) : FKind(Kind::UInt), FUInt(v) {}
  TVarRec(unsigned long v) : FKind(Kind::UInt), FUInt(v) {}
  TVarRec(unsigned long long v) : FKind(Kind::UInt), FUInt(v) {}
  TVarRec(unsigned short v) : FKind(Kind::UInt), FUInt(v) {}
  TVarRec(unsigned char v) : FKind(Kind::UInt), FUInt(v) {}
  TVarRec(float v) : FKind(Kind::Float), FFloat(v) {}
  TVarRec(double v) : FKind(Kind::Float), FFloat(v) {}
  TVarRec(long double v) : FKind(Kind::Float), FFloat(v) {}
  TVarRec(bool v) : FKind(Kind::Bool), FInt(v ? 1 : 0) {}
  TVarRec(char v) : FKind(Kind::Char), FStr(1, v) {}
  TVarRec(const char* v) : FKind(Kind::String), FStr(v ? v : "") {}
  TVarRec(const std::string& v) : FKind(Kind::String), FStr(v) {}
  TVarRec(std::string_view v) : FKind(Kind::String), FStr(v) {}
  TVarRec(const void* v) : FKind(Kind::Pointer), FPtr(v) {}

  Kind VKind() const { return FKind; }
  int64_t AsInt() const { return FInt; }
  uint64_t AsUInt() const { return FUInt; }
  long double AsFloat() const { return FFloat; }
  const std::string& AsString() const { return FStr; }
  const void* AsPointer() const { return FPtr; }

private:
  Kind FKind;
  union {
    int64_t FInt = 0;
    uint64_t FUInt;
    long double FFloat;
    const void* FPtr;
  };
  std::string FStr;
};

// Pascal-style Format: %d %u %s %x %e %f %g %n %m %p with "%1:", width, '-', precision and '*'.
// Raises EConvertError "Format '%s' invalid or incompatible with argument" on a bad format.
std::string Format(std::string_view Fmt, std::initializer_list<TVarRec> Args = {});
std::string Format(std::string_view Fmt, const std::vector<TVarRec>& Args);

// ---------------------------------------------------------------------------------------------
// Floating-point conversion.
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Section masks "pos;neg;zero" with '0', '#', '.', ',', E+/E-/e+/e-, quoted text.
std::string FormatFloat(std::string_view Mask, long double Value);
// 15 significant digits, general form ("1E20", "1.5E-7", "0.1").
std::string FloatToStr(long double Value);
std::string FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits);

// Accepts surrounding blanks, a sign, '.' and an exponent; anything else raises EConvertError
// "'%s' is not a valid floating point value".
double StrToFloat(std::string_view S);
double StrToFloatDef(std::string_view S, double Default);
bool TryStrToFloat(std::string_view S, double& Value);
bool TryStrToFloat(std::string_view S, long double& Value);
bool TryStrToFloat(std::string_view S, float& Value);

// Pascal Str(X:Width:Decimals). Decimals < 0 gives the exponent form Str(X:Width) uses.
std::string StrWD(long double X, int Width, int Decimals);
// Pascal Str(I:Width): right-justified in Width.
std::string StrW(int64_t I, int Width);

// Rounds halves to even (the toolkit's Round); Trunc goes toward zero.
int64_t Round(long double X);
int64_t Trunc(long double X);
long double Frac(long double X);

// The process's pseudo-random generator (the toolkit's linear congruential one, so a seed gives
// the same sequence every run). Random(Range) is in 0..Range-1; Random() in [0, 1).
extern uint32_t RandSeed;
void Randomize();
int32_t Random(int32_t Range);
double Random();

// ---------------------------------------------------------------------------------------------
// Integer conversion. StrToInt accepts blanks around, a sign, and "$"/"0x" hexadecimal; raises
// EConvertError "'%s' is not a valid integer value".
std::string IntToStr(int64_t Value);
std::string UIntToStr(uint64_t Value);
// Hexadecimal digits (upper case) of the value's own width: IntToHex(-1, 2) of an int is "FFFFFFFF".
std::string IntToHexBits(uint64_t Bits, int Digits);
template <class T>
requires std::is_integral_v<T> std::string IntToHex(T Value, int Digits) {
  if constexpr (sizeof(T) < 8)
    return IntToHexBits(static_cast<uint64_t>(static_cast<std::make_unsigned_t<T>>(Value)), Digits);
  else
    return IntToHexBits(static_cast<uint64_t>(Value), Digits);
}
int32_t StrToInt(std::string_view S);
int32_t StrToIntDef(std::string_view S, int32_t Default);
bool TryStrToInt(std::string_view S, int32_t& Value);
int64_t StrToInt64(std::string_view S);
int64_t StrToInt64Def(std::string_view S, int64_t Default);
bool TryStrToInt64(std::string_view S, int64_t& Value);
std::string BoolToStr(bool B, bool UseBoolStrs = false);
bool StrToBool(std::string_view S);
bool TryStrToBool(std::string_view S, bool& Value);

// ---------------------------------------------------------------------------------------------
// Strings. Positions are 1-based as in the toolkit (Pos returns 0 when absent).
std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);
std::string UpperCase(std::string_view S);  // ASCII letters only
std::string LowerCase(std::string_view S);
std::string AnsiUpperCase(std::string_view S);  // UTF-8, all letters (Cyrillic too)
std::string AnsiLowerCase(std::string_view S);
int CompareStr(std::string_view S1, std::string_view S2);
int CompareText(std::string_view S1, std::string_view S2);  // ASCII case-insensitive
bool SameText(std::string_view S1, std::string_view S2);
int AnsiCompareStr(std::string_view S1, std::string_view S2);
int AnsiCompareText(std::string_view S1, std::string_view S2);  // UTF-8 case-insensitive
bool AnsiSameText(std::string_view S1, std::string_view S2);
bool AnsiStartsText(std::string_view SubText, std::string_view Text);
bool AnsiEndsText(std::string_view SubText, std::string_view Text);
bool AnsiStartsStr(std::string_view SubText, std::string_view Text);
bool AnsiEndsStr(std::string_view SubText, std::string_view Text);
bool AnsiContainsText(std::string_view Text, std::string_view SubText);
int Pos(std::string_view Sub, std::string_view S);
int PosEx(std::string_view Sub, std::string_view S, int Offset = 1);
std::string Copy(std::string_view S, int Index, int Count);
std::string StringOfChar(char Ch, int Count);
std::string QuotedStr(std::string_view S);  // 'it''s'
std::string AnsiQuotedStr(std::string_view S, char Quote);
std::string AnsiDequotedStr(std::string_view S, char Quote);
int LastDelimiter(std::string_view Delimiters, std::string_view S);  // 1-based, 0 if none
bool IsDelimiter(std::string_view Delimiters, std::string_view S, int Index);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
std::string StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern, int Flags);

// ---------------------------------------------------------------------------------------------
// File names. Both '/' and '\\' count as path delimiters when splitting names.
std::string ExtractFileName(std::string_view FileName);
std::string ExtractFileExt(std::string_view FileName);   // with the dot: ".dat"
std::string ExtractFilePath(std::string_view FileName);  // with the trailing delimiter
std::string ExtractFileDir(std::string_view FileName);   // without it
std::string ChangeFileExt(std::string_view FileName, std::string_view Extension);
std::string IncludeTrailingPathDelimiter(std::string_view S);
std::string ExcludeTrailingPathDelimiter(std::string_view S);
std::string ExpandFileName(std::string_view FileName);
bool FileExists(std::string_view FileName);
bool DirectoryExists(std::string_view Directory);
bool DeleteFile(std::string_view FileName);
bool RenameFile(std::string_view OldName, std::string_view NewName);
bool ForceDirectories(std::string_view Dir);
bool CreateDir(std::string_view Dir);
bool RemoveDir(std::string_view Dir);
std::string GetCurrentDir();
bool SetCurrentDir(std::string_view Dir);
int64_t FileSizeOf(std::string_view FileName);  // -1 when the file does not exist
std::string GetEnvironmentVariable(std::string_view Name);
// Program arguments: ParamStr(0) is the executable's full path.
std::string ParamStr(int Index);
int ParamCount();
// The OS's text for an error number (strerror).
std::string SysErrorMessage(int ErrorCode);

// Case-insensitive wildcard match: '*', '?', and sets like "[a-c]" / "[!x]".
bool MatchesMask(std::string_view FileName, std::string_view Mask);

// Directory search.
constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

struct TSearchRec {
  std::string Name;  // the entry's name, no path
  int64_t Size = 0;
  int Attr = 0;
  double Time = 0;                   // last modification as TDateTime
  std::vector<std::string> Pending;  // internal
  std::string Dir;                   // internal
  std::string Mask;                  // internal
  int Wanted = 0;                    // internal
};
// Returns 0 when an entry was found; non-zero otherwise. Path is "dir/mask".
int FindFirst(std::string_view Path, int Attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);
