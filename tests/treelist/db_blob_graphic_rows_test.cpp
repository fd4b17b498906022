// Field-bound blob and graphic rows over a memory table: the blob popup edits the field's text and
// writes it back, the graphic row paints the field's picture in its cell and stores the edited
// picture, and both follow the field when the record changes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/mem_data.h"
#include "inspector/testkit/inspector_rows_fixture.h"
#include "inspector/vm_blob.h"
#include "inspector/vm_graphic.h"
#include "inspector/vm_utils.h"
#include "platform/bitmap.h"
#include "platform/clipbrd.h"
#include "platform/forms.h"
#include "platform/richedit.h"
#include "treelist/db_inspector_rows.h"

namespace {

void PressKey(TControl* C, uint16_t Key, TShiftState Shift = {}) {
  SendInput(C, ikKeyDown, Shift, 0, 0, Key);
  SendInput(C, ikKeyUp, Shift, 0, 0, Key);
}

std::string PictureBytes(int W, int H, TColor Color) {
  TBitmap b(W, H);
  FillRectColor(b.Canvas(), Rect(0, 0, W, H), Color);
  TPicture p;
  p.SetGraphic(&b);
  return SavePictureToString(&p);
}

struct TBlobFixture : TInspectorRowsFixture<TvmDBInspector> {
  TVxMemoryData* Table = nullptr;
  TBlobFixture() {
    SetWorkAreaOverride(Rect(0, 0, 800, 600));
    Form->SetBounds(0, 0, 420, 400);
    Table = new TVxMemoryData(Form.get());
    Table->FieldDefs()->Add("DATA", ftBlob);
    Table->FieldDefs()->Add("RICH", ftFmtMemo);
    Table->FieldDefs()->Add("PIC", ftGraphic);
    Table->FieldDefs()->Add("OLE", ftParadoxOle);
    Table->Open();
    Table->Append();
    Table->FieldByName("DATA")->SetAsString("blob text");
    Table->FieldByName("PIC")->SetAsString(PictureBytes(40, 16, clRed));
    Table->Post();
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(Table);
    Insp = new TvmDBInspector(Form.get());
    Insp->SetParent(Form.get());
    Insp->SetBounds(0, 0, 400, 380);
    Insp->SetDividerPos(150);
    Insp->SetDataSource(source);
    Form->Show();
    Application->ProcessMessages();
  }
  ~TBlobFixture() { SetWorkAreaOverride(TRect()); }
  template <class R>
  R* Add(const std::string& Field) {
    R* r = Insp->CreateRow<R>();
    r->SetFieldName(Field);
    return r;
  }
};

TEST(FieldBoundBlobRows, EditKindFollowsBlobKindOrTheFieldType) {
  TBlobFixture f;
  struct TCase {
    const char* Field;
    TvmBlobKind Kind;
    TvmBlobEditKind Expected;
  };
  const TCase cases[] = {
      {"DATA", bkAuto, bekBlob}, {"RICH", bkAuto, bekMemo}, {"PIC", bkAuto, bekPict}, {"OLE", bkAuto, bekOle},
      {"DATA", bkMemo, bekMemo}, {"RICH", bkPict, bekPict}, {"PIC", bkBlob, bekBlob}, {"DATA", bkOle, bekOle},
  };
  for (const TCase& c : cases) {
    auto* row = f.Add<TvmInspectorBlobRow>(c.Field);
    row->SetBlobKind(c.Kind);
    EXPECT_EQ(row->GetBlobEditKind(), c.Expected) << c.Field << " " << c.Kind;
    // The editor the inspector opens takes the same kind.
    auto* e = dynamic_cast<TvmInplaceBlobEdit*>(f.Open(row));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->BlobEditKind(), c.Expected) << c.Field << " " << c.Kind;
    f.Insp->HideEditor();
  }
  // Without a field the row keeps its own edit kind; the value is an empty text.
  auto* unbound = f.Add<TvmInspectorBlobRow>("MISSING");
  unbound->SetBlobKind(bkPict);
  unbound->BlobEditKind = bekOle;
  EXPECT_EQ(unbound->GetBlobEditKind(), bekOle);
  Variant v;
  unbound->GetBlobValue(v);
  EXPECT_EQ(v.AsString(), "");
  // BlobKind is stored with the row's other published properties.
  EXPECT_NE(GetPropInfo(TvmInspectorBlobRow::StaticClass(), "BlobKind"), nullptr);
}

