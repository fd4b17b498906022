// Inspector rows bound to one editor kind each: mask, check, spin, time, currency, hyperlink and
// memo rows, and the rows with a drop-down button (date, calculator, button, pick, MRU, image,
// blob and popup rows). Each row kind has an editor class of its own; the Text variants keep the
// value as a string, which the editor kind only edits and paints.
#pragma once

#include <memory>
#include <string>

#include "inspector/vm_blob.h"
#include "inspector/vm_calc.h"
#include "inspector/vm_date.h"
#include "inspector/vm_dropdown.h"
#include "inspector/vm_graphic.h"
#include "inspector/vm_image.h"
#include "inspector/vm_inspector.h"
#include "inspector/vm_memo.h"
#include "inspector/vm_mru.h"
#include "inspector/vm_popupedit.h"
#include "inspector/vm_textedit.h"
#include "inspector/vm_time_currency.h"
#include "platform/imglist.h"

// The editor class of each row kind: the editor with nothing of its own.
#define VM_INSPECTOR_EDITOR(Name, Base) \
  class Name : public Base {            \
    VM_CLASS(Name, Base)                \
  public:                               \
    using Base::Base;                   \
  };

VM_INSPECTOR_EDITOR(TvmInspectorMaskEdit, TvmInplaceMaskEdit)
VM_INSPECTOR_EDITOR(TvmInspectorCheckEdit, TvmInplaceCheckEdit)
VM_INSPECTOR_EDITOR(TvmInspectorSpinEdit, TvmInplaceSpinEdit)
VM_INSPECTOR_EDITOR(TvmInspectorHyperLinkEdit, TvmInplaceHyperLinkEdit)
VM_INSPECTOR_EDITOR(TvmInspectorMemoEdit, TvmInplaceMemoEdit)
VM_INSPECTOR_EDITOR(TvmInspectorDropDownEdit, TvmInplaceDropDownEdit)
VM_INSPECTOR_EDITOR(TvmInspectorDateEdit, TvmInplaceDateEdit)
VM_INSPECTOR_EDITOR(TvmInspectorCalcEdit, TvmInplaceCalcEdit)
VM_INSPECTOR_EDITOR(TvmInspectorButtonEdit, TvmInplaceButtonEdit)
VM_INSPECTOR_EDITOR(TvmInspectorPickEdit, TvmInplacePickEdit)
VM_INSPECTOR_EDITOR(TvmInspectorMRUEdit, TvmInplaceMRUEdit)
VM_INSPECTOR_EDITOR(TvmInspectorImageEdit, TvmInplaceImageEdit)
VM_INSPECTOR_EDITOR(TvmInspectorBlobEdit, TvmInplaceBlobEdit)
VM_INSPECTOR_EDITOR(TvmInspectorPopupEdit, TvmInplacePopupEdit)
VM_INSPECTOR_EDITOR(TvmInspectorGraphicEdit, TvmInplaceGraphicEdit)
VM_INSPECTOR_EDITOR(TvmInspectorTimeEdit, TvmInplaceTimeEdit)
VM_INSPECTOR_EDITOR(TvmInspectorCurrencyEdit, TvmInplaceCurrencyEdit)

// A Text variant: the row that keeps its value as a string.
#define VM_INSPECTOR_TEXT_ROW(Name, Base)                          \
  class Name : public Base {                                       \
    VM_CLASS(Name, Base)                                           \
  public:                                                          \
    using Base::Base;                                              \
    const std::string& Text() const { return FText; }              \
    void SetText(const std::string& Value) {                       \
      FText = Value;                                               \
      Changed();                                                   \
    }                                                              \
    void GetDisplayText(std::string& S) override { S = FText; }    \
    void GetEditText(std::string& S) override { S = FText; }       \
    void SetEditText(const std::string& S) override {              \
      if (S == FText) return;                                      \
      FText = S;                                                   \
      Changed();                                                   \
    }                                                              \
    void Assign(TPersistent* Source) override {                    \
      Base::Assign(Source);                                        \
      if (auto* t = dynamic_cast<Name*>(Source)) FText = t->FText; \
    }                                                              \
                                                                   \
  protected:                                                       \
    std::string FText;                                             \
  };

