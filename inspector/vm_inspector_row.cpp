// The inspector's rows: the row component and its nodes.
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

VM_DEFINE_CLASS(TvmInspectorComplexRowItems)

TvmInspectorRow::TvmInspectorRow(TComponent* AOwner) : TComponent(AOwner) {}

TvmInspectorRow::~TvmInspectorRow() {
  if (FInspector) {
    TCustomvmInspectorControl* c = FInspector;
    c->RemoveRow(this);
  }
}

void TvmInspectorRow::EnsureViewData() {
  TvmInplaceEditClass cls = GetEditClass();
  if (!FViewData || FViewDataClass != cls) {
    FViewData.reset(cls->NewViewData());
    FViewDataClass = cls;
  }
}

void TvmInspectorRow::SetInspector(TCustomvmInspectorControl* Value) {
  if (Value == FInspector) return;
  if (FInspector) FInspector->RemoveRow(this);
  if (Value) Value->AddRow(this);
}

void TvmInspectorRow::Changed() {
  if (FInspector) FInspector->RowChanged(this);
}

void TvmInspectorRow::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Changed();
}

std::string TvmInspectorRow::GetCaption() {
  if (FCaptionSet) return FCaption;
  std::string s;
  GetDefaultCaption(s);
  return s;
}

void TvmInspectorRow::SetCaption(const std::string& Value) {
  if (FCaptionSet && FCaption == Value) return;
  FCaption = Value;
  FCaptionSet = true;
  Changed();
}

bool TvmInspectorRow::CaptionStored() {
  std::string d;
  GetDefaultCaption(d);
  return FCaptionSet && FCaption != d;
}

void TvmInspectorRow::SetCharCase(TEditCharCase Value) {
  if (Value == FCharCase) return;
  FCharCase = Value;
  Changed();
}

void TvmInspectorRow::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  Changed();
}

void TvmInspectorRow::SetIsCategory(bool Value) {
  if (Value == FIsCategory) return;
  FIsCategory = Value;
  Changed();
}

int TvmInspectorRow::GetMaxLength() { return FMaxLengthSet ? FMaxLength : GetDefaultMaxLength(); }

void TvmInspectorRow::SetMaxLength(int Value) {
  if (FMaxLengthSet && FMaxLength == Value) return;
  FMaxLength = Value;
  FMaxLengthSet = true;
  Changed();
}

bool TvmInspectorRow::GetReadOnly() {
  const bool r = FReadOnlySet ? FReadOnly : GetDefaultReadOnly();
  if (!r && FInspector) return FInspector->IsReadOnly();
  return r;
}

void TvmInspectorRow::SetReadOnly(bool Value) {
  if (FReadOnlySet && FReadOnly == Value) return;
  FReadOnly = Value;
  FReadOnlySet = true;
  Changed();
}

int TvmInspectorRow::GetDefaultRowHeight() {
  if (!FInspector) return 0;
  return FInspector->RowHeight() - (FIsCategory && FInspector->PaintStyle() == ipsCategorized ? 2 : 0);
}

int TvmInspectorRow::GetRowHeight() {
  const int d = GetDefaultRowHeight();
  return FRowHeightSet && FRowHeightValue >= d ? FRowHeightValue : d;
}

void TvmInspectorRow::SetRowHeight(int Value) {
  FRowHeightValue = Value;
  if (Value > GetDefaultRowHeight()) {
    FRowHeightSet = true;
  } else {
    FRowHeightValue = GetDefaultRowHeight();
    FRowHeightSet = false;
  }
  Changed();
}

void TvmInspectorRow::SetPasswordChar(char Value) {
  if (Value == FPasswordChar) return;
  FPasswordChar = Value;
  Changed();
}

void TvmInspectorRow::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (!Value)
    HideNode();
  else
    ShowNode();
  if (FInspector) {
    FInspector->RequestCustomizeRefresh();
    FInspector->CustomizeListChanged();
  }
}

void TvmInspectorRow::HideNode() {
  if (!FNode || !FInspector) return;
  TCustomvmInspectorControl* c = FInspector;
  TUpdateLock lock(c);
  for (int i = FNode->Count() - 1; i >= 0; --i) {
    auto* child = static_cast<TvmInspectorRowNode*>(FNode->Items(i));
    if (child->Row)
      child->Row->SetVisible(false);
    else
      delete child;
  }
  TvmInspectorRowNode* n = FNode;
  n->Row = nullptr;
  FNode = nullptr;
  delete n;
}

void TvmInspectorRow::ShowNode() {
  if (FNode || !FInspector) return;
  TCustomvmInspectorControl* c = FInspector;
  for (TvmInspectorRow* r : c->FRows)
    if (auto* cx = dynamic_cast<TvmInspectorComplexRow*>(r)) cx->RemoveRowFromItems(this);
  c->FCreatingNode = true;
  auto* n = static_cast<TvmInspectorRowNode*>(c->CreateNode());
  n->Row = this;
  FNode = n;
  n->InsertInto(nullptr, c->GetNodeCount());
  c->NodeCreated(n);
  c->FCreatingNode = false;
}

void TvmInspectorRow::EditChange(TObject* Sender) {
  if (FInspector && FInspector->IsInitializingEditor()) return;
  if (FInspector) FInspector->DoEditChange(this);
  if (OnChange) OnChange(this);
}

void TvmInspectorRow::DoDrawCaption(TCanvas* Canvas, const TRect& R, std::string& Text, TFont* Font, TColor& Color,
                                    bool& Done) {
  if (!OnDrawCaption) return;
  Color = Canvas->Brush()->Color();
  OnDrawCaption(this, Canvas, R, Text, Font, Color, Done);
  Canvas->Brush()->SetColor(Color);
}

