// The navigator bar of charts: nine small flat buttons (first, prior, next, last, insert, delete,
// edit, post, cancel) with keyboard focus, auto-repeat while held, and a chart it follows. The
// chart grid's navigator and the page navigator of the print preview and the chart editor derive
// from it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "chart/engine/graph_panel.h"
#include "platform/forms.h"

class TStringList;
class TStrings;
class TTimer;

enum TGraphNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel };
constexpr int GraphNavButtonCount = 9;

class TCustomGraphNavigator;

// One flat button of the bar; it repeats its click while held.
class TGraphNavButton : public TCustomControl {
  VM_CLASS(TGraphNavButton, TCustomControl)
public:
  explicit TGraphNavButton(TComponent* AOwner);
  ~TGraphNavButton() override;
  TGraphNavigateBtn Index = nbFirst;
  // Made on the first press, owned by the button.
  TTimer* RepeatTimer = nullptr;
  bool Down() const { return FDown; }
  TCustomGraphNavigator* Navigator() const;
  void Click() override { TCustomControl::Click(); }

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void TimerExpired();
  bool FDown = false;
};

class TCustomGraphNavigator : public TCustomPanelNoCaption, public IChartEventListener {
  VM_CLASS(TCustomGraphNavigator, TCustomPanelNoCaption)
public:
  explicit TCustomGraphNavigator(TComponent* AOwner);
  ~TCustomGraphNavigator() override;

  TGraphNavButton* Buttons[GraphNavButtonCount] = {};
  int FocusedButton = 0;
  int ButtonWidth = 0;
  static constexpr int MinButtonWidth = 20, MinButtonHeight = 18;
  // Custom hints, one line per button; changing them re-applies the hints.
  TStrings* Hints() const;
  void SetHints(TStrings* Value);

  TCustomGraphPanel* Panel() const { return FPanel; }
  virtual void CreateButtons();
  virtual void DoChartEvent(TGraphEvent* /*Event*/) {}
  // Follows the panel's events and its destruction (none: detached), then enables the buttons.
  virtual void SetPanel(TCustomGraphPanel* Value);
  virtual void EnableButtons() {}
  virtual int32_t PageCount() { return 1; }
  virtual void Print() {}
  virtual void BtnClick(TGraphNavigateBtn Button);

  int32_t HelpContext() const { return FHelpContext; }
  void SetHelpContext(int32_t Value) { FHelpContext = Value; }
  // Places the visible buttons across the bar.
  void CalcButtonLayout();
  void ChartEvent(TGraphEvent* Event) override;

  std::function<void(TCustomGraphNavigator* Sender, TGraphNavigateBtn Button)> OnButtonClicked;
  // After the navigator moved its panel to another page.
  TNotifyEvent OnPageChange;

  // A button was pressed: it becomes the focused one (tests and the buttons).
  void ButtonPressed(TGraphNavButton* Button);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Resize() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void EnabledChanged() override;
  void Loaded() override;
  void PageChanged();
  void ApplyHints();

private:
  TCustomGraphPanel* FPanel = nullptr;
  int32_t FHelpContext = 0;
  std::unique_ptr<TStringList> FHints;
};

// Default hints of the buttons (engine texts).
std::string GraphNavHint(TGraphNavigateBtn Button);
