#include "platform/richedit.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

#include "platform/bitmap.h"
#include "platform/qt_controls.h"
#include "platform/qt_graphics.h"

VM_DEFINE_CLASS(TRichEditControl)

namespace {
// A plain-text window whose text can be moved inside it.
class VmPlainEdit : public QPlainTextEdit {
public:
  using QAbstractScrollArea::setViewportMargins;
  using QPlainTextEdit::QPlainTextEdit;
};

// The one-line window sits inside a host a few pixels wider at the left, so that its text can be
// placed to the pixel with margins that never go below zero.
constexpr int LineShift = 4;
class LineHost : public QWidget {
public:
  using QWidget::QWidget;
  QLineEdit* Line = nullptr;

protected:
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    if (Line) Line->setGeometry(-LineShift, 0, width() + LineShift, height());
  }
};
}  // namespace

// The text is kept here until the window exists, then the window keeps it.
struct TRichEditControl::Impl {
  QLineEdit* Line = nullptr;
  VmPlainEdit* Plain = nullptr;
  QWidget* Host = nullptr;
  QString Text;
  int SelStart = 0, SelEnd = 0;
  bool Modified = false;

  bool Exists() const { return Line || Plain; }
  QString Current() const {
    if (Line) return Line->text();
    if (Plain) return Plain->toPlainText();
    return Text;
  }
};

TRichEditControl::TRichEditControl(TComponent* AOwner, bool MultiLine)
    : TWinControl(AOwner), FRich(std::make_unique<Impl>()), FMultiLine(MultiLine) {
  FTabStop = true;
  SetBounds(0, 0, 121, MultiLine ? 89 : 21);
}

TRichEditControl::~TRichEditControl() {
  // The widgets go with the window; their signals must not reach a half-destroyed control.
  if (FRich->Line) QObject::disconnect(FRich->Line, nullptr, nullptr, nullptr);
  if (FRich->Plain) {
    QObject::disconnect(FRich->Plain, nullptr, nullptr, nullptr);
    QObject::disconnect(FRich->Plain->document(), nullptr, nullptr, nullptr);
  }
}

void* TRichEditControl::CreateNativeWidget(void* ParentWidget) {
  auto* parent = static_cast<QWidget*>(ParentWidget);
  Impl* d = FRich.get();
  if (FMultiLine) {
    auto* e = new VmPlainEdit(parent);
    e->setFrameStyle(QFrame::NoFrame);
    e->setContextMenuPolicy(Qt::NoContextMenu);
    e->document()->setDocumentMargin(0);
    e->setPlainText(d->Text);
    d->Plain = e;
    QObject::connect(e, &QPlainTextEdit::textChanged, e, [this] {
      if (OnChange) Guarded([this] { OnChange(this); });
    });
    QObject::connect(e, &QPlainTextEdit::selectionChanged, e, [this] {
      if (OnSelectionChange) Guarded([this] { OnSelectionChange(this); });
    });
    QObject::connect(e, &QPlainTextEdit::cursorPositionChanged, e, [this] {
      if (OnSelectionChange) Guarded([this] { OnSelectionChange(this); });
    });
  } else {
    auto* host = new LineHost(parent);
    auto* e = new QLineEdit(host);
    host->Line = e;
    host->setFocusProxy(e);
    d->Host = host;
    e->setFrame(false);
    e->setContextMenuPolicy(Qt::NoContextMenu);
    e->setText(d->Text);
    d->Line = e;
    QObject::connect(e, &QLineEdit::textChanged, e, [this] {
      if (OnChange) Guarded([this] { OnChange(this); });
    });
    QObject::connect(e, &QLineEdit::selectionChanged, e, [this] {
      if (OnSelectionChange) Guarded([this] { OnSelectionChange(this); });
    });
    QObject::connect(e, &QLineEdit::cursorPositionChanged, e, [this] {
      if (OnSelectionChange) Guarded([this] { OnSelectionChange(this); });
    });
  }
  Apply();
  SetSelection(d->SelStart, d->SelEnd);
  SetModified(d->Modified);
  ClearUndo();
  return d->Line ? d->Host : static_cast<QWidget*>(d->Plain);
}

