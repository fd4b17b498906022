// Bands, columns and the tree list built from them.
#include "treelist/tl_control.h"

#include <algorithm>
#include <cstdio>

#include "inspector/vm_utils.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/inifiles.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

// ---------------------------------------------------------------------------------------------
// Bands.

TvmTreeListBand::TvmTreeListBand(TCollection* Collection) : TCollectionItem(Collection) {}

TvmTreeListBand::~TvmTreeListBand() {
  // Columns follow the bands: those of this band lose it, those of later bands move down one.
  TCustomvmTreeListControl* tl = TreeList();
  if (!tl || tl->IsDestroying()) return;
  int me = Index();
  for (TvmTreeListColumn* c : tl->FColumns) {
    if (c->FBandIndex == me)
      c->FBandIndex = -1;
    else if (c->FBandIndex > me)
      --c->FBandIndex;
  }
}

TCustomvmTreeListControl* TvmTreeListBand::TreeList() const {
  auto* b = dynamic_cast<TvmTreeListBands*>(Collection());
  return b ? b->TreeList() : nullptr;
}

int TvmTreeListBand::VisibleIndex() const {
  auto* b = dynamic_cast<TvmTreeListBands*>(Collection());
  return b && b->TreeList() ? b->GetVisibleIndex(Index()) : -1;
}

int TvmTreeListBand::UsedRowCount() const {
  TCustomvmTreeListControl* tl = TreeList();
  if (!tl) return 0;
  int used = 0;
  for (int i = 0; i < tl->ColumnCount(); ++i) {
    TvmTreeListColumn* c = tl->Columns(i);
    if (c->Visible() && c->BandIndex() == Index()) used = std::max(used, c->RowIndex() + 1);
  }
  return used;
}

int TvmTreeListBand::GetRowColumnCount(int Row) const {
  TCustomvmTreeListControl* tl = TreeList();
  const int v = VisibleIndex();
  return tl && v >= 0 ? tl->GetHeaderRowColumnCount(v, Row) : 0;
}

TvmTreeListColumn* TvmTreeListBand::GetRowColumn(int Row, int Position) const {
  TCustomvmTreeListControl* tl = TreeList();
  const int v = VisibleIndex();
  if (!tl || v < 0) return nullptr;
  const int c = tl->GetHeaderColumn(v, Row, Position);
  return c >= 0 && c < tl->ColumnCount() ? tl->Columns(c) : nullptr;
}

void TvmTreeListBand::SetAlignment(TAlignment Value) {
  if (StoreChanged(FAlignment, Value)) Changed(false);
}

void TvmTreeListBand::SetCaption(const std::string& Value) {
  if (StoreChanged(FCaption, Value)) Changed(false);
}

void TvmTreeListBand::SetSizing(bool Value) {
  if (StoreChanged(FSizing, Value)) Changed(false);
}

void TvmTreeListBand::SetMinWidth(int Value) {
  FMinWidth = std::max(Value, 0);
  int w = FWidth;
  FWidth = -1;
  SetWidth(w);
}

void TvmTreeListBand::SetWidth(int Value) {
  Value = std::max(Value, FMinWidth);
  if (Value == FWidth) {
    if (TreeList() && TreeList()->ExtendedOptions().Contains(tlxBands)) Changed(false);
    return;
  }
  FWidth = Value;
  Changed(false);
}

void TvmTreeListBand::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (!Value) FFixed = bfNone;
  Changed(true);
}

void TvmTreeListBand::SetFixed(TzoViraBandFixed Value) {
  if (Value == FFixed) return;
  FFixed = bfNone;
  auto* bands = dynamic_cast<TvmTreeListBands*>(Collection());
  if (Value != bfNone && bands) {
    bands->BeginUpdate();
    for (int i = 0; i < bands->Count(); ++i)
      if (bands->Items(i) != this && bands->Items(i)->FFixed == Value) bands->Items(i)->FFixed = bfNone;
    if (FVisible) TCollectionItem::SetIndex(Value == bfLeft ? 0 : bands->Count() - 1);
    bands->EndUpdate();
  }
  if (FVisible) FFixed = Value;
  Changed(false);
}

void TvmTreeListBand::SetIndex(int Value) {
  TCollection* c = Collection();
  if (!c) return;
  Value = std::clamp(Value, 0, c->Count() - 1);
  int old = Index();
  if (FFixed != bfNone || Value == old) return;
  if (TCustomvmTreeListControl* tl = TreeList()) {
    for (TvmTreeListColumn* col : tl->FColumns)
      if (col->FBandIndex == old) col->FBandIndex = -2;
    int step = Value > old ? 1 : -1;
    for (int b = old + step; b != Value + step; b += step)
      for (TvmTreeListColumn* col : tl->FColumns)
        if (col->FBandIndex == b) col->FBandIndex = b - step;
    for (TvmTreeListColumn* col : tl->FColumns)
      if (col->FBandIndex == -2) col->FBandIndex = Value;
  }
  TCollectionItem::SetIndex(Value);
}

void TvmTreeListBand::RestoreDefaults() {
  FAlignment = taCenter;
  FFixed = bfNone;
  FMinWidth = 30;
  OnlyOwnColumns = false;
  FSizing = true;
  FWidth = 250;
  Changed(false);
}

void TvmTreeListBand::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TvmTreeListBand*>(Source);
  if (!s) {
    TCollectionItem::Assign(Source);
    return;
  }
  if (Collection()) Collection()->BeginUpdate();
  TScopeExit end([this] {
    if (Collection()) Collection()->EndUpdate();
  });
  RestoreDefaults();
  SetAlignment(s->FAlignment);
  SetCaption(s->FCaption);
  SetFixed(s->FFixed);
  SetMinWidth(s->FMinWidth);
  OnlyOwnColumns = s->OnlyOwnColumns;
  SetSizing(s->FSizing);
  SetVisible(s->FVisible);
  SetWidth(s->FWidth);
}

VM_DEFINE_CLASS(TvmTreeListBands)

TvmTreeListBands::TvmTreeListBands(TCustomvmTreeListControl* AOwner)
    : TCollection(TvmTreeListBand::StaticClass()), FTreeList(nullptr) {
  // The first band joins before the control is linked, so it costs no layout work.
  Add();
  FTreeList = AOwner;
}

TPersistent* TvmTreeListBands::GetOwner() { return FTreeList; }

int TvmTreeListBands::VisibleCount() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i) n += Items(i)->Visible() ? 1 : 0;
  return n;
}

int TvmTreeListBands::GetAbsoluteIndex(int Position) const {
  if (Position < 0) return -1;
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Visible() && Position-- == 0) return i;
  return -1;
}

TvmTreeListBand* TvmTreeListBands::VisibleItems(int Position) const {
  int i = GetAbsoluteIndex(Position);
  return i < 0 ? nullptr : Items(i);
}

int TvmTreeListBands::GetVisibleIndex(int Index) const {
  if (Index < 0 || Index >= Count() || !Items(Index)->Visible()) return -1;
  int n = 0;
  for (int i = 0; i < Index; ++i) n += Items(i)->Visible() ? 1 : 0;
  return n;
}

void TvmTreeListBands::CheckFixedBands() {
  int firstLeft = -1, firstRight = -1, firstVisible = -1, lastVisible = -1;
  bool second = false;
  for (int i = 0; i < Count(); ++i) {
    TvmTreeListBand* b = Items(i);
    if (b->Visible()) {
      if (firstVisible < 0) firstVisible = i;
      lastVisible = i;
    }
    if (b->FFixed == bfLeft) (firstLeft < 0 ? firstLeft = i : (second = true, 0));
    if (b->FFixed == bfRight) (firstRight < 0 ? firstRight = i : (second = true, 0));
  }
  bool ok = !second && (firstLeft < 0 || firstLeft == firstVisible) && (firstRight < 0 || firstRight == lastVisible);
  if (ok) return;
  TvmTreeListBand* l = firstLeft >= 0 ? Items(firstLeft) : nullptr;
  TvmTreeListBand* r = firstRight >= 0 ? Items(firstRight) : nullptr;
  for (int i = 0; i < Count(); ++i) Items(i)->FFixed = bfNone;
  BeginUpdate();
  if (l) l->SetFixed(bfLeft);
  if (r) r->SetFixed(bfRight);
  EndUpdate();
}

void TvmTreeListBands::Update(TCollectionItem*) {
  if (!FTreeList) return;
  if (Count() != 1) FTreeList->FDefaultLayout = false;
  if (FTreeList->ComponentState().Contains(csLoading)) return;
  FTreeList->FBandListsValid = false;
  FTreeList->ClearVisibleCache();
  CheckFixedBands();
  FTreeList->BandsChanged();
}

// ---------------------------------------------------------------------------------------------
// Columns.

TvmTreeListColumn::TvmTreeListColumn(TComponent* AOwner) : TComponent(AOwner) {}

TvmTreeListColumn::~TvmTreeListColumn() {
  if (FTreeList) {
    TCustomvmTreeListControl* tl = FTreeList;
    if (!tl->IsDestroying()) {
      int i = Index();
      tl->BeginUpdate();
      for (TvmTreeListNode* n = tl->GetFirstNode(); n; n = n->GetNextSibling()) tl->RemoveColumnValue(n, i);
      tl->DetachColumn(this);
      tl->EndUpdate();
    } else {
      tl->DetachColumn(this);
    }
  }
}

