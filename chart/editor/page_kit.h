// Small helpers the editor pages share to lay out their controls in code.
#pragma once

#include <functional>
#include <string>

#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

namespace edkit {

template <class T>
T* Make(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y, int W,
        int H) {
  auto* c = new T(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  if (!Caption.empty()) c->SetCaption(Caption);
  c->SetBounds(X, Y, W, H);
  return c;
}

inline TCheckBox* Check(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X,
                        int Y, std::function<void(bool)> OnClick, int W = 150) {
  auto* c = Make<TCheckBox>(Owner, Parent, Name, Caption, X, Y, W, 20);
  c->OnClick = [c, OnClick](TObject*) { OnClick(c->Checked()); };
  return c;
}

// A labelled number edit with its up-down; OnValue runs when the typed or stepped number changes.
struct TSpin {
  TEdit* Edit = nullptr;
  TUpDown* UpDown = nullptr;
  int Value() const { return UpDown->Position(); }
  void Set(int V) { UpDown->SetPosition(V); }
};

inline TSpin Spin(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                  int Min, int Max, std::function<void(int)> OnValue, int LabelWidth = 90, int Step = 1) {
  TSpin s;
  auto* l = Make<TLabel>(Owner, Parent, (std::string("L") + Name).c_str(), Caption, X, Y + 3, LabelWidth, 16);
  s.Edit = Make<TEdit>(Owner, Parent, (std::string("E") + Name).c_str(), "", X + LabelWidth, Y, 50, 22);
  s.UpDown = Make<TUpDown>(Owner, Parent, (std::string("UD") + Name).c_str(), "", X + LabelWidth + 50, Y, 17, 22);
  s.UpDown->SetMin(Min);
  s.UpDown->SetMax(Max);
  s.UpDown->SetIncrement(Step);
  s.UpDown->SetAssociate(s.Edit);
  l->SetFocusControl(s.Edit);
  TEdit* e = s.Edit;
  TUpDown* u = s.UpDown;
  e->OnChange = [e, u, OnValue](TObject*) {
    const int v = StrToIntDef(e->Text(), u->Position());
    if (v >= u->Min() && v <= u->Max()) OnValue(v);
  };
  return s;
}

inline TComboBox* Combo(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X,
                        int Y, std::initializer_list<const char*> Items, std::function<void(int)> OnPick,
                        int LabelWidth = 90, int W = 120) {
  auto* l = Make<TLabel>(Owner, Parent, (std::string("L") + Name).c_str(), Caption, X, Y + 3, LabelWidth, 16);
  auto* c = Make<TComboBox>(Owner, Parent, Name, "", X + LabelWidth, Y, W, 22);
  c->SetStyle(csDropDownList);
  for (const char* i : Items) c->Items()->Add(i);
  l->SetFocusControl(c);
  c->OnChange = [c, OnPick](TObject*) { OnPick(c->ItemIndex()); };
  return c;
}

inline TTabSheet* Tab(TComponent* Owner, TPageControl* Pages, const char* Name, const std::string& Caption) {
  auto* t = new TTabSheet(Owner);
  t->SetName(Name);
  t->SetPageControl(Pages);
  t->SetCaption(Caption);
  return t;
}

// Sets a flag for its lifetime and gives it back its former value.
struct TFlagGuard {
  explicit TFlagGuard(bool& F) : Flag(F), Was(F) { Flag = true; }
  ~TFlagGuard() { Flag = Was; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;
  bool& Flag;
  bool Was;
};

}  // namespace edkit
