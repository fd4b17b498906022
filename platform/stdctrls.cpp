#include "platform/stdctrls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTranslator>

#include <algorithm>
#include <map>
#include <memory>
#include <string_view>

#include "platform/comctrls.h"
#include "platform/exceptions.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/imglist.h"
#include "platform/menus.h"
#include "platform/qt_controls.h"
#include "platform/qt_graphics.h"

const TEnumInfo AlignmentInfo("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});

namespace {

const TEnumInfo kTextLayoutInfo("TTextLayout", {"tlTop", "tlCenter", "tlBottom"});
const TEnumInfo kScrollStyleInfo("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
const TEnumInfo kCheckBoxStateInfo("TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"});
const TEnumInfo kComboBoxStyleInfo("TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                                                      "csOwnerDrawVariable"});
const TEnumInfo kListBoxStyleInfo("TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"});
const TEnumInfo kBorderStyleInfo("TFormBorderStyle",
                                 {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
const TEnumInfo kScrollBarKindInfo("TScrollBarKind", {"sbHorizontal", "sbVertical"});

// Qt's own texts looked up in the program's texts (AddProgramTexts).
std::map<std::string, std::vector<vmqt::TProgramText>, std::less<>>& ProgramTexts() {
  static std::map<std::string, std::vector<vmqt::TProgramText>, std::less<>> texts;
  return texts;
}

class TProgramTexts : public QTranslator {
public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* Context, const char* Source, const char*, int) const override {
    if (!Context || !Source) return {};
    auto it = ProgramTexts().find(std::string_view(Context));
    if (it == ProgramTexts().end()) return {};
    for (const vmqt::TProgramText& t : it->second)
      if (std::string_view(Source) == t.Source) return t.Text->empty() ? QString() : vmqt::ToQ(*t.Text);
    return {};
  }
};

// Installed once per application object, before the first native widget that shows such a text.
void InstallProgramTexts() {
  static QPointer<QTranslator> installed;
  if (installed || !QCoreApplication::instance()) return;
  installed = new TProgramTexts(QCoreApplication::instance());
  QCoreApplication::installTranslator(installed);
}

// The native edits' own commands, and the step commands of the spin boxes in Qt's own dialogs.
void InstallEditTexts() {
  static bool added = false;
  if (!added) {
    added = true;
    const std::initializer_list<vmqt::TProgramText> edit = {{"&Undo", &SEditUndo},
                                                            {"&Redo", &SEditRedo},
                                                            {"Cu&t", &SEditCut},
                                                            {"&Copy", &SEditCopy},
                                                            {"Copy &Link Location", &SEditCopyLink},
                                                            {"&Paste", &SEditPaste},
                                                            {"Delete", &SEditDelete},
                                                            {"Select All", &SEditSelectAll}};
    vmqt::AddProgramTexts("QLineEdit", edit);
    vmqt::AddProgramTexts("QWidgetTextControl", edit);
    vmqt::AddProgramTexts("QAbstractSpinBox", {{"&Step up", &SSpinStepUp}, {"Step &down", &SSpinStepDown}});
  }
  InstallProgramTexts();
}

bool ColorStored(TObject* o) { return !static_cast<TControl*>(o)->ParentColor(); }

// Code points of a UTF-8 text, and back.
int CharCount(const std::string& S) { return static_cast<int>(vmqt::ToQ(S).size()); }

void RaiseIndex(int Index) { throw EListError("List index out of bounds (" + std::to_string(Index) + ")"); }

}  // namespace

VM_PUBLISH(TCustomLabel) {
  P.Int("Color", &TCustomLabel::Color, &TCustomLabel::SetColor)
      .Default(clBtnFace)
      .Idents(ColorIdents)
      .Stored(ColorStored);
  P.Bool("ParentColor", &TCustomLabel::ParentColor, &TCustomLabel::SetParentColor).Default(true);
  P.String("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption);
  P.Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
  P.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, AlignmentInfo).Default(taLeftJustify);
  P.Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, kTextLayoutInfo).Default(tlTop);
  P.Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
  P.Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(false);
  P.Component("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
  P.Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(true);
}
VM_DEFINE_CLASS(TLabel)

VM_PUBLISH(TCustomEdit) {
  P.Int("Color", &TCustomEdit::Color, &TCustomEdit::SetColor).Default(clWindow).Idents(ColorIdents).Stored(ColorStored);
  P.Bool("TabStop", &TCustomEdit::TabStop, &TCustomEdit::SetTabStop).Default(true);
  P.String("Text", &TCustomEdit::Text, &TCustomEdit::SetText);
  P.Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  P.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
  P.Char("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default(0);
  P.Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
  P.Event("OnChange", &TCustomEdit::OnChange);
}
VM_DEFINE_CLASS(TEdit)

VM_PUBLISH(TMemo) {
  P.Bool("TabStop", &TMemo::TabStop, &TMemo::SetTabStop).Default(true);
  P.Strings("Lines", &TMemo::Lines);
  P.Enum("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars, kScrollStyleInfo).Default(ssNone);
  P.Bool("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
  P.Bool("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
  P.Event("OnChange", &TMemo::OnChange);
}

VM_PUBLISH(TButton) {
  P.Bool("TabStop", &TButton::TabStop, &TButton::SetTabStop).Default(true);
  P.String("Caption", &TButton::Caption, &TButton::SetCaption);
  P.Bool("Default", &TButton::Default, &TButton::SetDefault).Default(false);
  P.Bool("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  P.Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
}

VM_PUBLISH(TCheckBox) {
  P.Bool("TabStop", &TCheckBox::TabStop, &TCheckBox::SetTabStop).Default(true);
  P.String("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption);
  P.Bool("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
  P.Enum("State", &TCheckBox::State, &TCheckBox::SetState, kCheckBoxStateInfo).Default(cbUnchecked);
  P.Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Stored(false);
}

VM_PUBLISH(TRadioButton) {
  P.Bool("TabStop", &TRadioButton::TabStop, &TRadioButton::SetTabStop).Default(true);
  P.String("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption);
  P.Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
}

VM_PUBLISH(TGroupBox) {
  P.Int("Color", &TGroupBox::Color, &TGroupBox::SetColor).Default(clBtnFace).Idents(ColorIdents).Stored(ColorStored);
  P.String("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption);
}

VM_PUBLISH(TListBox) {
  P.Bool("TabStop", &TListBox::TabStop, &TListBox::SetTabStop).Default(true);
  P.Enum("Style", &TListBox::Style, &TListBox::SetStyle, kListBoxStyleInfo).Default(lbStandard);
  P.Int("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight).Default(16);
  P.Bool("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect).Default(false);
  P.Bool("Sorted", &TListBox::Sorted, &TListBox::SetSorted).Default(false);
  P.Strings("Items", &TListBox::Items);
  P.Int("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex).Default(-1);
  P.Enum("BorderStyle", &TListBox::BorderStyle, &TListBox::SetBorderStyle, kBorderStyleInfo).Default(bsSingle);
}

VM_PUBLISH(TComboBox) {
  P.Bool("TabStop", &TComboBox::TabStop, &TComboBox::SetTabStop).Default(true);
  P.Enum("Style", &TComboBox::Style, &TComboBox::SetStyle, kComboBoxStyleInfo).Default(csDropDown);
  P.Int("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount).Default(8);
  P.Int("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight).Default(16);
  P.Bool("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).Default(false);
  P.Strings("Items", &TComboBox::Items);
  P.Int("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Default(-1);
  P.String("Text", &TComboBox::Text, &TComboBox::SetText);
  P.Event("OnChange", &TComboBox::OnChange);
  P.Event("OnSelect", &TComboBox::OnSelect);
}

VM_PUBLISH(TScrollBar) {
  P.Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind, kScrollBarKindInfo).Default(sbHorizontal);
  P.Int("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
  P.Int("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
  P.Int("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
  P.Int("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1);
  P.Int("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1);
  P.Event("OnChange", &TScrollBar::OnChange);
}

namespace {
struct StdRegistrar {
  StdRegistrar() {
    RegisterClasses({TLabel::StaticClass(), TEdit::StaticClass(), TMemo::StaticClass(), TButton::StaticClass(),
                     TCheckBox::StaticClass(), TRadioButton::StaticClass(), TGroupBox::StaticClass(),
                     TListBox::StaticClass(), TComboBox::StaticClass(), TScrollBar::StaticClass(),
                     TPaintBox::StaticClass()});
  }
} gStdRegistrar;
}  // namespace

void RegisterStandardControls() {
  RegisterClasses(
      {TLabel::StaticClass(),    TEdit::StaticClass(),        TMemo::StaticClass(),       TButton::StaticClass(),
       TCheckBox::StaticClass(), TRadioButton::StaticClass(), TGroupBox::StaticClass(),   TListBox::StaticClass(),
       TComboBox::StaticClass(), TScrollBar::StaticClass(),   TPaintBox::StaticClass(),   TPanel::StaticClass(),
       TBevel::StaticClass(),    TImage::StaticClass(),       TRadioGroup::StaticClass(), TProgressBar::StaticClass(),
       TTabSheet::StaticClass(), TPageControl::StaticClass(), TTrackBar::StaticClass(),   TImageList::StaticClass()});
}

namespace {

// The items of a list control: the control hears where items come and go, so that its
// selection stays on the same items.
class TItemStrings : public TStringList {
public:
  std::function<void(int)> Inserted, Deleting;
  std::function<void(int, int)> Exchanged;
  std::function<void()> Clearing, Sorted;

  void Delete(int Index) override {
    if (Index >= 0 && Index < Count() && Deleting) Deleting(Index);
    TStringList::Delete(Index);
  }
  void Clear() override {
    if (Count() > 0 && Clearing) Clearing();
    TStringList::Clear();
  }
  void Exchange(int Index1, int Index2) override {
    TStringList::Exchange(Index1, Index2);
    if (Exchanged) Exchanged(Index1, Index2);
  }
  void CustomSort(const TStringListSortCompare& Compare) override {
    TStringList::CustomSort(Compare);
    if (Sorted) Sorted();
  }

protected:
  void InsertItem(int Index, const std::string& S, TObject* AObject) override {
    if (Inserted) Inserted(Index);
    TStringList::InsertItem(Index, S, AObject);
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FColor = clBtnFace;
  FParentColor = true;
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAutoSize(bool Value) {
  FAutoSize = Value;
  AdjustBounds();
}
void TCustomLabel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout Value) {
  FLayout = Value;
  Invalidate();
}
void TCustomLabel::SetWordWrap(bool Value) {
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}
void TCustomLabel::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

bool TCustomLabel::DialogChar(char Key) {
  if (!FShowAccelChar || GetHotkey(FText) != Key || !FFocusControl || !FFocusControl->CanFocus()) return false;
  FFocusControl->SetFocus();
  return true;
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

void TCustomLabel::Click() {
  TGraphicControl::Click();
  if (FFocusControl && FFocusControl->CanFocus()) FFocusControl->SetFocus();
}

// With AutoSize the label takes its text's size; word-wrapped it keeps its width and grows down.
// The side the alignment anchors to stays put.
void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  TCanvas* c = Canvas();
  c->Font()->Assign(FFont.get());
  TRect r = Rect(0, 0, FWordWrap ? std::max(1, FWidth) : 0, 0);
  std::string text = FText.empty() ? std::string(" ") : FText;
  c->DrawText(text, r, DT_CALCRECT | (FShowAccelChar ? 0u : DT_NOPREFIX) | (FWordWrap ? DT_WORDBREAK : 0u));
  int32_t left = FLeft;
  if (!FWordWrap && FAlignment == taRightJustify) left = FLeft + FWidth - r.Width();
  if (!FWordWrap && FAlignment == taCenter) left = FLeft + (FWidth - r.Width()) / 2;
  SetBounds(left, FTop, r.Width(), r.Height());
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (!FTransparent) {
    c->Brush()->SetColor(FColor);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
  }
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(FFont.get());
  if (!FEnabled) c->Font()->SetColor(clGrayText);
  uint32_t flags = (FShowAccelChar ? 0u : DT_NOPREFIX) | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE);
  flags |= FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
  if (FLayout != tlTop) {
    TRect calc = Rect(0, 0, r.Width(), 0);
    c->DrawText(FText, calc, flags | DT_CALCRECT);
    int dy = r.Height() - calc.Height();
    r.Top += FLayout == tlCenter ? dy / 2 : dy;
  }
  c->DrawText(FText, r, flags);
}

// ---------------------------------------------------------------------------------------------
// The native edits' context menus

std::string SEditUndo = "&Undo";
std::string SEditRedo = "&Redo";
std::string SEditCut = "Cu&t";
std::string SEditCopy = "&Copy";
std::string SEditCopyLink = "Copy &Link Location";
std::string SEditPaste = "&Paste";
std::string SEditDelete = "Delete";
std::string SEditSelectAll = "Select All";
std::string SSpinStepUp = "&Step up";
std::string SSpinStepDown = "Step &down";

std::string NativeText(const std::string& Context, const std::string& Source) {
  vmqt::EnsureApp();
  InstallEditTexts();
  return vmqt::FromQ(QCoreApplication::translate(Context.c_str(), Source.c_str()));
}

void vmqt::AddProgramTexts(const char* Context, std::initializer_list<TProgramText> Texts) {
  auto& list = ProgramTexts()[Context];
  for (const TProgramText& t : Texts) {
    auto same = [&](const TProgramText& o) { return std::string_view(o.Source) == t.Source; };
    if (std::find_if(list.begin(), list.end(), same) == list.end()) list.push_back(t);
  }
  InstallProgramTexts();
}

std::vector<std::string> EditContextMenuCaptions(TWinControl* Edit) {
  std::vector<std::string> captions;
  if (!Edit) return captions;
  Edit->HandleNeeded();
  QWidget* w = vmqt::ControlWidget(Edit);
  std::unique_ptr<QMenu> menu;
  if (auto* e = qobject_cast<QLineEdit*>(w))
    menu.reset(e->createStandardContextMenu());
  else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
    menu.reset(m->createStandardContextMenu());
  if (!menu) return captions;
  for (QAction* a : menu->actions())
    captions.push_back(a->isSeparator() ? std::string("-") : vmqt::FromQ(a->text().section('\t', 0, 0)));
  return captions;
}

// ---------------------------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FTabStop = true;
  SetBounds(0, 0, 121, 24);
}

void* TCustomEdit::CreateNativeWidget(void* ParentWidget) {
  InstallEditTexts();
  auto* e = new QLineEdit(static_cast<QWidget*>(ParentWidget));
  e->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
  e->setText(vmqt::ToQ(FText));
  e->setReadOnly(FReadOnly);
  e->setEchoMode(FPasswordChar ? QLineEdit::Password : QLineEdit::Normal);
  if (FSelLength > 0)
    e->setSelection(FSelStart, FSelLength);
  else
    e->setCursorPosition(FSelStart);
  e->setFont(vmqt::MakeQFont(*FFont));
  QObject::connect(e, &QLineEdit::textEdited, e, [this](const QString& t) { UserEdited(vmqt::FromQ(t)); });
  return e;
}

void TCustomEdit::UserEdited(const std::string& Value) {
  FSyncing = true;
  FModified = true;
  TControl::SetText(Value);
  FSyncing = false;
}

void TCustomEdit::TextChanged() {
  if (!FSyncing) {
    if (FMaxLength > 0 && CharCount(FText) > FMaxLength) FText = vmqt::FromQ(vmqt::ToQ(FText).left(FMaxLength));
    if (auto* e = static_cast<QLineEdit*>(NativeWidget())) {
      QSignalBlocker b(e);
      e->setText(vmqt::ToQ(FText));
    }
    FSelStart = FSelLength = 0;
  }
  Change();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
  if (FAutoSelect) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::SetMaxLength(int Value) {
  FMaxLength = std::max(0, Value);
  if (auto* e = static_cast<QLineEdit*>(NativeWidget())) e->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
  if (FMaxLength > 0 && CharCount(FText) > FMaxLength) SetText(vmqt::FromQ(vmqt::ToQ(FText).left(FMaxLength)));
}

void TCustomEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (auto* e = static_cast<QLineEdit*>(NativeWidget())) e->setReadOnly(Value);
}

void TCustomEdit::SetPasswordChar(char Value) {
  FPasswordChar = Value;
  if (auto* e = static_cast<QLineEdit*>(NativeWidget()))
    e->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
}

int TCustomEdit::SelStart() const {
  if (auto* e = static_cast<QLineEdit*>(NativeWidget()))
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  return FSelStart;
}

int TCustomEdit::SelLength() const {
  if (auto* e = static_cast<QLineEdit*>(NativeWidget())) return e->hasSelectedText() ? e->selectionLength() : 0;
  return FSelLength;
}

void TCustomEdit::SetSelStart(int Value) {
  int n = CharCount(FText);
  FSelStart = std::clamp(Value, 0, n);
  FSelLength = 0;
  if (auto* e = static_cast<QLineEdit*>(NativeWidget())) e->setCursorPosition(FSelStart);
}

void TCustomEdit::SetSelLength(int Value) {
  int start = SelStart();
  FSelStart = start;
  FSelLength = std::clamp(Value, 0, CharCount(FText) - start);
  if (auto* e = static_cast<QLineEdit*>(NativeWidget())) e->setSelection(FSelStart, FSelLength);
}

std::string TCustomEdit::SelText() const { return vmqt::FromQ(vmqt::ToQ(FText).mid(SelStart(), SelLength())); }

void TCustomEdit::SetSelText(const std::string& Value) {
  QString t = vmqt::ToQ(FText);
  int start = SelStart();
  QString ins = vmqt::ToQ(Value);
  if (FMaxLength > 0) ins = ins.left(std::max(0, FMaxLength - static_cast<int>(t.size()) + SelLength()));
  t.replace(start, SelLength(), ins);
  SetText(vmqt::FromQ(t));
  SetSelStart(start + static_cast<int>(ins.size()));
}

void TCustomEdit::SelectAll() {
  FSelStart = 0;
  FSelLength = CharCount(FText);
  if (auto* e = static_cast<QLineEdit*>(NativeWidget())) e->selectAll();
}

// ---------------------------------------------------------------------------------------------
// TMemo

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner), FLines(std::make_unique<TStringList>()) {
  FTabStop = true;
  FLines->OnChange = [this](TObject*) { LinesChanged(); };
  SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() { FLines->OnChange = nullptr; }

TStrings* TMemo::Lines() const { return FLines.get(); }

void* TMemo::CreateNativeWidget(void* ParentWidget) {
  InstallEditTexts();
  auto* e = new QPlainTextEdit(static_cast<QWidget*>(ParentWidget));
  e->setPlainText(vmqt::ToQ(GetText()));
  e->setReadOnly(FReadOnly);
  e->setLineWrapMode(FWordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  e->setHorizontalScrollBarPolicy(FScrollBars == ssHorizontal || FScrollBars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                                       : Qt::ScrollBarAlwaysOff);
  e->setVerticalScrollBarPolicy(FScrollBars == ssVertical || FScrollBars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                                   : Qt::ScrollBarAlwaysOff);
  e->setFont(vmqt::MakeQFont(*FFont));
  QObject::connect(e, &QPlainTextEdit::textChanged, e, [this] { UserEdited(); });
  return e;
}

std::string TMemo::GetText() const {
  std::string r;
  for (int i = 0; i < FLines->Count(); ++i) {
    if (i) r += "\n";
    r += FLines->Strings(i);
  }
  return r;
}

void TMemo::SetText(const std::string& Value) { FLines->SetText(Value); }

void TMemo::ScrollToEnd() {
  if (auto* e = static_cast<QPlainTextEdit*>(NativeWidget())) {
    e->moveCursor(QTextCursor::End);
    e->ensureCursorVisible();
  }
}

int TMemo::TopLine() const {
  auto* e = static_cast<QPlainTextEdit*>(NativeWidget());
  return e ? e->cursorForPosition(QPoint(0, 0)).blockNumber() : 0;
}

void TMemo::LinesChanged() {
  if (FSyncing) return;
  if (auto* e = static_cast<QPlainTextEdit*>(NativeWidget())) {
    QSignalBlocker b(e);
    e->setPlainText(vmqt::ToQ(GetText()));
  }
  Change();
}

void TMemo::UserEdited() {
  auto* e = static_cast<QPlainTextEdit*>(NativeWidget());
  if (!e) return;
  FSyncing = true;
  std::string t = vmqt::FromQ(e->toPlainText());
  Guarded([&] {
    FLines->BeginUpdate();
    FLines->Clear();
    size_t p = 0;
    while (true) {
      size_t q = t.find('\n', p);
      FLines->Add(t.substr(p, q == std::string::npos ? std::string::npos : q - p));
      if (q == std::string::npos) break;
      p = q + 1;
    }
    if (t.empty()) FLines->Clear();
    FLines->EndUpdate();
  });
  FSyncing = false;
  Guarded([this] { Change(); });
}

void TMemo::Change() {
  if (OnChange) OnChange(this);
}

void TMemo::SetScrollBars(TScrollStyle Value) {
  FScrollBars = Value;
  if (auto* e = static_cast<QPlainTextEdit*>(NativeWidget())) {
    e->setHorizontalScrollBarPolicy(Value == ssHorizontal || Value == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                             : Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(Value == ssVertical || Value == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                         : Qt::ScrollBarAlwaysOff);
  }
}

void TMemo::SetWordWrap(bool Value) {
  FWordWrap = Value;
  if (auto* e = static_cast<QPlainTextEdit*>(NativeWidget()))
    e->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (auto* e = static_cast<QPlainTextEdit*>(NativeWidget())) e->setReadOnly(Value);
}

// ---------------------------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  FTabStop = true;
  SetBounds(0, 0, 75, 25);
}

void* TButton::CreateNativeWidget(void* ParentWidget) {
  auto* b = new QPushButton(vmqt::ToQ(FText), static_cast<QWidget*>(ParentWidget));
  b->setDefault(FDefault);
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, b, [this] { Guarded([this] { Click(); }); });
  return b;
}

void TButton::TextChanged() {
  if (auto* b = static_cast<QPushButton*>(NativeWidget())) b->setText(vmqt::ToQ(FText));
}

bool TButton::DialogKey(uint16_t Key, TShiftState Shift) {
  if (Key != VK_RETURN || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt)) return false;
  Click();
  return true;
}

bool TButton::DialogChar(char Key) {
  if (GetHotkey(FText) != Key) return false;
  if (CanFocus()) SetFocus();
  Click();
  return true;
}

void TButton::SetDefault(bool Value) {
  FDefault = Value;
  if (auto* b = static_cast<QPushButton*>(NativeWidget())) b->setDefault(Value);
}

void TButton::Click() {
  if (FModalResult != 0) {
    for (TWinControl* p = Parent(); p; p = p->Parent())
      if (auto* f = dynamic_cast<TForm*>(p)) {
        f->SetModalResult(FModalResult);
        break;
      }
  }
  TWinControl::Click();
}

namespace {
TButton* FindDialogButton(TWinControl* Parent, bool Default) {
  for (int i = 0; i < Parent->ControlCount(); ++i) {
    TControl* c = Parent->Controls(i);
    if (auto* b = dynamic_cast<TButton*>(c)) {
      if ((Default ? b->Default() : b->Cancel()) && b->Visible() && b->Enabled()) return b;
    } else if (auto* w = dynamic_cast<TWinControl*>(c)) {
      if (TButton* found = w->Visible() && w->Enabled() ? FindDialogButton(w, Default) : nullptr) return found;
    }
  }
  return nullptr;
}
}  // namespace

bool ClickDialogButton(TWinControl* Form, uint16_t Key) {
  if (!Form || (Key != VK_RETURN && Key != VK_ESCAPE)) return false;
  TButton* b = FindDialogButton(Form, Key == VK_RETURN);
  if (!b) return false;
  b->Click();
  return true;
}

// ---------------------------------------------------------------------------------------------
// TCheckBox

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner) {
  FTabStop = true;
  SetBounds(0, 0, 97, 17);
}

void* TCheckBox::CreateNativeWidget(void* ParentWidget) {
  auto* b = new QCheckBox(vmqt::ToQ(FText), static_cast<QWidget*>(ParentWidget));
  b->setTristate(FAllowGrayed);
  b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
  // The user's click: take the widget's new state and click.
  QObject::connect(b, &QCheckBox::clicked, b, [this, b] {
    Qt::CheckState s = b->checkState();
    FState = s == Qt::Checked ? cbChecked : s == Qt::PartiallyChecked ? cbGrayed : cbUnchecked;
    Guarded([this] { Click(); });
  });
  return b;
}

void TCheckBox::Sync() {
  if (auto* b = static_cast<QCheckBox*>(NativeWidget())) {
    QSignalBlocker bl(b);
    b->setTristate(FAllowGrayed || FState == cbGrayed);
    b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
  }
}

void TCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  Sync();
  if (!ComponentState().Contains(csLoading)) Guarded([this] { Click(); });
}

void TCheckBox::SetAllowGrayed(bool Value) {
  FAllowGrayed = Value;
  if (!Value && FState == cbGrayed) FState = cbUnchecked;
  Sync();
}

bool TCheckBox::DialogChar(char Key) {
  if (GetHotkey(FText) != Key || !CanFocus()) return false;
  SetFocus();
  SetState(FState == cbChecked ? cbUnchecked : cbChecked);
  return true;
}

void TCheckBox::TextChanged() {
  if (auto* b = static_cast<QCheckBox*>(NativeWidget())) b->setText(vmqt::ToQ(FText));
}

// ---------------------------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner) {
  FTabStop = true;
  SetBounds(0, 0, 113, 17);
}

void* TRadioButton::CreateNativeWidget(void* ParentWidget) {
  auto* b = new QRadioButton(vmqt::ToQ(FText), static_cast<QWidget*>(ParentWidget));
  b->setAutoExclusive(false);  // the group is kept by the controls
  b->setChecked(FChecked);
  QObject::connect(b, &QRadioButton::clicked, b, [this, b] {
    if (!b->isChecked()) {  // a checked radio button stays checked
      QSignalBlocker bl(b);
      b->setChecked(true);
      return;
    }
    SetChecked(true);
  });
  return b;
}

void TRadioButton::Sync() {
  if (auto* b = static_cast<QRadioButton*>(NativeWidget())) {
    QSignalBlocker bl(b);
    b->setChecked(FChecked);
  }
}

void TRadioButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  Sync();
  if (!Value) return;
  if (TWinControl* p = Parent())
    for (int i = 0; i < p->ControlCount(); ++i)
      if (auto* r = dynamic_cast<TRadioButton*>(p->Controls(i)); r && r != this) r->SetChecked(false);
  if (!ComponentState().Contains(csLoading)) Guarded([this] { Click(); });
}

bool TRadioButton::DialogChar(char Key) {
  if (GetHotkey(FText) != Key || !CanFocus()) return false;
  SetFocus();
  SetChecked(true);
  return true;
}

void TRadioButton::KeyDown(uint16_t& Key, TShiftState Shift) {
  TWinControl::KeyDown(Key, Shift);
  if (Key != VK_LEFT && Key != VK_UP && Key != VK_RIGHT && Key != VK_DOWN) return;
  TWinControl* p = Parent();
  if (!p) return;
  std::vector<TRadioButton*> group;
  for (int i = 0; i < p->ControlCount(); ++i)
    if (auto* r = dynamic_cast<TRadioButton*>(p->Controls(i)); r && (r == this || r->CanFocus())) group.push_back(r);
  const int n = static_cast<int>(group.size());
  if (n < 2) return;
  int at = static_cast<int>(std::find(group.begin(), group.end(), this) - group.begin());
  TRadioButton* next = group[(Key == VK_LEFT || Key == VK_UP ? at + n - 1 : at + 1) % n];
  Key = 0;
  next->SetFocus();
  next->SetChecked(true);
}

void TRadioButton::TextChanged() {
  if (auto* b = static_cast<QRadioButton*>(NativeWidget())) b->setText(vmqt::ToQ(FText));
}

// ---------------------------------------------------------------------------------------------
// TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clBtnFace;
  SetBounds(0, 0, 185, 105);
}

TRect TGroupBox::ClientRect() const {
  TRect r = TCustomControl::ClientRect();
  int top = std::abs(FFont->Height()) + 4;
  r.Left += 2;
  r.Right = std::max(r.Left, r.Right - 2);
  r.Top = std::min(r.Bottom, r.Top + top);
  r.Bottom = std::max(r.Top, r.Bottom - 2);
  return r;
}

void TGroupBox::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(FFont.get());
  int th = c->TextHeight("0");
  TRect frame = Rect(0, th / 2, FWidth, FHeight);
  c->Brush()->SetStyle(bsClear);
  c->Pen()->SetColor(clBtnShadow);
  c->Rectangle(frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1);
  c->Pen()->SetColor(clBtnHighlight);
  c->Rectangle(frame.Left + 1, frame.Top + 1, frame.Right, frame.Bottom);
  if (!FText.empty()) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(FColor);
    if (!FEnabled) c->Font()->SetColor(clGrayText);
    TRect t = Rect(8, 0, FWidth, th);
    c->DrawText(FText, t, DT_CALCRECT | DT_SINGLELINE);
    c->FillRect(t);
    c->Brush()->SetStyle(bsClear);
    c->DrawText(FText, t, DT_SINGLELINE);
  }
  TCustomControl::Paint();
}

bool TGroupBox::DialogChar(char Key) {
  if (GetHotkey(FText) != Key || !CanFocus()) return false;
  return SelectFirst();
}

// ---------------------------------------------------------------------------------------------
// TListBox

TListBox::TListBox(TComponent* AOwner) : TCustomControl(AOwner) {
  auto items = std::make_unique<TItemStrings>();
  items->Inserted = [this](int Index) {
    FSelected.insert(FSelected.begin() + std::min<size_t>(Index, FSelected.size()), false);
    if (FItemIndex >= Index) ++FItemIndex;
    if (FAnchor >= Index) ++FAnchor;
  };
  items->Deleting = [this](int Index) {
    if (Index < static_cast<int>(FSelected.size())) FSelected.erase(FSelected.begin() + Index);
    if (FItemIndex == Index)
      FItemIndex = -1;
    else if (FItemIndex > Index)
      --FItemIndex;
    if (FAnchor >= Index) FAnchor = FAnchor == Index ? -1 : FAnchor - 1;
  };
  items->Exchanged = [this](int A, int B) {
    if (A < static_cast<int>(FSelected.size()) && B < static_cast<int>(FSelected.size()))
      FSelected.swap(FSelected[A], FSelected[B]);
    if (FItemIndex == A)
      FItemIndex = B;
    else if (FItemIndex == B)
      FItemIndex = A;
  };
  auto reset = [this] {
    std::fill(FSelected.begin(), FSelected.end(), false);
    FItemIndex = FAnchor = -1;
    Invalidate();
  };
  items->Clearing = reset;
  items->Sorted = reset;
  FItems = std::move(items);
  FTabStop = true;
  FItems->OnChange = [this](TObject*) { ItemsChanged(); };
  SetClickOnMouseUp(false);  // clicks come with the selection
  SetFrameBorder(2);
  SetBounds(0, 0, 121, 97);
}

void TListBox::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  SetFrameBorder(Value == bsNone ? 0 : 2);
  UpdateScrollBar();
}

void TListBox::UpdateScrollBar() {
  int n = FItems->Count(), maxTop = MaxTopIndex();
  SetScrollBar(sbVertical, 0, std::max(0, n - 1), std::max(1, n - maxTop), FTopIndex);
}

void TListBox::Resize() {
  TCustomControl::Resize();
  UpdateScrollBar();
}

void TListBox::Scrolled(int Kind, int Position) {
  if (Kind != sbVertical) return;
  FTopIndex = std::clamp(Position, 0, std::max(0, FItems->Count() - 1));
  Invalidate();
}

TListBox::~TListBox() { FItems->OnChange = nullptr; }

void TListBox::ItemsChanged() {
  int n = FItems->Count();
  FSelected.resize(n, false);
  if (FItemIndex >= n) FItemIndex = n - 1;
  if (FTopIndex >= n) FTopIndex = std::max(0, n - 1);
  UpdateScrollBar();
  Invalidate();
}

void TListBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  if (Value == FItemIndex && (FMultiSelect || Value < 0 || FSelected[Value])) return;
  FItemIndex = Value;
  if (!FMultiSelect) {
    std::fill(FSelected.begin(), FSelected.end(), false);
    if (Value >= 0) FSelected[Value] = true;
  }
  if (Value >= 0) MakeVisible(Value);
  UpdateScrollBar();
  Invalidate();
}

void TListBox::SetMultiSelect(bool Value) {
  FMultiSelect = Value;
  std::fill(FSelected.begin(), FSelected.end(), false);
  if (!Value && FItemIndex >= 0) FSelected[FItemIndex] = true;
  Invalidate();
}

bool TListBox::Selected(int Index) const {
  if (Index < 0 || Index >= FItems->Count()) RaiseIndex(Index);
  return FSelected[Index];
}

void TListBox::SetSelected(int Index, bool Value) {
  if (Index < 0 || Index >= FItems->Count()) RaiseIndex(Index);
  if (!FMultiSelect) {
    if (Value)
      SetItemIndex(Index);
    else if (Index == FItemIndex)
      SetItemIndex(-1);
    return;
  }
  FSelected[Index] = Value;
  Invalidate();
}

int TListBox::SelCount() const {
  if (!FMultiSelect) return -1;
  return static_cast<int>(std::count(FSelected.begin(), FSelected.end(), true));
}

void TListBox::SetStyle(TListBoxStyle Value) {
  FStyle = Value;
  Invalidate();
}

void TListBox::SetItemHeight(int Value) {
  if (Value > 0) FItemHeight = Value;
  UpdateScrollBar();
  Invalidate();
}

void TListBox::SetTopIndex(int Value) {
  FTopIndex = std::clamp(Value, 0, std::max(0, FItems->Count() - 1));
  UpdateScrollBar();
  Invalidate();
}

void TListBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

int TListBox::HeightOf(int Index) const {
  int h = FItemHeight;
  if (FStyle == lbOwnerDrawVariable) const_cast<TListBox*>(this)->MeasureItem(Index, h);
  return std::max(1, h);
}

TRect TListBox::ItemRect(int Index) const {
  int y = 0;
  if (Index >= FTopIndex)
    for (int i = FTopIndex; i < Index; ++i) y += HeightOf(i);
  else
    for (int i = Index; i < FTopIndex; ++i) y -= HeightOf(i);
  return Rect(0, y, ClientWidth(), y + (Index < FItems->Count() ? HeightOf(Index) : FItemHeight));
}

int TListBox::ItemAtPos(const TPoint& Pos, bool Existing) const {
  int n = FItems->Count();
  if (Pos.X < 0 || Pos.X >= ClientWidth() || Pos.Y < 0) return Existing ? -1 : n;
  int y = 0;
  for (int i = FTopIndex; i < n; ++i) {
    int h = HeightOf(i);
    if (Pos.Y < y + h) return i;
    y += h;
  }
  return Existing ? -1 : n;
}

void TListBox::MakeVisible(int Index) {
  if (Index < FTopIndex) {
    FTopIndex = Index;
    return;
  }
  while (FTopIndex < Index && ItemRect(Index).Bottom > ClientHeight()) ++FTopIndex;
}

void TListBox::DrawItem(int Index, const TRect& R, TOwnerDrawState State) {
  if (FStyle != lbStandard && OnDrawItem) {
    OnDrawItem(this, Index, R, State);
    return;
  }
  TCanvas* c = Canvas();
  c->FillRect(R);
  c->TextOut(R.Left + 2, R.Top + (R.Height() - c->TextHeight("0")) / 2, FItems->Strings(Index));
}

void TListBox::Paint() {
  TCanvas* c = Canvas();
  int n = FItems->Count();
  for (int i = FTopIndex; i < n; ++i) {
    TRect r = ItemRect(i);
    if (r.Top >= ClientHeight()) break;
    TOwnerDrawState st;
    if (FSelected[i]) st.Include(odSelected);
    if (i == FItemIndex && Focused()) st.Include(odFocused);
    if (!FEnabled) st.Include(odDisabled);
    c->Font()->Assign(FFont.get());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(FSelected[i] ? clHighlight : FColor);
    if (FSelected[i]) c->Font()->SetColor(clHighlightText);
    DrawItem(i, r, st);
    if (st.Contains(odFocused)) c->DrawFocusRect(r);
  }
  TCustomControl::Paint();
}

void TListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    int i = ItemAtPos(TPoint(X, Y), true);
    if (i >= 0) {
      if (!FMultiSelect) {
        bool changed = i != FItemIndex;
        SetItemIndex(i);
        if (changed) Click();
      } else {
        if (Shift.Contains(ssShift) && FAnchor >= 0) {
          if (!Shift.Contains(ssCtrl)) std::fill(FSelected.begin(), FSelected.end(), false);
          for (int k = std::min(FAnchor, i); k <= std::max(FAnchor, i); ++k) FSelected[k] = true;
        } else if (Shift.Contains(ssCtrl)) {
          FSelected[i] = !FSelected[i];
          FAnchor = i;
        } else {
          std::fill(FSelected.begin(), FSelected.end(), false);
          FSelected[i] = true;
          FAnchor = i;
        }
        FItemIndex = i;
        Invalidate();
        Click();
      }
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TListBox::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  int n = FItems->Count();
  if (n == 0 || FMultiSelect) return;
  int i = FItemIndex;
  switch (Key) {
    case VK_UP:
      i = std::max(0, i - 1);
      break;
    case VK_DOWN:
      i = std::min(n - 1, i + 1);
      break;
    case VK_HOME:
      i = 0;
      break;
    case VK_END:
      i = n - 1;
      break;
    // A page is the rows that show, less one that stays in view.
    case VK_PRIOR:
      i = std::max(0, i - std::max(1, VisibleRows() - 1));
      break;
    case VK_NEXT:
      i = std::min(n - 1, std::max(i, 0) + std::max(1, VisibleRows() - 1));
      break;
    default:
      return;
  }
  Key = 0;
  if (i != FItemIndex) {
    SetItemIndex(i);
    Click();
  }
}

int TListBox::VisibleRows() const {
  int rows = 0;
  for (int i = FTopIndex, y = 0, n = FItems->Count(); i < n; ++i) {
    y += HeightOf(i);
    if (y > ClientHeight()) break;
    ++rows;
  }
  return std::max(1, rows);
}

// The last rows fill the list: the top index that shows them.
int TListBox::MaxTopIndex() const {
  int n = FItems->Count(), y = 0, top = n;
  while (top > 0 && y + HeightOf(top - 1) <= ClientHeight()) y += HeightOf(--top);
  return std::min(top, std::max(0, n - 1));
}

bool TListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  int top = std::clamp(FTopIndex - WheelDelta / 120 * Mouse->WheelScrollLines(), 0, MaxTopIndex());
  if (top != FTopIndex) SetTopIndex(top);
  return true;
}

// ---------------------------------------------------------------------------------------------
// TComboBox

// Owner drawing: the items of the list (through the view's delegate) and the closed box's field
// (through the widget's paint event) are drawn by the control's DrawItem on its Canvas, bound for
// the call to the painter Qt paints with.
struct TComboBoxPainter {
  struct Target : vmqt::TCanvasTarget {
    QPainter* P = nullptr;
    QPaintDevice* Device() override { return P->device(); }
    QPainter* ExternalPainter() override { return P; }
  };

  static bool OwnerDrawn(const TComboBox* C) { return C->OwnerDrawn(); }
  static int ItemHeight(const TComboBox* C) { return C->FItemHeight; }

  static void Paint(TComboBox* C, QPainter* P, int Index, const QRect& R, TOwnerDrawState State) {
    if (Index < 0 || Index >= C->FItems->Count()) return;
    P->save();
    P->setClipRect(R);
    Target target;
    target.P = P;
    TCanvas* canvas = C->FCanvas.get();
    canvas->Font()->Assign(C->Font());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(State.Contains(odSelected) ? clHighlight : C->Color());
    if (State.Contains(odSelected)) canvas->Font()->SetColor(clHighlightText);
    canvas->Pen()->SetColor(clBlack);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetWidth(1);
    vmqt::CanvasSetTarget(canvas, &target);
    try {
      C->DrawItem(Index, vmqt::FromQRect(R), State);
    } catch (...) {
      vmqt::HandleCurrentException(C);
    }
    vmqt::CanvasSetTarget(canvas, nullptr);
    P->restore();
  }
};

namespace {

class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
  TOwnerDrawDelegate(TComboBox* Control, QObject* Parent) : QStyledItemDelegate(Parent), Control(Control) {}
  void paint(QPainter* P, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    if (!TComboBoxPainter::OwnerDrawn(Control)) {
      QStyledItemDelegate::paint(P, Option, Index);
      return;
    }
    TOwnerDrawState state;
    if (Option.state & QStyle::State_Selected) state.Include(odSelected);
    if (Option.state & QStyle::State_HasFocus) state.Include(odFocused);
    if (!(Option.state & QStyle::State_Enabled)) state.Include(odDisabled);
    TComboBoxPainter::Paint(Control, P, Index.row(), Option.rect, state);
  }
  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    QSize s = QStyledItemDelegate::sizeHint(Option, Index);
    if (TComboBoxPainter::OwnerDrawn(Control)) s.setHeight(TComboBoxPainter::ItemHeight(Control));
    return s;
  }

private:
  TComboBox* Control;
};

class TQtComboBox : public QComboBox {
public:
  TQtComboBox(TComboBox* Control, QWidget* Parent) : QComboBox(Parent), Control(Control) { FollowStyle(); }
  // An owner-drawn list gets the delegate that draws through the control; a standard one keeps
  // the style's own (which draws the list as the platform's menus look).
  void FollowStyle() {
    if (TComboBoxPainter::OwnerDrawn(Control) && !dynamic_cast<TOwnerDrawDelegate*>(itemDelegate()))
      setItemDelegate(new TOwnerDrawDelegate(Control, this));
  }

protected:
  void paintEvent(QPaintEvent* E) override {
    if (!TComboBoxPainter::OwnerDrawn(Control)) {
      QComboBox::paintEvent(E);
      return;
    }
    // The frame and the arrow as the style draws them, the field by the control.
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    TOwnerDrawState state;
    state.Include(odComboBoxEdit);
    if (hasFocus()) {
      state.Include(odSelected);
      state.Include(odFocused);
    }
    if (!isEnabled()) state.Include(odDisabled);
    TComboBoxPainter::Paint(Control, &p, currentIndex(), field, state);
  }

private:
  TComboBox* Control;
};

}  // namespace

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner) {
  auto items = std::make_unique<TItemStrings>();
  items->Inserted = [this](int Index) {
    if (FItemIndex >= Index) ++FItemIndex;
  };
  items->Deleting = [this](int Index) {
    if (FItemIndex == Index)
      FItemIndex = -1;
    else if (FItemIndex > Index)
      --FItemIndex;
  };
  items->Exchanged = [this](int A, int B) {
    if (FItemIndex == A)
      FItemIndex = B;
    else if (FItemIndex == B)
      FItemIndex = A;
    Sync();
  };
  items->Clearing = [this] { FItemIndex = -1; };
  items->Sorted = [this] {
    FItemIndex = FItemIndex >= 0 ? FItems->IndexOf(FText) : -1;
    Sync();
  };
  FItems = std::move(items);
  FTabStop = true;
  FItems->OnChange = [this](TObject*) { ItemsChanged(); };
  FCanvas = std::make_unique<TCanvas>();
  SetBounds(0, 0, 145, 24);
}

TComboBox::~TComboBox() { FItems->OnChange = nullptr; }

void* TComboBox::CreateNativeWidget(void* ParentWidget) {
  InstallEditTexts();
  auto* c = new TQtComboBox(this, static_cast<QWidget*>(ParentWidget));
  c->setEditable(!IsList());
  c->setInsertPolicy(QComboBox::NoInsert);
  c->setMaxVisibleItems(std::max(1, FDropDownCount));
  for (int i = 0; i < FItems->Count(); ++i) c->addItem(vmqt::ToQ(FItems->Strings(i)));
  c->setCurrentIndex(FItemIndex);
  if (c->isEditable()) c->setEditText(vmqt::ToQ(FText));
  // Stepping through the list changes the current text first, then activates: one pick.
  QObject::connect(c, &QComboBox::activated, c, [this](int i) {
    if (i == FJustPicked) {
      FJustPicked = -2;
      return;
    }
    UserPicked(i);
  });
  QObject::connect(c, &QComboBox::currentTextChanged, c, [this, c](const QString& t) {
    if (FSyncing) return;
    FJustPicked = -2;
    int i = c->currentIndex();
    if (i >= 0 && i != FItemIndex && c->itemText(i) == t) {
      FJustPicked = i;
      UserPicked(i);
    } else {
      UserTyped(vmqt::FromQ(t));
    }
  });
  return c;
}

void TComboBox::Sync() {
  auto* c = static_cast<QComboBox*>(NativeWidget());
  if (!c) return;
  FSyncing = true;
  QSignalBlocker b(c);
  if (auto* q = dynamic_cast<TQtComboBox*>(c)) q->FollowStyle();
  c->setEditable(!IsList());
  c->clear();
  for (int i = 0; i < FItems->Count(); ++i) c->addItem(vmqt::ToQ(FItems->Strings(i)));
  c->setCurrentIndex(FItemIndex);
  if (c->isEditable()) c->setEditText(vmqt::ToQ(FText));
  FSyncing = false;
}

void TComboBox::ItemsChanged() {
  if (FItemIndex >= FItems->Count()) FItemIndex = -1;
  if (FItemIndex < 0 && IsList()) FText.clear();
  Sync();
}

void TComboBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  FItemIndex = Value;
  FText = Value >= 0 ? FItems->Strings(Value) : std::string();
  Sync();
}

// Setting the text picks the item of that text (letter case ignored); in a drop-down list a
// text that is no item leaves the text empty.
void TComboBox::SetText(const std::string& Value) {
  int i = FItems->IndexOf(Value);
  if (IsList() && i < 0) {
    FItemIndex = -1;
    FText.clear();
  } else {
    FItemIndex = i;
    FText = i >= 0 && IsList() ? FItems->Strings(i) : Value;
  }
  Sync();
}

void TComboBox::Clear() {
  FItems->Clear();
  FItemIndex = -1;
  FText.clear();
  Sync();
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
  FStyle = Value;
  if (IsList() && FItemIndex < 0) FText.clear();
  Sync();
}

bool TComboBox::DroppedDown() const {
  auto* c = static_cast<QComboBox*>(NativeWidget());
  return c && c->view() && c->view()->isVisible();
}

void TComboBox::SetDroppedDown(bool Value) {
  if (Value == DroppedDown()) return;
  HandleNeeded();
  auto* c = static_cast<QComboBox*>(NativeWidget());
  if (!c) return;
  if (Value)
    c->showPopup();
  else
    c->hidePopup();
}

void TComboBox::SetItemHeight(int Value) {
  if (Value <= 0 || Value == FItemHeight) return;
  FItemHeight = Value;
  Sync();
}

void TComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OwnerDrawn() && OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas->FillRect(Rect);
  FCanvas->TextOut(Rect.Left + 2, Rect.Top + (Rect.Height() - FCanvas->TextHeight("0")) / 2, FItems->Strings(Index));
}

void TComboBox::SetDropDownCount(int Value) {
  FDropDownCount = Value;
  if (auto* c = static_cast<QComboBox*>(NativeWidget())) c->setMaxVisibleItems(std::max(1, Value));
}

void TComboBox::UserPicked(int Index) {
  if (Index < 0 || Index >= FItems->Count()) return;
  FItemIndex = Index;
  FText = FItems->Strings(Index);
  Guarded([this] {
    Click();
    Select();
    Change();
  });
}

void TComboBox::UserTyped(const std::string& Value) {
  if (Value == FText) return;
  FText = Value;
  FItemIndex = FItems->IndexOf(Value);
  Guarded([this] { Change(); });
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TComboBox::Select() {
  if (OnSelect) OnSelect(this);
}

// ---------------------------------------------------------------------------------------------
// TScrollBar

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 121, 17); }

void* TScrollBar::CreateNativeWidget(void* ParentWidget) {
  auto* s = new QScrollBar(FKind == sbHorizontal ? Qt::Horizontal : Qt::Vertical, static_cast<QWidget*>(ParentWidget));
  s->setRange(FMin, FMax);
  s->setValue(FPosition);
  s->setSingleStep(FSmallChange);
  s->setPageStep(FLargeChange);
  QObject::connect(s, &QScrollBar::valueChanged, s, [this](int v) {
    if (FSyncing || v == FPosition) return;
    FPosition = v;
    Guarded([this] {
      if (OnChange) OnChange(this);
    });
  });
  return s;
}

void TScrollBar::Sync() {
  auto* s = static_cast<QScrollBar*>(NativeWidget());
  if (!s) return;
  FSyncing = true;
  s->setOrientation(FKind == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
  s->setRange(FMin, FMax);
  s->setValue(FPosition);
  s->setSingleStep(FSmallChange);
  s->setPageStep(FLargeChange);
  FSyncing = false;
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  SetBounds(FLeft, FTop, FHeight, FWidth);
  Sync();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
  if (AMax < AMin) throw EInvalidOperation("Scroll bar property out of range");
  APosition = std::clamp(APosition, AMin, AMax);
  bool moved = APosition != FPosition;
  FMin = AMin;
  FMax = AMax;
  FPosition = APosition;
  Sync();
  if (moved && OnChange) OnChange(this);
}

void TScrollBar::SetSmallChange(int Value) {
  FSmallChange = std::max(1, Value);
  Sync();
}

void TScrollBar::SetLargeChange(int Value) {
  FLargeChange = std::max(1, Value);
  Sync();
}

void TScrollBar::KeyDown(uint16_t& Key, TShiftState Shift) {
  TWinControl::KeyDown(Key, Shift);
  int step = 0;
  switch (Key) {
    case VK_LEFT:
    case VK_UP:
      step = -FSmallChange;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      step = FSmallChange;
      break;
    case VK_PRIOR:
      step = -FLargeChange;
      break;
    case VK_NEXT:
      step = FLargeChange;
      break;
    default:
      return;
  }
  SetPosition(FPosition + step);
  Key = 0;  // handled here, not again by the widget
}
