#include "chart/editor/financial_editors.h"

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/extra/arrow_series.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/point_figure_series.h"
#include "chart/extra/shape_series.h"
#include "chart/series/error_series.h"
#include "chart/series/financial_series.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TCandleEditor)
VM_DEFINE_CLASS(THighLowEditor)
VM_DEFINE_CLASS(TArrowSeriesEditor)
VM_DEFINE_CLASS(TGanttSeriesEditor)
VM_DEFINE_CLASS(TChartShapeEditor)
VM_DEFINE_CLASS(TPointFigureEditor)

using edkit::Make;
using namespace sekit;

// ---------------------------------------------------------------------------------------------
// TCandleEditor

TCandleEditor::TCandleEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 400, 200);
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 0, 0, 400, 200);
  PageControl1->SetAlign(alClient);
  TabSheet1 = edkit::Tab(this, PageControl1, "TabSheet1", "Options");
  TabSheet2 = edkit::Tab(this, PageControl1, "TabSheet2", "Colors");
  TTabSheet* o = TabSheet1;
  RGStyle = Radio(this, o, "RGStyle", "Style:", 8, 4, 120, 110, {"&Stick", "&Bar", "Ope&n Close", "&Line"});
  CandleWidth = IntField(this, o, "SEWidth", "UDWidth", "LWidth", "Candle &Width:", 8, 122, {}, [this](int V) {
    if (Series && CanWrite(this)) Series->SetCandleWidth(V);
  });
  CBShowOpen = Check(this, o, "CBShowOpen", "Show &Open", 140, 8, 110);
  CBShowClose = Check(this, o, "CBShowClose", "Show &Close", 140, 32, 110);
  CBDraw3D = Check(this, o, "CBDraw3D", "Draw &3D", 140, 56, 110);
  CBDark3D = Check(this, o, "CBDark3D", "Dar&k 3D", 140, 80, 110);
  Button1 = GraphButton<TButtonPen>(this, o, "Button1", "Bo&rder...", 260, 8);
  BHighLow = GraphButton<TButtonPen>(this, o, "BHighLow", "&High-Low...", 260, 38);
  TTabSheet* c = TabSheet2;
  CBColorStyle =
      List(this, c, "CBColorStyle", "&Color style:", 8, 8, {"Relative to Open", "Relative to previous Close"}, 80, 170);
  BUpColor = GraphButton<TButtonColor>(this, c, "BUpColor", "&Up Close...", 8, 40);
  BDownColor = GraphButton<TButtonColor>(this, c, "BDownColor", "&Down Close...", 8, 70);
  BUpGradient = GraphButton<TButtonGradient>(this, c, "BUpGradient", "&Gradient...", 120, 40);
  BDownGradient = GraphButton<TButtonGradient>(this, c, "BDownGradient", "G&radient...", 120, 70);

  RGStyle->OnClick = [this](TObject*) {
    if (Series && RGStyle->ItemIndex() >= 0) Series->SetCandleStyle(static_cast<TCandleStyle>(RGStyle->ItemIndex()));
    ApplyStyleRule();
  };
  CBShowOpen->OnClick = [this](TObject*) {
    if (Series) Series->SetShowOpenTick(CBShowOpen->Checked());
  };
  CBShowClose->OnClick = [this](TObject*) {
    if (Series) Series->SetShowCloseTick(CBShowClose->Checked());
  };
  CBDraw3D->OnClick = [this](TObject*) {
    if (Series) Series->SetDraw3D(CBDraw3D->Checked());
  };
  CBDark3D->OnClick = [this](TObject*) {
    if (Series) Series->SetCandleDark3D(CBDark3D->Checked());
  };
  CBColorStyle->OnChange = [this](TObject*) {
    if (Series && CBColorStyle->ItemIndex() >= 0)
      Series->SetColorStyle(static_cast<TCandleColorStyle>(CBColorStyle->ItemIndex()));
  };
  PageControl1->SetActivePage(TabSheet2);
  OnShow = [this](TObject*) { FormShow(); };
}

void TCandleEditor::ApplyStyleRule() {
  const int s = RGStyle->ItemIndex();
  CBShowOpen->SetEnabled(s == csCandleBar);
  CBShowClose->SetEnabled(s == csCandleBar);
  CBDraw3D->SetEnabled(s == csCandleStick || s == csOpenClose);
  CBDark3D->SetEnabled(s == csCandleStick || s == csOpenClose);
  CandleWidth.SetEnabled(s != csLine);
  Button1->HidesColorButton = s == csLine || s == csCandleBar;
}

