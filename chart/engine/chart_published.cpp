#include "chart/engine/chart_published.h"

#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/graph_panel_ext.h"
#include "chart/engine/legend.h"
#include "chart/engine/registries.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/walls_titles.h"
#include "platform/graphics.h"
#include "platform/stdctrls.h"
#include "platform/typinfo.h"

const TEnumInfo AxisLabelStyleInfo("TAxisLabelStyle", {"talAuto", "talNone", "talValue", "talMark", "talText"});
const TEnumInfo AxisLabelAlignInfo("TAxisLabelAlign", {"alDefault", "alOpposite"});
const TEnumInfo LegendAlignmentInfo("TLegendAlignment", {"laLeft", "laRight", "laTop", "laBottom"});
const TEnumInfo CheckBoxesStyleInfo("TCheckBoxesStyle", {"cbsCheck", "cbsRadio"});
const TEnumInfo LegendStyleInfo("TLegendStyle", {"lsAuto", "lsSeries", "lsValues", "lsLastValues"});
const TEnumInfo LegendSymbolPositionInfo("TLegendSymbolPosition", {"spLeft", "spRight"});
const TEnumInfo LegendSymbolSizeInfo("TLegendSymbolSize", {"lcsPercent", "lcsPixels"});
const TEnumInfo LegendTextStyleInfo("TLegendTextStyle",
                                    {"ltsPlain", "ltsLeftValue", "ltsRightValue", "ltsLeftPercent", "ltsRightPercent",
                                     "ltsXValue", "ltsValue", "ltsPercent", "ltsXAndValue", "ltsXAndPercent"});
const TEnumInfo ChartMouseButtonInfo("TMouseButton", {"mbLeft", "mbRight", "mbMiddle"});

namespace {

// The settings every chart shape shares. Colours and visibility differ from one shape to the
// next (titles, walls, legend), so they are always written.
template <class C>
void PublishShape(TPublisher<C>& P) {
  P.Enum("Bevel", &TGraphCustomShape::Bevel, &TGraphCustomShape::SetBevel, BevelCutInfo).Default(bvNone);
  P.Int("BevelWidth", &TGraphCustomShape::BevelWidth, &TGraphCustomShape::SetBevelWidth).Default(2);
  P.Object("Brush", &TGraphCustomShape::Brush, &TGraphCustomShape::SetBrush);
  P.Int("Color", &TGraphCustomShape::Color, &TGraphCustomShape::SetColor).NoDefault().Idents(ColorIdents);
  P.Object("Font", &TGraphCustomShape::Font, &TGraphCustomShape::SetFont);
  P.Object("Frame", &TGraphCustomShape::Pen, &TGraphCustomShape::SetPen);
  P.Object("Gradient", &TGraphCustomShape::Gradient, &TGraphCustomShape::SetGradient).Stored([](TObject* o) {
    return dynamic_cast<TGraphCustomShape*>(o)->GradientOrNull() != nullptr;
  });
  P.Object("Shadow", &TGraphCustomShape::Shadow, &TGraphCustomShape::SetShadow).Stored([](TObject* o) {
    return dynamic_cast<TGraphCustomShape*>(o)->Shadow() != nullptr;
  });
  P.Enum("ShapeStyle", &TGraphCustomShape::ShapeStyle, &TGraphCustomShape::SetShapeStyle, ChartObjectShapeStyleInfo)
      .Default(fosRectangle);
  P.Enum("TextFormat", &TGraphCustomShape::TextFormat, &TGraphCustomShape::SetTextFormat, TextFormatInfo)
      .Default(ttfNormal);
  P.Int("Transparency", &TGraphCustomShape::Transparency, &TGraphCustomShape::SetTransparency).Default(0);
  P.Bool("Transparent", &TGraphCustomShape::Transparent, &TGraphCustomShape::SetTransparent)
      .Stored(&TGraphCustomShape::IsTransparentStored);
  P.Bool("Visible", &TGraphCustomShape::Visible, &TGraphCustomShape::SetVisible).NoDefault();
}

template <class C>
void PublishShapePosition(TPublisher<C>& P) {
  P.Bool("CustomPosition", &TGraphCustomShapePosition::CustomPosition, &TGraphCustomShapePosition::SetCustomPosition)
      .Default(false);
  P.Int("Left", &TGraphCustomShapePosition::Left, &TGraphCustomShapePosition::SetLeft).Stored([](TObject* o) {
    return dynamic_cast<TGraphCustomShapePosition*>(o)->CustomPosition();
  });
  P.Int("Top", &TGraphCustomShapePosition::Top, &TGraphCustomShapePosition::SetTop).Stored([](TObject* o) {
    return dynamic_cast<TGraphCustomShapePosition*>(o)->CustomPosition();
  });
}

}  // namespace

