// The data-aware tree view.
#include "treelist/db_treeview.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/shell.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

namespace {

// Posted to the tree after a node's record was deleted.
constexpr uint32_t CM_DBTREE_RESYNC = WM_USER + 0x96;

// The busy flag as a counter, so nested steps restore it.
struct TBusy {
  explicit TBusy(int& Counter) : FCounter(Counter) { ++FCounter; }
  ~TBusy() { --FCounter; }
  TBusy(const TBusy&) = delete;
  TBusy& operator=(const TBusy&) = delete;
  int& FCounter;
};

// Variants order as numbers when both are numbers, else as texts; null is below everything.
int CompareVariants(const Variant& A, const Variant& B, bool& Ok) {
  Ok = true;
  if (A.IsNull() || B.IsNull()) {
    Ok = false;
    return 0;
  }
  if (A.IsNumeric() && B.IsNumeric()) {
    double a = A.AsFloat(), b = B.AsFloat();
    return a < b ? -1 : a > b ? 1 : 0;
  }
  if (A.IsNumeric() != B.IsNumeric()) {
    Ok = false;
    return 0;
  }
  std::string a = A.AsString(), b = B.AsString();
  return a < b ? -1 : a > b ? 1 : 0;
}

// Keeps the dataset's current record over a walk through the records, with its controls
// disabled meanwhile.
class TKeepPosition {
public:
  explicit TKeepPosition(TDataSet* ADataSet) : FDataSet(ADataSet) {
    FDataSet->DisableControls();
    FMark = FDataSet->GetBookmark();
  }
  ~TKeepPosition() {
    try {
      if (!FMark.empty() && FDataSet->BookmarkValid(FMark)) FDataSet->GotoBookmark(FMark);
    } catch (const Exception&) {
      // The record went away meanwhile: the dataset stays where the walk left it.
    }
    FDataSet->EnableControls();
  }
  TKeepPosition(const TKeepPosition&) = delete;
  TKeepPosition& operator=(const TKeepPosition&) = delete;

private:
  TDataSet* FDataSet;
  TBookmark FMark;
};

bool IsIndexType(TFieldType T) {
  return T == ftSmallint || T == ftInteger || T == ftWord || T == ftFloat || T == ftCurrency || T == ftAutoInc;
}

}  // namespace

bool TVariantKeyLess::operator()(const Variant& A, const Variant& B) const {
  auto rank = [](const Variant& V) { return V.IsNull() ? 0 : V.IsNumeric() ? 1 : 2; };
  const int ra = rank(A), rb = rank(B);
  if (ra != rb) return ra < rb;
  if (ra == 0) return false;
  if (ra == 1) return A.AsFloat() < B.AsFloat();
  return A.AsString() < B.AsString();
}

bool VarSafeEquals(const Variant& A, const Variant& B) {
  bool ok;
  int c = CompareVariants(A, B, ok);
  return ok && c == 0;
}
bool VarSafeLess(const Variant& A, const Variant& B) {
  bool ok;
  int c = CompareVariants(A, B, ok);
  return ok && c < 0;
}
bool VarSafeGreater(const Variant& A, const Variant& B) {
  bool ok;
  int c = CompareVariants(A, B, ok);
  return ok && c > 0;
}

bool DataSetLocate(TDataSet* DataSet, const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  try {
    return DataSet && DataSet->Active() && DataSet->Locate(KeyFields, KeyValues, Options);
  } catch (const Exception&) {
    return false;
  }
}

// ---------------------------------------------------------------------------------------------
// Nodes.

TvmDBTreeNode::~TvmDBTreeNode() {
  auto* tv = static_cast<TvmDBTreeView*>(TreeView());
  if (tv) tv->NodeDestroying(this);
}

void TvmDBTreeNode::ReKey(const Variant& Key) {
  if (Nodes) Nodes->Remove(this);
  KeyValue = Key;
  if (Nodes) Nodes->Insert(this);
}

void TvmDBTreeNode::LoadIndexes() {
  auto* tv = static_cast<TvmDBTreeView*>(TreeView());
  if (!tv->FKeyField || !VarSafeEquals(tv->FKeyField->Value(), KeyValue)) return;
  ImageIndex = tv->FImageField && !tv->FImageField->IsNull() ? tv->FImageField->AsInteger() : 0;
  StateIndex = tv->FStateField && !tv->FStateField->IsNull() ? tv->FStateField->AsInteger() : -1;
}

void TvmDBTreeNode::LoadChildren(bool Recursive, const TDBTreeRecordIndex* Index) {
  auto* tv = static_cast<TvmDBTreeView*>(TreeView());
  TDataSet* ds = tv->DataSet();
  // The walk would post or lose a record being edited or inserted.
  if (!tv->FKeyField || !tv->FParentField || !ds || ds->State() != dsBrowse || !Nodes) return;
  TBusy busy(tv->FBusy);
  // The dataset need not be ordered by the parent field.
  TDBTreeRecordIndex own;
  if (!Index) {
    tv->IndexRecords(own, Recursive ? nullptr : &KeyValue, false);
    Index = &own;
  }
  TKeepPosition keep(ds);
  TRestore<const TVariantKeySet*> keys(Nodes->ParentKeys, &Index->Parents);
  // Breadth first; a node is loaded once, so a cycle of parent values ends.
  std::vector<TvmDBTreeNode*> todo{this};
  for (size_t i = 0; i < todo.size(); ++i) {
    TvmDBTreeNode* n = todo[i];
    n->ChildrenLoaded = true;
    auto it = Index->ByParent.find(n->KeyValue);
    if (it != Index->ByParent.end())
      for (const TBookmark& b : it->second) {
        ds->GotoBookmark(b);
        if (!Nodes->NodeByKey(tv->FKeyField->Value())) Nodes->AddRecordNode();
      }
    n->SetHasChildren(n->Count() > 0);
    if (tv->SortType() != stNone) n->AlphaSort(false);
    if (Recursive)
      for (int c = 0; c < n->Count(); ++c) {
        auto* child = static_cast<TvmDBTreeNode*>(n->Item(c));
        if (!child->ChildrenLoaded) todo.push_back(child);
      }
  }
}

void TvmDBTreeNode::SetChildrenLoaded(bool Value) {
  if (Value == ChildrenLoaded) return;
  if (Value) {
    LoadChildren(false);
    return;
  }
  auto* tv = static_cast<TvmDBTreeView*>(TreeView());
  TRestore<bool> collapsing(tv->FCollapsing, true);
  const bool had = HasChildren();
  while (Count() > 0) delete Item(Count() - 1);
  SetHasChildren(had);
  ChildrenLoaded = false;
}

