#include "chart/extra/export_dialog.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <filesystem>

#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/extra/export_dialog_parts.h"
#include "chart/extra/export_formats.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/series_export.h"
#include "platform/clipbrd.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/extctrls.h"
#include "platform/guards.h"
#include "platform/shell.h"
#include "platform/stdctrls.h"
#include "platform/streams.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TGraphExportForm)

std::function<bool()> MailAvailableHook;

namespace {

// The desktop names a mail program for "mailto:" links.
bool DesktopHasMailProgram() {
  FILE* p = ::popen("xdg-mime query default x-scheme-handler/mailto 2>/dev/null", "r");
  if (!p) return false;
  char line[256] = {0};
  const bool got = std::fgets(line, sizeof line, p) != nullptr && line[0] != '\n' && line[0] != 0;
  ::pclose(p);
  return got;
}

template <class T>
T* Place(TWinControl* Parent, TComponent* Owner, const char* Name, int X, int Y, int W, int H) {
  auto* c = new T(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  c->SetBounds(X, Y, W, H);
  return c;
}

TCheckBox* Check(TWinControl* Parent, TComponent* Owner, const char* Name, const char* Caption, int X, int Y,
                 bool Checked) {
  auto* c = Place<TCheckBox>(Parent, Owner, Name, X, Y, 150, 20);
  c->SetCaption(Caption);
  c->SetChecked(Checked);
  return c;
}

TTabSheet* Page(TPageControl* Control, TComponent* Owner, const char* Name, const char* Caption) {
  auto* t = new TTabSheet(Owner);
  t->SetName(Name);
  t->SetCaption(Caption);
  t->SetPageControl(Control);
  return t;
}

// The hourglass while a file is written; the cursor comes back also on failure.
class TScreenCursor {
public:
  explicit TScreenCursor(TCursor Cursor) {
    if (!Screen) return;
    FOld = Screen->Cursor();
    Screen->SetCursor(Cursor);
  }
  ~TScreenCursor() {
    if (Screen) Screen->SetCursor(FOld);
  }
  TScreenCursor(const TScreenCursor&) = delete;
  TScreenCursor& operator=(const TScreenCursor&) = delete;

private:
  TCursor FOld = crDefault;
};

std::string RemoveAmpersands(std::string Text) {
  std::erase(Text, '&');
  return Text;
}

}  // namespace

bool MailAvailable() {
  if (MailAvailableHook) return MailAvailableHook();
  static const bool available = DesktopHasMailProgram();
  return available;
}

void SendMailAttachment(const std::string& FileName, const std::string& Subject) {
  if (!MailAvailable())
    throw Exception("Can not email " + std::string(ExportMailName) +
                    ": no mail program is set up on this desktop. Save the file and attach it by hand.");
  if (!ShellMail(Subject, FileName))
    throw Exception("Can not email " + std::string(ExportMailName) + ": the desktop's mail program did not start");
}

// ---------------------------------------------------------------------------------------------

TGraphExportForm::TGraphExportForm(TComponent* AOwner) : TForm(AOwner) {
  SetName("GraphExportForm");
  SetCaption("Export Dialog");
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 420, 330);
  PageControl1 = Place<TPageControl>(this, this, "PageControl1", 4, 4, 410, 260);
  TabPicture = Page(PageControl1, this, "TabPicture", "Picture");
  TabNative = Page(PageControl1, this, "TabNative", "Native");
  TabData = Page(PageControl1, this, "TabData", "Data");

  LBFormat = Place<TListBox>(TabPicture, this, "LBFormat", 8, 8, 130, 200);
  PageOptions = Place<TPageControl>(TabPicture, this, "PageOptions", 146, 8, 250, 200);
  TabOptions = Page(PageOptions, this, "TabOptions", "Options");
  TabSize = Page(PageOptions, this, "TabSize", "Size");
  EWidth = Place<TEdit>(TabSize, this, "EWidth", 60, 8, 60, 22);
  UDWidth = Place<TUpDown>(TabSize, this, "UDWidth", 120, 8, 17, 22);
  EHeight = Place<TEdit>(TabSize, this, "EHeight", 60, 36, 60, 22);
  UDHeight = Place<TUpDown>(TabSize, this, "UDHeight", 120, 36, 17, 22);
  for (TUpDown* u : {UDWidth, UDHeight}) u->SetMax(3000);
  UDWidth->SetAssociate(EWidth);
  UDHeight->SetAssociate(EHeight);
  CBAspect = Check(TabSize, this, "CBAspect", "&Keep aspect ratio", 8, 66, true);

