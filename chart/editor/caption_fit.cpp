#include "chart/editor/caption_fit.h"

#include <algorithm>
#include <string>
#include <vector>

#include "chart/engine/editor_controls.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

namespace {

// The room kept between a control and its parent's right edge, and between a label and its field.
constexpr int kMargin = 4;

// The caption as drawn: "&&" is one ampersand, a single "&" only underlines the next letter.
std::string Shown(const std::string& Caption) {
  std::string r;
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&' && i + 1 < Caption.size()) ++i;
    r += Caption[i];
  }
  return r;
}

int TextWidth(TControl* C, const std::string& Text) {
  static TBitmap measure(8, 8);
  measure.Canvas()->SetFont(C->Font());
  return measure.Canvas()->TextWidth(Shown(Text));
}

// The room a caption leaves beside its text, or -1 for a control that has no one-line caption.
int CaptionFrame(TControl* C) {
  if (dynamic_cast<TCheckBox*>(C) || dynamic_cast<TRadioButton*>(C)) return 20;
  // A chart button keeps its pen or colour sample at its right edge and centres its caption.
  if (dynamic_cast<TGraphButton*>(C)) return 42;
  if (dynamic_cast<TButton*>(C)) return 6;
  if (dynamic_cast<TGroupBox*>(C)) return 12;
  return -1;
}

bool Overlap(const TRect& A, const TRect& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

bool SameRow(const TRect& A, const TRect& B) { return A.Top < B.Bottom && B.Top < A.Bottom; }

// A control that takes part in the fitting: placed by its bounds, with a size.
bool Placed(TControl* C) { return C->Parent() && C->Align() == alNone && C->Width() > 0 && C->Height() > 0; }

std::vector<TControl*> Siblings(TControl* C) {
  std::vector<TControl*> r;
  TWinControl* p = C->Parent();
  for (int i = 0; i < p->ControlCount(); ++i)
    if (TControl* s = p->Controls(i); s != C && s->Width() > 0 && s->Height() > 0) r.push_back(s);
  return r;
}

// The rightmost edge a control under Parent may reach.
int RightLimit(TWinControl* Parent, int Right) { return std::max(Parent->ClientWidth() - kMargin, Right); }

// Whether moving the controls Moved to the rectangles To (same order) puts none outside the
// parent's right limit or over a sibling that stays, Still excepted.
bool FreeToMove(const std::vector<TControl*>& Moved, const std::vector<TRect>& To, TControl* Still) {
  TWinControl* parent = Moved.front()->Parent();
  for (size_t i = 0; i < Moved.size(); ++i) {
    if (To[i].Right > RightLimit(parent, Moved[i]->BoundsRect().Right) || To[i].Left < 0) return false;
    for (TControl* s : Siblings(Moved[i])) {
      if (s == Still || std::find(Moved.begin(), Moved.end(), s) != Moved.end()) continue;
      if (Overlap(To[i], s->BoundsRect()) && !Overlap(Moved[i]->BoundsRect(), s->BoundsRect())) return false;
    }
  }
  return true;
}

// Makes room for C to take the rectangle Want (it grows to the right): the siblings that start
// right of C and lie in the way move right, with everything right of them (so columns stay
// aligned) or else with the rest of their row only. False, and nothing moves, when neither fits.
bool MakeRoom(TControl* C, const TRect& Want) {
  const TRect now = C->BoundsRect();
  if (Want.Right > RightLimit(C->Parent(), now.Right)) return false;
  const std::vector<TControl*> siblings = Siblings(C);
  int first = Want.Right;
  bool blocked = false;
  for (TControl* s : siblings)
    if (const TRect r = s->BoundsRect(); r.Left > now.Left && Overlap(Want, r)) {
      first = std::min(first, r.Left);
      blocked = true;
    }
  if (!blocked) return FreeToMove({C}, {Want}, nullptr);
  const int shift = Want.Right + kMargin - first;
  for (const bool wholeColumn : {true, false}) {
    std::vector<TControl*> moved;
    std::vector<TRect> to;
    for (TControl* s : siblings)
      if (TRect r = s->BoundsRect(); r.Left >= first && (wholeColumn || SameRow(r, Want))) {
        if (!Placed(s)) {
          moved.clear();
          break;
        }
        moved.push_back(s);
        r.Left += shift;
        r.Right += shift;
        to.push_back(r);
      }
    if (moved.empty() || !FreeToMove(moved, to, C)) continue;
    // What stays must not be in C's way either.
    bool clear = true;
    for (TControl* s : siblings)
      if (std::find(moved.begin(), moved.end(), s) == moved.end() && Overlap(Want, s->BoundsRect()) &&
          !Overlap(now, s->BoundsRect()))
        clear = false;
    if (!clear) continue;
    for (size_t i = 0; i < moved.size(); ++i) moved[i]->SetLeft(to[i].Left);
    return true;
  }
  return false;
}

// A check box, button or group too narrow for its caption grows to the right.
void GrowToCaption(TControl* C) {
  const int need = CaptionNeed(C);
  if (need <= C->Width()) return;
  TRect want = C->BoundsRect();
  want.Right = want.Left + need;
  // A group box too narrow for a caption inside it grows first, where it can.
  TWinControl* parent = C->Parent();
  if (const int lack = want.Right - (parent->ClientWidth() - kMargin);
      lack > 0 && dynamic_cast<TGroupBox*>(parent) && !dynamic_cast<TRadioGroup*>(parent) && Placed(parent)) {
    TRect grown = parent->BoundsRect();
    grown.Right += lack;
    if (MakeRoom(parent, grown)) parent->SetWidth(grown.Width());
  }
  if (MakeRoom(C, want)) C->SetWidth(need);
}

// A label grown over its field: the field and what follows it move right, or else the label moves
// left.
void ClearLabel(TCustomLabel* L) {
  if (L->WordWrap() || !Placed(L)) return;
  // A right-aligned label grows to the left, past its parent's edge when it starts near it.
  if (TRect l = L->BoundsRect(); l.Left < 0) {
    l = {kMargin, l.Top, kMargin + l.Width(), l.Bottom};
    if (FreeToMove({L}, {l}, L->FocusControl())) L->SetLeft(kMargin);
  }
  const TRect l = L->BoundsRect();
  TControl* field = nullptr;
  for (TControl* s : Siblings(L))
    if (const TRect r = s->BoundsRect(); r.Left > l.Left && Overlap(l, r) && (!field || r.Left < field->Left()))
      field = s;
  if (!field || MakeRoom(L, l)) return;
  const int left = field->Left() - kMargin - l.Width();
  const TRect to{left, l.Top, left + l.Width(), l.Bottom};
  if (left >= kMargin && FreeToMove({L}, {to}, field)) L->SetLeft(left);
}

}  // namespace