// ---------------------------------------------------------------------------------------------
// Rows without a drop-down.

class TvmInspectorMaskRow : public TvmInspectorRow {
  VM_CLASS(TvmInspectorMaskRow, TvmInspectorRow)
public:
  using TvmInspectorRow::TvmInspectorRow;
  std::string EditMask() const { return FEditMaskAssigned ? FEditMask : GetDefaultEditMask(); }
  void SetEditMask(const std::string& Value);
  bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool Value);
  virtual std::string GetDefaultEditMask() const { return std::string(); }

  TvmInplaceEditClass GetEditClass() override { return TvmInspectorMaskEdit::StaticClass(); }
  void InitEditor(TvmInplaceEdit* Edit) override;
  void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;

protected:
  std::string FEditMask;
  bool FEditMaskAssigned = false;
  bool FIgnoreMaskBlank = false;
};

using TvmToggleEvent = std::function<void(TObject* Sender, const std::string& Text, TvmCheckBoxState State)>;

class TvmInspectorCheckRow : public TvmInspectorRow {
  VM_CLASS(TvmInspectorCheckRow, TvmInspectorRow)
public:
  explicit TvmInspectorCheckRow(TComponent* AOwner);
  ~TvmInspectorCheckRow() override;
  bool AllowGrayed = false;
  bool Border3D = false;
  // The check box's pictures side by side (GlyphCount of them); created empty on first read,
  // assigning nil frees it.
  TBitmap* Glyph();
  void SetGlyph(TBitmap* Value);
  bool HasGlyph() const { return FGlyph != nullptr; }
  int GlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(int Value);
  TvmShowNullFieldStyle ShowNullFieldStyle = nsUnchecked;
  std::string ValueChecked, ValueGrayed, ValueUnchecked;
  TvmToggleEvent OnToggleClick;

  TvmCheckBoxState TextToState(const std::string& Text) const;
  std::string StateToText(TvmCheckBoxState State) const;

  TvmInplaceEditClass GetEditClass() override { return TvmInspectorCheckEdit::StaticClass(); }
  void EditChange(TObject* Sender) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
  void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo) override;
  bool IsTextClipped(bool ForValue, const TRect& R, std::string& Text) override;
  int GetMinRowHeight(TCanvas* Canvas) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;

protected:
  std::unique_ptr<TBitmap> FGlyph;
  int FGlyphCount = 6;
};

class TvmInspectorSpinRow : public TvmInspectorRow {
  VM_CLASS(TvmInspectorSpinRow, TvmInspectorRow)
public:
  using TvmInspectorRow::TvmInspectorRow;
  bool EditorEnabled = true;
  double Increment = 1;
  bool UseCtrlIncrement = true;
  double MinValue() const { return FMinAssigned ? FMinValue : GetDefaultMinValue(); }
  void SetMinValue(double Value);
  double MaxValue() const { return FMaxAssigned ? FMaxValue : GetDefaultMaxValue(); }
  void SetMaxValue(double Value);
  bool MinValueStored() const { return FMinAssigned && FMinValue != GetDefaultMinValue(); }
  bool MaxValueStored() const { return FMaxAssigned && FMaxValue != GetDefaultMaxValue(); }
  virtual double GetDefaultMinValue() const { return 0; }
  virtual double GetDefaultMaxValue() const { return 0; }
  virtual TvmValueType GetValueType() const { return vtInt; }

  TvmInplaceEditClass GetEditClass() override { return TvmInspectorSpinEdit::StaticClass(); }
  void InitEditor(TvmInplaceEdit* Edit) override;
  void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;

protected:
  double FMinValue = 0, FMaxValue = 0;
  bool FMinAssigned = false, FMaxAssigned = false;
};

