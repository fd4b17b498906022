// The property window: a view's property rows shown in the inspector, edited, and handed back to
// the view (a test view holding a chart stands for the plot views).
#include <gtest/gtest.h>

#include "app/property_window.h"
#include "app_fixture.h"
#include "chart/engine/chart.h"
#include "controls/vx_settings.h"
#include "chart/engine/chart_axis.h"
#include "inspector/vm_inspector.h"
#include "inspector/vm_inspector_rows.h"
#include "inspector/vm_popupedit.h"
#include "inspector/vm_treeview.h"
#include "mtdata/plot_tables.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/stdctrls.h"

namespace {

// A view with one chart whose value axis takes the Y limits of its property rows.
class TPlotTestView : public TMyForm {
public:
  TChart* Chart;
  int Plot = 0, ChartNo = 1;
  int Saves = 0;
  explicit TPlotTestView(TComponent* AOwner) : TMyForm(AOwner) {
    Chart = new TChart(this);
    Chart->SetParent(this);
    Chart->SetAlign(alClient);
    Chart->LeftAxis()->SetAutomatic(false);
    Chart->LeftAxis()->SetMinimumMaximum(1, 1000);
  }
  void Properties(TObject*) override {
    FillPropRows(Plot, ChartNo, Chart);
    for (TPropRec& r : PropTable.Rows) {
      if (r.Name == "YMin") r.Value = FloatToStr(Chart->LeftAxis()->Minimum());
      if (r.Name == "YMax") r.Value = FloatToStr(Chart->LeftAxis()->Maximum());
    }
    ObjInsp1->ShowProps(PropTable);
    ObjInsp1->Show();
    ObjInsp1->SetOwnerView(this);
  }
  void SaveFromObjInsp(TObject*) override {
    double lo = Chart->LeftAxis()->Minimum(), hi = Chart->LeftAxis()->Maximum();
    for (const TPropRec& r : ObjInsp1->Table().Rows) {
      if (r.Name == "YMin") lo = StrToFloat(r.Value);  // text in a number row raises
      if (r.Name == "YMax") hi = StrToFloat(r.Value);
    }
    Chart->LeftAxis()->SetMinimumMaximum(lo, hi);
    ++Saves;
  }
};

struct PropertyWindow : AppFixture {
  TvmInspector* Insp() { return ObjInsp1->vmInspector1; }
  TvmInspectorRow* RowByCaption(const std::string& C) {
    for (int i = 0; i < Insp()->GetRowCount(); ++i)
      if (Insp()->Rows(i)->GetCaption() == C) return Insp()->Rows(i);
    return nullptr;
  }
  // Clicks the row's value and types Text into its editor, as the user would.
  void Type(TvmInspectorRow* R, const std::string& Text) {
    const TRect r = Insp()->GetNodeRect(R->Node());
    const int x = Insp()->DividerPos() + 20, y = (r.Top + r.Bottom) / 2;
    SendInput(Insp(), ikMouseDown, {ssLeft}, x, y, mbLeft);
    SendInput(Insp(), ikMouseUp, {}, x, y, mbLeft);
    ASSERT_EQ(Insp()->FocusedNode(), R->Node());
    ASSERT_NE(Insp()->Editor(), nullptr);
    Insp()->Editor()->SetWindowText(Text);
    Insp()->Editor()->SetModifiedFlag(true);
  }
};

TEST_F(PropertyWindow, RowsOfAChartInTableOrderEditedAndAppliedToTheView) {
  Start();
  ASSERT_NE(ObjInsp1, nullptr);
  EXPECT_FALSE(ObjInsp1->Visible());
  EXPECT_EQ(ObjInsp1->Caption(), "Properties");
  auto* view = new TPlotTestView(Application);
  view->Show();
  // Plot 0, chart 2: three rows of the chart and the nine common rows.
  view->ChartNo = 2;
  view->Properties(nullptr);
  EXPECT_TRUE(ObjInsp1->Visible());
  ASSERT_EQ(Insp()->GetRowCount(), 12);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Insp()->Rows(i)->GetCaption(), ObjInsp1->Table().Rows[i].Caption);
  EXPECT_EQ(Insp()->Rows(2)->ClassType(), TvmInspectorTextCheckRow::StaticClass());  // "+180"
  EXPECT_EQ(RowByCaption("PointSize")->ClassType(), TvmInspectorTextSpinRow::StaticClass());
  EXPECT_EQ(RowByCaption("XMin")->EditText(), "3");
  // Chart 1: the Y limits change through the window.
  view->ChartNo = 1;
  view->Properties(nullptr);
  ASSERT_EQ(Insp()->GetRowCount(), 11);
  EXPECT_EQ(RowByCaption("ZMin")->EditText(), "1");
  Type(RowByCaption("ZMin"), "0.5");
  Type(RowByCaption("ZMax"), "250");
  ObjInsp1->BitBtn3->Click();
  // "Apply"
  EXPECT_EQ(view->Saves, 1);
  EXPECT_DOUBLE_EQ(view->Chart->LeftAxis()->Minimum(), 0.5);
  EXPECT_DOUBLE_EQ(view->Chart->LeftAxis()->Maximum(), 250);
  EXPECT_TRUE(ObjInsp1->Visible());
  // "Cancel" after editing leaves the view as it is; "Properties" shows the view's values again.
  Type(RowByCaption("ZMax"), "999");
  ObjInsp1->BitBtn2->Click();
  EXPECT_FALSE(ObjInsp1->Visible());
  EXPECT_DOUBLE_EQ(view->Chart->LeftAxis()->Maximum(), 250);
  view->Properties(nullptr);
  EXPECT_EQ(RowByCaption("ZMax")->EditText(), "250");
  // "Apply and close".
  Type(RowByCaption("ZMax"), "300");
  ObjInsp1->BitBtn1->Click();
  EXPECT_FALSE(ObjInsp1->Visible());
  EXPECT_DOUBLE_EQ(view->Chart->LeftAxis()->Maximum(), 300);
  // The close box hides the window; it is not freed.
  view->Properties(nullptr);
  ObjInsp1->Close();
  EXPECT_FALSE(ObjInsp1->Visible());
  ASSERT_NE(ObjInsp1, nullptr);
  // A number row holding text: the view refuses it, the window stays with the text.
  view->Properties(nullptr);
  Type(RowByCaption("ZMin"), "abc");
  EXPECT_THROW(ObjInsp1->Save(nullptr), Exception);
  EXPECT_TRUE(ObjInsp1->Visible());
  EXPECT_EQ(RowByCaption("ZMin")->EditText(), "abc");
  EXPECT_DOUBLE_EQ(view->Chart->LeftAxis()->Minimum(), 0.5);
  // Once the view is closed, Apply does not reach it.
  delete view;
  EXPECT_NO_THROW(ObjInsp1->Save(nullptr));
}

