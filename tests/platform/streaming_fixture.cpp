#include "streaming_fixture.h"

#include "platform/streams.h"
#include "platform/sysutils.h"

namespace fixture {

const TEnumInfo AlignInfo("TAlign", {"alNone", "alTop", "alBottom", "alClient"});
const TEnumInfo StyleInfo("TStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});

namespace {

bool ColorToIdent(int64_t V, std::string& Ident) {
  if (V == 255)
    Ident = "clRed";
  else if (V == 0xFF0000)
    Ident = "clBlue";
  else
    return false;
  return true;
}

bool IdentToColor(const std::string& Ident, int64_t& V) {
  if (SameText(Ident, "clRed"))
    V = 255;
  else if (SameText(Ident, "clBlue"))
    V = 0xFF0000;
  else
    return false;
  return true;
}

}  // namespace

const TIdentMap ColorIdents{ColorToIdent, IdentToColor};

void TFontLike::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFontLike*>(Source)) {
    FColor = f->FColor;
    FSize = f->FSize;
    FName = f->FName;
    FStyle = f->FStyle;
    return;
  }
  TPersistent::Assign(Source);
}

void TWidgetItem::Assign(TPersistent* Source) {
  if (auto* i = dynamic_cast<TWidgetItem*>(Source)) {
    Width = i->Width;
    Caption = i->Caption;
    Ratio = i->Ratio;
    return;
  }
  TPersistent::Assign(Source);
}

TWidget::TWidget(TComponent* AOwner)
    : TComponent(AOwner),
      FFont(new TFontLike),
      FItems(new TOwnedCollection(this, TWidgetItem::StaticClass())),
      FLines(new TStringList) {}

TWidget::~TWidget() {
  delete FFont;
  delete FItems;
  delete FLines;
}

void TWidget::SetBuddy(TComponent* V) {
  if (FBuddy == V) return;
  if (FBuddy) FBuddy->RemoveFreeNotification(this);
  FBuddy = V;
  if (FBuddy) FBuddy->FreeNotification(this);
}

void TWidget::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
}

void TWidget::Loaded() {
  TComponent::Loaded();
  ++LoadedCalls;
  BuddyAtLoaded = FBuddy;
}

void TWidget::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  // Widgets placed on this one, whoever owns them.
  TComponent* owner = Root ? Root : Owner();
  if (!owner) return;
  for (int i = 0; i < owner->ComponentCount(); ++i)
    if (auto* w = dynamic_cast<TWidget*>(owner->Components(i)); w && w->ParentWidget == this) Proc(w);
}

void TWidget::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  // Against an ancestor, only what differs from it is written.
  auto* ancestor = dynamic_cast<TWidget*>(Filer->Ancestor());
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
      ancestor ? Extra != ancestor->Extra : !Extra.empty());
  Filer->DefineBinaryProperty(
      "Blob", [this](TStream& S) { Blob = S.ReadAll(); }, [this](TStream& S) { S.WriteString(Blob); },
      ancestor ? Blob != ancestor->Blob : !Blob.empty());
}

void RegisterFixtureClasses() { RegisterClasses({TWidget::StaticClass(), TPanelForm::StaticClass()}); }

VM_PUBLISH(TFontLike) {
  P.Int("Color", &TFontLike::Color, &TFontLike::SetColor).Idents(ColorIdents).Default(0);
  P.Int("Size", &TFontLike::Size, &TFontLike::SetSize).Default(8);
  P.String("Name", &TFontLike::Name, &TFontLike::SetName).Default("Arial");
  P.Set("Style", &TFontLike::Style, &TFontLike::SetStyle, StyleInfo).Default(TStyles{});
}

VM_PUBLISH(TWidgetItem) {
  P.Int("Width", &TWidgetItem::Width, &TWidgetItem::Width).Default(10);
  P.String("Caption", &TWidgetItem::Caption, &TWidgetItem::Caption);
  P.Float("Ratio", &TWidgetItem::Ratio, &TWidgetItem::Ratio);
}

VM_PUBLISH(TWidget) {
  P.Int("Count", &TWidget::Count, &TWidget::SetCount).Default(0);
  P.Int("Big", &TWidget::Big, &TWidget::Big).Default(0);
  P.Int("Small", &TWidget::Small, &TWidget::Small).Default(0);
  P.Char("Letter", &TWidget::Letter, &TWidget::Letter).Default('a');
  P.Bool("Enabled", &TWidget::Enabled, &TWidget::Enabled).Default(true);
  P.Enum("Align", &TWidget::Align, &TWidget::Align, AlignInfo).Default(alNone);
  P.Set("Styles", &TWidget::Styles, &TWidget::Styles, StyleInfo).Default(TStyles{});
  P.Float("Scale", &TWidget::Scale, &TWidget::Scale).Default(1.0);
  P.Float("Ratio", &TWidget::Ratio, &TWidget::Ratio);
  P.Float("Precise", &TWidget::Precise, &TWidget::Precise);
  P.String("Caption", &TWidget::Caption, &TWidget::Caption);
  P.Object("Font", &TWidget::Font, &TWidget::SetFont);
  P.Collection("Items", &TWidget::Items, &TWidget::SetItems);
  P.Component("Buddy", &TWidget::Buddy, &TWidget::SetBuddy);
  P.Strings("Lines", &TWidget::Lines);
  P.Event("OnClick", &TWidget::OnClick);
  P.Variant("Value", &TWidget::Value, &TWidget::Value);
  P.Float("Price", &TWidget::Price, &TWidget::Price).Float(ftCurr);
}

VM_PUBLISH(TPanelForm) { P.Method("Button1Click", &TPanelForm::Button1Click); }

}  // namespace fixture
