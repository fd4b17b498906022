// Test components with a published property of every kind, shared by the typinfo and streaming
// tests.
#pragma once

#include <string>
#include <vector>

#include "platform/collection.h"
#include "platform/component.h"
#include "platform/streaming.h"
#include "platform/strings.h"
#include "platform/typinfo.h"

namespace fixture {

enum TAlign { alNone, alTop, alBottom, alClient };
enum TStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TStyles = TSet<TStyle>;

extern const TEnumInfo AlignInfo;
extern const TEnumInfo StyleInfo;
// clRed = 255 and clBlue = 0xFF0000 stream as identifiers.
extern const TIdentMap ColorIdents;

class TFontLike : public TPersistent {
  VM_CLASS(TFontLike, TPersistent)
public:
  int32_t Color() const { return FColor; }
  void SetColor(int32_t V) { FColor = V; }
  int32_t Size() const { return FSize; }
  void SetSize(int32_t V) { FSize = V; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& V) { FName = V; }
  TStyles Style() const { return FStyle; }
  void SetStyle(TStyles V) { FStyle = V; }
  void Assign(TPersistent* Source) override;

private:
  int32_t FColor = 0;
  int32_t FSize = 8;
  std::string FName = "Arial";
  TStyles FStyle;
};

class TWidgetItem : public TCollectionItem {
  VM_CLASS(TWidgetItem, TCollectionItem)
public:
  using TCollectionItem::TCollectionItem;
  int32_t Width = 10;
  std::string Caption;
  double Ratio = 0;
  void Assign(TPersistent* Source) override;
};

class TWidget : public TComponent {
  VM_CLASS(TWidget, TComponent)
public:
  explicit TWidget(TComponent* AOwner);
  ~TWidget() override;

  int32_t Count() const { return FCount; }
  void SetCount(int32_t V) { FCount = V; }
  int64_t Big = 0;
  char Letter = 'a';
  bool Enabled = true;
  TAlign Align = alNone;
  TStyles Styles;
  float Scale = 1.0f;
  double Ratio = 0;
  long double Precise = 0;
  std::string Caption;
  uint8_t Small = 0;
  TFontLike* Font() const { return FFont; }
  void SetFont(TFontLike* V) { FFont->Assign(V); }
  TOwnedCollection* Items() const { return FItems; }
  void SetItems(TOwnedCollection* V) { FItems->Assign(V); }
  TComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TComponent* V);
  TStringList* Lines() const { return FLines; }
  TNotifyEvent OnClick;
  std::string Value;  // a variant, kept as text
  double Price = 0;   // streamed as currency (four decimals)

  // Parent relation for streams: widgets placed on another widget.
  TWidget* ParentWidget = nullptr;
  bool HasParent() const override { return ParentWidget != nullptr; }
  TComponent* GetParentComponent() const override { return ParentWidget; }
  void SetParentComponent(TComponent* Value) override { ParentWidget = dynamic_cast<TWidget*>(Value); }
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  void DefineProperties(TFiler* Filer) override;

  // Defined (not published) properties.
  std::vector<int32_t> Extra;
  std::string Blob;
  int LoadedCalls = 0;
  TComponent* BuddyAtLoaded = nullptr;

private:
  int32_t FCount = 0;
  TFontLike* FFont;
  TOwnedCollection* FItems;
  TComponent* FBuddy = nullptr;
  TStringList* FLines;
};

// A root with a published handler.
class TPanelForm : public TComponent {
  VM_CLASS(TPanelForm, TComponent)
public:
  using TComponent::TComponent;
  void Button1Click(TObject* Sender) { ++Clicks, LastSender = Sender; }
  int Clicks = 0;
  TObject* LastSender = nullptr;
};

// Registers the fixture classes once.
void RegisterFixtureClasses();

}  // namespace fixture
