#include "mtdata/export_dat.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

#include "mtdata/export_text.h"
#include "mtdata/impedance_table.h"
#include "mtdata/site_file.h"
#include "mtdata/text_helpers.h"
#include "platform/codepage.h"
#include "platform/sysutils.h"

namespace {

constexpr const char* CRLF = "\r\n";

// The characters First..First + Count - 1 (1-based) of a UTF-8 text.
std::string CopyChars(const std::string& S, int First, int Count) {
  if (First < 1) First = 1;
  if (Count <= 0) return {};
  auto charEnd = [&](std::size_t i) {
    ++i;
    while (i < S.size() && (static_cast<unsigned char>(S[i]) & 0xC0) == 0x80) ++i;
    return i;
  };
  std::size_t begin = 0;
  for (int k = 1; k < First && begin < S.size(); ++k) begin = charEnd(begin);
  std::size_t end = begin;
  for (int k = 0; k < Count && end < S.size(); ++k) end = charEnd(end);
  return S.substr(begin, end - begin);
}

std::string Repeat(std::string_view Piece, int Count) {
  std::string s;
  for (int i = 0; i < Count; ++i) s += Piece;
  return s;
}

int ColumnCount(int Mode) { return Mode == 0 ? 5 : Mode == 1 ? 3 : 4; }
int FirstComponent(int Mode) { return Mode == 0 ? 1 : Mode == 1 ? 6 : 9; }

std::string FrameLine(int Columns, std::string_view Lead, std::string_view LeadFill, std::string_view Column,
                      std::string_view End) {
  std::string s = " " + std::string(Lead) + Repeat(LeadFill, 10);
  for (int c = 0; c < Columns; ++c) s += Column;
  return s + std::string(End);
}

std::string TopLine(int n) { return FrameLine(n, "╔", "═", "╤" + Repeat("═", 17), "╗"); }
std::string MiddleLine(int n) { return FrameLine(n, "╟", "─", "┼" + Repeat("─", 9) + "┴" + Repeat("─", 7), "╢"); }
std::string SeparatorLine(int n) { return FrameLine(n, "║", " ", "│" + Repeat(" ", 17), "║"); }
std::string BottomLine(int n) { return FrameLine(n, "╚", "═", "╧" + Repeat("═", 17), "╝"); }

// A value in the 9-character short exponent form.
std::string ShortExp(double V) {
  std::string t;
  FloatToShortExp(10, t, V);
  if (t.size() < 9) t.insert(0, 9 - t.size(), ' ');
  return t;
}

std::string Fixed82(double V) {
  std::string t;
  FloatToFixed(8, 2, t, V);
  return t;
}

bool RowWritten(const TRezZRow& Row, int Mode) {
  switch (Mode) {
    case 0:
      // A cleared row (no period) is a frequency without results, not a value.
      return Row.Period != 0 && !std::isnan(Row.Amplitude[1][2]) && !std::isnan(Row.Amplitude[1][3]) &&
             !std::isnan(Row.Amplitude[2][2]) && !std::isnan(Row.Amplitude[2][3]);
    case 1:
      return Row.Amplitude[3][6] != 0 || Row.Amplitude[3][7] != 0 || Row.Amplitude[3][8] != 0;
    default:
      return Row.Amplitude[3][9] != 0 || Row.Amplitude[3][10] != 0 || Row.Amplitude[3][11] != 0 ||
             Row.Amplitude[3][12] != 0;
  }
}

// The fields of the site that computing it for another reference changes; restored exactly.
class TSiteStateGuard {
public:
  explicit TSiteStateGuard(TMTFile& Site)
      : FSite(Site),
        FCurrentReference(Site.CurrentReference),
        FDisplayReference(Site.DisplayReference),
        FPlots(Site.Plots),
        FPartialPlots(std::make_unique<TPartial_plot>(Site.PartialPlots)),
        FStackedMatrix(std::make_unique<TFreqMatrices>(Site.StackedMatrix)),
        FWeightSum1(Site.WeightSum1),
        FWeightSum2(Site.WeightSum2),
        FRotationAngle(Site.RotationAngle) {}
  ~TSiteStateGuard() {
    FSite.CurrentReference = FCurrentReference;
    FSite.DisplayReference = FDisplayReference;
    FSite.Plots = std::move(FPlots);
    FSite.PartialPlots = std::move(*FPartialPlots);
    FSite.StackedMatrix = *FStackedMatrix;
    FSite.WeightSum1 = FWeightSum1;
    FSite.WeightSum2 = FWeightSum2;
    FSite.RotationAngle = FRotationAngle;
  }
  TSiteStateGuard(const TSiteStateGuard&) = delete;
  TSiteStateGuard& operator=(const TSiteStateGuard&) = delete;

private:
  TMTFile& FSite;
  int16_t FCurrentReference;
  int16_t FDisplayReference;
  TPlots FPlots;
  std::unique_ptr<TPartial_plot> FPartialPlots;
  std::unique_ptr<TFreqMatrices> FStackedMatrix;
  TFreqValues FWeightSum1;
  TFreqValues FWeightSum2;
  double FRotationAngle;
};

std::string PickText(const TTapeLabel& Header, const THeaderFieldPick& Pick) {
  std::string t;
  HeaderFieldText(Header, Pick.FieldName, Pick.First, t, Pick.Count);
  return t;
}

const char* ModeWhat(int Mode) { return Mode == 0 ? "impedance" : Mode == 1 ? "tipper" : "m-t tensor"; }

}  // namespace

