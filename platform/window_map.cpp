// A map of the program's windows for the tests that drive the real program from outside: with
// VAROMARK_WINDOW_MAP naming a file, the program writes there, whenever it changed, one line per
// shown control with a name, and one per shown form and tool button bound to an action: "name class action x y width height", the
// rectangle in device pixels of the screen ("-" for no name or no action). Forms add their caption,
// other controls the program's note (SetWindowMapNote), a control with a note being listed too. The
// file is replaced whole, so a reader never sees half of it.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/qt_controls.h"
#include "platform/sysutils.h"
#include "platform/toolbars.h"

namespace {

TWindowMapNote& Note() {
  static TWindowMapNote note;
  return note;
}

}  // namespace

void SetWindowMapNote(TWindowMapNote Value) { Note() = std::move(Value); }

namespace vmqt {

namespace {

std::string MapLine(TControl* C, QWidget* W, const std::string& Note) {
  const qreal r = W->devicePixelRatioF();
  const QPoint at = W->mapToGlobal(QPoint(0, 0));
  std::string action = "-";
  if (auto* b = dynamic_cast<TToolButton*>(C); b && b->Action()) action = b->Action()->Name();
  char rect[96];
  std::snprintf(rect, sizeof rect, " %d %d %d %d", static_cast<int>(at.x() * r), static_cast<int>(at.y() * r),
                static_cast<int>(W->width() * r), static_cast<int>(W->height() * r));
  std::string line = (C->Name().empty() ? "-" : C->Name()) + " " + C->ClassName() + " " + action + rect;
  if (auto* f = dynamic_cast<TForm*>(C))
    line += " " + f->Caption();
  else if (!Note.empty())
    line += " " + Note;
  return line;
}

void WriteMap(const std::string& FileName, std::string& Last) {
  std::vector<std::string> lines;
  for (QWidget* w : QApplication::allWidgets()) {
    QVariant v = w->property("vmControl");
    if (!v.isValid() || !w->isVisible()) continue;
    auto* c = reinterpret_cast<TControl*>(v.value<quintptr>());
    auto* button = dynamic_cast<TToolButton*>(c);
    std::string note;
    if (Note() && !dynamic_cast<TForm*>(c)) note = Note()(c);
    if (c->Name().empty() && !dynamic_cast<TForm*>(c) && !(button && button->Action()) && note.empty()) continue;
    lines.push_back(MapLine(c, w, note));
  }
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  if (text == Last) return;
  Last = text;
  const QString tmp = ToQ(FileName + ".part");
  QFile f(tmp);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  f.write(text.data(), static_cast<qint64>(text.size()));
  f.close();
  QFile::remove(ToQ(FileName));
  QFile::rename(tmp, ToQ(FileName));
}

}  // namespace

void StartWindowMap() {
  static bool started = false;
  const std::string file = GetEnvironmentVariable("VAROMARK_WINDOW_MAP");
  if (started || file.empty()) return;
  started = true;
  auto* timer = new QTimer(qApp);
  auto* last = new std::string;
  QObject::connect(timer, &QTimer::timeout, timer, [file, last] { WriteMap(file, *last); });
  timer->start(150);
}

}  // namespace vmqt
