// The in-place editor framework: the container control base that paints its cells and edits one
// of them at a time, the editor base with its value, painting, validation and key protocol, and
// the edit styles with their controllers. A container paints every cell with the class-level
// painters of the editor class that would edit it, so a cell looks the same edited or not.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/controls.h"
#include "platform/dataset.h"
#include "platform/exceptions.h"
#include "platform/flatscroll.h"
#include "platform/set.h"

class TCustomvmContainer;
class TvmInplaceEdit;
class TvmEditStyle;
class TvmEditStyleController;
class TFiler;

// ---------------------------------------------------------------------------------------------
// Enumerations shared by the editors and their containers.

enum TvmEditBorderStyle { xbsNone, xbsSingle, xbsThick, xbsFlat, xbs3D };
enum TvmEditButtonViewStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat };
enum TvmEditButtonTransparence { ebtNone, ebtInactive, ebtAlways, ebtHideInactive };
enum TvmEditEdge { edgLeft, edgTop, edgRight, edgBottom };
using TvmEditEdges = TSet<TvmEditEdge>;
enum TvmPopupBorder { pbDefault, pbSingle, pbFrame3D, pbFlat };
enum TvmEditStyleValue {
  svBorderColor,
  svBorderStyle,
  svButtonStyle,
  svButtonTransparence,
  svEdges,
  svHotTrack,
  svShadow
};
using TvmEditStyleValues = TSet<TvmEditStyleValue>;
enum TScrollBarStyle { ssRegular, ssFlat, ssHotTrack };

const TvmEditEdges AllEdges = {edgLeft, edgTop, edgRight, edgBottom};

// The text of a refused value.
extern const char* const SvmInvalidInputValue;  // "Invalid input value. Use escape key to abandon changes"

class EvmEditInvalidInput : public Exception {
public:
  using Exception::Exception;
};

// Members of StoredValues: properties set explicitly (a default is no longer taken).
constexpr int svmAlignment = 0, svmMaxLength = 1, svmEditMask = 2, svmReadOnly = 6;

// ---------------------------------------------------------------------------------------------
// Styles and style controllers.

using TvmStyleChangedEvent = std::function<void(TObject* Sender, TObject* Link)>;

class TvmStyleController : public TComponent {
  VM_CLASS(TvmStyleController, TComponent)
public:
  explicit TvmStyleController(TComponent* AOwner);
  ~TvmStyleController() override;

  virtual void AddLink(TvmInplaceEdit* Link);
  virtual void RemoveLink(TvmInplaceEdit* Link);
  virtual void DoStyleChanged(TvmInplaceEdit* Link);
  void BeginUpdate() { ++FUpdateLock; }
  void EndUpdate();
  // Tells every link, unless updating or loading.
  void Changed();
  void Loaded() override;
  int LinkCount() const { return static_cast<int>(FLinks.size()); }
  bool Destroying() const { return FDestroying; }

  TvmStyleChangedEvent OnStyleChanged;

protected:
  std::vector<TvmInplaceEdit*> FLinks;
  int FUpdateLock = 0;
  bool FDestroying = false;
};

class TvmEditStyleController : public TvmStyleController {
  VM_CLASS(TvmEditStyleController, TvmStyleController)
public:
  explicit TvmEditStyleController(TComponent* AOwner);

  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  TvmEditBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TvmEditBorderStyle Value);
  TvmEditButtonViewStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TvmEditButtonViewStyle Value);
  TvmEditButtonTransparence ButtonTransparence() const { return FButtonTransparence; }
  void SetButtonTransparence(TvmEditButtonTransparence Value);
  TvmEditEdges Edges() const { return FEdges; }
  void SetEdges(TvmEditEdges Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  bool Shadow() const { return FShadow; }
  void SetShadow(bool Value);

  void Assign(TPersistent* Source) override;
  virtual void RestoreDefaults();
  void DoStyleChanged(TvmInplaceEdit* Link) override;

protected:
  TColor FBorderColor = clWindowFrame;
  TvmEditBorderStyle FBorderStyle = xbs3D;
  TvmEditButtonViewStyle FButtonStyle = btsDefault;
  TvmEditButtonTransparence FButtonTransparence = ebtNone;
  TvmEditEdges FEdges = AllEdges;
  bool FHotTrack = false;
  bool FShadow = false;
};

