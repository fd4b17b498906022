// The complex-plane editing window: the curves of the open site drawn in the complex plane (one
// point per frequency at angle = phase, radius = magnitude) on the left chart, and the single
// estimates of the current frequency in the same form, coloured by their mask value, on the right
// chart. A curve point selects its frequency; with the hand tool a click on an estimate removes
// or restores it.
#pragma once

#include <array>
#include <cstdint>

#include "app/child_form.h"
#include "app/site_session.h"
#include "platform/controls.h"

class TChart;
class TChartSeries;
class TColorLineTool;
class TFormStorage;
class TMenuItem;
class TPopupMenu;

class TVaroCmplx1 : public TMyForm {
  VM_CLASS(TVaroCmplx1, TMyForm)
public:
  TSiteSession& Session;
  // The view listens to Session from the start and stops when it goes.
  TVaroCmplx1(TComponent* AOwner, TSiteSession& ASession);
  ~TVaroCmplx1() override;

  TChart* Chart1 = nullptr;  // the curves, one polar series per curve
  TChart* Chart2 = nullptr;  // the estimates of the current frequency
  TPopupMenu* PopupMenu1 = nullptr;
  TPopupMenu* PopupMenu2 = nullptr;
  TMenuItem* Impedance1 = nullptr;       // "Impedance", Tag 0
  TMenuItem* AppResistivity1 = nullptr;  // "Appar.Rezistivity", Tag 1
  TMenuItem* Tipper1 = nullptr;          // "Tipper", Tag 3
  TMenuItem* LinearScale1 = nullptr;     // "Linear Scale"
  TMenuItem* ChartEditor1 = nullptr;     // "ChartEditor" of Chart1 (Tag 1)
  TMenuItem* pmProperties = nullptr;     // "Properties"
  TMenuItem* ChartEditor2 = nullptr;     // "ChartEditor" of Chart2 (Tag 2)
  // Marker lines on Chart2 through the selected value of curve 0 (red: 1 vertical, 2 horizontal)
  // and of curve 1 (green: 3 vertical, 4 horizontal); shown with the mean view.
  TColorLineTool *ChartTool1 = nullptr, *ChartTool2 = nullptr, *ChartTool3 = nullptr, *ChartTool4 = nullptr;
  TFormStorage* FormStorage1 = nullptr;

  int NFreq = 0;
  int CurFreq = 1;       // 1-based frequency row
  int NavState = 0;      // 3 after reaching the last point, 2 after reaching point 0
  int PlotType = 1;      // 0 impedance, 1 apparent resistivity, 2 tipper
  int MarkedPoint = -1;  // the highlighted point of the curve series
  bool MeanOn = false;
  bool LinearOn = false;  // radii linear instead of decimal logarithms

  // Builds both charts for the plot type and selects the last curve point.
  void ChartPaint();
  // Selects the frequency of point Index of a curve series (nothing for a negative index).
  void SelectFrequencyPoint(TChartSeries* Series, int Index);
  void MarkFrequencyPoint(int Index);
  void FillEstimateChart(int Index);
  void ApplyPlotSettings();
  int CurveCount() const;

  void Series1Click(TChartSeries* Sender, int ValueIndex);
  // A click on an estimate: with the hand tool its mask flips between used and removed.
  void Series11Click(TChartSeries* Sender, int ValueIndex, int X, int Y);
  void Impedance1Click(TObject* Sender);
  void LinearScale1Click(TObject* Sender);
  void pmPropertiesClick(TObject* Sender);
  void Chart1Click(TObject* Sender);
  void FormResize(TObject* Sender);
  void FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);

  void Navigate(TObject* Sender, int Step) override;
  void Refresh(TObject* Sender) override;
  void MeanView(TObject* Sender) override;
  void SaveFromObjInsp(TObject* Sender) override;
  void Undo(TObject* Sender) override;
  void Redo(TObject* Sender) override;
  void FormActivate(TObject* Sender) override;
  void FormDeactivate(TObject* Sender);

private:
  // Puts the curve value of point Index of series C (row = its label) into that point.
  void SetCurvePoint(int C, int Index);
  // Chart2's radius scale (its left axis, fitted to the estimates when Chart1's is automatic)
  // given to its other axes, and the marker lines placed through the selected curve values.
  void PlaceMarkerLines(int Index);
  void ShowMarkerLines();
  void SayWhatIsMissing();
  // Chart2's radius scale follows the estimates of each frequency.
  bool FAutoRadius = true;
  std::array<bool, 4> FLineValid{};
};

extern TVaroCmplx1* VaroCmplx1;
