// Published-property tables: order, redeclaration, typed access, text, dotted paths, events.
#include <gtest/gtest.h>

#include <memory>

#include "streaming_fixture.h"

using namespace fixture;

namespace {

// Publishes Count again with another default, and a property of its own.
class TWideWidget : public TWidget {
  VM_CLASS(TWideWidget, TWidget)
public:
  explicit TWideWidget(TComponent* AOwner) : TWidget(AOwner) { SetCount(7); }
  int32_t Extra2 = 0;
  std::function<void(int)> OnNumber;
  std::string Note;
  bool IsNoteStored() const { return Note != "skip"; }
};

VM_PUBLISH(TWideWidget) {
  P.Int("Count", &TWidget::Count, &TWidget::SetCount).Default(7);
  P.Int("Extra2", &TWideWidget::Extra2, nullptr);
  P.Event("OnNumber", &TWideWidget::OnNumber);
  P.String("Note", &TWideWidget::Note, &TWideWidget::Note).Stored(&TWideWidget::IsNoteStored);
}

// Publishes a method of its base under another name.
class TDerivedForm : public TPanelForm {
  VM_CLASS(TDerivedForm, TPanelForm)
public:
  using TPanelForm::TPanelForm;
};

VM_PUBLISH(TDerivedForm) { P.Method("OtherClick", &TPanelForm::Button1Click); }

std::vector<std::string> Names(TClass C) {
  std::vector<std::string> names;
  for (const TPropInfo* p : GetPropList(C)) names.push_back(p->Name);
  return names;
}

}  // namespace

TEST(TypInfoTest, TablesKeepDeclarationOrderInheritedFirst) {
  const std::vector<std::string> widget = {"Name",  "Tag",    "Count", "Big",     "Small",   "Letter",  "Enabled",
                                           "Align", "Styles", "Scale", "Ratio",   "Precise", "Caption", "Font",
                                           "Items", "Buddy",  "Lines", "OnClick", "Value",   "Price"};
  EXPECT_EQ(Names(TWidget::StaticClass()), widget);
  // A redeclared property keeps its place and takes the new default.
  std::vector<std::string> wide = widget;
  wide.push_back("Extra2");
  wide.push_back("OnNumber");
  wide.push_back("Note");
  EXPECT_EQ(Names(TWideWidget::StaticClass()), wide);
  EXPECT_EQ(GetPropInfo(TWideWidget::StaticClass(), "count")->OrdDefault, 7);
  EXPECT_EQ(GetPropInfo(TWidget::StaticClass(), "Count")->OrdDefault, 0);

  EXPECT_EQ(GetPropList(TWidget::StaticClass(), {tkMethod}).size(), 1u);
  EXPECT_EQ(GetPropList(TWidget::StaticClass(), tkProperties).size(), widget.size() - 1);
  const TPropInfo* font = GetPropInfo(TWidget::StaticClass(), "Font");
  EXPECT_EQ(font->Kind, tkClass);
  EXPECT_EQ(font->ObjectKind, okPersistent);
  EXPECT_EQ(font->PropClass, TFontLike::StaticClass());
  EXPECT_EQ(GetPropInfo(TWidget::StaticClass(), "Buddy")->ObjectKind, okComponent);
  EXPECT_EQ(GetPropInfo(TWidget::StaticClass(), "Precise")->FloatType, ftExtended);
  EXPECT_EQ(GetPropInfo(TWidget::StaticClass(), "Scale")->FloatType, ftSingle);
  EXPECT_EQ(GetPropInfo(TWidget::StaticClass(), "Big")->Kind, tkInt64);
}

