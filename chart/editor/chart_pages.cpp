#include "chart/editor/chart_pages.h"

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/language.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/chart.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/graph_effects.h"
#include "chart/engine/graph_panel_ext.h"
#include "chart/engine/graph_shapes.h"
#include "chart/engine/legend.h"
#include "chart/engine/walls_titles.h"
#include "chart/extra/pen_dialog.h"
#include "chart/engine/engine_texts.h"
#include "platform/sysutils.h"
#include "platform/extctrls.h"

VM_DEFINE_CLASS(TFormGraphWall)
VM_DEFINE_CLASS(TFormGraphTitle)
VM_DEFINE_CLASS(TFormGraphPanel)
VM_DEFINE_CLASS(TFormGraphLegend)
VM_DEFINE_CLASS(TFormGraph3D)
VM_DEFINE_CLASS(TFormGraphGeneral)
VM_DEFINE_CLASS(TFormGraphPage)

using namespace edkit;

// ---------------------------------------------------------------------------------------------
// Walls

TFormGraphWall::TFormGraphWall(TComponent* AOwner, TChartWall* Wall)
    : TForm(AOwner), FChart(Wall ? Wall->Chart : nullptr), FWall(Wall) {
  SetName("FormGraphWall");
  SetBounds(0, 0, 440, 280);
  CBView3dWalls = Check(this, this, "CBView3dWalls", "&Visible Walls", 8, 6, [this](bool V) {
    if (!FLoading && FChart) FChart->SetView3DWalls(V);
  });
  AllSize = Spin(
      this, this, "AllSize", "Size:", 180, 4, 0, 100,
      [this](int V) {
        if (FLoading || !FChart) return;
        FChart->Walls()->SetSize(V);
        LoadWall();
      },
      40);
  TabSubWalls = Make<TPageControl>(this, this, "TabSubWalls", "", 0, 32, 440, 248);
  for (const char* c : {"Left", "Right", "Bottom", "Back"}) Tab(this, TabSubWalls, c, c);
  TabSubWalls->OnChange = [this](TObject*) { SelectWall(TabSubWalls->ActivePageIndex()); };
  TTabSheet* t = TabSubWalls->Pages(0);
  // The controls live on the first sheet and move with the active one.
  auto* host = Make<TPanel>(this, t, "PanelWall", "", 0, 0, 430, 210);
  host->SetAlign(alClient);
  host->SetBevelOuter(bvNone);
  BWallColor = Make<TButtonColor>(this, host, "BWallColor", "&Color...", 8, 8, 100, 24);
  BWallColor->OnClick = [this](TObject*) {
    if (FChart) FChart->Invalidate();
  };
  BWallPen = Make<TButtonPen>(this, host, "BWallPen", "B&order...", 8, 38, 100, 24);
  BWallBrush = Make<TButton>(this, host, "BWallBrush", "&Pattern...", 8, 68, 100, 24);
  BWallBrush->OnClick = [this](TObject*) {
    if (FWall) ShowBrushDialog(this, FWall->Brush());
  };
  BGradient = Make<TButtonGradient>(this, host, "BGradient", "&Gradient...", 8, 98, 100, 24);
  // Runs after the gradient dialog closed with OK: a gradient that shows needs an opaque wall.
  BGradient->OnClick = [this](TObject*) {
    if (!FWall || !FWall->Gradient()->Visible()) return;
    FWall->SetTransparent(false);
    TFlagGuard g(FLoading);
    CBTransp->SetChecked(false);
  };
  WallSize = Spin(
      this, host, "WallSize", "Siz&e:", 130, 8, 0, 100,
      [this](int V) {
        if (FLoading || !FWall) return;
        FWall->SetSize(V);
        CBDark3D->SetEnabled(V > 0);
      },
      80);
  Transparency = Spin(
      this, host, "Transp", "T&ransparency:", 130, 38, 0, 100,
      [this](int V) {
        if (!FLoading && FWall) FWall->SetTransparency(V);
      },
      80);
  CBTransp = Check(this, host, "CBTransp", "&Transparent", 130, 70, [this](bool V) {
    if (!FLoading && FWall) FWall->SetTransparent(V);
  });
  CBDark3D = Check(this, host, "CBDark3D", "&Dark 3D", 130, 92, [this](bool V) {
    if (!FLoading && FWall) FWall->SetDark3D(V);
  });
  CBVisible = Check(this, host, "CBVisible", "V&isible", 130, 114, [this](bool V) {
    if (!FLoading && FWall) FWall->SetVisible(V);
  });
  CBAutoHide = Check(this, host, "CBAutoHide", "&Auto Hide", 130, 136, [this](bool V) {
    if (!FLoading && FWall) FWall->SetAutoHide(V);
  });
  OnShow = [this](TObject*) { FormShow(); };
}

