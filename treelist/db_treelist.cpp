// The data-aware tree list and its columns.
#include "treelist/db_treelist.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>

#include "controls/mem_data.h"
#include "platform/datetime.h"
#include "platform/flatscroll.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/sysutils.h"

const char* const SvmDBConfirm = "Confirm";
const char* const SvmDBDeleteRecord = "Delete record?";
const char* const SvmDBDeleteSelected = "Delete all selected records?";
const char* const SvmDBDefaultFieldsSet = "DefaultFields property should be set to False";

namespace {

// Whether a bookmark's record is still in the dataset (a deleted record's bookmark can stay
// valid); datasets that cannot tell answer by their bookmark check.
bool RecordExists(TDataSet* DataSet, const TBookmark& Bookmark) {
  if (auto* m = dynamic_cast<TVxMemoryData*>(DataSet)) return m->BookmarkExists(Bookmark);
  return DataSet->BookmarkValid(Bookmark);
}

bool IsEditingState(TDataSetState S) { return S == dsEdit || S == dsInsert || S == dsSetKey; }

TvmDBTreeListNode* DBNode(TvmTreeListNode* N) { return static_cast<TvmDBTreeListNode*>(N); }

bool IsDateType(TFieldType T) { return T == ftDate || T == ftTime || T == ftDateTime; }

bool StoresValueOfType(TFieldType T) {
  return (T >= ftSmallint && T <= ftDateTime) || T == ftAutoInc || T == ftTimeStamp || T == ftFMTBcd;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Summary texts.

std::string FormatSummaryText(TvmSummaryType SummaryType, const std::string& Fmt, TFieldType DataType, int Form,
                              long double Value) {
  struct TDefaults {
    const char* Number[2];
    const char* DatePrefix[2];
  };
  static const TDefaults defaults[] = {
      {{"", ""}, {"", ""}},
      {{"(SUM=0.00);(SUM=-0.00)", "0.00;-0.00"}, {"(SUM=", ""}},
      {{"(MIN=0.00);(MIN=-0.00)", "MIN=0.00;MIN=-0.00"}, {"(MIN=", "MIN="}},
      {{"(MAX=0.00);(MAX=-0.00)", "MAX=0.00;MAX=-0.00"}, {"(MAX=", "MAX="}},
      {{"(COUNT=0)", "0"}, {"(COUNT=0)", "0"}},
      {{"(AVG=0.00);(AVG=-0.00)", "AVG=0.00;AVG=-0.00"}, {"(AVG=", "AVG="}},
  };
  if (SummaryType == cstNone) return std::string();
  const int form = Form == 0 ? 0 : 1;
  const TDefaults& d = defaults[SummaryType];
  if (SummaryType == cstCount || !IsDateType(DataType)) return FormatFloat(Fmt.empty() ? d.Number[form] : Fmt, Value);
  std::string prefix = Fmt.empty() ? d.DatePrefix[form] : Fmt;
  std::string suffix = Fmt.empty() && form == 0 ? ")" : "";
  double v = static_cast<double>(Value);
  std::string text = DataType == ftDate ? DateToStr(v) : DataType == ftTime ? TimeToStr(v) : DateTimeToStr(v);
  return prefix + text + suffix;
}

// ---------------------------------------------------------------------------------------------
// Columns.

VM_DEFINE_CLASS(TCustomvmFilterEdit)
VM_DEFINE_CLASS(TvmInplaceDBTreeListMaskEdit)

VM_PUBLISH(TvmDBTreeListColumn) {
  P.Bool("DisableGrouping", &TvmDBTreeListColumn::DisableGrouping, &TvmDBTreeListColumn::SetDisableGrouping)
      .Default(false);
  P.String("FieldName", &TvmDBTreeListColumn::FieldName, &TvmDBTreeListColumn::SetFieldName);
}

TvmDBTreeListColumn::TvmDBTreeListColumn(TComponent* AOwner) : TvmTreeListColumn(AOwner) {}

TvmDBTreeListColumn::~TvmDBTreeListColumn() {
  auto* c = dynamic_cast<TCustomvmDBTreeListControl*>(TreeList());
  if (c && !c->IsDestroying()) {
    if (FGroupIndex != -1) c->SetColumnGroupIndex(this, -1);
    c->ColumnRenamed(Name(), std::string());
  }
}

TCustomvmDBTreeListControl* TvmDBTreeListColumn::DBControl() const {
  if (!TreeList()) return nullptr;
  auto* c = dynamic_cast<TCustomvmDBTreeListControl*>(TreeList());
  if (!c) throw EInvalidCast("Invalid class typecast");
  return c;
}

void TvmDBTreeListColumn::SetDisableGrouping(bool Value) {
  if (FDisableGrouping == Value) return;
  FDisableGrouping = Value;
  if (Value && FGroupIndex != -1)
    SetGroupIndex(-1);
  else if (auto* tl = dynamic_cast<TCustomvmTreeListControl*>(TreeList()))
    tl->ColumnsChanged(nullptr);
}

void TvmDBTreeListColumn::SetGroupIndex(int Value) {
  if (Value < -1) return;
  if (ComponentState().Contains(csLoading) || !DBControl()) {
    FGroupIndex = Value;
    return;
  }
  DBControl()->SetColumnGroupIndex(this, Value);
}

void TvmDBTreeListColumn::SetSummaryFooterType(TvmSummaryType Value) {
  if (FSummaryFooterType == Value) return;
  FSummaryFooterType = Value;
  SummaryValid = false;
  if (TreeList()) DBControl()->ColumnsChanged(this);
}

void TvmDBTreeListColumn::SetFieldName(const std::string& Name) {
  TCustomvmDBTreeListControl* c = DBControl();
  TDataSet* ds = c ? c->DataSet() : nullptr;
  const bool loading = c && c->ComponentState().Contains(csLoading);
  if (FGroupIndex != -1 && c && c->GetDataLink()->Active() && ds && !loading && !ds->FindField(Name))
    c->SetColumnGroupIndex(this, -1);
  TField* f = nullptr;
  if (ds && !loading && !Name.empty() && (ds->Active() || !ds->DefaultFields())) f = ds->FindField(Name);
  const bool renamed = Name != FFieldName;
  FFieldName = Name;
  FField = f;
  if (c && c->LockUpdate() == 0) c->ColumnsChanged(this);
  if (c && !loading && renamed) c->ColumnFieldNameChanged(this);
}

void TvmDBTreeListColumn::ResolveField() {
  TCustomvmDBTreeListControl* c = DBControl();
  TDataSet* ds = c ? c->DataSet() : nullptr;
  FField = ds && !FFieldName.empty() && ds->Active() ? ds->FindField(FFieldName) : nullptr;
}

void TvmDBTreeListColumn::SetName(const std::string& NewName) {
  const std::string old = Name();
  TvmTreeListColumn::SetName(NewName);
  if (ComponentState().Contains(csLoading) || FQuietRename || old == Name()) return;
  if (TCustomvmDBTreeListControl* c = DBControl()) c->ColumnRenamed(old, Name());
}

int TvmDBTreeListColumn::GetBestFitWidth(TCanvas* Canvas, TvmTreeListNode* Node) {
  return Canvas->TextWidth(TreeList() ? TreeList()->GetNodeString(Node, GetDataIndex()) : std::string());
}

void TvmDBTreeListColumn::DoCustomDrawCell(TvmTreeListDrawInfo& Info) {
  if (OnCustomDraw)
    OnCustomDraw(this, Info.Canvas, Info.Rect, Info.Node, this, Info.Text, Info.Font, Info.Color, Info.Selected,
                 Info.Focused, Info.Done);
  if (!Info.Done) TvmTreeListColumn::DoCustomDrawCell(Info);
}

void TvmDBTreeListColumn::GetDisplayText(TvmTreeListNode* /*Node*/, std::string& Text) {
  Text = FField && FField->DataSet() && FField->DataSet()->Active() ? FField->DisplayText() : std::string();
}

void TvmDBTreeListColumn::LoadNodeValue(TvmTreeListNode* Node) {
  TCustomvmDBTreeListControl* c = DBControl();
  if (!c) return;
  std::string text, cell;
  GetDisplayText(Node, text);
  VariantToText(Variant(text), cell);
  const int di = GetDataIndex();
  c->SetNodeString(Node, di, cell);
  TNodeVariantData d;
  if (FField) {
    const TFieldType t = FField->DataType();
    Variant value = FField->Value();
    const bool isNull = value.IsNull();
    const bool isString = t == ftString || t == ftWideString || t == ftFixedChar;
    if (StoresValueOfType(t) || isNull || (isString && (FField->OnGetText || !FField->EditMask().empty())) ||
        StoresNodeValue()) {
      d.Value = std::move(value);
      d.ValueAssigned = true;
    }
    if (FField->Lookup() && FField->DataSet()) {
      if (TField* k = FField->DataSet()->FindField(FField->KeyFields())) {
        d.LookupResult = k->Value();
        d.LookupAssigned = true;
      }
    }
  }
  auto* n = DBNode(Node);
  if (static_cast<int>(n->Values.size()) <= di) n->Values.resize(static_cast<size_t>(di) + 1);
  n->Values[static_cast<size_t>(di)] = std::move(d);
}

TCustomvmFilterEdit* TvmDBTreeListColumn::CreateFilterEdit(TComponent* Owner) {
  auto* e = dynamic_cast<TCustomvmFilterEdit*>(GetFilterEditClass()->Create(Owner));
  if (!e) e = new TCustomvmFilterEdit(Owner);
  InitFilterEdit(e);
  return e;
}

void TvmDBTreeListColumn::GetFilterEditValue(TvmInplaceMaskEdit* Control, Variant& Value, std::string& Text) {
  Text = Control ? Control->GetWindowText() : std::string();
  Value = Variant(Text);
}

void TvmDBTreeListColumn::SetFilterEditValue(TvmInplaceMaskEdit* Edit, const Variant& Value) {
  if (!Edit) return;
  Edit->SetText(Value.IsNull() ? std::string() : Value.AsString());
}

void TvmDBTreeListColumn::InitFilterEdit(TvmInplaceMaskEdit* Edit) {
  InitEditor(Edit);
  Edit->SetReadOnly(false);
}

void TvmDBTreeListColumn::GetNodeCellValue(TvmTreeListNode* Node, Variant& Value) {
  Value = TreeList() ? TreeList()->GetNodeValue(Node, GetDataIndex()) : Variant();
}

void TvmDBTreeListColumn::GetNodeCellValueText(TvmTreeListNode* Node, Variant& Value, std::string& Text) {
  GetNodeCellValue(Node, Value);
  ConvertCellText(TreeList() ? TreeList()->GetNodeString(Node, GetDataIndex()) : std::string(), Text);
}

void TvmDBTreeListColumn::GetSummaryFooterText(std::string& Text) {
  if (FSummaryFooterType == cstNone) {
    Text.clear();
    return;
  }
  TFieldType t = ftFloat;
  if (FSummaryFooterType != cstCount && SummarySourceField && IsDateType(SummarySourceField->DataType()))
    t = SummarySourceField->DataType();
  Text = FormatSummaryText(FSummaryFooterType, SummaryFooterFormat, t, 1, SummaryValue);
}

int TvmDBTreeListColumn::GetValueVarType() const {
  constexpr int varSmallint = 2, varInteger = 3, varDouble = 5, varCurrency = 6, varDate = 7, varUnknown = 13,
                varString = 256;
  if (!FField) return varUnknown;
  switch (FField->DataType()) {
    case ftSmallint:
      return varSmallint;
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return varInteger;
    case ftFloat:
    case ftFMTBcd:
      return varDouble;
    case ftCurrency:
    case ftBCD:
      return varCurrency;
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp:
      return varDate;
    default:
      return varString;
  }
}

bool TvmDBTreeListColumn::IsFieldValueEqual(const Variant& Value) {
  if (!FField) return false;
  if (!Value.IsString() || EditsFieldValue()) return FField->Value() == Value;
  return FField->Text() == Value.AsString();
}

bool TvmDBTreeListColumn::CanEditAcceptKey(char Key) {
  TCustomvmDBTreeListControl* c = DBControl();
  return c && c->GetDataLink()->Active() && FField && FField->IsValidChar(Key);
}

void TvmDBTreeListColumn::ApplyEditValue(TvmTreeListNode* Node, TvmInplaceEdit* Edit, Variant& Value) {
  if (!FField) {
    Value = Variant(std::string());
    return;
  }
  FField->SetText(Edit->GetWindowText());
  GetNodeCellValue(Node, Value);
}

void TvmDBTreeListColumn::LoadEditValue(TvmTreeListNode* /*Node*/, TvmInplaceEdit* Control, Variant& Value) {
  if (!FField) {
    Value = Variant(std::string());
    return;
  }
  Control->SetWindowText(FField->Text());
  Value = Variant(Control->GetWindowText());
}

int TvmDBTreeListColumn::GetDefaultWidth() const {
  TCustomvmTreeListControl* c = TreeList();
  if (!c) return 64;
  TCanvas* cv = c->Canvas();
  int w = 0;
  std::string cap = GetDefaultCaption();
  if (!cap.empty()) {
    cv->Font()->Assign(c->HeaderPanelFont());
    w = cv->TextWidth(cap) + 6;
  }
  if (FField) {
    cv->Font()->Assign(c->Font());
    const int digit = cv->TextWidth("0");
    w = std::max(w, digit * FField->DisplayWidth() + 4);
  }
  return w > 0 ? w : 64;
}

std::string TvmDBTreeListColumn::GetDefaultCaption() const { return FField ? FField->DisplayName() : FFieldName; }

TAlignment TvmDBTreeListColumn::GetDefaultAlignment() const { return FField ? FField->Alignment() : taLeftJustify; }

int TvmDBTreeListColumn::GetDefaultMaxLength() const {
  return FField && (FField->DataType() == ftString || FField->DataType() == ftWideString) ? FField->Size() : 0;
}

bool TvmDBTreeListColumn::GetDefaultReadOnly() const { return FField && FField->ReadOnly(); }

void TvmDBTreeListColumn::SetIndex(int NewIndex) {
  const int from = Index();
  TvmTreeListColumn::SetIndex(NewIndex);
  const int to = Index();
  TCustomvmTreeListControl* c = TreeList();
  if (!c || from < 0 || from == to) return;
  // The value records travel with the cell texts.
  for (TvmTreeListNode* n = c->GetFirstNode(); n; n = n->GetNext()) {
    auto& v = DBNode(n)->Values;
    if (static_cast<int>(v.size()) <= std::max(from, to)) v.resize(static_cast<size_t>(std::max(from, to)) + 1);
    auto moving = std::move(v[static_cast<size_t>(from)]);
    v.erase(v.begin() + from);
    v.insert(v.begin() + to, std::move(moving));
  }
}

void TvmDBTreeListColumn::RestoreDefaults() {
  TvmTreeListColumn::RestoreDefaults();
  FDisableGrouping = false;
}

void TvmDBTreeListColumn::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TvmDBTreeListColumn*>(Source);
  if (!s) {
    TvmTreeListColumn::Assign(Source);
    return;
  }
  TCustomvmTreeListControl* c = TreeList();
  if (c) c->BeginUpdate();
  TScopeExit end([c] {
    if (c) c->EndUpdate();
  });
  TvmTreeListColumn::Assign(Source);
  SetDisableGrouping(s->FDisableGrouping);
  SetFieldName(s->FFieldName);
}

VM_PUBLISH(TvmDBTreeListMaskColumn) {
  P.String("EditMask", &TvmDBTreeListMaskColumn::EditMask, &TvmDBTreeListMaskColumn::SetEditMask)
      .Stored(&TvmDBTreeListMaskColumn::EditMaskStored);
}

std::string TvmDBTreeListMaskColumn::EditMask() const {
  if (FEditMaskAssigned) return FEditMask;
  return FField ? FField->EditMask() : std::string();
}

void TvmDBTreeListMaskColumn::SetEditMask(const std::string& Value) {
  if (Value == EditMask()) return;
  FEditMask = Value;
  FEditMaskAssigned = true;
}

bool TvmDBTreeListMaskColumn::EditMaskStored() const {
  return FEditMaskAssigned && FEditMask != (FField ? FField->EditMask() : std::string());
}

void TvmDBTreeListMaskColumn::InitEditor(TvmInplaceEdit* Editor) {
  TvmDBTreeListColumn::InitEditor(Editor);
  if (auto* m = dynamic_cast<TvmInplaceMaskEdit*>(Editor)) {
    m->SetEditMask(EditMask());
    m->SetIgnoreMaskBlank(IgnoreMaskBlank);
  }
}

void TvmDBTreeListMaskColumn::ApplyEditValue(TvmTreeListNode* Node, TvmInplaceEdit* Edit, Variant& Value) {
  auto* m = dynamic_cast<TvmInplaceMaskEdit*>(Edit);
  if (!FField || !m) {
    TvmDBTreeListColumn::ApplyEditValue(Node, Edit, Value);
    return;
  }
  FField->SetText(m->GetText());
  Value = FField->Value();
}

void TvmDBTreeListMaskColumn::LoadEditValue(TvmTreeListNode* Node, TvmInplaceEdit* Control, Variant& Value) {
  auto* m = dynamic_cast<TvmInplaceMaskEdit*>(Control);
  if (!FField || !m) {
    TvmDBTreeListColumn::LoadEditValue(Node, Control, Value);
    return;
  }
  m->SetText(FField->Text());
  Value = Variant(m->GetText());
}

bool TvmDBTreeListMaskColumn::IsFieldValueEqual(const Variant& Value) {
  if (!FField) return false;
  if (!Value.IsString() || EditsFieldValue()) return FField->Value() == Value;
  std::string s = Value.AsString();
  std::string emptyMasked;
  if (!EditMask().empty()) {
    TvmInplaceMaskEdit probe(nullptr);
    probe.SetEditMask(EditMask());
    probe.SetText(std::string());
    emptyMasked = probe.GetWindowText();
  }
  if (s == emptyMasked && FField->Text().empty()) return true;
  return FField->Text() == TrimRight(s);
}

void TvmDBTreeListMaskColumn::RestoreDefaults() {
  TvmDBTreeListColumn::RestoreDefaults();
  FEditMaskAssigned = false;
  FEditMask = FField ? FField->EditMask() : std::string();
  IgnoreMaskBlank = false;
}

void TvmDBTreeListMaskColumn::Assign(TPersistent* Source) {
  TvmDBTreeListColumn::Assign(Source);
  if (auto* m = dynamic_cast<TvmDBTreeListMaskColumn*>(Source)) {
    FEditMask = m->FEditMask;
    FEditMaskAssigned = m->FEditMaskAssigned;
    IgnoreMaskBlank = m->IgnoreMaskBlank;
  }
}

// ---------------------------------------------------------------------------------------------
// The data link.

TField* TvmDBTreeListDataLink::MapField(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FieldMap.size()) || FieldMap[static_cast<size_t>(Index)] < 0)
    return nullptr;
  TDataSet* ds = DataSet();
  int f = FieldMap[static_cast<size_t>(Index)];
  return ds && f < ds->FieldCount() ? ds->Fields()[f] : nullptr;
}

