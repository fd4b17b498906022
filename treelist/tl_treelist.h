// The tree-list grid: a forest of nodes shown as rows under a band and column header, painted
// by the control itself. This header holds the node and the abstract control; the concrete
// control with bands and column components is in tl_control.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "inspector/vm_edit.h"
#include "inspector/vm_textedit.h"
#include "platform/controls.h"
#include "platform/dataset.h"
#include "platform/dragdrop.h"
#include "platform/exceptions.h"
#include "platform/graphics.h"
#include "platform/set.h"
#include "platform/stdctrls.h"

class TCustomvmTreeList;
class TTimer;
class TImageList;
class TBitmap;
class TStrings;
class TvmContainerHintWindow;

class EInvalidvmTreeListOperation : public Exception {
public:
  using Exception::Exception;
};

extern const char* const SvmInvalidOwnerNode;  // "Invalid Owner TvmTreeListNode"

// ---------------------------------------------------------------------------------------------
// Nodes.

class TvmTreeListNode {
public:
  explicit TvmTreeListNode(TCustomvmTreeList* AOwner);
  TvmTreeListNode(const TvmTreeListNode&) = delete;
  TvmTreeListNode& operator=(const TvmTreeListNode&) = delete;

  void* Data = nullptr;
  int32_t CachedRowHeight = 0;
  int32_t CachedLineCount = 0;

  TCustomvmTreeList* Owner() const { return FOwner; }
  TvmTreeListNode* Parent() const { return FParent; }
  bool BeingDeleted() const { return FBeingDeleted; }

  int Count() const { return FChildren ? static_cast<int>(FChildren->size()) : 0; }
  TvmTreeListNode* Items(int Index) const;
  int IndexOf(const TvmTreeListNode* Child) const;
  int Index() const { return FIndex; }
  int Level() const;
  bool IsLast() const;
  TvmTreeListNode* GetFirstChild() const { return Items(0); }
  TvmTreeListNode* GetLastChild() const { return Items(Count() - 1); }
  TvmTreeListNode* GetNextSibling() const;
  TvmTreeListNode* GetPrevSibling() const;
  TvmTreeListNode* GetPrevSiblingOrParent() const;
  TvmTreeListNode* GetNext() const;
  TvmTreeListNode* GetPrev() const;
  TvmTreeListNode* GetNextVisible() const;
  TvmTreeListNode* GetPrevVisible() const;
  bool HasAsParent(const TvmTreeListNode* Node) const;
  bool IsVisible() const;
  int AbsoluteIndex() const;
  static int CompareTreeOrder(const TvmTreeListNode* A, const TvmTreeListNode* B);

  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  void Collapse() { SetExpanded(false); }
  void Expand(bool Recurse);
  bool HasChildNodes() const { return FHasChildNodes; }
  void SetHasChildNodes(bool Value);
  bool IsFocused() const;
  void SetFocused(bool Value);
  bool Selected() const;
  void SetSelected(bool Value);
  void MakeVisible();
  void DeleteChildren();
  // Takes the node (and its subtree) out of the tree and frees it, with the control's reports.
  void Delete();

  // Values answered by the owning control.
  int ImageIndex() const;
  void SetImageIndex(int Value);
  int SelectedIndex() const;
  void SetSelectedIndex(int Value);
  int StateImageIndex() const;
  void SetStateImageIndex(int Value);
  std::string Strings(int Column) const;
  void SetStrings(int Column, const std::string& Value);
  Variant Values(int Column) const;
  void SetValues(int Column, const Variant& Value);

  // Tree placement (the control's add, insert and move operations use these).
  TvmTreeListNode* AddChild();
  TvmTreeListNode* AddChildFirst();
  TvmTreeListNode* InsertChild(TvmTreeListNode* BeforeNode);
  // Moves this node (with its subtree) under Destination at Index (-1 appends); moving a node
  // under itself or one of its descendants is refused (false).
  bool MoveTo(TvmTreeListNode* Destination, int Index);

private:
  friend class TCustomvmTreeList;
  std::vector<TvmTreeListNode*>& Siblings() const;
  void AttachChild(TvmTreeListNode* Child, int Index);
  void DetachFromList();

  TCustomvmTreeList* FOwner;
  TvmTreeListNode* FParent = nullptr;
  std::vector<TvmTreeListNode*>* FChildren = nullptr;  // made with the first child
  int32_t FIndex = -1;                                 // position among the siblings
  bool FBeingDeleted = false;
  bool FExpanded = false;
  bool FHasChildNodes = false;

protected:
  // Nodes are freed through Delete (or with their parent or control), never directly.
  virtual ~TvmTreeListNode();
  // A concrete control keeps its selection in the nodes.
  friend class TCustomvmTreeListControl;
  bool FSelectedFlag = false;
};

class TvmTreeListTextNode : public TvmTreeListNode {
public:
  explicit TvmTreeListTextNode(TCustomvmTreeList* AOwner) : TvmTreeListNode(AOwner) {}
  int32_t FImageIndex = 0;
  int32_t FSelectedIndex = -1;
  int32_t FStateImageIndex = -1;
  std::vector<std::string> FStrings;  // text of the column whose absolute index is the position
};

// ---------------------------------------------------------------------------------------------
// Enumerations and option sets.

enum TvmTreeListOption {
  tloColumnSizing,
  tloColumnMoving,
  tloEditing,
  tloEditorTabs,
  tloTabThrough,
  tloRowSelect,
  tloMultiSelect,
  tloClickEdits,
  tloPreview,
  tloDrawEndEllipsis,
  tloAutoWidth,
  tloMixedLevelSelect,
  tloHideByDragOut,
  tloHideFocusRect,
  tloAutoSort,
  tloReserved15,
  tloStoreToRegistry,
  tloStoreToIniFile
};
using TvmTreeListOptions = TSet<TvmTreeListOption>;

enum TvmTreeListExtendedOption {
  tlxCellFrame,
  tlxBufferedText,
  tlxBands,
  tlxAutoPreviewLines,
  tlxBandSizing,
  tlxBandMoving,
  tlxArrowsWrap,
  tlxRowNavigation,
  tlxReserved8,
  tlxEnterThrough,
  tlxTypingEdits,
  tlxUnlimitedSizing,
  tlxDragScroll,
  tlxDragExpand,
  tlxDragExpandToggles,
  tlxRowAutoHeight,
  tlxSortHourglass,
  tlxBandButton,
  tlxBandPanelSizing,
  tlxHeaderButton,
  tlxHeaderPanelSizing,
  tlxRowSizing,
  tlxMultiSort,
  tlxReserved23,
  tlxImmediateEditor,
  tlxAutoHeaderRowCount,
  tlxUnused26,
  tlxCaseSensitiveSort,
  tlxMouseTracksFocus,
  tlxIncrementalSearch,
  tlxHotTrack,
  tlxCopyOnCtrlC
};
using TvmTreeListExtendedOptions = TSet<TvmTreeListExtendedOption>;

// The option sets as bit masks (bit n = option n).
uint32_t OptionsToBits(const TvmTreeListOptions& Options);
TvmTreeListOptions BitsToOptions(uint32_t Bits);
uint32_t ExtendedOptionsToBits(const TvmTreeListExtendedOptions& Options);
TvmTreeListExtendedOptions BitsToExtendedOptions(uint32_t Bits);

enum TvmTreeListLookStyle { tllRaised, tllFlat, tllThinLine };
enum TvmTreeListDrawStyle { tlpStandard, tlpCompact };
enum TvmTreeListLineStyle { tlnSolid, tlnDotted };
enum TvmTreeListColumnSort { csNone, csDown, csUp };

enum TvmTreeListHitType {
  tlhNowhere,
  tlhColumnHeader,
  tlhColumnEdge,
  tlhButton,
  tlhIcon,
  tlhStateIcon,
  tlhIndent,
  tlhCell,
  tlhRowTail,
  tlhOutside,
  tlhGroupPanel,
  tlhBandButton,
  tlhBandHeader,
  tlhBandEdge,
  tlhHeaderButton,
  tlhIndicator,
  tlhNewItemRow,
  tlhRowFooter,
  tlhFooter,
  tlhBandPanelEdge,
  tlhHeaderPanelEdge,
  tlhRowEdge,
  tlhPreview,
  tlhStatusPanel
};

enum TvmTreeListState {
  tlsIdle,
  tlsColumnSizing,
  tlsEditing,
  tlsColumnDragging,
  tlsColumnPressed,
  tlsNodeDragging,
  tlsNodePressed,
  tlsHeaderButtonPressed,
  tlsBandSizing,
  tlsBandDragging,
  tlsBandPressed,
  tlsBandButtonPressed,
  tlsBandPanelSizing,
  tlsHeaderPanelSizing,
  tlsRowSizing,
  tlsDropDownButtonPressed,
  tlsStatusCloseButtonPressed
};