TEST(TypInfoTest, TypedAccessAndItsErrors) {
  TWideWidget w(nullptr);
  SetOrdProp(&w, "Small", 255);
  EXPECT_EQ(w.Small, 255);
  SetEnumProp(&w, "Align", "ALBOTTOM");
  EXPECT_EQ(w.Align, alBottom);
  EXPECT_EQ(GetEnumProp(&w, "Align"), "alBottom");
  SetSetProp(&w, "Styles", "[fsItalic, fsStrikeOut]");
  EXPECT_EQ(w.Styles, (TStyles{fsItalic, fsStrikeOut}));
  EXPECT_EQ(GetSetProp(&w, "Styles"), "[fsItalic,fsStrikeOut]");
  SetSetProp(&w, "Styles", "");
  EXPECT_TRUE(w.Styles.Empty());
  SetFloatProp(&w, "Scale", 0.5L);
  EXPECT_EQ(w.Scale, 0.5f);
  SetStrProp(&w, "Caption", "abc");
  EXPECT_EQ(GetStrProp(&w, "caption"), "abc");

  TFontLike otherFont;
  otherFont.SetSize(20);
  SetObjectProp(&w, "Font", &otherFont);  // the setter assigns
  EXPECT_EQ(w.Font()->Size(), 20);

  struct Case {
    std::function<void()> call;
    const char* message;
  };
  TWidgetItem item(nullptr);
  const Case cases[] = {
      {[&] { SetOrdProp(&w, "Small", 256); }, "Invalid property value"},
      {[&] { SetOrdProp(&w, "Small", -1); }, "Invalid property value"},
      {[&] { SetOrdProp(&w, "Align", 4); }, "Invalid property value"},
      {[&] { SetEnumProp(&w, "Align", "alLeft"); }, "Invalid property value"},
      {[&] { SetSetProp(&w, "Styles", "[fsBold, fsShadow]"); }, "Invalid property value"},
      {[&] { SetOrdProp(&w, "Styles", 1 << 4); }, "Invalid property value"},
      {[&] { SetObjectProp(&w, "Font", &item); }, "Invalid property value"},
      {[&] { GetOrdProp(&w, "Width"); }, "Property Width does not exist"},
      {[&] { SetOrdProp(&w, "Extra2", 1); }, "Property Extra2 is read-only"},
  };
  for (const Case& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.message;
    } catch (const EPropertyError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  EXPECT_EQ(w.Small, 255);
  EXPECT_EQ(w.Align, alBottom);
}

TEST(TypInfoTest, TextOfEveryKind) {
  TPanelForm form(nullptr);
  auto* w = new TWidget(&form);
  w->SetName("W");
  auto* other = new TWidget(&form);
  other->SetName("Other");
  struct Case {
    const char* prop;
    const char* text;
  };
  const Case cases[] = {
      {"Count", "-12"},        {"Big", "-9223372036854775808"},
      {"Letter", "Q"},         {"Enabled", "False"},
      {"Align", "alTop"},      {"Styles", "[fsBold,fsUnderline]"},
      {"Scale", "0.1"},        {"Ratio", "1e-300"},
      {"Precise", "0.1"},      {"Caption", " spaced "},
      {"Buddy", "Other"},      {"Font.Color", "clBlue"},
      {"Font.Size", "14"},     {"Font.Style", "[fsItalic]"},
      {"Lines", "a\r\nb\r\n"}, {"OnClick", ""},
      {"Buddy", ""},           {"Value", "7 x"},
      {"Price", "12.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prop);
    SetPropPathText(w, c.prop, c.text);
    EXPECT_EQ(GetPropPathText(w, c.prop), c.text);
  }
  EXPECT_EQ(w->Ratio, 1e-300);
  EXPECT_EQ(w->Precise, 0.1L);
  EXPECT_EQ(w->Font()->Color(), 0xFF0000);
  SetPropPathText(w, "Font.Color", "12");
  EXPECT_EQ(GetPropPathText(w, "Font.Color"), "12");
  EXPECT_EQ(w->Lines()->Count(), 2);

  for (const char* bad : {"Count=x", "Letter=ab", "Enabled=maybe", "Scale=1,5", "Buddy=Nobody"}) {
    std::string b = bad;
    size_t eq = b.find('=');
    EXPECT_THROW(SetPropPathText(w, b.substr(0, eq), b.substr(eq + 1)), EPropertyError) << bad;
  }
}

TEST(TypInfoTest, DottedPathsFromARoot) {
  TPanelForm form(nullptr);
  form.SetName("Form1");
  auto* w = new TWidget(&form);
  w->SetName("OpenDialog1");
  SetPropPathText(&form, "OpenDialog1.Caption", "C:/data");
  EXPECT_EQ(w->Caption, "C:/data");
  SetPropPathText(&form, "opendialog1.font.size", "9");
  EXPECT_EQ(w->Font()->Size(), 9);
  EXPECT_EQ(GetPropPathText(&form, "OpenDialog1.Font.Name"), "Arial");

  TObject* instance;
  const TPropInfo* info;
  EXPECT_TRUE(ResolvePropPath(&form, "OpenDialog1.Font.Style", instance, info));
  EXPECT_EQ(instance, w->Font());
  EXPECT_EQ(info->Kind, tkSet);
  for (const char* bad :
       {"", "Missing.Caption", "OpenDialog1.", "OpenDialog1.Caption.Length", ".Caption", "OpenDialog1.Nothing"})
    EXPECT_FALSE(ResolvePropPath(&form, bad, instance, info)) << bad;
  try {
    GetPropPathText(&form, "OpenDialog1.Nothing");
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_STREQ(e.what(), "Property OpenDialog1.Nothing does not exist");
  }
}

TEST(TypInfoTest, DefaultsAndEvents) {
  TPanelForm form(nullptr);
  TWideWidget w(&form);
  EXPECT_TRUE(IsDefaultPropValue(&w, GetPropInfo(&w, "Count")));  // 7 in this class
  w.SetCount(0);
  EXPECT_FALSE(IsDefaultPropValue(&w, GetPropInfo(&w, "Count")));
  EXPECT_TRUE(IsDefaultPropValue(&w, GetPropInfo(&w, "Scale")));
  EXPECT_TRUE(IsDefaultPropValue(&w, GetPropInfo(&w, "Caption")));
  EXPECT_TRUE(IsDefaultPropValue(&w, GetPropInfo(&w, "Lines")));
  w.Lines()->Add("x");
  EXPECT_FALSE(IsDefaultPropValue(&w, GetPropInfo(&w, "Lines")));
  // Without a declared default a string is default when empty, an ordinal never.
  EXPECT_TRUE(IsDefaultPropValue(&w, GetPropInfo(&w, "Name")));
  w.SetName("W");
  EXPECT_FALSE(IsDefaultPropValue(&w, GetPropInfo(&w, "Name")));
  EXPECT_FALSE(IsDefaultPropValue(&w, GetPropInfo(&w, "Extra2")));

  // A stored predicate decides for the instance.
  const TPropInfo* note = GetPropInfo(&w, "Note");
  EXPECT_TRUE(note->IsStored(&w));
  w.Note = "skip";
  EXPECT_FALSE(note->IsStored(&w));

  // A published method binds to an event of its signature, by name.
  const TPropInfo* onClick = GetPropInfo(&w, "OnClick");
  TMethod m = MethodAddress(&form, "button1click");
  ASSERT_TRUE(m.Assigned());
  SetMethodProp(&w, onClick, m);
  EXPECT_EQ(GetMethodName(&w, onClick), "Button1Click");
  w.OnClick(&w);
  EXPECT_EQ(form.Clicks, 1);
  // Another signature is refused; clearing forgets the name.
  EXPECT_THROW(SetMethodProp(&w, GetPropInfo(&w, "OnNumber"), m), EPropertyError);
  SetMethodProp(&w, onClick, TMethod());
  EXPECT_FALSE(w.OnClick);
  EXPECT_EQ(GetMethodName(&w, onClick), "");
  EXPECT_FALSE(MethodAddress(&form, "Nothing").Assigned());
  // A handler assigned in code has no name, so streams leave it out.
  w.OnClick = [](TObject*) {};
  EXPECT_EQ(GetMethodName(&w, onClick), "");

  // A descendant's table may publish a method of a base, and keeps the base's methods.
  TDerivedForm derived(nullptr);
  for (const char* name : {"OtherClick", "Button1Click"}) {
    TMethod dm = MethodAddress(&derived, name);
    ASSERT_TRUE(dm.Assigned()) << name;
    SetMethodProp(&w, onClick, dm);
    w.OnClick(&w);
  }
  EXPECT_EQ(derived.Clicks, 2);
}
