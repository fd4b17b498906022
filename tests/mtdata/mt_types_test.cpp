#include "mtdata/mt_guard.h"
#include "mtdata/mt_types.h"

#include "log_fixture.h"
#include "platform/logdevice.h"

#include <gtest/gtest.h>

#include <memory>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

namespace {

using mtdata_test::StartLog;
using mtdata_test::StopLog;

TEST(MtTypes, StartUpDefaultsOfPlotSettings) {
  PlotSettings.PointSize = 99;
  PlotSettings.Bar = true;
  CanadaToRussianMode = 2;
  MtzAppendMode = 1;
  InitCommonVars();
  EXPECT_EQ(PlotSettings.PointSize, 3);
  EXPECT_TRUE(PlotSettings.Line);
  EXPECT_TRUE(PlotSettings.Point);
  EXPECT_FALSE(PlotSettings.Bar);
  EXPECT_FALSE(PlotSettings.Legend);
  EXPECT_FALSE(PlotSettings.AutoX);
  EXPECT_EQ(PlotSettings.XMax, 0.0);
  EXPECT_EQ(PlotSettings.Styles[1], 0x0000FF);   // red
  EXPECT_EQ(PlotSettings.Styles[10], 0x800000);  // navy
  EXPECT_EQ(PlotSettings.Styles[11], 0);         // rectangle
  EXPECT_EQ(PlotSettings.Styles[15], 11);        // right triangle
  EXPECT_EQ(PlotSettings.Styles[19], 6);         // star
  for (int i = 20; i <= 22; ++i) EXPECT_EQ(PlotSettings.Styles[i], 0xFFFFFF);
  EXPECT_EQ(CanadaToRussianMode, 0);
  EXPECT_EQ(MtzAppendMode, 0);
}

TEST(MtTypes, ClearTapeLabelEmptiesEveryField) {
  TTapeLabel l;
  l.Survey.Project = "P";
  l.Point.SiteDesc = "site";
  l.Point.Elevation = 12.5L;
  l.Job = "A1234";
  l.LabelSource = 120;
  l.LabelKind = 2;
  l.LabelFlags = 8;
  l.ChannelAzimuth[7] = 90;
  l.ChannelSlot[3] = 3;
  l.RecordingStart = 37755;
  l.BoxGains[2] = 4;
  ClearTapeLabel(l);
  EXPECT_TRUE(l.Survey.Project.empty());
  EXPECT_TRUE(l.Point.SiteDesc.empty());
  EXPECT_TRUE(l.Job.empty());
  EXPECT_EQ(l.Point.Elevation, 0.0L);
  EXPECT_EQ(l.LabelSource, 0);
  EXPECT_EQ(l.LabelKind, 0);
  EXPECT_EQ(l.LabelFlags, 0);
  EXPECT_EQ(l.ChannelAzimuth[7], 0.0f);
  EXPECT_EQ(l.ChannelSlot[3], 0);
  EXPECT_EQ(l.RecordingStart, 0.0);
  EXPECT_EQ(l.BoxGains[2], 0);

  TMtRobstParam p{37755.5, true, 0.9f, 2, 3};
  ClearRobustParams(p);
  EXPECT_EQ(p.ProcessingDate, 0.0);
  EXPECT_FALSE(p.PrincipalAxes);
  EXPECT_EQ(p.ReferenceType, 0);
}

TEST(MtTypes, ClearImpedanceTableKeepsOnlySpare) {
  auto t = std::make_unique<TRezZTable>();
  t->Reserved = 1;
  t->FirstRow = 1;
  t->LastRow = 40;
  t->RowCount = 40;
  TRezZRow& r = t->Rows[140];
  r.Period = 2;
  r.Spare[1] = 50;
  r.Spare[2] = 30;
  r.Complex[3][5] = {1, 2};
  r.Amplitude[1][12] = 3;
  r.PhaseFlag[2][1] = 1;
  r.Marks[3][12][2] = 7;
  ClearImpedanceTable(*t);
  EXPECT_EQ(t->Reserved, 0);
  EXPECT_EQ(t->FirstRow, 0);
  EXPECT_EQ(t->LastRow, 0);
  EXPECT_EQ(t->RowCount, 0);
  EXPECT_EQ(r.Period, 0.0f);
  EXPECT_EQ(r.Complex[3][5], TSingleComplex{});
  EXPECT_EQ(r.Amplitude[1][12], 0.0f);
  EXPECT_EQ(r.PhaseFlag[2][1], 0);
  EXPECT_EQ(r.Marks[3][12][2], 0);
  EXPECT_EQ(r.Spare[1], 50.0f);
  EXPECT_EQ(r.Spare[2], 30.0f);
}

TEST(MtTypes, ArraysCheckTheirDeclaredBounds) {
  TPlots plots;
  EXPECT_THROW(plots[1][1], ERangeError) << "an array not yet allocated";
  plots.Allocate();
  plots[140][135] = 7;
  plots.Allocate();  // a second sizing keeps the contents
  EXPECT_EQ(plots[140][135], 7.0);
  EXPECT_EQ(plots[0][0], 0.0);
  EXPECT_THROW(plots[141][0], ERangeError);
  EXPECT_THROW(plots[-1][0], ERangeError);
  EXPECT_THROW(plots[1][136], ERangeError);

  TMask mask;
  mask.Allocate();
  mask[140][100] = 2;
  EXPECT_THROW(mask[1][101], ERangeError);

  TPartial_plot partial;
  partial.Allocate();
  partial[139][134][99] = 1;  // frequency 140, parameter 135, XPR 100
  EXPECT_THROW(partial[140][0][0], ERangeError);
  EXPECT_THROW(partial[0][135][0], ERangeError);
  EXPECT_THROW(partial[0][0][100], ERangeError);

  TTempFile matrices;
  matrices.Allocate();
  matrices[140][100][7][7] = 3;
  EXPECT_EQ(matrices[140][100][7][7], 3.0);
  EXPECT_THROW(matrices[1][1][0][1], ERangeError);
  EXPECT_THROW(matrices[1][1][1][8], ERangeError);

  TTapeLabel label;
  EXPECT_THROW(label.ChannelAzimuth[0], ERangeError);
  EXPECT_THROW(label.ChannelSlot[8], ERangeError);
  EXPECT_THROW(PlotSettings.Styles[23], ERangeError);
}

// The site arrays are copied by the journal and compared by the tests: a copy is deep, Clear
// zeroes everything, and an empty array equals only an empty one.
TEST(MtTypes, SiteArraysCopyClearAndCompare) {
  TTempFile a;
  a.Allocate();
  a[40][100][1][7] = 2.5;
  a[0][0][7][1] = -1;
  TTempFile b = a;
  EXPECT_TRUE(b == a);
  b[40][100][1][7] = 3;
  EXPECT_EQ(a[40][100][1][7], 2.5) << "a copy shares no storage";
  EXPECT_FALSE(b == a);
  b = a;
  EXPECT_TRUE(b == a);

  a.Clear();
  EXPECT_EQ(a[40][100][1][7], 0.0);
  EXPECT_EQ(a[0][0][7][1], 0.0);
  EXPECT_EQ(b[0][0][7][1], -1.0);

  TTempFile empty;
  EXPECT_FALSE(empty == a);
  b = empty;
  EXPECT_FALSE(b.Assigned());
  EXPECT_TRUE(b == empty);
  EXPECT_EQ(b.Count(), 0u);
  TMask m;
  m.Clear();  // clearing an empty array sizes it
  EXPECT_EQ(m.Count(), TMask::Size);
  EXPECT_EQ(m[140][100], 0);
}

TEST(MtTypes, TextLongerThanItsFieldIsCut) {
  TTapeLabel l;
  l.Job = std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(l.Job.str(), "ABCDEFGHIJKLMNOPQRST");
  EXPECT_TRUE(l.Job == "ABCDEFGHIJKLMNOPQRST" && "ABCDEFGHIJKLMNOPQRST" == l.Job);
  EXPECT_TRUE(l.Job != std::string("ABC"));
  l.Station = "12345678901";
  EXPECT_EQ(l.Station.str(), "1234567890");
  // Characters, not bytes: a Cyrillic text is cut whole.
  l.RunDesc = "\u041F\u0440\u043E\u0444\u0438\u043B\u044C-01234";  // 12 characters
  EXPECT_EQ(l.RunDesc.str(), "\u041F\u0440\u043E\u0444\u0438\u043B\u044C-01");
  MtzTapeVariant = "xyz";
  EXPECT_EQ(MtzTapeVariant.str(), "x");
  MtzTapeVariant = "";
}

TEST(MtTypes, ReferenceNameTables) {
  EXPECT_EQ(ReferenceLongNames[prtRemoteE], "Remote E - Ref.");
  EXPECT_EQ(ReferenceShortNames[frtLocalH], "LH");
  EXPECT_EQ(ReferenceDisplayNames[frtRemoteH], "Rem H");
  EXPECT_EQ(WeightingNames[3], "Ordinary COH.");
  EXPECT_EQ(CsvDelimiters[2], "\t");
  EXPECT_FLOAT_EQ(RadToDegSingle, 57.29578f);
}

TEST(MtTypes, DivisionLogOnlyWhileTheSwitchIsOn) {
  ErrorLogActive = false;
  StartLog();
  LogDivisionByZero(5, 12, "Ravg[Hx, Hx] = 0", 128.0);
  EXPECT_EQ(StopLog(), "");

  ErrorLogActive = true;
  StartLog();
  LogDivisionByZero(5, 12, "Ravg[Hx, Hx] = 0", 128.0);
  LogDivisionByZero(100, 140, "D3 = 0", 0.000123456);
  const std::string out = StopLog();
  ErrorLogActive = false;
  EXPECT_EQ(out,
            "Xpr=  5 f= 12( 128.00000) Division by Ravg[Hx, Hx] = 0\n"
            "Xpr=100 f=140(   0.00012) Division by D3 = 0\n");
}

// ---- guarded arithmetic

enum class Fault { None, ZeroDivide, InvalidOp, Overflow };

template <typename F>
Fault FaultOf(F f) {
  try {
    f();
    return Fault::None;
  } catch (const EZeroDivide&) {
    return Fault::ZeroDivide;
  } catch (const EInvalidOp&) {
    return Fault::InvalidOp;
  } catch (const EOverflow&) {
    return Fault::Overflow;
  }
}

TEST(MtGuard, FaultsAreRaisedNeverReturned) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    std::function<void()> f;
    Fault expected;
  } cases[] = {
      {"1/0", [] { GuardDiv(1.0, 0.0); }, Fault::ZeroDivide},
      {"-1/-0", [] { GuardDiv(-1.0, -0.0); }, Fault::ZeroDivide},
      {"0/0", [] { GuardDiv(0.0, 0.0); }, Fault::InvalidOp},
      {"huge quotient", [] { GuardDiv(1e308, 1e-308); }, Fault::Overflow},
      {"Single quotient beyond float", [] { GuardDiv(1e30f, 1e-30f); }, Fault::Overflow},
      {"same quotient in Double", [] { GuardDiv(double(1e30f), double(1e-30f)); }, Fault::None},
      {"Extended quotient in range", [] { GuardDiv(1e308L, 1e-308L); }, Fault::None},
      {"huge product", [] { GuardMul(1e200, 1e200); }, Fault::Overflow},
      {"sqrt(-1)", [] { GuardSqrt(-1.0); }, Fault::InvalidOp},
      {"sqrt(-0)", [] { GuardSqrt(-0.0); }, Fault::None},
      {"ln(0)", [] { GuardLn(0.0); }, Fault::ZeroDivide},
      {"ln(-1)", [] { GuardLn(-1.0); }, Fault::InvalidOp},
      {"log10(0)", [] { GuardLog10(0.0L); }, Fault::ZeroDivide},
      {"exp(1000)", [] { GuardExp(1000.0); }, Fault::Overflow},
      {"0^-1", [] { GuardPower(0.0, -1.0); }, Fault::ZeroDivide},
      {"(-8)^(1/3)", [] { GuardPower(-8.0, 1.0 / 3); }, Fault::InvalidOp},
      {"(-2)^3", [] { EXPECT_EQ(GuardPower(-2.0, 3.0), -8.0); }, Fault::None},
      {"atan2(0,0)", [] { EXPECT_EQ(GuardArcTan2(0.0, 0.0), 0.0); }, Fault::None},
      {"atan2 of NaN", [nan] { GuardArcTan2(nan, 1.0); }, Fault::InvalidOp},
      {"NaN operand", [nan] { CheckFinite(nan); }, Fault::InvalidOp},
      {"infinite operand", [inf] { CheckFinite(inf); }, Fault::Overflow},
      {"Extended beyond Double", [] { CheckedNarrow<double>(1e400L); }, Fault::Overflow},
  };
  for (const Case& c : cases) EXPECT_EQ(FaultOf(c.f), c.expected) << c.what;
}

