#include "platform/clipwatch.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QObject>

#include "platform/qt_graphics.h"

struct TClipboardWatch::Impl {
  QMetaObject::Connection Connection;
};

TClipboardWatch::TClipboardWatch(std::function<void()> OnChange) : FImpl(std::make_unique<Impl>()) {
  vmqt::EnsureApp();
  FImpl->Connection = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [OnChange] {
    if (OnChange) OnChange();
  });
}

TClipboardWatch::~TClipboardWatch() { QObject::disconnect(FImpl->Connection); }
