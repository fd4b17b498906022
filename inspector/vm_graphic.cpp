#include "inspector/vm_graphic.h"

#include <algorithm>

#include "inspector/vm_utils.h"
#include "platform/bitmap.h"
#include "platform/clipwatch.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/imglist.h"
#include "platform/menus.h"
#include "platform/sysutils.h"

const char* const SvmToolbox = "Toolbox";
const char* const SvmToolHints[6] = {"Cut", "Copy", "Paste", "Delete", "Load from file...", "Save to file..."};

namespace {
const char* const CommandCaptions[6] = {SvmCut, SvmCopy, SvmPaste, SvmDelete, SvmLoad, SvmSave};

std::string GraphicFilterOf(TGraphic* G) {
  for (const std::string& ext : TPicture::RegisteredExtensions()) {
    std::unique_ptr<TGraphic> g(TPicture::CreateForExtension(ext));
    if (g && G && g->ClassType() == G->ClassType()) return UpperCase(ext) + " (*." + ext + ")|*." + ext;
  }
  return TPicture::GraphicFilter();
}

std::string GraphicExtensionOf(TGraphic* G) {
  for (const std::string& ext : TPicture::RegisteredExtensions()) {
    std::unique_ptr<TGraphic> g(TPicture::CreateForExtension(ext));
    if (g && G && g->ClassType() == G->ClassType()) return ext;
  }
  return std::string();
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Toolbar layout

TvmPopupToolBarWindow::TvmPopupToolBarWindow(TvmInplaceGraphicEdit* AEdit) : FEdit(AEdit) {}
TvmPopupToolBarWindow::~TvmPopupToolBarWindow() = default;

TBitmap* TvmPopupToolBarWindow::CustomButtonGlyph() {
  if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
  return FGlyph.get();
}

void TvmPopupToolBarWindow::SetCustomButtonGlyph(TBitmap* Value) {
  if (!Value)
    FGlyph.reset();
  else
    CustomButtonGlyph()->Assign(Value);
}

void TvmPopupToolBarWindow::SetIsPopupMenu(bool Value) {
  FIsPopupMenu = Value;
  if (FEdit && FEdit->ToolBar()) FEdit->ToolBar()->MenuMode = Value;
}

void TvmPopupToolBarWindow::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TvmPopupToolBarWindow*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  Alignment = s->Alignment;
  Buttons = s->Buttons;
  CustomButtonCaption = s->CustomButtonCaption;
  SetCustomButtonGlyph(s->FGlyph.get());
  SetIsPopupMenu(s->FIsPopupMenu);
  ShowCaptions = s->ShowCaptions;
  Visible = s->Visible;
}

// ---------------------------------------------------------------------------------------------
// Toolbar buttons and window

VM_DEFINE_CLASS(TvmToolBarButton)

TvmToolBarButton::TvmToolBarButton(TComponent* AOwner) : TCustomControl(AOwner) {}

void TvmToolBarButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = Rect(0, 0, Width(), Height());
  FillRectColor(c, r, clBtnFace);
  if (Enabled() && (FHot || FDown)) DrawEdge(c, r, FDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  const int shift = FDown ? 1 : 0;
  int x = 4 + shift;
  if (!FGlyph.Empty()) {
    TRect g = Bounds(x, (Height() - FGlyph.Height()) / 2 + shift, FGlyph.Width(), FGlyph.Height());
    DrawTransparentBitmap(c, clBtnFace, g, &FGlyph);
    x += FGlyph.Width() + 4;
  }
  if (ShowCaption && !Caption.empty()) {
    c->Font()->Assign(Font());
    c->Font()->SetColor(Enabled() ? clBtnText : clBtnShadow);
    c->Brush()->SetStyle(bsClear);
    TRect t = Rect(x, shift, Width(), Height() + shift);
    c->DrawText(Caption, t, DT_VCENTER | DT_SINGLELINE);
    c->Brush()->SetStyle(bsSolid);
  }
}

void TvmToolBarButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled()) {
    FDown = true;
    Invalidate();
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TvmToolBarButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FDown = false;
  Invalidate();
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TvmToolBarButton::MouseEnter() {
  FHot = true;
  Invalidate();
  TCustomControl::MouseEnter();
}

void TvmToolBarButton::MouseLeave() {
  FHot = false;
  Invalidate();
  TCustomControl::MouseLeave();
}

VM_DEFINE_CLASS(TvmPopupToolBar)

TvmPopupToolBar::TvmPopupToolBar(TComponent* AOwner) : TForm(AOwner), ClipboardFormat(CF_PICTURE) {
  SetBorderIcons({biSystemMenu});
  SetBorderStyle(bsToolWindow);
  SetCaption(SvmToolbox);
  SetFormStyle(fsStayOnTop);
  SetShowHint(true);
  for (int i = 0; i < 7; ++i) {
    auto* b = new TvmToolBarButton(this);
    b->SetParent(this);
    if (i < 6) {
      PopupToolBarImages()->GetBitmap(i, b->Glyph());
      b->Caption = StripHotkey(CommandCaptions[i]);
      b->SetHint(SvmToolHints[i]);
    } else {
      // The custom command's blank glyph: the size of the others, in the face colour.
      b->Glyph()->SetSize(16, 16);
      FillRectColor(b->Glyph()->Canvas(), Rect(0, 0, 16, 16), clBtnFace);
    }
    b->OnClick = [this, i](TObject*) {
      if (CommandHook) CommandHook(this, i);
    };
    FButtons[static_cast<size_t>(i)] = b;
  }
  // A picture copied anywhere enables Paste at once.
  FClipboardWatch = std::make_unique<TClipboardWatch>([this] { UpdateButtonStates(); });
}

TvmPopupToolBar::~TvmPopupToolBar() { FClipboardWatch.reset(); }

TPopupMenu* TvmPopupToolBar::Menu() {
  if (!FMenu) {
    FMenu = std::make_unique<TPopupMenu>(nullptr);
    FMenu->SetImages(PopupToolBarImages());
  }
  return FMenu.get();
}

void TvmPopupToolBar::PlaceNear(const TPoint& Point, const TSize& EditorSize) {
  TRect wa;
  GetWorkAreaAt(Point, wa);
  const int w = Width(), h = Height();
  int x = Point.X, y = Point.Y;
  switch (Alignment) {
    case ptaLeft:
      x = Point.X - w;
      if (x < wa.Left) x = Point.X + EditorSize.cx;
      break;
    case ptaRight:
      x = Point.X + EditorSize.cx;
      if (x + w > wa.Right) x = Point.X - w;
      break;
    case ptaTop:
      y = Point.Y - h;
      if (y < wa.Top) y = Point.Y + EditorSize.cy;
      break;
    case ptaBottom:
      y = Point.Y + EditorSize.cy;
      if (y + h > wa.Bottom) y = Point.Y - h;
      break;
  }
  if (x + w > wa.Right) x = wa.Right - w;
  if (x < wa.Left) x = wa.Left;
  if (y + h > wa.Bottom) y = wa.Bottom - h;
  if (y < wa.Top) y = wa.Top;
  SetBounds(x, y, w, h);
}

void TvmPopupToolBar::UpdateLayout() {
  const bool vertical = Alignment == ptaLeft || Alignment == ptaRight;
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  int v = 22;
  if (vertical && ShowCaptions) v = std::max(22, c->TextHeight("Wg") + 9);
  int widest = 0, count = 0;
  for (int i = 0; i < 7; ++i) {
    TvmToolBarButton* b = FButtons[static_cast<size_t>(i)];
    const bool shown = ButtonSet.Contains(static_cast<TvmPopupToolBarButton>(i));
    b->ShowCaption = vertical && ShowCaptions;
    if (shown) {
      ++count;
      if (b->ShowCaption) widest = std::max(widest, c->TextWidth(b->Caption) + 4);
    }
  }
  const int w = v + 1 + (vertical ? widest : 0);
  if (vertical) {
    SetClientWidth(w);
    SetClientHeight(std::max(1, v * count));
  } else {
    SetClientWidth(std::max(1, w * count));
    SetClientHeight(v);
  }
  int k = 0;
  for (int i = 0; i < 7; ++i) {
    TvmToolBarButton* b = FButtons[static_cast<size_t>(i)];
    const bool shown = ButtonSet.Contains(static_cast<TvmPopupToolBarButton>(i));
    b->SetVisible(shown);
    if (!shown) continue;
    if (vertical)
      b->SetBounds(0, k * v, w, v);
    else
      b->SetBounds(k * w, 0, w, v);
    b->Invalidate();
    ++k;
  }
  UpdateButtonStates();
}

void TvmPopupToolBar::UpdateButtonStates() {
  const bool canPaste = !IsReadOnly && ClipboardHasFormat(ClipboardFormat);
  const bool states[6] = {!NoPicture && !IsReadOnly, !NoPicture,  canPaste,
                          !NoPicture && !IsReadOnly, !IsReadOnly, !NoPicture};
  for (int i = 0; i < 6; ++i) FButtons[static_cast<size_t>(i)]->SetEnabled(states[i]);
  if (MenuMode && FMenu)
    for (int k = 0; k < FMenu->Items()->Count(); ++k) {
      TMenuItem* item = FMenu->Items()->Items(k);
      if (item->Tag() >= 0 && item->Tag() < 6 && !item->IsLine()) item->SetEnabled(states[item->Tag()]);
    }
}

void TvmPopupToolBar::ShowBar() {
  if (!MayShow || FClosedByUser) return;
  Show();
}

void TvmPopupToolBar::HideBar() { Hide(); }

void TvmPopupToolBar::DoClose(TCloseAction& Action) {
  TForm::DoClose(Action);
  FClosedByUser = true;
  Action = caHide;
}

// ---------------------------------------------------------------------------------------------
// Graphic editor

VM_DEFINE_CLASS(TvmInplaceGraphicEdit)

TvmInplaceGraphicEdit::TvmInplaceGraphicEdit(TComponent* AOwner)
    : TvmInplaceEdit(AOwner),
      ClipboardFormat(CF_PICTURE),
      FPicture(std::make_unique<TPicture>()),
      FLayout(std::make_unique<TvmPopupToolBarWindow>(this)) {
  FAutoSize = false;
  SetBounds(Left(), Top(), 140, 100);
  FPicture->OnChange = [this](TObject* S) { PictureChanged(S); };
}

TvmInplaceGraphicEdit::~TvmInplaceGraphicEdit() {
  FDestroying = true;
  FPicture->OnChange = nullptr;
  if (FToolBar) {
    FToolBar->CommandHook = nullptr;
    delete FToolBar;
    FToolBar = nullptr;
  }
}

TvmPopupToolBar* TvmInplaceGraphicEdit::EnsureToolBar() {
  if (!FToolBar) {
    FToolBar = new TvmPopupToolBar(nullptr);
    FToolBar->CommandHook = [this](TObject*, int Index) { ExecuteCommand(Index); };
    FToolBar->MenuMode = FLayout->IsPopupMenu();
  }
  return FToolBar;
}

void TvmInplaceGraphicEdit::SetCenter(bool Value) {
  FCenter = Value;
  PictureChanged(nullptr);
}

void TvmInplaceGraphicEdit::SetStretch(bool Value) {
  FStretch = Value;
  FInternalPictureChange = true;
  PictureChanged(nullptr);
  FInternalPictureChange = false;
}

void TvmInplaceGraphicEdit::SetGraphicTransparency(TvmGraphicEditTransparency Value) {
  FGraphicTransparency = Value;
  FInternalPictureChange = true;
  PictureChanged(nullptr);
  FInternalPictureChange = false;
}

void TvmInplaceGraphicEdit::SetToolbarPosStored(bool Value) {
  FToolbarPosStored = Value;
  if (!Value) ToolbarPos = TPoint(NoPosition, NoPosition);
}

void TvmInplaceGraphicEdit::PictureChanged(TObject* Sender) {
  if (FDestroying) return;
  if (FGraphicTransparency != gtDefault && !PictureHasNoGraphic(FPicture.get())) {
    auto keep = FPicture->OnChange;
    FPicture->OnChange = nullptr;
    FPicture->Graphic()->SetTransparent(FGraphicTransparency == gtTransparent);
    FPicture->OnChange = keep;
  }
  StyleChanged();
  if (Sender && !FInternalPictureChange && !(ComponentState().Contains(csLoading))) {
    DoChange();
    SetModified(true);
  }
}

void TvmInplaceGraphicEdit::DoCustomClick() {
  if (CustomButtonHook) CustomButtonHook(this);
}

void TvmInplaceGraphicEdit::DoAssignPicture(TPicture*& Picture) {
  if (PictureHook) PictureHook(this, Picture);
}

TGraphicClass TvmInplaceGraphicEdit::GetGraphicClass() {
  TGraphicClass c = nullptr;
  if (GraphicClassHook) GraphicClassHook(this, c);
  return c;
}

void TvmInplaceGraphicEdit::SetEditValue(const Variant& Value) {
  const bool modified = GetModified();
  FInternalPictureChange = true;
  try {
    if ((CustomGraphic && ComponentState().Contains(csDesigning)) || Value.IsNull() ||
        (Value.IsString() && Value.AsString().empty()))
      FPicture->SetGraphic(nullptr);
    else
      LoadPictureFromString(FPicture.get(), GetGraphicClass(), Value);
  } catch (const EInvalidGraphic&) {
    // A value that is no picture shows as none.
    FPicture->SetGraphic(nullptr);
  }
  FInternalPictureChange = false;
  SetModified(modified);
  Invalidate();
}

void TvmInplaceGraphicEdit::GetDisplayValue(Variant& Value, bool) { Value = GetWindowText(); }

void TvmInplaceGraphicEdit::GetEditValue(Variant& Value) {
  TPicture* p = FPicture.get();
  DoAssignPicture(p);
  // The picture travels as its bytes (a value the receiver can keep and read back).
  Value = SavePictureToString(p);
}

bool TvmInplaceGraphicEdit::IsFocused() const {
  if (TvmInplaceEdit::IsFocused()) return true;
  if (!FToolBar) return false;
  for (TWinControl* f = FocusedControl(); f; f = f->Parent())
    if (f == FToolBar) return true;
  return false;
}

void TvmInplaceGraphicEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  TvmInplaceEdit::FillViewData(VD, UseBindingValue);
  VD->ShowFocusRect = !InplaceMode() && IsFocused();
  if (auto* d = dynamic_cast<TvmGraphicEditViewData*>(VD)) {
    d->Center = FCenter;
    d->Picture = FPicture.get();
    d->QuickDraw = QuickDraw;
    d->Stretch = FStretch;
  }
}

