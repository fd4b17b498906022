#include "mtdata/export_sms.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "mtdata/export_text.h"
#include "mtdata/impedance_table.h"
#include "mtdata/info_block.h"
#include "mtdata/site_file.h"
#include "platform/codepage.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TEkrDataObject)

namespace {

constexpr const char* CRLF = "\r\n";

// The value-name groups: the first word is matched against the grid file's extension.
constexpr std::string_view ValueNameGroups[2][5] = {{"rsi", "S1k(h)", "Ro1k(h)", "S2k(h)", "Ro2k(h)"},
                                                    {"sms", "Zxx", "Zxy", "Zyx", "Zyy"}};

std::string ReadWholeFile(const std::string& FileName) {
  std::ifstream in(FileName, std::ios::binary);
  if (!in) {
    std::string msg = Format("Cannot open file \"%s\"", {FileName});
    if (errno != 0) msg += ". " + SysErrorMessage(errno);
    throw EInOutError(msg);
  }
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw EInOutError(Format("Read error on file \"%s\"", {FileName}));
  return bytes;
}

// The line of Text starting at Pos (CR, LF or CRLF ends it); Pos moves past the line end.
std::string NextLine(const std::string& Text, std::size_t& Pos) {
  std::size_t end = Text.find_first_of("\r\n", Pos);
  if (end == std::string::npos) end = Text.size();
  std::string line = Text.substr(Pos, end - Pos);
  Pos = end;
  if (Pos < Text.size() && Text[Pos] == '\r') ++Pos;
  if (Pos < Text.size() && Text[Pos] == '\n') ++Pos;
  return line;
}

void AppendSingle(std::string& Out, float V) {
  uint32_t bits;
  std::memcpy(&bits, &V, sizeof bits);
  for (int i = 0; i < 4; ++i) Out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

float SingleAt(const std::string& Bytes, std::size_t Index) {
  uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(Bytes[Index * 4 + i]);
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// Texts of the two catalogue files in code page 1251.
void CatalogueTexts(const TTapeLabel& Header, int FreqCount, std::string& HeaderCat, std::string& SiteCat) {
  HeaderCat =
      Utf8ToCp1251("Project: " + Header.Survey.Project + "; Client: " + Header.Client + "; Job: " + Header.Job.str()) +
      CRLF + "1" + CRLF;
  // The header holds no extended coordinate fields of the point: they are always 0 here.
  const long double second = 0, first = 0;
  // The name fills a field of 8 columns: a longer one is cut to it, so every later column stays
  // where the profile programs read it (counted in the code page's one-byte characters).
  std::string name = Utf8ToCp1251(Trim(Header.FileName)).substr(0, 8);
  name.insert(0, 8 - name.size(), ' ');
  SiteCat = name +
            Utf8ToCp1251("  " + StrWD(second * 1000, 8, 0) + " " + StrWD(first * 1000, 9, 0) +
                         StrWD(Header.Point.Altitude, 7, 0) + StrWD(Header.ChannelAzimuth[1], 4, 0) +
                         StrWD(Header.ChannelAzimuth[2], 4, 0) + StrW(1, 3) + StrW(FreqCount, 3)) +
            CRLF;
}

std::string HeaderCatName(const std::string& FileName) { return ExtractFilePath(FileName) + "Header.cat"; }

}  // namespace

// ---------------------------------------------------------------------------------------------

TEkrDataObject::TEkrDataObject() : FValueNames(std::make_unique<TStringList>()) { Values.Allocate(); }

TEkrDataObject::~TEkrDataObject() = default;

void TEkrDataObject::SetDimensions(int AStationCount, int APeriodCount) {
  if (AStationCount < 0 || APeriodCount < 0) RaiseRangeError();
  StationCount = AStationCount;
  PeriodCount = APeriodCount;
  Data.assign(static_cast<std::size_t>(AStationCount) * static_cast<std::size_t>(APeriodCount) * 9, 0.0f);
}

void TEkrDataObject::LoadFromTotalRezZ(const TTapeLabel& Header, const TRezZTable& Table, bool Summed) {
  int rows = 0;
  for (int f = Table.FirstRow; f <= Table.LastRow; ++f)
    if (Table.Rows[f].Amplitude[3][2] != 0) ++rows;
  if (rows > MaxEkrPeriods)
    throw ERangeError(Format("The grid holds at most %d periods; the site has %d", {MaxEkrPeriods, rows}));

  SetDimensions(1, Table.RowCount);
  Titles[1] = "Project: " + Header.Survey.Project + "; Client: " + Header.Client + "; Job: " + Header.Job.str();
  std::string t = CutToChars("Stn Number: " + Header.Hardware.str(), 32);
  t = CutToChars(t + " № ", 35);
  t = CutToChars(t + Header.Station.str(), 45);
  t = CutToChars(t + "; Site Desc: ", 58);
  Titles[2] = CutToChars(t + Header.Point.SiteDesc.str(), 78);
  Titles[3] = "Lat: " + Header.Point.Latitude + "; Long: " + Header.Point.Longitude;
  Params.Fill(0);
  Params[2] = 1;
  StationCount = 1;

  int k = 0;
  for (int f = Table.FirstRow; f <= Table.LastRow; ++f) {
    const TRezZRow& row = Table.Rows[f];
    if (row.Amplitude[3][2] == 0) continue;
    ++k;
    for (int j = 1; j <= 4; ++j) {
      Values[2 * j][1][k] = Summed ? row.Amplitude[3][j] : row.AmplitudeError[3][j];
      Values[2 * j + 1][1][k] = Summed ? row.Phase[3][j] : row.PhaseError[3][j];
    }
    Periods[k] = row.Period;
    AzimuthEx[1] = Header.ChannelAzimuth[1];
  }
  PeriodCount = k;
}

void TEkrDataObject::SaveToTotalRezZ(TTapeLabel& Header, TRezZTable& Table, bool Summed) const {
  Header.Point.SiteDesc = ChangeFileExt(ExtractFileName(FileName), "");
  Table.FirstRow = 1;
  Table.LastRow = static_cast<int16_t>(PeriodCount);
  Table.RowCount = static_cast<int16_t>(PeriodCount);
  for (int k = 1; k <= PeriodCount; ++k) {
    TRezZRow& row = Table.Rows[k];
    for (int j = 1; j <= 4; ++j)
      for (int v = 1; v <= 3; ++v) {
        (Summed ? row.Amplitude : row.AmplitudeError)[v][j] = Values[2 * j][1][k];
        (Summed ? row.Phase : row.PhaseError)[v][j] = Values[2 * j + 1][1][k];
      }
    row.Period = Periods[k];
  }
  Header.ChannelAzimuth[1] = AzimuthEx[1];
}

float TEkrDataObject::CellValue(int F, int V, int S) const {
  if (V == 1) {
    switch (F) {
      case 1:
        return StationY[S];
      case 2:
        return AzimuthEx[S];
      case 3:
        return StationNumber[S];
      case 4:
        return AzimuthEy[S];
      default:
        return StationNumber[S];
    }
  }
  return Values[V][S][F];
}

std::string TEkrDataObject::ParameterFileText() const {
  std::string out;
  for (int i = 1; i <= 3; ++i) out += Titles[i].str() + CRLF;
  for (int i = 1; i <= 6; ++i) out += StrW(Params[i], 5);
  out += CRLF;
  out += StrW(Params[7], 5) + StrW(Params[8], 5) + StrW(StationCount, 5) + StrW(PeriodCount, 5) + CRLF;
  for (int k = 1; k <= PeriodCount; ++k) {
    out += StrWD(Periods[k], 15, 6);
    if (k % 4 == 0) out += CRLF;
  }
  return Utf8ToCp1251(out);
}

std::string TEkrDataObject::GridFileBytes() const {
  if (StationCount > MaxEkrStations || PeriodCount > MaxEkrPeriods) RaiseRangeError();
  std::string out;
  out.reserve(static_cast<std::size_t>(StationCount) * static_cast<std::size_t>(PeriodCount) * 36);
  for (int f = 1; f <= PeriodCount; ++f)
    for (int v = 1; v <= 9; ++v)
      for (int s = 1; s <= StationCount; ++s) AppendSingle(out, CellValue(f, v, s));
  return out;
}

void TEkrDataObject::SaveToFile(const std::string& AFileName) {
  std::string grid = GridFileBytes();
  Data.resize(grid.size() / 4);
  if (!grid.empty()) std::memcpy(Data.data(), grid.data(), grid.size());
  TExportFiles files;
  files.Add(ChangeFileExt(AFileName, ".par"), ParameterFileText());
  files.Add(AFileName, std::move(grid));
  files.Commit();
}

void TEkrDataObject::LoadFromFile(const std::string& AFileName) {
  const std::string parName = ChangeFileExt(AFileName, ".par");
  const std::string par = Cp1251ToUtf8(ReadWholeFile(parName));
  const std::string grid = ReadWholeFile(AFileName);

  std::size_t pos = 0;
  TStaticArray<TShortString<80>, 1, 3> titles;
  for (int i = 1; i <= 3; ++i) titles[i] = NextLine(par, pos);
  std::istringstream rest(par.substr(pos));
  std::vector<std::string> words{std::istream_iterator<std::string>(rest), std::istream_iterator<std::string>()};
  std::size_t w = 0;
  auto word = [&]() -> const std::string& {
    if (w >= words.size()) throw EReadError(Format("Grid parameter file \"%s\" ends too early", {parName}));
    return words[w++];
  };
  TStaticArray<int32_t, 1, 10> numbers{};
  for (int i = 1; i <= 10; ++i) numbers[i] = StrToInt(word());
  const int stations = numbers[9], periods = numbers[10];
  if (stations < 1 || stations > MaxEkrStations || periods < 1 || periods > MaxEkrPeriods)
    throw ERangeError(
        Format("Grid parameter file \"%s\": %d stations, %d periods (1..128 each)", {parName, stations, periods}));
  TStaticArray<float, 1, MaxEkrPeriods> periodValues{};
  for (int k = 1; k <= periods; ++k) periodValues[k] = static_cast<float>(StrToFloat(word()));
  const std::size_t cells = static_cast<std::size_t>(stations) * static_cast<std::size_t>(periods) * 9;
  if (grid.size() < cells * 4)
    throw EReadError(
        Format("Grid file \"%s\" holds %d bytes; %d stations by %d periods need %d",
               {AFileName, static_cast<int64_t>(grid.size()), stations, periods, static_cast<int64_t>(cells * 4)}));

  FileName = AFileName;
  Titles = titles;
  for (int i = 1; i <= 8; ++i) Params[i] = numbers[i];
  StationCount = stations;
  PeriodCount = periods;
  Periods = periodValues;
  Data.resize(grid.size() / 4);
  if (!Data.empty()) std::memcpy(Data.data(), grid.data(), Data.size() * 4);
  for (int f = 1; f <= periods; ++f)
    for (int v = 1; v <= 9; ++v)
      for (int s = 1; s <= stations; ++s) {
        const float x = SingleAt(grid, (static_cast<std::size_t>(f - 1) * 9 + (v - 1)) * stations + (s - 1));
        if (v >= 2)
          Values[v][s][f] = x;
        else if (f == 1)
          StationY[s] = x;
        else if (f == 2)
          AzimuthEx[s] = x;
        else if (f == 3)
          StationNumber[s] = x;
        else if (f == 4)
          AzimuthEy[s] = x;
      }

  ValueNames().Clear();
  std::string ext = ExtractFileExt(AFileName);
  if (!ext.empty()) ext.erase(0, 1);
  ext = LowerCase(ext).substr(0, std::min<std::size_t>(3, ext.size()));
  for (const auto& group : ValueNameGroups)
    if (ext == group[0])
      for (int i = 1; i <= 4; ++i) ValueNames().Add(std::string(group[i]));
}

void TEkrDataObject::SaveToTextFile(const std::string& AFileName, int) const {
  std::string out;
  for (int s = 1; s <= StationCount; ++s) {
    out +=
        Format("МТЗ=%5.0f Y=%7.2f AEx=%7.1f AEy=%7.1f", {StationNumber[s], StationY[s], AzimuthEx[s], AzimuthEy[s]}) +
        CRLF;
    for (int f = 1; f <= PeriodCount; ++f) {
      std::string line = Format("%5.2f", {std::sqrt(static_cast<double>(Periods[f]))});
      for (int v = 2; v <= 9; ++v) line += Format("%7.2f", {Values[v][s][f]});
      out += line + CRLF;
    }
  }
  WriteExportFile(ChangeFileExt(AFileName, ".aaa"), Utf8ToCp1251(out));
}

// ---------------------------------------------------------------------------------------------

void WriteCatalogueFiles(const std::string& FileName, const TTapeLabel& Header, int FreqCount) {
  std::string headerCat, siteCat;
  CatalogueTexts(Header, FreqCount, headerCat, siteCat);
  TExportFiles files;
  files.Add(HeaderCatName(FileName), std::move(headerCat));
  files.Add(ChangeFileExt(FileName, ".cat"), std::move(siteCat));
  files.Commit();
}

void ExportSms(const std::string& FileName, const TMTFile& Site) {
  RequireComputedSite(Site);
  // The header rebuilt from the information block, on a copy: the site keeps its own. The
  // site's file name stays, so the catalogue line names the sounding.
  TTapeLabel header;
  ClearTapeLabel(header);
  header.FullPath = ChangeFileExt(ExtractFileName(FileName), "");
  header.FileName = Site.Header.FileName;
  TMtRobstParam params;
  ClearRobustParams(params);
  ParseInfoBlock(Site.InfoLines, header, params);

  auto table = std::make_unique<TRezZTable>();
  FillImpedanceTableFromPlots(Site.Plots, Site.Frequencies, Site.FreqCount, *table);
  CanadaToRussian(*table);

  auto grid = std::make_unique<TEkrDataObject>();
  grid->LoadFromTotalRezZ(header, *table, true);
  if (grid->PeriodCount == 0) throw Exception("The site has no impedance values: nothing to export");
  TExportFiles files;
  std::string headerCat, siteCat;
  CatalogueTexts(header, Site.FreqCount, headerCat, siteCat);
  files.Add(HeaderCatName(FileName), std::move(headerCat));
  files.Add(ChangeFileExt(FileName, ".cat"), std::move(siteCat));
  files.Add(ChangeFileExt(FileName, ".par"), grid->ParameterFileText());
  files.Add(ChangeFileExt(FileName, ".sms"), grid->GridFileBytes());
  grid->LoadFromTotalRezZ(header, *table, false);
  files.Add(ChangeFileExt(FileName, ".dms"), grid->GridFileBytes());
  files.Commit();
}