void TvmDBTreeNode::MoveTo(TvmTreeNode* Destination, TNodeAttachMode Mode) {
  TvmTreeNode::MoveTo(Destination, Mode);
  auto* tv = static_cast<TvmDBTreeView*>(TreeView());
  if (tv->Busy() || tv->InternalNodeChange() || IsNew) return;
  auto* parent = static_cast<TvmDBTreeNode*>(Parent());
  TvmDBTreeNode* expected = tv->FNodes->NodeByKey(ParentValue);
  if (parent != expected) tv->ChangeNodeParent(this, parent);
}

// ---------------------------------------------------------------------------------------------
// The index.

bool TvmDBTreeNodes::FindIndex(const Variant& Key, int& Index) const {
  Index = -1;
  if (FList.empty() || Key.IsNull() || VarSafeLess(Key, FList.front()->KeyValue)) return false;
  const int n = static_cast<int>(FList.size());
  if (VarSafeGreater(Key, FList.back()->KeyValue)) {
    Index = n;
    return false;
  }
  int lo = 0, hi = n - 1;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    const Variant& k = FList[static_cast<size_t>(mid)]->KeyValue;
    if (VarSafeEquals(Key, k)) {
      Index = mid;
      return true;
    }
    if (VarSafeLess(Key, k))
      hi = mid - 1;
    else
      lo = mid + 1;
  }
  Index = lo;
  return false;
}

TvmDBTreeNode* TvmDBTreeNodes::NodeByKey(const Variant& Key) const {
  int i;
  return FindIndex(Key, i) ? FList[static_cast<size_t>(i)] : nullptr;
}

void TvmDBTreeNodes::Insert(TvmDBTreeNode* Node) {
  int i;
  FindIndex(Node->KeyValue, i);
  if (i < 0) i = 0;
  FList.insert(FList.begin() + std::min(i, static_cast<int>(FList.size())), Node);
  Node->Nodes = this;
}

void TvmDBTreeNodes::Remove(TvmDBTreeNode* Node) {
  auto it = std::find(FList.begin(), FList.end(), Node);
  if (it != FList.end()) FList.erase(it);
}

Variant TvmDBTreeNodes::LastKey() const { return FList.empty() ? Variant() : FList.back()->KeyValue; }

void TvmDBTreeNodes::ClearVisited() {
  for (TvmDBTreeNode* n : FList) n->Visited = false;
}

void TvmDBTreeNodes::AddRecordNode() {
  TvmDBTreeView* tv = FTree;
  Variant key = tv->FKeyField->Value();
  if (key.IsNull()) return;
  TBusy busy(tv->FBusy);
  std::string text;
  tv->GetRecordText(text);
  Variant parentValue = tv->FParentField->Value();
  TvmDBTreeNode* node = NodeByKey(key);
  TvmDBTreeNode* parent = NodeByKey(parentValue);
  if (parent && (parent == node || (node && parent->HasAsParent(node)))) parent = nullptr;
  if (node) {
    if (node->Parent() != parent) {
      if (parent) {
        node->MoveTo(parent, naAddChild);
        parent->SetHasChildren(true);
      } else {
        node->MoveTo(nullptr, naAdd);
      }
    }
    if (node->Text() != text) node->SetText(text);
  } else {
    node = static_cast<TvmDBTreeNode*>(tv->AddNode(parent, text, parent ? naAddChild : naAdd));
  }
  node->ParentValue = parentValue;
  if (tv->SmartLoad()) {
    if (!tv->FDBOptions.Contains(trCheckHasChildren))
      node->SetHasChildren(true);
    else if (ParentKeys)
      node->SetHasChildren(ParentKeys->count(key) > 0);
    else
      node->SetHasChildren(tv->RecordHasChildren(key));
  }
  node->ListText = tv->FListField ? tv->FListField->Text() : std::string();
  node->LoadIndexes();
  node->Visited = true;
  if (tv->OnRefreshNode) tv->OnRefreshNode(tv, node);
  int want = std::min(100, std::max(Count(), 1));
  if (want > tv->FDataLink->BufferCount()) tv->FDataLink->SetBufferCount(want);
}

void TvmDBTreeNodes::ReparentRoots() {
  TvmDBTreeView* tv = FTree;
  for (int i = 0; i < tv->TopCount();) {
    auto* n = static_cast<TvmDBTreeNode*>(tv->TopItem(i));
    TvmDBTreeNode* p = n->Visited ? NodeByKey(n->ParentValue) : nullptr;
    if (p && p != n && !p->HasAsParent(n)) {
      n->MoveTo(p, naAddChild);
      p->SetHasChildren(true);
    } else {
      ++i;
    }
  }
}

void TvmDBTreeNodes::DeleteUnvisited() {
  std::vector<TvmDBTreeNode*> gone;
  for (TvmDBTreeNode* n : FList)
    if (!n->Visited) gone.push_back(n);
  // A node may go with an unvisited parent: each one is freed only while still indexed.
  for (TvmDBTreeNode* n : gone)
    if (std::find(FList.begin(), FList.end(), n) != FList.end()) {
      // Its visited children stay: they move to the top level first.
      while (n->Count() > 0) n->Item(0)->MoveTo(nullptr, naAdd);
      delete n;
    }
}

void TvmDBTreeNodes::Clear() {
  Destroying = true;
  TScopeExit done([this] { Destroying = false; });
  FTree->Clear();
  FList.clear();
}

// ---------------------------------------------------------------------------------------------
// The data link.

void TDataLinkTreeView::ActiveChanged() {
  TDataSet* ds = DataSet();
  FSeen = Active() && ds;
  FFiltered = FSeen && ds->Filtered();
  FTree->FieldsChanged();
}

void TDataLinkTreeView::DataSetChanged() {
  TDataSet* ds = DataSet();
  if (ds && FSeen && ds->Filtered() != FFiltered) {
    FFiltered = ds->Filtered();
    FTree->FieldsChanged();
    return;
  }
  FTree->DataChanged();
}

void TDataLinkTreeView::DataSetScrolled(int) { FTree->SyncSelection(); }

void TDataLinkTreeView::RecordChanged(TField* Field) {
  TDataSet* ds = DataSet();
  if (!ds) return;
  if (ds->State() == dsEdit) FTree->EditFieldRecordChanged(Field);
  if (ds->State() == dsInsert) FTree->InsertedRecordChanged();
}

