// Field-bound inspector rows and the data-aware inspector they take their fields from.
#include "treelist/db_inspector_rows.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "inspector/vm_blob.h"
#include "inspector/vm_date.h"
#include "inspector/vm_graphic.h"
#include "inspector/vm_memo.h"
#include "inspector/vm_time_currency.h"
#include "platform/datetime.h"
#include "platform/guards.h"
#include "platform/localeinfo.h"
#include "platform/sysutils.h"

// ---------------------------------------------------------------------------------------------
// The data-aware inspector.

namespace {

template <class Base>
bool TrySetFieldName(TvmInspectorRow* Row, const std::string* Name) {
  auto* r = dynamic_cast<TvmFieldRow<Base>*>(Row);
  if (!r) return false;
  r->SetFieldName(Name ? *Name : r->GetFieldName());
  return true;
}

template <class... Bases>
void SetFieldNameOf(TvmInspectorRow* Row, const std::string* Name) {
  (void)(TrySetFieldName<Bases>(Row, Name) || ...);
}

// Names the field of a field-bound row (Name null: its own field again); other rows are left.
void SetRowFieldName(TvmInspectorRow* Row, const std::string* Name) {
  SetFieldNameOf<TvmInspectorRow, TvmInspectorMaskRow, TvmInspectorDateRow, TvmInspectorTimeRow, TvmInspectorSpinRow,
                 TvmInspectorCurrencyRow, TvmInspectorMemoRow, TvmInspectorCustomBlobRow, TvmInspectorGraphicRow,
                 TvmInspectorCheckRow, TvmInspectorCalcRow, TvmInspectorButtonRow, TvmInspectorPickRow,
                 TvmInspectorImageRow, TvmInspectorHyperLinkRow, TvmInspectorPopupRow, TvmInspectorMRURow,
                 TvmInspectorDropDownRow>(Row, Name);
}

}  // namespace

class TvmDBInspector::TLink : public TDataLink {
public:
  explicit TLink(TvmDBInspector* AOwner) : FOwner(AOwner) {}

protected:
  void ActiveChanged() override { FOwner->DataLinkChanged(); }
  void LayoutChanged() override { FOwner->DataLinkChanged(); }
  void DataSetChanged() override { Refresh(); }
  void RecordChanged(TField*) override { Refresh(); }
  void DataSetScrolled(int) override { Refresh(); }

private:
  void Refresh() {
    // An open editor shows the new record's value; the rows paint theirs.
    if (FOwner->Editor() && FOwner->Editor()->Visible() && !FOwner->IsInitializingEditor() && DataSet() &&
        DataSet()->State() == dsBrowse)
      FOwner->ShowEditor(true, true);
    FOwner->Invalidate();
  }
  TvmDBInspector* FOwner;
};

VM_DEFINE_CLASS(TvmDBInspector)

TvmDBInspector::TvmDBInspector(TComponent* AOwner) : TvmInspector(AOwner), FDataLink(std::make_unique<TLink>(this)) {}

TvmDBInspector::~TvmDBInspector() { FDataLink->SetDataSource(nullptr); }

void TvmDBInspector::SetDataSource(TDataSource* Value) {
  FDataLink->SetDataSource(Value);
  DataLinkChanged();
}

void TvmDBInspector::SetAutoCreateRows(bool Value) {
  if (Value == FAutoCreateRows) return;
  FAutoCreateRows = Value;
  DataLinkChanged();
}

void TvmDBInspector::DataLinkChanged() {
  // Rows the inspector made follow the fields; rows of the program's only get their fields again.
  if (FAutoCreateRows && (GetRowCount() == 0 || GetRowCount() == FAutoRowCount)) {
    CreateFieldRows();
    return;
  }
  RebindRows();
}

