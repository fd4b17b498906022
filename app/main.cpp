// Entry point of the program.
#include "platform/forms.h"

#include <cstdio>

int main(int argc, char** argv) {
  Application->Initialize();
  Application->SetTitle("Varomark");
  std::printf("Varomark: the main window is not built yet.\n"
              "Built so far: the toolkit layer, the MT data core and the first step of the chart engine;\n"
              "run the tests to exercise them.\n");
  return 0;
}
