// The option forms of the compression, volume-indicator, channel-index and volume-oscillator
// functions, embedded in the function editor of the data-source tab: settings changed through
// the controls reach the function on "&Apply", another function shows its own values, and text
// that is no valid number leaves the value as it was.
#include <gtest/gtest.h>

#include <string>

#include "chart/editor/extra_function_editors.h"
#include "chart/editor/series_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/series_helpers.h"
#include "chart/extra/compress_function.h"
#include "chart/extra/indicator_functions.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/financial_series.h"
#include "chart/series/line_series.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"

namespace {

void Pick(TComboBox* C, const std::string& Item) {
  const int i = C->Items()->IndexOf(Item);
  ASSERT_GE(i, 0) << Item;
  C->SetItemIndex(i);
  C->OnChange(C);
}

std::vector<std::string> ItemsOf(TComboBox* C) {
  std::vector<std::string> r;
  for (int i = 0; i < C->Items()->Count(); ++i) r.push_back(C->Items()->Strings(i));
  return r;
}

struct ExtraFunctionForms : ::testing::Test {
  TForm Host{nullptr};
  TChart* Chart = nullptr;
  static void SetUpTestSuite() {
    RegisterCompressFunction();
    RegisterIndicatorFunctions();
    RegisterExtraFunctionEditorForms();
  }
  void SetUp() override {
    Host.SetBounds(0, 0, 600, 400);
    Chart = new TChart(&Host);
    Chart->SetParent(&Host);
    Chart->SetBounds(0, 0, 400, 300);
    Host.Show();
  }
  template <class S>
  S* Add(const std::string& Title) {
    auto* s = new S(&Host);
    s->SetTitle(Title);
    Chart->AttachSeries(s);
    return s;
  }
  template <class F>
  F* Function(TChartSeries* Series) {
    return static_cast<F*>(MakeFunctionForSeries(Series, F::StaticClass()));
  }
  // The function editor as the series page embeds it, with the options form of Series' function.
  template <class Form>
  Form* Options(TChartSeries* Series, TGraphFuncEditor*& Editor) {
    Editor = new TGraphFuncEditor(&Host);
    Editor->SetBounds(0, 0, 420, 220);
    EmbedFormWithObject(Editor, &Host, Series);
    auto* o = dynamic_cast<Form*>(Editor->OptionsForm);
    EXPECT_NE(o, nullptr) << (Editor->OptionsForm ? Editor->OptionsForm->ClassName() : "no form");
    return o;
  }
};

}  // namespace

