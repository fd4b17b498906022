#include "chart/editor/bar_editors.h"

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/gradient_editor.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/extra/image_series.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/point_bar_variants.h"
#include "chart/series/bar_gradient.h"
#include "chart/series/bar_series.h"
#include "chart/series/error_series.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TBarSeriesEditor)
VM_DEFINE_CLASS(TStackBarSeriesEditor)
VM_DEFINE_CLASS(TBarJoinEditor)
VM_DEFINE_CLASS(TImageBarSeriesEditor)
VM_DEFINE_CLASS(TErrorSeriesEditor)

using edkit::Make;
using namespace sekit;

// ---------------------------------------------------------------------------------------------
// TBarSeriesEditor

TBarSeriesEditor::TBarSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 400, 210);
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 0, 0, 400, 210);
  PageControl1->SetAlign(alClient);
  TabSheet1 = edkit::Tab(this, PageControl1, "TabSheet1", "Format");
  TabSheet2 = edkit::Tab(this, PageControl1, "TabSheet2", "Size");
  TTabSheet* f = TabSheet1;
  CBBarStyle = List(this, f, "CBBarStyle", "St&yle:", 8, 8,
                    {"Rectangle", "Pyramid", "Invert. Pyramid", "Cylinder", "Ellipse", "Arrow", "Rect. Gradient",
                     "Cone", "Bevel", "Slant Cube", "Diamond", "Invert. Arrow", "Invert. Cone"},
                    50, 130);
  LStyle = static_cast<TLabel*>(FindComponent("LCBBarStyle"));
  LStyle->SetName("LStyle");
  BBarPen = GraphButton<TButtonPen>(this, f, "BBarPen", "&Border...", 8, 38);
  BBarBrush = Button(this, f, "BBarBrush", "&Pattern...", 8, 68);
  CBColorEach = Check(this, f, "CBColorEach", "Color &Each", 8, 100, 110);
  BBarColor = GraphButton<TButtonColor>(this, f, "BBarColor", "&Color...", 8, 124);
  BGradient = Button(this, f, "BGradient", "&Gradient...", 196, 38);
  BTickLines = GraphButton<TButtonPen>(this, f, "BTickLines", "&Tick lines...", 196, 68);
  Bevel = IntField(this, f, "EBevel", "UDBevel", "LBevel", "Be&vel size:", 196, 100, {}, [this](int V) {
    if (Series && !Loading) Series->SetBevelSize(V);
  });
  CBDarkBar = Check(this, f, "CBDarkBar", "&Dark Bar 3D Sides", 196, 128, 150);
  CBMarksAutoPosition = Check(this, f, "CBMarksAutoPosition", "&Auto Mark Position", 196, 150, 150);
  TTabSheet* s = TabSheet2;
  BarWidth =
      IntField(this, s, "SEBarwidth", "UDBarWidth", "LBarWidth", "% Bar &Width:", 8, 8, {1, 100, 5}, [this](int V) {
        if (Series && !Loading) Series->SetBarWidthPercent(V);
      });
  BarOffset = IntField(this, s, "SEBarOffset", "UDBarOffset", "LBarOffset", "% Bar O&ffset:", 8, 38, {-100, 100, 5},
                       [this](int V) {
                         if (Series && !Loading) Series->SetOffsetPercent(V);
                       });
  Depth = IntField(this, s, "Edit1", "UDDepth", "LDepth", "% Bar &Depth:", 8, 68, {1, 100, 5}, [this](int V) {
    if (Series && !Loading) Series->SetDepthPercent(V);
  });
  CBBarSideMargins = Check(this, s, "CBBarSideMargins", "Bar S&ide Margins", 8, 100, 150);

  CBBarStyle->OnChange = [this](TObject*) {
    if (Series && !Loading && CBBarStyle->ItemIndex() >= 0)
      Series->SetBarStyle(static_cast<TBarStyle>(CBBarStyle->ItemIndex()));
    ApplyStyleRule();
  };
  BBarBrush->OnClick = [this](TObject*) {
    if (Series) ShowBrushDialog(this, Series->BarBrush());
  };
  CBColorEach->OnClick = [this](TObject*) {
    if (Series && !Loading) Series->SetColorEachPoint(CBColorEach->Checked());
    ApplyColorRule();
  };
  BGradient->OnClick = [this](TObject*) { BGradientClick(); };
  CBDarkBar->OnClick = [this](TObject*) {
    if (Series && !Loading) Series->SetDark3D(CBDarkBar->Checked());
  };
  CBBarSideMargins->OnClick = [this](TObject*) {
    if (Series && !Loading) Series->SetSideMargins(CBBarSideMargins->Checked());
  };
  CBMarksAutoPosition->OnClick = [this](TObject*) {
    if (Series) Series->SetAutoMarkPosition(CBMarksAutoPosition->Checked());
  };
  PageControl1->SetActivePage(TabSheet1);
  OnShow = [this](TObject*) { FormShow(); };
}

