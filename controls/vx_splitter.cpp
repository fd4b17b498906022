#include "controls/vx_splitter.h"

#include <algorithm>

#include "platform/canvas.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/streaming.h"
#include "platform/typinfo.h"

namespace {

const TEnumInfo kSplitterAlignInfo("TAlign",
                                   {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});

bool IsSideAlign(TAlign A) { return A == alTop || A == alBottom || A == alLeft || A == alRight; }

TForm* ParentFormOf(const TControl* C) {
  for (TWinControl* p = C->Parent(); p; p = p->Parent())
    if (auto* f = dynamic_cast<TForm*>(p)) return f;
  return nullptr;
}

// The tracking line: drawn over the form's controls, so it shows wherever the bar will go.
class TrackLineBar : public TCustomControl {
public:
  explicit TrackLineBar(TComponent* AOwner) : TCustomControl(AOwner) {}

protected:
  void Paint() override {
    const TColor back = Parent() ? ColorToRGB(Parent()->Color()) : ColorToRGB(clBtnFace);
    Canvas()->Brush()->SetColor(back ^ 0xFFFFFF);
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
  }
};

}  // namespace

VM_PUBLISH(TVxSplitter) {
  P.Component("ControlFirst", &TVxSplitter::ControlFirst, &TVxSplitter::SetControlFirst);
  P.Component("ControlSecond", &TVxSplitter::ControlSecond, &TVxSplitter::SetControlSecond);
  P.Enum("Align", &TVxSplitter::Align, &TVxSplitter::SetAlign, kSplitterAlignInfo).Default(alNone);
  P.Int("Cursor", &TVxSplitter::GetCursor, nullptr).Stored(false);
  P.Int("TopLeftLimit", &TVxSplitter::TopLeftLimit, &TVxSplitter::SetTopLeftLimit).Default(20);
  P.Int("BottomRightLimit", &TVxSplitter::BottomRightLimit, &TVxSplitter::SetBottomRightLimit).Default(20);
  P.Event("OnPosChanged", &TVxSplitter::OnPosChanged);
  P.Event("OnPosChanging", &TVxSplitter::OnPosChanging);
}

TVxSplitter::TVxSplitter(TComponent* AOwner) : TCustomPanel(AOwner) { SetBounds(0, 0, 185, 3); }

TVxSplitter::~TVxSplitter() {
  if (FSizing) StopSizing(0, 0, false);
}

void TVxSplitter::SetControl(TControl*& Field, TControl* Value) {
  if (Field == Value) return;
  if (Value == this || dynamic_cast<TForm*>(Value)) Value = nullptr;
  if (Field && Field != FControlFirst && Field != FControlSecond) RemoveFreeNotification(Field);
  Field = Value;
  if (Value) FreeNotification(Value);
  UpdateCursor();
}

void TVxSplitter::SetControlFirst(TControl* Value) { SetControl(FControlFirst, Value); }
void TVxSplitter::SetControlSecond(TControl* Value) { SetControl(FControlSecond, Value); }

void TVxSplitter::SetAlign(TAlign Value) {
  if (IsSideAlign(Align())) {
    TControl::SetAlign(Value);
  } else {
    TControl::SetAlign(Value);
    if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csReading)) {
      if (Value == alTop || Value == alBottom)
        SetHeight(3);
      else if (Value == alLeft || Value == alRight)
        SetWidth(3);
    }
  }
  if (!FControlFirst && !FControlSecond) SetControlFirst(FindAdjacentControl());
}

TCursor TVxSplitter::GetCursor() const {
  switch (ComputeSplitKind()) {
    case skFirstHeight:
    case skSecondHeight:
      return crVSplit;
    case skFirstWidth:
    case skSecondWidth:
      return crHSplit;
    default:
      return crDefault;
  }
}

TVxSplitter::TSplitKind TVxSplitter::ComputeSplitKind() const {
  if (!FControlFirst) return skNone;
  const TAlign a = FControlFirst->Align();
  const bool hasSecond = FControlSecond != nullptr;
  const TAlign b = hasSecond ? FControlSecond->Align() : alNone;
  TSplitKind kind = skNone;
  if ((a == alTop || a == alBottom) && (!hasSecond || b == alClient))
    kind = skFirstHeight;
  else if (a == alClient && hasSecond && (b == alTop || b == alBottom))
    kind = skSecondHeight;
  else if ((a == alLeft || a == alRight) && (!hasSecond || b == alClient))
    kind = skFirstWidth;
  else if (a == alClient && hasSecond && (b == alLeft || b == alRight))
    kind = skSecondWidth;
  if (kind == skNone) return skNone;
  const TControl* sized = (kind == skFirstHeight || kind == skFirstWidth) ? FControlFirst : FControlSecond;
  return sized->Align() == Align() ? kind : skNone;
}

