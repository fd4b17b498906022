// Writes what the X screen shows to a picture file: screen_grab FILE (".ppm", ".png").
#include <cstdio>

#include "platform/forms.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: screen_grab FILE\n");
    return 2;
  }
  try {
    Screen->SaveImage(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
