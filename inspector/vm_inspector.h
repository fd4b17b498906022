// The property inspector: a two-column grid of named values (caption left of a movable divider,
// value right of it) whose lines nest and fold. The node tree keeps order, nesting and expanded
// state; the row components keep captions, values and editing options; the control lays the
// displayed nodes out in one band or in side-by-side bands, paints them with the class-level
// painters of each row's editor class, and edits the focused row in place.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "inspector/vm_edit.h"
#include "inspector/vm_textedit.h"
#include "inspector/vm_utils.h"
#include "platform/collection.h"
#include "platform/component.h"
#include "platform/controls.h"
#include "platform/set.h"

class TCustomvmInspector;
class TCustomvmInspectorControl;
class TvmInspectorRow;
class TvmInspectorRowNode;
class TImageList;
class TTimer;
class TvmContainerHintWindow;
class TStream;
class TMemoryStream;
class TBitmap;
class TDragImage;
class TForm;
class TReader;

// ---------------------------------------------------------------------------------------------
// Enumerations.

enum TvmInspectorNodeAttachMode { inaAdd, inaAddChild, inaInsert };
enum TvmInspectorPaintStyle { ipsStandard, ipsSimple, ipsExtended, ipsNET, ipsCategorized };
enum TvmInspectorOption {
  ioAutoBandCount,
  ioAutoWidth,
  ioBandSizing,
  ioColumnSizing,
  ioDrawEndEllipsis,
  ioDynamicColumnSizing,
  ioEditing,
  ioEnterThrough,
  ioRowAutoHeight,
  ioRowSizing,
  ioStoreToRegistry,
  ioTabThrough,
  ioTabs
};
using TvmInspectorOptions = TSet<TvmInspectorOption>;
enum TvmInspectorHitTest {
  ihNone,
  ihDivider,
  ihIndent,
  ihButton,
  ihImage,
  ihCaption,
  ihValue,
  ihOutside,
  ihBandSeparator,
  ihComplexSeparator,
  ihRowBottomEdge
};

const TvmInspectorOptions DefaultInspectorOptions = {ioAutoWidth, ioBandSizing, ioColumnSizing, ioDynamicColumnSizing,
                                                     ioEditing};

// Drag cursors of row drag and drop.
constexpr TCursor crvmInspInsert = -1128, crvmInspAddChild = -1129, crvmInspAdd = -1130, crvmInspHide = -1141,
                  crvmInspNoDrag = -1142;

// Messages to an attached customizing window: a row drag started (WParam 1 for a category row),
// and refresh your lists (posted, at most one queued).
constexpr uint32_t WM_VMINSP_DRAGSTART = 0x8000 + 201, WM_VMINSP_REFRESH = 0x8000 + 202;
// Remembered customizing-window bounds not set yet.
constexpr int vmInspUnsetBound = -10000;

// Mouse states.
enum TvmInspectorMouseState { imsNone, imsDivider, imsPressed, imsDragging, imsBandSizing, imsRowSizing };

// ---------------------------------------------------------------------------------------------
// Nodes.

class TvmInspectorNode {
public:
  explicit TvmInspectorNode(TCustomvmInspector* AInspector);
  virtual ~TvmInspectorNode();
  TvmInspectorNode(const TvmInspectorNode&) = delete;
  TvmInspectorNode& operator=(const TvmInspectorNode&) = delete;

  TCustomvmInspector* Inspector() const { return FInspector; }
  TvmInspectorNode* Parent() const { return FParent; }
  bool Deleting() const { return FDeleting; }

  int Count() const { return FChildren ? static_cast<int>(FChildren->size()) : 0; }
  TvmInspectorNode* Items(int Index) const;
  int IndexOf(const TvmInspectorNode* Child) const;
  int Index() const { return FIndex; }
  int Level() const;
  bool HasChildren() const { return Count() > 0; }
  bool HasAsParent(const TvmInspectorNode* Node) const;
  bool IsLast() const;
  bool IsVisible() const;
  int AbsoluteIndex() const;

  TvmInspectorNode* GetNext() const;
  TvmInspectorNode* GetPrev() const;
  TvmInspectorNode* GetPrevSiblingOrParent() const;
  TvmInspectorNode* GetNextSibling() const;
  TvmInspectorNode* GetPrevSibling() const;
  TvmInspectorNode* GetLastVisibleDescendant() const;

  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  bool Focused() const;
  void SetFocused(bool Value);
  void MakeVisible();
  void MoveTo(TvmInspectorNode* Destination, TvmInspectorNodeAttachMode Mode);
  void DeleteChildren();

  // Puts a detached node into NewParent's children (null: the top level) at Position.
  void InsertInto(TvmInspectorNode* NewParent, int Position);

protected:
  friend class TCustomvmInspector;
  // The list that holds this node (the parent's children or the inspector's top level).
  std::vector<TvmInspectorNode*>& OwningList() const;
  void RemoveFromList();

  TCustomvmInspector* FInspector;
  TvmInspectorNode* FParent = nullptr;
  std::unique_ptr<std::vector<TvmInspectorNode*>> FChildren;
  bool FExpanded = false;
  bool FDeleting = false;
  int FIndex = 0;
};