void TvmInplaceGraphicEdit::CalcViewInfo(TvmInplaceEditClass Self, TvmEditViewData* VD, bool AutoSize,
                                         TvmEditViewInfo& VI) {
  auto* d = dynamic_cast<TvmGraphicEditViewData*>(VD);
  TvmInplaceEdit::CalcViewInfo(Self, VD, AutoSize && d && !PictureHasNoGraphic(d->Picture), VI);
}

void TvmInplaceGraphicEdit::CalcContentSize(TvmInplaceEditClass Self, TvmEditViewData* VD, TRect& R) {
  auto* d = dynamic_cast<TvmGraphicEditViewData*>(VD);
  if (!d || PictureHasNoGraphic(d->Picture)) {
    TvmInplaceEdit::CalcContentSize(Self, VD, R);
    return;
  }
  R = Rect(0, 0, d->Picture->Width(), d->Picture->Height());
}

bool TvmInplaceGraphicEdit::DrawContent(TvmInplaceEditClass, TCanvas* DC, const TRect& R, TvmEditViewData* VD, bool) {
  auto* d = dynamic_cast<TvmGraphicEditViewData*>(VD);
  const bool empty = !d || PictureHasNoGraphic(d->Picture);
  if (VD->MeasureOnly) {
    VD->LineCount = 1;
    VD->MeasuredHeight = empty || (d && d->Stretch) ? 0 : d->Picture->Height();
    return true;
  }
  if (R.Width() <= 0 || R.Height() <= 0) return true;
  // Drawn into a cell-sized bitmap: the picture is clipped to the cell whatever its size.
  TBitmap cell(R.Width(), R.Height());
  TCanvas* c = cell.Canvas();
  const TRect all = Rect(0, 0, R.Width(), R.Height());
  FillRectColor(c, all, VD->Brush);
  TRect inner = all;
  if (VD->ShowFocusRect) {
    c->Brush()->SetColor(clWindowFrame);
    c->FrameRect(inner);
    InflateRect(inner, -1, -1);
  }
  if (empty) {
    std::string text = VD->Value.IsNull() ? std::string() : VD->Value.AsString();
    if (!text.empty())
      DrawCellText(c, text, -1, inner, inner, 0, VD->Brush, VD->Font.get(), VD->BkColor, VD->TextColor, nullptr);
  } else {
    TGraphic* g = d->Picture->Graphic();
    TRect target = inner;
    target.Left += VD->ContentOffsets.Left;
    target.Top += VD->ContentOffsets.Top;
    target.Right -= VD->ContentOffsets.Right;
    target.Bottom -= VD->ContentOffsets.Bottom;
    const int pw = g->Width(), ph = g->Height();
    if (d->Stretch && pw > 0 && ph > 0) {
      const double k = std::min(double(target.Width()) / pw, double(target.Height()) / ph);
      c->StretchDraw(Bounds(target.Left, target.Top, static_cast<int>(pw * k), static_cast<int>(ph * k)), g);
    } else {
      int x = target.Left, y = target.Top;
      if (d->Center) {
        x += (target.Width() - pw) / 2;
        y += (target.Height() - ph) / 2;
      }
      TBitmap clip(std::max(1, target.Width()), std::max(1, target.Height()));
      FillRectColor(clip.Canvas(), Rect(0, 0, clip.Width(), clip.Height()), VD->Brush);
      clip.Canvas()->Draw(x - target.Left, y - target.Top, g);
      c->Draw(target.Left, target.Top, &clip);
    }
  }
  if (d && d->HalftoneOverlay) DrawHalftoneOverlay(c, all, d->OverlayColor);
  DC->Draw(R.Left, R.Top, &cell);
  return true;
}

