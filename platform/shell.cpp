#include "platform/shell.h"

#include <cctype>

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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

namespace {
TShellOpenHook& CanOpenHook() {
  static TShellOpenHook hook;
  return hook;
}
bool IsMailLink(const std::string& Target) { return Target.rfind("mailto:", 0) == 0; }
}  // namespace

void SetShellCanOpenHook(TShellOpenHook AHook) { CanOpenHook() = std::move(AHook); }

bool ShellCanOpen(const std::string& Target) {
  if (CanOpenHook()) return CanOpenHook()(Target);
  if (Hook()) return true;
  if (Target.empty()) return false;
  if (IsMailLink(Target) && !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty()) return true;
  return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
}

bool ShellOpen(const std::string& Target) {
  if (Hook()) return Hook()(Target);
  if (Target.empty()) return false;
  // A mail link goes to the desktop's mail program through xdg-email, which knows its dialect.
  if (IsMailLink(Target)) {
    const QString mailer = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (!mailer.isEmpty()) return QProcess::startDetached(mailer, {vmqt::ToQ(Target)});
  }
  QString t = vmqt::ToQ(Target);
  QUrl url = QFileInfo::exists(t) ? QUrl::fromLocalFile(t) : QUrl::fromUserInput(t);
  return url.isValid() && QDesktopServices::openUrl(url);
}

bool ShellMail(const std::string& Subject, const std::string& Attachment) {
  const std::string link = "mailto:?subject=" + PercentEncode(Subject) + "&attach=" + PercentEncode(Attachment);
  if (Hook()) return Hook()(link);
  const QString mailer = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
  if (mailer.isEmpty()) return ShellOpen(link);
  // The mail program may run until its window is closed: it is left to run on its own.
  return QProcess::startDetached(mailer, {QStringLiteral("--utf8"), QStringLiteral("--subject"), vmqt::ToQ(Subject),
                                          QStringLiteral("--attach"), vmqt::ToQ(Attachment)});
}

void MessageBeep() {
  ++Beeps;
  if (QApplication::instance()) QApplication::beep();
}

int BeepCount() { return Beeps; }

std::string PercentEncode(const std::string& Text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : Text) {
    if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}
