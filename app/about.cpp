#include "app/about.h"

#include <cmath>

#include "app/main_form.h"
#include "app/stored_edit_dialog.h"
#include "mtdata/text_helpers.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TAboutBox)

namespace {

struct TVersionEntry {
  const char* Name;
  const char* Value;
};

// The program's version table.
const TVersionEntry VersionTable[] = {
    {"FileVersion", "1.0.0"},
    {"ProductVersion", "2026-12"},
    {"ProductName", "Varomark"},
    {"LegalCopyright", "Varomark developers"},
    {"CompanyName", "Varomark"},
    {"Web", "https://varomark.invalid/"},
    {"EMail1", "support@varomark.invalid"},
    {"EMail2", "data@varomark.invalid"},
    {"LogoCount", "3"},
};

}  // namespace

void InstallVersionValues() {
  for (const auto& e : VersionTable) SetVersionValue(e.Name, e.Value);
}

std::string VersionInfoValue(const std::string& Entry) {
  for (const auto& e : VersionTable)
    if (Entry == e.Name) return std::string(e.Value).substr(0, 255);
  return {};
}

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) {
  SetName("AboutBox");
  SetBorderStyle(bsDialog);
  SetCaption("About");
  SetPosition(poMainFormCenter);
  SetBounds(0, 0, 420, 340);
  auto* panel = new TPanel(this);
  panel->SetParent(this);
  panel->SetBounds(8, 8, 404, 280);
  panel->SetCaption("");
  Image1 = new TImage(this);
  Image1->SetName("Image1");
  Image1->SetParent(panel);
  Image1->SetBounds(8, 8, 81, 81);
  Image1->SetStretch(true);
  int y = 8;
  // A word-wrapped value has room for two lines, so that the next row starts below it.
  auto pair = [&](const char* Caption, const char* Name, bool Wrapped = false) {
    auto* c = new TLabel(this);
    c->SetParent(panel);
    c->SetCaption(Caption);
    c->SetBounds(100, y, 90, 16);
    auto* v = new TLabel(this);
    v->SetName(Name);
    v->SetParent(panel);
    v->SetAutoSize(false);
    v->SetWordWrap(Wrapped);
    v->SetBounds(195, y, 200, Wrapped ? 32 : 16);
    y += Wrapped ? 40 : 24;
    return v;
  };
  ProductName = pair("Product Name", "ProductName", true);
  Version = pair("Version:", "Version");
  VersionDate = pair("Version Date", "VersionDate");
  Copyright = pair("Copyright", "Copyright", true);
  Company = pair("Company:", "Company");
  WebLabel = pair("Web server:", "WebLabel");
  EmailLabel1 = pair("E-mail:", "EmailLabel1");
  EmailLabel2 = pair("", "EmailLabel2");
  OKButton = new TButton(this);
  OKButton->SetName("OKButton");
  OKButton->SetParent(this);
  OKButton->SetCaption("OK");
  OKButton->SetDefault(true);
  OKButton->SetModalResult(mrOk);
  OKButton->SetBounds(170, 298, 80, 28);
  Timer1 = new TTimer(this);
  Timer1->SetEnabled(false);
  Timer1->SetInterval(1000);
  Timer1->SetOnTimer([this](TObject* s) { Timer1Timer(s); });
  OnShow = [this](TObject*) {
    if (ModalDialogHook) ModalDialogHook(this);
  };

  // FormCreate
  LogoCounter = 0;
  ShowLogo(0);
  ProductName->SetCaption(VersionInfoValue("ProductName"));
  Version->SetCaption(VersionInfoValue("FileVersion"));
  VersionDate->SetCaption(VersionInfoValue("ProductVersion"));
  Copyright->SetCaption(VersionInfoValue("LegalCopyright"));
  Company->SetCaption(VersionInfoValue("CompanyName"));
  WebLabel->SetCaption(VersionInfoValue("Web"));
  EmailLabel1->SetCaption(VersionInfoValue("EMail1"));
  EmailLabel2->SetCaption(VersionInfoValue("EMail2"));
  LogoCount = StrToIntDef(VersionInfoValue("LogoCount"), 1);
  SetCaption(Caption() + " " + ProductName->Caption());
  if (LogoCount > 1) Timer1->SetEnabled(true);
  WebLabel->OnClick = [this](TObject* s) { WebLabelClick(s); };
  for (TLabel* l : {EmailLabel1, EmailLabel2}) l->OnClick = [this](TObject* s) { EmailLabel1Click(s); };
  // A link the desktop has no program for is shown disabled, with the reason as its hint.
  for (TLabel* l : {WebLabel, EmailLabel1, EmailLabel2}) {
    const std::string target = LinkOf(l);
    if (target.empty()) continue;
    if (ShellCanOpen(target)) {
      l->SetCursor(crHandPoint);
      l->Font()->SetColor(clBlue);
      l->Font()->SetStyle({fsUnderline});
      l->SetHint("Opens " + target);
    } else {
      l->SetEnabled(false);
      l->SetHint(l == WebLabel ? "No web browser is set up on this desktop (xdg-open is missing)"
                               : "No mail program is set up on this desktop (xdg-email is missing)");
    }
    l->SetShowHint(true);
  }
}

std::string TAboutBox::LinkOf(TLabel* Label) const {
  const std::string text = Label ? Label->Caption() : std::string();
  if (text.empty()) return text;
  return Label == WebLabel ? text : "mailto:" + text;
}

void TAboutBox::WebLabelClick(TObject* Sender) { OpenLink(static_cast<TLabel*>(Sender)); }

void TAboutBox::EmailLabel1Click(TObject* Sender) { OpenLink(static_cast<TLabel*>(Sender)); }

void TAboutBox::OpenLink(TLabel* Label) {
  const std::string target = LinkOf(Label);
  if (target.empty() || !Label->Enabled()) return;
  if (!ShellOpen(target))
    Application->MessageBox("The desktop could not open " + target + ".", "Varomark", MB_OK | MB_ICONWARNING);
}

void TAboutBox::ShowLogo(int Index) {
  // The logo: a sounding curve over a layered earth, its layers shifted with each picture.
  TBitmap b(81, 81, pf24bit);
  TCanvas* c = b.Canvas();
  const TColor layers[3] = {0x5090C0, 0x3070A0, 0x205080};
  for (int i = 0; i < 3; ++i) {
    c->Brush()->SetColor(layers[(i + Index) % 3]);
    c->Pen()->SetColor(layers[(i + Index) % 3]);
    c->Rectangle(0, 27 * i, 81, 27 * (i + 1));
  }
  c->Pen()->SetColor(clWhite);
  c->Pen()->SetWidth(2);
  c->MoveTo(4, 60);
  for (int x = 4; x <= 77; x += 3) c->LineTo(x, 40 + static_cast<int>(20 * std::sin((x + 10 * Index) / 12.0)));
  Image1->Picture()->SetBitmap(&b);
  Image1->Invalidate();
}

void TAboutBox::Timer1Timer(TObject*) {
  ShowLogo(LogoCounter);
  ++LogoCounter;
  if (LogoCounter >= LogoCount) LogoCounter = 0;
}

void TMainForm1::N8Click(TObject*) {
  TAboutBox box(Application);
  box.ShowModal();
}
