#include "platform/shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/qt_graphics.h"

namespace {
TShellOpenHook& Hook() {
  static TShellOpenHook hook;
  return hook;
}
int Beeps = 0;
}  // namespace

void SetShellOpenHook(TShellOpenHook AHook) { Hook() = std::move(AHook); }

bool ShellOpen(const std::string& Target) {
  if (Hook()) return Hook()(Target);
  if (Target.empty()) return false;
  QString t = vmqt::ToQ(Target);
  QUrl url = QFileInfo::exists(t) ? QUrl::fromLocalFile(t) : QUrl::fromUserInput(t);
  return url.isValid() && QDesktopServices::openUrl(url);
}

void MessageBeep() {
  ++Beeps;
  if (QApplication::instance()) QApplication::beep();
}

int BeepCount() { return Beeps; }
