// The export dialog driven through its controls: the format list and filters, the size with its
// aspect, the buttons each page enables, saving under names of other formats, and sending by mail.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "chart/extra/chart_file.h"
#include "chart/extra/export_dialog.h"
#include "chart/extra/export_formats.h"
#include "chart/extra/series_export.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "platform/bitmap.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/popupwatch.h"
#include "platform/shell.h"
#include "platform/stdctrls.h"
#include "platform/streams.h"
#include "platform/updown.h"
#include "chart/series/testkit/series_testkit.h"

namespace fs = std::filesystem;

namespace {

struct ExportDialog : ::testing::Test {
  static void SetUpTestSuite() {
    InitStandardSeries();
    InitChartOutput();
  }
  TSeriesChart C{false, 600, 400};
  std::unique_ptr<TGraphExportForm> F;
  fs::path Dir;
  void SetUp() override {
    MailAvailableHook = [] { return false; };
    auto* s = C.Add<TLineSeries>();
    s->SetName("Line1");
    for (int i = 0; i < 5; ++i) s->AddXY(i, i * 2);
    F = std::make_unique<TGraphExportForm>(nullptr);
    F->Panel = &C.Chart;
    F->Show();
    Dir = fs::temp_directory_path() / ("vm_export_dialog_" + std::to_string(::getpid()));
    fs::create_directories(Dir);
  }
  void TearDown() override {
    F.reset();
    MailAvailableHook = nullptr;
    SetDialogHook(nullptr);
    SetShellOpenHook(nullptr);
    fs::remove_all(Dir);
  }
  // The save dialog answers with Name and the filter entry Index (0: as offered).
  void Answer(const std::string& Name, int Index = 0) {
    SetDialogHook([Name, Index](TCommonDialog* D) {
      auto* s = dynamic_cast<TOpenDialog*>(D);
      s->SetFileName(Name);
      if (Index) s->SetFilterIndex(Index);
      return true;
    });
  }
};

std::string Head(const std::string& File, size_t N) {
  TMemoryStream m;
  m.LoadFromFile(File);
  return std::string(static_cast<const char*>(m.Memory()), std::min<size_t>(N, static_cast<size_t>(m.Size())));
}

}  // namespace

TEST_F(ExportDialog, ShowingListsTheFormatsAndTheirFilters) {
  ASSERT_EQ(F->LBFormat->Items()->Count(), 2);
  EXPECT_EQ(F->LBFormat->Items()->Strings(0), "as Metafile");
  EXPECT_EQ(F->LBFormat->Items()->Strings(1), "as Bitmap");
  EXPECT_EQ(F->LBFormat->ItemIndex(), 0);
  EXPECT_EQ(F->SaveDialogPicture->Filter(),
            "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(F->UDWidth->Position(), 600);
  EXPECT_EQ(F->UDHeight->Position(), 400);
  EXPECT_EQ(F->CBSeries->Items()->Strings(0), "(all)");
  EXPECT_EQ(F->CBSeries->Items()->Strings(1), "Line1");
  EXPECT_EQ(F->CBDelim->ItemIndex(), 1);
  EXPECT_TRUE(F->BCopy->Enabled());
  EXPECT_FALSE(F->BSend->Enabled());  // no mail program
}

// The selected format's options sit inside the dialog's Options page: not a window of their own
// over the dialog (which hid the format list), and the list keeps its formats when the dialog is
// shown for a panel given as its Tag.
TEST_F(ExportDialog, OptionsShowInsideTheDialog) {
  TGraphExportForm g(nullptr);
  g.SetTag(reinterpret_cast<intptr_t>(&C.Chart));
  g.Show();
  ASSERT_EQ(g.LBFormat->Items()->Count(), 2);
  for (int pick : {0, 1, 0}) {
    g.LBFormat->SetItemIndex(pick);
    g.RGFormatClick();
    TForm* o = g.SelectedFormat()->Options(false);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->Parent(), g.TabOptions);
    EXPECT_FALSE(IsTopLevelWindow(o)) << pick;
    EXPECT_TRUE(WindowShown(o)) << pick;
    const TRect page = WindowScreenRect(g.TabOptions), opts = WindowScreenRect(o);
    EXPECT_TRUE(opts.Left >= page.Left && opts.Top >= page.Top && opts.Left < page.Right && opts.Top < page.Bottom)
        << opts.Left << "," << opts.Top << " outside the page at " << page.Left << "," << page.Top;
  }
  // Shown again: the list is refilled and the old option forms leave no window behind.
  g.Hide();
  g.Show();
  EXPECT_EQ(g.LBFormat->Items()->Count(), 2);
  EXPECT_FALSE(IsTopLevelWindow(g.SelectedFormat()->Options(false)));
}

TEST_F(ExportDialog, WidthKeepsTheAspect) {
  F->EWidth->SetText("300");
  EXPECT_EQ(F->UDWidth->Position(), 300);
  EXPECT_EQ(F->UDHeight->Position(), 200);
  F->CBAspect->SetChecked(false);
  F->EHeight->SetText("50");
  EXPECT_EQ(F->UDWidth->Position(), 300);
}