TEST(MtGuard, StoreCheckedKeepsTheOldValueOnAFault) {
  double d = 5;
  EXPECT_THROW(StoreChecked(d, 1e400L), EOverflow);
  EXPECT_EQ(d, 5.0);
  float f = 1;
  EXPECT_THROW(StoreChecked(f, 1e39), EOverflow);
  EXPECT_EQ(f, 1.0f);
  StoreChecked(f, 2.5L);
  EXPECT_EQ(f, 2.5f);
}

TEST(MtGuard, GroupStopsAtTheFaultKeepsEarlierStoresAndLogs) {
  double p1 = -1, p2 = -1, p3 = -1;
  const double zero = 0;
  ErrorLogActive = true;
  StartLog();
  const bool ok = GuardGroup(3, 7, "Fhz = 0", 10.0, [&] {
    StoreChecked(p1, GuardDiv(1.0L, 4.0L));
    StoreChecked(p2, GuardDiv(1.0L, zero));
    p3 = 1;
  });
  const std::string out = StopLog();
  ErrorLogActive = false;
  EXPECT_FALSE(ok);
  EXPECT_EQ(p1, 0.25);
  EXPECT_EQ(p2, -1.0);
  EXPECT_EQ(p3, -1.0);
  EXPECT_EQ(out, "Xpr=  3 f=  7(  10.00000) Division by Fhz = 0\n");

  StartLog();
  EXPECT_FALSE(SilentGroup([&] { p3 = GuardSqrt(-zero - 1); }));
  EXPECT_TRUE(SilentGroup([&] { p3 = 2; }));
  EXPECT_EQ(StopLog(), "");
  EXPECT_EQ(p3, 2.0);
  // Index errors are not arithmetic faults: they leave the group.
  TPlots unallocated;
  EXPECT_THROW(SilentGroup([&] { unallocated[1][1] = 0; }), ERangeError);
}

}  // namespace