class TvmInspectorTimeRow : public TvmInspectorRow {
  VM_CLASS(TvmInspectorTimeRow, TvmInspectorRow)
public:
  using TvmInspectorRow::TvmInspectorRow;
  TvmTimeEditFormat TimeEditFormat = tfHourMinSec;
  bool UseCtrlIncrement = true;
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorTimeEdit::StaticClass(); }
  void Assign(TPersistent* Source) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
};

class TvmInspectorCurrencyRow : public TvmInspectorRow {
  VM_CLASS(TvmInspectorCurrencyRow, TvmInspectorRow)
public:
  explicit TvmInspectorCurrencyRow(TComponent* AOwner);
  ~TvmInspectorCurrencyRow() override;
  unsigned DecimalPlaces = 2;
  bool UseThousandSeparator = false;
  bool Nullable = false;
  std::string NullString;
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& Value);
  // Unassigned limits are the class's defaults (a field-bound row takes them from its field).
  double MinValue() const { return FMinAssigned ? FMinValue : GetDefaultMinValue(); }
  void SetMinValue(double Value);
  double MaxValue() const { return FMaxAssigned ? FMaxValue : GetDefaultMaxValue(); }
  void SetMaxValue(double Value);
  virtual double GetDefaultMinValue() const { return 0; }
  virtual double GetDefaultMaxValue() const { return 0; }
  bool DisplayFormatStored() const { return FDisplayFormatAssigned; }
  bool MinValueStored() const { return FMinAssigned && FMinValue != GetDefaultMinValue(); }
  bool MaxValueStored() const { return FMaxAssigned && FMaxValue != GetDefaultMaxValue(); }
  // The locale's settings changed: a display format never assigned becomes the new default.
  void WinIniChanged();
  // Null (an empty variant) for an empty value text, else the text as a number; a text that is
  // no number stays a string.
  virtual Variant GetCurrencyValue();

  TvmInplaceEditClass GetEditClass() override { return TvmInspectorCurrencyEdit::StaticClass(); }
  void InitEditor(TvmInplaceEdit* Edit) override;
  void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;

protected:
  std::string FDisplayFormat;
  bool FDisplayFormatAssigned = false;
  double FMinValue = 0, FMaxValue = 0;
  bool FMinAssigned = false, FMaxAssigned = false;
  int FLocaleHandler = 0;
};

class TvmInspectorHyperLinkRow : public TvmInspectorRow {
  VM_CLASS(TvmInspectorHyperLinkRow, TvmInspectorRow)
public:
  using TvmInspectorRow::TvmInspectorRow;
  TColor EditBackgroundColor = clWhite;
  TColor EditFontColor = clBlue;
  bool SingleClick = false;
  uint16_t StartKey = 16397;
  TNotifyEvent OnStartClick;
  virtual void DoStartClick() {
    if (OnStartClick) OnStartClick(this);
  }
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorHyperLinkEdit::StaticClass(); }
  void Assign(TPersistent* Source) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
  void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo) override;
};

class TvmInspectorMemoRow : public TvmInspectorRow {
  VM_CLASS(TvmInspectorMemoRow, TvmInspectorRow)
public:
  using TvmInspectorRow::TvmInspectorRow;
  bool HideScrollBars = true;
  TScrollStyle ScrollBars = ssNone;
  bool SelectionBar = false;
  bool WantReturns = true;
  bool WantTabs = false;
  bool WordWrap = true;
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorMemoEdit::StaticClass(); }
  void Assign(TPersistent* Source) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
  void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo) override;
};

// ---------------------------------------------------------------------------------------------
// Rows with a drop-down button.

class TvmInspectorDropDownRow : public TvmInspectorRow {
  VM_CLASS(TvmInspectorDropDownRow, TvmInspectorRow)
public:
  using TvmInspectorRow::TvmInspectorRow;
  ~TvmInspectorDropDownRow() override;
  // The drop-down button's picture (none: the standard arrow). Created empty on first read;
  // assigning nil or an empty bitmap frees it, anything else is copied.
  TBitmap* ButtonGlyph();
  void SetButtonGlyph(TBitmap* Value);
  bool HasButtonGlyph() const { return FButtonGlyph != nullptr; }
  int DropDownRows = 7;
  int DropDownWidth = 0;
  bool ImmediateDropDown = false;
  bool ImmediatePopup = false;
  TAlignment PopupAlignment = taLeftJustify;
  TvmPopupBorder PopupBorder = pbDefault;
  TNotifyEvent OnEditButtonClick;

