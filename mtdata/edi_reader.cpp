#include "mtdata/edi_reader.h"

#include "mtdata/complex_routines.h"
#include "mtdata/coordinates.h"
#include "mtdata/site_file.h"
#include "mtdata/info_block.h"
#include "mtdata/text_helpers.h"
#include "platform/sysutils.h"

#include <array>
#include <cmath>
#include <fstream>
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
  ekZxxR, ekZxyR, ekZyxR, ekZyyR,
  ekZxxI, ekZxyI, ekZyxI, ekZyyI,
  ekZxxVar, ekZxyVar, ekZyxVar, ekZyyVar,
  ekRhoXY, ekRhoYX,
  ekPhsXY, ekPhsYX,
  ekRhoXYErr, ekRhoYXErr, ekPhsXYErr, ekPhsYXErr,
  ekZRot
};

constexpr std::array<const char*, 30> SectionKeywords{
    "HEAD",     "INFO",     "HMEAS",     "EMEAS",     "SPECTRA",   "=DEFINEMEAS",
    "=SPECTRASECT", "END",  "FREQ",      "ZXXR",      "ZXYR",      "ZYXR",
    "ZYYR",     "ZXXI",     "ZXYI",      "ZYXI",      "ZYYI",      "ZXX.VAR",
    "ZXY.VAR",  "ZYX.VAR",  "ZYY.VAR",   "RHOXY",     "RHOYX",     "PHSXY",
    "PHSYX",    "RHOXY.ERR", "RHOYX.ERR", "PHSXY.ERR", "PHSYX.ERR", "ZROT"};

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
  TEdiLoader(TEdiFileObject& AEdi, std::vector<std::string>& ALines) : E(AEdi), Lines(ALines) {}

  void Run();
  int LineNumber() const { return static_cast<int>(Cur) + 1; }

private:
  bool IsKeywordLine(std::size_t i) const;
  std::string KeywordOf(std::size_t i) const;
  // Index of the next keyword line after i (or the number of lines).
  std::size_t NextKeyword(std::size_t i) const;

  void ReadHead();
  void ReadInfo();
  void ReadMeas();
  void ReadSpectraSect();
  void ReadSpectra();
  void ReadDataBlock(int Code);
  void Finish();
  void ConvertCoordinates();
  void StoreInfoHalf(int Line, const std::string& Text);
  // Slots of the columns of a spectra block of N channels.
  std::array<int, 8> SpectraSlots(int N) const;

  TEdiFileObject& E;
  std::vector<std::string>& Lines;
  std::size_t Cur = 0;  // line being read

  std::string LatText, LongText;
  bool CoordinatesRead = false;
  int ValueCount = 0;  // values of the last data block, or NFREQ after it
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
    if (i + 1 >= Lines.size()) break;  // a keyword line that ends the file is not acted on
    switch (code) {
      case ekHead: ReadHead(); break;
      case ekInfo: ReadInfo(); break;
      case ekHMeas:
      case ekEMeas: ReadMeas(); break;
      case ekSpectraSect: ReadSpectraSect(); break;
      case ekSpectra: ReadSpectra(); break;
      case ekDefineMeas: break;
      case ekNone:
        if (!kw.empty() && kw[0] != '!' && kw[0] != '/' && kw != "=MTSECT" &&
            !SkippedKeywords[kw]) {
          SkippedKeywords[kw] = true;
          MtLog("EDI section >" + kw + " skipped");
        }
        break;
      default: ReadDataBlock(code); break;
    }
    i = NextKeyword(i);
  }
  Cur = Lines.empty() ? 0 : Lines.size() - 1;
  Finish();
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
      E.Header.RunLetter =
          (!letter.empty() && letter[0] >= 'A' && letter[0] <= 'Z') ? letter[0] - 'A' + 1 : 0;
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
    if (!seen) E.Header.ChannelAzimuth[type == "HX" ? 3 : 4] =
                   static_cast<float>(FloatAfterKey(line, "AZM="));
  }
  E.Header.ChannelAzimuth[1] = E.Header.ChannelAzimuth[3];
  E.Header.ChannelAzimuth[2] = E.Header.ChannelAzimuth[4];
  if (!id.empty()) MeasDefs.emplace_back(id, type);
}

void TEdiLoader::ReadSpectraSect() {
  std::size_t end = NextKeyword(Cur);
  SpectraIds.clear();
  for (std::size_t i = Cur + 1; i < end; ++i) {
    Cur = i;
    const std::string& line = Lines[i];
    std::string value;
    if (StartsWithKey(line, "NCHAN=")) {
      ValueAfterKey(line, value);
      E.Header.ChannelTotal = static_cast<int16_t>(ParseIntLenient(value));
    } else if (StartsWithKey(line, "NFREQ=")) {
      ValueAfterKey(line, value);
      ValueCount = ParseIntLenient(value);
    } else {
      std::string t = Trim(line);
      if (t.empty() || t.find('=') != std::string::npos || t.rfind("//", 0) == 0) continue;
      for (const std::string& id : SplitBlanks(t)) SpectraIds.push_back(Dequote(id));
    }
  }
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
      if (slot == 3 || slot == 6) slot = 6;
      else if (slot == 4 || slot == 7) slot = 7;
      else return slots;
      if (used[static_cast<std::size_t>(slot)]) return slots;
    }
    used[static_cast<std::size_t>(slot)] = true;
    byId[static_cast<std::size_t>(c)] = slot;
  }
  return byId;
}