  CBNativeData = Check(TabNative, this, "CBNativeData", "&Include Series data", 8, 8, true);
  CBFileSize = Check(TabNative, this, "CBFileSize", "&File size:", 8, 34, false);
  LabelSize = Place<TLabel>(TabNative, this, "LabelSize", 160, 36, 120, 18);
  LabelSize->SetCaption("?");
  CBNativeFormat = Place<TComboBox>(TabNative, this, "CBNativeFormat", 8, 62, 120, 22);
  CBNativeFormat->SetStyle(csDropDownList);
  CBNativeFormat->Items()->Add("Binary");
  CBNativeFormat->Items()->Add("Text");
  CBNativeFormat->SetItemIndex(0);

  CBSeries = Place<TComboBox>(TabData, this, "CBSeries", 8, 8, 380, 22);
  CBSeries->SetStyle(csDropDownList);
  RGText = Place<TRadioGroup>(TabData, this, "RGText", 8, 36, 120, 110);
  RGText->SetCaption("&Format:");
  for (const char* s : {"Text", "XML", "HTML Table", "Excel"}) RGText->Items()->Add(s);
  CBIndex = Check(TabData, this, "CBIndex", "Point &Index", 140, 40, false);
  CBLabels = Check(TabData, this, "CBLabels", "Point &Labels", 140, 62, true);
  CBHeader = Check(TabData, this, "CBHeader", "&Header", 140, 84, true);
  CBColors = Check(TabData, this, "CBColors", "Point &Colors", 140, 106, false);
  CBDelim = Place<TComboBox>(TabData, this, "CBDelim", 8, 160, 100, 22);
  CBDelim->SetStyle(csDropDownList);
  for (const char* s : {"Space", "Tab", "Comma", "Colon", "Custom"}) CBDelim->Items()->Add(s);
  ECustom = Place<TEdit>(TabData, this, "ECustom", 116, 160, 30, 22);
  ECustom->SetEnabled(false);
  EQuotes = Place<TEdit>(TabData, this, "EQuotes", 250, 160, 30, 22);

  BCopy = Place<TButton>(this, this, "BCopy", 4, 290, 75, 25);
  BCopy->SetCaption("&Copy");
  BSave = Place<TButton>(this, this, "BSave", 84, 290, 75, 25);
  BSave->SetCaption("&Save...");
  BSend = Place<TButton>(this, this, "BSend", 164, 290, 75, 25);
  BSend->SetCaption("S&end...");
  // Shown only while the desktop has no mail program; set here so that the window translates it.
  BSend->SetHint("No mail program is set up on this desktop: save the file and attach it by hand");
  BClose = Place<TButton>(this, this, "BClose", 334, 290, 75, 25);
  BClose->SetCaption("Close");
  for (auto** d : {&SaveDialogPicture, &SaveDialogData, &SaveDialogNative}) {
    *d = new TSaveDialog(this);
    (*d)->SetOptions({ofOverwritePrompt, ofHideReadOnly});
  }
  PageControl1->SetActivePage(TabPicture);

  LBFormat->OnClick = [this](TObject*) { RGFormatClick(); };
  EWidth->OnChange = [this, previous = EWidth->OnChange](TObject* s) {
    if (previous) previous(s);
    EWidthChange();
  };
  EHeight->OnChange = [this, previous = EHeight->OnChange](TObject* s) {
    if (previous) previous(s);
    EHeightChange();
  };
  PageControl1->OnChange = [this](TObject*) { EnableButtons(); };
  RGText->OnClick = [this](TObject*) { RGTextClick(); };
  CBNativeFormat->OnChange = [this](TObject*) {
    EnableButtons();
    CBFileSizeClick();
  };
  CBNativeData->OnClick = [this](TObject*) { CBFileSizeClick(); };
  CBFileSize->OnClick = [this](TObject*) { CBFileSizeClick(); };
  CBDelim->OnChange = [this](TObject*) { CBDelimChange(); };
  BCopy->OnClick = [this](TObject*) { BCopyClick(); };
  BSave->OnClick = [this](TObject*) { BSaveClick(); };
  BSend->OnClick = [this](TObject*) { BSendClick(); };
  BClose->OnClick = [this](TObject*) { Close(); };
  OnShow = [this](TObject*) { FormShow(); };
  OnHide = [this](TObject*) { FShowing = false; };
}

