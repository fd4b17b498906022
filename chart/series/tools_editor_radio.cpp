// Only platform headers here: the chart engine names its bevel kinds as the platform's panels do.
#include "platform/extctrls.h"
#include "platform/forms.h"

TRadioGroup* NewPageRadioGroup(TForm* Owner, const std::string& Name, const TRect& Bounds, const std::string& Caption,
                               std::initializer_list<const char*> Items, int ItemIndex, const TNotifyEvent& OnClick) {
  auto* g = new TRadioGroup(Owner);
  g->SetName(Name);
  g->SetParent(Owner);
  g->SetBounds(Bounds.Left, Bounds.Top, Bounds.Right - Bounds.Left, Bounds.Bottom - Bounds.Top);
  g->SetCaption(Caption);
  for (const char* s : Items) g->Items()->Add(s);
  g->SetItemIndex(ItemIndex);
  g->OnClick = OnClick;
  return g;
}

int RadioGroupIndex(TRadioGroup* Group) { return Group->ItemIndex(); }
void SetRadioGroupIndex(TRadioGroup* Group, int Index) { Group->SetItemIndex(Index); }
