// The editor pages of the Gantt drag tool, the grid-transpose tool and the surface-nearest tool.
// Each takes its tool from the form's Tag when shown and writes every change at once.
#pragma once

#include "chart/series/tools_editor.h"
#include "platform/forms.h"

class TButton;
class TButtonColor;
class TCheckBox;
class TEdit;
class TGanttTool;
class TGridTransposeTool;
class TSurfaceNearestTool;
class TUpDown;

// Registers the pages of this file by their class names (start-up; again is harmless).
void RegisterExtraSeriesToolEditorForms();

// Offers only the chart's Gantt series.
class TGanttToolEditor : public TSeriesToolEditor {
  VM_CLASS(TGanttToolEditor, TSeriesToolEditor)
public:
  explicit TGanttToolEditor(TComponent* AOwner);

  void FormShow(TObject* Sender) override;
  void Edit1Change(TObject* Sender);
  void CBAllowDragClick(TObject* Sender);
  void CBAllowResizeClick(TObject* Sender);
  void CBCursorDragChange(TObject* Sender);
  void CBCursorResizeChange(TObject* Sender);
  TGanttTool* Gantt() const;

  TEdit* Edit1 = nullptr;
  TUpDown* UpDown1 = nullptr;
  TCheckBox *CBAllowDrag = nullptr, *CBAllowResize = nullptr;
  TComboFlat *CBCursorDrag = nullptr, *CBCursorResize = nullptr;

private:
  // Off until the controls show the tool.
  bool FShown = false;
};

class TGridTransposeToolEdit : public TForm {
  VM_CLASS(TGridTransposeToolEdit, TForm)
public:
  explicit TGridTransposeToolEdit(TComponent* AOwner);

  void FormShow(TObject* Sender);
  void CBSeriesChange(TObject* Sender);
  void BTransposeClick(TObject* Sender);
  TGridTransposeTool* Tool() const { return FTool; }

  TComboFlat* CBSeries = nullptr;
  TButton* BTranspose = nullptr;

private:
  TGridTransposeTool* FTool = nullptr;
};

// The surface series to watch and the colours of the cell, its row and its column, each with a
// "Default" box (the series' own colour) and a "None" box (left unpainted).
class TSurfaceNearest : public TForm {
  VM_CLASS(TSurfaceNearest, TForm)
public:
  explicit TSurfaceNearest(TComponent* AOwner);

  void FormShow(TObject* Sender);
  void CBSeriesChange(TObject* Sender);
  TSurfaceNearestTool* Tool() const { return FTool; }

  TLabel* Label1 = nullptr;
  TComboFlat* CBSeries = nullptr;
  TButtonColor *ButtonColor1 = nullptr, *ButtonColor2 = nullptr, *ButtonColor3 = nullptr;
  // "Default" boxes of the cell, row and column colours, then their "None" boxes.
  TCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr;
  TCheckBox *CheckBox4 = nullptr, *CheckBox5 = nullptr, *CheckBox6 = nullptr;

private:
  // The colour of one button: 0 cell, 1 row, 2 column.
  void SetToolColor(int Which, TColor Value);
  void ButtonColorClick(int Which);
  void BoxClick(int Which, TColor Value);
  // Ticks the boxes from the colours without running their handlers.
  void SyncBoxes();

  TSurfaceNearestTool* FTool = nullptr;
  bool FLoading = false;
};
