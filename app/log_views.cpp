#include "app/log_views.h"

#include <cstdio>

#include "app/main_form.h"
#include "controls/form_storage.h"
#include "controls/vx_settings.h"
#include "platform/inifiles.h"
#include "treelist/tl_control.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/extctrls.h"
#include "platform/logdevice.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TSTermWin1)

namespace {
constexpr const char* LinesSection = "TSTermWin1.Memo1_Lines";
}
VM_DEFINE_CLASS(TOplogView1)
VM_DEFINE_CLASS(THeadFmNf1)

TSTermWin1* STermWin1 = nullptr;
TOplogView1* OplogView1 = nullptr;
THeadFmNf1* HeadFmNf1 = nullptr;

void ShowProgramLog() { ShowForm(STermWin1); }

namespace {

TMemo* MakeMemo(TWinControl* Parent, TComponent* Owner, const char* Name) {
  auto* m = new TMemo(Owner);
  m->SetName(Name);
  m->SetParent(Parent);
  m->SetAlign(alClient);
  m->SetReadOnly(true);
  m->SetWordWrap(false);
  m->SetScrollBars(ssBoth);
  m->Font()->SetName("Courier");
  return m;
}

}  // namespace

TSTermWin1::TSTermWin1(TComponent* AOwner) : TMyForm(AOwner) {
  SetName("STermWin1");
  SetCaption("Program log");
  // The bottom fifth of the frame's client area, its whole width, below the views.
  PlaceInFrame(this, 0, 420, 640, 180);
  if (TForm::MDIFrame()) PlaceProgramLogWindow(this);
  Memo1 = MakeMemo(this, this, "Memo1");
  Memo1->Font()->SetHeight(-13);
  Memo1->Font()->SetColor(clBlack);
  Memo1->SetColor(clWindow);
  FormStorage1 = KeepPlacement(this, "TSTermWin1");
  // The stored lines come back as the window is made. They are kept in the list section of
  // "Memo1.Lines" as the form storage would keep them, but read and written in one go.
  {
    TMemIniFile ini(DefaultIniFileName());
    const int count = StrToIntDef(Trim(ini.ReadString(LinesSection, "Count", "0")), 0);
    TStringList lines;
    for (int i = 0; i < count && i < LineLimit; ++i)
      lines.Add(ini.ReadString(LinesSection, "Item" + std::to_string(i), ""));
    Memo1->Lines()->Assign(lines);
  }
  FPending.clear();
  FFlushTimer = new TTimer(this);
  FFlushTimer->SetEnabled(false);
  FFlushTimer->SetInterval(20);
  FFlushTimer->SetOnTimer([this](TObject*) { FlushLines(); });
  SetLogSink([this](const char* Bytes, size_t Count) { LogWriteBytes(Bytes, Count); });
  FBound = true;
  ScrollToEnd();
  OnShow = [this](TObject*) { ScrollToEnd(); };
}

TSTermWin1::~TSTermWin1() {
  if (FBound) SetLogSink(nullptr);
  FlushLines();
  StoreLines();
}

void TSTermWin1::StoreLines() {
  if (FStored) return;
  FStored = true;
  try {
    TMemIniFile ini(DefaultIniFileName());
    ini.EraseSection(LinesSection);
    TStrings* lines = Memo1->Lines();
    if (lines->Count() > 0) {
      ini.WriteString(LinesSection, "Count", std::to_string(lines->Count()));
      for (int i = 0; i < lines->Count(); ++i) {
        std::string v = (*lines)[i];
        // A value that begins and ends with a quote keeps them inside one more pair.
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = '"' + v + '"';
        ini.WriteString(LinesSection, "Item" + std::to_string(i), v);
      }
    }
    ini.UpdateFile();
  } catch (const Exception&) {
    // A settings file that cannot be written loses the log lines only.
  }
}

void TSTermWin1::FlushLines() {
  if (FFlushTimer) FFlushTimer->SetEnabled(false);
  if (!FBatching) return;
  FBatching = false;
  Memo1->Lines()->EndUpdate();
  ScrollToEnd();  // the newest line stays in sight
}

void TSTermWin1::FormClose(TObject* Sender, TCloseAction& Action) {
  TMyForm::FormClose(Sender, Action);
  FlushLines();
  StoreLines();
  if (FBound) SetLogSink(nullptr);
  FBound = false;
}

void TSTermWin1::ScrollToEnd() { Memo1->ScrollToEnd(); }

void TSTermWin1::LogWriteBytes(const char* Bytes, size_t Count) {
  for (size_t i = 0; i < Count; ++i) {
    const auto b = static_cast<unsigned char>(Bytes[i]);
    if (b == 7) {
      std::fputc('\a', stderr);
    } else if (b == 10 || b == 13) {
      LogCommitLine();
    } else if (b == 32) {
      FPending += "\xC2\xA0";  // no-break space
    } else if (b > 32) {
      FPending += static_cast<char>(b);
    }
  }
}

