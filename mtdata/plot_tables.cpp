#include "mtdata/plot_tables.h"

#include "platform/sysutils.h"

namespace {

constexpr std::string_view FreqHz = "Freq, Hertz";
constexpr std::string_view Phase = "Phase(degres)";

TPlotTypeInfo Plot(std::string_view Title, int Last, std::string_view T1, std::string_view A1, bool L1,
                   std::string_view T2, std::string_view A2, bool L2, std::string_view Freq = FreqHz) {
  TPlotTypeInfo p;
  p.Title = Title;
  p.FirstChart = 1;
  p.LastChart = Last;
  p.ChartTitles[1] = T1;
  p.AxisTitles[1] = A1;
  p.LogAxis[1] = L1;
  p.ChartTitles[2] = T2;
  p.AxisTitles[2] = A2;
  p.LogAxis[2] = L2;
  p.FreqAxisTitle = Freq;
  return p;
}

TStaticArray<TPlotTypeInfo, 0, 10> MakePlotTypes() {
  TStaticArray<TPlotTypeInfo, 0, 10> t;
  t[0] = Plot("Impedance", 2, "Impedance Magnitude", "Impedance (mV/Gam/km)", true, "Impedance Phase", Phase, false);
  t[1] = Plot("App.Resistivity", 2, "Apparent Resistivity Magnitude", "Resistivity (Ohm-M)", true,
              "Apparent Resistivity Phase", Phase, false);
  t[2] = Plot("Tipper", 2, "Magnitude of Tipper", "Magnitude", true, "Rotation Direction", "Rotation Direction", false);
  t[3] = Plot("Skew,Ellipt,Strike", 2, "Skew, Ellipt, Strike", "ZSkew, TSkew, ZEllip, TEllip", false, "",
              "ZStrike, TStrike, ZRot", false);
  t[4] = Plot("Spectra", 1, "Spectra", "uV/M/Hz^.5,Gam/Hz^.5", true, "", "", false);
  t[5] = Plot("Coherence", 1, "Coherence", "Coherence", false, "", "", false);
  t[6] = Plot("Inductor vector", 2, "magnitude", "magnitude", true, "phase", "phase", false);
  t[7] = Plot("Inductor vector comp", 2, "Real part magnitude", "Re.part magnitude", false, "Imaginary part magnitude",
              "Im.part magnitude", false);
  t[8] = Plot("Bostick inverse", 1, "Bostick inverse", "Bostick inverse,ohm-m.", true, "", "", false, "Depth, Km");
  t[9] = Plot("E tensor", 2, "E tensor", "E tensor", true, "Phase E tensor", "Phase E tensor", false);
  t[10] = Plot("H tensor", 2, "H tensor", "H tensor", true, "Phase H tensor", "Phase H tensor", false);
  return t;
}

TPlotMapTable MakePlotMap() {
  TPlotMapTable m;
  auto set = [&m](int plot, int magPh, int valErr, std::initializer_list<int> params) {
    int curve = 0;
    for (int p : params) m[plot][magPh][valErr][curve++] = p;
  };
  set(0, 1, 1, {pcZxx, pcZxy, pcZyx, pcZyy, pcZef});
  set(0, 1, 2, {pcZxxVARRot, pcZxyVARRot, pcZyxVARRot, pcZyyVARRot});
  set(0, 2, 1, {pcPHASExxDeg, pcPHASExyDeg, pcPHASEyxDeg, pcPHASEyyDeg, pcPhaseZef});
  set(0, 2, 2, {pcVarPhasexx, pcVarPHASExy, pcVarPHASEyx, pcVarPhaseyy});
  set(1, 1, 1, {pcRhoxyOhmm, pcRhoyxOhmm});
  set(1, 1, 2, {pcVarLogRhoxy, pcVarLogRhoyx});
  set(1, 2, 1, {pcPHASExyDeg, pcPHASEyxDeg});
  set(1, 2, 2, {pcVarPHASExy, pcVarPHASEyx});
  set(2, 1, 1, {pcTipMAG, pcAmpTx, pcAmpTy});
  set(2, 1, 2, {pcVarTipMAG, pcVarAmpTx, pcVarAmpTy});
  set(2, 2, 1, {pcTipPHASEDeg, pcPhaseTx, pcPhaseTy});
  set(2, 2, 2, {pcVarTipPHASE, pcVarPhaseTx, pcVarPhaseTy});
  set(3, 1, 1, {pcZSkew, pcTipSkew, pcZEllip, pcTipEllip});
  set(3, 2, 1, {pcZSTRIKEDeg, pcTipSTRIKE, pcRotAngleDeg, pcRotAngleDeg});
  set(4, 1, 1, {pcExuVMHz5, pcEyuVMHz5, pcHxGamHz5, pcHyGamHz5, pcHzGamHz5, pcR3, pcR4});
  set(5, 1, 1,
      {pcOrdCohHxEy, pcOrdCohHyEx, pcOrdCohHxRx, pcOrdCohHyRy, pcExCohHxHy, pcEyCohHxHy, pcHxCohExEy, pcHyCohExEy,
       pcHzCohExEy, pcHzCohHxHy});
  set(6, 1, 1, {pcIndVr, pcIndVi});
  set(6, 2, 1, {pcIVrAng, pcIViAng});
  set(7, 1, 1, {pcIndVr, pcTxr, pcTyr});
  set(7, 2, 1, {pcIndVi, pcTxi, pcTyi});
  set(8, 1, 1, {pcRhoxyBosInv, pcRhoyxBosInv});
  set(8, 2, 1, {pcRhoxyBosInv, pcRhoyxBosInv});
  set(9, 1, 1, {pcPxx, pcPxy, pcPyx, pcPyy, pcPzx, pcPzy});
  set(9, 2, 1, {pcPhasePxx, pcPhasePxy, pcPhasePyx, pcPhasePyy, pcPhasePzx, pcPhasePzy});
  set(10, 1, 1, {pcVarPxx, pcVarPxy, pcVarPyx, pcVarPyy, pcVarPzx, pcVarPzy});
  set(10, 2, 1, {pcVarPhasePxx, pcVarPhasePxy, pcVarPhasePyx, pcVarPhasePyy, pcVarPhasePzx, pcVarPhasePzy});
  return m;
}

struct TChartRowsDefault {
  const char* MinCaption;
  const char* MinValue;
  const char* MaxCaption;
  const char* MaxValue;
  int Group;
};

// [plot][chart - 1]; a null caption marks a chart without rows.
constexpr TChartRowsDefault ChartRowDefaults[11][2] = {
    {{"ZMin", "1", "ZMax", "1000", 0}, {"PhMin", "-180", "PhMax", "180", 2}},
    {{"RoMin", "1", "RoMax", "1000", 1}, {"PhMin", "-180", "PhMax", "180", 2}},
    {{"TipMin", "0.001", "TipMax", "1", 3}, {"TipRotMin", "-180", "TipRotMax", "180", 4}},
    {{"StrMin", "0", "StrMax", "2", 5}, {"StrRot", "-180", "StrRot", "180", 5}},
    {{"SpMin", "1", "SpMax", "1000", 6}, {nullptr, nullptr, nullptr, nullptr, 0}},
    {{"CohMin", "0", "CohMax", "1", 7}, {nullptr, nullptr, nullptr, nullptr, 0}},
    {{"IndVMin", "0.01", "IndVMax", "2", 8}, {"IndVPhMin", "-180", "IndVPhMax", "180", 9}},
    {{"IndVMin", "0.01", "IndVMax", "2", 8}, {"IndVMin", "0.01", "IndVMax", "2", 9}},
    {{"RoMin", "0", "RoMax", "1000", 10}, {nullptr, nullptr, nullptr, nullptr, 0}},
    {{"tMin", "0.1", "tMax", "2", 9}, {"PhtMin", "-180", "PhtMax", "180", 10}},
    {{"mMin", "0.1", "mMax", "2", 9}, {"PhmMin", "-180", "PhmMax", "180", 10}},
};

TPropRec Row(int Id, int Group, int Kind, std::string Caption, std::string Name, std::string Value) {
  TPropRec r;
  r.Id = Id;
  r.Group = Group;
  r.Kind = Kind;
  r.Caption = std::move(Caption);
  r.Name = std::move(Name);
  r.Value = std::move(Value);
  return r;
}

bool IsTrue(const std::string& v) { return v == "True"; }

}  // namespace

