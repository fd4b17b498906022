// Component streaming: binary and text forms, round trips, defaults, defined properties,
// references, reading into an existing root and the reader's hooks.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "platform/streams.h"
#include "streaming_fixture.h"

using namespace fixture;

namespace {

std::string Bytes(TMemoryStream& S) {
  return std::string(static_cast<const char*>(S.Memory()), static_cast<size_t>(S.Size()));
}

std::string ToBinary(TComponent* Root) {
  TMemoryStream ms;
  WriteComponentToStream(ms, Root);
  return Bytes(ms);
}

std::string BinaryToText(const std::string& Bin) {
  TStringStream in(Bin);
  TStringStream out;
  ObjectBinaryToText(in, out);
  return out.DataString();
}

std::string TextToBinary(const std::string& Text) {
  TStringStream in(Text);
  TMemoryStream out;
  ObjectTextToBinary(in, out);
  return Bytes(out);
}

TComponent* ReadBinary(const std::string& Bin, TComponent* Into = nullptr, std::vector<std::string>* Errors = nullptr) {
  TStringStream in(Bin);
  std::function<void(TReader*, const std::string&, bool&)> hook;
  if (Errors)
    hook = [Errors](TReader*, const std::string& Message, bool& Handled) {
      Errors->push_back(Message);
      Handled = true;
    };
  return ReadComponentFromStream(in, Into, hook);
}

class StreamingTest : public ::testing::Test {
protected:
  void SetUp() override { RegisterFixtureClasses(); }

  // A form with three widgets: Widget1 with every property kind set away from its default,
  // Widget2 referring back to Widget1, and Inner placed on Widget2.
  static std::unique_ptr<TPanelForm> MakeForm() {
    auto form = std::make_unique<TPanelForm>(nullptr);
    form->SetName("Form1");
    auto* w1 = new TWidget(form.get());
    w1->SetName("Widget1");
    auto* w2 = new TWidget(form.get());
    w2->SetName("Widget2");
    auto* inner = new TWidget(form.get());
    inner->SetName("Inner");
    inner->ParentWidget = w2;
    inner->SetCount(3);

    w1->SetCount(-5);
    w1->Big = int64_t{1} << 40;
    w1->Small = 200;
    w1->Letter = '\'';
    w1->Enabled = false;
    w1->Align = alClient;
    w1->Styles = {fsBold, fsUnderline};
    w1->Scale = 0.25f;
    w1->Ratio = 1.0 / 3;
    w1->Precise = 1.0L / 3;
    w1->Caption = std::string("It's \"quoted\"\ttab\r\nline, Привет ") + std::string(300, 'x') + '\x01' + "\xFF";
    w1->Font()->SetColor(255);
    w1->Font()->SetSize(12);
    w1->Font()->SetName("Courier");
    w1->Font()->SetStyle({fsItalic});
    auto* item = static_cast<TWidgetItem*>(w1->Items()->Add());
    item->Width = 4;
    item->Caption = "first";
    item = static_cast<TWidgetItem*>(w1->Items()->Add());
    item->Ratio = -2.5;
    w1->SetBuddy(w2);
    w1->Lines()->Add("alpha");
    w1->Lines()->Add("");
    w1->Lines()->Add("gamma");
    SetMethodProp(w1, GetPropInfo(w1, "OnClick"), MethodAddress(form.get(), "Button1Click"));
    w1->Extra = {1, 100000, -7};
    w1->Blob = std::string("\0\1\2\xFF", 4);
    w1->Value = "42";
    w1->Price = -1234.5678;
    w2->SetBuddy(w1);
    w2->Font()->SetColor(0x123456);
    return form;
  }

