// Picture values held as byte strings (shared by the graphic and blob editors and their rows), and
// the blob editor: a long text or a picture edited in a popup (a memo, or a scrollable picture
// viewer with clipboard and file commands) with its own button panel and size grip. The cell
// shows an icon or a short text, never the whole value.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "inspector/vm_dropdown.h"
#include "platform/clipbrd.h"
#include "platform/picture.h"
#include "platform/stdctrls.h"
#include "platform/streams.h"

class TImageList;
class TRichEditControl;
class TPopupMenu;

// ---------------------------------------------------------------------------------------------
// Picture values.

// A graphic class: the run-time class of a graphic kind (TBitmap::StaticClass(), ...).
using TGraphicClass = const TMetaClass*;
enum TvmGraphicEditTransparency { gtDefault, gtOpaque, gtTransparent };

// The registered clipboard format of pictures: the clipboard holds it whenever it holds a
// graphic of a kind a picture can take.
extern const TClipboardFormat CF_PICTURE;
bool ClipboardHasFormat(TClipboardFormat Format);

// A new empty graphic of the class (a bitmap for TBitmap, else one of the registered file
// formats); nullptr when no registered kind has that class.
TGraphic* CreateGraphicOfClass(TGraphicClass GraphicClass);

// A read-only stream over memory it does not own; writing stores nothing.
class TMemoryStreamReadOnly : public TStream {
public:
  void AttachBuffer(const void* Buffer, int64_t Size);
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return FSize; }

private:
  const uint8_t* FData = nullptr;
  int64_t FSize = 0, FPosition = 0;
};

// True when the picture has no graphic or an empty one.
bool PictureHasNoGraphic(TPicture* Picture);
// Reads a picture value: a string of 8 bytes or more (an optional 8-byte header 1, 0x0100 and the
// length of the rest is skipped); anything else clears the picture. Data that is no picture of
// the class raises the graphic's error and leaves the picture unchanged.
void LoadPictureFromString(TPicture* Picture, TGraphicClass GraphicClass, const Variant& Value);
// The graphic saved to bytes (no header); "" for no picture or an empty one.
std::string SavePictureToString(TPicture* Picture);

// The six command glyphs (cut, copy, paste, delete, load, save) shared by the toolbar and the
// picture context menus, and the eight blob icons (blob, memo, picture, OLE; empty and not).
TImageList* PopupToolBarImages();
TImageList* BlobImages();

// Captions of the picture commands and of the popup panel.
extern const char* const SvmCut;          // "Cu&t"
extern const char* const SvmCopy;         // "&Copy"
extern const char* const SvmPaste;        // "&Paste"
extern const char* const SvmDelete;       // "&Delete"
extern const char* const SvmLoad;         // "&Load..."
extern const char* const SvmSave;         // "&Save To..."
extern const char* const SvmPopupOK;      // "&OK"
extern const char* const SvmPopupCancel;  // "&Cancel"
extern const char* const SvmPopupClose;   // "&Close"

// ---------------------------------------------------------------------------------------------
// Corner grips of sizeable popups.

// 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right: the corner away from the editor.
using TvmPopupCorner = int;
constexpr int HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16,
              HTBOTTOMRIGHT = 17, HTNOWHERE = 0, HTBORDER = 18;
int CornerHitTest(TvmPopupCorner Corner);
// Reduces R to the grip square in the corner and draws the grip lines pointing into it.
void DrawCornerGrip(TCanvas* DC, TRect& R, TvmPopupCorner Corner);
// The side of a system caption button and of a scroll bar.
int PopupCaptionHeight();
constexpr int SystemScrollBarSize = 16;

// ---------------------------------------------------------------------------------------------
// The blob popup.

enum TvmBlobEditKind { bekMemo, bekPict, bekOle, bekBlob };
enum TvmBlobPaintStyle { bpsDefault, bpsIcon, bpsText };

