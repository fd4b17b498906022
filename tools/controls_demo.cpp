// A dialog with the standard controls, shown in a real window to look at: it saves a picture
// of its window to the file named first (and quits) or runs until closed.
#include <string>

#include "platform/comctrls.h"
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
  f->SetBounds(40, 40, 560, 440);
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
  Application->Run();
  return 0;
}
