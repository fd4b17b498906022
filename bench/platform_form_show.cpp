// A dialog of 60 standard controls, from creation to its first painted frame (offscreen). Goal:
// at most 100 ms, at scale 1 and at scale 2: --scale=2 (or 1.5) runs it on a screen scaled so,
// the self-drawn controls then painting twice the pixels each way.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

namespace {

template <class T>
T* Put(TForm* Form, TWinControl* Parent, int L, int T_, int W, int H) {
  auto* c = new T(Form);
  c->SetParent(Parent);
  c->SetBounds(L, T_, W, H);
  return c;
}

// Ten rows of a label, an edit, a combo box, a check box, a button and a list, grouped in boxes
// and pages: 60 controls.
TForm* MakeDialog() {
  auto* f = new TForm(nullptr);
  f->SetBounds(0, 0, 900, 700);
  f->SetCaption("Sixty controls");
  auto* pages = Put<TPageControl>(f, f, 4, 4, 890, 660);
  auto* sheet = new TTabSheet(f);
  sheet->SetPageControl(pages);
  sheet->SetCaption("&General");
  for (int row = 0; row < 10; ++row) {
    TWinControl* in = sheet;
    int y = 8 + row * 60;
    auto* label = Put<TLabel>(f, in, 8, y + 4, 80, 17);
    label->SetCaption("&Value " + std::to_string(row) + ":");
    auto* edit = Put<TEdit>(f, in, 90, y, 120, 24);
    label->SetFocusControl(edit);
    auto* combo = Put<TComboBox>(f, in, 220, y, 120, 24);
    for (const char* s : {"Rho", "Phase", "Tipper"}) combo->Items()->Add(s);
    auto* check = Put<TCheckBox>(f, in, 350, y, 100, 20);
    check->SetCaption("&Smooth");
    auto* button = Put<TButton>(f, in, 460, y, 80, 25);
    button->SetCaption("Apply");
    auto* list = Put<TListBox>(f, in, 560, y, 150, 54);
    for (int i = 0; i < 8; ++i) list->Items()->Add("item " + std::to_string(i));
  }
  return f;
}

const char* gScale = "1";

void BM_SixtyControlsToFirstFrame(benchmark::State& State) {
  State.SetLabel(std::string("scale ") + gScale);
  for (auto _ : State) {
    TForm* f = MakeDialog();
    f->Show();
    f->Repaint();
    Application->ProcessMessages();
    benchmark::DoNotOptimize(ControlWindowPixel(f, 10, 10));
    State.PauseTiming();
    delete f;
    Application->ProcessMessages();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_SixtyControlsToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  // The screen's scale is read when the application object is made: before any control exists.
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--scale=", 8) == 0) {
      gScale = argv[i] + 8;
      setenv("QT_SCALE_FACTOR", gScale, 1);
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      break;
    }
  if (const char* s = std::getenv("QT_SCALE_FACTOR")) gScale = s;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