void TRichEditControl::Apply() {
  Impl* d = FRich.get();
  QWidget* w = d->Line ? static_cast<QWidget*>(d->Line) : static_cast<QWidget*>(d->Plain);
  if (!w) return;
  w->setFont(vmqt::MakeQFont(*FFont));
  QPalette pal = w->palette();
  const bool hide = FHideSelection && !FHasFocus;
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    pal.setColor(group, QPalette::Base, vmqt::ToQColor(FColor));
    pal.setColor(group, QPalette::Window, vmqt::ToQColor(FColor));
    pal.setColor(group, QPalette::Text, vmqt::ToQColor(FFont->Color()));
    pal.setColor(group, QPalette::Highlight, hide ? vmqt::ToQColor(FColor) : vmqt::ToQColor(clHighlight));
    pal.setColor(group, QPalette::HighlightedText,
                 hide ? vmqt::ToQColor(FFont->Color()) : vmqt::ToQColor(clHighlightText));
  }
  w->setPalette(pal);
  w->setAutoFillBackground(true);
  w->setAcceptDrops(FAcceptDrops);
  Qt::Alignment h = FAlignment == taRightJustify ? Qt::AlignRight
                    : FAlignment == taCenter     ? Qt::AlignHCenter
                                                 : Qt::AlignLeft;
  if (d->Line) {
    // Setting the limit sets the text anew, which would forget the modified flag and the history.
    const int limit = FMaxLength > 0 ? FMaxLength : 32767;
    if (d->Line->maxLength() != limit) {
      const bool m = d->Line->isModified();
      d->Line->setMaxLength(limit);
      d->Line->setModified(m);
    }
    d->Line->setReadOnly(FReadOnly);
    d->Line->setEchoMode(FPasswordChar ? QLineEdit::Password : QLineEdit::Normal);
    d->Line->setDragEnabled(FAcceptDrops);
    d->Line->setAlignment(h | Qt::AlignTop);
    // The line edit keeps 2 pixels at the sides and 1 at the top inside its margins.
    d->Line->setTextMargins(FOriginLeft + LineShift - 2, FOriginTop - 1, FOriginRight - 2, 0);
  } else {
    d->Plain->setReadOnly(FReadOnly);
    d->Plain->setLineWrapMode(FWordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    d->Plain->viewport()->setAcceptDrops(FAcceptDrops);
    d->Plain->setViewportMargins(FOriginLeft, FOriginTop, FOriginRight, 0);
    auto policy = [&](bool On) {
      return !On ? Qt::ScrollBarAlwaysOff : FHideScrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    };
    d->Plain->setHorizontalScrollBarPolicy(policy(FScrollBars == ssHorizontal || FScrollBars == ssBoth));
    d->Plain->setVerticalScrollBarPolicy(policy(FScrollBars == ssVertical || FScrollBars == ssBoth));
    QTextOption opt = d->Plain->document()->defaultTextOption();
    opt.setAlignment(h);
    d->Plain->document()->setDefaultTextOption(opt);
  }
}

void TRichEditControl::SetScrollBars(TScrollStyle Value, bool HideWhenNotNeeded) {
  FScrollBars = Value;
  FHideScrollBars = HideWhenNotNeeded;
  Apply();
}

void TRichEditControl::SetHideSelection(bool Value) {
  FHideSelection = Value;
  Apply();
}

void TRichEditControl::DoEnter() {
  FHasFocus = true;
  if (FHideSelection) Apply();
  TWinControl::DoEnter();
}

void TRichEditControl::DoExit() {
  FHasFocus = false;
  if (FHideSelection) Apply();
  TWinControl::DoExit();
}

void TRichEditControl::FontChanged() {
  TWinControl::FontChanged();
  Apply();
}

void TRichEditControl::ColorChanged() {
  TWinControl::ColorChanged();
  Apply();
}

std::string TRichEditControl::GetText() const { return vmqt::FromQ(FRich->Current()); }