void TFormGraphWall::FormShow() {
  if (!FWall) return;
  int index = 3;
  if (FWall == FChart->LeftWall()) index = 0;
  if (FWall == FChart->RightWall()) index = 1;
  if (FWall == FChart->BottomWall()) index = 2;
  TabSubWalls->SetActivePageIndex(index);
  SelectWall(index);
}

void TFormGraphWall::SelectWall(int Index) {
  if (!FChart) return;
  TChartWall* walls[] = {FChart->LeftWall(), FChart->RightWall(), FChart->BottomWall(), FChart->BackWall()};
  if (Index < 0 || Index > 3) return;
  FWall = walls[Index];
  if (TControl* host = FindComponent("PanelWall") ? static_cast<TControl*>(FindComponent("PanelWall")) : nullptr)
    host->SetParent(TabSubWalls->Pages(Index));
  LoadWall();
}

void TFormGraphWall::LoadWall() {
  if (!FWall) return;
  TFlagGuard g(FLoading);
  CBView3dWalls->SetChecked(FChart->View3DWalls());
  WallSize.Set(FWall->Size());
  CBTransp->SetChecked(FWall->Transparent());
  CBDark3D->SetChecked(FWall->Dark3D());
  CBDark3D->SetEnabled(FWall->Size() > 0);
  CBVisible->SetChecked(FWall->Visible());
  CBAutoHide->SetChecked(FWall->AutoHide());
  CBAutoHide->SetVisible(FWall != FChart->BottomWall());
  Transparency.Set(FWall->Transparency());
  AllSize.Set(FWall->Size());
  BWallPen->LinkPen(FWall->Pen());
  BWallColor->LinkProperty(FWall, "Color");
  BWallColor->Invalidate();
  BGradient->LinkGradient(FWall->Gradient());
}

// ---------------------------------------------------------------------------------------------
// Titles

TFormGraphTitle::TFormGraphTitle(TComponent* AOwner, TChartTitle* Title, TCustomChart* Chart)
    : TForm(AOwner), FChart(Chart), FTitle(Title) {
  SetName("FormGraphTitle");
  SetBorderStyle(bsNone);
  SetBounds(0, 0, 440, 280);
  CBTitles = Combo(
      this, this, "CBTitles", "", 4, 4, {"Title", "SubTitle", "SubFoot", "Foot"}, [this](int) { CBTitlesChange(); }, 0,
      120);
  PageControlTitle = Make<TPageControl>(this, this, "PageControlTitle", "", 0, 30, 440, 250);
  TTabSheet* t = Tab(this, PageControlTitle, "TabStyle", "Style");
  Make<TLabel>(this, t, "LText", "&Text:", 8, 8, 60, 16);
  MText = Make<TMemo>(this, t, "MText", "", 8, 26, 250, 100);
  MText->OnChange = [this](TObject*) {
    if (FFillingMemo || !FTitle) return;
    if (FTitle->Text()->Text() != MText->Lines()->Text()) FTitle->Text()->Assign(*MText->Lines());
  };
  CBVisible = Check(this, t, "CBVisible", "&Visible", 270, 26, [this](bool V) {
    if (!LoadingControls && FTitle) FTitle->SetVisible(V);
  });
  CBAdjust = Check(this, t, "CBAdjust", "&Adjust Frame", 270, 48, [this](bool V) {
    if (!LoadingControls && FTitle) FTitle->SetAdjustFrame(V);
  });
  CBAlign = Combo(
      this, t, "CBAlign", "Alig&nment:", 8, 134, {"Left", "Center", "Right"},
      [this](int I) {
        if (!FTitle || I < 0) return;
        const TAlignment a[] = {taLeftJustify, taCenter, taRightJustify};
        FTitle->SetAlignment(a[I]);
      },
      70, 100);
  t = Tab(this, PageControlTitle, "TabPosition", "Position");
  CBCustPos = Check(this, t, "CBCustPos", "&Custom:", 8, 8, [this](bool V) {
    if (LoadingControls || !FTitle) return;
    FTitle->SetCustomPosition(V);
    EnableCustomPosition();
  });
  CustLeft = Spin(
      this, t, "CustLeft", "L&eft:", 8, 34, -1000, 1000,
      [this](int V) {
        if (!LoadingControls && FTitle && FTitle->CustomPosition() && FTitle->Left() != V) FTitle->SetLeft(V);
      },
      50, 5);
  CustTop = Spin(
      this, t, "CustTop", "T&op:", 8, 62, -1000, 1000,
      [this](int V) {
        if (!LoadingControls && FTitle && FTitle->CustomPosition() && FTitle->Top() != V) FTitle->SetTop(V);
      },
      50, 5);
  Shape = InsertShapeEditor(PageControlTitle, Title);
  PageControlTitle->SetActivePageIndex(0);
  OnShow = [this](TObject*) { FormShow(); };
}

