// How an editor form looks where the editor shows it: every control within its parent's client
// area, none over a sibling, every caption fitting its control, every "&" label leading to a field
// and every enabled field reached by Tab. Each fault is one line naming the control.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "chart/engine/editor_controls.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/controls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/richedit.h"
#include "platform/stdctrls.h"

namespace form_layout {

// A caption as it shows: "&&" is one ampersand, a single "&" underlines the next letter.
inline std::string Shown(const std::string& Caption) {
  std::string r;
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&' && i + 1 < Caption.size()) ++i;
    r += Caption[i];
  }
  return r;
}

// The letter after a single "&", or 0.
inline char HotKey(const std::string& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i)
    if (Caption[i] == '&') {
      if (Caption[i + 1] != '&') return Caption[i + 1];
      ++i;
    }
  return 0;
}

// The width of the text in the control's font.
inline int TextWidth(TControl* C, const std::string& Text) {
  static TBitmap measure(8, 8);
  measure.Canvas()->SetFont(C->Font());
  return measure.Canvas()->TextWidth(Text);
}

// The room a control's caption leaves for its text: the check mark of a box, a button's frame.
inline int CaptionFrame(TControl* C) {
  if (dynamic_cast<TCheckBox*>(C) || dynamic_cast<TRadioButton*>(C)) return 20;
  // A chart button's pen or colour sample sits at its right edge; its caption is centred.
  if (dynamic_cast<TGraphButton*>(C)) return 42;
  if (dynamic_cast<TButton*>(C)) return 6;
  if (dynamic_cast<TGroupBox*>(C) || dynamic_cast<TRadioGroup*>(C)) return 12;
  if (auto* l = dynamic_cast<TLabel*>(C); l && !l->WordWrap()) return 0;
  return -1;  // no single-line caption to measure
}

inline bool Overlap(const TRect& A, const TRect& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// C is Outer or lies inside it.
inline bool Within(TControl* C, TWinControl* Outer) {
  for (; C; C = C->Parent())
    if (C == Outer) return true;
  return false;
}

inline bool Shows(TControl* C) { return C->Visible() && C->Width() > 0 && C->Height() > 0; }

// Geometry, captions and hot keys of the controls under Parent (the sheets of a page control
// that show a tab each, the active one or not).
inline void GeometryFaults(TWinControl* Parent, std::vector<std::string>& Faults) {
  const bool stacked = dynamic_cast<TPageControl*>(Parent) != nullptr;
  const TRect room = Parent->ClientRect();
  const int n = Parent->ControlCount();
  for (int i = 0; i < n; ++i) {
    TControl* a = Parent->Controls(i);
    if (auto* t = dynamic_cast<TTabSheet*>(a)) {
      if (t->TabVisible()) GeometryFaults(t, Faults);
      continue;
    }
    if (!Shows(a)) continue;
    const std::string name = a->Name().empty() ? std::string(a->ClassName()) : a->Name();
    if (auto* w = dynamic_cast<TWinControl*>(a)) GeometryFaults(w, Faults);
    const TRect r = a->BoundsRect();
    if (r.Left < room.Left || r.Top < room.Top || r.Right > room.Right || r.Bottom > room.Bottom)
      Faults.push_back(name + " is cut off by " + Parent->Name());
    if (!stacked)
      for (int k = i + 1; k < n; ++k) {
        TControl* b = Parent->Controls(k);
        if (const TRect o = b->BoundsRect(); Shows(b) && !dynamic_cast<TTabSheet*>(b) && Overlap(r, o))
          Faults.push_back(name + " overlaps " + b->Name() + " by " +
                           std::to_string(std::min(r.Right, o.Right) - std::max(r.Left, o.Left)));
      }
    const std::string caption = a->Caption();
    if (const int frame = CaptionFrame(a); frame >= 0 && !caption.empty()) {
      const int need = TextWidth(a, Shown(caption)) + frame;
      if (need > a->Width())
        Faults.push_back(name + " \"" + caption + "\" needs " + std::to_string(need) + " of " +
                         std::to_string(a->Width()));
    }
    if (auto* l = dynamic_cast<TLabel*>(a); l && HotKey(caption)) {
      TWinControl* to = l->FocusControl();
      if (!to)
        Faults.push_back(name + " \"" + caption + "\" leads nowhere");
      else if (!to->Visible())
        Faults.push_back(name + " \"" + caption + "\" leads to the hidden " + to->Name());
    }
  }
}

// A control the user types into, picks in or presses.
inline bool IsInput(TControl* C) {
  if (dynamic_cast<TRadioButton*>(C)) return !dynamic_cast<TRadioGroup*>(C->Parent());
  return dynamic_cast<TCustomEdit*>(C) || dynamic_cast<TComboBox*>(C) || dynamic_cast<TButton*>(C) ||
         dynamic_cast<TCheckBox*>(C) || dynamic_cast<TListBox*>(C) || dynamic_cast<TTrackBar*>(C) ||
         dynamic_cast<TRadioGroup*>(C) || dynamic_cast<TScrollBar*>(C);
}

inline void Inputs(TWinControl* Parent, std::vector<TWinControl*>& List) {
  for (int i = 0; i < Parent->ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(Parent->Controls(i))) {
      if (w->CanFocus() && IsInput(w)) List.push_back(w);
      if (!dynamic_cast<TRadioGroup*>(w)) Inputs(w, List);
    }
}

// Tab pressed from the form's first control, round the whole window, reaches every enabled field
// of the form that shows (the window must be the active one).
inline void TabFaults(TForm* Form, std::vector<std::string>& Faults) {
  std::vector<TWinControl*> inputs;
  Inputs(Form, inputs);
  if (inputs.empty()) return;
  TWinControl* top = Form;
  while (top->Parent()) top = top->Parent();
  TWinControl* first = top->FindNextControl(Form, true, true, false);
  std::vector<TWinControl*> order;
  top->GetTabOrderList(order);
  for (TWinControl* c : order)
    if (c->TabStop() && c->CanFocus() && Within(c, Form)) {
      first = c;
      break;
    }
  Application->ProcessMessages();
  first->SetFocus();
  std::set<TWinControl*> reached{FocusedControl()};
  for (size_t step = 0; step < order.size() + 2; ++step) {
    SendKey({}, VK_TAB);
    TWinControl* now = FocusedControl();
    if (!now || now == first) break;
    reached.insert(now);
  }
  for (TWinControl* c : inputs) {
    bool got = false;
    for (TWinControl* r : reached) got = got || r == c || Within(r, c);
    if (!got) Faults.push_back(c->Name() + (c->TabStop() ? " is not reached by Tab" : " is no tab stop"));
  }
}

// Everything wrong with the form as it shows now.
inline std::vector<std::string> Faults(TForm* Form, bool WithTab = true) {
  std::vector<std::string> r;
  GeometryFaults(Form, r);
  if (TWinControl* p = Form->Parent()) {
    const TRect room = p->ClientRect(), b = Form->BoundsRect();
    if (b.Right > room.Right || b.Bottom > room.Bottom) r.push_back(Form->Name() + " is cut off by " + p->Name());
  }
  if (WithTab) TabFaults(Form, r);
  return r;
}

// With VAROMARK_FORM_PICTURES naming a folder, the control's picture goes there as NAME.png.
inline void SavePicture(TControl* C, const std::string& Name) {
  const char* folder = std::getenv("VAROMARK_FORM_PICTURES");
  if (!folder || !*folder) return;
  std::filesystem::create_directories(folder);
  SaveControlImage(C, (std::filesystem::path(folder) / (Name + ".png")).string());
}

}  // namespace form_layout