void TRichEditControl::SetText(const std::string& Value) {
  Impl* d = FRich.get();
  QString v = vmqt::ToQ(Value);
  if (!FMultiLine) v.replace('\r', ' ').replace('\n', ' ');
  if (FMaxLength > 0 && v.size() > FMaxLength) v = v.left(FMaxLength);
  FText = vmqt::FromQ(v);
  if (d->Line) {
    if (d->Line->text() != v) {
      bool m = d->Line->isModified();
      d->Line->setText(v);  // fires the change notice
      d->Line->setModified(m);
    }
  } else if (d->Plain) {
    if (d->Plain->toPlainText() != v) {
      bool m = d->Plain->document()->isModified();
      d->Plain->setPlainText(v);
      d->Plain->document()->setModified(m);
      d->Plain->moveCursor(QTextCursor::End);
    }
  } else if (d->Text != v) {
    d->Text = v;
    d->SelStart = d->SelEnd = static_cast<int>(v.size());
    if (OnChange) OnChange(this);
  }
}

int TRichEditControl::TextLength() const { return static_cast<int>(FRich->Current().size()); }

int TRichEditControl::SelStart() const {
  Impl* d = FRich.get();
  if (d->Line) return d->Line->hasSelectedText() ? d->Line->selectionStart() : d->Line->cursorPosition();
  if (d->Plain) return d->Plain->textCursor().selectionStart();
  return std::min(d->SelStart, d->SelEnd);
}

int TRichEditControl::SelLength() const {
  Impl* d = FRich.get();
  if (d->Line) return d->Line->hasSelectedText() ? d->Line->selectionLength() : 0;
  if (d->Plain) return d->Plain->textCursor().selectionEnd() - d->Plain->textCursor().selectionStart();
  return std::abs(d->SelEnd - d->SelStart);
}

void TRichEditControl::SetSelection(int Start, int End) {
  Impl* d = FRich.get();
  int n = TextLength();
  if (End < 0) End = n;
  Start = std::clamp(Start, 0, n);
  End = std::clamp(End, 0, n);
  if (d->Line) {
    if (Start == End)
      d->Line->setCursorPosition(Start);
    else
      d->Line->setSelection(Start, End - Start);  // the caret ends at End
  } else if (d->Plain) {
    QTextCursor c = d->Plain->textCursor();
    c.setPosition(Start);
    c.setPosition(End, QTextCursor::KeepAnchor);
    d->Plain->setTextCursor(c);
  } else {
    d->SelStart = Start;
    d->SelEnd = End;
  }
}

std::string TRichEditControl::SelText() const { return vmqt::FromQ(FRich->Current().mid(SelStart(), SelLength())); }

void TRichEditControl::ReplaceSelection(const std::string& Value) {
  Impl* d = FRich.get();
  QString v = vmqt::ToQ(Value);
  if (d->Line) {
    d->Line->insert(v);
  } else if (d->Plain) {
    d->Plain->insertPlainText(v);
  } else {
    int s = SelStart();
    QString t = d->Text;
    t.replace(s, SelLength(), v);
    SetText(vmqt::FromQ(t));
    d->SelStart = d->SelEnd = s + static_cast<int>(v.size());
  }
}

void TRichEditControl::SetMaxLength(int Value) {
  FMaxLength = std::max(0, Value);
  Apply();
}

void TRichEditControl::SetReadOnly(bool Value) {
  FReadOnly = Value;
  Apply();
}

void TRichEditControl::SetPasswordChar(char Value) {
  FPasswordChar = Value;
  Apply();
}

void TRichEditControl::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Apply();
}

void TRichEditControl::SetAcceptDrops(bool Value) {
  FAcceptDrops = Value;
  Apply();
}

void TRichEditControl::SetWordWrap(bool Value) {
  FWordWrap = Value;
  Apply();
}

void TRichEditControl::SetTextOrigin(int Left, int Top, int RightMargin) {
  FOriginLeft = Left;
  FOriginTop = Top;
  FOriginRight = RightMargin;
  Apply();
}

