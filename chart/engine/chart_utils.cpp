#include "chart/engine/chart_utils.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/controls.h"
#include "platform/datetime.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

// ---------------------------------------------------------------------------------------------
// Hit tests

double PointToSegmentDistance(const TPoint& P, int X0, int Y0, int X1, int Y1) {
  const auto dist = [&](double x, double y) { return std::hypot(P.X - x, P.Y - y); };
  if (X0 == X1 && Y0 == Y1) return dist(X0, Y0);
  const double dx = double(X1) - X0;
  const double dy = double(Y1) - Y0;
  const double t = ((double(P.X) - X0) * dx + (double(P.Y) - Y0) * dy) / (dx * dx + dy * dy);
  if (t < 0) return dist(X0, Y0);
  if (t > 1) return dist(X1, Y1);
  return dist(X0 + t * dx, Y0 + t * dy);
}

bool PointInLine(const TPoint& P, int X0, int Y0, int X1, int Y1, int Tolerance) {
  if ((P.X == X0 && P.Y == Y0) || (P.X == X1 && P.Y == Y1)) return true;
  return std::fabs(PointToSegmentDistance(P, X0, Y0, X1, Y1)) <= Tolerance + 1.0;
}

bool PointInLineWithTolerance(const TPoint& P, int X0, int Y0, int X1, int Y1, int Tolerance) {
  return PointInLine(P, X0, Y0, X1, Y1, Tolerance);
}

bool PointInLineCoords(const TPoint& P, int X0, int Y0, int X1, int Y1) { return PointInLine(P, X0, Y0, X1, Y1, 0); }

bool PointInLineEnds(const TPoint& P, const TPoint& P0, const TPoint& P1) {
  return PointInLine(P, P0.X, P0.Y, P1.X, P1.Y, 0);
}

bool PointInLineEndsTolerance(const TPoint& P, const TPoint& P0, const TPoint& P1, int Tolerance) {
  return PointInLine(P, P0.X, P0.Y, P1.X, P1.Y, Tolerance);
}

bool PointInPolygon(const TPoint& P, std::span<const TPoint> Points, int HighIndex) {
  bool result = false;
  if (HighIndex < 0) return result;
  if (static_cast<std::size_t>(HighIndex) >= Points.size()) throw ERangeError("Range check error");
  int j = HighIndex;
  for (int i = 0; i <= HighIndex; ++i) {
    const TPoint& a = Points[i];
    const TPoint& b = Points[j];
    if ((a.Y <= P.Y && P.Y < b.Y) || (b.Y <= P.Y && P.Y < a.Y)) {
      const double x = double(b.X - a.X) * (P.Y - a.Y) / double(b.Y - a.Y) + a.X;
      if (P.X < x) result = !result;
    }
    j = i;
  }
  return result;
}

bool PointInTriangle(const TPoint& P, int X0, int X1, int Y0, int Y1) {
  const TPoint pts[3] = {TPoint(X0, Y0), TPoint((X0 + X1) / 2, Y1), TPoint(X1, Y0)};
  return PointInPolygon(P, pts, 2);
}

bool PointInHorizTriangle(const TPoint& P, int Y0, int Y1, int X0, int X1) {
  const TPoint pts[3] = {TPoint(X0, Y0), TPoint(X1, (Y0 + Y1) / 2), TPoint(X0, Y1)};
  return PointInPolygon(P, pts, 2);
}

bool PointInEllipse(const TPoint& P, int Left, int Top, int Right, int Bottom) {
  const int cx = (Left + Right) / 2;
  const int cy = (Top + Bottom) / 2;
  const int64_t a = int64_t(cx - Left) * (cx - Left);
  const int64_t b = int64_t(cy - Top) * (cy - Top);
  if (a == 0 || b == 0) return false;
  const double dx = double(P.X) - cx;
  const double dy = double(P.Y) - cy;
  return dx * dx / double(a) + dy * dy / double(b) <= 1.0;
}

