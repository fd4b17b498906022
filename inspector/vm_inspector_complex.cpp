// The inspector's complex rows and their items.
#include "inspector/vm_inspector.h"

#include <algorithm>
#include <cstring>

#include "inspector/vm_dropdown.h"
#include "platform/bitmap.h"
#include "platform/dragdrop.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

TvmInspectorComplexRow* TvmInspectorComplexRowItem::ComplexRow() const {
  auto* items = dynamic_cast<TvmInspectorComplexRowItems*>(Collection());
  return items ? items->ComplexRow() : nullptr;
}

void TvmInspectorComplexRowItem::SetFixed(bool Value) {
  if (Fixed == Value) return;
  Fixed = Value;
  Changed(false);
}

void TvmInspectorComplexRowItem::SetMinWidth(int Value) {
  MinWidth = std::max(Value, 0);
  SetWidth(Width);
}

void TvmInspectorComplexRowItem::SetWidth(int Value) {
  Width = std::max(Value, MinWidth);
  Changed(false);
}

void TvmInspectorComplexRowItem::SetRow(TvmInspectorRow* Value) {
  if (Value == Row) return;
  TvmInspectorComplexRow* owner = ComplexRow();
  TCustomvmInspectorControl* insp = owner ? owner->Inspector() : nullptr;
  if (Value && (dynamic_cast<TvmInspectorComplexRow*>(Value) || !insp || Value->Inspector() != insp)) return;
  TCollection* items = Collection();
  if (items) items->BeginUpdate();
  TScopeExit endUpdate([&] {
    if (items) items->EndUpdate();
  });
  if (Value) {
    Value->SetVisible(false);
    for (TvmInspectorComplexRow* cx : insp->FComplexRows) cx->RemoveRowFromItems(Value);
  }
  Row = Value;
}

void TvmInspectorComplexRowItem::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TvmInspectorComplexRowItem*>(Source);
  if (!src) {
    TCollectionItem::Assign(Source);
    return;
  }
  TCollection* items = Collection();
  if (items) items->BeginUpdate();
  TScopeExit endUpdate([&] {
    if (items) items->EndUpdate();
  });
  MinWidth = 20;
  Width = 50;
  SetFixed(src->Fixed);
  SetMinWidth(src->MinWidth);
  SetRow(src->Row);
  SetWidth(src->Width);
}

std::string TvmInspectorComplexRowItem::GetDisplayName() {
  if (Row && !Row->Name().empty()) return Row->Name();
  return TCollectionItem::GetDisplayName();
}

TvmInspectorComplexRowItems::TvmInspectorComplexRowItems(TvmInspectorComplexRow* ARow)
    : TCollection(TvmInspectorComplexRowItem::StaticClass()), FRow(ARow) {}

TPersistent* TvmInspectorComplexRowItems::GetOwner() { return FRow; }

int TvmInspectorComplexRowItems::IndexOfRow(const TvmInspectorRow* Row) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Row == Row) return i;
  return -1;
}

void TvmInspectorComplexRowItems::Update(TCollectionItem*) {
  if (FRow) FRow->ItemsChanged();
}

TvmInspectorComplexRow::TvmInspectorComplexRow(TComponent* AOwner)
    : TvmInspectorTextRow(AOwner), FItems(std::make_unique<TvmInspectorComplexRowItems>(this)) {}

TvmInspectorComplexRow::~TvmInspectorComplexRow() = default;

int TvmInspectorComplexRow::AddItem() { return FItems->Add()->Index(); }

void TvmInspectorComplexRow::SetItemRow(int Index, TvmInspectorRow* Value) { Items(Index).SetRow(Value); }

void TvmInspectorComplexRow::SetItemWidth(int Index, int Value) { Items(Index).SetWidth(Value); }

void TvmInspectorComplexRow::SetItemMinWidth(int Index, int Value) { Items(Index).SetMinWidth(Value); }

void TvmInspectorComplexRow::SetItemFixed(int Index, bool Value) { Items(Index).SetFixed(Value); }

void TvmInspectorComplexRow::ClearItems() { FItems->Clear(); }

int TvmInspectorComplexRow::IndexOfRow(const TvmInspectorRow* Row) const { return FItems->IndexOfRow(Row); }

void TvmInspectorComplexRow::RemoveRowFromItems(const TvmInspectorRow* Row) {
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->Row == Row) FItems->Items(i)->Row = nullptr;
}

void TvmInspectorComplexRow::ItemsChanged() {
  if (FInspector && !ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying) &&
      !FInspector->DestroyingControl())
    FInspector->LayoutChanged();
}

void TvmInspectorComplexRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TvmInspectorComplexRow*>(Source);
  if (FInspector) FInspector->BeginUpdate();
  TScopeExit endUpdate([&] {
    if (FInspector) FInspector->EndUpdate();
  });
  TvmInspectorTextRow::Assign(Source);
  if (src) FItems->Assign(src->FItems.get());
}

void TvmInspectorComplexRowViewInfo::Calculate(const TRect& R) {
  FItems.clear();
  int W = R.Width();
  if (!FRow || W <= 0) return;
  const int n = FRow->ItemCount();
  for (int i = 0; i < n; ++i) {
    const auto& it = FRow->Items(i);
    TvmInspectorComplexRowViewInfoItem e;
    e.Row = it.Row;
    e.Fixed = it.Fixed;
    e.MinWidth = it.MinWidth;
    e.Width = it.Width;
    if (e.Fixed) W -= e.Width;
    FItems.push_back(e);
    if (i < n - 1) {
      TvmInspectorComplexRowViewInfoItem s;
      s.Fixed = true;
      s.IsSeparator = true;
      s.Width = FSeparatorWidth;
      W -= s.Width;
      FItems.push_back(s);
    }
  }
  W = std::max(W, 0);
  for (;;) {
    int S = 0;
    for (auto& e : FItems)
      if (!e.Fixed) S += e.Width;
    bool again = false;
    for (auto& e : FItems) {
      if (e.Fixed) continue;
      const int share = S < 1 ? 0 : e.Width * W / S;
      if (share < e.MinWidth) {
        e.Width = e.MinWidth;
        e.Fixed = true;
        W = std::max(W - e.Width, 0);
        again = true;
        break;
      }
    }
    if (again) continue;
    for (auto& e : FItems)
      if (!e.Fixed) e.Width = S < 1 ? 0 : e.Width * W / S;
    break;
  }
  int x = R.Left;
  for (auto& e : FItems) {
    e.Bounds = TRect(x, R.Top, x + e.Width, R.Bottom);
    x += e.Width;
  }
  if (!FItems.empty() && FItems.back().Bounds.Right < R.Right) FItems.back().Bounds.Right = R.Right;
}
