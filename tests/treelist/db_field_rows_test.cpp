// Field-bound rows over a memory table: the spin row's limits and value type from its field, and
// the data-aware inspector making its own rows from the dataset's fields.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/mem_data.h"
#include "platform/forms.h"
#include "platform/typinfo.h"
#include "treelist/db_inspector_rows.h"

namespace {

struct TFieldRowsFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVxMemoryData* Table = nullptr;
  TDataSource* Source = nullptr;
  TvmDBInspector* Insp = nullptr;
  TFieldRowsFixture() {
    Form->SetBounds(0, 0, 420, 400);
    Table = new TVxMemoryData(Form.get());
    Table->FieldDefs()->Add("COUNT", ftInteger);
    Table->FieldDefs()->Add("RATIO", ftFloat);
    Table->FieldDefs()->Add("PRICE", ftCurrency);
    Table->FieldDefs()->Add("NAME", ftString, 30);
    Table->Open();
    Table->Append();
    Table->FieldByName("COUNT")->SetAsInteger(7);
    Table->FieldByName("NAME")->SetAsString("first");
    Table->Post();
    Source = new TDataSource(Form.get());
    Source->SetDataSet(Table);
    Insp = new TvmDBInspector(Form.get());
    Insp->SetParent(Form.get());
    Insp->SetBounds(0, 0, 400, 380);
    Insp->SetDataSource(Source);
    Form->Show();
  }
  TvmInspectorDBSpinRow* Spin(const std::string& Field) {
    auto* r = Insp->CreateRow<TvmInspectorDBSpinRow>();
    r->SetFieldName(Field);
    return r;
  }
};

TEST(FieldBoundSpinRow, TakesItsLimitsAndValueTypeFromTheField) {
  TFieldRowsFixture f;
  auto* count = dynamic_cast<TIntegerField*>(f.Table->FieldByName("COUNT"));
  auto* ratio = dynamic_cast<TFloatField*>(f.Table->FieldByName("RATIO"));
  auto* price = dynamic_cast<TFloatField*>(f.Table->FieldByName("PRICE"));
  ASSERT_TRUE(count && ratio && price);
  count->SetMinValue(-5);
  count->SetMaxValue(50);
  ratio->SetPrecision(4);
  ratio->SetMaxValue(1234.56789);
  ratio->SetMinValue(-0.000123456);
  price->SetMaxValue(99.5);
  struct TCase {
    const char* Field;
    double Min, Max;
    TvmValueType Type;
  };
  // The float limits go through the field's precision: 1234.56789 with 4 digits is 1235.
  const std::vector<TCase> cases = {{"COUNT", -5, 50, vtInt},
                                    {"RATIO", -0.0001235, 1235, vtFloat},
                                    {"PRICE", 0, 99.5, vtFloat},
                                    {"NAME", 0, 0, vtInt},
                                    {"MISSING", 0, 0, vtInt}};
  for (const TCase& c : cases) {
    auto* row = f.Spin(c.Field);
    EXPECT_DOUBLE_EQ(row->MinValue(), c.Min) << c.Field;
    EXPECT_DOUBLE_EQ(row->MaxValue(), c.Max) << c.Field;
    EXPECT_EQ(row->GetValueType(), c.Type) << c.Field;
  }
  // A limit set on the row wins over the field's.
  auto* own = f.Spin("COUNT");
  own->SetMaxValue(10);
  EXPECT_DOUBLE_EQ(own->MaxValue(), 10);
  EXPECT_DOUBLE_EQ(own->MinValue(), -5);
}