// ---------------------------------------------------------------------------------------------
// The tree.

namespace {
const TEnumInfo DBTreeOptionInfo("TvmDBTreeViewOption",
                                 {"trDBCanDelete", "trDBConfirmDelete", "trCanDBNavigate", "trSmartRecordLoad",
                                  "trSmartRecordCopy", "trCheckHasChildren"});
const TEnumInfo DBSortTypeInfo("TSortType", {"stNone", "stData", "stText", "stBoth"});
}  // namespace

VM_PUBLISH(TvmDBTreeView) {
  P.String("KeyField", &TvmDBTreeView::KeyField, &TvmDBTreeView::SetKeyField);
  P.String("ParentField", &TvmDBTreeView::ParentField, &TvmDBTreeView::SetParentField);
  P.String("ListField", &TvmDBTreeView::ListField, &TvmDBTreeView::SetListField);
  P.String("DisplayField", &TvmDBTreeView::DisplayField, &TvmDBTreeView::SetDisplayField);
  P.String("SeparatedSt", &TvmDBTreeView::SeparatedSt, &TvmDBTreeView::SetSeparatedSt).Default(" - ");
  P.String("ImageIndexField", &TvmDBTreeView::ImageIndexField, &TvmDBTreeView::SetImageIndexField);
  P.String("StateIndexField", &TvmDBTreeView::StateIndexField, &TvmDBTreeView::SetStateIndexField);
  P.Component("DataSource", &TvmDBTreeView::DataSource, &TvmDBTreeView::SetDataSource);
  // Kept as text; empty is Null (the top-level records have no parent value).
  P.Variant(
       "RootValue",
       [](TvmDBTreeView* T) { return T->RootValue().IsNull() ? std::string() : T->RootValue().AsString(); },
       [](TvmDBTreeView* T, const std::string& V) { T->SetRootValue(V.empty() ? Variant() : Variant(V)); })
      .Default("");
  // Compared with the options a new tree has, so that an empty set is written and read back.
  P.Set("Options", &TvmDBTreeView::DBOptions, &TvmDBTreeView::SetDBOptions, DBTreeOptionInfo)
      .Default(TvmDBTreeViewOptions{trDBCanDelete, trDBConfirmDelete, trCanDBNavigate, trSmartRecordCopy,
                                    trCheckHasChildren});
  P.Bool("RaiseOnError", &TvmDBTreeView::RaiseOnError, &TvmDBTreeView::RaiseOnError).Default(true);
  // The plain tree view's settings but its Items and its own options.
  using C = TvmDBTreeView;
  P.Int("DragCursor", &C::DragCursor, &C::DragCursor).Default(crDrag).Idents(CursorIdents);
  P.Bool("HideSelection", &C::HideSelection, &C::HideSelection).Default(true);
  P.Component("Images", &C::Images, &C::SetImages);
  P.Int("Indent", &C::Indent, &C::SetIndent).Default(19);
  P.Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
  P.Int("SelectedIndex", &C::SelectedIndex, &C::SetSelectedIndex).Default(-1);
  P.Bool("ShowButtons", &C::ShowButtons, &C::ShowButtons).Default(true);
  P.Bool("ShowLines", &C::ShowLines, &C::ShowLines).Default(true);
  P.Bool("ShowRoot", &C::ShowRoot, &C::ShowRoot).Default(true);
  P.Enum("SortType", &C::SortType, &C::SetSortType, DBSortTypeInfo).Default(stNone);
  P.Component("StateImages", &C::StateImages, &C::SetStateImages);
}

TvmDBTreeView::TvmDBTreeView(TComponent* AOwner)
    : TCustomvmTreeView(AOwner),
      FDataLink(std::make_unique<TDataLinkTreeView>(this)),
      FNodes(std::make_unique<TvmDBTreeNodes>(this)),
      FDBOptions({trDBCanDelete, trDBConfirmDelete, trCanDBNavigate, trSmartRecordCopy, trCheckHasChildren}) {
  // The tree answers the expansion events of its base class itself and passes them on to its own.
  TCustomvmTreeView::OnExpanding = [this](TObject*, TvmTreeNode* Node, bool& Allow) { NodeExpanding(Node, Allow); };
  TCustomvmTreeView::OnCollapsed = [this](TObject*, TvmTreeNode* Node) { NodeCollapsed(Node); };
  TCustomvmTreeView::OnEditing = [this](TObject*, TvmTreeNode* Node, bool& Allow) { LabelEditing(Node, Allow); };
  TCustomvmTreeView::OnEdited = [this](TObject*, TvmTreeNode* Node, std::string& S) { LabelEdited(Node, S); };
  TCustomvmTreeView::OnGetEditText = [this](TObject*, TvmTreeNode* Node, std::string& Text) {
    // The editor shows the list field's text, also where display fields compose the node's text.
    auto* n = static_cast<TvmDBTreeNode*>(Node);
    if (FListField && FKeyField && DataSet() && DataSet()->Active() && VarSafeEquals(FKeyField->Value(), n->KeyValue))
      Text = FListField->Text();
    if (OnGetEditText) OnGetEditText(this, Node, Text);
  };
}

TvmDBTreeView::~TvmDBTreeView() {
  FNodes->Destroying = true;
  ++FBusy;
  Clear();
  FDataLink->SetDataSource(nullptr);
}

TDataSource* TvmDBTreeView::DataSource() const { return FDataLink->DataSource(); }

TDataSet* TvmDBTreeView::DataSet() const { return FDataLink->DataSet(); }

void TvmDBTreeView::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  FieldsChanged();
}

void TvmDBTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomvmTreeView::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == DataSource()) SetDataSource(nullptr);
}

void TvmDBTreeView::Loaded() {
  TCustomvmTreeView::Loaded();
  FieldsChanged();
}

void TvmDBTreeView::SetKeyField(const std::string& Value) {
  if (StoreChanged(FKeyFieldName, Value)) FieldsChanged();
}

void TvmDBTreeView::SetParentField(const std::string& Value) {
  if (StoreChanged(FParentFieldName, Value)) FieldsChanged();
}

void TvmDBTreeView::SetListField(const std::string& Value) {
  if (StoreChanged(FListFieldName, Value)) FieldsChanged();
}

void TvmDBTreeView::SetDisplayField(const std::string& Value) {
  if (StoreChanged(FDisplayFieldName, Value)) FieldsChanged();
}

