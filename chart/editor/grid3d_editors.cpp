#include "chart/editor/grid3d_editors.h"

#include <cmath>
#include <memory>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/series_editor_kit.h"
#include "chart/editor/series_page.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/series_helpers.h"
#include "chart/extra/contour_series.h"
#include "chart/extra/grid_series.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/surface_series.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TGrid3DSeriesEditor)
VM_DEFINE_CLASS(TSurfaceSeriesEditor)
VM_DEFINE_CLASS(TWaterFallEditor)
VM_DEFINE_CLASS(TContourSeriesEditor)
VM_DEFINE_CLASS(TColorGridEditor)

namespace {

template <class T>
T* Make(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y, int W,
        int H) {
  auto* c = new T(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  if (!Caption.empty()) c->SetCaption(Caption);
  c->SetBounds(X, Y, W, H);
  return c;
}

TCheckBox* Check(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                 int W = 150) {
  return Make<TCheckBox>(Owner, Parent, Name, Caption, X, Y, W, 20);
}

TTabSheet* Page(TComponent* Owner, TPageControl* Pages, const char* Name, const std::string& Caption) {
  auto* t = new TTabSheet(Owner);
  t->SetName(Name);
  t->SetPageControl(Pages);
  t->SetCaption(Caption);
  return t;
}

TLabel* LabelFor(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Text, int X, int Y,
                 TWinControl* Focus, int W = 90) {
  auto* l = Make<TLabel>(Owner, Parent, Name, Text, X, Y + 3, W, 16);
  l->SetFocusControl(Focus);
  return l;
}

// The edit's text as a real number, or the current value when it is not one.
double FloatOr(TEdit* Edit, double Current) {
  double v = 0;
  return TryStrToFloat(Trim(Edit->Text()), v) ? v : Current;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Shared pieces of the series forms

void FillColorGridFromPicture(TColorGridSeries* Series, TPicture* Picture) {
  if (!Series || !Picture || !Picture->Graphic()) return;
  const int w = Picture->Width();
  const int h = Picture->Height();
  TBitmap bitmap(w, h, pf24bit);
  bitmap.Canvas()->Draw(0, 0, Picture->Graphic());
  Series->BeginUpdate();
  try {
    Series->ClearValues();
    Series->SetCenteredPoints(true);
    Series->SetNumXValues(w);
    Series->SetNumZValues(h);
    Series->ClearValues();
    for (int c = 0; c < w; ++c)
      for (int r = 0; r < h; ++r) {
        const TColor colour = bitmap.Canvas()->Pixels(c, r);
        Series->AddXYZPoint(c + 1, static_cast<double>(colour), r + 1, "", colour);
      }
  } catch (...) {
    Series->EndUpdate();
    throw;
  }
  Series->EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// TGrid3DSeriesEditor

TGrid3DSeriesEditor::TGrid3DSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 400, 230);
  SetAlign(alClient);
  auto* size = Make<TGroupBox>(this, this, "GroupBox1", "Grid size:", 4, 4, 150, 80);
  XGrid = sekit::IntField(
      this, size, "SEXGrid", "UZOVira", "", "&X:", 8, 18, {1, 1000}, [this](int) { SEXGridChange(); }, 30);
  ZGrid = sekit::IntField(
      this, size, "SEZGrid", "UDZGrid", "", "&Z:", 8, 48, {1, 1000}, [this](int) { SEXGridChange(); }, 30);
  Depth = sekit::IntField(
      this, this, "EDepth", "UDDepth", "", "&Depth:", 164, 22, {1, 100},
      [this](int V) {
        if (Grid3DSeries && !CreatingForm) Grid3DSeries->SetTimesZOrder(V);
      },
      60);
  CBIrreg = Check(this, this, "CBIrreg", "&Irregular", 164, 56, 120);
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 4, 90, 392, 136);
  TabSingle = Page(this, PageControl1, "TabSingle", "Single");
  TabRange = Page(this, PageControl1, "TabRange", "Range");
  TabPalette = Page(this, PageControl1, "TabPalette", "Palette");
  BColor = Make<TButtonColor>(this, TabSingle, "BColor", "C&olor...", 8, 8, 110, 25);
  BRemove = Make<TButton>(this, TabSingle, "BRemove", "&Remove custom colors", 8, 40, 170, 25);
  BFromColor = Make<TButtonColor>(this, TabRange, "BFromColor", "&Start...", 8, 8, 100, 25);
  BMidColor = Make<TButtonColor>(this, TabRange, "BMidColor", "&Middle...", 8, 38, 100, 25);
  BToColor = Make<TButtonColor>(this, TabRange, "BToColor", "&End...", 8, 68, 100, 25);
  CheckBox1 = Check(this, TabRange, "CheckBox1", "&No middle", 116, 41, 110);
  Button1 = Make<TButton>(this, TabRange, "Button1", "S&wap", 240, 8, 90, 25);
  Button2 = Make<TButton>(this, TabRange, "Button2", "&Gallery...", 240, 38, 90, 25);
  PaletteSteps = sekit::IntField(
      this, TabPalette, "SEPalette", "UDPalette", "", "S&teps:", 8, 6, {1, 1000},
      [this](int V) {
        if (Grid3DSeries && !CreatingForm) Grid3DSeries->SetPaletteSteps(V);
      },
      50);
  CBPalStyle = Make<TComboFlat>(this, TabPalette, "CBPalStyle", "", 190, 6, 110, 22);
  CBPalStyle->SetStyle(csDropDownList);
  for (const char* s : {"Pale", "Strong", "Gray scale", "Inverted Gray", "Rainbow"}) CBPalStyle->Items()->Add(s);
  LabelFor(this, TabPalette, "LPalStyle", "St&yle:", 140, 6, CBPalStyle, 50);
  CBUseMin = Check(this, TabPalette, "CBUseMin", "&Use palette minimum", 8, 36, 170);
  EPaletteMin = Make<TEdit>(this, TabPalette, "EPaletteMin", "", 250, 34, 70, 22);
  LabelFor(this, TabPalette, "LPaletteMin", "&Minimum:", 184, 34, EPaletteMin, 66);
  EPaletteStep = Make<TEdit>(this, TabPalette, "EPaletteStep", "", 58, 64, 70, 22);
  LabelFor(this, TabPalette, "LPaletteStep", "&Step:", 8, 64, EPaletteStep, 50);
  LegendEvery = sekit::IntField(
      this, TabPalette, "Edit1", "UDLegendEvery", "", "", 184, 64, {1, 1000},
      [this](int V) {
        if (Grid3DSeries && !CreatingForm) Grid3DSeries->SetLegendEvery(V);
      },
      0);
  LegendEvery.Label->SetVisible(false);  // no caption of its own: it would lie over the field
  SEXGrid = XGrid.Edit;
  UZOVira = XGrid.UpDown;
  SEZGrid = ZGrid.Edit;
  UDZGrid = ZGrid.UpDown;
  EDepth = Depth.Edit;
  UDDepth = Depth.UpDown;
  SEPalette = PaletteSteps.Edit;
  UDPalette = PaletteSteps.UpDown;
  Edit1 = LegendEvery.Edit;
  UDLegendEvery = LegendEvery.UpDown;
  Timer1 = new TTimer(this);
  Timer1->SetName("Timer1");
  Timer1->SetEnabled(false);
  Timer1->SetInterval(1);

  CBIrreg->OnClick = [this](TObject*) {
    if (auto* g = dynamic_cast<TCustom3DGridSeries*>(Grid3DSeries); g && !CreatingForm)
      g->SetIrregularGrid(CBIrreg->Checked());
  };
  PageControl1->OnChange = [this](TObject*) { PageControl1Change(); };
  BRemove->OnClick = [this](TObject*) { BRemoveClick(); };
  BMidColor->OnClick = [this](TObject*) { ApplyMiddleRule(); };
  CheckBox1->OnClick = [this](TObject*) { CheckBox1Click(); };
  Button1->OnClick = [this](TObject*) { Button1Click(); };
  Button2->OnClick = [this](TObject*) { Button2Click(); };
  CBPalStyle->OnChange = [this](TObject*) {
    if (Grid3DSeries && !CreatingForm && CBPalStyle->ItemIndex() >= 0)
      Grid3DSeries->SetPaletteStyle(static_cast<TGraphPaletteStyle>(CBPalStyle->ItemIndex()));
  };
  CBUseMin->OnClick = [this](TObject*) {
    if (!Grid3DSeries || CreatingForm) return;
    Grid3DSeries->SetUsePaletteMin(CBUseMin->Checked());
    EPaletteMin->SetEnabled(Grid3DSeries->UsePaletteMin());
  };
  EPaletteMin->OnChange = [this](TObject*) {
    if (Grid3DSeries && !CreatingForm) Grid3DSeries->SetPaletteMin(FloatOr(EPaletteMin, Grid3DSeries->PaletteMin()));
  };
  EPaletteStep->OnChange = [this](TObject*) {
    if (Grid3DSeries && !CreatingForm) Grid3DSeries->SetPaletteStep(FloatOr(EPaletteStep, Grid3DSeries->PaletteStep()));
  };
  Timer1->OnTimer = [this](TObject*) { Timer1Timer(); };
  OnShow = [this](TObject*) { FormShow(); };
}

TGrid3DSeriesEditor::~TGrid3DSeriesEditor() { Listen(nullptr); }

// Listens to one chart at a time, and forgets it when the chart goes first.
void TGrid3DSeriesEditor::Listen(TCustomGraphPanel* Chart) {
  if (Chart == FListening) return;
  if (FListening) {
    FListening->RemoveListener(this);
    FListening->RemoveFreeNotification(this);
  }
  FListening = Chart;
  if (FListening) {
    FListening->Listeners->Add(this);
    FListening->FreeNotification(this);
  }
}

void TGrid3DSeriesEditor::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  if (AComponent == FListening) {
    FListening = nullptr;
    Grid3DSeries = nullptr;
  } else if (AComponent == Grid3DSeries) {
    Grid3DSeries = nullptr;
  }
}