TEST_F(ExtraFunctionForms, CompressionChoosesDatePeriodTimePeriodOrPointCount) {
  auto* source = Add<TCandleSeries>("Daily");
  for (int i = 0; i < 10; ++i) source->AddOHLCPoint(45000 + i, 10 + i, 20 + i, 5 + i, 12 + i);
  auto* result = Add<TCandleSeries>("Weekly");
  auto* f = Function<TCompressFunction>(result);
  f->SetCompress(ocMonth);
  result->SetDataSource(source);

  TGraphFuncEditor* e = nullptr;
  auto* o = Options<TCompressFuncEditor>(result, e);
  ASSERT_NE(o, nullptr);
  EXPECT_TRUE(o->RadioDate->Checked());
  EXPECT_EQ(o->CBDatePeriod->Text(), "Monthly");
  EXPECT_EQ(o->CBTimePeriod->ItemIndex(), 0);
  EXPECT_FALSE(e->BApply->Enabled());
  // Applied unchanged, a period stays a period: no point count creeps in.
  e->BApply->Click();
  EXPECT_EQ(f->Compress(), ocMonth);
  EXPECT_DOUBLE_EQ(f->Period(), 0);

  // Choosing a clock period selects its radio button and asks for "&Apply".
  Pick(o->CBTimePeriod, "TwoHours");
  EXPECT_TRUE(o->RadioTime->Checked());
  EXPECT_FALSE(o->RadioDate->Checked());
  EXPECT_TRUE(e->BApply->Enabled());
  e->BApply->Click();
  EXPECT_EQ(f->Compress(), ocTwoHours);
  EXPECT_DOUBLE_EQ(f->Period(), 0);

  // A count of points: ten daily points in blocks of three give four candles.
  o->RadioPoints->SetChecked(true);
  o->ENum->SetText("3");
  e->BApply->Click();
  EXPECT_DOUBLE_EQ(f->Period(), 3);
  EXPECT_EQ(f->Compress(), ocTwoHours);  // the time combo's period, kept for later
  ASSERT_EQ(result->Count(), 4);
  auto* ohlc = static_cast<TOHLCSeries*>(result);
  EXPECT_DOUBLE_EQ(ohlc->OpenValues()->Value(1), 13);
  EXPECT_DOUBLE_EQ(ohlc->CloseValues()->Value(1), 17);
  EXPECT_DOUBLE_EQ(ohlc->HighValues()->Value(3), 29);

  // Counts that are no number or outside 0..32767 keep the old count.
  for (const char* bad : {"abc", "40000", "-2", ""}) {
    SCOPED_TRACE(bad);
    o->ENum->SetText(bad);
    e->BApply->Click();
    EXPECT_DOUBLE_EQ(f->Period(), 3);
  }
  // Going back to a date period clears the count.
  Pick(o->CBDatePeriod, "Yearly");
  EXPECT_TRUE(o->RadioDate->Checked());
  e->BApply->Click();
  EXPECT_EQ(f->Compress(), ocYear);
  EXPECT_DOUBLE_EQ(f->Period(), 0);
  // A count typed in without clicking selects grouping by points.
  o->ENum->SetText("4");
  EXPECT_TRUE(o->RadioPoints->Checked());
  e->BApply->Click();
  EXPECT_DOUBLE_EQ(f->Period(), 4);
  delete e;

  // Other functions show their own settings.
  struct Case {
    TCompressionPeriod Compress;
    double Period;
    TRadioButton* TCompressFuncEditor::*Radio;
    std::string Shown;
    TCompressionPeriod Applied;  // a count of points writes the time combo's period
  } cases[] = {{ocWeek, 0, &TCompressFuncEditor::RadioDate, "Weekly", ocWeek},
               {ocTwelveHour, 0, &TCompressFuncEditor::RadioTime, "TwelveHour", ocTwelveHour},
               {ocDay, 7, &TCompressFuncEditor::RadioPoints, "7", ocSecond}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Shown);
    auto* other = Add<TCandleSeries>("Other");
    auto* g = Function<TCompressFunction>(other);
    g->SetCompress(k.Compress);
    g->SetPeriod(k.Period);
    o = Options<TCompressFuncEditor>(other, e);
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE((o->*k.Radio)->Checked());
    const std::string shown = k.Radio == &TCompressFuncEditor::RadioDate   ? o->CBDatePeriod->Text()
                              : k.Radio == &TCompressFuncEditor::RadioTime ? o->CBTimePeriod->Text()
                                                                           : o->ENum->Text();
    EXPECT_EQ(shown, k.Shown);
    e->BApply->Click();
    EXPECT_EQ(g->Compress(), k.Applied);
    EXPECT_DOUBLE_EQ(g->Period(), k.Period);
    delete e;
  }
}