// Commands

void TvmInplaceGraphicEdit::DeletePicture() {
  if (CanModify()) FPicture->SetGraphic(nullptr);
}

void TvmInplaceGraphicEdit::CopyToClipboard() {
  if (!PictureHasNoGraphic(FPicture.get())) Clipboard()->Assign(FPicture.get());
}

void TvmInplaceGraphicEdit::CutToClipboard() {
  CopyToClipboard();
  if (IsEditable()) DeletePicture();
}

void TvmInplaceGraphicEdit::PasteFromClipboard() {
  if (!IsEditable() || !ClipboardHasFormat(ClipboardFormat) || !CanModify()) return;
  if (ClipboardFormat == CF_PICTURE && Clipboard()->HasFormat(CF_BITMAP))
    Clipboard()->AssignTo(FPicture->Bitmap());
  else
    Clipboard()->AssignTo(FPicture.get());
}

void TvmInplaceGraphicEdit::LoadPicture() {
  if (!CanModify()) return;
  TOpenDialog d(nullptr);
  d.SetFilter(CustomFilter.empty() ? TPicture::GraphicFilter() : CustomFilter);
  if (d.Execute()) FPicture->LoadFromFile(d.FileName());
}

void TvmInplaceGraphicEdit::SavePicture() {
  if (PictureHasNoGraphic(FPicture.get())) return;
  TSaveDialog d(Application);
  d.SetFilter(CustomFilter.empty() ? GraphicFilterOf(FPicture->Graphic()) : CustomFilter);
  d.SetDefaultExt(GraphicExtensionOf(FPicture->Graphic()));
  if (d.Execute()) FPicture->SaveToFile(d.FileName());
}

