// The tree view: a self-drawn tree of text nodes with expand buttons and lines, label editing,
// hit testing, deletion by the Delete key with a confirmation, a common selected-image index, a
// custom-draw event for node colours and font, node hints, and node drag and drop inside and
// between trees (move, or copy with Ctrl).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/set.h"

class TCustomvmTreeView;
class TChangeLink;
class TStream;
class TEdit;
class TImageList;

// stNone keeps the nodes in the order they were added; the others sort siblings by OnCompare, or
// by their texts without regard to case.
enum TSortType { stNone, stData, stText, stBoth };
enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };
enum THitTest {
  htAbove,
  htBelow,
  htNowhere,
  htOnItem,
  htOnButton,
  htOnIcon,
  htOnIndent,
  htOnLabel,
  htOnRight,
  htOnStateIcon,
  htToLeft,
  htToRight
};
using THitTests = TSet<THitTest>;

// The screen cursor of copying drags.
constexpr TCursor crTreeDragCopy = -1011;

// The confirmation text of deleting a node (string-table text 37201).
extern const char* const SvmTreeDeleteItem;  // "Do you want to delete the item"

class TvmTreeNode {
public:
  TvmTreeNode(TCustomvmTreeView* AOwner);
  virtual ~TvmTreeNode();
  TvmTreeNode(const TvmTreeNode&) = delete;
  TvmTreeNode& operator=(const TvmTreeNode&) = delete;

  TCustomvmTreeView* TreeView() const { return FOwner; }
  TvmTreeNode* Parent() const { return FParent; }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  void* Data = nullptr;
  int ImageIndex = -1;
  int SelectedIndex = -1;
  // The picture of StateImages drawn before the node's own (-1: none, no room kept).
  int StateIndex = -1;
  int Count() const { return static_cast<int>(FChildren.size()); }
  TvmTreeNode* Item(int Index) const;
  int Index() const;
  int Level() const;
  bool HasChildren() const { return FHasChildren || !FChildren.empty(); }
  void SetHasChildren(bool Value);
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  bool IsVisible() const;
  bool Selected() const;
  bool HasAsParent(const TvmTreeNode* Node) const;
  TvmTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
  TvmTreeNode* GetNextSibling() const;
  TvmTreeNode* GetPrevSibling() const;
  TvmTreeNode* GetNextVisible() const;
  TvmTreeNode* GetPrevVisible() const;
  TvmTreeNode* GetNext() const;  // pre-order over all nodes
  // Moves the node (with its subtree); the child modes go through a temporary node so that only
  // the move itself is seen as a change.
  virtual void MoveTo(TvmTreeNode* Destination, TNodeAttachMode Mode);
  void Delete();
  void MakeVisible();
  bool EditText();
  // Sorts the children (and with Recurse their children) as the tree's SortType compares.
  void AlphaSort(bool Recurse = false);

private:
  friend class TCustomvmTreeView;
  std::vector<TvmTreeNode*>& Siblings() const;
  void Detach();
  void AttachAt(TvmTreeNode* NewParent, int Position);

  TCustomvmTreeView* FOwner;
  TvmTreeNode* FParent = nullptr;
  std::vector<TvmTreeNode*> FChildren;
  std::string FText;
  bool FExpanded = false;
  bool FHasChildren = false;
};

enum TvmTreeViewOption { trCanDelete, trConfirmDelete };
using TvmTreeViewOptions = TSet<TvmTreeViewOption>;

using TTreeViewCustomDraw =
    std::function<void(TObject* Sender, TvmTreeNode* TreeNode, TFont* AFont, TColor& AColor, TColor& ABkColor)>;
using TDragDropTreeNode = std::function<void(TvmTreeNode* Destination, TvmTreeNode* Source, bool& Accept)>;
using TEndDragTreeNode =
    std::function<void(TvmTreeNode* Destination, TvmTreeNode* Source, TNodeAttachMode& AttachMode)>;
