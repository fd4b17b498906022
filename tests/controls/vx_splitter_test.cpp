// The splitter: split kinds from the aligns, drags that resize, limits, Esc, refusals and the
// exclusive-or tracking line on the form.
#include "controls/vx_splitter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/streaming.h"
#include "platform/streams.h"

namespace {

struct Layout {
  std::unique_ptr<TForm> Form;
  TPanel* Sized = nullptr;
  TPanel* Rest = nullptr;
  TVxSplitter* Split = nullptr;

  // A 400 x 300 form: Sized aligned SizedAlign (100 wide or high), the splitter beside it, Rest filling.
  explicit Layout(TAlign SizedAlign) {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 400, 300);
    Form->SetClientWidth(400);
    Form->SetClientHeight(300);
    Sized = new TPanel(Form.get());
    Sized->SetParent(Form.get());
    Sized->SetBounds(0, 0, 100, 100);
    Sized->SetAlign(SizedAlign);
    Split = new TVxSplitter(Form.get());
    Split->SetParent(Form.get());
    // Place the bar just inside the sized panel's free side, so alignment keeps it beside it.
    const TRect r = Sized->BoundsRect();
    switch (SizedAlign) {
      case alLeft:
        Split->SetBounds(r.Right, 0, 3, 300);
        break;
      case alRight:
        Split->SetBounds(r.Left - 3, 0, 3, 300);
        break;
      case alTop:
        Split->SetBounds(0, r.Bottom, 400, 3);
        break;
      default:
        Split->SetBounds(0, r.Top - 3, 400, 3);
        break;
    }
    Split->SetAlign(SizedAlign);
    Rest = new TPanel(Form.get());
    Rest->SetParent(Form.get());
    Rest->SetAlign(alClient);
    Form->Show();
  }
  int SizedExtent() const {
    return (Sized->Align() == alLeft || Sized->Align() == alRight) ? Sized->Width() : Sized->Height();
  }
  void Drag(int DX, int DY, bool Release = true) {
    const int gx = Split->Width() / 2, gy = Split->Height() / 2;
    SendInput(Split, ikMouseDown, {ssLeft}, gx, gy, mbLeft);
    SendInput(Split, ikMouseMove, {ssLeft}, gx + DX, gy + DY);
    if (Release) SendInput(Split, ikMouseUp, {}, gx + DX, gy + DY, mbLeft);
  }
};

TEST(VxSplitter, NewSplitterDefaultsAndKindFromAdjacentControl) {
  TVxSplitter s(nullptr);
  EXPECT_EQ(s.Width(), 185);
  EXPECT_EQ(s.Height(), 3);
  EXPECT_EQ(s.TopLeftLimit(), 20);
  EXPECT_EQ(s.BottomRightLimit(), 20);
  EXPECT_EQ(s.ComputeSplitKind(), TVxSplitter::skNone);
  EXPECT_EQ(s.GetCursor(), crDefault);

  Layout l(alLeft);
  EXPECT_EQ(l.Split->ControlFirst(), l.Sized);  // found beside its aligned side
  EXPECT_EQ(l.Split->ComputeSplitKind(), TVxSplitter::skFirstWidth);
  EXPECT_EQ(l.Split->Cursor(), crHSplit);
  l.Split->SetControlFirst(l.Split);  // itself is stored as none
  EXPECT_EQ(l.Split->ControlFirst(), nullptr);
  EXPECT_EQ(l.Split->Cursor(), crDefault);
  l.Split->SetControlFirst(l.Form.get());  // a form too
  EXPECT_EQ(l.Split->ControlFirst(), nullptr);
}

TEST(VxSplitter, KindsFollowTheAlignsOfBothControls) {
  struct Case {
    TAlign Own, First, Second;
    bool HasSecond;
    int Kind;
  };
  const Case cases[] = {
      {alTop, alTop, alClient, true, 1},     {alBottom, alBottom, alNone, false, 1},
      {alTop, alClient, alTop, true, 2},     {alLeft, alLeft, alClient, true, 3},
      {alRight, alClient, alRight, true, 4}, {alLeft, alTop, alClient, true, 0},  // own align differs
      {alLeft, alLeft, alLeft, true, 0},     {alTop, alClient, alClient, true, 0},
  };
  for (const Case& c : cases) {
    TPanel parent(nullptr), a(nullptr), b(nullptr);
    TVxSplitter s(nullptr);
    a.SetAlign(c.First);
    b.SetAlign(c.Second);
    s.SetControlFirst(&a);
    if (c.HasSecond) s.SetControlSecond(&b);
    s.SetAlign(c.Own);
    EXPECT_EQ(s.ComputeSplitKind(), c.Kind) << c.Own << " " << c.First << " " << c.Second;
    EXPECT_EQ(s.GetCursor(), c.Kind == 0 ? crDefault : c.Kind <= 2 ? crVSplit : crHSplit);
  }
}

TEST(VxSplitter, AlignSetsThicknessOnlyFromAnUnalignedBar) {
  TVxSplitter s(nullptr);
  s.SetAlign(alTop);
  EXPECT_EQ(s.Height(), 3);
  s.SetBounds(0, 0, 50, 7);
  s.SetAlign(alLeft);  // already side-aligned: only the align changes
  EXPECT_EQ(s.Width(), 50);
}

TEST(VxSplitter, DragsResizeTheSizedControlInTheDragDirection) {
  struct Case {
    TAlign Align;
    int DX, DY, Expected;
  };
  const Case cases[] = {
      {alLeft, 50, 0, 150}, {alRight, -50, 0, 150}, {alTop, 0, 30, 130}, {alBottom, 0, -40, 140}, {alLeft, -30, 0, 70},
  };
  for (const Case& c : cases) {
    Layout l(c.Align);
    int changed = 0;
    l.Split->OnPosChanged = [&](TObject*) { ++changed; };
    l.Drag(c.DX, c.DY);
    EXPECT_EQ(l.SizedExtent(), c.Expected) << c.Align;
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(l.Split->Sizing());
  }
}