int TvmTreeListColumn::Index() const {
  if (!FTreeList) return -1;
  auto& v = FTreeList->FColumns;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TvmTreeListColumn::Changed(bool Full) {
  if (FTreeList) FTreeList->ColumnsChanged(Full ? nullptr : this);
}

TColor TvmTreeListColumn::Color() const {
  if (FAssignedValues.Contains(cvColor)) return FColor;
  return TreeList() ? TreeList()->Color() : clWindow;
}
void TvmTreeListColumn::SetColor(TColor Value) {
  FColor = Value;
  FAssignedValues.Include(cvColor);
  Changed(false);
}

TFont* TvmTreeListColumn::Font() {
  if (!FFont) {
    FFont = std::make_unique<TFont>();
    // A change made through the column's font makes it the column's own (a stream reading
    // "Font.Color" included); copying the control's font in does not.
    FFont->OnChange = [this](TObject*) {
      if (FFollowingFont) return;
      FAssignedValues.Include(cvFont);
      Changed(true);
    };
  }
  if (!FAssignedValues.Contains(cvFont) && TreeList()) {
    FFollowingFont = true;
    FFont->Assign(TreeList()->Font());
    FFollowingFont = false;
  }
  return FFont.get();
}
void TvmTreeListColumn::SetFont(TFont* Value) {
  Font();
  if (Value) FFont->Assign(Value);
  FAssignedValues.Include(cvFont);
  Changed(false);
}

TAlignment TvmTreeListColumn::Alignment() const {
  return FAssignedValues.Contains(cvAlignment) ? FAlignment : GetDefaultAlignment();
}
void TvmTreeListColumn::SetCharCase(TEditCharCase Value) {
  FCharCase = Value;
  Changed(true);
}

int TvmTreeListColumn::MaxLength() const {
  return FAssignedValues.Contains(cvMaxLength) ? FMaxLength : GetDefaultMaxLength();
}
void TvmTreeListColumn::SetMaxLength(int Value) {
  FMaxLength = std::max(Value, 0);
  FAssignedValues.Include(cvMaxLength);
  Changed(false);
}

void TvmTreeListColumn::SetOEMConvert(bool Value) {
  FOEMConvert = Value;
  Changed(false);
}

void TvmTreeListColumn::SetPasswordChar(char Value) {
  FPasswordChar = Value;
  Changed(false);
}

void TvmTreeListColumn::SetVertAlignment(TTextLayout Value) {
  FVertAlignment = Value;
  Changed(false);
}

TBitmap* TvmTreeListColumn::HeaderGlyph() {
  if (!FHeaderGlyph) FHeaderGlyph = std::make_unique<TBitmap>();
  return FHeaderGlyph.get();
}
void TvmTreeListColumn::SetHeaderGlyph(TBitmap* Value) {
  if (!Value)
    FHeaderGlyph.reset();
  else
    HeaderGlyph()->Assign(Value);
  Changed(true);
}

void TvmTreeListColumn::SetDisableFilterButton(bool Value) {
  FDisableFilterButton = Value;
  Changed(true);
}

bool TvmTreeListColumn::CanHeaderHotTrack(int, int, int&) {
  return !FDisableFilterButton && !ComponentState().Contains(csDesigning);
}

void TvmTreeListColumn::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  FAssignedValues.Include(cvAlignment);
  Changed(false);
}

std::string TvmTreeListColumn::Caption() const {
  return FAssignedValues.Contains(cvCaption) ? FCaption : GetDefaultCaption();
}
void TvmTreeListColumn::SetCaption(const std::string& Value) {
  FCaption = Value;
  FAssignedValues.Include(cvCaption);
  if (!FAssignedValues.Contains(cvWidth)) FWidth = std::max(GetDefaultWidth(), FMinWidth);
  Changed(false);
}

bool TvmTreeListColumn::ReadOnly() const {
  bool v = FAssignedValues.Contains(cvReadOnly) ? FReadOnly : false;
  return v || (FTreeList && FTreeList->TCustomvmContainer::IsReadOnly());
}
void TvmTreeListColumn::SetReadOnly(bool Value) {
  FReadOnly = Value;
  FAssignedValues.Include(cvReadOnly);
  Changed(false);
}

int TvmTreeListColumn::Width() const {
  return FAssignedValues.Contains(cvWidth) ? FWidth : std::max(GetDefaultWidth(), FMinWidth);
}
void TvmTreeListColumn::SetWidth(int Value) {
  Value = std::max(Value, FMinWidth);
  if (FAssignedValues.Contains(cvWidth) || Value != GetDefaultWidth()) FAssignedValues.Include(cvWidth);
  FWidth = Value;
  Changed(false);
}

void TvmTreeListColumn::SetMinWidth(int Value) {
  FMinWidth = std::max(Value, 0);
  if (FAssignedValues.Contains(cvWidth)) FWidth = std::max(FWidth, FMinWidth);
  Changed(false);
}

void TvmTreeListColumn::SetSizing(bool Value) {
  FSizing = Value;
  Changed(false);
}

void TvmTreeListColumn::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed(false);
}

void TvmTreeListColumn::SetBandIndex(int Value) {
  int count = FTreeList ? FTreeList->Bands()->Count() : 1 << 30;
  Value = std::clamp(Value, -1, count - 1);
  if (Value == FBandIndex) return;
  FBandIndex = Value;
  Changed(false);
}

int TvmTreeListColumn::RowIndex() const {
  if (!FTreeList) return FRowIndex;
  return std::min(FStoredRowIndex, FTreeList->GetHeaderRowCount() - 1);
}

void TvmTreeListColumn::SetRowIndex(int Value) {
  if (!FTreeList) {
    FRowIndex = FStoredRowIndex = std::max(0, Value);
    return;
  }
  Value = std::clamp(Value, 0, FTreeList->GetHeaderRowCount() - 1);
  if (Value == RowIndex()) return;
  FRowIndex = FStoredRowIndex = Value;
  Changed(false);
}

int TvmTreeListColumn::ColIndex() const {
  if (!FTreeList || FBandIndex < 0) return -1;
  int n = 0, row = RowIndex();
  for (TvmTreeListColumn* c : FTreeList->FColumns) {
    if (c == this) return FVisible ? n : -1;
    if (c->FVisible && c->FBandIndex == FBandIndex && c->RowIndex() == row) ++n;
  }
  return -1;
}

void TvmTreeListColumn::SetColIndex(int Value) {
  if (!FTreeList || FBandIndex < 0 || Value == ColIndex()) return;
  std::vector<TvmTreeListColumn*> row;
  for (TvmTreeListColumn* c : FTreeList->FColumns)
    if (c->FVisible && c->FBandIndex == FBandIndex && c->RowIndex() == RowIndex()) row.push_back(c);
  if (row.empty()) return;
  Value = std::clamp(Value, 0, static_cast<int>(row.size()) - 1);
  TvmTreeListColumn* target = row[Value];
  if (target == this) return;
  int to = target->Index();
  int from = Index();
  if (Value == static_cast<int>(row.size()) - 1 && to < from) ++to;
  if (to > from && Value != static_cast<int>(row.size()) - 1) --to;
  SetIndex(std::clamp(to, 0, FTreeList->ColumnCount() - 1));
}

void TvmTreeListColumn::SetIndex(int NewIndex) {
  if (!FTreeList) return;
  int old = Index();
  NewIndex = std::clamp(NewIndex, 0, FTreeList->ColumnCount() - 1);
  if (NewIndex == old) return;
  FTreeList->MoveColumnValues(old, NewIndex);
  auto& v = FTreeList->FColumns;
  v.erase(v.begin() + old);
  v.insert(v.begin() + NewIndex, this);
  FTreeList->ColumnsChanged(nullptr);
}

void TvmTreeListColumn::SetSorted(TvmTreeListColumnSort Value) {
  if (Value == FSorted) return;
  if (!FTreeList || ComponentState().Contains(csLoading)) {
    FSorted = Value;
    Changed(false);
    return;
  }
  if (Value != csNone) {
    FTreeList->BeginUpdate();
    TScopeExit end([this] { FTreeList->EndUpdate(); });
    FTreeList->BeforeColumnSort(this);
    FSorted = Value;
    FTreeList->ColumnSortedChanged(this);
  } else {
    FTreeList->BeginSortLock();
    TScopeExit end([this] { FTreeList->EndSortLock(); });
    FSorted = Value;
    auto& s = FTreeList->FSortedColumns;
    s.erase(std::remove(s.begin(), s.end(), this), s.end());
    Changed(false);
  }
}

void TvmTreeListColumn::GetDisplayText(TvmTreeListNode* Node, std::string& Text) {
  Text = FTreeList ? FTreeList->GetNodeString(Node, GetDataIndex()) : std::string();
}

int TvmTreeListColumn::GetBestFitWidth(TCanvas* Canvas, TvmTreeListNode* Node) {
  std::string t;
  GetDisplayText(Node, t);
  return Canvas->TextWidth(ApplyCharCase(t, FCharCase));
}

void TvmTreeListColumn::RestoreDefaults() {
  FAssignedValues = TvmTreeListColumnValues();
  DisableEditor = DisableCaption = DisableCustomizing = false;
  HeaderAlignment = taLeftJustify;
  FMinWidth = 20;
  FWidth = GetDefaultWidth();
  FSizing = true;
  FSorted = csNone;
  FTabStop = true;
  FVertAlignment = tlTop;
  Changed(true);
}

void TvmTreeListColumn::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TvmTreeListColumn*>(Source);
  if (!s) {
    TComponent::Assign(Source);
    return;
  }
  if (FTreeList) FTreeList->BeginUpdate();
  TScopeExit end([this] {
    if (FTreeList) FTreeList->EndUpdate();
  });
  RestoreDefaults();
  if (s->FAssignedValues.Contains(cvAlignment)) SetAlignment(s->FAlignment);
  if (s->FAssignedValues.Contains(cvCaption)) SetCaption(s->FCaption);
  if (s->FAssignedValues.Contains(cvReadOnly)) SetReadOnly(s->FReadOnly);
  if (s->FAssignedValues.Contains(cvWidth)) SetWidth(s->FWidth);
  DisableCaption = s->DisableCaption;
  DisableCustomizing = s->DisableCustomizing;
  DisableEditor = s->DisableEditor;
  FDisableFilterButton = s->FDisableFilterButton;
  HeaderAlignment = s->HeaderAlignment;
  if (s->FHeaderGlyph) SetHeaderGlyph(s->FHeaderGlyph.get());
  if (s->FAssignedValues.Contains(cvMaxLength)) SetMaxLength(s->FMaxLength);
  FCharCase = s->FCharCase;
  FOEMConvert = s->FOEMConvert;
  FPasswordChar = s->FPasswordChar;
  FVertAlignment = s->FVertAlignment;
  FHeaderMaxLineCount = s->FHeaderMaxLineCount;
  SetMinWidth(s->FMinWidth);
  SetSizing(s->FSizing);
  SetSorted(s->FSorted);
  SetVisible(s->FVisible);
  FTabStop = s->FTabStop;
  SetBandIndex(s->FBandIndex);
  SetRowIndex(s->FStoredRowIndex);
  SetColIndex(s->ColIndex());
}