  static void ExpectSameWidget(TWidget* a, TWidget* b) {
    SCOPED_TRACE(a->Name());
    EXPECT_EQ(a->Name(), b->Name());
    EXPECT_EQ(a->Count(), b->Count());
    EXPECT_EQ(a->Big, b->Big);
    EXPECT_EQ(a->Small, b->Small);
    EXPECT_EQ(a->Letter, b->Letter);
    EXPECT_EQ(a->Enabled, b->Enabled);
    EXPECT_EQ(a->Align, b->Align);
    EXPECT_EQ(a->Styles, b->Styles);
    EXPECT_EQ(a->Scale, b->Scale);
    EXPECT_EQ(a->Ratio, b->Ratio);
    EXPECT_EQ(a->Precise, b->Precise);
    EXPECT_EQ(a->Caption, b->Caption);
    EXPECT_EQ(a->Font()->Color(), b->Font()->Color());
    EXPECT_EQ(a->Font()->Size(), b->Font()->Size());
    EXPECT_EQ(a->Font()->Name(), b->Font()->Name());
    EXPECT_EQ(a->Font()->Style(), b->Font()->Style());
    ASSERT_EQ(a->Items()->Count(), b->Items()->Count());
    for (int i = 0; i < a->Items()->Count(); ++i) {
      auto* x = static_cast<TWidgetItem*>(a->Items()->Items(i));
      auto* y = static_cast<TWidgetItem*>(b->Items()->Items(i));
      EXPECT_EQ(x->Width, y->Width);
      EXPECT_EQ(x->Caption, y->Caption);
      EXPECT_EQ(x->Ratio, y->Ratio);
    }
    EXPECT_EQ(a->Buddy() ? a->Buddy()->Name() : "", b->Buddy() ? b->Buddy()->Name() : "");
    EXPECT_TRUE(a->Lines()->Equals(*b->Lines()));
    EXPECT_EQ(static_cast<bool>(a->OnClick), static_cast<bool>(b->OnClick));
    EXPECT_EQ(a->Extra, b->Extra);
    EXPECT_EQ(a->Blob, b->Blob);
    EXPECT_EQ(a->Value, b->Value);
    EXPECT_EQ(a->Price, b->Price);
    EXPECT_EQ(a->ParentWidget ? a->ParentWidget->Name() : "", b->ParentWidget ? b->ParentWidget->Name() : "");
  }

  static void ExpectSameForm(TComponent* a, TComponent* b) {
    EXPECT_EQ(a->ClassName(), b->ClassName());
    EXPECT_EQ(a->Name(), b->Name());
    ASSERT_EQ(a->ComponentCount(), b->ComponentCount());
    for (int i = 0; i < a->ComponentCount(); ++i)
      ExpectSameWidget(static_cast<TWidget*>(a->Components(i)), static_cast<TWidget*>(b->Components(i)));
  }
};

class TAbstractPart : public TComponent {
  VM_CLASS(TAbstractPart, TComponent)
public:
  using TComponent::TComponent;
  virtual void Draw() = 0;
};

// Names longer than 21 characters: the length byte of a name is not a value tag.
class TLongNamedPartForStreamTests : public TComponent {
  VM_CLASS(TLongNamedPartForStreamTests, TComponent)
public:
  using TComponent::TComponent;
  int32_t Count() const { return FCount; }
  void SetCount(int32_t V) { FCount = V; }
  TFontLike* AppearanceOfThePart() const { return FFont.get(); }
  void SetAppearanceOfThePart(TFontLike* V) { FFont->Assign(V); }

private:
  int32_t FCount = 0;
  std::unique_ptr<TFontLike> FFont = std::make_unique<TFontLike>();
};

// Publishes Count again with another default.
class TWidgetPlus : public TWidget {
  VM_CLASS(TWidgetPlus, TWidget)
public:
  using TWidget::TWidget;
};

// Keeps its slots in a binary property written by a nested writer and read by a nested reader:
// the slot count, then each slot's published properties as a list.
class TSlotted : public TComponent {
  VM_CLASS(TSlotted, TComponent)
public:
  using TComponent::TComponent;
  std::vector<std::unique_ptr<TFontLike>> Slots;

  void DefineProperties(TFiler* Filer) override {
    TComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Items",
        [this](TStream& S) {
          Slots.clear();
          int32_t count = 0;
          S.ReadBuffer(&count, 4);
          TReader r(S, 1024);
          for (int32_t i = 0; i < count; ++i) {
            Slots.push_back(std::make_unique<TFontLike>());
            r.ReadListBegin();
            while (!r.EndOfList()) r.ReadProperty(Slots.back().get());
            r.ReadListEnd();
          }
        },
        [this](TStream& S) {
          auto count = static_cast<int32_t>(Slots.size());
          S.WriteBuffer(&count, 4);
          TWriter w(S, 1024);
          for (auto& slot : Slots) {
            w.WriteListBegin();
            w.WriteProperties(slot.get());
            w.WriteListEnd();
          }
        },
        !Slots.empty());
  }
};

}  // namespace