namespace {
TvmDBTreeList* Concrete(TCustomvmDBTreeListControl* C) { return dynamic_cast<TvmDBTreeList*>(C); }
}  // namespace

void TvmDBTreeListDataLink::ActiveChanged() {
  if (auto* c = Concrete(FOwner)) c->LinkActiveChanged();
}
void TvmDBTreeListDataLink::DataSetChanged() {
  if (auto* c = Concrete(FOwner)) c->LinkDataSetChanged();
}
void TvmDBTreeListDataLink::DataSetScrolled(int) {
  if (auto* c = Concrete(FOwner)) c->LinkScrolled();
}
void TvmDBTreeListDataLink::LayoutChanged() {
  FOwner->RefreshContent();
  DataSetChanged();
}
void TvmDBTreeListDataLink::RecordChanged(TField* Field) {
  if (auto* c = Concrete(FOwner)) c->LinkRecordChanged(Field);
}
void TvmDBTreeListDataLink::EditingChanged() {
  if (!Editing()) RecordModified = false;
  if (auto* c = Concrete(FOwner)) c->LinkEditingChanged();
}
void TvmDBTreeListDataLink::UpdateData() {
  // A modified editor hands its text to the field before the record is posted.
  if (FOwner->State() == tlsEditing && RecordModified) FOwner->PostEditorValue();
}