void TvmDBInspector::CreateFieldRows() {
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  if (Editor() && Editor()->Visible()) HideEditor();
  ClearRows();
  TDataSet* ds = DataSet();
  if (ds && FDataLink->Active()) {
    for (int i = 0; i < ds->Fields().Count(); ++i) {
      TField* f = ds->Fields()[i];
      if (!f->Visible()) continue;
      TvmInspectorRowClass c = GetDefaultRowClassForField(f);
      // A type without a registered class still shows its text.
      if (!c) c = TvmInspectorDBRow::StaticClass();
      SetRowFieldName(CreateRow(c), &f->FieldName());
    }
  }
  FAutoRowCount = GetRowCount();
  Invalidate();
}

void TvmDBInspector::RebindRows() {
  // The rows re-resolve their field by name.
  for (int i = 0; i < GetRowCount(); ++i) SetRowFieldName(GetRow(i), nullptr);
  Invalidate();
}

// ---------------------------------------------------------------------------------------------
// The binding.

bool KeyFieldsCanModify(TField* Field) {
  if (!Field || !Field->DataSet()) return false;
  std::vector<TField*> keys;
  try {
    Field->DataSet()->GetFieldList(keys, Field->KeyFields());
  } catch (const EDatabaseError&) {
    return false;
  }
  if (keys.empty()) return false;
  for (TField* k : keys)
    if (!k->CanModify()) return false;
  return true;
}

double FieldLimit(TField* Field, bool Max) {
  if (auto* i = dynamic_cast<TIntegerField*>(Field)) return Max ? i->MaxValue() : i->MinValue();
  if (auto* f = dynamic_cast<TFloatField*>(Field)) {
    // Through the general format with the field's precision, as the field would show it.
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", std::clamp(f->Precision(), 1, 17), Max ? f->MaxValue() : f->MinValue());
    return std::strtod(text, nullptr);
  }
  return 0;
}

template <class Base>
bool TvmFieldRow<Base>::DataActive() const {
  auto* insp = dynamic_cast<TvmDBInspector*>(this->Inspector());
  return insp && insp->DataLink()->Active();
}

template <class Base>
TDataSet* TvmFieldRow<Base>::RowDataSet() const {
  auto* insp = dynamic_cast<TvmDBInspector*>(this->Inspector());
  return insp ? insp->DataSet() : nullptr;
}

template <class Base>
void TvmFieldRow<Base>::SetFieldName(const std::string& Name) {
  FField = nullptr;
  TDataSet* ds = RowDataSet();
  auto* insp = this->Inspector();
  if (insp && ds && !insp->ComponentState().Contains(csLoading) && !Name.empty()) FField = ds->FindField(Name);
  FFieldName = Name;
  this->Changed();
}

template <class Base>
void TvmFieldRow<Base>::GetDisplayText(std::string& S) {
  S = FField && DataActive() ? FField->DisplayText() : std::string();
}

template <class Base>
void TvmFieldRow<Base>::GetEditText(std::string& S) {
  S = FField && DataActive() ? FField->Text() : std::string();
}

template <class Base>
bool TvmFieldRow<Base>::BeginFieldEdit() {
  if (!FField || !DataActive()) return false;
  TDataSet* ds = FField->DataSet();
  if (ds && ds->State() == dsBrowse) ds->Edit();
  return true;
}

template <class Base>
void TvmFieldRow<Base>::SetEditText(const std::string& S) {
  if (!FField || !DataActive()) return;
  if (FField->Text() == S && FField->DataSet()->State() == dsBrowse) return;
  BeginFieldEdit();
  FField->SetText(S);
}

template <class Base>
void TvmFieldRow<Base>::GetDataEditMask(std::string& S) {
  S = DataActive() && FField ? FField->EditMask() : std::string();
}

template <class Base>
bool TvmFieldRow<Base>::FieldCanModify(bool BlobClause) {
  if (!DataActive() || !FField) return false;
  if (!FField->CanModify() && !(FField->Lookup() && KeyFieldsCanModify(FField))) return false;
  return !BlobClause || !FField->IsBlob() || static_cast<bool>(FField->OnSetText);
}