  virtual void DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) {}
  virtual void DoEditButtonClick() {
    if (OnEditButtonClick) OnEditButtonClick(this);
  }
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorDropDownEdit::StaticClass(); }
  void InitEditor(TvmInplaceEdit* Edit) override;
  void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;

protected:
  std::unique_ptr<TBitmap> FButtonGlyph;
};

class TvmInspectorDateRow : public TvmInspectorDropDownRow {
  VM_CLASS(TvmInspectorDateRow, TvmInspectorDropDownRow)
public:
  using TvmInspectorDropDownRow::TvmInspectorDropDownRow;
  TDateButtons DateButtons = {btnToday, btnClear};
  TDateOnError DateOnError = deToday;
  bool DateValidation = false;
  bool SaveTime = true;
  bool UseEditMask = false;
  TvmDateValidateInput OnDateValidateInput;
  virtual bool IsValueRequired() const { return false; }
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorDateEdit::StaticClass(); }
  void Assign(TPersistent* Source) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
};

class TvmInspectorCalcRow : public TvmInspectorDropDownRow {
  VM_CLASS(TvmInspectorCalcRow, TvmInspectorDropDownRow)
public:
  using TvmInspectorDropDownRow::TvmInspectorDropDownRow;
  bool BeepOnError = true;
  TvmButtonStyle ButtonStyle = bsStandard;
  int Precision = 13;
  bool QuickClose = false;
  bool ShowButtonFrame = false;
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorCalcEdit::StaticClass(); }
  void Assign(TPersistent* Source) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
};

enum TvmEditButtonStyle { ebsSimple, ebsEllipsis, ebsDown, ebsGlyph };

// The buttons of a button row: a change of any button relayouts the row's inspector.
class TvmRowEditButtons : public TvmEditButtons {
  VM_CLASS(TvmRowEditButtons, TvmEditButtons)
public:
  explicit TvmRowEditButtons(TvmInspectorRow* ARow);

protected:
  void Update(TCollectionItem* Item) override;
  TvmInspectorRow* FRow;
};

class TvmInspectorButtonRow : public TvmInspectorDropDownRow {
  VM_CLASS(TvmInspectorButtonRow, TvmInspectorDropDownRow)
public:
  explicit TvmInspectorButtonRow(TComponent* AOwner);
  ~TvmInspectorButtonRow() override;
  TvmEditButtons* Buttons() const { return FButtons.get(); }
  void SetButtons(TvmEditButtons* Value);
  // Copied into the first button's glyph too.
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  TvmEditButtonStyle EditButtonStyle() const { return FEditButtonStyle; }
  void SetEditButtonStyle(TvmEditButtonStyle Value);
  bool ButtonOnly() const { return FButtonOnly; }
  void SetButtonOnly(bool Value);
  bool HideEditCursor() const { return FHideEditCursor; }
  void SetHideEditCursor(bool Value);
  uint16_t ClickKey = 16397;
  TvmEditButtonClickEvent OnButtonClick;
  virtual void DoButtonClick(TObject* Sender, int AbsoluteIndex) {
    if (OnButtonClick) OnButtonClick(this, AbsoluteIndex);
  }
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorButtonEdit::StaticClass(); }
  void Assign(TPersistent* Source) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
  void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo) override;
  void RestoreDefaults() override;

protected:
  std::unique_ptr<TvmRowEditButtons> FButtons;
  std::unique_ptr<TBitmap> FGlyph;
  TvmEditButtonStyle FEditButtonStyle = ebsEllipsis;
  bool FButtonOnly = false;
  bool FHideEditCursor = false;
};

using TvmInspectorPickColumnCloseUp = std::function<void(TObject* Sender, Variant& Value, bool& Accept)>;