void PublishCustomAxisPanel(TPropertyTable& Table) {
  using C = TCustomAxisPanel;
  TPublisher<C> P(Table);
  P.Bool("AxisBehind", &C::AxisBehind, &C::SetAxisBehind).Default(true);
  P.Bool("AxisVisible", &C::AxisVisible, &C::SetAxisVisible).Default(true);
  P.Object("BottomAxis", &C::BottomAxis, &C::SetBottomAxis);
  P.Int("Chart3DPercent", &C::Chart3DPercent, &C::SetChart3DPercent).Default(15);
  P.Bool("ClipPoints", &C::ClipPoints, &C::SetClipPoints).Default(true);
  P.Collection("CustomAxes", &C::CustomAxes, nullptr).Stored([](TObject* o) {
    auto* c = dynamic_cast<C*>(o)->CustomAxes();
    return c && c->Count() > 0;
  });
  P.Object("DepthAxis", &C::DepthAxis, &C::SetDepthAxis);
  P.Object("DepthTopAxis", &C::DepthTopAxis, &C::SetDepthTopAxis);
  P.Object("LeftAxis", &C::LeftAxis, &C::SetLeftAxis);
  P.Int("MaxPointsPerPage", &C::MaxPointsPerPage, &C::SetMaxPointsPerPage).Default(0);
  P.Int("Page", &C::Page, &C::SetPage).Default(1);
  P.Object("RightAxis", &C::RightAxis, &C::SetRightAxis);
  P.Bool("ScaleLastPage", &C::ScaleLastPage, &C::SetScaleLastPage).Default(true);
  P.Object("TopAxis", &C::TopAxis, &C::SetTopAxis);
  P.Bool("View3DWalls", &C::View3DWalls, &C::SetView3DWalls).Default(true);
  P.Event("OnBeforeDrawChart", &C::OnBeforeDrawChart);
  P.Event("OnBeforeDrawAxes", &C::OnBeforeDrawAxes);
  P.Event("OnBeforeDrawSeries", &C::OnBeforeDrawSeries);
  P.Event("OnGetAxisLabel", &C::OnGetAxisLabel);
  P.Event("OnGetNextAxisLabel", &C::OnGetNextAxisLabel);
  P.Event("OnPageChange", &C::OnPageChange);
}

void PublishCustomChart(TPropertyTable& Table) {
  using C = TCustomChart;
  TPublisher<C> P(Table);
  P.Object("BackWall", &C::BackWall, nullptr);
  P.Object("BottomWall", &C::BottomWall, nullptr);
  P.Object("Foot", &C::Foot, nullptr);
  P.Object("LeftWall", &C::LeftWall, nullptr);
  P.Object("Legend", &C::Legend, nullptr);
  P.Object("RightWall", &C::RightWall, nullptr);
  P.Enum("ScrollMouseButton", &C::ScrollMouseButton, &C::SetScrollMouseButton, ChartMouseButtonInfo).Default(mbRight);
  P.Object("SubFoot", &C::SubFoot, nullptr);
  P.Object("SubTitle", &C::SubTitle, nullptr);
  P.Object("Title", &C::Title, nullptr);
  P.Event("OnAllowScroll", &C::OnAllowScroll);
  P.Event("OnClickAxis", &C::OnClickAxis);
  P.Event("OnClickBackground", &C::OnClickBackground);
  P.Event("OnClickLegend", &C::OnClickLegend);
  P.Event("OnClickSeries", &C::OnClickSeries);
  P.Event("OnClickTitle", &C::OnClickTitle);
  P.Event("OnGetLegendPos", &C::OnGetLegendPos);
  P.Event("OnGetLegendRect", &C::OnGetLegendRect);
  P.Event("OnGetLegendText", &C::OnGetLegendText);
}

