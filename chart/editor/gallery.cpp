#include "chart/editor/gallery.h"

#include <algorithm>
#include <memory>

#include "chart/editor/chart_list_box.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_effects.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/walls_titles.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/exceptions.h"
#include "platform/extctrls.h"
#include "platform/guards.h"
#include "platform/stdctrls.h"

VM_DEFINE_CLASS(TGalleryChart)
VM_DEFINE_CLASS(TChartGalleryPanel)
VM_DEFINE_CLASS(TGraphGallery)
VM_DEFINE_CLASS(TGraphGalleryForm)

namespace {

constexpr TColor kNavy = 0x800000;
constexpr TColor kGrey = 0x808080;

TChartSeries* FirstSeries(TGalleryChart* Chart) {
  return Chart && Chart->SeriesList()->Count() > 0 ? Chart->SeriesList()->SeriesAt(0) : nullptr;
}

TForm* HoldingForm(TControl* Control) {
  TControl* top = Control;
  while (top->Parent()) top = top->Parent();
  return dynamic_cast<TForm*>(top);
}

void SetGalleryMargins(TGalleryChart* Chart, bool View3D) {
  const int m = View3D ? 4 : 5;
  for (int i = 0; i < 4; ++i) Chart->SetMargin(i, m);
}

// The registered types of one page, plain series or functions.
std::vector<TGraphSeriesType*> TypesOf(const std::string& Page, bool Functions) {
  std::vector<TGraphSeriesType*> r;
  if (!GraphSeriesTypesList()) return r;
  for (int i = 0; i < GraphSeriesTypesList()->Count(); ++i) {
    TGraphSeriesType* t = GraphSeriesTypesList()->GetSeriesType(i);
    if (t->PageText() == Page && (t->FunctionClass != nullptr) == Functions) r.push_back(t);
  }
  return r;
}

TButton* NewButton(TWinControl* Parent, TComponent* Owner, const char* Name, const std::string& Caption) {
  auto* b = new TButton(Owner);
  b->SetName(Name);
  b->SetParent(Parent);
  b->SetCaption(Caption);
  return b;
}

TCheckBox* NewCheck(TWinControl* Parent, TComponent* Owner, const char* Name, const std::string& Caption) {
  auto* c = new TCheckBox(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  c->SetCaption(Caption);
  return c;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TGalleryChart

TGalleryChart::TGalleryChart(TComponent* AOwner) : TCustomChart(AOwner) {
  Legend()->SetVisible(false);
  LeftAxis()->SetLabels(false);
  BottomAxis()->SetLabels(false);
  Title()->Font()->SetColor(kNavy);
  Zoom()->SetAnimated(true);
  View3DOptions()->SetOrthogonal(false);
  View3DOptions()->SetZoom(90);
  View3DOptions()->SetPerspective(55);
  if (TChartGalleryPanel* p = Panel(); p && p->FocusRotation) {
    View3DOptions()->SetRotation(335);
    View3DOptions()->SetElevation(350);
  }
  SetChart3DPercent(100);
  SetClipPoints(false);
  if (Frame()) Frame()->SetVisible(false);
  SetBevelWidth(2);
  SetBevelOuter(bvNone);
  for (TChartWall* w : {LeftWall(), BottomWall()}) {
    w->SetColor(clWhite);
    w->SetSize(4);
    w->Pen()->SetColor(kGrey);
  }
  OnAfterDraw = [this](TObject*) {
    if (TChartGalleryPanel* p = Panel()) p->AfterDraw(this);
  };
}

TChartGalleryPanel* TGalleryChart::Panel() const { return dynamic_cast<TChartGalleryPanel*>(Owner()); }

void TGalleryChart::DrawHoverFrame(bool Raised) {
  TCanvas* c = SurfaceCanvas();
  if (!c) return;
  const TRect r = ClientRect();
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetWidth(1);
  c->Pen()->SetMode(pmCopy);
  c->Pen()->SetColor(Raised ? clWhite : Color());
  c->MoveTo(r.Left, r.Bottom - 1);
  c->LineTo(r.Left, r.Top);
  c->LineTo(r.Right - 1, r.Top);
  c->Pen()->SetColor(Raised ? kGrey : Color());
  c->LineTo(r.Right - 1, r.Bottom - 1);
  c->LineTo(r.Left, r.Bottom - 1);
}

void TGalleryChart::MouseEnter() {
  TCustomChart::MouseEnter();
  if (Cursor() != crNoDrop) DrawHoverFrame(true);
}

void TGalleryChart::MouseLeave() {
  TCustomChart::MouseLeave();
  if (Cursor() != crNoDrop) DrawHoverFrame(false);
}

// ---------------------------------------------------------------------------------------------
// TChartList

TGalleryChart* TChartList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw ERangeError("Range check error");
  return FItems[static_cast<size_t>(Index)];
}

void TChartList::Clear() {
  std::vector<TGalleryChart*> items;
  items.swap(FItems);
  for (TGalleryChart* c : items) delete c;
}

int TChartList::IndexOf(const TGalleryChart* Chart) const {
  auto it = std::find(FItems.begin(), FItems.end(), Chart);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

// ---------------------------------------------------------------------------------------------
// TChartGalleryPanel

TChartGalleryPanel::TChartGalleryPanel(TComponent* AOwner) : TCustomPanelNoCaption(AOwner) {
  SetParentColor(true);
  SetTabStop(true);
  FSmooth = InitialSmooth = ReadEditorBool("SmoothGallery", false);
}

TChartGalleryPanel::~TChartGalleryPanel() {
  SelectedChart = nullptr;
  Charts.Clear();
  if (FSmooth != InitialSmooth) WriteEditorBool("SmoothGallery", FSmooth);
}

void TChartGalleryPanel::SetNumRows(int32_t Value) {
  FNumRows = Value;
  CalcChartCells();
}

void TChartGalleryPanel::SetNumCols(int32_t Value) {
  FNumCols = Value;
  CalcChartCells();
}

void TChartGalleryPanel::SetSmooth(bool Value) {
  if (ComponentState().Contains(csReading)) return;  // a stored value never wins over the user's
  FSmooth = Value;
  for (int i = 0; i < Charts.Count(); ++i) {
    TGalleryChart* c = Charts.Items(i);
    c->Smooth = Value;
    if (!Value) {
      c->LeftAxis()->SetLabels(false);
      c->BottomAxis()->SetLabels(false);
    }
    c->Invalidate();
  }
}

void TChartGalleryPanel::SetView3D(bool Value) {
  FView3D = Value;
  for (int i = 0; i < Charts.Count(); ++i) {
    TGalleryChart* c = Charts.Items(i);
    if (TChartSeries* s = FirstSeries(c)) s->SetGalleryView3D(Value);
    SetGalleryMargins(c, c->View3D());
  }
}

void TChartGalleryPanel::Resize() {
  TCustomPanelNoCaption::Resize();
  CalcChartCells();
}

void TChartGalleryPanel::ApplyAxisLabels(TGalleryChart* Chart) {
  TForm* f = HoldingForm(this);
  const bool show = f && f->WindowState() == wsMaximized;
  Chart->LeftAxis()->SetLabels(show);
  Chart->BottomAxis()->SetLabels(show);
}

void TChartGalleryPanel::PlaceChart(TGalleryChart* Chart, int Index) {
  if (CellWidth <= 0 || CellHeight <= 0) return;
  const int b = BevelWidth() + BorderWidth();
  const int col = Index % FNumCols, row = Index / FNumCols;
  Chart->SetBounds(b + col * CellWidth, b + row * CellHeight, std::min(CellWidth, Width() - b) - 1,
                   std::min(CellHeight, Height() - b) - 1);
  ApplyAxisLabels(Chart);
}

void TChartGalleryPanel::CalcChartCells() {
  const int b = BevelWidth() + BorderWidth();
  if (FNumCols > 0 && FNumRows > 0) {
    CellWidth = (Width() - b) / FNumCols;
    CellHeight = (Height() - b) / FNumRows;
  } else {
    CellWidth = CellHeight = 0;
  }
  for (int i = 0; i < Charts.Count(); ++i) PlaceChart(Charts.Items(i), i);
}

TGalleryChart* TChartGalleryPanel::CreateChart(const TGraphSeriesType& AType) {
  TChartSeriesClass cls = AType.SeriesClass ? AType.SeriesClass : TLineSeries::StaticClass();
  auto* c = new TGalleryChart(this);
  c->SetColor(Color());
  c->AutoRepaint = false;
  Charts.Add(c);
  std::string caption = AType.DescriptionText();
  size_t start = 0;
  for (size_t at; (at = caption.find('\r', start)) != std::string::npos; start = at + 1)
    c->Title()->Text()->Add(caption.substr(start, at - start));
  c->Title()->Text()->Add(caption.substr(start));
  c->SetParent(this);
  c->SetName(UniqueComponentName(this, "GraphGalleryChart"));
  PlaceChart(c, Charts.Count() - 1);
  for (int i = 0; i < std::max(1, AType.NumGallerySeries); ++i) MakeSeriesOfClass(nullptr, c, cls, AType.FunctionClass);
  TChartSeries* first = FirstSeries(c);
  const bool disabled = DisableInvalidTypes && CurrentSeries && first && !first->AcceptsSourceSeries(CurrentSeries);
  if (disabled) {
    c->SetCursor(crNoDrop);
    c->Title()->Font()->SetColor(kGrey);
    c->LeftWall()->Pen()->SetColor(kGrey);
    c->BottomWall()->Pen()->SetColor(kGrey);
    for (TChartAxis* a : {c->LeftAxis(), c->BottomAxis()}) {
      a->Axis()->SetWidth(1);
      a->Axis()->SetColor(clWhite);
    }
  } else {
    c->SetCursor(crHandPoint);
    c->OnClick = [this](TObject* S) { ChartClick(S); };
    c->OnEnter = [this](TObject* S) { ChartClick(S); };
    c->OnDblClick = [this](TObject* S) { DoSelectedChart(S); };
  }
  if (first) first->SetGalleryView3D(FView3D);
  if (AType.FunctionClass) {
    std::unique_ptr<TGraphFunction> f(static_cast<TGraphFunction*>(AType.FunctionClass->Create(nullptr)));
    f->PrepareGalleryChart(c);
  } else {
    for (int i = 0; i < c->SeriesList()->Count(); ++i) c->SeriesList()->SeriesAt(i)->MakeGalleryThumbnail(!disabled);
  }
  SetGalleryMargins(c, c->View3D());
  ApplyAxisLabels(c);
  c->Smooth = FSmooth;
  if (!IsSubGallery) c->OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState Shift) { GalleryKeyDown(Key, Shift); };
  c->AutoRepaint = true;
  c->Invalidate();
  return c;
}

void TChartGalleryPanel::CreateGalleryPage(const std::string& Page) {
  const std::vector<TGraphSeriesType*> types = TypesOf(Page, ShowFunctions);
  const int count = static_cast<int>(types.size());
  FNumRows = std::max(3, FNumCols > 0 ? (count - 1) / FNumCols + 1 : 3);
  SelectedChart = nullptr;
  Charts.Clear();
  CalcChartCells();
  for (TGraphSeriesType* t : types) CreateChart(*t);
  // The type of the series the gallery was opened for, by its exact class.
  if (CurrentSeries)
    for (int i = 0; i < Charts.Count(); ++i) {
      TChartSeries* s = FirstSeries(Charts.Items(i));
      if (s && s->ClassType() == CurrentSeries->ClassType() && !s->FunctionObject()) {
        SelectedChart = Charts.Items(i);
        break;
      }
    }
  HighlightSelected();
}

void TChartGalleryPanel::Highlight(TGalleryChart* Chart) {
  TGraphGradient* g = Chart->Gradient();
  g->SetVisible(true);
  g->SetDirection(gdFromTopLeft);
  g->SetStartColor(clSilver);
  g->SetEndColor(clWhite);
  if (FocusRotation) {
    Chart->View3DOptions()->SetRotation(345);
    if (TChartSeries* s = FirstSeries(Chart)) s->SetGalleryView3D(FView3D);
  }
  Chart->Title()->Font()->SetStyle({fsBold});
  Chart->Title()->Font()->SetColor(clBlack);
  Chart->Title()->Font()->SetSize(9);
  Chart->SetBevelOuter(bvRaised);
  if (Chart->Showing() && Chart->CanFocus() && !Chart->Focused()) Chart->SetFocus();
  Chart->Invalidate();
}

void TChartGalleryPanel::Unhighlight(TGalleryChart* Chart) {
  if (!Chart->GradientOrNull() || !Chart->Gradient()->Visible()) return;
  Chart->Gradient()->SetVisible(false);
  Chart->SetBevelOuter(bvNone);
  Chart->Title()->Font()->SetStyle({});
  Chart->Title()->Font()->SetColor(kNavy);
  Chart->Title()->Font()->SetSize(DefaultFontSize);
  if (FocusRotation) {
    Chart->View3DOptions()->SetRotation(335);
    if (TChartSeries* s = FirstSeries(Chart)) s->SetGalleryView3D(FView3D);
  }
  Chart->Invalidate();
}

void TChartGalleryPanel::HighlightSelected() {
  if (!SelectedChart)
    for (int i = 0; i < Charts.Count(); ++i)
      if (Charts.Items(i)->Cursor() != crNoDrop) {
        SelectedChart = Charts.Items(i);
        break;
      }
  for (int i = 0; i < Charts.Count(); ++i)
    if (Charts.Items(i) != SelectedChart) Unhighlight(Charts.Items(i));
  if (SelectedChart) {
    Highlight(SelectedChart);
    if (OnChangeChart) OnChangeChart(this);
  }
}

TRect TChartGalleryPanel::VariantMarkRect(TGalleryChart* Chart) {
  int border = Chart->Border()->Visible() ? Chart->Border()->Width() : 0;
  if (Chart->Smooth) border /= 2;
  const int x = border + 4;
  int down = (Chart->Border()->Visible() ? Chart->Border()->Width() : 0) +
             (Chart->Shadow()->Size() > 0 ? Chart->Shadow()->Size() : 0);
  if (Chart->Smooth) down /= 2;
  const int y = Chart->Height() - down;
  return TRect(x, y - 12, x + 12, y);
}

void TChartGalleryPanel::SelectChart(TGalleryChart* Chart) {
  if (Chart != SelectedChart) {
    SelectedChart = Chart;
    HighlightSelected();
  }
  if (DisplaySub && Chart) {
    const TPoint p = Chart->ScreenToClient(Mouse->CursorPos());
    if (PtInRect(VariantMarkRect(Chart), p)) ShowSubGallery();
  }
}

bool TChartGalleryPanel::GetSelectedType(TChartSeriesClass& SeriesClass, TGraphFunctionClass& FunctionClass,
                                         int& SubIndex) const {
  TChartSeries* s = FirstSeries(SelectedChart);
  if (!s) return false;
  SeriesClass = static_cast<TChartSeriesClass>(s->ClassType());
  FunctionClass =
      s->FunctionObject() ? static_cast<TGraphFunctionClass>(s->FunctionObject()->ComponentClass()) : nullptr;
  SubIndex = static_cast<int>(SelectedChart->Tag());
  return true;
}

void TChartGalleryPanel::ChartClick(TObject* Sender) {
  if (auto* c = dynamic_cast<TGalleryChart*>(Sender)) SelectChart(c);
}

void TChartGalleryPanel::DoSelectedChart(TObject* Sender) {
  if (auto* c = dynamic_cast<TGalleryChart*>(Sender)) SelectedChart = c;
  if (OnSelectedChart) OnSelectedChart(this);
}

void TChartGalleryPanel::AfterDraw(TGalleryChart* Chart) {
  if (Chart->Smooth && !Chart->DrawingSmooth) SmoothDraw(Chart);
  if (Chart != SelectedChart || !DisplaySub || Chart->DrawingSmooth) return;
  TCanvas* c = Chart->Canvas->GetHandle();
  const TRect r = VariantMarkRect(Chart);
  const int x = r.Left, y = r.Bottom;
  const TPenMode mode = c->Pen()->Mode();
  c->Pen()->SetMode(pmNotXor);
  c->Pen()->SetStyle(psClear);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBlack);
  const TPoint tri[] = {TPoint(x, y - 8), TPoint(x + 7, y - 8), TPoint(x + 3, y - 4)};
  c->Polygon(tri, 3);
  c->Pen()->SetMode(mode);
  c->Pen()->SetStyle(psSolid);
}

void TChartGalleryPanel::SmoothDraw(TGalleryChart* Chart) {
  const int w = Chart->Width(), h = Chart->Height();
  if (w < 4 || h < 4) return;
  Chart->DrawingSmooth = true;
  TChartAxis* axes[] = {Chart->LeftAxis(), Chart->BottomAxis()};
  int sizes[2];
  bool labels[2];
  for (int i = 0; i < 2; ++i) {
    labels[i] = axes[i]->Labels();
    sizes[i] = axes[i]->LabelsFont()->Size();
    axes[i]->SetLabels(true);
    axes[i]->LabelsFont()->SetSize(sizes[i] * 2);
  }
  const bool titleVisible = Chart->Title()->Visible();
  const int topMargin = Chart->MarginTop();
  std::unique_ptr<TBitmap> big;
  {
    TScopeExit restore([&] {
      big.reset();
      Chart->Title()->SetVisible(titleVisible);
      SetGalleryMargins(Chart, Chart->View3D());
      Chart->SetMarginTop(topMargin == 30 ? topMargin : Chart->MarginTop());
      for (int i = 0; i < 2; ++i) {
        axes[i]->LabelsFont()->SetSize(sizes[i]);
        axes[i]->SetLabels(labels[i]);
      }
      Chart->DrawingSmooth = false;
    });
    Chart->Title()->SetVisible(false);
    Chart->SetMarginTop(30);
    big.reset(Chart->CreateBitmap(Chart->Color(), TRect(0, 0, w * 4, h * 4), pf24bit));
    TBitmap small;
    small.SetPixelFormat(pf24bit);
    small.SetSize(w, h);
    SmoothBitmapFilter(big.get(), &small, true);
    TCanvas* c = Chart->Canvas->GetHandle();
    c->Draw(0, 0, &small);
  }
  // The title once more, crisp, where it was.
  Chart->Title()->DrawTitle();
}

void TChartGalleryPanel::GalleryKeyDown(uint16_t& Key, TShiftState Shift) {
  if (!SelectedChart || FNumCols <= 0) {
    if (Key == VK_RETURN) DoSelectedChart(SelectedChart);
    return;
  }
  const int index = Charts.IndexOf(SelectedChart);
  int col = index % FNumCols, row = index / FNumCols;
  switch (Key) {
    case VK_RETURN:
      DoSelectedChart(SelectedChart);
      return;
    case VK_LEFT:
      if (col > 0) --col;
      break;
    case VK_UP:
      if (row > 0) --row;
      break;
    case VK_RIGHT:
      if (col < FNumCols - 1) ++col;
      break;
    case VK_DOWN:
      if (Shift.Contains(ssAlt)) {
        if (DisplaySub) ShowSubGallery();
        return;
      }
      if (row < FNumRows - 1) ++row;
      break;
    default:
      return;
  }
  const int next = row * FNumCols + col;
  if (next != index && next < Charts.Count() && Charts.Items(next)->Cursor() == crHandPoint)
    SelectChart(Charts.Items(next));
}

void TChartGalleryPanel::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomPanelNoCaption::KeyDown(Key, Shift);
  GalleryKeyDown(Key, Shift);
}