// The controller every editor follows unless it has one of its own.
TvmEditStyleController* DefaultEditStyleController();

// The metaclass of the style family: the controller its editors follow by default.
class TvmEditStyleMeta : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  virtual TvmEditStyle* Create(TvmInplaceEdit* Edit) const = 0;
  virtual TvmEditStyleController* GetStyleController() const = 0;
};
template <class T>
class TvmEditStyleMetaImpl : public TvmEditStyleMeta {
public:
  using TvmEditStyleMeta::TvmEditStyleMeta;
  TvmEditStyle* Create(TvmInplaceEdit* Edit) const override { return new T(Edit); }
  TvmEditStyleController* GetStyleController() const override { return T::GetStyleController(); }
};
using TvmEditStyleClass = const TvmEditStyleMeta*;

class TvmEditStyle : public TPersistent {
  VM_CLASS_FAMILY(TvmEditStyle, TPersistent, TvmEditStyleMeta, TvmEditStyleMetaImpl)
public:
  explicit TvmEditStyle(TvmInplaceEdit* AEdit);
  ~TvmEditStyle() override;

  TvmInplaceEdit* Edit() const { return FEdit; }
  TvmEditStyleValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TvmEditStyleValues Value);

  TColor BorderColor() const;
  void SetBorderColor(TColor Value);
  TvmEditBorderStyle BorderStyle() const;
  void SetBorderStyle(TvmEditBorderStyle Value);
  TvmEditButtonViewStyle ButtonStyle() const;
  void SetButtonStyle(TvmEditButtonViewStyle Value);
  TvmEditButtonTransparence ButtonTransparence() const;
  void SetButtonTransparence(TvmEditButtonTransparence Value);
  TvmEditEdges Edges() const;
  void SetEdges(TvmEditEdges Value);
  bool HotTrack() const;
  void SetHotTrack(bool Value);
  bool Shadow() const;
  void SetShadow(bool Value);

  void Assign(TPersistent* Source) override;
  virtual void StyleChanged();
  virtual void RestoreDefaults();
  // Class-level: the controller every editor of this style class follows by default.
  static TvmEditStyleController* GetStyleController() { return DefaultEditStyleController(); }

protected:
  virtual TColor GetDefaultBorderColor() const;
  virtual TvmEditBorderStyle GetDefaultBorderStyle() const;
  virtual TvmEditButtonViewStyle GetDefaultButtonStyle() const;
  virtual TvmEditButtonTransparence GetDefaultButtonTransparence() const;
  virtual TvmEditEdges GetDefaultEdges() const;
  virtual bool GetDefaultHotTrack() const;
  virtual bool GetDefaultShadow() const;
  // The controller that answers the defaults: the editor's own, else the class's.
  TvmEditStyleController* DefaultsController() const;

  TvmInplaceEdit* FEdit;
  TvmEditStyleValues FAssignedValues;
  TColor FBorderColor = clWindowFrame;
  TvmEditBorderStyle FBorderStyle = xbs3D;
  TvmEditButtonViewStyle FButtonStyle = btsDefault;
  TvmEditButtonTransparence FButtonTransparence = ebtNone;
  TvmEditEdges FEdges = AllEdges;
  bool FHotTrack = false;
  bool FShadow = false;
  TvmEditStyleController* FRegistered = nullptr;
};

// The defaults an editor takes inside a grid of cells (the inspector, the tree list): a border in
// the window-frame colour on all edges, opaque buttons, no hot tracking and no shadow. The grid
// gives the border and button styles from its own look.
class TvmGridEditStyle : public TvmEditStyle {
  VM_CLASS(TvmGridEditStyle, TvmEditStyle)
public:
  using TvmEditStyle::TvmEditStyle;

protected:
  TColor GetDefaultBorderColor() const override { return clWindowFrame; }
  TvmEditButtonTransparence GetDefaultButtonTransparence() const override { return ebtNone; }
  TvmEditEdges GetDefaultEdges() const override { return AllEdges; }
  bool GetDefaultHotTrack() const override { return false; }
  bool GetDefaultShadow() const override { return false; }
};

// ---------------------------------------------------------------------------------------------
// Paint parameters and geometry.