void TGrid3DSeriesEditor::SEXGridChange() {
  auto* g = dynamic_cast<TCustom3DGridSeries*>(Grid3DSeries);
  if (!g || CreatingForm) return;
  int x = 0, z = 0;
  if (!TryStrToInt(Trim(SEXGrid->Text()), x) || !TryStrToInt(Trim(SEZGrid->Text()), z)) return;
  if (x < 1 || x > 1000 || z < 1 || z > 1000) return;
  if (x != g->NumXValues() || z != g->NumZValues()) g->CreateValues(x, z);
}

void TGrid3DSeriesEditor::ApplyMiddleRule() {
  const bool was = CreatingForm;
  CreatingForm = true;
  const bool none = Grid3DSeries && Grid3DSeries->MidColor() == clNone;
  CheckBox1->SetChecked(none);
  CheckBox1->SetEnabled(!none);
  CreatingForm = was;
}

void TGrid3DSeriesEditor::CheckBox1Click() {
  if (!Grid3DSeries || CreatingForm || !CheckBox1->Checked()) return;
  Grid3DSeries->SetMidColor(clNone);
  BMidColor->Repaint();
  ApplyMiddleRule();
}

void TGrid3DSeriesEditor::BRemoveClick() {
  if (!Grid3DSeries) return;
  for (int i = 0; i < Grid3DSeries->Count(); ++i) Grid3DSeries->SetPointColorAt(i, clAutoColor);
  BRemove->SetEnabled(false);
}