void TSTermWin1::LogCommitLine() {
  TStrings* lines = Memo1->Lines();
  if (!FBatching) {
    FBatching = true;
    lines->BeginUpdate();
    FFlushTimer->SetEnabled(true);
  }
  while (lines->Count() > LineLimit - 1) lines->Delete(0);
  lines->Add(FPending);
  FPending.clear();
}

TOplogView1::TOplogView1(TComponent* AOwner) : TMyForm(AOwner) {
  SetName("OplogView1");
  SetCaption("Oplog View");
  PlaceInFrame(this, 40, 40, 560, 360);
  Memo1 = MakeMemo(this, this, "Memo1");
  Memo1->SetScrollBars(ssVertical);
}

THeadFmNf1::THeadFmNf1(TComponent* AOwner) : TForm(AOwner) {
  SetName("HeadFmNf1");
  SetFormStyle(fsMDIChild);
  SetCaption("Header View");
  PlaceInFrame(this, 4, 4, 640, 480);
  OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  auto* g1 = new TGroupBox(this);
  g1->SetParent(this);
  g1->SetCaption("File");
  g1->SetAlign(alTop);
  g1->SetHeight(48);
  ComboBox1 = new TComboBox(this);
  ComboBox1->SetName("ComboBox1");
  ComboBox1->SetParent(g1);
  ComboBox1->SetStyle(csDropDownList);
  ComboBox1->SetBounds(8, 18, 240, 22);
  auto* g2 = new TGroupBox(this);
  g2->SetParent(this);
  g2->SetCaption("Result information");
  g2->SetAlign(alTop);
  g2->SetHeight(120);
  Memo1 = MakeMemo(g2, this, "Memo1");
  auto* g3 = new TGroupBox(this);
  g3->SetParent(this);
  g3->SetCaption("Head Info");
  g3->SetAlign(alClient);
  StringGrid1 = new TvmTreeList(this);
  StringGrid1->SetName("StringGrid1");
  StringGrid1->SetParent(g3);
  StringGrid1->SetAlign(alClient);
  StringGrid1->SetShowRoot(false);
  StringGrid1->SetShowLines(false);
  StringGrid1->SetShowButtons(false);
  StringGrid1->SetShowGrid(true);
  StringGrid1->SetOptions(StringGrid1->Options() - tloEditing);
  StringGrid1->SetDefaultRowHeight(18);
  for (auto [caption, width] : {std::pair{"", 64}, std::pair{"Rhead", 261}, std::pair{"Shead", 275}}) {
    TvmTreeListColumn* c = StringGrid1->CreateColumn();
    c->SetCaption(caption);
    c->SetWidth(width);
  }
  // The columns follow the grid once the window has laid it out anew.
  StringGrid1->OnResize = [this](TObject* s) { FormResize(s); };
  for (const auto& f : SiteFiles) ComboBox1->Items()->Add(ExtractFileName(f->FileName));
  ComboBox1->OnChange = [this](TObject* s) { ComboBox1Change(s); };
  if (ComboBox1->Items()->Count() > 0) ComboBox1->SetItemIndex(0);
  ComboBox1Change(this);
}

std::string THeadFmNf1::Cells(int Col, int Row) const { return FCells[Col][Row]; }

namespace {

std::string FieldText(const char* P, size_t N) {
  std::string s(P, N);
  const size_t z = s.find('\0');
  if (z != std::string::npos) s.resize(z);
  return s;
}

}  // namespace

void THeadFmNf1::ComboBox1Change(TObject*) {
  Memo1->Lines()->Clear();
  const int i = ComboBox1->ItemIndex();
  if (i < 0 || i >= static_cast<int>(SiteFiles.size())) return;
  const TMTFile& f = *SiteFiles[static_cast<size_t>(i)];
  for (int e = 1; e <= f.PlotRecordCount && e <= 10; ++e)
    Memo1->Lines()->Add(std::to_string(e) + " " + FieldText(f.RecordTags[e].data(), f.RecordTags[e].size()));
  FCells[1][0] = "Rhead";
  FCells[2][0] = "Shead";
  for (int r = 1; r <= 30; ++r) {
    FCells[0][r] = std::to_string(r);
    FCells[1][r] = FieldText(f.InfoLines[r].data(), f.InfoLines[r].size());
    if (r <= 25) FCells[2][r] = FieldText(f.InfoLines[r + 30].data(), f.InfoLines[r + 30].size());
  }
  StringGrid1->BeginUpdate();
  StringGrid1->DeleteAllNodes();
  for (int r = 1; r <= 30; ++r) StringGrid1->AddNode(nullptr, {FCells[0][r], FCells[1][r], FCells[2][r]});
  StringGrid1->EndUpdate();
}

void THeadFmNf1::FormResize(TObject*) {
  if (!StringGrid1 || StringGrid1->ColumnCount() < 3) return;
  const int half = (StringGrid1->ClientWidth() - StringGrid1->Columns(0)->Width()) / 2;
  if (half <= 0) return;
  StringGrid1->Columns(1)->SetWidth(half);
  StringGrid1->Columns(2)->SetWidth(half);
}