TComponent* TvmTreeListColumn::GetParentComponent() const { return FTreeList; }

void TvmTreeListColumn::InitEditor(TvmInplaceEdit* Editor) {
  Editor->SetReadOnly(ReadOnly());
  Editor->OnChange = [this](TObject* Sender) { DoChange(Sender); };
  Editor->OnValidate = [this](TObject* Sender, std::string& Error, bool& Accept) { DoValidate(Sender, Error, Accept); };
  if (auto* t = dynamic_cast<TvmInplaceTextEdit*>(Editor)) {
    t->SetCharCase(FCharCase);
    t->SetMaxLength(MaxLength());
    t->SetOEMConvert(FOEMConvert);
    t->SetPasswordChar(FPasswordChar);
  }
}

void TvmTreeListColumn::DoChange(TObject* Sender) {
  if (FTreeList && FTreeList->InitializingEditor()) return;
  if (OnChange) OnChange(Sender);
}

void TvmTreeListColumn::DoValidate(TObject* Sender, std::string& ErrorText, bool& Accept) {
  if (FTreeList && FTreeList->InitializingEditor()) return;
  if (OnValidate) OnValidate(Sender, ErrorText, Accept);
}

void TvmTreeListMaskColumn::InitEditor(TvmInplaceEdit* Editor) {
  TvmTreeListColumn::InitEditor(Editor);
  if (auto* m = dynamic_cast<TvmInplaceMaskEdit*>(Editor)) {
    m->SetEditMask(EditMask);
    m->SetIgnoreMaskBlank(IgnoreMaskBlank);
  }
}

void TvmTreeListMaskColumn::RestoreDefaults() {
  TvmTreeListColumn::RestoreDefaults();
  EditMask.clear();
}

void TvmTreeListMaskColumn::Assign(TPersistent* Source) {
  TvmTreeListColumn::Assign(Source);
  if (auto* m = dynamic_cast<TvmTreeListMaskColumn*>(Source)) EditMask = m->EditMask;
}

void TvmTreeListColumn::SetParentComponent(TComponent* Value) {
  auto* tl = dynamic_cast<TCustomvmTreeListControl*>(Value);
  if (tl == FTreeList) return;
  if (FTreeList) FTreeList->DetachColumn(this);
  if (tl) tl->AttachColumn(this);
}

// ---------------------------------------------------------------------------------------------
// The control.

TCustomvmTreeListControl::TCustomvmTreeListControl(TComponent* AOwner)
    : TCustomvmTreeList(AOwner), FBands(std::make_unique<TvmTreeListBands>(this)) {}

TCustomvmTreeListControl::~TCustomvmTreeListControl() {
  // The arrangement is stored once, on the way out, when the control was asked to.
  if (!FLayoutSaved && !ComponentState().Contains(csDesigning)) {
    FLayoutSaved = true;
    try {
      if (FOptions.Contains(tloStoreToRegistry) && !RegistryPath.empty()) SaveToRegistry(RegistryPath);
      if (FOptions.Contains(tloStoreToIniFile) && !IniFileName.empty()) SaveToIniFile(IniFileName);
    } catch (const Exception&) {
      // A store that cannot be written loses the arrangement, never the program.
    }
  }
  FDestroying = true;
  DeleteAllNodes();
  for (TvmTreeListColumn* c : FColumns) c->FTreeList = nullptr;
  FColumns.clear();
  FSortedColumns.clear();
  FBands.reset();
}

TvmTreeListColumn* TCustomvmTreeListControl::Columns(int Index) const {
  if (Index < 0 || Index >= ColumnCount()) throw ERangeError(Format("List index out of bounds (%d)", {Index}));
  return FColumns[Index];
}

TvmTreeListColumn* TCustomvmTreeListControl::CreateColumn(const TComponentMetaClass* ColumnClass) {
  TvmTreeListColumn* c = nullptr;
  if (ColumnClass) c = dynamic_cast<TvmTreeListColumn*>(ColumnClass->Create(this));
  if (!c) c = new TvmTreeListColumn(this);
  for (int n = ColumnCount() + 1;; ++n) {
    std::string name = Name() + "Column" + std::to_string(n);
    if (!FindComponent(name)) {
      c->SetName(name);
      break;
    }
  }
  AttachColumn(c);
  return c;
}

TvmTreeListColumn* TCustomvmTreeListControl::ColumnByName(const std::string& Name) const {
  for (TvmTreeListColumn* c : FColumns)
    if (CompareText(c->Name(), Name) == 0) return c;
  return nullptr;
}

void TCustomvmTreeListControl::AttachColumn(TvmTreeListColumn* Column) {
  Column->FTreeList = this;
  Column->FBandIndex = std::clamp(Column->FBandIndex, -1, FBands->Count() - 1);
  FColumns.push_back(Column);
  if (Column->FSorted != csNone) FSortedColumns.push_back(Column);
  ColumnsChanged(nullptr);
}

void TCustomvmTreeListControl::DetachColumn(TvmTreeListColumn* Column) {
  FColumns.erase(std::remove(FColumns.begin(), FColumns.end(), Column), FColumns.end());
  FSortedColumns.erase(std::remove(FSortedColumns.begin(), FSortedColumns.end(), Column), FSortedColumns.end());
  Column->FTreeList = nullptr;
  if (!FDestroying) ColumnsChanged(nullptr);
}

void TCustomvmTreeListControl::SetHeaderPanelRowCount(int Value) {
  Value = std::clamp(Value, 1, FHeaderPanelMaxRowCount);
  if (Value == FHeaderPanelRowCount) return;
  FExtendedOptions.Exclude(tlxAutoHeaderRowCount);
  FHeaderPanelRowCount = Value;
  if (Value > 1) FDefaultLayout = false;
  ColumnsChanged(nullptr);
}

void TCustomvmTreeListControl::SetBandRowCount(int Value) {
  Value = std::clamp(Value, 1, FBandMaxRowCount);
  if (Value == FBandRowCount) return;
  FBandRowCount = Value;
  LayoutChanged();
}

void TCustomvmTreeListControl::SetHeaderPanelMaxRowCount(int Value) {
  FHeaderPanelMaxRowCount = std::max(Value, 1);
  if (FHeaderPanelRowCount > FHeaderPanelMaxRowCount) {
    FHeaderPanelRowCount = FHeaderPanelMaxRowCount;
    ColumnsChanged(nullptr);
  }
}

void TCustomvmTreeListControl::SetBandMaxRowCount(int Value) {
  FBandMaxRowCount = std::max(Value, 1);
  SetBandRowCount(FBandRowCount);
}

void TCustomvmTreeListControl::SetHeaderMinRowCount(int Value) {
  Value = std::max(Value, 1);
  if (Value == FHeaderMinRowCount) return;
  FHeaderMinRowCount = Value;
  LayoutChanged();
}

void TCustomvmTreeListControl::DestroyColumns() {
  while (ColumnCount() > 0) delete FColumns.back();
}

void TCustomvmTreeListControl::AssignColumns(TCustomvmTreeListControl* Source) {
  if (!Source || Source == this) return;
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TComponent* owner = ColumnCount() > 0 && FColumns[0]->Owner() ? FColumns[0]->Owner() : this;
  DestroyColumns();
  for (int i = 0; i < Source->ColumnCount(); ++i) {
    TvmTreeListColumn* s = Source->Columns(i);
    const auto* cls = dynamic_cast<const TComponentMetaClass*>(s->ClassType());
    auto* c = cls ? dynamic_cast<TvmTreeListColumn*>(cls->Create(owner)) : nullptr;
    if (!c) c = new TvmTreeListColumn(owner);
    AttachColumn(c);
    c->Assign(s);
    if (!s->Name().empty() && (!owner->FindComponent(s->Name()) || owner->FindComponent(s->Name()) == c))
      c->SetName(s->Name());
  }
}

void TCustomvmTreeListControl::SetDefaultLayout(bool Value) {
  if (Value == FDefaultLayout) return;
  FDefaultLayout = Value;
  if (!Value) return;
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  SetShowBandPanel(false);
  FHeaderPanelRowCount = 1;
  FBands->BeginUpdate();
  while (FBands->Count() > 1) delete FBands->Items(FBands->Count() - 1);
  if (FBands->Count() == 0) FBands->Add();
  FBands->Items(0)->FVisible = true;
  FBands->EndUpdate();
  for (TvmTreeListColumn* c : FColumns) c->FBandIndex = 0;
  FDefaultLayout = true;
}

void TCustomvmTreeListControl::AdjustHeaderPanelRowCount() {
  // With the automatic option the header has as many rows as the shown columns ask for.
  if (!FExtendedOptions.Contains(tlxAutoHeaderRowCount)) return;
  int rows = 0;
  bool any = false;
  for (TvmTreeListColumn* c : FColumns) {
    bool shown = c->Visible() && c->BandIndex() >= 0 && c->BandIndex() < FBands->Count() &&
                 FBands->Items(c->BandIndex())->Visible();
    if (!shown) continue;
    any = true;
    rows = std::max(rows, c->StoredRowIndex() + 1);
  }
  if (any) FHeaderPanelRowCount = std::clamp(rows, 1, FHeaderPanelMaxRowCount);
}

void TCustomvmTreeListControl::BandsChanged() {
  FBandListsValid = false;
  AdjustHeaderPanelRowCount();
  LayoutChanged();
}

void TCustomvmTreeListControl::ColumnsChanged(TvmTreeListColumn*) {
  FBandListsValid = false;
  FFocusedAbsoluteColumn = -1;
  if (FDestroying) return;
  AdjustHeaderPanelRowCount();
  LayoutChanged();
}

