#include "app/stored_edit_dialog.h"

#include <cmath>

#include "app/child_form.h"
#include "chart/editor/language.h"
#include "controls/vx_spin.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TWPrewEd1)

std::function<void(TForm* Dialog)> ModalDialogHook;

TWPrewEd1::TWPrewEd1(TComponent* AOwner) : TForm(AOwner) {
  SetName("WPrewEd1");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetBounds(0, 0, 620, 300);
  Panel1 = new TPanel(this);
  Panel1->SetName("Panel1");
  Panel1->SetParent(this);
  Panel1->SetAlign(alBottom);
  Panel1->SetHeight(40);
  Panel1->SetCaption("");
  auto label = [this](const char* Name, const char* Text, int X) {
    auto* l = new TLabel(this);
    l->SetName(Name);
    l->SetParent(Panel1);
    l->SetCaption(Text);
    l->SetBounds(X, 12, 90, 16);
    return l;
  };
  auto spin = [this](const char* Name, int X, int Initial) {
    auto* e = new TVxSpinEdit(this);
    e->SetName(Name);
    e->SetParent(Panel1);
    e->SetBounds(X, 8, 56, 22);
    e->SetMinValue(1);
    e->SetMaxValue(40);
    e->SetValue(Initial);
    return e;
  };
  Label1 = label("Label1", "From frequency", 8);
  Edit1 = spin("Edit1", 100, 1);
  Label3 = label("Label3", "0", 160);
  Label2 = label("Label2", "to", 260);
  Edit2 = spin("Edit2", 284, 40);
  Label4 = label("Label4", "0", 344);
  BitBtn1 = new TButton(this);
  BitBtn1->SetName("BitBtn1");
  BitBtn1->SetParent(this);
  BitBtn1->SetCaption("OK");
  BitBtn1->SetDefault(true);
  BitBtn1->SetModalResult(mrOk);
  BitBtn1->SetAlign(alBottom);
  BitBtn1->SetHeight(28);
  ListBox1 = new TListBox(this);
  ListBox1->SetName("ListBox1");
  ListBox1->SetParent(this);
  ListBox1->SetAlign(alClient);
  ListBox1->Font()->SetName("Courier");
  Edit1->OnChange = [this](TObject* s) { Edit1Change(s); };
  Edit2->OnChange = [this](TObject* s) { Edit2Change(s); };
  OnShow = [this](TObject*) {
    if (ModalDialogHook) ModalDialogHook(this);
  };
  FormCreate(this);
  KeepPlacement(this, "TWPrewEd1");
}

void TWPrewEd1::FormCreate(TObject*) {
  for (TControl* c : std::initializer_list<TControl*>{Label1, Label2, Edit1, Edit2}) c->SetVisible(true);
}

namespace {

void ShowFrequency(TVxSpinEdit* Edit, TLabel* Label, const TMTFile* File) {
  const long double v = std::nearbyint(Edit->Value());
  if (v <= 0 || !File) return;
  // An index beyond the grid raises the range error of the grid itself.
  const int i = static_cast<int>(std::min<long double>(v, 1e6L));
  Label->SetCaption(FormatFloat("#####0.######", File->Frequencies[i]) + " " + Translated("Hz"));
}

}  // namespace

void TWPrewEd1::Edit1Change(TObject*) { ShowFrequency(Edit1, Label3, SiteFile); }
void TWPrewEd1::Edit2Change(TObject*) { ShowFrequency(Edit2, Label4, SiteFile); }

void InstallStartEditDialog() {
  StartEditDialog = [](TStartEditRequest& R) {
    TWPrewEd1 d(Application);
    d.SiteFile = R.SiteFile;
    d.SetCaption(R.Caption);
    for (const std::string& line : R.Lines) d.ListBox1->Items()->Add(line);
    d.ListBox1->SetItemIndex(R.SelectedLine);
    d.Edit1->SetText(R.FromText);
    d.Edit2->SetText(R.ToText);
    d.Panel1->SetVisible(R.ShowRange);
    d.Edit1Change(&d);
    d.Edit2Change(&d);
    d.ShowModal();
    R.SelectedLine = d.ListBox1->ItemIndex();
    R.FromText = d.Edit1->Text();
    R.ToText = d.Edit2->Text();
  };
}
