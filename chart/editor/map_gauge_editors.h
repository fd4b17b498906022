// Editor forms of the map series (its shapes edited one by one), the gauge and the calendar.
#pragma once

#include "chart/editor/series_editor_kit.h"
#include "platform/forms.h"

class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TCalendarSeries;
class TChartGrid;
class TChartGridNavigator;
class TChartListBox;
class TFormGraphShape;
class TGaugeSeries;
class TGraphPolygon;
class TGrid3DSeriesEditor;
class TMapSeries;
class TPageControl;
class TTabSheet;

class TMapSeriesEditor : public TForm {
  VM_CLASS(TMapSeriesEditor, TForm)
public:
  explicit TMapSeriesEditor(TComponent* AOwner);

  TMapSeries* Map = nullptr;
  TGrid3DSeriesEditor* Grid3DForm = nullptr;
  bool CreatingForm = false;  // the loading flag

  TPageControl* PageControl2 = nullptr;
  TTabSheet *TabGlobal = nullptr, *TabShapes = nullptr;
  TButton* BMapBrush = nullptr;
  TButtonPen* ButtonPen1 = nullptr;
  TChartListBox* ChartListBox1 = nullptr;
  TButton *SBAdd = nullptr, *SBDelete = nullptr;
  TPageControl* PageControl1 = nullptr;
  TTabSheet *TabValues = nullptr, *TabFormat = nullptr, *TabData = nullptr;
  TLabel* ShapeIndex = nullptr;
  TEdit *EText = nullptr, *EditZ = nullptr;
  TButtonColor* ButtonColor1 = nullptr;
  TCheckBox *CBDefaultColor = nullptr, *CBGlobalPen = nullptr, *CBGlobalBrush = nullptr;
  TCheckBox *CBClosed = nullptr, *CBVisible = nullptr;
  TButtonPen* ButtonPen2 = nullptr;
  TButton* BBrush = nullptr;
  TButtonGradient* BGradient = nullptr;
  sekit::TIntField Transp;
  TChartGrid* ChartGrid1 = nullptr;
  TChartGridNavigator* ChartGridNavigator1 = nullptr;

  void FormShow();
  // The shape of the selected list entry, or none.
  TGraphPolygon* SelectedShape() const;
  void FillShapes();
  void ShowShape();  // also the list's click handler
  void SBAddClick();
  void SBDeleteClick();
  void PageControl2Change();

private:
  void EnableShapePages();
  void DefaultColorRule();
  void RepaintMap();
};

class TGaugeSeriesEditor : public TForm {
  VM_CLASS(TGaugeSeriesEditor, TForm)
public:
  explicit TGaugeSeriesEditor(TComponent* AOwner);

  TGaugeSeries* Gauge = nullptr;
  TForm* CircledForm = nullptr;
  TPageControl* PageControl1 = nullptr;
  TTabSheet *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr;
  // Options.
  TComboBox* ComboBox1 = nullptr;
  sekit::TIntField Angle, Dist, Value;
  TButtonPen *BLine = nullptr, *BAxis = nullptr;
  TCheckBox* CheckBox4 = nullptr;
  TButton *Button1 = nullptr, *Button3 = nullptr;
  // Labels.
  TCheckBox *CheckBox1 = nullptr, *CBInside = nullptr;
  TButton* Button2 = nullptr;
  TEdit* Edit1 = nullptr;
  sekit::TIntField Increment;
  // Ticks.
  TButtonPen *BTicks = nullptr, *BMinor = nullptr;
  sekit::TIntField TickLength, MinorCount, MinorLength, MinorDistance, Min, Max;

  void FormShow();
  void Button2Click();

private:
  bool FLoading = false;
};

class TCalendarSeriesEditor : public TForm {
  VM_CLASS(TCalendarSeriesEditor, TForm)
public:
  explicit TCalendarSeriesEditor(TComponent* AOwner);

  TCalendarSeries* Calendar = nullptr;
  TButtonPen* ButtonPen1 = nullptr;
  TCheckBox *CBWeekDays = nullptr, *CBWeekUpper = nullptr, *CBTrailing = nullptr, *CBToday = nullptr;
  TCheckBox *CBMonths = nullptr, *CBMonthUpper = nullptr, *CBPrevious = nullptr, *CBNext = nullptr;
  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;
  // The cell pages: Days, Weekdays, Today, Sunday, Trailing, Months, and their shape editors.
  TPageControl* CellPages[6] = {};
  TFormGraphShape* CellEditors[6] = {};

  void FormShow();

private:
  bool FLoading = false;
};

void RegisterMapGaugeEditorForms();
