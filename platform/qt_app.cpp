// The one application object that graphics, controls and forms share.
#include <QApplication>
#include <QCoreApplication>

#include "platform/qt_graphics.h"

namespace vmqt {

namespace {
TAppFactory& Factory() {
  static TAppFactory factory = nullptr;
  return factory;
}
}  // namespace

void SetAppFactory(TAppFactory AFactory) { Factory() = AFactory; }

void EnsureApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "varomark";
  static char* argv[] = {name, nullptr};
  if (Factory())
    Factory()(argc, argv);
  else
    new QApplication(argc, argv);
}

}  // namespace vmqt
