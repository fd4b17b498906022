#include "mtdata/text_helpers.h"

#include "platform/datetime.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <map>

namespace {

bool IsBlank(char c) { return c == ' '; }

// Position (0-based) of the first blank, or npos.
std::size_t FirstBlank(std::string_view s) { return s.find(' '); }

void ReplaceChar(std::string& s, char from, char to) {
  for (char& c : s)
    if (c == from) c = to;
}

std::map<std::string, std::string, std::less<>>& VersionValues() {
  static std::map<std::string, std::string, std::less<>> values;
  return values;
}

}  // namespace

void SplitFields(std::string_view Text, char Delimiter, TSplitFields& Fields, int& Count) {
  Fields.Fill(std::string());
  Count = 0;
  std::string s;
  CollapseBlanks(Trim(Text), s);
  if (s.size() > 255) s.resize(255);
  if (s.empty()) return;
  std::size_t start = 0;
  for (;;) {
    const std::size_t stop = s.find(Delimiter, start);
    const std::string_view field =
        std::string_view(s).substr(start, stop == std::string::npos ? std::string::npos : stop - start);
    Fields[Count + 1] = Trim(field);  // a 21st field raises the range error
    ++Count;
    if (stop == std::string::npos) break;
    start = stop + 1;
  }
}

void BlanksToZeros(std::string& S) { ReplaceChar(S, ' ', '0'); }

void GetVersionValue(std::string_view Name, std::string& Value) {
  const auto& values = VersionValues();
  const auto it = values.find(Name);
  if (it != values.end()) Value = Trim(it->second);
}

void SetVersionValue(std::string_view Name, std::string_view Value) {
  VersionValues()[std::string(Name)] = std::string(Value);
}

void PadRight(std::string_view Text, int Width, std::string& Result) {
  Result = std::string(Text);
  if (static_cast<int>(Result.size()) < Width) Result.append(Width - Result.size(), ' ');
}

void ValueAfterKey(std::string_view Line, std::string& Value) {
  const std::string t = Trim(Line);
  std::size_t p = t.find(':');
  if (p == std::string::npos) p = t.find('=');
  if (p == std::string::npos) p = t.find(' ');
  Value = p == std::string::npos ? t : Trim(std::string_view(t).substr(p + 1));
}

double ParseFloatLenient(std::string_view Text) {
  std::string s = Trim(Text);
  if (s.empty()) return 0;
  ReplaceChar(s, 'O', '0');
  ReplaceChar(s, '_', '0');
  ReplaceChar(s, ',', '.');
  const std::size_t b = FirstBlank(s);
  if (b != std::string::npos && b > 0) s.resize(b);
  double v = 0;
  if (!TryStrToFloat(s, v) || !std::isfinite(v)) {
    MtLog("Illegal number " + ShortQuote(s));
    return 0;
  }
  return v;
}

int32_t ParseIntLenient(std::string_view Text) {
  std::string s = Trim(Text);
  if (s.empty()) return 0;
  ReplaceChar(s, 'O', '0');
  ReplaceChar(s, '_', '0');
  const std::size_t b = FirstBlank(s);
  if (b != std::string::npos && b > 0) s.resize(b);
  int32_t v = 0;
  if (!TryStrToInt(s, v)) {
    MtLog("Illegal number " + ShortQuote(s));
    return 0;
  }
  return v;
}

double FloatAfterKey(std::string_view Line, std::string_view Key) {
  const std::size_t p = Line.find(Key);
  if (Key.empty() || p == std::string_view::npos) return 0;
  const std::string v = Trim(Line.substr(p + Key.size()));
  std::string s = v.substr(0, std::min(FirstBlank(v), std::size_t{99}));
  ReplaceChar(s, 'O', '0');
  ReplaceChar(s, '_', ' ');
  if (Trim(s).empty()) return 0;
  const double r = StrToFloat(s);
  if (!std::isfinite(r)) throw EConvertError("'" + s + "' is not a valid floating point value");
  return r;
}