// The cell or header under the pointer while hot tracking.
struct TvmTreeListHotTrackInfo {
  TvmTreeListNode* HotNode = nullptr;
  int HotColumn = -1;      // absolute column index
  int HotPartIndex = -1;   // the part of the cell the column reports
  int HeaderHotState = 0;  // 0 none, 1 over a header, 2 over its drop-down area
};

struct TvmTreeListHitTestInfo {
  int X = 0, Y = 0;
  int Band = -1;
  int Column = -1;
  TvmTreeListNode* Node = nullptr;
  int Row = -1;
  int FooterRow = -1;
  TvmTreeListHitType HitType = tlhNowhere;
};

// ---------------------------------------------------------------------------------------------
// The computed picture of the window.

struct TvmTreeListBandCell {
  int Band = -1;  // visible band position
  TRect Rect, Clip;
};

struct TvmTreeListHeaderCell {
  int Column = -1;  // absolute column index
  int Band = -1;    // visible band position
  int BandRow = 0;
  int Position = 0;
  int RowSpan = 1;
  TRect Rect, Clip;
  bool FirstInRow = false, LastInRow = false, LeftEdge = false, RightEdge = false;
};

struct TvmTreeListRowInfo {
  TvmTreeListNode* Node = nullptr;
  bool Selected = false;
  int Top = 0;
  int Height = 0;
  int PreviewLines = 0;  // preview text lines under the cells
  int FooterCount = 0;   // node footer bands under the cells and the preview
  int FooterHeight = 0;  // their height together
  int LineCount = -1;    // text lines of the cells (-1 while automatic row heights are off)
};

struct TvmTreeListLayout {
  TRect ClientRect, GroupPanelRect, BandPanelRect, BandButtonRect, HeaderPanelRect, HeaderButtonRect, IndicatorRect;
  TRect NewItemRowRect, RowsRect;
  TRect EmptyRightRect, EmptyBottomRect;
  TRect FooterPanelRect, StatusPanelRect, LeftFixedBandRect, RightFixedBandRect;
  // Visible positions of the fixed bands and of the last band walked before the right fixed one.
  int LeftFixedBand = -1, RightFixedBand = -1, LastScrolledBand = -1;
  int DataRight = -1;
  int LastRowBottom = -1;
  int FirstColumnWidth = 0;
  int GridLineWidth = 0;
  std::vector<TvmTreeListBandCell> BandCells;
  std::vector<TvmTreeListHeaderCell> HeaderCells;
  std::vector<TvmTreeListRowInfo> VisibleRows;
};

// The three-list cache of the visible rows (row order, and by node identity for the reverse).
struct TvmVisibleNodeCache {
  std::vector<TvmTreeListNode*> RowNodes;
  std::vector<TvmTreeListNode*> SortedNodes;
  std::vector<int32_t> SortedRows;
  bool Fresh = false;
  TvmTreeListNode* PatchNode = nullptr;
  bool PatchVisible = false;
  bool PatchDeleting = false;
  bool Suppressed = false;
};

// ---------------------------------------------------------------------------------------------
// Events.

using TvmTreeListNodeEvent = std::function<void(TObject* Sender, TvmTreeListNode* Node)>;
using TvmTreeListExpandingEvent = std::function<void(TObject* Sender, TvmTreeListNode* Node, bool& Allow)>;
using TvmTreeListChangeNodeEvent =
    std::function<void(TObject* Sender, TvmTreeListNode* OldNode, TvmTreeListNode* Node)>;
using TvmTreeListFocusedColumnEvent = std::function<void(TObject* Sender, TvmTreeListNode* Node, int Column)>;
using TvmTreeListCanSelectEvent = std::function<void(TObject* Sender, TvmTreeListNode* Node, bool& Allow)>;
using TvmTreeListCompareEvent =
    std::function<void(TObject* Sender, TvmTreeListNode* Node1, TvmTreeListNode* Node2, int& Compare)>;
using TvmTreeListGetImageEvent = std::function<void(TObject* Sender, TvmTreeListNode* Node, int& Index)>;
using TvmTreeListColumnClickEvent = std::function<void(TObject* Sender, int Column)>;
using TvmTreeListHotTrackEvent = std::function<void(TObject* Sender, TvmTreeListHotTrackInfo Info, TCursor& Cursor)>;
using TvmTreeListDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y, bool& Accept)>;
using TvmTreeListDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;

enum TvmTreeListDragMode { tldmManual, tldmAutomatic };

// What a drawing hook receives for one cell, header, band, preview or footer cell. The hook may
// change the text, colour, alignment, font (and a header's sort mark) that the default drawing
// then uses, or draw the element itself and set Done.
struct TvmTreeListDrawInfo {
  TCanvas* Canvas = nullptr;
  TRect Rect;
  TvmTreeListNode* Node = nullptr;
  int Column = -1;       // absolute column index (-1 for bands and previews)
  int Band = -1;         // visible band position of a band cell
  int FooterIndex = -1;  // footer cells: -1 the footer panel, else the node footer
  bool Selected = false, Focused = false, NewItemRow = false;
  std::string Text;
  TColor Color = clNone;      // background
  TColor TextColor = clNone;  // previews: the text colour
  TFont* Font = nullptr;
  TAlignment Alignment = taLeftJustify;
  TvmTreeListColumnSort Sorted = csNone;
  bool Done = false;
};

// Where a dragged column header would land: Code -1 outside (hide), -2 no move, -3 at Band
// (visible position), Row and Position.
struct TvmTreeListDropTarget {
  int Band = -1, Row = -1, Position = -1, Code = -1;
};

// The text editor the tree list opens over a cell.
class TvmInplaceTreeListTextEdit : public TvmInplaceTextEdit {
  VM_CLASS(TvmInplaceTreeListTextEdit, TvmInplaceTextEdit)
public:
  using TvmInplaceTextEdit::TvmInplaceTextEdit;
};

class TvmInplaceTreeListMaskEdit : public TvmInplaceMaskEdit {
  VM_CLASS(TvmInplaceTreeListMaskEdit, TvmInplaceMaskEdit)
public:
  using TvmInplaceMaskEdit::TvmInplaceMaskEdit;
};

// The style of the grid's in-place editors: no border of their own while grid lines frame the
// cell (a single line otherwise), buttons as the grid's look draws them.
class TvmTreeListEditStyle : public TvmGridEditStyle {
  VM_CLASS(TvmTreeListEditStyle, TvmGridEditStyle)
public:
  TvmTreeListEditStyle(TvmInplaceEdit* AEdit, TCustomvmTreeList* ATreeList);
  explicit TvmTreeListEditStyle(TvmInplaceEdit* AEdit) : TvmTreeListEditStyle(AEdit, nullptr) {}
  TCustomvmTreeList* TreeList() const { return FTreeList; }

protected:
  TvmEditBorderStyle GetDefaultBorderStyle() const override;
  TvmEditButtonViewStyle GetDefaultButtonStyle() const override;
  TCustomvmTreeList* FTreeList;
};

// ---------------------------------------------------------------------------------------------
// The abstract tree list.

// What a node drag carries: the tree list it left and its nodes (the selection, or the pressed node).
class TvmTreeListDragObject : public TDragObject {
  VM_CLASS(TvmTreeListDragObject, TDragObject)
public:
  TvmTreeListDragObject(TCustomvmTreeList* ATreeList, std::vector<TvmTreeListNode*> ANodes);
  TCustomvmTreeList* TreeList = nullptr;
  // The dragged nodes. One deleted while the drag runs leaves the list (the drag ends when none
  // is left); one deleted while the object is being dropped turns to null in its place, so that
  // a drop handler walking the list keeps its place.
  std::vector<TvmTreeListNode*> Nodes;
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  TDragImage* GetDragImage() override;
};

class TvmTreeListCustomizeForm;

// The anchor mode's cursors: resting with both scroll bars, with the horizontal one only, with the
// vertical one only, then scrolling left, up, right and down. They are drawn on first use and
// registered as "VMTL_FULLSCROLLCURSOR", "VMTL_HORSCROLLCURSOR", "VMTL_VERSCROLLCURSOR",
// "VMTL_LEFTSCROLLCURSOR", "VMTL_UPSCROLLCURSOR", "VMTL_RIGHTSCROLLCURSOR" and
// "VMTL_DOWNSCROLLCURSOR"; a cursor picture the program registered under one of those names
// beforehand is used instead.
constexpr TCursor crvmTLFullScroll = 14100;
constexpr TCursor crvmTLHorScroll = 14101;
constexpr TCursor crvmTLVerScroll = 14102;
constexpr TCursor crvmTLLeftScroll = 14103;
constexpr TCursor crvmTLUpScroll = 14104;
constexpr TCursor crvmTLRightScroll = 14105;
constexpr TCursor crvmTLDownScroll = 14106;
// Puts them into the screen's cursor table (once; anchor scrolling calls it).
void RegisterTreeListAnchorCursors();