TEST_F(ExtraFunctionForms, VolumeFormsOfferEverySeriesButTheirOwn) {
  auto* price = Add<TCandleSeries>("Price");
  auto* volume = Add<TLineSeries>("Volume");
  auto* spare = Add<TLineSeries>("Spare");
  auto* clvSeries = Add<TLineSeries>("CLV");
  auto* obvSeries = Add<TLineSeries>("OBV");
  auto* clv = Function<TCLVFunction>(clvSeries);
  auto* obv = Function<TOBVFunction>(obvSeries);
  obv->SetVolume(spare);
  (void)price;

  TGraphFuncEditor* e = nullptr;
  auto* c = Options<TCLVFuncEditor>(clvSeries, e);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(ItemsOf(c->CBVolume), (std::vector<std::string>{"(none)", "Price", "Volume", "Spare", "OBV"}));
  EXPECT_EQ(c->CBVolume->ItemIndex(), 0);
  EXPECT_TRUE(c->CBAccumulate->Checked());
  Pick(c->CBVolume, "Volume");
  c->CBAccumulate->SetChecked(false);
  EXPECT_TRUE(e->BApply->Enabled());
  e->BApply->Click();
  EXPECT_EQ(clv->Volume(), volume);
  EXPECT_FALSE(clv->Accumulate());
  // "(none)" lets the volume series go.
  Pick(c->CBVolume, "(none)");
  e->BApply->Click();
  EXPECT_EQ(clv->Volume(), nullptr);
  delete e;

  auto* b = Options<TOBVFuncEditor>(obvSeries, e);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(ItemsOf(b->CBVolume), (std::vector<std::string>{"(none)", "Price", "Volume", "Spare", "CLV"}));
  EXPECT_EQ(b->CBVolume->Text(), "Spare");
  Pick(b->CBVolume, "Volume");
  e->BApply->Click();
  EXPECT_EQ(obv->Volume(), volume);
  delete e;

  // A volume series that has gone from the chart is shown as "(none)".
  clv->SetVolume(spare);
  Chart->DetachSeries(spare);
  c = Options<TCLVFuncEditor>(clvSeries, e);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->CBVolume->ItemIndex(), 0);
  delete e;
  delete spare;
}

TEST_F(ExtraFunctionForms, ChannelIndexAndOscillatorPeriodsRefuseBadText) {
  auto* cciSeries = Add<TLineSeries>("CCI");
  auto* cci = Function<TCCIFunction>(cciSeries);
  TGraphFuncEditor* e = nullptr;
  auto* c = Options<TCCIFuncEditor>(cciSeries, e);
  ASSERT_NE(c, nullptr);
  EXPECT_DOUBLE_EQ(StrToFloat(c->EConst->Text()), 0.015);
  EXPECT_EQ(c->EPeriod->Text(), IntToStr(static_cast<int>(cci->Period())));
  c->EConst->SetText(FloatToStr(0.02));
  c->EPeriod->SetText("14");
  EXPECT_TRUE(e->BApply->Enabled());
  e->BApply->Click();
  EXPECT_DOUBLE_EQ(cci->Constant(), 0.02);
  EXPECT_DOUBLE_EQ(cci->Period(), 14);
  c->EConst->SetText("two");
  c->EPeriod->SetText("0");  // below the up-down's 1..10000
  e->BApply->Click();
  EXPECT_DOUBLE_EQ(cci->Constant(), 0.02);
  EXPECT_DOUBLE_EQ(cci->Period(), 14);
  delete e;

  auto* pvoSeries = Add<TLineSeries>("PVO");
  auto* pvo = Function<TPVOFunction>(pvoSeries);
  pvo->SetPeriod(9);
  pvo->SetPeriod2(30);
  auto* p = Options<TPVOFuncEditor>(pvoSeries, e);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->EPeriod->Text(), "9");
  EXPECT_EQ(p->Edit1->Text(), "30");
  EXPECT_TRUE(p->CBPercent->Checked());
  p->EPeriod->SetText("5");
  p->Edit1->SetText("20");
  p->CBPercent->SetChecked(false);
  e->BApply->Click();
  EXPECT_DOUBLE_EQ(pvo->Period(), 5);
  EXPECT_EQ(pvo->Period2(), 20);
  EXPECT_FALSE(pvo->Percentage());
  p->EPeriod->SetText("10001");
  p->Edit1->SetText("x");
  e->BApply->Click();
  EXPECT_DOUBLE_EQ(pvo->Period(), 5);
  EXPECT_EQ(pvo->Period2(), 20);
  delete e;

  // Another channel index shows its own constant and period.
  auto* other = Add<TLineSeries>("Other");
  auto* cci2 = Function<TCCIFunction>(other);
  cci2->SetConstant(0.5);
  cci2->SetPeriod(7);
  c = Options<TCCIFuncEditor>(other, e);
  ASSERT_NE(c, nullptr);
  EXPECT_DOUBLE_EQ(StrToFloat(c->EConst->Text()), 0.5);
  EXPECT_EQ(c->EPeriod->Text(), "7");
  delete e;
}