void TCustomvmTreeListControl::RebuildBandLists() {
  if (FBandListsValid) return;
  FVisibleBands.clear();
  FBandRows.clear();
  int rows = GetHeaderRowCount();
  for (int i = 0; i < FBands->Count(); ++i)
    if (FBands->Items(i)->Visible()) FVisibleBands.push_back(i);
  FBandRows.assign(FVisibleBands.size(), std::vector<std::vector<int>>(rows));
  for (size_t ci = 0; ci < FColumns.size(); ++ci) {
    TvmTreeListColumn* c = FColumns[ci];
    if (!c->FVisible || c->FBandIndex < 0) continue;
    auto it = std::find(FVisibleBands.begin(), FVisibleBands.end(), c->FBandIndex);
    if (it == FVisibleBands.end()) continue;
    FBandRows[it - FVisibleBands.begin()][c->RowIndex()].push_back(static_cast<int>(ci));
  }
  FBandListsValid = true;
}

int TCustomvmTreeListControl::GetVisibleBandCount() {
  RebuildBandLists();
  return static_cast<int>(FVisibleBands.size());
}

int TCustomvmTreeListControl::GetBandAbsoluteIndex(int VisibleIndex) {
  RebuildBandLists();
  return VisibleIndex >= 0 && VisibleIndex < static_cast<int>(FVisibleBands.size()) ? FVisibleBands[VisibleIndex] : -1;
}

int TCustomvmTreeListControl::GetBandMinWidth(int VisibleIndex) {
  int b = GetBandAbsoluteIndex(VisibleIndex);
  if (b < 0) return 0;
  TvmTreeListBand* band = FBands->Items(b);
  int m = band->Sizing() ? band->MinWidth() : band->Width();
  for (const auto& row : FBandRows[VisibleIndex]) {
    int s = 0;
    for (int c : row) s += FColumns[c]->MinWidth();
    m = std::max(m, s);
  }
  return m;
}

namespace {
// a * b / c rounded to the nearest integer (0 for c = 0).
int MulDivRound(int64_t A, int64_t B, int64_t C) {
  if (C == 0) return 0;
  int64_t p = A * B;
  return static_cast<int>(p >= 0 ? (p + C / 2) / C : (p - C / 2) / C);
}
}  // namespace

int TCustomvmTreeListControl::GetBandWidth(int VisibleIndex) {
  int b = GetBandAbsoluteIndex(VisibleIndex);
  if (b < 0) return 0;
  auto natural = [&](int v) {
    int a = FVisibleBands[v];
    int w = FBands->Items(a)->Width();
    if (FExtendedOptions.Contains(tlxBands)) {
      int s = 0;
      for (const auto& row : FBandRows[v]) {
        int rs = 0;
        for (int c : row) rs += FColumns[c]->Width();
        s = std::max(s, rs);
      }
      if (s > 0) w = s;
    }
    return std::max(w, GetBandMinWidth(v));
  };
  if (!FOptions.Contains(tloAutoWidth)) return natural(VisibleIndex);
  // Auto width: the bands share the rows area in proportion to their natural widths; a band
  // that cannot be sized keeps its width, and no band gets less than its content needs.
  TvmTreeListLayout L;
  CalcLayoutRects(L);
  int n = static_cast<int>(FVisibleBands.size()), sumNat = 0, sumMin = 0;
  bool anySizable = false, allSizable = true;
  std::vector<int> nat(n), mn(n);
  std::vector<bool> sizable(n);
  for (int v = 0; v < n; ++v) {
    nat[v] = natural(v);
    mn[v] = GetBandMinWidth(v);
    sizable[v] = FBands->Items(FVisibleBands[v])->Sizing();
    anySizable = anySizable || sizable[v];
    allSizable = allSizable && sizable[v];
    sumNat += nat[v];
    sumMin += mn[v];
  }
  int total = L.RowsRect.Right - L.RowsRect.Left;
  if (total < sumMin || !anySizable) total = sumMin;
  auto width = [&](int v) {
    if (!sizable[v]) return nat[v];
    int share = MulDivRound(total, nat[v], sumNat);
    bool anyBelow = false;
    int pool = 0;
    for (int k = 0; k < n; ++k) {
      int sk = MulDivRound(total, nat[k], sumNat);
      if (sk < mn[k])
        anyBelow = true;
      else if (sizable[k])
        pool += nat[k];
    }
    if (allSizable && !anyBelow) return share;
    if (mn[v] < share) return mn[v] + MulDivRound(std::max(0, total - sumMin), nat[v], pool);
    return mn[v];
  };
  if (VisibleIndex < n - 1) return width(VisibleIndex);
  int before = 0;
  for (int v = 0; v < n - 1; ++v) before += width(v);
  return std::max(mn[VisibleIndex], total - before);
}

bool TCustomvmTreeListControl::FindColumnPlace(int Column, int& VisibleBand, int& Row) {
  RebuildBandLists();
  for (size_t b = 0; b < FBandRows.size(); ++b)
    for (size_t r = 0; r < FBandRows[b].size(); ++r)
      for (int c : FBandRows[b][r])
        if (c == Column) {
          VisibleBand = static_cast<int>(b);
          Row = static_cast<int>(r);
          return true;
        }
  return false;
}

void TCustomvmTreeListControl::SetBandWidthAuto(int VisibleBand, int Width) {
  int n = GetVisibleBandCount();
  if (VisibleBand < 0 || VisibleBand >= n) return;
  std::vector<int> w(n);
  for (int v = 0; v < n; ++v) w[v] = GetBandWidth(v);
  Width = std::max(Width, GetBandMinWidth(VisibleBand));
  // The bands after the sized one take up the change (those before it when it is the last).
  int from = VisibleBand < n - 1 ? VisibleBand + 1 : 0, to = VisibleBand < n - 1 ? n : VisibleBand;
  int sum = 0;
  for (int v = from; v < to; ++v) sum += w[v];
  int avail = sum + w[VisibleBand] - Width;
  if (sum > 0) {
    int used = 0;
    for (int v = from; v < to; ++v) {
      w[v] = v + 1 == to ? avail - used : MulDivRound(w[v], avail, sum);
      used += w[v];
    }
  }
  w[VisibleBand] = Width;
  // In a band layout the columns carry the widths: each band row is scaled from the row total
  // it has now to the band's new width, the last column taking the rest.
  std::vector<std::vector<std::vector<int>>> rows = FBandRows;
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  for (int v = 0; v < n; ++v) {
    int b = GetBandAbsoluteIndex(v);
    if (b < 0) continue;
    FBands->Items(b)->SetWidth(std::max(w[v], 0));
    if (!FExtendedOptions.Contains(tlxBands)) continue;
    for (const auto& row : rows[v]) {
      int sum = 0, done = 0;
      for (int c : row) sum += FColumns[c]->Width();
      if (sum <= 0) continue;
      for (size_t i = 0; i < row.size(); ++i) {
        TvmTreeListColumn* col = FColumns[row[i]];
        int cw = i + 1 == row.size() ? w[v] - done : MulDivRound(col->Width(), w[v], sum);
        col->SetWidth(std::max(cw, col->MinWidth()));
        done += col->Width();
      }
    }
  }
}

void TCustomvmTreeListControl::SetColumnWidthAuto(int Column, int Width) {
  int band, row;
  if (Column < 0 || Column >= ColumnCount() || !FindColumnPlace(Column, band, row)) {
    SetColumnWidth(Column, Width);
    return;
  }
  int bw = GetBandWidth(band);
  std::vector<int> cols, widths;
  CalcRowWidths(band, row, bw, cols, widths);
  int n = static_cast<int>(cols.size()), used = 0, me = -1;
  for (int i = 0; i < n; ++i) {
    if (i == n - 1) widths[i] = bw - used;  // the shown widths: the last cell takes the rest
    used += widths[i];
    if (cols[i] == Column) me = i;
  }
  if (me < 0) return;
  Width = std::max(Width, FColumns[Column]->MinWidth());
  int from = me < n - 1 ? me + 1 : 0, to = me < n - 1 ? n : me;
  int sum = 0;
  for (int i = from; i < to; ++i) sum += widths[i];
  int avail = sum + widths[me] - Width;
  if (sum > 0) {
    int done = 0;
    for (int i = from; i < to; ++i) {
      widths[i] = i + 1 == to ? avail - done : MulDivRound(widths[i], avail, sum);
      done += widths[i];
    }
  }
  widths[me] = Width;
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  FBandListsValid = false;
  int rowTotal = 0;
  for (int i = 0; i < n; ++i) {
    FColumns[cols[i]]->SetWidth(std::max(widths[i], FColumns[cols[i]]->MinWidth()));
    rowTotal += FColumns[cols[i]]->Width();
  }
  // In a band layout the band's other rows follow the new row total.
  if (FExtendedOptions.Contains(tlxBands) && bw > 0) {
    RebuildBandLists();
    for (size_t r = 0; r < FBandRows[band].size(); ++r) {
      if (static_cast<int>(r) == row) continue;
      for (int c : FBandRows[band][r]) FColumns[c]->SetWidth(MulDivRound(FColumns[c]->Width(), rowTotal, bw));
    }
  }
}

void TCustomvmTreeListControl::SetColumnWidthInBand(int Column, int Width) {
  int band, row;
  if (Column < 0 || Column >= ColumnCount() || !FindColumnPlace(Column, band, row)) return;
  int old = FColumns[Column]->Width();
  Width = std::max(Width, FColumns[Column]->MinWidth());
  int oldTotal = GetBandWidth(band);
  int newTotal = oldTotal + Width - old;
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  std::vector<std::vector<int>> rows = FBandRows[band];
  FColumns[Column]->SetWidth(Width);
  // The other rows keep their proportions at the band's new width, the last column taking the rest.
  for (size_t r = 0; r < rows.size(); ++r) {
    if (static_cast<int>(r) == row || rows[r].empty() || oldTotal <= 0) continue;
    int done = 0;
    for (size_t i = 0; i < rows[r].size(); ++i) {
      TvmTreeListColumn* c = FColumns[rows[r][i]];
      int w = i + 1 == rows[r].size() ? newTotal - done : MulDivRound(c->Width(), newTotal, oldTotal);
      c->SetWidth(std::max(w, c->MinWidth()));
      done += c->Width();
    }
  }
}

std::string TCustomvmTreeListControl::GetVisibleBandCaption(int VisibleIndex) {
  int b = GetBandAbsoluteIndex(VisibleIndex);
  return b < 0 ? std::string() : FBands->Items(b)->Caption();
}