const TStaticArray<TPlotTypeInfo, 0, 10> PlotTypes = MakePlotTypes();
const TStaticArray<int, 0, 10> PlotCurveCounts{{5, 2, 3, 4, 7, 10, 2, 3, 2, 6, 6}};
const TPlotMapTable PlotMapTable = MakePlotMap();

TPropTable PropTable;
TFixedArray<TPropRec, TBounds<0, 10>, TBounds<1, 2>, TBounds<1, 3>> PlotPropRows;
TStaticArray<TPropRec, 1, 9> CommonPropRows;

namespace {
// Fills the row tables before any caller can read them.
const bool PropRowsReady = (ResetPropRows(), true);
}  // namespace

void ResetPropRows() {
  for (int plot = 0; plot <= 10; ++plot) {
    for (int chart = 1; chart <= 2; ++chart) {
      const TChartRowsDefault& d = ChartRowDefaults[plot][chart - 1];
      const int id = 9 + 6 * plot + 3 * (chart - 1);
      TPropRec& r1 = PlotPropRows[plot][chart][1];
      TPropRec& r2 = PlotPropRows[plot][chart][2];
      TPropRec& r3 = PlotPropRows[plot][chart][3];
      r1 = Row(id, d.Group, pkText, "", "", "");
      r2 = Row(id + 1, d.Group, pkText, "", "", "");
      r3 = Row(id + 2, d.Group, 0, "", "", "");
      if (d.MinCaption) {
        r1 = Row(id, d.Group, pkText, d.MinCaption, "YMin", d.MinValue);
        r2 = Row(id + 1, d.Group, pkText, d.MaxCaption, "YMax", d.MaxValue);
      }
      if (chart == 2 && plot <= 1) r3 = Row(id + 2, d.Group, pkCheck, "+180", "+180", "");
    }
  }
  static const struct {
    int Id;
    const char* Key;
    int Kind;
    const char* Value;
  } common[9] = {{1, "XMin", pkText, "3"},      {2, "XMax", pkText, "10000"},        {3, "AutoX", pkCheck, "True"},
                 {4, "PointSize", pkSpin, "3"}, {5, "PointBorder", pkCheck, "True"}, {6, "Line", pkCheck, "True"},
                 {7, "Point", pkCheck, "True"}, {8, "Bar", pkCheck, "True"},         {109, "Legend", pkCheck, "True"}};
  for (int i = 1; i <= 9; ++i) {
    const auto& c = common[i - 1];
    CommonPropRows[i] = Row(c.Id, 0, c.Kind, c.Key, c.Key, c.Value);
  }
}