int CaptionNeed(TControl* Control) {
  const int frame = CaptionFrame(Control);
  const std::string caption = Control->Caption();
  int need = frame < 0 || caption.empty() ? 0 : TextWidth(Control, caption) + frame;
  // A radio group's items share its client width in equal columns, each a radio button.
  if (auto* g = dynamic_cast<TRadioGroup*>(Control); g && g->Items()->Count() > 0) {
    int widest = 0;
    for (int i = 0; i < g->Items()->Count(); ++i) widest = std::max(widest, TextWidth(g, g->Items()->Strings(i)));
    const int columns = std::max(1, g->Columns());
    need = std::max(need, g->Width() - g->ClientWidth() + columns * (widest + 22) + 8);
  }
  return need;
}

void FitCaptions(TComponent* Root) {
  if (!Root) return;
  // An aligned window placed in a host takes the host's room first.
  if (auto* w = dynamic_cast<TWinControl*>(Root); w && w->Parent() && w->Align() != alNone) w->Parent()->Realign();
  std::vector<TControl*> controls;
  if (auto* c = dynamic_cast<TControl*>(Root)) controls.push_back(c);
  for (int i = 0; i < Root->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TControl*>(Root->Components(i))) controls.push_back(c);
  for (TControl* c : controls)
    if (auto* l = dynamic_cast<TCustomLabel*>(c)) ClearLabel(l);
  for (TControl* c : controls)
    if (Placed(c)) GrowToCaption(c);
  // The forms shown inside this one (a gradient or font editor on a tab) fit in their own room.
  for (TControl* c : controls)
    if (c != Root && dynamic_cast<TForm*>(c)) FitCaptions(c);
}