// The built-in axes differ in direction, side and visibility; those are always written.
void PublishChartAxis(TPropertyTable& Table) {
  using C = TChartAxis;
  TPublisher<C> P(Table);
  P.Bool("Automatic", &C::Automatic, &C::SetAutomatic).Default(true);
  P.Bool("AutomaticMaximum", &C::AutomaticMaximum, &C::SetAutomaticMaximum).Default(true);
  P.Bool("AutomaticMinimum", &C::AutomaticMinimum, &C::SetAutomaticMinimum).Default(true);
  P.Object("Axis", &C::Axis, &C::SetAxis);
  P.String("AxisValuesFormat", &C::AxisValuesFormat, &C::SetAxisValuesFormat).NoDefault();
  P.String("DateTimeFormat", &C::DateTimeFormat, &C::SetDateTimeFormat).Default("");
  P.Float("EndPosition", &C::EndPosition, &C::SetEndPosition).Default(100.0);
  P.Bool("ExactDateTime", &C::ExactDateTime, &C::SetExactDateTime).Default(true);
  P.Object("Grid", &C::Grid, &C::SetGrid);
  P.Bool("Horizontal", &C::Horizontal, &C::SetHorizontal).NoDefault();
  P.Float("Increment", &C::Increment, &C::SetIncrement).Default(0.0);
  P.Bool("Inverted", &C::Inverted, &C::SetInverted).Default(false);
  P.Bool("Labels", &C::Labels, &C::SetLabels).NoDefault();
  P.Enum("LabelsAlign", &C::LabelsAlign, &C::SetLabelsAlign, AxisLabelAlignInfo).Default(alDefault);
  P.Bool("LabelsAlternate", &C::LabelsAlternate, &C::SetLabelsAlternate).Default(false);
  P.Int("LabelsAngle", &C::LabelsAngle, &C::SetLabelsAngle).Default(0);
  P.Bool("LabelsExponent", &C::LabelsExponent, &C::SetLabelsExponent).Default(false);
  P.Object("LabelsFont", &C::LabelsFont, &C::SetLabelsFont);
  P.Bool("LabelsMultiLine", &C::LabelsMultiLine, &C::SetLabelsMultiLine).Default(false);
  P.Bool("LabelsOnAxis", &C::LabelsOnAxis, &C::SetLabelsOnAxis).Default(true);
  P.Int("LabelsSeparation", &C::LabelsSeparation, &C::SetLabelsSeparation).Default(10);
  P.Int("LabelsSize", &C::LabelsSize, &C::SetLabelsSize).Default(0);
  P.Enum("LabelStyle", &C::LabelStyle, &C::SetLabelStyle, AxisLabelStyleInfo).Default(talAuto);
  P.Float("LogarithmicBase", &C::LogarithmicBase, &C::SetLogarithmicBase).Default(10.0);
  // Minimum and maximum before Logarithmic: a logarithmic axis checks its range when switched on.
  P.Float("Maximum", &C::Maximum, &C::SetMaximum).NoDefault();
  P.Int("MaximumOffset", &C::MaximumOffset, &C::SetMaximumOffset).Default(0);
  P.Float("Minimum", &C::Minimum, &C::SetMinimum).NoDefault();
  P.Int("MinimumOffset", &C::MinimumOffset, &C::SetMinimumOffset).Default(0);
  P.Bool("Logarithmic", &C::Logarithmic, &C::SetLogarithmic).Default(false);
  P.Object("MinorGrid", &C::MinorGrid, &C::SetMinorGrid);
  P.Int("MinorTickCount", &C::MinorTickCount, &C::SetMinorTickCount).Default(3);
  P.Int("MinorTickLength", &C::MinorTickLength, &C::SetMinorTickLength).Default(2);
  P.Object("MinorTicks", &C::MinorTicks, &C::SetMinorTicks);
  P.Bool("OtherSide", &C::OtherSide, &C::SetOtherSide).NoDefault();
  P.Float("PositionPercent", &C::PositionPercent, &C::SetPositionPercent).Default(0.0);
  P.Enum("PositionUnits", &C::PositionUnits, &C::SetPositionUnits, GraphUnitsInfo).Default(muPercent);
  P.Bool("RoundFirstLabel", &C::RoundFirstLabel, &C::SetRoundFirstLabel).Default(true);
  P.Float("StartPosition", &C::StartPosition, &C::SetStartPosition).Default(0.0);
  P.Int("TickInnerLength", &C::TickInnerLength, &C::SetTickInnerLength).Default(0);
  P.Int("TickLength", &C::TickLength, &C::SetTickLength).Default(4);
  P.Object("Ticks", &C::Ticks, &C::SetTicks);
  P.Object("TicksInner", &C::TicksInner, &C::SetTicksInner);
  P.Bool("TickOnLabelsOnly", &C::TickOnLabelsOnly, &C::SetTickOnLabelsOnly).Default(true);
  P.Object("Title", &C::Title, &C::SetTitle);
  P.Int("TitleSize", &C::TitleSize, &C::SetTitleSize).Default(0);
  P.Bool("Visible", &C::Visible, &C::SetVisible).NoDefault();
  P.Float("ZPosition", &C::ZPosition, &C::SetZPosition).NoDefault();
}

void PublishChartAxisTitle(TPropertyTable& Table) {
  using C = TChartAxisTitle;
  TPublisher<C> P(Table);
  PublishShape(P);
  P.Int("Angle", &C::Angle, &C::SetAngle).NoDefault();
  P.String("Caption", &C::Caption, &C::SetCaption).Default("");
}