VM_PUBLISH(TWidgetPlus) { P.Int("Count", &TWidget::Count, &TWidget::SetCount).Default(7); }
VM_DEFINE_CLASS(TSlotted)
VM_PUBLISH(TLongNamedPartForStreamTests) {
  P.Int("NumberOfThingsInThisPart", &TLongNamedPartForStreamTests::Count, &TLongNamedPartForStreamTests::SetCount);
  P.Object("AppearanceOfThePart", &TLongNamedPartForStreamTests::AppearanceOfThePart,
           &TLongNamedPartForStreamTests::SetAppearanceOfThePart);
}
VM_DEFINE_CLASS(TAbstractPart)

TEST_F(StreamingTest, EveryKindRoundTripsThroughBothForms) {
  auto form = MakeForm();
  std::string bin = ToBinary(form.get());
  ASSERT_EQ(bin.substr(0, 4), "TPF0");

  std::unique_ptr<TComponent> fromBinary(ReadBinary(bin));
  ASSERT_NE(dynamic_cast<TPanelForm*>(fromBinary.get()), nullptr);
  ExpectSameForm(form.get(), fromBinary.get());

  // Binary to text to binary gives the same bytes, and the text reads back alike.
  std::string text = BinaryToText(bin);
  EXPECT_EQ(text.rfind("object Form1: TPanelForm\r\n", 0), 0u) << text;
  EXPECT_EQ(TextToBinary(text), bin);
  std::unique_ptr<TComponent> fromText(TextToComponent(text, nullptr));
  ExpectSameForm(form.get(), fromText.get());
  // The copy writes the same stream again.
  EXPECT_EQ(ToBinary(fromText.get()), bin);

  // References are restored both ways (Widget1 names Widget2, read after it), the handler is
  // bound to the new form, and Loaded ran once per component after the references were set.
  auto* w1 = static_cast<TWidget*>(fromText->FindComponent("Widget1"));
  auto* w2 = static_cast<TWidget*>(fromText->FindComponent("Widget2"));
  EXPECT_EQ(w1->Buddy(), w2);
  EXPECT_EQ(w2->Buddy(), w1);
  EXPECT_EQ(w1->BuddyAtLoaded, w2);
  EXPECT_EQ(w1->LoadedCalls, 1);
  EXPECT_FALSE(w1->ComponentState().Contains(csLoading));
  EXPECT_FALSE(w1->ComponentState().Contains(csReading));
  w1->OnClick(w1);
  EXPECT_EQ(static_cast<TPanelForm*>(fromText.get())->Clicks, 1);
  EXPECT_EQ(static_cast<TPanelForm*>(fromText.get())->LastSender, w1);
  EXPECT_EQ(GetMethodName(w1, GetPropInfo(w1, "OnClick")), "Button1Click");
}

TEST_F(StreamingTest, TextFormReadsAsExpected) {
  auto form = MakeForm();
  std::string text = BinaryToText(ToBinary(form.get()));
  for (const char* expected : {
           "  object Widget1: TWidget\r\n    Count = -5\r\n    Big = 1099511627776\r\n    Small = 200\r\n",
           "    Letter = ''''\r\n    Enabled = False\r\n    Align = alClient\r\n",
           "    Styles = [fsBold, fsUnderline]\r\n    Scale = 0.25s\r\n",
           "    Ratio = 0.3333333333333333d\r\n",
           "    Font.Color = clRed\r\n    Font.Size = 12\r\n    Font.Name = 'Courier'\r\n",
           "    Font.Style = [fsItalic]\r\n",
           "    Items = <\r\n      item\r\n        Width = 4\r\n        Caption = 'first'\r\n      end\r\n"
           "      item\r\n        Ratio = -2.5d\r\n      end>\r\n",
           "    Buddy = Widget2\r\n",
           "    Lines.Strings = (\r\n      'alpha'\r\n      ''\r\n      'gamma')\r\n",
           "    OnClick = Button1Click\r\n    Value = '42'\r\n    Price = -1234.5678c\r\n",
           "    Extra = (\r\n      1\r\n      100000\r\n      -7)\r\n",
           "    Blob = {\r\n      000102FF}\r\n",
           "    Caption = 'It''s \"quoted\"'#9'tab'#13#10'line, Привет ",
           "  object Widget2: TWidget\r\n    Font.Color = 1193046\r\n    Buddy = Widget1\r\n"
           "    object Inner: TWidget\r\n      Count = 3\r\n    end\r\n  end\r\nend\r\n",
       })
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n---\n" << text;
}