class TvmInspectorRowNode : public TvmInspectorNode {
public:
  using TvmInspectorNode::TvmInspectorNode;
  ~TvmInspectorRowNode() override;
  TvmInspectorRow* Row = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Geometry records.

struct TvmInspectorBandInfo {
  int Index = 0;
  TRect Bounds, RowsRect, SeparatorRect, EmptyRect;
  bool LastRowCut = false;
  std::vector<std::pair<TvmInspectorNode*, int>> Rows;  // node and its height, top to bottom
};

struct TvmInspectorViewInfo {
  TRect ClientRect;
  std::vector<TvmInspectorBandInfo> Bands;
  TRect EmptyRect;
};

struct TvmInspectorNodeCells {
  TRect Indent, Button, Image, Caption, Value;
  int ButtonState = 0;  // 0 none, 1 collapsed, 2 expanded
};

struct TvmInspectorHitInfo {
  TvmInspectorNode* Node = nullptr;
  int AbsoluteIndex = -1;
  TvmInspectorHitTest HitTest = ihOutside;
  int BandIndex = -1;
  int ItemIndex = -1;
  TRect ItemRect;
};

// The value cell handed to a row's painter.
class TvmInspectorCellViewData {
public:
  TColor Brush = clWindow;
  TFont* Font = nullptr;
  TColor BkColor = clWindow;
  TColor TextColor = clWindowText;
  TAlignment Alignment = taLeftJustify;
  std::string Text;
  int DataLength = 0;
  bool EndEllipsis = false;
  TvmInspectorNode* Node = nullptr;
  bool Hot = false;
  TRect Bounds;
};

// ---------------------------------------------------------------------------------------------
// Events.

using TvmInspectorRowDrawValue = std::function<void(TvmInspectorRow* Sender, TCanvas* ACanvas, const TRect& ARect,
                                                    std::string& AText, TFont* AFont, TColor& AColor, bool& ADone)>;
using TvmInspectorEditingEvent =
    std::function<void(TObject* Sender, TvmInspectorNode* Node, TvmInspectorRow* Row, bool& Allow)>;
using TvmInspectorEditedEvent = std::function<void(TObject* Sender, TvmInspectorNode* Node, TvmInspectorRow* Row)>;
using TvmInspectorGetEditColor = std::function<void(TObject* Sender, TColor& AColor)>;
using TvmInspectorGetEditFont = std::function<void(TObject* Sender, TFont*& AFont)>;
using TvmInspectorChangeNodeEvent =
    std::function<void(TObject* Sender, TvmInspectorNode* OldNode, TvmInspectorNode* Node)>;

// ---------------------------------------------------------------------------------------------
// The edit style of the inspector's editors.

class TvmInspectorEditStyle : public TvmGridEditStyle {
  VM_CLASS(TvmInspectorEditStyle, TvmGridEditStyle)
public:
  TvmInspectorEditStyle(TvmInplaceEdit* AEdit, TCustomvmInspector* AInspector);
  explicit TvmInspectorEditStyle(TvmInplaceEdit* AEdit) : TvmInspectorEditStyle(AEdit, nullptr) {}

protected:
  TvmEditBorderStyle GetDefaultBorderStyle() const override;
  TvmEditButtonViewStyle GetDefaultButtonStyle() const override;
  TCustomvmInspector* FInspector;
};

// ---------------------------------------------------------------------------------------------
// The inspector control: layout, bands, scrolling, painting, editing, keyboard and mouse.

class TCustomvmInspector : public TCustomvmContainer {
  VM_CLASS(TCustomvmInspector, TCustomvmContainer)
public:
  explicit TCustomvmInspector(TComponent* AOwner);
  ~TCustomvmInspector() override;

