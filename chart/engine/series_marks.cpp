#include "chart/engine/series_marks.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/html_text.h"
#include "chart/engine/series_base.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "platform/streaming.h"
#include "platform/streams.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

const TEnumInfo SeriesMarksStyleInfo("TSeriesMarksStyle",
                                     {"smsValue", "smsPercent", "smsLabel", "smsLabelPercent", "smsLabelValue",
                                      "smsLegend", "smsPercentTotal", "smsLabelPercentTotal", "smsXValue", "smsXY"});

std::vector<std::string> SplitMarkLines(const std::string& Text) {
  std::vector<std::string> lines;
  std::string rest = Text;
  for (;;) {
    const size_t p = rest.find('\r');
    if (p == std::string::npos) {
      lines.push_back(rest);
      break;
    }
    lines.push_back(rest.substr(0, p));
    rest = rest.substr(p + 1);
    if (rest.size() > 255) rest.resize(255);
  }
  return lines;
}

// =============================================================================================
// Positions

void TSeriesMarkPosition::Assign(const TSeriesMarkPosition& Source) {
  ArrowStart = Source.ArrowStart;
  ArrowEnd = Source.ArrowEnd;
  LeftTop = Source.LeftTop;
  Height = Source.Height;
  Width = Source.Width;
}

TSeriesMarkPosition* TSeriesMarksPositions::GetPosition(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return FItems[static_cast<size_t>(Index)].get();
}

TSeriesMarkPosition* TSeriesMarksPositions::Ensure(int Index) {
  if (Index >= Count()) FItems.resize(static_cast<size_t>(Index) + 1);
  auto& slot = FItems[static_cast<size_t>(Index)];
  if (!slot) slot = std::make_unique<TSeriesMarkPosition>();
  return slot.get();
}