struct TContentOffsets {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend bool operator==(const TContentOffsets& A, const TContentOffsets& B) {
    return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
  }
};

// Filled from an editor (or by a container for a cell) and drawn by the class-level painters.
class TvmEditViewData : public TObject {
public:
  ~TvmEditViewData() override;
  bool IsEnabled = true;
  bool IsFocused = false;
  bool IsHot = false;
  TColor BorderColor = clWindowFrame;
  TvmEditBorderStyle BorderStyle = xbs3D;
  TvmEditButtonViewStyle ButtonStyle = bts3D;
  bool ButtonsTransparent = false;
  bool ShowFocusRect = false;
  TvmEditEdges Edges = AllEdges;
  bool Shadow = false;
  bool OpaqueText = false;
  bool IsTransparent = false;
  TContentOffsets ContentOffsets;
  TRect Bounds;
  TAlignment Alignment = taLeftJustify;
  int TextLayout = 0;
  TColor Brush = clWindow;
  TColor BkColor = clWindow;
  std::unique_ptr<TFont> Font = std::make_unique<TFont>();
  TColor TextColor = clWindowText;
  bool IsTextEditor = false;
  Variant Value;
  int TextLength = 0;
  TBitmap* ScratchBitmap = nullptr;
  bool MeasureOnly = false;
  int LineCount = 0;
  int MeasuredHeight = 0;
  int LineHeight = 0;
  TCursor Cursor = crDefault;
};

struct TvmEditViewInfo {
  int BorderWidth = 0;
  int ShadowSize = 0;
  TRect Bounds;
  TRect ContentRect;
  bool LeftEdge = true, TopEdge = true, RightEdge = true, BottomEdge = true;
  TRect BorderRect;
  TRect ShadowRect;
};

// The hot-tracking raise of a border style and the button look it implies.
TvmEditBorderStyle HotBorderStyle(TvmEditBorderStyle Style);
TvmEditButtonViewStyle ResolveButtonStyle(TvmEditButtonViewStyle Style, TvmEditBorderStyle Border);
// Grows R by BorderWidth on each side that has an edge.
void ApplyBorderWidth(TRect& R, const TvmEditViewInfo& Info);

// ---------------------------------------------------------------------------------------------
// The editor family's metaclass: the class-level painters a container calls without an editor.

class TvmInplaceEditMeta : public TComponentMetaClass {
public:
  using TComponentMetaClass::TComponentMetaClass;
  virtual TvmEditViewData* NewViewData() const = 0;
  virtual void CalcViewInfo(TvmEditViewData* ViewData, bool AutoSize, TvmEditViewInfo& ViewInfo) const = 0;
  virtual void DrawView(TCanvas* DC, const TRect& R, TvmEditViewData* ViewData) const = 0;
  virtual void DrawBorder(TCanvas* DC, TvmEditViewInfo& ViewInfo, TvmEditViewData* ViewData) const = 0;
  virtual bool DrawContent(TCanvas* DC, const TRect& R, TvmEditViewData* ViewData, bool IsLiveWindow) const = 0;
  virtual TCursor GetViewCursor(int X, int Y, TvmEditViewData* ViewData) const = 0;
  virtual int CalcContentHeight(TvmEditViewData* ViewData) const = 0;
  virtual void CalcContentSize(TvmEditViewData* ViewData, TRect& R) const = 0;
  virtual bool IsInplace() const = 0;
};
using TvmInplaceEditClass = const TvmInplaceEditMeta*;

