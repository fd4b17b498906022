// Entry point of the program.
#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  std::printf("Varomark: the main window is not built yet.\n"
              "Built so far: the toolkit layer (platform/) and the libraries linked into this program;\n"
              "run the tests to exercise them.\n");
  return 0;
}