  // Properties.
  int BandWidth() const { return FBandWidth; }
  void SetBandWidth(int Value);
  int DividerPos() const { return FDividerPos; }
  void SetDividerPos(int Value);
  // The control is being destroyed.
  bool DestroyingControl() const { return FDestroyingControl; }
  int MinBandWidth() const { return FMinBandWidth; }
  void SetMinBandWidth(int Value);
  int MinColumnWidth() const { return FMinColumnWidth; }
  void SetMinColumnWidth(int Value);
  int RowHeight() const { return FRowHeight; }
  void SetRowHeight(int Value);
  bool RowHeightStored() const { return FRowHeightAssigned; }
  int MaxRowTextLineCount() const { return FMaxRowTextLineCount; }
  void SetMaxRowTextLineCount(int Value);
  TvmInspectorOptions Options() const { return FOptions; }
  void SetOptions(TvmInspectorOptions Value);
  TvmInspectorPaintStyle PaintStyle() const { return FPaintStyle; }
  void SetPaintStyle(TvmInspectorPaintStyle Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  const std::string& ComplexRowSeparator() const { return FComplexRowSeparator; }
  void SetComplexRowSeparator(const std::string& Value);
  TColor GridColor() const { return FGridColor; }
  void SetGridColor(TColor Value);
  TColor ValueColor() const { return FValueColor; }
  void SetValueColor(TColor Value);
  bool ShowRowHint() const { return FShowRowHint; }
  void SetShowRowHint(bool Value);
  const std::string& RegistryPath() const { return FRegistryPath; }
  void SetRegistryPath(const std::string& Value) { FRegistryPath = Value; }

  // Metrics.
  int IndentWidth() const { return FIndentWidth; }
  int GridLineWidth() const { return FGridLineWidth; }
  int RowInset() const { return FRowInset; }
  int TextRowHeight() const { return FTextRowHeight; }
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  int CaptionSeparatorWidth() const { return FCaptionSeparatorWidth; }
  int ValueSeparatorWidth() const { return FValueSeparatorWidth; }

  // Tree access.
  int GetNodeCount() const { return static_cast<int>(FNodes.size()); }
  TvmInspectorNode* Nodes(int Index) const;
  TvmInspectorNode* AddNode();
  virtual void ClearNodes();
  void FullCollapse();
  void FullExpand();
  TvmInspectorNode* GetRootNode(TvmInspectorNode* Node) const;

  // Display positions.
  int GetAbsoluteCount() const;
  int GetAbsoluteIndex(const TvmInspectorNode* Node) const;
  TvmInspectorNode* GetNodeByAbsoluteIndex(int Index) const;
  int GetFocusedAbsoluteIndex() const { return GetAbsoluteIndex(FFocusedNode); }
  int GetTopIndex() const { return GetAbsoluteIndex(FTopNode); }
  void SetTopIndex(int Index);
  TvmInspectorNode* GetLastNode() const;
  TvmInspectorNode* FocusedNode() const { return FFocusedNode; }
  TvmInspectorNode* TopNode() const { return FTopNode; }
  TvmInspectorNode* EditingNode() const { return FEditingNode; }
  virtual void SetFocusedNode(TvmInspectorNode* Node);
  virtual void SetFocusedIndex(int Index);
  int PageCount() const { return FPage; }

  // Geometry.
  void CalcViewInfo(TvmInspectorViewInfo& Info) const;
  TRect GetNodeRect(const TvmInspectorNode* Node) const;
  TRect GetNodeColumnRect(const TvmInspectorNode* Node) const;
  TvmInspectorNodeCells CalcNodeCells(TvmInspectorNode* Node, const TRect& RowRect) const;
  TvmInspectorHitInfo HitTest(const TPoint& P) const;
  TvmInspectorHitTest GetHitTestCode(int X, int Y) const { return HitTest(TPoint(X, Y)).HitTest; }
  TvmInspectorNode* GetNodeAt(int X, int Y) const { return HitTest(TPoint(X, Y)).Node; }
  void MakeNodeVisible(TvmInspectorNode* Node);
  void ValidateTopPosition();

  // Bands.
  int GetBandCount() const { return IsBandLayout() ? FBandCount : 1; }
  int GetFirstBand() const { return IsBandLayout() ? FFirstBand : 0; }
  int GetShownBandCount() const { return IsBandLayout() ? FShownBands : 1; }
  int GetFullBandCount() const { return IsBandLayout() ? FFullBands : 1; }
  void SetFirstBand(int Index);
  int GetBandOfNode(const TvmInspectorNode* Node) const;
  TvmInspectorNode* GetBandTopNode(int Index) const;
  bool IsBandLayout() const { return FOptions.Contains(ioAutoBandCount); }
  int GetContentWidth() const;

  // Invalidation and the update lock.
  void InvalidateNode(TvmInspectorNode* Node, bool WholeColumn);
  virtual void NodeChanged(TvmInspectorNode* Node, bool Relayout);
  virtual void LayoutChanged();
  void BeginUpdate() { ++FUpdateLock; }
  void EndUpdate();
  int UpdateLock() const { return FUpdateLock; }

  // Row heights.
  virtual int GetNodeRowHeight(TvmInspectorNode* Node);
  int GetMinNodeRowHeight(TvmInspectorNode* Node);
  virtual void SetNodeRowHeight(TvmInspectorNode* Node, int Height) {}

  // Editing.
  TvmInplaceEdit* Editor() const { return FEditor; }
  void ShowEditor(bool Force, bool Reload);
  void PrepareEditor();
  void CloseEditor(bool KeepShown);
  void HideEditor();
  void PostEditor();
  void ShowEditorOnClick();
  void HandleTreeKeys(uint16_t Key, TShiftState Shift);
  void CancelSizing();
  void FocusAdjacentRow(bool Forward);
  virtual void UpdateEditor();
  virtual bool CanEditNode();
  virtual void GetEditingText(std::string& S);
  virtual void SetEditingText(const std::string& S);

  // Complex item focus.
  int FocusedComplexItem() const { return FFocusedItem < 0 ? 0 : FFocusedItem; }
  void SetFocusedComplexItem(int Index);

  // Mouse state (for tests and the painters).
  TvmInspectorMouseState MouseState() const { return FMouseState; }
  TvmInspectorNode* HotNode() const { return FHotNode; }
  const TvmInspectorHitInfo& LastHit() const { return FLastHit; }

  // Layout storage.
  void LoadFromRegistryPath(const std::string& Path);
  void SaveToRegistryPath(const std::string& Path);
  // The same layout in an INI file (sections named after Path).
  void LoadFromIniFile(const std::string& FileName, const std::string& Path);
  void SaveToIniFile(const std::string& FileName, const std::string& Path);
  virtual void LoadLayout(TvmRegIniWrapper& Wrapper, const std::string& Path);
  virtual void SaveLayout(TvmRegIniWrapper& Wrapper, const std::string& Path);

  // The customizing window: none unless the program attaches one (the control then owns it and
  // frees it with itself). While one is attached, rows drag, the editor stays closed, and the
  // window hears WM_VMINSP_REFRESH when rows, visibility or content change and
  // WM_VMINSP_DRAGSTART when a row drag starts; a row dropped over it becomes invisible.
  TForm* CustomizeForm() const { return FCustomizeForm; }
  void SetCustomizeForm(TForm* Value);
  bool IsCustomizing() const { return FCustomizeForm != nullptr; }
  // Posts WM_VMINSP_REFRESH to the window unless one is queued already.
  void RequestCustomizeRefresh();
  bool CustomizeRefreshQueued() const { return FRefreshQueued; }
  // The window showed: it gets its remembered bounds back; OnShowCustomizeForm.
  virtual void DoShowCustomizeForm();
  // The window hid: its bounds are remembered; OnHideCustomizeForm.
  virtual void DoHideCustomizeForm();
  // The remembered bounds (each vmInspUnsetBound until the window first hides).
  TRect CustomizeFormBounds() const { return FCustomizeBounds; }
  // The row list the window shows changed.
  virtual void CustomizeListChanged() {}
  TNotifyEvent OnShowCustomizeForm;
  TNotifyEvent OnHideCustomizeForm;
  // The image of a row drag: the dragged caption, bold, on a halftone ground, inverted; its
  // transparent colour is its pixel (1, 0). Null while no row is dragged.
  TBitmap* DragImage() const { return FDragImage.get(); }
  void MakeDragImage(const std::string& Caption, TBitmap* Bitmap);
  // The floating window that carries DragImage under the pointer during a row drag (hidden while
  // the control paints); null while no row is dragged.
  TDragImage* DragWindow() const { return FDragWindow.get(); }
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Container hooks.
  bool CanEditModify() override { return true; }
  bool CanEditAcceptKey(char) override { return true; }
  bool ReservedQuery() override { return false; }
  std::unique_ptr<TvmEditStyle> CreateEditStyle(TvmInplaceEdit* Edit) override;
  TColor GetEditColor() override { return clWindow; }
  void EditKeyDown(uint16_t& Key, TShiftState Shift) override;
  bool UseEditorDblClick() override { return true; }
  bool IsEditWantTabs() override;
  void InvalidateFocusedCell() override;

  TvmInspectorChangeNodeEvent OnChangeNode;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

  // Paints the control now on its canvas (tests and benchmarks paint without the window system).
  void PaintTo(TCanvas* Canvas);

  // Row hints: the hint window (null until first used) and the two timers (delayed caption hint,
  // hiding after 5 seconds).
  TvmContainerHintWindow* HintWindow() const { return FHintWindow.get(); }
  TTimer* HintDelayTimer() const { return FHintDelayTimer; }
  TTimer* HintHideTimer() const { return FHintHideTimer; }
  // Moves the focus while the mouse is held above or below the rows (every 60 ms).
  TTimer* ScrollTimer() const { return FScrollTimer; }
  void ScrollTimerTick();
  void UpdateRowHint(bool ShowDelayed);
  void HideRowHint();

protected:
  friend class TvmInspectorNode;
  // Virtual operations.
  virtual bool CanScroll() { return true; }
  virtual void NodeCreated(TvmInspectorNode* Node);
  virtual int CalcDefaultRowHeight();
  virtual int CalcTextRowHeight();
  virtual void CheckComplexItemIndex(int& Index) {}
  virtual void SetHotNode(TvmInspectorNode* Node);
  virtual void FocusedItemChanged();
  virtual TvmInspectorNode* CreateNode() = 0;
  virtual void NodeDeleted(TvmInspectorNode* Node, TvmInspectorNode* PrevSiblingOrParent, TvmInspectorNode* Next,
                           bool WasLast, bool WasDisplayed);
  virtual void DoChangeNode(TvmInspectorNode* OldNode, TvmInspectorNode* Node);
  virtual void AcceptDraggedRow() {}
  virtual void DrawCaptionText(TCanvas* Canvas, TvmInspectorNode* Node, const std::string& Text, const TRect& R);
  virtual void DrawNode(TCanvas* Canvas, TvmInspectorNode* Node, std::string& CaptionText, const TRect& CaptionRect,
                        int ButtonState, const TRect& ImageRect, const TRect& ButtonRect, const TRect& IndentRect);
  virtual void DrawValueCell(TCanvas* Canvas, const TRect& R, TAlignment& Alignment, std::string& Text,
                             TvmInspectorNode* Node);
  virtual void PaintCellValue(TCanvas* Canvas, const TRect& R, TvmInspectorCellViewData& CellData) {}
  virtual TRect GetEditorRect(const TRect& CellRect) const;
  virtual void ContentChanged() { RequestCustomizeRefresh(); }
  virtual void HitTestComplexItem(TvmInspectorNode* Node, const TRect& CellRect, TRect& ItemRect, int& ItemIndex,
                                  const TPoint& P) const {
    ItemIndex = -1;
    ItemRect = TRect();
  }
  virtual void GetNodeCaption(TvmInspectorNode* Node, std::string& Caption);
  virtual int GetNodeImageIndex(TvmInspectorNode* Node) const { return -1; }
  virtual void GetNodeTexts(TvmInspectorNode* Node, std::string& Caption, std::string& Value) = 0;
  virtual TColor GetValueFontColor() const;
  virtual bool FocusNextComplexItem(bool Forward) { return false; }
  virtual bool IsCategoryNode(const TvmInspectorNode* Node) const { return false; }
  virtual bool IsComplexNode(const TvmInspectorNode* Node) const { return false; }
  virtual bool CanMoveComplexItem(bool Forward) { return false; }
  virtual bool IsHotNode(TvmInspectorNode* Node) const { return Node == FHotNode && FMouseState == imsNone; }
  virtual bool ShowsNodeImage(TvmInspectorNode* Node) const;
  virtual bool IsCellTextClipped(TvmInspectorNode* Node, int ItemIndex, bool& IsRowHint, int& HintX, std::string& Text,
                                 const TRect& CellRect, bool ForValue, const TRect& ItemRect) {
    return false;
  }
  virtual void CalcLayout();
  virtual void UpdateScrollBars();
  virtual void DoEditChange(TObject* Sender) {}
  virtual void DoEditValidate(TObject* Sender, std::string& ErrorText, bool& Accept) {}
  virtual TvmInplaceEdit* CreateEditor(TvmInspectorNode* Node);
  virtual TvmInplaceEdit* FindEditor(TvmInspectorNode* Node) { return FEditor; }
  virtual TRect GetEditorCellRect(TvmInspectorNode* Node);
  virtual bool CanDynamicColumnSizing() const {
    return FOptions.Contains(ioDynamicColumnSizing) && FMouseState != imsRowSizing;
  }
  virtual void ApplyEditorValue(TvmInspectorNode* Node, TvmInplaceEdit* Edit, Variant& Value) { Value = std::string(); }
  virtual void InitEditor(TvmInplaceEdit* Edit);
  virtual void LoadEditorValue(TvmInspectorNode* Node, TvmInplaceEdit* Edit, Variant& Value) { Value = std::string(); }
  virtual void DoDragOverRow(int X, int Y, bool& Accept);
  virtual void DoDropRow(int X, int Y);
  virtual bool DraggingEnabled() const { return FRowDragging || IsCustomizing(); }

  void RecalcMetrics();
  void RecalcBands();
  int CalcAutoDividerPos();
  void FillBand(TvmInspectorBandInfo& Band, TvmInspectorNode*& Node, const TRect& R, bool Store) const;
  void PaintBand(TCanvas* C, const TvmInspectorBandInfo& Band);
  void PaintRow(TCanvas* C, const TRect& R, TvmInspectorNode* Node, bool& DividerMark);
  void DrawGridLine(TCanvas* C, const TRect& Line, TvmInspectorNode* Node);
  void DrawButton(TCanvas* C, const TRect& R, int State, bool Category);
  void DrawTextCell(TCanvas* C, const TRect& R, TAlignment Alignment, const std::string& Text);
  void ReleasePressed(bool Toggle);
  void StartRowDrag();
  // Makes the drag image of Caption and shows it at ScreenPos (HotSpot: the pointer's place on it).
  void BeginDragImage(const std::string& Caption, TPoint HotSpot, const TPoint& ScreenPos);
  virtual void EndRowDrag(bool Drop, int X, int Y);
  TCursor DragCursorAt(int X, int Y);

  void Paint() override;
  void Resize() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void DoEnter() override;
  void DoExit() override;
  void FontChanged() override;
  bool WantsKey(uint16_t Key) const override { return true; }
  void Scrolled(int Kind, int Position) override;

  std::vector<TvmInspectorNode*> FNodes;
  TvmInspectorNode* FFocusedNode = nullptr;
  TvmInspectorNode* FTopNode = nullptr;
  TvmInspectorNode* FEditingNode = nullptr;
  TvmInspectorNode* FHotNode = nullptr;
  TvmInspectorNode* FSizingNode = nullptr;
  TvmInspectorNode* FPressedNode = nullptr;
  TvmInspectorNode* FDragNode = nullptr;
  TvmInspectorNode* FPendingVisible = nullptr;  // made visible when the update ends
  TvmInplaceEdit* FEditor = nullptr;
  int FUpdateLock = 0;
  bool FLayoutRunning = false;
  bool FDestroyingControl = false;
  bool FResizing = false;
  bool FApplyingLayout = false;
  bool FFocusFromEditor = false;
  bool FActivatingEditor = false;
  bool FSettingBars = false;

  int FBandWidth = 200;
  int FDividerPos = 75;
  int FMinBandWidth = 43;
  int FMinColumnWidth = 30;
  int FRowHeight = 18;
  bool FRowHeightAssigned = false;
  int FMaxRowTextLineCount = 3;
  TvmInspectorOptions FOptions = DefaultInspectorOptions;
  TvmInspectorPaintStyle FPaintStyle = ipsStandard;
  bool FFlat = false;
  TImageList* FImages = nullptr;
  std::string FComplexRowSeparator;
  TColor FGridColor = clBtnShadow;
  TColor FButtonFaceColor = clBtnFace;
  TColor FButtonShadowColor = clBtnShadow;
  TColor FValueColor = TColor(0x800000);
  bool FShowRowHint = false;
  std::string FRegistryPath;

  int FIndentWidth = 6;
  int FCategoryButtonWidth = 10;
  int FGridLineWidth = 1;
  int FRowInset = 0;
  int FTextRowHeight = 18;
  int FDefaultRowHeight = 18;
  int FCaptionSeparatorWidth = 0;
  int FValueSeparatorWidth = 0;
  int FImageWidth = 0, FImageHeight = 0;

  int FBandCount = 1, FFirstBand = 0, FShownBands = 1, FFullBands = 1;
  int FShownRows = 1, FPage = 1;
  int FSavedDivider = 75, FSavedContentWidth = 0;

  int FFocusedItem = -1;
  int FPreparedItem = -1;
  int FClickItem = -1;
  TvmInplaceEdit* FClickEditor = nullptr;
  TvmInspectorNode* FClickNode = nullptr;

  TvmInspectorMouseState FMouseState = imsNone;
  int FSavedSizingValue = 0;
  int FSizingBand = 0;
  int FTrackPos = 0;
  TPoint FPressPoint;
  TvmInspectorHitInfo FLastHit;
  bool FRowDragging = false;  // row drag and drop enabled
  std::unique_ptr<TvmContainerHintWindow> FHintWindow;
  TTimer* FHintDelayTimer = nullptr;
  TTimer* FHintHideTimer = nullptr;
  TTimer* FScrollTimer = nullptr;
  TPoint FMousePoint;
  int FHintIndex = -1;
  TvmInspectorNode* FHintNode = nullptr;
  TvmInspectorHitTest FHintCode = ihOutside;
  TPoint FHintPoint;
  TCursor FSavedDragCursor = crDefault;
  TForm* FCustomizeForm = nullptr;
  bool FRefreshQueued = false;
  TRect FCustomizeBounds{vmInspUnsetBound, vmInspUnsetBound, vmInspUnsetBound, vmInspUnsetBound};
  std::unique_ptr<TBitmap> FDragImage;
  std::unique_ptr<TDragImage> FDragWindow;
  // The screen point of a client point lies over the shown customizing window.
  bool IsOverCustomizeForm(int X, int Y) const;
};

// ---------------------------------------------------------------------------------------------
// Rows.

class TvmInspectorRow : public TComponent {
  VM_CLASS(TvmInspectorRow, TComponent)
public:
  explicit TvmInspectorRow(TComponent* AOwner);
  ~TvmInspectorRow() override;

