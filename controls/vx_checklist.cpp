#include "controls/vx_checklist.h"

#include <algorithm>

#include "controls/form_storage.h"
#include "controls/vx_settings.h"
#include "controls/vx_utils.h"
#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/guards.h"
#include "platform/streaming.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

namespace {

constexpr int kCellW = 16, kCellH = 13;
constexpr TColor kCheckTransparent = clFuchsia;

void DrawMark(TCanvas* C, int X, int Y, TColor Color) {
  C->Pen()->SetColor(Color);
  C->Pen()->SetWidth(1);
  for (int d = 0; d < 3; ++d) {
    C->MoveTo(X + 3, Y + 5 + d);
    C->LineTo(X + 5, Y + 7 + d);
    C->LineTo(X + 10, Y + 2 + d);
  }
}

// The check artwork, drawn once.
std::unique_ptr<TBitmap> MakeCheckImages() {
  auto bmp = std::make_unique<TBitmap>(6 * kCellW, 3 * kCellH);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(kCheckTransparent);
  c->FillRect(Rect(0, 0, 6 * kCellW, 3 * kCellH));
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 6; ++col) {
      const bool enabled = col < 3;
      const int state = col % 3;
      const int x = col * kCellW + 1, y = row * kCellH;
      const TColor face = enabled ? (state == cbGrayed ? clSilver : clWhite) : clSilver;
      const TColor ink = enabled ? (state == cbGrayed ? clGray : clBlack) : clGray;
      c->Pen()->SetColor(enabled ? clBlack : clGray);
      c->Pen()->SetWidth(1);
      c->Brush()->SetColor(face);
      if (row == ckCheckBoxes) {
        c->Rectangle(x, y, x + 13, y + 13);
        if (state != cbUnchecked) DrawMark(c, x, y, ink);
      } else if (row == ckRadioButtons) {
        c->Ellipse(x, y, x + 13, y + 13);
        if (state != cbUnchecked) {
          c->Brush()->SetColor(ink);
          c->Pen()->SetColor(ink);
          c->Ellipse(x + 4, y + 4, x + 9, y + 9);
        }
      } else if (state != cbUnchecked) {
        DrawMark(c, x, y, ink);
      }
    }
  bmp->SetTransparentColor(kCheckTransparent);
  return bmp;
}

std::unique_ptr<TBitmap>& SharedImages() {
  static std::unique_ptr<TBitmap> images;
  return images;
}

}  // namespace

TBitmap* TVxCheckListBox::CheckImages() {
  auto& images = SharedImages();
  if (!images) images = MakeCheckImages();
  return images.get();
}

TVxCheckListBox::TVxCheckListBox(TComponent* AOwner)
    : TVxCustomListBox(AOwner), FCell(std::make_unique<TBitmap>()), FIniLink(std::make_unique<TIniLink>()) {
  RenewItemList();
  SetAutoScrollFlag(true);
  FIniLink->OnWriteSettings = [this](TObject* Sender) { WriteStates(Sender); };
  FIniLink->OnReadSettings = [this](TObject* Sender) { ReadStates(Sender); };
  AdjustItemHeight();
}

TVxCheckListBox::~TVxCheckListBox() {
  FIniLink.reset();
  for (auto& item : RawItems()) delete reinterpret_cast<TCheckListBoxItem*>(item.Data);
  RawItems().clear();
}

std::unique_ptr<TVxListBoxStrings> TVxCheckListBox::NewItemList() {
  return std::make_unique<TCheckListBoxStrings>(this);
}

int TVxCheckListBox::CheckAreaWidth() const { return kCellW + 2; }

TCheckListBoxItem* TVxCheckListBox::Record(int Index) const {
  CheckIndex(Index);
  return reinterpret_cast<TCheckListBoxItem*>(RawItems()[Index].Data);
}

TCheckListBoxItem* TVxCheckListBox::NeedRecord(int Index) {
  TCheckListBoxItem* r = Record(Index);
  if (!r) {
    r = new TCheckListBoxItem;
    RawItems()[Index].Data = reinterpret_cast<intptr_t>(r);
  }
  return r;
}

intptr_t TVxCheckListBox::ReadItemData(int Index) const {
  TCheckListBoxItem* r = Record(Index);
  return r ? r->Data : 0;
}

void TVxCheckListBox::WriteItemData(int Index, intptr_t Data) { NeedRecord(Index)->Data = Data; }

void TVxCheckListBox::EmptyList() {
  for (auto& item : RawItems()) {
    delete reinterpret_cast<TCheckListBoxItem*>(item.Data);
    item.Data = 0;
  }
  TVxCustomListBox::EmptyList();
}