int TCustomvmTreeListControl::GetHeaderRowColumnCount(int VisibleBand, int Row) {
  RebuildBandLists();
  if (VisibleBand < 0 || VisibleBand >= static_cast<int>(FBandRows.size())) return 0;
  if (Row < 0 || Row >= static_cast<int>(FBandRows[VisibleBand].size())) return 0;
  return static_cast<int>(FBandRows[VisibleBand][Row].size());
}

int TCustomvmTreeListControl::GetHeaderColumn(int VisibleBand, int Row, int Position) {
  if (Position < 0 || Position >= GetHeaderRowColumnCount(VisibleBand, Row)) return -1;
  return FBandRows[VisibleBand][Row][Position];
}

int TCustomvmTreeListControl::GetColumnWidth(int Column) {
  return Column >= 0 && Column < ColumnCount() ? FColumns[Column]->Width() : 0;
}
int TCustomvmTreeListControl::GetColumnMinWidth(int Column) {
  return Column >= 0 && Column < ColumnCount() ? FColumns[Column]->MinWidth() : 0;
}
bool TCustomvmTreeListControl::IsColumnSizing(int Column) {
  return Column >= 0 && Column < ColumnCount() && FColumns[Column]->Sizing();
}
std::string TCustomvmTreeListControl::GetColumnCaption(int Column) {
  return Column >= 0 && Column < ColumnCount() && !FColumns[Column]->DisableCaption ? FColumns[Column]->Caption()
                                                                                    : std::string();
}
TAlignment TCustomvmTreeListControl::GetColumnAlignment(int Column) {
  return Column >= 0 && Column < ColumnCount() ? FColumns[Column]->Alignment() : taLeftJustify;
}
bool TCustomvmTreeListControl::GetColumnColor(int Column, TColor& Color) {
  if (Column < 0 || Column >= ColumnCount() || !FColumns[Column]->AssignedValues().Contains(cvColor)) return false;
  Color = FColumns[Column]->Color();
  return true;
}
TFont* TCustomvmTreeListControl::GetColumnFont(int Column) {
  if (Column < 0 || Column >= ColumnCount() || !FColumns[Column]->AssignedValues().Contains(cvFont)) return nullptr;
  return FColumns[Column]->Font();
}
void TCustomvmTreeListControl::FormatCellPaintText(TvmTreeListNode* Node, int Column, std::string& Text) {
  if (Column < 0 || Column >= ColumnCount()) return;
  TvmTreeListColumn* c = FColumns[Column];
  std::string formatted;
  c->FormatDisplayText(Node, Text, formatted);
  // A password column shows one mask character for every character of its text.
  if (c->PasswordChar()) {
    size_t chars = 0;
    for (char ch : formatted) chars += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    Text.assign(chars, c->PasswordChar());
  } else {
    Text = ApplyCharCase(formatted, c->CharCase());
  }
}
bool TCustomvmTreeListControl::IsHeaderHotTrack(int X, int Y, int& HeaderState, int Column) {
  if (!TCustomvmTreeList::IsHeaderHotTrack(X, Y, HeaderState, Column)) return false;
  return Column >= 0 && Column < ColumnCount() && FColumns[Column]->CanHeaderHotTrack(X, Y, HeaderState);
}
TBitmap* TCustomvmTreeListControl::GetColumnHeaderGlyph(int Column) {
  if (Column < 0 || Column >= ColumnCount() || !FColumns[Column]->HasHeaderGlyph()) return nullptr;
  TBitmap* g = FColumns[Column]->HeaderGlyph();
  return g->Empty() ? nullptr : g;
}
TTextLayout TCustomvmTreeListControl::GetColumnVertAlignment(int Column) {
  return Column >= 0 && Column < ColumnCount() ? FColumns[Column]->VertAlignment() : tlCenter;
}
int TCustomvmTreeListControl::GetColumnMinCellHeight(TCanvas* Canvas, int Column) {
  return Column >= 0 && Column < ColumnCount() ? FColumns[Column]->GetMinCellHeight(Canvas) : 0;
}
TvmTreeListColumnSort TCustomvmTreeListControl::GetColumnSorted(int Column) {
  if (Column < 0 || Column >= ColumnCount()) return csNone;
  TvmTreeListColumnSort sorted = FColumns[Column]->Sorted();
  if (OnGetColumnSortState) OnGetColumnSortState(this, FColumns[Column], sorted);
  return sorted;
}
bool TCustomvmTreeListControl::IsColumnTabStop(int Column) {
  return Column >= 0 && Column < ColumnCount() && FColumns[Column]->TabStop();
}
std::string TCustomvmTreeListControl::GetCellText(TvmTreeListNode* Node, int Column) {
  std::string t;
  if (Column >= 0 && Column < ColumnCount()) FColumns[Column]->GetDisplayText(Node, t);
  return t;
}

void TCustomvmTreeListControl::SetColumnWidth(int Column, int Width) {
  if (Column < 0 || Column >= ColumnCount() || !FColumns[Column]->Sizing()) return;
  FColumns[Column]->SetWidth(std::max(Width, FColumns[Column]->MinWidth()));
}

// Nodes.

TvmTreeListNode* TCustomvmTreeListControl::CreateNode() { return new TvmTreeListTextNode(this); }

TvmTreeListNode* TCustomvmTreeListControl::AddNode(TvmTreeListNode* Parent, const std::vector<std::string>& Texts) {
  TvmTreeListNode* n = Parent ? Parent->AddChild() : Add();
  auto* t = static_cast<TvmTreeListTextNode*>(n);
  t->FStrings = Texts;
  // Measured (if at all) while it had no texts yet.
  n->CachedRowHeight = 0;
  n->CachedLineCount = 0;
  return n;
}

namespace {
TvmTreeListTextNode* TextNode(TvmTreeListNode* N) { return static_cast<TvmTreeListTextNode*>(N); }
}  // namespace

int TCustomvmTreeListControl::GetImageIndex(TvmTreeListNode* Node) {
  int i = TextNode(Node)->FImageIndex;
  if (OnGetImageIndex) OnGetImageIndex(this, Node, i);
  return i;
}
int TCustomvmTreeListControl::GetSelectedIndex(TvmTreeListNode* Node) {
  int i = TextNode(Node)->FSelectedIndex;
  if (OnGetSelectedIndex) OnGetSelectedIndex(this, Node, i);
  return i;
}
int TCustomvmTreeListControl::GetStateIndex(TvmTreeListNode* Node) {
  int i = TextNode(Node)->FStateImageIndex;
  if (OnGetStateImageIndex) OnGetStateImageIndex(this, Node, i);
  return i;
}

void TCustomvmTreeListControl::SetImageIndex(TvmTreeListNode* Node, int Value) {
  if (GetImageIndex(Node) == Value) return;
  TextNode(Node)->FImageIndex = Value;
  NodeChanged(Node, false);
}
void TCustomvmTreeListControl::SetSelectedIndex(TvmTreeListNode* Node, int Value) {
  if (GetSelectedIndex(Node) == Value) return;
  TextNode(Node)->FSelectedIndex = Value;
  NodeChanged(Node, false);
}
void TCustomvmTreeListControl::SetStateIndex(TvmTreeListNode* Node, int Value) {
  if (GetStateIndex(Node) == Value) return;
  TextNode(Node)->FStateImageIndex = Value;
  NodeChanged(Node, false);
}

std::string TCustomvmTreeListControl::GetNodeString(TvmTreeListNode* Node, int Column) {
  const auto& s = TextNode(Node)->FStrings;
  return Column >= 0 && Column < static_cast<int>(s.size()) ? s[Column] : std::string();
}

void TCustomvmTreeListControl::SetNodeString(TvmTreeListNode* Node, int Column, const std::string& Value) {
  if (Column < 0) return;
  Node->CachedRowHeight = 0;  // a new text may need other row heights
  Node->CachedLineCount = 0;
  auto& s = TextNode(Node)->FStrings;
  if (static_cast<int>(s.size()) <= Column) s.resize(Column + 1);
  s[Column] = Value;
}

void TCustomvmTreeListControl::SetNodeValue(TvmTreeListNode* Node, int Column, const Variant& Value) {
  SetNodeString(Node, Column, Value.AsString());
  if (FLockUpdate == 0) Invalidate();
}

void TCustomvmTreeListControl::GetNodeSortValue(TvmTreeListNode* Node, int Column, Variant& Value) {
  Value = Variant(GetNodeString(Node, Column));
}

void TCustomvmTreeListControl::RemoveColumnValue(TvmTreeListNode* Node, int Index) {
  auto& s = TextNode(Node)->FStrings;
  if (Index >= 0 && Index < static_cast<int>(s.size())) s.erase(s.begin() + Index);
  for (int i = 0; i < Node->Count(); ++i) RemoveColumnValue(Node->Items(i), Index);
}

void TCustomvmTreeListControl::MoveColumnValues(int FromIndex, int ToIndex) {
  for (TvmTreeListNode* n = GetFirstNode(); n; n = n->GetNext()) {
    auto& s = TextNode(n)->FStrings;
    int need = std::max(FromIndex, ToIndex) + 1;
    if (static_cast<int>(s.size()) < need) {
      if (FromIndex >= static_cast<int>(s.size())) {
        // Nothing stored in the moving column: the ones between shift over an empty text.
        if (ToIndex < static_cast<int>(s.size())) s.insert(s.begin() + ToIndex, std::string());
        continue;
      }
      s.resize(need);
    }
    std::string v = std::move(s[FromIndex]);
    s.erase(s.begin() + FromIndex);
    s.insert(s.begin() + ToIndex, std::move(v));
  }
}

// Sizing.

bool TCustomvmTreeListControl::IsBandSizing(int VisibleBand) {
  int b = GetBandAbsoluteIndex(VisibleBand);
  return b >= 0 && FBands->Items(b)->Sizing();
}

