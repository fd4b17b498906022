#include "mtdata/mt_types.h"

#include "platform/logdevice.h"
#include "platform/sysutils.h"

void RaiseRangeError() { throw ERangeError("Range check error"); }

std::string CutToChars(std::string_view s, std::size_t MaxChars) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80) {  // a lead byte starts a character
      if (chars == MaxChars) return std::string(s.substr(0, i));
      ++chars;
    }
  }
  return std::string(s);
}

TPlotSettings PlotSettings;
int32_t CsvDelimiterIndex = 0;
int32_t CanadaToRussianMode = 0;
int32_t MtzUnits = 0;
int32_t MtzSolutionMode = 0;
int32_t MtzAppendMode = 0;
bool RequestFromToFrequency = false;
bool ErrorLogOption = false;
THeaderFieldPick RegionFieldPick;
THeaderFieldPick PointFieldPick;
THeaderFieldPick StationFieldPick;
THeaderFieldPick TapeFieldPick;
TShortString<1> MtzTapeVariant;
bool ErrorLogActive = false;

namespace {
// The module's start-up step, before any window exists.
const bool CommonVarsReady = (InitCommonVars(), true);
}  // namespace

void ClearTapeLabel(TTapeLabel& Label) { Label = TTapeLabel{}; }

void ClearRobustParams(TMtRobstParam& Params) { Params = TMtRobstParam{}; }

void ClearImpedanceTable(TRezZTable& Table) {
  Table.Reserved = 0;
  Table.FirstRow = 0;
  Table.LastRow = 0;
  Table.RowCount = 0;
  for (TRezZRow& row : Table.Rows) {
    const auto spare = row.Spare;
    row = TRezZRow{};
    row.Spare = spare;
  }
}

void InitPlotSettings(TPlotSettings& Settings) {
  Settings = TPlotSettings{};
  Settings.PointSize = 3;
  Settings.Line = true;
  Settings.Point = true;
  for (int i = 1; i <= 10; ++i) Settings.Styles[i] = DefaultCurveColours[i];
  for (int i = 1; i <= 9; ++i) Settings.Styles[10 + i] = DefaultPointStyles[i];
  for (int i = 20; i <= 22; ++i) Settings.Styles[i] = 0xFFFFFF;
}

void InitCommonVars() {
  InitPlotSettings(PlotSettings);
  CanadaToRussianMode = 0;
  MtzUnits = 0;
  MtzSolutionMode = 0;
  MtzAppendMode = 0;
}

void MtLog(const std::string& Line) { LogWriteLn(Line); }

void LogDivisionByZero(int Xpr, int F, const std::string& Test, double Freq) {
  if (!ErrorLogActive) return;
  MtLog(Format("Xpr=%3d f=%3d(%10.5f) Division by %s", {Xpr, F, Freq, Test}));
}
