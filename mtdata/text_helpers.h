// Small routines for the loosely formatted texts of the MT modules: splitting lines, values
// after keys, lenient number parsing, fixed-width character arrays, compact date and time
// numbers, number formatting, hexadecimal digits and the Cyrillic code-page mapping.
#pragma once

#include "mtdata/mt_types.h"
#include "platform/component.h"
#include "platform/types.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include <string_view>

class TStringList;
class TStrings;

using TSplitFields = TStaticArray<std::string, 1, 20>;

// Clears the 20 fields; trims the text, collapses runs of blanks and cuts it to 255
// characters; splits it at every Delimiter (each field trimmed, consecutive delimiters give
// empty fields). An empty text gives no field. More than 20 fields raise ERangeError.
void SplitFields(std::string_view Text, char Delimiter, TSplitFields& Fields, int& Count);

void BlanksToZeros(std::string& S);

// The program's version values ("ProductName", "FileVersion", "ProductVersion", ...). Value is
// left unchanged when the program has no such value.
void GetVersionValue(std::string_view Name, std::string& Value);
// Installs a version value for GetVersionValue (the program does this at start-up).
void SetVersionValue(std::string_view Name, std::string_view Value);

// Text followed by blanks up to Width characters (a longer text is not cut).
void PadRight(std::string_view Text, int Width, std::string& Result);

// The trimmed rest of the trimmed line after its first ':', else '=', else blank (the whole
// trimmed line when it has none of them).
void ValueAfterKey(std::string_view Line, std::string& Value);

// Lenient parsers: 'O' and '_' read as '0' (and ',' as '.' for floats); the text ends at its
// first blank. A text that does not convert is logged as "Illegal number <text>" and gives 0.
double ParseFloatLenient(std::string_view Text);
int32_t ParseIntLenient(std::string_view Text);

// The number after Key in Line (0 when the key is absent or nothing follows); a value that is
// not a number raises EConvertError.
double FloatAfterKey(std::string_view Line, std::string_view Key);
// The word after Key in Line: up to the first blank, or a quoted text with its opening quote
// and without its closing one (empty when the closing quote is missing or the key absent).
void TextAfterKey(std::string_view Line, std::string_view Key, std::string& Value);

void CollapseBlanks(std::string_view Text, std::string& Result);

// True when the trimmed, upper-cased line begins with the upper-cased key.
bool StartsWithKey(std::string_view Line, std::string_view Key);

// Chars[0..High] := #0, then at most High characters of Text (the array always ends with #0).
void StringToCharArray(std::string_view Text, char* Chars, int High);
// The characters up to the first #0, at most High + 1.
void CharArrayToString(const char* Chars, int High, std::string& Text);
template <std::size_t N>
void StringToCharArray(std::string_view Text, std::array<char, N>& Chars) {
  StringToCharArray(Text, Chars.data(), static_cast<int>(N) - 1);
}
template <std::size_t N>
void CharArrayToString(const std::array<char, N>& Chars, std::string& Text) {
  CharArrayToString(Chars.data(), static_cast<int>(N) - 1, Text);
}

// (year mod 100) * 10000 + month * 100 + day.
int32_t DateToYymmdd(TDateTime Date);
// hour * 10000 + minute * 100 + second.
int32_t TimeToHhmmss(TDateTime Time);

// Maps the 64 basic Cyrillic letters of code page 1251 to code page 866, byte by byte.
void Cp1251ToCp866(std::string_view Text, std::string& Result);

// Value in fixed notation, right-aligned in Width, with Decimals decimals.
void FloatToFixed(int Width, int Decimals, std::string& Text, double Value);
// Value in a short exponent form of N - 1 characters, such as "1.2345E+3" for N = 10: the
// exponent loses its leading zeros and the mantissa gives up digits to a longer exponent or a
// minus sign, so the text keeps its width and its value.
void FloatToShortExp(int N, std::string& Text, double Value);

// Hexadecimal digits of Text up to the first other character; Code is always 0. A value above
// 0xFFFF raises ERangeError.
void HexToWord(std::string_view Text, uint16_t& Value, int& Code);

// Splits a delimited line honouring double quotes. A component with the published properties
// Delimiter (its first character delimits), SourceString (writing it splits it), FieldList
// (owned, never replaced) and Error (read-only: True after creation and after splitting an
// empty text, False after a successful split).
class TCSVStringInfo : public TComponent {
  VM_CLASS(TCSVStringInfo, TComponent)
public:
  explicit TCSVStringInfo(TComponent* AOwner = nullptr);
  ~TCSVStringInfo() override;
  TCSVStringInfo(const TCSVStringInfo&) = delete;
  TCSVStringInfo& operator=(const TCSVStringInfo&) = delete;

  const std::string& Delimiter() const { return FDelimiter; }
  void SetDelimiter(const std::string& Value) { FDelimiter = Value; }
  const std::string& SourceString() const { return FSourceString; }
  // Stores the text and splits it into FieldList.
  void SetSourceString(const std::string& Value);
  TStringList& FieldList() { return *FFieldList; }
  const TStringList& FieldList() const { return *FFieldList; }
  bool Error() const { return FError; }
  // FieldList as the published property reads it.
  TStrings* FieldListStrings();

private:
  std::string FDelimiter = ",";
  std::string FSourceString;
  std::unique_ptr<TStringList> FFieldList;
  bool FError = true;
};

// Reads a text file whole and cuts it into lines (LF or CR LF ends; a last line without an end
// counts). Kind names the format in messages ("EDI", "package"). Refused early with EInOutError
// and a short message naming the file: a file that cannot be opened or is a folder (EFOpenError
// instead when OpenErrorsAsStream), one larger than MaxBytes or with a line longer than MaxLine
// characters, which no file of the format holds, and one that cannot be read. LastLineOpen
// tells whether the last line has no line end.
std::vector<std::string> ReadTextLines(const std::string& FileName, const char* Kind, int64_t MaxBytes,
                                       std::size_t MaxLine, bool* LastLineOpen = nullptr,
                                       bool OpenErrorsAsStream = false);

// A text quoted in a message: at most MaxChars characters, a longer one cut with "...".
std::string ShortQuote(std::string_view Text, std::size_t MaxChars = 40);
