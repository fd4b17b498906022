// Captions made to fit their controls once a window's texts are set (designed in English,
// translated or not): a check box, radio button, button or group whose caption is wider than the
// control grows to its right where its parent has room and no sibling is in the way; a label
// grown over the field it leads to moves that field, and the rest of its row, to the right, or
// moves left itself where its row has no room. Nothing shrinks, and nothing moves that cannot
// move whole.
#pragma once

class TComponent;
class TControl;

// The width Control's caption needs: its text in the control's font and the room the control
// keeps beside it (a check mark, a button's frame, a colour or pen sample); 0 for a control
// without a one-line caption.
int CaptionNeed(TControl* Control);

// Fits the captions of the controls Root owns directly (and Root's own, when it is a control), then
// those of the forms among them. Done when a window's texts are set, and again by a host once an
// editor form has taken the host's room, which is wider than the form's design.
void FitCaptions(TComponent* Root);