class TvmInspectorPickRow : public TvmInspectorDropDownRow {
  VM_CLASS(TvmInspectorPickRow, TvmInspectorDropDownRow)
public:
  explicit TvmInspectorPickRow(TComponent* AOwner);
  TStringList* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value);
  bool DropDownListStyle = false;
  bool CanDeleteText = false;
  bool Revertable = true;
  bool Sorted = false;
  TvmInspectorPickColumnCloseUp OnCloseUp;
  void DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) override;
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorPickEdit::StaticClass(); }
  void Assign(TPersistent* Source) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
  void RestoreDefaults() override;

protected:
  std::unique_ptr<TStringList> FItems = std::make_unique<TStringList>();
};

class TvmInspectorMRURow : public TvmInspectorPickRow {
  VM_CLASS(TvmInspectorMRURow, TvmInspectorPickRow)
public:
  explicit TvmInspectorMRURow(TComponent* AOwner);
  int MaxItemCount = 7;
  bool ShowEllipsis = true;
  TNotifyEvent OnButtonClick;
  virtual void DoButtonClick(TObject* Sender) {
    if (OnButtonClick) OnButtonClick(this);
  }
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorMRUEdit::StaticClass(); }
  void Assign(TPersistent* Source) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void RestoreDefaults() override;
};

using TvmInspectorImageColumnCloseUp = std::function<void(TObject* Sender, std::string& Value, bool& Accept)>;

class TvmInspectorImageRow : public TvmInspectorDropDownRow {
  VM_CLASS(TvmInspectorImageRow, TvmInspectorDropDownRow)
public:
  explicit TvmInspectorImageRow(TComponent* AOwner);
  ~TvmInspectorImageRow() override;
  bool DefaultImages = true;
  bool MultiLineText = false;
  bool ShowDescription = false;
  TStringList* Descriptions() const { return FDescriptions.get(); }
  TStringList* ImageIndexes() const { return FImageIndexes.get(); }
  TStringList* Values() const { return FValues.get(); }
  // References kept valid by free notices; a change of Images relayouts the inspector.
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  TImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TImageList* Value);
  // Another name of DropDownWidth (never stored); writing it does not relayout.
  int ListWidth() const { return DropDownWidth; }
  void SetListWidth(int Value) { DropDownWidth = Value; }
  TvmInspectorImageColumnCloseUp OnCloseUp;
  void DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) override;
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorImageEdit::StaticClass(); }
  void Assign(TPersistent* Source) override;
  void InitEditor(TvmInplaceEdit* Edit) override;
  void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo) override;
  bool IsTextClipped(bool ForValue, const TRect& R, std::string& Text) override;
  int GetMinRowHeight(TCanvas* Canvas) override;
  void RestoreDefaults() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void ImageListChange(TObject* Sender);
  TImageList* FImages = nullptr;
  TImageList* FLargeImages = nullptr;
  std::unique_ptr<TChangeLink> FImagesLink, FLargeImagesLink;
  std::unique_ptr<TStringList> FDescriptions = std::make_unique<TStringList>();
  std::unique_ptr<TStringList> FImageIndexes = std::make_unique<TStringList>();
  std::unique_ptr<TStringList> FValues = std::make_unique<TStringList>();
};

// Blob kinds of a field-bound row (the Text row edits by BlobEditKind).
enum TvmBlobKind { bkAuto, bkBlob, bkMemo, bkPict, bkOle };
using TvmInspectorBlobRowAssignPictureEvent = std::function<void(TObject* Sender, TPicture*& Picture)>;
using TvmInspectorBlobRowGetGraphicClassEvent = std::function<void(TObject* Sender, TGraphicClass& GraphicClass)>;