TEST_F(PropertyWindow, NestedRowsKindsAndHiddenEmptyCaptions) {
  Start();
  TPropTable t;
  auto rec = [](int Id, int Parent, int Kind, const char* Caption, const char* Value) {
    TPropRec r;
    r.Id = Id;
    r.ParentId = Parent;
    r.Kind = Kind;
    r.Caption = Caption;
    r.Name = Caption;
    r.Value = Value;
    return r;
  };
  t.Rows = {rec(1, 0, 1, "Group", ""),  rec(2, 1, 4, "Switch", "True"),     rec(3, 0, 1, "", "hidden"),
            rec(4, 2, 7, "Count", "5"), rec(5, 0, 8, "Pick", "not loaded"), rec(6, 0, 16, "File", ""),
            rec(7, 0, 20, "Popup", "")};
  ObjInsp1->ShowProps(t);
  ASSERT_EQ(Insp()->GetRowCount(), 6);
  EXPECT_EQ(RowByCaption("Switch")->Node()->Parent(), RowByCaption("Group")->Node());
  EXPECT_EQ(RowByCaption("Count")->Node()->Parent(), RowByCaption("Switch")->Node());
  EXPECT_EQ(RowByCaption("Count")->Node()->Level(), 2);
  EXPECT_EQ(RowByCaption("Pick")->EditText(), "");  // other kinds start without a value
  EXPECT_EQ(RowByCaption("Popup")->ClassType(), TvmInspectorTextPopupRow::StaticClass());
  EXPECT_EQ(static_cast<TvmInspectorTextPopupRow*>(RowByCaption("Popup"))->PopupControl(),
            static_cast<TControl*>(ObjInsp1->vmTreeView1));
  // A file row's button asks for a file and takes its full name.
  ChooseFiles({"/data/site/S107.MT1"});
  Dialogs.front() = [](TCommonDialog* D) {
    static_cast<TOpenDialog*>(D)->SetFileName("/data/site/S107.MT1");
    return true;
  };
  auto* file = static_cast<TvmInspectorTextButtonRow*>(RowByCaption("File"));
  file->OnButtonClick(file, 0);
  EXPECT_EQ(file->EditText(), "/data/site/S107.MT1");
}

}  // namespace