  TCustomvmInspectorControl* Inspector() const { return FInspector; }
  void SetInspector(TCustomvmInspectorControl* Value);
  TvmInspectorRowNode* Node() const { return FNode; }
  TvmEditViewData* ViewData() const { return FViewData.get(); }

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  std::string GetCaption();
  std::string Caption() { return GetCaption(); }
  void SetCaption(const std::string& Value);
  bool CaptionStored();
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  std::string Hint;
  bool ShowHint = false;
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool IsCategory() const { return FIsCategory; }
  void SetIsCategory(bool Value);
  int GetMaxLength();
  void SetMaxLength(int Value);
  bool GetReadOnly();
  void SetReadOnly(bool Value);
  int GetRowHeight();
  void SetRowHeight(int Value);
  bool RowHeightStored() const { return FRowHeightSet; }
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  TNotifyEvent OnChange;
  TvmInspectorRowDrawValue OnDrawCaption;
  TvmInspectorRowDrawValue OnDrawValue;
  TvmEditValidateEvent OnValidate;

  // Virtual operations.
  virtual void EditChange(TObject* Sender);
  virtual void DoDrawCaption(TCanvas* Canvas, const TRect& R, std::string& Text, TFont* Font, TColor& Color,
                             bool& Done);
  virtual void DoDrawValue(TCanvas* Canvas, const TRect& R, std::string& Text, TFont* Font, TColor& Color, bool& Done);
  virtual void DoEdited();
  virtual void DoValidate(TObject* Sender, std::string& ErrorText, bool& Accept);
  virtual void GetDisplayText(std::string& S) { GetEditText(S); }
  virtual int GetDataMaxLength() { return 0; }
  virtual void GetDataEditMask(std::string& S) { S.clear(); }
  // The base row holds no value: it answers an empty text and ignores a new one.
  virtual void GetEditText(std::string& S) { S.clear(); }
  virtual int GetMinRowHeight(TCanvas* Canvas);
  virtual void SetEditText(const std::string& S) {}
  virtual void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value);
  virtual TvmInplaceEditClass GetEditClass() { return TvmInplaceTextEdit::StaticClass(); }
  virtual void InitEditor(TvmInplaceEdit* Edit);
  virtual void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value);
  virtual bool IsValueUnchanged(const Variant& Value);
  virtual bool IsTextClipped(bool ForValue, const TRect& R, std::string& Text);
  virtual void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo);
  virtual void GetDefaultCaption(std::string& S) { S.clear(); }
  virtual int GetDefaultMaxLength() { return 0; }
  virtual bool GetDefaultReadOnly() { return false; }
  virtual int GetDefaultRowHeight();
  virtual bool CanModify() { return true; }
  virtual bool IsValidChar(char) { return true; }
  virtual void RestoreDefaults();

  void Assign(TPersistent* Source) override;
  // Streaming: a row is written as a child of its inspector and attaches to it once read.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;
  void SetName(const std::string& NewName) override;
  // The marked values as set (streaming writes them while marked).
  bool StoredReadOnly() const { return FReadOnly; }
  bool ReadOnlyStored() { return FReadOnlySet && FReadOnly != GetDefaultReadOnly(); }
  bool MaxLengthStored() const { return FMaxLengthSet; }
  void Changed();
  void HideNode();
  void ShowNode();
  // Convenience for callers: the row's value text.
  std::string EditText() {
    std::string s;
    GetEditText(s);
    return s;
  }
  std::string DisplayText() {
    std::string s;
    GetDisplayText(s);
    return s;
  }

