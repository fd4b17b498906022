// Records, array types, option variables and reference numberings shared by the MT modules.
//
// Indexing: every array type below keeps the bounds it is declared with and checks them; an
// index outside raises ERangeError. So Plots[f][p] takes f = 0..140 and p = 0..135 exactly as
// written, a field declared [1..7] takes 1..7, and TPartial_plot, declared from 0, is indexed
// [f - 1][p - 1][x - 1].
#pragma once

#include "mtdata/plot_columns.h"
#include "platform/exceptions.h"
#include "platform/types.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <sys/mman.h>

// ---------------------------------------------------------------------------------------------
// Checked arrays

[[noreturn]] void RaiseRangeError();

// One dimension of an array: the index runs Lo..Hi.
template <int Lo, int Hi>
struct TBounds {
  static_assert(Lo <= Hi);
  static constexpr int Low = Lo;
  static constexpr int High = Hi;
  static constexpr std::size_t Count = static_cast<std::size_t>(Hi - Lo + 1);

  static constexpr std::size_t Offset(int i) {
    if (i < Lo || i > Hi) RaiseRangeError();
    return static_cast<std::size_t>(i - Lo);
  }
};

template <typename... Ds>
inline constexpr std::size_t BoundsProduct = (std::size_t{1} * ... * Ds::Count);

// A checked view of one or more dimensions over contiguous storage; indexing the last
// dimension yields the element itself.
template <typename T, typename D, typename... Ds>
struct TArrayRef {
  T* P;
  constexpr TArrayRef<T, Ds...> operator[](int i) const { return {P + D::Offset(i) * BoundsProduct<Ds...>}; }
};
template <typename T, typename D>
struct TArrayRef<T, D> {
  T* P;
  constexpr T& operator[](int i) const { return P[D::Offset(i)]; }
};

// An array of fixed size held in place: A[i][j]... with the declared bounds of each dimension.
template <typename T, typename D, typename... Ds>
struct TFixedArray {
  static constexpr std::size_t Size = BoundsProduct<D, Ds...>;
  std::array<T, Size> Items{};

  constexpr decltype(auto) operator[](int i) { return TArrayRef<T, D, Ds...>{Items.data()}[i]; }
  constexpr decltype(auto) operator[](int i) const { return TArrayRef<const T, D, Ds...>{Items.data()}[i]; }

  void Fill(const T& v) { Items.fill(v); }
  T* Data() { return Items.data(); }
  const T* Data() const { return Items.data(); }
  auto begin() { return Items.begin(); }
  auto end() { return Items.end(); }
  auto begin() const { return Items.begin(); }
  auto end() const { return Items.end(); }
  friend bool operator==(const TFixedArray&, const TFixedArray&) = default;
};

// The common one-dimensional case: TStaticArray<int16_t, 1, 7> is Smallint[1..7].
template <typename T, int Lo, int Hi>
using TStaticArray = TFixedArray<T, TBounds<Lo, Hi>>;

// A dynamic array with fixed bounds: empty until Allocate() sizes it to every declared
// dimension. Indexing an empty array raises ERangeError.
//
// The storage comes zeroed from the system (calloc, or pages of its own for a large array): a
// large array costs nothing until its pages are written, and a site whose files use 40 of 140
// frequencies and a few dozen of 100 estimates never touches the rest. Clear() hands the storage back and takes fresh zero pages,
// which is far cheaper than writing zeros over tens of megabytes. Elements are plain values
// whose all-zero bytes are their zero value.
template <typename T, typename D, typename... Ds>
class TDynArray {
  static_assert(std::is_trivially_copyable_v<T>);

public:
  static constexpr std::size_t Size = BoundsProduct<D, Ds...>;

  TDynArray() = default;
  TDynArray(const TDynArray& Other) { *this = Other; }
  TDynArray(TDynArray&&) noexcept = default;
  TDynArray& operator=(TDynArray&&) noexcept = default;
  TDynArray& operator=(const TDynArray& Other) {
    if (this == &Other) return *this;
    if (!Other.FItems) {
      FItems.reset();
    } else {
      if (!FItems) FItems.reset(NewZeroed());
      std::memcpy(FItems.get(), Other.FItems.get(), Size * sizeof(T));
    }
    return *this;
  }

