#include "platform/toolbars.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

#include "platform/imglist.h"
#include "platform/menus.h"
#include "platform/qt_controls.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

namespace {
const TEnumInfo ToolButtonStyleInfo("TToolButtonStyle",
                                    {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"});
constexpr int kSeparatorWidth = 8;
constexpr int kArrowWidth = 12;
}  // namespace

VM_PUBLISH(TToolButton) {
  P.Enum("Style", &TToolButton::Style, &TToolButton::SetStyle, ToolButtonStyleInfo).Default(tbsButton);
  P.Bool("Down", &TToolButton::Down, &TToolButton::SetDown).Default(false);
  P.Bool("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(false);
  P.Int("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
}
VM_PUBLISH(TToolBar) {
  P.Int("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
  P.Int("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
  P.Bool("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false);
}
VM_PUBLISH(TControlBar) {
  P.Bool("AutoSize", &TControlBar::AutoSize, &TControlBar::SetAutoSize).Default(false);
  P.Bool("RowSnap", &TControlBar::RowSnap, &TControlBar::SetRowSnap).Default(true);
}
VM_PUBLISH(TStatusBar) {
  P.Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
  P.String("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
}

// ---------------------------------------------------------------------------------------------
// TToolButton

TToolButton::TToolButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FLink([this](TAction* A) { ActionChanged(A); }) {
  FColor = clBtnFace;
  SetBounds(0, 0, 23, 22);
  CreateSurface();
}

TToolButton::~TToolButton() { FLink.SetAction(nullptr); }

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(FParent); }

int TToolButton::Index() const {
  TToolBar* bar = ToolBar();
  if (!bar) return -1;
  for (int i = 0; i < bar->ButtonCount(); ++i)
    if (bar->Buttons(i) == this) return i;
  return -1;
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  if (FParent) FParent->Realign();
  Invalidate();
}

void TToolButton::SetDown(bool Value) {
  if (Value == FDown) return;
  if (!Value && FGrouped && !FAllowAllUp && FStyle == tbsCheck) return;  // one of the group stays down
  FDown = Value;
  if (Value && FGrouped)
    if (TToolBar* bar = ToolBar()) {
      // The neighbours of the same group: the run of grouped check buttons around this one.
      int i = Index();
      for (int dir : {-1, 1})
        for (int j = i + dir; j >= 0 && j < bar->ButtonCount(); j += dir) {
          TToolButton* b = bar->Buttons(j);
          if (!b->FGrouped || b->FStyle != tbsCheck) break;
          b->FDown = false;
          b->Invalidate();
        }
    }
  Invalidate();
}

void TToolButton::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  Invalidate();
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value) {
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = Value;
  if (Value) Value->FreeNotification(this);
  if (FParent) FParent->Realign();
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropdownMenu) FDropdownMenu = nullptr;
}

void TToolButton::ActionChanged(TAction* A) {
  SetCaption(A->Caption());
  SetHint(A->Hint());
  SetEnabled(A->Enabled());
  SetVisible(A->Visible());
  SetImageIndex(A->ImageIndex());
  // The button shows exactly the action's check: down while it is checked, up once it is not
  // (whatever the button's style), so one tool of a group of actions shows down at a time.
  bool keep = FAllowAllUp;
  FAllowAllUp = true;  // the action decides
  SetDown(A->Checked());
  FAllowAllUp = keep;
}

void TToolButton::TextChanged() {
  if (TToolBar* bar = ToolBar(); bar && bar->ShowCaptions()) bar->Realign();
  Invalidate();
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FArrowHit = FStyle == tbsDropDown && X >= FWidth - kArrowWidth;
  TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TToolButton::Click() {
  if (!FEnabled || FStyle == tbsSeparator || FStyle == tbsDivider) return;
  if (FStyle == tbsDropDown && FArrowHit && FDropdownMenu) {
    FArrowHit = false;
    TPoint p = ClientToScreen(Point(0, FHeight));
    FDropdownMenu->SetPopupComponent(this);
    FDropdownMenu->Popup(p.X, p.Y);
    return;
  }
  FArrowHit = false;
  TAction* a = FLink.Action();
  if (FStyle == tbsCheck && !(a && a->AutoCheck())) SetDown(!FDown);
  if (OnClick)
    OnClick(this);
  else if (a)
    FLink.Execute(this);
}

void TToolButton::MouseEnter() {
  TGraphicControl::MouseEnter();
  Invalidate();
}

void TToolButton::MouseLeave() {
  TGraphicControl::MouseLeave();
  Invalidate();
}

void TToolButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(FParent ? FParent->Color() : clBtnFace);
  c->FillRect(r);
  if (FStyle == tbsSeparator) return;
  if (FStyle == tbsDivider) {
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(r.Width() / 2, 2);
    c->LineTo(r.Width() / 2, r.Height() - 2);
    return;
  }
  if (FDown) {
    // Pressed in: a darker face inside a sunken edge.
    c->Brush()->SetColor(clBtnHighlight);
    c->FillRect(Rect(1, 1, r.Right - 1, r.Bottom - 1));
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(0, r.Bottom - 1);
    c->LineTo(0, 0);
    c->LineTo(r.Right - 1, 0);
  } else if (MouseInControl() && FEnabled) {
    // Hot: a raised edge around the face (and between the button and its arrow).
    c->Pen()->SetColor(clBtnHighlight);
    c->MoveTo(0, r.Bottom - 1);
    c->LineTo(0, 0);
    c->LineTo(r.Right - 1, 0);
    c->Pen()->SetColor(clBtnShadow);
    c->LineTo(r.Right - 1, r.Bottom - 1);
    c->LineTo(-1, r.Bottom - 1);
    if (FStyle == tbsDropDown) {
      c->MoveTo(r.Right - kArrowWidth, 1);
      c->LineTo(r.Right - kArrowWidth, r.Bottom - 1);
    }
  }
  int textRight = FStyle == tbsDropDown ? r.Right - kArrowWidth : r.Right;
  TToolBar* bar = ToolBar();
  auto* images = bar ? dynamic_cast<TImageList*>(bar->Images()) : nullptr;
  bool drawn = false;
  if (images && FImageIndex >= 0 && FImageIndex < images->Count()) {
    // The picture centred (above the caption when the bar shows captions).
    int th = bar->ShowCaptions() && !FText.empty() ? c->TextHeight(FText) : 0;
    int x = (textRight - images->Width()) / 2 + (FDown ? 1 : 0);
    int y = (r.Height() - images->Height() - th) / 2 + (FDown ? 1 : 0);
    images->Draw(c, x, y, FImageIndex, FEnabled);
    drawn = true;
    if (th > 0) {
      c->Font()->Assign(Font());
      if (!FEnabled) c->Font()->SetColor(clGrayText);
      c->Brush()->SetStyle(bsClear);
      c->TextOut(std::max(2, (textRight - c->TextWidth(FText)) / 2), y + images->Height(), FText);
      c->Brush()->SetStyle(bsSolid);
    }
  }
  // Without a picture the caption stands in (the image number when there is none).
  std::string text = drawn ? std::string() : FText;
  if (!drawn && text.empty() && FImageIndex >= 0) text = std::to_string(FImageIndex);
  if (!text.empty()) {
    c->Font()->Assign(Font());
    if (!FEnabled) c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(bsClear);
    int tw = c->TextWidth(text), th = c->TextHeight(text);
    c->TextRect(Rect(1, 1, textRight - 1, r.Bottom - 1), std::max(2, (textRight - tw) / 2), (r.Height() - th) / 2,
                text);
    c->Brush()->SetStyle(bsSolid);
  }
  if (FStyle == tbsDropDown) {
    c->Brush()->SetColor(FEnabled ? clBtnText : clGrayText);
    c->Pen()->SetColor(FEnabled ? clBtnText : clGrayText);
    int cx = r.Right - kArrowWidth / 2, cy = r.Height() / 2;
    TPoint tri[] = {Point(cx - 3, cy - 1), Point(cx + 3, cy - 1), Point(cx, cy + 2)};
    c->Polygon(tri, 3);
  }
}

// ---------------------------------------------------------------------------------------------
// TToolBar

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clBtnFace;
  SetBounds(0, 0, 150, 26);
}

TToolBar::~TToolBar() = default;

int TToolBar::ButtonCount() const {
  int n = 0;
  for (TControl* c : FControls)
    if (dynamic_cast<TToolButton*>(c)) ++n;
  return n;
}

TToolButton* TToolBar::Buttons(int Index) const {
  int n = 0;
  for (TControl* c : FControls)
    if (auto* b = dynamic_cast<TToolButton*>(c)) {
      if (n == Index) return b;
      ++n;
    }
  throw EListError(Format("List index out of bounds (%d)", {Index}));
}

void TToolBar::SetButtonWidth(int Value) {
  FButtonWidth = std::max(1, Value);
  Realign();
}

void TToolBar::SetButtonHeight(int Value) {
  FButtonHeight = std::max(1, Value);
  Realign();
}

void TToolBar::SetShowCaptions(bool Value) {
  FShowCaptions = Value;
  Realign();
}

void TToolBar::SetImages(TComponent* Value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  for (TControl* c : FControls) c->Invalidate();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

namespace {
int ButtonSpan(const TToolBar* Bar, TToolButton* B) {
  switch (B->Style()) {
    case tbsSeparator:
    case tbsDivider:
      return kSeparatorWidth;
    default:
      break;
  }
  int w = Bar->ButtonWidth();
  if (Bar->ShowCaptions() && B->Canvas()) w = std::max(w, B->Canvas()->TextWidth(B->Caption()) + 8);
  if (B->Style() == tbsDropDown) w += kArrowWidth;
  return w;
}
}  // namespace

int TToolBar::ButtonsWidth() const {
  int w = 0;
  for (TControl* c : FControls)
    if (auto* b = dynamic_cast<TToolButton*>(c); b && b->Visible()) w += ButtonSpan(this, b);
  return w;
}

void TToolBar::AlignControls(TRect& R) {
  TCustomControl::AlignControls(R);
  int x = R.Left;
  for (TControl* c : FControls) {
    auto* b = dynamic_cast<TToolButton*>(c);
    if (!b || !b->Visible()) continue;
    int w = ButtonSpan(this, b);
    b->SetBounds(x, R.Top, w, FButtonHeight);
    x += w;
  }
}

void TToolBar::SetParent(TWinControl* AParent) {
  if (AParent && FFloating) {
    FFloating = false;
    if (QWidget* w = vmqt::ControlWidget(this)) {
      w->hide();
      w->setWindowFlags(Qt::Widget);
    }
  }
  TCustomControl::SetParent(AParent);
}

namespace {
// The close box of a floating bar hides the bar instead of closing a window.
class FloatCloseFilter : public QObject {
public:
  explicit FloatCloseFilter(TToolBar* Bar) : Bar(Bar) { setObjectName(Name); }
  static constexpr const char* Name = "vm_float_close";
  bool eventFilter(QObject*, QEvent* E) override {
    if (E->type() != QEvent::Close) return false;
    E->ignore();
    if (Bar) Bar->DispatchClose();
    return true;
  }
  TToolBar* Bar;
};
}  // namespace

void TToolBar::ManualFloat(const TRect& ScreenPos) {
  if (FParent) TCustomControl::SetParent(nullptr);
  FFloating = true;
  SetBounds(ScreenPos.Left, ScreenPos.Top, std::max(ScreenPos.Width(), ButtonsWidth()),
            std::max(ScreenPos.Height(), FButtonHeight));
  HandleNeeded();
  QWidget* w = vmqt::ControlWidget(this);
  if (!w) return;
  // Found by name: the filter has no meta-object of its own for a typed lookup.
  if (!w->findChild<QObject*>(FloatCloseFilter::Name, Qt::FindDirectChildrenOnly)) {
    auto* f = new FloatCloseFilter(this);
    f->setParent(w);
    w->installEventFilter(f);
  }
  w->setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  w->setWindowTitle(vmqt::ToQ(Caption()));
  w->setGeometry(FLeft, FTop, FWidth, FHeight);
  Realign();
  if (FVisible) w->show();
}

void TToolBar::ManualDock(TWinControl* Site) {
  if (Site) SetParent(Site);
}

void TToolBar::DispatchClose() {
  Guarded([this] {
    SetVisible(false);
    if (OnClose) OnClose(this);
  });
}

void TToolBar::VisibleChanged() {
  TCustomControl::VisibleChanged();
  // A floating bar is a window of its own: showing and hiding it is up to the bar.
  if (FFloating)
    if (QWidget* w = vmqt::ControlWidget(this)) w->setVisible(FVisible);
}

void TToolBar::Paint() {
  Canvas()->Brush()->SetColor(FColor);
  Canvas()->FillRect(ClientRect());
  TCustomControl::Paint();
}

// ---------------------------------------------------------------------------------------------
// TControlBar

TControlBar::TControlBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clBtnFace;
  SetBounds(0, 0, 300, 30);
}

void TControlBar::SetAutoSize(bool Value) {
  FAutoSize = Value;
  Realign();
}

void TControlBar::AlignControls(TRect& R) {
  std::vector<TControl*> bars;
  for (TControl* c : FControls)
    if (c->Visible() && c->Align() == alNone) bars.push_back(c);
  // A bar moved down to fit counts in its own row again, unless it was moved since.
  std::vector<std::pair<TControl*, int>> home;
  for (const TWrapped& w : FWrapped)
    if (std::find(bars.begin(), bars.end(), w.Bar) != bars.end() && w.Bar->Top() == w.PlacedTop)
      home.emplace_back(w.Bar, w.HomeTop);
  FWrapped.clear();
  auto topOf = [&home](TControl* C) {
    for (auto& [bar, top] : home)
      if (bar == C) return top;
    return C->Top();
  };
  // Rows by stored Top (the bar placed first wins a tie), then by Left within each row.
  std::stable_sort(bars.begin(), bars.end(), [&](TControl* a, TControl* b) { return topOf(a) < topOf(b); });
  int y = R.Top;
  FRowCount = 0;
  size_t i = 0;
  while (i < bars.size()) {
    // A row holds the bars whose Top falls within the first one's height.
    TControl* first = bars[i];
    int rowEnd = topOf(first) + std::max(1, first->Height());
    size_t j = i;
    while (j < bars.size() && (j == i || topOf(bars[j]) < rowEnd)) ++j;
    std::stable_sort(bars.begin() + static_cast<std::ptrdiff_t>(i), bars.begin() + static_cast<std::ptrdiff_t>(j),
                     [](TControl* a, TControl* b) { return a->Left() < b->Left(); });
    int x = R.Left, h = 0;
    bool wrapped = false;  // after a line break the bars of the row follow one another
    for (size_t k = i; k < j; ++k) {
      TControl* b = bars[k];
      int left = wrapped ? x : std::max(x, b->Left());
      if (k > i && h > 0 && left + b->Width() > R.Right && R.Right > R.Left) {
        // No room left in this line: the bar starts the next one.
        y += h;
        ++FRowCount;
        h = 0;
        left = R.Left;
        wrapped = true;
        FWrapped.push_back({b, topOf(b), y});
      }
      b->SetBounds(left, y, b->Width(), b->Height());
      x = left + b->Width();
      h = std::max(h, b->Height());
    }
    y += h;
    ++FRowCount;
    i = j;
  }
  if (FAutoSize) {
    int want = std::max(y - R.Top, 0) + (FHeight - ClientHeight());
    if (want != FHeight) SetBounds(FLeft, FTop, FWidth, want);
  }
}

void TControlBar::Paint() {
  Canvas()->Brush()->SetColor(FColor);
  Canvas()->FillRect(ClientRect());
  TCustomControl::Paint();
}

// ---------------------------------------------------------------------------------------------
// TStatusBar

void TStatusPanel::SetText(const std::string& Value) {
  if (Value == FText) return;
  FText = Value;
  FOwner->Invalidate();
}

void TStatusPanel::SetWidth(int Value) {
  FWidth = std::max(0, Value);
  FOwner->Invalidate();
}

void TStatusPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  FOwner->Invalidate();
}

int TStatusPanel::Index() const {
  TStatusPanels* p = FOwner->Panels();
  for (int i = 0; i < p->Count(); ++i)
    if (p->Items(i) == this) return i;
  return -1;
}

TStatusPanel* TStatusPanels::Add() {
  FItems.push_back(std::make_unique<TStatusPanel>(FOwner));
  FOwner->Invalidate();
  return FItems.back().get();
}

TStatusPanel* TStatusPanels::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FItems[Index].get();
}

void TStatusPanels::Delete(int Index) {
  Items(Index);
  FItems.erase(FItems.begin() + Index);
  FOwner->Invalidate();
}

void TStatusPanels::Clear() {
  FItems.clear();
  FOwner->Invalidate();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)) {
  FColor = clBtnFace;
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetSimplePanel(bool Value) {
  FSimplePanel = Value;
  Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& Value) {
  FSimpleText = Value;
  Invalidate();
}

TRect TStatusBar::PanelRect(int Index) const {
  TRect c = ClientRect();
  int x = 0;
  for (int i = 0; i < FPanels->Count(); ++i) {
    bool last = i == FPanels->Count() - 1;
    int w = last ? std::max(FPanels->Items(i)->Width(), c.Width() - x) : FPanels->Items(i)->Width();
    if (i == Index) return Rect(x, 0, x + w, c.Height());
    x += w;
  }
  return Rect(0, 0, 0, 0);
}

void TStatusBar::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(FColor);
  c->FillRect(ClientRect());
  c->Font()->Assign(Font());
  auto text = [&](const TRect& R, const std::string& S, TAlignment A) {
    if (S.empty()) return;
    int tw = c->TextWidth(S), th = c->TextHeight(S);
    int x = A == taRightJustify ? R.Right - 3 - tw : A == taCenter ? R.Left + (R.Width() - tw) / 2 : R.Left + 3;
    c->Brush()->SetStyle(bsClear);
    c->TextRect(Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1), x, R.Top + (R.Height() - th) / 2, S);
    c->Brush()->SetStyle(bsSolid);
  };
  if (FSimplePanel || FPanels->Count() == 0) {
    text(ClientRect(), FSimpleText, taLeftJustify);
    return;
  }
  c->Pen()->SetColor(clBtnShadow);
  for (int i = 0; i < FPanels->Count(); ++i) {
    TRect r = PanelRect(i);
    TStatusPanel* p = FPanels->Items(i);
    text(r, p->Text(), p->Alignment());
    if (i < FPanels->Count() - 1) {
      c->MoveTo(r.Right - 1, 1);
      c->LineTo(r.Right - 1, r.Bottom - 1);
    }
  }
}