void TGrid3DSeriesEditor::Button1Click() {
  if (!Grid3DSeries) return;
  const TColor start = Grid3DSeries->StartColor();
  Grid3DSeries->SetStartColor(Grid3DSeries->EndColor());
  Grid3DSeries->SetEndColor(start);
  BFromColor->Repaint();
  BToColor->Repaint();
}

void TGrid3DSeriesEditor::Button2Click() {
  if (!Grid3DSeries) return;
  TGraphGradient gradient;
  gradient.SetVisible(true);
  gradient.SetStartColor(Grid3DSeries->StartColor());
  gradient.SetMidColor(Grid3DSeries->MidColor());
  gradient.SetEndColor(Grid3DSeries->EndColor());
  std::unique_ptr<TForm> form(
      CreateEditorDialog([](TComponent* Owner) { return new TGraphGradientEditor(Owner); }, this));
  auto* e = static_cast<TGraphGradientEditor*>(form.get());
  e->SetAlign(alNone);
  e->RefreshControls(&gradient);
  // Only the list of named gradients, with OK and Cancel.
  e->CBVisible->SetVisible(false);
  e->CBDirection->SetVisible(false);
  if (auto* c = dynamic_cast<TControl*>(e->FindComponent("LabelDirection"))) c->SetVisible(false);
  for (TTabSheet* t : {e->TabColors, e->TabOptions, e->TabDirections}) t->SetTabVisible(false);
  e->PageControl1->SetActivePage(e->TabDefault);
  if (e->ShowModal() != mrOk) return;
  Grid3DSeries->SetStartColor(gradient.StartColor());
  Grid3DSeries->SetMidColor(gradient.UsesMidColor() ? gradient.MidColor() : clNone);
  Grid3DSeries->SetEndColor(gradient.EndColor());
  for (TButtonColor* b : {BFromColor, BMidColor, BToColor}) b->Repaint();
  ApplyMiddleRule();
}

