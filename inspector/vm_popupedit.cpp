#include "inspector/vm_popupedit.h"

#include <algorithm>

#include "inspector/vm_utils.h"
#include "platform/exceptions.h"
#include "platform/guards.h"

const char* const SvmCircularReference = "Circular referencing is not allowed";

namespace {

std::vector<TvmPopupEditForm*>& PopupList() {
  static std::vector<TvmPopupEditForm*> list;
  return list;
}

// C is W or lies inside it.
bool Inside(const TWinControl* W, const TControl* C) {
  for (const TControl* p = C; p; p = p->Parent())
    if (p == W) return true;
  return false;
}

void RemoveFromList(TvmPopupEditForm* F) {
  auto& l = PopupList();
  l.erase(std::remove(l.begin(), l.end(), F), l.end());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Popup form

VM_DEFINE_CLASS(TvmPopupEditForm)

TvmPopupEditForm::TvmPopupEditForm(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsDialog);
  SetBorderIcons({biSystemMenu});
  SetKeyPreview(true);
}

TvmPopupEditForm::~TvmPopupEditForm() {
  FWatch.reset();
  RemoveFromList(this);
}

const std::vector<TvmPopupEditForm*>& TvmPopupEditForm::OpenPopups() { return PopupList(); }

void TvmPopupEditForm::SetEditor(TvmInplacePopupEdit* Value) {
  if (FEditor == Value) return;
  if (FEditor) FEditor->RemoveFreeNotification(this);
  FEditor = Value;
  if (FEditor) FEditor->FreeNotification(this);
}

void TvmPopupEditForm::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FEditor) FEditor = nullptr;
}

void TvmPopupEditForm::SetPopupBorderStyle(TvmPopupEditFormBorderStyle Value) {
  FPopupBorderStyle = Value;
  SetBorderStyle(Value == pbsDialog || Value == pbsDialogHelp ? bsDialog : bsNone);
  SetBorderIcons(Value == pbsDialogHelp ? TBorderIcons{biSystemMenu, biHelp} : TBorderIcons{biSystemMenu});
}

int TvmPopupEditForm::SizingHitTest(int Code) const {
  if (!FSizeable) return HTNOWHERE;
  static const int allowed[4][3] = {{HTLEFT, HTTOP, HTTOPLEFT},
                                    {HTRIGHT, HTTOP, HTTOPRIGHT},
                                    {HTLEFT, HTBOTTOM, HTBOTTOMLEFT},
                                    {HTRIGHT, HTBOTTOM, HTBOTTOMRIGHT}};
  const int* a = allowed[std::clamp(GripCorner, 0, 3)];
  return Code == a[0] || Code == a[1] || Code == a[2] ? Code : HTNOWHERE;
}

void TvmPopupEditForm::ShowPopup() {
  PopupList().push_back(this);
  Show();
  ActivateControlWindow(this);
  SetModalResult(mrNone);
  // A press outside every open popup and outside the editor closes this popup, as leaving it does,
  // and so do the editor's form moving and the activation going to another program or window.
  // While a popup opened from this one is open, that one watches (a press in it is not outside).
  FWatch = std::make_unique<TOutsideClickWatch>(
      this, FEditor,
      [this] {
        if (!PopupList().empty() && PopupList().back() != this) return;
        CloseUp(false);
      },
      true);
  TScopeExit restore([&] {
    FWatch.reset();
    if (Visible()) Hide();
    RemoveFromList(this);
  });
  while (Visible() && FEditor && !(Application && Application->Terminated())) {
    if (ModalResult() != mrNone) {
      CloseUp(ModalResult() == mrOk);
      if (!Visible()) break;
    }
    if (Application) Application->HandleMessage();
  }
}