template <class Base>
void TvmFieldRow<Base>::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TvmFieldRow<Base>*>(Source);
  if (!s || !dynamic_cast<TvmInspectorRow*>(Source) || !Source->ClassType()->InheritsFrom(this->ClassType())) {
    Base::Assign(Source);
    return;
  }
  auto* insp = this->Inspector();
  if (insp) insp->BeginUpdate();
  TScopeExit end([insp] {
    if (insp) insp->EndUpdate();
  });
  Base::Assign(Source);
  SetFieldName(s->FFieldName);
}

template class TvmFieldRow<TvmInspectorRow>;
template class TvmFieldRow<TvmInspectorMaskRow>;
template class TvmFieldRow<TvmInspectorDateRow>;
template class TvmFieldRow<TvmInspectorTimeRow>;
template class TvmFieldRow<TvmInspectorSpinRow>;
template class TvmFieldRow<TvmInspectorCurrencyRow>;
template class TvmFieldRow<TvmInspectorMemoRow>;
template class TvmFieldRow<TvmInspectorCustomBlobRow>;
template class TvmFieldRow<TvmInspectorGraphicRow>;
template class TvmFieldRow<TvmInspectorCheckRow>;
template class TvmFieldRow<TvmInspectorCalcRow>;
template class TvmFieldRow<TvmInspectorButtonRow>;
template class TvmFieldRow<TvmInspectorPickRow>;
template class TvmFieldRow<TvmInspectorImageRow>;
template class TvmFieldRow<TvmInspectorHyperLinkRow>;
template class TvmFieldRow<TvmInspectorPopupRow>;
template class TvmFieldRow<TvmInspectorMRURow>;
template class TvmFieldRow<TvmInspectorDropDownRow>;

static const TEnumInfo CharCaseInfo("TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"});
VM_PUBLISH(TvmInspectorDBRow) {
  P.String("FieldName", &TvmInspectorDBRow::FieldName, &TvmInspectorDBRow::SetFieldName);
  P.Enum("CharCase", &TvmInspectorDBRow::CharCase, &TvmInspectorDBRow::SetCharCase, CharCaseInfo).Default(ecNormal);
}
#define VM_DB_ROW_PUBLISH(Name) \
  VM_PUBLISH(Name) { P.String("FieldName", &Name::FieldName, &Name::SetFieldName); }
VM_DB_ROW_PUBLISH(TvmInspectorDBMaskRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBDateRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBTimeRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBSpinRow)
VM_PUBLISH(TvmInspectorDBCurrencyRow) {
  P.String("FieldName", &TvmInspectorDBCurrencyRow::FieldName, &TvmInspectorDBCurrencyRow::SetFieldName);
  P.Bool("Nullable", &TvmInspectorDBCurrencyRow::GetNullable, &TvmInspectorDBCurrencyRow::SetNullable).Default(false);
  P.String("NullString", &TvmInspectorDBCurrencyRow::GetNullString, &TvmInspectorDBCurrencyRow::SetNullString);
}
VM_DB_ROW_PUBLISH(TvmInspectorDBMemoRow)
static const TEnumInfo BlobKindInfo("TvmBlobKind", {"bkAuto", "bkBlob", "bkMemo", "bkPict", "bkOle"});
VM_PUBLISH(TvmInspectorBlobRow) {
  P.Enum("BlobKind", &TvmInspectorBlobRow::BlobKind, &TvmInspectorBlobRow::SetBlobKind, BlobKindInfo).Default(bkAuto);
  P.String("FieldName", &TvmInspectorBlobRow::FieldName, &TvmInspectorBlobRow::SetFieldName);
}
VM_DB_ROW_PUBLISH(TvmInspectorDBGraphicRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBCheckRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBCalcRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBButtonRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBPickRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBImageRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBHyperLinkRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBPopupRow)
VM_DB_ROW_PUBLISH(TvmInspectorDBMRURow)
VM_DB_ROW_PUBLISH(TvmInspectorLookupRow)
#undef VM_DB_ROW_PUBLISH