bool PointInEllipseRect(const TPoint& P, const TRect& Rect) {
  return PointInEllipse(P, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
}

bool LineIntersection(double& X, double& Y, double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                      double y4) {
  // A vertical segment has no slope: intersect it directly with the other line instead of
  // dividing by zero, so the result never holds an infinity or NaN.
  const bool v1 = x1 == x2;
  const bool v2 = x3 == x4;
  if (v1 && v2) {
    X = x2;
    Y = y2;
  } else if (v1 || v2) {
    const double xv = v1 ? x1 : x3;
    const double m = v1 ? (y4 - y3) / (x4 - x3) : (y2 - y1) / (x2 - x1);
    const double b = v1 ? y3 - m * x3 : y1 - m * x1;
    X = xv;
    Y = m * X + b;
  } else {
    const double m1 = (y2 - y1) / (x2 - x1);
    const double m2 = (y4 - y3) / (x4 - x3);
    const double b1 = y1 - m1 * x1;
    const double b2 = y3 - m2 * x3;
    if (std::fabs(m2 - m1) <= 1e-15)
      X = x2;
    else
      X = (b1 - b2) / (m2 - m1);
    Y = m1 * X + b1;
  }
  const double e = x1 * y2 - x2 * y1;
  const double f = x3 * y4 - x4 * y3;
  const auto side1 = [&](double x, double y) { return ((y2 - y1) * x - (x2 - x1) * y - e) > 0; };
  const auto side2 = [&](double x, double y) { return ((y4 - y3) * x - (x4 - x3) * y - f) > 0; };
  return side1(x3, y3) != side1(x4, y4) && side2(x1, y1) != side2(x2, y2);
}

// ---------------------------------------------------------------------------------------------
// Date-time steps

namespace {
constexpr double kSecond = 1.0 / 86400.0;
constexpr double kMinute = 60 * kSecond;
constexpr double kHour = 60 * kMinute;

// 1900-01-01 as a date-time value.
const TDateTime kMinTruncDate = EncodeDate(1900, 1, 1);

void MoveMonths(bool Forward, int Months, int& Year, int& Month) {
  if (Forward) {
    Month += Months;
    if (Month > 12) {
      Month -= 12;
      ++Year;
    }
  } else if (Month - Months >= 1) {
    Month -= Months;
  } else {
    Month = Month - Months + 12;
    --Year;
  }
}
}  // namespace

const double DateTimeStepTable[DateTimeStepCount] = {kSecond / 1000000.0,
                                                     kSecond / 1000.0,
                                                     kSecond,
                                                     5 * kSecond,
                                                     10 * kSecond,
                                                     15 * kSecond,
                                                     30 * kSecond,
                                                     kMinute,
                                                     5 * kMinute,
                                                     10 * kMinute,
                                                     15 * kMinute,
                                                     30 * kMinute,
                                                     kHour,
                                                     2 * kHour,
                                                     6 * kHour,
                                                     12 * kHour,
                                                     1,
                                                     2,
                                                     3,
                                                     7,
                                                     15,
                                                     30,
                                                     60,
                                                     90,
                                                     120,
                                                     182,
                                                     365};

TDateTime TruncDateToStep(int Step, TDateTime Value) {
  if (!(Value > kMinTruncDate)) return Value;
  uint16_t y, m, d;
  DecodeDate(Value, y, m, d);
  switch (Step) {
    case 20:
      d = d < 15 ? 1 : 15;
      break;
    case 21:
    case 22:
    case 23:
    case 24:
    case 25:
      d = 1;
      break;
    case 26:
      d = 1;
      m = 1;
      break;
    default:
      break;
  }
  return EncodeDate(y, m, d);
}

void IncDecDateTime(bool CalendarStep, bool Forward, TDateTime& Value, int Step, double Increment) {
  if (!CalendarStep || Step < 20 || Step > 26) {
    Value = Forward ? Value + Increment : Value - Increment;
    return;
  }
  uint16_t yy, mm, dd;
  DecodeDate(Value, yy, mm, dd);
  int y = yy, m = mm, d = dd;
  switch (Step) {
    case 20:
      if (Forward) {
        // Forward to the next 15th or 1st, so that the values keep growing.
        if (d < 15) {
          d = 15;
        } else {
          MoveMonths(true, 1, y, m);
          d = 1;
        }
      } else if (d > 15) {
        d = 15;
      } else if (d > 1) {
        d = 1;
      } else {
        MoveMonths(false, 1, y, m);
        d = 15;
      }
      break;
    case 21:
      MoveMonths(Forward, 1, y, m);
      d = 1;
      break;
    case 22:
      MoveMonths(Forward, 2, y, m);
      d = 1;
      break;
    case 23:
      MoveMonths(Forward, 3, y, m);
      d = 1;
      break;
    case 24:
      MoveMonths(Forward, 4, y, m);
      d = 1;
      break;
    case 25:
      MoveMonths(Forward, 6, y, m);
      d = 1;
      break;
    case 26:
      y += Forward ? 1 : -1;
      break;
  }
  // A 29th of February moved by a year lands on a day that does not exist: keep the month's last day.
  const int last = DaysInAMonth(uint16_t(y), uint16_t(m));
  if (d > last) d = last;
  Value = EncodeDate(uint16_t(y), uint16_t(m), uint16_t(d));
}

// ---------------------------------------------------------------------------------------------
// Text and numbers

std::string ItemSeparator = ";";

namespace {
std::string ExchangeSeparators(const std::string& Format, char FromThousand, char FromDecimal, char ToThousand,
                               char ToDecimal) {
  if (ThousandSeparator == DecimalSeparator) return Format;
  std::string s = Format;
  for (char& c : s) {
    if (c == FromThousand)
      c = ToThousand;
    else if (c == FromDecimal)
      c = ToDecimal;
  }
  return s;
}

// Restores ItemSeparator when a call with a temporary separator ends, also by an exception.
class SeparatorScope {
public:
  explicit SeparatorScope(const std::string& Separator) : FOld(ItemSeparator) { ItemSeparator = Separator; }
  ~SeparatorScope() { ItemSeparator = FOld; }

private:
  std::string FOld;
};
}  // namespace

std::string StandardToLocalFormat(const std::string& Format) {
  return ExchangeSeparators(Format, ',', '.', ThousandSeparator, DecimalSeparator);
}

std::string LocalToStandardFormat(const std::string& Format) {
  return ExchangeSeparators(Format, ThousandSeparator, DecimalSeparator, ',', '.');
}

int CountDelimitedItems(const std::string& Text) {
  if (Text.empty()) return 0;
  if (ItemSeparator.empty()) return 1;
  int n = 1;
  for (std::size_t p = Text.find(ItemSeparator); p != std::string::npos;
       p = Text.find(ItemSeparator, p + ItemSeparator.size()))
    ++n;
  return n;
}

std::string GetDelimitedItem(const std::string& Text, int N) {
  if (Text.empty() || N < 1) return {};
  if (ItemSeparator.empty()) return Text;
  std::size_t start = 0;
  for (int i = 1;; ++i) {
    const std::size_t p = Text.find(ItemSeparator, start);
    if (p == std::string::npos) return Text.substr(start);
    if (i == N) return Text.substr(start, p - start);
    start = p + ItemSeparator.size();
  }
}

int CountDelimitedItemsSep(const std::string& Text, const std::string& Separator) {
  SeparatorScope scope(Separator);
  return CountDelimitedItems(Text);
}

std::string GetDelimitedItemSep(const std::string& Text, int N, const std::string& Separator) {
  SeparatorScope scope(Separator);
  return GetDelimitedItem(Text, N);
}

std::string ReplaceChar(const std::string& Text, char Old, char New) {
  std::string s;
  s.reserve(Text.size());
  for (char c : Text) {
    if (c != Old)
      s += c;
    else if (New != '\0')
      s += New;
  }
  return s;
}

void EnableControls(bool Enabled, std::initializer_list<TControl*> Controls) {
  for (TControl* c : Controls)
    if (c) c->SetEnabled(Enabled);
}

std::string UniqueComponentName(TComponent* Owner, const std::string& BaseName) {
  if (!Owner) return BaseName + "1";
  for (int64_t i = 1;; ++i) {
    std::string name = BaseName + IntToStr(i);
    if (!Owner->FindComponent(name)) return name;
  }
}

// ---------------------------------------------------------------------------------------------
// Sorting

void QuickSortIndexes(int First, int Last, const TCompareIndexes& Compare, const TSwapIndexes& Swap) {
  const int l = First, r = Last;
  int i = l, j = r;
  int x = (l + r) / 2;
  while (i < j) {
    while (Compare(i, x) < 0) ++i;
    while (Compare(x, j) < 0) --j;
    if (i < j) {
      Swap(i, j);
      if (x == i)
        x = j;
      else if (x == j)
        x = i;
    }
    if (i <= j) {
      ++i;
      --j;
    }
  }
  if (l < j) QuickSortIndexes(l, j, Compare, Swap);
  if (i < r) QuickSortIndexes(i, r, Compare, Swap);
}

// ---------------------------------------------------------------------------------------------
// Bitmap resources

namespace {
std::vector<TBitmapResourceModule>& ResourceModules() {
  static std::vector<TBitmapResourceModule> modules;
  return modules;
}
}  // namespace

void AddBitmapResourceModule(const TBitmapResourceModule& Module) {
  if (Module) ResourceModules().push_back(Module);
}

void ClearBitmapResourceModules() { ResourceModules().clear(); }

void LoadBitmapResource(TBitmap* Bitmap, const std::string& Name, const std::string& FallbackName) {
  if (!Bitmap) return;
  // The program's own resources come first, then the modules added since, in their order.
  const auto program = [](const std::string& ResName, TBitmap* Target) { return FindBitmapResource(ResName, Target); };
  const auto tryModule = [&](const TBitmapResourceModule& Module) {
    try {
      if (Module(Name, Bitmap)) return true;
      if (!FallbackName.empty() && Module(FallbackName, Bitmap)) return true;
    } catch (const Exception&) {
      // a resource of this module that cannot be read: go on with the next module
    }
    return false;
  };
  if (tryModule(program)) return;
  for (const TBitmapResourceModule& module : ResourceModules())
    if (tryModule(module)) return;
}

void LoadClassBitmap(const TObject* Object, TBitmap* Bitmap) {
  if (!Object) return;
  const TClass parent = Object->ClassParent();
  LoadBitmapResource(Bitmap, Object->ClassName(), parent ? parent->ClassName() : std::string());
}

// ---------------------------------------------------------------------------------------------
// Palette

namespace {
const TColor kBuiltInPalette[20] = {TColor(0x0000FF), TColor(0x008000), TColor(0x00FFFF), TColor(0xFF0000),
                                    TColor(0xFFFFFF), TColor(0x808080), TColor(0xFF00FF), TColor(0x808000),
                                    TColor(0x800000), TColor(0x000080), TColor(0x00FF00), TColor(0x008080),
                                    TColor(0x800080), TColor(0xC0C0C0), TColor(0xFFFF00), TColor(0x000000),
                                    TColor(0xC0DCC0), TColor(0xF0CAA6), TColor(0xF0FBFF), TColor(0xA4A0A0)};
}  // namespace

TColorArray ColorPalette(std::begin(kBuiltInPalette), std::end(kBuiltInPalette));

void SetDefaultPalette() { ColorPalette.assign(std::begin(kBuiltInPalette), std::end(kBuiltInPalette)); }

void SetColorPalette(const TColorArray& Colors) {
  if (Colors.size() <= 1)
    SetDefaultPalette();
  else
    ColorPalette = Colors;
}

// ---------------------------------------------------------------------------------------------
// Translation

TTranslateHook TranslateHook;

void TranslateControlExcept(TComponent* Component, std::initializer_list<TControl*> Exclusions) {
  if (TranslateHook) TranslateHook(Component, std::span<TControl* const>(Exclusions.begin(), Exclusions.size()));
}

void TranslateControl(TComponent* Control) { TranslateControlExcept(Control, {}); }

// ---------------------------------------------------------------------------------------------
// Editor options

const char* const EditorOptionsKey = "\\Software\\Varomark\\Chart\\Editor";

bool ReadEditorBool(const std::string& Name, bool Default) { return ReadEditorInteger(Name, Default ? 1 : 0) != 0; }

int32_t ReadEditorInteger(const std::string& Name, int32_t Default) {
  TRegistry reg;
  if (!reg.OpenKeyReadOnly(EditorOptionsKey)) return Default;
  if (!reg.ValueExists(Name)) return Default;
  try {
    return reg.ReadInteger(Name);
  } catch (const Exception&) {
    return Default;
  }
}

void WriteEditorBool(const std::string& Name, bool Value) { WriteEditorInteger(Name, Value ? 1 : 0); }

void WriteEditorInteger(const std::string& Name, int32_t Value) {
  try {
    TRegistry reg;
    if (reg.OpenKey(EditorOptionsKey, true)) reg.WriteInteger(Name, Value);
  } catch (const Exception&) {
    // a key that cannot be written loses the value silently
  }
}

// ---------------------------------------------------------------------------------------------
// Small classes

void TZoomPanning::Activate(int X, int Y) {
  X0 = X1 = X;
  Y0 = Y1 = Y;
  Active = true;
}

void TZoomPanning::NormalizeCorners() {
  if (X1 < X0) std::swap(X0, X1);
  if (Y1 < Y0) std::swap(Y0, Y1);
}

int TGraphEventListeners::Add(IChartEventListener* Listener) {
  const int i = IndexOf(Listener);
  return i >= 0 ? i : TList::Add(Listener);
}

IChartEventListener* TGraphEventListeners::GetListener(int Index) const {
  return static_cast<IChartEventListener*>(Items(Index));
}

int TGraphEventListeners::Remove(IChartEventListener* Listener) { return TList::Remove(Listener); }

// ---------------------------------------------------------------------------------------------
// Start-up of the panel module

namespace {
// A pointing hand drawn in code, for programs that ship no cursor picture: a finger up from a
// palm, black outline on white, transparent around.
HCURSOR MakeHandCursor() {
  static const char* const kShape[16] = {
      "     XX         ", "    X..X        ", "    X..X        ", "    X..X        ",
      "    X..XXX      ", "    X..X..XXX   ", " XX X..X..X..XX ", "X..XX.......X..X",
      "X...X..........X", " X.............X", " X.............X", "  X............X",
      "  X...........X ", "   X..........X ", "    X........X  ", "    XXXXXXXXXX  "};
  TBitmap bmp(16, 16, pf32bit);
  for (int y = 0; y < 16; ++y) {
    auto* row = static_cast<uint8_t*>(bmp.ScanLine(y));
    for (int x = 0; x < 16; ++x) {
      const char c = kShape[y][x];
      const uint8_t v = c == 'X' ? 0 : 255;
      row[x * 4 + 0] = row[x * 4 + 1] = row[x * 4 + 2] = v;
      row[x * 4 + 3] = c == ' ' ? 0 : 255;
    }
  }
  return CreateCursorFromBitmap(&bmp, 5, 0);
}
}  // namespace

namespace {
bool gHandCursorRegistered = false;
}  // namespace

void RegisterChartHandCursor() {
  if (!Screen) return;
  HCURSOR h = LoadCursorResource("GRAPH_CURSOR_HAND");
  if (!h) h = MakeHandCursor();
  Screen->SetCursors(ChartHandCursor, h);
  gHandCursorRegistered = true;
}

void EnsureChartHandCursor() {
  if (!gHandCursorRegistered) RegisterChartHandCursor();
}

namespace {
// The cursor waits for EnsureChartHandCursor: making it here would start the toolkit's
// application before main.
struct PanelModule {
  PanelModule() { SetDefaultPalette(); }
} gPanelModule;
}  // namespace