void TvmDBTreeView::SetImageIndexField(const std::string& Value) {
  if (StoreChanged(FImageIndexFieldName, Value)) FieldsChanged();
}

void TvmDBTreeView::SetStateIndexField(const std::string& Value) {
  if (StoreChanged(FStateIndexFieldName, Value)) FieldsChanged();
}

void TvmDBTreeView::SetSeparatedSt(const std::string& Value) {
  if (FSeparatedSt == Value) return;
  FSeparatedSt = Value;
  if (!FDisplayFields.empty()) FieldsChanged();
}

void TvmDBTreeView::SetRootValue(const Variant& Value) {
  FRootValue = Value;
  if (FDBOptions.Contains(trSmartRecordLoad)) {
    TBusy busy(FBusy);
    FNodes->Clear();
    FieldsChanged();
  }
}

void TvmDBTreeView::SetDBOptions(const TvmDBTreeViewOptions& Value) {
  FDBOptions = Value;
  TvmTreeViewOptions o;
  if (Value.Contains(trDBCanDelete)) o.Include(trCanDelete);
  if (Value.Contains(trDBConfirmDelete)) o.Include(trConfirmDelete);
  Options = o;
  LoadTree();
}

void TvmDBTreeView::ResolveFields() {
  FKeyField = FParentField = FListField = FImageField = FStateField = nullptr;
  FDisplayFields.clear();
  TDataSet* ds = DataSet();
  if (!FDataLink->Active() || !ds) return;
  FKeyField = ds->FindField(FKeyFieldName);
  FParentField = ds->FindField(FParentFieldName);
  FListField = ds->FindField(FListFieldName);
  FImageField = ds->FindField(FImageIndexFieldName);
  if (FImageField && !IsIndexType(FImageField->DataType())) FImageField = nullptr;
  FStateField = ds->FindField(FStateIndexFieldName);
  if (FStateField && !IsIndexType(FStateField->DataType())) FStateField = nullptr;
  try {
    if (!FDisplayFieldName.empty()) ds->GetFieldList(FDisplayFields, FDisplayFieldName);
  } catch (const EDatabaseError&) {
    FDisplayFields.clear();
  }
}

Variant TvmDBTreeView::ConvertToKeyType(const Variant& Value) const {
  if (Value.IsNull() || !FKeyField) return Value;
  switch (FKeyField->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return Variant(Value.AsInteger());
    case ftFloat:
    case ftCurrency:
      return Variant(Value.AsFloat());
    default:
      return Variant(Value.AsString());
  }
}

void TvmDBTreeView::FieldsChanged() {
  ResolveFields();
  try {
    FRootValue = ConvertToKeyType(FRootValue);
  } catch (const Exception&) {
    FRootValue = Variant();
  }
  LoadTree();
}

void TvmDBTreeView::GetRecordText(std::string& S) {
  if (FDisplayFields.empty()) {
    S = FListField ? FListField->Text() : std::string();
  } else {
    S.clear();
    for (size_t i = 0; i < FDisplayFields.size(); ++i) {
      if (i) S += FSeparatedSt;
      S += FDisplayFields[i]->Text();
    }
  }
  if (OnSetDisplayItemText) OnSetDisplayItemText(this, S);
}

void TvmDBTreeView::NewKeyValue(Variant& Key) {
  Key = FNodes->LastKey();
  if (OnCreateNewKeyValue) {
    OnCreateNewKeyValue(this, Key);
    return;
  }
  if (Key.IsNull())
    Key = Variant(0);
  else if (Key.IsNumeric())
    Key = std::holds_alternative<double>(Key.V) ? Variant(Key.AsFloat() + 1) : Variant(Key.AsInteger() + 1);
}

void TvmDBTreeView::LoadTree() {
  TDataSet* ds = DataSet();
  TBusy busy(FBusy);
  if (!FKeyField || !FListField || !FParentField || !ds || !ds->Active()) {
    FNodes->Clear();
    return;
  }
  FNodes->ClearVisited();
  {
    TKeepPosition keep(ds);
    if (SmartLoad())
      LoadSmartTree(ds);
    else
      for (ds->First(); !ds->Eof(); ds->Next()) FNodes->AddRecordNode();
  }
  FNodes->ReparentRoots();
  FNodes->DeleteUnvisited();
  if (SortType() != stNone) AlphaSort(true);
  --FBusy;
  TScopeExit again([this] { ++FBusy; });
  SyncSelection();
}

bool TvmDBTreeView::IsRootParent(const Variant& Key, const Variant& Parent) const {
  return Parent.IsNull() || VarSafeEquals(Parent, Key) || (!FRootValue.IsNull() && VarSafeEquals(Parent, FRootValue));
}

void TvmDBTreeView::LoadSmartTree(TDataSet* ds) {
  // One walk through the records finds the nodes to refresh, the records of the top level and the
  // new children of loaded nodes; the dataset need not be ordered by the parent field.
  TVariantKeySet keys, parents;
  std::vector<TBookmark> update;
  for (ds->First(); !ds->Eof(); ds->Next()) {
    Variant k = FKeyField->Value(), p = FParentField->Value();
    if (k.IsNull()) continue;
    keys.insert(k);
    if (!p.IsNull() && !VarSafeEquals(p, k)) parents.insert(p);
    TvmDBTreeNode* parentNode = p.IsNull() ? nullptr : FNodes->NodeByKey(p);
    if (FNodes->NodeByKey(k) || (parentNode && parentNode->ChildrenLoaded) || IsRootParent(k, p))
      update.push_back(ds->GetBookmark());
  }
  TRestore<const TVariantKeySet*> known(FNodes->ParentKeys, &parents);
  for (const TBookmark& b : update) {
    ds->GotoBookmark(b);
    Variant k = FKeyField->Value(), p = FParentField->Value();
    // A node whose record moved under a parent that is not loaded leaves the tree.
    if (FNodes->NodeByKey(k) && !IsRootParent(k, p) && !FNodes->NodeByKey(p) && keys.count(p)) continue;
    FNodes->AddRecordNode();
  }
  // A record whose parent has no record goes to the top level (a second walk, only when the
  // dataset has such records).
  TVariantKeySet missing;
  std::set_difference(parents.begin(), parents.end(), keys.begin(), keys.end(), std::inserter(missing, missing.end()),
                      TVariantKeyLess());
  if (missing.empty()) return;
  std::vector<TBookmark> orphans;
  for (ds->First(); !ds->Eof(); ds->Next())
    if (missing.count(FParentField->Value()) && !FNodes->NodeByKey(FKeyField->Value()))
      orphans.push_back(ds->GetBookmark());
  for (const TBookmark& b : orphans) {
    ds->GotoBookmark(b);
    FNodes->AddRecordNode();
  }
}