void TvmInplaceGraphicEdit::ExecuteCommand(int Index) {
  switch (Index) {
    case 0:
      CutToClipboard();
      break;
    case 1:
      CopyToClipboard();
      break;
    case 2:
      PasteFromClipboard();
      break;
    case 3:
      DeletePicture();
      break;
    case 4:
      LoadPicture();
      break;
    case 5:
      SavePicture();
      break;
    case 6:
      DoCustomClick();
      break;
    default:
      break;
  }
  if (FToolBar) {
    UpdateToolBar();
    FToolBar->UpdateLayout();
  }
}

void TvmInplaceGraphicEdit::UpdateToolBar() {
  TvmPopupToolBar* bar = EnsureToolBar();
  bar->MenuMode = FLayout->IsPopupMenu();
  if (bar->MenuMode) {
    TPopupMenu* m = bar->Menu();
    if (m->Items()->Count() == 0) {
      const int order[] = {0, 1, 2, 3, -1, 4, 5, -2, 6};
      for (int tag : order) {
        auto* item = new TMenuItem(m);
        if (tag < 0) {
          item->SetCaption("-");
          item->SetTag(tag);
        } else {
          item->SetCaption(tag < 6 ? CommandCaptions[tag] : "");
          item->SetImageIndex(tag < 6 ? tag : -1);
          item->SetTag(tag);
          item->OnClick = [this, tag](TObject*) { ExecuteCommand(tag); };
        }
        m->Items()->Add(item);
      }
    }
    const TvmPopupToolBarButtons& b = FLayout->Buttons;
    for (int k = 0; k < m->Items()->Count(); ++k) {
      TMenuItem* item = m->Items()->Items(k);
      const int tag = static_cast<int>(item->Tag());
      if (tag >= 0) item->SetVisible(b.Contains(static_cast<TvmPopupToolBarButton>(tag)));
      if (tag == -1) item->SetVisible(b.Contains(ptbLoad) || b.Contains(ptbSave));
      if (tag == -2) item->SetVisible(b.Contains(ptbCustom));
      if (tag == 6) item->SetCaption(FLayout->CustomButtonCaption);
    }
  } else {
    bar->MayShow = FLayout->Visible;
    TvmToolBarButton* custom = bar->Button(6);
    custom->Caption = FLayout->CustomButtonCaption;
    if (FLayout->HasCustomButtonGlyph() && !FLayout->CustomButtonGlyph()->Empty())
      custom->Glyph()->Assign(FLayout->CustomButtonGlyph());
    bar->SetFont(Font());
    bar->ShowCaptions = FLayout->ShowCaptions;
    bar->Alignment = FLayout->Alignment;
    bar->ButtonSet = FLayout->Buttons;
  }
  bar->ClipboardFormat = ClipboardFormat;
  bar->NoPicture = PictureHasNoGraphic(FPicture.get());
  bar->IsReadOnly = !IsEditable();
}