class TCustomvmBlobPopup : public TvmInplacePopupControl {
  VM_CLASS(TCustomvmBlobPopup, TvmInplacePopupControl)
public:
  explicit TCustomvmBlobPopup(TComponent* AOwner);
  ~TCustomvmBlobPopup() override;

  TvmBlobEditKind Mode() const { return FMode; }
  void SetMode(TvmBlobEditKind Value);
  bool PictureMode() const { return FMode == bekPict; }

  // Memo settings.
  TEditCharCase CharCase = ecNormal;
  bool HideScrollBars = true;
  bool OEMConvert = false;
  TScrollStyle ScrollBars = ssNone;
  bool SelectionBar = true;
  bool WantReturns = true;
  bool WantTabs = true;
  bool WordWrap = true;
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  TRichEditControl* Memo() const { return FMemo; }
  std::string Text() const;
  void SetText(const std::string& Value);
  // The memo text taken when the popup closed.
  const std::string& RememberedText() const { return FRememberedText; }

  // Picture settings.
  TPicture* Picture();
  bool AutoSize = true;
  TClipboardFormat ClipboardFormat;
  TGraphicClass GraphicClass = nullptr;
  TvmGraphicEditTransparency GraphicTransparency = gtDefault;
  std::string PictureFilter;
  bool ShowExPopupItems = true;
  bool ShowPicturePopup = true;
  TPoint ScrollPos() const { return FScrollPos; }
  // Moves the picture shown at natural size, clamped to what there is to see.
  void ScrollTo(int X, int Y);
  // The scroll position a dragged thumb at track position Track gives.
  static int TrackToScroll(int Track, int ClientSize, int PictureSize);
  // The area the memo or the picture fills (inside the frame, above or below the panel).
  TRect ContentArea() const;

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool Sizeable = true;
  bool AlwaysSaveText = true;
  bool Modified() const;
  void SetModified(bool Value);
  TvmPopupCorner GripCorner() const { return FGripCorner; }
  // The panel buttons shown: 0 OK, 1 Cancel, 2 Close.
  bool HasButton(int Index) const;
  TRect ButtonRect(int Index);
  TRect GripRect() const;
  TSize GetMinSize();
  bool ValueSaved() const { return FSaved; }

  TNotifyEvent AcceptHook;
  TNotifyEvent PopupClosedHook;
  TNotifyEvent OnChange;

  // Sizes and places the popup below (or above) the editor whose bottom-left is Point.
  void PlaceAt(const TPoint& Point, int AWidth, int AHeight, int EditorWidth, int EditorHeight);
  void ShowPopup() override;
  void ClosePopup() override;
  virtual void CloseByButton(int Button);
  virtual void DoChange();
  virtual void ApplyCharCase();
  virtual void DoPopupClosed();
  virtual void SaveValue();

  // Picture commands (picture mode).
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  void DeletePicture();
  void LoadPicture();
  void SavePicture();
  // The context menu built for the last request (null when none was shown).
  TPopupMenu* ShownMenu() const { return FShownMenu; }
  void ContextMenuRequest(int X, int Y);

  // The key handling of the popup and of its memo.
  void PopupKeyDown(uint16_t& Key, TShiftState Shift);
  void PopupKeyPress(char& Key);

protected:
  void Paint() override;
  void Resize() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void DoExit() override;
  bool WantsKey(uint16_t Key) const override { return true; }
  void PictureChanged(TObject* Sender);
  void LayoutMemo();
  void MemoExit();
  int PanelHeight();
  int ButtonAtPoint(int X, int Y);
  bool OwnerCanModify() const;

  TvmBlobEditKind FMode = bekMemo;
  int FMaxLength = 0;
  TRichEditControl* FMemo = nullptr;
  std::unique_ptr<TPicture> FPicture;
  TPoint FScrollPos;
  bool FReadOnly = false;
  bool FModified = false;
  bool FApplyingTransparency = false;
  TvmPopupCorner FGripCorner = 3;
  int FPressedButton = -1;
  bool FTracking = false;
  bool FButtonDown = false;
  bool FSizing = false;
  TPoint FSizeStart;
  TRect FSizeBounds;
  std::string FRememberedText;
  bool FSaved = false;
  bool FRecasing = false;
  TPopupMenu* FShownMenu = nullptr;
  std::unique_ptr<TPopupMenu> FMenu;
};

