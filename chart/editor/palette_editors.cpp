#include "chart/editor/palette_editors.h"

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/page_kit.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/point3d_series.h"
#include "chart/extra/trisurface_series.h"
#include "chart/extra/vector_tower_series.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TTriSurfaceSeriesEditor)
VM_DEFINE_CLASS(TTowerSeriesEditor)
VM_DEFINE_CLASS(TVectorSeriesEditor)
VM_DEFINE_CLASS(TPoint3DSeriesEditor)

using edkit::Make;

namespace {

TCheckBox* Check(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                 int W = 140) {
  return Make<TCheckBox>(Owner, Parent, Name, Caption, X, Y, W, 20);
}

}  // namespace

void ShowPointerTab(TSeriesPointerEditor*& Ref, TForm* Editor, TSeriesPointer* Pointer, const std::string& Caption) {
  if (!Ref) {
    Ref = InsertPointerEditor(Editor->Parent(), Pointer, Caption);
  } else if (Ref->Pointer != Pointer) {
    Ref->SetTag(reinterpret_cast<intptr_t>(static_cast<TObject*>(Pointer)));
    Ref->FormShow();
  }
}

// ---------------------------------------------------------------------------------------------
// TTriSurfaceSeriesEditor

TTriSurfaceSeriesEditor::TTriSurfaceSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 320, 150);
  SetAlign(alClient);
  Button2 = Make<TButtonPen>(this, this, "Button2", "&Pen...", 8, 8, 100, 25);
  Button1 = Make<TButtonPen>(this, this, "Button1", "&Outline...", 8, 40, 100, 25);
  Button3 = Make<TButton>(this, this, "Button3", "&Brush...", 8, 72, 100, 25);
  CBFastBrush = Check(this, this, "CBFastBrush", "&Fast Brush", 120, 10);
  CBHide = Check(this, this, "CBHide", "&Hide Triangles", 120, 42, 160);
  CBHide->SetChecked(true);
  Transp = sekit::IntField(this, this, "ETransp", "UDTransp", "", "Tra&nsparency:", 8, 108, {0, 100}, [this](int V) {
    if (TriSurface && Showing() && !FLoading) TriSurface->SetTransparency(V);
  });
  Button3->OnClick = [this](TObject*) {
    if (TriSurface) ShowBrushDialog(this, TriSurface->Brush());
  };
  CBFastBrush->OnClick = [this](TObject*) {
    if (TriSurface && !FLoading) TriSurface->SetFastBrush(CBFastBrush->Checked());
  };
  CBHide->OnClick = [this](TObject*) {
    if (TriSurface && !FLoading) TriSurface->SetHideTriangles(CBHide->Checked());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TTriSurfaceSeriesEditor::FormShow() {
  auto* s = dynamic_cast<TCustomTriSurfaceSeries*>(EmbeddedObject(this));
  if (!s) return;
  TriSurface = s;
  {
    edkit::TFlagGuard g(FLoading);
    Button2->LinkPen(s->Pen());
    Button1->LinkPen(s->Border());
    CBFastBrush->SetChecked(s->FastBrush());
    CBHide->SetChecked(s->HideTriangles());
    Transp.UpDown->SetPosition(s->Transparency());
  }
  ShowGrid3DEditor(Grid3DForm, this, s);
}

// ---------------------------------------------------------------------------------------------
// TTowerSeriesEditor

TTowerSeriesEditor::TTowerSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 380, 200);
  SetAlign(alClient);
  CBStyle = Make<TComboFlat>(this, this, "CBStyle", "", 60, 8, 120, 22);
  CBStyle->SetStyle(csDropDownList);
  for (const char* s : {"Cube", "Rectangle", "Cover", "Cylinder", "Arrow", "Cone", "Pyramid", "Slant Cube"})
    CBStyle->Items()->Add(s);
  Make<TLabel>(this, this, "LStyle", "&Style:", 8, 11, 50, 16)->SetFocusControl(CBStyle);
  ButtonPen1 = Make<TButtonPen>(this, this, "ButtonPen1", "&Border...", 8, 40, 100, 25);
  Button1 = Make<TButton>(this, this, "Button1", "&Pattern...", 116, 40, 100, 25);
  CBDark3D = Check(this, this, "CBDark3D", "&Dark 3D", 230, 42, 120);
  CBDark3D->SetChecked(true);
  auto* origin = Make<TGroupBox>(this, this, "GroupBox1", "Origin:", 4, 72, 170, 76);
  CBOrigin = Check(this, origin, "CBOrigin", "&Use Origin", 8, 18, 150);
  EOrigin = Make<TEdit>(this, origin, "EOrigin", "", 8, 44, 100, 22);
  auto* percent = Make<TGroupBox>(this, this, "GroupBox2", "&Percent:", 180, 72, 190, 76);
  Depth = sekit::IntField(
      this, percent, "Edit1", "UDDepth", "", "&Depth:", 8, 18, {0, 100, 5},
      [this](int V) {
        if (Tower && Showing() && !FLoading) Tower->SetPercentDepth(V);
      },
      60);
  Width = sekit::IntField(
      this, percent, "Edit2", "UDWidth", "", "&Width:", 8, 46, {0, 100, 5},
      [this](int V) {
        if (Tower && Showing() && !FLoading) Tower->SetPercentWidth(V);
      },
      60);
  Transp = sekit::IntField(this, this, "Edit3", "UDTransp", "", "&Transparency:", 8, 160, {0, 100, 5}, [this](int V) {
    if (Tower && Showing() && !FLoading) Tower->SetTransparency(V);
  });
  CBStyle->OnChange = [this](TObject*) {
    if (Tower && !FLoading && CBStyle->ItemIndex() >= 0)
      Tower->SetTowerStyle(static_cast<TTowerStyle>(CBStyle->ItemIndex()));
  };
  Button1->OnClick = [this](TObject*) {
    if (Tower) ShowBrushDialog(this, Tower->Brush());
  };
  CBDark3D->OnClick = [this](TObject*) {
    if (Tower && !FLoading) Tower->SetDark3D(CBDark3D->Checked());
  };
  CBOrigin->OnClick = [this](TObject*) {
    if (Tower && !FLoading) Tower->SetUseOrigin(CBOrigin->Checked());
  };
  EOrigin->OnChange = [this](TObject*) {
    if (!Tower || FLoading) return;
    double v = 0;
    Tower->SetOrigin(TryStrToFloat(Trim(EOrigin->Text()), v) ? v : Tower->Origin());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TTowerSeriesEditor::FormShow() {
  auto* s = dynamic_cast<TTowerSeries*>(EmbeddedObject(this));
  if (!s) return;
  Tower = s;
  {
    edkit::TFlagGuard g(FLoading);
    CBStyle->SetItemIndex(static_cast<int>(s->TowerStyle()));
    ButtonPen1->LinkPen(s->Pen());
    CBDark3D->SetChecked(s->Dark3D());
    CBOrigin->SetChecked(s->UseOrigin());
    EOrigin->SetText(FloatToStr(s->Origin()));
    Depth.UpDown->SetPosition(s->PercentDepth());
    Width.UpDown->SetPosition(s->PercentWidth());
    Transp.UpDown->SetPosition(s->Transparency());
  }
  ShowGrid3DEditor(Grid3DForm, this, s);
}

// ---------------------------------------------------------------------------------------------
// TVectorSeriesEditor

TVectorSeriesEditor::TVectorSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 320, 140);
  SetAlign(alClient);
  BStart = Make<TButtonPen>(this, this, "BStart", "&Start...", 8, 8, 100, 25);
  CBStart = Check(this, this, "CBStart", "Default color", 120, 10);
  BEnd = Make<TButtonPen>(this, this, "BEnd", "&End...", 8, 40, 100, 25);
  CBEnd = Check(this, this, "CBEnd", "Default color", 120, 42);
  ArrowWidth = sekit::IntField(this, this, "Edit1", "UDWidth", "", "Arrow &Width:", 8, 76, {1, 1000}, [this](int V) {
    if (Vector && Showing() && !FLoading) Vector->SetArrowWidth(V);
  });
  ArrowHeight =
      sekit::IntField(this, this, "Edit2", "UDHeight", "", "Arrow &Height:", 8, 104, {1, 1000}, [this](int V) {
        if (Vector && Showing() && !FLoading) Vector->SetArrowHeight(V);
      });
  CBStart->OnClick = [this](TObject*) {
    if (!Vector || FLoading) return;
    Vector->StartArrow()->SetColor(CBStart->Checked() ? clAutoColor : clBlack);
    BStart->Invalidate();
  };
  CBEnd->OnClick = [this](TObject*) {
    if (!Vector || FLoading) return;
    Vector->EndArrow()->SetColor(CBEnd->Checked() ? clAutoColor : clBlack);
    BEnd->Invalidate();
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TVectorSeriesEditor::FormShow() {
  auto* s = dynamic_cast<TVector3DSeries*>(EmbeddedObject(this));
  if (!s) return;
  Vector = s;
  {
    edkit::TFlagGuard g(FLoading);
    BStart->LinkPen(s->StartArrow());
    BEnd->LinkPen(s->EndArrow());
    ArrowWidth.UpDown->SetPosition(s->ArrowWidth());
    ArrowHeight.UpDown->SetPosition(s->ArrowHeight());
    CBStart->SetChecked(s->StartArrow()->Color() == clAutoColor);
    CBEnd->SetChecked(s->EndArrow()->Color() == clAutoColor);
  }
  ShowGrid3DEditor(Grid3DForm, this, s);
}

// ---------------------------------------------------------------------------------------------
// TPoint3DSeriesEditor

TPoint3DSeriesEditor::TPoint3DSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 320, 130);
  SetAlign(alClient);
  PointDepth = sekit::IntField(this, this, "SEPointDepth", "UDPointDepth", "", "Depth:", 8, 8, {0, 100}, [this](int V) {
    if (Point3D && Showing() && !FLoading) Point3D->SetDepthSize(V);
  });
  Button1 = Make<TButtonPen>(this, this, "Button1", "&Line...", 8, 40, 100, 25);
  BBasePen = Make<TButtonPen>(this, this, "BBasePen", "&Base line...", 116, 40, 100, 25);
  CBColorEach = Check(this, this, "CBColorEach", "Color &Each", 8, 76, 104);
  BColor = Make<TButtonColor>(this, this, "BColor", "&Color...", 116, 72, 100, 25);
  CBColorEach->OnClick = [this](TObject*) {
    if (!Point3D || FLoading) return;
    Point3D->SetColorEachPoint(CBColorEach->Checked());
    BColor->SetEnabled(!Point3D->ColorEachPoint());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TPoint3DSeriesEditor::FormShow() {
  auto* s = dynamic_cast<TPoint3DSeries*>(EmbeddedObject(this));
  if (!s) return;
  Point3D = s;
  {
    edkit::TFlagGuard g(FLoading);
    PointDepth.UpDown->SetPosition(sekit::RoundToField(s->DepthSize()));
    Button1->LinkPen(s->LinePen());
    BBasePen->LinkPen(s->BaseLine());
    CBColorEach->SetChecked(s->ColorEachPoint());
    BColor->LinkProperty(s, "SeriesColor");
    BColor->SetEnabled(!s->ColorEachPoint());
  }
  ShowPointerTab(PointerForm, this, s->Pointer(), MsgGalleryPoint);
}

void RegisterPaletteEditorForms() {
  for (TComponentClass c : {TTriSurfaceSeriesEditor::StaticClass(), TTowerSeriesEditor::StaticClass(),
                            TVectorSeriesEditor::StaticClass(), TPoint3DSeriesEditor::StaticClass()})
    RegisterClass(c);
}
