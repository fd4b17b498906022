// The colour grid: a regular grid is painted as one bitmap of a pixel per visible cell stretched
// over the cells' rectangle; an irregular grid cell by cell.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/grid_series.h"
#include "platform/bitmap.h"

namespace {
int32_t RoundHalfEven(double V) { return static_cast<int32_t>(std::nearbyint(V)); }
TRect Ordered(int X0, int Y0, int X1, int Y1) {
  return TRect(std::min(X0, X1), std::min(Y0, Y1), std::max(X0, X1), std::max(Y0, Y1));
}
}  // namespace

VM_PUBLISH(TColorGridSeries) {
  using S = TColorGridSeries;
  P.Bool("CenteredPoints", &S::CenteredPoints, &S::SetCenteredPoints).Default(false);
  P.Object("Frame", &S::Frame, &S::SetFrame);
  P.Bool("SmoothBitmap", &S::SmoothBitmap, &S::SetSmoothBitmap).Default(false);
  P.Int("XGridEvery", &S::XGridEvery, &S::SetXGridEvery).Default(1);
  P.Int("ZGridEvery", &S::ZGridEvery, &S::SetZGridEvery).Default(1);
}

TColorGridSeries::TColorGridSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner) {
  FFrame = std::make_unique<TChartHiddenPen>([this](TObject* Sender) { PenBrushChanged(Sender); });
  FBitmap = std::make_unique<TBitmap>();
  FBitmap->SetPixelFormat(pf24bit);
  Marks()->Callout()->SetStartLength(0);
}

TColorGridSeries::~TColorGridSeries() = default;

double TColorGridSeries::LowestX() { return CellStart(XValues()->MinValue()); }
double TColorGridSeries::HighestX() { return CellEnd(XValues()->MaxValue()); }
double TColorGridSeries::LowestZ() { return CellStart(FZValues->MinValue()); }
double TColorGridSeries::HighestZ() { return CellEnd(FZValues->MaxValue()); }

void TColorGridSeries::DrawVisiblePoints() {
  if (PointCount() == 0 || !FParentChart) return;
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  const int32_t offset = FIrregularGrid && !FCenteredPoints ? 1 : 0;
  auto span = [](TChartAxis* a, int32_t& Lo, int32_t& Hi) {
    const double p0 = a->PixelToValue(a->StartPixel), p1 = a->PixelToValue(a->EndPixel);
    Lo = static_cast<int32_t>(std::trunc(std::min(p0, p1)));
    Hi = static_cast<int32_t>(std::trunc(std::max(p0, p1))) + 1;
  };
  int32_t L, R, T, B;
  span(h, L, R);
  span(v, T, B);
  L -= RoundHalfEven(LowestX());
  R -= RoundHalfEven(LowestX());
  T -= RoundHalfEven(LowestZ());
  B -= RoundHalfEven(LowestZ());

  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  TRect dest;
  if (!FIrregularGrid) {
    L = std::max(L, 1);
    T = std::max(T, 1);
    R = std::min(R, FNumXValues);
    B = std::min(B, FNumZValues);
    if (R - L + 1 - offset <= 0 || B - T + 1 - offset <= 0) return;
    DrawBitmap(L, R, T, B, offset, dest);
  } else {
    dest = Ordered(h->ValueToPixel(LowestX()), v->ValueToPixel(HighestZ()), h->ValueToPixel(HighestX()),
                   v->ValueToPixel(LowestZ()));
    DrawCells();
  }
  if (Pen()->Visible()) DrawGridLines(dest, offset);
  if (FFrame->Visible()) {
    c->SetBackMode(cbmTransparent);
    c->AssignVisiblePen(FFrame.get());
    c->Brush->SetStyle(bsClear);
    c->RectangleWithZ(dest, StartZ);
  }
}