TGraphExportForm::~TGraphExportForm() = default;

TCustomChart* TGraphExportForm::Chart() const { return ExportPanelChart(Panel); }

int TGraphExportForm::DataFormatIndex() const { return RGText->ItemIndex(); }

void TGraphExportForm::SetDataFormatIndex(int Value) {
  RGText->SetItemIndex(Value);
  RGTextClick();
}

TGraphExportFormat* TGraphExportForm::SelectedFormat() const {
  const int i = LBFormat->ItemIndex();
  return i >= 0 && i < static_cast<int>(Formats.size()) ? Formats[static_cast<size_t>(i)].get() : nullptr;
}

void TGraphExportForm::FillFormats() {
  for (auto& f : Formats) {
    if (TForm* o = f->Options(false)) o->SetParent(nullptr);
  }
  Formats.clear();
  LBFormat->Items()->Clear();
  std::string filter;
  int counter = 0;
  for (const auto& c : ExportFormats()) {
    std::unique_ptr<TGraphExportFormat> f(c.Create());
    f->Panel = Panel;
    f->AssignFilterIndex(counter);
    filter += (filter.empty() ? "" : "|") + f->FileFilter();
    LBFormat->Items()->Add(RemoveAmpersands(f->Description()));
    Formats.push_back(std::move(f));
  }
  SaveDialogPicture->SetFilter(filter);
}

void TGraphExportForm::PrepareDataPage() {
  CBSeries->Items()->Clear();
  ExportListSeries(Chart(), CBSeries->Items());
  CBSeries->Items()->Insert(0, MsgEdAll);
  CBSeries->SetItemIndex(0);
}

void TGraphExportForm::FormShow() {
  RGText->SetItemIndex(0);
  for (TSaveDialog* d : {SaveDialogPicture, SaveDialogData, SaveDialogNative})
    d->SetOptions(d->Options() + ofEnableSizing);
  if (Tag() != 0) Panel = reinterpret_cast<TCustomGraphPanel*>(Tag());
  if (Panel) {
    FUpdating = true;
    TScopeExit done([this] { FUpdating = false; });
    const int w = ExportPanelWidth(Panel), h = ExportPanelHeight(Panel);
    UDWidth->SetPosition(w);
    UDHeight->SetPosition(h);
    FRatio = h != 0 ? static_cast<double>(w) / h : 0;
    PrepareDataPage();
    FillFormats();
    CBDelim->SetItemIndex(1);
    LBFormat->SetItemIndex(0);
    RGFormatClick();
    EnableButtons();
  }
  TranslateControl(this);
  FShowing = true;
  if (EditorDialogHook) EditorDialogHook(this);
}

void TGraphExportForm::RGFormatClick() {
  for (int i = 0; i < TabOptions->ControlCount(); ++i) TabOptions->Controls(i)->SetVisible(false);
  TGraphExportFormat* f = SelectedFormat();
  TForm* options = f ? f->Options(true) : nullptr;
  if (options && options->ControlCount() > 0) {
    TabOptions->SetTabVisible(true);
    PageOptions->SetActivePage(TabOptions);
    EmbedForm(options, TabOptions);
    TranslateControl(options);
  } else {
    TabOptions->SetTabVisible(false);
    PageOptions->SetActivePage(TabSize);
  }
}

void TGraphExportForm::EWidthChange() {
  if (!FShowing || FUpdating || !CBAspect->Checked() || FRatio == 0) return;
  FUpdating = true;
  TScopeExit done([this] { FUpdating = false; });
  UDHeight->SetPosition(static_cast<int>(std::nearbyint(UDWidth->Position() / FRatio)));
}