void TEdiLoader::ReadSpectra() {
  const std::size_t head = Cur;
  const std::string headLine = Lines[head];
  std::size_t end = NextKeyword(Cur);
  if (E.SpectraCount >= MaxFreq)
    throw ERangeError("more than " + IntToStr(MaxFreq) + " spectra blocks");
  float f = static_cast<float>(FloatAfterKey(headLine, "FREQ="));
  double avgt = FloatAfterKey(headLine, "AVGT=");
  double count = FloatAfterKey(headLine, "// ");
  (void)count;

  double w[8][8] = {};
  int rows = 0;
  int width = 0;
  for (std::size_t i = head + 1; i < end; ++i) {
    Cur = i;
    std::vector<std::string> fields = SplitBlanks(Lines[i]);
    if (fields.empty()) continue;
    if (++rows > MaxChannel) throw ERangeError("more than 7 rows in a spectra block");
    if (static_cast<int>(fields.size()) > MaxChannel)
      throw ERangeError("more than 7 values in a spectra row");
    width = std::max(width, static_cast<int>(fields.size()));
    for (std::size_t c = 0; c < fields.size(); ++c) w[rows][c + 1] = ParseFloatLenient(fields[c]);
  }
  Cur = head;
  if (!(f > 0)) {
    MtLog("EDI spectra block at line " + IntToStr(static_cast<int>(head) + 1) + " of " +
          E.FileName + " has no frequency: skipped");
    return;
  }
  int n = std::max(rows, width);
  int expected = (E.Header.ChannelTotal >= 1 && E.Header.ChannelTotal <= MaxChannel)
                     ? E.Header.ChannelTotal
                     : n;
  if (end >= Lines.size() && rows < expected) {
    MtLog("EDI spectra block at line " + IntToStr(static_cast<int>(head) + 1) + " of " +
          E.FileName + " ends with the file: skipped");
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
    for (const std::string& field : SplitBlanks(Lines[i])) {
      if (++k > MaxFreq)
        throw ERangeError("more than " + IntToStr(MaxFreq) + " values in a data block");
      double v = ParseFloatLenient(field);
      TRezZRow& row = E.ImpedanceTable.Rows[k];
      switch (Code) {
        case ekFreq:
          E.Plots[k][pcfhz] = v;
          E.Plots[k][pcLog10FrqHz] = v > 0 ? std::log10(v) : 0;
          row.Spare[1] = static_cast<float>(v);
          row.Period = v > 0 ? static_cast<float>(1 / v) : 0;
          break;
        case ekZxxR: case ekZxyR: case ekZyxR: case ekZyyR: {
          int c = Code - ekZxxR + 1;
          E.Plots[k][pcZxxReRot + 2 * (c - 1)] = v;
          row.Complex[3][c].Re = static_cast<float>(v);
          break;
        }
        case ekZxxI: case ekZxyI: case ekZyxI: case ekZyyI: {
          int c = Code - ekZxxI + 1;
          E.Plots[k][pcZxxImRot + 2 * (c - 1)] = v;
          row.Complex[3][c].Im = static_cast<float>(v);
          break;
        }
        case ekZxxVar: case ekZxyVar: case ekZyxVar: case ekZyyVar: {
          int c = Code - ekZxxVar + 1;
          E.Plots[k][pcZxxVARRot + c - 1] = v;
          row.AmplitudeError[3][c] = v > 0 ? static_cast<float>(std::sqrt(v)) : 0.0f;
          break;
        }
        case ekRhoXY: case ekRhoYX:
          E.Plots[k][pcRhoxyOhmm + Code - ekRhoXY] = v;
          row.Amplitude[3][6 + Code - ekRhoXY] = static_cast<float>(v);
          break;
        case ekPhsXY: case ekPhsYX:
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
      ComplexMulSub(row.Complex[3][1], row.Complex[3][4], row.Complex[3][2], row.Complex[3][3],
                    row.Complex[3][5]);
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

  std::ifstream in(AFileName, std::ios::binary);
  if (!in) throw EInOutError("Cannot open EDI file " + AFileName);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (char& c : line)
      if (c == '\t' || c == '\0') c = ' ';
    lines.push_back(std::move(line));
  }
  if (in.bad()) throw EInOutError("Read error in EDI file " + AFileName);

  TEdiLoader loader(*this, lines);
  try {
    loader.Run();
  } catch (Exception& e) {
    e.SetMessage("EDI file " + AFileName + ", line " + IntToStr(loader.LineNumber()) + ": " +
                 e.Message());
    throw;
  }
}

int ProcessingToFileReference(int ProcessingType) {
  switch (ProcessingType) {
    case prtLocalE: return frtLocalE;
    case prtLocalH: return frtLocalH;
    case prtRemoteE: return frtRemoteE;
    case prtRemoteH: return frtRemoteH;
    default: return 0;
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
    ref = frtLocalE;
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
  if (noWeight) MtLog(Edi.FileName + ": spectra without AVGT taken with weight 1");
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
  if (edi->ImpedanceTable.RowCount <= 0)
    throw EInOutError("EDI file " + FileName + " holds no frequency");
  AssignEdi(Site, *edi);
  Site.FileName = FileName;
}

void TMTFile::LoadFromEdi(const std::string& Name) { ::LoadFromEdi(*this, Name); }

void TMTFile::AssignEdi(const TEdiFileObject& Edi) { ::AssignEdi(*this, Edi); }
