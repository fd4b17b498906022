// The data-aware tree view: every record of a dataset is a node, its key field identifies it and
// its parent field holds the key of its parent record. The tree keeps the dataset's current
// record and its selected node in step and writes nodes added, moved, renamed or deleted back
// into the records, each step open to a veto through OnDBAction.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "inspector/vm_treeview.h"
#include "platform/dataset.h"

class TvmDBTreeView;
class TvmDBTreeNodes;

// A strict order over variants for sets of keys: nulls first, then numbers by value, then the
// other values by their text.
struct TVariantKeyLess {
  bool operator()(const Variant& A, const Variant& B) const;
};
using TVariantKeySet = std::set<Variant, TVariantKeyLess>;

// The records of a dataset as one walk through them finds them: the bookmarks of the records by
// parent value, every parent value (a record that is its own parent is nobody's child) and, when
// asked for, each key's parent value.
struct TDBTreeRecordIndex {
  std::map<Variant, std::vector<TBookmark>, TVariantKeyLess> ByParent;
  TVariantKeySet Parents;
  std::map<Variant, Variant, TVariantKeyLess> ParentOf;
};

// Comparisons that answer False instead of raising when the values cannot be compared.
bool VarSafeEquals(const Variant& A, const Variant& B);
bool VarSafeLess(const Variant& A, const Variant& B);
bool VarSafeGreater(const Variant& A, const Variant& B);
// The dataset's Locate with errors taken as not found.
bool DataSetLocate(TDataSet* DataSet, const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);

class TvmDBTreeNode : public TvmTreeNode {
public:
  explicit TvmDBTreeNode(TCustomvmTreeView* AOwner) : TvmTreeNode(AOwner) {}
  ~TvmDBTreeNode() override;
  bool IsNew = false;
  bool Visited = false;
  TvmDBTreeNodes* Nodes = nullptr;
  Variant KeyValue;
  Variant ParentValue;
  bool ChildrenLoaded = false;
  std::string ListText;
  // The node's own appearance, drawn while OwnAppearance is set (nothing in the tree sets it).
  TColor Color = clWindow;
  TColor FontColor = clWindowText;
  TFontStyles FontStyle;
  std::string FontName;
  bool OwnAppearance = false;
  // Moves the node to a new key, keeping the index sorted.
  void ReKey(const Variant& Key);
  // Reads the image and state indexes from the current record (when it is this node's).
  void LoadIndexes();
  // Smart loading: adds the nodes of the records whose parent value is this node's key (and,
  // Recursive, of all their descendants); HasChildren then says whether any child exists. Index:
  // the records as a walk already found them (null: the node walks the dataset itself).
  void LoadChildren(bool Recursive, const TDBTreeRecordIndex* Index = nullptr);
  // True loads the children (not recursively); False frees the child nodes, keeping their records
  // and the node's expand button.
  void SetChildrenLoaded(bool Value);
  void MoveTo(TvmTreeNode* Destination, TNodeAttachMode Mode) override;
};

// The nodes of the tree sorted by key.
class TvmDBTreeNodes {
public:
  explicit TvmDBTreeNodes(TvmDBTreeView* ATree) : FTree(ATree) {}
  // Binary search; Index is where Key is or would go (-1 when below all or the list is empty).
  bool FindIndex(const Variant& Key, int& Index) const;
  TvmDBTreeNode* NodeByKey(const Variant& Key) const;
  // Adds or updates the node of the dataset's current record.
  void AddRecordNode();
  void ReparentRoots();
  void ClearVisited();
  void DeleteUnvisited();
  void Clear();
  Variant LastKey() const;
  int Count() const { return static_cast<int>(FList.size()); }
  TvmDBTreeNode* Items(int Index) const { return FList[static_cast<size_t>(Index)]; }
  void Insert(TvmDBTreeNode* Node);
  void Remove(TvmDBTreeNode* Node);
  bool Destroying = false;
  // While set, the parent values present in the dataset: AddRecordNode answers HasChildren from
  // it instead of searching the dataset record by record.
  const TVariantKeySet* ParentKeys = nullptr;

private:
  TvmDBTreeView* FTree;
  std::vector<TvmDBTreeNode*> FList;
};

