// What an axis draws and the room it takes: label texts and styles, the label band and title
// sizes, the labels (values, logarithmic decades, series labels, custom items, labels chosen by
// the application), the axis line, ticks, minor ticks and grids.
#include <cmath>
#include <set>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/series_base.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "platform/canvas.h"
#include "platform/datetime.h"
#include "platform/guards.h"
#include "platform/sysutils.h"

namespace {

constexpr char LineBreak = '\r';

int CountLines(const std::string& Text) {
  if (Text.empty()) return 0;
  int n = 1;
  for (size_t i = 0; i < Text.size(); ++i)
    if (Text[i] == LineBreak && i + 1 < Text.size()) ++n;
  return n;
}

std::vector<std::string> SplitLines(const std::string& Text) {
  std::vector<std::string> lines;
  std::string cur;
  for (char c : Text) {
    if (c == LineBreak) {
      lines.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty() || lines.empty()) lines.push_back(cur);
  return lines;
}

int32_t Rnd(double V) { return static_cast<int32_t>(std::nearbyint(V)); }

// Keeps labels along an axis from running into each other: the first is always drawn; a later one
// only when it clears the last one drawn with the separation's margin (a separation of 0 draws all).
struct TLabelSpacer {
  int32_t Separation = 0;
  int32_t LastPos = -1, LastHalf = 0;
  bool Drawn = false;
  bool Fits(int32_t P, int32_t Size) {
    if (Separation == 0 || !Drawn) {
      LastPos = P;
      LastHalf = Size / 2;
      Drawn = true;
      return true;
    }
    const int32_t half = (Size + static_cast<int32_t>(std::trunc(Size * 0.02 * Separation))) / 2;
    if (!((P < LastPos && LastPos - LastHalf >= P + half) || (P >= LastPos && P - half >= LastPos + LastHalf)))
      return false;
    LastPos = P;
    LastHalf = half;
    return true;
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Label style and text.

TAxisLabelStyle TChartAxis::GetLabelStyle() { return FLabelStyle == talAuto ? CalcLabelStyle() : FLabelStyle; }

TAxisLabelStyle TChartAxis::CalcLabelStyle() {
  if (!ParentChart) return talNone;
  TAxisLabelStyle result = talNone;
  for (int i = 0; i < ParentChart->CountSeries(); ++i) {
    TChartSeries* s = ParentChart->SeriesAt(i);
    if (!s->Active() || !s->IsBoundToAxis(this)) continue;
    result = talValue;
    const bool alongThis = FHorizontal ? s->YMandatory : !s->YMandatory;
    if (!s->ExcludeFromZGrouping && alongThis) {
      for (int p = 0; p < s->Labels->Count(); ++p)
        if (!s->Labels->LabelAt(p).empty()) return talText;
    }
  }
  return result;
}

TAxisLabelStyle TChartDepthAxis::CalcLabelStyle() {
  if (!ParentChart) return talText;
  for (int i = 0; i < ParentChart->CountSeries(); ++i) {
    TChartSeries* s = ParentChart->SeriesAt(i);
    if (!s->Active()) continue;
    if (s->ExcludeFromZGrouping || s->HighestZ() != s->LowestZ()) return talValue;
  }
  return talText;
}

void TChartAxis::ValueToLabelText(double Value, std::string& Text) {
  if (DateTimeAxis) {
    if (Value < 0)
      Text.clear();
    else
      Text = FormatDateTime(FDateTimeFormat.empty() ? DateTimeDefaultFormat(ScaleRange) : FDateTimeFormat, Value);
  } else if (!std::isfinite(Value)) {
    Text.clear();
  } else {
    Text = FormatFloat(FAxisValuesFormat, Value);
  }
  if (ParentChart && ParentChart->OnGetAxisLabel && !FLabelEventOff)
    ParentChart->OnGetAxisLabel(this, nullptr, -1, Text);
  if (FLabelsMultiLine)
    for (char& c : Text)
      if (c == ' ') c = LineBreak;
}

int32_t TChartAxis::WidestValueLabel() {
  double lo = ScaleMinimum, hi = ScaleMaximum;
  if ((IsDateTime() && FExactDateTime) || FRoundFirstLabel) {
    const double inc = CalcLabelIncrement();
    if (inc > 0) {
      lo = std::trunc(lo / inc) * inc;
      hi = std::trunc(hi / inc) * inc;
    }
  }
  FLabelEventOff = true;
  int lines = 0;
  const int32_t a = ParentChart->WidestLineWidth(LabelText(lo), lines);
  const int32_t b = ParentChart->WidestLineWidth(LabelText(hi), lines);
  FLabelEventOff = false;
  return std::max(a, b) + ParentChart->Canvas->TextWidth(" ");
}

int32_t TChartAxis::MaxLabelsWidth() {
  if (!ParentChart) return 0;
  if (FItems->Count() > 0) {
    int32_t w = 0;
    for (int i = 0; i < FItems->Count(); ++i) {
      TAxisItem* item = FItems->ItemAt(i);
      ParentChart->Canvas->AssignFont(item->Font());
      int lines = 0;
      const std::string t = item->Text().empty() ? LabelText(item->Value()) : item->Text();
      w = std::max(w, ParentChart->WidestLineWidth(t, lines));
    }
    ParentChart->Canvas->AssignFont(LabelsFont());
    return w;
  }
  switch (GetLabelStyle()) {
    case talValue:
      return WidestValueLabel();
    case talMark:
      return ParentChart->WidestMarkText();
    case talText:
      return ParentChart->WidestLabel();
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------------------------
// Sizes and positions.

int32_t TChartAxis::SizeOfText(TGraphFont* AFont, int32_t AAngle, int32_t FixedSize, const std::string& Text) {
  if (FixedSize != 0) return FixedSize;
  TGraphCanvas3D* c = ParentChart->Canvas;
  c->AssignFont(AFont);
  const bool across = FHorizontal ? (AAngle == 0 || AAngle == 180) : (AAngle == 90 || AAngle == 270);
  if (across) {
    int lines = 1;
    if (!Text.empty()) lines = std::max(1, CountLines(Text));
    return c->FontHeight() * lines;
  }
  if (Text.empty()) return MaxLabelsWidth();
  int lines = 0;
  return ParentChart->WidestLineWidth(Text, lines);
}

int32_t TChartAxis::LabelsBandSize() {
  const int32_t s = SizeOfText(LabelsFont(), FLabelsAngle, FLabelsSize, "");
  return FLabelsAlternate ? 2 * s : s;
}

int32_t TChartAxis::LineAndTicksSize() {
  int32_t r = FAxis->Visible() ? FAxis->Width() + 1 : 0;
  if (FTicks->Visible()) r += FTickLength;
  if (FMinorTicks->Visible()) r = std::max(r, FMinorTickLength);
  return r;
}

int32_t TChartAxis::AxisLineSideOfRect(const TRect& R) const {
  if (FHorizontal) return FOtherSide ? R.Top : R.Bottom;
  return FOtherSide ? R.Right : R.Left;
}

int32_t TChartAxis::ApplyPositionPercent(int32_t Pos, const TRect& R) const {
  if (FPositionPercent == 0) return Pos;
  int32_t d;
  if (FPositionUnits == muPixels)
    d = Rnd(FPositionPercent);
  else
    d = Rnd(FPositionPercent * 0.01 * (FHorizontal ? R.Bottom - R.Top : R.Right - R.Left));
  if (FOtherSide) d = -d;
  return FHorizontal ? Pos - d : Pos + d;
}

int32_t TChartAxis::InflateAxisPos(int32_t Pos, int32_t Amount) const {
  const bool outwardsPositive = FHorizontal ? !FOtherSide : FOtherSide;
  return outwardsPositive ? Pos + Amount : Pos - Amount;
}

void TChartAxis::ShrinkRect(TRect& R, int32_t Amount) const {
  if (FHorizontal) {
    if (FOtherSide)
      R.Top += Amount;
    else
      R.Bottom -= Amount;
  } else {
    if (FOtherSide)
      R.Right -= Amount;
    else
      R.Left += Amount;
  }
}

int32_t TChartAxis::DepthAxisY() {
  const TRect& r = ParentChart->ChartRect;
  return FOtherSide ? r.Bottom - CalcDepthPixel() : r.Top + CalcDepthPixel();
}

int32_t TChartAxis::DepthLabelAlign() const { return FOtherSide ? TA_LEFT : TA_RIGHT; }

int32_t TChartAxis::WallSize(TChartAxis* AAxis) { return AAxis ? ParentChart->WallSizeForAxis(AAxis) : 0; }

void TChartAxis::CalcRect(TRect& R, bool ReserveRoom) {
  DateTimeAxis = IsDateTime();
  if (!ReserveRoom) {
    AxisLinePos = ApplyPositionPercent(AxisLineSideOfRect(R), R);
    LabelsPos = InflateAxisPos(AxisLinePos, LineAndTicksSize());
    TitlePos = InflateAxisPos(LabelsPos, LabelsBandSize());
    return;
  }
  if (IsDepthAxis) {
    TitlePos = FOtherSide ? R.Right : R.Left;
  } else if (FTitle->Visible() && !FTitle->Caption().empty()) {
    ShrinkRect(R, SizeOfText(FTitle->Font(), FTitle->Angle(), FTitleSize, FTitle->Caption()));
    TitlePos = AxisLineSideOfRect(R);
  }
  if (Labels()) {
    int32_t s = LabelsBandSize();
    // A tool may ask for more room beside the labels (the data table).
    if (ParentChart->Axes && ParentChart->Axes->AxisSizeHook) s = ParentChart->Axes->AxisSizeHook(this, s);
    ShrinkRect(R, s);
    LabelsPos = AxisLineSideOfRect(R);
  }
  const int32_t w = ParentChart->WallSizeForAxis(this) + LineAndTicksSize();
  if (w > 0) ShrinkRect(R, w);
  TitlePos = ApplyPositionPercent(TitlePos, R);
  LabelsPos = ApplyPositionPercent(LabelsPos, R);
}

TRect TChartAxis::GetAxisRect() const {
  const int32_t a = std::min(StartPixel, EndPixel), b = std::max(StartPixel, EndPixel);
  int32_t c0, c1;
  if (LabelsPos < AxisLinePos) {
    c0 = LabelsPos;
    c1 = AxisLinePos + 3;
  } else {
    c0 = AxisLinePos - 3;
    c1 = LabelsPos;
  }
  return FHorizontal ? TRect(a, c0, b, c1) : TRect(c0, a, c1, b);
}

bool TChartAxis::IsPointOnAxis(int32_t X, int32_t Y) {
  if (!IsVisibleInPass || !ParentChart) return false;
  TRect r = GetAxisRect();
  if (ParentChart->View3D()) r = ParentChart->Canvas->ProjectRect(r, FOtherSide ? ParentChart->Width3D : 0);
  return X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom;
}

// ---------------------------------------------------------------------------------------------
// Drawing.

void TChartAxis::Draw(bool CalcAxisLinePos) {
  if (!ParentChart) return;
  TGraphCanvas3D* c = ParentChart->Canvas;
  DateTimeAxis = IsDateTime();
  if (CalcAxisLinePos)
    AxisLinePos = ApplyPositionPercent(AxisLineSideOfRect(ParentChart->ChartRect), ParentChart->ChartRect);
  if (FTitle->Visible() && !FTitle->Caption().empty()) {
    if (IsDepthAxis)
      DrawTitle(TitlePos, DepthAxisY());
    else if (FHorizontal)
      DrawTitle(CenterPixel, TitlePos);
    else
      DrawTitle(TitlePos, CenterPixel);
  }
  TickPositions.clear();
  FAlternate = FHorizontal;
  if (FItems->Count() > 0) {
    DrawCustomLabels();
  } else {
    const TAxisLabelStyle style = GetLabelStyle();
    if (style != talNone) {
      c->AssignFont(LabelsFont());
      const double inc = CalcLabelIncrement();
      int k = dtNoStep;
      if (DateTimeAxis && FExactDateTime && FIncrement != 0) {
        k = FindDateTimeStep(FIncrement);
        if (k != dtNoStep)
          while (k < dtOneYearStep && inc > DateTimeStepTable[k]) ++k;
      }
      if ((inc > 0 || (k >= dtHalfMonthStep && k <= dtOneYearStep)) && ScaleMaximum >= ScaleMinimum) {
        switch (style) {
          case talValue:
            if (ParentChart->OnGetNextAxisLabel)
              DrawLabelsByEvent(inc, k);
            else
              DrawValueLabels(inc, k);
            break;
          case talMark:
            DrawSeriesLabels(talMark);
            break;
          case talText:
            if (IsDepthAxis)
              DrawDepthSeriesLabels();
            else
              DrawSeriesLabels(talText);
            break;
          default:
            break;
        }
      }
    }
  }
  DrawLineTicksAndGrids();
}

void TChartAxis::DrawTitle(int32_t X, int32_t Y) {
  TGraphCanvas3D* c = ParentChart->Canvas;
  c->AssignFont(FTitle->Font());
  c->SetBackMode(cbmTransparent);
  if (IsDepthAxis) {
    c->SetTextAlign(DepthLabelAlign());
    c->TextOut3D(X, Y, ParentChart->Width3D / 2, FTitle->Caption());
    c->SetTextAlign(TA_LEFT);
    return;
  }
  const bool oldExp = FLabelsExponent;
  FLabelsExponent = false;
  DrawAxisLabel(X, Y, FTitle->Angle(), FTitle->Caption(), nullptr);
  FLabelsExponent = oldExp;
}

void TChartAxis::DrawThisLabel(int32_t P, const std::string& Text, TGraphCustomShape* AFormat) {
  TGraphCanvas3D* c = ParentChart->Canvas;
  if (FTickOnLabelsOnly) TickPositions.push_back(P);
  c->AssignFont(AFormat ? AFormat->Font() : LabelsFont());
  c->Brush->SetStyle(bsSolid);
  c->Brush->SetStyle(bsClear);
  if (IsDepthAxis) {
    c->SetTextAlign(DepthLabelAlign());
    TView3DOptions* o = ParentChart->View3DOptions();
    if (o->Orthogonal() || o->Rotation() == 360) P += c->FontHeight() / 2;
    const int32_t x = FOtherSide ? LabelsPos : LabelsPos - c->TextWidth("W") / 2 - 2;
    c->TextOut3D(x, DepthAxisY(), P, Text);
    c->SetTextAlign(TA_LEFT);
    return;
  }
  int32_t l = LabelsPos;
  if (FLabelsAlternate) {
    if (!FAlternate) {
      if (FHorizontal)
        l = FOtherSide ? l - c->FontHeight() : l + c->FontHeight();
      else
        l = FOtherSide ? l + MaxLabelsWidth() : l - MaxLabelsWidth();
    }
    FAlternate = !FAlternate;
  }
  if (FHorizontal)
    DrawAxisLabel(P, l, FLabelsAngle, Text, AFormat);
  else
    DrawAxisLabel(l, P, FLabelsAngle, Text, AFormat);
}

void TChartAxis::DrawAxisLabel(int32_t X, int32_t Y, int32_t AAngle, const std::string& Text,
                               TGraphCustomShape* AFormat) {
  TGraphCanvas3D* c = ParentChart->Canvas;
  TGraphCustomShape* format = AFormat ? AFormat : FItems->Format.get();
  const int32_t f = c->FontHeight();
  const int32_t h = f / 2;
  const bool bottomAxis = FHorizontal && !FOtherSide, topAxis = FHorizontal && FOtherSide;
  const bool leftAxis = !FHorizontal && !FOtherSide;
  int32_t align = TA_LEFT;
  switch (AAngle) {
    case 0:
      if (bottomAxis)
        align = TA_CENTER;
      else if (topAxis)
        align = TA_CENTER | TA_BOTTOM;
      else if (leftAxis) {
        if (FLabelsAlign == alOpposite) {
          align = TA_LEFT;
          X -= LabelsBandSize();
        } else {
          align = TA_RIGHT;
        }
        Y -= h;
      } else {
        if (FLabelsAlign == alOpposite) {
          align = TA_RIGHT;
          X += LabelsBandSize();
        } else {
          align = TA_LEFT;
        }
        Y -= h;
      }
      break;
    case 45:
      if (bottomAxis) {
        const int32_t d = Rnd(c->TextWidth(Text) * std::sin(M_PI / 4));
        X -= d;
        Y += d;
      } else if (topAxis) {
        const int32_t d = Rnd(c->TextWidth("Wj"));
        X -= d;
        Y -= d;
      }
      break;
    case 90:
      if (bottomAxis) {
        align = TA_RIGHT;
        X -= h;
      } else if (topAxis) {
        X -= h;
      } else if (leftAxis) {
        align = TA_CENTER | TA_BOTTOM;
      } else {
        align = TA_CENTER;
      }
      break;
    case 180:
      if (bottomAxis)
        align = TA_CENTER | TA_BOTTOM;
      else if (topAxis)
        align = TA_CENTER;
      else if (leftAxis) {
        Y += h;
      } else {
        align = TA_RIGHT;
        Y += h;
      }
      break;
    case 270:
      if (bottomAxis) {
        X += h;
      } else if (topAxis) {
        align = TA_RIGHT;
        X += h;
      } else if (leftAxis) {
        align = TA_CENTER;
      } else {
        align = TA_CENTER | TA_BOTTOM;
      }
      break;
    default:
      break;
  }
  // Line shift.
  int n = CountLines(Text);
  const int32_t s = (AAngle == 180 || AAngle == 270) ? -f : f;
  const int32_t t = Rnd(double(s) * n);
  if (FHorizontal) {
    if (AAngle == 0)
      Y -= topAxis ? t : s;
    else if (AAngle == 90 || AAngle == 270)
      X -= Rnd(s * 0.5 * (n + 1));
    else if (AAngle == 180)
      Y -= topAxis ? s : t;
  } else {
    if (AAngle == 0 || AAngle == 180)
      Y -= Rnd(s * 0.5 * (n + 1));
    else if (AAngle == 90)
      X -= leftAxis ? t : s;
    else if (AAngle == 270)
      X -= leftAxis ? s : t;
  }
  // Frame.
  if (!format->Transparent()) {
    int lines = 0;
    const int32_t w = ParentChart->WidestLineWidth(Text, lines);
    TRect box(X, Y + s, X + w, Y + s + f * lines);
    const int32_t bh = box.Bottom - box.Top;
    if (align & TA_BOTTOM) {
      box.Top -= bh;
      box.Bottom -= bh;
    }
    if ((align & TA_CENTER) == TA_CENTER) {
      box.Left = X - w / 2;
      box.Right = box.Left + w;
    } else if (align & TA_RIGHT) {
      box.Left = X - w;
      box.Right = X;
    }
    const int32_t ww = c->TextWidth("W") / 2;
    box.Left -= ww;
    box.Right += ww;
    if (DepthPixel != 0) box = c->ProjectRect(box, DepthPixel);
    format->DrawRectRotated(box, FLabelsAngle, DepthPixel);
    c->Brush->SetStyle(bsSolid);
    c->Brush->SetStyle(bsClear);
  }
  c->SetTextAlign(align);
  bool drawLabel = true;
  std::string text = Text;
  if (OnDrawLabel) {
    int32_t z = DepthPixel;
    OnDrawLabel(this, X, Y, z, text, drawLabel);
    if (drawLabel) n = CountLines(text);
  }
  if (drawLabel) {
    for (const std::string& line : SplitLines(text)) {
      if (AAngle == 0) {
        Y += s;
        if (FLabelsExponent)
          DrawExponentLabel(X, Y, line);
        else
          c->TextOut3D(X, Y, DepthPixel, line);
      } else {
        if (AAngle == 90 || AAngle == 270)
          X += s;
        else if (AAngle == 180)
          Y += s;
        c->RotateLabel3D(X, Y, DepthPixel, line, AAngle);
      }
    }
  }
  c->SetTextAlign(TA_LEFT);
}

void TChartAxis::DrawExponentLabel(int32_t X, int32_t Y, const std::string& Text) {
  TGraphCanvas3D* c = ParentChart->Canvas;
  size_t e = Text.find_first_of("eE");
  if (e == std::string::npos) {
    c->TextOut3D(X, Y, DepthPixel, Text);
    return;
  }
  const std::string mant = Text.substr(0, e), expo = Text.substr(e + 1);
  const int32_t f = c->FontHeight();
  const int32_t align = c->TextAlign();
  const int32_t oldSize = c->Font->Size();
  const int32_t raise = Y - (f - 1) / 2 + 2;
  auto smallFont = [&] { c->Font->SetSize(oldSize - oldSize / 4); };
  if (align != TA_LEFT) {
    smallFont();
    const int32_t ew = c->TextWidth(expo);
    c->TextOut3D(X, raise, DepthPixel, expo);
    c->Font->SetSize(oldSize);
    c->TextOut3D(X - (ew + 1), Y, DepthPixel, mant);
  } else {
    c->TextOut3D(X, Y, DepthPixel, mant);
    const int32_t mw = c->TextWidth(mant);
    smallFont();
    c->TextOut3D(X + mw + 1, raise, DepthPixel, expo);
    c->Font->SetSize(oldSize);
  }
}

void TChartAxis::DrawLabelAtValue(double& V, bool StepAfter, double Inc, int K) {
  const int32_t p = ValueToPixel(V);
  if (FLabelsOnAxis || (p > StartPixel && p < EndPixel)) {
    if (!FTickOnLabelsOnly) TickPositions.push_back(p);
    if (Labels()) DrawThisLabel(p, LabelText(V), nullptr);
  }
  if (StepAfter) IncDecAxisValue(false, V, Inc, K);
}

void TChartAxis::DrawValueLabels(double Inc, int K) {
  if (FLogarithmic && FIncrement == 0)
    DrawLogLabels(Inc, K);
  else
    DrawLinearLabels(Inc, K);
}

void TChartAxis::DrawLinearLabels(double Inc, int K) {
  if (!(Inc > 0) && !(K >= dtHalfMonthStep && K <= dtOneYearStep)) return;
  if (Inc > 0 && !(std::fabs(ScaleRange / Inc) < 10000)) return;
  if (!std::isfinite(ScaleMinimum) || !std::isfinite(ScaleMaximum)) return;
  double v;
  if (DateTimeAxis && FExactDateTime && K >= 16 && K <= dtOneYearStep) {
    v = TruncDateToStep(K, ScaleMaximum);
  } else if (FloatToStr(ScaleMinimum) != FloatToStr(ScaleMaximum)) {
    v = FRoundFirstLabel && Inc > 0 ? std::trunc(ScaleMaximum / Inc) * Inc : ScaleMaximum;
  } else {
    v = ScaleMaximum;
  }
  for (int guard = 0; v > ScaleMaximum && guard < 10000; ++guard) IncDecAxisValue(false, v, Inc, K);
  double prev = v;
  IncDecAxisValue(false, prev, Inc, K);
  if (RangeIsZero || std::fabs(ScaleMaximum - ScaleMinimum) < 1e-10 || LabelText(v) == LabelText(prev)) {
    DrawLabelAtValue(v, false, Inc, K);
    return;
  }
  const double limit = ScaleMinimum >= 0 ? (ScaleMinimum - 1e-12) / (1 + 1e-12) : ScaleMinimum;
  for (int guard = 0; v >= limit && guard < 10001; ++guard) DrawLabelAtValue(v, true, Inc, K);
}

void TChartAxis::DrawLogLabels(double, int) {
  const double b = FLogarithmicBase;
  if (ScaleMinimum == ScaleMaximum) return;
  const double savedMin = ScaleMinimum;
  double v;
  if (ScaleMinimum > 0) {
    v = NearestLogPower(ScaleMinimum);
  } else {
    ScaleMinimum = ScaleMinimum == 0 ? 0.1 : NearestLogPower(1e-10);
    v = ScaleMinimum;
  }
  if (FMinorGrid->Visible()) {
    double w = v;
    if (v >= ScaleMinimum) w = std::pow(b, std::log(ScaleMinimum) / std::log(b) - 1);
    if (w < ScaleMinimum) TickPositions.push_back(ValueToPixel(w));
  }
  // Labels that would run into the one drawn before are left out, as series labels are: on a short
  // axis "10,000" and "1,000" printed over each other read as one number. The decade keeps its tick
  // and grid line.
  TLabelSpacer spacer{FLabelsSeparation};
  TGraphCanvas3D* c = ParentChart->Canvas;
  const bool byHeight =
      FHorizontal ? (FLabelsAngle == 90 || FLabelsAngle == 270) : !(FLabelsAngle == 90 || FLabelsAngle == 270);
  auto label = [&](double D) {
    const int32_t p = ValueToPixel(D);
    if (!FLabelsOnAxis && !(p > StartPixel && p < EndPixel)) return;
    if (!FTickOnLabelsOnly) TickPositions.push_back(p);
    if (!Labels()) return;
    const std::string text = LabelText(D);
    int lines = 0;
    const int32_t w = ParentChart->WidestLineWidth(text, lines);
    if (spacer.Fits(p, byHeight ? c->FontHeight() * lines : w))
      DrawThisLabel(p, text, nullptr);
    else if (FTickOnLabelsOnly)
      TickPositions.push_back(p);
  };
  bool any = false;
  if (b > 1) {
    double d = v;
    for (int guard = 0; d <= ScaleMaximum && guard < 2000; ++guard) {
      if (d >= ScaleMinimum) {
        label(d);
        any = true;
      }
      d *= b;
    }
    if (!any) {
      d = v;
      const double add = v / b;
      for (int guard = 0; d <= ScaleMaximum && guard < 10000 && add > 0; ++guard) {
        if (d >= ScaleMinimum) label(d);
        d += add;
      }
    }
  }
  if (FMinorGrid->Visible() && v > ScaleMaximum) TickPositions.push_back(ValueToPixel(v));
  ScaleMinimum = savedMin;
}

void TChartAxis::DrawLabelsByEvent(double Inc, int K) {
  double v = ScaleMinimum;
  for (int index = 0; index <= 2000; ++index) {
    bool stop = true;
    ParentChart->OnGetNextAxisLabel(this, index, v, stop);
    if (stop) {
      if (index == 0) DrawValueLabels(Inc, K);
      return;
    }
    if (!(v >= ScaleMinimum - 1e-7 && v <= ScaleMaximum + 1e-7)) return;
    double dv = v;
    DrawLabelAtValue(dv, false, Inc, K);
  }
}

void TChartAxis::DrawSeriesLabels(TAxisLabelStyle Style) {
  TGraphCanvas3D* c = ParentChart->Canvas;
  SeriesOnAxis.clear();
  int32_t first = -1, last = -1;
  for (int i = 0; i < ParentChart->CountSeries(); ++i) {
    TChartSeries* s = ParentChart->SeriesAt(i);
    if (!s->Active() || !s->IsBoundToAxis(this)) continue;
    SeriesOnAxis.push_back(s);
    s->FindVisibleRange();
    if (s->FirstValueIndex != -1 && (first == -1 || s->FirstValueIndex < first)) first = s->FirstValueIndex;
    if (s->LastValueIndex > last) last = s->LastValueIndex;
  }
  if (first == -1 || last < first) {
    SeriesOnAxis.clear();
    return;
  }
  const bool byHeight =
      FHorizontal ? (FLabelsAngle == 90 || FLabelsAngle == 270) : !(FLabelsAngle == 90 || FLabelsAngle == 270);
  TLabelSpacer spacer{FLabelsSeparation};
  for (int32_t i = first; i <= last; ++i) {
    std::string text;
    double value = 0;
    bool found = false;
    for (TChartSeries* s : SeriesOnAxis) {
      if (i < s->FirstValueIndex || i > s->LastValueIndex || i >= s->PointCount()) continue;
      if (Style == talMark)
        text = s->MarkValueText(s->MainValueAt(i));
      else
        text = s->LabelAt(i);
      if (ParentChart->OnGetAxisLabel) ParentChart->OnGetAxisLabel(this, s, i, text);
      if (text.empty()) continue;
      value = FHorizontal ? s->XValueAt(i) : s->YValueAt(i);
      found = true;
      break;
    }
    if (!found || !(value >= ScaleMinimum && value <= ScaleMaximum)) continue;
    const int32_t p = ValueToPixel(value);
    if (!FTickOnLabelsOnly) TickPositions.push_back(p);
    if (!Labels() || text.empty()) continue;
    int lines = 0;
    const int32_t w = ParentChart->WidestLineWidth(text, lines);
    const int32_t size = byHeight ? c->FontHeight() * lines : w;
    if (spacer.Fits(p, size)) DrawThisLabel(p, text, nullptr);
  }
  SeriesOnAxis.clear();
}

void TChartAxis::DrawDepthSeriesLabels() {
  if (ParentChart->NumberOfActiveSeries() == 0) return;
  const int32_t lo = static_cast<int32_t>(std::trunc(ScaleMinimum)),
                hi = static_cast<int32_t>(std::trunc(ScaleMaximum));
  for (int32_t t = lo; t <= hi; ++t) {
    const int32_t p = ValueToPixel(ScaleMaximum - t - 0.5);
    if (!FTickOnLabelsOnly) TickPositions.push_back(p);
    if (Labels()) {
      std::string text = ParentChart->LegendSeriesTitle(t, true);
      if (ParentChart->OnGetAxisLabel) ParentChart->OnGetAxisLabel(this, nullptr, t, text);
      DrawThisLabel(p, text, nullptr);
    }
  }
}

void TChartAxis::DrawCustomLabels() {
  for (int i = 0; i < FItems->Count(); ++i) {
    TAxisItem* item = FItems->ItemAt(i);
    const double v = item->Value();
    if (!(v >= FMinimum && v <= FMaximum)) continue;
    const int32_t p = ValueToPixel(v);
    if (!FTickOnLabelsOnly) TickPositions.push_back(p);
    if (item->Visible()) DrawThisLabel(p, item->Text().empty() ? LabelText(v) : item->Text(), item);
  }
}

void TChartAxis::DrawLineTicksAndGrids() {
  TGraphCanvas3D* c = ParentChart->Canvas;
  c->Brush->SetStyle(bsClear);
  c->SetBackMode(cbmTransparent);
  const int32_t wall = ParentChart->WallSizeForAxis(this);
  const TRect& cr = ParentChart->ChartRect;
  if (FAxis->Visible()) {
    c->AssignVisiblePen(FAxis.get());
    if (IsDepthAxis) {
      int32_t y = DepthAxisY();
      if (FOtherSide) y += WallSize(ParentChart->BottomAxis());
      c->MoveTo3D(AxisLinePos, y, StartPixel);
      c->LineTo3D(AxisLinePos, y, EndPixel);
    } else if (FHorizontal && FOtherSide) {
      c->HorizLine3D(StartPixel, EndPixel, AxisLinePos, DepthPixel);
    } else if (FHorizontal) {
      c->HorizLine3D(StartPixel - WallSize(ParentChart->LeftAxis()), EndPixel + WallSize(ParentChart->RightAxis()),
                     AxisLinePos + wall, DepthPixel);
    } else {
      const int32_t x = FOtherSide ? AxisLinePos + wall : AxisLinePos - wall;
      c->VertLine3D(x, StartPixel, EndPixel + WallSize(ParentChart->BottomAxis()), DepthPixel);
    }
  }
  if (FTicks->Visible()) {
    c->AssignVisiblePen(FTicks.get());
    for (int32_t p : TickPositions) DrawTick(p, 1, FTickLength, wall);
  }
  DrawGrids();
  if (FTicksInner->Visible()) {
    c->AssignVisiblePen(FTicksInner.get());
    for (int32_t p : TickPositions) DrawTick(p, -1, -FTickInnerLength, wall);
  }
  if (!TickPositions.empty() && FMinorTicks->Visible()) {
    c->AssignVisiblePen(FMinorTicks.get());
    ProcessMinorTicks(false);
  }
  if (!TickPositions.empty() && FMinorGrid->Visible()) {
    c->AssignVisiblePen(FMinorGrid.get());
    ProcessMinorTicks(true);
  }
  c->SetBackMode(cbmOpaque);
  (void)cr;
}

void TChartAxis::DrawTick(int32_t P, int32_t Gap, int32_t Length, int32_t Wall) {
  TGraphCanvas3D* c = ParentChart->Canvas;
  const bool is3D = ParentChart->View3D();
  if (IsDepthAxis) {
    const int32_t y = DepthAxisY();
    const int32_t x0 = FOtherSide ? AxisLinePos + Gap : AxisLinePos - Gap;
    const int32_t x1 = FOtherSide ? x0 + Length : x0 - Length;
    c->MoveTo3D(x0, y, P);
    c->LineTo3D(x1, y, P);
    return;
  }
  const bool topOrRight = FOtherSide;
  if (!(FHorizontal && FOtherSide)) Gap += (Gap < 0 ? -Wall : Wall);
  if (FHorizontal) {
    const int32_t y0 = FOtherSide ? AxisLinePos - Gap : AxisLinePos + Gap;
    const int32_t y1 = FOtherSide ? y0 - Length : y0 + Length;
    if (!is3D && !topOrRight)
      c->Line(P, y0, P, y1);
    else
      c->VertLine3D(P, y0, y1, DepthPixel);
  } else {
    const int32_t x0 = FOtherSide ? AxisLinePos + Gap : AxisLinePos - Gap;
    const int32_t x1 = FOtherSide ? x0 + Length : x0 - Length;
    if (!is3D && !topOrRight)
      c->Line(x0, P, x1, P);
    else
      c->HorizLine3D(x0, x1, P, DepthPixel);
  }
}

void TChartAxis::DrawGrids() {
  if (OnDrawGrids) OnDrawGrids(this);
  if (!FGrid->Visible()) return;
  TGraphCanvas3D* c = ParentChart->Canvas;
  c->SetBackMode(cbmTransparent);
  c->Brush->SetStyle(bsClear);
  if (FGrid->Color() == clDefault)
    c->AssignVisiblePenColor(FGrid.get(), TColor(0x808080));
  else
    c->AssignVisiblePen(FGrid.get());
  if (FGrid->Centered()) {
    for (size_t i = 1; i < TickPositions.size(); ++i)
      DrawGridLine(Rnd((TickPositions[i - 1] + TickPositions[i]) * 0.5));
  } else {
    for (int32_t p : TickPositions) DrawGridLine(p);
  }
}

void TChartAxis::DrawGridLine(int32_t P) {
  if (!(P > StartPixel && P < EndPixel)) return;
  TGraphCanvas3D* c = ParentChart->Canvas;
  const TRect& r = ParentChart->ChartRect;
  const int32_t w3 = ParentChart->Width3D;
  if (IsDepthAxis) {
    c->VertLine3D(r.Left, r.Top, r.Bottom, P);
    c->HorizLine3D(r.Left, r.Right, r.Bottom, P);
  } else if (ParentChart->View3D()) {
    if (ParentChart->AxisBehind()) {
      if (!SkipBackGridLines) {
        if (FHorizontal)
          c->VertLine3D(P, r.Top, r.Bottom, w3);
        else
          c->HorizLine3D(r.Left, r.Right, P, w3);
      }
      if (!SkipDepthGridLines) {
        const int32_t z = Rnd(w3 * FGrid->ZPosition() * 0.01);
        if (z != w3) {
          if (FHorizontal)
            c->ZLine3D(P, AxisLinePos, z, w3);
          else
            c->ZLine3D(AxisLinePos, P, z, w3);
        }
      }
    } else {
      if (FHorizontal)
        c->VertLine3D(P, r.Top, r.Bottom, 0);
      else
        c->HorizLine3D(r.Left, r.Right, P, 0);
    }
  } else if (FHorizontal) {
    c->VertLine(P, r.Top + 1, r.Bottom);
  } else {
    c->HorizLine(r.Left + 1, r.Right, P);
  }
}

void TChartAxis::DrawMinor(int32_t P, bool IsGrid) {
  if (!(P > StartPixel && P < EndPixel)) return;
  if (IsGrid)
    DrawGridLine(P);
  else
    DrawTick(P, 1, FMinorTickLength, ParentChart->WallSizeForAxis(this));
}

void TChartAxis::ProcessMinorTicks(bool IsGrid) {
  const int c = FMinorTickCount + 1;
  if (FMinorTickCount <= 0 || TickPositions.empty()) return;
  if (!FLogarithmic) {
    if (TickPositions.size() < 2) return;
    const int32_t d0 = TickPositions[1] - TickPositions[0];
    for (int r = 1; r <= FMinorTickCount; ++r) {
      DrawMinor(TickPositions.front() - Rnd(double(r) * d0 / c), IsGrid);
      DrawMinor(TickPositions.back() + Rnd(double(r) * d0 / c), IsGrid);
    }
    for (size_t i = 1; i < TickPositions.size(); ++i) {
      const int32_t d = TickPositions[i] - TickPositions[i - 1];
      for (int r = 1; r <= FMinorTickCount; ++r) DrawMinor(TickPositions[i] - Rnd(double(r) * d / c), IsGrid);
    }
    return;
  }
  const double b = FLogarithmicBase;
  std::set<double> handled;
  auto logMinors = [&](double v) {
    if (!(v > 0) || !std::isfinite(v) || handled.count(v)) return;
    handled.insert(v);
    const double step = (v * b - v) / c;
    for (int r = 0; r < FMinorTickCount; ++r) {
      v += step;
      if (v >= ScaleMinimum && v <= ScaleMaximum) DrawMinor(ValueToPixel(v), IsGrid);
    }
  };
  logMinors(PixelToValue(TickPositions.back()) / b);
  double lastV = 0;
  for (int32_t p : TickPositions) {
    lastV = PixelToValue(p);
    logMinors(lastV);
  }
  logMinors(lastV * b);
}

void TChartAxis::DrawWithTemporaryRange(int32_t ALabelsPos, int32_t ATitlePos, int32_t AEndPixel, int32_t AStartPixel,
                                        double AIncrement, double AMaximum, double AMinimum, bool GridVisible,
                                        int32_t AAxisLinePos) {
  const double oldMin = FMinimum, oldMax = FMaximum, oldInc = FIncrement;
  const bool oldAuto = FAutomatic;
  FAutomatic = false;
  FMinimum = AMinimum;
  FMaximum = AMaximum;
  FIncrement = AIncrement;
  ResetScaleFromRange();
  TScopeExit restore([&] {
    FMinimum = oldMin;
    FMaximum = oldMax;
    FIncrement = oldInc;
    FAutomatic = oldAuto;
    ResetScaleFromRange();
  });
  CustomDraw(ALabelsPos, ATitlePos, AEndPixel, AStartPixel, GridVisible, AAxisLinePos);
}

void TChartAxis::CustomDraw(int32_t ALabelsPos, int32_t ATitlePos, int32_t AEndPixel, int32_t AStartPixel,
                            bool GridVisible, int32_t AAxisLinePos) {
  LabelsPos = ALabelsPos;
  TitlePos = ATitlePos;
  EndPixel = AEndPixel;
  StartPixel = AStartPixel;
  AxisLinePos = AAxisLinePos;
  RecalcLengthAndCenter();
  const bool oldVisible = FGrid->Visible();
  auto oldChange = FGrid->OnChange;
  FGrid->OnChange = nullptr;
  FGrid->SetVisible(GridVisible);
  TScopeExit restore([&] {
    FGrid->SetVisible(oldVisible);
    FGrid->OnChange = oldChange;
  });
  Draw(false);
}