void TGraphExportForm::EHeightChange() {
  if (!FShowing || FUpdating || !CBAspect->Checked() || FRatio == 0) return;
  FUpdating = true;
  TScopeExit done([this] { FUpdating = false; });
  UDWidth->SetPosition(static_cast<int>(std::nearbyint(UDHeight->Position() * FRatio)));
}

bool TGraphExportForm::CanExportData() const { return ExportSeriesCount(Chart()) > 0; }

void TGraphExportForm::EnableButtons() {
  TTabSheet* page = PageControl1->ActivePage();
  bool copy = false;
  if (page == TabPicture) copy = true;
  if (page == TabData) copy = CanExportData();
  if (page == TabNative) copy = CBNativeFormat->ItemIndex() == 1;
  const bool save = copy || page == TabNative;
  if (page == TabData && RGText->ItemIndex() == 3) copy = false;
  BCopy->SetEnabled(copy);
  BSave->SetEnabled(save);
  const bool mail = MailAvailable();
  BSend->SetEnabled(save && mail);
  // Without a mail program the button says why it stays off.
  BSend->SetShowHint(!mail);
}

void TGraphExportForm::RGTextClick() {
  const bool text = RGText->ItemIndex() == 0;
  CBDelim->SetEnabled(text);
  ECustom->SetEnabled(text);
  EnableButtons();
}

void TGraphExportForm::CBDelimChange() {
  const bool custom = CBDelim->ItemIndex() == 4;
  ECustom->SetEnabled(custom);
  if (custom && ECustom->CanFocus()) ECustom->SetFocus();
}

void TGraphExportForm::CBFileSizeClick() {
  if (CBFileSize->Checked())
    LabelSize->SetCaption(Format(MsgBytes, {static_cast<int>(NativeStream()->Size())}));
  else
    LabelSize->SetCaption("?");
}

TSeriesData* TGraphExportForm::CreateDataExporter() {
  TCustomChart* chart = Chart();
  if (!chart) return nullptr;
  void* series = CBSeries->ItemIndex() > 0 ? CBSeries->Items()->Objects(CBSeries->ItemIndex()) : nullptr;
  TSeriesData* result = ExportNewData(std::max(0, RGText->ItemIndex()), chart, series);
  switch (RGText->ItemIndex()) {
    case 1:
    case 2:
    case 3:
      break;
    default: {
      auto* t = static_cast<TSeriesDataText*>(result);
      switch (CBDelim->ItemIndex()) {
        case 0:
          t->Separator = ' ';
          break;
        case 2:
          t->Separator = ',';
          break;
        case 3:
          t->Separator = ';';
          break;
        case 4:
          t->Separator = ECustom->Text().empty() ? ' ' : ECustom->Text()[0];
          break;
        default:
          t->Separator = '\t';
      }
      t->QuoteText = EQuotes->Text();
    }
  }
  result->ShowLabels = CBLabels->Checked();
  result->ShowIndex = CBIndex->Checked();
  result->ShowHeader = CBHeader->Checked();
  result->ShowColors = CBColors->Checked();
  return result;
}

std::unique_ptr<TMemoryStream> TGraphExportForm::NativeStream() {
  auto s = std::make_unique<TMemoryStream>();
  ExportWriteNative(Chart(), *s, CBNativeData->Checked(), CBNativeFormat->ItemIndex() == 1);
  return s;
}

void TGraphExportForm::SaveNativeToFile(const std::string& FileName, bool IncludeData) {
  ExportWriteNativeFile(Chart(), FileName, IncludeData, CBNativeFormat->ItemIndex() == 1);
}

int TGraphExportForm::DataFilterIndex() const {
  return RGText->ItemIndex() <= 0 ? CBDelim->ItemIndex() + 1 : RGText->ItemIndex() + 5;
}

void TGraphExportForm::SavePicture(const std::string& FileName) {
  TScreenCursor hourglass(crHourGlass);
  TGraphExportFormat* format = SelectedFormat();
  const std::string ext = LowerCase(ExtractFileExt(FileName));
  for (auto& f : Formats)
    if (!ext.empty() && SameText("." + f->FileExtension(), ext)) {
      format = f.get();
      break;
    }
  if (!format) return;
  format->Width = UDWidth->Position();
  format->Height = UDHeight->Position();
  format->SaveToFile(FileName);
}

