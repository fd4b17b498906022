// Small builders the tool and function editor forms lay out their controls with: each control
// gets the name and caption its form gives it; up-downs sit right of their edit and show their
// position in it.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "chart/editor/page_kit.h"
#include "chart/engine/editor_controls.h"
#include "platform/exceptions.h"
#include "platform/sysutils.h"

namespace formkit {

inline TLabel* Lbl(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                   TWinControl* Focus, int W = 96) {
  auto* l = edkit::Make<TLabel>(Owner, Parent, Name, Caption, X, Y + 3, W, 16);
  if (Focus) l->SetFocusControl(Focus);
  return l;
}

inline TEdit* Ed(TComponent* Owner, TWinControl* Parent, const char* Name, int X, int Y, int W = 50) {
  return edkit::Make<TEdit>(Owner, Parent, Name, "", X, Y, W, 22);
}

// An up-down right of Edit, bound to it.
inline TUpDown* UD(TComponent* Owner, TWinControl* Parent, const char* Name, TEdit* Edit, int Min, int Max,
                   int Step = 1) {
  auto* u = edkit::Make<TUpDown>(Owner, Parent, Name, "", Edit->Left() + Edit->Width(), Edit->Top(), 17, 22);
  u->SetMin(Min);
  u->SetMax(Max);
  u->SetIncrement(Step);
  u->SetAssociate(Edit);
  return u;
}

inline TComboFlat* Cmb(TComponent* Owner, TWinControl* Parent, const char* Name, int X, int Y, int W,
                       std::initializer_list<const char*> Items) {
  auto* c = edkit::Make<TComboFlat>(Owner, Parent, Name, "", X, Y, W, 22);
  c->SetStyle(csDropDownList);
  for (const char* i : Items) c->Items()->Add(i);
  return c;
}

inline TCheckBox* Chk(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X,
                      int Y, int W = 150) {
  return edkit::Make<TCheckBox>(Owner, Parent, Name, Caption, X, Y, W, 20);
}

template <class T = TButton>
T* Btn(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y, int W = 90) {
  return edkit::Make<T>(Owner, Parent, Name, Caption, X, Y, W, 25);
}

// An up-down holds 16-bit positions: a value outside them cannot be shown and is refused.
inline void LoadPosition(TUpDown* UpDown, int64_t Value) {
  if (Value < -32768 || Value > 32767) throw ERangeError("Range check error");
  UpDown->SetPosition(static_cast<int>(Value));
}

// The number typed into Edit, or Current when the text is not one.
inline double NumberOr(TEdit* Edit, double Current) { return StrToFloatDef(Edit->Text(), Current); }

// The position an edit's text asks of its up-down, or the up-down's own when the text is not a
// number inside its range.
inline int TypedPosition(TEdit* Edit, TUpDown* UpDown) {
  int v = 0;
  if (!TryStrToInt(Edit->Text(), v) || v < UpDown->Min() || v > UpDown->Max()) return UpDown->Position();
  return v;
}

// Adds Handler to what Edit already runs on a change (an up-down follows its edit that way).
inline void AlsoOnChange(TEdit* Edit, TNotifyEvent Handler) {
  TNotifyEvent previous = Edit->OnChange;
  Edit->OnChange = [previous, Handler](TObject* Sender) {
    if (previous) previous(Sender);
    Handler(Sender);
  };
}

// Runs Handler with the number typed into Edit when it is an integer inside UpDown's range; other
// texts leave the value as it was. The up-down keeps following the edit.
inline void WhenTyped(TEdit* Edit, TUpDown* UpDown, std::function<void(int)> Handler) {
  TNotifyEvent previous = Edit->OnChange;
  Edit->OnChange = [Edit, UpDown, previous, Handler](TObject* Sender) {
    if (previous) previous(Sender);
    int v = 0;
    if (TryStrToInt(Edit->Text(), v) && v >= UpDown->Min() && v <= UpDown->Max()) Handler(v);
  };
}

}  // namespace formkit
