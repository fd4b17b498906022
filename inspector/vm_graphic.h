// The graphic editor: a picture shown and edited inside a cell, with its commands (cut, copy,
// paste, delete, load, save and one of the application's own) offered as a context menu or as a
// small floating tool window laid out by a persistent description.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "inspector/vm_blob.h"
#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/set.h"

class TClipboardWatch;
class TvmInplaceGraphicEdit;

enum TvmPopupToolBarAlignment { ptaLeft, ptaRight, ptaTop, ptaBottom };
enum TvmPopupToolBarButton { ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave, ptbCustom };
using TvmPopupToolBarButtons = TSet<TvmPopupToolBarButton>;
const TvmPopupToolBarButtons DefaultToolBarButtons = {ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave};

extern const char* const SvmToolbox;  // "Toolbox"
// The hints of the six commands ("Cut", "Copy", "Paste", "Delete", "Load from file...",
// "Save to file...").
extern const char* const SvmToolHints[6];

// The toolbar's layout: which commands, where, how.
class TvmPopupToolBarWindow : public TPersistent {
  VM_CLASS(TvmPopupToolBarWindow, TPersistent)
public:
  // Without an editor the layout only stores its values.
  explicit TvmPopupToolBarWindow(TvmInplaceGraphicEdit* AEdit = nullptr);
  ~TvmPopupToolBarWindow() override;

  TvmPopupToolBarAlignment Alignment = ptaBottom;
  TvmPopupToolBarButtons Buttons = DefaultToolBarButtons;
  std::string CustomButtonCaption;
  bool ShowCaptions = true;
  bool Visible = true;
  // Created on first read; assigning nil frees it.
  virtual TBitmap* CustomButtonGlyph();
  void SetCustomButtonGlyph(TBitmap* Value);
  bool HasCustomButtonGlyph() const { return FGlyph != nullptr; }
  bool IsPopupMenu() const { return FIsPopupMenu; }
  void SetIsPopupMenu(bool Value);
  void Assign(TPersistent* Source) override;

private:
  TvmInplaceGraphicEdit* FEdit;
  std::unique_ptr<TBitmap> FGlyph;
  bool FIsPopupMenu = true;
};

// One flat button of the toolbar: a glyph and, on a vertical bar, a caption.
class TvmToolBarButton : public TCustomControl {
  VM_CLASS(TvmToolBarButton, TCustomControl)
public:
  explicit TvmToolBarButton(TComponent* AOwner);
  TBitmap* Glyph() { return &FGlyph; }
  std::string Caption;
  bool ShowCaption = false;
  bool Down() const { return FDown; }

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  TBitmap FGlyph;
  bool FDown = false, FHot = false;
};

using TvmToolBarCommandEvent = std::function<void(TObject* Sender, int Index)>;

class TvmPopupToolBar : public TForm {
  VM_CLASS(TvmPopupToolBar, TForm)
public:
  explicit TvmPopupToolBar(TComponent* AOwner);
  ~TvmPopupToolBar() override;

  TvmToolBarButton* Button(int Index) const { return FButtons[static_cast<size_t>(Index)]; }
  TvmPopupToolBarButtons ButtonSet = DefaultToolBarButtons;
  bool ShowCaptions = true;
  TvmPopupToolBarAlignment Alignment = ptaRight;
  TClipboardFormat ClipboardFormat;
  bool NoPicture = true;
  bool IsReadOnly = false;
  bool MenuMode = false;
  bool MayShow = true;
  bool ClosedByUser() const { return FClosedByUser; }
  void SetClosedByUser(bool Value) { FClosedByUser = Value; }
  // The context menu of popup-menu mode (made on first use).
  TPopupMenu* Menu();
  TvmToolBarCommandEvent CommandHook;

  // Places the bar beside an editor of EditorSize whose top-left is Point (screen).
  void PlaceNear(const TPoint& Point, const TSize& EditorSize);
  void UpdateLayout();
  void UpdateButtonStates();
  void ShowBar();
  void HideBar();

protected:
  void DoClose(TCloseAction& Action) override;
  std::array<TvmToolBarButton*, 7> FButtons{};
  bool FClosedByUser = false;
  std::unique_ptr<TPopupMenu> FMenu;
  std::unique_ptr<TClipboardWatch> FClipboardWatch;
};

