// The image editor: one of a list of values, each shown as an image with an optional
// description, picked from a popup list of images.
#pragma once

#include <memory>

#include "inspector/vm_dropdown.h"

class TImageList;

// The popup list with an image per item (the item's image index in ImageIndexes, -2 for none).
class TvmPopupImageListBox : public TvmPopupListBox {
  VM_CLASS(TvmPopupImageListBox, TvmPopupListBox)
public:
  explicit TvmPopupImageListBox(TComponent* AOwner);
  TImageList* Images = nullptr;
  std::vector<int> ImageIndexes;
  bool MultiLineText = false;
  int ImageItemHeight();
  int RowHeight() override { return ImageItemHeight(); }

protected:
  void PaintClient() override;
};

class TvmImageEditViewData : public TvmDropDownEditViewData {
public:
  bool DefaultImages = true;
  TStrings* Descriptions = nullptr;
  TStrings* ImageIndexes = nullptr;
  TImageList* Images = nullptr;
  bool ShowDescription = true;
  TStrings* Values = nullptr;
};

class TvmInplaceImageEdit : public TvmInplaceDropDownEdit {
  VM_CLASS(TvmInplaceImageEdit, TvmInplaceDropDownEdit)
public:
  explicit TvmInplaceImageEdit(TComponent* AOwner);
  TStringList* Values() const { return FValues.get(); }
  TStringList* Descriptions() const { return FDescriptions.get(); }
  TStringList* ImageIndexes() const { return FImageIndexes.get(); }
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  TImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TImageList* Value);
  bool DefaultImages() const { return FDefaultImages; }
  void SetDefaultImages(bool Value) {
    FDefaultImages = Value;
    Invalidate();
  }
  bool ShowDescription() const { return FShowDescription; }
  void SetShowDescription(bool Value) {
    FShowDescription = Value;
    Invalidate();
  }
  bool MultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool Value) {
    FMultiLineText = Value;
    StyleChanged();
  }
  TvmPopupImageListBox* PopupList() const { return FList; }

  virtual void SelectValueText(const std::string& Text);
  static void FindImageItem(const std::string& Text, TStrings* ImageIndexes, bool DefaultImages, TStrings* Values,
                            TStrings* Descriptions, int& DescriptionIndex, int& ImageIndex);

  bool CanEditText() const override { return false; }
  bool CanRestoreText() const override { return true; }
  void CloseUp(bool Accept) override;
  void StepValue(int Delta, bool Cycle) override;
  void DropDown() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  static TvmEditViewData* NewViewData() { return new TvmImageEditViewData(); }
  static bool DrawContent(TvmInplaceEditClass Self, TCanvas* DC, const TRect& R, TvmEditViewData* VD,
                          bool IsLiveWindow);

protected:
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void FillImageList();

  std::unique_ptr<TStringList> FValues, FDescriptions, FImageIndexes;
  TImageList* FImages = nullptr;
  TImageList* FLargeImages = nullptr;
  bool FDefaultImages = true;
  bool FShowDescription = true;
  bool FMultiLineText = false;
  TvmPopupImageListBox* FList = nullptr;
};