class TCustomvmTreeList : public TCustomvmContainer, public TDragTarget, public TDragSource {
  VM_CLASS(TCustomvmTreeList, TCustomvmContainer)
  friend class TvmTreeListNode;

public:
  explicit TCustomvmTreeList(TComponent* AOwner);
  ~TCustomvmTreeList() override;

  // Nodes.
  int Count() const { return static_cast<int>(FRoots.size()); }
  TvmTreeListNode* Items(int Index) const;
  TvmTreeListNode* Add();
  TvmTreeListNode* AddFirst();
  TvmTreeListNode* Insert(TvmTreeListNode* BeforeNode);
  void DeleteAllNodes();
  void FullExpand();
  void FullCollapse();
  TvmTreeListNode* TopNode() const { return FTopNode; }
  TvmTreeListNode* FocusedNode() const { return FFocusedNode; }
  void SetFocusedNode(TvmTreeListNode* Node) { SetFocusedNodeColumn(Node, GetFocusedColumn(), true); }
  TvmTreeListNode* AnchorNode() const { return FAnchorNode; }
  bool IsClearingNodes() const { return FClearing; }
  bool IsDestroying() const { return FDestroying; }
  bool DeletedNodeWasVisible() const { return FDeletedNodeWasVisible; }

  void BeginUpdate();
  void EndUpdate();
  int LockUpdate() const { return FLockUpdate; }

  // Visible-row cache and row indexes.
  const TvmVisibleNodeCache& VisibleNodeCache() const { return FCache; }
  bool IsVisibleCacheValid() const;
  int GetVisibleNodeCount() const;
  int GetRowIndex(const TvmTreeListNode* Node) const;
  TvmTreeListNode* GetNodeAtRow(int Index) const;
  TvmTreeListNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
  TvmTreeListNode* GetLastNode() const;
  int FindSortedPosition(const TvmTreeListNode* Node) const;
  int GetTopRowIndex() const { return FTopNode ? GetRowIndex(FTopNode) : -1; }
  int GetFocusedRowIndex() const { return FFocusedNode ? GetRowIndex(FFocusedNode) : 0; }
  void PatchVisibleCache(TvmTreeListNode* Node, bool Deleting);

  // Focus, selection, anchor.
  int GetFocusedColumn() const;
  void SetFocusedColumn(int Column);
  int GetFocusedAbsoluteColumn();
  TvmTreeListNode* GetFirstSelectedNode();
  virtual void SelectNodes(TvmTreeListNode* From, TvmTreeListNode* To);
  void BeginSelection() { ++FSelectionLock; }
  void EndSelection();
  void FocusAdjacentColumn(bool Previous) override;
  void InvalidateFocusedCell() override { InvalidateSelection(); }