void TVxCheckListBox::RemoveItemAt(int Index) {
  delete Record(Index);
  RawItems()[Index].Data = 0;
  TVxCustomListBox::RemoveItemAt(Index);
}

// ---- states ----

TCheckBoxState TVxCheckListBox::GetItemState(int Index) const {
  TCheckListBoxItem* r = Record(Index);
  if (!r) return cbUnchecked;
  if (FCheckKind == ckRadioButtons && r->State == cbGrayed) return cbUnchecked;
  return r->State;
}

bool TVxCheckListBox::GetItemChecked(int Index) const {
  TCheckListBoxItem* r = Record(Index);
  return r && r->State == cbChecked;
}

void TVxCheckListBox::SetItemChecked(int Index, bool Checked) {
  SetItemState(Index, Checked ? cbChecked : cbUnchecked);
}

bool TVxCheckListBox::IsItemEnabled(int Index) const {
  TCheckListBoxItem* r = Record(Index);
  return !r || r->Enabled;
}

void TVxCheckListBox::EnableItem(int Index, bool Enabled) {
  if (IsItemEnabled(Index) == Enabled) return;
  NeedRecord(Index)->Enabled = Enabled;
  InvalidateItem(Index);
}

void TVxCheckListBox::SetItemState(int Index, TCheckBoxState State) {
  if (GetItemState(Index) == State && !FNormalizing) return;
  const bool radio = FCheckKind == ckRadioButtons;
  if (radio && State == cbUnchecked && Index == CheckedIndex()) return;
  NeedRecord(Index)->State = State;
  if (radio && State == cbChecked) {
    for (int i = Items()->Count() - 1; i >= 0; --i) {
      if (i == Index || GetItemState(i) != cbChecked) continue;
      Record(i)->State = cbUnchecked;
      InvalidateCheck(i);
    }
  }
  InvalidateCheck(Index);
  if (!ComponentState().Contains(csLoading)) FireStateChange(Index);
}

int TVxCheckListBox::CheckedIndex() const {
  if (FCheckKind != ckRadioButtons) return -1;
  for (int i = 0; i < Items()->Count(); ++i)
    if (GetItemState(i) == cbChecked) return i;
  return -1;
}

void TVxCheckListBox::SetCheckedIndex(int Value) {
  if (FCheckKind != ckRadioButtons || Items()->Count() == 0) return;
  // An index past the end would be an unchecked range error: the last item is meant.
  SetItemState(std::min(std::max(Value, 0), Items()->Count() - 1), cbChecked);
}

void TVxCheckListBox::SetAllowGrayed(bool Value) { FAllowGrayed = Value; }

void TVxCheckListBox::SetCheckKind(TCheckKind Value) {
  if (Value == FCheckKind) return;
  FCheckKind = Value;
  NormalizeRadioChecks();
  Invalidate();
}

void TVxCheckListBox::NormalizeRadioChecks() {
  if (FCheckKind != ckRadioButtons || Items()->Count() == 0) return;
  FNormalizing = true;
  TScopeExit normalizing([&] { FNormalizing = false; });
  SetItemState(std::max(CheckedIndex(), 0), cbChecked);
}

void TVxCheckListBox::SetAllStates(TCheckBoxState State, bool EnabledOnly) {
  if (FCheckKind == ckRadioButtons) return;
  for (int i = 0; i < Items()->Count(); ++i)
    if (!EnabledOnly || IsItemEnabled(i)) SetItemState(i, State);
}

void TVxCheckListBox::CycleItemState(int Index) {
  if (Index < 0 || Index >= Items()->Count() || !IsItemEnabled(Index)) return;
  TCheckBoxState next = cbChecked;
  switch (GetItemState(Index)) {
    case cbUnchecked:
      next = AllowGrayed() ? cbGrayed : cbChecked;
      break;
    case cbChecked:
      next = cbUnchecked;
      break;
    case cbGrayed:
      next = cbChecked;
      break;
  }
  SetItemState(Index, next);
  FireClickCheck();
}

void TVxCheckListBox::FireClickCheck() {
  if (OnClickCheck) OnClickCheck(this);
}

void TVxCheckListBox::FireStateChange(int Index) {
  if (OnStateChange) OnStateChange(this, Index);
}

void TVxCheckListBox::SetItems(TStrings* Value) {
  TUpdateLock lock(Items());
  Items()->Assign(*Value);
  if (auto* src = dynamic_cast<TCheckListBoxStrings*>(Value)) {
    if (auto* other = dynamic_cast<TVxCheckListBox*>(src->ListBox())) {
      const int n = std::min(other->Items()->Count(), Items()->Count());
      for (int i = 0; i < n; ++i) {
        TCheckListBoxItem* r = NeedRecord(i);
        TCheckListBoxItem* s = other->Record(i);
        r->State = s ? s->State : cbUnchecked;
        r->Enabled = s ? s->Enabled : true;
      }
    }
  }
}