// ---------------------------------------------------------------------------------------------

void ReferenceName(int Reference, int SiteReference, std::string& Name) {
  Name = std::string(ReferenceShortNames[Reference]);
  if (Reference != SiteReference) Name = LowerCase(Name);
}

void HeaderFieldText(const TTapeLabel& Header, const std::string& FieldName, int First, std::string& Text, int Count) {
  std::string field;
  if (FieldName == "Job")
    field = Header.Job.str();
  else if (FieldName == "Orig FileName")
    field = Header.OrigFileName;
  else if (FieldName == "FileName")
    field = Header.FileName;
  else if (FieldName == "ProcessedFiles")
    field = Header.ProcessedFiles;
  else if (FieldName == "Site Desc")
    field = Header.Point.SiteDesc.str();
  else if (FieldName == "Project")
    field = Header.Survey.Project;
  else if (FieldName == "Station")
    field = Header.Station.str();
  else if (FieldName == "StnNumber")
    field = Header.StnNumber.str();
  else
    field = FieldName;
  Text = CopyChars(field, First, Count);
}

int WriteMtzReport(std::string& Report, const TMtzRecordHeader& Header, const TRezZTable& Table, int Mode) {
  if (Mode < 0 || Mode > 2) RaiseRangeError();
  const int n = ColumnCount(Mode);
  const int first = FirstComponent(Mode);
  const double factor = Mode == 0 ? MtzUnitFactors[MtzUnits] : 1.0;
  const std::string unit(Mode == 0 ? MtzUnitCaptions[MtzUnits] : MtzDimensionlessCaption);

  std::string text;  // UTF-8; converted to code page 866 at the end
  auto line = [&](const std::string& s = {}) { text += s + CRLF; };

  line(" ЗАПИСЬ   1");
  line();
  line();
  line(Format("        РАЙОН РАБОТ-%3s ;  ПИКЕТ-%6s;  ЦЭС-%4s;  ПОЛЕВАЯ МЛ-%10s",
              {Header.Area.str(), Header.Picket.str(), Header.Station.str(), Header.Tape.str()}));
  line(Format("        ВРЕМЯ ЗАПИСИ-%6.6d%6.6d ;  КООРДИНАТЫ X, Y- %7.2f %8.2f",
              {DateToYymmdd(Header.RecordTime), TimeToHhmmss(Header.RecordTime), Header.X, Header.Y}));
  line(Format("        АЗИМУТЫ EX, EY, HX, HY- %6.1n%6.1n%6.1n%6.1n",
              {Header.AzimuthEx, Header.AzimuthEy, Header.AzimuthHx, Header.AzimuthHy}));
  line();
  line(TopLine(n));
  if (Mode == 0) {
    line(" ║          │       Z xx      │       Z xy      │       Z yx      │      Z yy       │      Z eff      ║");
  } else if (Mode == 1) {
    line(" ║          │       W zx      │       W zy      │     Tip Mag     ║");
  } else if (Header.ReferenceType == 2 || Header.ReferenceType == 4) {
    const char* c = Header.ReferenceType == 2 ? "t" : "m";
    line(Format(" ║          │       %s xx      │       %s xy      │       %s yx      │      %s yy       ║",
                {c, c, c, c}));
  }
  std::string s = " ║ SQRT(t), ";
  for (int c = 0; c < n; ++c) s += std::string(c == 0 ? "├" : "┼") + "─────────┬───────";
  line(s + "╢");
  s = " ║ c**(0.5) ";
  for (int c = 0; c < n; ++c) s += "│ Модуль, │ Фаза  ";
  line(s + "║");
  s = " ║          ";
  for (int c = 0; c < n; ++c) s += "│" + unit + "│ Град  ";
  line(s + "║");
  line(MiddleLine(n));

  const int examined = std::max(0, Table.LastRow - Table.FirstRow + 1);
  int written = 0;
  for (int k = 1; k <= examined; ++k) {
    const TRezZRow& row = Table.Rows[k];
    if (!RowWritten(row, Mode)) continue;
    if (written > 0) line(SeparatorLine(n));
    ++written;
    std::string upper = " ║ " + ShortExp(std::sqrt(static_cast<double>(row.Period)));
    std::string lower = " ║          ";
    for (int c = first; c < first + n; ++c) {
      const double a = row.Amplitude[3][c], ae = row.AmplitudeError[3][c];
      const double ph = row.Phase[3][c];
      double e = row.PhaseError[3][c];
      if (std::fabs(e) > 180) e = 180;
      upper += "│" + ShortExp((a + ae) * factor) + Fixed82(ph + e);
      lower += "│" + ShortExp((a - ae) * factor) + Fixed82(ph - e);
    }
    line(upper + "║");
    line(lower + "║");
  }
  line(BottomLine(n));
  line();
  line(" КОНЕЦ ЗАПИСИ   1");
  line();
  line();
  line();
  Report += Utf8ToCp866(text);

  MtLog("");
  MtLog("Frequences=" + IntToStr(examined));
  if (written != examined) MtLog("OutFrequencyes=" + IntToStr(written));
  MtLog("Units=" + std::string(MtzUnitCaptions[MtzUnits]));
  return written;
}