void TChartGalleryPanel::FillStyleVariants(TChartSeriesClass SeriesClass) {
  SelectedChart = nullptr;
  Charts.Clear();
  CalcChartCells();
  std::unique_ptr<TChartSeries> temp(static_cast<TChartSeries*>(SeriesClass->Create(nullptr)));
  temp->ListStyleVariants([&](const std::string& Caption) {
    TGraphSeriesType t;
    t.SeriesClass = SeriesClass;
    t.Description = &Caption;
    t.NumGallerySeries = 1;
    const int index = Charts.Count();
    TGalleryChart* c = CreateChart(t);
    if (TChartSeries* s = FirstSeries(c)) temp->ApplyStyleVariant(s, index);
    c->SetTag(index);
  });
}

void TChartGalleryPanel::ShowSubGallery() {
  if (!SelectedChart) return;
  if (SubGalleryForm) SubGalleryForm->SetModalResult(mrCancel);
  TGalleryChart* main = SelectedChart;
  Unhighlight(main);
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetBorderStyle(bsNone);
  const TPoint at = main->ClientToScreen(TPoint(0, main->Height()));
  form->SetBounds(at.X, at.Y, 320, 240);
  form->SetKeyPreview(true);
  auto* strip = new TPanel(form.get());
  strip->SetParent(form.get());
  strip->SetAlign(alTop);
  strip->SetHeight(12);
  strip->SetBevelOuter(bvNone);
  auto* arrow = new TPaintBox(form.get());
  arrow->SetParent(strip);
  arrow->SetBounds(4, 2, 8, 8);
  arrow->OnPaint = [arrow](TObject*) {
    TCanvas* c = arrow->Canvas();
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetColor(clBlack);
    const TPoint tri[] = {TPoint(0, 8), TPoint(4, 0), TPoint(9, 8)};
    c->Polygon(tri, 3);
  };
  TForm* f = form.get();
  strip->OnClick = [f](TObject*) { f->SetModalResult(mrOk); };
  arrow->OnClick = [f](TObject*) { f->SetModalResult(mrOk); };
  auto* sub = new TChartGalleryPanel(form.get());
  sub->SetParent(form.get());
  sub->SetAlign(alClient);
  sub->FView3D = FView3D;
  sub->FSmooth = FSmooth;
  sub->InitialSmooth = FSmooth;
  sub->DisplaySub = false;
  sub->IsSubGallery = true;
  sub->OnSelectedChart = [this](TObject* S) { SubGallerySelected(S); };
  form->OnKeyDown = [f, sub](TObject*, uint16_t& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE)
      f->SetModalResult(mrCancel);
    else
      sub->GalleryKeyDown(Key, Shift);
    Key = 0;
  };
  SubGalleryForm = f;
  SubGallery = sub;
  TScopeExit done([this] {
    SubGalleryForm = nullptr;
    SubGallery = nullptr;
  });
  sub->CalcChartCells();
  if (TChartSeries* s = FirstSeries(main)) {
    sub->FillStyleVariants(static_cast<TChartSeriesClass>(s->ClassType()));
    const int cols = std::max(1, sub->NumCols());
    const int rows = (sub->Charts.Count() + cols - 1) / cols;
    form->SetHeight(rows * sub->CellHeight + 8 + 12);
    sub->FNumRows = std::max(1, rows);
    sub->CalcChartCells();
  }
  sub->HighlightSelected();
  // Inside the screen's work area.
  if (Screen) {
    if (form->Left() + form->Width() > Screen->Width()) form->SetLeft(Screen->Width() - form->Width() - 2);
    if (form->Top() + form->Height() > Screen->Height()) form->SetTop(Screen->Height() - form->Height() - 2);
  }
  form->OnShow = [f](TObject*) {
    if (EditorDialogHook) EditorDialogHook(f);
  };
  if (form->ShowModal() == mrOk && OnSubSelected) OnSubSelected(this);
  form.reset();
  HighlightSelected();
}

