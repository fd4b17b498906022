#include "chart/engine/registries.h"

#include <algorithm>

#include "chart/engine/axis_panel.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/tool_base.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

namespace {

std::unique_ptr<TGraphSeriesTypes>& SeriesTypesHolder() {
  static std::unique_ptr<TGraphSeriesTypes> h;
  return h;
}
std::unique_ptr<TGraphToolTypes>& ToolTypesHolder() {
  static std::unique_ptr<TGraphToolTypes> h;
  return h;
}
std::unique_ptr<TColorPalettes>& PalettesHolder() {
  static std::unique_ptr<TColorPalettes> h;
  return h;
}

const std::vector<std::vector<TColor>>& PaletteTables() {
  static const std::vector<std::vector<TColor>> tables = {
      {},
      {0xFF9999, 0x663399, 0xCCFFFF, 0xFFFFCC, 0x660066, 0x8080FF, 0xCC6600, 0xFFCCCC, 0x800000, 0xFF00FF, 0x00FFFF,
       0xFFFF00, 0x800080, 0x000080, 0x808000, 0xFF0000, 0xFFCC00, 0xFFFFCC, 0xCCFFCC, 0x00FFFF, 0xFFCC99, 0xCC99FF},
      {0xA1A55D, 0x3153C4, 0x0996E7, 0x4AE8F6, 0xA7A2B1, 0x84A7C9, 0x51798C, 0xB7CDD8, 0x536508, 0x7BD8F7, 0x846401},
      {0xFFFFCC, 0xCCFFFF, 0xFFCCCC, 0xCCCC00, 0xCCCCCC, 0x999900, 0x999999, 0xCCCCFF, 0x66CCFF, 0xFFCCCC, 0x9999FF,
       0x99FFFF, 0xFFCC99, 0xCCFFCC},
      {0xFF0000, 0x0000FF, 0x00FF00, 0x00CCFF, 0x404040, 0x00FFFF, 0xC000FF, 0xFFFFFF},
      {0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
       0x008080},
      {0x00A5FF, 0xCE0000, 0x00CE00, 0x40FFFF, 0xFFFF40, 0xFF40FF, 0x0040FF, 0xA58080, 0x408080},
      {0x6699FF, 0x6666FF, 0xFFCC99, 0x669966, 0x99CCCC, 0xCC6699, 0x6666CC, 0x99CCFF, 0xFF6699, 0xCCCCCC, 0xCCFF66,
       0xFF9966, 0x996699, 0xFFCCCC},
      {0x000099, 0x0000C3, 0x0000EE, 0x001AFF, 0x0046FF, 0x0073FF, 0x009FFF, 0x00CBFF, 0x00F7FF,
       0x08F4E3, 0x11E7C3, 0x1BDAA3, 0x25CD83, 0x2EC063, 0x38B342, 0x42A622, 0x4B9A02, 0x6A870C,
       0x8A751A, 0xAA6328, 0xCB5036, 0xEB3E44, 0xFF2A61, 0xFF1596, 0xFF00CC},
      {0xFE9B82, 0x24D1FC, 0x0DBC7C, 0x2F85FD, 0xFCFEFD, 0x214EE2, 0xD63829, 0x0094B7, 0x00865A, 0x0046D2, 0xFAE5D3,
       0xD8D8D8, 0x7B715F},
  };
  return tables;
}

// Registries that modules use before the chart module has started are made on first use.
TGraphSeriesTypes& SeriesTypes() {
  if (!SeriesTypesHolder()) SeriesTypesHolder() = std::make_unique<TGraphSeriesTypes>();
  return *SeriesTypesHolder();
}
TGraphToolTypes& ToolTypes() {
  if (!ToolTypesHolder()) ToolTypesHolder() = std::make_unique<TGraphToolTypes>();
  return *ToolTypesHolder();
}

}  // namespace

// =============================================================================================
// Series and function types

TGraphSeriesType* TGraphSeriesTypes::GetSeriesType(int Index) const {
  if (Index < 0 || Index >= Count()) throw ERangeError("Range check error");
  return FItems[static_cast<size_t>(Index)].get();
}

TGraphSeriesType* TGraphSeriesTypes::FindSeriesType(TChartSeriesClass SeriesClass) const {
  for (const auto& e : FItems)
    if (e->SeriesClass == SeriesClass && !e->FunctionClass) return e.get();
  return nullptr;
}

std::vector<TGraphSeriesType*> TGraphSeriesTypes::TypesOfPage(const std::string& Page) const {
  std::vector<TGraphSeriesType*> out;
  for (const auto& e : FItems)
    if (e->PageText() == Page) out.push_back(e.get());
  return out;
}

void TGraphSeriesTypes::UnregisterTypesOfClass(TClass AClass, bool IsSeries) {
  std::erase_if(FItems, [&](const std::unique_ptr<TGraphSeriesType>& e) {
    return IsSeries ? e->SeriesClass == AClass : e->FunctionClass == AClass;
  });
}

