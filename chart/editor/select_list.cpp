#include "chart/editor/select_list.h"

#include "chart/engine/chart_utils.h"
#include "chart/extra/pen_dialog.h"
#include "platform/bitmap.h"
#include "platform/stdctrls.h"

VM_DEFINE_CLASS(TSelectListForm)

namespace {

template <class T>
T* Make(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y, int W,
        int H) {
  auto* c = new T(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  if (!Caption.empty()) c->SetCaption(Caption);
  c->SetBounds(X, Y, W, H);
  return c;
}

}  // namespace

TSelectListForm::TSelectListForm(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 360, 200);
  auto* l1 = Make<TLabel>(this, this, "Label1", "A&vailable:", 8, 4, 100, 16);
  FromList = Make<TListBox>(this, this, "FromList", "", 8, 22, 140, 170);
  FromList->SetMultiSelect(true);
  l1->SetFocusControl(FromList);
  auto* l2 = Make<TLabel>(this, this, "Label2", "&Selected: ", 190, 4, 100, 16);
  ToList = Make<TListBox>(this, this, "ToList", "", 190, 22, 140, 170);
  ToList->SetMultiSelect(true);
  l2->SetFocusControl(ToList);
  BRightOne = Make<TButton>(this, this, "BRightOne", ">", 154, 30, 30, 24);
  BRightAll = Make<TButton>(this, this, "BRightAll", ">>", 154, 58, 30, 24);
  BLeftOne = Make<TButton>(this, this, "BLeftOne", "<", 154, 96, 30, 24);
  BLeftAll = Make<TButton>(this, this, "BLeftAll", "<<", 154, 124, 30, 24);
  // Up and down, marked with arrows, beside the chosen list.
  BMoveUP = Make<TButton>(this, this, "BMoveUP", "\xE2\x96\xB2", 334, 40, 22, 24);
  BMoveDown = Make<TButton>(this, this, "BMoveDown", "\xE2\x96\xBC", 334, 70, 22, 24);
  BRightOne->OnClick = [this](TObject*) { BRightOneClick(); };
  BRightAll->OnClick = [this](TObject*) { BRightAllClick(); };
  BLeftOne->OnClick = [this](TObject*) { BLeftOneClick(); };
  BLeftAll->OnClick = [this](TObject*) { BLeftAllClick(); };
  BMoveUP->OnClick = [this](TObject*) { BMoveUPClick(); };
  BMoveDown->OnClick = [this](TObject*) { BMoveDownClick(); };
  FromList->OnDblClick = [this](TObject*) { FromListDblClick(); };
  ToList->OnDblClick = [this](TObject*) { ToListDblClick(); };
  FromList->OnClick = [this](TObject*) { RefreshListButtons(); };
  ToList->OnClick = [this](TObject*) { RefreshListButtons(); };
  OnShow = [this](TObject*) { FormShow(); };
  RefreshListButtons();
}

void TSelectListForm::RefreshListButtons() {
  const bool from = FromList->Items()->Count() > 0, to = ToList->Items()->Count() > 0;
  BRightOne->SetEnabled(from);
  BRightAll->SetEnabled(from);
  BLeftOne->SetEnabled(to);
  BLeftAll->SetEnabled(to);
  const int i = ToList->ItemIndex();
  BMoveUP->SetEnabled(i > 0);
  BMoveDown->SetEnabled(i >= 0 && i < ToList->Items()->Count() - 1);
}

void TSelectListForm::ListsChanged() {
  RefreshListButtons();
  if (OnListsChanged) OnListsChanged(this);
}

void TSelectListForm::BRightOneClick() {
  MoveSelectedItems(FromList, ToList);
  ListsChanged();
  if (FromList->Items()->Count() == 0 && ToList->CanFocus()) ToList->SetFocus();
}

void TSelectListForm::BLeftOneClick() {
  MoveSelectedItems(ToList, FromList);
  ListsChanged();
}

void TSelectListForm::BRightAllClick() {
  MoveAllItems(FromList->Items(), ToList->Items());
  ListsChanged();
}

void TSelectListForm::BLeftAllClick() {
  MoveAllItems(ToList->Items(), FromList->Items());
  ListsChanged();
}

void TSelectListForm::MoveSelected(int Delta) {
  const int i = ToList->ItemIndex(), j = i + Delta;
  if (i < 0 || j < 0 || j >= ToList->Items()->Count()) return;
  ToList->Items()->Exchange(i, j);
  for (int k = 0; k < ToList->Items()->Count(); ++k) ToList->SetSelected(k, k == j);
  ToList->SetItemIndex(j);
  if (ToList->CanFocus()) ToList->SetFocus();
  ListsChanged();
}

void TSelectListForm::BMoveUPClick() { MoveSelected(-1); }
void TSelectListForm::BMoveDownClick() { MoveSelected(1); }

void TSelectListForm::FromListDblClick() {
  BRightOneClick();
  const int last = ToList->Items()->Count() - 1;
  for (int k = 0; k <= last; ++k) ToList->SetSelected(k, k == last);
  ToList->SetItemIndex(last);
  RefreshListButtons();
}

void TSelectListForm::ToListDblClick() { BLeftOneClick(); }

void TSelectListForm::FormShow() {
  RefreshListButtons();
  TWinControl* first = FromList->Items()->Count() > 0 ? FromList : ToList;
  if (first->CanFocus()) first->SetFocus();
}
