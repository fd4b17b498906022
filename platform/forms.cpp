#include <QApplication>

#include "platform/qt_graphics.h"

namespace vmqt {

void EnsureApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "varomark";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

}  // namespace vmqt
