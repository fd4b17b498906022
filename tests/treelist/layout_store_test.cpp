// Storing the tree list's arrangement in the registry stand-in and in an INI file, and reading
// it back; damaged or foreign values are ignored.
#include <fstream>

#include "inspector/vm_utils.h"
#include "platform/inifiles.h"
#include "platform/strings.h"
#include "platform/testkit/temp_folder.h"
#include "tl_fixture.h"

namespace {

// Changes every stored part of the arrangement away from the defaults.
void Rearrange(TvmTreeList* TL) {
  TL->Bands()->Add()->SetCaption("Second");
  TL->Columns(2)->SetBandIndex(1);
  TL->Columns(0)->SetWidth(140);
  TL->Columns(1)->SetVisible(false);
  TL->Columns(2)->SetSorted(csDown);
  TL->Columns(0)->SetIndex(1);
  TL->SetShowGrid(true);
  TL->SetDefaultRowHeight(30);
  TL->Bands()->Items(1)->SetWidth(180);
}

struct TArrangement {
  std::vector<std::string> Order;
  std::vector<int> Bands, Widths;
  std::vector<bool> Visible;
  std::vector<TvmTreeListColumnSort> Sorted;
  bool Grid;
  int RowHeight;
  bool operator==(const TArrangement&) const = default;
};

TArrangement Read(TvmTreeList* TL) {
  TArrangement a;
  for (int i = 0; i < TL->ColumnCount(); ++i) {
    TvmTreeListColumn* c = TL->Columns(i);
    a.Order.push_back(c->Name());
    a.Bands.push_back(c->BandIndex());
    a.Widths.push_back(c->Width());
    a.Visible.push_back(c->Visible());
    a.Sorted.push_back(c->Sorted());
  }
  a.Grid = TL->ShowGrid();
  a.RowHeight = TL->DefaultRowHeight();
  return a;
}

TEST(TreeListLayoutStore, IniFileRoundTripUnderTheFormAndControlNames) {
  TTempFolder dir;
  std::string file = dir.File("layout.ini");
  TArrangement saved;
  {
    TTreeListFixture f;
    f.Form->SetName("MainForm");
    Rearrange(f.TL);
    saved = Read(f.TL);
    f.TL->SaveToIniFile(file);
  }
  TMemIniFile ini(file);
  EXPECT_EQ(ini.ReadInteger("\\MainForm_TL\\Columns\\Col2", "Sorted", -5), 1);
  EXPECT_EQ(ini.ReadInteger("\\MainForm_TL\\Columns\\Col0", "Index", -5), 1);
  EXPECT_EQ(ini.ReadInteger("\\MainForm_TL", "HeaderPanelRowCount", -5), 1);
  TTreeListFixture g;
  g.Form->SetName("MainForm");
  g.TL->Bands()->Add();
  ASSERT_NE(Read(g.TL), saved);
  g.TL->LoadFromIniFile(file);
  EXPECT_EQ(Read(g.TL), saved);
  EXPECT_EQ(g.TL->Bands()->Items(1)->Width(), 180);
  // Loading twice gives the same arrangement.
  g.TL->LoadFromIniFile(file);
  EXPECT_EQ(Read(g.TL), saved);
}

TEST(TreeListLayoutStore, RegistryStandInRoundTripAndAMissingKey) {
  TTempProfile profile;
  TArrangement saved;
  {
    TTreeListFixture f;
    Rearrange(f.TL);
    saved = Read(f.TL);
    f.TL->SaveToRegistry("Software\\Varomark\\Grid\\");
  }
  TTreeListFixture g;
  g.TL->Bands()->Add();
  TArrangement before = Read(g.TL);
  g.TL->LoadFromRegistry("Software\\Varomark\\Other");
  EXPECT_EQ(Read(g.TL), before);
  g.TL->LoadFromRegistry("\\Software\\Varomark\\Grid");
  EXPECT_EQ(Read(g.TL), saved);
  EXPECT_EQ(TCustomvmTreeListControl::NormalizePath("A\\B\\\\"), "\\A\\B");
  EXPECT_EQ(TCustomvmTreeListControl::NormalizePath(""), "");
}

TEST(TreeListLayoutStore, BandsFollowTheirStoredIndexesByID) {
  TTempFolder dir;
  TTreeListFixture f;
  f.TL->Bands()->Add()->SetCaption("B1");
  f.TL->Bands()->Add()->SetCaption("B2");
  f.TL->Bands()->Items(0)->SetCaption("B0");
  TMemIniFile ini(dir.File("b.ini"));
  int stored[] = {2, 0, 1};
  for (int i = 0; i < 3; ++i) {
    std::string s = "\\P\\Band\\Band" + std::to_string(i);
    ini.WriteInteger(s, "ID", f.TL->Bands()->Items(i)->ID());
    ini.WriteInteger(s, "Index", stored[i]);
  }
  f.TL->LoadLayout(&ini, "P");
  EXPECT_EQ(f.TL->Bands()->Items(0)->Caption(), "B1");
  EXPECT_EQ(f.TL->Bands()->Items(1)->Caption(), "B2");
  EXPECT_EQ(f.TL->Bands()->Items(2)->Caption(), "B0");
}

TEST(TreeListLayoutStore, DamagedValuesAreIgnored) {
  TTempFolder dir;
  std::string file = dir.File("bad.ini");
  {
    std::ofstream o(file);
    o << "[\\_TL]\nDefaultRowHeight=-40\nHeaderPanelRowCount=77\nBandRowCount=abc\n"
      << "[\\_TL\\Band\\Band0]\nID=999\nWidth=5\n"
      << "[\\_TL\\Columns\\Col0]\nIndex=9999\nBandIndex=42\nWidth=-7\nSorted=12\nStoredRowIndex=-3\n"
      << "[\\_TL\\Columns\\Col1]\nIndex=-50\nWidth=junk\n"
      << "[\\_TL\\Columns\\Nobody]\nIndex=0\n";
  }
  TTreeListFixture f;
  f.Fill(2, 1);
  TArrangement before = Read(f.TL);
  int bandWidth = f.TL->Bands()->Items(0)->Width();
  f.TL->LoadFromIniFile(file);
  TArrangement after = Read(f.TL);
  EXPECT_EQ(after.RowHeight, before.RowHeight);
  EXPECT_EQ(f.TL->Bands()->Items(0)->Width(), bandWidth);  // no band has ID 999
  EXPECT_EQ(f.TL->HeaderPanelRowCount(), 5);               // clamped
  for (int i = 0; i < f.TL->ColumnCount(); ++i) {
    TvmTreeListColumn* c = f.TL->Columns(i);
    EXPECT_GE(c->BandIndex(), -1);
    EXPECT_LT(c->BandIndex(), f.TL->Bands()->Count());
    EXPECT_GE(c->Width(), c->MinWidth());
    EXPECT_GE(c->RowIndex(), 0);
    EXPECT_NE(static_cast<int>(c->Sorted()), 12);
  }
  // Col1 asked for the front, Col0 for the end.
  EXPECT_EQ(f.TL->Columns(0)->Name(), "Col1");
  EXPECT_EQ(f.TL->Columns(2)->Name(), "Col0");
  // The tree is untouched and still painted.
  EXPECT_EQ(f.TL->GetVisibleNodeCount(), 2);
  f.Paint();
}

TEST(TreeListLayoutStore, AutomaticHeaderRowCountIsStoredAsMinusOne) {
  TTempFolder dir;
  TTreeListFixture f;
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxAutoHeaderRowCount);
  TMemIniFile ini(dir.File("a.ini"));
  f.TL->SaveLayout(&ini, "X\\");
  EXPECT_EQ(ini.ReadInteger("\\X", "HeaderPanelRowCount", 0), -1);
  f.TL->LoadLayout(&ini, "X");
  EXPECT_TRUE(f.TL->ExtendedOptions().Contains(tlxAutoHeaderRowCount));
  EXPECT_EQ(f.TL->HeaderPanelRowCount(), 1);
}

}  // namespace

namespace {

TEST(TreeListLayoutStore, StoredOnceOnDestructionAndLoadedWhenLoaded) {
  TTempFolder dir;
  std::string file = dir.File("auto.ini");
  {
    TTreeListFixture f;
    f.TL->IniFileName = file;
    f.TL->SetOptions(f.TL->Options() + tloStoreToIniFile);
    f.TL->Columns(1)->SetWidth(77);
  }
  TTreeListFixture g;
  g.TL->IniFileName = file;
  g.TL->SetOptions(g.TL->Options() + tloStoreToIniFile);
  g.TL->Loaded();
  EXPECT_EQ(g.TL->Columns(1)->Width(), 77);
  g.TL->Columns(1)->SetWidth(50);
  g.TL->Loaded();  // a second automatic load does not happen
  EXPECT_EQ(g.TL->Columns(1)->Width(), 50);
}

}  // namespace