void TCustomvmTreeListControl::ScaleBandWidth(int VisibleBand, int Width) {
  int b = GetBandAbsoluteIndex(VisibleBand);
  if (b < 0) return;
  int old = GetBandWidth(VisibleBand);
  Width = std::max(Width, GetBandMinWidth(VisibleBand));
  bool lock = FLockUpdate == 0;
  if (lock) BeginUpdate();
  TScopeExit end([&] {
    if (lock) EndUpdate();
  });
  // Each header row of the band is scaled to the new width, the last column taking the rest.
  if (old > 0)
    for (const auto& row : FBandRows[VisibleBand]) {
      int sum = 0, total = 0;
      for (int c : row) sum += FColumns[c]->Width();
      for (size_t i = 0; i < row.size(); ++i) {
        TvmTreeListColumn* col = FColumns[row[i]];
        int w = i + 1 == row.size() ? Width * sum / old - total : col->Width() * Width / old;
        if (!col->Sizing()) w = col->Width();
        col->SetWidth(std::max(w, col->MinWidth()));
        total += col->Width();
      }
    }
  FBands->Items(b)->SetWidth(Width);
}

// Header drags.

bool TCustomvmTreeListControl::CanDragColumn(int Column) {
  bool allow = TCustomvmTreeList::CanDragColumn(Column) && Column >= 0 && Column < ColumnCount() &&
               !IsColumnLocked(Column) && !FColumns[Column]->DisableDragging;
  if (allow && OnCanDragHeader) OnCanDragHeader(this, FColumns[Column], allow);
  return allow;
}

bool TCustomvmTreeListControl::CanDragBand(int VisibleBand) {
  int b = GetBandAbsoluteIndex(VisibleBand);
  bool allow = TCustomvmTreeList::CanDragBand(VisibleBand) && b >= 0 && !FBands->Items(b)->DisableDragging &&
               FBands->Items(b)->Fixed() == bfNone;
  if (allow && OnCanDragBand) OnCanDragBand(this, FBands->Items(b), allow);
  return allow;
}

void TCustomvmTreeListControl::DoDragEndColumn(TPoint, int Column, bool& Accept, TvmTreeListDropTarget& Target) {
  if (Column < 0 || Column >= ColumnCount()) return;
  if (OnHeaderDragEnd) OnHeaderDragEnd(this, FColumns[Column], Accept);
  // Within one band the drop is a move inside the header the program may want to follow.
  if (Accept && Target.Code == -3 && IsColumnShown(Column) && FBands->Count() == 1)
    FDroppedHeaderFrom = FColumns[Column]->ColIndex();
}

void TCustomvmTreeListControl::DoDragEndBand(TPoint, int VisibleBand, bool& Accept, int&, int) {
  const int b = GetBandAbsoluteIndex(VisibleBand);
  if (b >= 0 && OnBandDragEnd) OnBandDragEnd(this, FBands->Items(b), Accept);
}

void TCustomvmTreeListControl::MoveColumn(int Column, int VisibleBand, int Row, int Position) {
  if (Column < 0 || Column >= ColumnCount()) return;
  int band = GetBandAbsoluteIndex(VisibleBand);
  if (band < 0) return;
  TvmTreeListColumn* c = FColumns[Column];
  const int from = FDroppedHeaderFrom;
  FDroppedHeaderFrom = -1;
  {
    BeginUpdate();
    TScopeExit end([this] { EndUpdate(); });
    c->SetBandIndex(band);
    c->SetRowIndex(Row);
    FBandListsValid = false;
    c->SetColIndex(Position);
  }
  if (OnHeaderRelocated) OnHeaderRelocated(this, c);
  if (from >= 0) {
    if (OnColumnMoved) OnColumnMoved(this, from, Position);
    if (OnColumnDragFinished) OnColumnDragFinished(this);
  }
}

void TCustomvmTreeListControl::HideColumn(int Column) {
  if (Column < 0 || Column >= ColumnCount()) return;
  FColumns[Column]->SetVisible(false);
  if (OnHeaderHidden) OnHeaderHidden(this, FColumns[Column]);
}

void TCustomvmTreeListControl::ShowColumn(int Column, int VisibleBand, int Row, int Position) {
  if (Column < 0 || Column >= ColumnCount()) return;
  FDroppedHeaderFrom = -1;
  {
    BeginUpdate();
    TScopeExit end([this] { EndUpdate(); });
    FColumns[Column]->SetVisible(true);
    FBandListsValid = false;
    int band = GetBandAbsoluteIndex(VisibleBand);
    if (band >= 0) {
      FColumns[Column]->SetBandIndex(band);
      FColumns[Column]->SetRowIndex(Row);
      FBandListsValid = false;
      FColumns[Column]->SetColIndex(Position);
    }
  }
  if (OnHeaderShown) OnHeaderShown(this, FColumns[Column]);
}

bool TCustomvmTreeListControl::IsColumnShown(int Column) {
  if (Column < 0 || Column >= ColumnCount() || !FColumns[Column]->Visible()) return false;
  int band = FColumns[Column]->BandIndex();
  return band >= 0 && band < FBands->Count() && FBands->Items(band)->Visible();
}

std::string TCustomvmTreeListControl::GetNodeDragText(TvmTreeListNode* Node, int Column) {
  std::string text = TCustomvmTreeList::GetNodeDragText(Node, Column);
  if (OnGetDragText) OnGetDragText(this, Node, text);
  return text;
}

void TCustomvmTreeListControl::GetCustomizeItems(bool Bands, std::vector<int>& Indexes,
                                                 std::vector<std::string>& Captions) {
  if (Bands) {
    for (int b = 0; b < FBands->Count(); ++b) {
      TvmTreeListBand* band = FBands->Items(b);
      if (band->Visible() || band->DisableCustomizing) continue;
      Indexes.push_back(b);
      Captions.push_back(band->Caption());
    }
    return;
  }
  for (int c = 0; c < ColumnCount(); ++c) {
    if (IsColumnShown(c) || FColumns[c]->DisableCustomizing) continue;
    Indexes.push_back(c);
    Captions.push_back(FColumns[c]->Caption());
  }
}

void TCustomvmTreeListControl::ShowBand(int Band, int VisiblePosition) {
  if (Band < 0 || Band >= FBands->Count() || FBands->Items(Band)->Visible()) return;
  // The collection place of the band now at that visible position (the end past the last).
  int to = VisiblePosition < GetVisibleBandCount() ? GetBandAbsoluteIndex(VisiblePosition) : FBands->Count();
  if (to < 0) to = FBands->Count();
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TvmTreeListBand* b = FBands->Items(Band);
  {
    BeginUpdate();
    TScopeExit end([this] { EndUpdate(); });
    b->SetIndex(Band < to ? to - 1 : to);
    b->SetVisible(true);
  }
  if (OnBandShown) OnBandShown(this, b, b->Index());
}

void TCustomvmTreeListControl::MoveBand(int FromVisible, int ToVisible) {
  int from = GetBandAbsoluteIndex(FromVisible), to = GetBandAbsoluteIndex(ToVisible);
  if (from >= 0 && to >= 0) FBands->Items(from)->SetIndex(to);
}

void TCustomvmTreeListControl::HideBand(int VisibleBand) {
  int b = GetBandAbsoluteIndex(VisibleBand);
  if (b < 0 || FBands->Items(b)->DisableCustomizing) return;
  FBands->Items(b)->SetVisible(false);
  if (OnBandHidden) OnBandHidden(this, FBands->Items(b));
}

// Editing.

void TCustomvmTreeListControl::GetEditorValue(TvmTreeListNode* Node, TvmInplaceEdit* Editor, Variant& Value) {
  int col = VisualColumnToColumn(FEditingColumn);
  Editor->SetEditValue(Variant(col >= 0 ? GetNodeString(Node, col) : std::string()));
  Value = Editor->EditValue();
}

void TCustomvmTreeListControl::ApplyEditorValue(TvmTreeListNode* Node, int Column, TvmInplaceEdit* Editor,
                                                Variant& Value) {
  int col = VisualColumnToColumn(Column);
  if (col < 0) return;
  if (auto* t = dynamic_cast<TvmInplaceTextEdit*>(Editor)) SetNodeString(Node, col, t->GetWindowText());
  Value = GetNodeValue(Node, col);
  Invalidate();
}

void TCustomvmTreeListControl::DoEditing(TvmTreeListNode* Node, bool& Allow) {
  int col = GetFocusedAbsoluteColumn();
  if (col < 0 || col >= ColumnCount() || FColumns[col]->DisableEditor) Allow = false;
  if (Allow) TCustomvmTreeList::DoEditing(Node, Allow);
}

TvmInplaceEdit* TCustomvmTreeListControl::FindEditor(int Column) {
  int col = VisualColumnToColumn(Column);
  if (col < 0 || col >= ColumnCount()) return nullptr;
  TvmInplaceEditClass cls = FColumns[col]->GetEditClass();
  for (TvmInplaceEdit* e : FEditors)
    if (e->ClassType() == cls) return e;
  return nullptr;
}

TvmInplaceEdit* TCustomvmTreeListControl::CreateEditor(int Column) {
  int col = VisualColumnToColumn(Column);
  if (col < 0 || col >= ColumnCount()) return TCustomvmTreeList::CreateEditor(Column);
  auto* e = static_cast<TvmInplaceEdit*>(FColumns[col]->GetEditClass()->Create(this));
  e->SetParent(this);
  e->HideEdit();
  FEditors.push_back(e);
  return e;
}

void TCustomvmTreeListControl::InitEditor(TvmInplaceEdit* Editor) {
  TCustomvmTreeList::InitEditor(Editor);
  int col = VisualColumnToColumn(FEditingColumn >= 0 ? FEditingColumn : GetFocusedColumn());
  if (col >= 0 && col < ColumnCount()) FColumns[col]->InitEditor(Editor);
}

void TCustomvmTreeListControl::Loaded() {
  TCustomvmTreeList::Loaded();
  // Sorted columns read from a stream join the sort list in their stored order.
  FSortedColumns.clear();
  for (TvmTreeListColumn* c : FColumns)
    if (c->FSorted != csNone) FSortedColumns.push_back(c);
  std::stable_sort(FSortedColumns.begin(), FSortedColumns.end(), [](TvmTreeListColumn* a, TvmTreeListColumn* b) {
    return (a->FSortOrder < 0 ? INT32_MAX : a->FSortOrder) < (b->FSortOrder < 0 ? INT32_MAX : b->FSortOrder);
  });
  if (!IsMultiSort(-1) && FSortedColumns.size() > 1) {
    for (size_t i = 1; i < FSortedColumns.size(); ++i) FSortedColumns[i]->FSorted = csNone;
    FSortedColumns.resize(1);
  }
  ColumnsChanged(nullptr);
  if (FLayoutLoaded || ComponentState().Contains(csDesigning)) return;
  FLayoutLoaded = true;
  if (FOptions.Contains(tloStoreToRegistry) && !RegistryPath.empty()) LoadFromRegistry(RegistryPath);
  if (FOptions.Contains(tloStoreToIniFile) && !IniFileName.empty()) LoadFromIniFile(IniFileName);
}

