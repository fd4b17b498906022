#include "controls/vx_listbox.h"

#include <algorithm>
#include <cmath>

#include "platform/exceptions.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

namespace {
[[noreturn]] void IndexError(int Index) { throw EStringListError(Format("List index out of bounds (%d)", {Index})); }
}  // namespace

// ---- items ----

int TVxListBoxStrings::Add(const std::string& S) { return FListBox->InsertRaw(-1, S); }
void TVxListBoxStrings::Insert(int Index, const std::string& S) {
  if (Index < 0 || Index > GetCount()) IndexError(Index);
  FListBox->InsertRaw(Index, S);
}
void TVxListBoxStrings::Clear() { FListBox->EmptyList(); }
void TVxListBoxStrings::Delete(int Index) {
  FListBox->CheckIndex(Index);
  FListBox->RemoveItemAt(Index);
}
std::string TVxListBoxStrings::Get(int Index) const {
  FListBox->CheckIndex(Index);
  return FListBox->FList[Index].Text;
}
int TVxListBoxStrings::GetCount() const { return static_cast<int>(FListBox->FList.size()); }
TObject* TVxListBoxStrings::GetObject(int Index) const {
  FListBox->CheckIndex(Index);
  return reinterpret_cast<TObject*>(FListBox->ReadItemData(Index));
}
void TVxListBoxStrings::PutObject(int Index, TObject* AObject) {
  FListBox->CheckIndex(Index);
  FListBox->WriteItemData(Index, reinterpret_cast<intptr_t>(AObject));
}
void TVxListBoxStrings::Put(int Index, const std::string& S) {
  FListBox->CheckIndex(Index);
  FListBox->FList[Index].Text = S;
  FListBox->RecomputeExtent();
  FListBox->Invalidate();
}
void TVxListBoxStrings::Exchange(int Index1, int Index2) {
  FListBox->CheckIndex(Index1);
  FListBox->CheckIndex(Index2);
  auto& L = FListBox->FList;
  std::swap(L[Index1], L[Index2]);
  bool s = FListBox->FSel[Index1];
  FListBox->FSel[Index1] = FListBox->FSel[Index2];
  FListBox->FSel[Index2] = s;
  int& cur = FListBox->FItemIndex;
  if (cur == Index1)
    cur = Index2;
  else if (cur == Index2)
    cur = Index1;
  FListBox->Invalidate();
}
void TVxListBoxStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  FListBox->CheckIndex(CurIndex);
  FListBox->CheckIndex(NewIndex);
  auto& L = FListBox->FList;
  TVxCustomListBox::TItem item = L[CurIndex];
  bool sel = FListBox->FSel[CurIndex];
  L.erase(L.begin() + CurIndex);
  FListBox->FSel.erase(FListBox->FSel.begin() + CurIndex);
  L.insert(L.begin() + NewIndex, item);
  FListBox->FSel.insert(FListBox->FSel.begin() + NewIndex, sel);
  int& cur = FListBox->FItemIndex;
  if (cur == CurIndex)
    cur = NewIndex;
  else if (CurIndex < cur && cur <= NewIndex)
    --cur;
  else if (NewIndex <= cur && cur < CurIndex)
    ++cur;
  FListBox->Invalidate();
}
void TVxListBoxStrings::SetUpdateState(bool Updating) {
  FListBox->FUpdating = Updating ? 1 : 0;
  if (!Updating) FListBox->Refresh();
}

// ---- list box ----

TVxCustomListBox::TVxCustomListBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetFrameBorder(2);
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetClickOnMouseUp(false);
  FItems = NewItemList();
  UpdateNativeHeight();
}

TVxCustomListBox::~TVxCustomListBox() = default;

std::unique_ptr<TVxListBoxStrings> TVxCustomListBox::NewItemList() { return std::make_unique<TVxListBoxStrings>(this); }

void TVxCustomListBox::SetItems(TStrings* Value) { FItems->Assign(*Value); }

void TVxCustomListBox::CheckIndex(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FList.size())) IndexError(Index);
}

intptr_t TVxCustomListBox::ReadItemData(int Index) const { return FList[Index].Data; }
void TVxCustomListBox::WriteItemData(int Index, intptr_t Data) { FList[Index].Data = Data; }