void TGrid3DSeriesEditor::PageControl1Change() {
  if (!Grid3DSeries || CreatingForm) return;
  TTabSheet* p = PageControl1->ActivePage();
  if (p == TabSingle) {
    Grid3DSeries->SetColorEachPoint(true);
    Grid3DSeries->SetColorEachPoint(false);
    Grid3DSeries->SetUseColorRange(false);
    Grid3DSeries->SetUsePalette(false);
  } else if (p == TabRange) {
    Grid3DSeries->SetUseColorRange(true);
    Grid3DSeries->SetUsePalette(false);
  } else if (p == TabPalette) {
    Grid3DSeries->SetUseColorRange(false);
    Grid3DSeries->SetUsePalette(true);
  }
}

void TGrid3DSeriesEditor::RefreshControls(TCustom3DPaletteSeries* Series) {
  CreatingForm = true;
  Grid3DSeries = Series;
  // Bound for the later showings too.
  SetTag(reinterpret_cast<intptr_t>(static_cast<TObject*>(Series)));
  if (!Series) {
    CreatingForm = false;
    return;
  }
  if (auto* g = dynamic_cast<TCustom3DGridSeries*>(Series)) {
    XGrid.UpDown->SetPosition(g->NumXValues());
    ZGrid.UpDown->SetPosition(g->NumZValues());
    CBIrreg->SetVisible(true);
    CBIrreg->SetChecked(g->IrregularGrid());
    const bool can = g->CanCreateValues();
    XGrid.SetEnabled(can);
    ZGrid.SetEnabled(can);
  } else {
    XGrid.SetEnabled(false);
    ZGrid.SetEnabled(false);
    CBIrreg->SetVisible(false);
  }
  Depth.UpDown->SetPosition(Series->TimesZOrder());
  PaletteSteps.UpDown->SetPosition(Series->PaletteSteps());
  CBPalStyle->SetItemIndex(static_cast<int>(Series->PaletteStyle()));
  PageControl1->SetActivePage(Series->UseColorRange() ? TabRange : Series->UsePalette() ? TabPalette : TabSingle);
  CBUseMin->SetChecked(Series->UsePaletteMin());
  EPaletteMin->SetText(FloatToStr(Series->PaletteMin()));
  EPaletteMin->SetEnabled(Series->UsePaletteMin());
  EPaletteStep->SetText(FloatToStr(Series->PaletteStep()));
  LegendEvery.UpDown->SetPosition(Series->LegendEvery());
  ApplyMiddleRule();
  BRemove->SetEnabled(SeriesHasColors(Series));
  BColor->LinkProperty(Series, "SeriesColor");
  BFromColor->LinkProperty(Series, "StartColor");
  BMidColor->LinkProperty(Series, "MidColor");
  BToColor->LinkProperty(Series, "EndColor");
  if (TCustomAxisPanel* chart = Series->ParentChart()) Listen(chart);
  CreatingForm = false;
}

void TGrid3DSeriesEditor::FormShow() {
  RefreshControls(dynamic_cast<TCustom3DPaletteSeries*>(EmbeddedObject(this)));
  CreatingForm = false;
  Timer1->SetEnabled(true);
}

void TGrid3DSeriesEditor::Timer1Timer() {
  Timer1->SetEnabled(false);
  TTabSheet* active = PageControl1->ActivePage();
  PageControl1->SetActivePage(nullptr);
  PageControl1->SetActivePage(active);
}