bool TCustomvmTreeListControl::IsReadOnly() {
  int col = GetFocusedAbsoluteColumn();
  return col >= 0 && col < ColumnCount() && FColumns[col]->ReadOnly();
}

// Selection.

TvmTreeListNode* TCustomvmTreeListControl::GetSelectedItem(int Index) {
  return Index >= 0 && Index < GetSelectedCount() ? FSelected[Index] : nullptr;
}

void TCustomvmTreeListControl::SetNodeSelected(TvmTreeListNode* Node, bool Value) {
  if (!Node || Node->FSelectedFlag == Value) return;
  if (Value) {
    if (!FOptions.Contains(tloMultiSelect)) return;
    if (!CanSelectNode(Node)) return;
    if (FSelected.empty()) FFirstSelectedNode = Node;
    FSelected.push_back(Node);
  } else {
    FSelected.erase(std::find(FSelected.begin(), FSelected.end(), Node));
  }
  Node->FSelectedFlag = Value;
  InvalidateSelection();
  DoSelectionChanged();
}

void TCustomvmTreeListControl::ClearSelection() {
  for (TvmTreeListNode* n : FSelected) n->FSelectedFlag = false;
  bool had = !FSelected.empty();
  FSelected.clear();
  FFirstSelectedNode = nullptr;
  if (had) InvalidateSelection();
  TCustomvmTreeList::ClearSelection();
}

void TCustomvmTreeListControl::NodeDeleted(TvmTreeListNode* Node, TvmTreeListNode* Prior, TvmTreeListNode* Next,
                                           bool WasLast, bool WasVisible) {
  if (FClearing && Node->FSelectedFlag) {
    FSelected.clear();
    FFirstSelectedNode = nullptr;
  }
  TCustomvmTreeList::NodeDeleted(Node, Prior, Next, WasLast, WasVisible);
}

// Sorting.

bool TCustomvmTreeListControl::IsSortedColumnDescending(int Index) {
  return Index >= 0 && Index < SortedColumnCount() && FSortedColumns[Index]->Sorted() == csDown;
}

int TCustomvmTreeListControl::GetSortedColumn(int Index) {
  return Index >= 0 && Index < SortedColumnCount() ? FSortedColumns[Index]->Index() : -1;
}

void TCustomvmTreeListControl::ColumnSortedChanged(TvmTreeListColumn* Column) {
  // Without multi-column sorting one column sorts at a time.
  if (!IsMultiSort(Column->Index()) || FSortLock > 0) {
    for (TvmTreeListColumn* c : std::vector<TvmTreeListColumn*>(FSortedColumns))
      if (c != Column) c->FSorted = csNone;
    FSortedColumns.clear();
  }
  if (std::find(FSortedColumns.begin(), FSortedColumns.end(), Column) == FSortedColumns.end())
    FSortedColumns.push_back(Column);
  SortByColumns();
}

void TCustomvmTreeListControl::SortByColumns() {
  if (FSortedColumns.empty() || FSortLock > 0) return;
  TvmTreeListColumn* first = FSortedColumns.front();
  SortNodes(-1, first->Index(), first->Sorted() == csDown);
}

void TCustomvmTreeListControl::DoColumnClick(int Column, bool Shift, bool Ctrl) {
  const bool known = Column >= 0 && Column < ColumnCount();
  if (known && OnColumnHeaderClick) OnColumnHeaderClick(this, FColumns[Column]);
  // With auto-sort the click sorts, unless the program forbids it for this column.
  bool sort = known && FOptions.Contains(tloAutoSort);
  if (sort && OnBeforeColumnSort) OnBeforeColumnSort(this, FColumns[Column], sort);
  if (sort && Ctrl) {
    FColumns[Column]->SetSorted(csNone);
  } else if (sort) {
    TvmTreeListColumn* c = FColumns[Column];
    TvmTreeListColumnSort next = c->Sorted() == csUp ? csDown : csUp;
    if (Shift && FExtendedOptions.Contains(tlxMultiSort)) {
      if (c->Sorted() == csNone) {
        FAddingSortColumn = true;
        TScopeExit adding([this] { FAddingSortColumn = false; });
        c->SetSorted(next);
      } else {
        c->FSorted = next;
        SortByColumns();
      }
    } else {
      // A plain click makes this the only sort column.
      BeginSortLock();
      for (TvmTreeListColumn* o : std::vector<TvmTreeListColumn*>(FSortedColumns))
        if (o != c) o->SetSorted(csNone);
      EndSortLock();
      if (c->Sorted() == csNone) {
        c->SetSorted(next);
      } else {
        c->FSorted = next;
        SortByColumns();
      }
    }
    Invalidate();
  }
  TCustomvmTreeList::DoColumnClick(Column, Shift, Ctrl);
}

// ---------------------------------------------------------------------------------------------
// Layout storage.

std::string TCustomvmTreeListControl::NormalizePath(const std::string& Path) {
  std::string p = Path;
  if (!p.empty() && p[0] != '\\') p = "\\" + p;
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return p;
}

void TCustomvmTreeListControl::SaveControlLayout(TvmRegIniWrapper& W, const std::string& P) {
  W.WriteBool(P, "ShowGrid", ShowGrid());
  W.WriteBool(P, "ShowPreviewGrid", ShowPreviewGrid());
  W.WriteInteger(P, "BandRowCount", FBandRowCount);
  W.WriteInteger(P, "DefaultRowHeight", DefaultRowHeight());
  W.WriteInteger(P, "HeaderPanelRowCount",
                 FExtendedOptions.Contains(tlxAutoHeaderRowCount) ? -1 : FHeaderPanelRowCount);
  for (int i = 0; i < FBands->Count(); ++i) {
    TvmTreeListBand* b = FBands->Items(i);
    std::string s = P + "\\Band\\Band" + std::to_string(i);
    W.WriteInteger(s, "ID", b->ID());
    W.WriteBool(s, "Visible", b->Visible());
    W.WriteInteger(s, "Index", b->Index());
    W.WriteInteger(s, "Width", b->Width());
  }
}

void TCustomvmTreeListControl::SaveColumnLayout(TvmRegIniWrapper& W, const std::string& P, TvmTreeListColumn* C) {
  std::string s = P + "\\Columns\\" + C->Name();
  W.WriteInteger(s, "BandIndex", C->BandIndex());
  W.WriteInteger(s, "RowIndex", C->RowIndex());
  W.WriteInteger(s, "ColIndex", C->ColIndex());
  W.WriteBool(s, "Visible", C->Visible());
  W.WriteInteger(s, "Index", C->Index());
  W.WriteInteger(s, "Width", C->Width());
  W.WriteInteger(s, "Sorted", static_cast<int>(C->Sorted()));
  auto it = std::find(FSortedColumns.begin(), FSortedColumns.end(), C);
  W.WriteInteger(s, "SortedOrder", it == FSortedColumns.end() ? -1 : static_cast<int>(it - FSortedColumns.begin()));
  W.WriteInteger(s, "StoredRowIndex", C->StoredRowIndex());
}

void TCustomvmTreeListControl::LoadControlLayout(TvmRegIniWrapper& W, const std::string& P) {
  SetShowGrid(W.ReadBool(P, "ShowGrid", ShowGrid()));
  SetShowPreviewGrid(W.ReadBool(P, "ShowPreviewGrid", ShowPreviewGrid()));
  SetBandRowCount(W.ReadInteger(P, "BandRowCount", FBandRowCount));
  int h = W.ReadInteger(P, "DefaultRowHeight", DefaultRowHeight());
  if (h > 0 && h < 10000) SetDefaultRowHeight(h);
  int hr = W.ReadInteger(P, "HeaderPanelRowCount", FHeaderPanelRowCount);
  if (hr != -1) {
    FExtendedOptions.Exclude(tlxAutoHeaderRowCount);
    SetHeaderPanelRowCount(hr);
  }
  // Bands by their ID, put in the order of their stored indexes.
  std::vector<std::pair<int, TvmTreeListBand*>> queue;
  for (int i = 0; i < FBands->Count(); ++i) {
    std::string s = P + "\\Band\\Band" + std::to_string(i);
    int id = W.ReadInteger(s, "ID", -1);
    TvmTreeListBand* band = nullptr;
    for (int k = 0; k < FBands->Count() && !band; ++k)
      if (FBands->Items(k)->ID() == id) band = FBands->Items(k);
    if (!band) continue;
    band->SetVisible(W.ReadBool(s, "Visible", band->Visible()));
    band->SetWidth(W.ReadInteger(s, "Width", band->Width()));
    queue.emplace_back(W.ReadInteger(s, "Index", band->Index()), band);
  }
  std::stable_sort(queue.begin(), queue.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t k = 0; k < queue.size(); ++k) queue[k].second->SetIndex(static_cast<int>(k));
}

void TCustomvmTreeListControl::LoadColumnLayout(TvmRegIniWrapper& W, const std::string& P, TvmTreeListColumn* C) {
  std::string s = P + "\\Columns\\" + C->Name();
  C->SetVisible(W.ReadBool(s, "Visible", C->Visible()));
  int w = W.ReadInteger(s, "Width", C->Width());
  if (w >= 0 && w <= 100000) C->SetWidth(w);
  int sorted = W.ReadInteger(s, "Sorted", static_cast<int>(C->Sorted()));
  if (sorted >= csNone && sorted <= csUp) C->FSorted = static_cast<TvmTreeListColumnSort>(sorted);
  C->FSortOrder = W.ReadInteger(s, "SortedOrder", -1);
}