void TFormGraphTitle::FormShow() {
  if (!FTitle) return;
  LoadingControls = true;
  int i = 3;
  if (FTitle == FChart->Title()) i = 0;
  if (FTitle == FChart->SubTitle()) i = 1;
  if (FTitle == FChart->SubFoot()) i = 2;
  CBTitles->SetItemIndex(i);
  LoadTitleControls();
  LoadingControls = false;
}

void TFormGraphTitle::CBTitlesChange() {
  if (!FChart) return;
  TChartTitle* t[] = {FChart->Title(), FChart->SubTitle(), FChart->SubFoot(), FChart->Foot()};
  const int i = CBTitles->ItemIndex();
  if (i < 0) return;
  FTitle = t[i];
  TFlagGuard g(LoadingControls);
  LoadTitleControls();
}

void TFormGraphTitle::LoadTitleControls() {
  TFlagGuard g(LoadingControls);
  const TAlignment a = FTitle->Alignment();
  CBAlign->SetItemIndex(a == taLeftJustify ? 0 : a == taCenter ? 1 : 2);
  CBVisible->SetChecked(FTitle->Visible());
  CBAdjust->SetChecked(FTitle->AdjustFrame());
  CBCustPos->SetChecked(FTitle->CustomPosition());
  EnableCustomPosition();
  {
    TFlagGuard m(FFillingMemo);
    MText->Lines()->Assign(*FTitle->Text());
  }
  if (Shape) Shape->RefreshControls(FTitle);
}

void TFormGraphTitle::EnableCustomPosition() {
  const bool on = FTitle && FTitle->CustomPosition();
  for (TControl* c : std::initializer_list<TControl*>{CustLeft.Edit, CustLeft.UpDown, CustTop.Edit, CustTop.UpDown})
    c->SetEnabled(on);
  if (on) {
    TFlagGuard g(LoadingControls);
    CustLeft.Set(FTitle->Left());
    CustTop.Set(FTitle->Top());
  }
}

// ---------------------------------------------------------------------------------------------
// Panel

