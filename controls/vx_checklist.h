// A list box with a check image in front of every item: check boxes, radio buttons or check
// marks, three states, an enabled flag per item, and the states kept in the settings file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/vx_listbox.h"
#include "platform/object.h"

class TBitmap;
class TFormPlacement;
class TIniLink;
class TFiler;
class TReader;
class TWriter;

enum TCheckKind { ckCheckBoxes, ckRadioButtons, ckCheckMarks };

using TChangeStateEvent = std::function<void(TObject* Sender, int Index)>;

// The check record of one item.
class TCheckListBoxItem : public TObject {
  VM_CLASS(TCheckListBoxItem, TObject)
public:
  intptr_t Data = 0;
  TCheckBoxState State = cbUnchecked;
  bool Enabled = true;
};

class TCheckListBoxStrings : public TVxListBoxStrings {
public:
  using TVxListBoxStrings::TVxListBoxStrings;
};

class TVxCheckListBox : public TVxCustomListBox {
  VM_CLASS(TVxCheckListBox, TVxCustomListBox)
public:
  explicit TVxCheckListBox(TComponent* AOwner);
  ~TVxCheckListBox() override;

  // Raise EStringListError "List index out of bounds (%d)" for an index outside the list.
  TCheckBoxState GetItemState(int Index) const;
  void SetItemState(int Index, TCheckBoxState State);
  bool GetItemChecked(int Index) const;
  void SetItemChecked(int Index, bool Checked);
  bool IsItemEnabled(int Index) const;
  void EnableItem(int Index, bool Enabled);
  // Radio lists: the first checked item, -1 when none; -1 in the other kinds.
  int CheckedIndex() const;
  void SetCheckedIndex(int Value);
  bool AllowGrayed() const { return FAllowGrayed && FCheckKind != ckRadioButtons; }
  void SetAllowGrayed(bool Value);
  TCheckKind CheckKind() const { return FCheckKind; }
  void SetCheckKind(TCheckKind Value);
  bool AutoScroll() const { return AutoScrollFlag(); }
  void SetAutoScroll(bool Value) { SetAutoScrollFlag(Value); }
  TFormPlacement* IniStorage() const;
  void SetIniStorage(TFormPlacement* Value);
  // Check boxes and check marks only: every item (or every enabled one) takes State.
  void SetAllStates(TCheckBoxState State, bool EnabledOnly);
  // Unchecked -> grayed (when allowed) or checked -> unchecked; grayed -> checked. Then OnClickCheck.
  void CycleItemState(int Index);
  void SetItems(TStrings* Value) override;

  // Width of the check column in front of the text.
  int CheckAreaWidth() const;
  // The shared picture of the check images: 6 columns (3 states, then the same disabled) by
  // 3 rows (check boxes, radio buttons, check marks).
  static TBitmap* CheckImages();

  TNotifyEvent OnClickCheck;
  TChangeStateEvent OnStateChange;

protected:
  int GetItemHeight() const override;
  std::unique_ptr<TVxListBoxStrings> NewItemList() override;
  int MeasureItemWidth(int Index) override;
  void PaintItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  intptr_t ReadItemData(int Index) const override;
  void WriteItemData(int Index, intptr_t Data) override;
  void EmptyList() override;
  void RemoveItemAt(int Index) override;
  void DrawItemRequest(int Index, TRect Rect, TOwnerDrawState State) override;
  void ListCreated() override;
  virtual void FireClickCheck();
  virtual void FireStateChange(int Index);

  // "InternalVersion" and "Strings": the items with their states and enabled flags.
  void DefineProperties(TFiler* Filer) override;

  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Loaded() override;

private:
  TCheckListBoxItem* Record(int Index) const;
  TCheckListBoxItem* NeedRecord(int Index);
  void AdjustItemHeight();
  void NormalizeRadioChecks();
  void InvalidateCheck(int Index);
  TRect CheckArea(const TRect& TextRect) const;
  void WriteStates(TObject* Sender);
  void ReadStates(TObject* Sender);
  bool StringsDiffer(TPersistent* Ancestor) const;
  void ReadStrings(TReader* Reader);
  void WriteStrings(TWriter* Writer);

  bool FAllowGrayed = false;
  TCheckKind FCheckKind = ckCheckBoxes;
  std::unique_ptr<TBitmap> FCell;
  int FStreamVersion = 0;
  bool FNormalizing = false;
  std::unique_ptr<TIniLink> FIniLink;
};
