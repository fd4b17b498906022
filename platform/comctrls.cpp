#include "platform/comctrls.h"

#include <algorithm>
#include <vector>

#include "platform/exceptions.h"
#include "platform/menus.h"

namespace {
const TEnumInfo kProgressOrientationInfo("TProgressBarOrientation", {"pbHorizontal", "pbVertical"});
const TEnumInfo kTrackOrientationInfo("TTrackBarOrientation", {"trHorizontal", "trVertical"});
constexpr int kTrackMargin = 8;  // from each end of the control to the ends of the track
}  // namespace

VM_PUBLISH(TProgressBar) {
  P.Int("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
  P.Int("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
  P.Int("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
  P.Int("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
  P.Enum("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation, kProgressOrientationInfo)
      .Default(pbHorizontal);
}

VM_PUBLISH(TTrackBar) {
  P.Bool("TabStop", &TTrackBar::TabStop, &TTrackBar::SetTabStop).Default(true);
  P.Enum("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation, kTrackOrientationInfo)
      .Default(trHorizontal);
  P.Int("Min", &TTrackBar::Min, &TTrackBar::SetMin).Default(0);
  P.Int("Max", &TTrackBar::Max, &TTrackBar::SetMax).Default(10);
  P.Int("Position", &TTrackBar::Position, &TTrackBar::SetPosition).Default(0);
  P.Int("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency).Default(1);
  P.Int("LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize).Default(1);
  P.Int("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize).Default(2);
  P.Event("OnChange", &TTrackBar::OnChange);
}

VM_PUBLISH(TTabSheet) {
  P.String("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption);
  P.Int("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).Stored(false);
  P.Bool("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
}

VM_PUBLISH(TPageControl) {
  P.Bool("TabStop", &TPageControl::TabStop, &TPageControl::SetTabStop).Default(true);
  P.Component("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  P.Event("OnChange", &TPageControl::OnChange);
  P.Event("OnChanging", &TPageControl::OnChanging);
}

namespace {
struct ComRegistrar {
  ComRegistrar() {
    RegisterClasses(
        {TProgressBar::StaticClass(), TTrackBar::StaticClass(), TTabSheet::StaticClass(), TPageControl::StaticClass()});
  }
} gComRegistrar;
}  // namespace

// ---------------------------------------------------------------------------------------------
// TProgressBar

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clBtnFace;
  SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetMin(int Value) {
  if (ComponentState().Contains(csLoading)) {
    FMin = Value;
    return;
  }
  if (Value > FMax) throw EInvalidOperation("Property value out of range: Min above Max");
  FMin = Value;
  SetPosition(FPosition);
  Invalidate();
}

void TProgressBar::SetMax(int Value) {
  if (ComponentState().Contains(csLoading)) {
    FMax = Value;
    return;
  }
  if (Value < FMin) throw EInvalidOperation("Property value out of range: Max below Min");
  FMax = Value;
  SetPosition(FPosition);
  Invalidate();
}

void TProgressBar::SetPosition(int Value) {
  if (!ComponentState().Contains(csLoading)) Value = std::clamp(Value, FMin, std::max(FMin, FMax));
  if (Value == FPosition) return;
  FPosition = Value;
  Invalidate();
}

// A stream may hold the range in any order: check it once everything is read.
void TProgressBar::Loaded() {
  TCustomControl::Loaded();
  if (FMax < FMin) FMax = FMin;
  FPosition = std::clamp(FPosition, FMin, FMax);
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
  FOrientation = Value;
  Invalidate();
}

void TProgressBar::StepBy(int Delta) {
  int64_t p = static_cast<int64_t>(FPosition) + Delta;
  if (p > FMax) p = FMin + (p - FMax - 1) % (static_cast<int64_t>(FMax) - FMin + 1);
  SetPosition(static_cast<int>(std::max<int64_t>(p, FMin)));
}

void TProgressBar::StepIt() { StepBy(FStep); }

TRect TProgressBar::BarRect() const {
  TRect r = Rect(1, 1, std::max(1, FWidth - 1), std::max(1, FHeight - 1));
  int64_t range = static_cast<int64_t>(FMax) - FMin;
  int64_t done = static_cast<int64_t>(FPosition) - FMin;
  if (range <= 0) return Rect(r.Left, r.Top, r.Left, r.Bottom);
  if (FOrientation == pbHorizontal) {
    r.Right = r.Left + static_cast<int>(done * r.Width() / range);
  } else {
    r.Top = r.Bottom - static_cast<int>(done * r.Height() / range);
  }
  return r;
}

void TProgressBar::Paint() {
  TCanvas* c = Canvas();
  c->Pen()->SetColor(clBtnShadow);
  c->Brush()->SetStyle(bsClear);
  c->Rectangle(0, 0, FWidth, FHeight);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clHighlight);
  TRect bar = BarRect();
  if (!IsRectEmpty(bar)) c->FillRect(bar);
  TCustomControl::Paint();
}

// ---------------------------------------------------------------------------------------------
// TTrackBar

TTrackBar::TTrackBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clBtnFace;
  FTabStop = true;
  SetBounds(0, 0, 150, 45);
}

void TTrackBar::SetParams(int APosition, int AMin, int AMax) {
  if (ComponentState().Contains(csLoading)) {
    FPosition = APosition;
    FMin = AMin;
    FMax = AMax;
    return;
  }
  AMax = std::max(AMin, AMax);
  APosition = std::clamp(APosition, AMin, AMax);
  bool moved = APosition != FPosition;
  FMin = AMin;
  FMax = AMax;
  FPosition = APosition;
  Invalidate();
  if (moved)
    Guarded([this] {
      if (OnChange) OnChange(this);
    });
}

void TTrackBar::Loaded() {
  TCustomControl::Loaded();
  FMax = std::max(FMin, FMax);
  FPosition = std::clamp(FPosition, FMin, FMax);
}

void TTrackBar::SetFrequency(int Value) {
  FFrequency = std::max(0, Value);
  Invalidate();
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  SetBounds(FLeft, FTop, FHeight, FWidth);
  Invalidate();
}

int TTrackBar::TrackLength() const {
  return std::max(1, (FOrientation == trHorizontal ? FWidth : FHeight) - 2 * kTrackMargin);
}

int TTrackBar::PositionToPixel(int APosition) const {
  int64_t range = static_cast<int64_t>(FMax) - FMin;
  if (range <= 0) return kTrackMargin;
  return kTrackMargin + static_cast<int>((static_cast<int64_t>(APosition) - FMin) * TrackLength() / range);
}

int TTrackBar::PixelToPosition(int Pixel) const {
  int64_t range = static_cast<int64_t>(FMax) - FMin;
  int64_t along = std::clamp(Pixel - kTrackMargin, 0, TrackLength());
  // Rounded to the nearest position.
  return FMin + static_cast<int>((along * range * 2 + TrackLength()) / (2 * TrackLength()));
}

void TTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    FDragging = true;
    SetPosition(PixelToPosition(FOrientation == trHorizontal ? X : Y));
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TTrackBar::MouseMove(TShiftState Shift, int X, int Y) {
  if (FDragging && Shift.Contains(ssLeft)) SetPosition(PixelToPosition(FOrientation == trHorizontal ? X : Y));
  TCustomControl::MouseMove(Shift, X, Y);
}

void TTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) FDragging = false;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TTrackBar::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  switch (Key) {
    case VK_LEFT:
    case VK_UP:
      SetPosition(FPosition - FLineSize);
      break;
    case VK_RIGHT:
    case VK_DOWN:
      SetPosition(FPosition + FLineSize);
      break;
    case VK_PRIOR:
      SetPosition(FPosition - FPageSize);
      break;
    case VK_NEXT:
      SetPosition(FPosition + FPageSize);
      break;
    case VK_HOME:
      SetPosition(FMin);
      break;
    case VK_END:
      SetPosition(FMax);
      break;
    default:
      return;
  }
  Key = 0;
}

void TTrackBar::Paint() {
  TCanvas* c = Canvas();
  bool horz = FOrientation == trHorizontal;
  int mid = (horz ? FHeight : FWidth) / 2;
  int a = kTrackMargin, b = kTrackMargin + TrackLength();
  auto line = [&](int A1, int B1, int A2, int B2) {  // along, across
    if (horz) {
      c->MoveTo(A1, B1);
      c->LineTo(A2, B2);
    } else {
      c->MoveTo(B1, A1);
      c->LineTo(B2, A2);
    }
  };
  c->Pen()->SetColor(clBtnShadow);
  line(a, mid - 2, b, mid - 2);
  c->Pen()->SetColor(clBtnHighlight);
  line(a, mid + 1, b, mid + 1);
  c->Pen()->SetColor(clWindowText);
  if (FFrequency > 0 && FMax > FMin)
    for (int64_t p = FMin; p <= FMax; p += FFrequency) {
      int at = PositionToPixel(static_cast<int>(p));
      line(at, mid + 8, at, mid + 12);
    }
  int t = PositionToPixel(FPosition);
  c->Brush()->SetColor(Focused() ? clHighlight : clBtnFace);
  c->Brush()->SetStyle(bsSolid);
  c->Pen()->SetColor(clBtnShadow);
  if (horz)
    c->Rectangle(t - 5, mid - 8, t + 6, mid + 7);
  else
    c->Rectangle(mid - 8, t - 5, mid + 7, t + 6);
  TCustomControl::Paint();
}

// ---------------------------------------------------------------------------------------------
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FColor = clBtnFace;
  FVisible = false;
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (FPageControl == Value) return;
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(Value);
  if (Value) Value->InsertPage(this);
}

void TTabSheet::SetParentComponent(TComponent* Value) {
  if (auto* pc = dynamic_cast<TPageControl*>(Value)) SetPageControl(pc);
}

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  auto& v = FPageControl->FPages;
  return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TTabSheet::SetPageIndex(int Value) {
  if (!FPageControl) return;
  auto& v = FPageControl->FPages;
  Value = std::clamp(Value, 0, static_cast<int>(v.size()) - 1);
  v.erase(std::find(v.begin(), v.end(), this));
  v.insert(v.begin() + Value, this);
  FPageControl->Invalidate();
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  if (FPageControl) {
    if (!Value && FPageControl->FActivePage == this) {
      TTabSheet* next = FPageControl->FindNextPage(this, true, true);
      FPageControl->FActivePage = next == this ? nullptr : next;
      FPageControl->ShowActive();
    }
    FPageControl->Invalidate();
  }
}

int TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabVisible) return -1;
  auto tabs = FPageControl->VisibleTabs();
  return static_cast<int>(std::find(tabs.begin(), tabs.end(), this) - tabs.begin());
}

void TTabSheet::TextChanged() {
  if (FPageControl) FPageControl->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clBtnFace;
  FTabStop = true;
  SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
  for (TTabSheet* p : FPages) p->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FPages[Index];
}

std::vector<TTabSheet*> TPageControl::VisibleTabs() const {
  std::vector<TTabSheet*> r;
  for (TTabSheet* p : FPages)
    if (p->FTabVisible) r.push_back(p);
  return r;
}

void TPageControl::InsertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  Page->FPageControl = this;
  Page->SetBoundsRect(ClientRect());
  if (!FActivePage && Page->FTabVisible && !ComponentState().Contains(csLoading)) FActivePage = Page;
  ShowActive();
  Invalidate();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  TTabSheet* next = FActivePage == Page ? FindNextPage(Page, true, true) : FActivePage;
  FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
  Page->FPageControl = nullptr;
  FActivePage = next == Page ? nullptr : next;
  ShowActive();
  Invalidate();
}

void TPageControl::ShowActive() {
  for (TTabSheet* p : FPages) {
    if (p == FActivePage) p->SetBoundsRect(ClientRect());
    p->SetVisible(p == FActivePage);
  }
}

void TPageControl::SetActivePage(TTabSheet* Value) {
  if (Value && (Value->FPageControl != this || !Value->FTabVisible))
    throw EInvalidOperation("The page does not belong to this page control or its tab is hidden");
  FActivePage = Value;
  ShowActive();
  Invalidate();
}

int TPageControl::TabIndex() const { return FActivePage ? FActivePage->TabIndex() : -1; }

void TPageControl::SetTabIndex(int Value) {
  auto tabs = VisibleTabs();
  SetActivePage(Value >= 0 && Value < static_cast<int>(tabs.size()) ? tabs[Value] : nullptr);
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Value) {
  SetActivePage(Value >= 0 && Value < PageCount() && FPages[Value]->FTabVisible ? FPages[Value] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* Current, bool GoForward, bool CheckTabVisible) const {
  int n = PageCount();
  if (n == 0) return nullptr;
  auto it = std::find(FPages.begin(), FPages.end(), Current);
  int start = it == FPages.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - FPages.begin());
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    if (!CheckTabVisible || FPages[i]->FTabVisible) return FPages[i];
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
  TTabSheet* p = FindNextPage(FActivePage, GoForward, true);
  if (p && p != FActivePage) ChangeActivePage(p);
}

TRect TPageControl::TabRect(int Index) const {
  auto tabs = VisibleTabs();
  const int n = static_cast<int>(tabs.size());
  if (Index < 0 || Index >= n) return Rect(0, 0, 0, 0);
  TCanvas* c = Canvas();
  c->Font()->Assign(FFont.get());
  std::vector<int> text(static_cast<size_t>(n));
  int total = 0;
  for (int i = 0; i < n; ++i) total += text[static_cast<size_t>(i)] = c->TextWidth(StripHotkey(tabs[i]->Caption()));
  // Tabs wider together than the control first give up most of their margins, then share the
  // width by their captions' widths (captions then end in an ellipsis): every tab stays reachable.
  const int room = std::max(n, FWidth - 4);
  int pad = 16;
  if (total + n * pad > room) pad = 6;
  const bool squeeze = total + n * pad > room;
  int x = 2;
  long long before = 0;
  for (int i = 0; i < n; ++i) {
    const int own = text[static_cast<size_t>(i)];
    int w = own + pad;
    if (squeeze) {
      // Proportional shares, rounded so that the last tab ends at the control's edge.
      const long long sum = std::max(1, total);
      const int left = 2 + static_cast<int>(room * before / sum);
      before += own;
      const int right = 2 + static_cast<int>(room * before / sum);
      x = left;
      w = std::max(1, right - left);
    }
    if (i == Index) return Rect(x, 2, x + w, FTabHeight);
    x += w;
  }
  return Rect(0, 0, 0, 0);
}

int TPageControl::IndexOfTabAt(int X, int Y) const {
  int n = static_cast<int>(VisibleTabs().size());
  for (int i = 0; i < n; ++i)
    if (PtInRect(TabRect(i), TPoint(X, Y))) return i;
  return -1;
}

TRect TPageControl::ClientRect() const {
  return Rect(2, FTabHeight + 2, std::max(2, FWidth - 2), std::max(FTabHeight + 2, FHeight - 2));
}

bool TPageControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
  if (Page == FActivePage || !CanChange()) return;
  SetActivePage(Page);
  Change();
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    int i = IndexOfTabAt(X, Y);
    if (i >= 0) ChangeActivePage(VisibleTabs()[i]);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

// On the focused tab strip the arrow keys step to the neighbouring tab (stopping at the ends).
void TPageControl::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) {
    auto tabs = VisibleTabs();
    int i = TabIndex(), n = static_cast<int>(tabs.size());
    int to = Key == VK_LEFT || Key == VK_UP ? i - 1 : i + 1;
    if (n > 0 && to >= 0 && to < n) ChangeActivePage(tabs[to]);
    Key = 0;
  }
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages while the focus is anywhere inside.
bool TPageControl::DialogKey(uint16_t Key, TShiftState Shift) {
  if (Key != VK_TAB || !Shift.Contains(ssCtrl) || Shift.Contains(ssAlt)) return false;
  SelectNextPage(!Shift.Contains(ssShift));
  return true;
}

// A tab's accelerator turns to its page and focuses the tab strip.
bool TPageControl::DialogChar(char Key) {
  for (TTabSheet* p : VisibleTabs())
    if (p->Enabled() && GetHotkey(p->Caption()) == Key) {
      ChangeActivePage(p);
      if (CanFocus()) SetFocus();
      return true;
    }
  return false;
}

void TPageControl::Loaded() {
  TCustomControl::Loaded();
  if (!FActivePage) {
    auto tabs = VisibleTabs();
    if (!tabs.empty()) FActivePage = tabs.front();
  }
  ShowActive();
}

// Every page fills the area below the tabs.
void TPageControl::AlignControls(TRect& R) {
  for (TTabSheet* p : FPages) p->SetBoundsRect(R);
  TCustomControl::AlignControls(R);
}

void TPageControl::Paint() {
  TCanvas* c = Canvas();
  TRect body = Rect(0, FTabHeight, FWidth, FHeight);
  c->Pen()->SetColor(clBtnShadow);
  c->Brush()->SetStyle(bsClear);
  c->Rectangle(body.Left, body.Top, body.Right, body.Bottom);
  auto tabs = VisibleTabs();
  c->Font()->Assign(FFont.get());
  for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
    TRect r = TabRect(i);
    bool active = tabs[i] == FActivePage;
    if (active) r.Top -= 2;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(active ? FColor : clBtnFace);
    c->Rectangle(r.Left, r.Top, r.Right, r.Bottom + (active ? 1 : 0));
    c->Brush()->SetStyle(bsClear);
    TRect t = r;
    c->Font()->SetColor(FEnabled && tabs[i]->Enabled() ? FFont->Color() : clGrayText);
    c->DrawText(tabs[i]->Caption(), t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    if (active && Focused()) {
      InflateRect(r, -3, -3);
      c->DrawFocusRect(r);
    }
  }
  TCustomControl::Paint();
}
