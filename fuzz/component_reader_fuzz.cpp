// Fuzz target of the component reader and of the conversions between the binary and text forms.
// Any input must end in a result or in the toolkit's stream exceptions: never a crash, a leak or
// undefined behaviour. A binary stream that converts to text must convert back and forth stably.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/collection.h"
#include "platform/component.h"
#include "platform/streaming.h"
#include "platform/streams.h"
#include "platform/strings.h"
#include "platform/typinfo.h"

namespace {

enum TKind { kOne, kTwo, kThree };
enum TFlag { fA, fB, fC };
const TEnumInfo KindInfo("TKind", {"kOne", "kTwo", "kThree"});
const TEnumInfo FlagInfo("TFlag", {"fA", "fB", "fC"});

class TFuzzSub : public TPersistent {
  VM_CLASS(TFuzzSub, TPersistent)
public:
  int32_t Size = 8;
  std::string Name;
};

class TFuzzItem : public TCollectionItem {
  VM_CLASS(TFuzzItem, TCollectionItem)
public:
  using TCollectionItem::TCollectionItem;
  int32_t Width = 0;
  std::string Caption;
};

class TFuzzWidget : public TComponent {
  VM_CLASS(TFuzzWidget, TComponent)
public:
  explicit TFuzzWidget(TComponent* AOwner) : TComponent(AOwner), Items(this, TFuzzItem::StaticClass()) {}
  ~TFuzzWidget() override { SetBuddy(nullptr); }

  int32_t Count = 0;
  int64_t Big = 0;
  uint8_t Small = 0;
  char Letter = 'a';
  bool Enabled = true;
  TKind Kind = kOne;
  TSet<TFlag> Flags;
  float Scale = 1;
  double Ratio = 0;
  long double Precise = 0;
  std::string Caption;
  TFuzzSub Sub;
  TOwnedCollection Items;
  TStringList Lines;
  TNotifyEvent OnClick;
  std::vector<int32_t> Extra;
  std::string Blob;

  TFuzzSub* GetSub() { return &Sub; }
  TOwnedCollection* GetItems() { return &Items; }
  TStringList* GetLines() { return &Lines; }
  TComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TComponent* V) {
    if (FBuddy) FBuddy->RemoveFreeNotification(this);
    FBuddy = V;
    if (FBuddy) FBuddy->FreeNotification(this);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
  }
  void DefineProperties(TFiler* Filer) override {
    Filer->DefineProperty(
        "Extra",
        [this](TReader* R) {
          Extra.clear();
          R->ReadListBegin();
          while (!R->EndOfList()) Extra.push_back(R->ReadInteger());
          R->ReadListEnd();
        },
        [this](TWriter* W) {
          W->WriteListBegin();
          for (int32_t v : Extra) W->WriteInteger(v);
          W->WriteListEnd();
        },
        !Extra.empty());
    Filer->DefineBinaryProperty(
        "Blob", [this](TStream& S) { Blob = S.ReadAll(); }, [this](TStream& S) { S.WriteString(Blob); }, !Blob.empty());
  }

private:
  TComponent* FBuddy = nullptr;
};

class TFuzzForm : public TComponent {
  VM_CLASS(TFuzzForm, TComponent)
public:
  using TComponent::TComponent;
  void Click(TObject*) {}
};

VM_PUBLISH(TFuzzSub) {
  P.Int("Size", &TFuzzSub::Size, &TFuzzSub::Size).Default(8);
  P.String("Name", &TFuzzSub::Name, &TFuzzSub::Name);
}

VM_PUBLISH(TFuzzItem) {
  P.Int("Width", &TFuzzItem::Width, &TFuzzItem::Width).Default(0);
  P.String("Caption", &TFuzzItem::Caption, &TFuzzItem::Caption);
}

VM_PUBLISH(TFuzzWidget) {
  P.Int("Count", &TFuzzWidget::Count, &TFuzzWidget::Count).Default(0);
  P.Int("Big", &TFuzzWidget::Big, &TFuzzWidget::Big).Default(0);
  P.Int("Small", &TFuzzWidget::Small, &TFuzzWidget::Small).Default(0);
  P.Char("Letter", &TFuzzWidget::Letter, &TFuzzWidget::Letter).Default('a');
  P.Bool("Enabled", &TFuzzWidget::Enabled, &TFuzzWidget::Enabled).Default(true);
  P.Enum("Kind", &TFuzzWidget::Kind, &TFuzzWidget::Kind, KindInfo).Default(kOne);
  P.Set("Flags", &TFuzzWidget::Flags, &TFuzzWidget::Flags, FlagInfo).Default(TSet<TFlag>{});
  P.Float("Scale", &TFuzzWidget::Scale, &TFuzzWidget::Scale).Default(1.0);
  P.Float("Ratio", &TFuzzWidget::Ratio, &TFuzzWidget::Ratio);
  P.Float("Precise", &TFuzzWidget::Precise, &TFuzzWidget::Precise);
  P.String("Caption", &TFuzzWidget::Caption, &TFuzzWidget::Caption);
  P.Object("Sub", &TFuzzWidget::GetSub, nullptr);
  P.Collection("Items", &TFuzzWidget::GetItems, nullptr);
  P.Component("Buddy", &TFuzzWidget::Buddy, &TFuzzWidget::SetBuddy);
  P.Strings("Lines", &TFuzzWidget::GetLines);
  P.Event("OnClick", &TFuzzWidget::OnClick);
}

VM_PUBLISH(TFuzzForm) { P.Method("Click", &TFuzzForm::Click); }

void ReadBoth(const std::string& bin) {
  for (bool tolerant : {false, true}) {
    TStringStream in(bin);
    try {
      std::unique_ptr<TComponent> root(
          ReadComponentFromStream(in, nullptr,
                                  tolerant ? [](TReader*, const std::string&, bool& Handled) { Handled = true; }
                                           : std::function<void(TReader*, const std::string&, bool&)>()));
      // Whatever was read writes again.
      TMemoryStream out;
      WriteComponentToStream(out, root.get());
    } catch (const EStreamError&) {
    } catch (const EPropertyError&) {}
  }
  // Reading into an existing root.
  TFuzzForm form(nullptr);
  form.SetName("Form1");
  TStringStream in(bin);
  try {
    ReadComponentFromStream(in, &form, [](TReader*, const std::string&, bool& Handled) { Handled = true; });
  } catch (const EStreamError&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static bool registered = [] {
    RegisterClasses({TFuzzWidget::StaticClass(), TFuzzForm::StaticClass()});
    return true;
  }();
  (void)registered;
  std::string input(reinterpret_cast<const char*>(Data), Size);

  // As a binary stream (the signature is given when the input lacks it, to get deeper).
  std::string bin = input.compare(0, 4, "TPF0") == 0 ? input : std::string("TPF0\x01", 5) + input;
  ReadBoth(bin);
  try {
    TStringStream in(bin);
    TStringStream text1;
    ObjectBinaryToText(in, text1);
    TStringStream t1(text1.DataString());
    TMemoryStream bin2;
    ObjectTextToBinary(t1, bin2);
    bin2.SetPosition(0);
    TStringStream text2;
    ObjectBinaryToText(bin2, text2);
    if (text1.DataString() != text2.DataString()) __builtin_trap();
  } catch (const EStreamError&) {}

  // As text.
  try {
    TStringStream in(input);
    TMemoryStream out;
    ObjectTextToBinary(in, out);
    ReadBoth(std::string(static_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size())));
  } catch (const EStreamError&) {}
  return 0;
}