namespace {

TEST_F(PropertyWindow, PlacementKeptInItsOwnSection) {
  Start();
  ObjInsp1->Show();
  ObjInsp1->SetBounds(123, 77, 230, 340);
  ObjInsp1->Close();
  const std::string ini = DefaultIniFileName();
  Stop();
  TIniFile stored(ini);
  EXPECT_TRUE(stored.SectionExists("TObjInsp1"));
}

}  // namespace

namespace {

// A double-click on a node of the pop-up tree, driven through the mouse entry points of the tree
// while the pop-up's own loop runs, gives the node's text to the pop-up row and closes the pop-up.
TEST_F(PropertyWindow, DoubleClickInThePopupTreeTakesTheNodeText) {
  Start();
  TPropTable t;
  TPropRec name, popup;
  name.Id = 1, name.Kind = 1, name.Caption = name.Name = "Name", name.Value = "x";
  popup.Id = 2, popup.Kind = 20, popup.Caption = popup.Name = "Site";
  t.Rows = {name, popup};
  ObjInsp1->ShowProps(t);
  ObjInsp1->Show();
  TvmTreeView* tree = ObjInsp1->vmTreeView1;
  tree->Clear();
  TvmTreeNode* sites = tree->AddChild(nullptr, "Sites");
  tree->AddChild(sites, "S107");
  tree->AddChild(sites, "S212");
  sites->Expand(false);
  // Without a pop-up open a double-click changes nothing.
  tree->SetSelected(sites);
  ObjInsp1->vmTreeView1DblClick(tree);
  EXPECT_EQ(RowByCaption("Site")->EditText(), "");

  // An earlier test's program ended by closing its main form, which terminated the application;
  // the pop-up's loop would end at once.
  Application->ResetTerminated();
  Type(RowByCaption("Site"), "");
  auto* edit = dynamic_cast<TvmInplacePopupEdit*>(Insp()->Editor());
  ASSERT_NE(edit, nullptr);
  // The steps run from a timer inside the pop-up's loop; a pop-up left open is closed and reported.
  TTimer timer(nullptr);
  timer.SetEnabled(false);
  timer.SetInterval(5);
  bool clicked = false, hosted = false;
  int spare = 0;
  timer.OnTimer = [&](TObject*) {
    if (!edit->Showing() || !edit->PopupForm()) return;
    if (!clicked) {
      clicked = true;
      hosted = tree->Parent() == edit->PopupForm() && tree->Visible();
      TvmTreeNode* s212 = sites->Item(1);
      const TRect r = tree->DisplayRect(s212, true);
      const int x = (r.Left + r.Right) / 2, y = (r.Top + r.Bottom) / 2;
      SendInput(tree, ikMouseDown, {ssLeft}, x, y, mbLeft);
      SendInput(tree, ikMouseUp, {}, x, y, mbLeft);
      SendInput(tree, ikDblClick, {ssLeft}, x, y, mbLeft);
      SendInput(tree, ikMouseUp, {}, x, y, mbLeft);
    } else if (++spare > 40) {
      ADD_FAILURE() << "the pop-up stayed open";
      edit->PopupForm()->CloseUp(false);
    }
  };
  Application->ProcessMessages();
  timer.SetEnabled(true);
  edit->ShowPopupForm();
  timer.SetEnabled(false);
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(hosted);
  EXPECT_FALSE(edit->Showing());
  EXPECT_EQ(tree->Parent(), ObjInsp1);  // given back
  EXPECT_EQ(RowByCaption("Site")->EditText(), "S212");
  // Apply hands it to the table.
  ObjInsp1->Save(nullptr);
  EXPECT_EQ(ObjInsp1->Table().Rows[1].Value, "S212");
  EXPECT_EQ(ObjInsp1->Table().Rows[0].Value, "x");
}

}  // namespace