void TColorGridSeries::DrawBitmap(int32_t L, int32_t R, int32_t T, int32_t B, int32_t Offset, TRect& Dest) {
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  const int32_t xBase = RoundHalfEven(XValues()->MinValue()) - 1;
  const int32_t zBase = RoundHalfEven(FZValues->MinValue()) - 1;
  const double left = std::max(CellStart(L + xBase), LowestX());
  const double right = std::min(CellEnd(R + xBase), HighestX());
  const double lower = std::max(CellStart(T + zBase), LowestZ());
  const double upper = std::min(CellEnd(B + zBase), HighestZ());
  const int xl = h->ValueToPixel(left), xr = h->ValueToPixel(right);
  const int yl = v->ValueToPixel(lower), yu = v->ValueToPixel(upper);
  Dest = Ordered(xl, yl, xr, yu);

  const int32_t w = R - L + 1 - Offset, hgt = B - T + 1 - Offset;
  // The bitmap is filled already mirrored where an axis runs the other way, so it is stretched
  // onto a normal rectangle: the lowest row lands at the lower edge, the lowest column at the left.
  const bool flipX = xl > xr, flipY = yl > yu;
  const bool clear = Brush()->Style() == bsClear;
  // Every pixel is written below, so a bitmap of the right size is used again as it is.
  if (clear || FBitmap->Width() != w || FBitmap->Height() != hgt) {
    FBitmap->SetSize(0, 0);
    FBitmap->SetSize(w, hgt);
  }
  bool anyBlank = clear;
  if (!clear) {
    // Colours by value: a small cache of value -> colour (exact: keyed by the value itself) spares
    // working out the same colour again where values repeat, as they do in masks and classes.
    const bool byValue = ColoursFollowValues();
    const double* values = MandatoryList->Data();
    constexpr int kSlots = 256;
    uint64_t cachedBits[kSlots];
    TColor cachedColour[kSlots];
    bool cachedUsed[kSlots] = {};
    auto colourOf = [&](int32_t p) -> TColor {
      if (!byValue) return PointColorAt(p);
      const double v = values[p];
      uint64_t bits;
      std::memcpy(&bits, &v, sizeof bits);
      const int slot = static_cast<int>((bits ^ (bits >> 29) ^ (bits >> 47)) & (kSlots - 1));
      if (cachedUsed[slot] && cachedBits[slot] == bits) return cachedColour[slot];
      const TColor c = ColorOfValue(v);
      cachedUsed[slot] = true;
      cachedBits[slot] = bits;
      cachedColour[slot] = c;
      return c;
    };
    // The grid index is stored column by column: bands of rows are walked column by column so
    // that each column's entries are read in one piece.
    constexpr int32_t kBand = 16;
    uint8_t* lines[kBand];
    for (int32_t i0 = T; i0 <= B - Offset; i0 += kBand) {
      const int32_t i1 = std::min(i0 + kBand - 1, B - Offset);
      for (int32_t i = i0; i <= i1; ++i)
        lines[i - i0] = static_cast<uint8_t*>(FBitmap->ScanLine(flipY ? hgt - 1 - (i - T) : i - T));
      for (int32_t j = L; j <= R - Offset; ++j) {
        const int32_t* column = GridIndex[j].data();
        const int32_t offset = 3 * (flipX ? w - 1 - (j - L) : j - L);
        for (int32_t i = i0; i <= i1; ++i) {
          const int32_t p = column[i];
          TColor col = p < 0 ? clNone : colourOf(p);
          if (col == clNone) {
            anyBlank = true;
            col = clWhite;
          }
          uint8_t* px = lines[i - i0] + offset;
          px[0] = static_cast<uint8_t>((col >> 16) & 0xFF);
          px[1] = static_cast<uint8_t>((col >> 8) & 0xFF);
          px[2] = static_cast<uint8_t>(col & 0xFF);
        }
      }
    }
  }
  if (anyBlank) FBitmap->SetTransparentColor(clWhite);
  FBitmap->SetTransparent(anyBlank);
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  if (series_link::View3D(FParentChart))
    c->StretchDrawPlane(Dest, FBitmap.get(), StartZ);
  else
    c->StretchDraw(Dest, FBitmap.get());
}

