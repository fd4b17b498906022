// The polar diagrams view: for a range of frequencies of the open site, one small polar chart per
// frequency, laid out in a grid, with the magnitudes of Zxy and Zxx as the measuring axes turn
// through a full circle in steps of 6 degrees.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/child_form.h"
#include "app/site_session.h"

class TChart;
class TCheckBox;
class TComboBox;
class TFormStorage;
class TGroupBox;
class TPanel;
class TRadioButton;
class TRadioGroup;
class TVxCheckListBox;
class TVxSpinEdit;
class TVxSplitter;

class TChartEditor;

class TPolarDiag1 : public TMyForm {
  VM_CLASS(TPolarDiag1, TMyForm)
public:
  TSiteSession& Session;
  // Frequencies the rotation tables hold (index 1..MaxFreqs) and angle steps of a circle.
  static constexpr int MaxFreqs = 100;
  static constexpr int AngleSteps = 60;

  // The view listens to Session from the start and stops when it goes.
  TPolarDiag1(TComponent* AOwner, TSiteSession& ASession);
  ~TPolarDiag1() override;

  TPanel* Panel2 = nullptr;  // the charts
  TVxSplitter* Splitter1 = nullptr;
  TPanel* Panel1 = nullptr;                  // the controls
  TVxCheckListBox* CheckListBox1 = nullptr;  // "Zxy", "Zxx"
  TComboBox* ComboBox1 = nullptr;            // "First freq"
  TComboBox* ComboBox2 = nullptr;            // "Last freq"
  TVxSpinEdit* VxSpinEdit1 = nullptr;        // "Step"
  TCheckBox* CheckBox2 = nullptr;            // "Normalize Zxy"
  TGroupBox* GroupBox1 = nullptr;            // "Zxx type"
  TRadioButton* RadioButton1 = nullptr;      // "No Normalize"
  TRadioButton* RadioButton2 = nullptr;      // "Zxx/Zxy at angle"
  TRadioButton* RadioButton3 = nullptr;      // "Zxx/ZxyMax"
  TCheckBox* CheckBox1 = nullptr;            // "Normalize Zxx"
  TRadioGroup* RadioGroup1 = nullptr;        // hidden "View", kept with the layout only
  TFormStorage* FormStorage1 = nullptr;
  TChartEditor* ChartEditor1 = nullptr;  // made on first use

  // Slot k: chart k of the grid, or null when its frequency has no data.
  std::vector<TChart*> PolarCharts;
  int FreqStep = 1;
  int ChartCount = 0;
  int GridRows = 0, GridCols = 0;
  int CellWidth = 0, CellHeight = 0;
  struct TMagnitudes {
    float Zxy = 0, Zxx = 0;
  };
  std::array<std::array<TMagnitudes, AngleSteps + 1>, MaxFreqs + 1> RotatedMagnitudes{};
  std::array<float, MaxFreqs + 1> MaxZxy{}, MaxZxx{};

  void Refresh(TObject* Sender) override;
  void CheckBox2Click(TObject* Sender);
  void CalcRotatedMagnitudes();
  void FormResize(TObject* Sender);
  void FormStorage1SavePlacement(TObject* Sender);
  void FormStorage1RestorePlacement(TObject* Sender);

private:
  // What chart k of the grid shows: its curves, title and the values of its points.
  struct TPolarShown {
    bool Zxy = false, Zxx = false;
    std::string Title;
    std::vector<float> Values;
  };
  std::vector<TPolarShown> PolarShown;
  void FreeCharts();
  void FreeChart(size_t K);
  TChart* MakeChart(bool ShowZxy, bool ShowZxx);
  // While the controls are filled and restored their events do not rebuild the charts.
  bool FUpdating = false;
  // The height the side panel's controls need.
  int FSidePanelHeight = 0;
  // The window cannot be dragged smaller than its side panel whole and a chart column beside it
  // (its frame, known once the window is framed, is added).
  void KeepSidePanelWhole();
};

extern TPolarDiag1* PolarDiag1;