enum TvmDBTreeViewOption {
  trDBCanDelete,
  trDBConfirmDelete,
  trCanDBNavigate,
  trSmartRecordLoad,
  trSmartRecordCopy,
  trCheckHasChildren
};
using TvmDBTreeViewOptions = TSet<TvmDBTreeViewOption>;
enum TvmDBTreeViewAction { trDBInsert, trDBDelete, trDBChangeText, trDBChangeParent, trDBMove };

using TAddNewDBTreeNodeEvent = std::function<void(TObject* Sender, TvmDBTreeNode*& DBTreeNode)>;
using TCreateNewKeyValue = std::function<void(TObject* Sender, Variant& NewKeyValue)>;
using TSetDisplayItemText = std::function<void(TObject* Sender, std::string& DisplayText)>;
using TvmDBTreeViewActionEvent = std::function<void(TObject* Sender, TvmDBTreeNode* DBNode1, TvmDBTreeNode* DBNode2,
                                                    TvmDBTreeViewAction Action, bool& Automatic)>;
using TDBTreeRefreshNodeEvent = std::function<void(TObject* Sender, TvmDBTreeNode* DBTreeNode)>;

class TDataLinkTreeView : public TDataLink {
public:
  explicit TDataLinkTreeView(TvmDBTreeView* ATree) : FTree(ATree) {}

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void RecordChanged(TField* Field) override;

private:
  TvmDBTreeView* FTree;
  bool FFiltered = false;
  bool FSeen = false;
};

class TvmDBTreeView : public TCustomvmTreeView {
  VM_CLASS(TvmDBTreeView, TCustomvmTreeView)
public:
  explicit TvmDBTreeView(TComponent* AOwner);
  ~TvmDBTreeView() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  const std::string& KeyField() const { return FKeyFieldName; }
  void SetKeyField(const std::string& Value);
  const std::string& ParentField() const { return FParentFieldName; }
  void SetParentField(const std::string& Value);
  const std::string& ListField() const { return FListFieldName; }
  void SetListField(const std::string& Value);
  const std::string& DisplayField() const { return FDisplayFieldName; }
  void SetDisplayField(const std::string& Value);
  const std::string& SeparatedSt() const { return FSeparatedSt; }
  void SetSeparatedSt(const std::string& Value);
  const std::string& ImageIndexField() const { return FImageIndexFieldName; }
  void SetImageIndexField(const std::string& Value);
  const std::string& StateIndexField() const { return FStateIndexFieldName; }
  void SetStateIndexField(const std::string& Value);
  const Variant& RootValue() const { return FRootValue; }
  void SetRootValue(const Variant& Value);
  TvmDBTreeViewOptions DBOptions() const { return FDBOptions; }
  void SetDBOptions(const TvmDBTreeViewOptions& Value);
  bool RaiseOnError = true;

  TAddNewDBTreeNodeEvent OnAddNewItem;
  TCreateNewKeyValue OnCreateNewKeyValue;
  TSetDisplayItemText OnSetDisplayItemText;
  TNotifyEvent OnInsertNodeError;
  TvmDBTreeViewActionEvent OnDBAction;
  TDBTreeRefreshNodeEvent OnRefreshNode;

  // The tree's expansion events: the tree itself answers the base class's ones to load and unload
  // children with smart loading, and passes them on to these.
  TTVExpandingEvent OnExpanding;
  TTVChangedEvent OnCollapsed;
  // The label-editing events, passed on the same way: the tree writes an edited text into the
  // list field of the node's record.
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVGetEditText OnGetEditText;

  TvmDBTreeNodes* DBNodes() const { return FNodes.get(); }
  bool Busy() const { return FBusy != 0; }
  TField* KeyFieldObject() const { return FKeyField; }
  TField* ParentFieldObject() const { return FParentField; }
  TField* ListFieldObject() const { return FListField; }
  TDataSet* DataSet() const;

