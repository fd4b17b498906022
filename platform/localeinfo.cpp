#include "platform/localeinfo.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>

#include <map>

namespace {
TLocaleInfo& Current() {
  static TLocaleInfo info;
  return info;
}

// A Qt date or time pattern in the toolkit's letters (minutes are "n").
std::string ToToolkitPattern(const QString& Q, bool Time) {
  std::string s;
  for (QChar c : Q) {
    char ch = static_cast<char>(c.toLatin1());
    if (Time && ch == 'm') ch = 'n';
    if (ch == 'M') ch = 'm';
    if (ch == 'A' || ch == 'a') continue;
    s += ch;
  }
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

char FirstNonLetter(const std::string& S, char Default) {
  for (char c : S)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return c;
  return Default;
}
}  // namespace

const TLocaleInfo& LocaleInfo() { return Current(); }
namespace {
std::map<int, std::function<void()>>& Handlers() {
  static std::map<int, std::function<void()>> m;
  return m;
}
}  // namespace

void SetLocaleInfo(const TLocaleInfo& Value) {
  Current() = Value;
  // A handler may add or remove handlers: walk a copy.
  auto handlers = Handlers();
  for (auto& [id, fn] : handlers)
    if (Handlers().count(id) && fn) fn();
}

int AddLocaleChangeHandler(std::function<void()> Handler) {
  static int next = 0;
  Handlers()[++next] = std::move(Handler);
  return next;
}

void RemoveLocaleChangeHandler(int Id) { Handlers().erase(Id); }
TLocaleInfo DefaultLocaleInfo() { return TLocaleInfo(); }

TLocaleInfo SystemLocaleInfo() {
  QLocale l = QLocale::system();
  TLocaleInfo r;
  r.ShortDateFormat = ToToolkitPattern(l.dateFormat(QLocale::ShortFormat), false);
  r.DateSeparator = FirstNonLetter(r.ShortDateFormat, '.');
  r.LongTimeFormat = ToToolkitPattern(l.timeFormat(QLocale::LongFormat), true);
  r.ShortTimeFormat = ToToolkitPattern(l.timeFormat(QLocale::ShortFormat), true);
  r.TimeSeparator = FirstNonLetter(r.ShortTimeFormat, ':');
  r.TimeAMString = l.amText().toStdString();
  r.TimePMString = l.pmText().toStdString();
  QString dp = l.decimalPoint(), gs = l.groupSeparator();
  r.DecimalSeparator = dp.isEmpty() ? '.' : static_cast<char>(dp[0].toLatin1());
  r.ThousandSeparator = gs.isEmpty() ? ',' : static_cast<char>(gs[0].toLatin1());
  r.CurrencyString = l.currencySymbol().toStdString();
  QString pos = l.toCurrencyString(1.0, "$"), neg = l.toCurrencyString(-1.0, "$");
  bool before = pos.indexOf('$') < pos.indexOf('1');
  bool space = pos.contains(' ') || pos.contains(QChar(0xA0));
  r.CurrencyFormat = (before ? 0 : 1) + (space ? 2 : 0);
  r.NegCurrFormat = neg.startsWith('(') ? (before ? 0 : 4) : (before ? (space ? 9 : 1) : (space ? 8 : 5));
  r.FirstDayOfWeek = static_cast<int>(l.firstDayOfWeek()) - 1;
  r.RightToLeft = l.textDirection() == Qt::RightToLeft;
  return r;
}

namespace {
class TLocaleChangeFilter : public QObject {
public:
  bool eventFilter(QObject* Obj, QEvent* E) override {
    if (E->type() == QEvent::LocaleChange && Obj == QCoreApplication::instance()) SetLocaleInfo(SystemLocaleInfo());
    return false;
  }
};
}  // namespace

void FollowSystemLocale() {
  static TLocaleChangeFilter* filter = nullptr;
  SetLocaleInfo(SystemLocaleInfo());
  if (filter || !QCoreApplication::instance()) return;
  filter = new TLocaleChangeFilter;
  QCoreApplication::instance()->installEventFilter(filter);
}