TEST_F(ExportDialog, ButtonsFollowThePageAndFormat) {
  F->PageControl1->SetActivePage(F->TabData);
  F->EnableButtons();
  EXPECT_TRUE(F->BCopy->Enabled());
  F->SetDataFormatIndex(3);
  EXPECT_FALSE(F->BCopy->Enabled());
  EXPECT_TRUE(F->BSave->Enabled());
  EXPECT_FALSE(F->CBDelim->Enabled());
  F->PageControl1->SetActivePage(F->TabNative);
  F->EnableButtons();
  EXPECT_FALSE(F->BCopy->Enabled());  // binary
  EXPECT_TRUE(F->BSave->Enabled());
  F->CBNativeFormat->SetItemIndex(1);
  F->EnableButtons();
  EXPECT_TRUE(F->BCopy->Enabled());
  F->CBFileSize->SetChecked(true);
  F->CBFileSizeClick();
  EXPECT_EQ(F->LabelSize->Caption(), std::to_string(F->NativeStream()->Size()) + " bytes");

  TSeriesChart empty;
  TGraphExportForm g(nullptr);
  g.Panel = &empty.Chart;
  g.Show();
  g.PageControl1->SetActivePage(g.TabData);
  g.EnableButtons();
  EXPECT_FALSE(g.BCopy->Enabled());
  EXPECT_FALSE(g.BSave->Enabled());
}

TEST_F(ExportDialog, DataExporterFollowsTheControls) {
  F->CBDelim->SetItemIndex(3);  // "Colon" is the semicolon
  F->CBHeader->SetChecked(false);
  F->CBLabels->SetChecked(false);
  std::unique_ptr<TSeriesData> e(F->CreateDataExporter());
  auto* t = dynamic_cast<TSeriesDataText*>(e.get());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Separator, ';');
  EXPECT_EQ(t->AsString(), "0\r\n2\r\n4\r\n6\r\n8\r\n\r\n");
  F->SetDataFormatIndex(1);
  e.reset(F->CreateDataExporter());
  EXPECT_NE(dynamic_cast<TSeriesDataXML*>(e.get()), nullptr);
  EXPECT_EQ(F->DataFilterIndex(), 6);
}

TEST_F(ExportDialog, SavingUnderAnotherFormatsExtensionWritesThatFormat) {
  // The metafile entry is selected; a ".bmp" name gives a bitmap at the size asked.
  const std::string bmp = (Dir / "picture.bmp").string();
  F->EWidth->SetText("300");
  Answer(bmp);
  F->BSaveClick();
  EXPECT_EQ(Head(bmp, 2), "BM");
  TBitmap back;
  back.LoadFromFile(bmp);
  EXPECT_EQ(back.Width(), 300);
  EXPECT_EQ(back.Height(), 200);
  // Natively, a ".txt" name becomes ".qvx".
  F->PageControl1->SetActivePage(F->TabNative);
  Answer((Dir / "chart.txt").string());
  F->BSaveClick();
  EXPECT_FALSE(fs::exists(Dir / "chart.txt"));
  ASSERT_TRUE(fs::exists(Dir / "chart.qvx"));
  EXPECT_EQ(Head((Dir / "chart.qvx").string(), 4), std::string("\x60\x30\x57\x01", 4));
  // Data saved with the XML filter entry.
  F->PageControl1->SetActivePage(F->TabData);
  Answer((Dir / "data.xml").string(), 6);
  F->BSaveClick();
  EXPECT_EQ(F->DataFormatIndex(), 1);
  EXPECT_EQ(Head((Dir / "data.xml").string(), 5), "<?xml");
}

TEST_F(ExportDialog, SendingByMail) {
  EXPECT_THROW(SendMailAttachment("/tmp/x.bmp", "Quorvex"), Exception);
  try {
    SendMailAttachment("/tmp/x.bmp", "Quorvex");
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("no mail program"), std::string::npos) << e.Message();
  }
  // Without a mail program the button is off and its hint says why.
  F->EnableButtons();
  EXPECT_FALSE(F->BSend->Enabled());
  EXPECT_TRUE(F->BSend->ShowHint());
  EXPECT_NE(F->BSend->Hint().find("No mail program"), std::string::npos);
  MailAvailableHook = [] { return true; };
  std::string opened;
  SetShellOpenHook([&](const std::string& Target) {
    opened = Target;
    return true;
  });
  F->LBFormat->SetItemIndex(1);
  F->EnableButtons();
  EXPECT_TRUE(F->BSend->Enabled());
  EXPECT_FALSE(F->BSend->ShowHint());
  F->BSendClick();
  const std::string file = (fs::temp_directory_path() / "Quorvex.bmp").string();
  EXPECT_EQ(opened.substr(0, 24), "mailto:?subject=Quorvex&");
  // "attach", which mail programs other than one take (xdg-email turns it into that one's).
  EXPECT_NE(opened.find("&attach=" + file), std::string::npos) << opened;
  EXPECT_TRUE(fs::exists(file));  // the mail program reads it later
  fs::remove(file);
  SetShellOpenHook([](const std::string&) { return false; });
  EXPECT_THROW(F->BSendClick(), Exception);
  fs::remove(file);
}