void TCandleEditor::FormShow() {
  Series = Tagged<TCandleSeries>(this);
  if (!Series) return;
  RGStyle->SetItemIndex(static_cast<int>(Series->CandleStyle()));
  CandleWidth.Set(Series->CandleWidth());
  CBShowOpen->SetChecked(Series->ShowOpenTick());
  CBShowClose->SetChecked(Series->ShowCloseTick());
  CBDraw3D->SetChecked(Series->Draw3D());
  CBDark3D->SetChecked(Series->CandleDark3D());
  Button1->LinkPen(Series->CandlePen());
  BHighLow->LinkPen(Series->HighLowPen());
  CBColorStyle->SetItemIndex(static_cast<int>(Series->ColorStyle()));
  BUpGradient->LinkGradient(Series->UpCloseGradient());
  BDownGradient->LinkGradient(Series->DownCloseGradient());
  ApplyStyleRule();
  BUpColor->LinkProperty(Series, "UpCloseColor");
  BDownColor->LinkProperty(Series, "DownCloseColor");
}

// ---------------------------------------------------------------------------------------------
// THighLowEditor

THighLowEditor::THighLowEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 360, 160);
  BPen = GraphButton<TButtonPen>(this, this, "BPen", "&Lines...", 8, 8);
  BHighPen = GraphButton<TButtonPen>(this, this, "BHighPen", "&High...", 8, 38);
  BLowPen = GraphButton<TButtonPen>(this, this, "BLowPen", "L&ow...", 8, 68);
  BBrush = Button(this, this, "BBrush", "&Pattern...", 120, 38);
  BLowBrush = Button(this, this, "BLowBrush", "P&attern...", 120, 68);
  CBColorEach = Check(this, this, "CBColorEach", "Colo&r Each", 232, 10, 110);
  BColor = GraphButton<TButtonColor>(this, this, "BColor", "&Color...", 232, 38);
  Transp = IntField(this, this, "Edit1", "UDTransp", "LTransp", "&Transparency:", 8, 104, {0, 100, 5}, [this](int V) {
    if (Series && CanWrite(this)) Series->SetTransparency(V);
  });
  BBrush->OnClick = [this](TObject*) {
    if (Series) ShowBrushDialog(this, Series->HighBrush());
  };
  BLowBrush->OnClick = [this](TObject*) {
    if (Series) ShowBrushDialog(this, Series->LowBrush());
  };
  CBColorEach->OnClick = [this](TObject*) {
    if (Series) Series->SetColorEachPoint(CBColorEach->Checked());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void THighLowEditor::FormShow() {
  Series = Tagged<THighLowSeries>(this);
  if (!Series) return;
  BPen->LinkPen(Series->Pen());
  BHighPen->LinkPen(Series->HighPen());
  BLowPen->LinkPen(Series->LowPen());
  CBColorEach->SetChecked(Series->ColorEachPoint());
  BColor->LinkProperty(Series, "SeriesColor");
  Transp.Set(Series->Transparency());
}

// ---------------------------------------------------------------------------------------------
// TArrowSeriesEditor

TArrowSeriesEditor::TArrowSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 360, 160);
  ArrowWidth =
      IntField(this, this, "SEArrowWidth", "UDArrowWidth", "LArrowWidth", "&Width:", 8, 8, {1, 100}, [this](int V) {
        if (Series && CanWrite(this)) Series->SetArrowWidth(V);
      });
  ArrowHeight = IntField(this, this, "SEArrowHeight", "UDArrowHeight", "LArrowHeight", "&Height:", 8, 38, {1, 100},
                         [this](int V) {
                           if (Series && CanWrite(this)) Series->SetArrowHeight(V);
                         });
  auto* ls = Make<TLabel>(this, this, "LSize", "&Size:", 8, 72, 90, 16);
  SBPercent = Make<TScrollBar>(this, this, "SBPercent", "", 98, 70, 120, 18);
  SBPercent->SetParams(50, 0, 100);
  SBPercent->SetTabStop(true);
  ls->SetFocusControl(SBPercent);
  LPercent = Make<TLabel>(this, this, "LPercent", "50%", 226, 72, 50, 16);
  BPen = GraphButton<TButtonPen>(this, this, "BPen", "&Border...", 8, 100);
  BBrush = Button(this, this, "BBrush", "&Pattern...", 120, 100);
  CBColorEach = Check(this, this, "CBColorEach", "Color &Each", 240, 10, 110);
  BArrowColor = GraphButton<TButtonColor>(this, this, "BArrowColor", "&Color...", 240, 38);
  SBPercent->OnChange = [this](TObject*) {
    if (!Series || !CanWrite(this)) return;
    Series->SetArrowPercent(SBPercent->Position());
    LPercent->SetCaption(IntToStr(SBPercent->Position()) + "%");
  };
  BBrush->OnClick = [this](TObject*) {
    if (Series) ShowBrushDialog(this, Series->Pointer()->Brush());
  };
  CBColorEach->OnClick = [this](TObject*) {
    if (!Series) return;
    Series->SetColorEachPoint(CBColorEach->Checked());
    BArrowColor->SetEnabled(!Series->ColorEachPoint());
    if (Series->ColorEachPoint()) Series->Pointer()->Brush()->SetColor(clAutoColor);
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TArrowSeriesEditor::FormShow() {
  Series = Tagged<TArrowSeries>(this);
  if (!Series) return;
  ArrowWidth.Set(Series->ArrowWidth());
  ArrowHeight.Set(Series->ArrowHeight());
  SBPercent->SetPosition(Series->ArrowPercent());
  LPercent->SetCaption(IntToStr(Series->ArrowPercent()) + "%");
  BPen->LinkPen(Series->Pointer()->Pen());
  CBColorEach->SetChecked(Series->ColorEachPoint());
  BArrowColor->LinkProperty(Series, "SeriesColor");
}

// ---------------------------------------------------------------------------------------------
// TGanttSeriesEditor

TGanttSeriesEditor::TGanttSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 360, 140);
  PointVertSize = IntField(this, this, "SEPointVertSize", "UDPointVertSize", "LPointVertSize", "&Height:", 8, 8,
                           {1, 1000}, [this](int V) {
                             if (Series && CanWrite(this)) Series->Pointer()->SetVertSize(V);
                           });
  BConnLines = GraphButton<TButtonPen>(this, this, "BConnLines", "Co&nnecting Lines...", 8, 40, 140);
  CBColorEach = Check(this, this, "CBColorEach", "Color &Each", 180, 10, 110);
  BColor = GraphButton<TButtonColor>(this, this, "BColor", "&Color...", 180, 38);
  Transp = IntField(this, this, "Edit1", "UpDown1", "LTransp", "&Transparency:", 8, 76, {}, [this](int V) {
    if (Series && CanWrite(this)) Series->SetTransparencyValue(V);
  });
  CBColorEach->OnClick = [this](TObject*) {
    if (Series) Series->SetColorEachPoint(CBColorEach->Checked());
    ApplyColorEach(BColor, CBColorEach->Checked());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TGanttSeriesEditor::FormShow() {
  Series = Tagged<TGanttSeries>(this);
  if (!Series) return;
  PointVertSize.Set(Series->Pointer()->VertSize());
  BConnLines->LinkPen(Series->ConnectingPen());
  CBColorEach->SetChecked(Series->ColorEachPoint());
  Transp.Set(Series->Transparency());
  BColor->LinkProperty(Series, "SeriesColor");
  ApplyColorEach(BColor, Series->ColorEachPoint());
  if (!PointerForm) {
    PointerForm = InsertPointerEditor(Parent(), Series->Pointer(), MsgGalleryGantt);
    // This form's own height field edits the pointer's height.
    if (PointerForm) PointerForm->HideSizeControls();
  }
}

// ---------------------------------------------------------------------------------------------
// TChartShapeEditor

TChartShapeEditor::TChartShapeEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 420, 230);
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 0, 0, 420, 230);
  PageControl1->SetAlign(alClient);
  TabSheet1 = edkit::Tab(this, PageControl1, "TabSheet1", "Style");
  TabSheet2 = edkit::Tab(this, PageControl1, "TabSheet2", "Position");
  TabFont = edkit::Tab(this, PageControl1, "TabFont", "Text");
  TTabSheet* s = TabSheet1;
  CBStyle = List(this, s, "CBStyle", "&Style:", 8, 8,
                 {"Rectangle", "Circle", "Vertical Line", "Horiz. Line", "Triangle", "Invert. Triangle", "Line",
                  "Diamond", "Cube", "Cross", "Diagonal Cross", "Star", "Pyramid", "Invert. Pyramid"},
                 50, 130);
  BShapeColor = GraphButton<TButtonColor>(this, s, "BShapeColor", "&Color...", 8, 38);
  BShapePen = GraphButton<TButtonPen>(this, s, "BShapePen", "Bor&der...", 8, 68);
  BShapeBrush = Button(this, s, "BShapeBrush", "&Pattern...", 8, 98);
  BGradient = GraphButton<TButtonGradient>(this, s, "BGradient", "&Gradient...", 8, 128);
  CBTrans = Check(this, s, "CBTrans", "Tra&nsparent", 8, 158, 110);
  CBRound = Check(this, s, "CBRound", "&Round Rectangle", 8, 180, 140);
  auto* lt = Make<TLabel>(this, s, "LText", "Te&xt:", 196, 8, 60, 16);
  MemoText = Make<TMemo>(this, s, "MemoText", "", 196, 26, 210, 60);
  lt->SetFocusControl(MemoText);
  RGAlign = Radio(this, s, "RGAlign", "&Horiz. Alignment", 196, 90, 210, 44, {"Left", "Center", "Right"}, 3);
  RGVertAlign = Radio(this, s, "RGVertAlign", "&Alignment", 196, 136, 210, 66, {"Top", "Center", "Bottom"});
  TTabSheet* p = TabSheet2;
  const char* names[] = {"SEX0", "SEY0", "SEX1", "SEY1"};
  const char* captions[] = {"&Left:", "&Top:", "&Right", "&Bottom:"};
  TEdit** edits[] = {&SEX0, &SEY0, &SEX1, &SEY1};
  for (int i = 0; i < 4; ++i) {
    auto* l = Make<TLabel>(this, p, (std::string("L") + names[i]).c_str(), captions[i], 8, 11 + 30 * i, 60, 16);
    TEdit* e = Make<TEdit>(this, p, names[i], "", 70, 8 + 30 * i, 90, 22);
    l->SetFocusControl(e);
    *edits[i] = e;
    e->OnChange = [this, e, i](TObject*) {
      double v = 0;
      // Text that is not a number leaves the corner where it is.
      if (!Shape || Loading || !Showing() || Trim(e->Text()).empty() || !TryStrToFloat(Trim(e->Text()), v)) return;
      if (i == 0) Shape->SetX0(v);
      if (i == 1) Shape->SetY0(v);
      if (i == 2) Shape->SetX1(v);
      if (i == 3) Shape->SetY1(v);
    };
  }
  CBUnits = List(this, p, "CBUnits", "&Units:", 8, 130, {"Pixels", "Axis", "Axis Origin"}, 60, 120);
  FontEditor = InsertFontEditor(TabFont);

  CBStyle->OnChange = [this](TObject*) {
    if (Shape && CBStyle->ItemIndex() >= 0) Shape->SetStyle(static_cast<TChartShapeStyle>(CBStyle->ItemIndex()));
    CBRound->SetEnabled(CBStyle->ItemIndex() == chasRectangle);
  };
  BShapeBrush->OnClick = [this](TObject*) {
    if (!Shape) return;
    ShowBrushDialog(this, Shape->Brush());
    BShapeColor->Repaint();
  };
  CBTrans->OnClick = [this](TObject*) {
    if (Shape) Shape->SetTransparent(CBTrans->Checked());
  };
  MemoText->OnChange = [this](TObject*) {
    if (Shape && !Loading) Shape->SetText(MemoText->Lines());
  };
  RGAlign->OnClick = [this](TObject*) {
    const TAlignment a[] = {taLeftJustify, taCenter, taRightJustify};
    if (Shape && RGAlign->ItemIndex() >= 0) Shape->SetAlignment(a[RGAlign->ItemIndex()]);
  };
  RGVertAlign->OnClick = [this](TObject*) {
    if (Shape && RGVertAlign->ItemIndex() >= 0)
      Shape->SetVertAlign(static_cast<TGraphVertAlign>(RGVertAlign->ItemIndex()));
  };
  CBRound->OnClick = [this](TObject*) {
    if (Shape) Shape->SetRoundRectangle(CBRound->Checked());
  };
  CBUnits->OnChange = [this](TObject*) {
    if (Shape && CBUnits->ItemIndex() >= 0) Shape->SetXYStyle(static_cast<TChartShapeXYStyle>(CBUnits->ItemIndex()));
  };
  PageControl1->SetActivePage(TabSheet1);
  OnShow = [this](TObject*) { FormShow(); };
}