TEST_F(StreamingTest, DefaultsAreNotWritten) {
  TPanelForm form(nullptr);
  form.SetName("Form1");
  (new TWidget(&form))->SetName("Plain");
  EXPECT_EQ(BinaryToText(ToBinary(&form)), "object Form1: TPanelForm\r\n  object Plain: TWidget\r\n  end\r\nend\r\n");

  // A value put back to its default disappears again; a stored predicate can hold one back.
  auto* w = static_cast<TWidget*>(form.FindComponent("Plain"));
  w->Scale = 2;
  EXPECT_NE(BinaryToText(ToBinary(&form)).find("Scale = 2.0s"), std::string::npos);
  w->Scale = 1;
  w->Enabled = true;
  EXPECT_EQ(BinaryToText(ToBinary(&form)).find("Scale"), std::string::npos);
}

TEST_F(StreamingTest, DescendentWritesOnlyWhatDiffersFromTheAncestor) {
  auto ancestor = MakeForm();
  auto form = MakeForm();
  auto* w1 = static_cast<TWidget*>(form->FindComponent("Widget1"));
  w1->SetCount(0);  // back to the default, but the ancestor has -5
  w1->Font()->SetSize(30);
  w1->Lines()->Add("delta");
  w1->Extra.push_back(8);
  static_cast<TWidgetItem*>(w1->Items()->Items(1))->Width = 11;
  TMemoryStream ms;
  {
    TWriter writer(ms);
    writer.WriteDescendent(form.get(), ancestor.get());
  }
  ms.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(ms, text);
  EXPECT_EQ(text.DataString(),
            "object Form1: TPanelForm\r\n"
            "  object Widget1: TWidget\r\n"
            "    Count = 0\r\n"
            "    Font.Size = 30\r\n"
            "    Items = <\r\n"
            "      item\r\n        Width = 4\r\n        Caption = 'first'\r\n      end\r\n"
            "      item\r\n        Width = 11\r\n        Ratio = -2.5d\r\n      end>\r\n"
            "    Lines.Strings = (\r\n      'alpha'\r\n      ''\r\n      'gamma'\r\n      'delta')\r\n"
            "    Extra = (\r\n      1\r\n      100000\r\n      -7\r\n      8)\r\n"
            "  end\r\n"
            "  object Widget2: TWidget\r\n"
            "    object Inner: TWidget\r\n"
            "    end\r\n"
            "  end\r\n"
            "end\r\n");
}

TEST_F(StreamingTest, ReadingIntoAnExistingRootKeepsWhatTheStreamLacks) {
  auto source = MakeForm();
  std::string bin = ToBinary(source.get());

  TComponent holder(nullptr);
  auto* target = new TPanelForm(&holder);
  target->SetName("Target");
  auto* existing = new TWidget(target);
  existing->SetName("Widget2");
  existing->Caption = "kept";
  existing->SetCount(99);
  auto* other = new TWidget(target);
  other->SetName("Other");

  EXPECT_EQ(ReadBinary(bin, target), target);
  // The root keeps its name; a child of the same name and class is read into, others are added.
  EXPECT_EQ(target->Name(), "Target");
  EXPECT_EQ(target->FindComponent("Widget2"), existing);
  EXPECT_EQ(existing->Caption, "kept");
  EXPECT_EQ(existing->Count(), 0 + 99);
  EXPECT_EQ(existing->Font()->Color(), 0x123456);
  EXPECT_NE(target->FindComponent("Other"), nullptr);
  auto* w1 = static_cast<TWidget*>(target->FindComponent("Widget1"));
  ASSERT_NE(w1, nullptr);
  EXPECT_EQ(w1->Buddy(), existing);
  EXPECT_EQ(existing->Buddy(), w1);
  EXPECT_EQ(target->ComponentCount(), 4);
  // A reference to the stream's root names the root that was read into.
  auto* back = new TWidget(source.get());
  back->SetName("Back");
  back->SetBuddy(source.get());
  TPanelForm again(nullptr);
  again.SetName("Again");
  ReadBinary(ToBinary(source.get()), &again);
  ASSERT_NE(again.FindComponent("Back"), nullptr);
  EXPECT_EQ(static_cast<TWidget*>(again.FindComponent("Back"))->Buddy(), &again);

  // A nameless root takes the stream's name, numbered when its owner has one already.
  TComponent owner(nullptr);
  (new TComponent(&owner))->SetName("Form1");
  auto* blank = new TPanelForm(&owner);
  ReadBinary(bin, blank);
  EXPECT_EQ(blank->Name(), "Form1_1");
}

