// Free-standing helpers of the chart panel module: hit tests, date-time steps, text helpers,
// index sorting, bitmap resources, the default palette, caption translation, the chart editor's
// registry options, and two small classes (rubber band, listener list).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "chart/engine/chart_geometry.h"
#include "platform/component.h"
#include "platform/lists.h"
#include "platform/types.h"

class TBitmap;
class TControl;
class IChartEventListener;

// ---------------------------------------------------------------------------------------------
// Hit tests (integer pixels).
double PointToSegmentDistance(const TPoint& P, int X0, int Y0, int X1, int Y1);
bool PointInLine(const TPoint& P, int X0, int Y0, int X1, int Y1, int Tolerance);
bool PointInLineWithTolerance(const TPoint& P, int X0, int Y0, int X1, int Y1, int Tolerance);
bool PointInLineCoords(const TPoint& P, int X0, int Y0, int X1, int Y1);
bool PointInLineEnds(const TPoint& P, const TPoint& P0, const TPoint& P1);
bool PointInLineEndsTolerance(const TPoint& P, const TPoint& P0, const TPoint& P1, int Tolerance);
// Even-odd test against the closed polygon Points[0..HighIndex].
bool PointInPolygon(const TPoint& P, std::span<const TPoint> Points, int HighIndex);
bool PointInTriangle(const TPoint& P, int X0, int X1, int Y0, int Y1);
bool PointInHorizTriangle(const TPoint& P, int Y0, int Y1, int X0, int X1);
bool PointInEllipse(const TPoint& P, int Left, int Top, int Right, int Bottom);
bool PointInEllipseRect(const TPoint& P, const TRect& Rect);
// Intersection of two lines; True only when the two segments cross.
bool LineIntersection(double& X, double& Y, double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                      double y4);

// ---------------------------------------------------------------------------------------------
// Date-time steps.
constexpr int DateTimeStepCount = 27;  // index 27 means no step
extern const double DateTimeStepTable[DateTimeStepCount];
constexpr int dtHalfMonthStep = 20;
constexpr int dtOneYearStep = 26;
constexpr int dtNoStep = 27;

TDateTime TruncDateToStep(int Step, TDateTime Value);
void IncDecDateTime(bool CalendarStep, bool Forward, TDateTime& Value, int Step, double Increment);

// ---------------------------------------------------------------------------------------------
// Text and numbers.
extern std::string ItemSeparator;  // ";" at start-up

std::string StandardToLocalFormat(const std::string& Format);
std::string LocalToStandardFormat(const std::string& Format);
int CountDelimitedItems(const std::string& Text);
std::string GetDelimitedItem(const std::string& Text, int N);
int CountDelimitedItemsSep(const std::string& Text, const std::string& Separator);
std::string GetDelimitedItemSep(const std::string& Text, int N, const std::string& Separator);
// Every Old character becomes New, or is deleted when New is '\0'.
std::string ReplaceChar(const std::string& Text, char Old, char New);
void EnableControls(bool Enabled, std::initializer_list<TControl*> Controls);
std::string UniqueComponentName(TComponent* Owner, const std::string& BaseName);

// ---------------------------------------------------------------------------------------------
// Sorting of a caller's collection by positions.
using TCompareIndexes = std::function<int(int A, int B)>;
using TSwapIndexes = std::function<void(int A, int B)>;
void QuickSortIndexes(int First, int Last, const TCompareIndexes& Compare, const TSwapIndexes& Swap);

// ---------------------------------------------------------------------------------------------
// Bitmap resources by name.
struct TGraphBitmap {
  std::string Name;
  std::string FallbackName;
  TBitmap* Bitmap = nullptr;
};
// A loaded module's bitmap resources: loads the resource Name into Bitmap and returns True when
// the module has it. The program's own resources are searched first, then the added modules in
// the order they were added.
using TBitmapResourceModule = std::function<bool(const std::string& Name, TBitmap* Bitmap)>;
void AddBitmapResourceModule(const TBitmapResourceModule& Module);
// Removes the added modules (the program's own resources stay).
void ClearBitmapResourceModules();
void LoadBitmapResource(TBitmap* Bitmap, const std::string& Name, const std::string& FallbackName);
void LoadClassBitmap(const TObject* Object, TBitmap* Bitmap);

// ---------------------------------------------------------------------------------------------
// The default colour palette.
using TColorArray = std::vector<TColor>;
extern TColorArray ColorPalette;
void SetDefaultPalette();
// An array of at most one colour restores the built-in palette.
void SetColorPalette(const TColorArray& Colors);

// ---------------------------------------------------------------------------------------------
// Caption translation: the language module installs its translator here.
using TTranslateHook = std::function<void(TComponent* Component, std::span<TControl* const> Exclusions)>;
extern TTranslateHook TranslateHook;
void TranslateControlExcept(TComponent* Component, std::initializer_list<TControl*> Exclusions);
void TranslateControl(TComponent* Control);

// ---------------------------------------------------------------------------------------------
// The chart editor's options key in the current user's registry.
extern const char* const EditorOptionsKey;
bool ReadEditorBool(const std::string& Name, bool Default);
int32_t ReadEditorInteger(const std::string& Name, int32_t Default);
void WriteEditorBool(const std::string& Name, bool Value);
void WriteEditorInteger(const std::string& Name, int32_t Value);

// ---------------------------------------------------------------------------------------------
// Cursor number of the chart's hand cursor.
constexpr int ChartHandCursor = 2020;
// Registers the hand cursor ("GRAPH_CURSOR_HAND", else the toolkit's hand) as screen cursor
// ChartHandCursor, whenever called.
void RegisterChartHandCursor();
// Registers the hand cursor once, as soon as the toolkit's Screen exists. The panel module starts
// before the toolkit has made its Screen, so chart panels call this when they are created.
void EnsureChartHandCursor();

// One rubber-band rectangle: start corner X0, Y0 and current corner X1, Y1.
class TZoomPanning : public TPersistent {
public:
  bool Active = false;
  int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;

  void Activate(int X, int Y);
  void NormalizeCorners();
};

// The listeners of one panel's events; the list does not own them.
class TGraphEventListeners : public TList {
public:
  int Add(IChartEventListener* Listener);
  IChartEventListener* GetListener(int Index) const;
  int Remove(IChartEventListener* Listener);
};