TFormGraphPanel::TFormGraphPanel(TComponent* AOwner, TCustomChart* Chart) : TForm(AOwner), FChart(Chart) {
  SetName("FormGraphPanel");
  SetCaption("Panel Editor");
  SetBounds(0, 0, 440, 280);
  Pages = Make<TPageControl>(this, this, "PagePanel", "", 0, 0, 440, 280);
  Pages->SetAlign(alClient);
  TTabSheet* t = Tab(this, Pages, "TabBack", "Background");
  BPanelColor = Make<TButtonColor>(this, t, "BPanelColor", "&Color...", 8, 8, 100, 24);
  BPanelColor->OnClick = [this](TObject*) {
    FChart->Invalidate();
    RefreshColorDefault();
  };
  CBColorDef = Check(this, t, "CBColorDef", "&Default", 120, 10, [this](bool V) {
    if (FLoading || !V) return;
    FChart->SetColor(clBtnFace);
    RefreshColorDefault();
    BPanelColor->Invalidate();
  });
  auto* image = Make<TGroupBox>(this, t, "GBImage", "Back Image:", 8, 40, 330, 160);
  RGBitmap = Make<TRadioGroup>(this, image, "RGBitmap", "St&yle", 8, 18, 110, 130);
  for (const char* m : {"Stretch", "Tile", "Center", "C&ustom"}) RGBitmap->Items()->Add(m);
  RGBitmap->OnClick = [this](TObject*) {
    if (FLoading || !FChart || RGBitmap->ItemIndex() < 0) return;
    FChart->BackImage()->SetMode(static_cast<TGraphBackImageMode>(RGBitmap->ItemIndex()));
    EnableBackImage();
  };
  BBrowseImage = Make<TButton>(this, image, "BBrowseImage", "B&rowse...", 130, 22, 90, 25);
  BBrowseImage->OnClick = [this](TObject*) {
    if (!FChart) return;
    LoadOrClearPicture(this, FChart->BackImage());
    EnableBackImage();
  };
  CBImageInside = Check(
      this, image, "CBImageInside", "I&nside", 130, 54,
      [this](bool V) {
        if (!FLoading && FChart) FChart->BackImage()->SetInside(V);
      },
      120);
  CBTransp = Check(
      this, image, "CBTransp", "&Transparent", 130, 76,
      [this](bool V) {
        if (!FLoading && FChart && CBTransp->Enabled()) FChart->SetBackImageTransp(V);
      },
      120);
  ImageLeft = Spin(
      this, image, "ImageLeft", "&Left:", 130, 100, 0, 100,
      [this](int V) {
        if (!FLoading && FChart) FChart->BackImage()->SetLeft(V);
      },
      40);
  ImageTop = Spin(
      this, image, "ImageTop", "T&op:", 130, 126, 0, 100,
      [this](int V) {
        if (!FLoading && FChart) FChart->BackImage()->SetTop(V);
      },
      40);
  t = Tab(this, Pages, "TabBorders", "Borders");
  PanelBor = Spin(
      this, t, "PanelBor", "&Separation:", 8, 8, 0, 100,
      [this](int V) {
        if (!FLoading && FChart->BorderWidth() != V) FChart->SetBorderWidth(V);
      },
      90);
  PanelWi = Spin(
      this, t, "PanelWi", "Widt&h:", 8, 36, 1, 100,
      [this](int V) {
        if (!FLoading && FChart->BevelWidth() != V) FChart->SetBevelWidth(V);
      },
      90);
  Round = Spin(
      this, t, "Round", "&Round border:", 8, 64, 0, 10000,
      [this](int V) {
        if (!FLoading && FChart->BorderRound() != V) FChart->SetBorderRound(V);
      },
      90);
  const TBevelCut cuts[] = {bvNone, bvLowered, bvRaised};
  CBInner = Combo(this, t, "CBInner", "Bevel &inner:", 8, 92, {"None", "Lowered", "Raised"}, [this, cuts](int I) {
    if (I >= 0 && FChart->BevelInner() != cuts[I]) FChart->SetBevelInner(cuts[I]);
  });
  CBOuter = Combo(this, t, "CBOuter", "Bevel &outer:", 8, 120, {"None", "Lowered", "Raised"}, [this, cuts](int I) {
    if (I >= 0 && FChart->BevelOuter() != cuts[I]) FChart->SetBevelOuter(cuts[I]);
  });
  BBorder = Make<TButtonPen>(this, t, "BBorder", "&Border...", 8, 150, 100, 24);
  t = Tab(this, Pages, "TabGradient", "Gradient");
  if (Chart) {
    GradientEditor = TGraphGradientEditor::CreateEmbedded(this, Chart->Gradient());
    EmbedFormWithObject(GradientEditor, t, Chart->Gradient());
    GradientEditor->SetAlign(alClient);
  }
  t = Tab(this, Pages, "TabShadow", "Shadow");
  auto* shadow = new TGraphShadowEditor(this);
  EmbedFormWithObject(shadow, t, Chart ? Chart->Shadow() : nullptr);
  Pages->SetActivePageIndex(0);
  OnShow = [this](TObject*) { FormShow(); };
}

