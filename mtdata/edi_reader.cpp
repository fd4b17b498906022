#include "mtdata/edi_reader.h"

#include "mtdata/complex_routines.h"
#include "mtdata/coordinates.h"
#include "mtdata/site_file.h"
#include "mtdata/info_block.h"
#include "mtdata/text_helpers.h"
#include "platform/sysutils.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

namespace {

// Section keywords; the position is the code.
enum TEdiKeyword {
  ekNone = 0,
  ekHead = 1,
  ekInfo,
  ekHMeas,
  ekEMeas,
  ekSpectra,
  ekDefineMeas,
  ekSpectraSect,
  ekEnd,
  ekFreq,
  ekZxxR,
  ekZxyR,
  ekZyxR,
  ekZyyR,
  ekZxxI,
  ekZxyI,
  ekZyxI,
  ekZyyI,
  ekZxxVar,
  ekZxyVar,
  ekZyxVar,
  ekZyyVar,
  ekRhoXY,
  ekRhoYX,
  ekPhsXY,
  ekPhsYX,
  ekRhoXYErr,
  ekRhoYXErr,
  ekPhsXYErr,
  ekPhsYXErr,
  ekZRot
};

constexpr std::array<const char*, 30> SectionKeywords{
    "HEAD",    "INFO",  "HMEAS", "EMEAS", "SPECTRA", "=DEFINEMEAS", "=SPECTRASECT", "END",       "FREQ",      "ZXXR",
    "ZXYR",    "ZYXR",  "ZYYR",  "ZXXI",  "ZXYI",    "ZYXI",        "ZYYI",         "ZXX.VAR",   "ZXY.VAR",   "ZYX.VAR",
    "ZYY.VAR", "RHOXY", "RHOYX", "PHSXY", "PHSYX",   "RHOXY.ERR",   "RHOYX.ERR",    "PHSXY.ERR", "PHSYX.ERR", "ZROT"};

int KeywordCode(const std::string& Keyword) {
  for (std::size_t i = 0; i < SectionKeywords.size(); ++i)
    if (Keyword == SectionKeywords[i]) return static_cast<int>(i) + 1;
  return ekNone;
}

// Characters Index..Index+Count-1 (1-based) of S, clipped to the text.
std::string Sub(const std::string& S, int Index, int Count) {
  if (Count <= 0) return {};
  if (Index < 1) {
    Count += Index - 1;
    Index = 1;
  }
  if (Count <= 0 || Index > static_cast<int>(S.size())) return {};
  return S.substr(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

std::string Dequote(std::string S) {
  S = Trim(S);
  if (!S.empty() && S.front() == '"') S.erase(0, 1);
  if (!S.empty() && S.back() == '"') S.pop_back();
  return Trim(S);
}

// Fields of a data or spectra line: blanks collapsed, trimmed, split at blanks.
std::vector<std::string> SplitBlanks(const std::string& Line) {
  std::string collapsed;
  CollapseBlanks(Line, collapsed);
  collapsed = Trim(collapsed);
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (start < collapsed.size()) {
    std::size_t end = collapsed.find(' ', start);
    if (end == std::string::npos) end = collapsed.size();
    if (end > start) fields.push_back(collapsed.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

// Degrees of an EDI coordinate: "dd:mm:ss.ss", optionally signed or followed by a hemisphere.
bool ParseEdiCoordinate(std::string Text, bool IsLongitude, double& Degrees) {
  Text = Dequote(Text);
  if (Text.empty()) return false;
  bool negative = false;
  if (Text.front() == '-' || Text.front() == '+') {
    negative = Text.front() == '-';
    Text.erase(0, 1);
  }
  double lat = 0, lon = 0;
  if (IsLongitude)
    ParseLatLong("", Text, lat, lon);
  else
    ParseLatLong(Text, "", lat, lon);
  Degrees = IsLongitude ? lon : lat;
  if (negative) Degrees = -Degrees;
  return true;
}

// Slot of a channel type of a measurement definition; 0 when unknown.
int SlotOfChannelType(const std::string& Type) {
  static const std::map<std::string, int> slots{{"EX", 1}, {"EY", 2}, {"HX", 3}, {"HY", 4},
                                                {"HZ", 5}, {"RX", 6}, {"RY", 7}};
  auto it = slots.find(Type);
  return it == slots.end() ? 0 : it->second;
}

class TEdiLoader {
public:
  TEdiLoader(TEdiFileObject& AEdi, std::vector<std::string>& ALines, bool ALastLineOpen)
      : E(AEdi), Lines(ALines), LastLineOpen(ALastLineOpen) {}

  void Run();
  int LineNumber() const { return static_cast<int>(Cur) + 1; }

private:
  bool IsKeywordLine(std::size_t i) const;
  std::string KeywordOf(std::size_t i) const;
  // Index of the next keyword line after i (or the number of lines).
  std::size_t NextKeyword(std::size_t i) const;

  // True (with its log line) for a line of a data or spectra section that holds no numbers but
  // text, as some writers put comments there: it is skipped, not read as values.
  bool SkipCommentLine(std::size_t i);

  void ReadHead();
  void ReadInfo();
  void ReadMeas();
  void ReadSpectraSect();
  void ReadSpectra();
  void SkipSpectra(std::size_t Head, double Freq, const std::string& Why);
  void ReadDataBlock(int Code);
  void Finish();
  void ConvertCoordinates();
  void StoreInfoHalf(int Line, const std::string& Text);
  // Slots of the columns of a spectra block of N channels.
  std::array<int, 8> SpectraSlots(int N) const;

  TEdiFileObject& E;
  std::vector<std::string>& Lines;
  bool LastLineOpen = false;  // the file's last line has no line end (the file may be cut)
  std::size_t Cur = 0;        // line being read

  std::string LatText, LongText;
  bool CoordinatesRead = false;
  int ValueCount = 0;                                         // values of the last data block, or NFREQ after it
  std::vector<std::pair<std::string, std::string>> MeasDefs;  // channel ID, type
  std::vector<std::string> SpectraIds;                        // channel IDs of the blocks
  std::map<std::string, bool> SkippedKeywords;
};

bool TEdiLoader::IsKeywordLine(std::size_t i) const {
  const std::string& s = Lines[i];
  std::size_t p = s.find_first_not_of(' ');
  return p != std::string::npos && s[p] == '>';
}

std::string TEdiLoader::KeywordOf(std::size_t i) const {
  std::string s = TrimLeft(Lines[i]);
  s.erase(0, 1);  // the '>'
  std::size_t blank = s.find(' ');
  std::string kw = Trim(blank == std::string::npos ? s : s.substr(0, blank));
  // ">FREQ//40" writes the count without a blank.
  std::size_t slash = kw.find("//");
  if (slash != std::string::npos && slash > 0) kw = kw.substr(0, slash);
  return UpperCase(kw);
}

std::size_t TEdiLoader::NextKeyword(std::size_t i) const {
  ++i;
  while (i < Lines.size() && !IsKeywordLine(i)) ++i;
  return i;
}

void TEdiLoader::Run() {
  std::size_t i = 0;
  while (i < Lines.size() && !IsKeywordLine(i)) ++i;
  while (i < Lines.size()) {
    Cur = i;
    std::string kw = KeywordOf(i);
    int code = KeywordCode(kw);
    if (code == ekNone && kw.size() > 4 && kw.compare(kw.size() - 4, 4, ".EXP") == 0)
      code = KeywordCode(kw.substr(0, kw.size() - 4));
    if (code == ekEnd) break;
    if (i + 1 >= Lines.size()) {
      // A keyword line that ends the file is not acted on.
      if (code == ekSpectra)
        MtLog("EDI spectra block at line " + IntToStr(static_cast<int>(i) + 1) + " of " + E.FileName +
              " ends with the file: skipped");
      break;
    }
    switch (code) {
      case ekHead:
        ReadHead();
        break;
      case ekInfo:
        ReadInfo();
        break;
      case ekHMeas:
      case ekEMeas:
        ReadMeas();
        break;
      case ekSpectraSect:
        ReadSpectraSect();
        break;
      case ekSpectra:
        ReadSpectra();
        break;
      case ekDefineMeas:
        break;
      case ekNone:
        if (!kw.empty() && kw[0] != '!' && kw[0] != '/' && kw != "=MTSECT" && !SkippedKeywords[kw]) {
          SkippedKeywords[kw] = true;
          MtLog("EDI section >" + kw + " skipped");
        }
        break;
      default:
        ReadDataBlock(code);
        break;
    }
    i = NextKeyword(i);
  }
  Cur = Lines.empty() ? 0 : Lines.size() - 1;
  Finish();
}

bool TEdiLoader::SkipCommentLine(std::size_t i) {
  const std::string text = Trim(Lines[i]);
  if (text.empty()) return false;
  const char c = text[0];
  // A data line begins with a number: a digit, a sign or a point. A word (a letter or any other
  // mark) begins a comment, unless the lenient reading of values takes it as a number.
  if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == ',') return false;
  double v = 0;
  std::string first = text.substr(0, text.find(' '));
  for (char& ch : first) {
    if (ch == 'O' || ch == '_') ch = '0';
    if (ch == ',') ch = '.';
  }
  if (TryStrToFloat(first, v)) return false;
  MtLog("EDI file " + E.FileName + ", line " + IntToStr(static_cast<int>(i) + 1) + ": '" + ShortQuote(text) +
        "' is no line of numbers: skipped");
  return true;
}

void TEdiLoader::ReadHead() {
  std::size_t end = NextKeyword(Cur);
  for (std::size_t i = Cur + 1; i < end; ++i) {
    Cur = i;
    const std::string& line = Lines[i];
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = UpperCase(Trim(line.substr(0, eq)));
    std::string value = TrimRight(line.substr(eq + 1));
    if (key == "DATAID") {
      std::string v = Sub(value, 1, 100);
      int n = static_cast<int>(v.size());
      E.Header.JobPrefix = Sub(v, 2, 3);
      E.Header.LabelSource = 100;
      std::string digits;
      for (char c : Sub(v, n - 4, 4))
        if (c >= '0' && c <= '9') digits += c;
      int number = digits.empty() ? 0 : std::stoi(digits);
      E.Header.Point.PointNumber = number;
      E.Header.RunNumber = static_cast<int16_t>(number);
      E.Header.Point.SiteDesc = Sub(v, n - 4, 3);
      E.Header.LabelKind = 2;
      E.Header.IntervalValue = 0.000390625;
      std::string letter = UpperCase(Sub(v, n - 1, 1));
      E.Header.RunLetter = (!letter.empty() && letter[0] >= 'A' && letter[0] <= 'Z') ? letter[0] - 'A' + 1 : 0;
    } else if (key == "LAT" || key == "LONG") {
      std::string text;
      TextAfterKey(line, key == "LAT" ? "LAT=" : "LONG=", text);
      text = Dequote(text);
      if (key == "LAT") {
        LatText = text;
        E.Header.Point.Latitude = text;
      } else {
        LongText = text;
        E.Header.Point.Longitude = text;
      }
      CoordinatesRead = true;
    } else if (key == "ELEV") {
      double elev = FloatAfterKey(line, "ELEV=");
      E.Header.Point.Elevation = elev;
      E.Header.Point.Altitude = elev;
    } else if (key == "PROSPECT") {
      E.Header.Survey.Project = Dequote(value);
    } else if (key == "LOC") {
      E.Header.Location = Dequote(value);
    }
  }
  // Coordinates are converted whatever the order of LAT, LONG and ELEV in the section.
  if (CoordinatesRead) ConvertCoordinates();
}

void TEdiLoader::ConvertCoordinates() {
  double deg = 0;
  if (ParseEdiCoordinate(LatText, false, deg)) E.Header.Point.LatInDeg = deg;
  if (ParseEdiCoordinate(LongText, true, deg)) E.Header.Point.LongInDeg = deg;
}

void TEdiLoader::StoreInfoHalf(int Line, const std::string& Text) {
  TInfoLine& target = E.InfoLines[Line];
  std::size_t n = std::min<std::size_t>(Text.size(), InfoLineLength);  // longer text is cut
  for (std::size_t k = 0; k < n; ++k) target[k] = Text[k];
}

void TEdiLoader::ReadInfo() {
  const std::size_t head = Cur;
  std::size_t end = NextKeyword(Cur);
  MtLog(Lines[head]);
  // The line after the keyword line is not part of the block; then rows 1.. hold two
  // columns, split at character 40.
  for (std::size_t i = head + 1; i < end; ++i) {
    Cur = i;
    MtLog(Lines[i]);
    int r = static_cast<int>(i - head) - 1;
    if (r < 1 || r > 30) continue;
    StoreInfoHalf(r, Trim(Sub(Lines[i], 1, 39)));
    if (r <= 25) StoreInfoHalf(30 + r, Trim(Sub(Lines[i], 40, 39)));
  }
  if (end < Lines.size()) MtLog(Lines[end]);
  try {
    ParseInfoBlock(E.InfoLines, E.Header, E.RobustParams);
  } catch (const Exception& e) {
    MtLog("Information block of " + E.FileName + " not fully read: " + e.Message());
  }
}

void TEdiLoader::ReadMeas() {
  const std::string& line = Lines[Cur];
  std::string type, id;
  TextAfterKey(line, "CHTYPE=", type);
  type = UpperCase(Dequote(type));
  if (Pos("ID=", line) > 0) {
    TextAfterKey(line, "ID=", id);
    id = Dequote(id);
  }
  if (type == "HX" || type == "HY") {
    // The first definition of a type is the local channel; a repeated one is remote.
    bool seen = false;
    for (const auto& d : MeasDefs)
      if (d.second == type) seen = true;
    if (!seen) E.Header.ChannelAzimuth[type == "HX" ? 3 : 4] = static_cast<float>(FloatAfterKey(line, "AZM="));
  }
  E.Header.ChannelAzimuth[1] = E.Header.ChannelAzimuth[3];
  E.Header.ChannelAzimuth[2] = E.Header.ChannelAzimuth[4];
  if (!id.empty()) MeasDefs.emplace_back(id, type);
}

void TEdiLoader::ReadSpectraSect() {
  const std::size_t head = Cur;
  std::size_t end = NextKeyword(Cur);
  SpectraIds.clear();
  bool nchanGiven = false;
  for (std::size_t i = Cur + 1; i < end; ++i) {
    Cur = i;
    const std::string& line = Lines[i];
    std::string value;
    if (StartsWithKey(line, "NCHAN=")) {
      ValueAfterKey(line, value);
      E.Header.ChannelTotal = static_cast<int16_t>(ParseIntLenient(value));
      nchanGiven = true;
    } else if (StartsWithKey(line, "NFREQ=")) {
      ValueAfterKey(line, value);
      ValueCount = ParseIntLenient(value);
    } else {
      std::string t = Trim(line);
      if (t.empty() || t.find('=') != std::string::npos || t.rfind("//", 0) == 0) continue;
      for (const std::string& id : SplitBlanks(t)) SpectraIds.push_back(Dequote(id));
    }
  }
  // The channels of the blocks are told twice, by their count and by their IDs; where the two
  // disagree, or the IDs are missing, the blocks may be read in another order than written.
  const std::string where = "EDI file " + E.FileName + ", line " + IntToStr(static_cast<int>(head) + 1) + ": ";
  const int n = E.Header.ChannelTotal;
  if (nchanGiven && SpectraIds.empty())
    MtLog(where + "the spectra section lists no channel IDs: its " + IntToStr(n) +
          " channels are taken in the order Hx, Hy, Hz, Ex, Ey, Rx, Ry");
  else if (nchanGiven && static_cast<int>(SpectraIds.size()) != n)
    MtLog(where + "NCHAN=" + IntToStr(n) + " contradicts the " + IntToStr(static_cast<int>(SpectraIds.size())) +
          " channel IDs the spectra section lists");
}

std::array<int, 8> TEdiLoader::SpectraSlots(int N) const {
  std::array<int, 8> slots{};
  for (int c = 1; c <= N; ++c) slots[c] = EdiChannelOrder[c];
  if (static_cast<int>(SpectraIds.size()) < N || MeasDefs.empty()) return slots;
  std::array<int, 8> byId{};
  std::array<bool, 8> used{};
  for (int c = 1; c <= N; ++c) {
    const std::string& id = SpectraIds[static_cast<std::size_t>(c - 1)];
    // The k-th column with an ID takes the k-th definition of it (or its last one).
    int k = 0;
    for (int j = 1; j < c; ++j)
      if (SpectraIds[static_cast<std::size_t>(j - 1)] == id) ++k;
    std::string type;
    int found = 0;
    for (const auto& d : MeasDefs)
      if (d.first == id) {
        type = d.second;
        if (found++ == k) break;
      }
    int slot = SlotOfChannelType(type);
    if (slot == 0) return slots;
    if (used[static_cast<std::size_t>(slot)]) {
      // A channel named again (such as a remote channel with the local one's ID) is remote.
      if (slot == 3 || slot == 6)
        slot = 6;
      else if (slot == 4 || slot == 7)
        slot = 7;
      else
        return slots;
      if (used[static_cast<std::size_t>(slot)]) return slots;
    }
    used[static_cast<std::size_t>(slot)] = true;
    byId[static_cast<std::size_t>(c)] = slot;
  }
  return byId;
}

// The shape of a number as written: digits after the decimal point and digits of its exponent
// (-1 without an exponent).
struct TNumberShape {
  int Decimals = 0;
  int ExponentDigits = -1;
};

TNumberShape ShapeOf(const std::string& Text) {
  TNumberShape shape;
  std::size_t i = Text.find_first_of(".,");
  if (i != std::string::npos)
    for (++i; i < Text.size() && std::isdigit(static_cast<unsigned char>(Text[i])); ++i) ++shape.Decimals;
  std::size_t e = Text.find_first_of("EeDd");
  if (e != std::string::npos) {
    shape.ExponentDigits = 0;
    std::size_t k = e + 1;
    if (k < Text.size() && (Text[k] == '+' || Text[k] == '-')) ++k;
    for (; k < Text.size() && std::isdigit(static_cast<unsigned char>(Text[k])); ++k) ++shape.ExponentDigits;
  }
  return shape;
}

// A spectra value read strictly: the lenient spellings of data values are taken, anything else
// that is not a whole finite number is not.
bool ReadSpectraValue(const std::string& Text, double& Value) {
  std::string s = Text;
  for (char& c : s) {
    if (c == 'O' || c == '_')
      c = '0';
    else if (c == ',')
      c = '.';
    else if (c == 'D' || c == 'd')
      c = 'E';
  }
  return TryStrToFloat(s, Value) && std::isfinite(Value);
}

std::string FrequencyText(double F) {
  char text[32];
  std::snprintf(text, sizeof text, "%g Hz", F);
  return text;
}

void TEdiLoader::SkipSpectra(std::size_t Head, double Freq, const std::string& Why) {
  MtLog("EDI spectra block at line " + IntToStr(static_cast<int>(Head) + 1) + " of " + E.FileName + " (frequency " +
        FrequencyText(Freq) + ") " + Why + ": skipped");
}

void TEdiLoader::ReadSpectra() {
  const std::size_t head = Cur;
  const std::string headLine = Lines[head];
  std::size_t end = NextKeyword(Cur);
  if (E.SpectraCount >= MaxFreq) throw ERangeError("more than " + IntToStr(MaxFreq) + " spectra blocks");
  float f = static_cast<float>(FloatAfterKey(headLine, "FREQ="));
  double avgt = FloatAfterKey(headLine, "AVGT=");
  double count = FloatAfterKey(headLine, "// ");
  (void)count;
  if (!(std::fabs(f) < EdiEmptyLimit)) {
    SkipSpectra(head, f, "marks a gap with the empty frequency");
    return;
  }

  // The values of the block in order, with their lines; and its layout line by line.
  struct TValue {
    std::string Text;
    std::size_t Line;
  };
  std::vector<TValue> values;
  std::vector<int> widths;
  std::size_t tooManyRows = 0, tooWide = 0;  // first offending line (0 none)
  for (std::size_t i = head + 1; i < end; ++i) {
    std::vector<std::string> fields = SplitBlanks(Lines[i]);
    if (fields.empty() || SkipCommentLine(i)) continue;
    widths.push_back(static_cast<int>(fields.size()));
    if (widths.size() > static_cast<std::size_t>(MaxChannel) && tooManyRows == 0) tooManyRows = i;
    if (fields.size() > static_cast<std::size_t>(MaxChannel) && tooWide == 0) tooWide = i;
    for (std::string& field : fields) values.push_back({std::move(field), i});
  }
  const int rows = static_cast<int>(widths.size());
  const int width = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
  const int total = static_cast<int>(values.size());
  const bool endsWithFile = end >= Lines.size();
  const int channels = (E.Header.ChannelTotal >= 1 && E.Header.ChannelTotal <= MaxChannel) ? E.Header.ChannelTotal : 0;
  // One matrix row per line, as many rows as columns.
  bool lineSquare = rows >= 1 && rows <= MaxChannel;
  for (int w : widths) lineSquare = lineSquare && w == rows;
  int squareRoot = 0;
  for (int k = 1; k <= MaxChannel; ++k)
    if (k * k == total) squareRoot = k;

  // n channels; the values either in order across lines (wrapped freely) or row by line.
  int n = 0;
  bool inOrder = false;
  if (channels > 0 && total == channels * channels) {
    n = channels;
    inOrder = true;
  } else if (lineSquare) {
    n = rows;
  } else if (channels == 0 && squareRoot >= 2) {
    n = squareRoot;
    inOrder = true;
  } else if (channels == 0 && tooManyRows == 0 && tooWide == 0) {
    n = std::max(rows, width);  // a partial block without a channel count is read as it stands
  } else if (channels == 0) {
    Cur = tooManyRows != 0 && (tooWide == 0 || tooManyRows < tooWide) ? tooManyRows : tooWide;
    if (Cur == tooManyRows) throw ERangeError("more than 7 rows in a spectra block");
    throw ERangeError("more than 7 values in a spectra row");
  }
  const int expected = channels > 0 ? channels * channels : n * n;
  const std::string holds = total == 0
                                ? std::string("holds no values")
                                : "holds " + IntToStr(total) + " values where " + IntToStr(expected) + " were expected";
  if (endsWithFile && (channels > 0 ? total < expected : !inOrder && (rows < n || total < expected))) {
    SkipSpectra(head, f, "ends with the file");
    return;
  }
  if (n == 0 || (channels == 0 && !inOrder && rows == n && total < expected)) {
    SkipSpectra(head, f, holds);
    return;
  }

  // Every value must be a whole number. A number cut by a damaged copy is told by its shape:
  // an exponent shorter than every other of the block, or, where the file ends without a line
  // end, a last value shorter than all the others.
  double w[8][8] = {};
  int minExponent = 99, secondExponent = 99, minDecimals = 99, secondDecimals = 99;
  int withExponent = 0;
  std::vector<TNumberShape> shapes;
  shapes.reserve(values.size());
  for (const TValue& v : values) {
    TNumberShape s = ShapeOf(v.Text);
    shapes.push_back(s);
    if (s.ExponentDigits >= 0) {
      ++withExponent;
      if (s.ExponentDigits < minExponent) {
        secondExponent = minExponent;
        minExponent = s.ExponentDigits;
      } else if (s.ExponentDigits < secondExponent) {
        secondExponent = s.ExponentDigits;
      }
    }
    if (s.Decimals < minDecimals) {
      secondDecimals = minDecimals;
      minDecimals = s.Decimals;
    } else if (s.Decimals < secondDecimals) {
      secondDecimals = s.Decimals;
    }
  }
  for (std::size_t k = 0; k < values.size(); ++k) {
    const TValue& v = values[k];
    const TNumberShape& s = shapes[k];
    double x = 0;
    bool whole = ReadSpectraValue(v.Text, x);
    if (whole && s.ExponentDigits >= 0) {
      const int others = s.ExponentDigits == minExponent ? secondExponent : minExponent;
      if (others != 99 && s.ExponentDigits < others) whole = false;
    }
    if (whole && k + 1 == values.size() && endsWithFile && LastLineOpen && v.Line + 1 == Lines.size() &&
        values.size() > 1) {
      const int othersWithExponent = withExponent - (s.ExponentDigits >= 0 ? 1 : 0);
      const int otherDecimals = s.Decimals == minDecimals ? secondDecimals : minDecimals;
      if ((s.ExponentDigits < 0 && othersWithExponent == total - 1) || s.Decimals < otherDecimals) whole = false;
    }
    if (!whole) {
      SkipSpectra(
          head, f,
          "has the value '" + v.Text + "' at line " + IntToStr(static_cast<int>(v.Line) + 1) + ", cut or not a number");
      return;
    }
    if (inOrder) {
      w[k / static_cast<std::size_t>(n) + 1][k % static_cast<std::size_t>(n) + 1] = x;
    }
  }
  if (!inOrder) {
    std::size_t k = 0;
    for (int r = 1; r <= rows; ++r)
      for (int c = 1; c <= widths[static_cast<std::size_t>(r - 1)]; ++c) {
        double x = 0;
        ReadSpectraValue(values[k++].Text, x);
        w[r][c] = x;
      }
  }
  Cur = head;
  if (!(f > 0)) {
    MtLog("EDI spectra block at line " + IntToStr(static_cast<int>(head) + 1) + " of " + E.FileName +
          " has no frequency: skipped");
    return;
  }

  int k = ++E.SpectraCount;
  E.SpectraChannels = std::max(E.SpectraChannels, n);
  E.Plots[k][pcfhz] = f;
  E.Plots[k][pcLog10FrqHz] = std::log10(static_cast<double>(f));
  E.AvgT[k] = avgt;

  std::array<int, 8> slot = SpectraSlots(n);
  TMatrix7& m = E.XprMatrices[k][1];
  for (int r = 1; r <= n; ++r) {
    m[slot[r]][slot[r]] = w[r][r];
    for (int c = 1; c < r; ++c) {
      // Row r, column c (c < r) holds the real part of S(r, c); row c, column r its
      // imaginary part.
      double re = w[r][c];
      double im = w[c][r];
      int a = slot[r], b = slot[c];
      if (a < b) {
        m[a][b] = re;
        m[b][a] = im;
      } else {
        m[b][a] = re;
        m[a][b] = -im;
      }
    }
  }
}

void TEdiLoader::ReadDataBlock(int Code) {
  std::size_t end = NextKeyword(Cur);
  int k = 0;
  for (std::size_t i = Cur + 1; i < end; ++i) {
    Cur = i;
    if (SkipCommentLine(i)) continue;
    for (const std::string& field : SplitBlanks(Lines[i])) {
      if (++k > MaxFreq) throw ERangeError("more than " + IntToStr(MaxFreq) + " values in a data block");
      double v = ParseFloatLenient(field);
      TRezZRow& row = E.ImpedanceTable.Rows[k];
      switch (Code) {
        case ekFreq:
          E.Plots[k][pcfhz] = v;
          E.Plots[k][pcLog10FrqHz] = v > 0 ? std::log10(v) : 0;
          row.Spare[1] = static_cast<float>(v);
          row.Period = v > 0 ? static_cast<float>(1 / v) : 0;
          break;
        case ekZxxR:
        case ekZxyR:
        case ekZyxR:
        case ekZyyR: {
          int c = Code - ekZxxR + 1;
          E.Plots[k][pcZxxReRot + 2 * (c - 1)] = v;
          row.Complex[3][c].Re = static_cast<float>(v);
          break;
        }
        case ekZxxI:
        case ekZxyI:
        case ekZyxI:
        case ekZyyI: {
          int c = Code - ekZxxI + 1;
          E.Plots[k][pcZxxImRot + 2 * (c - 1)] = v;
          row.Complex[3][c].Im = static_cast<float>(v);
          break;
        }
        case ekZxxVar:
        case ekZxyVar:
        case ekZyxVar:
        case ekZyyVar: {
          int c = Code - ekZxxVar + 1;
          E.Plots[k][pcZxxVARRot + c - 1] = v;
          row.AmplitudeError[3][c] = v > 0 ? static_cast<float>(std::sqrt(v)) : 0.0f;
          break;
        }
        case ekRhoXY:
        case ekRhoYX:
          E.Plots[k][pcRhoxyOhmm + Code - ekRhoXY] = v;
          row.Amplitude[3][6 + Code - ekRhoXY] = static_cast<float>(v);
          break;
        case ekPhsXY:
        case ekPhsYX:
          E.Plots[k][pcPHASExyDeg + Code - ekPhsXY] = v;
          row.Phase[3][6 + Code - ekPhsXY] = static_cast<float>(v);
          break;
        case ekZRot:
          row.Spare[2] = static_cast<float>(v);
          break;
        default:  // the error blocks: read and not kept
          break;
      }
    }
  }
  ValueCount = k;
}

void TEdiLoader::Finish() {
  // The impedance variance blocks hold var(Z); the parameter columns keep var(log10 |Z|).
  for (int k = 1; E.Plots.Assigned() && k <= std::min(ValueCount, MaxFreq); ++k)
    for (int c = 1; c <= 4; ++c)
      E.Plots[k][pcZxxVARRot + c - 1] = LogVarianceOfImpedanceVariance(
          E.Plots[k][pcZxxVARRot + c - 1], E.Plots[k][pcZxxReRot + 2 * (c - 1)], E.Plots[k][pcZxxImRot + 2 * (c - 1)]);
  TRezZTable& t = E.ImpedanceTable;
  if (E.SpectraCount > 0) {
    for (int n = 1; n <= E.SpectraCount; ++n) E.Frequencies[n] = E.Plots[n][pcfhz];
    t.RowCount = static_cast<int16_t>(E.SpectraCount);
  } else if (ValueCount > 0) {
    t.RowCount = static_cast<int16_t>(std::min(ValueCount, MaxFreq));
  }
  t.FirstRow = 1;
  t.LastRow = t.RowCount;
  for (int k = 1; k <= t.RowCount; ++k) {
    TRezZRow& row = t.Rows[k];
    try {
      ComplexMulSub(row.Complex[3][1], row.Complex[3][4], row.Complex[3][2], row.Complex[3][3], row.Complex[3][5]);
    } catch (const Exception&) {
      row.Complex[3][5] = TSingleComplex{};
    }
    for (int c = 1; c <= 5; ++c) {
      const TSingleComplex& z = row.Complex[3][c];
      row.Amplitude[3][c] = ComplexAbs(z);
      row.Phase[3][c] = ComplexArgDeg(z);
      if (z.Re != 0) {
        // Standard deviation of the phase from the relative error of the modulus.
        float a = row.Amplitude[3][c];
        float e = row.AmplitudeError[3][c];
        double ratio = a > 0 ? std::min(1.0, static_cast<double>(e) / a) : 0.0;
        row.PhaseError[3][c] = static_cast<float>(std::asin(ratio) * 180.0 / 3.141592653589793);
      }
    }
    row.Amplitude[3][5] = std::sqrt(row.Amplitude[3][5]);
    row.Phase[3][5] = row.Phase[3][5] / 2;
  }
}

}  // namespace

TEdiFileObject::TEdiFileObject() { ClearVariables(); }

void TEdiFileObject::ClearVariables() {
  XprMatrices.Allocate();
  Plots.Allocate();
  for (int f = 1; f <= MaxFreq; ++f)
    for (int p = 1; p <= MaxParam; ++p) Plots[f][p] = 0;
}

void TEdiFileObject::LoadFromFile(const std::string& AFileName) {
  FileName = AFileName;
  ClearImpedanceTable(ImpedanceTable);
  ClearRobustParams(RobustParams);
  ClearTapeLabel(Header);
  Header.FullPath = AFileName;
  Header.FileName = ExtractFileName(AFileName);

  bool lastLineOpen = false;
  std::vector<std::string> lines = ReadTextLines(AFileName, "EDI", EdiMaxFileSize, EdiMaxLineLength, &lastLineOpen);
  for (std::string& line : lines)
    for (char& c : line)
      if (c == '\t' || c == '\0') c = ' ';

  TEdiLoader loader(*this, lines, lastLineOpen);
  try {
    loader.Run();
  } catch (Exception& e) {
    e.SetMessage("EDI file " + AFileName + ", line " + IntToStr(loader.LineNumber()) + ": " +
                 ShortQuote(e.Message(), 160));
    throw;
  }
}

int ProcessingToFileReference(int ProcessingType) {
  switch (ProcessingType) {
    case prtLocalE:
      return frtLocalE;
    case prtLocalH:
      return frtLocalH;
    case prtRemoteE:
      return frtRemoteE;
    case prtRemoteH:
      return frtRemoteH;
    default:
      return 0;
  }
}

void AssignEdi(TMTFile& Site, const TEdiFileObject& Edi) {
  Site.Header = Edi.Header;
  Site.RobustParams = Edi.RobustParams;
  Site.InfoLines = Edi.InfoLines;

  const int n = Edi.ImpedanceTable.RowCount;
  bool hasRemote = false, hasHz = false;
  for (int f = 1; f <= Edi.SpectraCount; ++f) {
    const TMatrix7& m = Edi.XprMatrices[f][1];
    if (m[6][6] != 0 && m[7][7] != 0) hasRemote = true;
    if (m[5][5] != 0) hasHz = true;
  }

  // The image counts references 1 LE, 2 LH, 3 RE, 4 RH; the site 1 LE, 2 RE, 3 LH, 4 RH.
  int ref = ProcessingToFileReference(Edi.RobustParams.ReferenceType);
  if (ref == 0) {
    // The writer's own results of such files use the remote channels when there are any.
    if (hasRemote) {
      ref = frtRemoteH;
      MtLog(Edi.FileName +
            ": no reference named in >INFO; the spectra carry remote magnetic "
            "channels, remote H reference used");
    } else {
      ref = frtLocalE;
      MtLog(Edi.FileName + ": no reference named in >INFO, local E reference used");
    }
  } else if ((ref == frtRemoteE || ref == frtRemoteH) && !hasRemote && Edi.SpectraCount > 0) {
    MtLog(Edi.FileName + ": no remote channels in the spectra, local E reference used");
    ref = frtLocalE;
  }
  Site.ReferenceType = static_cast<int16_t>(ref);
  Site.CurrentReference = static_cast<int16_t>(ref);
  Site.DisplayReference = static_cast<int16_t>(ReferenceToDisplayIndex(ref));
  Site.ReferenceCount = 1;
  Site.BuildReferenceList();
  Site.ReferenceTypes[1] = ref;

  Site.FreqCount = n;
  Site.ValidFreqCount = n;
  Site.FromFreq = 1;
  Site.ToFreq = n;
  Site.XprRecordCount = 1;

  // Slots are the identity order; a file without a vertical magnetic channel has none.
  static const char* const names[] = {"Ex", "Ey", "Hx", "Hy", "Hz", "Rx", "Ry"};
  for (int c = 1; c <= MaxChannel; ++c) {
    Site.ChannelOrder[c] = static_cast<int16_t>(c);
    Site.StoredChannelOrder[c] = static_cast<int16_t>(c);
    TChannelName name{};
    for (int k = 0; k < 2; ++k) name[static_cast<std::size_t>(k)] = names[c - 1][k];
    Site.ChannelNames[c] = name;
  }
  if (Edi.SpectraCount > 0 && !hasHz) Site.ChannelOrder[5] = 0;
  Site.ChannelCount = static_cast<int16_t>(Edi.SpectraChannels > 0 ? Edi.SpectraChannels : 7);

  Site.XprMatrices.Allocate();
  Site.Mask.Allocate();
  Site.Plots.Allocate();
  Site.PartialPlots.Allocate();
  bool noWeight = false;
  for (int f = 1; f <= MaxFreq; ++f) {
    Site.Frequencies[f] = Edi.Frequencies[f];
    for (int x = 0; x <= MaxXpr; ++x) Site.XprMatrices[f][x] = Edi.XprMatrices[f][x];
  }
  for (int f = 1; f <= n; ++f) {
    const TMatrix7& m = Edi.XprMatrices[f][1];
    bool empty = false;
    for (double v : m)
      if (!(std::fabs(v) < EdiEmptyLimit)) empty = true;
    // The blocks hold averaged spectra; the estimate keeps their sum so that stacking and
    // normalising by the weight give them back.
    double w = Edi.AvgT[f];
    if (!(w > 0)) {
      w = 1;
      noWeight = true;
    }
    Site.XprCount[f] = 1;
    if (empty) {
      MtLog(Edi.FileName + ": frequency " + IntToStr(f) + " has empty spectra and is not used");
      Site.Weight1[f][1] = 0;
      Site.Weight2[f][1] = 0;
      Site.WeightSum1[f] = 0;
      Site.Mask[f][1] = 0;
      continue;
    }
    TMatrix7& s = Site.XprMatrices[f][1];
    for (double& v : s) v *= w;
    Site.Weight1[f][1] = w;
    Site.WeightSum1[f] = w;
    Site.Weight2[f][1] = 3.0;
    Site.Mask[f][1] = 1;
  }
  if (noWeight && Edi.SpectraCount > 0) MtLog(Edi.FileName + ": spectra without AVGT taken with weight 1");
  if (Edi.SpectraCount == 0 && n > 0) {
    // Without spectra nothing can be computed; the grid still shows the file's frequencies.
    for (int f = 1; f <= n; ++f) Site.Frequencies[f] = Edi.Plots[f][pcfhz];
    MtLog(Edi.FileName + ": no spectra section, no parameters can be computed");
  }
  Site.CalcPartialPlots();
  Site.Loaded = true;
}

void LoadFromEdi(TMTFile& Site, const std::string& FileName) {
  auto edi = std::make_unique<TEdiFileObject>();
  edi->LoadFromFile(FileName);
  if (edi->ImpedanceTable.RowCount <= 0) throw EInOutError("EDI file " + FileName + " holds no frequency");
  if (edi->SpectraCount == 0) {
    // Without spectra the frequencies come from a FREQ block; a count alone gives no grid.
    bool anyFrequency = false;
    for (int f = 1; f <= edi->ImpedanceTable.RowCount; ++f)
      if (edi->Plots[f][pcfhz] > 0) anyFrequency = true;
    if (!anyFrequency)
      throw EInOutError("EDI file " + FileName +
                        " holds no readable frequency: none of its spectra or frequency "
                        "blocks could be read");
  }
  AssignEdi(Site, *edi);
  Site.FileName = FileName;
}

void TMTFile::LoadFromEdi(const std::string& Name) { ::LoadFromEdi(*this, Name); }

void TMTFile::AssignEdi(const TEdiFileObject& Edi) { ::AssignEdi(*this, Edi); }