// Forwards the class-level operations to the static members of T (the most derived that T has).
template <class T>
class TvmInplaceEditMetaImpl : public TComponentMetaImpl<T, TvmInplaceEditMeta> {
public:
  using TComponentMetaImpl<T, TvmInplaceEditMeta>::TComponentMetaImpl;
  TvmEditViewData* NewViewData() const override { return T::NewViewData(); }
  void CalcViewInfo(TvmEditViewData* VD, bool AutoSize, TvmEditViewInfo& VI) const override {
    T::CalcViewInfo(this, VD, AutoSize, VI);
  }
  void DrawView(TCanvas* DC, const TRect& R, TvmEditViewData* VD) const override { T::DrawView(this, DC, R, VD); }
  void DrawBorder(TCanvas* DC, TvmEditViewInfo& VI, TvmEditViewData* VD) const override {
    T::DrawBorder(this, DC, VI, VD);
  }
  bool DrawContent(TCanvas* DC, const TRect& R, TvmEditViewData* VD, bool Live) const override {
    return T::DrawContent(this, DC, R, VD, Live);
  }
  TCursor GetViewCursor(int X, int Y, TvmEditViewData* VD) const override { return T::GetViewCursor(this, X, Y, VD); }
  int CalcContentHeight(TvmEditViewData* VD) const override { return T::CalcContentHeight(this, VD); }
  void CalcContentSize(TvmEditViewData* VD, TRect& R) const override { T::CalcContentSize(this, VD, R); }
  bool IsInplace() const override { return T::IsInplace(); }
};

// ---------------------------------------------------------------------------------------------
// The editor base.

using TvmEditValidateEvent = std::function<void(TObject* Sender, std::string& ErrorText, bool& Accept)>;

class TvmInplaceEdit : public TCustomControl {
  VM_CLASS_FAMILY(TvmInplaceEdit, TCustomControl, TvmInplaceEditMeta, TvmInplaceEditMetaImpl)
public:
  explicit TvmInplaceEdit(TComponent* AOwner);
  ~TvmInplaceEdit() override;

  TvmInplaceEditClass EditClass() const { return static_cast<TvmInplaceEditClass>(ClassType()); }
  // The container that owns an in-place editor, or null.
  TCustomvmContainer* GetContainer() const;
  bool InplaceMode() const { return GetContainer() != nullptr && EditClass()->IsInplace(); }

  // Properties.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool GetReadOnly() const;
  bool ReadOnly() const { return GetReadOnly(); }
  void SetReadOnly(bool Value);
  uint32_t StoredValues() const { return FStoredValues; }
  void SetStoredValues(uint32_t Value) { FStoredValues = Value; }
  bool IsStored(int Member) const { return (FStoredValues >> Member) & 1u; }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool IsAutoSized() const { return FAutoSize && !InplaceMode(); }
  bool Modified() const { return GetModified(); }
  void SetModifiedFlag(bool Value) { SetModified(Value); }
  bool Active() const { return FActive; }
  TvmEditStyle* Style() const { return FStyle.get(); }
  void SetStyle(TvmEditStyle* Value) { FStyle->Assign(Value); }
  TvmEditStyleController* StyleController() const { return FStyleController; }
  void SetStyleController(TvmEditStyleController* C);
  const TContentOffsets& ContentOffsets() const { return FContentOffsets; }
  void SetContentOffsets(const TContentOffsets& Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
  }
  bool Closing() const { return FClosing; }
  void SetClosing(bool Value) { FClosing = Value; }
  bool PopupOnClick() const { return FPopupOnClick; }
  // In-place: shown by ActivateAt/ShowEdit, hidden by HideEdit.
  bool EditVisible() const { return FEditVisible; }
  double ClickTime() const { return FClickTime; }
  void SetClickTime(double Value) { FClickTime = Value; }

  // The value protocol.
  virtual void SetEditValue(const Variant& Value);
  virtual void GetDisplayValue(Variant& Value, bool UseBindingValue);
  virtual void GetEditValue(Variant& Value);
  Variant EditValue() {
    Variant v;
    GetEditValue(v);
    return v;
  }
  virtual void ReadBindingProperties() {}
  virtual void ValidateEdit();
  virtual void GetEditingText(std::string& S);
  virtual void SetEditingText(const std::string& S);
  // The text the editor shows (its window's text).
  virtual std::string GetWindowText() const { return FText; }
  virtual void SetWindowText(const std::string& S);

  // Activation by a container.
  void ActivateAt(const TRect& R);
  void LockActivation() { ++FActivationLock; }
  void UnlockActivation() {
    if (FActivationLock > 0) --FActivationLock;
  }
  void LockValidation();
  void UnlockValidation();
  virtual void HideEdit();
  virtual void ShowEdit();
  virtual void AfterActivate() {}
  virtual void AfterMouseActivate() {}
  virtual void ForwardMouseDown(int X, int Y) {}
  virtual void SelectAll() {}
  virtual void PlaceCaretAtEnd() {}
  // Esc: the text before the edit comes back.
  void Reset();
  virtual void RestoreText();
  virtual void RestoreDefaults();
  virtual void SetActive(bool Value);
  void SetFocus() override;