// ---------------------------------------------------------------------------------------------
// The blob editor.

class TvmBlobEditViewData : public TvmDropDownEditViewData {
public:
  TvmBlobEditKind BlobEditKind = bekMemo;
  TvmBlobPaintStyle BlobPaintStyle = bpsIcon;
  TImageList* Images = nullptr;
  bool IsEmpty = true;
};

using TvmPictureEvent = std::function<void(TObject* Sender, TPicture*& Picture)>;
using TvmGraphicClassEvent = std::function<void(TObject* Sender, TGraphicClass& GraphicClass)>;

class TvmInplaceBlobEdit : public TvmInplaceDropDownEdit {
  VM_CLASS(TvmInplaceBlobEdit, TvmInplaceDropDownEdit)
public:
  explicit TvmInplaceBlobEdit(TComponent* AOwner);
  ~TvmInplaceBlobEdit() override;

  const std::string& BlobValue() const { return FBlobValue; }
  void SetBlobValue(const std::string& Text);
  void SetDisplayText(const std::string& Text);
  TvmBlobEditKind BlobEditKind() const { return FBlobEditKind; }
  void SetBlobEditKind(TvmBlobEditKind Value);
  TvmBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
  void SetBlobPaintStyle(TvmBlobPaintStyle Value);
  TCustomvmBlobPopup* Popup() const { return FPopup; }

  bool AlwaysSaveText = true;
  TEditCharCase MemoCharCase = ecNormal;
  bool MemoHideScrollBars = true;
  int MemoMaxLength = 0;
  bool MemoOEMConvert = false;
  TScrollStyle MemoScrollBars = ssNone;
  bool MemoSelectionBar = true;
  bool MemoWantReturns = true;
  bool MemoWantTabs = true;
  bool MemoWordWrap = true;
  bool PictureAutoSize = true;
  TClipboardFormat PictureClipboardFormat;
  std::string PictureFilter;
  TGraphicClass PictureGraphicClass = nullptr;
  TvmGraphicEditTransparency PictureTransparency = gtDefault;
  int PopupWidth = 200, PopupHeight = 140;
  bool ShowExPopupItems = true;
  bool ShowPicturePopup = true;
  bool SizeablePopup = true;

  TvmPictureEvent PictureHook;
  TvmGraphicClassEvent GraphicClassHook;
  TNotifyEvent PopupSizeHook;

  virtual bool IsBlobEmpty(const Variant& Value) const;
  virtual void DoAssignPicture(TPicture*& Picture);
  virtual TGraphicClass GetGraphicClass();
  virtual void SetPopupSize(int AWidth, int AHeight);
  virtual void ApplyPopupValue();
  void StorePopupSize();

  void SetEditValue(const Variant& Value) override;
  void GetDisplayValue(Variant& Value, bool UseBindingValue) override;
  void GetEditValue(Variant& Value) override;
  bool CanEditText() const override { return false; }
  bool CanRestoreText() const override { return false; }
  void CloseUp(bool Accept) override;
  void DropDown() override;
  void DoButtonDown(bool NoCapture, int ButtonIndex) override;
  void CalcButtons(TvmDropDownEditViewData* VD) override;
  bool IsFocused() const override;
  void HideEdit() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  static TvmEditViewData* NewViewData() { return new TvmBlobEditViewData(); }
  static bool DrawContent(TvmInplaceEditClass Self, TCanvas* DC, const TRect& R, TvmEditViewData* VD,
                          bool IsLiveWindow);

protected:
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;

  std::string FBlobValue;
  TvmBlobEditKind FBlobEditKind = bekMemo;
  TvmBlobPaintStyle FBlobPaintStyle = bpsIcon;
  TCustomvmBlobPopup* FPopup = nullptr;
  std::unique_ptr<TPicture> FScratchPicture;
};