void TCustomvmTreeListControl::SaveLayout(TObject* Storage, const std::string& Path) {
  TvmRegIniWrapper w;
  w.IniObject = Storage;
  std::string p = NormalizePath(Path);
  w.EraseSectionsWithPrefix(p);
  SaveControlLayout(w, p);
  for (TvmTreeListColumn* c : FColumns) SaveColumnLayout(w, p, c);
}

void TCustomvmTreeListControl::LoadLayout(TObject* Storage, const std::string& Path) {
  TvmRegIniWrapper w;
  w.IniObject = Storage;
  std::string p = NormalizePath(Path);
  bool multi = FExtendedOptions.Contains(tlxMultiSort);
  BeginUpdate();
  if (multi) BeginSortLock();
  TScopeExit end([&] {
    if (multi) EndSortLock();
    EndUpdate();
  });
  LoadControlLayout(w, p);
  std::vector<std::pair<int, TvmTreeListColumn*>> queue;
  for (TvmTreeListColumn* c : FColumns) {
    LoadColumnLayout(w, p, c);
    queue.emplace_back(w.ReadInteger(p + "\\Columns\\" + c->Name(), "Index", c->Index()), c);
  }
  std::stable_sort(queue.begin(), queue.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t k = 0; k < queue.size(); ++k) queue[k].second->SetIndex(static_cast<int>(k));
  for (TvmTreeListColumn* c : FColumns) {
    std::string s = p + "\\Columns\\" + c->Name();
    c->FBandIndex = std::clamp(w.ReadInteger(s, "BandIndex", c->FBandIndex), -1, FBands->Count() - 1);
    int stored = w.ReadInteger(s, "StoredRowIndex", c->FStoredRowIndex);
    c->FStoredRowIndex = c->FRowIndex = std::clamp(stored, 0, 4);
  }
  // The sorted columns again, in their stored order.
  FSortedColumns.clear();
  std::vector<TvmTreeListColumn*> sorted;
  for (TvmTreeListColumn* c : FColumns)
    if (c->FSorted != csNone) sorted.push_back(c);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](TvmTreeListColumn* a, TvmTreeListColumn* b) { return a->FSortOrder < b->FSortOrder; });
  if (!multi && sorted.size() > 1) {
    for (size_t k = 1; k < sorted.size(); ++k) sorted[k]->FSorted = csNone;
    sorted.resize(1);
  }
  FSortedColumns = sorted;
  FBandListsValid = false;
}

void TCustomvmTreeListControl::SaveToRegistry(const std::string& Path) {
  TRegistryIniFile ini("");
  SaveLayout(&ini.RegIniFile(), Path);
}

void TCustomvmTreeListControl::LoadFromRegistry(const std::string& Path) {
  TRegistryIniFile ini("");
  TRegIniFile& reg = ini.RegIniFile();
  if (!reg.OpenKeyReadOnly(NormalizePath(Path))) return;
  reg.CloseKey();
  LoadLayout(&reg, Path);
  SortByColumns();
}

void TCustomvmTreeListControl::ResolveIniPath(std::string& Path) {
  if (!IniSectionPrefix.empty()) {
    Path = IniSectionPrefix;
    return;
  }
  TForm* form = nullptr;
  for (TWinControl* p = Parent(); p && !form; p = p->Parent()) form = dynamic_cast<TForm*>(p);
  Path = (form ? form->Name() : std::string()) + "_" + Name();
}

void TCustomvmTreeListControl::SaveToIniFile(const std::string& FileName) {
  TMemIniFile ini(FileName);
  std::string p;
  ResolveIniPath(p);
  SaveLayout(&ini, p);
  ini.UpdateFile();
}

void TCustomvmTreeListControl::LoadFromIniFile(const std::string& FileName) {
  TMemIniFile ini(FileName);
  std::string p;
  ResolveIniPath(p);
  LoadLayout(&ini, p);
  SortByColumns();
}

// ---------------------------------------------------------------------------------------------
// Drawing events and footers.

void TvmTreeListColumn::SetHeaderMaxLineCount(int Value) {
  Value = std::max(0, Value);
  if (Value == FHeaderMaxLineCount) return;
  FHeaderMaxLineCount = Value;
  Changed(true);
}

void TvmTreeListColumn::DoCustomDrawCell(TvmTreeListDrawInfo& I) {
  if (OnCustomDrawCell)
    OnCustomDrawCell(this, I.Canvas, I.Rect, I.Node, this, I.Selected, I.Focused, I.NewItemRow, I.Text, I.Color, I.Font,
                     I.Alignment, I.Done);
}

bool TCustomvmTreeListControl::IsCellDrawAssigned(TvmTreeListNode* Node, int Column) {
  return OnCustomDraw || OnCustomDrawCell ||
         (Column >= 0 && Column < ColumnCount() && FColumns[Column]->IsCustomDrawAssigned());
}

void TCustomvmTreeListControl::DoDrawDataCell(TvmTreeListDrawInfo& I) {
  TvmTreeListColumn* col = I.Column >= 0 && I.Column < ColumnCount() ? FColumns[I.Column] : nullptr;
  // The control's handlers first; the column's own only for what they left undone.
  for (const TvmTLCustomDrawCell* e : {&OnCustomDraw, &OnCustomDrawCell}) {
    if (!*e || I.Done) continue;
    (*e)(this, I.Canvas, I.Rect, I.Node, col, I.Selected, I.Focused, I.NewItemRow, I.Text, I.Color, I.Font, I.Alignment,
         I.Done);
  }
  if (!I.Done && col) col->DoCustomDrawCell(I);
}

bool TCustomvmTreeListControl::IsHeaderDrawAssigned(int Column) {
  return OnCustomDrawColumnHeader ||
         (Column >= 0 && Column < ColumnCount() && FColumns[Column]->OnCustomDrawColumnHeader);
}

void TCustomvmTreeListControl::DoDrawColumnHeader(TvmTreeListDrawInfo& I) {
  TvmTreeListColumn* col = I.Column >= 0 && I.Column < ColumnCount() ? FColumns[I.Column] : nullptr;
  if (OnCustomDrawColumnHeader)
    OnCustomDrawColumnHeader(this, col, I.Canvas, I.Rect, I.Text, I.Color, I.Font, I.Alignment, I.Sorted, I.Done);
  if (!I.Done && col && col->OnCustomDrawColumnHeader)
    col->OnCustomDrawColumnHeader(col, col, I.Canvas, I.Rect, I.Text, I.Color, I.Font, I.Alignment, I.Sorted, I.Done);
}

void TCustomvmTreeListControl::DoDrawBand(TvmTreeListDrawInfo& I) {
  int b = GetBandAbsoluteIndex(I.Band);
  if (OnDrawBand && b >= 0)
    OnDrawBand(this, FBands->Items(b), I.Canvas, I.Rect, I.Text, I.Color, I.Font, I.Alignment, I.Done);
}

void TCustomvmTreeListControl::DoDrawPreview(TvmTreeListDrawInfo& I) {
  for (const TvmTLDrawPreviewEvent* e : {&OnDrawPreview, &OnDrawPreviewCell}) {
    if (!*e || I.Done) continue;
    (*e)(this, I.Canvas, I.Rect, I.Node, I.Selected, I.Text, I.Color, I.TextColor, I.Font, I.Done);
  }
}

void TCustomvmTreeListControl::DoDrawFooterCell(TvmTreeListDrawInfo& I) {
  TvmTreeListColumn* col = I.Column >= 0 && I.Column < ColumnCount() ? FColumns[I.Column] : nullptr;
  const TvmTLDrawFooterCellEvent& e = I.FooterIndex == -1 ? OnDrawFooterCell : OnCustomDrawRowFooter;
  if (e) e(this, I.Canvas, I.Rect, I.Node, col, I.FooterIndex, I.Text, I.Color, I.Font, I.Alignment, I.Done);
}

bool TCustomvmTreeListControl::HasFooterCell(int Column) {
  bool exists = false;
  if (OnHasFooterCell && Column >= 0 && Column < ColumnCount()) OnHasFooterCell(this, FColumns[Column], exists);
  return exists;
}

TAlignment TCustomvmTreeListControl::GetColumnHeaderAlignment(int Column) {
  return Column >= 0 && Column < ColumnCount() ? FColumns[Column]->HeaderAlignment : taLeftJustify;
}

TAlignment TCustomvmTreeListControl::GetBandAlignment(int VisibleBand) {
  int b = GetBandAbsoluteIndex(VisibleBand);
  return b >= 0 ? FBands->Items(b)->Alignment() : taCenter;
}

int TCustomvmTreeListControl::GetHeaderCellRowSpan(int VisibleBand, int Row, int Position) {
  int col = GetHeaderColumn(VisibleBand, Row, Position);
  if (col < 0) return 1;
  // Only a column of the band's last used row reaches further down.
  int rows = GetHeaderRowCount();
  for (int r = Row + 1; r < rows; ++r)
    if (GetHeaderRowColumnCount(VisibleBand, r) > 0) return 1;
  int lines = FColumns[col]->HeaderMaxLineCount();
  int left = rows - Row;
  return lines == 0 ? left : std::clamp(lines, 1, left);
}

bool TCustomvmTreeListControl::CalcCellTextHeight(TvmTreeListNode* Node, int Column, const std::string& Text, int Width,
                                                  int MaxLines, int& LineCount, int& Height) {
  if (OnMeasureCellText && Column >= 0 && Column < ColumnCount()) {
    bool done = false;
    OnMeasureCellText(this, Node, FColumns[Column], Text, Width, FTextHeight, MaxLines,
                      FExtendedOptions.Contains(tlxCellFrame), FShowGrid && FShowPreviewGrid, LineCount, Height, done);
    if (done) return true;
  }
  return TCustomvmTreeList::CalcCellTextHeight(Node, Column, Text, Width, MaxLines, LineCount, Height);
}

int TCustomvmTreeListControl::GetLeftFixedBand() {
  int b = GetBandAbsoluteIndex(0);
  return b >= 0 && FBands->Items(b)->Fixed() == bfLeft ? 0 : -1;
}

int TCustomvmTreeListControl::GetRightFixedBand() {
  int n = GetVisibleBandCount();
  int b = GetBandAbsoluteIndex(n - 1);
  return n > 1 && b >= 0 && FBands->Items(b)->Fixed() == bfRight ? n - 1 : -1;
}