void TChartGalleryPanel::SubGallerySelected(TObject*) {
  TGalleryChart* main = SelectedChart;
  if (!main || !SubGallery || !SubGallery->SelectedChart) return;
  const int index = static_cast<int>(SubGallery->SelectedChart->Tag());
  main->SetTag(index);
  TChartSeries* first = FirstSeries(main);
  if (first && index > 0) {
    for (int i = 0; i < main->SeriesList()->Count(); ++i)
      first->ApplyStyleVariant(main->SeriesList()->SeriesAt(i), index);
  } else if (first) {
    const int count = main->SeriesList()->Count();
    auto cls = static_cast<TChartSeriesClass>(first->ClassType());
    while (main->SeriesList()->Count() > 0) delete main->SeriesList()->SeriesAt(0);
    for (int i = 0; i < count; ++i) MakeSeriesOfClass(nullptr, main, cls, nullptr);
    if (TChartSeries* s = FirstSeries(main)) s->SetGalleryView3D(FView3D);
    for (int i = 0; i < count; ++i) main->SeriesList()->SeriesAt(i)->MakeGalleryThumbnail(true);
  }
  if (SubGalleryForm) SubGalleryForm->SetModalResult(mrOk);
}

// ---------------------------------------------------------------------------------------------
// TGraphGallery