class TvmInspectorCustomBlobRow : public TvmInspectorDropDownRow {
  VM_CLASS(TvmInspectorCustomBlobRow, TvmInspectorDropDownRow)
public:
  explicit TvmInspectorCustomBlobRow(TComponent* AOwner);
  bool AlwaysSaveText = false;
  TvmBlobEditKind BlobEditKind = bekMemo;
  TvmBlobKind BlobKind() const { return FBlobKind; }
  void SetBlobKind(TvmBlobKind Value);
  TvmBlobPaintStyle BlobPaintStyle = bpsIcon;
  int MaxDisplayLength = 255;
  TEditCharCase MemoCharCase = ecNormal;
  bool MemoHideScrollBars = true;
  int MemoMaxLength = 0;
  bool MemoOEMConvert = false;
  TScrollStyle MemoScrollBars = ssBoth;
  bool MemoSelectionBar = false;
  bool MemoWantReturns = true;
  bool MemoWantTabs = true;
  bool MemoWordWrap = true;
  bool PictureAutoSize = true;
  std::string PictureFilter;
  TvmGraphicEditTransparency PictureTransparency = gtDefault;
  int PopupWidth = 200, PopupHeight = 140;
  bool ShowExPopupItems = false;
  bool ShowPicturePopup = false;
  bool SizeablePopup = true;
  TvmInspectorBlobRowAssignPictureEvent OnAssignPicture;
  TvmInspectorBlobRowGetGraphicClassEvent OnGetGraphicClass;

  virtual void DoAssignPicture(TObject* Sender, TPicture*& Picture);
  virtual void DoGetGraphicClass(TObject* Sender, TGraphicClass& GraphicClass);
  virtual void SavePopupSize(TObject* Sender);
  virtual void GetBlobValue(Variant& Value);
  virtual TvmBlobEditKind GetBlobEditKind() { return BlobEditKind; }
  virtual void GetBlobDisplayText(std::string& Text) { GetDisplayText(Text); }
  virtual TGraphicClass GetGraphicClass();

  TvmInplaceEditClass GetEditClass() override { return TvmInspectorBlobEdit::StaticClass(); }
  void InitEditor(TvmInplaceEdit* Edit) override;
  void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;

protected:
  TvmBlobKind FBlobKind = bkAuto;
  TClipboardFormat FPictureClipboardFormat;
  TGraphicClass FPictureGraphicClass = nullptr;
};

class TvmInspectorPopupRow : public TvmInspectorDropDownRow {
  VM_CLASS(TvmInspectorPopupRow, TvmInspectorDropDownRow)
public:
  explicit TvmInspectorPopupRow(TComponent* AOwner);
  bool HideEditCursor = false;
  bool PopupAutoSize = true;
  TvmPopupEditFormBorderStyle PopupFormBorderStyle = pbsDialog;
  std::string PopupFormCaption;
  bool PopupFormClientEdge = false;
  bool PopupFormFlatBorder = true;
  bool PopupFormSizeable = true;
  int PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int Value) { FPopupHeight = std::max(Value, FPopupMinHeight); }
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int Value) { FPopupWidth = std::max(Value, FPopupMinWidth); }
  int PopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(int Value);
  int PopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(int Value);
  TControl* PopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* Value);

  TvmPopupEditCloseQueryEvent OnCloseQuery;
  TvmPopupEditCloseUpEvent OnCloseUp;
  TNotifyEvent OnInitPopup;
  TvmPopupEditPopupEvent OnPopup;

  virtual void DoCloseQuery(TObject* Sender, bool& CanClose) {
    if (OnCloseQuery) OnCloseQuery(this, CanClose);
  }
  virtual void DoCloseUp(TObject* Sender, std::string& Text, bool& Accept) {
    if (OnCloseUp) OnCloseUp(this, Text, Accept);
  }
  virtual void DoInitPopup(TObject* Sender) {
    if (OnInitPopup) OnInitPopup(this);
  }
  virtual void DoPopup(TObject* Sender, const std::string& EditText) {
    if (OnPopup) OnPopup(this, EditText);
  }
  using TvmInspectorDropDownRow::DoCloseUp;

  TvmInplaceEditClass GetEditClass() override { return TvmInspectorPopupEdit::StaticClass(); }
  void InitEditor(TvmInplaceEdit* Edit) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  int FPopupHeight = 200, FPopupWidth = 250, FPopupMinHeight = 100, FPopupMinWidth = 100;
  TControl* FPopupControl = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The graphic row: its value text is a picture's bytes.