void TextAfterKey(std::string_view Line, std::string_view Key, std::string& Value) {
  Value.clear();
  if (Line.empty()) return;
  const std::size_t p = Line.find(Key);
  if (p == std::string_view::npos) return;
  const std::string v = Trim(Line.substr(p + Key.size()));
  if (v.empty()) return;
  if (v[0] == '"') {
    const std::size_t close = v.find('"', 1);
    if (close != std::string::npos) Value = v.substr(0, close);
    return;
  }
  Value = v.substr(0, std::min(FirstBlank(v), std::size_t{99}));
}

void CollapseBlanks(std::string_view Text, std::string& Result) {
  std::string r;
  r.reserve(Text.size());
  for (char c : Text)
    if (!(IsBlank(c) && !r.empty() && IsBlank(r.back()))) r += c;
  Result = std::move(r);
}

bool StartsWithKey(std::string_view Line, std::string_view Key) {
  const std::string u = UpperCase(Trim(Line));
  return Trim(std::string_view(u).substr(0, Key.size())) == UpperCase(Key);
}

void StringToCharArray(std::string_view Text, char* Chars, int High) {
  if (High < 0) return;
  std::fill(Chars, Chars + High + 1, '\0');
  const std::size_t n = std::min(Text.size(), static_cast<std::size_t>(High));
  std::copy_n(Text.data(), n, Chars);
}

void CharArrayToString(const char* Chars, int High, std::string& Text) {
  Text.clear();
  for (int i = 0; i <= High && Chars[i] != '\0'; ++i) Text += Chars[i];
}

int32_t DateToYymmdd(TDateTime Date) {
  uint16_t y = 0, m = 0, d = 0;
  DecodeDate(Date, y, m, d);
  return (y % 100) * 10000 + m * 100 + d;
}

int32_t TimeToHhmmss(TDateTime Time) {
  uint16_t h = 0, n = 0, s = 0, ms = 0;
  DecodeTime(Time, h, n, s, ms);
  return h * 10000 + n * 100 + s;
}

void Cp1251ToCp866(std::string_view Text, std::string& Result) {
  std::string r(Text);
  for (char& c : r) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0xC0 && b <= 0xEF)
      c = static_cast<char>(b - 64);
    else if (b >= 0xF0)
      c = static_cast<char>(b - 16);
  }
  Result = std::move(r);
}

void FloatToFixed(int Width, int Decimals, std::string& Text, double Value) { Text = StrWD(Value, Width, Decimals); }

void FloatToShortExp(int N, std::string& Text, double Value) {
  const std::size_t target = N > 1 ? static_cast<std::size_t>(N - 1) : 1;
  int width = N + 3;
  std::string best;
  for (int attempt = 0; attempt < 4; ++attempt) {
    const std::string s = Trim(StrWD(Value, width, -1));
    const std::size_t e = s.find_first_of("Ee");
    if (e == std::string::npos || e + 1 >= s.size()) {  // no exponent form: keep as it is
      best = s;
      break;
    }
    const std::string mantissa = s.substr(0, e);
    const char sign = s[e + 1];
    std::string digits = s.substr(e + 2);
    const std::size_t nz = digits.find_first_not_of('0');
    digits = nz == std::string::npos ? "0" : digits.substr(nz);
    best = mantissa + 'E' + sign + digits;
    if (best.size() <= target) break;
    width -= static_cast<int>(best.size() - target);
  }
  Text = best;
}

void HexToWord(std::string_view Text, uint16_t& Value, int& Code) {
  Value = 0;
  Code = 0;
  uint32_t v = 0;
  for (char ch : UpperCase(Text)) {
    int digit;
    if (ch >= '0' && ch <= '9')
      digit = ch - '0';
    else if (ch >= 'A' && ch <= 'F')
      digit = ch - 'A' + 10;
    else
      break;
    v = v * 16 + static_cast<uint32_t>(digit);
    if (v > 0xFFFF) RaiseRangeError();
    Value = static_cast<uint16_t>(v);
  }
}