void TVxCustomListBox::EmptyList() { ClearRaw(); }
void TVxCustomListBox::RemoveItemAt(int Index) { DeleteRaw(Index); }

int TVxCustomListBox::InsertRaw(int Index, const std::string& S) {
  if (FSorted) {
    // Sorted lists place the text where it belongs, letter case ignored.
    auto it = std::upper_bound(FList.begin(), FList.end(), S,
                               [](const std::string& A, const TItem& B) { return AnsiCompareText(A, B.Text) < 0; });
    Index = static_cast<int>(it - FList.begin());
  } else if (Index < 0) {
    Index = static_cast<int>(FList.size());
  }
  FList.insert(FList.begin() + Index, TItem{S, 0});
  FSel.insert(FSel.begin() + Index, false);
  if (FItemIndex >= Index) ++FItemIndex;
  if (AutoScrollInEffect()) {
    FMaxItemWidth = std::max(FMaxItemWidth, MeasureItemWidth(Index));
    ApplyExtent();
  }
  if (FUpdating == 0) Invalidate();
  return Index;
}

void TVxCustomListBox::DeleteRaw(int Index) {
  bool widest = AutoScrollInEffect() && MeasureItemWidth(Index) >= FMaxItemWidth;
  if (widest) FScrollX = 0;
  FList.erase(FList.begin() + Index);
  FSel.erase(FSel.begin() + Index);
  if (FItemIndex == Index)
    FItemIndex = -1;
  else if (FItemIndex > Index)
    --FItemIndex;
  if (FTopIndex > 0 && FTopIndex >= static_cast<int>(FList.size())) FTopIndex = std::max(0, int(FList.size()) - 1);
  if (widest) RecomputeExtent();
  if (FUpdating == 0) Invalidate();
}

void TVxCustomListBox::ClearRaw() {
  FMaxItemWidth = 0;
  ApplyExtent();
  FScrollX = 0;
  FList.clear();
  FSel.clear();
  FItemIndex = -1;
  FTopIndex = 0;
  FAnchor = -1;
  if (FUpdating == 0) Invalidate();
}

void TVxCustomListBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= static_cast<int>(FList.size())) Value = -1;
  if (Value == FItemIndex) return;
  if (!FMultiSelect) std::fill(FSel.begin(), FSel.end(), false);
  FItemIndex = Value;
  if (Value >= 0) {
    if (!FMultiSelect) FSel[Value] = true;
    MakeVisible(Value);
  }
  Invalidate();
}

void TVxCustomListBox::SetTopIndex(int Value) {
  Value = std::clamp(Value, 0, std::max(0, int(FList.size()) - 1));
  if (Value == FTopIndex) return;
  FTopIndex = Value;
  Invalidate();
}

bool TVxCustomListBox::Selected(int Index) const {
  CheckIndex(Index);
  return FSel[Index];
}

void TVxCustomListBox::SetSelected(int Index, bool Value) {
  CheckIndex(Index);
  if (!FMultiSelect) {
    SetItemIndex(Value ? Index : (FItemIndex == Index ? -1 : FItemIndex));
    return;
  }
  FSel[Index] = Value;
  Invalidate();
}

int TVxCustomListBox::SelCount() const {
  if (!FMultiSelect) return FItemIndex >= 0 ? 1 : 0;
  return static_cast<int>(std::count(FSel.begin(), FSel.end(), true));
}

// ---- properties ----

void TVxCustomListBox::Recreate() {
  ++FRecreateCount;
  UpdateNativeHeight();
  ListCreated();
  Invalidate();
}

void TVxCustomListBox::SetItemHeight(int Value) {
  if (Value <= 0 || Value == FItemHeight) return;
  FItemHeight = Value;
  Recreate();
}

void TVxCustomListBox::SetColumns(int Value) {
  if (Value == FColumns) return;
  bool rebuild = (Value == 0) != (FColumns == 0);
  FColumns = Value;
  if (rebuild) {
    Recreate();
    RecomputeExtent();
  } else {
    Invalidate();
  }
}

void TVxCustomListBox::SetStyle(TListBoxStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Recreate();
}

void TVxCustomListBox::SetIntegralHeight(bool Value) {
  if (Value == FIntegralHeight) return;
  FIntegralHeight = Value;
  Recreate();
}