protected:
  friend class TCustomvmInspectorControl;
  friend class TvmInspectorRowNode;
  // Makes the view data for the row's editor class (after construction of the subclass).
  void EnsureViewData();

  TCustomvmInspectorControl* FInspector = nullptr;
  TvmInspectorRowNode* FNode = nullptr;
  std::unique_ptr<TvmEditViewData> FViewData;
  TvmInplaceEditClass FViewDataClass = nullptr;
  TAlignment FAlignment = taLeftJustify;
  std::string FCaption;
  TEditCharCase FCharCase = ecNormal;
  int FImageIndex = -1;
  bool FIsCategory = false;
  int FMaxLength = 0;
  bool FReadOnly = false;
  int FRowHeightValue = 0;
  bool FCaptionSet = false, FReadOnlySet = false, FMaxLengthSet = false, FRowHeightSet = false;
  char FPasswordChar = 0;
  bool FVisible = true;
};
using TvmInspectorRowClass = const TComponentMetaClass*;

class TvmInspectorTextRow : public TvmInspectorRow {
  VM_CLASS(TvmInspectorTextRow, TvmInspectorRow)
public:
  using TvmInspectorRow::TvmInspectorRow;
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  void GetDisplayText(std::string& S) override { S = FText; }
  void GetEditText(std::string& S) override { S = FText; }
  void SetEditText(const std::string& S) override;
  void Assign(TPersistent* Source) override;

protected:
  std::string FText;
};

