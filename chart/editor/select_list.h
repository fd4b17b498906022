// A small embedded form for choosing several items, in order, out of a list: available items on
// the left, chosen ones on the right, with buttons that move one, all, or up and down.
#pragma once

#include "platform/forms.h"

class TButton;
class TListBox;

class TSelectListForm : public TForm {
  VM_CLASS(TSelectListForm, TForm)
public:
  explicit TSelectListForm(TComponent* AOwner);

  TListBox* FromList = nullptr;
  TListBox* ToList = nullptr;
  TButton* BRightOne = nullptr;
  TButton* BRightAll = nullptr;
  TButton* BLeftOne = nullptr;
  TButton* BLeftAll = nullptr;
  TButton* BMoveUP = nullptr;
  TButton* BMoveDown = nullptr;
  // After any move between or inside the lists.
  TNotifyEvent OnListsChanged;

  void RefreshListButtons();
  void ListsChanged();
  void BRightOneClick();
  void BLeftOneClick();
  void BRightAllClick();
  void BLeftAllClick();
  void BMoveUPClick();
  void BMoveDownClick();
  void FromListDblClick();
  void ToListDblClick();
  void FormShow();

private:
  void MoveSelected(int Delta);
};