TGraphSeriesTypes* GraphSeriesTypesList() { return SeriesTypesHolder().get(); }
TGraphToolTypes* GraphToolTypesList() { return ToolTypesHolder().get(); }
TColorPalettes* ColorPalettes() { return PalettesHolder().get(); }

void RegisterSeriesFunctionType(TChartSeriesClass SeriesClass, TGraphFunctionClass FunctionClass,
                                const std::string* Description, const std::string* GalleryPage, int NumGallerySeries) {
  if (SeriesClass) RegisterClass(SeriesClass);
  if (FunctionClass) RegisterClass(FunctionClass);
  TGraphSeriesTypes& list = SeriesTypes();
  for (int i = 0; i < list.Count(); ++i) {
    const TGraphSeriesType* e = list.GetSeriesType(i);
    if (e->SeriesClass == SeriesClass && e->FunctionClass == FunctionClass) return;
  }
  auto e = std::make_unique<TGraphSeriesType>();
  e->SeriesClass = SeriesClass;
  e->FunctionClass = FunctionClass;
  e->Description = Description;
  e->GalleryPage = GalleryPage;
  e->NumGallerySeries = NumGallerySeries;
  list.Add(std::move(e));
}

void RegisterSeriesType(TChartSeriesClass SeriesClass, const std::string* Description, const std::string* GalleryPage,
                        int NumGallerySeries) {
  RegisterSeriesFunctionType(SeriesClass, nullptr, Description, GalleryPage, NumGallerySeries);
}

void RegisterStandardSeriesType(TChartSeriesClass SeriesClass, const std::string* Description) {
  RegisterSeriesType(SeriesClass, Description, &MsgPageStandard, 2);
}

void RegisterFunctionType(TGraphFunctionClass FunctionClass, const std::string* Description,
                          const std::string* GalleryPage, int NumGallerySeries) {
  RegisterSeriesFunctionType(nullptr, FunctionClass, Description, GalleryPage, NumGallerySeries);
}

void RegisterStandardFunctionType(TGraphFunctionClass FunctionClass, const std::string* Description) {
  RegisterFunctionType(FunctionClass, Description, &MsgPageStandard, 2);
}

void UnregisterSeriesTypes(std::initializer_list<TChartSeriesClass> Classes) {
  if (!SeriesTypesHolder()) return;
  for (TChartSeriesClass c : Classes) SeriesTypesHolder()->UnregisterTypesOfClass(c, true);
}

void UnregisterFunctionTypes(std::initializer_list<TGraphFunctionClass> Classes) {
  if (!SeriesTypesHolder()) return;
  for (TGraphFunctionClass c : Classes) SeriesTypesHolder()->UnregisterTypesOfClass(c, false);
}

std::string GetSeriesTypeDescription(const TChartSeries* Series) {
  if (SeriesTypesHolder())
    if (const TGraphSeriesType* e =
            SeriesTypesHolder()->FindSeriesType(static_cast<TChartSeriesClass>(Series->ClassType())))
      return e->DescriptionText();
  return Series->ClassName();
}

// =============================================================================================
// Tool types

TGraphToolClass TGraphToolTypes::GetToolType(int Index) const {
  if (Index < 0 || Index >= Count()) throw ERangeError("Range check error");
  return FItems[static_cast<size_t>(Index)];
}