// ---------------------------------------------------------------------------------------------
// The abstract control.

VM_DEFINE_CLASS(TCustomvmDBTreeListControl)

TCustomvmDBTreeListControl::TCustomvmDBTreeListControl(TComponent* AOwner) : TCustomvmTreeListControl(AOwner) {}

TCustomvmDBTreeListControl::~TCustomvmDBTreeListControl() {
  FDestroying = true;
  DeleteAllNodes();
}

TDataSet* TCustomvmDBTreeListControl::DataSet() const {
  TvmDBTreeListDataLink* l = GetDataLink();
  return l ? l->DataSet() : nullptr;
}

TvmDBTreeListColumn* TCustomvmDBTreeListControl::DBColumn(int Index) const {
  return Index >= 0 && Index < ColumnCount() ? dynamic_cast<TvmDBTreeListColumn*>(Columns(Index)) : nullptr;
}

TvmTreeListNode* TCustomvmDBTreeListControl::CreateNode() { return new TvmDBTreeListNode(this); }

void TCustomvmDBTreeListControl::SetPreviewDataFieldName(const std::string& Value) {
  FPreviewDataFieldName = Value;
  ResolvePreviewField();
}

void TCustomvmDBTreeListControl::ResolvePreviewField() {
  FPreviewDataField = nullptr;
  TDataSet* ds = DataSet();
  if (FPreviewDataFieldName.empty() || !GetDataLink()->Active() || !ds) return;
  TField* f = ds->FindField(FPreviewDataFieldName);
  if (f && (!f->IsBlob() || f->DataType() == ftBlob || f->DataType() == ftMemo || f->DataType() == ftFmtMemo)) {
    FPreviewDataField = f;
    f->FreeNotification(this);
  }
}

void TCustomvmDBTreeListControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomvmTreeListControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPreviewDataField) FPreviewDataField = nullptr;
  if (AComponent == FNodeKeyField) FNodeKeyField = nullptr;
}

void TCustomvmDBTreeListControl::EditingValueCheck() {
  if (FState != tlsEditing) return;
  TvmDBTreeListColumn* c = DBColumn(GetFocusedAbsoluteColumn());
  if (c && !c->IsFieldValueEqual(EditingValue)) {
    ForgetEditingCell();
    UpdateEditor(true);
  }
}

void TCustomvmDBTreeListControl::EndEditing() {
  if (FState != tlsEditing) return;
  if (FEditor && !FDestroying) FEditor->ValidateEdit();
  FState = tlsIdle;
  HideEditor(false);
}

void TCustomvmDBTreeListControl::ResetSummaries() {
  TDataSet* ds = DataSet();
  if (!ds) return;
  for (int i = 0; i < ColumnCount(); ++i) {
    TvmDBTreeListColumn* c = DBColumn(i);
    if (!c) continue;
    c->SummarySourceField = ds->FindField(c->SummaryFooterField.empty() ? c->FieldName() : c->SummaryFooterField);
    c->SummaryValue = 0;
    c->SummaryValid = false;
  }
}

void TCustomvmDBTreeListControl::LoadNodeValue(TvmTreeListNode* Node, TvmDBTreeListColumn* Column) {
  Column->LoadNodeValue(Node);
}

void TCustomvmDBTreeListControl::LoadNodeFromRecord(TvmTreeListNode* Node) {
  auto* n = DBNode(Node);
  n->KeyValue = FNodeKeyField ? FNodeKeyField->Value() : Variant();
  for (int i = 0; i < ColumnCount(); ++i) {
    TvmDBTreeListColumn* c = DBColumn(i);
    if (c && c->Field()) LoadNodeValue(Node, c);
  }
  if (!FPreviewDataField) return;
  try {
    if (FPreviewDataField->OnGetText) {
      FPreviewDataField->OnGetText(FPreviewDataField, n->PreviewText, true);
    } else {
      n->PreviewText = FPreviewDataField->AsString();
      if (PreviewTextLimit > 0 && static_cast<int>(n->PreviewText.size()) > PreviewTextLimit)
        n->PreviewText = n->PreviewText.substr(0, static_cast<size_t>(PreviewTextLimit)) + "...";
    }
  } catch (const Exception&) {
    // A preview that cannot be read stays as it was.
  }
}

TvmDBTreeListColumn* TCustomvmDBTreeListControl::CreateColumnOfClass(const TComponentMetaClass* ColumnClass) {
  TvmDBTreeListColumn* c = nullptr;
  if (ColumnClass) c = dynamic_cast<TvmDBTreeListColumn*>(ColumnClass->Create(this));
  if (!c) c = new TvmDBTreeListColumn(this);
  c->SetParentComponent(this);
  return c;
}

void TCustomvmDBTreeListControl::BuildFieldMap() {
  TvmDBTreeListDataLink* l = GetDataLink();
  TDataSet* ds = DataSet();
  l->FieldMap.clear();
  if (!ds) return;
  auto add = [&](TField* f) {
    l->FieldMap.push_back(f ? ds->Fields().IndexOf(f) : -1);
    if (f) f->FreeNotification(this);
  };
  if (IsDefaultFields()) {
    for (int i = 0; i < ds->FieldCount(); ++i)
      if (ds->Fields()[i]->Visible()) add(ds->Fields()[i]);
  } else {
    for (int i = 0; i < ColumnCount(); ++i) {
      TvmDBTreeListColumn* c = DBColumn(i);
      add(c && !c->FieldName().empty() ? ds->FindField(c->FieldName()) : nullptr);
    }
  }
}

void TCustomvmDBTreeListControl::FocusedRecordChanged() {
  if (FSelectionLock != 0) return;
  if (!FInKeyDown && FSearching && FSearchLock == 0) EndSearch();
  if (GetDataLink()->Active() && OnFocusedRecordChanged) OnFocusedRecordChanged(this);
}

bool TCustomvmDBTreeListControl::IsDataSetEmpty() const {
  TvmDBTreeListDataLink* l = GetDataLink();
  TDataSet* ds = DataSet();
  return l->Active() && ds && ds->Active() && !IsInsertAllowed() && ds->Bof() && ds->Eof() && ds->State() == dsBrowse;
}

TvmDBTreeListColumn* TCustomvmDBTreeListControl::CreateColumn(const TComponentMetaClass* ColumnClass,
                                                              TComponent* Owner) {
  if (IsDefaultFields() && !FInternalDestroying && !FDestroying && FLockUpdate == 0)
    throw EInvalidvmTreeListOperation(SvmDBDefaultFieldsSet);
  if (!ColumnClass) ColumnClass = GetDefaultColumnClass();
  TComponent* owner = Owner ? Owner : this;
  auto* c = dynamic_cast<TvmDBTreeListColumn*>(ColumnClass->Create(owner));
  if (!c) c = new TvmDBTreeListColumn(owner);
  for (int n = ColumnCount() + 1;; ++n) {
    std::string name = Name() + "Column" + std::to_string(n);
    if (!owner->FindComponent(name)) {
      c->SetName(name);
      break;
    }
  }
  c->SetParentComponent(this);
  return c;
}

void TCustomvmDBTreeListControl::CreateColumnsFromDataSet(TDataSet* DataSet, TComponent* Owner) {
  if (!DataSet) return;
  for (int i = 0; i < DataSet->FieldCount(); ++i) {
    TField* f = DataSet->Fields()[i];
    TvmDBTreeListColumn* c = CreateColumn(GetColumnClassForField(f), Owner);
    c->SetFieldName(f->FieldName());
    c->SetVisible(f->Visible());
  }
}

void TCustomvmDBTreeListControl::DestroyColumns() {
  if (IsDefaultFields() && !FInternalDestroying && !FDestroying && FLockUpdate == 0)
    throw EInvalidvmTreeListOperation(SvmDBDefaultFieldsSet);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  while (ColumnCount() > 0) delete Columns(ColumnCount() - 1);
}

void TCustomvmDBTreeListControl::RefreshContent() {
  EndEditing();
  TvmDBTreeListDataLink* l = GetDataLink();
  TDataSet* ds = DataSet();
  l->FieldMap.clear();
  if (l->Active()) BuildFieldMap();
  ResolvePreviewField();
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  if (IsDefaultFields()) {
    if (l->Active()) {
      for (int i = ColumnCount() - 1; i >= 0; --i) {
        TvmDBTreeListColumn* c = DBColumn(i);
        TField* f = c ? c->Field() : nullptr;
        bool mapped = false;
        for (size_t k = 0; f && k < l->FieldMap.size(); ++k) mapped = mapped || l->MapField(static_cast<int>(k)) == f;
        if (!mapped) delete Columns(i);
      }
    } else {
      FInternalDestroying = true;
      TScopeExit off([this] { FInternalDestroying = false; });
      DestroyColumns();
    }
    for (size_t i = 0; l->Active() && i < l->FieldMap.size(); ++i) {
      TField* f = l->MapField(static_cast<int>(i));
      TvmDBTreeListColumn* c = nullptr;
      for (int k = static_cast<int>(i); f && k < ColumnCount() && !c; ++k)
        if (DBColumn(k) && DBColumn(k)->Field() == f) c = DBColumn(k);
      if (!c) {
        c = CreateColumnOfClass(f ? GetColumnClassForField(f) : GetDefaultColumnClass());
        if (f) c->SetFieldName(f->FieldName());
      }
      if (static_cast<int>(i) < ColumnCount() && c->Index() != static_cast<int>(i))
        c->TvmTreeListColumn::SetIndex(static_cast<int>(i));
    }
  } else {
    for (int i = 0; i < ColumnCount(); ++i)
      if (TvmDBTreeListColumn* c = DBColumn(i)) c->SetFieldName(c->FieldName());
  }
  (void)ds;
  ColumnsChanged(nullptr);
}

