// A dialog with the standard controls and the extra ones (check list, list box, speed buttons,
// spin edit, splitter), shown in a real window to look at: with a number of seconds given it
// walks the focus a little and quits after them (to take a picture meanwhile), else it runs
// until closed. Run with QT_SCALE_FACTOR=1.5 or 2 to look at it on a scaled screen.
#include <string>

#include "controls/vx_checklist.h"
#include "controls/vx_listbox.h"
#include "controls/vx_speedbutton.h"
#include "controls/vx_spin.h"
#include "controls/vx_splitter.h"

#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/toolbars.h"

namespace {

template <class T>
T* Put(TForm* Form, TWinControl* Parent, int L, int T_, int W, int H) {
  auto* c = new T(Form);
  c->SetParent(Parent);
  c->SetBounds(L, T_, W, H);
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  Application->Initialize();
  auto* f = new TForm(Application);
  f->SetBounds(40, 40, 760, 440);
  f->SetCaption("Controls");
  auto* menu = new TMainMenu(f);
  for (const char* c : {"&Files", "&Edit", "&Help"}) {
    auto* top = new TMenuItem(f);
    top->SetCaption(c);
    auto* item = new TMenuItem(f);
    item->SetCaption("&Open...");
    top->Add(item);
    menu->Items()->Add(top);
  }
  auto* tools = new TToolBar(f);
  tools->SetParent(f);
  tools->SetAlign(alBottom);
  tools->SetButtonWidth(48);
  TToolButton* firstTool = nullptr;
  for (const char* c : {"New", "Open", "Save"}) {
    auto* b = new TToolButton(tools);
    b->SetParent(tools);
    b->SetCaption(c);
    if (!firstTool) firstTool = b;
  }
  auto* label = Put<TLabel>(f, f, 12, 16, 60, 17);
  label->SetCaption("&Series:");
  auto* combo = Put<TComboBox>(f, f, 80, 12, 150, 24);
  for (const char* s : {"Rho", "Phase", "Tipper"}) combo->Items()->Add(s);
  label->SetFocusControl(combo);
  auto* edit = Put<TEdit>(f, f, 80, 44, 150, 24);
  edit->SetText("Site 12");
  auto* off = Put<TEdit>(f, f, 80, 76, 150, 24);
  off->SetText("disabled");
  off->SetEnabled(false);
  auto* group = Put<TGroupBox>(f, f, 12, 110, 218, 80);
  group->SetCaption("&Options");
  auto* check = Put<TCheckBox>(f, group, 10, 22, 180, 20);
  check->SetCaption("&Smooth curves");
  auto* check2 = Put<TCheckBox>(f, group, 10, 48, 180, 20);
  check2->SetCaption("Marks (disabled)");
  check2->SetEnabled(false);
  auto* radio = Put<TRadioGroup>(f, f, 12, 196, 218, 100);
  radio->SetCaption("Kind");
  for (const char* s : {"Line", "Points", "Bars"}) radio->Items()->Add(s);
  radio->SetItemIndex(1);
  auto* list = Put<TListBox>(f, f, 244, 12, 140, 120);
  for (int i = 0; i < 20; ++i) list->Items()->Add("row " + std::to_string(i));
  list->SetItemIndex(2);
  auto* pages = Put<TPageControl>(f, f, 244, 140, 300, 156);
  for (const char* c : {"&General", "A&xes"}) {
    auto* sheet = new TTabSheet(f);
    sheet->SetPageControl(pages);
    sheet->SetCaption(c);
    Put<TEdit>(f, sheet, 10, 10, 120, 24);
  }
  auto* track = Put<TTrackBar>(f, f, 392, 12, 150, 45);
  track->SetPosition(4);
  auto* ok = Put<TButton>(f, f, 380, 310, 75, 25);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  auto* cancel = Put<TButton>(f, f, 464, 310, 75, 25);
  cancel->SetCaption("Cancel");
  cancel->SetEnabled(false);
  // The extra controls in a side panel beyond a splitter.
  auto* side = new TPanel(f);
  side->SetParent(f);
  side->SetAlign(alRight);
  side->SetWidth(200);
  side->SetCaption("");
  auto* splitter = new TVxSplitter(f);
  splitter->SetParent(f);
  splitter->SetAlign(alRight);
  splitter->SetWidth(4);
  auto* checks = Put<TVxCheckListBox>(f, side, 8, 8, 184, 90);
  for (const char* s : {"Rho xy", "Rho yx", "Phase xy", "Phase yx", "Tipper", "Coherence"}) checks->Items()->Add(s);
  checks->SetItemChecked(0, true);
  checks->SetItemState(2, cbGrayed);
  checks->SetItemIndex(1);
  auto* vxlist = Put<TVxListBox>(f, side, 8, 104, 184, 80);
  for (int i = 0; i < 12; ++i) vxlist->Items()->Add("site " + std::to_string(100 + i));
  vxlist->SetItemIndex(3);
  auto* spin = Put<TVxSpinEdit>(f, side, 8, 192, 90, 24);
  spin->SetMaxValue(10);
  spin->SetValue(4);
  int x = 8;
  for (const char* c : {"A", "B", "C"}) {
    auto* sb = Put<TVxSpeedButton>(f, side, x, 224, 28, 26);
    sb->SetCaption(c);
    sb->SetGroupIndex(1);
    if (x == 8) sb->SetDown(true);
    x += 30;
  }
  auto* flat = Put<TVxSpeedButton>(f, side, x + 8, 224, 60, 26);
  flat->SetCaption("Flat");
  flat->SetFlat(true);
  f->Show();
  // With a number of seconds given, the focus walks on from the first control and the program
  // ends after that time (to take a picture of the screen meanwhile).
  if (argc > 1) {
    for (int i = 0; i < 20; ++i) Application->ProcessMessages();
    SendKey({}, VK_TAB);
    SendKey({}, VK_TAB);
    SendKey({}, VK_TAB);
    // The form made wider (the menu bar follows it) and the mouse over the first tool button.
    SendWindowGeometry(f, 40, 40, 760, 440);
    SendInput(firstTool, ikEnter, {}, 5, 5);
    auto* timer = new TTimer(f);
    timer->SetInterval(static_cast<uint32_t>(StrToInt(argv[1]) * 1000));
    timer->OnTimer = [](TObject*) { Application->Terminate(); };
  }
  // "files" after the seconds: the file dialog opens over the form (in the program's texts).
  if (argc > 2 && std::string(argv[2]) == "files") {
    TOpenDialog open(f);
    open.SetFilter("MT files|*.mt1;*.mt2|All files|*");
    open.SetInitialDir(argc > 3 ? argv[3] : ".");
    open.Execute();
  }
  Application->Run();
  return 0;
}
