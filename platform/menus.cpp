#include "platform/menus.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/forms.h"
#include "platform/qt_controls.h"
#include "platform/typinfo.h"

VM_PUBLISH(TMenuItem) {
  P.String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  P.Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
  P.Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
  P.Bool("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(false);
  P.Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  P.Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  P.Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  P.Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
  P.String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  P.Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  P.Event("OnClick", &TMenuItem::OnClick);
}
VM_DEFINE_CLASS(TMenu)
VM_DEFINE_CLASS(TMainMenu)
VM_PUBLISH(TPopupMenu) {
  P.Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
  P.Event("OnPopup", &TPopupMenu::OnPopup);
}

std::string StripHotkey(const std::string& Text) {
  std::string s;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&') {
      if (i + 1 < Text.size() && Text[i + 1] == '&') {
        s += '&';
        ++i;
      }
      continue;
    }
    s += Text[i];
  }
  return s;
}

char GetHotkey(const std::string& Text) {
  for (size_t i = 0; i + 1 < Text.size(); ++i) {
    if (Text[i] != '&') continue;
    if (Text[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(Text[i + 1])));
  }
  return 0;
}

std::vector<std::string> AutoHotkeyCaptions(const std::vector<std::string>& Captions) {
  std::vector<QString> texts;
  std::vector<QChar> held;
  // A caption's own hotkey: the character after a single '&'.
  auto own = [](const QString& T) -> QChar {
    for (int i = 0; i + 1 < T.size(); ++i) {
      if (T[i] != '&') continue;
      if (T[i + 1] == '&') {
        ++i;
        continue;
      }
      return T[i + 1].toLower();
    }
    return QChar();
  };
  for (const std::string& c : Captions) {
    texts.push_back(vmqt::ToQ(c));
    const QChar k = own(texts.back());
    if (!k.isNull()) held.push_back(k);
  }
  auto free = [&held](QChar C) {
    return C.isLetterOrNumber() && std::find(held.begin(), held.end(), C.toLower()) == held.end();
  };
  std::vector<std::string> out;
  for (size_t n = 0; n < texts.size(); ++n) {
    const QString& t = texts[n];
    if (t == "-" || !own(t).isNull() || t.trimmed().isEmpty()) {
      out.push_back(Captions[n]);
      continue;
    }
    int at = -1;
    for (int pass = 0; pass < 3 && at < 0; ++pass)
      for (int i = 0; i < t.size() && at < 0; ++i) {
        const bool wordStart = i == 0 || !t[i - 1].isLetterOrNumber();
        if (t[i] == '&') {  // "&&", a plain '&'
          ++i;
          continue;
        }
        const bool first = t.left(i).trimmed().isEmpty();
        if ((pass == 0 && first) || (pass == 1 && wordStart) || pass == 2)
          if (free(t[i])) at = i;
      }
    if (at < 0) {
      out.push_back(Captions[n]);
      continue;
    }
    held.push_back(t[at].toLower());
    out.push_back(vmqt::FromQ(t.left(at) + '&' + t.mid(at)));
  }
  return out;
}

