// The lookup editor, its popup list and its list-source link.
#include "treelist/db_lookup_edit.h"

#include <algorithm>

#include "inspector/vm_utils.h"
#include "platform/actnlist.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/sysutils.h"

namespace {

TWinControl* TopWindow(TControl* C) {
  TWinControl* top = nullptr;
  for (TWinControl* p = C ? C->Parent() : nullptr; p; p = p->Parent()) top = p;
  return top;
}

// The first name of a list of field names separated by ";".
std::string FirstName(const std::string& Names) {
  size_t e = Names.find(';');
  return Trim(Names.substr(0, e));
}

bool SafeEquals(const Variant& A, const Variant& B) {
  try {
    return A == B;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The popup list.

VM_DEFINE_CLASS(TPopupDBLookupListBox)

// The list's link to its source: any change reads the rows again, a move selects the row of the
// new current record.
class TPopupDBLookupListBox::TListLink : public TDataLink {
public:
  explicit TListLink(TPopupDBLookupListBox* AList) : FList(AList) {}

protected:
  void ActiveChanged() override { FList->ReadRecords(false); }
  void LayoutChanged() override { FList->ReadRecords(false); }
  void DataSetChanged() override { FList->ReadRecords(true); }
  void DataSetScrolled(int) override { FList->FollowCurrent(); }

private:
  TPopupDBLookupListBox* FList;
};

TPopupDBLookupListBox::TPopupDBLookupListBox(TComponent* AOwner)
    : TvmPopupListBox(AOwner), FLink(std::make_unique<TListLink>(this)) {}

TPopupDBLookupListBox::~TPopupDBLookupListBox() {
  FReading = true;  // no reading while the link lets go
  FLink->SetDataSource(nullptr);
}

TDataSource* TPopupDBLookupListBox::ListSource() const { return FLink->DataSource(); }

void TPopupDBLookupListBox::SetListSource(TDataSource* Value) {
  if (Value == FLink->DataSource()) {
    ReadRecords(false);
    return;
  }
  {
    // Attaching reports the link active; the rows are read once below, where errors pass on.
    FReading = true;
    TScopeExit done([this] { FReading = false; });
    FLink->SetDataSource(Value);
  }
  TScopeFail undo([&] {
    FReading = true;
    TScopeExit done([this] { FReading = false; });
    FLink->SetDataSource(nullptr);
    Items()->Clear();
    FKeys.clear();
    FMarks.clear();
    FCells.clear();
  });
  ReadRecords(false);
}

void TPopupDBLookupListBox::ReadRecords(bool FollowDataSet) {
  if (FReading) return;
  // A record being edited or inserted is read once it is posted or cancelled.
  if (TDataSet* d = FLink->Active() ? FLink->DataSet() : nullptr; d && d->Active() && d->State() != dsBrowse) return;
  FReading = true;
  TScopeExit done([this] { FReading = false; });
  const Variant keep = KeyValue();
  Items()->Clear();
  FKeys.clear();
  FMarks.clear();
  FCells.clear();
  FColumnChars.clear();
  FFieldNames.clear();
  TDataSet* ds = FLink->Active() ? FLink->DataSet() : nullptr;
  if (!ds || !ds->Active()) {
    FSeen.clear();
    SetItemIndex(-1);
    return;
  }
  TField* key = ds->FieldByName(KeyField);
  std::vector<TField*> shown;
  if (ListField.empty())
    shown.push_back(key);
  else
    ds->GetFieldList(shown, ListField);
  for (TField* f : shown) {
    FColumnChars.push_back(std::max(1, f->DisplayWidth()));
    FFieldNames.push_back(f->FieldName());
  }
  const TBookmark current = ds->GetBookmark();
  const bool moved = FollowDataSet && !current.empty() && current != FSeen;
  ds->DisableControls();
  TScopeExit back([&] {
    if (!current.empty() && ds->BookmarkValid(current)) ds->GotoBookmark(current);
    ds->EnableControls();
  });
  int currentRow = -1;
  for (ds->First(); !ds->Eof(); ds->Next()) {
    std::vector<std::string> cells;
    cells.reserve(shown.size());
    for (TField* f : shown) cells.push_back(f->DisplayText());
    Items()->Add(cells.empty() ? std::string() : cells.front());
    FCells.push_back(std::move(cells));
    FKeys.push_back(key->Value());
    FMarks.push_back(ds->GetBookmark());
    if (FMarks.back() == current) currentRow = static_cast<int>(FMarks.size()) - 1;
  }
  FSeen = current;
  if (moved && currentRow >= 0) {
    FPendingKey = FKeys[static_cast<size_t>(currentRow)];
    SetItemIndex(currentRow);
  } else {
    SetKeyValue(keep);
  }
}

void TPopupDBLookupListBox::FollowCurrent() {
  TDataSet* ds = FLink->Active() ? FLink->DataSet() : nullptr;
  if (FReading || !ds || !ds->Active() || ds->State() != dsBrowse) return;
  const TBookmark current = ds->GetBookmark();
  auto it = std::find(FMarks.begin(), FMarks.end(), current);
  if (it == FMarks.end()) {
    ReadRecords(true);  // a record the rows do not hold yet
    return;
  }
  FSeen = current;
  const int row = static_cast<int>(it - FMarks.begin());
  FPendingKey = FKeys[static_cast<size_t>(row)];
  SetItemIndex(row);
}

Variant TPopupDBLookupListBox::KeyValue() const {
  int i = ItemIndex();
  return i >= 0 && i < RecordCount() ? FKeys[static_cast<size_t>(i)] : FPendingKey;
}

void TPopupDBLookupListBox::SetKeyValue(const Variant& Value) {
  FPendingKey = Value;
  int at = -1;
  for (int i = 0; i < RecordCount() && at < 0; ++i)
    if (SafeEquals(FKeys[static_cast<size_t>(i)], Value)) at = i;
  SetItemIndex(at);
}

std::string TPopupDBLookupListBox::CellText(int Row, int Column) const {
  if (Row < 0 || Row >= static_cast<int>(FCells.size())) return std::string();
  const auto& cells = FCells[static_cast<size_t>(Row)];
  return Column >= 0 && Column < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(Column)] : std::string();
}

// Columns share the width in proportion to their fields' display widths.
std::vector<int> TPopupDBLookupListBox::ColumnLefts(int Width) {
  std::vector<int> lefts;
  int chars = 0;
  for (int c : FColumnChars) chars += c;
  int x = 0, used = 0;
  for (int c : FColumnChars) {
    lefts.push_back(x);
    used += c;
    x = chars > 0 ? static_cast<int>(static_cast<int64_t>(Width) * used / chars) : Width;
  }
  return lefts;
}

void TPopupDBLookupListBox::PaintClient() {
  if (ListFieldCount() <= 1) {
    TvmPopupListBox::PaintClient();
    return;
  }
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  TRect r = ItemsRect();
  FillRectColor(c, r, Color());
  const int h = ItemHeight();
  const std::vector<int> lefts = ColumnLefts(r.Width());
  for (int i = FTopIndex; i < static_cast<int>(FCells.size()); ++i) {
    TRect ir = Rect(r.Left, r.Top + (i - FTopIndex) * h, r.Right, r.Top + (i - FTopIndex + 1) * h);
    if (ir.Top >= r.Bottom) break;
    const bool sel = i == FItemIndex;
    FillRectColor(c, ir, sel ? clHighlight : Color());
    c->Font()->SetColor(sel ? clHighlightText : Font()->Color());
    c->Brush()->SetStyle(bsClear);
    for (size_t k = 0; k < lefts.size(); ++k) {
      const int left = r.Left + lefts[k];
      const int right = k + 1 < lefts.size() ? r.Left + lefts[k + 1] : r.Right;
      TRect cr = Rect(left, ir.Top, right, ir.Bottom);
      c->TextRect(cr, cr.Left + 2, cr.Top, CellText(i, static_cast<int>(k)));
      if (k + 1 < lefts.size()) {
        // A line between the fields.
        c->Pen()->SetColor(sel ? clHighlightText : clBtnFace);
        c->MoveTo(right - 1, ir.Top);
        c->LineTo(right - 1, ir.Bottom);
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The list-source link.

void TvmListSourceLink::ActiveChanged() {
  if (FEdit) FEdit->ListLinkChanged();
}
void TvmListSourceLink::LayoutChanged() {
  if (FEdit) FEdit->ListLinkChanged();
}
void TvmListSourceLink::DataSetChanged() {
  if (FEdit) FEdit->ListDataSetChanged();
}

// ---------------------------------------------------------------------------------------------
// The editor.

VM_DEFINE_CLASS(TvmInplaceLookupEdit)
VM_DEFINE_CLASS(TvmInspectorLookupEdit)

TvmInplaceLookupEdit::TvmInplaceLookupEdit(TComponent* AOwner)
    : TvmInplaceDropDownEdit(AOwner), FOwnSource(std::make_unique<TDataSource>(nullptr)) {
  FList = new TPopupDBLookupListBox(this);
  FList->SetVisible(false);
  FList->SetOwnerEdit(this);
  FList->OnListMouseUp = [this](TControl* L, int X, int Y) { ListMouseUp(L, X, Y); };
  FList->FreeNotification(this);
  FCurrentPopup = FList;
  FSearchInList = true;
  FListLink = std::make_unique<TvmListSourceLink>(this);
  DoSetReadOnly(FReadOnly);
}

TvmInplaceLookupEdit::~TvmInplaceLookupEdit() {
  FListLink->Detach();
  FListLink->SetDataSource(nullptr);
  FListLink.reset();
  FOwnSource.reset();
}

void TvmInplaceLookupEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TvmInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FField) FField = nullptr;
  if (AComponent == FList) {
    if (FCurrentPopup == FList) FCurrentPopup = nullptr;
    FPopupShown = false;
    FList = nullptr;
  }
}

void TvmInplaceLookupEdit::SetField(TField* Value) {
  if (FField == Value) return;
  if (FField) FField->RemoveFreeNotification(this);
  FField = Value;
  if (FField) FField->FreeNotification(this);
  FCacheValid = false;
}

void TvmInplaceLookupEdit::SetKeyFieldSpec(const std::string& Value) {
  FKeyFieldSpec = Value;
  FCacheValid = false;
}

TDataSource* TvmInplaceLookupEdit::ListSource() const { return FLookupFieldMode ? nullptr : FListLink->DataSource(); }

void TvmInplaceLookupEdit::SetListSource(TDataSource* Value) {
  FListLink->SetDataSource(Value);
  ListLinkChanged();
}

void TvmInplaceLookupEdit::SetLookupFieldMode(bool Value) {
  if (FLookupFieldMode == Value) return;
  FLookupFieldMode = Value;
  if (Value) {
    FListLink->SetDataSource(nullptr);
    FKeyFieldSpec.clear();
    FOwnSource->SetDataSet(nullptr);
  }
  FCacheValid = false;
}

TField* TvmInplaceLookupEdit::DataKeyField() const {
  if (!FField) return nullptr;
  if (!FLookupFieldMode) return FField;
  TDataSet* ds = FField->DataSet();
  const std::string& names = FField->KeyFields();
  if (!ds || names.empty() || names.find(';') != std::string::npos) return nullptr;
  return ds->FindField(names);
}

TField* TvmInplaceLookupEdit::ListFieldObject() const {
  TDataSource* src = ListSource();
  TDataSet* ds = src ? src->DataSet() : nullptr;
  if (!ds) return nullptr;
  return ds->FindField(FirstName(FListFieldName.empty() ? FKeyFieldSpec : FListFieldName));
}

void TvmInplaceLookupEdit::ResetSearch() {
  FSearchRunning = false;
  FTypedPrefix.clear();
}

bool TvmInplaceLookupEdit::CanDropDown() const {
  if (GetReadOnly() || !FField) return false;
  return !(FLookupFieldMode && !FField->Lookup());
}

bool TvmInplaceLookupEdit::IsBindingReadOnly() const {
  TField* k = DataKeyField();
  return !(k && k->CanModify());
}

void TvmInplaceLookupEdit::DoSetReadOnly(bool Value) {
  TvmInplaceDropDownEdit::DoSetReadOnly(Value);
  // The text is never typed into: characters run the search instead.
  TvmInplaceDropDownEdit::DoSetReadOnly(true);
  FReadOnly = Value;
}

void TvmInplaceLookupEdit::SetEditValue(const Variant& Value) {
  if (FSearchLock) return;
  TvmInplaceDropDownEdit::SetEditValue(Value);
  if (!FLookupFieldMode) StoreKeyValue(Value);
  ResetSearch();
}

void TvmInplaceLookupEdit::ReadBindingProperties() {
  TvmInplaceDropDownEdit::ReadBindingProperties();
  if (!EditClass()->IsInplace()) SetLookupFieldMode(FField && FField->Lookup());
}

void TvmInplaceLookupEdit::SetActive(bool Value) {
  TvmInplaceDropDownEdit::SetActive(Value);
  ResetSearch();
}

bool TvmInplaceLookupEdit::SetLookupValue(const Variant& Value) {
  TField* key = DataKeyField();
  if (!FField || !key || !key->CanModify() || !CanModify()) return false;
  TDataSet* ds = key->DataSet();
  if (ds && ds->State() == dsBrowse) ds->Edit();
  if (Value.IsNull())
    key->Clear();
  else
    key->SetValue(Value);
  StoreKeyValue(Value);
  SetModifiedFlag(true);
  DoChange();
  return true;
}

void TvmInplaceLookupEdit::StoreKeyValue(const Variant& Value) {
  FAssigning = true;
  TScopeExit done([this] { FAssigning = false; });
  FCacheValid = false;
  FKeyValue = Value;
  SetWindowText(GetLookupDisplayText(false));
}

void TvmInplaceLookupEdit::ClearValue() {
  if (!FField) return;
  SetLookupValue(Variant());
  FAssigning = true;
  SetWindowText(GetLookupDisplayText(false));
  FAssigning = false;
  ResetSearch();
  SelectAll();
}

void TvmInplaceLookupEdit::ListLinkChanged() {
  if (FLookupFieldMode) return;
  FCacheValid = false;
  FAssigning = true;
  SetWindowText(GetListDisplayText(FKeyValue));
  FAssigning = false;
  ResetSearch();
}

std::string TvmInplaceLookupEdit::GetLookupDisplayText(bool FromList) {
  if (!FLookupFieldMode) return GetListDisplayText(FKeyValue);
  if (!FField) return std::string();
  if (FromList) {
    TDataSet* lds = FField->LookupDataSet();
    if (TField* r = lds && lds->Active() ? lds->FindField(FField->LookupResultField()) : nullptr)
      return r->DisplayText();
  }
  return FField->DisplayText();
}

std::string TvmInplaceLookupEdit::GetListDisplayText(const Variant& Key) {
  TDataSource* src = ListSource();
  TDataSet* ds = src ? src->DataSet() : nullptr;
  if (!ds || !ds->Active() || FKeyFieldSpec.empty()) {
    FCacheValid = false;
    FCacheText.clear();
    return FCacheText;
  }
  if (FCacheValid) return FCacheText;
  TField* shown = ds->FindField(FirstName(FListFieldName.empty() ? FKeyFieldSpec : FListFieldName));
  TField* key = ds->FindField(FKeyFieldSpec);
  bool same = key && SafeEquals(key->Value(), Key);
  if (!same && !(key && !Key.IsNull() && ds->Locate(FKeyFieldSpec, Key, TLocateOptions()))) {
    FCacheValid = true;
    FCacheText.clear();
    return FCacheText;
  }
  FCacheValid = true;
  FCacheText = shown ? shown->DisplayText() : std::string();
  return FCacheText;
}

void TvmInplaceLookupEdit::PrepareList() {
  TWinControl* top = TopWindow(this);
  if (top && FList->Parent() != top) FList->SetParent(top);
  FList->SetOwnerEdit(this);
  FList->SetPopupBorder(GetPopupBorder());
  FList->SetColor(Color());
  FList->SetFont(Font());
  FList->Canvas()->Font()->Assign(Font());
  FList->SetShadow(FStyle->Shadow());
  int width = FDropDownWidth != 0 ? FDropDownWidth : Width();
  FList->RowCount = FDropDownRows;
  FList->SetListSource(nullptr);
  {
    TScopeFail detachList([&] { FList->SetListSource(nullptr); });
    if (FLookupFieldMode) {
      FOwnSource->SetDataSet(FField->LookupDataSet());
      FList->KeyField = FField->LookupKeyFields();
      FList->ListField = FListFieldName.empty() ? FField->LookupResultField() : FListFieldName;
      FList->SetKeyValue(FField->DataSet()->FieldByName(FField->KeyFields())->Value());
      FList->SetListSource(FOwnSource.get());
    } else {
      FList->KeyField = FKeyFieldSpec;
      FList->SetKeyValue(FKeyValue);
      FList->ListField = FListFieldName.empty() ? FKeyFieldSpec : FListFieldName;
      FList->SetListSource(ListSource());
    }
  }
  const int count = FList->RecordCount();
  if (count > 0 && count < FList->RowCount) FList->RowCount = count;
  const int frame = 2 * PopupBorderWidth(FList->PopupBorder()) + (FList->Shadow() ? FList->ShadowSize() : 0);
  FList->SetBounds(FList->Left(), FList->Top(), width, FList->ItemHeight() * FList->RowCount + frame);
}

void TvmInplaceLookupEdit::DropDown() {
  if (!CanDropDown() || !FList) return;
  if (!IsFocused() && CanFocus()) SetFocus();
  DoEditButtonClick();
  PrepareList();
  PositionPopup(FList, false);
  FList->Show();
  FList->BringToFront();
  FCurrentPopup = FList;
  FPopupShown = true;
  WatchPopup();
  Invalidate();
}

void TvmInplaceLookupEdit::CloseUp(bool Accept) {
  if (!FPopupShown || !FList) return;
  ResetSearch();
  if (Mouse && Mouse->Capture()) Mouse->Capture()->SetMouseCapture(false);
  FocusSelf();
  FList->Hide();
  FPopupShown = false;
  FWatch.reset();
  Variant key = FList->KeyValue();
  FList->SetListSource(nullptr);
  FOwnSource->SetDataSet(nullptr);
  Invalidate();
  if (LookupCloseUpHook) LookupCloseUpHook(this, key, Accept);
  if (!Accept) return;
  SetLookupValue(key);
  if (FField) {
    std::string t = GetLookupDisplayText(false);
    if (t != GetWindowText()) {
      FAssigning = true;
      SetWindowText(t);
      FAssigning = false;
    }
  }
  SelectAll();
}

void TvmInplaceLookupEdit::FindListText(const std::string&) {
  if (!FList) return;
  TField* k = DataKeyField();
  FList->SetKeyValue(k ? k->Value() : Variant());
}

void TvmInplaceLookupEdit::StepValue(int Delta, bool Cycle) {
  if (!CanDropDown()) return;
  ResetSearch();
  TDataSet* ds = nullptr;
  std::string keys;
  if (FLookupFieldMode) {
    ds = FField ? FField->LookupDataSet() : nullptr;
    keys = FField ? FField->LookupKeyFields() : std::string();
  } else if (ListSource()) {
    ds = ListSource()->DataSet();
    keys = FKeyFieldSpec;
  }
  if (!ds || !ds->Active() || keys.empty()) return;
  TField* listKey = ds->FindField(keys);
  if (!listKey) return;
  TField* dataKey = DataKeyField();
  Variant current = dataKey ? dataKey->Value() : listKey->Value();
  bool found = false;
  try {
    found = !current.IsNull() && ds->Locate(keys, current, TLocateOptions());
  } catch (const EDatabaseError&) {
    found = false;
  }
  if (found) {
    ds->MoveBy(Delta);
    if (ds->Eof() && Cycle) ds->First();
  } else {
    ds->First();
  }
  Variant next = listKey->Value();
  if (!SafeEquals(next, current)) SetLookupValue(next);
  SelectAll();
}

bool TvmInplaceLookupEdit::WholeTextSelected() const {
  return GetSelStart() == 0 && GetSelLength() == static_cast<int>(GetWindowText().size());
}

void TvmInplaceLookupEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) ResetSearch();
  if (Key == VK_DELETE && WholeTextSelected() && FCanDeleteText) {
    ClearValue();
    Key = 0;
    return;
  }
  if (!EditClass()->IsInplace() || !GetContainer()) {
    int delta = 0;
    if (Key == VK_PRIOR) delta = 1 - FDropDownRows;
    if (Key == VK_NEXT) delta = FDropDownRows - 1;
    if (Key == VK_UP) delta = -1;
    if (Key == VK_DOWN) delta = 1;
    if (delta != 0 && !FPopupShown && !Shift.Contains(ssAlt)) {
      StepValue(delta, false);
      Key = 0;
      return;
    }
  }
  TShortCut sc = ShortCut(Key, Shift);
  if (sc != 0 && sc == FClearKey) {
    ClearValue();
    Key = 0;
    return;
  }
  TvmInplaceDropDownEdit::KeyDown(Key, Shift);
}

bool TvmInplaceLookupEdit::SearchContext(TDataSet*& DataSet, std::string& FieldName, TField*& Field,
                                         std::string& KeyFields) const {
  DataSet = nullptr;
  Field = nullptr;
  if (FLookupFieldMode) {
    if (!FField) return false;
    DataSet = FField->LookupDataSet();
    FieldName = FField->LookupResultField();
    KeyFields = FField->LookupKeyFields();
    Field = DataSet ? DataSet->FindField(FieldName) : nullptr;
  } else {
    TDataSource* src = ListSource();
    DataSet = src ? src->DataSet() : nullptr;
    Field = ListFieldObject();
    FieldName = Field ? Field->FieldName() : std::string();
    KeyFields = FKeyFieldSpec;
  }
  return DataSet && Field;
}

void TvmInplaceLookupEdit::KeyPress(char& Key) {
  if (GetReadOnly()) {
    Key = 0;
    return;
  }
  if (!FField) {
    Key = 0;
    return;
  }
  const char ch = Key;
  Key = 0;
  TDataSet* ds;
  std::string fieldName, keyFields;
  TField* field;
  const bool context = SearchContext(ds, fieldName, field, keyFields);
  if (ch == 8) {
    if (WholeTextSelected() && FCanDeleteText) {
      ClearValue();
      return;
    }
    if (!FSearchRunning && GetSelStart() != 0) {
      FSearchRunning = true;
      FTypedPrefix = GetWindowText();
    }
    if (!FSearchRunning) return;
    if (!FTypedPrefix.empty()) FTypedPrefix.pop_back();
    if (!FTypedPrefix.empty() || !FCanDeleteText) {
      SetSelection(static_cast<int>(FTypedPrefix.size()), static_cast<int>(GetWindowText().size()));
      if (context) SearchStep();
    } else {
      ClearValue();
    }
    return;
  }
  if (static_cast<unsigned char>(ch) <= 31 || !context) return;
  if (!FSearchRunning) {
    FSearchRunning = true;
    FTypedPrefix.clear();
  }
  FTypedPrefix += ch;
  SearchStep();
  if (ImmediateDropDown() && !FPopupShown) {
    DropDown();
    FindListText(GetWindowText());
  }
}

void TvmInplaceLookupEdit::SearchStep() {
  TDataSet* ds;
  std::string fieldName, keyFields;
  TField* field;
  if (!SearchContext(ds, fieldName, field, keyFields)) return;
  FAssigning = true;
  SetWindowText(FTypedPrefix);
  FAssigning = false;
  bool found = false;
  try {
    // The first matching record in the dataset's order, wherever its cursor stood.
    ds->First();
    found = ds->Locate(fieldName, Variant(FTypedPrefix), TLocateOptions({loCaseInsensitive, loPartialKey}));
  } catch (const Exception&) {
    found = false;
  }
  if (found) {
    FSearchLock = true;
    bool accepted = false;
    {
      TScopeExit unlock([this] { FSearchLock = false; });
      accepted = SetLookupValue(ds->FieldByName(keyFields)->Value());
    }
    std::string text = GetLookupDisplayText(accepted);
    FAssigning = true;
    SetWindowText(text);
    FAssigning = false;
    SetSelection(static_cast<int>(std::min(FTypedPrefix.size(), text.size())), static_cast<int>(text.size()));
    return;
  }
  if (FSearchRunning && FTypedPrefix.size() >= 2) {
    // The last character matched nothing: it is dropped and the prefix before it searched again.
    char again = FTypedPrefix[FTypedPrefix.size() - 2];
    FTypedPrefix.resize(FTypedPrefix.size() - 2);
    FAssigning = true;
    SetWindowText(GetLookupDisplayText(false));
    FAssigning = false;
    KeyPress(again);
    return;
  }
  ResetSearch();
  FAssigning = true;
  SetWindowText(GetLookupDisplayText(false));
  FAssigning = false;
}