  // Properties.
  TvmTreeListOptions Options() const { return FOptions; }
  void SetOptions(const TvmTreeListOptions& Value);
  TvmTreeListExtendedOptions ExtendedOptions() const { return FExtendedOptions; }
  void SetExtendedOptions(const TvmTreeListExtendedOptions& Value);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  bool DefaultRowHeightAssigned() const { return FDefaultRowHeightAssigned; }
  void SetDefaultRowHeight(int Value);
  bool ShowGrid() const { return FShowGrid; }
  void SetShowGrid(bool Value);
  bool ShowPreviewGrid() const { return FShowPreviewGrid; }
  void SetShowPreviewGrid(bool Value);
  bool ShowBandPanel() const { return FShowBandPanel; }
  void SetShowBandPanel(bool Value);
  bool ShowHeaderPanel() const { return FShowHeaderPanel; }
  void SetShowHeaderPanel(bool Value);
  bool ShowIndicatorColumn() const { return FShowIndicator; }
  void SetShowIndicatorColumn(bool Value);
  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool Value);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool Value);
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool ExpandOnDblClick() const { return FExpandOnDblClick; }
  void SetExpandOnDblClick(bool Value) { FExpandOnDblClick = Value; }
  int RowSeparatorWidth() const { return FRowSeparatorWidth; }
  void SetRowSeparatorWidth(int Value);
  TColor GridColor() const { return FGridColor; }
  void SetGridColor(TColor Value);
  TColor GridPenColor() const { return FGridPenColor; }
  void SetGridPenColor(TColor Value);
  TColor SelectionColor() const { return FSelectionColor; }
  void SetSelectionColor(TColor Value);
  TColor SelectionTextColor() const { return FSelectionTextColor; }
  void SetSelectionTextColor(TColor Value);
  TColor InactiveSelectionColor() const { return FInactiveSelectionColor; }
  TColor InactiveSelectionTextColor() const { return FInactiveSelectionTextColor; }
  // The typed prefix of an incremental search is painted in these on the focused cell; clNone
  // inverts the cell's own colour.
  // Without the focus the focused cell shows no frame unless this is off.
  bool SuppressFocusRect() const { return FSuppressFocusRect; }
  void SetSuppressFocusRect(bool Value);
  TColor SearchMatchColor() const { return FSearchMatchColor; }
  void SetSearchMatchColor(TColor Value);
  TColor SearchMatchTextColor() const { return FSearchMatchTextColor; }
  void SetSearchMatchTextColor(TColor Value);
  TColor TreeConnectorColor() const { return FTreeConnectorColor; }
  void SetTreeConnectorColor(TColor Value);
  TvmTreeListLineStyle TreeConnectorStyle() const { return FTreeConnectorStyle; }
  void SetTreeConnectorStyle(TvmTreeListLineStyle Value);
  TColor HeaderPanelColor() const { return FHeaderPanelColor; }
  TColor BandPanelColor() const { return FBandPanelColor; }
  TvmTreeListLookStyle LookStyle() const { return FLookStyle; }
  void SetLookStyle(TvmTreeListLookStyle Value);
  TFont* HeaderPanelFont() const { return FHeaderPanelFont.get(); }
  TFont* BandPanelFont() const { return FBandPanelFont.get(); }
  // Preview text under each row's cells (with tloPreview): PreviewLineCount lines in PreviewTextFont,
  // indented by PreviewIndent.
  int PreviewLineCount() const { return FPreviewLineCount; }
  void SetPreviewLineCount(int Value);
  int PreviewIndent() const { return FPreviewIndent; }
  void SetPreviewIndent(int Value);
  TFont* PreviewTextFont() const { return FPreviewTextFont.get(); }
  int PreviewHeight() const { return FPreviewHeight; }
  virtual std::string GetPreviewText(TvmTreeListNode* Node);
  std::function<void(TObject* Sender, TvmTreeListNode* Node, std::string& Text)> OnGetPreviewText;
  // Preview lines of one node: PreviewLineCount, or with tlxAutoPreviewLines as many as its
  // wrapped text needs (at most PreviewLineCount, 0 for an empty text).
  virtual int GetPreviewLineCount(TvmTreeListNode* Node);
  bool IsPreviewShown() const { return FOptions.Contains(tloPreview) && FPreviewLineCount != 0; }

  // Automatic row heights (tlxRowAutoHeight): a row grows to the wrapped lines of its tallest
  // cell, at most MaxRowTextLineCount lines (-1 unlimited; 0 switches the option off).
  int MaxRowTextLineCount() const { return FMaxRowTextLineCount; }
  void SetMaxRowTextLineCount(int Value);
  bool IsRowAutoHeight() {
    return FExtendedOptions.Contains(tlxRowAutoHeight) && FMaxRowTextLineCount != 0 && !IsPreviewShown() &&
           GetHeaderRowCount() == 1;
  }
  // Row heights are the same for every node unless they depend on the node's texts.
  bool HasUniformRowHeights() {
    return !IsRowAutoHeight() && !(IsPreviewShown() && FExtendedOptions.Contains(tlxAutoPreviewLines)) &&
           !FShowNodeFooters;
  }
  // The height of a node's row from a base (one header row's) height; cached in the node unless
  // NoCache. Base -1 means DefaultRowHeight.
  virtual int GetNodeRowHeight(TvmTreeListNode* Node, int Base = -1, bool NoCache = false);
  // Text lines of the node's tallest cell; Height is raised to that cell's height.
  virtual int GetRowLineCount(TvmTreeListNode* Node, int& Height);
  // Measures one cell's wrapped text in Width pixels (false: not measured, one line).
  virtual bool CalcCellTextHeight(TvmTreeListNode* Node, int Column, const std::string& Text, int Width, int MaxLines,
                                  int& LineCount, int& Height);
  int GetNodeTextWidth(TvmTreeListNode* Node);
  // The row height a drag of a row edge to Height pixels asks for (a DefaultRowHeight).
  int RowHeightFromDrag(TvmTreeListNode* Node, int Height);
  int MinRowHeight() const { return FMinRowHeight; }

  // The new-item row under the header (one header row only): it shows the values a new node
  // would get; Up on the first row or a click enters it, Down leaves it.
  bool NewItemRowVisible() const { return FNewItemRowVisible; }
  void SetNewItemRowVisible(bool Value);
  bool IsNewItemRowShown() const { return FNewItemRowVisible && FNewItemRowHeight > 0; }
  bool NewItemRowActive() const { return FNewItemRowActive; }
  void SetNewItemRowActive(bool Value);
  int NewItemRowHeight() const { return FNewItemRowHeight; }
  // The text a new-item cell shows (empty here).
  virtual std::string GetEditingCellText(int Column) { return {}; }
  // Editing on the new-item row asks DoInsert instead of DoEditing.
  virtual void DoInsert(bool& Allow) {}
  // A click on the new-item row with no node focused.
  virtual void InsertNewItem() {}
  void DrawNewItemRow(TCanvas* C, const TvmTreeListLayout& L, bool Focused);

  // Footer panel: one cell under each column that has a footer (HasFooterCell).
  bool ShowFooterPanel() const { return FShowFooterPanel; }
  void SetShowFooterPanel(bool Value);
  TColor FooterPanelColor() const { return FFooterPanelColor; }
  void SetFooterPanelColor(TColor Value);
  TColor FooterPanelTextColor() const { return FFooterPanelTextColor; }
  void SetFooterPanelTextColor(TColor Value);
  int FooterPanelHeight() const { return FFooterPanelHeight; }
  int FooterRowHeight() const { return FFooterRowHeight; }
  virtual bool HasFooterCell(int Column) { return false; }
  virtual void GetFooterCellText(TvmTreeListNode* Node, int Column, std::string& Text, int FooterIndex) {}
  virtual TAlignment GetFooterCellAlignment(TvmTreeListNode* Node, int Column, int FooterIndex) {
    return GetColumnAlignment(Column);
  }

  // Node footers: under the last shown row of a group, one footer band for every enclosing
  // parent whose level shows footers (IsLevelFooterShown), the innermost first. A band is
  // NodeFooterHeight high and starts one Indent right of its parent's level; its cells are the
  // columns that answer HasNodeFooterCell. FooterIndex j of a row counts its bands from the top.
  bool ShowNodeFooters() const { return FShowNodeFooters; }
  void SetShowNodeFooters(bool Value);
  int NodeFooterHeight() const { return FNodeFooterHeight; }
  virtual bool IsLevelFooterShown(int Level) { return false; }
  virtual bool HasNodeFooterCell(TvmTreeListNode* Node, int Column, int FooterIndex) { return false; }
  int GetNodeFooterCount(TvmTreeListNode* Node);
  // The level of the parent whose footer is the node's J-th band (-1 when there is none).
  int GetNodeFooterLevel(TvmTreeListNode* Node, int J);
  // How many of the node's footer bands belong to levels below Level.
  int CountNodeFootersBelow(TvmTreeListNode* Node, int Level);

  // Group panel (a hook: no class here shows one) and status panel (shown by descendants that
  // answer IsStatusShown; its close button has a hint).
  virtual int GetGroupPanelHeight() { return 0; }
  virtual void DrawGroupPanel(TCanvas* Canvas, const TRect& Rect) {}
  virtual bool IsStatusShown() { return false; }
  virtual void GetStatusText(std::string& Text) {}
  virtual bool HasStatusCloseButton() { return false; }
  virtual void GetStatusHint(std::string& Text) {}
  virtual void DoStatusCloseClick() {}
  int StatusPanelHeight() const { return FStatusHeight; }
  TRect GetStatusCloseButtonRect();
  bool StatusCloseButtonHot() const { return FStatusCloseHot; }
  void ShowStatusHint(bool Immediate);
  void HideStatusHint();
  TvmContainerHintWindow* StatusHintWindow() const { return FStatusHint.get(); }
  TTimer* StatusHintShowTimer() const { return FStatusShowTimer; }
  TTimer* StatusHintHideTimer() const { return FStatusHideTimer; }

  // Drawing hooks (the concrete control raises its events from them).
  virtual bool IsCellDrawAssigned(TvmTreeListNode* Node, int Column) { return false; }
  virtual void DoDrawDataCell(TvmTreeListDrawInfo& Info) {}
  virtual bool IsHeaderDrawAssigned(int Column) { return false; }
  virtual void DoDrawColumnHeader(TvmTreeListDrawInfo& Info) {}
  virtual bool IsBandDrawAssigned(int VisibleBand) { return false; }
  virtual void DoDrawBand(TvmTreeListDrawInfo& Info) {}
  virtual bool IsPreviewDrawAssigned() { return false; }
  virtual void DoDrawPreview(TvmTreeListDrawInfo& Info) {}
  virtual bool IsFooterDrawAssigned(TvmTreeListNode* Node, int Column, int FooterIndex) { return false; }
  virtual void DoDrawFooterCell(TvmTreeListDrawInfo& Info) {}
  // The mark in a row's indicator cell: 0 none, 1 focused (arrow), 2 editing, 3 inserting,
  // 4 selected (dot), 5 focused and selected (arrow and dot). Here the focused row's arrow only.
  virtual int GetIndicatorKind(TvmTreeListNode* Node, bool Selected) { return Node == FFocusedNode ? 1 : 0; }

  bool SearchExpandsNodes() const { return FSearchExpandsNodes; }
  void SetSearchExpandsNodes(bool Value) { FSearchExpandsNodes = Value; }

  // Draw style, level colours, frame and scroll bars.
  // In the compact style a node without children draws its images one Indent further left;
  // the indent of every row is a run of level cells in the level colours, and parent rows
  // are painted in their level colour (GroupPanelColor unless OnGetNodeLevelColor changes it)
  // with GroupPanelTextColor (clNone: the font's colour).
  TvmTreeListDrawStyle DrawStyle() const { return FDrawStyle; }
  void SetDrawStyle(TvmTreeListDrawStyle Value);
  TColor GroupPanelColor() const { return FGroupPanelColor; }
  void SetGroupPanelColor(TColor Value);
  TColor GroupPanelTextColor() const { return FGroupPanelTextColor; }
  void SetGroupPanelTextColor(TColor Value);
  virtual bool IsLevelColorAssigned() { return false; }
  virtual void DoGetLevelColor(int Level, TColor& Color) {}
  // The colour of a level's cells: GroupPanelColor, or what DoGetLevelColor makes of it.
  TColor GetLevelColor(int Level);
  // Rows of the customizing form's lists.
  int CustomizeListRowCount() const { return FCustomizeListRowCount; }
  void SetCustomizeListRowCount(int Value);
  // bsSingle: a sunken edge in the raised look, a window-frame line in the others; bsNone: none.
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  // Which scroll bars the window may show (each only while there is something to scroll).
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool IsHorzScrollBarWanted() const { return FScrollBars == ssHorizontal || FScrollBars == ssBoth; }
  bool IsVertScrollBarWanted() const { return FScrollBars == ssVertical || FScrollBars == ssBoth; }
  // The in-place editors take their border and button look from the grid.
  std::unique_ptr<TvmEditStyle> CreateEditStyle(TvmInplaceEdit* Edit) override;
  TvmPopupBorder GetPopupBorder(TvmEditBorderStyle BorderStyle) override {
    return FLookStyle == tllRaised ? pbFrame3D : pbSingle;
  }

  // Metrics.
  int RowHeight() const { return FRowHeight; }
  int HeaderRowHeight() const { return FHeaderRowHeight; }
  int HeaderPanelHeight() const { return FHeaderPanelHeight; }
  int BandHeight() const { return FBandHeight; }
  int IndicatorWidth() const { return FIndicatorWidth; }
  int Indent() const { return FIndent; }
  int LeftPos() const { return FLeftPos; }
  void SetLeftPos(int Value);
  int GetGridLineColor() const { return FGridPenColor == clNone ? FGridColor : FGridPenColor; }
  int GetRowSeparatorWidth() const { return FRowSeparatorWidth < 1 ? 1 : FRowSeparatorWidth; }

  // Hot tracking.
  const TvmTreeListHotTrackInfo& HotTrackRecord() const { return FHotTrack; }
  virtual void UpdateHotTrack(const TvmTreeListHitTestInfo& HitInfo);
  virtual bool IsHotTrackCell(int X, int Y, TvmTreeListNode* Node, int Column, int& PartIndex) {
    return FExtendedOptions.Contains(tlxHotTrack);
  }
  virtual bool IsHeaderHotTracking() { return false; }
  virtual bool IsHeaderHotTrack(int X, int Y, int& HeaderState, int Column);
  virtual bool IsHotCell(TvmTreeListNode* Node, int Column) {
    return Node == FHotTrack.HotNode && Column == FHotTrack.HotColumn;
  }
  virtual void DoNodeHotTrack(const TvmTreeListHotTrackInfo& Info, TCursor& Cursor);
  TvmTreeListHotTrackEvent OnNodeHotTrack;

  // Sizing by the mouse and best fit.
  int SizingLinePos() const { return FSizingPos; }
  void ApplyBestFitColumn(int Column);
  void ApplyBestFitBand(int VisibleBand);
  virtual int GetBestFitWidth(int Column, TvmTreeListNode* Node);
  virtual void ScaleBandWidth(int VisibleBand, int Width) {}
  // Width changes that keep the total: the neighbours after the band or column (before it, for
  // the last) absorb the difference in proportion to their widths.
  virtual void SetBandWidthAuto(int VisibleBand, int Width) { ScaleBandWidth(VisibleBand, Width); }
  virtual void SetColumnWidthAuto(int Column, int Width) { SetColumnWidth(Column, Width); }
  // A band-layout column change that widens its band by the difference.
  virtual void SetColumnWidthInBand(int Column, int Width) { SetColumnWidth(Column, Width); }
  virtual void SetBandRowCountFromSizing(int Rows) {}
  virtual void SetHeaderPanelRowCountFromSizing(int Rows) {}
  virtual int GetBandRowCount() { return 1; }
  virtual int GetBandMaxRowCount() { return 5; }
  virtual int GetHeaderMaxRowCount() { return 4; }
  // Text lines in every header row.
  virtual int GetHeaderMinRowCount() { return 1; }
  virtual bool IsBandSizing(int VisibleBand) { return true; }
  virtual void DoColumnsWidthChanged();
  TNotifyEvent OnColumnsWidthChanged;

  // Layout, hit testing.
  void CalcLayoutRects(TvmTreeListLayout& Layout);
  // The scrolling bands' total width and the width they are shown in (fixed bands left out).
  void GetScrollWidths(int& Total, int& View);
  // Visible positions of the left and right fixed bands (-1 none).
  virtual int GetLeftFixedBand() { return -1; }
  virtual int GetRightFixedBand() { return -1; }
  int FixedBandSeparatorWidth() const { return FFixedBandSeparatorWidth; }
  void SetFixedBandSeparatorWidth(int Value);
  TColor FixedBandSeparatorColor() const { return FFixedBandSeparatorColor; }
  void SetFixedBandSeparatorColor(TColor Value);
  void CalcLayout(TvmTreeListLayout& Layout);
  TRect GetCellRect(TvmTreeListNode* Node, int VisualColumn);
  int VisualColumnToColumn(int Index);
  int ColumnToVisualColumn(int Column);
  int VisibleColumnCount();
  virtual void GetHitInfo(TPoint P, TvmTreeListHitTestInfo& HitInfo);
  TvmTreeListNode* GetNodeAt(int X, int Y);
  void MakeColumnVisible(int Column);
  // The node's indent (level slots with the button) and where its content begins (after the images).
  int NodeLevelIndent(TvmTreeListNode* Node) const;
  int NodeIndent(TvmTreeListNode* Node) const;
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  TImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TImageList* Value);
  TvmTreeListGetImageEvent OnGetImageIndex;
  TvmTreeListGetImageEvent OnGetSelectedIndex;
  TvmTreeListGetImageEvent OnGetStateImageIndex;

  // Scrolling.
  int PageRowCount();
  // The row index of the top row that shows the last rows at the bottom of the page.
  int GetLastTopRowIndex();
  void SetTopNode(TvmTreeListNode* Node);
  void SetTopRowIndex(int Index);
  void UpdateScrollBars();
  void MouseWheelScroll(bool Up, int Lines) override;

  // Anchor scrolling, started by a middle-button press: a round mark stays at the press point
  // and the list scrolls towards the pointer, faster the further it is from the mark (speed 1
  // just outside the resting square, 12 from 55 pixels further out), along the scroll bars the
  // window shows. A middle-button release after the pointer left the square, any other click,
  // the wheel or a key ends it (the key or click does nothing else).
  void ScrollByAnchor(const TPoint& ScreenAnchor);
  void EndAnchorScroll();
  bool AnchorScrolling() const { return FAnchor.Active; }
  // 0 none, 1 left, 2 up, 3 right, 4 down; speed 0 .. 12.
  int AnchorDirection() const { return FAnchor.Direction; }
  int AnchorSpeed() const { return FAnchor.Speed; }
  TTimer* AnchorTimer() const { return FAnchorTimer; }
  TDragImage* AnchorImage() const { return FAnchorImage.get(); }
  static constexpr int AnchorSize = 28;  // the mark's width and height

  // Sorting.
  void SortNodes(int Level, int Column, bool Descending);
  virtual int CompareNodes(TvmTreeListNode* Node1, TvmTreeListNode* Node2);
  static int CompareSortValues(const Variant& V1, const Variant& V2);

  // Copying.
  void GetHeaderLine(std::string& Text);
  void GetNodeLine(TvmTreeListNode* Node, std::string& Text);
  void CopySelectedToStrings(TStrings& Strings);
  void CopyAllToStrings(TStrings& Strings);
  // The selected nodes' lines (or the focused node's), under the header line, as the clipboard's text.
  void CopyToClipboard();

  // Incremental search.
  bool StartSearch(int Column, const std::string& Text);
  void EndSearch();
  bool Searching() const { return FSearching; }
  const std::string& SearchText() const { return FSearchText; }
  bool LocateNode(int Column, const std::string& Text, int Direction, TvmTreeListNode*& Node);

  // Editing: the in-place editor over the focused cell.
  void ShowEditor();
  void ShowEditorWithChar(char Ch);
  void HideEditor(bool FocusControl);
  void CloseEditor();
  void ResetEditor();
  void PostEditorValue();
  void UpdateEditor(bool Activate);
  TvmInplaceEdit* InplaceEditor() const { return FEditor; }
  TvmTreeListNode* EditingNode() const { return FEditingNode; }
  int EditingColumn() const { return FEditingColumn; }
  TRect GetEditorRect(TvmTreeListNode* Node, int VisualColumn);
  virtual TvmInplaceEdit* CreateEditor(int Column);
  virtual TvmInplaceEdit* FindEditor(int Column) { return FEditor; }
  virtual void InitEditor(TvmInplaceEdit* Editor);
  virtual void GetEditorValue(TvmTreeListNode* Node, TvmInplaceEdit* Editor, Variant& Value) {
    Value = Variant(std::string());
  }
  virtual void ApplyEditorValue(TvmTreeListNode* Node, int Column, TvmInplaceEdit* Editor, Variant& Value) {
    Value = Variant(std::string());
  }
  virtual void DoEditing(TvmTreeListNode* Node, bool& Allow);
  virtual void DoEdited(TvmTreeListNode* Node);
  virtual bool IsReadyForEditing();
  bool IsEditorOutOfSync() override { return FEditor && FState == tlsEditing && GetFocusedColumn() != FEditorColumn; }
  bool CanEditModify() override { return !IsReadOnly(); }
  bool CanEditAcceptKey(char Key) override { return !IsReadOnly(); }
  bool IsEditWantTabs() override { return FOptions.Contains(tloEditorTabs); }
  TvmTreeListExpandingEvent OnEditing;
  TvmTreeListNodeEvent OnEdited;

  // Dragging nodes (inside the control) and band and column headers.
  TvmTreeListDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TvmTreeListDragMode Value) { FDragMode = Value; }
  int DragExpandDelay() const { return FDragExpandDelay; }
  void SetDragExpandDelay(int Value) { FDragExpandDelay = Value < 0 ? 0 : Value; }
  TColor DropArrowsColor() const { return FDropArrowsColor; }
  void SetDropArrowsColor(TColor Value) { FDropArrowsColor = Value; }
  TvmTreeListNode* DraggedNode() const { return FDragNode; }
  TvmTreeListNode* ExpandHoverNode() const { return FExpandHoverNode; }
  TTimer* DragExpandTimer() const { return FDragExpandTimer; }
  TTimer* DragScrollTimer() const { return FDragScrollTimer; }
  // The customizing form: ShowCustomizeForm opens it beside the control (where it was last
  // when it was open before), HideCustomizeForm closes it; it goes with the control.
  void ShowCustomizeForm();
  void HideCustomizeForm();
  bool IsCustomizing() const;
  TvmTreeListCustomizeForm* CustomizeForm() const { return FCustomizeForm; }
  // The entries of its lists: hidden columns (Bands false) or bands that may be shown again.
  virtual void GetCustomizeItems(bool Bands, std::vector<int>& Indexes, std::vector<std::string>& Captions) {}
  // A column taken from the form's list: dragged like a header from a client point.
  void StartCustomizeColumnDrag(int Column, TPoint P);
  // A hidden band (absolute index) taken from the form's list.
  void StartCustomizeBandDrag(int Band, TPoint P);
  // The client point lies over the open customizing form.
  bool OverCustomizeForm(TPoint P);
  // A band or column drag starts: the open customizing form turns to the page of that kind.
  void ShowCustomizePageFor(bool Bands);
  // The picture under the pointer while nodes, columns or bands are dragged (null outside a
  // drag); DragImageVisible off keeps it away from node drags.
  TDragImage* NodeDragImages() const { return FNodeDragImages.get(); }
  bool DragImageVisible() const { return FDragImageVisible; }
  void SetDragImageVisible(bool Value) { FDragImageVisible = Value; }
  // The text a node's drag image shows: its cell text in that column.
  virtual std::string GetNodeDragText(TvmTreeListNode* Node, int Column) { return GetCellText(Node, Column); }
  // The node's cell in a visual column (-1: the first) framed in dotted lines, or a plain
  // DefaultRowHeight x 16 box when no column shows.
  void CreateNodeDragImage(TvmTreeListNode* Node, int VisualColumn);
  void CreateColumnDragImage(int Column);
  void CreateBandDragImage(int VisibleBand);
  int DragScrollDirection() const { return FDragScrollDirection; }
  int DraggedColumn() const { return FDraggedColumn; }
  int DraggedBand() const { return FDraggedBand; }
  // The drop arrows' top-left in client coordinates; (-100, -100) while none show.
  TPoint ArrowsPos() const { return FArrowsPos; }
  void CalcColumnDropTarget(TPoint P, TvmTreeListDropTarget& Target);
  int CalcBandDropTarget(TPoint P);
  void EndNodeDrag(bool Drop, int X, int Y);
  // A node going away (null: all of them) leaves a node drag started here.
  void ForgetDraggedNode(TvmTreeListNode* Node);
  void EndColumnDrag(bool Accept);
  void EndBandDrag(bool Accept);
  virtual bool CanDragColumn(int Column) { return FOptions.Contains(tloColumnMoving); }
  virtual bool CanDragBand(int VisibleBand) { return FExtendedOptions.Contains(tlxBandMoving); }
  virtual bool IsColumnLocked(int Column) { return false; }
  virtual bool IsBandLocked(int VisibleBand) { return false; }
  virtual void MoveColumn(int Column, int VisibleBand, int Row, int Position) {}
  virtual void HideColumn(int Column) {}
  // Shows a hidden column at a header place (a drop from the customizing form).
  virtual void ShowColumn(int Column, int VisibleBand, int Row, int Position) {}
  virtual bool IsColumnShown(int Column) { return true; }
  virtual void MoveBand(int FromVisible, int ToVisible) {}
  virtual void HideBand(int VisibleBand) {}
  // Shows a hidden band (absolute index) at a visible position (a drop from the customizing form).
  virtual void ShowBand(int Band, int VisiblePosition) {}
  virtual void DoNodeDragStart(TvmTreeListNode* Node);
  virtual void DoDragEndColumn(TPoint P, int Column, bool& Accept, TvmTreeListDropTarget& Target) {}
  virtual void DoDragEndBand(TPoint P, int VisibleBand, bool& Accept, int& NewIndex, int OldIndex) {}
  TvmTreeListNodeEvent OnNodeDragStart;
  // The drag protocol between controls: nodes dragged from this or another tree list (or any
  // drag object) over this one; OnDragOver decides whether a drop is accepted, OnDragDrop takes
  // it (Source is the control the drag came from; DragObject() tells what it carries).
  void DragOver(TDragObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TDragObject* Source, int X, int Y) override;
  void DragEnded(TDragObject* Object, TControl* Target, int X, int Y) override;
  // A drag from another control is over this one.
  TDragObject* ForeignDragObject() const { return FForeignDrag; }
  TvmTreeListDragOverEvent OnDragOver;
  TvmTreeListDragDropEvent OnDragDrop;
  TvmTreeListDragDropEvent OnEndDrag;

  TvmTreeListState State() const { return FState; }
  void CancelMode();
  const TvmTreeListHitTestInfo& DownHitInfo() const { return FDownHitInfo; }

  // Mouse: what a press holds down and the clicks its release completes. The held band is a
  // visible position, the held column an absolute index (-1 none); an item shows pushed only
  // while the pointer stays over it.
  int PressedBand() const { return FPressedBand; }
  int PressedColumn() const { return FPressedColumn; }
  bool IsBandPushed(int VisibleBand) const {
    return FState == tlsBandPressed && FPressedBand == VisibleBand && FBandPushed;
  }
  bool IsColumnPushed(int Column) const {
    return FState == tlsColumnPressed && FPressedColumn == Column && FColumnPushed;
  }
  bool IsBandButtonPushed() const { return FState == tlsBandButtonPressed && FBandButtonPushed; }
  bool IsHeaderButtonPushed() const { return FState == tlsHeaderButtonPressed && FHeaderButtonPushed; }
  bool IsDropDownButtonPushed(int Column) const {
    return FState == tlsDropDownButtonPressed && FPressedColumn == Column && FDropDownPushed;
  }
  // The look of a header's drop-down button: 0 none, 1 shown, 3 under the pointer, 7 pressed.
  virtual int GetHeaderHotState(int Column);
  // Released over the item pressed: a band cell, the corner buttons left of the band and header
  // panels, a header's drop-down button.
  virtual void DoBandClick(int VisibleBand) {}
  virtual void DoBandButtonClick() {}
  virtual void DoHeaderButtonClick() {}
  virtual void DoDropDownButtonClick(int Column) {}
  // Whether a press on a cell opens its editor at once (WasFocused: the node had the focus before).
  virtual bool OpensEditorOnMouseDown(int X, int Y, bool WasFocused, int Column) { return IsImmediateEditor(); }
  bool IsImmediateEditor() override { return FExtendedOptions.Contains(tlxImmediateEditor); }
  // The editor opened by a press (which it receives too) or by a click on the focused cell.
  void ShowEditorWithMouse(int X, int Y);
  void ShowEditorAfterClick();
  // A second click on the focused cell opens its editor once the double-click time has passed
  // without a second press (made on first use; null before).
  TTimer* ClickEditTimer() const { return FClickEditTimer; }
  // A held band or header starts to move; while it moves, whether a drop at P would be taken
  // (refused: the pointer shows that the item would be hidden).
  virtual void StartBandDrag(int VisibleBand);
  virtual void StartColumnDrag(int Column);
  virtual void DoDragOverBand(TPoint P, int VisibleBand, bool& Accept) {}
  virtual void DoDragOverColumn(TPoint P, int Column, bool& Accept) {}
  // A header whose caption wraps onto several lines.
  virtual bool IsMultilineHeaderColumn(int Column) { return false; }
  // The least cell height a column needs: its own font's text height (0 without one) or the
  // column's least cell height, whichever is larger; and the largest over the shown columns:
  // rows are never lower.
  virtual int GetColumnTextHeight(TCanvas* Canvas, int Column);
  int GetMaxColumnTextHeight(TCanvas* Canvas);

  // The paint pass draws into the control's surface (the retained canvas).
  void Paint() override;

  // Events.
  TvmTreeListExpandingEvent OnExpanding;
  TvmTreeListExpandingEvent OnCollapsing;
  TvmTreeListNodeEvent OnExpanded;
  TvmTreeListNodeEvent OnCollapsed;
  TvmTreeListNodeEvent OnDeletion;
  TvmTreeListNodeEvent OnAddition;
  TvmTreeListChangeNodeEvent OnChangeNode;
  TvmTreeListFocusedColumnEvent OnFocusedColumnChanged;
  TNotifyEvent OnSelectionChanged;
  TvmTreeListCanSelectEvent OnCanSelectNode;
  TvmTreeListCompareEvent OnCompare;
  TvmTreeListColumnClickEvent OnColumnClick;

  // Virtual operations answered by the concrete control.
  virtual TvmTreeListNode* CreateNode() = 0;
  virtual int GetImageIndex(TvmTreeListNode* Node) { return -1; }
  virtual int GetSelectedIndex(TvmTreeListNode* Node) { return -1; }
  virtual int GetStateIndex(TvmTreeListNode* Node) { return -1; }
  virtual void SetImageIndex(TvmTreeListNode* Node, int Value) {}
  virtual void SetSelectedIndex(TvmTreeListNode* Node, int Value) {}
  virtual void SetStateIndex(TvmTreeListNode* Node, int Value) {}
  virtual std::string GetNodeString(TvmTreeListNode* Node, int Column) { return {}; }
  virtual void SetNodeString(TvmTreeListNode* Node, int Column, const std::string& Value) {}
  virtual Variant GetNodeValue(TvmTreeListNode* Node, int Column) { return Variant(GetNodeString(Node, Column)); }
  virtual void SetNodeValue(TvmTreeListNode* Node, int Column, const Variant& Value) {}
  virtual void GetNodeSortValue(TvmTreeListNode* Node, int Column, Variant& Value) { Value = Variant(std::string()); }
  virtual void RemoveColumnValue(TvmTreeListNode* Node, int Index) {}

  virtual int GetBandCount() { return 0; }
  virtual int GetVisibleBandCount() { return 0; }
  virtual int GetBandAbsoluteIndex(int VisibleIndex) { return VisibleIndex; }
  virtual int GetBandWidth(int VisibleIndex) { return 0; }
  virtual int GetBandMinWidth(int VisibleIndex) { return 0; }
  virtual std::string GetVisibleBandCaption(int VisibleIndex) { return {}; }
  virtual int GetColumnCount() { return 0; }
  virtual int GetHeaderRowCount() { return 1; }
  virtual int GetHeaderRowColumnCount(int VisibleBand, int Row) { return 0; }
  virtual int GetHeaderColumn(int VisibleBand, int Row, int Position) { return -1; }
  virtual int GetColumnWidth(int Column) { return 0; }
  virtual int GetColumnMinWidth(int Column) { return 0; }
  virtual bool IsColumnSizing(int Column) { return true; }
  virtual std::string GetColumnCaption(int Column) { return {}; }
  virtual TAlignment GetColumnHeaderAlignment(int Column) { return taLeftJustify; }
  virtual TAlignment GetBandAlignment(int VisibleBand) { return taCenter; }
  // Header rows the column at (band, row, position) spans (1 unless it is in the band's last row).
  virtual int GetHeaderCellRowSpan(int VisibleBand, int Row, int Position) { return 1; }
  virtual TAlignment GetColumnAlignment(int Column) { return taLeftJustify; }
  // A column's own cell colour and font (false / null: the control's).
  virtual bool GetColumnColor(int Column, TColor& Color) { return false; }
  virtual TFont* GetColumnFont(int Column) { return nullptr; }
  // The text a cell paints (case, password mask, a column's own formatting) and where a one-line
  // text sits vertically; the smallest cell height a column needs (0: the text decides).
  virtual void FormatCellPaintText(TvmTreeListNode* Node, int Column, std::string& Text) {}
  // The picture a column's header shows before its caption (nil: none).
  virtual TBitmap* GetColumnHeaderGlyph(int Column) { return nullptr; }
  virtual TTextLayout GetColumnVertAlignment(int Column) { return tlCenter; }
  virtual int GetColumnMinCellHeight(TCanvas* Canvas, int Column) { return 0; }
  virtual TvmTreeListColumnSort GetColumnSorted(int Column) { return csNone; }
  virtual bool IsColumnTabStop(int Column) { return true; }
  virtual std::string GetCellText(TvmTreeListNode* Node, int Column) { return GetNodeString(Node, Column); }
  virtual void SetColumnWidth(int Column, int Width) {}
  virtual void DoColumnClick(int Column, bool Shift, bool Ctrl = false);
  virtual int GetSortedColumnCount() { return 0; }
  virtual bool IsSortedColumnDescending(int Index) { return false; }
  virtual int GetSortedColumn(int Index) { return Index; }
  virtual bool IsMultiSort(int Column) { return FExtendedOptions.Contains(tlxMultiSort); }

  // Node bookkeeping and notifications.
  virtual void NodeAdded(TvmTreeListNode* Node);
  virtual void NodeDeleted(TvmTreeListNode* Node, TvmTreeListNode* Prior, TvmTreeListNode* Next, bool WasLast,
                           bool WasVisible);
  virtual void NodeChanged(TvmTreeListNode* Node, bool Full);
  virtual bool NodeHasChildren(TvmTreeListNode* Node) { return Node->Count() != 0; }
  virtual bool FocusNodeForCollapse(TvmTreeListNode* Node);
  virtual void DoExpanding(TvmTreeListNode* Node, bool& Allow);
  virtual void DoCollapsing(TvmTreeListNode* Node, bool& Allow);
  virtual void DoExpanded(TvmTreeListNode* Node);
  virtual void DoCollapsed(TvmTreeListNode* Node);
  virtual void DoChangeNode(TvmTreeListNode* OldNode, TvmTreeListNode* Node);
  virtual void DoChangeColumn(TvmTreeListNode* Node, int Column);
  virtual void ClearVisibleCache();
  virtual void ResetNodeMetrics();
  virtual void BuildVisibleCache();
  virtual void LayoutChanged();
  virtual void SetFocusedNodeColumn(TvmTreeListNode* Node, int Column, bool MakeVisible);
  virtual void SetFocusedRowIndex(int Index);

  // Selection protocol (the base stores nothing).
  virtual bool CanSelectNode(TvmTreeListNode* Node);
  virtual void ClearSelection();
  virtual int CompareWithAnchor(TvmTreeListNode* Node);
  virtual int ResetSelecting();
  virtual void DoSelectionChanged();
  virtual int GetSelectedCount() { return 0; }
  virtual TvmTreeListNode* GetSelectedItem(int Index) { return nullptr; }
  virtual void InvalidateSelection() { Invalidate(); }
  virtual bool IsNodeSelected(TvmTreeListNode* Node) { return false; }
  virtual void SetNodeSelected(TvmTreeListNode* Node, bool Value) { DoSelectionChanged(); }
  virtual void SetSelectionAnchor(TvmTreeListNode* Node) { FAnchorNode = Node; }
  virtual bool CanSelectRange() { return true; }
  virtual bool CanProcessKey(uint16_t Key, TShiftState Shift) { return true; }

