// The editor pages of the scroll-bar, data-table, selector, series-band, extra-legend and pie
// tools. Each page takes its tool from the form's Tag when it is shown and applies every change
// at once.
#pragma once

#include "chart/extra/data_table_tool.h"
#include "chart/extra/scroll_bar_tool.h"
#include "chart/extra/selector_tool.h"
#include "chart/extra/series_band_tools.h"
#include "chart/series/tools_editor.h"
#include "platform/forms.h"

class TButton;
class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TPageControl;
class TRadioGroup;
class TSymbolEditor;
class TGraphFontEditor;
class TUpDown;

class TScrollbarEditor : public TForm {
  VM_CLASS(TScrollbarEditor, TForm)
public:
  explicit TScrollbarEditor(TComponent* AOwner);

  void FormShow(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void Button3Click(TObject* Sender);
  void ComboBox1Change(TObject* Sender);
  void CBAutoClick(TObject* Sender);
  void Edit1Change(TObject* Sender);
  void Edit2Change(TObject* Sender);

  TButtonPen* ButtonPen1 = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TButton* Button3 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TCheckBox* CBAuto = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UpDown1 = nullptr;
  TEdit* Edit2 = nullptr;
  TUpDown* UpDown2 = nullptr;
  TButtonColor* ButtonColor1 = nullptr;
  TButtonGradient* BGradient = nullptr;

private:
  TGraphScrollBar* FTool = nullptr;
  bool FLoading = true;
};

class TDataTableEditor : public TForm {
  VM_CLASS(TDataTableEditor, TForm)
public:
  explicit TDataTableEditor(TComponent* AOwner);

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void CBAutoPosClick(TObject* Sender);
  void CBInvertedClick(TObject* Sender);
  void Edit1Change(TObject* Sender);
  void Edit2Change(TObject* Sender);
  void CBLegVisibleClick(TObject* Sender);
  void CBFontColorClick(TObject* Sender);
  void CBOtherSideClick(TObject* Sender);

  TPageControl* PageControl1 = nullptr;
  TButtonPen* ButtonPen1 = nullptr;
  TButtonPen* ButtonPen2 = nullptr;
  TCheckBox* CBInverted = nullptr;
  TCheckBox* CBAutoPos = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UDLeft = nullptr;
  TEdit* Edit2 = nullptr;
  TUpDown* UDTop = nullptr;
  TPageControl* PageControl2 = nullptr;
  TCheckBox* CBLegVisible = nullptr;
  TCheckBox* CBFontColor = nullptr;
  TCheckBox* CBOtherSide = nullptr;
  TSymbolEditor* SymbolEditor = nullptr;
  TGraphFontEditor* LegendFontEditor = nullptr;
  TGraphFontEditor* FontEditor = nullptr;

private:
  void EnablePosition();
  TDataTableTool* FTool = nullptr;
  bool FCreating = true;
};

class TSelectorToolEditor : public TForm {
  VM_CLASS(TSelectorToolEditor, TForm)
public:
  explicit TSelectorToolEditor(TComponent* AOwner);

  void FormShow(TObject* Sender);
  void Edit1Change(TObject* Sender);
  void CBAllowDragClick(TObject* Sender);
  void CBResizeChartClick(TObject* Sender);

  TButtonPen* ButtonPen1 = nullptr;
  TButtonColor* ButtonColor1 = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UDSize = nullptr;
  TCheckBox* CBAllowDrag = nullptr;
  TCheckBox* CBResizeChart = nullptr;

private:
  TSelectorTool* FTool = nullptr;
  bool FShowing = false;
};

class TSeriesBandToolEdit : public TSeriesToolEditor {
  VM_CLASS(TSeriesBandToolEdit, TSeriesToolEditor)
public:
  explicit TSeriesBandToolEdit(TComponent* AOwner);

  void FormShow(TObject* Sender) override;
  void CBSeries2Change(TObject* Sender);
  void Button1Click(TObject* Sender);
  void CBDrawBehindSeriesClick(TObject* Sender);
  void ETranspChange(TObject* Sender);

  TComboFlat* CBSeries2 = nullptr;
  TButton* Button1 = nullptr;
  TButtonPen* BPen = nullptr;
  TCheckBox* CBDrawBehindSeries = nullptr;
  TEdit* ETransp = nullptr;
  TUpDown* UDTransp = nullptr;
  TButtonGradient* BGradient = nullptr;

private:
  TSeriesBandTool* Band() const { return dynamic_cast<TSeriesBandTool*>(FTool); }
  bool FShowing = false;
};

class TExtraLegendEditor : public TSeriesToolEditor {
  VM_CLASS(TExtraLegendEditor, TSeriesToolEditor)
public:
  explicit TExtraLegendEditor(TComponent* AOwner);

  void Button1Click(TObject* Sender);

  TButton* Button1 = nullptr;
};

class TPieToolEditor : public TForm {
  VM_CLASS(TPieToolEditor, TForm)
public:
  explicit TPieToolEditor(TComponent* AOwner);

  void FormShow(TObject* Sender);
  void CBPieSeriesChange(TObject* Sender);
  void RGStyleClick(TObject* Sender);

  TLabel* Label1 = nullptr;
  TComboFlat* CBPieSeries = nullptr;
  TRadioGroup* RGStyle = nullptr;
  TButtonPen* BPen = nullptr;

private:
  TPieTool* FTool = nullptr;
  bool FLoading = false;
};

// Registers the six forms for lookup by class name.
void RegisterExtraToolEditorForms();