void TGraphExportForm::SaveNative(const std::string& FileName) {
  TScreenCursor hourglass(crHourGlass);
  SaveNativeToFile(ChangeFileExt(FileName, ".qvx"), CBNativeData->Checked());
}

void TGraphExportForm::SaveData(const std::string& FileName) {
  TScreenCursor hourglass(crHourGlass);
  std::unique_ptr<TSeriesData> e(CreateDataExporter());
  if (e) e->SaveToFile(FileName);
}

void TGraphExportForm::BCopyClick() {
  TTabSheet* page = PageControl1->ActivePage();
  if (page == TabPicture) {
    if (TGraphExportFormat* f = SelectedFormat()) {
      f->Width = UDWidth->Position();
      f->Height = UDHeight->Position();
      f->CopyToClipboard();
    }
  } else if (page == TabData) {
    TScreenCursor hourglass(crHourGlass);
    std::unique_ptr<TSeriesData> e(CreateDataExporter());
    if (e) e->CopyToClipboard();
  } else if (page == TabNative && CBNativeFormat->ItemIndex() == 1) {
    auto s = NativeStream();
    Clipboard()->SetAsText(std::string(static_cast<const char*>(s->Memory()), static_cast<size_t>(s->Size())));
  }
}

void TGraphExportForm::BSaveClick() {
  TTabSheet* page = PageControl1->ActivePage();
  if (page == TabPicture) {
    TGraphExportFormat* f = SelectedFormat();
    if (!f) return;
    SaveDialogPicture->SetDefaultExt(f->FileExtension());
    SaveDialogPicture->SetFilterIndex(f->GetFilterIndex());
    SaveDialogPicture->SetFileName("");
    if (!SaveDialogPicture->Execute()) return;
    for (auto& g : Formats)
      if (g.get() == f) f->WantsFilterIndex(SaveDialogPicture->FilterIndex());
    SavePicture(SaveDialogPicture->FileName());
  } else if (page == TabNative) {
    SaveDialogNative->SetFileName("");
    SaveDialogNative->SetDefaultExt(ChartFileExtension);
    SaveDialogNative->SetFilter("Quorvex files (*.qvx)|*.qvx");
    if (!SaveDialogNative->Execute()) return;
    SaveNative(SaveDialogNative->FileName());
  } else if (page == TabData) {
    SaveDialogData->SetFileName("");
    SaveDialogData->SetFilter(MsgFilterSpaceText + "|" + MsgFilterTabText + "|" + MsgFilterCommaText + "|" +
                              MsgFilterColonText + "|" + MsgFilterCustomText + "|" + MsgFilterXML + "|" +
                              MsgFilterHTML + "|" + MsgFilterExcel);
    SaveDialogData->SetFilterIndex(DataFilterIndex());
    if (!SaveDialogData->Execute()) return;
    const int index = SaveDialogData->FilterIndex();
    if (index > 5) {
      RGText->SetItemIndex(index - 5);
    } else {
      RGText->SetItemIndex(0);
    }
    SaveData(SaveDialogData->FileName());
  }
}

void TGraphExportForm::BSendClick() {
  std::error_code ec;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
  if (ec || temp.empty()) throw Exception(ErrNoTempFolder);
  std::string ext;
  TTabSheet* page = PageControl1->ActivePage();
  if (page == TabPicture) {
    if (TGraphExportFormat* f = SelectedFormat()) ext = f->FileExtension();
  } else if (page == TabNative) {
    ext = ChartFileExtension;
  } else {
    const std::string patterns = SaveDialogData->FilterPatterns(DataFilterIndex());
    const size_t dot = patterns.find('.');
    ext = dot == std::string::npos ? "txt" : patterns.substr(dot + 1);
  }
  const std::string file = (temp / (std::string(ExportMailName) + "." + ext)).string();
  if (page == TabPicture)
    SavePicture(file);
  else if (page == TabNative)
    SaveNative(file);
  else
    SaveData(file);
  // The mail program reads the file after this returns: it stays in the temporary folder.
  SendMailAttachment(file, ExportMailName);
}