  // Sizes the array, zero-filled; an array already allocated keeps its contents.
  void Allocate() {
    if (!FItems) FItems.reset(NewZeroed());
  }
  // Sets every element to zero (allocating the array if it was empty).
  void Clear() { FItems.reset(NewZeroed()); }
  void Free() { FItems.reset(); }
  bool Assigned() const { return FItems != nullptr; }
  // The array will be used densely (every estimate slot of its frequencies): its pages are
  // asked for in large pages, one fault and one clearing per 2 MB instead of per 4 kB. A sparse
  // array keeps small pages, so that it touches only what it uses.
  void AdviseDense() {
    if constexpr (Mapped)
      if (FItems) madvise(FItems.get(), Bytes, MADV_HUGEPAGE);
  }

  decltype(auto) operator[](int i) {
    if (!FItems) RaiseRangeError();
    return TArrayRef<T, D, Ds...>{FItems.get()}[i];
  }
  decltype(auto) operator[](int i) const {
    if (!FItems) RaiseRangeError();
    return TArrayRef<const T, D, Ds...>{FItems.get()}[i];
  }

  void Fill(const T& v) {
    if (FItems) std::fill(FItems.get(), FItems.get() + Size, v);
  }
  T* Data() { return FItems.get(); }
  const T* Data() const { return FItems.get(); }
  std::size_t Count() const { return FItems ? Size : 0; }
  friend bool operator==(const TDynArray& a, const TDynArray& b) {
    if (!a.FItems || !b.FItems) return !a.FItems && !b.FItems;
    return std::equal(a.FItems.get(), a.FItems.get() + Size, b.FItems.get());
  }

private:
  // A large array maps its own pages: fresh zero pages from the system every time. Through the
  // heap, storage freed by an earlier site (the files of a set, a site opened again) would come
  // back from calloc written over with zeros, megabytes of them, before any page is used.
  static constexpr std::size_t Bytes = Size * sizeof(T);
  static constexpr bool Mapped = Bytes >= (std::size_t{1} << 20);
  struct TFreeStorage {
    void operator()(T* p) const {
      if constexpr (Mapped)
        munmap(p, Bytes);
      else
        std::free(p);
    }
  };
  static T* NewZeroed() {
    if constexpr (Mapped) {
      void* p = mmap(nullptr, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (p == MAP_FAILED) throw std::bad_alloc();
      return static_cast<T*>(p);
    }
    void* p = std::calloc(Size, sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  std::unique_ptr<T, TFreeStorage> FItems;
};

// ---------------------------------------------------------------------------------------------
// Short texts

// Cuts a UTF-8 text to at most MaxChars characters without splitting a character.
std::string CutToChars(std::string_view s, std::size_t MaxChars);

// A text field of at most N characters. Every assignment cuts a longer text to N characters,
// so no writer can overflow the field.
template <std::size_t N>
class TShortString {
public:
  static constexpr std::size_t MaxLength = N;

  TShortString() = default;
  TShortString(std::string_view s) : FText(CutToChars(s, N)) {}
  TShortString(const char* s) : FText(CutToChars(s, N)) {}
  TShortString(const std::string& s) : FText(CutToChars(s, N)) {}

  const std::string& str() const { return FText; }
  operator const std::string&() const { return FText; }
  const char* c_str() const { return FText.c_str(); }
  bool empty() const { return FText.empty(); }
  std::size_t size() const { return FText.size(); }
  void clear() { FText.clear(); }

  friend bool operator==(const TShortString& a, const TShortString& b) { return a.FText == b.FText; }
  template <typename S>
  requires(std::is_convertible_v<const S&, std::string_view> && !std::is_same_v<S, TShortString>) friend bool
  operator==(const TShortString& a, const S& b) {
    return a.FText == std::string_view(b);
  }

private:
  std::string FText;
};

template <std::size_t N>
std::string operator+(const std::string& a, const TShortString<N>& b) {
  return a + b.str();
}
template <std::size_t N>
std::string operator+(const TShortString<N>& a, const std::string& b) {
  return a.str() + b;
}

// ---------------------------------------------------------------------------------------------
// Shared array types (frequency f 1..140, XPR x 1..100, parameter p 1..135, slot 1..7;
// element 0 of a dimension declared from 0 stays zero)

constexpr int MaxFreq = 140;
constexpr int MaxXpr = 100;
constexpr int MaxParam = 135;
// A site whose frequencies hold, on average, at least half the estimate slots uses its
// per-estimate arrays densely.
constexpr bool DenseEstimates(int PerFrequency) { return PerFrequency * 2 >= MaxXpr; }
constexpr int MaxChannel = 7;

// A 7x7 matrix of Double indexed [row 1..7][column 1..7]. As a packed cross-power matrix it
// holds Re S[r][c] for r <= c and Im S[c][r] for r > c.
using TMatrix7 = TFixedArray<double, TBounds<1, 7>, TBounds<1, 7>>;
// One 7x7 matrix per frequency, [f 1..140][r][c].
using TFreqMatrices = TStaticArray<TMatrix7, 1, MaxFreq>;

// Computed parameter p of frequency f at [f][p].
using TPlots = TDynArray<double, TBounds<0, MaxFreq>, TBounds<0, MaxParam>>;
// Mask word of XPR x of frequency f at [f][x]: 0 no estimate or rejected in the file, 1 used,
// 2 removed by editing.
using TMask = TDynArray<int16_t, TBounds<0, MaxFreq>, TBounds<0, MaxXpr>>;
// Packed cross-power matrix of XPR x of frequency f at [f][x] (then [r][c]).
using TTempFile = TDynArray<TMatrix7, TBounds<0, MaxFreq>, TBounds<0, MaxXpr>>;
// Parameter p of the single XPR x of frequency f at [f - 1][p - 1][x - 1], each index checked.
// In memory the parameters of one estimate lie side by side ([f][x][p]): computing an estimate
// writes one run of its parameters, and a frequency with few estimates touches few pages of the
// zeroed storage instead of every page of its slice.
class TPartialPlotArray {
  using DF = TBounds<0, MaxFreq - 1>;
  using DP = TBounds<0, MaxParam - 1>;
  using DX = TBounds<0, MaxXpr - 1>;
  using TStorage = TDynArray<double, DF, DX, DP>;

public:
  static constexpr std::size_t Size = TStorage::Size;

  // Parameter p of one frequency: its estimates lie a whole estimate's parameters apart.
  template <typename T>
  struct TParamRef {
    T* P;
    T& operator[](int x) const { return P[DX::Offset(x) * DP::Count]; }
  };
  template <typename T>
  struct TFreqRef {
    T* P;
    TParamRef<T> operator[](int p) const { return {P + DP::Offset(p)}; }
  };

  void Allocate() { FItems.Allocate(); }
  void Clear() { FItems.Clear(); }
  void Free() { FItems.Free(); }
  bool Assigned() const { return FItems.Assigned(); }
  void AdviseDense() { FItems.AdviseDense(); }
  void Fill(double v) { FItems.Fill(v); }
  std::size_t Count() const { return FItems.Count(); }

  TFreqRef<double> operator[](int f) {
    if (!FItems.Assigned()) RaiseRangeError();
    return {FItems.Data() + DF::Offset(f) * DX::Count * DP::Count};
  }
  TFreqRef<const double> operator[](int f) const {
    if (!FItems.Assigned()) RaiseRangeError();
    return {FItems.Data() + DF::Offset(f) * DX::Count * DP::Count};
  }
  friend bool operator==(const TPartialPlotArray& a, const TPartialPlotArray& b) { return a.FItems == b.FItems; }

private:
  TStorage FItems;
};
using TPartial_plot = TPartialPlotArray;

// The information block of a site file: lines 1..55 of 32 eight-bit characters, #0 = empty.
constexpr int InfoLineCount = 55;
constexpr int InfoLineLength = 32;
using TInfoLine = std::array<char, InfoLineLength>;
using TInfoLines = TStaticArray<TInfoLine, 1, InfoLineCount>;

// A complex value in single precision: real part, then imaginary part.
struct TSingleComplex {
  float Re = 0;
  float Im = 0;
  friend bool operator==(const TSingleComplex&, const TSingleComplex&) = default;
};

// ---------------------------------------------------------------------------------------------
// Site header

struct TSurvey {
  std::string Project;  // project or survey identifier
};

struct TPointInfo {
  TShortString<20> SiteDesc;
  std::string Latitude;   // "dd:mm:ss.sssN" form, N or S
  std::string Longitude;  // same form, E or W
  double LatInDeg = 0;    // south negative
  double LongInDeg = 0;   // west negative
  long double Elevation = 0;
  long double Altitude = 0;  // copy of the elevation
  int32_t PointNumber = 0;
};

struct TTapeLabel {
  TSurvey Survey;
  TPointInfo Point;
  std::string Client;
  std::string Company;
  std::string Operator;
  std::string SitePermittedBy;
  std::string SiteLayoutBy;
  std::string Area;
  std::string Location;
  TShortString<20> JobTitle;
  int16_t LabelSource = 0;  // 120 from a site file's info block, 100 from an EDI file
  TShortString<20> JobPrefix;
  int16_t RunNumber = 0;
  TShortString<10> RunDesc;
  TShortString<20> Job;
  TShortString<10> Station;  // recording-box serial number
  TShortString<20> Hardware;
  uint8_t LabelFlags = 0;
  TShortString<20> StnNumber;
  int16_t LabelKind = 0;
  TStaticArray<float, 1, 7> ChannelAzimuth;  // slots Ex, Ey, Hx, Hy, Hz, Rx, Ry
  TDateTime RecordingStart = 0;
  double IntervalValue = 0;
  int16_t ChannelTotal = 0;
  int16_t RunLetter = 0;  // A = 1
  std::string FileName;
  std::string FullPath;
  std::string OrigFileName;
  std::string ProcessedFiles;
  TStaticArray<int32_t, 1, 2> BoxGains;
  float ExPotResist = 0;
  float EyPotResist = 0;
  TStaticArray<float, 1, 2> EVoltages;
  TStaticArray<int16_t, 1, 7> ChannelSlot;
};

// Processing parameters of a site.
struct TMtRobstParam {
  TDateTime ProcessingDate = 0;
  bool PrincipalAxes = false;
  float CutoffValue = 0;
  int32_t WeightingType = 0;  // 1..3 by WeightingNames, 0 none
  int32_t ReferenceType = 0;  // 1..4 by ReferenceLongNames (processing numbering), 0 none
};

void ClearTapeLabel(TTapeLabel& Label);
void ClearRobustParams(TMtRobstParam& Params);

// ---------------------------------------------------------------------------------------------
// Impedance table: per frequency, impedance and tipper in single precision.
// Variant index 1..3, component index 1..12 (1 xx, 2 xy, 3 yx, 4 yy, 5 determinant,
// 6 tipper x, 7 tipper y, 8 tipper modulus).

template <typename T>
using TVariantComponents = TFixedArray<T, TBounds<1, 3>, TBounds<1, 12>>;

struct TRezZRow {
  float Period = 0;                 // 1/f in seconds, 0 for an empty row
  TStaticArray<float, 1, 2> Spare;  // EDI reader only: 1 frequency, 2 rotation angle
  TVariantComponents<TSingleComplex> Complex;
  TVariantComponents<float> Amplitude;
  TVariantComponents<float> AmplitudeError;
  TVariantComponents<uint8_t> AmplitudeFlag;
  TVariantComponents<float> Phase;  // degrees
  TVariantComponents<float> PhaseError;
  TVariantComponents<uint8_t> PhaseFlag;
  TFixedArray<int16_t, TBounds<1, 3>, TBounds<1, 12>, TBounds<1, 2>> Marks;
};

struct TRezZTable {
  int32_t Reserved = 0;
  int16_t FirstRow = 0;
  int16_t LastRow = 0;
  int16_t RowCount = 0;
  TStaticArray<TRezZRow, 1, MaxFreq> Rows;
};

// Zeroes the four header fields and every field of each row except Spare.
void ClearImpedanceTable(TRezZTable& Table);

// ---------------------------------------------------------------------------------------------
// Display settings shared by all chart views

struct TPlotSettings {
  double XMin = 0, XMax = 0;
  double YMin = 0, YMax = 0;
  bool AutoX = false;
  bool Plus180 = false;
  bool Line = false;
  bool Point = false;
  bool Bar = false;
  bool Legend = false;
  bool PointBorder = false;
  int32_t PointSize = 0;
  // 1..10 curve colours, 11..19 point styles, 20 colour of estimates removed by editing,
  // 21 selection colour, 22 colour of estimates rejected in the file.
  TStaticArray<int32_t, 1, 22> Styles;
};

void InitPlotSettings(TPlotSettings& Settings);

// Colours are 0x00BBGGRR: red, green, yellow, blue, fuchsia, aqua, money green, purple,
// maroon, navy.
inline constexpr TStaticArray<int32_t, 1, 10> DefaultCurveColours{
    {0x0000FF, 0x008000, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xC0DCC0, 0x800080, 0x000080, 0x800000}};
// Values of the chart pointer-style enumeration (rectangle 0, circle 1, triangle 2, down
// triangle 3, cross 4, diagonal cross 5, star 6, diamond 7, small dot 8, nothing 9, left
// triangle 10, right triangle 11).
inline constexpr TStaticArray<int32_t, 1, 9> DefaultPointStyles{{0, 1, 2, 3, 11, 10, 4, 5, 6}};

// ---------------------------------------------------------------------------------------------
// The three reference numberings; each belongs to its own fields.

// File reference type: TMTFile.ReferenceType, TMTFile.CurrentReference, the "REF=" word.
enum : int16_t {
  frtLocalE = 1,
  frtRemoteE = 2,
  frtLocalH = 3,
  frtRemoteH = 4,
  frtNotStandard = 5  // only in the "REF=" word of an edit record
};
// Processing reference type: TMtRobstParam.ReferenceType.
enum : int32_t { prtLocalE = 1, prtLocalH = 2, prtRemoteE = 3, prtRemoteH = 4 };
// Display reference: TMTFile.DisplayReference, the parameter computation.
enum : int16_t { drLocalE = 0, drLocalH = 1, drRemote = 2 };

// Indexed by the processing reference type.
inline constexpr TStaticArray<std::string_view, 1, 4> ReferenceLongNames{
    {"Local E - Ref.", "Local H - Ref.", "Remote E - Ref.", "Remote H - Ref."}};
// Indexed by the file reference type.
inline constexpr TStaticArray<std::string_view, 1, 4> ReferenceDisplayNames{{"Loc E", "Rem E", "Loc H", "Rem H"}};
inline constexpr TStaticArray<std::string_view, 1, 4> ReferenceShortNames{{"LE", "RE", "LH", "RH"}};
inline constexpr TStaticArray<std::string_view, 1, 3> WeightingNames{
    {"NO Weighting.", "RHO Variance.", "Ordinary COH."}};
inline constexpr TStaticArray<std::string_view, 0, 2> CsvDelimiters{{",", ";", "\t"}};

constexpr float RadToDegSingle = static_cast<float>(180.0L / 3.141592653589793238462643383279503L);
constexpr float DegToRadSingle = static_cast<float>(3.141592653589793238462643383279503L / 180.0L);

// ---------------------------------------------------------------------------------------------
// Option variables (process-wide; filled by the shell from the options)

// A header field chosen for composing report names: FieldName is one of "Job",
// "Orig FileName", "FileName", "ProcessedFiles", "Site Desc", "Project", "Station",
// "StnNumber" (other text is used literally); characters First.. First + Count - 1 are taken.
struct THeaderFieldPick {
  std::string FieldName;
  int32_t First = 0;
  int32_t Count = 0;
};

extern TPlotSettings PlotSettings;
extern int32_t CsvDelimiterIndex;    // 0..2 into CsvDelimiters
extern int32_t CanadaToRussianMode;  // 0 as is, 1 exchange x and y, 2 phase sign
extern int32_t MtzUnits;
extern int32_t MtzSolutionMode;
extern int32_t MtzAppendMode;
extern bool RequestFromToFrequency;
extern bool ErrorLogOption;
extern THeaderFieldPick RegionFieldPick;
extern THeaderFieldPick PointFieldPick;
extern THeaderFieldPick StationFieldPick;
extern THeaderFieldPick TapeFieldPick;
extern TShortString<1> MtzTapeVariant;

// The error-log switch: on only while a site is being opened and ErrorLogOption is set.
extern bool ErrorLogActive;

// Start-up step of the option variables: PlotSettings defaults, export modes 0.
void InitCommonVars();

// ---------------------------------------------------------------------------------------------
// Logging

// Writes one line to the MT log (the standard-output device).
void MtLog(const std::string& Line);

// While ErrorLogActive: logs "Xpr=xxx f=fff(ffff.fffff) Division by <Test>"; else nothing.
void LogDivisionByZero(int Xpr, int F, const std::string& Test, double Freq);
