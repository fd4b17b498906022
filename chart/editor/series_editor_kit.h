// What the editor forms of the series types share: the object a form edits (its Tag), the loading
// flag, integer fields (an edit with an up-down and a range), real numbers typed into edits, the
// colour-each rule, and the sub-editor tabs a form inserts into the series page once.
#pragma once

#include <functional>
#include <string>

#include "chart/editor/page_kit.h"
#include "chart/extra/pen_dialog.h"
#include "platform/extctrls.h"
#include "platform/forms.h"

class TFormGraphSeries;

namespace sekit {

// The object embedded in the form (its Tag) as a T, or null.
template <class T>
T* Tagged(TForm* Form) {
  return dynamic_cast<T*>(EmbeddedObject(Form));
}

// The series page hosting the form: the owner of the form's parent, when that is a series page.
TFormGraphSeries* HostSeriesPage(TForm* Form);

// Inserts a sub-editor tab into the series page hosting Editor, once: while Ref is empty and a
// series page hosts Editor, Ref := a new form of Class at PageIndex bound to Object. Answers Ref.
TForm* InsertTabOnce(TForm*& Ref, TForm* Editor, TComponentClass Class, int PageIndex, TObject* Object,
                     const std::string& Caption);
template <class F>
F* InsertTabOnce(F*& Ref, TForm* Editor, int PageIndex, TObject* Object, const std::string& Caption) {
  TForm* f = Ref;
  InsertTabOnce(f, Editor, F::StaticClass(), PageIndex, Object, Caption);
  Ref = static_cast<F*>(f);
  return Ref;
}

// The range of an integer field; a field given without one runs from 0 to 100 in steps of 1.
struct TIntRange {
  int Min = 0;
  int Max = 100;
  int Step = 1;
  bool Wrap = false;
};

// An integer field: a label, an edit and the up-down attached to it.
struct TIntField {
  TLabel* Label = nullptr;
  TEdit* Edit = nullptr;
  TUpDown* UpDown = nullptr;
  int Value() const;
  // Moves the up-down (its edit shows the number; the edit's change handler runs).
  void Set(int Value) const;
  void SetEnabled(bool Value) const;
  void SetVisible(bool Value) const;
};

// Lays out "Caption [edit][up-down]" at X, Y with the given names (an empty label name makes
// "L" + the edit's name). OnValue runs with the number each time the edit's text changes to a
// whole number inside the range (typed, stepped or loaded); any other text is left alone, so the
// property keeps its value. The handler itself decides when it may write (see CanWrite).
TIntField IntField(TComponent* Owner, TWinControl* Parent, const char* EditName, const char* UpDownName,
                   const char* LabelName, const std::string& Caption, int X, int Y, TIntRange Range,
                   std::function<void(int)> OnValue, int LabelWidth = 90, int EditWidth = 44);

// The field's number for a property value that is not whole: to the nearest integer, a half to
// the even neighbour.
int RoundToField(double Value);

// Whether a handler of a field written "only while showing" (and, with a loading flag, "not while
// loading") may write now.
inline bool CanWrite(const TForm* Form, bool Loading = false) { return !Loading && Form->Showing(); }

// The edit's text as a real number with the platform's conversion: raises EConvertError for text
// that is not a number.
double EditFloat(TEdit* Edit);
// The same, keeping Default for text that is not a number.
double EditFloatDef(TEdit* Edit, double Default);

// Colour-each rule: the series colour button is enabled only while ColorEachPoint is off, and
// repainted when enabled.
void ApplyColorEach(TControl* ColorButton, bool ColorEach);

// Builders in the style of the forms' layouts.
TCheckBox* Check(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                 int W = 150);
TButton* Button(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                int W = 100);
template <class T>
T* GraphButton(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
               int W = 100) {
  return edkit::Make<T>(Owner, Parent, Name, Caption, X, Y, W, 25);
}
// A drop-down list with its label; the list's index is the enumeration's value.
TComboBox* List(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                std::initializer_list<const char*> Items, int LabelWidth = 90, int W = 130);
TRadioGroup* Radio(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                   int W, int H, std::initializer_list<const char*> Items, int Columns = 1);
TGroupBox* Group(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                 int W, int H);

}  // namespace sekit