void TGrid3DSeriesEditor::ChartEvent(TGraphEvent* Event) {
  if (ComponentState().Contains(csDestroying)) return;
  auto* e = dynamic_cast<TGraphSeriesEvent*>(Event);
  if (!e) return;
  if (e->Event == sekRemoved && e->Series == Grid3DSeries) Grid3DSeries = nullptr;
  if (e->Event == sekColor) BColor->Repaint();
}

TGrid3DSeriesEditor* InsertGrid3DEditor(TForm* Editor, TChartSeries* Series) {
  TFormGraphSeries* page = sekit::HostSeriesPage(Editor);
  return page ? static_cast<TGrid3DSeriesEditor*>(
                    AddSeriesEditorTab(page, TGrid3DSeriesEditor::StaticClass(), 1, Series, MsgGalleryGrid3D))
              : nullptr;
}

void ShowGrid3DEditor(TGrid3DSeriesEditor*& Ref, TForm* Editor, TCustom3DPaletteSeries* Series) {
  if (!Ref)
    Ref = InsertGrid3DEditor(Editor, Series);
  else if (Ref->Grid3DSeries != Series)
    Ref->RefreshControls(Series);
}

// ---------------------------------------------------------------------------------------------
// TSurfaceSeriesEditor

TSurfaceSeriesEditor::TSurfaceSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 400, 190);
  SetAlign(alClient);
  RadioGroup1 = Make<TRadioGroup>(this, this, "RadioGroup1", "&Drawing Mode:", 4, 4, 300, 44);
  RadioGroup1->SetColumns(3);
  for (const char* s : {"Solid", "WireFrame", "DotFrame"}) RadioGroup1->Items()->Add(s);
  CBSmooth = Check(this, this, "CBSmooth", "&Smooth palette", 8, 56, 140);
  CBFastBrush = Check(this, this, "CBFastBrush", "&Fast Brush", 160, 56, 120);
  Button2 = Make<TButtonPen>(this, this, "Button2", "&Pen...", 8, 84, 110, 25);
  Button3 = Make<TButton>(this, this, "Button3", "&Brush...", 126, 84, 110, 25);
  Button1 = Make<TButton>(this, this, "Button1", "S&ide Brush...", 126, 114, 110, 25);
  BSideLines = Make<TButtonPen>(this, this, "BSideLines", "Side &Lines...", 8, 114, 110, 25);
  Transp = sekit::IntField(this, this, "Edit1", "UDTransp", "", "&Transparency:", 8, 148, {0, 100, 5}, [this](int V) {
    if (Surface && Showing() && !FLoading) Surface->SetTransparency(V);
  });

  RadioGroup1->OnClick = [this](TObject*) { RadioGroup1Click(); };
  CBSmooth->OnClick = [this](TObject*) {
    if (Surface && !FLoading) Surface->SetSmoothPalette(CBSmooth->Checked());
  };
  CBFastBrush->OnClick = [this](TObject*) {
    if (Surface && !FLoading) Surface->SetFastBrush(CBFastBrush->Checked());
  };
  Button3->OnClick = [this](TObject*) {
    if (Surface) ShowBrushDialog(this, Surface->Brush());
  };
  Button1->OnClick = [this](TObject*) {
    if (Surface) ShowBrushDialog(this, Surface->SideBrush());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TSurfaceSeriesEditor::RadioGroup1Click() {
  if (!Surface || !Showing() || FLoading) return;
  switch (RadioGroup1->ItemIndex()) {
    case 0:
      Surface->SetDotFrame(false);
      Surface->SetWireFrame(false);
      break;
    case 1:
      Surface->SetWireFrame(true);
      break;
    case 2:
      Surface->SetDotFrame(true);
      break;
    default:
      break;
  }
}

void TSurfaceSeriesEditor::FormShow() {
  auto* s = dynamic_cast<TSurfaceSeries*>(EmbeddedObject(this));
  if (!s) return;
  Surface = s;
  {
    const bool was = FLoading;
    FLoading = true;
    RadioGroup1->SetItemIndex(s->WireFrame() ? 1 : s->DotFrame() ? 2 : 0);
    CBSmooth->SetChecked(s->SmoothPalette());
    CBFastBrush->SetChecked(s->FastBrush());
    Button2->LinkPen(s->Pen());
    BSideLines->LinkPen(s->SideLines());
    Transp.UpDown->SetPosition(s->Transparency());
    FLoading = was;
  }
  if (Grid3DForm)
    Grid3DForm->RefreshControls(s);
  else
    Grid3DForm = InsertGrid3DEditor(this, s);
}

TWaterFallEditor::TWaterFallEditor(TComponent* AOwner) : TSurfaceSeriesEditor(AOwner) {
  BLines = Make<TButtonPen>(this, this, "BLines", "&Lines...", 244, 84, 110, 25);
}

void TWaterFallEditor::FormShow() {
  TSurfaceSeriesEditor::FormShow();
  if (Surface) BLines->LinkPen(Surface->WaterLines());
}

// ---------------------------------------------------------------------------------------------
// TContourSeriesEditor

TContourSeriesEditor::TContourSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 420, 220);
  SetAlign(alClient);
  Button2 = Make<TButtonPen>(this, this, "Button2", "&Pen...", 8, 8, 100, 25);
  CBColorEach = Check(this, this, "CBColorEach", "&Color Each", 120, 10, 180);
  CBYPosLevel = Check(this, this, "CBYPosLevel", "Levels p&osition", 8, 40, 141);
  YPos = sekit::IntField(
      this, this, "SEYPos", "UDYPos", "", "&Vertical Position:", 150, 38, {-30000, 30000},
      [this](int V) {
        if (Contour && !CreatingForm) Contour->SetYPosition(V);
      },
      110);
  auto* levels = Make<TGroupBox>(this, this, "GroupBox1", "Levels:", 4, 70, 410, 110);
  CBAutoLevels = Check(this, levels, "CBAutoLevels", "&Automatic", 8, 18, 100);
  Num = sekit::IntField(
      this, levels, "SENum", "UDNum", "", "&Number:", 120, 16, {1, 150},
      [this](int V) {
        if (!Contour || CreatingForm) return;
        Contour->SetNumLevels(V);
        if (Contour->AutomaticLevels()) Contour->CreateAutoLevels();
        UDLevel->SetMax(std::max(0, Contour->NumLevels() - 1));
        ELevel->SetText(IntToStr(UDLevel->Position()));
        ShowLevel();
      },
      60);
  Level = sekit::IntField(
      this, levels, "ELevel", "UDLevel", "", "&Level:", 8, 48, {0, 1000},
      [this](int V) {
        if (!Contour || CreatingForm || Contour->Levels()->Count() == 0) return;
        if (V <= UDLevel->Max()) ShowLevel();
      },
      60);
  SHColor = Make<TPanel>(this, levels, "SHColor", "", 140, 48, 24, 22);
  SHColor->SetCursor(crHandPoint);
  SHColor->SetBevelOuter(bvNone);
  EValue = Make<TEdit>(this, levels, "EValue", "", 172, 48, 80, 22);
  bLevelPen = Make<TButtonPen>(this, levels, "bLevelPen", "P&en...", 260, 46, 80, 25);
  cbDefaultPen = Check(this, levels, "cbDefaultPen", "&Default", 260, 78, 115);
  CBSmooth = Check(this, this, "CBSmooth", "&Smooth", 8, 188, 100);
  CBInterpolate = Check(this, this, "CBInterpolate", "&Interpolate", 120, 188, 140);
  CBInterpolate->SetEnabled(false);
  SEYPos = YPos.Edit;
  UDYPos = YPos.UpDown;
  SENum = Num.Edit;
  UDNum = Num.UpDown;
  ELevel = Level.Edit;
  UDLevel = Level.UpDown;

  CBColorEach->OnClick = [this](TObject*) {
    if (!Contour || CreatingForm) return;
    Contour->SetColorEachPoint(CBColorEach->Checked());
    Contour->CreateAutoLevels();
    ShowLevel();
  };
  CBYPosLevel->OnClick = [this](TObject*) {
    if (Contour && !CreatingForm) Contour->SetYPositionLevel(CBYPosLevel->Checked());
    YPos.SetEnabled(!CBYPosLevel->Checked());
  };
  CBAutoLevels->OnClick = [this](TObject*) {
    if (!Contour || CreatingForm) return;
    Contour->SetAutomaticLevels(CBAutoLevels->Checked());
    AutomaticRule();
  };
  SHColor->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { SHColorMouseUp(); };
  EValue->OnChange = [this](TObject*) {
    if (!Contour || CreatingForm) return;
    const int i = UDLevel->Position();
    if (i < 0 || i >= Contour->Levels()->Count()) return;
    Contour->Levels()->Level(i)->SetUpToValue(StrToFloat(Trim(EValue->Text())));
    const bool was = CreatingForm;
    CreatingForm = true;
    CBAutoLevels->SetChecked(Contour->AutomaticLevels());
    CreatingForm = was;
  };
  bLevelPen->OnClick = [this](TObject*) { bLevelPenClick(); };
  cbDefaultPen->OnClick = [this](TObject*) { cbDefaultPenClick(); };
  CBSmooth->OnClick = [this](TObject*) {
    if (Contour && !CreatingForm) Contour->Smoothing()->SetActive(CBSmooth->Checked());
    CBInterpolate->SetEnabled(CBSmooth->Checked());
  };
  CBInterpolate->OnClick = [this](TObject*) {
    if (Contour && !CreatingForm) Contour->Smoothing()->SetInterpolate(CBInterpolate->Checked());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TContourSeriesEditor::AutomaticRule() {
  if (!Contour) return;
  const bool automatic = Contour->AutomaticLevels();
  if (automatic) Contour->CreateAutoLevels();
  Num.SetEnabled(automatic);
  CBColorEach->SetEnabled(automatic);
  ShowLevel();
}

void TContourSeriesEditor::ShowLevel() {
  if (!Contour) return;
  const bool was = CreatingForm;
  CreatingForm = true;
  const int i = UDLevel->Position();
  if (i >= 0 && i < Contour->Levels()->Count()) {
    TContourLevel* l = Contour->Levels()->Level(i);
    TColor c = l->Color();
    if (c == clAutoColor && Contour->ParentChart()) c = Contour->ParentChart()->GetPaletteColor(i);
    SHColor->SetColor(c);
    EValue->SetText(FormatFloat("0.###", l->UpToValue()));
    cbDefaultPen->SetChecked(l->DefaultPen());
    bLevelPen->SetEnabled(!l->DefaultPen());
    bLevelPen->LinkPen(l->DefaultPen() ? nullptr : l->Pen());
  } else {
    bLevelPen->LinkPen(nullptr);
  }
  CreatingForm = was;
}

void TContourSeriesEditor::SHColorMouseUp() {
  if (!Contour) return;
  const int i = UDLevel->Position();
  if (i < 0 || i >= Contour->Levels()->Count()) return;
  TContourLevel* l = Contour->Levels()->Level(i);
  TColor c = l->Color();
  if (EditColorChanged(this, c)) {
    SHColor->SetColor(c);
    l->SetColor(c);
    if (!l->DefaultPen()) {
      l->Pen()->SetColor(c);
      bLevelPen->Repaint();
    }
  }
  const bool was = CreatingForm;
  CreatingForm = true;
  CBAutoLevels->SetChecked(Contour->AutomaticLevels());
  CreatingForm = was;
}

void TContourSeriesEditor::bLevelPenClick() {
  // The button also reports a click while it is linked to no pen: nothing was edited then.
  if (!Contour || !bLevelPen->Pen()) return;
  const int i = UDLevel->Position();
  if (i < 0 || i >= Contour->Levels()->Count()) return;
  TContourLevel* l = Contour->Levels()->Level(i);
  const bool was = CreatingForm;
  CreatingForm = true;
  cbDefaultPen->SetChecked(l->DefaultPen());
  CreatingForm = was;
  if (!l->DefaultPen()) l->SetColor(l->Pen()->Color());
  SHColor->SetColor(l->Color());
}

void TContourSeriesEditor::cbDefaultPenClick() {
  if (!Contour || CreatingForm) return;
  bLevelPen->SetEnabled(!cbDefaultPen->Checked());
  const int i = UDLevel->Position();
  if (i < 0 || i >= Contour->Levels()->Count()) return;
  TContourLevel* l = Contour->Levels()->Level(i);
  if (cbDefaultPen->Checked()) {
    l->SetPen(nullptr);
    bLevelPen->LinkPen(nullptr);
  } else {
    bLevelPen->LinkPen(l->Pen());
  }
}

void TContourSeriesEditor::FormShow() {
  if (auto* s = dynamic_cast<TContourSeries*>(EmbeddedObject(this))) {
    Contour = s;
    CreatingForm = true;
    CBColorEach->SetChecked(s->ColorEachPoint());
    CBYPosLevel->SetChecked(s->YPositionLevel());
    YPos.SetEnabled(!s->YPositionLevel());
    UDYPos->SetPosition(sekit::RoundToField(s->YPosition()));
    CBAutoLevels->SetChecked(s->AutomaticLevels());
    UDNum->SetPosition(s->NumLevels());
    UDLevel->SetMax(std::max(0, s->NumLevels() - 1));
    CBSmooth->SetChecked(s->Smoothing()->Active());
    CBInterpolate->SetChecked(s->Smoothing()->Interpolate());
    CBInterpolate->SetEnabled(s->Smoothing()->Active());
    Button2->LinkPen(s->Pen());
    Num.SetEnabled(s->AutomaticLevels());
    CBColorEach->SetEnabled(s->AutomaticLevels());
    ShowGrid3DEditor(Grid3DForm, this, s);
    ShowLevel();
  }
  CreatingForm = false;
}

// ---------------------------------------------------------------------------------------------
// TColorGridEditor

TColorGridEditor::TColorGridEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 360, 170);
  SetAlign(alClient);
  BGrid = Make<TButtonPen>(this, this, "BGrid", "&Grid...", 8, 8, 100, 25);
  ButtonPen1 = Make<TButtonPen>(this, this, "ButtonPen1", "&Frame...", 8, 40, 100, 25);
  CBCentered = Check(this, this, "CBCentered", "&Centered", 120, 10, 110);
  CBSmooth = Check(this, this, "CBSmooth", "Sm&ooth", 120, 42, 110);
  auto* every = Make<TGroupBox>(this, this, "GroupBox1", "Grid Every:", 4, 72, 150, 80);
  XEvery = sekit::IntField(
      this, every, "Edit2", "UDX", "", "&X:", 8, 18, {1, 100},
      [this](int V) {
        if (Grid && !CreatingForm) Grid->SetXGridEvery(V);
      },
      30);
  ZEvery = sekit::IntField(
      this, every, "Edit1", "UDZ", "", "&Z:", 8, 48, {1, 100},
      [this](int V) {
        if (Grid && !CreatingForm) Grid->SetZGridEvery(V);
      },
      30);
  Button2 = Make<TButton>(this, this, "Button2", "&Load...", 170, 80, 100, 25);
  CBCentered->OnClick = [this](TObject*) {
    if (Grid && !CreatingForm) Grid->SetCenteredPoints(CBCentered->Checked());
  };
  CBSmooth->OnClick = [this](TObject*) {
    if (Grid && !CreatingForm) Grid->SetSmoothBitmap(CBSmooth->Checked());
  };
  Button2->OnClick = [this](TObject*) { Button2Click(); };
  OnShow = [this](TObject*) { FormShow(); };
}