void TvmInplaceGraphicEdit::ShowToolBar() {
  if (FLayout->IsPopupMenu() || !FLayout->Visible) return;
  UpdateToolBar();
  TvmPopupToolBar* bar = FToolBar;
  // A bar the user moved since it was placed keeps the user's place.
  if (FPlacedPos.X != NoPosition && (bar->Left() != FPlacedPos.X || bar->Top() != FPlacedPos.Y))
    ToolbarPos = TPoint(bar->Left(), bar->Top());
  bar->UpdateLayout();
  if (!FToolbarPosStored || ToolbarPos.X == NoPosition)
    bar->PlaceNear(ClientToScreen(TPoint(0, 0)), TSize(Width(), Height()));
  else
    bar->SetBounds(ToolbarPos.X, ToolbarPos.Y, bar->Width(), bar->Height());
  FPlacedPos = TPoint(bar->Left(), bar->Top());
  bar->SetClosedByUser(false);
  bar->ShowBar();
}

void TvmInplaceGraphicEdit::HideToolBar() {
  if (FToolBar) FToolBar->HideBar();
}

void TvmInplaceGraphicEdit::ContextMenuRequest(int X, int Y) {
  FShownMenu = nullptr;
  for (TControl* c = this; c; c = c->Parent())
    if (ControlPopupMenu(c)) return;
  if (!FLayout->IsPopupMenu()) return;
  if (X == -1 && Y == -1) {
    X = std::min(Width(), 2);
    Y = 2;
  }
  X = std::min(X, Width());
  UpdateToolBar();
  FToolBar->UpdateLayout();
  TPoint p = ClientToScreen(TPoint(X, Y));
  FToolBar->Menu()->Popup(p.X, p.Y);
  FShownMenu = FToolBar->Menu();
}