VM_PUBLISH(TCSVStringInfo) {
  P.String("Delimiter", &TCSVStringInfo::Delimiter, &TCSVStringInfo::SetDelimiter);
  P.String("SourceString", &TCSVStringInfo::SourceString, &TCSVStringInfo::SetSourceString);
  P.Strings("FieldList", &TCSVStringInfo::FieldListStrings);
  P.Bool("Error", &TCSVStringInfo::Error, nullptr).Stored(false);
}

TCSVStringInfo::TCSVStringInfo(TComponent* AOwner) : TComponent(AOwner), FFieldList(std::make_unique<TStringList>()) {}

TCSVStringInfo::~TCSVStringInfo() = default;

TStrings* TCSVStringInfo::FieldListStrings() { return FFieldList.get(); }

void TCSVStringInfo::SetSourceString(const std::string& Value) {
  FSourceString = Value;
  FFieldList->Clear();
  if (Value.empty()) {
    FError = true;
    return;
  }
  const std::string& t = FSourceString;
  const bool hasDelim = !FDelimiter.empty();
  const char delim = hasDelim ? FDelimiter[0] : '\0';
  std::size_t pos = 0;  // 0-based
  while (pos < t.size()) {
    if (t[pos] == '"') {
      ++pos;
      std::size_t end = pos;
      while (end < t.size() && !(t[end] == '"' && (end + 1 == t.size() || (hasDelim && t[end + 1] == delim)))) ++end;
      FFieldList->Add(t.substr(pos, end - pos));
      pos = end + 1;
      if (hasDelim && pos < t.size() && t[pos] == delim) ++pos;
    } else {
      std::size_t end = hasDelim ? t.find(delim, pos) : std::string::npos;
      if (end == std::string::npos) end = t.size();
      FFieldList->Add(t.substr(pos, end - pos));
      pos = end + 1;
    }
  }
  FError = false;
}

std::string ShortQuote(std::string_view Text, std::size_t MaxChars) {
  if (Text.size() <= MaxChars) return std::string(Text);
  return std::string(Text.substr(0, MaxChars)) + "...";
}

std::vector<std::string> ReadTextLines(const std::string& FileName, const char* Kind, int64_t MaxBytes,
                                       std::size_t MaxLine, bool* LastLineOpen, bool OpenErrorsAsStream) {
  const auto openError = [&](int Err) -> Exception {
    const std::string text = Format("Cannot open file \"%s\". %s", {FileName, SysErrorMessage(Err)});
    if (OpenErrorsAsStream) throw EFOpenError(text);
    throw EInOutError(text);
  };
  const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) openError(errno);
  struct TCloser {
    int Fd;
    ~TCloser() { ::close(Fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) openError(errno);
  if (S_ISDIR(st.st_mode)) openError(EISDIR);
  const auto tooLarge = [&] {
    return EInOutError(Format("%s is not read: it is larger than any %s file (at most %d MB)",
                              {FileName, Kind, static_cast<int64_t>(MaxBytes >> 20)}));
  };
  if (S_ISREG(st.st_mode) && st.st_size > MaxBytes) throw tooLarge();
  std::string text;
  text.reserve(S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0);
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EInOutError(Format("Read error in file \"%s\". %s", {FileName, SysErrorMessage(errno)}));
    if (n == 0) break;
    if (static_cast<int64_t>(text.size()) + n > MaxBytes) throw tooLarge();
    text.append(buffer, static_cast<std::size_t>(n));
  }
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t stop = text.find('\n', start);
    if (stop == std::string::npos) stop = text.size();
    if (stop - start > MaxLine)
      throw EInOutError(
          Format("%s is not read: line %d is longer than %d characters, which no %s file has",
                 {FileName, static_cast<int64_t>(lines.size()) + 1, static_cast<int64_t>(MaxLine), Kind}));
    std::string line = text.substr(start, stop - start);
    start = stop + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  if (LastLineOpen) *LastLineOpen = !text.empty() && text.back() != '\n';
  return lines;
}
