#include "chart/editor/series_editor_kit.h"

#include <cmath>

#include "chart/editor/series_page.h"
#include "chart/engine/editor_controls.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

namespace sekit {

TFormGraphSeries* HostSeriesPage(TForm* Form) {
  TWinControl* parent = Form ? Form->Parent() : nullptr;
  return parent ? dynamic_cast<TFormGraphSeries*>(parent->Owner()) : nullptr;
}

TForm* InsertTabOnce(TForm*& Ref, TForm* Editor, TComponentClass Class, int PageIndex, TObject* Object,
                     const std::string& Caption) {
  if (Ref) return Ref;
  if (TFormGraphSeries* page = HostSeriesPage(Editor))
    Ref = AddSeriesEditorTab(page, Class, PageIndex, Object, Caption);
  return Ref;
}

int TIntField::Value() const { return UpDown->Position(); }
void TIntField::Set(int Value) const { UpDown->SetPosition(Value); }

void TIntField::SetEnabled(bool Value) const {
  if (Label) Label->SetEnabled(Value);
  Edit->SetEnabled(Value);
  UpDown->SetEnabled(Value);
}

void TIntField::SetVisible(bool Value) const {
  if (Label) Label->SetVisible(Value);
  Edit->SetVisible(Value);
  UpDown->SetVisible(Value);
}

TIntField IntField(TComponent* Owner, TWinControl* Parent, const char* EditName, const char* UpDownName,
                   const char* LabelName, const std::string& Caption, int X, int Y, TIntRange Range,
                   std::function<void(int)> OnValue, int LabelWidth, int EditWidth) {
  using edkit::Make;
  TIntField f;
  const std::string labelName = LabelName && *LabelName ? LabelName : std::string("L") + EditName;
  f.Label = Make<TLabel>(Owner, Parent, labelName.c_str(), Caption, X, Y + 3, LabelWidth, 16);
  f.Edit = Make<TEdit>(Owner, Parent, EditName, "", X + LabelWidth, Y, EditWidth, 22);
  f.UpDown = Make<TUpDown>(Owner, Parent, UpDownName, "", X + LabelWidth + EditWidth, Y, 17, 22);
  f.UpDown->SetMin(Range.Min);
  f.UpDown->SetMax(Range.Max);
  f.UpDown->SetIncrement(Range.Step);
  f.UpDown->SetWrap(Range.Wrap);
  f.UpDown->SetAssociate(f.Edit);
  f.Label->SetFocusControl(f.Edit);
  TEdit* e = f.Edit;
  TUpDown* u = f.UpDown;
  e->OnChange = [e, u, OnValue, previous = e->OnChange](TObject* Sender) {
    if (previous) previous(Sender);
    int v = 0;
    if (!TryStrToInt(Trim(e->Text()), v) || v < u->Min() || v > u->Max()) return;  // the old value stays
    if (OnValue) OnValue(v);
  };
  return f;
}

int RoundToField(double Value) {
  if (!std::isfinite(Value)) return 0;
  const double r = std::nearbyint(Value);
  if (r > 2147483647.0) return 2147483647;
  if (r < -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(r);
}

double EditFloat(TEdit* Edit) { return StrToFloat(Trim(Edit->Text())); }

double EditFloatDef(TEdit* Edit, double Default) { return StrToFloatDef(Trim(Edit->Text()), Default); }

void ApplyColorEach(TControl* ColorButton, bool ColorEach) {
  ColorButton->SetEnabled(!ColorEach);
  if (!ColorEach) ColorButton->Invalidate();
}

TCheckBox* Check(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                 int W) {
  return edkit::Make<TCheckBox>(Owner, Parent, Name, Caption, X, Y, W, 20);
}

TButton* Button(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                int W) {
  return edkit::Make<TButton>(Owner, Parent, Name, Caption, X, Y, W, 25);
}

TComboBox* List(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                std::initializer_list<const char*> Items, int LabelWidth, int W) {
  auto* c = edkit::Make<TComboFlat>(Owner, Parent, Name, "", X + LabelWidth, Y, W, 22);
  c->SetStyle(csDropDownList);
  for (const char* i : Items) c->Items()->Add(i);
  if (!Caption.empty()) {
    auto* l = edkit::Make<TLabel>(Owner, Parent, (std::string("L") + Name).c_str(), Caption, X, Y + 3, LabelWidth, 16);
    l->SetFocusControl(c);
  }
  return c;
}

TRadioGroup* Radio(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                   int W, int H, std::initializer_list<const char*> Items, int Columns) {
  auto* r = edkit::Make<TRadioGroup>(Owner, Parent, Name, Caption, X, Y, W, H);
  r->SetColumns(Columns);
  for (const char* i : Items) r->Items()->Add(i);
  return r;
}

TGroupBox* Group(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                 int W, int H) {
  return edkit::Make<TGroupBox>(Owner, Parent, Name, Caption, X, Y, W, H);
}

}  // namespace sekit
