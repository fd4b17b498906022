// The induction-vector view on the sample site: arrows at every step-th frequency, each as many
// millimetres long on the screen as its magnitude times the scale, whatever the axes.
#include <cmath>

#include "app/views/induction_view.h"
#include "view_fixture.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/arrow_series.h"
#include "chart/series/line_series.h"
#include "controls/vx_spin.h"
#include "mtdata/plot_columns.h"
#include "platform/actnlist.h"
#include "platform/stdctrls.h"

namespace {

struct IndVecFixture : ViewFixture {
  void Open() {
    OpenSite({SiteFile("S107.MT1")});
    ShowView(IndVect1);
    ASSERT_TRUE(FormExists(IndVect1));
    IndVect1->SetBounds(0, 0, 696, 480);
    Application->ProcessMessages();
    IndVect1->Timer1->Fire();  // the redraw once the chart has its size
  }
  // The arrow of S that starts at frequency F.
  static int ArrowAt(TArrowSeries* S, double F) {
    for (int i = 0; i < S->PointCount(); ++i)
      if (S->StartXValues()->Value(i) == F) return i;
    return -1;
  }
  // The on-screen length of arrow I of S in millimetres, from the pixels of its two ends.
  static double LengthMm(TArrowSeries* S, int I) {
    TChart* c = IndVect1->Chart1;
    const double dx = c->BottomAxis()->ValueToPixel(S->EndXValues()->Value(I)) -
                      c->BottomAxis()->ValueToPixel(S->StartXValues()->Value(I));
    const double dy = c->LeftAxis()->ValueToPixel(S->EndYValues()->Value(I)) -
                      c->LeftAxis()->ValueToPixel(S->StartYValues()->Value(I));
    return std::hypot(dx, dy) / (Screen->PixelsPerInch() / 25.4);
  }
};

}  // namespace

TEST_F(IndVecFixture, ArrowsAtEveryStepAndFrequencyPointsEverywhere) {
  Open();
  const int n = CurrentSite->FreqCount;
  EXPECT_EQ(IndVect1->Series3->PointCount(), n);
  EXPECT_EQ(IndVect1->Series1->PointCount(), n);
  EXPECT_EQ(IndVect1->Series1->Title(), "Ind-Vr");
  EXPECT_EQ(IndVect1->Series2->Title(), "Ind-Vi");
  IndVect1->VxSpinEdit1->SetValue(2);
  IndVect1->VxSpinEdit1Change(nullptr);
  ASSERT_EQ(IndVect1->Series1->PointCount(), n / 2);
  for (int j = 1; j <= n; ++j) EXPECT_EQ(ArrowAt(IndVect1->Series1, CurrentSite->Frequencies[j]) >= 0, j % 2 == 0) << j;
  EXPECT_EQ(IndVect1->Series3->PointCount(), n);
}

TEST_F(IndVecFixture, LengthInMillimetresIsMagnitudeTimesScale) {
  Open();
  // Frequency 1: a real vector of 0.5 at angle 0; frequency 2: 1.0 at 90 degrees.
  CurrentSite->Plots[1][pcIndVr] = 0.5;
  CurrentSite->Plots[1][pcIVrAng] = 0;
  CurrentSite->Plots[2][pcIndVr] = 1.0;
  CurrentSite->Plots[2][pcIVrAng] = 90;
  IndVect1->VxSpinEdit2->SetValue(3);  // factor 4 on the horizontal part
  IndVect1->VxSpinEdit3->SetValue(2);  // factor 2 on the vertical part
  IndVect1->Refresh(nullptr);
  TArrowSeries* real = IndVect1->Series1;
  const double f1 = CurrentSite->Frequencies[1], f2 = CurrentSite->Frequencies[2];
  int a = ArrowAt(real, f1), b = ArrowAt(real, f2);
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  EXPECT_NEAR(LengthMm(real, a), 4 * 0.5, 0.15);
  EXPECT_GT(real->EndXValues()->Value(a), f1) << "towards higher frequencies";
  EXPECT_NEAR(real->EndYValues()->Value(a), 0, 1e-9);
  // At 90 degrees the arrow ends at its own frequency; its height is Sv * L millimetres.
  EXPECT_NEAR(real->EndXValues()->Value(b) / f2, 1, 1e-6);
  EXPECT_NEAR(LengthMm(real, b), 2 * 1.0, 0.15);

  IndVect1->CheckBox1->SetChecked(true);  // "Rev real": the other way
  IndVect1->Refresh(nullptr);
  a = ArrowAt(real, f1);
  EXPECT_LT(real->EndXValues()->Value(a), f1);
  EXPECT_NEAR(LengthMm(real, a), 2, 0.15);
}

TEST_F(IndVecFixture, AResizeRedrawsOnceFromTheTimer) {
  Open();
  IndVect1->Timer1->SetEnabled(false);
  IndVect1->Series1->ClearValues();
  IndVect1->SetBounds(0, 0, 600, 400);
  Application->ProcessMessages();
  EXPECT_TRUE(IndVect1->Timer1->Enabled());
  EXPECT_EQ(IndVect1->Series1->PointCount(), 0) << "not before the timer";
  IndVect1->Timer1->Fire();
  EXPECT_FALSE(IndVect1->Timer1->Enabled());
  EXPECT_EQ(IndVect1->Series1->PointCount(), CurrentSite->FreqCount);
}

// The keyboard walks the side panel in order, "Imag Scale", "Real Scale", then "Rev real".
TEST_F(IndVecFixture, TabReachesTheReverseCheckBox) {
  Open();
  IndVect1->VxSpinEdit2->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(FocusedControl(), IndVect1->VxSpinEdit2);
  SendKey({}, VK_TAB);
  EXPECT_EQ(FocusedControl(), IndVect1->VxSpinEdit3);
  SendKey({}, VK_TAB);
  EXPECT_EQ(FocusedControl(), IndVect1->CheckBox1);
  SendKey({ssShift}, VK_TAB);
  EXPECT_EQ(FocusedControl(), IndVect1->VxSpinEdit3);
}