double GetPlotValue(const TPlots& Plots, int Row, int Plot, int Curve, int ValErr, int MagPh) {
  const int e = PlotMapTable[Plot][MagPh][ValErr][Curve];
  return Plots[Row][e];
}

double GetPlotValueLogged(const TPlots& Plots, int Row, int Plot, int Curve, int ValErr, int MagPh) {
  try {
    return GetPlotValue(Plots, Row, Plot, Curve, ValErr, MagPh);
  } catch (const ERangeError&) {
    MtLog(Format("PlotNumber=%d mph=%d ValErr=%d i=%d Result=", {Plot, MagPh, ValErr, Curve}) + FloatToStr(0));
    return 0;
  }
}

void FillPropRows(int Plot, int Chart, TObject* Panel) {
  PropTable.Panel = Panel;
  PropTable.Rows.clear();
  for (int row = 1; row <= 3; ++row) {
    const TPropRec& r = PlotPropRows[Plot][Chart][row];
    if (!r.Name.empty()) PropTable.Rows.push_back(r);
  }
  for (const TPropRec& r : CommonPropRows) PropTable.Rows.push_back(r);
}

void StorePropRows() {
  for (const TPropRec& shown : PropTable.Rows) {
    for (TPropRec& r : PlotPropRows)
      if (r.Id == shown.Id) r.Value = shown.Value;
    for (TPropRec& r : CommonPropRows)
      if (r.Id == shown.Id) r.Value = shown.Value;
  }
}

void PropRowsToPlotSettings(const std::vector<TPropRec>& Rows, TPlotSettings& Settings) {
  for (const TPropRec& r : Rows) {
    double v = 0;
    const bool isNumber = TryStrToFloat(r.Value, v);
    if (r.Name == "XMin") {
      if (isNumber) Settings.XMin = v;
    } else if (r.Name == "XMax") {
      if (isNumber) Settings.XMax = v;
    } else if (r.Name == "YMin") {
      if (isNumber) Settings.YMin = v;
    } else if (r.Name == "YMax") {
      if (isNumber) Settings.YMax = v;
    } else if (r.Name == "PointSize") {
      int32_t n = 0;
      if (TryStrToInt(r.Value, n)) Settings.PointSize = n < 1 ? 1 : n;
    } else if (r.Name == "AutoX")
      Settings.AutoX = IsTrue(r.Value);
    else if (r.Name == "+180")
      Settings.Plus180 = IsTrue(r.Value);
    else if (r.Name == "Line")
      Settings.Line = IsTrue(r.Value);
    else if (r.Name == "Point")
      Settings.Point = IsTrue(r.Value);
    else if (r.Name == "Bar")
      Settings.Bar = IsTrue(r.Value);
    else if (r.Name == "Legend")
      Settings.Legend = IsTrue(r.Value);
    else if (r.Name == "PointBorder")
      Settings.PointBorder = IsTrue(r.Value);
  }
}