void TVxCustomListBox::SetMultiSelect(bool Value) {
  if (Value == FMultiSelect) return;
  FMultiSelect = Value;
  std::fill(FSel.begin(), FSel.end(), false);
  if (FItemIndex >= 0 && !Value) FSel[FItemIndex] = true;
  Recreate();
}

void TVxCustomListBox::SetSorted(bool Value) {
  if (Value == FSorted) return;
  FSorted = Value;
  if (Value) {
    // The current item and the top item stay on the same texts.
    TItem* cur = FItemIndex >= 0 ? &FList[FItemIndex] : nullptr;
    std::vector<size_t> order(FList.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t A, size_t B) { return AnsiCompareText(FList[A].Text, FList[B].Text) < 0; });
    std::vector<TItem> list;
    std::vector<bool> sel;
    int newIndex = -1;
    for (size_t i = 0; i < order.size(); ++i) {
      if (cur == &FList[order[i]]) newIndex = static_cast<int>(i);
      list.push_back(FList[order[i]]);
      sel.push_back(FSel[order[i]]);
    }
    FList = std::move(list);
    FSel = std::move(sel);
    FItemIndex = newIndex;
  }
  Recreate();
}

void TVxCustomListBox::SetExtendedSelect(bool Value) {
  if (Value == FExtendedSelect) return;
  FExtendedSelect = Value;
  Recreate();
}

void TVxCustomListBox::SetTabWidth(int Value) {
  Value = std::max(Value, 0);
  if (Value == FTabWidth) return;
  FTabWidth = Value;
  Recreate();
  RecomputeExtent();
}

void TVxCustomListBox::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  SetFrameBorder(Value == bsNone ? 0 : 2);
  Recreate();
}

void TVxCustomListBox::SetGraySelection(bool Value) {
  if (Value == FGraySelection) return;
  FGraySelection = Value;
  if (!HasFocus()) Invalidate();
}

void TVxCustomListBox::SetAutoScrollFlag(bool Value) {
  if (Value == FAutoScroll) return;
  bool change = Value != AutoScrollInEffect();
  FAutoScroll = Value;
  if (change) {
    FScrollX = 0;
    RecomputeExtent();
  }
}

void TVxCustomListBox::SetOnDrawItem(TDrawItemEvent Value) {
  bool change = static_cast<bool>(Value) != static_cast<bool>(OnDrawItem);
  OnDrawItem = std::move(Value);
  if (change) {
    FScrollX = 0;
    RecomputeExtent();
  }
}

void TVxCustomListBox::SetOnGetItemWidth(TGetItemWidthEvent Value) {
  bool change = static_cast<bool>(Value) != static_cast<bool>(OnGetItemWidth);
  OnGetItemWidth = std::move(Value);
  if (change) {
    FScrollX = 0;
    RecomputeExtent();
  }
}

void TVxCustomListBox::SetScrollLeft(int Value) {
  int limit = std::max(0, FMaxItemWidth - ClientWidth());
  Value = std::clamp(Value, 0, limit);
  if (Value == FScrollX) return;
  FScrollX = Value;
  Invalidate();
}

// ---- sizes ----

void TVxCustomListBox::UpdateNativeHeight() {
  if (FStyle == lbStandard) {
    Canvas()->Font()->Assign(Font());
    FNativeHeight = std::max(1, Canvas()->TextHeight("Wg"));
  } else {
    FNativeHeight = FItemHeight;
  }
}

void TVxCustomListBox::SetNativeItemHeight(int Value) {
  if (Value <= 0 || Value == FNativeHeight) return;
  FNativeHeight = Value;
  Invalidate();
}

int TVxCustomListBox::GetItemHeight() const { return FStyle == lbStandard ? FNativeHeight : FItemHeight; }

void TVxCustomListBox::FireMeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

int TVxCustomListBox::HeightOf(int Index) const {
  if (FStyle != lbOwnerDrawVariable) return FNativeHeight;
  int h = FItemHeight;
  const_cast<TVxCustomListBox*>(this)->FireMeasureItem(Index, h);
  return std::max(h, 1);
}

int TVxCustomListBox::ColumnWidth() const { return FColumns > 0 ? (Width() + FColumns - 3) / FColumns : 0; }