TGraphGallery::TGraphGallery(TComponent* AOwner) : TForm(AOwner) {
  SetName("GraphGallery");
  SetCaption("Gallery");
  SetBounds(0, 0, 560, 420);
  P1 = new TPanel(this);
  P1->SetName("P1");
  P1->SetParent(this);
  P1->SetAlign(alBottom);
  P1->SetHeight(36);
  P1->SetBevelOuter(bvNone);
  TabTypes = new TPageControl(this);
  TabTypes->SetName("TabTypes");
  TabTypes->SetParent(this);
  TabTypes->SetAlign(alClient);
  for (const std::string* name : {&MsgEdSeries, &MsgPageFunctions}) {
    auto* sheet = new TTabSheet(this);
    sheet->SetPageControl(TabTypes);
    sheet->SetCaption(*name);
  }
  TabPages = new TPageControl(this);
  TabPages->SetName("TabPages");
  TabPages->SetParent(TabTypes->Pages(0));
  TabPages->SetAlign(alClient);
  ChartGalleryPanel1 = new TChartGalleryPanel(this);
  ChartGalleryPanel1->SetName("ChartGalleryPanel1");
  CB3D = NewCheck(P1, this, "CB3D", "&3D");
  CB3D->SetBounds(8, 8, 60, 20);
  CB3D->SetChecked(true);
  CBSmooth = NewCheck(P1, this, "CBSmooth", "&Smooth");
  CBSmooth->SetBounds(72, 8, 80, 20);
  BOk = NewButton(P1, this, "BOk", "OK");
  BOk->SetBounds(390, 6, 75, 25);
  BOk->SetModalResult(mrOk);
  BOk->SetDefault(true);
  BCancel = NewButton(P1, this, "BCancel", "Cancel");
  BCancel->SetBounds(472, 6, 75, 25);
  BCancel->SetModalResult(mrCancel);
  BCancel->SetCancel(true);
  TabTypes->OnChange = [this](TObject*) { TabTypesChange(); };
  TabPages->OnChange = [this](TObject*) { TabPagesChange(); };
  CB3D->OnClick = [this](TObject*) { ChartGalleryPanel1->SetView3D(CB3D->Checked()); };
  CBSmooth->OnClick = [this](TObject*) {
    ChartGalleryPanel1->SetSmooth(CBSmooth->Checked());
    WriteEditorBool("SmoothGallery", CBSmooth->Checked());
  };
  ChartGalleryPanel1->OnSelectedChart = [this](TObject*) { SetModalResult(mrOk); };
  OnShow = [this](TObject*) { FormShow(); };
}