namespace {

// The captions the visible entries of Parent show, hotkeys added.
std::map<TMenuItem*, QString> ShownCaptions(TMenuItem* Parent) {
  std::vector<TMenuItem*> items;
  std::vector<std::string> captions;
  for (int i = 0; i < Parent->Count(); ++i) {
    TMenuItem* it = Parent->Items(i);
    if (!it->Visible() || it->IsLine()) continue;
    items.push_back(it);
    captions.push_back(it->Caption());
  }
  const std::vector<std::string> shown = AutoHotkeyCaptions(captions);
  std::map<TMenuItem*, QString> r;
  for (size_t i = 0; i < items.size(); ++i) r[items[i]] = vmqt::ToQ(shown[i]);
  return r;
}

bool SameCaption(const std::string& A, const std::string& B) {
  std::string a = StripHotkey(A), b = StripHotkey(B);
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Runs a menu choice from Qt: exceptions go to the application.
void GuardedClick(TMenuItem* Item) {
  try {
    Item->Click();
  } catch (...) {
    vmqt::HandleCurrentException(Item);
  }
}

// The Qt action shown for each plain item of a menu bar, so that a changed check mark or
// enabled state reaches it without the bar being built again.
using TItemActions = std::map<TMenuItem*, QPointer<QAction>>;

// Fills a Qt menu with the visible items of Parent (their actions noted in Actions when given).
void FillMenu(QMenu* Menu, TMenuItem* Parent, TItemActions* Actions = nullptr) {
  Menu->clear();
  std::map<int, QActionGroup*> groups;
  const std::map<TMenuItem*, QString> shown = ShownCaptions(Parent);
  for (int i = 0; i < Parent->Count(); ++i) {
    TMenuItem* it = Parent->Items(i);
    if (!it->Visible()) continue;
    if (it->IsLine()) {
      Menu->addSeparator();
      continue;
    }
    const QString text = shown.at(it);
    if (it->Count() > 0) {
      QMenu* sub = Menu->addMenu(text);
      sub->setEnabled(it->Enabled());
      FillMenu(sub, it, Actions);
      continue;
    }
    QAction* a = Menu->addAction(text);
    if (Actions) (*Actions)[it] = a;
    a->setEnabled(it->Enabled());
    a->setCheckable(it->Checked() || it->AutoCheck() || it->RadioItem());
    a->setChecked(it->Checked());
    if (it->ShortCut()) a->setShortcut(QKeySequence(vmqt::ToQ(ShortCutToText(it->ShortCut()))));
    a->setShortcutContext(Qt::WidgetShortcut);  // shortcuts run through the form, not Qt
    a->setStatusTip(vmqt::ToQ(it->Hint()));
    QObject::connect(a, &QAction::triggered, [it] { GuardedClick(it); });
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FLink([this](TAction* A) { ActionChanged(A); }) {}

TMenuItem::~TMenuItem() {
  FLink.SetAction(nullptr);
  Clear();
  if (FParent) FParent->Remove(this);
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* p = this;
  while (p->FParent) p = p->FParent;
  return p->FMenu;
}

void TMenuItem::Changed() {
  if (TMenu* m = GetParentMenu()) m->MenuChanged();
}

void TMenuItem::StateChanged() {
  if (TMenu* m = GetParentMenu()) m->ItemStateChanged(this);
}

void TMenuItem::SetAction(TAction* Value) {
  FTakeAll = true;
  FLink.SetAction(Value);
  FTakeAll = false;
}

namespace {
template <class T, class U>
void Follow(T& Mine, T& Seen, const U& Now, bool All) {
  if (All || Mine == Seen) Mine = Now;
  Seen = Now;
}
}  // namespace

void TMenuItem::ActionChanged(TAction* A) {
  const std::string caption = FCaption, hint = FHint;
  const bool checked = FChecked, enabled = FEnabled, visible = FVisible;
  const TShortCut shortCut = FShortCut;
  const int imageIndex = FImageIndex;
  TFromAction& seen = FFromAction;
  Follow(FCaption, seen.Caption, A->Caption(), FTakeAll);
  Follow(FChecked, seen.Checked, A->Checked(), FTakeAll);
  Follow(FEnabled, seen.Enabled, A->Enabled(), FTakeAll);
  Follow(FVisible, seen.Visible, A->Visible(), FTakeAll);
  Follow(FShortCut, seen.ShortCut, A->ShortCut(), FTakeAll);
  Follow(FHint, seen.Hint, A->Hint(), FTakeAll);
  Follow(FImageIndex, seen.ImageIndex, A->ImageIndex(), FTakeAll);
  if (FCaption != caption || FHint != hint || FVisible != visible || FShortCut != shortCut || FImageIndex != imageIndex)
    Changed();
  else if (FChecked != checked || FEnabled != enabled)
    StateChanged();
}

void TMenuItem::SetCaption(const std::string& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Changed();
}

void TMenuItem::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FRadioItem && FParent)
    for (TMenuItem* s : FParent->FItems)
      if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex) s->SetChecked(false);
  StateChanged();
}

void TMenuItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  StateChanged();
}

void TMenuItem::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  FShortCut = Value;
  Changed();
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
  return FItems[Index];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EMenuError("Menu inserted twice");
  if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EMenuError("Menu inserted twice");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) throw EMenuError("Menu item not found");
  FItems.erase(it);
  Item->FParent = nullptr;
  Changed();
}

void TMenuItem::Delete(int Index) {
  TMenuItem* item = Items(Index);
  Remove(item);
  delete item;
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* item = FItems.back();
    FItems.pop_back();
    item->FParent = nullptr;
    delete item;
  }
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
  for (TMenuItem* it : FItems)
    if (SameCaption(it->FCaption, ACaption)) return it;
  return nullptr;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut Value) const {
  if (Value == 0) return nullptr;
  for (TMenuItem* it : FItems) {
    if (!it->FVisible || !it->FEnabled) continue;
    if (it->FShortCut == Value && it->FItems.empty()) return it;
    if (TMenuItem* sub = it->FindShortCut(Value)) return sub;
  }
  return nullptr;
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck && !(FLink.Action() && FLink.Action()->AutoCheck())) SetChecked(!FChecked);
  if (OnClick)
    OnClick(this);
  else if (FLink.Action())
    FLink.Execute(this);
}