void TFormGraphPanel::FormShow() {
  if (!FChart) return;
  TFlagGuard g(FLoading);
  auto cut = [](TBevelCut C) { return C == bvLowered ? 1 : C == bvRaised ? 2 : 0; };
  CBInner->SetItemIndex(cut(FChart->BevelInner()));
  CBOuter->SetItemIndex(cut(FChart->BevelOuter()));
  BBorder->LinkPen(FChart->Border());
  Round.Set(FChart->BorderRound());
  PanelWi.Set(FChart->BevelWidth());
  PanelBor.Set(FChart->BorderWidth());
  TBackImage* b = FChart->BackImage();
  RGBitmap->SetItemIndex(b->Mode());
  CBImageInside->SetChecked(b->Inside());
  ImageLeft.Set(b->Left());
  ImageTop.Set(b->Top());
  EnableBackImage();
  RefreshColorDefault();
  BPanelColor->LinkProperty(FChart, "Color");
  if (GradientEditor) GradientEditor->SetVisible(true);
  Pages->SetActivePageIndex(0);
}

void TFormGraphPanel::EnableBackImage() {
  if (!FChart) return;
  TFlagGuard g(FLoading);
  const bool has = FChart->HasBackImage();
  RGBitmap->SetEnabled(has);
  CBImageInside->SetEnabled(has);
  BBrowseImage->SetCaption(Translated(has ? "Clea&r" : "B&rowse..."));
  CBTransp->SetEnabled(has);
  CBTransp->SetChecked(has && FChart->BackImageTransp());
  const bool custom = has && FChart->BackImage()->Mode() == pbmCustom;
  for (TControl* c : {static_cast<TControl*>(ImageLeft.Edit), static_cast<TControl*>(ImageLeft.UpDown),
                      static_cast<TControl*>(ImageTop.Edit), static_cast<TControl*>(ImageTop.UpDown)})
    c->SetEnabled(custom);
}

void TFormGraphPanel::RefreshColorDefault() {
  TFlagGuard g(FLoading);
  const bool def = FChart->Color() == clBtnFace;
  CBColorDef->SetChecked(def);
  CBColorDef->SetEnabled(!def);
}

// ---------------------------------------------------------------------------------------------
// Legend