class TvmInspectorGraphicRow : public TvmInspectorRow {
  VM_CLASS(TvmInspectorGraphicRow, TvmInspectorRow)
public:
  explicit TvmInspectorGraphicRow(TComponent* AOwner);
  ~TvmInspectorGraphicRow() override;
  bool Center = true;
  std::string CustomFilter;
  bool CustomGraphic = false;
  bool DblClickActivate = true;
  TvmGraphicEditTransparency GraphicTransparency = gtDefault;
  TvmPopupToolBarWindow* PopupToolBar() const { return FPopupToolBar.get(); }
  void SetPopupToolBar(TvmPopupToolBarWindow* Value) { FPopupToolBar->Assign(Value); }
  bool PopupToolbarPosStored() const { return FPopupToolbarPosStored; }
  void SetPopupToolbarPosStored(bool Value);
  bool QuickDraw = false;
  bool Stretch = true;
  TPoint ToolbarPos() const { return FToolbarPos; }
  TPicture* CellPicture() const { return FCellPicture.get(); }
  TvmGraphicEditAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TvmGraphicEditGetGraphicClassEvent OnGetGraphicClass;

  virtual void DoAssignPicture(TObject* Sender, TPicture*& Picture);
  virtual void DoCustomClick();
  virtual void DoGetGraphicClass(TObject* Sender, TGraphicClass& GraphicClass);
  virtual TGraphicClass GetGraphicClass();
  virtual Variant GetPictureValue();
  // Reads the value into the cell picture (a value that is no picture leaves it empty).
  void LoadCellPicture();

  TvmInplaceEditClass GetEditClass() override { return TvmInspectorGraphicEdit::StaticClass(); }
  void InitEditor(TvmInplaceEdit* Edit) override;
  void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void InitViewData(TvmEditViewData* ViewData, TvmInspectorCellViewData& CellInfo) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;

protected:
  std::unique_ptr<TPicture> FCellPicture;
  std::unique_ptr<TvmPopupToolBarWindow> FPopupToolBar;
  bool FPopupToolbarPosStored = true;
  TClipboardFormat FClipboardFormat;
  TPoint FToolbarPos = TPoint(TvmInplaceGraphicEdit::NoPosition, TvmInplaceGraphicEdit::NoPosition);
};

VM_INSPECTOR_TEXT_ROW(TvmInspectorTextMaskRow, TvmInspectorMaskRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextCheckRow, TvmInspectorCheckRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextTimeRow, TvmInspectorTimeRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextCurrencyRow, TvmInspectorCurrencyRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextHyperLinkRow, TvmInspectorHyperLinkRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextMemoRow, TvmInspectorMemoRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextDateRow, TvmInspectorDateRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextCalcRow, TvmInspectorCalcRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextButtonRow, TvmInspectorButtonRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextPickRow, TvmInspectorPickRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextMRURow, TvmInspectorMRURow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextImageRow, TvmInspectorImageRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextBlobRow, TvmInspectorCustomBlobRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextPopupRow, TvmInspectorPopupRow)
VM_INSPECTOR_TEXT_ROW(TvmInspectorTextGraphicRow, TvmInspectorGraphicRow)

class TvmInspectorTextSpinRow : public TvmInspectorSpinRow {
  VM_CLASS(TvmInspectorTextSpinRow, TvmInspectorSpinRow)
public:
  using TvmInspectorSpinRow::TvmInspectorSpinRow;
  TvmValueType ValueType = vtInt;
  TvmValueType GetValueType() const override { return ValueType; }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) {
    FText = Value;
    Changed();
  }
  void GetDisplayText(std::string& S) override { S = FText; }
  void GetEditText(std::string& S) override { S = FText; }
  void SetEditText(const std::string& S) override {
    if (S == FText) return;
    FText = S;
    Changed();
  }

protected:
  std::string FText;
};

// Loads the check rows' default texts and registers the Text row classes (start-up; idempotent).
void RegisterInspectorTextRows();