TEST_F(StreamingTest, TolerantHookSkipsUnknownPropertiesClassesAndBadValues) {
  // A stream with an unknown property, an enumeration value that does not exist, an unknown
  // class, an unknown handler and a value of the wrong type, between good values.
  const std::string text =
      "object Form1: TPanelForm\r\n"
      "  object A: TWidget\r\n"
      "    Count = 1\r\n"
      "    Gone = (1 'two' [x] <item Width = 1 end> {00})\r\n"
      "    Align = alNowhere\r\n"
      "    Font.Missing.Deeper = 3\r\n"
      "    OnClick = NoSuchHandler\r\n"
      "    Small = 300\r\n"
      "    Caption = 5\r\n"
      "    Ratio = 2.5d\r\n"
      "  end\r\n"
      "  object B: TNoSuchClass\r\n"
      "    X = 1\r\n"
      "    object C: TWidget\r\n"
      "    end\r\n"
      "  end\r\n"
      "  object D: TWidget\r\n"
      "    Count = 4\r\n"
      "  end\r\n"
      "end\r\n";
  std::string bin = TextToBinary(text);

  std::vector<std::string> errors;
  std::unique_ptr<TComponent> form(ReadBinary(bin, nullptr, &errors));
  auto* a = static_cast<TWidget*>(form->FindComponent("A"));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Count(), 1);
  EXPECT_EQ(a->Ratio, 2.5);
  EXPECT_EQ(a->Align, alNone);
  EXPECT_FALSE(a->OnClick);
  EXPECT_EQ(form->FindComponent("B"), nullptr);
  EXPECT_EQ(form->FindComponent("C"), nullptr);
  ASSERT_NE(form->FindComponent("D"), nullptr);
  EXPECT_EQ(static_cast<TWidget*>(form->FindComponent("D"))->Count(), 4);
  const std::vector<std::string> expected = {
      "Error reading A.Gone: Property Gone does not exist",
      "Error reading A.Align: Invalid property value",
      "Error reading A.Font.Missing.Deeper: Property Font.Missing.Deeper does not exist",
      "Error reading A.OnClick: Invalid property value",
      "Error reading A.Small: Invalid property value",
      "Error reading A.Caption: Invalid property value",
      "Class TNoSuchClass not found",
  };
  EXPECT_EQ(errors, expected);

  // Without a hook the first error stops reading with the toolkit's read error.
  try {
    delete ReadBinary(bin);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Error reading A.Gone: Property Gone does not exist");
  }

  // The method hook may accept an unknown handler name: the event stays empty, no error.
  TStringStream in(bin);
  TReader reader(in);
  int unknownHandlers = 0;
  reader.OnFindMethod = [&](TReader*, const std::string& Name, TMethod&, bool& Error) {
    if (Name == "NoSuchHandler") ++unknownHandlers, Error = false;
  };
  std::vector<std::string> rest;
  reader.OnError = [&](TReader*, const std::string& M, bool& Handled) {
    rest.push_back(M);
    Handled = true;
  };
  std::unique_ptr<TComponent> again(reader.ReadRootComponent(nullptr));
  EXPECT_EQ(unknownHandlers, 1);
  EXPECT_EQ(rest.size(), expected.size() - 1);
}

TEST_F(StreamingTest, UnknownRootClassAndWrongSignature) {
  try {
    TextToComponent("object X: TNotThere\r\nend\r\n", nullptr);
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Class TNotThere not found");
  }
  // A registered class that cannot be made is a reading error too.
  RegisterClass(TAbstractPart::StaticClass());
  EXPECT_THROW(TextToComponent("object X: TAbstractPart\r\nend\r\n", nullptr), EReadError);
  UnRegisterClass(TAbstractPart::StaticClass());
  const std::string bad[] = {"", "TPF", "TPF1\x01", "XXXX\x01", "TPF0\x02", std::string("TPF0\0", 5)};
  const char* messages[] = {"Stream read error",
                            "Stream read error",
                            "Invalid stream format",
                            "Invalid stream format",
                            "Unsupported stream version 2",
                            "Unsupported stream version 0"};
  for (size_t i = 0; i < std::size(bad); ++i) {
    try {
      delete ReadBinary(bad[i]);
      ADD_FAILURE() << i;
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), messages[i]) << i;
    }
  }
}