TEST(FieldBoundBlobRows, TheMemoPopupEditsTheFieldsTextAndFollowsTheRecord) {
  TBlobFixture f;
  auto* row = f.Add<TvmInspectorBlobRow>("DATA");
  row->SetBlobKind(bkMemo);
  EXPECT_TRUE(row->CanModify());  // a blob field, still editable through the popup
  Variant v;
  row->GetBlobValue(v);
  EXPECT_EQ(v.AsString(), "blob text");
  auto* e = static_cast<TvmInplaceBlobEdit*>(f.Open(row));
  EXPECT_EQ(e->BlobValue(), "blob text");
  PressKey(e, VK_DOWN, {ssAlt});
  TCustomvmBlobPopup* p = e->Popup();
  ASSERT_NE(p, nullptr);
  ASSERT_TRUE(p->Visible());
  EXPECT_EQ(p->Memo()->GetText(), "blob text");
  SendTextInput(p->Memo(), " edited");
  PressKey(p->Memo(), VK_RETURN, {ssCtrl});
  f.Leave();
  EXPECT_EQ(f.Table->FieldByName("DATA")->AsString(), "blob text edited");
  f.Table->Post();
  // The field changed elsewhere: the row and a newly opened popup read the new text.
  f.Table->Edit();
  f.Table->FieldByName("DATA")->SetAsString("from the table");
  f.Table->Post();
  row->GetBlobValue(v);
  EXPECT_EQ(v.AsString(), "from the table");
  e = static_cast<TvmInplaceBlobEdit*>(f.Open(row));
  EXPECT_EQ(e->BlobValue(), "from the table");
  f.Insp->HideEditor();
  // A filled field shows the full memo icon, a null one the empty icon: the cells differ.
  const int full = f.ValueInk(row, clBlack).Any;
  f.Table->Edit();
  f.Table->FieldByName("DATA")->Clear();
  f.Table->Post();
  const int empty = f.ValueInk(row, clBlack).Any;
  EXPECT_GT(full, 0);
  EXPECT_GT(empty, 0);
  EXPECT_NE(full, empty);
}

TEST(FieldBoundGraphicRows, PaintTheFieldsPictureAndWriteTheEditedOne) {
  RegisterDBInspectorRows();
  TBlobFixture f;
  TField* pic = f.Table->FieldByName("PIC");
  EXPECT_EQ(GetDefaultRowClassForField(pic), TvmInspectorDBGraphicRow::StaticClass());
  ResetDefaultRowClasses();
  auto* row = f.Add<TvmInspectorDBGraphicRow>("PIC");
  EXPECT_TRUE(row->CanModify());
  // The field's red picture is painted in the cell.
  TBlobFixture::TInk ink = f.ValueInk(row, clRed);
  EXPECT_GT(ink.OfColor, 100);
  // The field changed elsewhere: the cell paints the new picture.
  f.Table->Edit();
  pic->SetAsString(PictureBytes(40, 16, clBlue));
  f.Table->Post();
  EXPECT_EQ(f.ValueInk(row, clRed).OfColor, 0);
  EXPECT_GT(f.ValueInk(row, clBlue).OfColor, 100);
  // A value that is no picture paints an empty cell and raises nothing.
  f.Table->Edit();
  pic->SetAsString("plain words, not a picture");
  f.Table->Post();
  EXPECT_NO_THROW(EXPECT_EQ(f.ValueInk(row, clRed).Any, 0));
  // A picture pasted into the row's editor is written into the field.
  auto* e = dynamic_cast<TvmInplaceGraphicEdit*>(f.Open(row));
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(PictureHasNoGraphic(e->Picture()));
  TBitmap green(30, 20);
  FillRectColor(green.Canvas(), Rect(0, 0, 30, 20), clLime);
  Clipboard()->Assign(&green);
  PressKey(e, 'V', {ssCtrl});
  f.Leave();
  TPicture back;
  LoadPictureFromString(&back, nullptr, pic->Value());
  EXPECT_EQ(back.Width(), 30);
  EXPECT_EQ(back.Height(), 20);
  f.Table->Post();
  EXPECT_GT(f.ValueInk(row, clLime).OfColor, 100);
  // Reopening the table hands the row its field again.
  f.Table->Close();
  EXPECT_EQ(row->DisplayText(), "");
  f.Table->Open();
  EXPECT_NE(row->GetField(), nullptr);
  // Unbound, the row has no picture.
  auto* unbound = f.Add<TvmInspectorDBGraphicRow>("MISSING");
  EXPECT_EQ(unbound->GetPictureValue().AsString(), "");
  EXPECT_FALSE(unbound->CanModify());
}

}  // namespace