// ---------------------------------------------------------------------------------------------
// Rows that exchange values other than texts.

void TvmInspectorDBDateRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* d = dynamic_cast<TvmInplaceDateEdit*>(Edit);
  if (!FField || !d) {
    TvmFieldRow::LoadEditValue(Edit, Value);
    return;
  }
  d->SetDate(FField->IsNull() ? NullDate : FField->AsFloat());
  Value = d->Date() == NullDate ? Variant() : Variant(d->Date());
}

void TvmInspectorDBDateRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* d = dynamic_cast<TvmInplaceDateEdit*>(Edit);
  if (!FField || !d) {
    TvmFieldRow::ApplyEditValue(Edit, Value);
    return;
  }
  if (!BeginFieldEdit()) return;
  if (d->Date() != NullDate)
    FField->SetAsFloat(d->Date());
  else
    FField->Clear();
  Value = FField->Value();
}

bool TvmInspectorDBDateRow::IsValueUnchanged(const Variant& Value) {
  if (!std::holds_alternative<double>(Value.V) && !Value.IsNull()) return false;
  if (!FField) return TvmFieldRow::IsValueUnchanged(Value);
  if (FField->IsNull()) return Value.IsNull() || Value.AsFloat() == NullDate;
  return !Value.IsNull() && Value.AsFloat() == FField->AsFloat();
}

void TvmInspectorDBTimeRow::GetEditText(std::string& S) {
  S.clear();
  if (!FField || !DataActive() || FField->IsNull()) return;
  try {
    S = FormatDateTime("hh:nn:ss", FField->AsFloat());
  } catch (const Exception&) {
    S.clear();
  }
}

void TvmInspectorDBTimeRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* t = dynamic_cast<TvmInplaceTimeEdit*>(Edit);
  if (!FField || !t) {
    TvmFieldRow::LoadEditValue(Edit, Value);
    return;
  }
  t->SetTime(FField->IsNull() ? 0 : TimePart(FField->AsFloat()));
  Value = Variant(t->Time());
}

void TvmInspectorDBTimeRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* t = dynamic_cast<TvmInplaceTimeEdit*>(Edit);
  if (!FField || !t) {
    TvmFieldRow::ApplyEditValue(Edit, Value);
    if (FField) Value = FField->Value();
    return;
  }
  if (!BeginFieldEdit()) return;
  const double date = FField->IsNull() ? 0 : DatePart(FField->AsFloat());
  FField->SetAsFloat(date + t->Time());
  Value = FField->Value();
}

bool TvmInspectorDBTimeRow::IsValueUnchanged(const Variant& Value) {
  if (!FField) return TvmFieldRow::IsValueUnchanged(Value);
  if (!std::holds_alternative<double>(Value.V) || FField->IsNull()) return false;
  return Value.AsFloat() == TimePart(FField->AsFloat());
}

bool TvmInspectorDBCurrencyRow::IsValidChar(char Key) {
  if (!DataActive() || !FField) return false;
  return Key == LocaleInfo().ThousandSeparator || FField->IsValidChar(Key);
}

void TvmInspectorDBMemoRow::GetEditText(std::string& S) {
  S = FField && DataActive() ? FField->AsString() : std::string();
}

void TvmInspectorDBMemoRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* m = dynamic_cast<TvmInplaceMemoEdit*>(Edit);
  if (!FField || !m) {
    TvmFieldRow::LoadEditValue(Edit, Value);
    return;
  }
  m->SetWindowText(FField->AsString());
  Value = Variant(m->GetWindowText());
}

void TvmInspectorDBMemoRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* m = dynamic_cast<TvmInplaceMemoEdit*>(Edit);
  if (!FField || !m) {
    TvmFieldRow::ApplyEditValue(Edit, Value);
    return;
  }
  if (!BeginFieldEdit()) return;
  FField->SetAsString(m->GetWindowText());
  Value = FField->Value();
}