class TvmGraphicEditViewData : public TvmEditViewData {
public:
  bool Center = true;
  bool HalftoneOverlay = false;
  TColor OverlayColor = clHighlight;
  TPicture* Picture = nullptr;
  bool QuickDraw = false;
  bool Stretch = false;
};

using TvmGraphicEditAssignPictureEvent = std::function<void(TObject* Sender, TPicture*& Picture)>;
using TvmGraphicEditGetGraphicClassEvent = std::function<void(TObject* Sender, TGraphicClass& GraphicClass)>;

class TvmInplaceGraphicEdit : public TvmInplaceEdit {
  VM_CLASS(TvmInplaceGraphicEdit, TvmInplaceEdit)
public:
  explicit TvmInplaceGraphicEdit(TComponent* AOwner);
  ~TvmInplaceGraphicEdit() override;

  TPicture* Picture() const { return FPicture.get(); }
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool QuickDraw = false;
  TvmGraphicEditTransparency GraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TvmGraphicEditTransparency Value);
  bool CustomGraphic = false;
  std::string CustomFilter;
  bool DblClickActivate = true;
  TClipboardFormat ClipboardFormat;
  TvmPopupToolBarWindow* ToolbarLayout() const { return FLayout.get(); }
  TvmPopupToolBar* ToolBar() const { return FToolBar; }
  static constexpr int NoPosition = -10000;
  TPoint ToolbarPos = TPoint(NoPosition, NoPosition);
  bool ToolbarPosStored() const { return FToolbarPosStored; }
  void SetToolbarPosStored(bool Value);

  TvmGraphicEditAssignPictureEvent PictureHook;
  TNotifyEvent CustomButtonHook;
  TvmGraphicEditGetGraphicClassEvent GraphicClassHook;

  virtual void DoCustomClick();
  virtual void DoAssignPicture(TPicture*& Picture);
  virtual TGraphicClass GetGraphicClass();

  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  void DeletePicture();
  void LoadPicture();
  void SavePicture();
  void ExecuteCommand(int Index);
  void UpdateToolBar();
  void ShowToolBar();
  void HideToolBar();
  // The context menu shown for the last request (null when none was).
  TPopupMenu* ShownMenu() const { return FShownMenu; }
  void ContextMenuRequest(int X, int Y);

  void SetEditValue(const Variant& Value) override;
  void GetDisplayValue(Variant& Value, bool UseBindingValue) override;
  void GetEditValue(Variant& Value) override;
  bool IsFocused() const override;
  bool RepaintOnFocusChange() const override { return true; }

  static TvmEditViewData* NewViewData() { return new TvmGraphicEditViewData(); }
  static void CalcViewInfo(TvmInplaceEditClass Self, TvmEditViewData* VD, bool AutoSize, TvmEditViewInfo& VI);
  static bool DrawContent(TvmInplaceEditClass Self, TCanvas* DC, const TRect& R, TvmEditViewData* VD,
                          bool IsLiveWindow);
  static void CalcContentSize(TvmInplaceEditClass Self, TvmEditViewData* VD, TRect& R);

protected:
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void DoSetFocus() override;
  void DoKillFocus() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void PictureChanged(TObject* Sender);
  TvmPopupToolBar* EnsureToolBar();

  std::unique_ptr<TPicture> FPicture;
  std::unique_ptr<TPicture> FScratchPicture;
  bool FCenter = true;
  bool FStretch = false;
  TvmGraphicEditTransparency FGraphicTransparency = gtDefault;
  std::unique_ptr<TvmPopupToolBarWindow> FLayout;
  TvmPopupToolBar* FToolBar = nullptr;
  bool FToolbarPosStored = true;
  TPoint FPlacedPos = TPoint(NoPosition, NoPosition);
  bool FInternalPictureChange = false;
  TPopupMenu* FShownMenu = nullptr;
};