protected:
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;
  void TrackFocus(int Y);
  void DblClick() override;
  void Resize() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void FontChanged() override;
  void DoEnter() override;
  void DoExit() override;
  bool WantsKey(uint16_t Key) const override;
  void Scrolled(int Kind, int Position) override;

  void CalcMetrics();
  void CalcRowWidths(int VisibleBand, int Row, int BandWidth, std::vector<int>& Columns, std::vector<int>& Widths);
  void SetState(TvmTreeListState Value) { FState = Value; }
  // Mouse: the held items and whether they show pushed.
  int FPressedBand = -1, FPressedColumn = -1;
  bool FBandPushed = false, FColumnPushed = false, FDropDownPushed = false;
  bool FBandButtonPushed = false, FHeaderButtonPushed = false;
  bool IsDropDownHot(int X, int Y, int Column);
  // Whether the pointer (hit H) is over what the pressed state S holds down.
  bool IsOverPressedItem(TvmTreeListState S, const TvmTreeListHitTestInfo& H);
  void ReleasePressed();
  bool PressHeaderItem(const TvmTreeListHitTestInfo& H);
  TTimer* FClickEditTimer = nullptr;
  void StartClickEditTimer();
  void StopClickEditTimer();
  bool EditorHasFocus() const;
  static bool IsSizingState(TvmTreeListState S) {
    return S == tlsColumnSizing || S == tlsBandSizing || S == tlsRowSizing || S == tlsBandPanelSizing ||
           S == tlsHeaderPanelSizing;
  }
  bool StartSizing(const TvmTreeListHitTestInfo& H, bool DoubleClick);
  void MoveSizingLine(int X, int Y);
  void ApplySizing(TvmTreeListState S);
  void GetSizingLimits(int& Min, int& Max);
  void DrawSizingLine(TCanvas* C);
  void StartNodeDrag();
  void NodeDragOver(int X, int Y);
  void DragOverRows(int X, int Y);
  void SetForeignDragObject(TDragObject* Object);
  void DragExpandTimerFired();
  void DragScrollTimerFired();
  void ForgetEditingCell();
  void ResetNodeReferences();
  void MoveRow(int Delta, TShiftState Shift);
  void MovePage(bool Down, TShiftState Shift);
  bool MoveInBandRows(int Delta);
  void FocusRowForKey(TvmTreeListNode* Node, TShiftState Shift);
  void RunSearch(std::string& Text, int Direction, bool ClearOnFail);
  void SortList(std::vector<TvmTreeListNode*>& List, int Column, bool Descending);
  void SortLevel(std::vector<TvmTreeListNode*>& List, int Level, int Depth, int Column, bool Descending);

  // Painting pieces.
  virtual void DrawHeader(TCanvas* C, const TvmTreeListLayout& L);
  void DrawBandCell(TCanvas* C, int Band, const TRect& R, const TRect& Clip);
  void DrawHeaderCell(TCanvas* C, const TvmTreeListHeaderCell& Cell);
  virtual void DrawRow(TCanvas* C, const TvmTreeListLayout& L, const TvmTreeListRowInfo& Row, bool Focused);
  void DrawSearchMatch(TCanvas* C, const TvmTreeListDrawInfo& Info, const TRect& TextRect, const TRect& Clip,
                       uint32_t Flags);
  // RowRect: the row's cells; lines of the ancestors run on to LinesBottom, above the footer
  // bands that cover them.
  void DrawTreeLines(TCanvas* C, TvmTreeListNode* Node, const TRect& RowRect, int Left, int LinesBottom);
  void DrawExpandButtonBox(TCanvas* C, const TRect& R, int CenterY, bool Collapsed);
  // One indicator mark (kinds of GetIndicatorKind) centred in R, in black.
  static void DrawIndicatorGlyph(TCanvas* C, const TRect& R, int Kind);
  void DrawFooterPanel(TCanvas* C, const TvmTreeListLayout& L);
  // The sunken footer cells of one footer row band (FooterIndex -1: the footer panel) from Top.
  void DrawFooterCells(TCanvas* C, const TvmTreeListLayout& L, int Top, TvmTreeListNode* Node, int FooterIndex,
                       TColor Back, TColor Text);
  void DrawNodeFooters(TCanvas* C, const TvmTreeListLayout& L, const TvmTreeListRowInfo& Row);
  void DrawStatusPanel(TCanvas* C, const TvmTreeListLayout& L);
  // Runs a drawing hook clipped to one element, restoring the clip region afterwards.
  void RunDrawHook(TCanvas* C, const TRect& Clip, const std::function<void()>& Hook);
  int RowPreviewHeight(const TvmTreeListRowInfo& Row) const;
  void AddBandToLayout(TvmTreeListLayout& L, int Band, const TRect& Cell, const TRect& Clip);
  void StatusMouseMove(int X, int Y);

  static void DestroyNode(TvmTreeListNode* Node);
  void WalkVisible(const std::function<bool(TvmTreeListNode*)>& Fn) const;

  std::vector<TvmTreeListNode*> FRoots;
  TvmVisibleNodeCache FCache;
  TvmTreeListNode* FTopNode = nullptr;
  TvmTreeListNode* FFocusedNode = nullptr;
  TvmTreeListNode* FAnchorNode = nullptr;
  TvmTreeListNode* FFirstSelectedNode = nullptr;
  TvmTreeListNode* FPrevFocusedNode = nullptr;
  TvmTreeListNode* FDragNode = nullptr;
  TvmTreeListNode* FHotTrackNode = nullptr;
  int FFocusedColumn = 0;
  int FFocusedAbsoluteColumn = -1;
  bool FSelecting = false;
  int FSelectionLock = 0;
  int FLockUpdate = 0;
  bool FClearing = false;
  bool FDestroying = false;
  bool FDeletedNodeWasVisible = false;
  TvmTreeListState FState = tlsIdle;
  TvmTreeListHitTestInfo FDownHitInfo;
  TPoint FDownPoint;
  int FSizingColumn = -1;
  int FSizingBand = -1;
  TvmTreeListNode* FSizingNode = nullptr;
  int FSizingPos = 0;  // the sizing line: x for bands and columns, y for rows and panels
  int FSizingStartPos = 0;
  int FSizingOrigin = 0;  // the sized item's left (or top) edge
  bool FShiftRun = false;
  TvmInplaceEdit* FEditor = nullptr;
  TvmTreeListNode* FEditingNode = nullptr;
  int FEditingColumn = -1;
  int FEditorColumn = -1;
  bool FClickEdit = false;
  bool FCollapseSelection = false;
  TvmTreeListDragMode FDragMode = tldmManual;
  int FDragExpandDelay = 500;
  TColor FDropArrowsColor = clLime;
  TvmTreeListNode* FExpandHoverNode = nullptr;
  TTimer* FDragExpandTimer = nullptr;
  TTimer* FDragScrollTimer = nullptr;
  struct {
    bool Active = false, Horizontal = false, Vertical = false, Moved = false;
    TPoint Point;  // screen
    int Direction = 0, Speed = 0, Ticks = 0;
    TCursor ScreenCursor = crDefault;  // shown again when the mode ends
  } FAnchor;
  TTimer* FAnchorTimer = nullptr;
  std::unique_ptr<TDragImage> FNodeDragImages;
  TvmTreeListCustomizeForm* FCustomizeForm = nullptr;
  TRect FCustomizeBounds{-1000, -1000, -1000, -1000};
  bool FDragImageVisible = true;
  void StartHeaderDragImage(TBitmap* Image);
  void MoveHeaderDragImage(int X, int Y, bool Delete);
  void EndDragImage();
  std::unique_ptr<TDragImage> FAnchorImage;
  void AnchorMouseMove(const TPoint& Screen);
  void AnchorTimerFired();
  int FDragScrollDirection = 0;
  int FDraggedColumn = -1;
  int FDraggedBand = -1;
  int FCustomizeBand = -1;  // a hidden band dragged from the customizing form (absolute index)
  TPoint FArrowsPos{-100, -100};
  TPoint FLastDragPoint;
  TDragObject* FForeignDrag = nullptr;
  TvmTreeListHotTrackInfo FHotTrack;
  std::unique_ptr<TBitmap> FLineBrush;  // the dotted tree lines' checkerboard
  TColor FLineBrushColors[2] = {clNone, clNone};
  TImageList* FImages = nullptr;
  TImageList* FStateImages = nullptr;
  TCursor FAssignedCursor = crDefault;
  TCursor FHotCursor = crDefault;
  bool FSettingCursor = false;
  int FTrackDirection = 0;

  bool FSearching = false;
  std::string FSearchText;
  int FSearchColumn = -1;
  int FSearchLock = 0;

  TvmTreeListOptions FOptions;
  TvmTreeListExtendedOptions FExtendedOptions;
  int FDefaultRowHeight = 18;
  bool FDefaultRowHeightAssigned = false;
  bool FShowGrid = false, FShowPreviewGrid = true, FShowBandPanel = false, FShowHeaderPanel = true;
  bool FShowIndicator = false, FShowButtons = true, FShowLines = true, FShowRoot = true, FHideSelection = true;
  bool FExpandOnDblClick = true, FSearchExpandsNodes = true;
  int FRowSeparatorWidth = 1;
  TColor FGridColor = clBtnShadow, FGridPenColor = clNone;
  TColor FSelectionColor = clHighlight, FSelectionTextColor = clHighlightText;
  TColor FInactiveSelectionColor = clBtnFace, FInactiveSelectionTextColor = clBtnText;
  TColor FSearchMatchColor = clNone, FSearchMatchTextColor = clNone;
  bool FSuppressFocusRect = true;
  TColor FTreeConnectorColor = clGrayText;
  TvmTreeListLineStyle FTreeConnectorStyle = tlnDotted;
  TColor FHeaderPanelColor = clBtnFace, FBandPanelColor = clBtnFace;
  TvmTreeListLookStyle FLookStyle = tllRaised;
  std::unique_ptr<TFont> FHeaderPanelFont, FBandPanelFont, FPreviewTextFont;
  int FPreviewLineCount = 2, FPreviewIndent = 20, FPreviewTextHeight = 11, FPreviewHeight = 0;

  int FMaxRowTextLineCount = -1, FMinRowHeight = 16;
  int FFixedBandSeparatorWidth = 2;
  bool FNewItemRowVisible = false, FNewItemRowActive = false;
  int FNewItemRowHeight = 0, FNewItemSeparatorHeight = 6;
  TColor FFixedBandSeparatorColor = clWindowFrame;
  // The shown columns and their widths, for measuring cell texts (made on first use).
  std::vector<std::pair<int, int>> FMeasureColumns;
  bool FShowFooterPanel = false, FShowNodeFooters = false;
  int FNodeFooterHeight = 20;
  TColor FFooterPanelColor = cl3DLight, FFooterPanelTextColor = clWindowText;
  int FFooterRowHeight = 18, FFooterPanelHeight = 0, FStatusHeight = 0, FGroupPanelHeight = 0;
  bool FStatusCloseHot = false;
  std::unique_ptr<TvmContainerHintWindow> FStatusHint;
  TTimer* FStatusShowTimer = nullptr;
  TTimer* FStatusHideTimer = nullptr;
  int FTextHeight = 11, FRowHeight = 18, FHeaderRowHeight = 18, FHeaderPanelHeight = 18, FBandHeight = 0;
  int FIndicatorWidth = 0, FIndent = 16, FLeftPos = 0;

  // Draw style, level colours, frame and scroll bars.
  void ApplyFrameBorder();
  void EditStylesChanged();
  // Where the level cells of a row stop: from there on the row separator runs under the indent.
  int LevelLimit(TvmTreeListNode* Node, TvmTreeListNode* Next) const;
  void DrawCompactIndent(TCanvas* C, const TvmTreeListLayout& L, const TvmTreeListRowInfo& Row, int Left, int Bottom);
  void DrawCompactButton(TCanvas* C, const TRect& R, int CenterY, bool Collapsed);
  void DrawLevelLines(TCanvas* C, const TvmTreeListLayout& L, const TvmTreeListRowInfo& Row, int Left, int Bottom);
  TvmTreeListDrawStyle FDrawStyle = tlpStandard;
  TColor FGroupPanelColor = clBtnFace, FGroupPanelTextColor = clNone;
  int FCustomizeListRowCount = 11;
  TFormBorderStyle FBorderStyle = bsSingle;
  TScrollStyle FScrollBars = ssBoth;
};