bool TCustomvmDBTreeListControl::CanEditModify() {
  TvmDBTreeListDataLink* l = GetDataLink();
  if (!IsEditAllowed() || IsDataReadOnly() || !l->Active()) return false;
  TvmDBTreeListColumn* c = DBColumn(GetFocusedAbsoluteColumn());
  if (!c || c->ReadOnly() || !c->Field()) return false;
  TField* f = c->Field();
  if (!f->CanModify()) {
    if (!f->Lookup() || !f->DataSet()) return false;
    std::vector<TField*> keys;
    try {
      f->DataSet()->GetFieldList(keys, f->KeyFields());
    } catch (const EDatabaseError&) {
      return false;
    }
    if (keys.empty()) return false;
    for (TField* k : keys)
      if (!k->CanModify()) return false;
  }
  if (f->IsBlob() && !f->OnSetText && !c->EditsFieldValue()) return false;
  if (IsDataSetEmpty()) return false;
  l->Edit();
  if (l->Editing()) l->RecordModified = true;
  return l->Editing();
}

bool TCustomvmDBTreeListControl::CanEditAcceptKey(char Key) {
  TvmDBTreeListColumn* c = DBColumn(GetFocusedAbsoluteColumn());
  return !c || c->CanEditAcceptKey(Key);
}

bool TCustomvmDBTreeListControl::IsReadOnly() {
  return TCustomvmTreeListControl::IsReadOnly() || IsDataSetEmpty() || IsDataReadOnly();
}

TColor TCustomvmDBTreeListControl::GetEditColor() {
  TColor c = TCustomvmTreeListControl::GetEditColor();
  if (OnGetEditColor) OnGetEditColor(this, FFocusedNode, c, DBColumn(GetFocusedAbsoluteColumn()));
  return c;
}

void TCustomvmDBTreeListControl::DoEditing(TvmTreeListNode* Node, bool& Allow) {
  TCustomvmTreeListControl::DoEditing(Node, Allow);
  Allow = Allow && IsEditAllowed();
}

void TCustomvmDBTreeListControl::NodeDeleted(TvmTreeListNode* Node, TvmTreeListNode* Prior, TvmTreeListNode* Next,
                                             bool WasLast, bool WasVisible) {
  TCustomvmTreeListControl::NodeDeleted(Node, Prior, Next, WasLast, WasVisible);
  // Outside a clearing the tree list unselects a deleted node itself.
  if (FClearing && !FSelectionList.empty()) {
    FSelectionList.clear();
    SelectionListChanged();
    FFirstSelectedNode = nullptr;
  }
  FLiveNodes.erase(std::remove(FLiveNodes.begin(), FLiveNodes.end(), Node), FLiveNodes.end());
}

void TCustomvmDBTreeListControl::ResetNodeMetrics() {
  if (FClearing || FDestroying) return;
  WalkVisible([](TvmTreeListNode* N) {
    N->CachedRowHeight = 0;
    N->CachedLineCount = 0;
    return true;
  });
}

bool TCustomvmDBTreeListControl::IsLive(TvmTreeListNode* Node) const {
  return std::find(FLiveNodes.begin(), FLiveNodes.end(), Node) != FLiveNodes.end();
}

// ---------------------------------------------------------------------------------------------
// Renaming and horizontal scrolling.

void TCustomvmDBTreeListControl::SetName(const std::string& NewName) {
  const std::string old = Name();
  TCustomvmTreeListControl::SetName(NewName);
  if (!ComponentState().Contains(csDesigning) || old.empty() || old == Name()) return;
  const std::string oldKey = AnsiUpperCase(old);
  for (int i = 0; i < ColumnCount(); ++i) {
    TvmDBTreeListColumn* c = DBColumn(i);
    if (!c || (c->Owner() != Owner() && c->Owner() != this)) continue;
    const std::string& cn = c->Name();
    if (cn.size() < old.size() || AnsiUpperCase(cn.substr(0, old.size())) != oldKey) continue;
    c->FQuietRename = true;
    TScopeExit loud([c] { c->FQuietRename = false; });
    try {
      c->SetName(Name() + cn.substr(old.size()));
    } catch (const EComponentError&) {
      // A name the owner refuses (taken already): the column keeps its name.
    }
  }
}

bool TCustomvmDBTreeListControl::EnsureFocused() {
  if (!CanFocus() || ComponentState().Contains(csDesigning)) return true;
  if (!Focused()) SetFocus();
  return Focused() || (FEditor && FEditor->Focused());
}

std::vector<int> TCustomvmDBTreeListControl::ColumnLeftEdges() {
  std::vector<int> edges;
  int total = 0, view = 0;
  GetScrollWidths(total, view);
  const int lf = GetLeftFixedBand(), rf = GetRightFixedBand();
  int x = 0;
  for (int b = 0; b < GetVisibleBandCount(); ++b) {
    const int bw = GetBandWidth(b);
    std::vector<int> cols, widths;
    CalcRowWidths(b, 0, bw, cols, widths);
    int cx = x;
    for (size_t i = 0; i < cols.size(); ++i) {
      // The fixed bands do not scroll: the left one's columns start at 0, the right one's at the end.
      edges.push_back(b == lf ? 0 : b == rf ? total : cx);
      cx += widths[i];
    }
    if (b != lf && b != rf) x += bw;
  }
  return edges;
}

bool TCustomvmDBTreeListControl::ScrollColumns(int Code, int Position) {
  if (Code != SB_LINELEFT && Code != SB_LINERIGHT && Code != SB_THUMBPOSITION && Code != SB_THUMBTRACK) return false;
  if (VisibleColumnCount() == 0 || !EnsureFocused()) return true;
  const std::vector<int> edges = ColumnLeftEdges();
  if (edges.empty()) return true;
  int total = 0, view = 0;
  GetScrollWidths(total, view);
  const int count = static_cast<int>(edges.size());
  if (Code == SB_LINELEFT || Code == SB_LINERIGHT) {
    int to = -1;
    for (int e : edges) {
      if (Code == SB_LINELEFT && e < FLeftPos) to = std::max(to, e);
      if (Code == SB_LINERIGHT && e > FLeftPos && (to < 0 || e < to)) to = e;
    }
    if (to >= 0) SetLeftPos(to);
    return true;
  }
  if (Position < 1) {
    SetLeftPos(0);
  } else if (Position >= total) {
    SetLeftPos(total);
  } else if (Position != FLeftPos) {
    // The column under the thumb, one column further towards the end the thumb is nearer.
    int under = 0;
    for (int i = 0; i < count; ++i)
      if (edges[static_cast<size_t>(i)] <= Position) under = i;
    int target = under + (view + Position < total / 2 ? -1 : 1);
    if (target >= count) {
      SetLeftPos(total);
    } else {
      target = std::max(target, 0);
      SetLeftPos(edges[static_cast<size_t>(target)]);
    }
  }
  return true;
}

bool TCustomvmDBTreeListControl::ScrollRequested(int Kind, int Code, int Position) {
  if (Kind == SB_HORZ) return ScrollColumns(Code, Position);
  return TCustomvmTreeListControl::ScrollRequested(Kind, Code, Position);
}

// ---------------------------------------------------------------------------------------------
// The selection list.

namespace {
bool Holds(const std::vector<TvmTreeListNode*>& List, TvmTreeListNode* Node) {
  return std::binary_search(List.begin(), List.end(), Node, std::less<TvmTreeListNode*>());
}
}  // namespace

void TCustomvmDBTreeListControl::SelectionListChanged() {
  FSelectionCacheText.clear();
  FSelectionCacheIndex = -1;
}

void TCustomvmDBTreeListControl::SetSelectionList(std::vector<TvmTreeListNode*> Nodes) {
  std::sort(Nodes.begin(), Nodes.end(), std::less<TvmTreeListNode*>());
  Nodes.erase(std::unique(Nodes.begin(), Nodes.end()), Nodes.end());
  FSelectionList = std::move(Nodes);
  SelectionListChanged();
}

TvmTreeListNode* TCustomvmDBTreeListControl::GetSelectedItem(int Index) {
  return Index >= 0 && Index < GetSelectedCount() ? FSelectionList[static_cast<size_t>(Index)] : nullptr;
}

bool TCustomvmDBTreeListControl::IsNodeSelected(TvmTreeListNode* Node) { return Node && Holds(FSelectionList, Node); }

void TCustomvmDBTreeListControl::SetNodeSelected(TvmTreeListNode* Node, bool Value) {
  if (!Node) return;
  auto it = std::lower_bound(FSelectionList.begin(), FSelectionList.end(), Node, std::less<TvmTreeListNode*>());
  const bool has = it != FSelectionList.end() && *it == Node;
  if (has == Value) return;
  if (Value) {
    if (!FOptions.Contains(tloMultiSelect) || !CanSelectNode(Node)) return;
    if (FSelectionList.empty()) FFirstSelectedNode = Node;
    FSelectionList.insert(it, Node);
  } else {
    FSelectionList.erase(it);
  }
  SelectionListChanged();
  InvalidateSelection();
  DoSelectionChanged();
}

void TCustomvmDBTreeListControl::ClearSelection() {
  if (FSelectionList.empty()) return;
  if (!FDestroying && !FClearing) InvalidateSelection();
  FSelectionList.clear();
  SelectionListChanged();
  TCustomvmTreeListControl::ClearSelection();
}