void TChartShapeEditor::FormShow() {
  SetAlign(alClient);
  Shape = Tagged<TChartShape>(this);
  if (Shape) {
    Loading = true;
    CBStyle->SetItemIndex(static_cast<int>(Shape->Style()));
    CBTrans->SetChecked(Shape->Transparent());
    if (Shape->Count() == 2) {
      // Filled while loading, so the texts do not write the corners back.
      SEX0->SetText(FloatToStr(Shape->X0()));
      SEY0->SetText(FloatToStr(Shape->Y0()));
      SEX1->SetText(FloatToStr(Shape->X1()));
      SEY1->SetText(FloatToStr(Shape->Y1()));
    }
    MemoText->SetFont(Shape->Font());
    MemoText->Lines()->Assign(*Shape->Text());
    const TAlignment al = Shape->Alignment();
    RGAlign->SetItemIndex(al == taLeftJustify ? 0 : al == taCenter ? 1 : 2);
    RGVertAlign->SetItemIndex(static_cast<int>(Shape->VertAlign()));
    CBRound->SetChecked(Shape->RoundRectangle());
    TCustomAxisPanel* chart = Shape->ParentChart();
    CBRound->SetEnabled(Shape->Style() == chasRectangle && !(chart && chart->View3D()));
    CBUnits->SetItemIndex(static_cast<int>(Shape->XYStyle()));
    BShapePen->LinkPen(Shape->Pen());
    FontEditor->RefreshControls(Shape->Font());
    BGradient->LinkGradient(Shape->Gradient());
    BShapeColor->LinkProperty(Shape, "SeriesColor");
  }
  Loading = false;
}