TEST_F(StreamingTest, DamagedStreamsRaiseReadErrors) {
  auto form = MakeForm();
  std::string bin = ToBinary(form.get());

  // Every truncation fails cleanly, also with a hook that wants to go on.
  for (size_t n = 0; n < bin.size(); ++n) {
    std::vector<std::string> errors;
    EXPECT_THROW(delete ReadBinary(bin.substr(0, n), nullptr, &errors), EReadError) << n;
    EXPECT_THROW(BinaryToText(bin.substr(0, n)), EReadError) << n;
  }
  // Changing any single byte never crashes: the reader either copes or raises.
  for (size_t i = 5; i < bin.size(); ++i) {
    for (unsigned char flip : {0x01, 0x80, 0xFF}) {
      std::string bad = bin;
      bad[i] = static_cast<char>(bad[i] ^ flip);
      std::vector<std::string> errors;
      try {
        delete ReadBinary(bad, nullptr, &errors);
      } catch (const EStreamError&) {
        // a read error, or a class the registry does not know
      }
      try {
        BinaryToText(bad);
      } catch (const EReadError&) {}
    }
  }
}

TEST_F(StreamingTest, HostileLengthsAndNestingAreRefused) {
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;
  };
  const std::string head = std::string("TPF0\x01", 5) +
                           "\x0ATPanelForm\x05"
                           "Form1";
  auto prop = [](const std::string& name, const std::string& value) {
    return std::string(1, static_cast<char>(name.size())) + name + value;
  };
  std::string deepList;
  for (int i = 0; i < 100; ++i) deepList += '\x01';
  const Case cases[] = {
      {"long string past the end", head + prop("Tag", std::string("\x0C\xFF\xFF\xFF\x7F", 5)), "Stream read error"},
      {"negative length", head + prop("Tag", std::string("\x0A\xFF\xFF\xFF\xFF", 5)), "Stream read error"},
      {"unknown tag", head + prop("Tag", "\x63"), "Invalid stream format"},
      {"lists nested too deep", head + prop("Tag", deepList), "Stream nested too deeply"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> errors;
    try {
      delete ReadBinary(c.bytes, nullptr, &errors);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_TRUE(errors.empty());
  }

  // Components nested past the limit.
  std::string nested = head + std::string(1, '\0');
  for (int i = 0; i < 100; ++i) nested += std::string("\x07TWidget\x01W", 10) + std::string(1, '\0');
  try {
    delete ReadBinary(nested);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream nested too deeply");
  }
  std::string text = "object F: TPanelForm\r\n";
  for (int i = 0; i < 100; ++i) text += "object W: TWidget\r\n";
  EXPECT_THROW(TextToBinary(text), EParserError);
}

TEST_F(StreamingTest, TextParserErrorsNameTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"thing X: TPanelForm\r\nend", "Line 1: Object expected"},
      {"object X: TPanelForm\r\n  A = )\r\nend", "Line 2: Value expected"},
      {"object X: TPanelForm\r\n  A = 'open\r\nend", "Line 2: Unterminated string"},
      {"object X: TPanelForm\r\n  A = {0F0}\r\nend", "Line 2: Invalid binary value"},
      {"object X: TPanelForm\r\n  A = 99999999999999999999\r\nend", "Line 2: Integer out of range"},
      {"object X: TPanelForm\r\n  A = [a b]\r\nend", "Line 2: ']' expected"},
      {"object X: TPanelForm\r\n  A = #300\r\nend", "Line 2: Invalid character code"},
      {"object X: TPanelForm\r\n  A = 1\r\n", "Line 3: Identifier expected"},
  };
  for (const Case& c : cases) {
    try {
      TextToBinary(c.text);
      ADD_FAILURE() << c.text;
    } catch (const EParserError& e) {
      EXPECT_STREQ(e.what(), c.message) << c.text;
    }
  }
}

