// A tool-bar style button without a window: glyph and caption with a layout, latching alone or
// in a group, flat look, click repeat while held, and a drop-down menu with a marker.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/vx_glyph.h"
#include "platform/controls.h"

class TAction;
class TActionLink;
class TBitmap;
class TPopupMenu;
class TTimer;

enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum TVxDropDownMenuPos { dmpBottom, dmpRight };

class TVxSpeedButton : public TGraphicControl {
  VM_CLASS(TVxSpeedButton, TGraphicControl)
public:
  explicit TVxSpeedButton(TComponent* AOwner);
  ~TVxSpeedButton() override;

  int32_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int32_t Value);
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  TButtonStyle Style() const { return FStyle; }
  void SetStyle(TButtonStyle Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool FlatStandard() const { return FFlatStandard; }
  void SetFlatStandard(bool Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t Value);
  int32_t Margin() const { return FMargin; }
  // Values below -1 are refused.
  void SetMargin(int32_t Value);
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool MarkDropDown() const { return FMarkDropDown; }
  void SetMarkDropDown(bool Value);
  TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* Value);
  TVxDropDownMenuPos MenuPosition() const { return FMenuPosition; }
  void SetMenuPosition(TVxDropDownMenuPos Value) { FMenuPosition = Value; }
  bool GrayedInactive() const { return FGrayedInactive; }
  void SetGrayedInactive(bool Value);
  bool AllowTimer() const { return FAllowTimer; }
  void SetAllowTimer(bool Value);
  uint16_t InitPause() const { return FInitPause; }
  void SetInitPause(uint16_t Value) { FInitPause = Value; }
  uint16_t RepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(uint16_t Value) { FRepeatInterval = Value; }

  TBitmap* Glyph() const { return FGlyph->Glyph(); }
  void SetGlyph(TBitmap* Value);
  TVxNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
  // Values above 5 become 5; 0 is ignored.
  void SetNumGlyphs(TVxNumGlyphs Value);
  TAlignment Alignment() const { return FGlyph->Alignment(); }
  void SetAlignment(TAlignment Value);
  bool WordWrap() const { return FGlyph->WordWrap(); }
  void SetWordWrap(bool Value);
  TVxButtonGlyph* ButtonGlyph() const { return FGlyph.get(); }

  TVxButtonState State() const { return FState; }
  bool MouseInside() const { return FMouseInside; }
  // The point (client coordinates) at which the drop-down menu opens.
  TPoint DropDownMenuPoint() const;
  // Shows the drop-down menu at the client point; false when it was not shown.
  bool ShowDropDownMenu(TPoint P, bool Manual);
  // The repeat timer, or null before the first press with AllowTimer.
  TTimer* RepeatTimer() const { return FRepeatTimer; }
  // The system colours changed: prepared images are dropped.
  void SysColorChange();

  // The linked action: caption, hint, enabled and visible follow it, and Down its check when
  // the button is grouped; an empty glyph takes the action's image.
  TAction* Action() const;
  void SetAction(TAction* Value);

  void Click() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  virtual void DrawFace(TCanvas* Canvas, const TRect& Client, bool PopupMark, TVxButtonState State);
  virtual void FireMouseEnter();
  virtual void FireMouseLeave();
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void EnabledChanged() override;
  void TextChanged() override;
  void FontChanged() override;

  TVxButtonState FState = rbsUp;

private:
  bool Inside(int X, int Y) const { return X >= 0 && X < Width() && Y >= 0 && Y <= Height(); }
  void FinishPress(TMouseButton Button, TShiftState Shift, int X, int Y);
  void RepeatTick(TObject* Sender);
  void UpdateExclusive();
  void ButtonPressed(TVxSpeedButton* Sender, int32_t GroupIndex);
  void UpdateMouseInside();
  void PrepareLook();
  void ActionChange(TAction* Sender, bool CheckDefaults);

  int32_t FGroupIndex = 0;
  TButtonStyle FStyle = bsAutoDetect;
  std::unique_ptr<TVxButtonGlyph> FGlyph;
  std::unique_ptr<TBitmap> FDrawImage;
  bool FDown = false;
  bool FDragging = false;
  bool FFlat = false;
  bool FMouseInside = false;
  bool FAllowAllUp = false;
  TButtonLayout FLayout = blGlyphTop;
  int32_t FSpacing = 1;
  int32_t FMargin = -1;
  int FModalResult = 0;
  bool FTransparent = false;
  bool FMarkDropDown = true;
  TPopupMenu* FDropDownMenu = nullptr;
  TVxDropDownMenuPos FMenuPosition = dmpBottom;
  bool FGrayedInactive = true;
  bool FMenuTracking = false;
  bool FDiscardNextPress = false;
  bool FMenuVisible = false;  // inside the menu's popup call
  TTimer* FRepeatTimer = nullptr;
  bool FAllowTimer = false;
  uint16_t FInitPause = 500;
  uint16_t FRepeatInterval = 100;
  bool FFlatStandard = false;
  std::unique_ptr<TActionLink> FActionLink;
};

// Draws the button frame rings and returns the content rectangle.
TRect DrawButtonFrame(TCanvas* Canvas, const TRect& Client, bool IsDown, bool IsFlat, TButtonStyle Style);