void TCustomvmDBTreeListControl::SelectNodes(TvmTreeListNode* FromNode, TvmTreeListNode* ToNode) {
  TDataSet* ds = DataSet();
  if ((ds && ds->Active() && IsEditingState(ds->State())) || !FOptions.Contains(tloMultiSelect)) return;
  if (!FromNode || !ToNode) return;
  BeginSelection();
  TScopeExit end([this] { EndSelection(); });
  if (IsNodeRangeSelection()) {
    TCustomvmTreeListControl::SelectNodes(FromNode, ToNode);
    return;
  }
  int a = GetRowIndex(FromNode), b = GetRowIndex(ToNode);
  if (a < 0 || b < 0) return;
  if (b < a) std::swap(a, b);
  if (IsFocusRangeSelection() && GetDataLink()->Active() && ds) {
    // Each row is focused in turn (moving the dataset to its record), then the focus returns.
    TvmTreeListNode* keep = FFocusedNode;
    ds->DisableControls();
    TScopeExit enable([&] {
      SetDataChangeLock(true);
      TScopeExit unlock([this] { SetDataChangeLock(false); });
      ds->EnableControls();
    });
    for (int r = a; r <= b; ++r) {
      TvmTreeListNode* n = GetNodeAtRow(r);
      if (!n) break;
      SetFocusedNodeColumn(n, GetFocusedColumn(), false);
      SetNodeSelected(n, true);
    }
    if (keep) SetFocusedNodeColumn(keep, GetFocusedColumn(), false);
    return;
  }
  std::vector<TvmTreeListNode*> range;
  range.reserve(static_cast<size_t>(b - a + 1));
  for (int r = a; r <= b; ++r) {
    TvmTreeListNode* n = GetNodeAtRow(r);
    if (!n) break;
    // The first row taken fixes the level the others must share (unless levels may mix).
    if (FSelectionList.empty() && range.empty()) FFirstSelectedNode = nullptr;
    if (!CanSelectNode(n)) continue;
    if (FSelectionList.empty() && range.empty()) FFirstSelectedNode = n;
    range.push_back(n);
  }
  if (range.empty()) return;
  std::sort(range.begin(), range.end(), std::less<TvmTreeListNode*>());
  std::vector<TvmTreeListNode*> merged;
  merged.reserve(range.size() + FSelectionList.size());
  std::set_union(FSelectionList.begin(), FSelectionList.end(), range.begin(), range.end(), std::back_inserter(merged),
                 std::less<TvmTreeListNode*>());
  FSelectionList = std::move(merged);
  SelectionListChanged();
  InvalidateSelection();
}

void TCustomvmDBTreeListControl::SelectAll() {
  const int rows = GetVisibleNodeCount();
  if (!FOptions.Contains(tloMultiSelect) || rows == 0) return;
  BeginSelection();
  {
    TScopeExit end([this] { EndSelection(); });
    // Without a selection the focused node decides the level.
    if (FSelectionList.empty() && FFocusedNode) SetNodeSelected(FFocusedNode, true);
    SelectNodes(GetNodeAtRow(0), GetNodeAtRow(rows - 1));
  }
  DoSelectionChanged();
}

void TCustomvmDBTreeListControl::RemoveColumnValue(TvmTreeListNode* Node, int Index) {
  auto* n = DBNode(Node);
  if (Index >= 0 && Index < static_cast<int>(n->Values.size())) n->Values.erase(n->Values.begin() + Index);
  auto& s = n->FStrings;
  if (Index >= 0 && Index < static_cast<int>(s.size())) s.erase(s.begin() + Index);
  for (int i = 0; i < Node->Count(); ++i) RemoveColumnValue(Node->Items(i), Index);
}

bool TCustomvmDBTreeListControl::FocusNodeForCollapse(TvmTreeListNode* Node) {
  FLiveNodes.push_back(Node);
  SetFocusedNode(Node);
  bool alive = IsLive(Node);
  FLiveNodes.erase(std::remove(FLiveNodes.begin(), FLiveNodes.end(), Node), FLiveNodes.end());
  return alive;
}

void TCustomvmDBTreeListControl::GetEditingCellText(int Index, std::string& S) {
  S = FFocusedNode && IsInsertingNode() ? GetNodeString(FFocusedNode, Index) : std::string();
}

std::string TCustomvmDBTreeListControl::GetCellText(TvmTreeListNode* Node, int Column) {
  TvmDBTreeListColumn* c = DBColumn(Column);
  return c ? GetNodeString(Node, c->GetDataIndex()) : TCustomvmTreeListControl::GetCellText(Node, Column);
}

std::string TCustomvmDBTreeListControl::GetEditingCellText(int Column) {
  std::string s;
  GetEditingCellText(Column, s);
  return s;
}

bool TCustomvmDBTreeListControl::HasFooterCell(int Column) {
  TvmDBTreeListColumn* c = DBColumn(Column);
  return TCustomvmTreeListControl::HasFooterCell(Column) || (c && c->SummaryFooterType() != cstNone);
}

void TCustomvmDBTreeListControl::GetFooterCellText(TvmTreeListNode* Node, int Column, std::string& Text,
                                                   int FooterIndex) {
  TvmDBTreeListColumn* c = DBColumn(Column);
  if (FooterIndex != -1 || !c || c->SummaryFooterType() == cstNone) {
    TCustomvmTreeListControl::GetFooterCellText(Node, Column, Text, FooterIndex);
    return;
  }
  if (!c->SummaryValid) ComputeSummary(c);
  if (c->SummaryValid)
    c->GetSummaryFooterText(Text);
  else
    Text.clear();
}

bool TCustomvmDBTreeListControl::IsHeaderDrawAssigned(int Column) {
  TvmDBTreeListColumn* c = DBColumn(Column);
  return TCustomvmTreeListControl::IsHeaderDrawAssigned(Column) || (c && c->OnCustomDrawHeader);
}

void TCustomvmDBTreeListControl::DoDrawColumnHeader(TvmTreeListDrawInfo& Info) {
  TvmDBTreeListColumn* c = DBColumn(Info.Column);
  TRect r = Info.Rect;
  if (c && c->OnCustomDrawHeader) c->OnCustomDrawHeader(this, Info.Canvas, r, c, Info.Done);
  if (Info.Done) return;
  Info.Rect = r;
  TCustomvmTreeListControl::DoDrawColumnHeader(Info);
}

bool TCustomvmDBTreeListControl::IsFooterDrawAssigned(TvmTreeListNode* Node, int Column, int FooterIndex) {
  TvmDBTreeListColumn* c = DBColumn(Column);
  return TCustomvmTreeListControl::IsFooterDrawAssigned(Node, Column, FooterIndex) ||
         (FooterIndex == -1 && c && c->OnDrawSummaryFooter);
}

void TCustomvmDBTreeListControl::DoDrawFooterCell(TvmTreeListDrawInfo& Info) {
  TvmDBTreeListColumn* c = DBColumn(Info.Column);
  if (Info.FooterIndex == -1 && c && c->OnDrawSummaryFooter)
    c->OnDrawSummaryFooter(c, Info.Canvas, Info.Rect, Info.Text, Info.Alignment, Info.Font, Info.Color, Info.Done);
  if (!Info.Done) TCustomvmTreeListControl::DoDrawFooterCell(Info);
}

void TCustomvmDBTreeListControl::DoNodeDragStart(TvmTreeListNode* Node) {
  TDataSet* ds = DataSet();
  if (ds && ds->Active() && IsEditingState(ds->State())) ds->Post();
  TCustomvmTreeListControl::DoNodeDragStart(Node);
}

bool TCustomvmDBTreeListControl::IsInsertingNode() const {
  TDataSet* ds = DataSet();
  return FFocusedNode && ds && ds->State() == dsInsert;
}

int TCustomvmDBTreeListControl::GetIndicatorKind(TvmTreeListNode* Node, bool Selected) {
  if (Node != FFocusedNode) return Selected ? 4 : 0;
  int kind = Selected && FOptions.Contains(tloMultiSelect) ? 5 : 1;
  if (TDataSet* ds = DataSet()) {
    if (ds->State() == dsEdit) kind = 2;
    if (ds->State() == dsInsert) kind = 3;
  }
  return kind;
}

bool TCustomvmDBTreeListControl::CanDragScroll() const {
  TDataSet* ds = DataSet();
  return FExtendedOptions.Contains(tlxDragScroll) && !(ds && IsEditingState(ds->State()));
}

void TCustomvmDBTreeListControl::ApplyEditorValue(TvmTreeListNode* Node, int Column, TvmInplaceEdit* Editor,
                                                  Variant& Value) {
  const int col = VisualColumnToColumn(Column);
  TvmDBTreeListColumn* c = DBColumn(col);
  TDataSet* ds = DataSet();
  TvmDBTreeListDataLink* l = GetDataLink();
  if (!c) {
    Value = Variant(std::string());
  } else if (l->RecordModified && c->Field() && ds && IsEditingState(ds->State())) {
    FLiveNodes.push_back(Node);
    c->ApplyEditValue(Node, Editor, Value);
    if (IsLive(Node)) {
      std::string text, cell;
      c->TvmDBTreeListColumn::GetDisplayText(Node, text);
      c->VariantToText(Variant(text), cell);
      SetNodeString(Node, c->GetDataIndex(), cell);
      FLiveNodes.erase(std::remove(FLiveNodes.begin(), FLiveNodes.end(), Node), FLiveNodes.end());
    }
  } else {
    Value = Variant(std::string());
  }
  EditingValue = Value;
  Invalidate();
}

bool TCustomvmDBTreeListControl::IsReadyForEditing() {
  return TCustomvmTreeListControl::IsReadyForEditing() && FFocusedNode && GetDataLink()->Active();
}

void TCustomvmDBTreeListControl::DoInsert(bool& Done) {
  Done = false;
  const int fc = GetFocusedColumn();
  TvmDBTreeListColumn* c = DBColumn(GetFocusedAbsoluteColumn());
  TDataSet* ds = DataSet();
  if (fc >= VisibleColumnCount() || !c || c->DisableEditor || !ds || !ds->Active() || !IsInsertAllowed() ||
      !IsEditAllowed())
    return;
  if (ds->State() != dsInsert) ds->Insert();
  Done = true;
  if (OnEditing) OnEditing(this, FFocusedNode, Done);
}

void TCustomvmDBTreeListControl::GetEditorValue(TvmTreeListNode* Node, TvmInplaceEdit* Editor, Variant& Value) {
  TvmDBTreeListColumn* c = DBColumn(VisualColumnToColumn(FEditingColumn));
  if (c && c->Field() && GetDataLink()->Active()) {
    c->LoadEditValue(Node, Editor, Value);
    Value = Editor->EditValue();
  } else {
    TCustomvmTreeListControl::GetEditorValue(Node, Editor, Value);
  }
  EditingValue = Value;
}

