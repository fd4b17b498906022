// The editor page shared by the series tools (choosing the tool's series) and the drag-point
// tool's page (drag style and the cursor over the series' points). The chart editor shows a page
// by the class name the tool names, with the tool in the page's Tag.
#pragma once

#include <string>

#include "chart/engine/editor_controls.h"
#include "chart/engine/tool_base.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

class TRadioGroup;

// The radio group of a page, kept apart from the chart headers (whose bevel names the platform's
// panels also use).
TRadioGroup* NewPageRadioGroup(TForm* Owner, const std::string& Name, const TRect& Bounds, const std::string& Caption,
                               std::initializer_list<const char*> Items, int ItemIndex, const TNotifyEvent& OnClick);
int RadioGroupIndex(TRadioGroup* Group);
void SetRadioGroupIndex(TRadioGroup* Group, int Index);

class TSeriesToolEditor : public TForm {
  VM_CLASS(TSeriesToolEditor, TForm)
public:
  explicit TSeriesToolEditor(TComponent* AOwner);

  // Fills Combo with the chart's series, "(none)" first, and selects Series.
  static void FillSeriesCombo(TComboBox* Combo, TChartSeries* Series, TCustomAxisPanel* Chart);

  virtual void FormCreate(TObject* Sender);
  virtual void FormShow(TObject* Sender);
  virtual void CBSeriesChange(TObject* Sender);

  TGraphCustomToolSeries* Tool() const { return FTool; }

  TLabel* Label1 = nullptr;
  TComboFlat* CBSeries = nullptr;

protected:
  TGraphCustomToolSeries* FTool = nullptr;
};

class TDragPointToolEdit : public TSeriesToolEditor {
  VM_CLASS(TDragPointToolEdit, TSeriesToolEditor)
public:
  explicit TDragPointToolEdit(TComponent* AOwner);

  void FormShow(TObject* Sender) override;
  void CBSeriesChange(TObject* Sender) override;
  void RGStyleClick(TObject* Sender);
  void CBCursorChange(TObject* Sender);

  TRadioGroup* RGStyle = nullptr;
  TLabel* Label2 = nullptr;
  TComboFlat* CBCursor = nullptr;
};

// The standard cursor names without their "cr" prefix, in the order of the cursor numbers.
void FillCursorNames(TStrings* Items);