void ExportNarskyDat(const std::string& FileName, TMTFile& Site, int Mode) {
  if (Mode < 0 || Mode > 2) RaiseRangeError();
  if (MtzUnits < 0 || MtzUnits > 1) RaiseRangeError();
  RequireComputedSite(Site);
  const std::string name = ChangeFileExt(FileName, ".dat");
  MtLog("");
  const bool append = MtzAppendMode == 1 && FileExists(name);
  MtLog((append ? "Append to " : "Write to new file ") + name);

  MtLog("Create header");
  const int R = Site.ReferenceType;
  std::string own;
  ReferenceName(R, R, own);
  TMtzRecordHeader header;
  header.Area = PickText(Site.Header, RegionFieldPick);
  header.Picket = PickText(Site.Header, PointFieldPick);
  std::string station;
  PadRight(PickText(Site.Header, StationFieldPick), 4, station);
  header.Station = station;
  const std::string tape = PickText(Site.Header, TapeFieldPick) + MtzTapeVariant.str();
  header.Tape = tape + own;
  header.ReferenceType = R;

  std::string report;
  {
    // Each record is computed for its reference; the site is given back as it was.
    TSiteStateGuard guard(Site);
    auto table = std::make_unique<TRezZTable>();
    Site.CurrentReference = static_cast<int16_t>(R);
    MtLog("Calc main ref");
    Site.SetReference(ReferenceToDisplayIndex(R));
    MtLog("Export to file");
    Site.FillImpedanceTable(*table);
    MtLog("CanadaToRussian");
    CanadaToRussian(*table);
    MtLog("PrMtz");
    if (WriteMtzReport(report, header, *table, Mode) == 0)
      throw Exception(Format("The site has no %s values: nothing written to \"%s\"", {ModeWhat(Mode), name}));
    if (MtzSolutionMode != 0) {
      for (int ref : {int(frtLocalE), int(frtLocalH)}) {
        if (ref == R) continue;
        Site.CurrentReference = static_cast<int16_t>(ref);
        Site.SetReference(ReferenceToDisplayIndex(ref));
        std::string refName;
        ReferenceName(ref, R, refName);
        header.Tape = tape + refName;
        Site.FillImpedanceTable(*table);
        CanadaToRussian(*table);
        WriteMtzReport(report, header, *table, Mode);
      }
    }
  }

  if (append) {
    std::ifstream in(name, std::ios::binary);
    if (!in) throw EInOutError(Format("Cannot open file \"%s\"", {name}));
    std::string old{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw EInOutError(Format("Read error on file \"%s\"", {name}));
    report.insert(0, old);
  }
  WriteExportFile(name, std::move(report));
}
