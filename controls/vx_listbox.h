// A self-drawn list box: fixed or per-item heights, tab stops, columns, a horizontal scroll
// extent that follows the widest item, and a gray selection while unfocused.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"

class TVxCustomListBox;

using TGetItemWidthEvent = std::function<void(TWinControl* Control, int Index, int& Width)>;

// The items of a TVxCustomListBox; they live in the list box itself.
class TVxListBoxStrings : public TStrings {
public:
  explicit TVxListBoxStrings(TVxCustomListBox* ListBox) : FListBox(ListBox) {}
  TVxCustomListBox* ListBox() const { return FListBox; }

  int Add(const std::string& S) override;
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const std::string& S) override;
  // Whole items move, with whatever the list box keeps with them.
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;

protected:
  std::string Get(int Index) const override;
  int GetCount() const override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  void Put(int Index, const std::string& S) override;
  void SetUpdateState(bool Updating) override;

private:
  TVxCustomListBox* FListBox;
};

class TVxCustomListBox : public TCustomControl {
  VM_CLASS(TVxCustomListBox, TCustomControl)
public:
  explicit TVxCustomListBox(TComponent* AOwner);
  ~TVxCustomListBox() override;

  TStrings* Items() const { return FItems.get(); }
  virtual void SetItems(TStrings* Value);

  // -1: none; in a multi-select list the focused item.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int Value);
  // Raises EStringListError "List index out of bounds (%d)" for an index outside the list.
  bool Selected(int Index) const;
  void SetSelected(int Index, bool Value);
  int SelCount() const;

  int ItemHeight() const { return GetItemHeight(); }
  // The height set through SetItemHeight (what owner-drawn rows use).
  int StoredItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  bool GraySelection() const { return FGraySelection; }
  void SetGraySelection(bool Value);
  void SetOnDrawItem(TDrawItemEvent Value);
  void SetOnGetItemWidth(TGetItemWidthEvent Value);

  // The item under a client point; below the last item the count, or -1 when ExistingOnly;
  // -1 outside the client area.
  int ItemAtPoint(const TPoint& P, bool ExistingOnly) const;
  // The item's rectangle; for Index = count one more row under the last item; else empty.
  TRect ItemBounds(int Index) const;
  // Width of a column when Columns > 0, else 0.
  int ColumnWidth() const;
  // The horizontal scroll extent last applied (0 while auto scroll is not in effect).
  int HorizontalExtent() const { return FMaxItemWidth; }
  // Horizontal scroll position in pixels.
  int ScrollLeft() const { return FScrollX; }
  void SetScrollLeft(int Value);
  // How many times the list was rebuilt by a change of a style property.
  int RecreateCount() const { return FRecreateCount; }
  // The list has the keyboard focus (entered and not left, or focused on screen).
  bool HasFocus() const;

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TGetItemWidthEvent OnGetItemWidth;

protected:
  virtual int GetItemHeight() const;
  virtual std::unique_ptr<TVxListBoxStrings> NewItemList();
  // Derived lists call it from their constructor so that Items is of their NewItemList.
  void RenewItemList() { FItems = NewItemList(); }
  virtual int MeasureItemWidth(int Index);
  virtual void PaintItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void FireMeasureItem(int Index, int& Height);
  // The per-item value that Items reports as the item's object.
  virtual intptr_t ReadItemData(int Index) const;
  virtual void WriteItemData(int Index, intptr_t Data);
  virtual void EmptyList();
  virtual void RemoveItemAt(int Index);
  // Draws one item as the list asks for it: colours, PaintItem, focus rectangle.
  virtual void DrawItemRequest(int Index, TRect Rect, TOwnerDrawState State);
  // After the list was (re)built and after a font change.
  virtual void ListCreated() {}
  // Auto scroll flag; the check-list box publishes it.
  bool AutoScrollFlag() const { return FAutoScroll; }
  void SetAutoScrollFlag(bool Value);
  bool AutoScrollInEffect() const { return FAutoScroll && FColumns == 0; }
  // The row height the list lays its items out with (lbStandard: from the font).
  int NativeItemHeight() const { return FNativeHeight; }
  void SetNativeItemHeight(int Value);
  int HeightOf(int Index) const;
  // Per-item storage that derived lists extend: the item's "native" data slot.
  struct TItem {
    std::string Text;
    intptr_t Data = 0;
  };
  std::vector<TItem>& RawItems() { return FList; }
  const std::vector<TItem>& RawItems() const { return FList; }
  void CheckIndex(int Index) const;
  int TabStopPixels();
  int TabbedWidth(const std::string& S);
  void TabbedOut(int X, int Y, const std::string& S, int Origin);
  void InvalidateItem(int Index);

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void Resize() override;
  void FontChanged() override;
  void DoEnter() override;
  void DoExit() override;
  void Scrolled(int Kind, int Position) override;

public:
  // Every repaint also brings the scroll bars up to date.
  void Invalidate() override;

private:
  friend class TVxListBoxStrings;
  void UpdateScrollBars();
  int MaxTopIndex() const;
  int InsertRaw(int Index, const std::string& S);
  void DeleteRaw(int Index);
  void ClearRaw();
  void Recreate();
  void RecomputeExtent();
  void ApplyExtent();
  void UpdateNativeHeight();
  void SelectionChanged();
  void MakeVisible(int Index);
  int RowsPerColumn() const;
  void FocusChangedRepaint();

  std::unique_ptr<TVxListBoxStrings> FItems;
  std::vector<TItem> FList;
  std::vector<bool> FSel;
  TFormBorderStyle FBorderStyle = bsSingle;
  int FColumns = 0;
  int FItemHeight = 16;
  int FNativeHeight = 16;
  TListBoxStyle FStyle = lbStandard;
  bool FIntegralHeight = false;
  bool FMultiSelect = false;
  bool FSorted = false;
  bool FExtendedSelect = true;
  int FTabWidth = 0;
  bool FAutoScroll = false;
  bool FGraySelection = false;
  int FMaxItemWidth = 0;
  int FItemIndex = -1;
  int FTopIndex = 0;
  int FAnchor = -1;
  int FScrollX = 0;
  int FUpdating = 0;
  int FRecreateCount = 0;
  bool FHasFocus = false;
};

// The list box with its properties published.
class TVxListBox : public TVxCustomListBox {
  VM_CLASS(TVxListBox, TVxCustomListBox)
public:
  explicit TVxListBox(TComponent* AOwner) : TVxCustomListBox(AOwner) {}
  using TVxCustomListBox::AutoScrollInEffect;
};