// ---------------------------------------------------------------------------------------------
// Complex rows: several rows side by side in one line.

class TvmInspectorComplexRow;

// An item of a complex row: one of the inspector's other rows, shown in the complex row's line.
// The fields are read freely; they change through the setters, which keep the rules below.
class TvmInspectorComplexRowItem : public TCollectionItem {
  VM_CLASS(TvmInspectorComplexRowItem, TCollectionItem)
public:
  explicit TvmInspectorComplexRowItem(TCollection* Collection) : TCollectionItem(Collection) {}
  // A fixed item keeps its Width; the others share what is left in proportion to their Widths.
  void SetFixed(bool Value);
  // Negative values become 0; Width is raised to it.
  void SetMinWidth(int Value);
  void SetWidth(int Value);
  // Another row of the same inspector (not a complex row): it is hidden from the tree and taken
  // out of every other complex row; a row that may not be used changes nothing.
  void SetRow(TvmInspectorRow* Value);
  // The complex row holding the item (null outside one).
  TvmInspectorComplexRow* ComplexRow() const;
  void Assign(TPersistent* Source) override;
  // The row's Name (the collection's default name without one).
  std::string GetDisplayName() override;

  bool Fixed = false;
  int MinWidth = 20;
  int Width = 50;
  TvmInspectorRow* Row = nullptr;
};