void TvmInplaceGraphicEdit::DoSetFocus() {
  TvmInplaceEdit::DoSetFocus();
  if (!DblClickActivate) ShowToolBar();
}

void TvmInplaceGraphicEdit::DoKillFocus() {
  bool toBar = false;
  if (FToolBar)
    for (TWinControl* f = FocusedControl(); f; f = f->Parent())
      if (f == FToolBar) toBar = true;
  if (!toBar) HideToolBar();
  TvmInplaceEdit::DoKillFocus();
}

void TvmInplaceGraphicEdit::DblClick() {
  if (DblClickActivate) ShowToolBar();
  TvmInplaceEdit::DblClick();
}

void TvmInplaceGraphicEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvmInplaceEdit::MouseUp(Button, Shift, X, Y);
  if (Button == mbRight) ContextMenuRequest(X, Y);
}

void TvmInplaceGraphicEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  const bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
  if (InplaceMode() && !ctrl && !shift && !Shift.Contains(ssAlt) && (Key == VK_LEFT || Key == VK_RIGHT)) {
    FocusAdjacentCell(Key == VK_LEFT);
    Key = 0;
    return;
  }
  TvmInplaceEdit::KeyDown(Key, Shift);
  if (!Key) return;
  if (shift && Key == VK_INSERT)
    PasteFromClipboard();
  else if (ctrl && Key == VK_INSERT)
    CopyToClipboard();
  else if (shift && Key == VK_DELETE)
    CutToClipboard();
  else if (ctrl && Key == 'C')
    CopyToClipboard();
  else if (ctrl && Key == 'V')
    PasteFromClipboard();
  else if (ctrl && Key == 'X')
    CutToClipboard();
  else
    return;
  Key = 0;
}
