// Progress bar and page control with tab sheets; both draw themselves.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls.h"

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TCustomControl {
  VM_CLASS(TProgressBar, TCustomControl)
public:
  explicit TProgressBar(TComponent* AOwner);
  int Min() const { return FMin; }
  // Min above Max raises EInvalidOperation; Position is kept inside [Min, Max].
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  int Step() const { return FStep; }
  void SetStep(int Value) { FStep = Value; }
  TProgressBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TProgressBarOrientation Value);
  // Moves by Step (or Delta); past Max it starts again from Min.
  void StepIt();
  void StepBy(int Delta);
  // The filled part of the client area.
  TRect BarRect() const;

protected:
  void Paint() override;
  void Loaded() override;

private:
  int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
  TProgressBarOrientation FOrientation = pbHorizontal;
};

enum TTrackBarOrientation { trHorizontal, trVertical };

// A slider: a thumb moved by mouse or keys along [Min, Max].
class TTrackBar : public TCustomControl {
  VM_CLASS(TTrackBar, TCustomControl)
public:
  explicit TTrackBar(TComponent* AOwner);
  int Min() const { return FMin; }
  void SetMin(int Value) { SetParams(FPosition, Value, std::max(Value, FMax)); }
  int Max() const { return FMax; }
  void SetMax(int Value) { SetParams(FPosition, std::min(FMin, Value), Value); }
  int Position() const { return FPosition; }
  void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
  // Position is kept inside [Min, Max]; OnChange runs when it moves.
  void SetParams(int APosition, int AMin, int AMax);
  int Frequency() const { return FFrequency; }
  void SetFrequency(int Value);
  int LineSize() const { return FLineSize; }
  void SetLineSize(int Value) { FLineSize = std::max(1, Value); }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value) { FPageSize = std::max(1, Value); }
  TTrackBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TTrackBarOrientation Value);
  // The thumb's centre along the track for a position, and the position nearest a point.
  int PositionToPixel(int APosition) const;
  int PixelToPosition(int Pixel) const;

  TNotifyEvent OnChange;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void Loaded() override;

private:
  int TrackLength() const;
  int FMin = 0, FMax = 10, FPosition = 0, FFrequency = 1, FLineSize = 1, FPageSize = 2;
  TTrackBarOrientation FOrientation = trHorizontal;
  bool FDragging = false;
};

class TPageControl;

// One page of a page control; its children show while it is the active page.
class TTabSheet : public TWinControl {
  VM_CLASS(TTabSheet, TWinControl)
public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  // The sheet's place among all the control's pages.
  int PageIndex() const;
  void SetPageIndex(int Value);
  // A hidden tab keeps its page but shows no tab and cannot be active.
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  // Index among the visible tabs, or -1.
  int TabIndex() const;

  void SetParentComponent(TComponent* Value) override;

protected:
  void TextChanged() override;

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TCustomControl {
  VM_CLASS(TPageControl, TCustomControl)
public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(FPages.size()); }
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TTabSheet* Pages(int Index) const;
  TTabSheet* ActivePage() const { return FActivePage; }
  // A sheet of another control or with a hidden tab is refused (EInvalidOperation).
  void SetActivePage(TTabSheet* Value);
  // Index of the active page among the visible tabs; -1 for none.
  int TabIndex() const;
  void SetTabIndex(int Value);
  int ActivePageIndex() const;
  void SetActivePageIndex(int Value);
  // The next (or previous) visible page after Current, wrapping round.
  TTabSheet* FindNextPage(TTabSheet* Current, bool GoForward, bool CheckTabVisible = true) const;
  void SelectNextPage(bool GoForward);
  // The tab under a client point, as an index among the visible tabs, or -1.
  int IndexOfTabAt(int X, int Y) const;
  TRect TabRect(int TabIndex) const;
  int TabHeight() const { return FTabHeight; }
  TRect ClientRect() const override;

  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  bool DialogKey(uint16_t Key, TShiftState Shift) override;
  bool DialogChar(char Key) override;
  void Loaded() override;
  void AlignControls(TRect& R) override;
  virtual bool CanChange();
  virtual void Change();

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void ShowActive();
  void ChangeActivePage(TTabSheet* Page);  // as the user: asks OnChanging, runs OnChange
  std::vector<TTabSheet*> VisibleTabs() const;
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
  int FTabHeight = 22;
};
