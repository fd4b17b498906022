// The property inspector control: creation, destruction and its plain properties. Its other
// topics live beside it in vm_inspector_<topic>.cpp.
#include "inspector/vm_inspector.h"

#include <algorithm>
#include <cstring>

#include "inspector/vm_dropdown.h"
#include "platform/bitmap.h"
#include "platform/dragdrop.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TCustomvmInspector)

TCustomvmInspector::TCustomvmInspector(TComponent* AOwner) : TCustomvmContainer(AOwner) {
  SetBounds(0, 0, 150, 250);
  SetTabStop(true);
  SetColor(clBtnFace);
  SetParentColor(false);
  FDividerPos = Width() / 2;
  FSavedDivider = FDividerPos;
  FSavedContentWidth = -1;
  SetFrameBorder(2);
  FHintDelayTimer = new TTimer(this);
  FHintDelayTimer->SetEnabled(false);
  FHintDelayTimer->SetInterval(1000);
  FHintDelayTimer->OnTimer = [this](TObject*) {
    FHintDelayTimer->SetEnabled(false);
    UpdateRowHint(false);
  };
  FHintHideTimer = new TTimer(this);
  FHintHideTimer->SetEnabled(false);
  FHintHideTimer->SetInterval(5000);
  FHintHideTimer->OnTimer = [this](TObject*) { HideRowHint(); };
  FScrollTimer = new TTimer(this);
  FScrollTimer->SetEnabled(false);
  FScrollTimer->SetInterval(60);
  FScrollTimer->OnTimer = [this](TObject*) { ScrollTimerTick(); };
  LayoutChanged();
}

TCustomvmInspector::~TCustomvmInspector() {
  FDestroyingControl = true;
  FEditor = nullptr;
  ClearNodes();
  SetCustomizeForm(nullptr);
}

TvmInspectorNode* TCustomvmInspector::Nodes(int Index) const {
  if (Index < 0 || Index >= GetNodeCount()) return nullptr;
  return FNodes[static_cast<size_t>(Index)];
}

TvmInspectorNode* TCustomvmInspector::AddNode() {
  TvmInspectorNode* n = CreateNode();
  n->InsertInto(nullptr, static_cast<int>(FNodes.size()));
  NodeCreated(n);
  return n;
}

void TCustomvmInspector::ClearNodes() {
  if (!FDestroyingControl) BeginUpdate();
  while (!FNodes.empty()) delete FNodes.front();
  if (!FDestroyingControl) EndUpdate();
}

void TCustomvmInspector::FullCollapse() {
  BeginUpdate();
  for (TvmInspectorNode* n : std::vector<TvmInspectorNode*>(FNodes)) n->Collapse(true);
  EndUpdate();
}

void TCustomvmInspector::FullExpand() {
  BeginUpdate();
  for (TvmInspectorNode* n : std::vector<TvmInspectorNode*>(FNodes)) n->Expand(true);
  EndUpdate();
}

TvmInspectorNode* TCustomvmInspector::GetRootNode(TvmInspectorNode* Node) const {
  while (Node && Node->Parent()) Node = Node->Parent();
  return Node;
}

int TCustomvmInspector::GetAbsoluteCount() const {
  int n = 0;
  for (TvmInspectorNode* c = FNodes.empty() ? nullptr : FNodes.front(); c; c = c->GetNext()) ++n;
  return n;
}

int TCustomvmInspector::GetAbsoluteIndex(const TvmInspectorNode* Node) const {
  if (!Node || !Node->IsVisible()) return -1;
  // Displayed nodes before it: for each ancestor level, the siblings before it with their
  // displayed descendants, plus the ancestor itself.
  int index = 0;
  for (const TvmInspectorNode* n = Node; n; n = n->Parent()) {
    const auto& list = n->Parent() ? *n->Parent()->FChildren : FNodes;
    for (int i = 0; i < n->Index(); ++i) {
      TvmInspectorNode* s = list[static_cast<size_t>(i)];
      index += 1;
      if (s->Expanded()) {
        for (TvmInspectorNode* d = s->Items(0); d && d->HasAsParent(s); d = d->GetNext()) ++index;
      }
    }
    if (n->Parent()) index += 1;
  }
  return index;
}

TvmInspectorNode* TCustomvmInspector::GetNodeByAbsoluteIndex(int Index) const {
  if (Index < 0) return nullptr;
  TvmInspectorNode* n = FNodes.empty() ? nullptr : FNodes.front();
  for (int i = 0; n && i < Index; ++i) n = n->GetNext();
  return n;
}

TvmInspectorNode* TCustomvmInspector::GetLastNode() const {
  return FNodes.empty() ? nullptr : FNodes.back()->GetLastVisibleDescendant();
}

void TCustomvmInspector::EndUpdate() {
  if (FUpdateLock > 0) --FUpdateLock;
  LayoutChanged();
}