int TVxCustomListBox::RowsPerColumn() const { return std::max(1, ClientHeight() / std::max(1, FNativeHeight)); }

// Measured in the list's font; the colour the row is being drawn in (highlight text on a
// selected row) stays.
int TVxCustomListBox::TabStopPixels() {
  TColor color = Canvas()->Font()->Color();
  Canvas()->Font()->Assign(Font());
  Canvas()->Font()->SetColor(color);
  return static_cast<int>(std::nearbyint(Canvas()->TextWidth("0") * FTabWidth / 4.0));
}

int TVxCustomListBox::TabbedWidth(const std::string& S) {
  if (FTabWidth <= 0 || S.find('\t') == std::string::npos) return Canvas()->TextWidth(S);
  int stop = std::max(1, TabStopPixels());
  int x = 0;
  size_t start = 0;
  for (;;) {
    size_t tab = S.find('\t', start);
    x += Canvas()->TextWidth(S.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    x = (x / stop + 1) * stop;
    start = tab + 1;
  }
  return x;
}

void TVxCustomListBox::TabbedOut(int X, int Y, const std::string& S, int Origin) {
  if (FTabWidth <= 0) {
    Canvas()->TextOut(X, Y, S);
    return;
  }
  int stop = std::max(1, TabStopPixels());
  int x = X;
  size_t start = 0;
  for (;;) {
    size_t tab = S.find('\t', start);
    std::string part = S.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    Canvas()->TextOut(x, Y, part);
    x += Canvas()->TextWidth(part);
    if (tab == std::string::npos) break;
    x = Origin + ((x - Origin) / stop + 1) * stop;
    start = tab + 1;
  }
}

int TVxCustomListBox::MeasureItemWidth(int Index) {
  if (FStyle != lbStandard && OnGetItemWidth && OnDrawItem) {
    int w = 0;
    OnGetItemWidth(this, Index, w);
    return w;
  }
  Canvas()->Font()->Assign(Font());
  return TabbedWidth(FList[Index].Text + "x");
}

void TVxCustomListBox::RecomputeExtent() {
  int w = 0;
  if (AutoScrollInEffect())
    for (int i = 0; i < static_cast<int>(FList.size()); ++i) w = std::max(w, MeasureItemWidth(i));
  FMaxItemWidth = w;
  ApplyExtent();
}

void TVxCustomListBox::ApplyExtent() {
  FScrollX = std::clamp(FScrollX, 0, std::max(0, FMaxItemWidth - ClientWidth()));
  Invalidate();
}

// ---- geometry ----

TRect TVxCustomListBox::ItemBounds(int Index) const {
  int count = static_cast<int>(FList.size());
  if (Index < 0 || Index > count || (Index == count && count == 0)) {
    if (Index == 0) return Rect(0, 0, ClientWidth(), FNativeHeight);
    return Rect(0, 0, 0, 0);
  }
  if (Index == count) {
    TRect r = ItemBounds(count - 1);
    int h = r.Height();
    return Rect(r.Left, r.Top + h, r.Right, r.Bottom + h);
  }
  if (FColumns > 0) {
    int rows = RowsPerColumn(), cw = ColumnWidth();
    int rel = Index - FTopIndex;
    int col = rel >= 0 ? rel / rows : -1 - (-rel - 1) / rows;
    int row = rel - col * rows;
    return Rect(col * cw, row * FNativeHeight, (col + 1) * cw, (row + 1) * FNativeHeight);
  }
  int y = 0;
  if (Index >= FTopIndex)
    for (int i = FTopIndex; i < Index; ++i) y += HeightOf(i);
  else
    for (int i = Index; i < FTopIndex; ++i) y -= HeightOf(i);
  int w = std::max(ClientWidth(), FMaxItemWidth);
  return Rect(-FScrollX, y, w - FScrollX, y + HeightOf(Index));
}

int TVxCustomListBox::ItemAtPoint(const TPoint& P, bool ExistingOnly) const {
  if (P.X < 0 || P.Y < 0 || P.X >= ClientWidth() || P.Y >= ClientHeight()) return -1;
  int count = static_cast<int>(FList.size());
  for (int i = FTopIndex; i < count; ++i) {
    TRect r = ItemBounds(i);
    if (P.X >= r.Left && P.X < r.Right && P.Y >= r.Top && P.Y < r.Bottom) return i;
    if (FColumns == 0 && r.Top >= ClientHeight()) break;
  }
  return ExistingOnly ? -1 : count;
}

void TVxCustomListBox::MakeVisible(int Index) {
  if (Index < FTopIndex) {
    FTopIndex = Index;
    return;
  }
  if (FColumns > 0) return;
  while (FTopIndex < Index && ItemBounds(Index).Bottom > ClientHeight()) ++FTopIndex;
}

void TVxCustomListBox::InvalidateItem(int) { Invalidate(); }

// ---- drawing ----

void TVxCustomListBox::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  int count = static_cast<int>(FList.size());
  for (int i = FTopIndex; i < count; ++i) {
    TRect r = ItemBounds(i);
    if (r.Top >= ClientHeight() || r.Left >= ClientWidth()) break;
    TOwnerDrawState st;
    if (FSel[i]) st.Include(odSelected);
    if (i == FItemIndex && HasFocus()) st.Include(odFocused);
    if (!Enabled()) st.Include(odDisabled);
    DrawItemRequest(i, r, st);
  }
}