void TCustomvmDBTreeListControl::SortingChanged() {
  TCustomvmTreeListControl::SortingChanged();
  for (int i = 0; i < ColumnCount(); ++i)
    if (TvmDBTreeListColumn* c = DBColumn(i); c && c->GroupIndex() == -1) c->SetSorted(csNone);
}

void TCustomvmDBTreeListControl::BeforeColumnSort(TvmTreeListColumn* Column) {
  auto* c = dynamic_cast<TvmDBTreeListColumn*>(Column);
  if (FOptions.Contains(tloAutoSort) && (!c || c->GroupIndex() == -1) && !AddingSortColumn() && !SortLocked())
    SortingChanged();
}

int TCustomvmDBTreeListControl::CompareNodes(TvmTreeListNode* Node1, TvmTreeListNode* Node2) {
  const Variant& k1 = DBNode(Node1)->KeyValue;
  const Variant& k2 = DBNode(Node2)->KeyValue;
  if (k1.IsNull() || k2.IsNull()) return 0;
  if (k1 == k2) return TCustomvmTreeListControl::CompareNodes(Node1, Node2);
  return CompareSortValues(k1, k2) < 0 ? 1 : -1;
}

bool TCustomvmDBTreeListControl::LocateRecord(int Column, const std::string& Text, int Direction) {
  TDataSource* src = GetDataSource();
  TDataSet* ds = src ? src->DataSet() : nullptr;
  TvmDBTreeListDataLink* l = GetDataLink();
  (void)l;
  if (!ds || !ds->Active() || (ds->Bof() && ds->Eof()) || IsEditingState(ds->State()) || Text.empty()) return false;
  TvmDBTreeListColumn* c = DBColumn(Column);
  TField* f = c ? c->Field() : nullptr;
  if (!f) return false;
  const std::string want = AnsiUpperCase(Text);
  auto matches = [&] {
    std::string v = AnsiUpperCase(f->AsString());
    return v.compare(0, want.size(), want) == 0 && v.size() >= want.size();
  };
  if (Direction == 0 && matches()) return true;
  TBookmark saved = ds->GetBookmark();
  TBookmark stop;
  bool found = false;
  ds->DisableControls();
  TScopeExit enable([&] {
    if (!found && !saved.empty() && ds->BookmarkValid(saved)) ds->GotoBookmark(saved);
    ds->EnableControls();
  });
  auto step = [&] {
    if (Direction == 1) {
      ds->Prior();
      if (ds->Bof()) {
        ds->Last();
        stop = saved;
      }
    } else {
      ds->Next();
      if (ds->Eof()) {
        ds->First();
        stop = saved;
      }
    }
  };
  if (Direction == 1 || Direction == 2) step();
  for (;;) {
    if (Direction == 0 && ds->Eof()) break;
    if (!stop.empty() && ds->CompareBookmarks(ds->GetBookmark(), stop) == 0) break;
    if (matches()) {
      found = true;
      break;
    }
    step();
  }
  return found;
}

void TCustomvmDBTreeListControl::DoExit() {
  TvmDBTreeListDataLink* l = GetDataLink();
  TDataSet* ds = DataSet();
  {
    TScopeFail refocus([&] { SetFocus(); });
    if (l->Active() && ds) {
      if (IsCancelOnExit() && ds->State() == dsInsert && !ds->Modified() && !l->RecordModified)
        ds->Cancel();
      else
        l->StoreEditorData();
    }
  }
  if (HideSelection() && FOptions.Contains(tloMultiSelect) && FState == tlsEditing && GetSelectedCount() > 0)
    InvalidateSelection();
  TCustomvmTreeListControl::DoExit();
}

// ---------------------------------------------------------------------------------------------
// The tree list of a dataset.

VM_PUBLISH(TvmDBTreeList) {
  P.String("KeyField", &TvmDBTreeList::KeyField, &TvmDBTreeList::SetKeyField);
  P.String("ParentField", &TvmDBTreeList::ParentField, &TvmDBTreeList::SetParentField);
  P.Bool("DefaultFields", &TvmDBTreeList::DefaultFields, &TvmDBTreeList::SetDefaultFields).Default(false);
}

TvmDBTreeList::TvmDBTreeList(TComponent* AOwner)
    : TCustomvmDBTreeListControl(AOwner), FDataLink(std::make_unique<TvmDBTreeListDataLink>(this)) {
  // Cells of the focused record are edited one at a time.
  FOptions.Include(tloEditing);
  FOptions.Exclude(tloRowSelect);
}

TvmDBTreeList::~TvmDBTreeList() {
  FDestroying = true;
  FByKey.clear();
  FByBookmark.clear();
  FOrphans.clear();
  DeleteAllNodes();
  FDataLink->SetDataSource(nullptr);
}

TDataSource* TvmDBTreeList::DataSource() const { return FDataLink->DataSource(); }

void TvmDBTreeList::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  const bool wasActive = FDataLink->Active();
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  // The link reports a change of its active state itself; another open dataset is read here.
  if (wasActive == FDataLink->Active()) LinkActiveChanged();
}

void TvmDBTreeList::SetKeyField(const std::string& Value) {
  if (Value == FNodeKeyFieldName) return;
  SetNodeKeyFieldName(Value);
  if (FDataLink->Active()) LoadAll();
}

void TvmDBTreeList::SetParentField(const std::string& Value) {
  if (Value == FParentFieldName) return;
  FParentFieldName = Value;
  if (FDataLink->Active()) LoadAll();
}

void TvmDBTreeList::SetDefaultFields(bool Value) {
  if (Value == FDefaultFields) return;
  FDefaultFields = Value;
  if (FDataLink->Active()) LinkActiveChanged();
}

void TvmDBTreeList::Loaded() {
  TCustomvmDBTreeListControl::Loaded();
  if (FDataLink->Active()) LinkActiveChanged();
}

// Keys are indexed as texts with their kind in front, converted to the kind of the key field, so
// a parent value of another type finds its key when it means the same value, and never otherwise.
std::string TvmDBTreeList::KeyOf(const Variant& Value) const {
  if (Value.IsNull()) return std::string();
  const TFieldType kt = FNodeKeyField ? FNodeKeyField->DataType() : ftString;
  const bool numericKey = kt == ftSmallint || kt == ftInteger || kt == ftWord || kt == ftAutoInc || kt == ftLargeint ||
                          kt == ftFloat || kt == ftCurrency || kt == ftBCD || kt == ftFMTBcd;
  auto number = [](double d) {
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9e18)
      return "i" + std::to_string(static_cast<int64_t>(d));
    char buf[40];
    std::snprintf(buf, sizeof buf, "d%.17g", d);
    return std::string(buf);
  };
  if (numericKey) {
    if (Value.IsNumeric()) return number(Value.AsFloat());
    if (Value.IsString()) {
      std::string s = Trim(Value.AsString());
      double d = 0;
      auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
      if (!s.empty() && ec == std::errc() && p == s.data() + s.size()) return number(d);
      return "s" + s;  // not a number: matches no key
    }
    return "b" + Value.AsString();
  }
  return "s" + Value.AsString();
}

std::string TvmDBTreeList::ParentKeyOf(const Variant& Value) const { return KeyOf(Value); }

TvmDBTreeListNode* TvmDBTreeList::FindNodeByKey(const Variant& Key) const {
  auto it = FByKey.find(KeyOf(Key));
  return it == FByKey.end() ? nullptr : it->second;
}

TvmDBTreeListNode* TvmDBTreeList::FindRecordNode() const {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active()) return nullptr;
  auto it = FByBookmark.find(ds->GetBookmark());
  return it == FByBookmark.end() ? nullptr : it->second;
}

void TvmDBTreeList::ReadKeys(TvmDBTreeListNode* N) {
  LoadNodeFromRecord(N);
  N->ParentValue = FParentField ? FParentField->Value() : Variant();
}

void TvmDBTreeList::IndexNode(TvmDBTreeListNode* N) {
  std::string k = KeyOf(N->KeyValue);
  N->IndexKey.clear();
  if (k.empty()) return;
  auto [it, added] = FByKey.emplace(k, N);
  if (added) N->IndexKey = k;
}

void TvmDBTreeList::UnindexNode(TvmDBTreeListNode* N) {
  if (!N->IndexKey.empty()) {
    auto it = FByKey.find(N->IndexKey);
    if (it != FByKey.end() && it->second == N) FByKey.erase(it);
    N->IndexKey.clear();
  }
  if (!N->WaitingFor.empty()) {
    auto range = FOrphans.equal_range(N->WaitingFor);
    for (auto it = range.first; it != range.second; ++it)
      if (it->second == N) {
        FOrphans.erase(it);
        break;
      }
    N->WaitingFor.clear();
  }
}

// Root nodes that waited for this node's key move under it (unless that would close a cycle).
void TvmDBTreeList::AdoptOrphans(TvmDBTreeListNode* N) {
  if (N->IndexKey.empty()) return;
  auto range = FOrphans.equal_range(N->IndexKey);
  std::vector<TvmDBTreeListNode*> waiting;
  for (auto it = range.first; it != range.second; ++it) waiting.push_back(it->second);
  for (TvmDBTreeListNode* o : waiting) {
    if (o == N || N->HasAsParent(o)) continue;
    auto r = FOrphans.equal_range(N->IndexKey);
    for (auto it = r.first; it != r.second; ++it)
      if (it->second == o) {
        FOrphans.erase(it);
        break;
      }
    o->WaitingFor.clear();
    o->MoveTo(N, -1);
  }
}

// Puts a node where its parent value says: under the parent's node, or at the top level when the
// parent is missing (it then waits for it), is the node itself or lies below it.
void TvmDBTreeList::PlaceNode(TvmDBTreeListNode* N) {
  if (!N->WaitingFor.empty()) {
    std::string k = N->IndexKey;
    N->IndexKey.clear();
    UnindexNode(N);
    N->IndexKey = k;
  }
  std::string pk = ParentKeyOf(N->ParentValue);
  TvmDBTreeListNode* p = nullptr;
  if (!pk.empty()) {
    auto it = FByKey.find(pk);
    if (it != FByKey.end()) p = it->second;
  }
  if (p == N || (p && p->HasAsParent(N)))
    p = nullptr;
  else if (!pk.empty() && !p) {
    N->WaitingFor = pk;
    FOrphans.emplace(pk, N);
  }
  if (N->Parent() != p || (!p && N->Index() < 0)) N->MoveTo(p, -1);
}