void TBarSeriesEditor::ApplyStyleRule() {
  const int style = CBBarStyle->ItemIndex();
  BGradient->SetEnabled(style == bsRectangle || style == bsRectGradient);
  Bevel.SetEnabled(style == bsBevel);
}

void TBarSeriesEditor::ApplyColorRule() { ApplyColorEach(BBarColor, CBColorEach->Checked()); }

void TBarSeriesEditor::BGradientClick() {
  if (!Series) return;
  Series->SetBarStyle(bsRectGradient);
  CBBarStyle->SetItemIndex(bsRectGradient);
  ApplyStyleRule();
  ShowGradientDialog(this, Series->Gradient(), true, true);
}

void TBarSeriesEditor::FormShow() {
  Series = Tagged<TCustomBarSeries>(this);
  if (Series) {
    CBBarStyle->SetItemIndex(static_cast<int>(Series->BarStyle()));
    BBarPen->LinkPen(Series->BarPen());
    CBColorEach->SetChecked(Series->ColorEachPoint());
    BTickLines->LinkPen(Series->TickLines());
    Bevel.Set(Series->BevelSize());
    CBDarkBar->SetChecked(Series->Dark3D());
    BarWidth.Set(Series->BarWidthPercent());
    BarOffset.Set(Series->OffsetPercent());
    Depth.Set(Series->DepthPercent());
    CBBarSideMargins->SetChecked(Series->SideMargins());
    CBMarksAutoPosition->SetChecked(Series->AutoMarkPosition());
    ApplyStyleRule();
    BBarColor->LinkProperty(Series, "SeriesColor");
    ApplyColorRule();
    if (Parent()) InsertTabOnce(StackForm, this, 1, Series, MsgStyleStack);
  }
  Loading = false;
}

// ---------------------------------------------------------------------------------------------
// TStackBarSeriesEditor

TStackBarSeriesEditor::TStackBarSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 360, 190);
  RGMultiBar = Radio(this, this, "RGMultiBar", "&Multiple Bar:", 8, 4, 130, 170,
                     {"None", "Side", "Stacked", "Stacked 100%", "Side All", "Self Stack"});
  Group = IntField(this, this, "EGroup", "UDGroup", "LGroup", "&Stack Group:", 150, 12, {}, [this](int V) {
    if (Series && !Loading) Series->SetStackGroup(V);
  });
  CBYOrigin = Check(this, this, "CBYOrigin", "Use &Origin:", 150, 46, 100);
  EYOrigin = Make<TEdit>(this, this, "EYOrigin", "", 250, 44, 70, 22);
  RGMultiBar->OnClick = [this](TObject*) {
    if (Series && !Loading && RGMultiBar->ItemIndex() >= 0)
      Series->SetMultiBar(static_cast<TMultiBar>(RGMultiBar->ItemIndex()));
    ApplyGroupRule();
  };
  CBYOrigin->OnClick = [this](TObject*) {
    if (!Series || Loading) return;
    Series->SetUseYOrigin(CBYOrigin->Checked());
    EYOrigin->SetEnabled(CBYOrigin->Checked());
    if (EYOrigin->Enabled() && EYOrigin->CanFocus()) EYOrigin->SetFocus();
  };
  EYOrigin->OnChange = [this](TObject*) {
    double v = 0;
    if (Series && !Loading && TryStrToFloat(Trim(EYOrigin->Text()), v)) Series->SetYOrigin(v);
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TStackBarSeriesEditor::ApplyGroupRule() {
  const int m = RGMultiBar->ItemIndex();
  Group.SetEnabled(m == mbStacked || m == mbStacked100);
}

void TStackBarSeriesEditor::FormShow() {
  Loading = true;  // shown again too: the origin's text must not be written back
  Series = Tagged<TCustomBarSeries>(this);
  if (Series) {
    CBYOrigin->SetChecked(Series->UseYOrigin());
    EYOrigin->SetText(FloatToStr(Series->YOrigin()));
    EYOrigin->SetEnabled(Series->UseYOrigin());
    RGMultiBar->SetItemIndex(static_cast<int>(Series->MultiBar()));
    Group.Set(Series->StackGroup());
    ApplyGroupRule();
  }
  Loading = false;
}

// ---------------------------------------------------------------------------------------------
// TBarJoinEditor

TBarJoinEditor::TBarJoinEditor(TComponent* AOwner) : TBarSeriesEditor(AOwner) {
  BJoin = GraphButton<TButtonPen>(this, TabSheet1, "BJoin", "&Join...", 8, 152);
  OnShow = [this](TObject*) {
    FormShow();
    if (auto* s = Tagged<TBarJoinSeries>(this)) BJoin->LinkPen(s->JoinPen());
  };
}

// ---------------------------------------------------------------------------------------------
// TImageBarSeriesEditor

TImageBarSeriesEditor::TImageBarSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 300, 170);
  auto* g = Group(this, this, "GBImage", "Image:", 8, 4, 180, 150);
  Image1 = Make<TImage>(this, g, "Image1", "", 8, 18, 164, 124);
  Image1->SetStretch(true);
  CBTiled = Check(this, this, "CBTiled", "&Tiled", 196, 12, 90);
  BBrowse = Button(this, this, "BBrowse", "&Browse...", 196, 40, 90);
  CBTiled->OnClick = [this](TObject*) {
    if (Series) Series->SetImageTiled(CBTiled->Checked());
  };
  BBrowse->OnClick = [this](TObject*) { BBrowseClick(); };
  OnShow = [this](TObject*) { FormShow(); };
}