// ---------------------------------------------------------------------------------------------
// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
}

TMenu::~TMenu() = default;

void TMenu::ItemStateChanged(TMenuItem*) { MenuChanged(); }

namespace {
// The visible leaf items of a tree with that shortcut, in menu order.
void CollectShortCut(TMenuItem* Parent, TShortCut Value, std::vector<TMenuItem*>& Found) {
  for (int i = 0; i < Parent->Count(); ++i) {
    TMenuItem* it = Parent->Items(i);
    if (!it->Visible()) continue;
    if (it->Count() > 0) {
      if (it->Enabled()) CollectShortCut(it, Value, Found);
    } else if (it->ShortCut() == Value) {
      Found.push_back(it);
    }
  }
}
}  // namespace

bool TMenu::IsShortCut(uint16_t Key, TShiftState Shift) {
  TShortCut s = ::ShortCut(Key, Shift);
  if (s == 0) return false;
  std::vector<TMenuItem*> found;
  CollectShortCut(FItems.get(), s, found);
  for (TMenuItem* item : found) {
    // A linked action decides its state first (it may have become enabled since).
    if (TAction* a = item->Action()) a->Update();
    if (!item->Enabled() || !item->Visible()) continue;
    item->Click();
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// TMainMenu

namespace {

// Keeps a menu bar as wide as the form it sits on, whenever the form is sized.
class TMenuBarWidth : public QObject {
public:
  explicit TMenuBarWidth(QMenuBar* Bar) : QObject(Bar), FBar(Bar) {}
  bool eventFilter(QObject* Watched, QEvent* E) override {
    if (E->type() == QEvent::Resize && Watched == FBar->parentWidget())
      FBar->setGeometry(0, 0, FBar->parentWidget()->width(), FBar->sizeHint().height());
    return false;
  }

private:
  QMenuBar* FBar;
};

}  // namespace

struct TMainMenu::Impl {
  QPointer<QMenuBar> Bar;
  bool RebuildPending = false;
  TItemActions Actions;  // of the bar as last built
};

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner), FImpl(std::make_unique<Impl>()) {
  if (auto* f = dynamic_cast<TForm*>(AOwner))
    if (!f->Menu()) f->SetMenu(this);
}

TMainMenu::~TMainMenu() {
  delete FImpl->Bar.data();
  if (auto* f = dynamic_cast<TForm*>(Owner()))
    if (f->Menu() == this) f->SetMenu(nullptr);
}

void* TMainMenu::MenuBarHandle() const { return FImpl->Bar.data(); }

void TMainMenu::MenuChanged() {
  TMenu::MenuChanged();
  // Rebuilt once the current event is done: a click handler may be changing the menu, and the
  // Qt action it came from must outlive it.
  if (!FImpl->Bar || FImpl->RebuildPending) return;
  FImpl->RebuildPending = true;
  QTimer::singleShot(0, FImpl->Bar.data(), [this] {
    FImpl->RebuildPending = false;
    if (FImpl->Bar) BuildMenuBar(FImpl->Bar->parentWidget());
  });
}

void TMainMenu::ItemStateChanged(TMenuItem* Item) {
  auto it = FImpl->Actions.find(Item);
  if (!FImpl->Bar || FImpl->RebuildPending || it == FImpl->Actions.end() || !it->second) return MenuChanged();
  TMenu::MenuChanged();
  QAction* a = it->second;
  a->setEnabled(Item->Enabled());
  a->setCheckable(Item->Checked() || Item->AutoCheck() || Item->RadioItem());
  a->setChecked(Item->Checked());
}

void TMainMenu::BuildMenuBar(void* Parent) {
  auto* parent = static_cast<QWidget*>(Parent);
  if (!parent) return;
  if (!FImpl->Bar || FImpl->Bar->parentWidget() != parent) {
    delete FImpl->Bar.data();
    FImpl->Bar = new QMenuBar(parent);
    parent->installEventFilter(new TMenuBarWidth(FImpl->Bar));
  }
  QMenuBar* bar = FImpl->Bar;
  bar->clear();
  FImpl->Actions.clear();
  const std::map<TMenuItem*, QString> shown = ShownCaptions(Items());
  for (int i = 0; i < Items()->Count(); ++i) {
    TMenuItem* it = Items()->Items(i);
    if (!it->Visible() || it->IsLine()) continue;
    if (it->Count() > 0) {
      QMenu* m = bar->addMenu(shown.at(it));
      m->menuAction()->setData(QVariant::fromValue(reinterpret_cast<quintptr>(it)));
      m->setEnabled(it->Enabled());
      FillMenu(m, it, &FImpl->Actions);
    } else {
      QAction* a = bar->addAction(shown.at(it));
      a->setEnabled(it->Enabled());
      QObject::connect(a, &QAction::triggered, [it] { GuardedClick(it); });
    }
  }
  bar->setGeometry(0, 0, parent->width(), bar->sizeHint().height());
  bar->show();
}

int TMainMenu::ShownItemState(TMenuItem* Item) const {
  auto it = FImpl->Actions.find(Item);
  if (!FImpl->Bar || it == FImpl->Actions.end() || !it->second) return -1;
  return (it->second->isEnabled() ? 1 : 0) + (it->second->isChecked() ? 2 : 0);
}

std::string TMainMenu::OpenEntry() const {
  QMenuBar* bar = FImpl->Bar;
  QAction* a = bar ? bar->activeAction() : nullptr;
  if (!a || !a->menu() || !a->menu()->isVisible()) return std::string();
  // The entry's own caption, not the text shown with its added hotkey.
  for (int i = 0; i < Items()->Count(); ++i)
    if (a->data().toULongLong() == reinterpret_cast<quintptr>(Items()->Items(i))) return Items()->Items(i)->Caption();
  return vmqt::FromQ(a->text());
}

// ---------------------------------------------------------------------------------------------
// TPopupMenu

struct TPopupMenu::Impl {
  std::unique_ptr<QMenu> Menu;
};

namespace {

// Controls with a pop-up menu, and the filter that opens it on a right click.
std::map<TControl*, TPopupMenu*>& PopupMenus() {
  static std::map<TControl*, TPopupMenu*> m;
  return m;
}

class PopupFilter : public QObject {
public:
  bool eventFilter(QObject* Obj, QEvent* Event) override {
    if (Event->type() != QEvent::MouseButtonRelease) return false;
    auto* me = static_cast<QMouseEvent*>(Event);
    if (me->button() != Qt::RightButton) return false;
    auto* w = qobject_cast<QWidget*>(Obj);
    if (!w) return false;
    for (auto& [ctrl, menu] : PopupMenus()) {
      if (vmqt::ControlWidget(ctrl) != w) continue;
      if (!menu->AutoPopup() || !w->rect().contains(me->position().toPoint())) return false;
      QPoint g = w->mapToGlobal(me->position().toPoint());
      menu->SetPopupComponent(ctrl);
      try {
        menu->Popup(g.x(), g.y());
      } catch (...) {
        vmqt::HandleCurrentException(menu);
      }
      return false;
    }
    return false;
  }
};

void InstallPopupFilter() {
  static PopupFilter* filter = nullptr;
  if (filter) return;
  vmqt::EnsureApp();
  filter = new PopupFilter;
  qApp->installEventFilter(filter);
}

}  // namespace

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner), FImpl(std::make_unique<Impl>()) {}