void TvmDBTreeView::IndexRecords(TDBTreeRecordIndex& Index, const Variant* OnlyParent, bool WithParentOf) {
  TDataSet* ds = DataSet();
  TKeepPosition keep(ds);
  for (ds->First(); !ds->Eof(); ds->Next()) {
    Variant k = FKeyField->Value(), p = FParentField->Value();
    if (k.IsNull()) continue;
    if (WithParentOf) Index.ParentOf.emplace(k, p);
    if (p.IsNull() || VarSafeEquals(p, k)) continue;
    Index.Parents.insert(p);
    if (!OnlyParent || VarSafeEquals(p, *OnlyParent)) Index.ByParent[p].push_back(ds->GetBookmark());
  }
}

bool TvmDBTreeView::RecordHasChildren(const Variant& Key) {
  TDataSet* ds = DataSet();
  if (!ds || ds->State() != dsBrowse || Key.IsNull()) return false;
  TKeepPosition keep(ds);
  for (ds->First(); !ds->Eof(); ds->Next()) {
    Variant p = FParentField->Value();
    if (VarSafeEquals(p, Key) && !VarSafeEquals(FKeyField->Value(), Key)) return true;
  }
  return false;
}

void TvmDBTreeView::NodeExpanding(TvmTreeNode* Node, bool& Allow) {
  if (OnExpanding) OnExpanding(this, Node, Allow);
  if (!Allow || !SmartLoad()) return;
  auto* n = static_cast<TvmDBTreeNode*>(Node);
  if (!n->ChildrenLoaded) {
    // While a record is edited the children cannot be read: the node stays closed for now.
    if (!DataSet() || DataSet()->State() != dsBrowse) {
      Allow = false;
      return;
    }
    n->LoadChildren(false);
  }
  // A node without children loses its expand button instead of opening.
  if (n->Count() == 0) {
    Allow = false;
    n->SetHasChildren(false);
  }
}

void TvmDBTreeView::NodeCollapsed(TvmTreeNode* Node) {
  if (SmartLoad()) static_cast<TvmDBTreeNode*>(Node)->SetChildrenLoaded(false);
  if (OnCollapsed) OnCollapsed(this, Node);
}

void TvmDBTreeView::CollectSubtree(TvmTreeNode* Node, std::vector<TvmTreeNode*>& List) {
  // The node may come from another tree: its own tree loads its descendants.
  auto* n = dynamic_cast<TvmDBTreeNode*>(Node);
  auto* owner = n ? dynamic_cast<TvmDBTreeView*>(n->TreeView()) : nullptr;
  if (owner && owner->SmartLoad()) n->LoadChildren(true);
  TCustomvmTreeView::CollectSubtree(Node, List);
}

bool TvmDBTreeView::LocateNodeRecord(TvmDBTreeNode* Node) {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active() || !FKeyField) return false;
  if (VarSafeEquals(FKeyField->Value(), Node->KeyValue)) return true;
  TBusy busy(FBusy);
  return DataSetLocate(ds, FKeyFieldName, Node->KeyValue, TLocateOptions()) &&
         VarSafeEquals(FKeyField->Value(), Node->KeyValue);
}

bool TvmDBTreeView::ListTextWritable() {
  // A list field that is also the key or parent field is not changed through a node's text: the
  // node would keep a stale key or parent.
  TDataSet* ds = DataSet();
  return FListField && ds && ds->CanModify() && FListField->CanModify() && FListField != FKeyField &&
         FListField != FParentField;
}

void TvmDBTreeView::LabelEditing(TvmTreeNode* Node, bool& Allow) {
  if (OnEditing) OnEditing(this, Node, Allow);
  TDataSet* ds = DataSet();
  if (!Allow || !FListField || !ds || !ds->Active()) return;
  auto* n = static_cast<TvmDBTreeNode*>(Node);
  // The editor starts from the list field's text; a node without display fields shows it too.
  if (LocateNodeRecord(n) && FDisplayFields.empty() && FListField->Text() != Node->Text())
    Node->SetText(FListField->Text());
  if (!FEditBox) {
    FEditBox = new TEdit(this);
    FEditBox->SetParent(this);
  }
  FEditBox->SetMaxLength(FListField->DisplayWidth());
  // Nothing can be typed into a record that cannot change; a character the field refuses beeps.
  FEditBox->SetReadOnly(!ListTextWritable());
  FEditBox->OnKeyPress = [this](TObject*, char& Key) {
    if (static_cast<unsigned char>(Key) >= 32 && FListField && !FListField->IsValidChar(Key)) {
      Key = 0;
      MessageBeep();
    }
  };
}

void TvmDBTreeView::LabelEdited(TvmTreeNode* Node, std::string& S) {
  if (OnEdited) OnEdited(this, Node, S);
  auto* n = static_cast<TvmDBTreeNode*>(Node);
  TDataSet* ds = DataSet();
  if (FBusy || !FListField || !ds || !ds->Active() || !LocateNodeRecord(n)) return;
  TBusy busy(FBusy);
  if (S != FListField->Text() && !ReadOnly() && ListTextWritable() && DoDBAction(n, nullptr, trDBChangeText)) {
    try {
      if (ds->State() == dsBrowse) ds->Edit();
      FListField->SetText(S);
      ds->Post();
      n->ListText = FListField->Text();
    } catch (const Exception&) {
      // The record keeps its text, and so does the node.
      if (ds->State() == dsEdit || ds->State() == dsInsert) ds->Cancel();
      S = FListField->Text();
    }
  }
  // With display fields the node shows the composed text of the record again.
  if (!FDisplayFields.empty()) GetRecordText(S);
}