void TImageBarSeriesEditor::ApplyPictureRule() {
  const bool has = Series && Series->Image()->Graphic();
  CBTiled->SetEnabled(has);
  BBrowse->SetCaption(has ? MsgEdClear : MsgEdBrowse);
  if (Series) Image1->Picture()->Assign(Series->Image());
}

void TImageBarSeriesEditor::BBrowseClick() {
  if (!Series) return;
  LoadOrClearPicture(this, Series->Image());
  Series->Repaint();
  ApplyPictureRule();
}

void TImageBarSeriesEditor::FormShow() {
  Series = Tagged<TImageBarSeries>(this);
  if (Series) {
    CBTiled->SetChecked(Series->ImageTiled());
    if (!BarForm && InsertTabOnce(BarForm, this, 1, Series, MsgGalleryBar)) {
      BarForm->LStyle->SetVisible(false);
      BarForm->CBBarStyle->SetVisible(false);
    }
  }
  ApplyPictureRule();
}

// ---------------------------------------------------------------------------------------------
// TErrorSeriesEditor

TErrorSeriesEditor::TErrorSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 400, 170);
  ErrorWidth = IntField(this, this, "SEBarwidth", "UDBarWidth", "LWidth", "Error &Width:", 8, 8, {}, [this](int V) {
    if (Series && CanWrite(this)) Series->SetErrorWidth(V);
  });
  RGWidthUnit = Radio(this, this, "RGWidthUnit", "Width Units:", 8, 38, 150, 64, {"P&ercent", "P&ixels"});
  CBColorEach = Check(this, this, "CBColorEach", "&Color Each", 8, 110, 120);
  BPen = GraphButton<TButtonPen>(this, this, "BPen", "&Border...", 8, 134);
  RGStyle = Radio(this, this, "RGStyle", "Style:", 170, 4, 220, 96,
                  {"&Left", "&Right", "Left &and Right", "&Top", "&Bottom", "T&op and Bottom"}, 2);
  RGWidthUnit->OnClick = [this](TObject*) {
    if (Series) Series->SetErrorWidthUnits(RGWidthUnit->ItemIndex() == 0 ? ewuPercent : ewuPixels);
  };
  RGStyle->OnClick = [this](TObject*) {
    if (Series && CanWrite(this) && RGStyle->ItemIndex() >= 0)
      Series->SetErrorStyle(static_cast<TErrorSeriesStyle>(RGStyle->ItemIndex()));
  };
  CBColorEach->OnClick = [this](TObject*) {
    if (Series) Series->SetColorEachPoint(CBColorEach->Checked());
  };
  BPen->OnClick = [this](TObject*) {
    if (Series && !dynamic_cast<TErrorBarSeries*>(Series)) Series->SetSeriesColor(BPen->Pen()->Color());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TErrorSeriesEditor::FormShow() {
  Series = Tagged<TCustomErrorSeries>(this);
  if (!Series) return;
  RGStyle->SetVisible(dynamic_cast<TErrorSeries*>(Series) != nullptr);
  ErrorWidth.Set(Series->ErrorWidth());
  RGWidthUnit->SetItemIndex(Series->ErrorWidthUnits() == ewuPercent ? 0 : 1);
  if (RGStyle->Visible()) RGStyle->SetItemIndex(static_cast<int>(Series->ErrorStyle()));
  CBColorEach->SetChecked(Series->ColorEachPoint());
  BPen->LinkPen(Series->ErrorPen());
  if (dynamic_cast<TErrorBarSeries*>(Series)) InsertTabOnce(BarForm, this, 1, Series, MsgGalleryBar);
}

void RegisterBarEditorForms() {
  RegisterClasses({TBarSeriesEditor::StaticClass(), TStackBarSeriesEditor::StaticClass(), TBarJoinEditor::StaticClass(),
                   TImageBarSeriesEditor::StaticClass(), TErrorSeriesEditor::StaticClass()});
}