  // Answers.
  virtual bool CanModify() const;
  virtual bool IsEditable() const { return !GetReadOnly(); }
  virtual bool CanEditText() const { return false; }
  virtual bool CanRestoreText() const { return CanEditText(); }
  virtual bool BlocksClosing() const { return FBlocksClosing; }
  virtual bool GetModified() const { return FModified; }
  virtual bool IsValidChar(char Key) const;
  virtual bool IsTextModifyingKey(uint16_t Key, TShiftState Shift) const;
  virtual bool RepaintOnFocusChange() const { return !CanEditText(); }
  virtual bool HandlesMouseWheel() const { return false; }
  virtual bool WantTabs() const { return false; }
  virtual bool ValidatesOnEnter() const { return false; }
  virtual bool IsFocused() const { return Focused(); }
  virtual bool UsesInactiveView() const { return !Enabled(); }
  virtual bool IsHot() const { return FHot || (IsFocused() && Enabled()); }
  virtual bool IsImmediateEditor() const;
  virtual TAlignment GetDefaultAlignment() const { return taLeftJustify; }
  virtual bool GetDefaultReadOnly() const { return false; }
  virtual bool IsBindingReadOnly() const { return false; }
  virtual TvmEditStyleClass GetEditStyleClass() const { return TvmEditStyle::StaticClass(); }
  virtual void FocusAdjacentCell(bool Previous);

  // Painting.
  virtual std::unique_ptr<TvmEditViewData> CreateViewData(bool UseBindingValue);
  virtual void StyleChanged();
  void InvalidateEdit() { Invalidate(); }
  void UpdateRegion();
  void UpdateRegionIfNeeded();
  // The window region for a view (empty: the whole window).
  static bool CreateViewRegion(const TvmEditViewInfo& Info, TRegion& Region);

  // Class-level painters (see TvmInplaceEditMetaImpl).
  static TvmEditViewData* NewViewData() { return new TvmEditViewData(); }
  static void CalcViewInfo(TvmInplaceEditClass Self, TvmEditViewData* VD, bool AutoSize, TvmEditViewInfo& VI);
  static void DrawView(TvmInplaceEditClass Self, TCanvas* DC, const TRect& R, TvmEditViewData* VD);
  static void DrawBorder(TvmInplaceEditClass Self, TCanvas* DC, TvmEditViewInfo& VI, TvmEditViewData* VD);
  static bool DrawContent(TvmInplaceEditClass Self, TCanvas* DC, const TRect& R, TvmEditViewData* VD,
                          bool IsLiveWindow);
  static TCursor GetViewCursor(TvmInplaceEditClass Self, int X, int Y, TvmEditViewData* VD);
  static int CalcContentHeight(TvmInplaceEditClass Self, TvmEditViewData* VD);
  static void CalcContentSize(TvmInplaceEditClass Self, TvmEditViewData* VD, TRect& R);
  static bool IsInplace() { return true; }

  // Streaming: "Height" only when not auto-sized, "StoredValues" when not empty.
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnChange;
  TvmEditValidateEvent OnValidate;

  // The key entry points the text windows of derived editors forward to.
  void EditKeyDownEntry(uint16_t& Key, TShiftState Shift) { KeyDown(Key, Shift); }
  void EditKeyPressEntry(char& Key) { KeyPress(Key); }
  void EditKeyUpEntry(uint16_t& Key, TShiftState Shift) { KeyUp(Key, Shift); }

protected:
  virtual void DoChange();
  virtual void DoSetFocus();
  virtual void DoKillFocus();
  virtual void DoSetAlignment(TAlignment Value);
  virtual void DoSetReadOnly(bool Value);
  virtual void SetModified(bool Value) { FModified = Value; }
  virtual void SetHot(bool Value) { FHot = Value; }
  virtual void FillViewData(TvmEditViewData* VD, bool UseBindingValue);
  // The view's area inside the window (where a text window sits).
  TRect ContentRectOfWindow();
  // Repaints the container under the editor.
  void RepaintContainerArea();

