// The editor forms of the bar family: the bar editor with its "Stack" sub-editor, the bar-join and
// image-bar editors, and the error-series editor, which adds the whole bar editor as a tab for an
// error-bar series.
#pragma once

#include "chart/editor/series_editor_kit.h"
#include "platform/forms.h"

class TButtonColor;
class TButtonPen;
class TCustomBarSeries;
class TCustomErrorSeries;
class TImageBarSeries;
class TImage;

class TStackBarSeriesEditor;

class TBarSeriesEditor : public TForm {
  VM_CLASS(TBarSeriesEditor, TForm)
public:
  explicit TBarSeriesEditor(TComponent* AOwner);

  TCustomBarSeries* Series = nullptr;
  TStackBarSeriesEditor* StackForm = nullptr;
  bool Loading = true;

  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;  // "Format"
  TTabSheet* TabSheet2 = nullptr;  // "Size"
  TLabel* LStyle = nullptr;
  TComboBox* CBBarStyle = nullptr;
  TButtonPen* BBarPen = nullptr;
  TButton* BBarBrush = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TButtonColor* BBarColor = nullptr;
  TButton* BGradient = nullptr;
  TButtonPen* BTickLines = nullptr;
  sekit::TIntField Bevel;  // LBevel, EBevel, UDBevel
  TCheckBox* CBDarkBar = nullptr;
  sekit::TIntField BarWidth;   // SEBarwidth, UDBarWidth
  sekit::TIntField BarOffset;  // SEBarOffset, UDBarOffset
  sekit::TIntField Depth;      // Edit1, UDDepth
  TCheckBox* CBBarSideMargins = nullptr;
  TCheckBox* CBMarksAutoPosition = nullptr;

  void FormShow();
  void BGradientClick();

protected:
  void ApplyStyleRule();
  void ApplyColorRule();
};

// The "Stack" tab of the bar editor.
class TStackBarSeriesEditor : public TForm {
  VM_CLASS(TStackBarSeriesEditor, TForm)
public:
  explicit TStackBarSeriesEditor(TComponent* AOwner);

  TCustomBarSeries* Series = nullptr;
  bool Loading = true;

  TRadioGroup* RGMultiBar = nullptr;
  sekit::TIntField Group;  // LGroup, EGroup, UDGroup
  TCheckBox* CBYOrigin = nullptr;
  TEdit* EYOrigin = nullptr;

  void FormShow();

private:
  void ApplyGroupRule();
};

class TBarJoinEditor : public TBarSeriesEditor {
  VM_CLASS(TBarJoinEditor, TBarSeriesEditor)
public:
  explicit TBarJoinEditor(TComponent* AOwner);
  TButtonPen* BJoin = nullptr;
};

class TImageBarSeriesEditor : public TForm {
  VM_CLASS(TImageBarSeriesEditor, TForm)
public:
  explicit TImageBarSeriesEditor(TComponent* AOwner);

  TImageBarSeries* Series = nullptr;
  TBarSeriesEditor* BarForm = nullptr;

  TImage* Image1 = nullptr;
  TCheckBox* CBTiled = nullptr;
  TButton* BBrowse = nullptr;

  void FormShow();
  void BBrowseClick();

private:
  void ApplyPictureRule();
};

class TErrorSeriesEditor : public TForm {
  VM_CLASS(TErrorSeriesEditor, TForm)
public:
  explicit TErrorSeriesEditor(TComponent* AOwner);

  TCustomErrorSeries* Series = nullptr;
  TBarSeriesEditor* BarForm = nullptr;

  sekit::TIntField ErrorWidth;  // SEBarwidth, UDBarWidth
  TRadioGroup* RGWidthUnit = nullptr;
  TRadioGroup* RGStyle = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TButtonPen* BPen = nullptr;

  void FormShow();
};

void RegisterBarEditorForms();