TPopupMenu::~TPopupMenu() {
  auto& m = PopupMenus();
  for (auto it = m.begin(); it != m.end();) {
    if (it->second == this) {
      it->first->RemoveFreeNotification(this);
      it = m.erase(it);
    } else {
      ++it;
    }
  }
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupComponent) FPopupComponent = nullptr;
  auto* control = dynamic_cast<TControl*>(AComponent);
  if (!control) return;
  auto& m = PopupMenus();
  auto it = m.find(control);
  if (it != m.end() && it->second == this) m.erase(it);
}

void* TPopupMenu::MenuHandle() const { return FImpl->Menu.get(); }

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  vmqt::EnsureApp();
  if (!FImpl->Menu) FImpl->Menu = std::make_unique<QMenu>();
  FillMenu(FImpl->Menu.get(), Items());
  QPoint at(X, Y);
  if (FAlignment == paRight)
    at.rx() -= FImpl->Menu->sizeHint().width();
  else if (FAlignment == paCenter)
    at.rx() -= FImpl->Menu->sizeHint().width() / 2;
  QString p = QGuiApplication::platformName();
  if (p == "offscreen" || p == "minimal") return;
  FImpl->Menu->popup(at);
}

void SetControlPopupMenu(TControl* Control, TPopupMenu* Menu) {
  if (!Control) return;
  auto& m = PopupMenus();
  auto it = m.find(Control);
  if (it != m.end()) {
    Control->RemoveFreeNotification(it->second);
    m.erase(it);
  }
  if (!Menu) return;
  InstallPopupFilter();
  m[Control] = Menu;
  Control->FreeNotification(Menu);
}

TPopupMenu* ControlPopupMenu(TControl* Control) {
  auto& m = PopupMenus();
  auto it = m.find(Control);
  return it == m.end() ? nullptr : it->second;
}
