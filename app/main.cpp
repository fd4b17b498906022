// Entry point of the program: start-up, the message loop, the end.
#include <string>
#include <vector>

#include "app/start_up.h"
#include "platform/forms.h"

int main(int argc, char** argv) {
  Application->Initialize();
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);
  StartProgram(files);
  Application->Run();
  EndProgram();
  return 0;
}