// ---------------------------------------------------------------------------------------------
// TPointFigureEditor

TPointFigureEditor::TPointFigureEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 300, 90);
  auto* lb = Make<TLabel>(this, this, "LBoxSize", "&Box size:", 8, 11, 120, 16);
  EBoxSize = Make<TEdit>(this, this, "EBoxSize", "1", 130, 8, 80, 22);
  lb->SetFocusControl(EBoxSize);
  auto* lr = Make<TLabel>(this, this, "LReversal", "&Reversal amount:", 8, 41, 120, 16);
  EReversal = Make<TEdit>(this, this, "EReversal", "3", 130, 38, 80, 22);
  lr->SetFocusControl(EReversal);
  EBoxSize->OnChange = [this](TObject*) {
    if (Series && CanWrite(this, FLoading)) Series->SetBoxSize(EditFloatDef(EBoxSize, Series->BoxSize()));
  };
  EReversal->OnChange = [this](TObject*) {
    if (Series && CanWrite(this, FLoading))
      Series->SetReversalAmount(EditFloatDef(EReversal, Series->ReversalAmount()));
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TPointFigureEditor::FormShow() {
  Series = Tagged<TPointFigureSeries>(this);
  if (!Series) return;
  {
    edkit::TFlagGuard loading(FLoading);
    EReversal->SetText(FloatToStr(Series->ReversalAmount()));
    EBoxSize->SetText(FloatToStr(Series->BoxSize()));
  }
  if (!Parent()) return;
  if (!UpForm) UpForm = InsertPointerEditor(Parent(), Series->UpSymbol(), "Up");
  if (!DownForm) DownForm = InsertPointerEditor(Parent(), Series->DownSymbol(), "Down");
}

void RegisterFinancialEditorForms() {
  RegisterClasses({TCandleEditor::StaticClass(), THighLowEditor::StaticClass(), TArrowSeriesEditor::StaticClass(),
                   TGanttSeriesEditor::StaticClass(), TChartShapeEditor::StaticClass(),
                   TPointFigureEditor::StaticClass()});
}