void TvmDBTreeView::NodesCopied(const std::vector<TvmTreeNode*>& Sources, const std::vector<TvmTreeNode*>& Copies,
                                bool IsCopy) {
  TCustomvmTreeView::NodesCopied(Sources, Copies, IsCopy);
  TDataSet* ds = DataSet();
  if (Copies.empty() || !FKeyField || !FParentField || !ds || !ds->Active()) return;
  // The copies were made as passing nodes of the drop: they get keys of their own here.
  for (TvmTreeNode* c : Copies) {
    auto* n = static_cast<TvmDBTreeNode*>(c);
    Variant k;
    NewKeyValue(k);
    n->KeyValue = k;
    n->IsNew = false;
    FNodes->Insert(n);
  }
  auto* first = static_cast<TvmDBTreeNode*>(Copies.front());
  auto* firstSource = dynamic_cast<TvmDBTreeNode*>(Sources.front());
  if (!DoDBAction(firstSource, first, trDBMove)) return;
  TBusy busy(FBusy);
  auto* firstParent = static_cast<TvmDBTreeNode*>(first->Parent());
  if (SmartLoad() && firstParent && !firstParent->ChildrenLoaded) {
    firstParent->LoadChildren(false);
    firstParent->SetHasChildren(true);
  }
  // The other fields of the source records that this dataset has too.
  auto* sourceTree = firstSource ? dynamic_cast<TvmDBTreeView*>(firstSource->TreeView()) : nullptr;
  TDataSet* sourceSet = sourceTree ? sourceTree->DataSet() : nullptr;
  std::vector<std::pair<TField*, TField*>> fields;  // (source, destination)
  if (FDBOptions.Contains(trSmartRecordCopy) && sourceSet && sourceSet->Active() && sourceTree->FKeyField)
    for (int i = 0; i < sourceSet->Fields().Count(); ++i) {
      TField* from = sourceSet->Fields()[i];
      if (from == sourceTree->FKeyField || from == sourceTree->FParentField || from->FieldKind() != fkData) continue;
      TField* to = ds->FindField(from->FieldName());
      if (to && to != FKeyField && to != FParentField && to->FieldKind() == fkData && to->CanModify())
        fields.emplace_back(from, to);
    }
  // The source tree ignores its dataset's moves meanwhile, and its record comes back afterwards.
  const bool foreignSet = sourceSet && sourceSet != ds && sourceSet->Active();
  std::unique_ptr<TBusy> sourceBusy;
  if (sourceTree && sourceTree != this) sourceBusy = std::make_unique<TBusy>(sourceTree->FBusy);
  std::unique_ptr<TKeepPosition> sourcePosition;
  if (foreignSet) sourcePosition = std::make_unique<TKeepPosition>(sourceSet);
  ds->DisableControls();
  TScopeExit enable([ds] { ds->EnableControls(); });
  for (size_t i = 0; i < Copies.size(); ++i) {
    auto* c = static_cast<TvmDBTreeNode*>(Copies[i]);
    auto* parent = static_cast<TvmDBTreeNode*>(c->Parent());
    c->ParentValue = parent ? parent->KeyValue : FRootValue.IsNull() && !SmartLoad() ? c->KeyValue : FRootValue;
    try {
      ds->Append();
      FParentField->SetValue(c->ParentValue);
      if (FListField && FListField != FKeyField && FListField != FParentField) FListField->SetText(c->Text());
      if (FKeyField->DataType() != ftAutoInc) FKeyField->SetValue(c->KeyValue);
      ds->Post();
      if (FKeyField->DataType() == ftAutoInc) c->ReKey(FKeyField->Value());
    } catch (const Exception&) {
      // The copy stays in the tree without a record, as a refused action leaves it.
      if (ds->State() == dsInsert) ds->Cancel();
      continue;
    }
    auto* source = i < Sources.size() ? dynamic_cast<TvmDBTreeNode*>(Sources[i]) : nullptr;
    if (!fields.empty() && source &&
        DataSetLocate(sourceSet, sourceTree->FKeyFieldName, source->KeyValue, TLocateOptions())) {
      std::vector<Variant> values;
      for (auto& f : fields) values.push_back(f.first->Value());
      if (DataSetLocate(ds, FKeyFieldName, c->KeyValue, TLocateOptions())) {
        try {
          ds->Edit();
          for (size_t j = 0; j < fields.size(); ++j) {
            try {
              fields[j].second->SetValue(values[j]);
            } catch (const Exception&) {
              // A value this field cannot take is left out.
            }
          }
          ds->Post();
        } catch (const Exception&) {
          if (ds->State() == dsEdit) ds->Cancel();
        }
      }
    }
    if (VarSafeEquals(FKeyField->Value(), c->KeyValue) ||
        DataSetLocate(ds, FKeyFieldName, c->KeyValue, TLocateOptions())) {
      std::string text;
      GetRecordText(text);
      c->SetText(text);
      c->ListText = FListField ? FListField->Text() : std::string();
      c->LoadIndexes();
    }
    TvmDBTreeNode* added = c;
    if (OnAddNewItem) OnAddNewItem(this, added);
  }
  if (firstParent) DataSetLocate(ds, FKeyFieldName, firstParent->KeyValue, TLocateOptions());
}

void TvmDBTreeView::DataChanged() {
  TDataSet* ds = DataSet();
  if (FBusy || !ds || ds->State() == dsInsert || ds->State() == dsEdit) return;
  if (IsEditing()) EndEdit(true);
  ResolveFields();
  LoadTree();
}

void TvmDBTreeView::SyncSelection() {
  if (FBusy || !FDBOptions.Contains(trCanDBNavigate) || !FKeyField) return;
  SelectKey(FKeyField->Value());
}

void TvmDBTreeView::SelectKey(const Variant& Key) {
  if (Key.IsNull()) return;
  if (TvmDBTreeNode* n = FNodes->NodeByKey(Key)) {
    TBusy busy(FBusy);
    n->MakeVisible();
    SetSelected(n);
    return;
  }
  TDataSet* ds = DataSet();
  if (!SmartLoad() || FBusy || !FParentField || !ds || !ds->Active() || ds->State() != dsBrowse) return;
  {
    TBusy busy(FBusy);
    TKeepPosition keep(ds);
    // One walk finds every record's parent and children; the path is read from it.
    TDBTreeRecordIndex index;
    IndexRecords(index, nullptr, true);
    if (!index.ParentOf.count(Key)) return;
    // Up through the ancestors until one has a node; a missing parent, a record that is its own
    // parent or a key met twice (a cycle) ends the walk at the topmost record found.
    std::vector<Variant> path{Key};
    TVariantKeySet seen{Key};
    TvmDBTreeNode* reached = nullptr;
    for (Variant k = Key;;) {
      const Variant p = index.ParentOf.find(k)->second;
      if (p.IsNull() || VarSafeEquals(p, k)) break;
      if ((reached = FNodes->NodeByKey(p)) != nullptr) break;
      if (seen.count(p) || !index.ParentOf.count(p)) break;
      path.push_back(p);
      seen.insert(p);
      k = p;
    }
    if (reached) {
      if (!reached->ChildrenLoaded || !FNodes->NodeByKey(path.back())) reached->LoadChildren(false, &index);
    } else if (DataSetLocate(ds, FKeyFieldName, path.back(), TLocateOptions())) {
      TRestore<const TVariantKeySet*> known(FNodes->ParentKeys, &index.Parents);
      FNodes->AddRecordNode();
    }
    // From the top down, each record on the way loads its children.
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
      TvmDBTreeNode* n = FNodes->NodeByKey(*it);
      if (!n) break;
      if (*it != Key && !n->ChildrenLoaded) n->LoadChildren(false, &index);
    }
  }
  if (FNodes->NodeByKey(Key)) SelectKey(Key);
}