TEST(VxSplitter, LimitsHoldTheBarAndShowTheNoDropCursor) {
  Layout l(alLeft);
  const int gx = l.Split->Width() / 2, gy = l.Split->Height() / 2;
  SendInput(l.Split, ikMouseDown, {ssLeft}, gx, gy, mbLeft);
  SendInput(l.Split, ikMouseMove, {ssLeft}, gx - 95, gy);  // past the left limit of 20
  EXPECT_TRUE(l.Split->NoDrop());
  EXPECT_EQ(l.Split->Cursor(), crNoDrop);
  SendInput(l.Split, ikMouseMove, {ssLeft}, gx - 10, gy);  // back inside
  EXPECT_FALSE(l.Split->NoDrop());
  EXPECT_EQ(l.Split->Cursor(), crHSplit);
  SendInput(l.Split, ikMouseUp, {}, gx - 95, gy, mbLeft);
  EXPECT_EQ(l.Sized->Width(), 20);  // the bar stops at the limit

  Layout r(alLeft);
  r.Drag(1000, 0);
  EXPECT_EQ(r.Sized->Width(), 400 - 20 - 3);
}

TEST(VxSplitter, SizeStopsShortOfTheParentExtentAndNeverBelowOne) {
  struct Case {
    int Limit, DX, Expected;
  };
  // Without limits: 400 - 3 is the maximum, so the size stops 3 short of it; 0 becomes 1.
  const Case cases[] = {{0, 1000, 400 - 3 - 3}, {0, -1000, 1}};
  for (const Case& c : cases) {
    Layout l(alLeft);
    l.Split->SetTopLeftLimit(c.Limit - 5);
    l.Split->SetBottomRightLimit(c.Limit - 5);
    l.Drag(c.DX, 0);
    EXPECT_EQ(l.Sized->Width(), c.Expected) << c.DX;
  }
}

TEST(VxSplitter, EscapeCancelsAndRefusalStillReportsTheRelease) {
  Layout l(alLeft);
  int changed = 0;
  l.Split->OnPosChanged = [&](TObject*) { ++changed; };
  int keysToForm = 0;
  l.Form->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) { ++keysToForm; };
  const int controls = l.Form->ControlCount();
  l.Drag(50, 0, false);
  // The tracking line stands over the other controls where the bar will go, in the inverse colour.
  TControl* line = l.Split->TrackLine();
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->BoundsRect(), Rect(150, 0, 152, 300));
  EXPECT_EQ(ControlSurfacePixel(line, 0, 150), ColorToRGB(l.Form->Color()) ^ 0xFFFFFF);
  SendInput(l.Split, ikMouseMove, {ssLeft}, 1 + 60, 150);
  EXPECT_EQ(l.Split->TrackLine()->Left(), 160);
  l.Form->DispatchKeyDown('A', {});  // other keys reach the form's own handler
  EXPECT_EQ(keysToForm, 1);
  l.Form->DispatchKeyDown(VK_ESCAPE, {});
  EXPECT_FALSE(l.Split->Sizing());
  EXPECT_EQ(l.Split->TrackLine(), nullptr);  // erased
  EXPECT_EQ(l.Form->ControlCount(), controls);
  SendInput(l.Split, ikMouseUp, {}, 51, 150, mbLeft);
  EXPECT_EQ(l.Sized->Width(), 100);
  EXPECT_EQ(changed, 0);
  l.Form->DispatchKeyDown('A', {});  // the form has its handler back
  EXPECT_EQ(keysToForm, 2);

  Layout r(alLeft);
  std::vector<int> seen;
  r.Split->OnPosChanging = [&](TObject*, int X, int, bool& Allow) {
    seen.push_back(X);
    Allow = false;
  };
  r.Split->OnPosChanged = [&](TObject*) { ++changed; };
  r.Drag(50, 0);
  EXPECT_EQ(r.Split->TrackLine(), nullptr);
  EXPECT_EQ(r.Sized->Width(), 100);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(seen.size(), 2u);  // once while moving, once on release
  EXPECT_EQ(seen.front(), 51);
}

TEST(VxSplitter, DestroyedControlIsForgotten) {
  Layout l(alTop);
  ASSERT_EQ(l.Split->ControlFirst(), l.Sized);
  delete l.Sized;
  EXPECT_EQ(l.Split->ControlFirst(), nullptr);
  EXPECT_EQ(l.Split->ComputeSplitKind(), TVxSplitter::skNone);

  Layout d(alLeft);  // the window closes in the middle of a drag
  d.Drag(30, 0, false);
  ASSERT_NE(d.Split->TrackLine(), nullptr);
  d.Form.reset();
  SUCCEED();
}

TEST(VxSplitter, OlderLimitOffsetIsReadIntoBothLimitsAndNeverWritten) {
  TStringStream text("object Bar: TVxSplitter\n  LimitOffset = 7\nend\n");
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  TVxSplitter s(nullptr);
  ReadComponentFromStream(binary, &s);
  EXPECT_EQ(s.TopLeftLimit(), 7);
  EXPECT_EQ(s.BottomRightLimit(), 7);
  const std::string out = ComponentToText(&s);
  EXPECT_EQ(out.find("LimitOffset"), std::string::npos) << out;
  EXPECT_NE(out.find("TopLeftLimit = 7"), std::string::npos) << out;
}

}  // namespace