TControl* TVxSplitter::FindAdjacentControl() const {
  if (!Parent()) return nullptr;
  TPoint p(Left(), Top());
  switch (Align()) {
    case alTop:
      p.Y -= 1;
      break;
    case alBottom:
      p.Y += Height();
      break;
    case alLeft:
      p.X -= 1;
      break;
    case alRight:
      p.X += Width();
      break;
    default:
      return nullptr;
  }
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c == this) continue;
    const TRect r = c->BoundsRect();
    if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) return c;
  }
  return nullptr;
}

void TVxSplitter::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomPanel::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FControlFirst) FControlFirst = nullptr;
  if (AComponent == FControlSecond) FControlSecond = nullptr;
  if (AComponent == FKeyControl) FKeyControl = nullptr;
  if (AComponent == FTrackLine) FTrackLine = nullptr;
  if (AComponent == FForm) {
    FForm = nullptr;
    FTrackLine = nullptr;
  }
}

void TVxSplitter::DefineProperties(TFiler* Filer) {
  TCustomPanel::DefineProperties(Filer);
  Filer->DefineProperty(
      "LimitOffset", [this](TReader* R) { SetLimitOffset(R->ReadInteger()); }, nullptr, false);
}

void TVxSplitter::Loaded() {
  TCustomPanel::Loaded();
  UpdateCursor();
}

void TVxSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || ComponentState().Contains(csDesigning) || FSizing) return;
  FSplitKind = ComputeSplitKind();
  if (FSplitKind == skNone) return;
  FSizing = true;
  FSavedShowHint = ShowHint();
  SetMouseCapture(true);
  if (TForm* form = ParentFormOf(this)) {
    FKeyControl = form->ActiveControl() ? form->ActiveControl() : form;
    FKeyControl->FreeNotification(this);
    FSavedKeyDown = FKeyControl->OnKeyDown;
    FKeyControl->OnKeyDown = [this](TObject* S, uint16_t& K, TShiftState Sh) { HandleKeyDown(S, K, Sh); };
  }
  SetShowHint(false);
  FGrab = TPoint(X, Y);
  BeginTracking();
}

void TVxSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseMove(Shift, X, Y);
  if (!FSizing || !MouseCapture()) return;
  bool allow = true;
  if (OnPosChanging) OnPosChanging(this, X, Y, allow);
  TrackTo(X, Y, allow);
}

void TVxSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  StopSizing(X, Y, true);
  TCustomPanel::MouseUp(Button, Shift, X, Y);
}

void TVxSplitter::HandleKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    StopSizing(0, 0, false);
    Key = 0;
  } else if (FSavedKeyDown) {
    FSavedKeyDown(Sender, Key, Shift);
  }
}

void TVxSplitter::BeginTracking() {
  if (TWinControl* parent = Parent()) {
    const TRect r = parent->ClientRect();
    const TPoint tl = ScreenToClient(parent->ClientToScreen(TPoint(r.Left + FTopLeftLimit, r.Top + FTopLeftLimit)));
    const TPoint br =
        ScreenToClient(parent->ClientToScreen(TPoint(r.Width() - FBottomRightLimit, r.Height() - FBottomRightLimit)));
    FLimitRect = TRect(tl.X, tl.Y, br.X, br.Y);
  }
  FNoDrop = false;
  FForm = ParentFormOf(this);
  if (FForm) {
    FForm->FreeNotification(this);
    const int thickness = (FSplitKind == skFirstHeight || FSplitKind == skSecondHeight) ? Height() : Width();
    FLineWidth = thickness < 4 ? 2 : thickness - 2;
  }
  MoveLine(Width() / 2, Height() / 2, lmDraw);
}

void TVxSplitter::EndTracking() {
  MoveLine(0, 0, lmErase);
  if (FForm) {
    FForm->RemoveFreeNotification(this);
  }
  TControl* line = FTrackLine;
  FTrackLine = nullptr;
  delete line;
  FForm = nullptr;
  FNoDrop = false;
}

void TVxSplitter::TrackTo(int X, int Y, bool Allow) {
  if (!Allow) {
    TControl::SetCursor(crNoDrop);
    return;
  }
  const int x0 = X, y0 = Y;
  ClampPosition(X, Y);
  const bool across = FSplitKind == skFirstWidth || FSplitKind == skSecondWidth;
  const bool noDrop = across ? X != x0 : Y != y0;
  if (noDrop != FNoDrop) {
    FNoDrop = noDrop;
    TControl::SetCursor(noDrop ? crNoDrop : GetCursor());
  }
  MoveLine(X + Width() / 2 - FGrab.X, Y + Height() / 2 - FGrab.Y, lmMove);
}