void TColorGridEditor::Button2Click() {
  if (!Grid) return;
  const std::string name = AskPictureFileName(this);
  if (name.empty()) return;
  TPicture picture;
  picture.LoadFromFile(name);
  FillColorGridFromPicture(Grid, &picture);
  if (Grid3DForm) Grid3DForm->BRemove->SetEnabled(SeriesHasColors(Grid));
}

void TColorGridEditor::FormShow() {
  if (auto* s = dynamic_cast<TColorGridSeries*>(EmbeddedObject(this))) Grid = s;
  if (!Grid) return;
  CreatingForm = true;
  BGrid->LinkPen(Grid->Pen());
  ButtonPen1->LinkPen(Grid->Frame());
  CBCentered->SetChecked(Grid->CenteredPoints());
  CBSmooth->SetChecked(Grid->SmoothBitmap());
  XEvery.UpDown->SetPosition(Grid->XGridEvery());
  ZEvery.UpDown->SetPosition(Grid->ZGridEvery());
  CreatingForm = false;
  ShowGrid3DEditor(Grid3DForm, this, Grid);
}

void RegisterGrid3DEditorForms() {
  for (TComponentClass c :
       {TGrid3DSeriesEditor::StaticClass(), TSurfaceSeriesEditor::StaticClass(), TWaterFallEditor::StaticClass(),
        TContourSeriesEditor::StaticClass(), TColorGridEditor::StaticClass()})
    RegisterClass(c);
}