void TvmPopupEditForm::CloseUp(bool Accept) {
  if (FClosing) return;
  FClosing = true;
  TScopeExit closing([this] { FClosing = false; });
  if (Accept && FEditor && !FEditor->DoCloseQuery(FEditor)) {
    SetModalResult(mrNone);
    return;
  }
  // Popups opened after this one close first, newest first.
  auto& l = PopupList();
  for (;;) {
    auto it = std::find(l.begin(), l.end(), this);
    if (it == l.end() || it + 1 == l.end()) break;
    TvmPopupEditForm* newest = l.back();
    if (!newest->Enabled()) break;
    newest->CloseUp(false);
    if (!l.empty() && l.back() == newest) RemoveFromList(newest);
  }
  std::string text;
  if (FEditor) {
    text = FEditor->GetWindowText();
    FEditor->DoCloseUp(FEditor, text, Accept);
  }
  FWatch.reset();
  Hide();
  RemoveFromList(this);
  // The window under the popup is active again, its editor focused; then the text is taken.
  if (FEditor && FEditor->CanFocus()) {
    ActivateControlWindow(FEditor);
    FEditor->SetFocus();
  }
  if (FEditor && Accept && FEditor->IsEditable() && text != FEditor->GetWindowText() && FEditor->CanModify()) {
    FEditor->SetWindowText(text);
    FEditor->SetModifiedFlag(true);
  }
}

void TvmPopupEditForm::Deactivated() {
  if (!Visible() || FClosing) return;
  // Activation that went to a popup opened from this one keeps this one open.
  auto& l = PopupList();
  auto it = std::find(l.begin(), l.end(), this);
  if (it != l.end() && it + 1 != l.end()) return;
  CloseUp(false);
}

void TvmPopupEditForm::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE:
      // The close box asks the editor; a refused close keeps the popup.
      if (FEditor && !FEditor->DoCloseQuery(FEditor)) return;
      CloseUp(false);
      return;
    case WM_GETMINMAXINFO: {
      TForm::WndProc(Message);
      if (auto* info = reinterpret_cast<TMinMaxInfo*>(Message.LParam)) {
        info->ptMinTrackSize.X = std::max<int>(info->ptMinTrackSize.X, MinWidth);
        info->ptMinTrackSize.Y = std::max<int>(info->ptMinTrackSize.Y, MinHeight);
      }
      return;
    }
    default:
      break;
  }
  TForm::WndProc(Message);
  if (Message.Msg == WM_ACTIVATE && Message.WParam == WA_INACTIVE) Deactivated();
}

void TvmPopupEditForm::DoClose(TCloseAction& Action) {
  Action = caNone;
  CloseUp(false);
}