void TVxCustomListBox::DrawItemRequest(int Index, TRect Rect, TOwnerDrawState State) {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetColor(Color());
  if (State.Contains(odSelected) && Index >= 0) {
    if (!FGraySelection || HasFocus()) {
      c->Brush()->SetColor(clHighlight);
      c->Font()->SetColor(clHighlightText);
    } else {
      c->Brush()->SetColor(clBtnFace);
      if (c->Font()->Color() == clBtnFace) c->Font()->SetColor(clBtnText);
    }
  }
  if (Index < 0)
    c->FillRect(Rect);
  else
    PaintItem(Index, Rect, State);
  if (State.Contains(odFocused)) c->DrawFocusRect(Rect);
}

void TVxCustomListBox::PaintItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  TCanvas* c = Canvas();
  c->FillRect(Rect);
  if (Index < static_cast<int>(FList.size())) {
    int h = c->TextHeight("Wy");
    int y = std::max(Rect.Top, (Rect.Top + Rect.Bottom - h) / 2);
    c->Brush()->SetStyle(bsClear);
    TabbedOut(Rect.Left + 2, y, FList[Index].Text, Rect.Left);
    c->Brush()->SetStyle(bsSolid);
  }
}

// ---- input ----

void TVxCustomListBox::SelectionChanged() {
  Invalidate();
  Click();
}

void TVxCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    int i = ItemAtPoint(TPoint(X, Y), true);
    if (i >= 0) {
      if (FMultiSelect) {
        if (FExtendedSelect && Shift.Contains(ssShift) && FAnchor >= 0) {
          if (!Shift.Contains(ssCtrl)) std::fill(FSel.begin(), FSel.end(), false);
          for (int k = std::min(FAnchor, i); k <= std::max(FAnchor, i); ++k) FSel[k] = true;
        } else if (!FExtendedSelect || Shift.Contains(ssCtrl)) {
          FSel[i] = !FSel[i];
          FAnchor = i;
        } else {
          std::fill(FSel.begin(), FSel.end(), false);
          FSel[i] = true;
          FAnchor = i;
        }
        FItemIndex = i;
        SelectionChanged();
      } else if (i != FItemIndex) {
        SetItemIndex(i);
        SelectionChanged();
      }
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TVxCustomListBox::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  int count = static_cast<int>(FList.size());
  if (count == 0) return;
  int page = std::max(1, ClientHeight() / std::max(1, FNativeHeight) - 1);
  int target = FItemIndex;
  switch (Key) {
    case VK_UP:
      target = std::max(0, FItemIndex - 1);
      break;
    case VK_DOWN:
      target = std::min(count - 1, FItemIndex + 1);
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = count - 1;
      break;
    case VK_PRIOR:
      target = std::max(0, FItemIndex - page);
      break;
    case VK_NEXT:
      target = std::min(count - 1, std::max(0, FItemIndex) + page);
      break;
    default:
      return;
  }
  if (target == FItemIndex) return;
  if (FMultiSelect) {
    std::fill(FSel.begin(), FSel.end(), false);
    FSel[target] = true;
    FAnchor = target;
    FItemIndex = target;
    MakeVisible(target);
  } else {
    SetItemIndex(target);
  }
  SelectionChanged();
}