void TvmDBTreeList::RememberCurrent() {
  TDataSet* ds = DataSet();
  FCurBookmark = ds && ds->Active() ? ds->GetBookmark() : TBookmark();
}

void TvmDBTreeList::LoadAll() {
  TDataSet* ds = DataSet();
  const bool active = FDataLink->Active() && ds && ds->Active();
  // The selected records stay selected when their records are read again.
  const std::vector<TSelectedRecord> selected = active ? SelectedRecords() : std::vector<TSelectedRecord>();
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  FByKey.clear();
  FByBookmark.clear();
  FOrphans.clear();
  DeleteAllNodes();
  SetNodeKeyField(nullptr);
  FParentField = nullptr;
  if (!active) return;
  // A field name that the dataset lacks raises the framework's error and leaves the control empty.
  SetNodeKeyField(FNodeKeyFieldName.empty() ? nullptr : ds->FieldByName(FNodeKeyFieldName));
  FParentField = FParentFieldName.empty() ? nullptr : ds->FieldByName(FParentFieldName);

  // One pass over the records into unattached nodes.
  std::vector<TvmDBTreeListNode*> staged;
  TScopeExit freeStaged([&] {
    for (TvmDBTreeListNode* n : staged) delete n;
  });
  {
    ++FOwnChange;
    ds->DisableControls();
    TBookmark mark = ds->GetBookmark();
    TScopeExit back([&] {
      if (!mark.empty() && ds->BookmarkValid(mark)) ds->GotoBookmark(mark);
      ds->EnableControls();
      --FOwnChange;
    });
    staged.reserve(static_cast<size_t>(std::max(ds->RecordCount(), 0)));
    FByBookmark.reserve(staged.capacity());
    FByKey.reserve(staged.capacity());
    for (ds->First(); !ds->Eof(); ds->Next()) {
      auto* n = new TvmDBTreeListNode(this);
      staged.push_back(n);
      ReadKeys(n);
      n->Bookmark = ds->GetBookmark();
      n->LoadIndex = static_cast<int32_t>(staged.size() - 1);
    }
  }
  const size_t count = staged.size();
  for (TvmDBTreeListNode* n : staged) {
    IndexNode(n);
    if (!n->Bookmark.empty()) FByBookmark.emplace(n->Bookmark, n);
  }
  // Parents by index; a missing parent leaves the node at the top level, waiting.
  std::vector<int32_t> parentOf(count, -1);
  for (size_t i = 0; i < count; ++i) {
    TvmDBTreeListNode* n = staged[i];
    std::string pk = ParentKeyOf(n->ParentValue);
    if (pk.empty()) continue;
    auto it = FByKey.find(pk);
    if (it == FByKey.end()) {
      n->WaitingFor = pk;
      FOrphans.emplace(pk, n);
    } else if (it->second != n) {
      parentOf[i] = it->second->LoadIndex;
    }
  }
  // Cycles: walking up from each record, the link that comes back to the walk is cut, so that
  // record becomes a top-level node.
  std::vector<uint8_t> mark(count, 0);  // 0 new, 1 on the walk, 2 done
  std::vector<int32_t> walk;
  for (size_t i = 0; i < count; ++i) {
    if (mark[i]) continue;
    walk.clear();
    int32_t cur = static_cast<int32_t>(i);
    while (cur >= 0 && mark[static_cast<size_t>(cur)] == 0) {
      mark[static_cast<size_t>(cur)] = 1;
      walk.push_back(cur);
      int32_t up = parentOf[static_cast<size_t>(cur)];
      if (up >= 0 && mark[static_cast<size_t>(up)] == 1) {
        parentOf[static_cast<size_t>(cur)] = -1;
        break;
      }
      cur = up;
    }
    for (int32_t w : walk) mark[static_cast<size_t>(w)] = 2;
  }
  // Children in record order (counting sort by parent), then the tree from the top down.
  std::vector<int32_t> first(count + 1, 0);
  for (size_t i = 0; i < count; ++i)
    if (parentOf[i] >= 0) ++first[static_cast<size_t>(parentOf[i]) + 1];
  for (size_t i = 0; i < count; ++i) first[i + 1] += first[i];
  std::vector<int32_t> kids(static_cast<size_t>(first[count]));
  {
    std::vector<int32_t> fill(first.begin(), first.end() - 1);
    for (size_t i = 0; i < count; ++i)
      if (parentOf[i] >= 0)
        kids[static_cast<size_t>(fill[static_cast<size_t>(parentOf[i])]++)] = static_cast<int32_t>(i);
  }
  std::vector<int32_t> queue;
  queue.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    if (parentOf[i] >= 0) continue;
    FStaged = staged[i];
    Add();
    queue.push_back(static_cast<int32_t>(i));
  }
  for (size_t q = 0; q < queue.size(); ++q) {
    const int32_t p = queue[q];
    TvmDBTreeListNode* pn = staged[static_cast<size_t>(p)];
    for (int32_t k = first[static_cast<size_t>(p)]; k < first[static_cast<size_t>(p) + 1]; ++k) {
      int32_t c = kids[static_cast<size_t>(k)];
      FStaged = staged[static_cast<size_t>(c)];
      pn->AddChild();
      queue.push_back(c);
    }
  }
  FStaged = nullptr;
  staged.clear();
  ReselectRecords(selected);
  ResetSummaries();
  RememberCurrent();
  end.Release();
  EndUpdate();
  SyncFocus();
}

TvmTreeListNode* TvmDBTreeList::CreateNode() {
  if (TvmDBTreeListNode* n = FStaged) {
    FStaged = nullptr;
    return n;
  }
  return TCustomvmDBTreeListControl::CreateNode();
}

void TvmDBTreeList::NodeDeleted(TvmTreeListNode* Node, TvmTreeListNode* Prior, TvmTreeListNode* Next, bool WasLast,
                                bool WasVisible) {
  TCustomvmDBTreeListControl::NodeDeleted(Node, Prior, Next, WasLast, WasVisible);
  if (IsClearingNodes() || FDestroying) return;
  auto* n = DBNode(Node);
  UnindexNode(n);
  auto it = FByBookmark.find(n->Bookmark);
  if (it != FByBookmark.end() && it->second == n) FByBookmark.erase(it);
}

void TvmDBTreeList::SyncFocus() {
  TvmDBTreeListNode* n = FindRecordNode();
  if (!n || n == FFocusedNode || FLockUpdate != 0) return;
  ++FSyncing;
  TScopeExit done([this] { --FSyncing; });
  SetFocusedNode(n);
}

void TvmDBTreeList::DoChangeNode(TvmTreeListNode* OldNode, TvmTreeListNode* Node) {
  TCustomvmDBTreeListControl::DoChangeNode(OldNode, Node);
  TDataSet* ds = DataSet();
  if (FSyncing || FOwnChange || !Node || !ds || !ds->Active() || FLockUpdate != 0) return;
  auto* n = DBNode(Node);
  if (n->Bookmark.empty() || n->Bookmark == ds->GetBookmark()) return;
  ++FSyncing;
  TScopeExit done([this] { --FSyncing; });
  FLiveNodes.push_back(Node);
  ds->CheckBrowseMode();
  if (IsLive(Node) && ds->BookmarkValid(n->Bookmark)) ds->GotoBookmark(n->Bookmark);
  FLiveNodes.erase(std::remove(FLiveNodes.begin(), FLiveNodes.end(), Node), FLiveNodes.end());
}

void TvmDBTreeList::RefreshContent() { TCustomvmDBTreeListControl::RefreshContent(); }

void TvmDBTreeList::ComputeSummary(TvmDBTreeListColumn* Column) {
  TField* f = Column->SummarySourceField;
  if (!f && DataSet()) {
    ResetSummaries();
    f = Column->SummarySourceField;
  }
  TvmDBTreeListColumn* shown = nullptr;
  for (int i = 0; f && i < ColumnCount() && !shown; ++i)
    if (DBColumn(i) && DBColumn(i)->Field() == f) shown = DBColumn(i);
  if (!shown) return;
  const size_t di = static_cast<size_t>(shown->GetDataIndex());
  const TvmSummaryType type = Column->SummaryFooterType();
  long double sum = 0, lo = 0, hi = 0;
  int64_t records = 0, values = 0;
  for (TvmTreeListNode* n = GetFirstNode(); n; n = n->GetNext()) {
    ++records;
    const auto& v = DBNode(n)->Values;
    if (di >= v.size() || !v[di].ValueAssigned || v[di].Value.IsNull() || !v[di].Value.IsNumeric()) continue;
    const long double x = v[di].Value.AsFloat();
    lo = values == 0 ? x : std::min(lo, x);
    hi = values == 0 ? x : std::max(hi, x);
    sum += x;
    ++values;
  }
  switch (type) {
    case cstSum:
      Column->SummaryValue = sum;
      break;
    case cstMin:
      Column->SummaryValue = lo;
      break;
    case cstMax:
      Column->SummaryValue = hi;
      break;
    case cstCount:
      Column->SummaryValue = static_cast<long double>(records);
      break;
    case cstAvg:
      Column->SummaryValue = values ? sum / static_cast<long double>(values) : 0;
      break;
    default:
      return;
  }
  Column->SummaryValid = true;
}

void TvmDBTreeList::LinkActiveChanged() {
  if (FDestroying) return;
  RefreshContent();
  LoadAll();
}

void TvmDBTreeList::LinkEditingChanged() {
  if (FOwnChange) return;
  if (FDataLink->Editing()) FWasEditing = true;
  Invalidate();
}