TvmDBTreeNode* TvmDBTreeView::FindRecordNode() const {
  if (!FKeyField || !DataSet() || !DataSet()->Active()) return nullptr;
  Variant k = FKeyField->Value();
  return k.IsNull() ? nullptr : FNodes->NodeByKey(k);
}

bool TvmDBTreeView::DoDBAction(TvmDBTreeNode* Node1, TvmDBTreeNode* Node2, TvmDBTreeViewAction Action) {
  bool automatic = true;
  if (OnDBAction) OnDBAction(this, Node1, Node2, Action, automatic);
  return automatic;
}

TvmTreeNode* TvmDBTreeView::CreateNode() {
  auto* n = new TvmDBTreeNode(this);
  n->FontColor = Font()->Color();
  n->FontStyle = Font()->Style();
  n->FontName = Font()->Name();
  if (InternalNodeChange() || FNodes->Destroying) return n;  // a passing node of a move
  if (!FKeyField || !FParentField) {
    n->Nodes = nullptr;
    return n;
  }
  if (FBusy) {
    n->KeyValue = FKeyField->Value();
  } else {
    Variant k;
    NewKeyValue(k);
    n->KeyValue = k;
    n->IsNew = true;
  }
  FNodes->Insert(n);
  return n;
}

void TvmDBTreeView::NodeAdded(TvmTreeNode* Node) {
  TCustomvmTreeView::NodeAdded(Node);
  auto* n = static_cast<TvmDBTreeNode*>(Node);
  if (FBusy || !n->IsNew) return;
  n->IsNew = false;
  if (!InternalNodeChange()) InsertNodeRecord(n, static_cast<TvmDBTreeNode*>(n->Parent()));
}

void TvmDBTreeView::InsertNodeRecord(TvmDBTreeNode* Node, TvmDBTreeNode* Parent) {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active() || !DoDBAction(Node, Parent, trDBInsert)) return;
  TBusy busy(FBusy);
  ds->DisableControls();
  bool enabled = false;
  try {
    Node->ParentValue = Parent ? Parent->KeyValue : !FRootValue.IsNull() ? FRootValue : Node->KeyValue;
    ds->Append();
    FParentField->SetValue(Node->ParentValue);
    if (FListField != FKeyField && FListField != FParentField && FListField) FListField->SetAsString(Node->Text());
    if (FListField && FListField->IsNull()) FListField->SetAsString(" ");
    if (FKeyField->DataType() != ftAutoInc) {
      if (FKeyField->IsNull())
        FKeyField->SetValue(Node->KeyValue);
      else
        Node->ReKey(FKeyField->Value());
    }
    ds->Post();
    if (FKeyField->DataType() == ftAutoInc) Node->ReKey(FKeyField->Value());
    std::string text;
    GetRecordText(text);
    if (text != Node->Text()) Node->SetText(text);
    Node->ListText = FListField ? FListField->Text() : std::string();
    Node->LoadIndexes();
    ds->EnableControls();
    enabled = true;
    TvmDBTreeNode* added = Node;
    if (OnAddNewItem) OnAddNewItem(this, added);
    Node->MakeVisible();
    SetSelected(Node);
  } catch (Exception&) {
    if (ds->State() == dsInsert) ds->Cancel();
    if (!enabled) ds->EnableControls();
    if (OnInsertNodeError)
      OnInsertNodeError(this);
    else if (RaiseOnError)
      throw;
  }
}

void TvmDBTreeView::ChangeNodeParent(TvmDBTreeNode* Node, TvmDBTreeNode* Parent) {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active() || !DoDBAction(Node, Parent, trDBChangeParent)) return;
  TBusy busy(FBusy);
  Variant pv = Parent                                                           ? Parent->KeyValue
               : FDBOptions.Contains(trSmartRecordLoad) && !FRootValue.IsNull() ? FRootValue
                                                                                : Node->KeyValue;
  ds->DisableControls();
  TScopeExit enable([ds] { ds->EnableControls(); });
  Variant current = FKeyField->Value();
  const bool own = VarSafeEquals(current, Node->KeyValue);
  if (!own && !DataSetLocate(ds, FKeyFieldName, Node->KeyValue, TLocateOptions())) return;
  ds->Edit();
  FParentField->SetValue(pv);
  ds->Post();
  Node->ParentValue = pv;
  std::string text;
  GetRecordText(text);
  if (text != Node->Text()) Node->SetText(text);
  if (!own) DataSetLocate(ds, FKeyFieldName, current, TLocateOptions());
}

void TvmDBTreeView::NodeDestroying(TvmDBTreeNode* Node) {
  const bool writeBack =
      !FNodes->Destroying && !FClearing && !FBusy && !FCollapsing && !InternalNodeChange() && FKeyField && FParentField;
  // With smart loading the descendants get their nodes first, so that each one deletes its record.
  if (writeBack && SmartLoad() && !Node->ChildrenLoaded) Node->LoadChildren(true);
  if (!FNodes->Destroying) FNodes->Remove(Node);
  if (!writeBack) return;
  if (!DoDBAction(Node, nullptr, trDBDelete)) return;
  DeleteNodeRecord(Node->KeyValue);
  // Once the node and its children are gone, the dataset goes to the record of the node selected
  // then.
  if (!FResyncPosted && HandleAllocated()) FResyncPosted = PostMessage(this, CM_DBTREE_RESYNC);
}

void TvmDBTreeView::WndProc(TMessage& Message) {
  if (Message.Msg != CM_DBTREE_RESYNC) {
    TCustomvmTreeView::WndProc(Message);
    return;
  }
  FResyncPosted = false;
  if (Selected() && !FBusy) Change(Selected());
}

