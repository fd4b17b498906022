// Handing the focused cell to an in-place editor and taking its value back.
#include "platform/forms.h"
#include "platform/guards.h"
#include "treelist/tl_treelist.h"

VM_DEFINE_CLASS(TvmInplaceTreeListTextEdit)
VM_DEFINE_CLASS(TvmInplaceTreeListMaskEdit)

void TCustomvmTreeList::DoEditing(TvmTreeListNode* Node, bool& Allow) {
  if (OnEditing) OnEditing(this, Node, Allow);
}

void TCustomvmTreeList::DoEdited(TvmTreeListNode* Node) {
  if (OnEdited) OnEdited(this, Node);
}

bool TCustomvmTreeList::IsReadyForEditing() {
  return FState == tlsEditing && FFocusedNode && !FDestroying && FLockUpdate == 0;
}

TvmInplaceEdit* TCustomvmTreeList::CreateEditor(int) {
  auto* e = new TvmInplaceTreeListTextEdit(this);
  e->SetParent(this);
  e->HideEdit();
  return e;
}

void TCustomvmTreeList::InitEditor(TvmInplaceEdit* Editor) {
  Editor->SetClosing(false);
  Editor->SetColor(GetEditColor());
  Editor->SetFont(GetEditFont());
}

TRect TCustomvmTreeList::GetEditorRect(TvmTreeListNode* Node, int VisualColumn) {
  TRect r = GetCellRect(Node, VisualColumn);
  if (r.Left < 0) return r;
  if (FShowGrid) r.Right -= 1;
  if (FExtendedOptions.Contains(tlxCellFrame)) InflateRect(r, 0, -1);
  return r;
}

bool TCustomvmTreeList::EditorHasFocus() const {
  if (!FEditor) return false;
  for (TControl* c = FocusedControl(); c; c = c->Parent())
    if (c == FEditor) return true;
  return false;
}

void TCustomvmTreeList::ShowEditor() {
  if (!FOptions.Contains(tloEditing) || FOptions.Contains(tloRowSelect) || !FFocusedNode) return;
  bool allow = true;
  if (FNewItemRowActive)
    DoInsert(allow);
  else
    DoEditing(FFocusedNode, allow);
  if (!allow) {
    FEditingNode = nullptr;
    FEditingColumn = -1;
    return;
  }
  if (FState != tlsIdle || GetFocusedAbsoluteColumn() < 0) return;
  if (FSearching) EndSearch();
  MakeColumnVisible(GetFocusedAbsoluteColumn());
  FFocusedNode->MakeVisible();
  SetState(tlsEditing);
  UpdateEditor(true);
}

void TCustomvmTreeList::ShowEditorWithChar(char Ch) {
  ShowEditor();
  if (FState == tlsEditing && FEditor) {
    if (auto* t = dynamic_cast<TvmInplaceTextEdit*>(FEditor)) {
      t->SetWindowText(std::string(1, Ch));
      t->SetModifiedFlag(true);
      t->PlaceCaretAtEnd();
    }
  }
}

void TCustomvmTreeList::UpdateEditor(bool Activate) {
  if (!IsReadyForEditing()) return;
  int col = GetFocusedColumn();
  TvmInplaceEdit* e = FindEditor(col);
  FEditor = e;
  auto initCell = [&] {
    FEditingColumn = col;
    FEditingNode = FFocusedNode;
    FEditorColumn = col;
    if (FEditor->Parent() != this) FEditor->SetParent(this);
    if (!FEditingNode) return;
    BeginInitEditor();
    TScopeExit end([this] { EndInitEditor(); });
    InitEditor(FEditor);
    Variant v;
    GetEditorValue(FEditingNode, FEditor, v);
    FEditor->SetModifiedFlag(false);
    if (IsReadOnly()) FEditor->SetReadOnly(true);
    FEditor->SetActive(true);
  };
  if (e) {
    if (col != FEditingColumn || FFocusedNode != FEditingNode) {
      HideEditor(false);
      SetState(tlsEditing);
      initCell();
    }
  } else {
    FEditor = CreateEditor(col);
    initCell();
  }
  TRect r = GetEditorRect(FFocusedNode, col);
  if (IsReadyForEditing()) {
    if (!Activate) {
      FEditor->LockActivation();
      TScopeExit unlock([this] { FEditor->UnlockActivation(); });
      FEditor->ActivateAt(r);
    } else {
      FEditor->ActivateAt(r);
    }
  } else {
    FEditingColumn = -1;
    FEditingNode = nullptr;
  }
}

void TCustomvmTreeList::PostEditorValue() {
  if (FEditingColumn == -1 || !FEditingNode || !FEditor) return;
  if (FEditor->Modified()) {
    Variant v;
    ApplyEditorValue(FEditingNode, FEditingColumn, FEditor, v);
  }
  DoEdited(FEditingNode);
}

void TCustomvmTreeList::HideEditor(bool FocusControl) {
  if (!FEditor) return;
  FEditor->SetClosing(true);
  bool hadFocus = EditorHasFocus();
  TScopeExit hide([&] {
    FEditingColumn = -1;
    FEditingNode = nullptr;
    FEditor->HideEdit();
    if ((FocusControl || hadFocus) && HandleAllocated() && Visible() && CanFocus()) SetFocus();
    Invalidate();
  });
  if (!FEditor->ComponentState().Contains(csDestroying)) PostEditorValue();
}

void TCustomvmTreeList::CloseEditor() {
  if (FState != tlsEditing) return;
  if (!FDestroying && FEditor) FEditor->ValidateEdit();
  SetState(tlsIdle);
  HideEditor(false);
}

void TCustomvmTreeList::ResetEditor() {
  FEditingColumn = -1;
  FEditingNode = nullptr;
  UpdateEditor(false);
}

// ---------------------------------------------------------------------------------------------
// The editors' style.

VM_DEFINE_CLASS(TvmTreeListEditStyle)

TvmTreeListEditStyle::TvmTreeListEditStyle(TvmInplaceEdit* AEdit, TCustomvmTreeList* ATreeList)
    : TvmGridEditStyle(AEdit), FTreeList(ATreeList) {
  RestoreDefaults();
}

TvmEditBorderStyle TvmTreeListEditStyle::GetDefaultBorderStyle() const {
  return FTreeList && FTreeList->ShowGrid() ? xbsNone : xbsSingle;
}

TvmEditButtonViewStyle TvmTreeListEditStyle::GetDefaultButtonStyle() const {
  switch (FTreeList ? FTreeList->LookStyle() : tllRaised) {
    case tllFlat:
      return btsFlat;
    case tllThinLine:
      return btsHotFlat;
    default:
      return bts3D;
  }
}

std::unique_ptr<TvmEditStyle> TCustomvmTreeList::CreateEditStyle(TvmInplaceEdit* Edit) {
  return std::make_unique<TvmTreeListEditStyle>(Edit, this);
}

// The grid lines or the look changed: every editor of the grid redraws in its new style.
void TCustomvmTreeList::EditStylesChanged() {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* e = dynamic_cast<TvmInplaceEdit*>(Controls(i)))
      if (auto* s = dynamic_cast<TvmTreeListEditStyle*>(e->Style()); s && s->TreeList() == this) s->StyleChanged();
}