using TDragDropIsCopy = std::function<void(TvmTreeNode* Destination, TvmTreeNode* Source, bool& IsCopy)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TvmTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = std::function<void(TObject* Sender, TvmTreeNode* Node, std::string& S)>;
using TTVGetEditText = std::function<void(TObject* Sender, TvmTreeNode* Node, std::string& Text)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TvmTreeNode* Node)>;
using TTVCompareEvent = std::function<void(TObject* Sender, TvmTreeNode* Node1, TvmTreeNode* Node2, int& Compare)>;
enum TCustomDrawStage { cdPrePaint, cdPostPaint };
enum TCustomDrawStateItem { cdsSelected, cdsFocused, cdsHot, cdsDropTarget };
using TCustomDrawState = TSet<TCustomDrawStateItem>;
// The canvas to draw on is the tree's PaintCanvas(); DefaultDraw False leaves the drawing to the handler.
using TTVCustomDrawItemEvent =
    std::function<void(TObject* Sender, TvmTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawEvent =
    std::function<void(TObject* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TvmTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TvmTreeNode* Node, bool& Allow)>;

class TCustomvmTreeView : public TCustomControl {
  VM_CLASS(TCustomvmTreeView, TCustomControl)
public:
  explicit TCustomvmTreeView(TComponent* AOwner);
  ~TCustomvmTreeView() override;

  // Nodes.
  int TopCount() const { return static_cast<int>(FItems.size()); }
  TvmTreeNode* TopItem(int Index) const;
  int Count() const;  // all nodes
  TvmTreeNode* GetFirstNode() const { return FItems.empty() ? nullptr : FItems.front(); }
  TvmTreeNode* Add(TvmTreeNode* Sibling, const std::string& S);
  TvmTreeNode* AddFirst(TvmTreeNode* Sibling, const std::string& S);
  TvmTreeNode* AddChild(TvmTreeNode* Parent, const std::string& S);
  TvmTreeNode* AddChildFirst(TvmTreeNode* Parent, const std::string& S);
  TvmTreeNode* Insert(TvmTreeNode* Sibling, const std::string& S);
  // A node placed relative to Target as Mode says (Target null: the top level).
  TvmTreeNode* AddNode(TvmTreeNode* Target, const std::string& S, TNodeAttachMode Mode);
  void Clear();
  void FullExpand();
  void FullCollapse();

  // Selection and display.
  TvmTreeNode* Selected() const { return FSelected; }
  void SetSelected(TvmTreeNode* Value);
  TvmTreeNode* DropTarget() const { return FDropTarget; }
  TvmTreeNode* TopVisible() const { return FTop; }
  void SetTopVisible(TvmTreeNode* Node);
  int RowHeight() const { return FRowHeight; }
  int VisibleRowCount() const;
  TRect DisplayRect(TvmTreeNode* Node, bool TextOnly) const;
  THitTests GetHitTestInfoAt(int X, int Y) const;
  TvmTreeNode* GetNodeAt(int X, int Y) const;
  void PaintTo(TCanvas* Canvas);

  // Properties.
  int Indent() const { return FIndent; }
  void SetIndent(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool ShowButtons = true;
  bool ShowLines = true;
  bool ShowRoot = true;
  bool ToolTips = true;
  bool ShowNodeHint = true;
  bool RightClickSelect = false;
  // Selecting a node expands it and collapses the one left (unless it holds the new one).
  bool AutoExpand = false;
  // The label under the mouse is underlined in the hot-light colour.
  bool HotTrack = false;
  TvmTreeNode* HotNode() const { return FHotNode; }
  // The selection and the clicks cover the whole row right of the indent.
  bool RowSelect = false;
  bool HideSelection = true;
  TvmTreeViewOptions Options = {trCanDelete, trConfirmDelete};
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int Value);
  // Setting a sorting type sorts the whole tree at once.
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType Value);
  // Sorts the top-level nodes (and with Recurse every level) by CompareNodes.
  void AlphaSort(bool Recurse = true);
  // OnCompare's answer when assigned and not 0; else the texts compared without regard to case.
  virtual int CompareNodes(TvmTreeNode* Node1, TvmTreeNode* Node2);
  // A node shows Images[ImageIndex] (Images[SelectedIndex] while selected) left of its label and
  // StateImages[StateIndex] left of that; the rows grow to the pictures' height.
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  TImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TImageList* Value);
  // The picture the node shows now: asks OnGetImageIndex (or OnGetSelectedIndex when selected).
  int NodeImage(TvmTreeNode* Node);
  TCursor DragCursor = crDrag;
  bool DragModeAutomatic = false;

  // Label editing.
  bool IsEditing() const { return FEditor != nullptr; }
  TEdit* LabelEditor() const { return FEditor; }
  bool BeginEdit(TvmTreeNode* Node);
  void EndEdit(bool Cancel);

  // The node hint shown for a node (empty: none).
  std::string NodeHint(TvmTreeNode* Node) const;

  // Drag and drop; the mouse drives these inside one tree, another tree's drag reaches them too.
  bool IsDragging() const { return FDragging; }
  void DragEnter();
  void DragLeave();
  // The drag moves over (X, Y); answers whether a drop would be accepted.
  bool DragMove(int X, int Y, TShiftState Shift);
  void DragDropAt(int X, int Y, TShiftState Shift);
  void DragCancel();
  // Starts a drag of the selected node (only when the tree has the focus, as a user drag does).
  void BeginNodeDrag();
  // The cursor the drag shows now.
  TCursor CurrentDragCursor() const { return FDragCursor; }
  TvmTreeNode* DropNodes(TvmTreeNode* Source, TvmTreeNode* Target, bool IsCopy);
  // True while the tree itself adds, moves or frees nodes during a drop or a move.
  bool InternalNodeChange() const { return FInternalChange; }

  // Virtual operations.
  // Makes every node of the tree (a data-aware tree makes its own kind).
  virtual TvmTreeNode* CreateNode() { return new TvmTreeNode(this); }
  // A node was selected (fires OnChange).
  virtual void Change(TvmTreeNode* Node) {
    if (OnChange) OnChange(this, Node);
  }
  virtual void DoCustomDraw(TvmTreeNode* Node, TFont* Font, TColor& BkColor, TColor& TextColor);
  virtual void GetNodeCopyText(TvmTreeNode* Node, std::string& Text);
  virtual void NodesCopied(const std::vector<TvmTreeNode*>& Sources, const std::vector<TvmTreeNode*>& Copies,
                           bool IsCopy) {}
  virtual void DoDragDropTreeNode(TvmTreeNode* Destination, TvmTreeNode* Source, bool& Accept);
  virtual void DoDragDropIsCopy(TvmTreeNode* Destination, TvmTreeNode* Source, bool& IsCopy);
  virtual void CollectSubtree(TvmTreeNode* Node, std::vector<TvmTreeNode*>& List);
  virtual bool HasCustomDraw() const { return static_cast<bool>(OnCustomDraw); }

  TTreeViewCustomDraw OnCustomDraw;
  // With either of these the tree leaves OnCustomDraw alone. OnCustomDrawItem is called with the
  // canvas's font and brush set for the node; what it leaves there draws the node unless it
  // drew the node itself (DefaultDraw False). OnAdvancedCustomDraw comes before the nodes (False
  // there draws none) and after them.
  TTVCustomDrawItemEvent OnCustomDrawItem;
  TTVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
  // The canvas being painted on (null outside painting).
  TCanvas* PaintCanvas() const { return FPaintCanvas; }
  TDragDropTreeNode OnDragDropTreeNode;
  TEndDragTreeNode OnEndDragTreeNode;
  TDragDropIsCopy OnDragDropIsCopy;
  TTVGetEditText OnGetEditText;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVChangedEvent OnChange;
  // Asked before the selection moves to Node (it may be null); refusing keeps the selection.
  TTVChangingEvent OnChanging;
  // Asked before a node's picture is drawn; they may set its ImageIndex or SelectedIndex.
  TTVChangedEvent OnGetImageIndex;
  TTVChangedEvent OnGetSelectedIndex;
  TTVChangedEvent OnDeletion;
  TTVCompareEvent OnCompare;
  TTVExpandingEvent OnExpanding;
  TTVExpandingEvent OnCollapsing;
  TTVChangedEvent OnExpanded;
  TTVChangedEvent OnCollapsed;
  // A drag-over handler of the toolkit: its presence refuses drops by default.
  std::function<void(TObject* Sender, TObject* Source, int X, int Y, bool& Accept)> OnDragOver;
  TNotifyEvent OnDblClick;