void TVxSplitter::ClampPosition(int& X, int& Y) const {
  if (X - FGrab.X < FLimitRect.Left)
    X = FLimitRect.Left + FGrab.X;
  else if (X + Width() - FGrab.X > FLimitRect.Right)
    X = FLimitRect.Right + FGrab.X - Width();
  if (Y - FGrab.Y < FLimitRect.Top)
    Y = FLimitRect.Top + FGrab.Y;
  else if (Y + Height() - FGrab.Y > FLimitRect.Bottom)
    Y = FLimitRect.Bottom + FGrab.Y - Height();
}

void TVxSplitter::MoveLine(int X, int Y, TLineMode Mode) {
  const bool across = FSplitKind == skFirstWidth || FSplitKind == skSecondWidth;
  TPoint p = ClientToScreen(across ? TPoint(X, 0) : TPoint(0, Y));
  if (TWinControl* parent = Parent()) {
    const TRect r = parent->ClientRect();
    const TPoint tl = parent->ClientToScreen(TPoint(r.Left, r.Top));
    const TPoint br = parent->ClientToScreen(TPoint(r.Right, r.Bottom));
    p.X = std::clamp(p.X, tl.X, std::max(tl.X, br.X));
    p.Y = std::clamp(p.Y, tl.Y, std::max(tl.Y, br.Y));
  }
  if (Mode == lmMove && (across ? p.X == FLastPoint.X : p.Y == FLastPoint.Y)) return;
  if (Mode != lmDraw) DrawLine(FLastPoint);
  if (Mode != lmErase) {
    DrawLine(p);
    FLastPoint = p;
  }
}

// Drawing the line where it is shown removes it; anywhere else it shows it there.
void TVxSplitter::DrawLine(const TPoint& P) {
  if (!FForm) return;
  if (FTrackLine) {
    TControl* line = FTrackLine;
    FTrackLine = nullptr;
    delete line;
    return;
  }
  const TPoint from = FForm->ScreenToClient(P);
  const TPoint end = FForm->ScreenToClient(ClientToScreen(TPoint(Width(), Height())));
  const int half = FLineWidth / 2;
  TRect r;
  if (FSplitKind == skFirstHeight || FSplitKind == skSecondHeight)
    r = TRect(from.X, from.Y - half, end.X, from.Y - half + FLineWidth);
  else
    r = TRect(from.X - half, from.Y, from.X - half + FLineWidth, end.Y);
  FTrackLine = new TrackLineBar(FForm);  // freed with the form should it go first
  FTrackLine->FreeNotification(this);
  FTrackLine->SetBoundsRect(r);
  FTrackLine->SetParent(FForm);
  FTrackLine->BringToFront();
  FTrackLine->Repaint();
}

void TVxSplitter::StopSizing(int X, int Y, bool Apply) {
  if (!FSizing) return;
  SetMouseCapture(false);
  bool allow = Apply;
  if (Apply && OnPosChanging) OnPosChanging(this, X, Y, allow);
  EndTracking();
  TWinControl* parent = Parent();
  if (parent && allow) {
    const int maxH = parent->ClientHeight() - Height();
    const int maxW = parent->ClientWidth() - Width();
    ClampPosition(X, Y);
    int gx = FGrab.X, gy = FGrab.Y;
    auto aligned = [this](TAlign A) {
      return (FControlFirst && FControlFirst->Align() == A) || (FControlSecond && FControlSecond->Align() == A);
    };
    if (aligned(alRight)) {
      X = -X;
      gx = -gx;
    }
    if (aligned(alBottom)) {
      Y = -Y;
      gy = -gy;
    }
    TControl* sized = (FSplitKind == skFirstHeight || FSplitKind == skFirstWidth) ? FControlFirst : FControlSecond;
    const bool height = FSplitKind == skFirstHeight || FSplitKind == skSecondHeight;
    if (sized) {
      int size = height ? sized->Height() + Y - gy : sized->Width() + X - gx;
      const int maxSize = height ? maxH : maxW;
      if (size <= 0) size = 1;
      if (size >= maxSize) size = maxSize - 3;
      parent->DisableAlign();
      TScopeExit enableAlign([&] { parent->EnableAlign(); });
      if (height)
        sized->SetHeight(size);
      else
        sized->SetWidth(size);
    }
  }
  FSizing = false;
  SetShowHint(FSavedShowHint);
  if (FKeyControl) {
    FKeyControl->OnKeyDown = FSavedKeyDown;
    FKeyControl->RemoveFreeNotification(this);
  }
  FKeyControl = nullptr;
  FSavedKeyDown = nullptr;
  UpdateCursor();
  if (Apply && OnPosChanged) OnPosChanged(this);
}

namespace {
struct SplitterRegistrar {
  SplitterRegistrar() { RegisterClass(TVxSplitter::StaticClass()); }
} gSplitterRegistrar;
}  // namespace