void TvmDBTreeList::LinkDataSetChanged() {
  TDataSet* ds = DataSet();
  if (FOwnChange || FDataChangeLock || !ds || !ds->Active()) return;
  if (IsEditingState(ds->State())) {
    FWasEditing = true;
    Invalidate();
    return;
  }
  if (FWasEditing) {
    FWasEditing = false;
    RecordPosted();
    return;
  }
  if (!FCurBookmark.empty() && FByBookmark.count(FCurBookmark) && !RecordExists(ds, FCurBookmark)) {
    RecordDeleted(FCurBookmark);
    RememberCurrent();
    SyncFocus();
    return;
  }
  if (ds->Filtered() || ds->RecordCount() != IndexedCount())
    LoadAll();
  else {
    RememberCurrent();
    SyncFocus();
  }
}

void TvmDBTreeList::LinkScrolled() {
  if (FOwnChange) return;
  RememberCurrent();
  SyncFocus();
  FocusedRecordChanged();
}

void TvmDBTreeList::LinkRecordChanged(TField* Field) {
  TDataSet* ds = DataSet();
  if (FOwnChange || !Field || !ds || ds->State() != dsEdit) return;
  if (TvmDBTreeListNode* n = FindRecordNode()) {
    TvmDBTreeListColumn* focused = DBColumn(GetFocusedAbsoluteColumn());
    for (int i = 0; i < ColumnCount(); ++i) {
      TvmDBTreeListColumn* c = DBColumn(i);
      // The cell being typed into keeps the editor's text until it is applied.
      if (c && c->Field() == Field && !(FState == tlsEditing && c == focused)) LoadNodeValue(n, c);
    }
    ResetSummaries();
    Invalidate();
  }
  EditingValueCheck();
}

// The record just posted (or the record current after a cancel): a new record gets its node; a
// known one is read again and moves when its key or parent changed.
void TvmDBTreeList::RecordPosted() {
  TDataSet* ds = DataSet();
  TBookmark bm = ds->GetBookmark();
  if (bm.empty()) return;
  auto it = FByBookmark.find(bm);
  if (it == FByBookmark.end()) {
    auto* n = new TvmDBTreeListNode(this);
    ReadKeys(n);
    n->Bookmark = bm;
    std::string pk = ParentKeyOf(n->ParentValue);
    auto pit = pk.empty() ? FByKey.end() : FByKey.find(pk);
    FStaged = n;
    if (pit != FByKey.end())
      pit->second->AddChild();
    else
      Add();
    FStaged = nullptr;
    FByBookmark.emplace(bm, n);
    IndexNode(n);
    if (pit == FByKey.end() && !pk.empty()) {
      n->WaitingFor = pk;
      FOrphans.emplace(pk, n);
    }
    AdoptOrphans(n);
  } else {
    TvmDBTreeListNode* n = it->second;
    const std::string oldKey = n->IndexKey;
    ReadKeys(n);
    if (KeyOf(n->KeyValue) != oldKey) {
      // The children that named the old key lose their parent.
      std::vector<TvmDBTreeListNode*> kids;
      for (int i = 0; i < n->Count(); ++i) kids.push_back(DBNode(n->Items(i)));
      if (!oldKey.empty()) {
        auto k = FByKey.find(oldKey);
        if (k != FByKey.end() && k->second == n) FByKey.erase(k);
      }
      n->IndexKey.clear();
      IndexNode(n);
      for (TvmDBTreeListNode* c : kids)
        if (ParentKeyOf(c->ParentValue) != n->IndexKey) PlaceNode(c);
      AdoptOrphans(n);
    }
    PlaceNode(n);
    NodeChanged(n, false);
  }
  ResetSummaries();
  RememberCurrent();
  Invalidate();
  SyncFocus();
}

void TvmDBTreeList::RecordDeleted(const TBookmark& Bookmark) {
  auto it = FByBookmark.find(Bookmark);
  if (it == FByBookmark.end()) return;
  TvmDBTreeListNode* n = it->second;
  FByBookmark.erase(it);
  const std::string key = n->IndexKey;
  UnindexNode(n);
  // The children's parent record is gone: they go to the top level and wait for it.
  std::vector<TvmDBTreeListNode*> kids;
  for (int i = 0; i < n->Count(); ++i) kids.push_back(DBNode(n->Items(i)));
  for (TvmDBTreeListNode* c : kids) PlaceNode(c);
  n->Delete();
  ResetSummaries();
}

std::vector<TvmDBTreeList::TSelectedRecord> TvmDBTreeList::SelectedRecords() const {
  std::vector<TSelectedRecord> records;
  records.reserve(FSelectionList.size());
  for (TvmTreeListNode* n : FSelectionList) records.push_back({DBNode(n)->Bookmark, DBNode(n)->IndexKey});
  return records;
}

// A record is found again by its bookmark, else (a dataset that gave it a new bookmark) by its
// key; records that are gone leave the selection.
void TvmDBTreeList::ReselectRecords(const std::vector<TSelectedRecord>& Records) {
  if (Records.empty()) return;
  std::vector<TvmTreeListNode*> nodes;
  nodes.reserve(Records.size());
  for (const TSelectedRecord& r : Records) {
    auto b = r.Bookmark.empty() ? FByBookmark.end() : FByBookmark.find(r.Bookmark);
    if (b != FByBookmark.end()) {
      nodes.push_back(b->second);
      continue;
    }
    auto k = r.Key.empty() ? FByKey.end() : FByKey.find(r.Key);
    if (k != FByKey.end()) nodes.push_back(k->second);
  }
  SetSelectionList(std::move(nodes));
  if (!FSelectionList.empty()) FFirstSelectedNode = FSelectionList.front();
  Invalidate();
}

bool TvmDBTreeList::DeleteSelectedRecords() {
  TDataSet* ds = DataSet();
  if (GetSelectedCount() < 2) return DeleteFocusedRecord();
  if (!ds || !ds->Active() || ReadOnly || !ds->CanModify()) return false;
  if (ConfirmDelete && Application->MessageBox(SvmDBDeleteSelected, SvmDBConfirm, MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  ds->CheckBrowseMode();
  std::vector<TBookmark> marks;
  for (TvmTreeListNode* n : FSelectionList) marks.push_back(DBNode(n)->Bookmark);
  {
    ++FOwnChange;
    ds->DisableControls();
    TScopeExit back([&] {
      ds->EnableControls();
      --FOwnChange;
    });
    for (const TBookmark& m : marks) {
      if (m.empty() || !RecordExists(ds, m)) continue;
      ds->GotoBookmark(m);
      ds->Delete();
      RecordDeleted(m);
    }
  }
  RememberCurrent();
  SyncFocus();
  Invalidate();
  return true;
}

bool TvmDBTreeList::DeleteFocusedRecord() {
  TDataSet* ds = DataSet();
  auto* n = DBNode(FFocusedNode);
  if (!n || !ds || !ds->Active() || ReadOnly || !ds->CanModify()) return false;
  if (ConfirmDelete && Application->MessageBox(SvmDBDeleteRecord, SvmDBConfirm, MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  ds->CheckBrowseMode();
  if (ds->GetBookmark() != n->Bookmark) {
    if (!ds->BookmarkValid(n->Bookmark)) return false;
    ds->GotoBookmark(n->Bookmark);
  }
  ds->Delete();
  return true;
}

void TvmDBTreeList::KeyDown(uint16_t& Key, TShiftState Shift) {
  FInKeyDown = true;
  TScopeExit done([this] { FInKeyDown = false; });
  if (Key == VK_DELETE && Shift.Contains(ssCtrl) && FState != tlsEditing) {
    DeleteSelectedRecords();
    Key = 0;
    return;
  }
  if (Key == 'A' && Shift == TShiftState{ssCtrl} && FState != tlsEditing && FOptions.Contains(tloMultiSelect)) {
    SelectAll();
    Key = 0;
    return;
  }
  if (Key == VK_INSERT && Shift == TShiftState() && FState != tlsEditing) {
    InsertRecord();
    Key = 0;
    return;
  }
  TCustomvmDBTreeListControl::KeyDown(Key, Shift);
}

TCustomvmFilterEdit* TvmDBTreeList::ShowFilterEdit(int Column) {
  TvmDBTreeListColumn* c = DBColumn(Column);
  if (!c) return nullptr;
  if (!FFilterEdit) {
    FFilterEdit = c->CreateFilterEdit(this);
  } else {
    c->InitFilterEdit(FFilterEdit);
  }
  FFilterColumn = Column;
  FFilterEdit->SetParent(Parent());
  FFilterEdit->SetBounds(Left(), std::max(0, Top() - 22), std::max(60, Width() / 3), 22);
  FFilterEdit->OnChange = [this](TObject*) {
    Variant v;
    std::string text;
    if (TvmDBTreeListColumn* col = DBColumn(FFilterColumn)) col->GetFilterEditValue(FFilterEdit, v, text);
    ApplyFilterText(FFilterColumn, text);
  };
  FFilterEdit->SetVisible(true);
  return FFilterEdit;
}

void TvmDBTreeList::ApplyFilterText(int Column, const std::string& Text) {
  TDataSet* ds = DataSet();
  TvmDBTreeListColumn* c = DBColumn(Column);
  if (!ds || !c) return;
  FFilterColumn = Column;
  FFilterText = Text;
  if (!FFilterInstalled) {
    FPriorFilter = ds->OnFilterRecord();
    FFilterInstalled = true;
  }
  const std::string want = AnsiUpperCase(Text);
  TField* f = c->Field();
  TFilterRecordEvent prior = FPriorFilter;
  {
    ++FOwnChange;
    TScopeExit done([this] { --FOwnChange; });
    ds->SetOnFilterRecord([prior, want, f](TDataSet* D, bool& Accept) {
      if (prior) prior(D, Accept);
      if (!Accept || want.empty() || !f) return;
      std::string v = AnsiUpperCase(f->AsString());
      Accept = v.compare(0, want.size(), want) == 0 && v.size() >= want.size();
    });
    ds->SetFiltered(!want.empty() || static_cast<bool>(prior));
    ds->First();
  }
  LoadAll();
}

void RegisterDBTreeListClasses() {
  RegisterClasses(
      {TvmDBTreeListColumn::StaticClass(), TvmDBTreeListMaskColumn::StaticClass(), TvmDBTreeList::StaticClass()});
}