TEST_F(StreamingTest, ValuesOfEveryTagSurviveTextConversion) {
  // Values a writer may produce through defined properties, including awkward floats.
  const std::string text =
      "object X: TPanelForm\r\n"
      "  A = (\r\n"
      "    -128\r\n    127\r\n    -32769\r\n    2147483648\r\n    -9223372036854775808\r\n"
      "    1.0\r\n    -0.0\r\n    +NaN\r\n    -Inf\r\n    1e-4950\r\n    3.4028235e+38s\r\n    5e-324d\r\n"
      "    45000.5t\r\n    -12.3456c\r\n    922337203685477.5807c\r\n"
      "    'a' + \r\n    'b'#0\r\n    Ident.Dotted\r\n    True\r\n    False\r\n    nil\r\n"
      "    []\r\n    [a, b]\r\n    <>\r\n    {}\r\n    ())\r\n"
      "  B = Null\r\n"
      "end\r\n";
  std::string bin = TextToBinary(text);
  std::string back = BinaryToText(bin);
  EXPECT_EQ(TextToBinary(back), bin);
  EXPECT_NE(back.find("'ab'#0"), std::string::npos) << back;
  EXPECT_NE(back.find("-12.3456c"), std::string::npos);
  EXPECT_NE(back.find("922337203685477.5807c"), std::string::npos);
  EXPECT_NE(back.find("-0.0\r\n"), std::string::npos);
}

TEST_F(StreamingTest, ReaderLeavesTheStreamAfterWhatItRead) {
  auto form = MakeForm();
  TMemoryStream ms;
  WriteComponentToStream(ms, form.get());
  int64_t end = ms.Position();
  ms.WriteString("TRAILER");
  ms.SetPosition(0);
  std::unique_ptr<TComponent> copy(ReadComponentFromStream(ms, nullptr));
  EXPECT_EQ(ms.Position(), end);
  EXPECT_EQ(ms.ReadString(7), "TRAILER");
  EXPECT_TRUE(IsTextFormStream(*std::make_unique<TStringStream>("  object X: T").get()));
  TStringStream notText("objective");
  EXPECT_FALSE(IsTextFormStream(notText));
}

TEST_F(StreamingTest, DescendentOfAnotherClassAndAnEmptiedCollection) {
  // The ancestor's component is of a base class of the descendant's, which declares Count again.
  TPanelForm ancestor(nullptr);
  ancestor.SetName("Form1");
  auto* a = new TWidget(&ancestor);
  a->SetName("W");
  a->SetCount(3);
  a->Caption = "x";
  a->Items()->Add();
  TPanelForm form(nullptr);
  form.SetName("Form1");
  auto* w = new TWidgetPlus(&form);
  w->SetName("W");
  w->SetCount(3);
  TMemoryStream ms;
  {
    TWriter writer(ms);
    writer.WriteDescendent(&form, &ancestor);
  }
  std::string bin = Bytes(ms);
  EXPECT_EQ(BinaryToText(bin),
            "object Form1: TPanelForm\r\n"
            "  object W: TWidgetPlus\r\n"
            "    Caption = ''\r\n"
            "    Items = <>\r\n"
            "  end\r\n"
            "end\r\n");

  // Read over a copy that still has the ancestor's values, the emptied collection empties it.
  TPanelForm target(nullptr);
  auto* t = new TWidgetPlus(&target);
  t->SetName("W");
  t->Caption = "x";
  t->Items()->Add();
  t->Items()->Add();
  ReadBinary(bin, &target);
  EXPECT_EQ(t->Caption, "");
  EXPECT_EQ(t->Items()->Count(), 0);
}