  void Paint() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(uint16_t& Key, TShiftState Shift) override;
  void DoEnter() override;
  void DoExit() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void DblClick() override;
  void Resize() override;
  void FontChanged() override;
  void ColorChanged() override;
  void EnabledChanged() override;
  void TextChanged() override;
  bool WantsKey(uint16_t Key) const override { return true; }

  TAlignment FAlignment = taLeftJustify;
  bool FReadOnly = false;
  uint32_t FStoredValues = 0;
  bool FAutoSize = true;
  bool FModified = false;
  bool FHot = false;
  bool FActive = false;
  std::string FPrevText;
  bool FPrevModified = false;
  std::unique_ptr<TvmEditStyle> FStyle;
  TvmEditStyleController* FStyleController = nullptr;
  TContentOffsets FContentOffsets;
  bool FTransparent = false;
  bool FClosing = false;
  int FActivationLock = 0;
  int FValidationLock = 0;
  double FClickTime = 0;
  bool FPopupOnClick = false;
  bool FRefreshLock = false;
  bool FInternalChange = false;
  bool FKeepFocus = false;
  bool FBlocksClosing = false;
  bool FEditVisible = false;
  bool FDestroying = false;
};

// ---------------------------------------------------------------------------------------------
// The container control base.

class TCustomvmContainer : public TCustomControl {
  VM_CLASS(TCustomvmContainer, TCustomControl)
public:
  explicit TCustomvmContainer(TComponent* AOwner);
  ~TCustomvmContainer() override;

  TScrollBarStyle ScrollBarLook() const { return FScrollBarLook; }
  void SetScrollBarLook(TScrollBarStyle Value);
  bool InitializingEditor() const { return FInitializingEditor; }
  // How often the window was made anew (the scroll-bar look recreates it).
  int WindowGeneration() const { return FWindowGeneration; }

  virtual bool CanEditModify() { return false; }
  virtual bool CanEditAcceptKey(char Key) { return false; }
  // Reserved yes/no query: nothing asks it.
  virtual bool ReservedQuery() { return true; }
  virtual std::unique_ptr<TvmEditStyle> CreateEditStyle(TvmInplaceEdit* Edit);
  virtual void MouseWheelScroll(bool Up, int Lines);
  virtual TColor GetEditColor() { return Color(); }
  virtual TFont* GetEditFont() { return Font(); }
  virtual bool IsReadOnly() { return false; }
  virtual bool IsFocusRectSuppressed() { return false; }
  virtual void EditKeyDown(uint16_t& Key, TShiftState Shift);
  virtual bool IsEditorOutOfSync() { return false; }
  virtual bool UseEditorDblClick() { return false; }
  virtual bool IsImmediateEditor() { return false; }
  virtual bool IsEditWantTabs() { return false; }
  virtual void FocusAdjacentColumn(bool Previous) {}
  virtual void InvalidateFocusedCell() {}
  virtual void BeginInitEditor() { FInitializingEditor = true; }
  virtual void EndInitEditor() { FInitializingEditor = false; }
  virtual TvmPopupBorder GetPopupBorder(TvmEditBorderStyle BorderStyle) { return pbFrame3D; }

  bool GetScrollInfo(int Bar, TScrollInfo& Info);
  int SetScrollInfo(int Bar, const TScrollInfo& Info, bool Redraw);
  // Vertical scroll messages received (line up: -1 each, line down: +1 each).
  int VScrollLines() const { return FVScrollLines; }

  // The container's own key and click handlers, as the editor forwards to them.
  void ContainerKeyDown(uint16_t& Key, TShiftState Shift) { KeyDown(Key, Shift); }
  void ContainerKeyPress(char& Key) { KeyPress(Key); }
  void ContainerKeyUp(uint16_t& Key, TShiftState Shift) { KeyUp(Key, Shift); }
  void ContainerDblClick() { DblClick(); }

protected:
  // Sends itself one vertical scroll message (SB_LINEUP when Up).
  virtual void VScroll(bool Up);
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void CreateWnd() override;

  TScrollBarStyle FScrollBarLook = ssRegular;
  bool FInitializingEditor = false;
  int FWindowGeneration = 0;
  int FVScrollLines = 0;
};