// The currency row takes the spin row's limits from its field; a limit equal to the field's is
// not stored with a form, one set apart is.
TEST(FieldBoundCurrencyRow, TakesItsLimitsFromTheField) {
  TFieldRowsFixture f;
  auto* count = dynamic_cast<TIntegerField*>(f.Table->FieldByName("COUNT"));
  auto* price = dynamic_cast<TFloatField*>(f.Table->FieldByName("PRICE"));
  ASSERT_TRUE(count && price);
  count->SetMinValue(-5);
  count->SetMaxValue(50);
  price->SetMinValue(1.25);
  price->SetMaxValue(99.5);
  struct TCase {
    const char* Field;
    double Min, Max;
  };
  for (const TCase& c : {TCase{"COUNT", -5, 50}, TCase{"PRICE", 1.25, 99.5}, TCase{"NAME", 0, 0}}) {
    auto* row = f.Insp->CreateRow<TvmInspectorDBCurrencyRow>();
    row->SetFieldName(c.Field);
    EXPECT_DOUBLE_EQ(row->MinValue(), c.Min) << c.Field;
    EXPECT_DOUBLE_EQ(row->MaxValue(), c.Max) << c.Field;
    row->SetMinValue(c.Min);
    EXPECT_FALSE(row->MinValueStored()) << c.Field;
    row->SetMaxValue(c.Max + 1);
    EXPECT_TRUE(row->MaxValueStored()) << c.Field;
  }
}

TEST(FieldBoundRows, PublishTheirFieldAndTheirOwnProperties) {
  TFieldRowsFixture f;
  auto* currency = f.Insp->CreateRow<TvmInspectorDBCurrencyRow>();
  for (const char* name : {"FieldName", "Nullable", "NullString"}) EXPECT_TRUE(IsPublishedProp(currency, name)) << name;
  auto* plain = f.Insp->CreateRow<TvmInspectorDBRow>();
  for (const char* name : {"FieldName", "CharCase"}) EXPECT_TRUE(IsPublishedProp(plain, name)) << name;
}

TEST(DBInspector, MakesARowPerVisibleFieldWhenAskedAndFollowsTheDataSet) {
  RegisterDBInspectorRows();
  TFieldRowsFixture f;
  EXPECT_EQ(f.Insp->GetRowCount(), 0);  // the rows are the program's by default
  f.Table->FieldByName("PRICE")->SetVisible(false);
  f.Insp->SetAutoCreateRows(true);
  ASSERT_EQ(f.Insp->GetRowCount(), 3);
  // Each row has the class registered for its field's type and shows the current record.
  EXPECT_EQ(f.Insp->GetRow(0)->ClassType(), TvmInspectorDBMaskRow::StaticClass());
  EXPECT_EQ(f.Insp->GetRow(2)->ClassType(), TvmInspectorDBMaskRow::StaticClass());
  std::string text;
  f.Insp->GetRow(0)->GetDisplayText(text);
  EXPECT_EQ(text, "7");
  f.Insp->GetRow(2)->GetDisplayText(text);
  EXPECT_EQ(text, "first");
  std::string caption;
  f.Insp->GetRow(2)->GetDefaultCaption(caption);
  EXPECT_EQ(caption, "NAME");
  // Written through a row, read back from the dataset.
  f.Insp->GetRow(2)->SetEditText("second");
  f.Table->Post();
  EXPECT_EQ(f.Table->FieldByName("NAME")->AsString(), "second");
  // Closed: no rows; opened again: the rows come back.
  f.Table->Close();
  EXPECT_EQ(f.Insp->GetRowCount(), 0);
  f.Table->Open();
  auto visible = [&] {
    int n = 0;
    for (int i = 0; i < f.Table->Fields().Count(); ++i) n += f.Table->Fields()[i]->Visible() ? 1 : 0;
    return n;
  };
  EXPECT_EQ(f.Insp->GetRowCount(), visible());
  f.Table->FieldByName("PRICE")->SetVisible(false);
  ResetDefaultRowClasses();
  // Without the registry's classes every field still gets a plain field row.
  f.Insp->CreateFieldRows();
  ASSERT_EQ(f.Insp->GetRowCount(), 3);
  EXPECT_EQ(f.Insp->GetRow(1)->ClassType(), TvmInspectorDBRow::StaticClass());
}

TEST(DBInspector, RowsOfTheProgramAreKeptWhenTheDataSetReopens) {
  TFieldRowsFixture f;
  auto* mine = f.Spin("COUNT");
  f.Insp->SetAutoCreateRows(true);
  ASSERT_EQ(f.Insp->GetRowCount(), 1);
  f.Table->Close();
  f.Table->Open();
  ASSERT_EQ(f.Insp->GetRowCount(), 1);
  EXPECT_EQ(f.Insp->GetRow(0), mine);
  EXPECT_EQ(mine->GetField(), f.Table->FieldByName("COUNT"));
}

}  // namespace
