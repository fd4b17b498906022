// Panels, bevels, images and radio groups.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/stdctrls.h"

class TPicture;

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

// Draws a three-dimensional frame of Width pixels just inside R and shrinks R by it.
void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width);

// A container with bevels and a caption. The client area lies inside the border and bevels,
// so aligned children keep clear of them.
class TCustomPanel : public TCustomControl {
  VM_CLASS(TCustomPanel, TCustomControl)
public:
  explicit TCustomPanel(TComponent* AOwner);

  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TRect ClientRect() const override;

protected:
  void Paint() override;
  void TextChanged() override { Invalidate(); }

private:
  void BordersChanged();
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
  VM_CLASS(TPanel, TCustomPanel)
public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// A lowered or raised box, frame or line.
class TBevel : public TGraphicControl {
  VM_CLASS(TBevel, TGraphicControl)
public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

protected:
  void Paint() override;

private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// Shows a picture: at the top left, centred, stretched, or stretched keeping its proportions.
class TImage : public TGraphicControl {
  VM_CLASS(TImage, TGraphicControl)
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  // With Stretch, the picture keeps its proportions; it also shrinks (never grows) without it.
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  // The rectangle the picture is drawn into.
  TRect DestRect() const;

protected:
  void Paint() override;

private:
  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false;
  bool FCenter = false;
  bool FProportional = false;
};

// A group box of radio buttons made from Items, laid out in Columns.
class TRadioGroup : public TGroupBox {
  VM_CLASS(TRadioGroup, TGroupBox)
public:
  explicit TRadioGroup(TComponent* AOwner);
  ~TRadioGroup() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(*Value); }
  // -1: none checked.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  // The button of an item (null when out of range).
  TRadioButton* Buttons(int Index) const;

protected:
  void Resize() override;
  void Loaded() override;

private:
  void UpdateButtons();
  void ArrangeButtons();
  void ButtonClicked(int Index);
  std::unique_ptr<TStringList> FItems;
  std::vector<TRadioButton*> FButtons;
  int FItemIndex = -1;
  int FColumns = 1;
  bool FUpdating = false;
};