void TVxCheckListBox::Loaded() {
  TVxCustomListBox::Loaded();
  NormalizeRadioChecks();
}

// ---- sizes and drawing ----

int TVxCheckListBox::GetItemHeight() const {
  if (Style() == lbOwnerDrawFixed && !OnDrawItem) return NativeItemHeight();
  return TVxCustomListBox::GetItemHeight();
}

void TVxCheckListBox::ListCreated() { AdjustItemHeight(); }

void TVxCheckListBox::AdjustItemHeight() {
  if (!(Style() == lbStandard || (Style() == lbOwnerDrawFixed && !OnDrawItem))) return;
  Canvas()->Font()->Assign(Font());
  int h = std::max(Canvas()->TextHeight("Wg"), kCellH + 2);  // a pixel between the boxes of two rows
  if (Style() == lbOwnerDrawFixed) h = std::max(h, StoredItemHeight());
  SetNativeItemHeight(h);
}

int TVxCheckListBox::MeasureItemWidth(int Index) {
  return TVxCustomListBox::MeasureItemWidth(Index) + CheckAreaWidth();
}

TRect TVxCheckListBox::CheckArea(const TRect& TextRect) const {
  return Rect(TextRect.Left - CheckAreaWidth(), TextRect.Top, TextRect.Left, TextRect.Bottom);
}

void TVxCheckListBox::DrawItemRequest(int Index, TRect Rect, TOwnerDrawState State) {
  Rect.Left += CheckAreaWidth();
  TVxCustomListBox::DrawItemRequest(Index, Rect, State);
}

void TVxCheckListBox::PaintItem(int Index, const TRect& ItemRect, TOwnerDrawState State) {
  if (Index < Items()->Count()) {
    TCanvas* c = Canvas();
    const TRect area = CheckArea(ItemRect);
    const int x = area.Left + (area.Width() - kCellW) / 2;
    const int y = area.Top + (area.Height() - kCellH) / 2;
    const bool enabled = IsItemEnabled(Index);
    const int state = static_cast<int>(GetItemState(Index));
    CopyBitmapCell(CheckImages(), FCell.get(), 6, 3, FCheckKind * 6 + (enabled ? state : 3 + state));
    TColor brush = c->Brush()->Color();
    c->Brush()->SetColor(Color());
    c->FillRect(area);
    DrawColorKeyed(c, FCell.get(), kCheckTransparent, x, y, 0, 0, 0, 0, 0, 0);
    c->Brush()->SetColor(brush);
    if (!enabled) c->Font()->SetColor(State.Contains(odSelected) ? clInactiveCaptionText : clGrayText);
  }
  if (Style() == lbStandard) {
    TDrawItemEvent keep = std::move(OnDrawItem);
    OnDrawItem = nullptr;
    TScopeExit onDrawItem([&] { OnDrawItem = std::move(keep); });
    TVxCustomListBox::PaintItem(Index, ItemRect, State);
  } else {
    TVxCustomListBox::PaintItem(Index, ItemRect, State);
  }
}

void TVxCheckListBox::InvalidateCheck(int /*Index*/) {
  // The surface repaints whole: invalidate and paint at once.
  Invalidate();
  Update();
}

// ---- input ----

void TVxCheckListBox::KeyDown(uint16_t& Key, TShiftState Shift) {
  TVxCustomListBox::KeyDown(Key, Shift);
  if (Key == VK_SPACE) {
    CycleItemState(ItemIndex());
    Key = 0;
  }
}

void TVxCheckListBox::KeyPress(char& Key) {
  TVxCustomListBox::KeyPress(Key);
  if (Key == '+' || Key == '-') {
    SetAllStates(Key == '+' ? cbChecked : cbUnchecked, true);
    FireClickCheck();
    Key = 0;
  }
}

void TVxCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TVxCustomListBox::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  int i = ItemAtPoint(TPoint(X, Y), true);
  if (i < 0) return;
  const int dx = X - ItemBounds(i).Left;
  if (dx >= 0 && dx < CheckAreaWidth()) CycleItemState(i);
}

// ---- settings file ----

TFormPlacement* TVxCheckListBox::IniStorage() const { return FIniLink->Storage(); }
void TVxCheckListBox::SetIniStorage(TFormPlacement* Value) { FIniLink->SetStorage(Value); }