void TvmPopupEditForm::KeyDown(uint16_t& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  // The form sees the keys of its controls first. A drop-down editor hosted here (a popup editor
  // opening a popup inside this one) keeps the keys it acts on: Alt+Up, Alt+Down and F4 open or
  // close its own popup, and Enter and Escape close its open one.
  TvmInplaceDropDownEdit* hosted = nullptr;
  for (TControl* c = FocusedControl(); c && c != this && !hosted; c = c->Parent())
    hosted = dynamic_cast<TvmInplaceDropDownEdit*>(c);
  if (hosted && Inside(this, hosted)) {
    const bool dropKey = ((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F1 + 3 && !alt);
    const bool closeKey = (Key == VK_RETURN || Key == VK_ESCAPE) && !alt && hosted->PopupShown();
    if (dropKey || closeKey) {
      TForm::KeyDown(Key, Shift);
      return;
    }
  }
  if (Key == VK_ESCAPE && !alt) {
    Key = 0;
    CloseUp(false);
    return;
  }
  if ((Key == VK_RETURN && !alt) || ((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F1 + 3 && !alt)) {
    Key = 0;
    SetModalResult(mrOk);
    CloseUp(true);
    return;
  }
  if (Key == VK_RETURN && alt) {  // the system's Alt+Enter is swallowed
    Key = 0;
    return;
  }
  TForm::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------------------------
// Popup-form editor

VM_DEFINE_CLASS(TvmInplacePopupEdit)

TvmInplacePopupEdit::TvmInplacePopupEdit(TComponent* AOwner) : TvmInplaceDropDownEdit(AOwner) {
  FRouteKeysToList = false;
}

TvmInplacePopupEdit::~TvmInplacePopupEdit() {
  if (FPopupForm) {
    if (FPopupForm->Visible()) FPopupForm->Hide();
    RestorePopupControl();
    FPopupForm->SetEditor(nullptr);
    delete FPopupForm;
    FPopupForm = nullptr;
  }
}

void TvmInplacePopupEdit::SetHideEditCursor(bool Value) {
  if (FHideEditCursor == Value) return;
  FHideEditCursor = Value;
  FPopupOnClick = Value;
  LayoutTextWindow();
  Invalidate();
}

void TvmInplacePopupEdit::SetPopupControl(TControl* Value) {
  if (FPopupControl == Value) return;
  if (FPopupControl && FPopupControl != FHosted) FPopupControl->RemoveFreeNotification(this);
  FPopupControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TvmInplacePopupEdit::SetPopupMinHeight(int Value) {
  FPopupMinHeight = std::max(Value, 0);
  SetPopupHeight(FPopupHeight);
}

void TvmInplacePopupEdit::SetPopupMinWidth(int Value) {
  FPopupMinWidth = std::max(Value, 0);
  SetPopupWidth(FPopupWidth);
}

void TvmInplacePopupEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TvmInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FHosted) FHosted = nullptr;
  if (AComponent == FPopupControl) FPopupControl = nullptr;
  if (AComponent == FPopupForm) {
    FPopupForm = nullptr;
    FCurrentPopup = nullptr;
  }
}

bool TvmInplacePopupEdit::DoCloseQuery(TObject*) {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TvmInplacePopupEdit::DoCloseUp(TObject*, std::string& Text, bool& Accept) {
  if (FPopupForm) {
    FPopupHeight = std::max(FPopupForm->Height(), FPopupMinHeight);
    FPopupWidth = std::max(FPopupForm->Width(), FPopupMinWidth);
  }
  if (OnCloseUp) OnCloseUp(this, Text, Accept);
}

void TvmInplacePopupEdit::DoInitPopup() {
  if (OnInitPopup) OnInitPopup(this);
}

void TvmInplacePopupEdit::DoPopup() {
  if (OnPopup) OnPopup(this, GetWindowText());
}

void TvmInplacePopupEdit::DropDown() {
  if (FShowing) return;
  PostMessage(this, WM_VM_SHOWPOPUPFORM);
}

void TvmInplacePopupEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_VM_SHOWPOPUPFORM) {
    ShowPopupForm();
    return;
  }
  TvmInplaceDropDownEdit::WndProc(Message);
}

void TvmInplacePopupEdit::DoButtonDown(bool NoCapture, int ButtonIndex) {
  // A press on the button (or anywhere on a click-to-open editor) of an open popup does not
  // open it again.
  if (FShowing) return;
  TvmInplaceDropDownEdit::DoButtonDown(NoCapture, ButtonIndex);
}

void TvmInplacePopupEdit::CloseUp(bool Accept) {
  if (FShowing && FPopupForm) FPopupForm->CloseUp(Accept);
}

void TvmInplacePopupEdit::ShowPopupForm() {
  if (FShowing) return;
  if (!IsFocused() && CanFocus()) {
    ActivateControlWindow(this);
    SetFocus();
  }
  if (!IsFocused()) return;
  DoEditButtonClick();
  if (!FPopupForm) {
    FPopupForm = new TvmPopupEditForm(nullptr);
    FPopupForm->FreeNotification(this);
  }
  FPopupForm->SetEditor(this);
  FCurrentPopup = FPopupForm;
  TScopeExit restore([&] {
    FShowing = false;
    RestorePopupControl();
    FCurrentPopup = nullptr;
    Invalidate();
  });
  InitPopupForm(FPopupForm);
  FPopupShown = false;
  FShowing = true;
  Invalidate();
  FPopupForm->ShowPopup();
}

void TvmInplacePopupEdit::InitPopupForm(TvmPopupEditForm* Form) {
  DoInitPopup();
  if (FPopupControl) {
    bool circular = FPopupControl == this || FPopupControl == Form;
    for (TWinControl* p = Parent(); p && !circular; p = p->Parent()) circular = p == FPopupControl;
    if (circular) throw Exception(SvmCircularReference);
  }
  Form->SetFlatBorder(true);
  Form->SetSizeable(true);
  Form->SetClientEdge(false);
  Form->SetPopupBorderStyle(pbsDialog);
  Form->SetPopupBorderStyle(PopupFormBorderStyle);
  Form->SetClientEdge(PopupFormClientEdge);
  Form->SetFlatBorder(PopupFormFlatBorder);
  Form->SetSizeable(PopupFormSizeable);
  Form->SetCaption(PopupFormCaption);
  Form->MinWidth = FPopupMinWidth;
  Form->MinHeight = FPopupMinHeight;
  if (FPopupControl) {
    TControl* c = FPopupControl;
    FHosted = c;
    FHostedAlign = c->Align();
    FHostedBounds = c->BoundsRect();
    FHostedParent = c->Parent();
    FHostedVisible = c->Visible();
    c->FreeNotification(this);
    c->SetVisible(false);
    if (auto* f = dynamic_cast<TForm*>(c)) {
      FHostedBorderStyle = f->BorderStyle();
      f->SetBorderStyle(bsNone);
    }
    c->SetBounds(0, 0, c->Width(), c->Height());
    if (PopupAutoSize) {
      Form->SetClientWidth(c->Width());
      Form->SetClientHeight(c->Height());
    } else {
      Form->SetBounds(Form->Left(), Form->Top(), FPopupWidth, FPopupHeight);
    }
    c->SetAlign(alClient);
    c->SetParent(Form);
    c->SetVisible(true);
  } else if (!PopupAutoSize) {
    Form->SetBounds(Form->Left(), Form->Top(), FPopupWidth, FPopupHeight);
  }
  PositionPopupForm(Form);
  DoPopup();
}

void TvmInplacePopupEdit::PositionPopupForm(TvmPopupEditForm* Form) {
  const TPoint tl = ClientToScreen(TPoint(0, 0));
  const int ew = Width(), eh = Height();
  TPoint p(tl.X, tl.Y + eh);
  TRect wa;
  GetWorkAreaAt(p, wa);
  const int w = Form->Width(), h = Form->Height();
  bool right = false, above = false;
  if (w > ew && p.X + w > wa.Right && wa.Right - tl.X < tl.X + ew - wa.Left) {
    p.X = tl.X + ew - w;
    right = true;
  }
  if (p.Y + h > wa.Bottom && wa.Bottom - (tl.Y + eh) < tl.Y - wa.Top) {
    p.Y = tl.Y - h;
    above = true;
  }
  Form->GripCorner = above ? (right ? 0 : 1) : (right ? 2 : 3);
  Form->SetBounds(p.X, p.Y, w, h);
}

void TvmInplacePopupEdit::RestorePopupControl() {
  TControl* c = FHosted;
  if (!c) return;
  FHosted = nullptr;
  if (c != FPopupControl) c->RemoveFreeNotification(this);
  if (auto* f = dynamic_cast<TForm*>(c)) f->SetBorderStyle(FHostedBorderStyle);
  c->SetAlign(FHostedAlign);
  c->SetBounds(FHostedBounds.Left, FHostedBounds.Top, FHostedBounds.Width(), FHostedBounds.Height());
  c->SetVisible(FHostedVisible);
  c->SetParent(FHostedParent);
}

bool TvmInplacePopupEdit::IsPopupFormActive(TvmPopupEditForm* Form) const {
  if (!Form) return false;
  if (Form->Active()) return true;
  // An active popup opened (directly or through others) from a control hosted in this form.
  for (TvmPopupEditForm* f : TvmPopupEditForm::OpenPopups()) {
    if (f == Form || !f->Active()) continue;
    for (TvmPopupEditForm* g = f; g;) {
      TvmInplacePopupEdit* e = g->Editor();
      if (!e) break;
      if (Inside(Form, e)) return true;
      TvmPopupEditForm* next = nullptr;
      for (TvmPopupEditForm* h : TvmPopupEditForm::OpenPopups())
        if (h != g && Inside(h, e)) next = h;
      g = next;
    }
  }
  return false;
}

bool TvmInplacePopupEdit::IsFocused() const {
  if (TvmInplaceDropDownEdit::IsFocused()) return true;
  return FShowing && FPopupForm && (IsPopupFormActive(FPopupForm) || Inside(FPopupForm, FocusedControl()));
}

void TvmInplacePopupEdit::HideEdit() {
  if (FShowing && FPopupForm && FPopupForm->Visible()) FPopupForm->CloseUp(false);
  TvmInplaceDropDownEdit::HideEdit();
}
