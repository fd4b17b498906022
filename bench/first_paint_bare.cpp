// The reference for the start-up benchmark: a bare Qt window of the program's size that writes
// "first-paint" to standard output once its first paint is done, and ends.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class FirstPaint : public QObject {
public:
  explicit FirstPaint(QWidget* W) : FWindow(W) {}
  bool eventFilter(QObject* Obj, QEvent* Event) override {
    if (Obj == FWindow && Event->type() == QEvent::Paint && !FSeen) {
      FSeen = true;
      QTimer::singleShot(0, this, [] {
        std::fputs("first-paint\n", stdout);
        std::fflush(stdout);
        QApplication::quit();
      });
    }
    return QObject::eventFilter(Obj, Event);
  }

private:
  QWidget* FWindow;
  bool FSeen = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Varomark");
  window.resize(1024, 768);
  FirstPaint report(&window);
  window.installEventFilter(&report);
  window.show();
  return app.exec();
}