void TGraphGallery::RemoveFunctionsTab() {
  if (TabTypes->PageCount() > 1) delete TabTypes->Pages(1);
  ChartGalleryPanel1->ShowFunctions = false;
}

void TGraphGallery::FormShow() {
  CBSmooth->SetChecked(ChartGalleryPanel1->Smooth());
  TabTypes->SetActivePageIndex(0);
  TabTypesChange();
  TranslateControl(this);
  if (EditorDialogHook) EditorDialogHook(this);
}

void TGraphGallery::FillPageTabs() {
  while (TabPages->PageCount() > 0) {
    TTabSheet* s = TabPages->Pages(TabPages->PageCount() - 1);
    if (ChartGalleryPanel1->Parent() == s) ChartGalleryPanel1->SetParent(nullptr);
    delete s;
  }
  const bool functions = TabTypes->ActivePageIndex() == 1;
  std::vector<std::string> names;
  if (TGraphSeriesTypes* list = GraphSeriesTypesList())
    for (int i = 0; i < list->Count(); ++i) {
      TGraphSeriesType* t = list->GetSeriesType(i);
      if (t->NumGallerySeries <= 0 || (t->FunctionClass != nullptr) != functions) continue;
      if (std::find(names.begin(), names.end(), t->PageText()) == names.end()) names.push_back(t->PageText());
    }
  auto std_at = std::find(names.begin(), names.end(), MsgPageStandard);
  if (std_at != names.end() && std_at != names.begin()) std::iter_swap(names.begin(), std_at);
  for (const std::string& n : names) {
    auto* sheet = new TTabSheet(this);
    sheet->SetPageControl(TabPages);
    sheet->SetCaption(n);
  }
}