// The items of a complex row (streamed as its "Items").
class TvmInspectorComplexRowItems : public TCollection {
  VM_CLASS(TvmInspectorComplexRowItems, TCollection)
public:
  explicit TvmInspectorComplexRowItems(TvmInspectorComplexRow* ARow);
  TvmInspectorComplexRowItem* Items(int Index) const {
    return static_cast<TvmInspectorComplexRowItem*>(TCollection::Items(Index));
  }
  TvmInspectorComplexRowItem* Add() { return static_cast<TvmInspectorComplexRowItem*>(TCollection::Add()); }
  int IndexOfRow(const TvmInspectorRow* Row) const;
  TvmInspectorComplexRow* ComplexRow() const { return FRow; }
  TPersistent* GetOwner() override;

protected:
  void Update(TCollectionItem* Item) override;

private:
  TvmInspectorComplexRow* FRow;
};

struct TvmInspectorComplexRowViewInfoItem {
  TvmInspectorRow* Row = nullptr;
  bool Fixed = false;
  int MinWidth = 0;
  bool IsSeparator = false;
  int Width = 0;
  TRect Bounds;
};

class TvmInspectorComplexRowViewInfo {
public:
  TvmInspectorComplexRowViewInfo(TvmInspectorComplexRow* ARow, int ASeparatorWidth)
      : FRow(ARow), FSeparatorWidth(ASeparatorWidth) {}
  void Calculate(const TRect& R);
  int Count() const { return static_cast<int>(FItems.size()); }
  const TvmInspectorComplexRowViewInfoItem& Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
  bool IsEmpty() const { return FItems.empty(); }

private:
  TvmInspectorComplexRow* FRow;
  int FSeparatorWidth;
  std::vector<TvmInspectorComplexRowViewInfoItem> FItems;
};

class TvmInspectorComplexRow : public TvmInspectorTextRow {
  VM_CLASS(TvmInspectorComplexRow, TvmInspectorTextRow)
public:
  explicit TvmInspectorComplexRow(TComponent* AOwner);
  ~TvmInspectorComplexRow() override;
  int ItemCount() const { return FItems->Count(); }
  TvmInspectorComplexRowItem& Items(int Index) { return *FItems->Items(Index); }
  TvmInspectorComplexRowItems* GetItems() const { return FItems.get(); }
  // Copies Value's items.
  void SetItems(TvmInspectorComplexRowItems* Value) { FItems->Assign(Value); }
  // Adds an item (width 50, minimum 20) and answers its index.
  int AddItem();
  void SetItemRow(int Index, TvmInspectorRow* Value);
  void SetItemWidth(int Index, int Value);
  void SetItemMinWidth(int Index, int Value);
  void SetItemFixed(int Index, bool Value);
  void ClearItems();
  int IndexOfRow(const TvmInspectorRow* Row) const;
  void RemoveRowFromItems(const TvmInspectorRow* Row);
  void Assign(TPersistent* Source) override;

private:
  friend class TvmInspectorComplexRowItems;
  void ItemsChanged();
  std::unique_ptr<TvmInspectorComplexRowItems> FItems;
};

// ---------------------------------------------------------------------------------------------
// The row control.

class TCustomvmInspectorControl : public TCustomvmInspector {
  VM_CLASS(TCustomvmInspectorControl, TCustomvmInspector)
public:
  explicit TCustomvmInspectorControl(TComponent* AOwner);
  ~TCustomvmInspectorControl() override;

  TvmInspectorRow* CreateRow(TvmInspectorRowClass RowClass);
  template <class R>
  R* CreateRow() {
    return static_cast<R*>(CreateRow(R::StaticClass()));
  }
  virtual void ClearRows();
  virtual void AssignRows(TCustomvmInspectorControl* Source);
  TvmInspectorRow* GetRow(int Index) const;
  TvmInspectorRow* Rows(int Index) const { return GetRow(Index); }
  int GetRowCount() const { return static_cast<int>(FRows.size()); }
  int GetVisibleRowCount() const;
  TvmInspectorRow* FindRow(const std::string& Name) const;
  TvmInspectorRow* GetRowOfNode(TvmInspectorNode* Node) const;
  void AddRow(TvmInspectorRow* Row);
  void RemoveRow(TvmInspectorRow* Row);

  virtual void LoadFromRegistry();
  virtual void SaveToRegistry();
  virtual TvmInspectorRowClass GetDefaultRowClass() const { return TvmInspectorRow::StaticClass(); }
  virtual bool StoresRowOrder() const { return true; }
  virtual void RowChanged(TvmInspectorRow* Row);
  virtual bool IsRowValueUnchanged(const Variant& Value, TvmInspectorRow* Row) { return false; }

  // The row order ("Data"): written to and applied from a byte string.
  std::string WriteRowOrder();
  // Applies a stored order; answers False when it was damaged (what could be applied stays).
  bool ApplyRowOrder(const std::string& Data);
  // After the rows were read: the pending order, the stored layout, the first node focused.
  void Loaded() override;
  void SetPendingRowOrder(const std::string& Data) { FPendingOrder = Data; }

  void LoadLayout(TvmRegIniWrapper& Wrapper, const std::string& Path) override;
  void SaveLayout(TvmRegIniWrapper& Wrapper, const std::string& Path) override;