TFormGraphLegend::TFormGraphLegend(TComponent* AOwner, TChartLegend* Legend) : TForm(AOwner), FLegend(Legend) {
  SetName("FormGraphLegend");
  SetBounds(0, 0, 440, 280);
  auto* pages = Make<TPageControl>(this, this, "PageLegend", "", 0, 0, 440, 280);
  pages->SetAlign(alClient);
  TTabSheet* t = Tab(this, pages, "TabStyle", "Style");
  CBShow = Check(this, t, "CBShow", "&Visible", 8, 8, [this](bool V) {
    if (!FLoading) FLegend->SetVisible(V);
  });
  CBInverted = Check(this, t, "CBInverted", "&Inverted", 8, 30, [this](bool V) {
    if (!FLoading) FLegend->SetInverted(V);
  });
  CBCheckBoxes = Check(this, t, "CBCheckBoxes", "Check bo&xes", 8, 52, [this](bool V) {
    if (!FLoading) FLegend->SetCheckBoxes(V);
  });
  CBLegStyle = Combo(
      this, t, "CBLegStyle", "&Legend Style:", 8, 80, {"Automatic", "Series Names", "Series Values", "Last Values"},
      [this](int I) {
        if (I >= 0) FLegend->SetLegendStyle(static_cast<TLegendStyle>(I));
      },
      100, 130);
  CBLegendTextStyle = Combo(
      this, t, "CBLegendTextStyle", "&Text Style:", 8, 108,
      {"Plain", "Left Value", "Right Value", "Left Percent", "Right Percent", "X Value", "Value", "Percent",
       "X and Value", "X and Percent"},
      [this](int I) {
        if (I >= 0) FLegend->SetTextStyle(static_cast<TLegendTextStyle>(I));
      },
      100, 130);
  VertSpacing = Spin(
      this, t, "VertSpacing", "&Vert. Spacing:", 8, 136, -1000, 1000,
      [this](int V) {
        if (!FLoading) FLegend->SetVertSpacing(V);
      },
      100);
  ColorWidth = Spin(
      this, t, "ColorWidth", "Symbol &width:", 8, 164, 0, 1000,
      [this](int V) {
        if (!FLoading) FLegend->SetColorWidth(V);
      },
      100);
  t = Tab(this, pages, "TabPosition", "Position");
  CBAlignment = Combo(
      this, t, "CBAlignment", "&Position:", 8, 8, {"Left", "Right", "Top", "Bottom"},
      [this](int I) {
        if (I >= 0) FLegend->SetAlignment(static_cast<TLegendAlignment>(I));
      },
      80, 100);
  HorizMargin = Spin(
      this, t, "HorizMargin", "&Margin:", 8, 36, 0, 1000,
      [this](int V) {
        if (!FLoading) FLegend->SetHorizMargin(V);
      },
      80);
  TopPos = Spin(
      this, t, "TopPos", "&Top Pos %:", 8, 64, 0, 100,
      [this](int V) {
        if (!FLoading) FLegend->SetTopPos(V);
      },
      80);
  Shape = InsertShapeEditor(pages, Legend);
  pages->SetActivePageIndex(0);
  OnShow = [this](TObject*) { FormShow(); };
}

void TFormGraphLegend::FormShow() {
  if (!FLegend) return;
  TFlagGuard g(FLoading);
  CBShow->SetChecked(FLegend->Visible());
  CBInverted->SetChecked(FLegend->Inverted());
  CBCheckBoxes->SetChecked(FLegend->CheckBoxes());
  CBLegStyle->SetItemIndex(static_cast<int>(FLegend->LegendStyle()));
  CBLegendTextStyle->SetItemIndex(static_cast<int>(FLegend->TextStyle()));
  VertSpacing.Set(FLegend->VertSpacing());
  ColorWidth.Set(FLegend->ColorWidth());
  CBAlignment->SetItemIndex(static_cast<int>(FLegend->Alignment()));
  HorizMargin.Set(FLegend->HorizMargin());
  TopPos.Set(FLegend->TopPos());
  if (Shape) Shape->RefreshControls(FLegend);
}

// ---------------------------------------------------------------------------------------------
// 3D

TFormGraph3D::TFormGraph3D(TComponent* AOwner, TCustomChart* Chart) : TForm(AOwner), FChart(Chart) {
  SetName("FormGraph3D");
  SetBounds(0, 0, 440, 280);
  auto o = [this]() { return FChart->View3DOptions(); };
  CBView3D = Check(this, this, "CBView3D", "&3 Dimensions", 8, 8, [this](bool V) {
    if (FLoading) return;
    FChart->SetView3D(V);
    EnableControls();
  });
  CBOrthogonal = Check(this, this, "CBOrthogonal", "O&rthogonal", 8, 30, [this, o](bool V) {
    if (FLoading) return;
    o()->SetOrthogonal(V);
    EnableControls();
  });
  CBZoomText = Check(this, this, "CBZoomText", "Zoom &Text", 8, 52, [this, o](bool V) {
    if (!FLoading) o()->SetZoomText(V);
  });
  auto spin = [this](const char* Name, const char* Caption, int Y, int Min, int Max, std::function<void(int)> Set) {
    return Spin(
        this, this, Name, Caption, 200, Y, Min, Max,
        [this, Set](int V) {
          if (!FLoading) Set(V);
        },
        100);
  };
  Percent3D = spin("Percent3D", "3D %:", 8, 1, 100, [this](int V) { FChart->SetChart3DPercent(V); });
  Zoom = spin("Zoom", "&Zoom %:", 36, 1, 1000, [o](int V) { o()->SetZoom(V); });
  Rotation = spin("Rotation", "&Rotation:", 64, 0, 360, [o](int V) { o()->SetRotation(V); });
  Elevation = spin("Elevation", "&Elevation:", 92, 0, 360, [o](int V) { o()->SetElevation(V); });
  Perspective = spin("Perspective", "&Perspective %:", 120, 0, 100, [o](int V) { o()->SetPerspective(V); });
  HorizOffset = spin("HorizOffset", "&Horiz. Offset:", 148, -1000, 1000, [o](int V) { o()->SetHorizOffset(V); });
  VertOffset = spin("VertOffset", "&Vert. Offset:", 176, -1000, 1000, [o](int V) { o()->SetVertOffset(V); });
  OrthoAngle = spin("OrthoAngle", "&Ortho Angle:", 204, 0, 180, [o](int V) { o()->SetOrthoAngle(V); });
  OnShow = [this](TObject*) { CheckControls(); };
}