std::vector<std::string> TGraphGallery::PageNames() const {
  std::vector<std::string> r;
  for (int i = 0; i < TabPages->PageCount(); ++i) r.push_back(TabPages->Pages(i)->Caption());
  return r;
}

void TGraphGallery::TabTypesChange() {
  // The page tabs live on whichever type tab is shown.
  if (TTabSheet* active = TabTypes->ActivePage()) TabPages->SetParent(active);
  FillPageTabs();
  if (TabPages->PageCount() > 0) TabPages->SetActivePageIndex(0);
  TabPagesChange();
}

void TGraphGallery::TabPagesChange() {
  ChartGalleryPanel1->ShowFunctions = TabTypes->ActivePageIndex() == 1;
  ChartGalleryPanel1->SetView3D(CB3D->Checked());
  TTabSheet* page = TabPages->ActivePage();
  if (!page) {
    ChartGalleryPanel1->SelectedChart = nullptr;
    ChartGalleryPanel1->Charts.Clear();
    return;
  }
  ChartGalleryPanel1->SetParent(page);
  ChartGalleryPanel1->SetAlign(alClient);
  ChartGalleryPanel1->CreateGalleryPage(page->Caption());
}

// ---------------------------------------------------------------------------------------------
// TGraphGalleryForm

TGraphGalleryForm::TGraphGalleryForm(TComponent* AOwner) : TForm(AOwner) {
  SetName("GraphGalleryForm");
  SetCaption("Gallery");
  SetBounds(0, 0, 600, 420);
  SetKeyPreview(true);
  auto* top = new TPanel(this);
  top->SetParent(this);
  top->SetAlign(alTop);
  top->SetHeight(32);
  top->SetBevelOuter(bvNone);
  auto* label = new TLabel(this);
  label->SetName("Label1");
  label->SetParent(top);
  label->SetCaption("&Gallery:");
  label->SetBounds(8, 9, 50, 16);
  CBPage = new TComboBox(this);
  CBPage->SetName("CBPage");
  CBPage->SetParent(top);
  CBPage->SetStyle(csDropDownList);
  CBPage->SetSorted(true);
  CBPage->SetBounds(64, 5, 150, 22);
  label->SetFocusControl(CBPage);
  CB3D = NewCheck(top, this, "CB3D", "&3D");
  CB3D->SetBounds(228, 7, 50, 20);
  CB3D->SetChecked(true);
  CBSmooth = NewCheck(top, this, "CBSmooth", "&Smooth");
  CBSmooth->SetBounds(284, 7, 80, 20);
  auto* bottom = new TPanel(this);
  bottom->SetParent(this);
  bottom->SetAlign(alBottom);
  bottom->SetHeight(36);
  bottom->SetBevelOuter(bvNone);
  BOK = NewButton(bottom, this, "BOK", "OK");
  BOK->SetBounds(430, 6, 75, 25);
  BOK->SetDefault(true);
  BOK->SetModalResult(mrOk);
  BCancel = NewButton(bottom, this, "BCancel", "Cancel");
  BCancel->SetBounds(512, 6, 75, 25);
  BCancel->SetCancel(true);
  BCancel->SetModalResult(mrCancel);
  ChartListBox1 = new TChartListBox(this);
  ChartListBox1->SetName("ChartListBox1");
  ChartListBox1->SetParent(this);
  ChartListBox1->SetAlign(alLeft);
  ChartListBox1->SetWidth(170);
  ChartListBox1->AllowAddSeries = ChartListBox1->AllowDeleteSeries = false;
  ChartListBox1->EnableDragSeries = ChartListBox1->EnableChangeType = ChartListBox1->EnableChangeColor = false;
  ChartListBox1->SetShowActiveCheck(false);
  ChartListBox1->SetShowSeriesColor(false);
  ChartListBox1->SetMultiSelect(false);
  ChartGalleryPanel1 = new TChartGalleryPanel(this);
  ChartGalleryPanel1->SetName("ChartGalleryPanel1");
  ChartGalleryPanel1->SetParent(this);
  ChartGalleryPanel1->SetAlign(alClient);
  SampleChart = new TChart(this);
  SampleChart->SetVisible(false);
  ChartListBox1->SetChart(SampleChart);
  // The page names of plain series, each once, with every page first.
  if (TGraphSeriesTypes* list = GraphSeriesTypesList())
    for (int i = 0; i < list->Count(); ++i) {
      TGraphSeriesType* t = list->GetSeriesType(i);
      if (!t->FunctionClass && CBPage->Items()->IndexOf(t->PageText()) < 0) CBPage->Items()->Add(t->PageText());
    }
  CBPage->SetSorted(false);
  CBPage->Items()->Insert(0, MsgEdAll);
  CBPage->SetItemIndex(std::max(0, CBPage->Items()->IndexOf(MsgPageStandard)));
  CBSmooth->SetChecked(ReadEditorBool("SmoothGallery", false));
  CBPage->OnChange = [this](TObject*) { CBPageChange(); };
  CB3D->OnClick = [this](TObject*) { ChartGalleryPanel1->SetView3D(CB3D->Checked()); };
  CBSmooth->OnClick = [this](TObject*) { ChartGalleryPanel1->SetSmooth(CBSmooth->Checked()); };
  ChartListBox1->OnRefresh = [this](TObject*) { ChartListBox1Click(); };
  ChartGalleryPanel1->OnSelectedChart = [this](TObject*) { SetModalResult(mrOk); };
  OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState Shift) { ChartGalleryPanel1->GalleryKeyDown(Key, Shift); };
  OnShow = [this](TObject*) {
    CBPageChange();
    TranslateControl(this);
    if (EditorDialogHook) EditorDialogHook(this);
  };
}