  void LoadTree();
  void ResolveFields();
  void FieldsChanged();
  void DataChanged();
  void SyncSelection();
  void SelectKey(const Variant& Key);
  // The node of the dataset's current record (nil without a key field or for a null key).
  TvmDBTreeNode* FindRecordNode() const;
  void GetRecordText(std::string& S);
  void NewKeyValue(Variant& Key);
  bool DoDBAction(TvmDBTreeNode* Node1, TvmDBTreeNode* Node2, TvmDBTreeViewAction Action);
  void InsertNodeRecord(TvmDBTreeNode* Node, TvmDBTreeNode* Parent);
  void ChangeNodeParent(TvmDBTreeNode* Node, TvmDBTreeNode* Parent);
  void DeleteNodeRecord(const Variant& Key);
  // Writes a node's text into the list field of its record.
  void ChangeNodeText(TvmDBTreeNode* Node, const std::string& Text);
  // Without the focus, frames the selected node's text in the font colour (not while busy or
  // label editing); the tree does it after each paint.
  void DrawUnfocusedSelection(TCanvas* Canvas);
  void EditFieldRecordChanged(TField* Field);
  void InsertedRecordChanged();

  TvmTreeNode* CreateNode() override;
  void NodeAdded(TvmTreeNode* Node) override;
  void Change(TvmTreeNode* Node) override;
  void GetNodeCopyText(TvmTreeNode* Node, std::string& Text) override;
  void DoCustomDraw(TvmTreeNode* Node, TFont* Font, TColor& BkColor, TColor& TextColor) override;
  bool HasCustomDraw() const override;
  void CollectSubtree(TvmTreeNode* Node, std::vector<TvmTreeNode*>& List) override;
  // Copied nodes (a drop with the copy modifier, or from another tree) get keys and records; with
  // trSmartRecordCopy the other fields of the source records come along.
  void NodesCopied(const std::vector<TvmTreeNode*>& Sources, const std::vector<TvmTreeNode*>& Copies,
                   bool IsCopy) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Loaded() override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

private:
  friend class TvmDBTreeNode;
  friend class TvmDBTreeNodes;
  friend class TDataLinkTreeView;
  Variant ConvertToKeyType(const Variant& Value) const;
  void NodeDestroying(TvmDBTreeNode* Node);
  bool SmartLoad() const { return FDBOptions.Contains(trSmartRecordLoad); }
  // Whether a record with this key and parent value sits at the top level with smart loading.
  bool IsRootParent(const Variant& Key, const Variant& Parent) const;
  void LoadSmartTree(TDataSet* DataSet);
  // Whether any record names Key as its parent (a search through the dataset, in browse state).
  bool RecordHasChildren(const Variant& Key);
  // One walk through the records (from the current position's bookmark back to it): the children
  // of OnlyParent (null: of every parent value), and the parent of each key when WithParentOf.
  void IndexRecords(TDBTreeRecordIndex& Index, const Variant* OnlyParent, bool WithParentOf);
  void NodeExpanding(TvmTreeNode* Node, bool& Allow);
  void NodeCollapsed(TvmTreeNode* Node);
  void LabelEditing(TvmTreeNode* Node, bool& Allow);
  void LabelEdited(TvmTreeNode* Node, std::string& S);
  bool ListTextWritable();
  // Makes the node's record the current one (under the busy flag); false when it is not found.
  bool LocateNodeRecord(TvmDBTreeNode* Node);

  std::unique_ptr<TDataLinkTreeView> FDataLink;
  std::unique_ptr<TvmDBTreeNodes> FNodes;
  std::string FKeyFieldName, FParentFieldName, FListFieldName, FDisplayFieldName;
  std::string FImageIndexFieldName, FStateIndexFieldName;
  std::string FSeparatedSt = " - ";
  Variant FRootValue;
  TvmDBTreeViewOptions FDBOptions;
  TField* FKeyField = nullptr;
  TField* FParentField = nullptr;
  TField* FListField = nullptr;
  TField* FImageField = nullptr;
  TField* FStateField = nullptr;
  std::vector<TField*> FDisplayFields;
  int FBusy = 0;
  bool FCollapsing = false;
  bool FResyncPosted = false;
  bool FEditChanging = false;
};

void RegisterDBTreeViewClasses();