void TvmInspectorRow::DoDrawValue(TCanvas* Canvas, const TRect& R, std::string& Text, TFont* Font, TColor& Color,
                                  bool& Done) {
  if (!OnDrawValue) return;
  Color = Canvas->Brush()->Color();
  OnDrawValue(this, Canvas, R, Text, Font, Color, Done);
  Canvas->Brush()->SetColor(Color);
}

void TvmInspectorRow::DoEdited() {
  if (FInspector && FInspector->OnEdited) FInspector->OnEdited(FInspector, FNode, this);
}

void TvmInspectorRow::DoValidate(TObject* Sender, std::string& ErrorText, bool& Accept) {
  if (FInspector && FInspector->IsInitializingEditor()) return;
  if (FInspector) FInspector->DoEditValidate(this, ErrorText, Accept);
  if (OnValidate) OnValidate(this, ErrorText, Accept);
}

int TvmInspectorRow::GetMinRowHeight(TCanvas* Canvas) { return Canvas->TextHeight("Wg") + 3; }

void TvmInspectorRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  if (dynamic_cast<TvmInplaceTextEdit*>(Edit)) SetEditText(Edit->GetWindowText());
  Value = EditText();
}

void TvmInspectorRow::InitEditor(TvmInplaceEdit* Edit) {
  Edit->SetReadOnly(GetReadOnly());
  Edit->OnChange = [this](TObject* S) { EditChange(S); };
  Edit->OnValidate = [this](TObject* S, std::string& E, bool& A) { DoValidate(S, E, A); };
  if (auto* t = dynamic_cast<TvmInplaceTextEdit*>(Edit)) {
    t->SetCharCase(FCharCase);
    t->SetMaxLength(GetMaxLength());
    t->SetPasswordChar(FPasswordChar);
    if (t->HandleAllocated()) t->ClearUndo();
  }
}

void TvmInspectorRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  Edit->SetEditValue(EditText());
  Value = Edit->GetWindowText();
}

bool TvmInspectorRow::IsValueUnchanged(const Variant& Value) {
  return FInspector ? FInspector->IsRowValueUnchanged(Value, this) : false;
}

bool TvmInspectorRow::IsTextClipped(bool ForValue, const TRect& R, std::string& Text) {
  if (!FInspector || !FInspector->HandleAllocated()) return false;
  Text = ForValue ? EditText() : GetCaption();
  TCanvas* c = FInspector->Canvas();
  c->Font()->Assign(FInspector->Font());
  if (FIsCategory) c->Font()->SetStyle({fsBold});
  return c->TextWidth(Text) > R.Width();
}

void TvmInspectorRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  VD->IsEnabled = true;
  VD->IsFocused = false;
  VD->IsHot = CellInfo.Hot;
  VD->BorderColor = clWindowFrame;
  const bool cat = FInspector && FInspector->PaintStyle() == ipsCategorized;
  VD->BorderStyle = cat && (CellInfo.Hot || (FNode && FNode->Focused())) ? xbsFlat : xbsNone;
  VD->ButtonStyle = cat || (FInspector && FInspector->Flat()) ? btsFlat : bts3D;
  VD->ButtonsTransparent = false;
  VD->ShowFocusRect = false;
  VD->Edges = AllEdges;
  VD->Shadow = false;
  VD->OpaqueText = false;
  VD->IsTransparent = false;
  VD->ContentOffsets = {1, 0, 0, 0};
  VD->Bounds = CellInfo.Bounds;
  VD->TextLayout = 0;
  if (CellInfo.Font) VD->Font->Assign(CellInfo.Font);
  VD->Brush = CellInfo.Brush;
  VD->BkColor = CellInfo.BkColor;
  VD->TextColor = CellInfo.TextColor;
  VD->Alignment = CellInfo.Alignment;
  VD->Value = CellInfo.Text;
  VD->TextLength = CellInfo.DataLength;
  VD->IsTextEditor = true;
  VD->MeasureOnly = false;
  if (auto* t = dynamic_cast<TvmTextEditViewData*>(VD)) {
    t->CharCase = FCharCase;
    t->EllipsisAtEnd = CellInfo.EndEllipsis;
    t->PasswordChar = FPasswordChar;
  }
}

void TvmInspectorRow::RestoreDefaults() {
  FCaptionSet = FReadOnlySet = FMaxLengthSet = FRowHeightSet = false;
  FAlignment = taLeftJustify;
  ShowHint = false;
  FIsCategory = false;
  FCharCase = ecNormal;
  FRowHeightValue = 0;
}

void TvmInspectorRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TvmInspectorRow*>(Source);
  if (!src) {
    TComponent::Assign(Source);
    return;
  }
  if (FInspector) FInspector->BeginUpdate();
  RestoreDefaults();
  FAlignment = src->FAlignment;
  if (src->FCaptionSet) SetCaption(src->FCaption);
  if (src->FReadOnlySet) SetReadOnly(src->FReadOnly);
  if (src->FMaxLengthSet) SetMaxLength(src->FMaxLength);
  if (src->FRowHeightSet) SetRowHeight(src->FRowHeightValue);
  Hint = src->Hint;
  ShowHint = src->ShowHint;
  FIsCategory = src->FIsCategory;
  FCharCase = src->FCharCase;
  FPasswordChar = src->FPasswordChar;
  FImageIndex = src->FImageIndex;
  SetVisible(src->FVisible);
  if (FInspector) FInspector->EndUpdate();
}

void TvmInspectorTextRow::SetText(const std::string& Value) {
  FText = Value;
  Changed();
}

void TvmInspectorTextRow::SetEditText(const std::string& S) {
  if (S == FText) return;
  FText = S;
  Changed();
}

void TvmInspectorTextRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  if (auto* t = dynamic_cast<TvmInspectorTextRow*>(Source)) FText = t->FText;
}