  // Streaming: the rows of the form being written are the control's children, in row-list
  // order; the row order travels as the binary value "Data".
  void DefineProperties(TFiler* Filer) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent*, int) override {}
  const std::string& PendingRowOrder() const { return FPendingOrder; }

  // Row drag and drop (the toolkit's automatic drag mode).
  bool RowDragging() const { return FRowDragging; }
  void SetRowDragging(bool Value) { FRowDragging = Value; }
  // A row dragged in from the customizing window: the window hands over the (hidden) row and the
  // drag goes on in this control, which holds the mouse until the button is released. Dropped
  // on the rows, the row becomes visible where it lands; dropped elsewhere it stays hidden.
  void DragRowFromCustomizeForm(TvmInspectorRow* Row);
  TvmInspectorRow* CustomizeDragRow() const { return FCustomizeDragRow; }
  void CustomizeListChanged() override { RequestCustomizeRefresh(); }

  // Container and inspector hooks.
  bool CanEditModify() override;
  TColor GetEditColor() override;
  TFont* GetEditFont() override;
  bool CanEditNode() override;
  void UpdateEditor() override;
  int GetNodeRowHeight(TvmInspectorNode* Node) override;
  void SetNodeRowHeight(TvmInspectorNode* Node, int Height) override;
  bool IsInitializingEditor() const { return FInitializingEditor; }
  const Variant& LastValue() const { return FLastValue; }

  TvmInspectorEditingEvent OnEditing;
  TvmInspectorEditedEvent OnEdited;
  TNotifyEvent OnEditChange;
  TvmEditValidateEvent OnEditValidate;
  TvmInspectorGetEditColor OnGetEditColor;
  TvmInspectorGetEditFont OnGetEditFont;
  TvmInspectorRowDrawValue OnDrawCaption;
  TvmInspectorRowDrawValue OnDrawValue;

  void DoEditChange(TObject* Sender) override;
  void DoEditValidate(TObject* Sender, std::string& ErrorText, bool& Accept) override;

protected:
  friend class TvmInspectorRow;
  friend class TvmInspectorRowNode;
  friend class TvmInspectorComplexRow;
  friend class TvmInspectorComplexRowItem;
  TvmInspectorNode* CreateNode() override;
  void NodeCreated(TvmInspectorNode* Node) override;
  int CalcDefaultRowHeight() override;
  void CheckComplexItemIndex(int& Index) override;
  bool FocusNextComplexItem(bool Forward) override;
  bool CanMoveComplexItem(bool Forward) override;
  bool IsCategoryNode(const TvmInspectorNode* Node) const override;
  bool IsComplexNode(const TvmInspectorNode* Node) const override;
  void HitTestComplexItem(TvmInspectorNode* Node, const TRect& CellRect, TRect& ItemRect, int& ItemIndex,
                          const TPoint& P) const override;
  void GetNodeCaption(TvmInspectorNode* Node, std::string& Caption) override;
  int GetNodeImageIndex(TvmInspectorNode* Node) const override;
  void GetNodeTexts(TvmInspectorNode* Node, std::string& Caption, std::string& Value) override;
  void DrawCaptionText(TCanvas* Canvas, TvmInspectorNode* Node, const std::string& Text, const TRect& R) override;
  void DrawNode(TCanvas* Canvas, TvmInspectorNode* Node, std::string& CaptionText, const TRect& CaptionRect,
                int ButtonState, const TRect& ImageRect, const TRect& ButtonRect, const TRect& IndentRect) override;
  void DrawValueCell(TCanvas* Canvas, const TRect& R, TAlignment& Alignment, std::string& Text,
                     TvmInspectorNode* Node) override;
  void PaintCellValue(TCanvas* Canvas, const TRect& R, TvmInspectorCellViewData& CellData) override;
  bool IsCellTextClipped(TvmInspectorNode* Node, int ItemIndex, bool& IsRowHint, int& HintX, std::string& Text,
                         const TRect& CellRect, bool ForValue, const TRect& ItemRect) override;
  void ContentChanged() override;
  TvmInplaceEdit* CreateEditor(TvmInspectorNode* Node) override;
  TvmInplaceEdit* FindEditor(TvmInspectorNode* Node) override;
  TRect GetEditorCellRect(TvmInspectorNode* Node) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
  void LoadEditorValue(TvmInspectorNode* Node, TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditorValue(TvmInspectorNode* Node, TvmInplaceEdit* Edit, Variant& Value) override;
  void AcceptDraggedRow() override;
  void DoDropRow(int X, int Y) override;
  void EndRowDrag(bool Drop, int X, int Y) override;
  void NameNewRow(TvmInspectorRow* Row);
  // The automatic height of a row's value.
  int CalcRowTextHeight(TvmInspectorRow* Row, const TRect& Cell, const std::string& Text);
  void PaintRowValue(TCanvas* Canvas, TvmInspectorRow* Row, const TRect& R, TvmInspectorCellViewData& CellData);
  void PaintComplexSeparator(TCanvas* Canvas, const TRect& R, bool Value);

  std::vector<TvmInspectorRow*> FRows;
  // The complex rows among FRows: the ones that refer to other rows.
  std::vector<TvmInspectorComplexRow*> FComplexRows;
  // Takes the row out of the lists and out of every complex row's items.
  void ForgetRow(TvmInspectorRow* Row);
  std::map<TvmInplaceEditClass, TvmInplaceEdit*> FEditorCache;
  std::string FPendingOrder;
  bool FCreatingNode = false;
  bool FModifyRequested = false;
  TvmInspectorRow* FCustomizeDragRow = nullptr;
  Variant FLastValue;
  std::unique_ptr<TFont> FEditFont = std::make_unique<TFont>();
};

class TvmInspector : public TCustomvmInspectorControl {
  VM_CLASS(TvmInspector, TCustomvmInspectorControl)
public:
  using TCustomvmInspectorControl::TCustomvmInspectorControl;
  TvmInspectorRowClass GetDefaultRowClass() const override { return TvmInspectorTextRow::StaticClass(); }
};

// Registers the row classes and the inspector with the class registry (start-up), so that a
// stored form naming them can be read; the registration is idempotent.
void RegisterInspectorRowClasses();
void UnregisterInspectorRowClasses();