bool TVxCustomListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  int top = std::clamp(FTopIndex - WheelDelta / 120 * Mouse->WheelScrollLines(), 0, MaxTopIndex());
  if (top != FTopIndex) SetTopIndex(top);
  return true;
}

// The top index that shows the last rows (in columns: the first row).
int TVxCustomListBox::MaxTopIndex() const {
  int n = static_cast<int>(FList.size()), y = 0, top = n;
  if (FColumns > 0) return 0;
  while (top > 0 && y + HeightOf(top - 1) <= ClientHeight()) y += HeightOf(--top);
  return std::min(top, std::max(0, n - 1));
}

// A vertical bar while the rows do not all fit (one list, not columns), a horizontal one while
// the widest item is wider than the list.
void TVxCustomListBox::UpdateScrollBars() {
  int n = static_cast<int>(FList.size());
  if (FColumns > 0)
    SetScrollBar(sbVertical, 0, 0, 1, 0);
  else
    SetScrollBar(sbVertical, 0, std::max(0, n - 1), std::max(1, n - MaxTopIndex()), FTopIndex);
  if (AutoScrollInEffect())
    SetScrollBar(sbHorizontal, 0, std::max(0, FMaxItemWidth - 1), std::max(1, ClientWidth()), FScrollX);
  else
    SetScrollBar(sbHorizontal, 0, 0, 1, 0);
}

void TVxCustomListBox::Invalidate() {
  UpdateScrollBars();
  TCustomControl::Invalidate();
}

void TVxCustomListBox::Scrolled(int Kind, int Position) {
  if (Kind == sbVertical)
    SetTopIndex(Position);
  else
    SetScrollLeft(Position);
}

void TVxCustomListBox::Resize() {
  ApplyExtent();
  TCustomControl::Resize();
}

void TVxCustomListBox::FontChanged() {
  TCustomControl::FontChanged();
  UpdateNativeHeight();
  RecomputeExtent();
  ListCreated();
}

void TVxCustomListBox::FocusChangedRepaint() {
  // The selection and the focus rectangle change their look with the focus.
  Invalidate();
}

bool TVxCustomListBox::HasFocus() const { return FHasFocus || Focused(); }

void TVxCustomListBox::DoEnter() {
  FHasFocus = true;
  TCustomControl::DoEnter();
  FocusChangedRepaint();
}

void TVxCustomListBox::DoExit() {
  FHasFocus = false;
  TCustomControl::DoExit();
  FocusChangedRepaint();
}

namespace {
const TEnumInfo kVxListBoxStyleInfo("TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"});
}  // namespace

VM_PUBLISH(TVxCustomListBox) {
  P.Bool("TabStop", &TVxCustomListBox::TabStop, &TVxCustomListBox::SetTabStop).Default(true);
  P.Int("Columns", &TVxCustomListBox::Columns, &TVxCustomListBox::SetColumns).Default(0);
  P.Bool("ExtendedSelect", &TVxCustomListBox::ExtendedSelect, &TVxCustomListBox::SetExtendedSelect).Default(true);
  P.Bool("GraySelection", &TVxCustomListBox::GraySelection, &TVxCustomListBox::SetGraySelection).Default(false);
  P.Bool("IntegralHeight", &TVxCustomListBox::IntegralHeight, &TVxCustomListBox::SetIntegralHeight).Default(false);
  P.Int("ItemHeight", &TVxCustomListBox::StoredItemHeight, &TVxCustomListBox::SetItemHeight).Default(16);
  P.Bool("MultiSelect", &TVxCustomListBox::MultiSelect, &TVxCustomListBox::SetMultiSelect).Default(false);
  P.Bool("Sorted", &TVxCustomListBox::Sorted, &TVxCustomListBox::SetSorted).Default(false);
  P.Int("TabWidth", &TVxCustomListBox::TabWidth, &TVxCustomListBox::SetTabWidth).Default(0);
  P.Enum("Style", &TVxCustomListBox::Style, &TVxCustomListBox::SetStyle, kVxListBoxStyleInfo).Default(lbStandard);
}

VM_PUBLISH(TVxListBox) { P.Strings("Items", &TVxListBox::Items); }