// The one way the blob and graphic rows write a value into their field: Null clears it, any other
// value (texts and pictures travel as their bytes) is stored as the field's value.
static void WriteFieldValue(TField* Field, const Variant& Value) {
  if (Value.IsNull())
    Field->Clear();
  else
    Field->SetValue(Value);
}

TvmBlobEditKind TvmInspectorBlobRow::GetBlobEditKind() {
  if (!FField) return TvmFieldRow::GetBlobEditKind();
  switch (BlobKind()) {
    case bkBlob:
      return bekBlob;
    case bkMemo:
      return bekMemo;
    case bkPict:
      return bekPict;
    case bkOle:
      return bekOle;
    case bkAuto:
      break;
  }
  switch (FField->DataType()) {
    case ftMemo:
    case ftFmtMemo:
      return bekMemo;
    case ftGraphic:
      return bekPict;
    case ftParadoxOle:
    case ftDBaseOle:
      return bekOle;
    default:
      return bekBlob;
  }
}

void TvmInspectorBlobRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* b = dynamic_cast<TvmInplaceBlobEdit*>(Edit);
  if (!FField || !b) {
    TvmFieldRow::LoadEditValue(Edit, Value);
    return;
  }
  b->SetBlobValue(FField->AsString());
  Value = Variant(b->BlobValue());
}

void TvmInspectorBlobRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* b = dynamic_cast<TvmInplaceBlobEdit*>(Edit);
  if (!FField || !b) {
    TvmFieldRow::ApplyEditValue(Edit, Value);
  } else if (BeginFieldEdit()) {
    Variant v;
    b->GetEditValue(v);
    WriteFieldValue(FField, v);
  }
  if (FField) Value = FField->Value();
}

void TvmInspectorDBGraphicRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* g = dynamic_cast<TvmInplaceGraphicEdit*>(Edit);
  if (!FField || !g) {
    TvmFieldRow::ApplyEditValue(Edit, Value);
  } else if (BeginFieldEdit()) {
    Variant v;
    g->GetEditValue(v);
    WriteFieldValue(FField, v);
  }
  if (FField) Value = FField->Value();
}

// ---------------------------------------------------------------------------------------------
// The lookup row.

void TvmInspectorLookupRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmFieldRow::InitEditor(Edit);
  auto* l = dynamic_cast<TvmInplaceLookupEdit*>(Edit);
  if (!l) return;
  l->SetClearKey(ClearKey);
  l->SetField(FField);
  l->SetListFieldName(ListFieldName);
  l->SetCanDeleteText(CanDeleteText);
  l->LookupCloseUpHook = [this](TObject*, Variant& Value, bool& Accept) {
    if (OnCloseUp) OnCloseUp(this, Value, Accept);
  };
}

void TvmInspectorLookupRow::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TvmInspectorLookupRow*>(Source);
  if (!s) {
    TvmFieldRow::Assign(Source);
    return;
  }
  auto* insp = Inspector();
  if (insp) insp->BeginUpdate();
  TScopeExit end([insp] {
    if (insp) insp->EndUpdate();
  });
  TvmInspectorDropDownRow::Assign(Source);
  ClearKey = s->ClearKey;
  ListFieldName = s->ListFieldName;
  ListFieldIndex = s->ListFieldIndex;
  CanDeleteText = s->CanDeleteText;
  SetFieldName(s->FieldName());
}

void TvmInspectorLookupRow::RestoreDefaults() {
  TvmFieldRow::RestoreDefaults();
  ListFieldName.clear();
  ListFieldIndex = 0;
}

// ---------------------------------------------------------------------------------------------
// Default row classes.

namespace {

constexpr int kTypedBinary = ftTypedBinary;
struct TRowClassTable {
  std::array<TvmDefaultRowClass, kTypedBinary + 1> ByType;
  TvmDefaultRowClass Lookup;
  TRowClassTable() { Reset(); }
  void Reset() {
    for (int t = 0; t <= kTypedBinary; ++t)
      ByType[static_cast<size_t>(t)] = {t == ftUnknown ? nullptr : TvmInspectorDBRow::StaticClass(), 0};
    Lookup = {};
  }
};

TRowClassTable& Table() {
  static TRowClassTable t;
  return t;
}

}  // namespace