int TGraphToolTypes::IndexOf(TGraphToolClass ToolClass) const {
  auto it = std::find(FItems.begin(), FItems.end(), ToolClass);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TGraphToolTypes::Remove(TGraphToolClass ToolClass) { std::erase(FItems, ToolClass); }

void RegisterToolTypes(std::initializer_list<TGraphToolClass> Classes) {
  for (TGraphToolClass c : Classes) {
    if (ToolTypes().IndexOf(c) >= 0) continue;
    RegisterClass(c);
    ToolTypes().Add(c);
  }
}

void UnregisterToolTypes(std::initializer_list<TGraphToolClass> Classes) {
  if (!ToolTypesHolder()) return;
  for (TGraphToolClass c : Classes) ToolTypesHolder()->Remove(c);
}

// =============================================================================================
// Palettes

TColorPalettes::TColorPalettes() {
  for (const char* n :
       {"Default", "Excel", "Victorian", "Pastels", "Solid", "Classic", "Web", "Modern", "Rainbow", "Win. XP"})
    Add(n);
}

const std::vector<TColor>& TColorPalettes::PaletteColors(int Index) {
  const auto& t = PaletteTables();
  if (Index < 1 || Index >= static_cast<int>(t.size())) return t[0];
  return t[static_cast<size_t>(Index)];
}

// =============================================================================================
// Module start-up and shutdown

namespace {
bool& ChartModuleStarted() {
  static bool started = false;
  return started;
}
}  // namespace

void InitChartModule() {
  if (ChartModuleStarted()) return;
  ChartModuleStarted() = true;
  Randomize();
  SeriesTypes();
  ToolTypes();
  PalettesHolder() = std::make_unique<TColorPalettes>();
  InitSeriesModule();
}

void DoneChartModule() {
  if (!ChartModuleStarted()) return;
  ChartModuleStarted() = false;
  PalettesHolder().reset();
  SeriesTypesHolder().reset();
  ToolTypesHolder().reset();
  DoneSeriesModule();
}

// =============================================================================================
// TLegendTitle

VM_PUBLISH(TLegendTitle) {
  P.Strings("Text", &TLegendTitle::Text);
  P.Enum("TextAlignment", &TLegendTitle::TextAlignment, &TLegendTitle::SetTextAlignment, AlignmentInfo)
      .Default(taLeftJustify);
  P.Enum("TextFormat", &TLegendTitle::TextFormat, &TLegendTitle::SetTextFormat, TextFormatInfo).Default(ttfNormal);
  P.Bool("Transparent", &TLegendTitle::Transparent, &TLegendTitle::SetTransparent)
      .Stored(&TGraphCustomShape::IsTransparentStored);
}

TLegendTitle::TLegendTitle(IGraphShapeParent* Panel) : TGraphShape(Panel) {
  FText = std::make_unique<TStringList>();
  FText->OnChange = [this](TObject*) { Repaint(); };
  DefaultTransparent = true;
  SetTransparent(true);
  Font()->SetStyle(TFontStyles{fsBold});
  Font()->DefaultStyle = TFontStyles{fsBold};
  if (TGraphShadow* s = Shadow()) {
    s->SetSize(2);
    s->SetColor(clSilver);
    s->DefaultSize = 2;
    s->DefaultColor = clSilver;
  }
}

TLegendTitle::~TLegendTitle() = default;

void TLegendTitle::Assign(TPersistent* Source) {
  if (auto* t = dynamic_cast<TLegendTitle*>(Source)) {
    FText->Assign(*t->FText);
    FTextAlignment = t->FTextAlignment;
  }
  TGraphShape::Assign(Source);
}

void TLegendTitle::SetText(TStrings* Value) {
  if (Value) FText->Assign(*Value);
  Repaint();
}

void TLegendTitle::SetTextAlignment(TAlignment Value) {
  if (FTextAlignment != Value) {
    FTextAlignment = Value;
    Repaint();
  }
}

void TLegendTitle::CalcHeight() {
  TCanvas3D* c = ParentChart() ? ParentChart()->ShapeCanvas() : nullptr;
  int h = 0;
  if (c) {
    c->AssignFont(Font());
    h = FText->Count() * c->FontHeight();
  }
  if (!Transparent()) {
    h += 2;
    if (Pen()->Visible()) h += 2 * Pen()->Width();
  }
  TitleHeight = h;
  SetHeight(h);
}

int TLegendTitle::TotalWidth() {
  TCanvas3D* c = ParentChart() ? ParentChart()->ShapeCanvas() : nullptr;
  int w = 0;
  if (c) {
    c->AssignFont(Font());
    for (int i = 0; i < FText->Count(); ++i) w = std::max(w, c->TextWidth(FText->Strings(i)));
    w += c->TextWidth("W");
  }
  if (!Transparent()) {
    if (Pen()->Visible()) w += 2 * Pen()->Width();
    if (Shadow()) w += Shadow()->HorizSize();
  }
  return w;
}

void TLegendTitle::PlaceIn(const TRect& Rect) {
  BoxRect = TRect{Rect.Left + 2, Rect.Top + 2, Rect.Right - 2, Rect.Top + 2 + TitleHeight};
  if (!Transparent() && Shadow()) {
    const int hs = Shadow()->HorizSize(), vs = Shadow()->VertSize();
    if (hs >= 1)
      BoxRect.Right -= hs;
    else
      BoxRect.Left += -hs;
    if (vs < 0) BoxRect.Top += -vs;
  }
}

void TLegendTitle::DrawText() {
  TCanvas3D* c = ParentChart() ? ParentChart()->ShapeCanvas() : nullptr;
  if (!c) return;
  c->AssignFont(Font());
  c->SetTextAlign(TA_LEFT | TA_TOP);
  c->SetBackMode(cbmTransparent);
  const int h = c->FontHeight();
  const int w = c->TextWidth("W");
  const int left = BoxRect.Left + w / 2;
  if (TextFormat() == ttfHtml) {
    std::string all;
    for (int i = 0; i < FText->Count(); ++i) all += (i ? "\r\n" : "") + FText->Strings(i);
    c->TextOutFormatted(left, BoxRect.Top + 1, all, true);
    return;
  }
  for (int i = 0; i < FText->Count(); ++i) {
    const std::string& line = FText->Strings(i);
    int x = left;
    if (FTextAlignment == taRightJustify)
      x = BoxRect.Right - c->TextWidth(line) - w / 2;
    else if (FTextAlignment == taCenter)
      x = (BoxRect.Left + BoxRect.Right) / 2 - c->TextWidth(line) / 2;
    c->TextOut(x, BoxRect.Top + h * i + 1, line);
  }
}