TGraphGalleryForm::~TGraphGalleryForm() {
  ChartListBox1->SetChart(nullptr);
  delete SampleChart;
  SampleChart = nullptr;
}

void TGraphGalleryForm::CBPageChange() {
  while (SampleChart->SeriesList()->Count() > 0) delete SampleChart->SeriesList()->SeriesAt(0);
  const bool all = CBPage->ItemIndex() <= 0;
  const std::string page = all ? std::string() : CBPage->Items()->Strings(CBPage->ItemIndex());
  if (TGraphSeriesTypes* list = GraphSeriesTypesList())
    for (int i = 0; i < list->Count(); ++i) {
      TGraphSeriesType* t = list->GetSeriesType(i);
      if (t->FunctionClass || (!all && t->PageText() != page)) continue;
      TChartSeriesClass cls = t->SeriesClass ? t->SeriesClass : TLineSeries::StaticClass();
      auto* s = static_cast<TChartSeries*>(cls->Create(SampleChart));
      std::string title = list->FindSeriesType(cls) ? list->FindSeriesType(cls)->DescriptionText() : cls->ClassName();
      std::replace(title.begin(), title.end(), '\r', ' ');
      s->SetTitle(title);
      SampleChart->AttachSeries(s);
    }
  FLastSeriesClass = nullptr;
  ChartListBox1->RefreshSeries();
  ChartListBox1Click();
}