const TvmDefaultRowClass& DefaultRowClassEntry(TFieldType Type, bool Lookup) {
  if (Lookup) return Table().Lookup;
  static const TvmDefaultRowClass none;
  return Type >= 0 && Type <= kTypedBinary ? Table().ByType[static_cast<size_t>(Type)] : none;
}

TvmInspectorRowClass GetDefaultRowClassForField(TField* Field) {
  if (!Field) return nullptr;
  return DefaultRowClassEntry(Field->DataType(), Field->Lookup()).RowClass;
}

void RegisterDefaultRowClasses(
    const std::function<void(TFieldType Type, bool Lookup, TvmDefaultRowClass& Entry)>& Proposal) {
  auto offer = [&](TFieldType t, bool lookup, TvmDefaultRowClass& entry) {
    TvmDefaultRowClass proposed = entry;
    Proposal(t, lookup, proposed);
    if (proposed.Priority > entry.Priority) entry = proposed;
  };
  for (int t = 0; t <= kTypedBinary; ++t)
    offer(static_cast<TFieldType>(t), false, Table().ByType[static_cast<size_t>(t)]);
  offer(ftUnknown, true, Table().Lookup);
}

void ResetDefaultRowClasses() { Table().Reset(); }

void RegisterDBInspectorRows() {
  RegisterClasses(
      {TvmInspectorDBRow::StaticClass(), TvmInspectorDBMaskRow::StaticClass(), TvmInspectorDBDateRow::StaticClass(),
       TvmInspectorLookupRow::StaticClass(), TvmInspectorDBCheckRow::StaticClass(),
       TvmInspectorDBCalcRow::StaticClass(), TvmInspectorDBButtonRow::StaticClass(),
       TvmInspectorDBSpinRow::StaticClass(), TvmInspectorDBPickRow::StaticClass(), TvmInspectorBlobRow::StaticClass(),
       TvmInspectorDBImageRow::StaticClass(), TvmInspectorDBTimeRow::StaticClass(),
       TvmInspectorDBCurrencyRow::StaticClass(), TvmInspectorDBHyperLinkRow::StaticClass(),
       TvmInspectorDBPopupRow::StaticClass(), TvmInspectorDBMRURow::StaticClass(), TvmInspectorDBMemoRow::StaticClass(),
       TvmInspectorDBGraphicRow::StaticClass(), TvmDBInspector::StaticClass()});
  RegisterDefaultRowClasses([](TFieldType t, bool lookup, TvmDefaultRowClass& e) {
    TvmInspectorRowClass c = TvmInspectorDBMaskRow::StaticClass();
    if (lookup) {
      c = TvmInspectorLookupRow::StaticClass();
    } else {
      switch (t) {
        case ftBoolean:
          c = TvmInspectorDBCheckRow::StaticClass();
          break;
        case ftCurrency:
        case ftBCD:
          c = TvmInspectorDBCurrencyRow::StaticClass();
          break;
        case ftDate:
        case ftDateTime:
          c = TvmInspectorDBDateRow::StaticClass();
          break;
        case ftTime:
          c = TvmInspectorDBTimeRow::StaticClass();
          break;
        case ftBytes:
        case ftVarBytes:
        case ftBlob:
        case ftFmtMemo:
        case ftParadoxOle:
        case ftDBaseOle:
        case ftTypedBinary:
          c = TvmInspectorBlobRow::StaticClass();
          break;
        case ftGraphic:
          c = TvmInspectorDBGraphicRow::StaticClass();
          break;
        case ftMemo:
          c = TvmInspectorDBMemoRow::StaticClass();
          break;
        default:
          break;
      }
    }
    e = {c, 1};
  });
}