bool TRichEditControl::Modified() const {
  Impl* d = FRich.get();
  if (d->Line) return d->Line->isModified();
  if (d->Plain) return d->Plain->document()->isModified();
  return d->Modified;
}

void TRichEditControl::SetModified(bool Value) {
  Impl* d = FRich.get();
  d->Modified = Value;
  if (d->Line) d->Line->setModified(Value);
  if (d->Plain) d->Plain->document()->setModified(Value);
}

bool TRichEditControl::CanUndo() const {
  Impl* d = FRich.get();
  if (d->Line) return d->Line->isUndoAvailable();
  if (d->Plain) return d->Plain->document()->isUndoAvailable();
  return false;
}

bool TRichEditControl::CanRedo() const {
  Impl* d = FRich.get();
  if (d->Line) return d->Line->isRedoAvailable();
  if (d->Plain) return d->Plain->document()->isRedoAvailable();
  return false;
}

void TRichEditControl::Undo() {
  if (FRich->Line) FRich->Line->undo();
  if (FRich->Plain) FRich->Plain->undo();
}

void TRichEditControl::Redo() {
  if (FRich->Line) FRich->Line->redo();
  if (FRich->Plain) FRich->Plain->redo();
}

void TRichEditControl::ClearUndo() {
  Impl* d = FRich.get();
  if (d->Line) {
    // A line edit forgets its history when its text is set anew.
    QSignalBlocker b(d->Line);
    bool m = d->Line->isModified();
    int s = d->Line->selectionStart(), l = d->Line->selectionLength(), c = d->Line->cursorPosition();
    d->Line->setText(d->Line->text());
    d->Line->setModified(m);
    if (s >= 0 && l > 0)
      d->Line->setSelection(c == s ? s + l : s, c == s ? -l : l);
    else
      d->Line->setCursorPosition(c);
  }
  if (d->Plain) d->Plain->document()->clearUndoRedoStacks();
}

void TRichEditControl::CutToClipboard() {
  if (FRich->Line) FRich->Line->cut();
  if (FRich->Plain) FRich->Plain->cut();
}

void TRichEditControl::CopyToClipboard() {
  if (FRich->Line) FRich->Line->copy();
  if (FRich->Plain) FRich->Plain->copy();
}

void TRichEditControl::PasteFromClipboard() {
  if (FRich->Line) FRich->Line->paste();
  if (FRich->Plain) FRich->Plain->paste();
}

void TRichEditControl::ClearSelection() {
  if (FRich->Line) FRich->Line->del();
  if (FRich->Plain) FRich->Plain->textCursor().removeSelectedText();
}

bool TRichEditControl::CanPaste() const {
  vmqt::EnsureApp();
  return !FReadOnly && !QGuiApplication::clipboard()->text().isEmpty();
}

void SendTextInput(TControl* Control, const std::string& Text) {
  if (!Control) return;
  if (auto* wc = dynamic_cast<TWinControl*>(Control)) wc->HandleNeeded();
  QWidget* w = vmqt::ControlWidget(Control);
  if (!w) return;
  while (w->focusProxy()) w = w->focusProxy();
  for (QChar ch : vmqt::ToQ(Text)) {
    QKeyEvent down(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QCoreApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
    QCoreApplication::sendEvent(w, &up);
  }
}

void GrabControl(TControl* Control, TBitmap* Dest) {
  if (!Control || !Dest) return;
  if (auto* wc = dynamic_cast<TWinControl*>(Control)) wc->HandleNeeded();
  QWidget* w = vmqt::ControlWidget(Control);
  if (!w) return;
  QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  vmqt::SetBitmapImage(Dest, img);
}

bool SaveControlImage(TControl* Control, const std::string& FileName) {
  if (!Control) return false;
  if (auto* wc = dynamic_cast<TWinControl*>(Control)) wc->HandleNeeded();
  QWidget* w = vmqt::ControlWidget(Control);
  if (!w) return false;
  return w->grab().save(QString::fromStdString(FileName));
}