namespace {

// Typing into a value cell as the user does, key by key through the window system's event path:
// every key stays, Enter applies the text to the row, Escape gives the row's value back.
TEST_F(PropertyWindow, TypedKeysAllStayAndEscapeUndoes) {
  Start();
  auto* view = new TPlotTestView(Application);
  view->Show();
  view->Properties(nullptr);
  Application->ProcessMessages();
  auto click = [&](TvmInspectorRow* R) {
    const TRect r = Insp()->GetNodeRect(R->Node());
    const int x = Insp()->DividerPos() + 20, y = (r.Top + r.Bottom) / 2;
    SendInput(Insp(), ikMouseDown, {ssLeft}, x, y, mbLeft);
    SendInput(Insp(), ikMouseUp, {}, x, y, mbLeft);
    Application->ProcessMessages();
  };
  auto type = [&](const std::string& Keys) {
    for (char k : Keys) {
      SendKey({}, k == '.' ? VK_OEM_PERIOD : static_cast<unsigned char>(k));
      Application->ProcessMessages();
    }
  };
  struct Case {
    const char* Row;
    const char* Keys;
    const char* Expected;
  };
  for (const Case& c : {Case{"ZMax", "25", "25"}, Case{"ZMin", "0.01", "0.01"}}) {
    SCOPED_TRACE(c.Keys);
    click(RowByCaption(c.Row));
    ASSERT_NE(Insp()->Editor(), nullptr);
    SendKey({ssCtrl}, 'A');  // the old value selected, as a user replaces it
    type(c.Keys);
    std::string editing;
    Insp()->GetEditingText(editing);
    EXPECT_EQ(editing, c.Expected);
    SendKey({}, VK_RETURN);
    Application->ProcessMessages();
    EXPECT_EQ(RowByCaption(c.Row)->EditText(), c.Expected);
  }
  // A key typed after the caret was put at the end adds to the value.
  click(RowByCaption("ZMax"));
  SendKey({}, VK_END);
  type("0");
  {
    std::string editing;
    Insp()->GetEditingText(editing);
    EXPECT_EQ(editing, "250");
  }
  SendKey({}, VK_RETURN);
  // Escape gives the typed value up.
  click(RowByCaption("ZMax"));
  SendKey({ssCtrl}, 'A');
  type("7");
  SendKey({}, VK_ESCAPE);
  Application->ProcessMessages();
  std::string editing;
  Insp()->GetEditingText(editing);
  EXPECT_EQ(editing, "250");
  ObjInsp1->BitBtn3->Click();
  EXPECT_DOUBLE_EQ(view->Chart->LeftAxis()->Maximum(), 250);
  EXPECT_DOUBLE_EQ(view->Chart->LeftAxis()->Minimum(), 0.01);
  delete view;
}

}  // namespace

namespace {

// The property window is one of the program's windows: it opens beside the frame's free area (not
// over the menu), its buttons show their whole captions, and the special layouts put it at the left
// edge and the other windows beside it.
TEST_F(PropertyWindow, OpensBesideTheFrameAndTheSpecialLayoutsMakeRoomForIt) {
  Start();
  EXPECT_NE(dynamic_cast<TMyForm*>(static_cast<TForm*>(ObjInsp1)), nullptr);
  const TRect area = MainForm1->MDIClientRect();
  TBitmap measure(1, 1);
  for (TButton* b : {ObjInsp1->BitBtn1, ObjInsp1->BitBtn2, ObjInsp1->BitBtn3}) {
    measure.Canvas()->Font()->Assign(b->Font());
    EXPECT_GE(b->Width(), measure.Canvas()->TextWidth(b->Caption()) + 8) << b->Caption();
    EXPECT_LE(b->Left() + b->Width(), ObjInsp1->ClientWidth()) << b->Caption();
  }
  auto* view = new TPlotTestView(Application);
  view->Show();
  view->Properties(nullptr);
  // Placed as it first shows, below the tool bars as they are laid out by then.
  const TRect shownArea = MainForm1->MDIClientRect();
  const TPoint origin = MainForm1->ClientToScreen(Point(shownArea.Left, shownArea.Top));
  // Its bounds are its client area's: its title bar (as wide as the frame's) lies below the bars too.
  const TRect ext = MainForm1->FrameExtents();
  EXPECT_GE(ObjInsp1->Top() - ext.Top, origin.Y);
  EXPECT_GE(ObjInsp1->Left() - ext.Left, origin.X);
  ObjInsp1->SetWidth(150);
  const int h = area.Height();
  ASSERT_TRUE(MainForm1->AcMaximizeSpecial->Execute());
  EXPECT_EQ(view->Left(), area.Left + 150);
  EXPECT_EQ(view->Top(), area.Top);
  EXPECT_EQ(view->Width(), area.Right - 4 - (area.Left + 150));
  EXPECT_EQ(view->Height(), h * 4 / 5);
  EXPECT_EQ(ObjInsp1->Left(), origin.X + 1 + ext.Left);
  EXPECT_EQ(ObjInsp1->Top(), origin.Y + ext.Top);
  EXPECT_EQ(ObjInsp1->Height(), h * 4 / 5 - ext.Top);
  ASSERT_TRUE(MainForm1->AcCascadeSpecial->Execute());
  EXPECT_EQ(view->Left(), area.Left + 150);
  // Hidden, the property window takes no room.
  ObjInsp1->Close();
  ASSERT_TRUE(MainForm1->AcMaximizeSpecial->Execute());
  EXPECT_EQ(view->Left(), area.Left);
  delete view;
}

}  // namespace