void TColorGridSeries::DrawCells() {
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  c->Pen->SetStyle(psClear);
  c->Brush->SetStyle(bsSolid);
  for (int32_t r = 1; r < FNumZValues; ++r)
    for (int32_t col = 1; col < FNumXValues; ++col) {
      const int32_t p = GridIndex[col][r];
      if (p < 0) continue;
      const int32_t right = GridIndex[col + 1][r], up = GridIndex[col][r + 1];
      if (right < 0 || up < 0) continue;
      const TColor colour = PointColorAt(p);
      if (colour == clNone) continue;
      c->Brush->SetColor(colour);
      c->RectangleWithZ(Ordered(h->ValueToPixel(XValues()->Value(p)), v->ValueToPixel(FZValues->Value(p)),
                                h->ValueToPixel(XValues()->Value(right)), v->ValueToPixel(FZValues->Value(up))),
                        StartZ);
    }
}

void TColorGridSeries::DrawGridLines(const TRect& Dest, int32_t Offset) {
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  const bool is3D = series_link::View3D(FParentChart);
  c->SetBackMode(cbmTransparent);
  c->AssignVisiblePen(Pen());
  const double d = FCenteredPoints ? 0.5 : 0;
  const int32_t zEvery = std::max(1, FZGridEvery), xEvery = std::max(1, FXGridEvery);
  for (int32_t i = 1; i <= (FNumZValues - Offset - 1) / zEvery; ++i) {
    const int32_t ref = GridIndexAt(1, i * zEvery + 1);
    if (ref < 0) continue;
    const int y = GetVertAxis()->ValueToPixel(FZValues->Value(ref) - d);
    if (is3D)
      c->HorizLine3D(Dest.Left, Dest.Right, y, StartZ);
    else
      c->HorizLine(Dest.Left, Dest.Right, y);
  }
  for (int32_t j = 1; j <= (FNumXValues - Offset - 1) / xEvery; ++j) {
    const int32_t ref = GridIndexAt(j * xEvery + 1, 1);
    if (ref < 0) continue;
    const int x = GetHorizAxis()->ValueToPixel(XValues()->Value(ref) - d);
    if (is3D)
      c->VertLine3D(x, Dest.Top, Dest.Bottom, StartZ);
    else
      c->VertLine(x, Dest.Top, Dest.Bottom);
  }
}

int32_t TColorGridSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (PointCount() == 0) return -1;
  const double x = GetHorizAxis()->PixelToValue(X), z = GetVertAxis()->PixelToValue(Y);
  const double d = FCenteredPoints ? 0.5 : 0;
  if (!FIrregularGrid) {
    const double dz = z + d - FZValues->MinValue(), dx = x + d - XValues()->MinValue();
    const int32_t row = dz < 0 ? -1 : static_cast<int32_t>(std::trunc(dz));
    const int32_t column = dx < 0 ? -1 : static_cast<int32_t>(std::trunc(dx));
    if (row >= 0 && row < FNumZValues && column >= 0 && column < FNumXValues) return GridIndexAt(column + 1, row + 1);
    return -1;
  }
  // The cell's column and row come from the grid's own sorted X and Z values, so a click finds
  // its cell whatever order the points were added in.
  auto band = [](const std::vector<double>& V, double At) {
    for (size_t k = 0; k + 1 < V.size(); ++k)
      if (V[k] <= At && At < V[k + 1]) return static_cast<int32_t>(k);
    return -1;
  };
  const int32_t row = band(GridZs, z), column = band(GridXs, x);
  return row < 0 || column < 0 ? -1 : GridIndexAt(column + 1, row + 1);
}

void TColorGridSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TColorGridSeries*>(Source)) {
    FCenteredPoints = s->FCenteredPoints;
    FSmoothBitmap = s->FSmoothBitmap;
    FFrame->Assign(s->FFrame.get());
  }
  TCustom3DGridSeries::Assign(Source);
}

void TColorGridSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustom3DGridSeries::ListStyleVariants(AddStyle);
  AddStyle(MsgOptionNoGrid);
}

void TColorGridSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  if (Index == 2 && Target)
    Target->Pen()->SetVisible(false);
  else
    TCustom3DGridSeries::ApplyStyleVariant(Target, Index);
}