void TVxCheckListBox::WriteStates(TObject*) {
  TObject* file = FIniLink->SettingsObject();
  if (Name().empty() || !file) return;
  const std::string section = FIniLink->RootSection() + DefaultSectionName(this);
  SettingsEraseSection(file, section);
  const int n = Items()->Count();
  SettingsWriteInteger(file, section, "Count", n);
  for (int i = 0; i < n; ++i) SettingsWriteInteger(file, section, "Item" + std::to_string(i), GetItemState(i));
}

void TVxCheckListBox::ReadStates(TObject*) {
  TObject* file = FIniLink->SettingsObject();
  if (Name().empty() || !file) return;
  const std::string section = FIniLink->RootSection() + DefaultSectionName(this);
  const int n = std::min(SettingsReadInteger(file, section, "Count", 0), Items()->Count());
  for (int i = 0; i < n; ++i) {
    const int v = SettingsReadInteger(file, section, "Item" + std::to_string(i), 0);
    if (v < cbUnchecked || v > cbGrayed) continue;  // not a state: the item keeps its own
    SetItemState(i, static_cast<TCheckBoxState>(v));
    if (FCheckKind == ckRadioButtons && v == cbChecked) break;
  }
}

// ---- form resources ----

namespace {
constexpr int kStreamVersion = 202;
const TEnumInfo kCheckKindInfo("TCheckKind", {"ckCheckBoxes", "ckRadioButtons", "ckCheckMarks"});
}  // namespace

void TVxCheckListBox::DefineProperties(TFiler* Filer) {
  TVxCustomListBox::DefineProperties(Filer);
  Filer->DefineProperty(
      "InternalVersion", [this](TReader* R) { FStreamVersion = R->ReadInteger(); },
      [](TWriter* W) { W->WriteInteger(kStreamVersion); }, Filer->Ancestor() == nullptr);
  Filer->DefineProperty(
      "Strings", [this](TReader* R) { ReadStrings(R); }, [this](TWriter* W) { WriteStrings(W); },
      Items()->Count() > 0 && StringsDiffer(Filer->Ancestor()));
}

bool TVxCheckListBox::StringsDiffer(TPersistent* Ancestor) const {
  auto* other = dynamic_cast<TVxCheckListBox*>(Ancestor);
  if (!other || other->Items()->Count() != Items()->Count()) return true;
  for (int i = 0; i < Items()->Count(); ++i) {
    if (AnsiCompareText(Items()->Strings(i), other->Items()->Strings(i)) != 0) return true;
    if (GetItemState(i) != other->GetItemState(i) || IsItemEnabled(i) != other->IsItemEnabled(i)) return true;
  }
  return false;
}

void TVxCheckListBox::WriteStrings(TWriter* Writer) {
  Writer->WriteListBegin();
  for (int i = 0; i < Items()->Count(); ++i) {
    Writer->WriteString(Items()->Strings(i));
    Writer->WriteInteger(GetItemState(i));
    Writer->WriteBoolean(IsItemEnabled(i));
  }
  Writer->WriteListEnd();
}

void TVxCheckListBox::ReadStrings(TReader* Reader) {
  auto setState = [this](int I, int32_t V) {
    if (V >= cbUnchecked && V <= cbGrayed) SetItemState(I, static_cast<TCheckBoxState>(V));
  };
  {
    TUpdateLock lock(Items());
    Items()->Clear();
    Reader->ReadListBegin();
    while (!Reader->EndOfList()) {
      const int i = Items()->Add(Reader->ReadString());
      if (FStreamVersion >= kStreamVersion) {
        setState(i, Reader->ReadInteger());
        EnableItem(i, Reader->ReadBoolean());
      } else {
        SetItemChecked(i, Reader->ReadBoolean());
        EnableItem(i, Reader->ReadBoolean());
        if (FStreamVersion > 0) setState(i, Reader->ReadInteger());
      }
    }
    Reader->ReadListEnd();
  }
  NormalizeRadioChecks();
}

VM_PUBLISH(TVxCheckListBox) {
  P.Enum("CheckKind", &TVxCheckListBox::CheckKind, &TVxCheckListBox::SetCheckKind, kCheckKindInfo)
      .Default(ckCheckBoxes);
  P.Component("IniStorage", &TVxCheckListBox::IniStorage, &TVxCheckListBox::SetIniStorage);
  P.Bool("AllowGrayed", &TVxCheckListBox::AllowGrayed, &TVxCheckListBox::SetAllowGrayed).Default(false);
  P.Bool("AutoScroll", &TVxCheckListBox::AutoScroll, &TVxCheckListBox::SetAutoScroll).Default(true);
  P.Int("CheckedIndex", &TVxCheckListBox::CheckedIndex, &TVxCheckListBox::SetCheckedIndex).Default(-1);
}
VM_DEFINE_CLASS(TCheckListBoxItem)