void TFormGraph3D::CheckControls() {
  if (!FChart) return;
  TFlagGuard g(FLoading);
  TView3DOptions* o = FChart->View3DOptions();
  CBView3D->SetChecked(FChart->View3D());
  CBOrthogonal->SetChecked(o->Orthogonal());
  CBZoomText->SetChecked(o->ZoomText());
  Percent3D.Set(FChart->Chart3DPercent());
  Zoom.Set(o->Zoom());
  Rotation.Set(o->Rotation());
  Elevation.Set(o->Elevation());
  Perspective.Set(o->Perspective());
  HorizOffset.Set(o->HorizOffset());
  VertOffset.Set(o->VertOffset());
  OrthoAngle.Set(o->OrthoAngle());
  EnableControls();
}

void TFormGraph3D::EnableControls() {
  const bool on = FChart->View3D();
  const bool free = on && !FChart->View3DOptions()->Orthogonal();
  for (edkit::TSpin* s : {&Percent3D, &Zoom, &HorizOffset, &VertOffset}) {
    s->Edit->SetEnabled(on);
    s->UpDown->SetEnabled(on);
  }
  for (edkit::TSpin* s : {&Rotation, &Elevation, &Perspective}) {
    s->Edit->SetEnabled(free);
    s->UpDown->SetEnabled(free);
  }
  OrthoAngle.Edit->SetEnabled(on && !free);
  OrthoAngle.UpDown->SetEnabled(on && !free);
  CBOrthogonal->SetEnabled(on);
  CBZoomText->SetEnabled(on);
}

// ---------------------------------------------------------------------------------------------
// General

TFormGraphGeneral::TFormGraphGeneral(TComponent* AOwner, TCustomChart* Chart) : TForm(AOwner), FChart(Chart) {
  SetName("FormGraphGeneral");
  SetBounds(0, 0, 440, 280);
  auto* g = Make<TGroupBox>(this, this, "GBMargins", "Margins", 8, 8, 200, 160);
  MarTop = Spin(
      this, g, "MarTop", "&Top:", 8, 20, 0, 1000,
      [this](int V) {
        if (!FLoading) FChart->SetMarginTop(V);
      },
      60);
  MarLeft = Spin(
      this, g, "MarLeft", "&Left:", 8, 48, 0, 1000,
      [this](int V) {
        if (!FLoading) FChart->SetMarginLeft(V);
      },
      60);
  MarRight = Spin(
      this, g, "MarRight", "&Right:", 8, 76, 0, 1000,
      [this](int V) {
        if (!FLoading) FChart->SetMarginRight(V);
      },
      60);
  MarBottom = Spin(
      this, g, "MarBottom", "&Bottom:", 8, 104, 0, 1000,
      [this](int V) {
        if (!FLoading) FChart->SetMarginBottom(V);
      },
      60);
  CBMarUnits = Combo(
      this, g, "CBMarUnits", "&Units:", 8, 132, {"Percent", "Pixels"},
      [this](int I) {
        if (I >= 0) FChart->SetMarginUnits(I == 0 ? muPercent : muPixels);
      },
      60, 100);
  CBAllowZoom = Check(this, this, "CBAllowZoom", "Allow &Zoom", 220, 16, [this](bool V) {
    if (!FLoading) FChart->Zoom()->SetAllow(V);
  });
  CBAllowPanning = Combo(
      this, this, "CBAllowPanning", "&Panning:", 220, 42, {"None", "Horizontal", "Vertical", "Both"},
      [this](int I) {
        if (I >= 0) FChart->SetAllowPanning(static_cast<TPanningMode>(I));
      },
      60, 100);
  CBClipPoints = Check(this, this, "CBClipPoints", "&Clip Points", 220, 72, [this](bool V) {
    if (!FLoading) FChart->SetClipPoints(V);
  });
  OnShow = [this](TObject*) { FormShow(); };
}