TEST_F(StreamingTest, BinaryPropertyWithANestedWriterAndReader) {
  RegisterClass(TSlotted::StaticClass());
  TPanelForm form(nullptr);
  form.SetName("Form1");
  auto* m = new TSlotted(&form);
  m->SetName("M");
  m->SetTag(5);
  for (int size : {8, 20}) {
    m->Slots.push_back(std::make_unique<TFontLike>());
    m->Slots.back()->SetSize(size);
  }
  m->Slots.back()->SetName("Courier");
  std::string bin = ToBinary(&form);
  std::string text = BinaryToText(bin);
  EXPECT_EQ(TextToBinary(text), bin);
  std::unique_ptr<TComponent> copy(TextToComponent(text, nullptr));
  auto* c = static_cast<TSlotted*>(copy->FindComponent("M"));
  ASSERT_EQ(c->Slots.size(), 2u);
  EXPECT_EQ(c->Slots[0]->Size(), 8);
  EXPECT_EQ(c->Slots[1]->Size(), 20);
  EXPECT_EQ(c->Slots[1]->Name(), "Courier");

  // Damage inside the block (a slot that is not a list, a block cut short) is a reading error of
  // that property: the outer stream is intact, so a tolerant reader goes on with the next one.
  for (const char* block : {"01000000FF", "02000000", "0100000001"}) {
    SCOPED_TRACE(block);
    const std::string damaged = std::string("object Form1: TPanelForm\r\n  object M: TSlotted\r\n") + "    Items = {" +
                                block + "}\r\n    Tag = 9\r\n  end\r\nend\r\n";
    std::vector<std::string> errors;
    std::unique_ptr<TComponent> read(ReadBinary(TextToBinary(damaged), nullptr, &errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Error reading M.Items: ", 0), 0u) << errors[0];
    EXPECT_EQ(read->FindComponent("M")->Tag(), 9);
    EXPECT_THROW(delete ReadBinary(TextToBinary(damaged)), EReadError);
  }
  UnRegisterClass(TSlotted::StaticClass());
}

TEST_F(StreamingTest, ComponentWrittenUnderItsOwnerReadsIntoAnotherRoot) {
  // As a chart file does: the component is written nameless with its owner as the root, and read
  // back into an existing component, which then owns the children and keeps its own name.
  TPanelForm form(nullptr);
  form.SetName("Form1");
  auto* chart = new TWidget(&form);
  chart->SetName("Chart1");
  auto* s1 = new TWidget(&form);
  s1->SetName("S1");
  auto* s2 = new TWidget(&form);
  s2->SetName("S2");
  s1->ParentWidget = s2->ParentWidget = chart;
  s1->SetBuddy(s2);
  s2->SetBuddy(chart);  // names the written component itself: left out while it has no name
  chart->SetCount(4);
  chart->SetName("");
  TMemoryStream ms;
  {
    TWriter w(ms);
    w.SetRoot(&form);
    w.WriteSignature();
    w.WriteComponent(chart);
  }
  chart->SetName("Chart1");
  ms.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(ms, text);
  EXPECT_EQ(text.DataString(),
            "object TWidget\r\n  Count = 4\r\n"
            "  object S1: TWidget\r\n    Buddy = S2\r\n  end\r\n"
            "  object S2: TWidget\r\n  end\r\nend\r\n");

  TPanelForm other(nullptr);
  auto* target = new TWidget(&other);
  target->SetName("Chart2");
  ms.SetPosition(0);
  ReadComponentFromStream(ms, target);
  EXPECT_EQ(target->Name(), "Chart2");
  EXPECT_EQ(target->Count(), 4);
  ASSERT_EQ(target->ComponentCount(), 2);
  auto* r1 = static_cast<TWidget*>(target->FindComponent("S1"));
  auto* r2 = static_cast<TWidget*>(target->FindComponent("S2"));
  ASSERT_TRUE(r1 && r2);
  EXPECT_EQ(r1->ParentWidget, target);
  EXPECT_EQ(r1->Buddy(), r2);
  EXPECT_EQ(other.ComponentCount(), 1);
}

TEST_F(StreamingTest, LongPropertyPathsAndClassNamesRoundTrip) {
  RegisterClass(TLongNamedPartForStreamTests::StaticClass());
  TLongNamedPartForStreamTests part(nullptr);
  part.SetName("PartWithAVeryLongComponentName");
  part.SetCount(5);
  part.AppearanceOfThePart()->SetSize(17);
  std::string bin = ToBinary(&part);
  std::string text = BinaryToText(bin);
  EXPECT_NE(text.find("NumberOfThingsInThisPart = 5"), std::string::npos) << text;
  EXPECT_NE(text.find("AppearanceOfThePart.Size = 17"), std::string::npos) << text;
  EXPECT_EQ(TextToBinary(text), bin);
  std::unique_ptr<TComponent> copy(ReadBinary(bin));
  auto* back = dynamic_cast<TLongNamedPartForStreamTests*>(copy.get());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Count(), 5);
  EXPECT_EQ(back->AppearanceOfThePart()->Size(), 17);
}