void TvmDBTreeView::DeleteNodeRecord(const Variant& Key) {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active() || ds->IsEmpty()) return;
  TBusy busy(FBusy);
  try {
    if (DataSetLocate(ds, FKeyFieldName, Key, TLocateOptions()) && VarSafeEquals(FKeyField->Value(), Key)) ds->Delete();
  } catch (const Exception&) {
    // A record that cannot be deleted stays; the tree keeps what the user did.
  }
}

void TvmDBTreeView::ChangeNodeText(TvmDBTreeNode* Node, const std::string& Text) {
  TDataSet* ds = DataSet();
  if (Text != Node->Text()) Node->SetText(Text);
  if (FBusy || !FDisplayFields.empty() || ReadOnly() || !ds || !ListTextWritable()) return;
  TBusy busy(FBusy);
  if (!VarSafeEquals(FKeyField->Value(), Node->KeyValue) &&
      !DataSetLocate(ds, FKeyFieldName, Node->KeyValue, TLocateOptions()))
    return;
  if (FListField->Text() == Text || !DoDBAction(Node, nullptr, trDBChangeText)) return;
  ds->Edit();
  FListField->SetAsString(Text);
  ds->Post();
  Node->ListText = Text;
}

void TvmDBTreeView::Change(TvmTreeNode* Node) {
  auto* n = static_cast<TvmDBTreeNode*>(Node);
  TDataSet* ds = DataSet();
  if (!FBusy && n && FKeyField && !n->KeyValue.IsNull() && ds && ds->Active() &&
      !VarSafeEquals(FKeyField->Value(), n->KeyValue) && ds->State() != dsInsert && !ds->IsEmpty()) {
    TBusy busy(FBusy);
    try {
      DataSetLocate(ds, FKeyFieldName, n->KeyValue, TLocateOptions());
    } catch (const Exception&) {
      // A refused post keeps the dataset where it was; the selection stays where the user put it.
    }
  }
  TCustomvmTreeView::Change(Node);
}

void TvmDBTreeView::EditFieldRecordChanged(TField* Field) {
  if (FEditChanging || !Field) return;
  FEditChanging = true;
  TScopeExit done([this] { FEditChanging = false; });
  TvmDBTreeNode* n = FindRecordNode();
  if (!n) return;
  if (Field == FListField || std::find(FDisplayFields.begin(), FDisplayFields.end(), Field) != FDisplayFields.end()) {
    std::string text;
    GetRecordText(text);
    n->SetText(text);
    n->ListText = FListField ? FListField->Text() : std::string();
  }
  if (Field == FImageField || Field == FStateField) n->LoadIndexes();
  if (Field == FParentField) {
    Variant pv = FParentField->Value();
    if (!pv.IsNull() && !n->ParentValue.IsNull() && !VarSafeEquals(pv, n->ParentValue)) {
      TBusy busy(FBusy);
      TvmDBTreeNode* p = FNodes->NodeByKey(pv);
      if (p && (p == n || p->HasAsParent(n))) p = nullptr;
      // With smart loading a parent that is not loaded yet takes the node when the path to the
      // record is loaded after the post.
      if (!p && SmartLoad() && !IsRootParent(n->KeyValue, pv)) return;
      if (p)
        n->MoveTo(p, naAddChild);
      else
        n->MoveTo(nullptr, naAdd);
      n->ParentValue = pv;
    }
  }
  Invalidate();
}

void TvmDBTreeView::InsertedRecordChanged() {
  if (FBusy || !FKeyField || FKeyField->Value().IsNull() || !FParentField) return;
  // With smart loading a record under a parent that is not loaded gets its node when the path to
  // it is loaded (after the post, when the tree follows the current record).
  if (SmartLoad()) {
    Variant k = FKeyField->Value(), p = FParentField->Value();
    if (!IsRootParent(k, p) && !FNodes->NodeByKey(p) && !FNodes->NodeByKey(k)) return;
  }
  TvmDBTreeNode* before = FindRecordNode();
  FNodes->AddRecordNode();
  TvmDBTreeNode* n = FindRecordNode();
  if (!n) return;
  {
    TBusy busy(FBusy);
    n->MakeVisible();
    SetSelected(n);
  }
  if (!before && !n->ParentValue.IsNull() && OnAddNewItem) OnAddNewItem(this, n);
}

void TvmDBTreeView::GetNodeCopyText(TvmTreeNode* Node, std::string& Text) {
  // The node may come from another tree, data-aware or not: its own tree's display fields count.
  auto* n = dynamic_cast<TvmDBTreeNode*>(Node);
  auto* owner = n ? dynamic_cast<TvmDBTreeView*>(n->TreeView()) : nullptr;
  if (owner && !owner->FDisplayFields.empty())
    Text = n->ListText;
  else
    TCustomvmTreeView::GetNodeCopyText(Node, Text);
}

void TvmDBTreeView::DoCustomDraw(TvmTreeNode* Node, TFont* Font, TColor& BkColor, TColor& TextColor) {
  auto* n = static_cast<TvmDBTreeNode*>(Node);
  if (OnCustomDraw || !n->OwnAppearance) {
    TCustomvmTreeView::DoCustomDraw(Node, Font, BkColor, TextColor);
    return;
  }
  if (Font) {
    Font->SetStyle(n->FontStyle);
    if (!n->FontName.empty()) Font->SetName(n->FontName);
  }
  BkColor = n->Color;
  TextColor = n->FontColor;
}

bool TvmDBTreeView::HasCustomDraw() const {
  if (TCustomvmTreeView::HasCustomDraw()) return true;
  for (int i = 0; i < FNodes->Count(); ++i)
    if (FNodes->Items(i)->OwnAppearance) return true;
  return false;
}

void TvmDBTreeView::Paint() {
  TCustomvmTreeView::Paint();
  DrawUnfocusedSelection(Canvas());
}

void TvmDBTreeView::DrawUnfocusedSelection(TCanvas* C) {
  if (Focused() || FBusy || IsEditing() || !Selected()) return;
  // The label's rectangle: the text in the tree's font plus 4 pixels.
  const TRect r = DisplayRect(Selected(), true);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  C->Brush()->SetColor(Font()->Color());
  C->FrameRect(r);
}

void RegisterDBTreeViewClasses() { RegisterClasses({TvmDBTreeView::StaticClass()}); }