protected:
  friend class TvmTreeNode;
  virtual void NodeAdded(TvmTreeNode* Node);
  void NodeRemoved(TvmTreeNode* Node);
  void Changed() { Invalidate(); }

  void Paint() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  bool WantsKey(uint16_t Key) const override { return true; }
  void FontChanged() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Where the label starts: after the indent, the state picture and the picture.
  int StateLeft(TvmTreeNode* Node) const;
  int ImageLeft(TvmTreeNode* Node) const;
  int LabelLeft(TvmTreeNode* Node) const;
  void UpdateRowHeight();

  std::vector<TvmTreeNode*> FItems;
  TvmTreeNode* FSelected = nullptr;
  TvmTreeNode* FTop = nullptr;
  TvmTreeNode* FDropTarget = nullptr;
  int FIndent = 19;
  int FRowHeight = 16;
  int FTextRowHeight = 16;
  TImageList* FImages = nullptr;
  TImageList* FStateImages = nullptr;
  // Both lists' changes (a new size) reach the row height.
  std::unique_ptr<TChangeLink> FImagesLink, FStateImagesLink;
  bool FReadOnly = false;
  int FSelectedIndex = -1;
  TSortType FSortType = stNone;
  TvmTreeNode* FHotNode = nullptr;
  TCanvas* FPaintCanvas = nullptr;
  bool FInternalChange = false;
  bool FClearing = false;
  TEdit* FEditor = nullptr;   // the label editor while editing
  TEdit* FEditBox = nullptr;  // kept and reused
  TvmTreeNode* FEditNode = nullptr;
  bool FDragging = false;
  TCursor FDragCursor = crDefault;
  bool FMousePressed = false;
  TPoint FPressPoint;
};

class TvmTreeView : public TCustomvmTreeView {
  VM_CLASS(TvmTreeView, TCustomvmTreeView)
public:
  using TCustomvmTreeView::TCustomvmTreeView;
  // The nodes are kept with a form as "ItemsData": their texts, pictures and expanded states in
  // pre-order, each with its level.
  void DefineProperties(TFiler* Filer) override;
  void ReadItems(TStream& S);
  void WriteItems(TStream& S) const;
};