void TSeriesMarksPositions::Delete(int Index) {
  if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

void TSeriesMarksPositions::DeleteRange(int Start, int Quantity) {
  if (Start >= Count()) return;
  FItems.erase(FItems.begin() + Start, FItems.begin() + std::min(Count(), Start + Quantity));
}

void TSeriesMarksPositions::Exchange(int Index1, int Index2) {
  const int hi = std::max(Index1, Index2);
  if (hi >= Count()) FItems.resize(static_cast<size_t>(hi) + 1);
  std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

bool TSeriesMarksPositions::HasUserMoved() const {
  return std::any_of(FItems.begin(), FItems.end(), [](const auto& p) { return p && p->UserMoved; });
}

// =============================================================================================
// Gradient, items, symbol

VM_DEFINE_CLASS(TSeriesMarksGradient)

TSeriesMarksGradient::TSeriesMarksGradient(const TNotifyEvent& OnChange) : TGraphGradient(nullptr) {
  SetDirection(gdRightLeft);
  SetEndColor(clWhite);
  SetStartColor(clSilver);
  this->OnChange = OnChange;
}

namespace {
void InitMarksShadow(TGraphShadow* S) {
  S->SetColor(clGray);
  S->SetSize(1);
  S->DefaultColor = clGray;
  S->DefaultSize = 1;
}
}  // namespace

VM_PUBLISH(TMarksItem) {
  P.Enum("Bevel", &TMarksItem::Bevel, &TMarksItem::SetBevel, BevelCutInfo).Default(bvNone);
  P.Int("BevelWidth", &TMarksItem::BevelWidth, &TMarksItem::SetBevelWidth).Default(2);
  P.Int("Color", &TMarksItem::Color, &TMarksItem::SetColor).Default(clInfoBk).Idents(ColorIdents);
  P.Object("Font", &TMarksItem::Font, &TMarksItem::SetFont);
  P.Object("Gradient", &TMarksItem::Gradient, &TMarksItem::SetGradient);
  P.Object("Shadow", &TMarksItem::Shadow, &TMarksItem::SetShadow);
  P.Enum("ShapeStyle", &TMarksItem::ShapeStyle, &TMarksItem::SetShapeStyle, ChartObjectShapeStyleInfo)
      .Default(fosRectangle);
  P.Strings("Text", &TMarksItem::Text);
  P.Int("Transparency", &TMarksItem::Transparency, &TMarksItem::SetTransparency).Default(0);
  P.Bool("Transparent", &TMarksItem::Transparent, &TMarksItem::SetTransparent)
      .Stored(&TGraphCustomShape::IsTransparentStored);
}

TMarksItem::TMarksItem(IGraphShapeParent* Parent) : TGraphCustomShape(Parent) {
  SetColor(clInfoBk);
  InitMarksShadow(Shadow());
}

TMarksItem::~TMarksItem() = default;

TStrings* TMarksItem::Text() {
  if (!FText) {
    auto* sl = new TStringList();
    sl->OnChange = [this](TObject*) { Repaint(); };
    FText.reset(sl);
  }
  return FText.get();
}

void TMarksItem::SetText(TStrings* Value) {
  if (!Value)
    FText.reset();
  else
    Text()->Assign(*Value);
}

TMarksItem* TMarksItems::Stored(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return FItems[static_cast<size_t>(Index)].get();
}

TMarksItem* TMarksItems::GetItem(int Index) {
  if (Index < 0) throw ERangeError("Range check error");
  if (Index >= Count()) FItems.resize(static_cast<size_t>(Index) + 1);
  auto& slot = FItems[static_cast<size_t>(Index)];
  if (!slot) slot = std::make_unique<TMarksItem>(Marks ? Marks->ParentChart() : nullptr);
  return slot.get();
}

void TMarksItems::Delete(int Index) {
  if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

void TMarksItems::DeleteRange(int Start, int Quantity) {
  if (Start >= Count()) return;
  FItems.erase(FItems.begin() + Start, FItems.begin() + std::min(Count(), Start + Quantity));
}

void TMarksItems::Exchange(int Index1, int Index2) {
  const int hi = std::max(Index1, Index2);
  if (hi >= Count()) FItems.resize(static_cast<size_t>(hi) + 1);
  std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

void TMarksItems::Clear() {
  FItems.clear();
  if (Marks) Marks->Repaint();
}

VM_PUBLISH(TSeriesMarksSymbol) {
  P.Enum("Bevel", &TSeriesMarksSymbol::Bevel, &TSeriesMarksSymbol::SetBevel, BevelCutInfo).Default(bvNone);
  P.Int("BevelWidth", &TSeriesMarksSymbol::BevelWidth, &TSeriesMarksSymbol::SetBevelWidth).Default(2);
  P.Object("Brush", &TSeriesMarksSymbol::Brush, &TSeriesMarksSymbol::SetBrush);
  P.Object("Frame", &TSeriesMarksSymbol::Pen, &TSeriesMarksSymbol::SetPen);
  P.Object("Gradient", &TSeriesMarksSymbol::Gradient, &TSeriesMarksSymbol::SetGradient);
  P.Object("Shadow", &TSeriesMarksSymbol::Shadow, &TSeriesMarksSymbol::SetShadow);
  P.Enum("ShapeStyle", &TSeriesMarksSymbol::ShapeStyle, &TSeriesMarksSymbol::SetShapeStyle, ChartObjectShapeStyleInfo)
      .Default(fosRectangle);
  P.Int("Transparency", &TSeriesMarksSymbol::Transparency, &TSeriesMarksSymbol::SetTransparency).Default(0);
  P.Bool("Visible", &TSeriesMarksSymbol::Visible, &TSeriesMarksSymbol::SetVisible).Default(false);
}

TSeriesMarksSymbol::TSeriesMarksSymbol(IGraphShapeParent* Parent) : TGraphCustomShape(Parent) {
  SetVisible(false);
  SetTransparent(false);
  InitShadow(Shadow());
}

void TSeriesMarksSymbol::InitShadow(TGraphShadow* AShadow) {
  TGraphCustomShape::InitShadow(AShadow);
  AShadow->SetSize(1);
  AShadow->DefaultSize = 1;
}

// =============================================================================================
// TSeriesMarks

VM_PUBLISH(TSeriesMarks) {
  P.Int("Angle", &TSeriesMarks::Angle, &TSeriesMarks::SetAngle).Default(0);
  P.Object("Arrow", &TSeriesMarks::Arrow, &TSeriesMarks::SetArrow);
  P.Int("ArrowLength", &TSeriesMarks::ArrowLength, &TSeriesMarks::SetArrowLength).Stored([](TObject* o) {
    auto* m = static_cast<TSeriesMarks*>(o);
    return m->ArrowLength() != m->Callout()->DefaultLength;
  });
  P.Object("Callout", &TSeriesMarks::Callout, &TSeriesMarks::SetCallout);
  P.Int("BackColor", &TSeriesMarks::BackColor, &TSeriesMarks::SetBackColor).Default(clInfoBk).Idents(ColorIdents);
  P.Enum("Bevel", &TSeriesMarks::Bevel, &TSeriesMarks::SetBevel, BevelCutInfo).Default(bvNone);
  P.Int("BevelWidth", &TSeriesMarks::BevelWidth, &TSeriesMarks::SetBevelWidth).Default(2);
  P.Object("Brush", &TSeriesMarks::Brush, &TSeriesMarks::SetBrush);
  P.Bool("Clip", &TSeriesMarks::Clip, &TSeriesMarks::SetClip).Default(false);
  P.Int("Color", &TSeriesMarks::Color, &TSeriesMarks::SetColor).Default(clInfoBk).Idents(ColorIdents);
  P.Int("DrawEvery", &TSeriesMarks::DrawEvery, &TSeriesMarks::SetDrawEvery).Default(1);
  P.Object("Font", &TSeriesMarks::Font, &TSeriesMarks::SetFont);
  P.Object("Frame", &TSeriesMarks::Pen, &TSeriesMarks::SetPen);
  P.Object("Gradient", &TSeriesMarks::Gradient, &TSeriesMarks::SetGradient);
  P.Bool("MultiLine", &TSeriesMarks::MultiLine, &TSeriesMarks::SetMultiLine).Default(false);
  P.Object("Shadow", &TSeriesMarks::Shadow, &TSeriesMarks::SetShadow);
  P.Enum("ShapeStyle", &TSeriesMarks::ShapeStyle, &TSeriesMarks::SetShapeStyle, ChartObjectShapeStyleInfo)
      .Default(fosRectangle);
  P.Enum("Style", &TSeriesMarks::Style, &TSeriesMarks::SetStyle, SeriesMarksStyleInfo).Default(smsLabel);
  P.Object("Symbol", &TSeriesMarks::Symbol, &TSeriesMarks::SetSymbol);
  P.Int("Transparency", &TSeriesMarks::Transparency, &TSeriesMarks::SetTransparency).Default(0);
  P.Bool("Transparent", &TSeriesMarks::Transparent, &TSeriesMarks::SetTransparent)
      .Stored(&TGraphCustomShape::IsTransparentStored);
  P.Bool("Visible", &TSeriesMarks::Visible, &TSeriesMarks::SetVisible).Stored([](TObject* o) {
    auto* m = static_cast<TSeriesMarks*>(o);
    return m->Visible() != m->DefaultVisible;
  });
}

TSeriesMarks::TSeriesMarks(TChartSeries* Series) : OwnerSeries(Series), Items(this) {
  SetColor(clInfoBk);
  SetVisible(false);
  InitShadow(Shadow());
}

TSeriesMarks::~TSeriesMarks() = default;

void TSeriesMarks::InitShadow(TGraphShadow* AShadow) { InitMarksShadow(AShadow); }

void TSeriesMarks::RepaintSeries() {
  if (OwnerSeries)
    OwnerSeries->Repaint();
  else
    Repaint();
}

void TSeriesMarks::Assign(TPersistent* Source) {
  if (auto* m = dynamic_cast<TSeriesMarks*>(Source)) {
    FAngle = m->FAngle;
    SetCallout(m->FCallout.get());
    FClip = m->FClip;
    FDrawEvery = m->FDrawEvery;
    FStyle = m->FStyle;
    FMultiLine = m->FMultiLine;
    SetSymbol(m->FSymbol.get());
    Items.Clear();
    for (int i = 0; i < m->Items.Count(); ++i)
      if (m->Items.Stored(i)) Items.GetItem(i)->Assign(m->Items.GetItem(i));
  }
  TGraphCustomShape::Assign(Source);
}

TMarksCallout* TSeriesMarks::Callout() {
  if (!FCallout) {
    FCallout = std::make_unique<TMarksCallout>(OwnerSeries);
    FCallout->SetParentChart(ParentChart());
  }
  return FCallout.get();
}

void TSeriesMarks::SetCallout(TMarksCallout* Value) {
  if (Value) Callout()->Assign(Value);
}

int32_t TSeriesMarks::ArrowLength() { return Callout()->Length(); }
void TSeriesMarks::SetArrowLength(int32_t Value) { Callout()->SetLength(Value); }
TChartPen* TSeriesMarks::Arrow() { return Callout()->Arrow(); }
void TSeriesMarks::SetArrow(TChartPen* Value) { Callout()->SetArrow(Value); }

TSeriesMarksSymbol* TSeriesMarks::Symbol() {
  if (!FSymbol) FSymbol = std::make_unique<TSeriesMarksSymbol>(ParentChart());
  return FSymbol.get();
}

void TSeriesMarks::SetSymbol(TSeriesMarksSymbol* Value) {
  if (Value) Symbol()->Assign(Value);
}

void TSeriesMarks::SetAngle(int32_t Value) {
  if (OwnerSeries)
    OwnerSeries->SetIntegerProperty(FAngle, Value);
  else
    FAngle = Value;
}

void TSeriesMarks::SetClip(bool Value) {
  if (OwnerSeries)
    OwnerSeries->SetBooleanProperty(FClip, Value);
  else
    FClip = Value;
}

void TSeriesMarks::SetDrawEvery(int32_t Value) {
  if (FDrawEvery != Value) {
    FDrawEvery = Value;
    RepaintSeries();
  }
}

void TSeriesMarks::SetMultiLine(bool Value) {
  if (FMultiLine != Value) {
    FMultiLine = Value;
    RepaintSeries();
  }
}

void TSeriesMarks::SetStyle(TSeriesMarksStyle Value) {
  if (FStyle != Value) {
    FStyle = Value;
    RepaintSeries();
  }
}

void TSeriesMarks::SetParentChart(IGraphShapeParent* Value) {
  TGraphCustomShape::SetParentChart(Value);
  if (FCallout) FCallout->SetParentChart(Value);
  if (FSymbol) FSymbol->SetParentChart(Value);
  for (int i = 0; i < Items.Count(); ++i)
    if (TMarksItem* it = Items.Stored(i)) it->SetParentChart(Value);
}

TGraphCustomShape* TSeriesMarks::MarkItem(int ValueIndex) const {
  if (TMarksItem* it = Items.Stored(ValueIndex)) return it;
  return const_cast<TSeriesMarks*>(this);
}

void TSeriesMarks::ResetPositions() {
  for (int i = 0; i < Positions.Count(); ++i)
    if (TSeriesMarkPosition* p = Positions.GetPosition(i)) p->UserMoved = false;
  RepaintSeries();
}

void TSeriesMarks::ClearPositions() {
  Positions.Clear();
  if (!Items.ItemsLoaded) Items.Clear();
}

void TSeriesMarks::ApplyCalloutOffset(TSeriesMarkPosition& Position) {
  if (FCallout) FCallout->ApplyLength(Position);
}

void TSeriesMarks::ApplyStoredPosition(int ValueIndex, TSeriesMarkPosition& Position) {
  TSeriesMarkPosition* stored = Positions.Ensure(ValueIndex);
  if (!stored->UserMoved) {
    stored->Assign(Position);
  } else {
    const TPoint keep = Position.ArrowStart;
    Position.Assign(*stored);
    if (Position.KeepArrowStart) Position.ArrowStart = keep;
  }
}

TPoint TSeriesMarks::ProjectMarkCorner(const TPoint& ArrowEnd, const TPoint& LeftTop) const {
  TCanvas3D* c = ParentChart() ? ParentChart()->ShapeCanvas() : nullptr;
  const bool is3D = OwnerSeries && OwnerSeries->ParentChart() && series_link::View3D(OwnerSeries->ParentChart());
  if (!c || !is3D || c->IsText3D()) return LeftTop;
  const TPoint p = c->ProjectPoint(ArrowEnd, ZPosition);
  return TPoint{LeftTop.X + (p.X - ArrowEnd.X), LeftTop.Y + (p.Y - ArrowEnd.Y)};
}

void TSeriesMarks::DrawMarkText(const TRect& Rect, const std::string& Text) {
  TCanvas3D* c = ParentChart() ? ParentChart()->ShapeCanvas() : nullptr;
  if (!c) return;
  const int cx = (Rect.Left + Rect.Right) / 2;
  const int cy = (Rect.Top + Rect.Bottom) / 2;
  if (TextFormat() == ttfHtml) {
    HtmlTextOut(c, cx, Rect.Top, Text);
    return;
  }
  const int h = c->FontHeight();
  const std::vector<std::string> lines = SplitMarkLines(Text);
  const int frame = Pen()->Visible() ? Pen()->Width() : 0;
  for (size_t k = 0; k < lines.size(); ++k) {
    const int ki = static_cast<int>(k);
    int x, y;
    if (FAngle == 0) {
      x = cx;
      y = Rect.Top + ki * h + frame;
    } else {
      const double a = FAngle * M_PI / 180.0;
      const double d = ki * h + cy - Rect.Bottom;
      x = cx + static_cast<int>(std::nearbyint(std::sin(a) * d));
      y = cy + static_cast<int>(std::nearbyint(std::cos(a) * d));
      if (FAngle == 90) ++x;
    }
    if (c->IsText3D()) {
      if (FAngle == 0)
        c->TextOut3D(x, y, ZPosition, lines[k]);
      else
        c->RotateLabel3D(x, y, ZPosition, lines[k], FAngle);
    } else if (FAngle == 0) {
      c->TextOut(x, y, lines[k]);
    } else {
      c->RotateLabel(x, y, lines[k], FAngle);
    }
  }
}

void TSeriesMarks::DrawMark(int ValueIndex, TColor Color, TSeriesMarkPosition& Position, const std::string& Text) {
  ApplyStoredPosition(ValueIndex, Position);
  TGraphCustomShape* item = MarkItem(ValueIndex);
  TCanvas3D* c = ParentChart() ? ParentChart()->ShapeCanvas() : nullptr;
  if (!c) return;
  if (FCallout && (FCallout->Visible() || FCallout->Arrow()->Visible()))
    FCallout->DrawCallout(Color, Position.ArrowStart, Position.ArrowEnd, ZPosition);
  if (item->Transparent()) {
    c->Brush->SetStyle(bsClear);
    c->SetBackMode(cbmTransparent);
  } else {
    c->AssignBrush(item->Brush(), item->Color());
  }
  c->AssignVisiblePen(item->Pen());
  Position.LeftTop = ProjectMarkCorner(Position.ArrowEnd, Position.LeftTop);
  const TRect box{Position.LeftTop.X, Position.LeftTop.Y, Position.LeftTop.X + Position.Width,
                  Position.LeftTop.Y + Position.Height};
  item->DrawRectRotated(box, FAngle % 360, ZPosition + 1);
  TRect textRect = box;
  textRect.Left += 2;
  textRect.Right += 2;
  if (FSymbol && FSymbol->IsDrawn()) {
    const int h = c->FontHeight();
    FSymbol->SetColor(OwnerSeries ? OwnerSeries->PointColorAt(ValueIndex) : Color);
    FSymbol->SetTransparent(false);
    const TRect sr{box.Left + 4, box.Top + 3, box.Left + h - 1, box.Top + h - 2};
    FSymbol->DrawRectRotated(sr, FAngle % 360, ZPosition + 1);
    const int w = sr.Right - sr.Left + 4;
    textRect.Left += w;
    textRect.Right += w;
  }
  c->Brush->SetStyle(bsClear);
  c->SetBackMode(cbmTransparent);
  c->SetTextAlign(TA_CENTER | TA_TOP);
  DrawMarkText(textRect, Text);
}

TRect TSeriesMarks::MarkBounds(int Index, const TSeriesMarkPosition& Position) const {
  const TGraphCustomShape* item = MarkItem(Index);
  TRect r = Position.GetBounds();
  if (item->Pen()->Visible()) {
    r.Right += item->Pen()->Width();
    r.Bottom += item->Pen()->Width();
  }
  if (const TGraphShadow* s = item->Shadow()) {
    if (s->HorizSize() > 0)
      r.Right += s->HorizSize();
    else
      r.Left += s->HorizSize();
    if (s->VertSize() > 0)
      r.Bottom += s->VertSize();
    else
      r.Top += s->VertSize();
  }
  const TPoint p = ProjectMarkCorner(Position.ArrowEnd, Position.LeftTop);
  const int dx = p.X - Position.LeftTop.X, dy = p.Y - Position.LeftTop.Y;
  return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

void TSeriesMarks::MoveToAvoidOverlap(int FirstIndex, int ValueIndex, TSeriesMarkPosition& Position) {
  TRect nb = MarkBounds(ValueIndex, Position);
  for (int i = std::max(FirstIndex, 0); i < ValueIndex; ++i) {
    TSeriesMarkPosition* other = Positions.GetPosition(i);
    if (!other) continue;
    const TRect ob = MarkBounds(i, *other);
    const bool intersect = nb.Left < ob.Right && ob.Left < nb.Right && nb.Top < ob.Bottom && ob.Top < nb.Bottom;
    if (!intersect) continue;
    const int d = nb.Top < ob.Top ? -(nb.Bottom - ob.Top) : (ob.Bottom - nb.Top);
    Position.LeftTop.Y += d;
    Position.ArrowEnd.Y += d;
    nb.Top += d;
    nb.Bottom += d;
  }
}

int TSeriesMarks::MarkIndexAt(int X, int Y) const {
  for (int i = Positions.Count() - 1; i >= 0; --i) {
    if (FDrawEvery > 1 && i % FDrawEvery != 0) continue;
    const TSeriesMarkPosition* p = Positions.GetPosition(i);
    if (!p) continue;
    const TPoint lt = ProjectMarkCorner(p->ArrowEnd, p->LeftTop);
    if (X >= lt.X && X <= lt.X + p->Width && Y >= lt.Y && Y <= lt.Y + p->Height) return i;
  }
  return -1;
}

int TSeriesMarks::MarkTextWidth(int ValueIndex) {
  TCanvas3D* c = ParentChart() ? ParentChart()->ShapeCanvas() : nullptr;
  if (!c || !OwnerSeries) return 0;
  int w = 0;
  for (const std::string& l : SplitMarkLines(OwnerSeries->GetMarkText(ValueIndex))) w = std::max(w, c->TextWidth(l));
  return w;
}

void TSeriesMarks::WriteItems(TStream& Stream) {
  const int32_t n = Items.Count();
  Stream.WriteBuffer(&n, 4);
  TWriter w(Stream, 1024);
  for (int i = 0; i < n; ++i) {
    w.WriteListBegin();
    if (TMarksItem* it = Items.Stored(i)) w.WriteProperties(it);
    w.WriteListEnd();
  }
}

void TSeriesMarks::ReadItems(TStream& Stream) {
  int32_t n = 0;
  Stream.ReadBuffer(&n, 4);
  if (n < 0 || n > Stream.Size() - Stream.Position()) throw EReadError("Invalid marks items");
  Items.ItemsLoaded = n > 0;
  if (n <= 0) return;
  TReader r(Stream, 1024);
  for (int i = 0; i < n; ++i) {
    TMarksItem* it = Items.GetItem(i);
    r.ReadListBegin();
    while (!r.EndOfList()) r.ReadProperty(it);
    r.ReadListEnd();
  }
}

void TSeriesMarks::DefineProperties(TFiler* Filer) {
  TGraphCustomShape::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Items", [this](TStream& s) { ReadItems(s); }, [this](TStream& s) { WriteItems(s); }, Items.Count() > 0);
}

// =============================================================================================
// The series side: texts and drawing of its marks

void TChartSeries::PercentText(int32_t ValueIndex, bool WithTotal, std::string& Text) {
  const double a = MandatoryList->GetTotalAbs();
  const double p = a == 0 ? 100.0 : std::fabs(MainValueAt(ValueIndex)) * 100 / a;
  Text = FormatFloat(FPercentFormat, p);
  if (WithTotal) {
    const std::string& fmt = FMarks->MultiLine() ? MsgValueOfTotalTwoLines : MsgValueOfTotal;
    Text = Format(fmt, {Text, FormatFloat(FValueFormat, a)});
  }
}

std::string TChartSeries::MarkValueText(double Value) const { return FormatFloat(FValueFormat, Value); }

void TChartSeries::BuildMarkText(int32_t ValueIndex, std::string& Text) {
  TMarksItem* item = FMarks->Items.Stored(ValueIndex);
  if (item && item->TextOrNull()) {
    TStrings* t = item->TextOrNull();
    Text.clear();
    for (int i = 0; i < t->Count(); ++i) {
      if (i > 0) Text += "\r\n";
      Text += t->Strings(i);
    }
  } else {
    const std::string v = MarkValueText(MainValueAt(ValueIndex));
    std::string l = LabelAt(ValueIndex);
    if (l.empty()) l = v;
    const std::string s = FMarks->MultiLine() ? std::string(1, '\r') : std::string(" ");
    auto pct = [&](bool total) {
      std::string p;
      PercentText(ValueIndex, total, p);
      return p;
    };
    auto xText = [&] {
      const double x = NotMandatoryList->GetValue(ValueIndex);
      if (HorizAxisObject) return series_link::LabelText(HorizAxisObject, x);
      return MarkValueText(x);
    };
    switch (FMarks->Style()) {
      case smsValue:
        Text = v;
        break;
      case smsPercent:
        Text = pct(false);
        break;
      case smsLabel:
        Text = l;
        break;
      case smsLabelPercent:
        Text = l + s + pct(false);
        break;
      case smsLabelValue:
        Text = l + s + v;
        break;
      case smsLegend:
        Text.clear();
        if (FParentChart) series_link::GetSeriesLegendText(FParentChart, this, ValueIndex, Text);
        if (!FMarks->MultiLine()) Text = ReplaceChar(Text, LegendColumnSeparator, ' ');
        break;
      case smsPercentTotal:
        Text = pct(true);
        break;
      case smsLabelPercentTotal:
        Text = l + s + pct(true);
        break;
      case smsXValue:
        Text = xText();
        break;
      case smsXY:
        Text = xText() + s + v;
        break;
    }
  }
  if (OnGetMarkText) OnGetMarkText(this, ValueIndex, Text);
}

void TChartSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  FMarks->DrawMark(ValueIndex, PointColorAt(ValueIndex), Position, Text);
}

void TChartSeries::DrawAllMarks() {
  TCanvas3D* c = FParentChart ? series_link::Canvas(FParentChart) : nullptr;
  if (!c || FirstValueIndex < 0) return;
  TSeriesMarkPosition pos;
  const int every = std::max(FMarks->DrawEvery(), 1);
  for (int32_t i = FirstValueIndex; i <= LastValueIndex; ++i) {
    if (i % every != 0 || IsNullPoint(i)) continue;
    std::string text;
    BuildMarkText(i, text);
    if (text.empty()) continue;
    TGraphCustomShape* item = FMarks->MarkItem(i);
    if (!item->Visible()) continue;
    c->AssignFont(item->Font());
    if (series_link::View3D(FParentChart) && !c->IsText3D() && c->View3DOptions && c->View3DOptions->ZoomText() &&
        c->View3DOptions->Zoom() != 100) {
      const int size = static_cast<int>(std::nearbyint(c->Font->Size() * c->View3DOptions->Zoom() / 100.0));
      c->Font->SetSize(std::max(1, size));
    }
    int w, h;
    const int lh = c->FontHeight();
    if (item->TextFormat() == ttfHtml) {
      TSize ext{0, 0};
      HtmlTextExtent(c, text, ext);
      w = ext.cx;
      h = ext.cy;
    } else {
      const std::vector<std::string> lines = SplitMarkLines(text);
      w = 0;
      for (const std::string& l : lines) w = std::max(w, c->TextWidth(l));
      h = static_cast<int>(lines.size()) * lh;
    }
    w += c->TextWidth("W");
    if (FMarks->SymbolOrNull() && FMarks->SymbolOrNull()->IsDrawn()) w += lh - 4;
    c->AssignVisiblePen(item->Pen());
    if (item->Pen()->Visible()) {
      w += 2 * item->Pen()->Width();
      h += 2 * item->Pen()->Width();
    } else {
      ++w;
      ++h;
    }
    pos = TSeriesMarkPosition();
    pos.ArrowStart = pos.ArrowEnd = TPoint{ScreenXAt(i), ScreenYAt(i)};
    pos.LeftTop = TPoint{pos.ArrowEnd.X - w / 2, pos.ArrowEnd.Y - h + 1};
    pos.Width = w;
    pos.Height = h;
    DrawPointMark(i, text, pos);
  }
}

int32_t TChartSeries::WidestMarkText() {
  int32_t w = 0;
  for (int32_t i = 0; i < PointCount(); ++i)
    if (FMarks->MarkItem(i)->Visible()) w = std::max(w, FMarks->MarkTextWidth(i));
  return w;
}