void TFormGraphGeneral::FormShow() {
  if (!FChart) return;
  TFlagGuard g(FLoading);
  MarTop.Set(FChart->MarginTop());
  MarLeft.Set(FChart->MarginLeft());
  MarRight.Set(FChart->MarginRight());
  MarBottom.Set(FChart->MarginBottom());
  CBMarUnits->SetItemIndex(FChart->MarginUnits() == muPixels ? 1 : 0);
  CBAllowZoom->SetChecked(FChart->Zoom()->Allow());
  CBAllowPanning->SetItemIndex(static_cast<int>(FChart->AllowPanning()));
  CBClipPoints->SetChecked(FChart->ClipPoints());
}

// ---------------------------------------------------------------------------------------------
// Paging

TFormGraphPage::TFormGraphPage(TComponent* AOwner, TCustomChart* Chart) : TForm(AOwner), FChart(Chart) {
  SetName("FormGraphPage");
  SetBounds(0, 0, 440, 280);
  PointsPerPage = Spin(
      this, this, "PointsPerPage", "&Points per Page:", 8, 8, 0, 1000000,
      [this](int V) {
        if (FLoading) return;
        FChart->SetMaxPointsPerPage(V);
        ShowPageNumber();
      },
      110);
  CBScaleLast = Check(this, this, "CBScaleLast", "&Scale Last Page", 8, 38, [this](bool V) {
    if (!FLoading) FChart->SetScaleLastPage(V);
  });
  LPages = Make<TLabel>(this, this, "LPages", "", 8, 68, 200, 16);
  auto go = [this](int Which) {
    const int n = FChart->CountPages();
    const int p = FChart->Page();
    const int to = Which == 0 ? 1 : Which == 1 ? p - 1 : Which == 2 ? p + 1 : n;
    if (to >= 1 && to <= n) FChart->SetPage(to);
    ShowPageNumber();
  };
  BFirst = Make<TButton>(this, this, "BFirst", "|<", 8, 92, 30, 24);
  BPrior = Make<TButton>(this, this, "BPrior", "<", 42, 92, 30, 24);
  BNext = Make<TButton>(this, this, "BNext", ">", 76, 92, 30, 24);
  BLast = Make<TButton>(this, this, "BLast", ">|", 110, 92, 30, 24);
  BFirst->OnClick = [go](TObject*) { go(0); };
  BPrior->OnClick = [go](TObject*) { go(1); };
  BNext->OnClick = [go](TObject*) { go(2); };
  BLast->OnClick = [go](TObject*) { go(3); };
  OnShow = [this](TObject*) { FormShow(); };
}

void TFormGraphPage::FormShow() {
  if (!FChart) return;
  TFlagGuard g(FLoading);
  PointsPerPage.Set(FChart->MaxPointsPerPage());
  CBScaleLast->SetChecked(FChart->ScaleLastPage());
  ShowPageNumber();
}

void TFormGraphPage::ShowPageNumber() {
  const int n = FChart->CountPages();
  LPages->SetCaption(Format(MsgPageOfPages, {FChart->Page(), n}));
  BFirst->SetEnabled(FChart->Page() > 1);
  BPrior->SetEnabled(FChart->Page() > 1);
  BNext->SetEnabled(FChart->Page() < n);
  BLast->SetEnabled(FChart->Page() < n);
}