void PublishAxisGridPen(TPropertyTable& Table) {
  using C = TAxisGridPen;
  TPublisher<C> P(Table);
  P.Bool("Centered", &C::Centered, &C::SetCentered).Default(false);
  P.Float("ZPosition", &C::ZPosition, &C::SetZPosition).Stored([](TObject* o) {
    auto* p = dynamic_cast<C*>(o);
    return p->ZPosition() != p->DefaultZPosition;
  });
}

void PublishLegendSymbol(TPropertyTable& Table) {
  using C = TLegendSymbol;
  TPublisher<C> P(Table);
  P.Bool("Continuous", &C::Continuous, &C::SetContinuous).Default(false);
  P.Bool("DefaultPen", &C::DefaultPen, &C::SetDefaultPen).Default(true);
  P.Object("Gradient", &C::Gradient, nullptr);
  P.Object("Pen", &C::Pen, nullptr);
  P.Enum("Position", &C::Position, &C::SetPosition, LegendSymbolPositionInfo).Default(spLeft);
  P.Bool("Squared", &C::Squared, &C::SetSquared).Default(false);
  P.Bool("Visible", &C::Visible, &C::SetVisible).Default(true);
  P.Int("Width", &C::Width, &C::SetWidth).Default(20);
  P.Enum("WidthUnits", &C::WidthUnits, &C::SetWidthUnits, LegendSymbolSizeInfo).Default(lcsPercent);
}

void PublishCustomChartLegend(TPropertyTable& Table) {
  using C = TCustomChartLegend;
  TPublisher<C> P(Table);
  PublishShape(P);
  PublishShapePosition(P);
  P.Enum("Alignment", &C::Alignment, &C::SetAlignment, LegendAlignmentInfo).Default(laRight);
  P.Bool("CheckBoxes", &C::CheckBoxes, &C::SetCheckBoxes).Default(false);
  P.Enum("CheckBoxesStyle", &C::CheckBoxesStyle, &C::SetCheckBoxesStyle, CheckBoxesStyleInfo).Default(cbsCheck);
  P.Bool("CurrentPage", &C::CurrentPage, &C::SetCurrentPage).Default(true);
  P.Object("DividingLines", &C::DividingLines, nullptr);
  P.Int("FirstValue", &C::FirstValue, &C::SetFirstValue).Default(0);
  P.Bool("FontSeriesColor", &C::FontSeriesColor, &C::SetFontSeriesColor).Default(false);
  P.Int("HorizMargin", &C::HorizMargin, &C::SetHorizMargin).Default(0);
  P.Bool("Inverted", &C::Inverted, &C::SetInverted).Default(false);
  P.Int("LeftPercent", &C::LeftPercent, &C::SetLeftPercent).Default(0);
  P.Enum("LegendStyle", &C::LegendStyle, &C::SetLegendStyle, LegendStyleInfo).Default(lsAuto);
  P.Int("MaxNumRows", &C::MaxNumRows, &C::SetMaxNumRows).Default(10);
  P.Enum("PositionUnits", &C::PositionUnits, &C::SetPositionUnits, GraphUnitsInfo).Default(muPixels);
  P.Bool("ResizeChart", &C::ResizeChart, &C::SetResizeChart).Default(true);
  P.Object(
      "Symbol", [](C* c) { return c->Symbol.get(); }, nullptr);
  P.Enum("TextStyle", &C::TextStyle, &C::SetTextStyle, LegendTextStyleInfo).Default(ltsLeftValue);
  P.Object("Title", &C::Title, nullptr);
  P.Int("TopPercent", &C::TopPercent, &C::SetTopPercent).Default(0);
  P.Int("TopPos", &C::TopPos, &C::SetTopPos).Default(10);
  P.Int("VertMargin", &C::VertMargin, &C::SetVertMargin).Default(0);
  P.Int("VertSpacing", &C::VertSpacing, &C::SetVertSpacing).Default(0);
}

void PublishCustomChartWall(TPropertyTable& Table) {
  using C = TCustomChartWall;
  TPublisher<C> P(Table);
  PublishShape(P);
  P.Bool("AutoHide", &C::AutoHide, &C::SetAutoHide).Default(false);
  P.Bool("Dark3D", &C::Dark3D, &C::SetDark3D).Default(true);
  P.Int("Size", &C::Size, &C::SetSize).Default(0);
}

void PublishChartTitle(TPropertyTable& Table) {
  using C = TChartTitle;
  TPublisher<C> P(Table);
  PublishShape(P);
  PublishShapePosition(P);
  P.Bool("AdjustFrame", &C::AdjustFrame, &C::SetAdjustFrame).Default(true);
  P.Enum("Alignment", &C::Alignment, &C::SetAlignment, AlignmentInfo).Default(taCenter);
  P.Strings("Text", &C::Text);
}