void TGraphGalleryForm::ChartListBox1Click() {
  TChartSeries* s = ChartListBox1->SelectedSeries();
  if (!s) return;
  auto cls = static_cast<TChartSeriesClass>(s->ClassType());
  if (cls == FLastSeriesClass) return;
  FLastSeriesClass = cls;
  ShowVariants(cls);
}

void TGraphGalleryForm::ShowVariants(TChartSeriesClass SeriesClass) {
  ChartGalleryPanel1->SetNumRows(3);
  ChartGalleryPanel1->DisplaySub = false;
  ChartGalleryPanel1->FillStyleVariants(SeriesClass);
  ChartGalleryPanel1->HighlightSelected();
}

// ---------------------------------------------------------------------------------------------
// The gallery routines

bool ShowGallery(TComponent* Owner, TChartSeries* Current, bool AllowFunctions, int& SubIndex, bool DisableInvalidTypes,
                 TGraphFunctionClass& FunctionClass, bool& View3D, TChartSeriesClass& SeriesClass) {
  std::unique_ptr<TForm> form;
  TChartGalleryPanel* panel = nullptr;
  TCheckBox* cb3d = nullptr;
  if (ReadEditorInteger("GalleryMode", 0) != 0) {
    auto* f = new TGraphGalleryForm(Owner);
    form.reset(f);
    panel = f->ChartGalleryPanel1;
    cb3d = f->CB3D;
  } else {
    auto* f = new TGraphGallery(Owner);
    form.reset(f);
    if (!AllowFunctions) f->RemoveFunctionsTab();
    f->ChartGalleryPanel1->CurrentSeries = Current;
    f->ChartGalleryPanel1->DisableInvalidTypes = DisableInvalidTypes;
    panel = f->ChartGalleryPanel1;
    cb3d = f->CB3D;
  }
  cb3d->SetChecked(View3D);
  form->SetPosition(Owner ? poOwnerFormCenter : poScreenCenter);
  if (form->ShowModal() != mrOk) return false;
  if (!panel->GetSelectedType(SeriesClass, FunctionClass, SubIndex)) return false;
  View3D = cb3d->Checked() && panel->SelectedChart->View3D();
  return true;
}

TChartSeries* CreateSeriesFromGallery(TComponent* Owner, TChartSeries* Current, TCustomAxisPanel* Chart, int& SubIndex,
                                      bool DisableInvalidTypes, bool AllowFunctions) {
  bool view3D = Chart->View3D();
  TGraphFunctionClass fc = nullptr;
  TChartSeriesClass sc = nullptr;
  if (!ShowGallery(Owner, Current, AllowFunctions, SubIndex, DisableInvalidTypes, fc, view3D, sc)) return nullptr;
  Chart->SetView3D(view3D);
  TComponent* owner = Current ? Current->Owner() : Chart->Owner();
  TChartSeries* s = MakeSeriesOfClass(owner, Chart, sc, fc);
  s->ApplyStyleVariant(s, SubIndex);
  return s;
}

TChartSeries* GalleryNewSeries(TComponent* Owner, TCustomAxisPanel* Chart, TChartSeries* Current) {
  if (!Chart) return nullptr;
  int sub = 0;
  return CreateSeriesFromGallery(Owner, Current, Chart, sub, false, true);
}

void GalleryChangeSeriesType(TComponent* Owner, TChartSeries*& Series) {
  if (!Series || !Series->ParentChart()) return;
  int sub = 0;
  TChartSeries* made = CreateSeriesFromGallery(Owner, Series, Series->ParentChart(), sub, true, false);
  if (!made) return;
  ReplaceSeries(Series, made);
  Series = made;
  made->ApplyStyleVariant(made, sub);
}

TChartSeriesClass GalleryChangeSeriesTypeClass(TComponent* Owner, TChartSeries*& Series) {
  GalleryChangeSeriesType(Owner, Series);
  return Series ? static_cast<TChartSeriesClass>(Series->ClassType()) : nullptr;
}

void InitGallery() {
  InitStandardSeries();
  InitChartListBox();
  GalleryNewSeriesHook = GalleryNewSeries;
  GalleryChangeTypeHook = GalleryChangeSeriesTypeClass;
}

void DoneGallery() {
  GalleryNewSeriesHook = nullptr;
  GalleryChangeTypeHook = nullptr;
}
