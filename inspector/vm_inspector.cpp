// The property inspector: nodes, layout, bands, scrolling, hit testing, painting, editing,
// keyboard and mouse, the row components, complex rows and the row control with its row list,
// row order and stored layout.
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

namespace {

constexpr uint16_t VK_MULTIPLY = 0x6A;
constexpr int BandSeparatorWidth = 3;

TForm* ParentFormOf(TControl* C) {
  for (TWinControl* p = C->Parent(); p; p = p->Parent())
    if (auto* f = dynamic_cast<TForm*>(p)) return f;
  return nullptr;
}

// Path with one leading '\' and no trailing one.
std::string NormalizePath(std::string P) {
  while (!P.empty() && P.back() == '\\') P.pop_back();
  if (P.empty() || P.front() != '\\') P.insert(P.begin(), '\\');
  return P;
}

void PutInt32(std::string& S, int32_t V) {
  char b[4];
  std::memcpy(b, &V, 4);  // little-endian hosts only, as the stored layout
  S.append(b, 4);
}

struct TOrderReader {
  const std::string& Data;
  size_t Pos = 0;
  bool Int(int32_t& V) {
    if (Pos + 4 > Data.size()) return false;
    std::memcpy(&V, Data.data() + Pos, 4);
    Pos += 4;
    return true;
  }
  bool Bytes(int32_t N, std::string& S) {
    if (N < 0 || Pos + static_cast<size_t>(N) > Data.size()) return false;
    S.assign(Data, Pos, static_cast<size_t>(N));
    Pos += static_cast<size_t>(N);
    return true;
  }
  bool AtEnd() const { return Pos >= Data.size(); }
};

std::string ToHex(const std::string& S) {
  static const char* d = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : S) {
    r += d[c >> 4];
    r += d[c & 15];
  }
  return r;
}

std::string FromHex(const std::string& S) {
  auto v = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string r;
  for (size_t i = 0; i + 1 < S.size(); i += 2) {
    int a = v(S[i]), b = v(S[i + 1]);
    if (a < 0 || b < 0) return std::string();
    r += static_cast<char>(a * 16 + b);
  }
  return r;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Nodes.

TvmInspectorNode::TvmInspectorNode(TCustomvmInspector* AInspector) : FInspector(AInspector) {}

TvmInspectorNode::~TvmInspectorNode() {
  FDeleting = true;
  while (Count() > 0) delete FChildren->front();
  TvmInspectorNode* prev = GetPrevSiblingOrParent();
  const bool displayed = IsVisible();
  const bool wasLast = IsLast();
  TvmInspectorNode* next = displayed ? GetNext() : nullptr;
  RemoveFromList();
  FChildren.reset();
  if (FInspector) FInspector->NodeDeleted(this, prev, next, wasLast, displayed);
}

std::vector<TvmInspectorNode*>& TvmInspectorNode::OwningList() const {
  return FParent ? *FParent->FChildren : FInspector->FNodes;
}

void TvmInspectorNode::RemoveFromList() {
  if (!FParent && (FInspector->FNodes.empty() || FInspector->FNodes[static_cast<size_t>(FIndex)] != this)) return;
  auto& list = OwningList();
  list.erase(list.begin() + FIndex);
  for (size_t i = static_cast<size_t>(FIndex); i < list.size(); ++i) list[i]->FIndex = static_cast<int>(i);
  if (FParent && list.empty()) {
    FParent->FChildren.reset();
    FParent->FExpanded = false;
  }
  FParent = nullptr;
}

void TvmInspectorNode::InsertInto(TvmInspectorNode* NewParent, int Position) {
  std::vector<TvmInspectorNode*>* list;
  if (NewParent) {
    if (!NewParent->FChildren) NewParent->FChildren = std::make_unique<std::vector<TvmInspectorNode*>>();
    list = NewParent->FChildren.get();
  } else {
    list = &FInspector->FNodes;
  }
  Position = std::clamp(Position, 0, static_cast<int>(list->size()));
  list->insert(list->begin() + Position, this);
  for (size_t i = static_cast<size_t>(Position); i < list->size(); ++i) (*list)[i]->FIndex = static_cast<int>(i);
  FParent = NewParent;
}

TvmInspectorNode* TvmInspectorNode::Items(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return (*FChildren)[static_cast<size_t>(Index)];
}

int TvmInspectorNode::IndexOf(const TvmInspectorNode* Child) const {
  return Child && Child->FParent == this ? Child->FIndex : -1;
}

int TvmInspectorNode::Level() const {
  int l = 0;
  for (TvmInspectorNode* p = FParent; p; p = p->FParent) ++l;
  return l;
}

bool TvmInspectorNode::HasAsParent(const TvmInspectorNode* Node) const {
  if (!Node) return false;
  for (TvmInspectorNode* p = FParent; p; p = p->FParent)
    if (p == Node) return true;
  return false;
}

bool TvmInspectorNode::IsLast() const { return FIndex == static_cast<int>(OwningList().size()) - 1; }

bool TvmInspectorNode::IsVisible() const {
  for (TvmInspectorNode* p = FParent; p; p = p->FParent)
    if (!p->FExpanded) return false;
  return true;
}

int TvmInspectorNode::AbsoluteIndex() const { return FInspector->GetAbsoluteIndex(this); }

TvmInspectorNode* TvmInspectorNode::GetNextSibling() const {
  auto& list = OwningList();
  return static_cast<size_t>(FIndex + 1) < list.size() ? list[static_cast<size_t>(FIndex + 1)] : nullptr;
}

TvmInspectorNode* TvmInspectorNode::GetPrevSibling() const {
  return FIndex > 0 ? OwningList()[static_cast<size_t>(FIndex - 1)] : nullptr;
}

TvmInspectorNode* TvmInspectorNode::GetNext() const {
  if (FExpanded && HasChildren()) return (*FChildren)[0];
  for (const TvmInspectorNode* n = this; n; n = n->FParent)
    if (TvmInspectorNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TvmInspectorNode* TvmInspectorNode::GetLastVisibleDescendant() const {
  const TvmInspectorNode* n = this;
  while (n->FExpanded && n->HasChildren()) n = n->FChildren->back();
  return const_cast<TvmInspectorNode*>(n);
}

TvmInspectorNode* TvmInspectorNode::GetPrev() const {
  TvmInspectorNode* s = GetPrevSibling();
  if (!s) return FParent;
  return s->GetLastVisibleDescendant();
}

TvmInspectorNode* TvmInspectorNode::GetPrevSiblingOrParent() const {
  if (TvmInspectorNode* s = GetPrevSibling()) return s;
  return FParent;
}

void TvmInspectorNode::SetExpanded(bool Value) {
  if (!HasChildren() || FExpanded == Value) return;
  FExpanded = Value;
  // A later collapse wins over a node that waited to be shown inside it.
  if (!Value && FInspector->FPendingVisible && FInspector->FPendingVisible->HasAsParent(this))
    FInspector->FPendingVisible = nullptr;
  FInspector->NodeChanged(this, true);
  if (!Value && FInspector->FFocusedNode && FInspector->FFocusedNode->HasAsParent(this)) SetFocused(true);
}

void TvmInspectorNode::Expand(bool Recurse) {
  SetExpanded(true);
  if (Recurse)
    for (int i = 0; i < Count(); ++i) Items(i)->Expand(true);
}

void TvmInspectorNode::Collapse(bool Recurse) {
  SetExpanded(false);
  if (Recurse)
    for (int i = 0; i < Count(); ++i) Items(i)->Collapse(true);
}

bool TvmInspectorNode::Focused() const { return FInspector->FFocusedNode == this; }

void TvmInspectorNode::SetFocused(bool Value) {
  if (Value == Focused()) return;
  FInspector->SetFocusedNode(Value ? this : nullptr);
}

void TvmInspectorNode::MakeVisible() { FInspector->MakeNodeVisible(this); }

void TvmInspectorNode::MoveTo(TvmInspectorNode* Destination, TvmInspectorNodeAttachMode Mode) {
  if (!Destination || Destination->HasAsParent(this)) return;
  if (Destination == this && (Mode == inaAddChild || Mode == inaInsert)) return;
  FInspector->BeginUpdate();
  try {
    RemoveFromList();
    if (Destination->FParent && Mode != inaAddChild) {
      TvmInspectorNode* p = Destination->FParent;
      InsertInto(p, Mode == inaAdd ? p->Count() : Destination->FIndex);
    } else if (Mode == inaAddChild) {
      InsertInto(Destination, Destination->Count());
    } else {
      InsertInto(nullptr, Mode == inaAdd ? static_cast<int>(FInspector->FNodes.size()) : Destination->FIndex);
    }
    FInspector->FFocusedNode = this;
    MakeVisible();
  } catch (...) {
    FInspector->EndUpdate();
    throw;
  }
  FInspector->EndUpdate();
}

void TvmInspectorNode::DeleteChildren() {
  FInspector->BeginUpdate();
  while (Count() > 0) delete FChildren->front();
  FInspector->EndUpdate();
}

TvmInspectorRowNode::~TvmInspectorRowNode() {
  FDeleting = true;
  if (TvmInspectorRow* row = Row) {
    Row = nullptr;
    row->FNode = nullptr;
    if (auto* c = row->FInspector) {
      row->FInspector = nullptr;
      auto& rows = c->FRows;
      rows.erase(std::remove(rows.begin(), rows.end(), row), rows.end());
      for (TvmInspectorRow* r : rows)
        if (auto* cx = dynamic_cast<TvmInspectorComplexRow*>(r)) cx->RemoveRowFromItems(row);
    }
    delete row;
  }
}

// ---------------------------------------------------------------------------------------------
// Edit style.

VM_DEFINE_CLASS(TvmInspectorEditStyle)

TvmInspectorEditStyle::TvmInspectorEditStyle(TvmInplaceEdit* AEdit, TCustomvmInspector* AInspector)
    : TvmEditStyle(AEdit), FInspector(AInspector) {
  RestoreDefaults();
}

TvmEditBorderStyle TvmInspectorEditStyle::GetDefaultBorderStyle() const {
  return FInspector && FInspector->PaintStyle() == ipsCategorized ? xbsFlat : xbsNone;
}

TvmEditButtonViewStyle TvmInspectorEditStyle::GetDefaultButtonStyle() const {
  return FInspector && (FInspector->PaintStyle() == ipsCategorized || FInspector->Flat()) ? btsFlat : bts3D;
}

// ---------------------------------------------------------------------------------------------
// The inspector control.

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

// Metrics and layout.

int TCustomvmInspector::CalcTextRowHeight() {
  TCanvas* c = Canvas();
  c->SetFont(Font());
  return c->TextHeight("Wg") + 3;
}

int TCustomvmInspector::CalcDefaultRowHeight() { return CalcTextRowHeight(); }

void TCustomvmInspector::LayoutChanged() {
  if (FUpdateLock > 0 || FLayoutRunning || ComponentState().Contains(csLoading) || FDestroyingControl) return;
  FLayoutRunning = true;
  ++FUpdateLock;
  try {
    RecalcMetrics();
  } catch (...) {
    --FUpdateLock;
    FLayoutRunning = false;
    throw;
  }
  --FUpdateLock;
  FLayoutRunning = false;
  ContentChanged();
  UpdateScrollBars();
  ValidateTopPosition();
  if (TvmInspectorNode* n = FPendingVisible) {
    FPendingVisible = nullptr;
    MakeNodeVisible(n);
  }
  Invalidate();
}

void TCustomvmInspector::RecalcMetrics() {
  TCanvas* c = Canvas();
  c->SetFont(Font());
  FCategoryButtonWidth = 10;
  switch (FPaintStyle) {
    case ipsStandard:
      FIndentWidth = c->TextWidth("+");
      break;
    case ipsSimple:
    case ipsNET:
      FIndentWidth = 15;
      break;
    default:
      FIndentWidth = 14;
      break;
  }
  FCaptionSeparatorWidth = c->TextWidth(FComplexRowSeparator + "_");
  FValueSeparatorWidth = FPaintStyle == ipsCategorized ? 4 : FCaptionSeparatorWidth;
  FGridLineWidth = FPaintStyle == ipsCategorized ? 0 : 1;
  FRowInset = FPaintStyle == ipsCategorized ? 2 : 0;
  FTextRowHeight = CalcTextRowHeight();
  FDefaultRowHeight = CalcDefaultRowHeight() + FGridLineWidth + 2 * FRowInset;
  if (!FRowHeightAssigned || FRowHeight < FDefaultRowHeight) FRowHeight = FDefaultRowHeight;
  if (FRowHeight == FDefaultRowHeight) FRowHeightAssigned = false;
  FImageWidth = FImages ? FImages->Width() : 0;
  FImageHeight = FImages ? FImages->Height() : 0;
  while (FRowHeight - FGridLineWidth - 2 * FRowInset < FImageHeight) ++FRowHeight;
}

void TCustomvmInspector::FillBand(TvmInspectorBandInfo& Band, TvmInspectorNode*& Node, const TRect& R,
                                  bool Store) const {
  auto* self = const_cast<TCustomvmInspector*>(this);
  Band.Bounds = R;
  Band.RowsRect = R;
  if (IsBandLayout()) {
    Band.SeparatorRect = TRect(R.Right - BandSeparatorWidth, R.Top, R.Right, R.Bottom);
    Band.RowsRect.Right = Band.SeparatorRect.Left;
  }
  const int H = Band.RowsRect.Height();
  int sum = 0;
  while (Node) {
    const int h = self->GetNodeRowHeight(Node);
    if (IsBandLayout() && sum + h > H && !Band.Rows.empty()) break;
    if (Store)
      Band.Rows.emplace_back(Node, h);
    else
      Band.Rows.emplace_back(nullptr, h);
    sum += h;
    Node = Node->GetNext();
    if (sum >= H) break;
  }
  Band.LastRowCut = sum > H;
  if (sum < H)
    Band.EmptyRect = TRect(Band.RowsRect.Left, Band.RowsRect.Top + sum, Band.RowsRect.Right, Band.RowsRect.Bottom);
}

void TCustomvmInspector::CalcViewInfo(TvmInspectorViewInfo& Info) const {
  Info.ClientRect = ClientRect();
  Info.Bands.clear();
  Info.EmptyRect = TRect();
  const TRect& cl = Info.ClientRect;
  if (!IsBandLayout()) {
    Info.Bands.emplace_back();
    TvmInspectorNode* n = FTopNode;
    FillBand(Info.Bands.back(), n, cl, true);
    return;
  }
  TvmInspectorNode* n = FNodes.empty() ? nullptr : FNodes.front();
  TRect r(cl.Left, cl.Top, cl.Left + FBandWidth, cl.Bottom);
  for (int b = 0; b < FFirstBand && n; ++b) {
    TvmInspectorBandInfo skip;
    FillBand(skip, n, r, false);
  }
  for (int i = 0; i < FShownBands; ++i) {
    Info.Bands.emplace_back();
    Info.Bands.back().Index = FFirstBand + i;
    FillBand(Info.Bands.back(), n, r, true);
    OffsetRect(r, FBandWidth, 0);
  }
  if (FShownBands * FBandWidth < cl.Width())
    Info.EmptyRect = TRect(cl.Left + FShownBands * FBandWidth, cl.Top, cl.Right, cl.Bottom);
}

void TCustomvmInspector::RecalcBands() {
  const int W = ClientWidth(), CH = ClientHeight();
  const int bw = std::max(FBandWidth, 1);
  FFullBands = FShownBands = W / bw;
  if (W % bw != 0 && FFirstBand != FBandCount - 1) ++FShownBands;
  FBandCount = 1;
  int sum = 0, rows = 0;
  for (TvmInspectorNode* n = FNodes.empty() ? nullptr : FNodes.front(); n; n = n->GetNext()) {
    const int h = GetNodeRowHeight(n);
    sum += h;
    ++rows;
    if (sum >= CH) {
      ++FBandCount;
      if (rows > 1 && sum > CH) {
        sum = h;
        rows = 1;
      } else {
        sum = 0;
        rows = 0;
      }
    }
  }
  FShownBands = std::min(FShownBands, FBandCount);
  FBandCount = std::max(FBandCount, FFullBands);
  FBandCount = std::max(FBandCount, 1);
  FShownBands = std::max(FShownBands, 1);
  FFullBands = std::max(FFullBands, 1);
}

void TCustomvmInspector::CalcLayout() {
  TvmInspectorViewInfo vi;
  CalcViewInfo(vi);
  if (!IsBandLayout()) {
    FShownRows = static_cast<int>(vi.Bands[0].Rows.size());
    FPage = FShownRows - (vi.Bands[0].LastRowCut ? 1 : 0);
  } else {
    FShownRows = 0;
    FPage = 0;
    for (size_t i = 0; i < vi.Bands.size(); ++i) {
      FShownRows += static_cast<int>(vi.Bands[i].Rows.size());
      if (static_cast<int>(i) < FFullBands) FPage += static_cast<int>(vi.Bands[i].Rows.size());
    }
  }
  FShownRows = std::max(FShownRows, 1);
  FPage = std::max(FPage, 1);
}

void TCustomvmInspector::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  RecalcBands();
  CalcLayout();
  TScrollInfo v, h;
  v.nMin = h.nMin = 0;
  const int count = GetAbsoluteCount();
  if (!IsBandLayout()) {
    v.nPage = static_cast<unsigned>(FPage);
    v.nMax = FPage >= count ? 0 : count - 1;
    v.nPos = std::max(GetTopIndex(), 0);
  } else {
    h.nPage = static_cast<unsigned>(FFullBands);
    h.nMax = FFullBands >= FBandCount ? 0 : FBandCount - 1;
    h.nPos = FFirstBand;
  }
  SetScrollInfo(SB_VERT, v, true);
  SetScrollInfo(SB_HORZ, h, true);
  // The window's own bars follow; showing or hiding one resizes the client area, which comes
  // back here: that nested pass leaves the bars alone.
  if (FSettingBars) return;
  FSettingBars = true;
  TScopeExit done([this] { FSettingBars = false; });
  if (!IsBandLayout()) {
    SetScrollBar(1, 0, v.nMax, static_cast<int>(std::max(v.nPage, 1u)), v.nPos);
    SetScrollBar(0, 0, 0, 1, 0);
  } else {
    SetScrollBar(0, 0, h.nMax, static_cast<int>(std::max(h.nPage, 1u)), h.nPos);
    SetScrollBar(1, 0, 0, 1, 0);
  }
}

void TCustomvmInspector::Scrolled(int Kind, int Position) {
  if (!CanScroll()) return;
  if (Kind == 1)
    SetTopIndex(Position);
  else
    SetFirstBand(Position);
}

bool TCustomvmInspector::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  const int lines = Mouse ? Mouse->WheelScrollLines() : 3;
  if (IsBandLayout())
    SetFirstBand(FFirstBand + (WheelDelta > 0 ? -1 : 1));
  else
    SetTopIndex(GetTopIndex() + (WheelDelta > 0 ? -lines : lines));
  return true;
}

void TCustomvmInspector::SetTopIndex(int Index) {
  if (FNodes.empty()) return;
  const int count = GetAbsoluteCount();
  Index = std::clamp(Index, 0, count - 1);
  if (IsBandLayout()) {
    TvmInspectorNode* n = GetNodeByAbsoluteIndex(Index);
    const int band = GetBandOfNode(n);
    if (GetBandTopNode(band) != FTopNode || FTopNode != n) SetFirstBand(band);
    return;
  }
  const int top = GetTopIndex();
  if (Index == top) return;
  if (Index + FPage > count) Index = std::max(count - FPage, 0);
  if (Index == top) return;
  FTopNode = GetNodeByAbsoluteIndex(Index);
  UpdateScrollBars();
  if (FUpdateLock == 0) Invalidate();
}

void TCustomvmInspector::SetFirstBand(int Index) {
  if (!IsBandLayout()) return;
  Index = std::min(Index, FBandCount - FFullBands);
  Index = std::max(Index, 0);
  TvmInspectorNode* top = GetBandTopNode(Index);
  if (Index == FFirstBand && top == FTopNode) return;
  FFirstBand = Index;
  FTopNode = top;
  UpdateScrollBars();
  ValidateTopPosition();
  Invalidate();
}

int TCustomvmInspector::GetBandOfNode(const TvmInspectorNode* Node) const {
  if (!IsBandLayout() || !HandleAllocated() || !Node) return -1;
  auto* self = const_cast<TCustomvmInspector*>(this);
  const int CH = ClientHeight();
  int band = 0, sum = 0, rows = 0;
  for (TvmInspectorNode* n = FNodes.empty() ? nullptr : FNodes.front(); n; n = n->GetNext()) {
    const int h = self->GetNodeRowHeight(n);
    if (rows > 0 && sum + h > CH) {
      ++band;
      sum = 0;
      rows = 0;
    }
    if (n == Node) return band;
    sum += h;
    ++rows;
    if (sum > CH) {
      ++band;
      sum = 0;
      rows = 0;
    }
  }
  return -1;
}

TvmInspectorNode* TCustomvmInspector::GetBandTopNode(int Index) const {
  if (!IsBandLayout() || !HandleAllocated()) return FTopNode;
  auto* self = const_cast<TCustomvmInspector*>(this);
  const int CH = ClientHeight();
  int band = 0, sum = 0, rows = 0;
  TvmInspectorNode* top = FNodes.empty() ? nullptr : FNodes.front();
  for (TvmInspectorNode* n = top; n; n = n->GetNext()) {
    const int h = self->GetNodeRowHeight(n);
    if (rows > 0 && sum + h > CH) {
      ++band;
      sum = 0;
      rows = 0;
    }
    if (rows == 0) {
      top = n;
      if (band == Index) return top;
    }
    sum += h;
    ++rows;
    if (sum > CH) {
      ++band;
      sum = 0;
      rows = 0;
    }
  }
  return top;
}

void TCustomvmInspector::ValidateTopPosition() {
  if (!HandleAllocated()) return;
  if (IsBandLayout()) {
    int b = FFirstBand;
    if (b > FBandCount - FFullBands) b = std::max(FBandCount - FFullBands, 0);
    SetFirstBand(b);
    return;
  }
  const int count = GetAbsoluteCount();
  if (count == 0) return;
  const int top = std::max(GetTopIndex(), 0);
  int last = std::min(top + FPage - 1, count - 1);
  const int CH = ClientHeight();
  int C = 0, sum = 0;
  for (TvmInspectorNode* n = GetNodeByAbsoluteIndex(last); n; n = n->GetPrev()) {
    sum += GetNodeRowHeight(n);
    if (sum > CH) break;
    ++C;
  }
  C = std::max(C, 1);
  if (top + C > count) {
    const int idx = std::max(count - C, 0);
    if (idx != top) {
      FTopNode = GetNodeByAbsoluteIndex(idx);
      UpdateScrollBars();
      Invalidate();
    }
  }
}

void TCustomvmInspector::MakeNodeVisible(TvmInspectorNode* Node) {
  if (!Node) return;
  if (FUpdateLock > 0) {
    // Inside an update the ancestors open now; the scrolling waits for the end of the update.
    for (TvmInspectorNode* p = Node->Parent(); p; p = p->Parent())
      if (!p->Expanded()) p->SetExpanded(true);
    FPendingVisible = Node;
    return;
  }
  bool expanded = false;
  BeginUpdate();
  try {
    if (!Node->IsVisible()) {
      for (TvmInspectorNode* p = Node->Parent(); p; p = p->Parent())
        if (!p->Expanded()) {
          p->SetExpanded(true);
          expanded = true;
        }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  // The positions below need a current layout.
  --FUpdateLock;
  if (FUpdateLock == 0 && expanded) {
    UpdateScrollBars();
  }
  ++FUpdateLock;
  const int pos = GetAbsoluteIndex(Node);
  const int top = GetTopIndex();
  if (pos >= 0 && (pos < top || pos > top + FPage - 1 || expanded || !FTopNode)) {
    if (IsBandLayout()) {
      if (HandleAllocated()) {
        const int b = GetBandOfNode(Node);
        if (b < FFirstBand)
          SetFirstBand(b);
        else if (b > FFirstBand + FFullBands - 1)
          SetFirstBand(b - FFullBands + 1);
      }
    } else if (!FTopNode) {
      FTopNode = Node;
    } else if (pos < top) {
      FTopNode = GetNodeByAbsoluteIndex(pos);
    } else if (pos > top + FPage - 1) {
      FTopNode = GetNodeByAbsoluteIndex(std::max(pos - FPage + 1, 0));
    }
  }
  EndUpdate();
}

int TCustomvmInspector::GetContentWidth() const { return IsBandLayout() ? FBandWidth - 3 : Width(); }

void TCustomvmInspector::SetDividerPos(int Value) {
  const int cw = GetContentWidth();
  if (HandleAllocated() && cw > 0) {
    Value = std::min(Value, cw - FMinColumnWidth);
    Value = std::max(Value, FMinColumnWidth);
  }
  if (Value != FDividerPos) {
    FDividerPos = Value;
    Invalidate();
  }
  if (!FResizing) {
    FSavedDivider = Value;
    FSavedContentWidth = cw;
  }
  UpdateScrollBars();
  ValidateTopPosition();
  if (FEditor && FEditor->EditVisible()) ShowEditor(false, false);
}

int TCustomvmInspector::CalcAutoDividerPos() {
  if (FSavedContentWidth < 0) FSavedContentWidth = GetContentWidth();
  if (FSavedContentWidth != 0) return GetContentWidth() * FSavedDivider / FSavedContentWidth;
  FSavedContentWidth = -1;
  return 0;
}

void TCustomvmInspector::Resize() {
  TCustomvmContainer::Resize();
  FResizing = true;
  try {
    UpdateScrollBars();
    if (FOptions.Contains(ioAutoWidth) && !ComponentState().Contains(csLoading) && !FApplyingLayout)
      SetDividerPos(CalcAutoDividerPos());
    else
      SetDividerPos(FDividerPos);
    ValidateTopPosition();
  } catch (...) {
    FResizing = false;
    throw;
  }
  FResizing = false;
  ShowEditor(false, false);
}

void TCustomvmInspector::SetBandWidth(int Value) {
  Value = std::max(Value, FMinBandWidth);
  if (Value == FBandWidth) return;
  FBandWidth = Value;
  LayoutChanged();
  if (HandleAllocated()) {
    Resize();
    Invalidate();
  }
}

void TCustomvmInspector::SetMinBandWidth(int Value) {
  FMinBandWidth = std::max(Value, 43);
  SetBandWidth(FBandWidth);
  SetDividerPos(FDividerPos);
}

void TCustomvmInspector::SetMinColumnWidth(int Value) {
  FMinColumnWidth = std::max(Value, 20);
  SetBandWidth(FBandWidth);
  SetDividerPos(FDividerPos);
}

void TCustomvmInspector::SetRowHeight(int Value) {
  FRowHeightAssigned = true;
  FRowHeight = Value;
  LayoutChanged();
}

void TCustomvmInspector::SetMaxRowTextLineCount(int Value) {
  FMaxRowTextLineCount = std::max(Value, 0);
  LayoutChanged();
}

void TCustomvmInspector::SetOptions(TvmInspectorOptions Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  if (!IsBandLayout()) FFirstBand = 0;
  if (IsBandLayout() && !FNodes.empty()) FTopNode = GetBandTopNode(FFirstBand);
  SetDividerPos(FDividerPos);
  LayoutChanged();
  ShowEditor(false, true);
}

void TCustomvmInspector::SetPaintStyle(TvmInspectorPaintStyle Value) {
  if (Value == FPaintStyle) return;
  auto group = [](TvmInspectorPaintStyle S) { return S == ipsSimple || S == ipsNET ? 1 : 0; };
  if (group(FPaintStyle) == 0 && group(Value) == 1) {
    if (FValueColor == clNavy) FValueColor = Font()->Color();
    if (FGridColor == clBtnShadow) FGridColor = clBtnFace;
    if (Color() == clBtnFace) SetColor(clWindow);
  } else if (group(FPaintStyle) == 1 && group(Value) == 0) {
    if (FValueColor == Font()->Color()) FValueColor = clNavy;
    if (FGridColor == clBtnFace) FGridColor = clBtnShadow;
    if (Color() == clWindow) SetColor(clBtnFace);
  }
  FPaintStyle = Value;
  LayoutChanged();
}

void TCustomvmInspector::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  SetScrollBarLook(Value ? ssFlat : ssRegular);
  SetFrameBorder(Value ? 1 : 2);
  Invalidate();
}

void TCustomvmInspector::SetImages(TImageList* Value) {
  FImages = Value;
  LayoutChanged();
}

void TCustomvmInspector::SetComplexRowSeparator(const std::string& Value) {
  FComplexRowSeparator = Value;
  LayoutChanged();
}

void TCustomvmInspector::SetGridColor(TColor Value) {
  FGridColor = Value;
  LayoutChanged();
}

void TCustomvmInspector::SetValueColor(TColor Value) {
  FValueColor = Value;
  Invalidate();
}

void TCustomvmInspector::SetShowRowHint(bool Value) {
  FShowRowHint = Value;
  if (Value) SetShowHint(false);
}

void TCustomvmInspector::HideRowHint() {
  if (FHintDelayTimer) FHintDelayTimer->SetEnabled(false);
  if (FHintHideTimer) FHintHideTimer->SetEnabled(false);
  if (FHintWindow) FHintWindow->HideText();
}

void TCustomvmInspector::UpdateRowHint(bool ShowDelayed) {
  HideRowHint();
  const TvmInspectorHitInfo h = HitTest(FHintPoint);
  if (!h.Node || (h.HitTest != ihCaption && h.HitTest != ihValue)) return;
  TRect row = GetNodeRect(h.Node);
  TvmInspectorNodeCells cells = CalcNodeCells(h.Node, row);
  const int y = row.Top + FRowInset - 2;
  bool isRowHint = false;
  int hintX = 0;
  std::string text;
  bool show = false;
  if (h.HitTest == ihCaption) {
    show = IsCellTextClipped(h.Node, h.ItemIndex, isRowHint, hintX, text, cells.Caption, false, h.ItemRect);
    if (show && isRowHint && ShowDelayed) {
      FHintDelayTimer->SetEnabled(true);
      return;
    }
  } else {
    show = IsCellTextClipped(h.Node, h.ItemIndex, isRowHint, hintX, text, cells.Value, true, h.ItemRect);
  }
  if (!show || text.empty()) return;
  if (!FHintWindow) FHintWindow = std::make_unique<TvmContainerHintWindow>(nullptr);
  FHintWindow->ShowTextBounded(ClientToScreen(TPoint(hintX, y)), 0, text, Font(), true);
  FHintHideTimer->SetEnabled(true);
}

void TCustomvmInspector::FontChanged() {
  TCustomvmContainer::FontChanged();
  LayoutChanged();
}

int TCustomvmInspector::GetNodeRowHeight(TvmInspectorNode* Node) {
  return FRowHeight - (FPaintStyle == ipsCategorized && IsCategoryNode(Node) ? 2 : 0);
}

int TCustomvmInspector::GetMinNodeRowHeight(TvmInspectorNode* Node) {
  return FDefaultRowHeight - (FPaintStyle == ipsCategorized && IsCategoryNode(Node) ? 2 : 0);
}

// Invalidation and node notifications.

void TCustomvmInspector::InvalidateNode(TvmInspectorNode* Node, bool WholeColumn) {
  if (!Node) return;
  if (WholeColumn && IsBandLayout()) {
    Invalidate();
    return;
  }
  // The retained surface repaints as a whole.
  Invalidate();
}

void TCustomvmInspector::NodeChanged(TvmInspectorNode* Node, bool Relayout) {
  if (!Node || Node->Deleting() || FUpdateLock > 0 || FDestroyingControl || !Node->IsVisible()) return;
  if (Relayout) {
    UpdateScrollBars();
    ValidateTopPosition();
  }
  InvalidateNode(Node, Relayout);
}

void TCustomvmInspector::NodeCreated(TvmInspectorNode* Node) {
  HideEditor();
  if (!FTopNode) FTopNode = Node;
  if (!FFocusedNode) FFocusedNode = FTopNode;
  TvmInspectorNode* p = Node->GetPrevSiblingOrParent();
  NodeChanged(p ? p : Node, true);
}

void TCustomvmInspector::NodeDeleted(TvmInspectorNode* Node, TvmInspectorNode* PrevSiblingOrParent,
                                     TvmInspectorNode* Next, bool WasLast, bool WasDisplayed) {
  if (FNodes.empty()) {
    FTopNode = FFocusedNode = FEditingNode = FSizingNode = FHotNode = FPressedNode = FDragNode = nullptr;
    FPendingVisible = nullptr;
    FClickNode = nullptr;
    if (FUpdateLock == 0 && !FDestroyingControl) {
      HideEditor();
      UpdateScrollBars();
      Invalidate();
    }
    return;
  }
  TvmInspectorNode* newTop = nullptr;
  TvmInspectorNode* newFocus = nullptr;
  if (FTopNode == Node) FTopNode = newTop = PrevSiblingOrParent ? PrevSiblingOrParent : Next;
  if (FFocusedNode == Node) FFocusedNode = newFocus = PrevSiblingOrParent ? PrevSiblingOrParent : Next;
  if (FSizingNode == Node) FSizingNode = nullptr;
  if (FHotNode == Node) FHotNode = nullptr;
  if (FPressedNode == Node) FPressedNode = nullptr;
  if (FDragNode == Node) FDragNode = nullptr;
  if (FClickNode == Node) FClickNode = nullptr;
  if (FPendingVisible == Node) FPendingVisible = nullptr;
  if (FHintNode == Node) {
    FHintNode = nullptr;
    FHintIndex = -1;
    FHintCode = ihOutside;
  }
  if (FEditingNode == Node) FEditingNode = nullptr;
  if (!FDestroyingControl) HideEditor();
  if (WasDisplayed) {
    TvmInspectorNode* n = newTop ? newTop : newFocus ? newFocus : PrevSiblingOrParent ? PrevSiblingOrParent : Next;
    NodeChanged(n, true);
  }
}

void TCustomvmInspector::DoChangeNode(TvmInspectorNode* OldNode, TvmInspectorNode* Node) {
  if (OnChangeNode) OnChangeNode(this, OldNode, Node);
}

void TCustomvmInspector::SetFocusedNode(TvmInspectorNode* Node) {
  TvmInspectorNode* old = FFocusedNode;
  if (FUpdateLock > 0) {
    FFocusedNode = Node;
  } else {
    if (Node) MakeNodeVisible(Node);
    if (Node != FFocusedNode) {
      FFocusedNode = Node;
      InvalidateNode(old, false);
      InvalidateNode(Node, false);
    }
  }
  if (old != FFocusedNode) {
    HideEditor();
    FocusedItemChanged();
    DoChangeNode(old, FFocusedNode);
  }
}

void TCustomvmInspector::SetFocusedIndex(int Index) {
  if (FNodes.empty() || Index == GetFocusedAbsoluteIndex()) return;
  Index = std::clamp(Index, 0, GetAbsoluteCount() - 1);
  if (Index != GetFocusedAbsoluteIndex()) SetFocusedNode(GetNodeByAbsoluteIndex(Index));
  if (OnClick) OnClick(this);
}

void TCustomvmInspector::FocusedItemChanged() { SetFocusedComplexItem(FFocusedItem); }

void TCustomvmInspector::SetFocusedComplexItem(int Index) {
  const int before = FocusedComplexItem();
  CheckComplexItemIndex(Index);
  if (Index == FFocusedItem) return;
  FFocusedItem = Index;
  if (FocusedComplexItem() != before) InvalidateNode(FFocusedNode, false);
}

void TCustomvmInspector::SetHotNode(TvmInspectorNode* Node) {
  if (FPaintStyle != ipsCategorized || FMouseState != imsNone) return;
  if (Node == FHotNode) return;
  InvalidateNode(FHotNode, false);
  FHotNode = Node;
  InvalidateNode(Node, false);
}

bool TCustomvmInspector::ShowsNodeImage(TvmInspectorNode* Node) const {
  return GetNodeImageIndex(Node) != -1 && !(FPaintStyle == ipsCategorized && IsCategoryNode(Node));
}

TColor TCustomvmInspector::GetValueFontColor() const {
  if (ColorToRGB(clBtnFace) == 0) {
    const TColor c = ColorToRGB(FValueColor);
    return ((255 - (c & 0xFF))) | ((255 - ((c >> 8) & 0xFF)) << 8) | ((255 - ((c >> 16) & 0xFF)) << 16);
  }
  return FValueColor;
}

void TCustomvmInspector::GetNodeCaption(TvmInspectorNode* Node, std::string& Caption) {
  Caption.clear();
  if (!Node) return;
  std::string v;
  GetNodeTexts(Node, Caption, v);
}

// Geometry.

TRect TCustomvmInspector::GetNodeRect(const TvmInspectorNode* Node) const {
  if (!Node) return TRect();
  TvmInspectorViewInfo vi;
  CalcViewInfo(vi);
  for (const auto& band : vi.Bands) {
    int y = band.RowsRect.Top;
    for (const auto& [n, h] : band.Rows) {
      if (n == Node) return TRect(band.RowsRect.Left, y, band.RowsRect.Right, y + h);
      y += h;
    }
  }
  return TRect();
}

TRect TCustomvmInspector::GetNodeColumnRect(const TvmInspectorNode* Node) const {
  TRect r = GetNodeRect(Node);
  if (!IsRectEmpty(r)) r.Bottom = ClientHeight();
  return r;
}

TvmInspectorNodeCells TCustomvmInspector::CalcNodeCells(TvmInspectorNode* Node, const TRect& RowRect) const {
  TvmInspectorNodeCells c;
  TRect r = RowRect;
  const bool category = IsCategoryNode(Node);
  const int level = Node->Level();
  if (FPaintStyle != ipsCategorized) {
    c.Indent = TRect(r.Left, r.Top, r.Left + (level + 1) * FIndentWidth, r.Bottom);
    if (FPaintStyle == ipsStandard) c.Indent.Right += 2;
  } else if (category) {
    c.Indent = TRect(r.Left, r.Top, r.Left + level * FIndentWidth, r.Bottom);
    InflateRect(r, -1, -1);
    c.Indent.Top = r.Top;
    c.Indent.Bottom = r.Bottom;
  } else {
    InflateRect(r, -FRowInset, -FRowInset);
    c.Indent = TRect(r.Left, r.Top, r.Left + (level + 1) * FIndentWidth, r.Bottom);
    if (IsCategoryNode(GetRootNode(Node))) c.Indent.Right -= FIndentWidth;
  }
  if (Node->HasChildren()) {
    c.ButtonState = Node->Expanded() ? 2 : 1;
    if (!(FPaintStyle == ipsCategorized && category))
      c.Button = TRect(c.Indent.Right - FIndentWidth, r.Top, c.Indent.Right, r.Bottom);
  }
  if (ShowsNodeImage(Node)) {
    c.Image = TRect(c.Indent.Right, r.Top, c.Indent.Right + FImageWidth, r.Bottom);
    c.Indent.Right = c.Image.Right;
  }
  c.Caption = TRect(c.Indent.Right, r.Top, RowRect.Left + FDividerPos, r.Bottom);
  if (FPaintStyle == ipsCategorized && category) c.Caption.Left += 1;
  c.Value = TRect(RowRect.Left + FDividerPos + 1, r.Top, r.Right, r.Bottom);
  if (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended || FPaintStyle == ipsCategorized) c.Value.Left += 1;
  if (category) {
    c.Caption.Right = c.Value.Right;
    if (FPaintStyle == ipsCategorized && c.ButtonState != 0) {
      c.Button = TRect(c.Caption.Right - FCategoryButtonWidth, r.Top, c.Caption.Right, r.Bottom);
      c.Caption.Right = c.Button.Left;
    }
  }
  return c;
}

TvmInspectorHitInfo TCustomvmInspector::HitTest(const TPoint& P) const {
  TvmInspectorHitInfo h;
  TvmInspectorViewInfo vi;
  CalcViewInfo(vi);
  if (!PtInRect(vi.ClientRect, P)) return h;
  h.HitTest = ihNone;
  for (const auto& band : vi.Bands) {
    if (!PtInRect(band.Bounds, P)) continue;
    h.BandIndex = band.Index;
    if (PtInRect(band.SeparatorRect, P) ||
        (IsBandLayout() && vi.Bands.size() == 1 && P.X >= vi.ClientRect.Right - BandSeparatorWidth)) {
      h.HitTest = ihBandSeparator;
      return h;
    }
    int y = band.RowsRect.Top;
    TvmInspectorNode* node = nullptr;
    TRect rowRect;
    for (const auto& [n, rh] : band.Rows) {
      if (P.Y >= y && P.Y < y + rh) {
        node = n;
        rowRect = TRect(band.RowsRect.Left, y, band.RowsRect.Right, y + rh);
        break;
      }
      y += rh;
    }
    if (node) {
      h.Node = node;
      h.AbsoluteIndex = GetAbsoluteIndex(node);
    }
    const int div = band.RowsRect.Left + FDividerPos;
    if (P.X >= div - 2 && P.X <= div + 2 && !(node && IsCategoryNode(node))) {
      h.HitTest = ihDivider;
      return h;
    }
    if (!node) return h;
    if (FOptions.Contains(ioRowSizing) && P.Y >= rowRect.Bottom - 2) {
      h.HitTest = ihRowBottomEdge;
      return h;
    }
    TvmInspectorNodeCells c = CalcNodeCells(node, rowRect);
    if (FPaintStyle == ipsCategorized && IsCategoryNode(node) && !node->Parent()) c.Indent.Right += FIndentWidth;
    if (PtInRect(c.Indent, P)) {
      h.HitTest = ihIndent;
      if (c.ButtonState != 0 && PtInRect(c.Button, P))
        h.HitTest = ihButton;
      else if (PtInRect(c.Image, P))
        h.HitTest = ihImage;
    } else if (FPaintStyle == ipsCategorized && IsCategoryNode(node) && PtInRect(c.Button, P)) {
      h.HitTest = ihButton;
    } else if (P.X <= rowRect.Left + FDividerPos || IsCategoryNode(node)) {
      h.HitTest = ihCaption;
      HitTestComplexItem(node, c.Caption, h.ItemRect, h.ItemIndex, P);
    } else {
      h.HitTest = ihValue;
      HitTestComplexItem(node, c.Value, h.ItemRect, h.ItemIndex, P);
    }
    if (!IsRectEmpty(h.ItemRect) && h.ItemIndex == -1) h.HitTest = ihComplexSeparator;
    return h;
  }
  return h;
}

// Painting.

void TCustomvmInspector::PaintTo(TCanvas* C) {
  TvmInspectorViewInfo vi;
  CalcViewInfo(vi);
  C->Brush()->SetColor(Color());
  C->Font()->Assign(Font());
  if ((FPaintStyle == ipsStandard || FPaintStyle == ipsExtended) && FFocusedNode) {
    for (const auto& band : vi.Bands) {
      int y = band.RowsRect.Top;
      for (const auto& [n, h] : band.Rows) {
        if (n == FFocusedNode) {
          TRect r(band.RowsRect.Left - 1, y - 2, band.RowsRect.Right + 1, y + h);
          TRect e = r;
          DrawEdge(C, e, EDGE_SUNKEN, BF_LEFT | BF_TOP);
          e = r;
          DrawEdge(C, e, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM);
          C->ExcludeClipRect(r.Left, r.Top, r.Right, r.Top + 2);
          C->ExcludeClipRect(r.Left, r.Top, r.Left + 2, r.Bottom);
          C->ExcludeClipRect(r.Right - 1, r.Top, r.Right, r.Bottom);
          C->ExcludeClipRect(r.Left, r.Bottom - 1, r.Right, r.Bottom);
        }
        y += h;
      }
    }
  }
  if (!IsRectEmpty(vi.EmptyRect)) FillRectColor(C, vi.EmptyRect, Color());
  for (const auto& band : vi.Bands) PaintBand(C, band);
  C->SelectClipRgn(nullptr);
}

void TCustomvmInspector::Paint() {
  ShowEditor(false, false);
  // The floating row image stays out of the picture being painted.
  TDragImageHider hideDragImage(FMouseState == imsDragging ? FDragWindow.get() : nullptr);
  PaintTo(Canvas());
}

void TCustomvmInspector::PaintBand(TCanvas* C, const TvmInspectorBandInfo& Band) {
  if (!IsRectEmpty(Band.SeparatorRect)) {
    const TRect& s = Band.SeparatorRect;
    FillRectColor(C, TRect(s.Left, s.Top, s.Left + 1, s.Bottom), FGridColor);
    FillRectColor(C, TRect(s.Left + 1, s.Top, s.Left + 2, s.Bottom), Color());
    FillRectColor(C, TRect(s.Left + 2, s.Top, s.Left + 3, s.Bottom), FGridColor);
  }
  if (!IsRectEmpty(Band.EmptyRect)) FillRectColor(C, Band.EmptyRect, Color());
  bool dividerMark = false;
  int y = Band.RowsRect.Top;
  for (const auto& [n, h] : Band.Rows) {
    TRect r(Band.RowsRect.Left, y, Band.RowsRect.Right, y + h);
    if (FPaintStyle != ipsCategorized) {
      DrawGridLine(C, TRect(r.Left, r.Bottom - FGridLineWidth, r.Right, r.Bottom), n);
      r.Bottom -= FGridLineWidth;
    }
    PaintRow(C, r, n, dividerMark);
    y += h;
  }
}

void TCustomvmInspector::DrawGridLine(TCanvas* C, const TRect& Line, TvmInspectorNode* Node) {
  if (IsRectEmpty(Line)) return;
  switch (FPaintStyle) {
    case ipsStandard:
    case ipsExtended:
      // A dotted line: grid colour on the background colour.
      for (int x = Line.Left; x < Line.Right; ++x)
        C->SetPixels(x, Line.Top, ((x + Line.Top) & 1) ? Color() : FGridColor);
      break;
    case ipsSimple:
      FillRectColor(C, Line, FGridColor);
      break;
    case ipsNET: {
      TRect p1(Line.Left, Line.Top, Line.Left + FIndentWidth, Line.Bottom),
          p2(p1.Right, Line.Top, Line.Right, Line.Bottom);
      TvmInspectorNode* root = GetRootNode(Node);
      const bool topCategory = !Node->Parent() && IsCategoryNode(Node);
      TvmInspectorNode* next = Node->GetNext();
      TColor c1 = next ? Color() : FGridColor, c2 = FGridColor;
      if (topCategory) {
        c1 = c2 = FButtonShadowColor;
        if (Node->Expanded()) {
          c1 = FButtonFaceColor;
          p1.Right -= 1;
          p2.Left -= 1;
        }
      } else if (next && !next->Parent() && IsCategoryNode(next)) {
        c1 = c2 = FButtonShadowColor;
      } else if (IsCategoryNode(root)) {
        if (root->GetLastVisibleDescendant() == Node)
          c1 = c2 = FButtonShadowColor;
        else
          c1 = FButtonFaceColor;
      }
      FillRectColor(C, p1, c1);
      FillRectColor(C, p2, c2);
      break;
    }
    default:
      break;
  }
}

void TCustomvmInspector::DrawButton(TCanvas* C, const TRect& R, int State, bool Category) {
  if (State == 0 || IsRectEmpty(R)) return;
  const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
  switch (FPaintStyle) {
    case ipsStandard: {
      const std::string s = State == 1 ? "+" : "-";
      C->Brush()->SetStyle(bsClear);
      C->TextOut(cx - C->TextWidth(s) / 2, cy - C->TextHeight(s) / 2, s);
      C->Brush()->SetStyle(bsSolid);
      break;
    }
    case ipsExtended: {
      TRect b(cx - 5, cy - 5, cx + 5, cy + 5);
      TRect e = b;
      DrawEdge(C, e, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
      e = b;
      DrawEdge(C, e, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
      TRect in(b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1);
      DrawEdge(C, in, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
      const int x = b.Left + 1, y = b.Top + 1;
      FillRectColor(C, TRect(x + 1, y + 3, x + 6, y + 4), clBtnText);
      if (State == 1) FillRectColor(C, TRect(x + 3, y + 1, x + 4, y + 6), clBtnText);
      break;
    }
    default: {
      // The 9 x 9 outlined box (also the box button of ordinary rows in the categorized style).
      const int x = cx - 4, y = cy - 4;
      TColor fill = Color();
      if (FPaintStyle == ipsNET) fill = Category ? FButtonFaceColor : Color();
      FillRectColor(C, TRect(x, y, x + 9, y + 9), fill);
      const TColor ink = Font()->Color();
      FillRectColor(C, TRect(x, y, x + 9, y + 1), ink);
      FillRectColor(C, TRect(x, y + 8, x + 9, y + 9), ink);
      FillRectColor(C, TRect(x, y, x + 1, y + 9), ink);
      FillRectColor(C, TRect(x + 8, y, x + 9, y + 9), ink);
      FillRectColor(C, TRect(x + 2, y + 4, x + 7, y + 5), ink);
      if (State == 1) FillRectColor(C, TRect(x + 4, y + 2, x + 5, y + 7), ink);
      break;
    }
  }
}

void TCustomvmInspector::DrawTextCell(TCanvas* C, const TRect& R, TAlignment Alignment, const std::string& Text) {
  if (IsRectEmpty(R)) return;
  uint16_t flags = CTF_VCENTER;
  if (Alignment == taCenter) flags |= CTF_CENTER;
  if (Alignment == taRightJustify) flags |= CTF_RIGHT;
  if (FTextRowHeight < R.Height()) flags = (flags & ~CTF_VCENTER) | CTF_WORDWRAP;
  if (FOptions.Contains(ioDrawEndEllipsis)) flags |= CTF_END_ELLIPSIS;
  TRect text = R;
  text.Left += 1;
  DrawCellText(C, Text, -1, R, text, flags, C->Brush()->Color(), C->Font(), C->Brush()->Color(), C->Font()->Color(),
               nullptr);
}

void TCustomvmInspector::DrawCaptionText(TCanvas* C, TvmInspectorNode* Node, const std::string& Text, const TRect& R) {
  DrawTextCell(C, R, taLeftJustify, Text);
}

void TCustomvmInspector::DrawNode(TCanvas* C, TvmInspectorNode* Node, std::string& CaptionText,
                                  const TRect& CaptionRect, int ButtonState, const TRect& ImageRect,
                                  const TRect& ButtonRect, const TRect& IndentRect) {
  // The button and indent drawing leave the caption's brush and font colours as they were.
  const TColor brush = C->Brush()->Color(), ink = C->Font()->Color();
  if (FPaintStyle != ipsCategorized) {
    FillRectColor(C, IndentRect, C->Brush()->Color());
    if (FPaintStyle == ipsNET) {
      TvmInspectorNode* root = GetRootNode(Node);
      const bool catArea = IsCategoryNode(root);
      TRect a(IndentRect.Left, IndentRect.Top, IndentRect.Left + FIndentWidth - 1, IndentRect.Bottom);
      TRect v(a.Right, IndentRect.Top, a.Right + 1, IndentRect.Bottom);
      FillRectColor(C, a, catArea ? FButtonFaceColor : Color());
      FillRectColor(C, v, catArea && !(IsCategoryNode(Node) && !Node->Parent()) ? FButtonShadowColor : FGridColor);
    }
    DrawButton(C, ButtonRect, ButtonState, IsCategoryNode(Node));
  } else if (!IsCategoryNode(Node)) {
    DrawButton(C, ButtonRect, ButtonState, false);
  }
  C->Brush()->SetColor(brush);
  C->Brush()->SetStyle(bsSolid);
  C->Font()->SetColor(ink);
  if (!IsRectEmpty(ImageRect) && FImages) {
    const int idx = GetNodeImageIndex(Node);
    if (idx >= 0 && idx < FImages->Count())
      FImages->Draw(C, (ImageRect.Left + ImageRect.Right - FImageWidth + 1) / 2,
                    (ImageRect.Top + ImageRect.Bottom - FImageHeight + 1) / 2, idx);
  }
  DrawCaptionText(C, Node, CaptionText, CaptionRect);
}

void TCustomvmInspector::PaintRow(TCanvas* C, const TRect& R, TvmInspectorNode* Node, bool& DividerMark) {
  TvmInspectorNodeCells cells = CalcNodeCells(Node, R);
  std::string caption, value;
  GetNodeTexts(Node, caption, value);
  const bool category = IsCategoryNode(Node);
  const bool focused = Node == FFocusedNode;
  C->Brush()->SetColor(Color());
  C->Font()->Assign(Font());
  C->Font()->SetStyle({});
  FillRectColor(C, R, Color());
  if (FPaintStyle == ipsSimple || FPaintStyle == ipsNET || FPaintStyle == ipsCategorized) {
    if (FPaintStyle == ipsCategorized) {
      if (category) C->Brush()->SetColor(clBtnShadow);
      // The categorized frame.
      if (category) {
        FillRectColor(C, cells.Indent, Color());
        TRect f(cells.Indent.Right, R.Top, R.Right, R.Bottom);
        if (focused || IsHotNode(Node)) {
          const bool pressed = FPressedNode == Node && FMouseState == imsPressed;
          TRect e = f;
          DrawEdge(C, e, pressed ? BDR_SUNKENOUTER : BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
          DrawEdge(C, e, pressed ? BDR_SUNKENINNER : BDR_RAISEDINNER, BF_LEFT | BF_TOP);
        }
        TRect in = f;
        InflateRect(in, -1, -1);
        FillRectColor(C, in, clBtnShadow);
        if (cells.ButtonState != 0) {
          // Two chevrons.
          const TColor ink = Font()->Color();
          const int cx = (cells.Button.Left + cells.Button.Right) / 2,
                    cy = (cells.Button.Top + cells.Button.Bottom) / 2;
          for (int k = 0; k < 2; ++k)
            for (int i = 0; i < 3; ++i) {
              if (cells.ButtonState == 2) {
                const int y = cy - 3 + k * 3 + i;
                FillRectColor(C, TRect(cx - 2 + i, y, cx + 3 - i, y + 1), ink);
              } else {
                const int x = cx - 3 + k * 3 + i;
                FillRectColor(C, TRect(x, cy - 2 + i, x + 1, cy + 3 - i), ink);
              }
            }
        }
        C->Brush()->SetColor(clBtnShadow);
        C->Brush()->SetStyle(bsSolid);
      } else {
        FillRectColor(C, cells.Indent, Color());
      }
    } else if (FPaintStyle == ipsNET && category && !Node->Parent()) {
      C->Brush()->SetColor(FButtonFaceColor);
    }
    if (focused && FPaintStyle != ipsCategorized) {
      C->Brush()->SetColor(clHighlight);
      C->Font()->SetColor(clHighlightText);
    }
    const bool bold =
        (FPaintStyle == ipsNET || FPaintStyle == ipsCategorized) ? category : (category || Node->HasChildren());
    if (bold) C->Font()->SetStyle({fsBold});
  }
  if (category) C->Font()->SetStyle({fsBold});
  const bool clip = !category && cells.Indent.Right > cells.Caption.Right;
  if (clip) C->IntersectClipRect(R.Left, R.Top, cells.Caption.Right, R.Bottom);
  if (!IsRectEmpty(cells.Caption)) FillRectColor(C, cells.Caption, C->Brush()->Color());
  DrawNode(C, Node, caption, cells.Caption, cells.ButtonState, cells.Image, cells.Button, cells.Indent);
  if (FPaintStyle == ipsCategorized && focused && !category && (Focused() || (FEditor && FEditor->IsFocused()))) {
    C->DrawFocusRect(TRect(cells.Caption.Left - 1, cells.Caption.Top, cells.Caption.Right - 1, cells.Caption.Bottom));
  }
  if (clip) C->SelectClipRgn(nullptr);
  if (category) {
    DividerMark = false;
    return;
  }
  if (FPaintStyle == ipsCategorized) {
    FillRectColor(C, TRect(cells.Caption.Right, R.Top, cells.Caption.Right + 2, R.Bottom), Color());
  } else {
    const int x = R.Left + FDividerPos;
    TRect d(x, R.Top - (DividerMark ? 1 : 0), x + 1, R.Bottom);
    if (FPaintStyle == ipsSimple || FPaintStyle == ipsNET) {
      FillRectColor(C, d, FGridColor);
    } else {
      TRect e(x, d.Top, x + 2, d.Bottom);
      DrawEdge(C, e, EDGE_SUNKEN & (BDR_SUNKENOUTER | BDR_RAISEDINNER), BF_LEFT);
    }
    DividerMark = true;
  }
  C->Brush()->SetColor(Color());
  C->Font()->Assign(Font());
  C->Font()->SetColor(GetValueFontColor());
  if (FPaintStyle == ipsCategorized) {
    C->Brush()->SetColor(clWindow);
    C->Font()->SetColor(Font()->Color());
  } else if (focused && (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended)) {
    C->Brush()->SetColor(GetEditColor());
    C->Font()->SetColor(Font()->Color());
  }
  TAlignment al = taLeftJustify;
  DrawValueCell(C, cells.Value, al, value, Node);
}

void TCustomvmInspector::DrawValueCell(TCanvas* C, const TRect& R, TAlignment& Alignment, std::string& Text,
                                       TvmInspectorNode* Node) {
  if (IsRectEmpty(R)) return;
  TvmInspectorCellViewData cd;
  cd.Brush = C->Brush()->Color();
  cd.Font = C->Font();
  cd.BkColor = C->Brush()->Color();
  cd.TextColor = C->Font()->Color();
  cd.Alignment = Alignment;
  cd.Text = Text;
  cd.EndEllipsis = FOptions.Contains(ioDrawEndEllipsis);
  cd.Node = Node;
  cd.Hot = IsHotNode(Node);
  cd.Bounds = TRect(0, 0, R.Width(), R.Height());
  InflateRect(cd.Bounds, 2, 2);
  PaintCellValue(C, R, cd);
}

TRect TCustomvmInspector::GetEditorRect(const TRect& CellRect) const {
  TRect r = CellRect;
  InflateRect(r, 2, 2);
  return r;
}

// Editing.

std::unique_ptr<TvmEditStyle> TCustomvmInspector::CreateEditStyle(TvmInplaceEdit* Edit) {
  return std::make_unique<TvmInspectorEditStyle>(Edit, this);
}

bool TCustomvmInspector::CanEditNode() {
  return FOptions.Contains(ioEditing) && FFocusedNode && !IsCategoryNode(FFocusedNode) && FUpdateLock == 0 &&
         HandleAllocated() && FMouseState != imsDragging && !FDestroyingControl && !IsCustomizing();
}

TvmInplaceEdit* TCustomvmInspector::CreateEditor(TvmInspectorNode* Node) { return new TvmInplaceTextEdit(this); }

TRect TCustomvmInspector::GetEditorCellRect(TvmInspectorNode* Node) {
  TRect row = GetNodeRect(Node);
  if (IsRectEmpty(row)) return row;
  row.Bottom -= FGridLineWidth;
  TRect v = CalcNodeCells(Node, row).Value;
  return v;
}

void TCustomvmInspector::InitEditor(TvmInplaceEdit* Edit) {
  Edit->SetClosing(false);
  Edit->SetColor(ColorToRGB(GetEditColor()));
  Edit->SetFont(GetEditFont());
  Edit->SetContentOffsets({1, 0, 0, 0});
}

void TCustomvmInspector::ShowEditor(bool Force, bool Reload) {
  if (!CanEditNode()) {
    if (FEditor && FEditor->EditVisible()) HideEditor();
    return;
  }
  if (!Force && !Focused() && !(FEditor && FEditor->IsFocused())) {
    if (FEditor && !FEditor->IsFocused() && Reload) PrepareEditor();
    return;
  }
  const TRect r = GetEditorCellRect(FFocusedNode);
  TvmInplaceEdit* e = FindEditor(FFocusedNode);
  if (e && e == FEditor && FFocusedNode == FEditingNode &&
      FocusedComplexItem() == (FPreparedItem < 0 ? 0 : FPreparedItem)) {
    TRect cur = e->BoundsRect();
    InflateRect(cur, -2, -2);
    if (cur == r && !Force && e->EditVisible()) return;
    e->HideEdit();
    FActivatingEditor = true;
    TScopeExit done([this] { FActivatingEditor = false; });
    e->ActivateAt(r);
    e->PlaceCaretAtEnd();
    return;
  }
  FEditingNode = nullptr;
  CloseEditor(false);
  FEditor = e ? e : CreateEditor(FFocusedNode);
  if (FEditor->Parent() != this) FEditor->SetParent(this);
  PrepareEditor();
  FActivatingEditor = true;
  TScopeExit done([this] { FActivatingEditor = false; });
  FEditor->ActivateAt(r);
}

void TCustomvmInspector::PrepareEditor() {
  if (!FEditor) return;
  FPreparedItem = FocusedComplexItem();
  FEditingNode = FFocusedNode;
  BeginInitEditor();
  try {
    InitEditor(FEditor);
    Variant v;
    LoadEditorValue(FEditingNode, FEditor, v);
    FEditor->SetModifiedFlag(false);
    if (IsReadOnly()) FEditor->SetReadOnly(true);
    FEditor->SetActive(true);
  } catch (...) {
    EndInitEditor();
    throw;
  }
  EndInitEditor();
}

void TCustomvmInspector::CloseEditor(bool KeepShown) {
  if (!FEditor) return;
  TvmInplaceEdit* e = FEditor;
  const bool hadFocus = e->IsFocused();
  e->SetClosing(true);
  try {
    if (FEditingNode && !e->ComponentState().Contains(csDestroying)) {
      Variant v;
      ApplyEditorValue(FEditingNode, e, v);
    }
  } catch (...) {
    if (KeepShown && FEditingNode) {
      MakeNodeVisible(FEditingNode);
      Update();
    }
    FMouseState = imsNone;
    if (!KeepShown) {
      FEditingNode = nullptr;
      e->HideEdit();
    }
    throw;
  }
  if (!KeepShown) {
    FEditingNode = nullptr;
    e->HideEdit();
  }
  if ((KeepShown || hadFocus) && Visible() && HandleAllocated() && CanFocus() && !Focused()) {
    // The focus comes from the editor: entering must not show it again.
    FFocusFromEditor = true;
    try {
      SetFocus();
    } catch (...) {
      FFocusFromEditor = false;
      throw;
    }
    FFocusFromEditor = false;
  }
}

void TCustomvmInspector::HideEditor() {
  FEditingNode = nullptr;
  CloseEditor(false);
  FEditor = nullptr;
}

void TCustomvmInspector::PostEditor() {
  if (!FEditor) return;
  if (FEditor->EditVisible() && FEditingNode) FEditor->ValidateEdit();
  CloseEditor(true);
}

void TCustomvmInspector::UpdateEditor() {
  FEditingNode = nullptr;
  ShowEditor(false, true);
}

void TCustomvmInspector::ShowEditorOnClick() {
  if (FOptions.Contains(ioEditing) && FFocusedNode) ShowEditor(true, false);
}

void TCustomvmInspector::GetEditingText(std::string& S) {
  S.clear();
  if (FOptions.Contains(ioEditing) && FEditor) FEditor->GetEditingText(S);
}

void TCustomvmInspector::SetEditingText(const std::string& S) {
  if (FOptions.Contains(ioEditing) && FEditor) FEditor->SetEditingText(S);
}

bool TCustomvmInspector::IsEditWantTabs() { return FOptions.Contains(ioTabs); }

void TCustomvmInspector::InvalidateFocusedCell() { InvalidateNode(FFocusedNode, false); }

void TCustomvmInspector::EditKeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomvmContainer::EditKeyDown(Key, Shift);
  // A key typed into the editor changes its text only; the tree keys alone act on the rows (and
  // bring the row into view, which lays the inspector out anew).
  const bool treeKey = Key == VK_LEFT || Key == VK_RIGHT || Key == VK_MULTIPLY || Key == VK_ADD || Key == VK_SUBTRACT;
  if (treeKey) HandleTreeKeys(Key, Shift);
}

void TCustomvmInspector::HandleTreeKeys(uint16_t Key, TShiftState Shift) {
  if (Key == 0 || !FFocusedNode) return;
  TvmInspectorNode* n = FFocusedNode;
  MakeNodeVisible(n);
  const bool category = IsCategoryNode(n);
  if (category && Key == VK_LEFT) n->SetExpanded(false);
  if (category && Key == VK_RIGHT) n->SetExpanded(true);
  if (category || Shift.Contains(ssCtrl)) {
    if (Key == VK_MULTIPLY && n->HasChildren()) n->Expand(true);
    if (Key == VK_ADD) n->SetExpanded(true);
    if (Key == VK_SUBTRACT) n->SetExpanded(false);
  }
}

void TCustomvmInspector::FocusAdjacentRow(bool Forward) {
  if (FocusNextComplexItem(Forward)) return;
  if (FOptions.Contains(ioTabThrough)) {
    const bool atEnd = Forward ? FFocusedNode == GetLastNode() : FFocusedNode == Nodes(0);
    if (atEnd) {
      if (TForm* f = ParentFormOf(this)) f->SelectNext(this, Forward, true);
      return;
    }
  }
  SetFocusedIndex(GetFocusedAbsoluteIndex() + (Forward ? 1 : -1));
}

void TCustomvmInspector::CancelSizing() {
  HideRowHint();
  if (FMouseState == imsDivider || FMouseState == imsBandSizing || FMouseState == imsRowSizing) {
    const auto state = FMouseState;
    FMouseState = imsNone;
    SetCursor(crDefault);
    if (state == imsDivider && CanDynamicColumnSizing()) {
      SetDividerPos(FSavedSizingValue);
      Repaint();
    } else if (state == imsBandSizing) {
      SetBandWidth(FSavedSizingValue);
      Repaint();
    }
    FSizingNode = nullptr;
    Invalidate();
  }
}

void TCustomvmInspector::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomvmContainer::KeyDown(Key, Shift);
  if (Key == 0) return;
  if (FMouseState == imsDivider || FMouseState == imsBandSizing || FMouseState == imsRowSizing) {
    if (Key == VK_ESCAPE) CancelSizing();
    return;
  }
  if (Key == VK_ESCAPE && FMouseState == imsDragging) {
    EndRowDrag(false, 0, 0);
    return;
  }
  if (FNodes.empty()) return;
  const bool nav =
      Key == VK_TAB || Key == VK_RETURN || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
  const bool editing = FOptions.Contains(ioEditing);
  if (nav && editing) {
    const bool backward = Key == VK_PRIOR || Key == VK_UP || (Key == VK_TAB && Shift.Contains(ssShift));
    const bool forward = Key == VK_NEXT || Key == VK_DOWN || (Key == VK_TAB && !Shift.Contains(ssShift));
    bool boundary = false;
    if (!FOptions.Contains(ioTabThrough)) {
      if (backward && FFocusedNode == Nodes(0)) boundary = true;
      if (forward && FFocusedNode == GetLastNode()) boundary = true;
      if (boundary && Key == VK_TAB && CanMoveComplexItem(forward)) boundary = false;
    }
    if (boundary) {
      if (FEditor && FEditor->Modified()) {
        PostEditor();
        UpdateEditor();
      }
      return;
    }
    PostEditor();
  }
  const int pos = GetFocusedAbsoluteIndex();
  switch (Key) {
    case VK_TAB:
      if (!Shift.Contains(ssAlt)) FocusAdjacentRow(!Shift.Contains(ssShift));
      break;
    case VK_RETURN:
      if (FOptions.Contains(ioEnterThrough)) FocusAdjacentRow(true);
      break;
    case VK_ESCAPE:
      UpdateEditor();
      if (FEditor) FEditor->PlaceCaretAtEnd();
      break;
    case VK_PRIOR:
      SetFocusedIndex(Shift.Contains(ssCtrl) ? 0 : pos - FPage);
      break;
    case VK_NEXT:
      SetFocusedIndex(Shift.Contains(ssCtrl) ? GetAbsoluteCount() - 1 : pos + FPage);
      break;
    case VK_UP:
      SetFocusedIndex(pos - 1);
      break;
    case VK_DOWN:
      SetFocusedIndex(pos + 1);
      break;
    default:
      break;
  }
  HandleTreeKeys(Key, Shift);
  if (nav && editing) UpdateEditor();
}

void TCustomvmInspector::ScrollTimerTick() {
  if (FMouseState != imsPressed && FMouseState != imsDragging) {
    FScrollTimer->SetEnabled(false);
    return;
  }
  TPoint p = FMousePoint;
  p.X = std::clamp(p.X, 0, std::max(ClientWidth() - 1, 0));
  TvmInspectorViewInfo vi;
  CalcViewInfo(vi);
  for (const auto& band : vi.Bands) {
    if (p.X < band.Bounds.Left || p.X >= band.Bounds.Right) continue;
    int sum = 0;
    for (const auto& row : band.Rows) sum += row.second;
    const int top = band.RowsRect.Top, bottom = std::min(band.RowsRect.Top + sum, band.RowsRect.Bottom);
    const int pos = GetFocusedAbsoluteIndex();
    if (p.Y < top) {
      if (!IsBandLayout() && FFocusedNode != FTopNode) SetFocusedNode(FTopNode);
      SetFocusedIndex(GetFocusedAbsoluteIndex() - 1);
    } else if (p.Y >= bottom) {
      if (!IsBandLayout()) {
        TvmInspectorNode* last = GetNodeByAbsoluteIndex(std::max(GetTopIndex(), 0) + FPage - 1);
        if (last && FFocusedNode != last) SetFocusedNode(last);
      }
      SetFocusedIndex(GetFocusedAbsoluteIndex() + 1);
    }
    (void)pos;
    break;
  }
}

void TCustomvmInspector::ReleasePressed(bool Toggle) {
  FMouseState = imsNone;
  FScrollTimer->SetEnabled(false);
  TvmInspectorNode* n = FPressedNode;
  FPressedNode = nullptr;
  InvalidateNode(n, false);
  if (Toggle && n && FPaintStyle == ipsCategorized && IsCategoryNode(n)) n->SetExpanded(!n->Expanded());
}

void TCustomvmInspector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // A shown editor gives its value to its row before anything moves.
  if (Focused() || (FEditor && (FEditor->IsFocused() || FEditor->EditVisible()))) PostEditor();
  if (CanFocus() && !Focused()) SetFocus();
  FLastHit = HitTest(TPoint(X, Y));
  FFocusedItem = FLastHit.ItemIndex;
  if (FMouseState != imsNone && Button == mbRight) CancelSizing();
  if (Button == mbLeft && FMouseState == imsNone) {
    const auto code = FLastHit.HitTest;
    TvmInspectorNode* node = FLastHit.Node;
    if (code == ihDivider && FOptions.Contains(ioColumnSizing)) {
      FMouseState = imsDivider;
      FSavedSizingValue = FDividerPos;
      FSizingBand = std::max(FLastHit.BandIndex, 0);
      FTrackPos = X;
      SetMouseCapture(true);
      return;
    }
    if (code == ihBandSeparator && FOptions.Contains(ioBandSizing) && IsBandLayout()) {
      FMouseState = imsBandSizing;
      FSavedSizingValue = FBandWidth;
      FSizingBand = std::max(FLastHit.BandIndex, 0);
      FTrackPos = X;
      SetMouseCapture(true);
      return;
    }
    if (code == ihRowBottomEdge && node) {
      FMouseState = imsRowSizing;
      FSavedSizingValue = GetNodeRowHeight(node);
      FSizingNode = node;
      FTrackPos = Y;
      SetMouseCapture(true);
      return;
    }
    if (node && (code == ihIndent || code == ihButton || code == ihImage || code == ihCaption || code == ihValue ||
                 code == ihComplexSeparator)) {
      FMouseState = imsPressed;
      FPressedNode = node;
      FPressPoint = TPoint(X, Y);
      SetFocusedNode(node);
      const bool dbl = Shift.Contains(ssDouble);
      if (code == ihButton || (dbl && (code == ihImage || code == ihCaption))) {
        node->SetExpanded(!node->Expanded());
        if (dbl && OnDblClick) OnDblClick(this);
        FMouseState = imsNone;
        TCustomvmContainer::MouseDown(Button, Shift, X, Y);
        return;
      }
      try {
        ShowEditorOnClick();
        const int bandOffset = IsBandLayout() ? (FLastHit.BandIndex - FFirstBand) * FBandWidth : 0;
        if (X - bandOffset > FDividerPos) {
          FClickItem = FLastHit.ItemIndex;
          FClickEditor = FEditor;
          FClickNode = FEditingNode;
        }
      } catch (...) {
        FMouseState = imsNone;
        throw;
      }
      SetMouseCapture(true);
      if (OnClick) OnClick(this);
      FMousePoint = TPoint(X, Y);
      FScrollTimer->SetEnabled(true);
    } else if (code == ihNone) {
      if (Shift.Contains(ssDouble)) {
        if (OnDblClick) OnDblClick(this);
      } else {
        TvmInspectorNode* target = nullptr;
        if (IsBandLayout()) {
          if (FLastHit.BandIndex >= 0) {
            TvmInspectorViewInfo vi;
            CalcViewInfo(vi);
            for (const auto& b : vi.Bands)
              if (b.Index == FLastHit.BandIndex && !b.Rows.empty()) target = b.Rows.back().first;
          }
        } else {
          target = GetLastNode();
        }
        if (target) {
          SetFocusedNode(target);
          MakeNodeVisible(target);
          ShowEditorOnClick();
        }
      }
    }
  }
  TCustomvmContainer::MouseDown(Button, Shift, X, Y);
}

void TCustomvmInspector::MouseMove(TShiftState Shift, int X, int Y) {
  FLastHit = HitTest(TPoint(X, Y));
  FMousePoint = TPoint(X, Y);
  switch (FMouseState) {
    case imsDivider: {
      const int offset = (FSizingBand - FFirstBand) * FBandWidth;
      const int cw = GetContentWidth();
      int x = X - offset;
      x = std::min(x, cw - FMinColumnWidth);
      x = std::max(x, FMinColumnWidth);
      if (x + offset != FTrackPos) {
        FTrackPos = x + offset;
        if (CanDynamicColumnSizing()) SetDividerPos(x);
      }
      break;
    }
    case imsBandSizing: {
      const int k = FSizingBand - FFirstBand + 1;
      int x = std::max(X, FMinBandWidth * k);
      x = std::min(x, ClientWidth());
      if (x != FTrackPos) {
        FTrackPos = x;
        SetBandWidth(x / k);
      }
      break;
    }
    case imsRowSizing: {
      const TRect r = GetNodeRect(FSizingNode);
      int y = std::clamp(Y, r.Top + GetMinNodeRowHeight(FSizingNode) - 1, ClientHeight() - 1);
      FTrackPos = y;
      break;
    }
    case imsPressed: {
      HideRowHint();
      if (!Shift.Contains(ssLeft)) {
        ReleasePressed(true);
        break;
      }
      if (DraggingEnabled()) {
        if (std::abs(X - FPressPoint.X) > 5 || std::abs(Y - FPressPoint.Y) > 5) {
          TvmInspectorNode* n = FPressedNode ? FPressedNode : FLastHit.Node;
          if (n && n != FFocusedNode) SetFocusedNode(n);
          ReleasePressed(false);
          FDragNode = n;
          if (n) StartRowDrag();
        }
      } else if (FLastHit.Node) {
        SetFocusedNode(FLastHit.Node);
        if (FClickNode && FClickNode != FFocusedNode) FClickNode = nullptr;
      }
      break;
    }
    case imsDragging:
      if (FDragWindow) FDragWindow->DragMove(ClientToScreen(TPoint(X, Y)));
      SetCursor(DragCursorAt(X, Y));
      break;
    default: {
      FHintPoint = TPoint(X, Y);
      if (FShowRowHint) {
        const bool over = FLastHit.Node && (FLastHit.HitTest == ihCaption || FLastHit.HitTest == ihValue);
        if (!over) {
          FHintIndex = -1;
          FHintNode = nullptr;
          FHintCode = ihOutside;
          HideRowHint();
        } else if (FLastHit.AbsoluteIndex != FHintIndex || FLastHit.Node != FHintNode ||
                   FLastHit.HitTest != FHintCode) {
          FHintIndex = FLastHit.AbsoluteIndex;
          FHintNode = FLastHit.Node;
          FHintCode = FLastHit.HitTest;
          UpdateRowHint(true);
        }
      }
      TCursor c = crDefault;
      if ((FLastHit.HitTest == ihDivider && FOptions.Contains(ioColumnSizing)) ||
          (FLastHit.HitTest == ihBandSeparator && FOptions.Contains(ioBandSizing)))
        c = crHSplit;
      else if (FLastHit.HitTest == ihRowBottomEdge && FOptions.Contains(ioRowSizing))
        c = crVSplit;
      SetCursor(c);
      break;
    }
  }
  SetHotNode(FLastHit.Node);
  TCustomvmContainer::MouseMove(Shift, X, Y);
}

void TCustomvmInspector::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FLastHit = HitTest(TPoint(X, Y));
  switch (FMouseState) {
    case imsPressed:
      ReleasePressed(FLastHit.Node == FPressedNode);
      break;
    case imsDivider: {
      FMouseState = imsNone;
      SetDividerPos(X - (FSizingBand - FFirstBand) * FBandWidth);
      break;
    }
    case imsBandSizing: {
      FMouseState = imsNone;
      const int k = FSizingBand - FFirstBand + 1;
      SetBandWidth(std::max(std::min(X, ClientWidth()), FMinBandWidth * k) / k);
      break;
    }
    case imsRowSizing: {
      FMouseState = imsNone;
      const TRect r = GetNodeRect(FSizingNode);
      const int y = std::clamp(Y, r.Top + GetMinNodeRowHeight(FSizingNode) - 1, ClientHeight() - 1);
      SetNodeRowHeight(FSizingNode, y - r.Top + 1);
      FSizingNode = nullptr;
      break;
    }
    case imsDragging:
      EndRowDrag(true, X, Y);
      break;
    default:
      break;
  }
  SetMouseCapture(false);
  SetCursor(crDefault);
  if (FEditor && FEditingNode && FEditor == FClickEditor && FEditingNode == FClickNode && FLastHit.HitTest == ihValue &&
      FLastHit.ItemIndex == FClickItem) {
    FClickEditor = nullptr;
    FClickNode = nullptr;
    FEditor->AfterMouseActivate();
    FEditor->Invalidate();
  }
  TCustomvmContainer::MouseUp(Button, Shift, X, Y);
}

void TCustomvmInspector::MouseLeave() {
  SetHotNode(nullptr);
  HideRowHint();
  FHintIndex = -1;
  FHintNode = nullptr;
  FHintCode = ihOutside;
  TCustomvmContainer::MouseLeave();
}

void TCustomvmInspector::DoEnter() {
  TCustomvmContainer::DoEnter();
  InvalidateNode(FFocusedNode, false);
  if (FFocusFromEditor || (FEditor && FEditor->IsFocused())) return;
  ShowEditor(true, false);
}

void TCustomvmInspector::DoExit() {
  // The focus going to the editor keeps a press.
  if (FMouseState == imsPressed && !FActivatingEditor && !(FEditor && FEditor->IsFocused())) ReleasePressed(false);
  InvalidateNode(FFocusedNode, false);
  TCustomvmContainer::DoExit();
}

// Row drag and drop.

void TCustomvmInspector::StartRowDrag() {
  FSavedDragCursor = Cursor();
  std::string caption;
  if (FDragNode) GetNodeCaption(FDragNode, caption);
  // The pressed point of the row stays under the pointer.
  const TRect r = FDragNode ? GetNodeRect(FDragNode) : TRect();
  BeginDragImage(caption, TPoint(FPressPoint.X - r.Left, FPressPoint.Y - r.Top), ClientToScreen(FMousePoint));
  FMouseState = imsDragging;
  FScrollTimer->SetEnabled(true);
  HideEditor();
  if (CanFocus() && !Focused()) SetFocus();
  if (FCustomizeForm) FCustomizeForm->Perform(WM_VMINSP_DRAGSTART, FDragNode && IsCategoryNode(FDragNode) ? 1 : 0);
}

void TCustomvmInspector::BeginDragImage(const std::string& Caption, TPoint HotSpot, const TPoint& ScreenPos) {
  FDragImage = std::make_unique<TBitmap>();
  MakeDragImage(Caption, FDragImage.get());
  HotSpot.X = std::clamp(HotSpot.X, 0, FDragImage->Width() - 1);
  HotSpot.Y = std::clamp(HotSpot.Y, 0, FDragImage->Height() - 1);
  if (!FDragWindow) FDragWindow = std::make_unique<TDragImage>();
  FDragWindow->SetImage(FDragImage.get(), FDragImage->TransparentColor(), HotSpot);
  FDragWindow->BeginDrag(ScreenPos);
}

void TCustomvmInspector::MakeDragImage(const std::string& Caption, TBitmap* Bitmap) {
  const int w = FDividerPos + 32, h = FTextRowHeight;
  Bitmap->SetSize(w, h);
  TCanvas* c = Bitmap->Canvas();
  // The halftone ground: the two colours alternate pixel by pixel.
  const TColor ground[2] = {ColorToRGB(clBtnShadow), ColorToRGB(Color())};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c->SetPixels(x, y, ground[(x + y) & 1]);
  c->Font()->Assign(Font());
  c->Font()->SetStyle({fsBold});
  c->Brush()->SetStyle(bsClear);
  TRect r(31, 1, w - 1, h - 1);
  c->DrawText(Caption, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  c->Brush()->SetStyle(bsSolid);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c->SetPixels(x, y, static_cast<TColor>(~ColorToRGB(c->Pixels(x, y)) & 0xFFFFFF));
  Bitmap->SetTransparentColor(c->Pixels(1, 0));
}

bool TCustomvmInspector::IsOverCustomizeForm(int X, int Y) const {
  if (!FCustomizeForm || !FCustomizeForm->Visible()) return false;
  return PtInRect(FCustomizeForm->BoundsRect(), ClientToScreen(TPoint(X, Y)));
}

TCursor TCustomvmInspector::DragCursorAt(int X, int Y) {
  if (IsOverCustomizeForm(X, Y)) return crvmInspHide;
  bool accept = false;
  DoDragOverRow(X, Y, accept);
  if (!accept) return crvmInspNoDrag;
  switch (HitTest(TPoint(X, Y)).HitTest) {
    case ihNone:
      return crvmInspAdd;
    case ihIndent:
    case ihButton:
    case ihImage:
      return crvmInspInsert;
    default:
      return crvmInspAddChild;
  }
}

void TCustomvmInspector::DoDragOverRow(int X, int Y, bool& Accept) {
  const auto code = HitTest(TPoint(X, Y)).HitTest;
  Accept = code == ihNone || code == ihIndent || code == ihButton || code == ihImage || code == ihCaption ||
           code == ihValue || code == ihComplexSeparator || code == ihDivider;
}

void TCustomvmInspector::DoDropRow(int X, int Y) {
  const TvmInspectorHitInfo h = HitTest(TPoint(X, Y));
  TvmInspectorNode* target = nullptr;
  TvmInspectorNodeAttachMode mode = inaAdd;
  switch (h.HitTest) {
    case ihNone:
      target = Nodes(0);
      mode = inaAdd;
      break;
    case ihIndent:
    case ihButton:
    case ihImage:
      target = h.Node;
      mode = inaInsert;
      break;
    case ihDivider:
    case ihCaption:
    case ihValue:
    case ihComplexSeparator:
      target = h.Node;
      mode = inaAddChild;
      break;
    default:
      return;
  }
  AcceptDraggedRow();
  if (FDragNode && target) FDragNode->MoveTo(target, mode);
}

void TCustomvmInspector::EndRowDrag(bool Drop, int X, int Y) {
  FScrollTimer->SetEnabled(false);
  if (Drop) DoDropRow(X, Y);
  SetCursor(FSavedDragCursor);
  FDragNode = nullptr;
  if (FDragWindow) FDragWindow->EndDrag();
  FDragWindow.reset();
  FDragImage.reset();
  FMouseState = imsNone;
  ShowEditor(true, false);
  Invalidate();
}

// The customizing window.

void TCustomvmInspector::SetCustomizeForm(TForm* Value) {
  if (Value == FCustomizeForm) return;
  if (TForm* old = FCustomizeForm) {
    FCustomizeForm = nullptr;
    old->RemoveFreeNotification(this);
    delete old;
  }
  FRefreshQueued = false;
  FCustomizeForm = Value;
  if (!Value) return;
  Value->FreeNotification(this);
  // The window's messages pass through here first: a delivered refresh may be asked for again,
  // and showing and hiding put back and remember its place.
  TWndMethod previous = Value->WindowProc;
  Value->WindowProc = [this, Value, previous](TMessage& M) {
    const bool attached = FCustomizeForm == Value;
    if (attached && M.Msg == WM_VMINSP_REFRESH) FRefreshQueued = false;
    if (previous)
      previous(M);
    else
      Value->DefaultWindowProc(M);
    if (attached && FCustomizeForm == Value && M.Msg == WM_SHOWWINDOW) {
      if (M.WParam)
        DoShowCustomizeForm();
      else
        DoHideCustomizeForm();
    }
  };
  HideEditor();
}

void TCustomvmInspector::RequestCustomizeRefresh() {
  if (!FCustomizeForm || FRefreshQueued || FDestroyingControl) return;
  FRefreshQueued = PostMessage(FCustomizeForm, WM_VMINSP_REFRESH);
}

void TCustomvmInspector::DoShowCustomizeForm() {
  const TRect& b = FCustomizeBounds;
  if (FCustomizeForm && b.Left != vmInspUnsetBound)
    FCustomizeForm->SetBounds(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
  if (OnShowCustomizeForm) OnShowCustomizeForm(this);
}

void TCustomvmInspector::DoHideCustomizeForm() {
  if (FCustomizeForm) FCustomizeBounds = FCustomizeForm->BoundsRect();
  if (OnHideCustomizeForm) OnHideCustomizeForm(this);
}

void TCustomvmInspector::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomvmContainer::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FCustomizeForm) {
    FCustomizeForm = nullptr;
    FRefreshQueued = false;
  }
}

// Layout storage.

void TCustomvmInspector::LoadLayout(TvmRegIniWrapper& Wrapper, const std::string& Path) {
  SetBandWidth(Wrapper.ReadInteger(Path, "BandWidth", FBandWidth));
  SetDividerPos(Wrapper.ReadInteger(Path, "DividerPos", FDividerPos));
}

void TCustomvmInspector::SaveLayout(TvmRegIniWrapper& Wrapper, const std::string& Path) {
  Wrapper.WriteInteger(Path, "BandWidth", FBandWidth);
  Wrapper.WriteInteger(Path, "DividerPos", FDividerPos);
}

void TCustomvmInspector::LoadFromRegistryPath(const std::string& Path) {
  const std::string p = NormalizePath(Path);
  TRegIniFile reg("");
  if (!reg.OpenKey(p, false)) return;
  reg.CloseKey();
  TvmRegIniWrapper w;
  w.IniObject = &reg;
  BeginUpdate();
  try {
    LoadLayout(w, p);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomvmInspector::SaveToRegistryPath(const std::string& Path) {
  const std::string p = NormalizePath(Path);
  TRegIniFile reg("");
  TvmRegIniWrapper w;
  w.IniObject = &reg;
  w.EraseSectionsWithPrefix(p);
  SaveLayout(w, p);
}

void TCustomvmInspector::LoadFromIniFile(const std::string& FileName, const std::string& Path) {
  TMemIniFile ini(FileName);
  TvmRegIniWrapper w;
  w.IniObject = &ini;
  BeginUpdate();
  try {
    LoadLayout(w, NormalizePath(Path));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomvmInspector::SaveToIniFile(const std::string& FileName, const std::string& Path) {
  TMemIniFile ini(FileName);
  TvmRegIniWrapper w;
  w.IniObject = &ini;
  w.EraseSectionsWithPrefix(NormalizePath(Path));
  SaveLayout(w, NormalizePath(Path));
  ini.UpdateFile();
}

// ---------------------------------------------------------------------------------------------
// Rows.

VM_DEFINE_CLASS(TvmInspectorComplexRowItems)

TvmInspectorRow::TvmInspectorRow(TComponent* AOwner) : TComponent(AOwner) {}

TvmInspectorRow::~TvmInspectorRow() {
  if (FInspector) {
    TCustomvmInspectorControl* c = FInspector;
    c->RemoveRow(this);
  }
}

void TvmInspectorRow::EnsureViewData() {
  TvmInplaceEditClass cls = GetEditClass();
  if (!FViewData || FViewDataClass != cls) {
    FViewData.reset(cls->NewViewData());
    FViewDataClass = cls;
  }
}

void TvmInspectorRow::SetInspector(TCustomvmInspectorControl* Value) {
  if (Value == FInspector) return;
  if (FInspector) FInspector->RemoveRow(this);
  if (Value) Value->AddRow(this);
}

void TvmInspectorRow::Changed() {
  if (FInspector) FInspector->RowChanged(this);
}

void TvmInspectorRow::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Changed();
}

std::string TvmInspectorRow::GetCaption() {
  if (FCaptionSet) return FCaption;
  std::string s;
  GetDefaultCaption(s);
  return s;
}

void TvmInspectorRow::SetCaption(const std::string& Value) {
  if (FCaptionSet && FCaption == Value) return;
  FCaption = Value;
  FCaptionSet = true;
  Changed();
}

bool TvmInspectorRow::CaptionStored() {
  std::string d;
  GetDefaultCaption(d);
  return FCaptionSet && FCaption != d;
}

void TvmInspectorRow::SetCharCase(TEditCharCase Value) {
  if (Value == FCharCase) return;
  FCharCase = Value;
  Changed();
}

void TvmInspectorRow::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  Changed();
}

void TvmInspectorRow::SetIsCategory(bool Value) {
  if (Value == FIsCategory) return;
  FIsCategory = Value;
  Changed();
}

int TvmInspectorRow::GetMaxLength() { return FMaxLengthSet ? FMaxLength : GetDefaultMaxLength(); }

void TvmInspectorRow::SetMaxLength(int Value) {
  if (FMaxLengthSet && FMaxLength == Value) return;
  FMaxLength = Value;
  FMaxLengthSet = true;
  Changed();
}

bool TvmInspectorRow::GetReadOnly() {
  const bool r = FReadOnlySet ? FReadOnly : GetDefaultReadOnly();
  if (!r && FInspector) return FInspector->IsReadOnly();
  return r;
}

void TvmInspectorRow::SetReadOnly(bool Value) {
  if (FReadOnlySet && FReadOnly == Value) return;
  FReadOnly = Value;
  FReadOnlySet = true;
  Changed();
}

int TvmInspectorRow::GetDefaultRowHeight() {
  if (!FInspector) return 0;
  return FInspector->RowHeight() - (FIsCategory && FInspector->PaintStyle() == ipsCategorized ? 2 : 0);
}

int TvmInspectorRow::GetRowHeight() {
  const int d = GetDefaultRowHeight();
  return FRowHeightSet && FRowHeightValue >= d ? FRowHeightValue : d;
}

void TvmInspectorRow::SetRowHeight(int Value) {
  FRowHeightValue = Value;
  if (Value > GetDefaultRowHeight()) {
    FRowHeightSet = true;
  } else {
    FRowHeightValue = GetDefaultRowHeight();
    FRowHeightSet = false;
  }
  Changed();
}

void TvmInspectorRow::SetPasswordChar(char Value) {
  if (Value == FPasswordChar) return;
  FPasswordChar = Value;
  Changed();
}

void TvmInspectorRow::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (!Value)
    HideNode();
  else
    ShowNode();
  if (FInspector) {
    FInspector->RequestCustomizeRefresh();
    FInspector->CustomizeListChanged();
  }
}

void TvmInspectorRow::HideNode() {
  if (!FNode || !FInspector) return;
  TCustomvmInspectorControl* c = FInspector;
  c->BeginUpdate();
  try {
    for (int i = FNode->Count() - 1; i >= 0; --i) {
      auto* child = static_cast<TvmInspectorRowNode*>(FNode->Items(i));
      if (child->Row)
        child->Row->SetVisible(false);
      else
        delete child;
    }
    TvmInspectorRowNode* n = FNode;
    n->Row = nullptr;
    FNode = nullptr;
    delete n;
  } catch (...) {
    c->EndUpdate();
    throw;
  }
  c->EndUpdate();
}

void TvmInspectorRow::ShowNode() {
  if (FNode || !FInspector) return;
  TCustomvmInspectorControl* c = FInspector;
  for (TvmInspectorRow* r : c->FRows)
    if (auto* cx = dynamic_cast<TvmInspectorComplexRow*>(r)) cx->RemoveRowFromItems(this);
  c->FCreatingNode = true;
  auto* n = static_cast<TvmInspectorRowNode*>(c->CreateNode());
  n->Row = this;
  FNode = n;
  n->InsertInto(nullptr, c->GetNodeCount());
  c->NodeCreated(n);
  c->FCreatingNode = false;
}

void TvmInspectorRow::EditChange(TObject* Sender) {
  if (FInspector && FInspector->IsInitializingEditor()) return;
  if (FInspector) FInspector->DoEditChange(this);
  if (OnChange) OnChange(this);
}

void TvmInspectorRow::DoDrawCaption(TCanvas* Canvas, const TRect& R, std::string& Text, TFont* Font, TColor& Color,
                                    bool& Done) {
  if (!OnDrawCaption) return;
  Color = Canvas->Brush()->Color();
  OnDrawCaption(this, Canvas, R, Text, Font, Color, Done);
  Canvas->Brush()->SetColor(Color);
}

void TvmInspectorRow::DoDrawValue(TCanvas* Canvas, const TRect& R, std::string& Text, TFont* Font, TColor& Color,
                                  bool& Done) {
  if (!OnDrawValue) return;
  Color = Canvas->Brush()->Color();
  OnDrawValue(this, Canvas, R, Text, Font, Color, Done);
  Canvas->Brush()->SetColor(Color);
}

void TvmInspectorRow::DoEdited() {
  if (FInspector && FInspector->OnEdited) FInspector->OnEdited(FInspector, FNode, this);
}

void TvmInspectorRow::DoValidate(TObject* Sender, std::string& ErrorText, bool& Accept) {
  if (FInspector && FInspector->IsInitializingEditor()) return;
  if (FInspector) FInspector->DoEditValidate(this, ErrorText, Accept);
  if (OnValidate) OnValidate(this, ErrorText, Accept);
}

int TvmInspectorRow::GetMinRowHeight(TCanvas* Canvas) { return Canvas->TextHeight("Wg") + 3; }

void TvmInspectorRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  if (dynamic_cast<TvmInplaceTextEdit*>(Edit)) SetEditText(Edit->GetWindowText());
  Value = EditText();
}

void TvmInspectorRow::InitEditor(TvmInplaceEdit* Edit) {
  Edit->SetReadOnly(GetReadOnly());
  Edit->OnChange = [this](TObject* S) { EditChange(S); };
  Edit->OnValidate = [this](TObject* S, std::string& E, bool& A) { DoValidate(S, E, A); };
  if (auto* t = dynamic_cast<TvmInplaceTextEdit*>(Edit)) {
    t->SetCharCase(FCharCase);
    t->SetMaxLength(GetMaxLength());
    t->SetPasswordChar(FPasswordChar);
    if (t->HandleAllocated()) t->ClearUndo();
  }
}

void TvmInspectorRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  Edit->SetEditValue(EditText());
  Value = Edit->GetWindowText();
}

bool TvmInspectorRow::IsValueUnchanged(const Variant& Value) {
  return FInspector ? FInspector->IsRowValueUnchanged(Value, this) : false;
}

bool TvmInspectorRow::IsTextClipped(bool ForValue, const TRect& R, std::string& Text) {
  if (!FInspector || !FInspector->HandleAllocated()) return false;
  Text = ForValue ? EditText() : GetCaption();
  TCanvas* c = FInspector->Canvas();
  c->Font()->Assign(FInspector->Font());
  if (FIsCategory) c->Font()->SetStyle({fsBold});
  return c->TextWidth(Text) > R.Width();
}

void TvmInspectorRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  VD->IsEnabled = true;
  VD->IsFocused = false;
  VD->IsHot = CellInfo.Hot;
  VD->BorderColor = clWindowFrame;
  const bool cat = FInspector && FInspector->PaintStyle() == ipsCategorized;
  VD->BorderStyle = cat && (CellInfo.Hot || (FNode && FNode->Focused())) ? xbsFlat : xbsNone;
  VD->ButtonStyle = cat || (FInspector && FInspector->Flat()) ? btsFlat : bts3D;
  VD->ButtonsTransparent = false;
  VD->ShowFocusRect = false;
  VD->Edges = AllEdges;
  VD->Shadow = false;
  VD->OpaqueText = false;
  VD->IsTransparent = false;
  VD->ContentOffsets = {1, 0, 0, 0};
  VD->Bounds = CellInfo.Bounds;
  VD->TextLayout = 0;
  if (CellInfo.Font) VD->Font->Assign(CellInfo.Font);
  VD->Brush = CellInfo.Brush;
  VD->BkColor = CellInfo.BkColor;
  VD->TextColor = CellInfo.TextColor;
  VD->Alignment = CellInfo.Alignment;
  VD->Value = CellInfo.Text;
  VD->TextLength = CellInfo.DataLength;
  VD->IsTextEditor = true;
  VD->MeasureOnly = false;
  if (auto* t = dynamic_cast<TvmTextEditViewData*>(VD)) {
    t->CharCase = FCharCase;
    t->EllipsisAtEnd = CellInfo.EndEllipsis;
    t->PasswordChar = FPasswordChar;
  }
}

void TvmInspectorRow::RestoreDefaults() {
  FCaptionSet = FReadOnlySet = FMaxLengthSet = FRowHeightSet = false;
  FAlignment = taLeftJustify;
  ShowHint = false;
  FIsCategory = false;
  FCharCase = ecNormal;
  FRowHeightValue = 0;
}

void TvmInspectorRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TvmInspectorRow*>(Source);
  if (!src) {
    TComponent::Assign(Source);
    return;
  }
  if (FInspector) FInspector->BeginUpdate();
  RestoreDefaults();
  FAlignment = src->FAlignment;
  if (src->FCaptionSet) SetCaption(src->FCaption);
  if (src->FReadOnlySet) SetReadOnly(src->FReadOnly);
  if (src->FMaxLengthSet) SetMaxLength(src->FMaxLength);
  if (src->FRowHeightSet) SetRowHeight(src->FRowHeightValue);
  Hint = src->Hint;
  ShowHint = src->ShowHint;
  FIsCategory = src->FIsCategory;
  FCharCase = src->FCharCase;
  FPasswordChar = src->FPasswordChar;
  FImageIndex = src->FImageIndex;
  SetVisible(src->FVisible);
  if (FInspector) FInspector->EndUpdate();
}

void TvmInspectorTextRow::SetText(const std::string& Value) {
  FText = Value;
  Changed();
}

void TvmInspectorTextRow::SetEditText(const std::string& S) {
  if (S == FText) return;
  FText = S;
  Changed();
}

void TvmInspectorTextRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  if (auto* t = dynamic_cast<TvmInspectorTextRow*>(Source)) FText = t->FText;
}

// ---------------------------------------------------------------------------------------------
// Complex rows.

TvmInspectorComplexRow* TvmInspectorComplexRowItem::ComplexRow() const {
  auto* items = dynamic_cast<TvmInspectorComplexRowItems*>(Collection());
  return items ? items->ComplexRow() : nullptr;
}

void TvmInspectorComplexRowItem::SetFixed(bool Value) {
  if (Fixed == Value) return;
  Fixed = Value;
  Changed(false);
}

void TvmInspectorComplexRowItem::SetMinWidth(int Value) {
  MinWidth = std::max(Value, 0);
  SetWidth(Width);
}

void TvmInspectorComplexRowItem::SetWidth(int Value) {
  Width = std::max(Value, MinWidth);
  Changed(false);
}

void TvmInspectorComplexRowItem::SetRow(TvmInspectorRow* Value) {
  if (Value == Row) return;
  TvmInspectorComplexRow* owner = ComplexRow();
  TCustomvmInspectorControl* insp = owner ? owner->Inspector() : nullptr;
  if (Value && (dynamic_cast<TvmInspectorComplexRow*>(Value) || !insp || Value->Inspector() != insp)) return;
  TCollection* items = Collection();
  if (items) items->BeginUpdate();
  TScopeExit endUpdate([&] {
    if (items) items->EndUpdate();
  });
  if (Value) {
    Value->SetVisible(false);
    for (TvmInspectorRow* r : insp->FRows)
      if (auto* cx = dynamic_cast<TvmInspectorComplexRow*>(r)) cx->RemoveRowFromItems(Value);
  }
  Row = Value;
}

void TvmInspectorComplexRowItem::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TvmInspectorComplexRowItem*>(Source);
  if (!src) {
    TCollectionItem::Assign(Source);
    return;
  }
  TCollection* items = Collection();
  if (items) items->BeginUpdate();
  TScopeExit endUpdate([&] {
    if (items) items->EndUpdate();
  });
  MinWidth = 20;
  Width = 50;
  SetFixed(src->Fixed);
  SetMinWidth(src->MinWidth);
  SetRow(src->Row);
  SetWidth(src->Width);
}

std::string TvmInspectorComplexRowItem::GetDisplayName() {
  if (Row && !Row->Name().empty()) return Row->Name();
  return TCollectionItem::GetDisplayName();
}

TvmInspectorComplexRowItems::TvmInspectorComplexRowItems(TvmInspectorComplexRow* ARow)
    : TCollection(TvmInspectorComplexRowItem::StaticClass()), FRow(ARow) {}

TPersistent* TvmInspectorComplexRowItems::GetOwner() { return FRow; }

int TvmInspectorComplexRowItems::IndexOfRow(const TvmInspectorRow* Row) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Row == Row) return i;
  return -1;
}

void TvmInspectorComplexRowItems::Update(TCollectionItem*) {
  if (FRow) FRow->ItemsChanged();
}

TvmInspectorComplexRow::TvmInspectorComplexRow(TComponent* AOwner)
    : TvmInspectorTextRow(AOwner), FItems(std::make_unique<TvmInspectorComplexRowItems>(this)) {}

TvmInspectorComplexRow::~TvmInspectorComplexRow() = default;

int TvmInspectorComplexRow::AddItem() { return FItems->Add()->Index(); }

void TvmInspectorComplexRow::SetItemRow(int Index, TvmInspectorRow* Value) { Items(Index).SetRow(Value); }

void TvmInspectorComplexRow::SetItemWidth(int Index, int Value) { Items(Index).SetWidth(Value); }

void TvmInspectorComplexRow::SetItemMinWidth(int Index, int Value) { Items(Index).SetMinWidth(Value); }

void TvmInspectorComplexRow::SetItemFixed(int Index, bool Value) { Items(Index).SetFixed(Value); }

void TvmInspectorComplexRow::ClearItems() { FItems->Clear(); }

int TvmInspectorComplexRow::IndexOfRow(const TvmInspectorRow* Row) const { return FItems->IndexOfRow(Row); }

void TvmInspectorComplexRow::RemoveRowFromItems(const TvmInspectorRow* Row) {
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->Row == Row) FItems->Items(i)->Row = nullptr;
}

void TvmInspectorComplexRow::ItemsChanged() {
  if (FInspector && !ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying) &&
      !FInspector->DestroyingControl())
    FInspector->LayoutChanged();
}

void TvmInspectorComplexRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TvmInspectorComplexRow*>(Source);
  if (FInspector) FInspector->BeginUpdate();
  TScopeExit endUpdate([&] {
    if (FInspector) FInspector->EndUpdate();
  });
  TvmInspectorTextRow::Assign(Source);
  if (src) FItems->Assign(src->FItems.get());
}

void TvmInspectorComplexRowViewInfo::Calculate(const TRect& R) {
  FItems.clear();
  int W = R.Width();
  if (!FRow || W <= 0) return;
  const int n = FRow->ItemCount();
  for (int i = 0; i < n; ++i) {
    const auto& it = FRow->Items(i);
    TvmInspectorComplexRowViewInfoItem e;
    e.Row = it.Row;
    e.Fixed = it.Fixed;
    e.MinWidth = it.MinWidth;
    e.Width = it.Width;
    if (e.Fixed) W -= e.Width;
    FItems.push_back(e);
    if (i < n - 1) {
      TvmInspectorComplexRowViewInfoItem s;
      s.Fixed = true;
      s.IsSeparator = true;
      s.Width = FSeparatorWidth;
      W -= s.Width;
      FItems.push_back(s);
    }
  }
  W = std::max(W, 0);
  for (;;) {
    int S = 0;
    for (auto& e : FItems)
      if (!e.Fixed) S += e.Width;
    bool again = false;
    for (auto& e : FItems) {
      if (e.Fixed) continue;
      const int share = S < 1 ? 0 : e.Width * W / S;
      if (share < e.MinWidth) {
        e.Width = e.MinWidth;
        e.Fixed = true;
        W = std::max(W - e.Width, 0);
        again = true;
        break;
      }
    }
    if (again) continue;
    for (auto& e : FItems)
      if (!e.Fixed) e.Width = S < 1 ? 0 : e.Width * W / S;
    break;
  }
  int x = R.Left;
  for (auto& e : FItems) {
    e.Bounds = TRect(x, R.Top, x + e.Width, R.Bottom);
    x += e.Width;
  }
  if (!FItems.empty() && FItems.back().Bounds.Right < R.Right) FItems.back().Bounds.Right = R.Right;
}

// ---------------------------------------------------------------------------------------------
// The row control.

VM_DEFINE_CLASS(TCustomvmInspectorControl)

TCustomvmInspectorControl::TCustomvmInspectorControl(TComponent* AOwner) : TCustomvmInspector(AOwner) {}

TCustomvmInspectorControl::~TCustomvmInspectorControl() {
  try {
    SaveToRegistry();
  } catch (...) {}
  FDestroyingControl = true;
  FEditor = nullptr;
  // Rows are removed and destroyed, last first; their nodes go with them.
  while (!FRows.empty()) {
    TvmInspectorRow* r = FRows.back();
    RemoveRow(r);
    delete r;
  }
  ClearNodes();
}

TvmInspectorRow* TCustomvmInspectorControl::CreateRow(TvmInspectorRowClass RowClass) {
  auto* row = static_cast<TvmInspectorRow*>(RowClass->Create(Owner()));
  NameNewRow(row);
  row->SetInspector(this);
  return row;
}

void TCustomvmInspectorControl::NameNewRow(TvmInspectorRow* Row) {
  // The control's name, "Row" and the next free number.
  for (int n = GetRowCount() + 1;; ++n) {
    try {
      Row->SetName(Name() + "Row" + std::to_string(n));
      return;
    } catch (const Exception&) {
      if (Name().empty()) return;
    }
  }
}

void TCustomvmInspectorControl::AddRow(TvmInspectorRow* Row) {
  if (!FCreatingNode && !Row->FNode) {
    FCreatingNode = true;
    auto* n = static_cast<TvmInspectorRowNode*>(CreateNode());
    n->Row = Row;
    Row->FNode = n;
    n->InsertInto(nullptr, GetNodeCount());
    Row->FInspector = this;
    try {
      NodeCreated(n);
    } catch (...) {
      FCreatingNode = false;
      throw;
    }
    FCreatingNode = false;
  }
  FRows.push_back(Row);
  Row->FInspector = this;
  Row->EnsureViewData();
  RowChanged(Row);
  RequestCustomizeRefresh();
}

void TCustomvmInspectorControl::RemoveRow(TvmInspectorRow* Row) {
  Row->FInspector = nullptr;
  const bool hadNode = Row->FNode != nullptr;
  if (TvmInspectorRowNode* n = Row->FNode) {
    n->Row = nullptr;
    Row->FNode = nullptr;
    delete n;
  }
  FRows.erase(std::remove(FRows.begin(), FRows.end(), Row), FRows.end());
  for (TvmInspectorRow* r : FRows)
    if (auto* cx = dynamic_cast<TvmInspectorComplexRow*>(r)) cx->RemoveRowFromItems(Row);
  if (Row == FCustomizeDragRow) FCustomizeDragRow = nullptr;
  if (hadNode && !FDestroyingControl) RowChanged(Row);
  RequestCustomizeRefresh();
}

void TCustomvmInspectorControl::DragRowFromCustomizeForm(TvmInspectorRow* Row) {
  if (!Row || Row->Inspector() != this || FMouseState != imsNone) return;
  FCustomizeDragRow = Row;
  FDragNode = nullptr;
  FSavedDragCursor = Cursor();
  BeginDragImage(Row->GetCaption(), TPoint(16, FTextRowHeight / 2), Mouse->CursorPos());
  FMouseState = imsDragging;
  HideEditor();
  SetMouseCapture(true);
}

void TCustomvmInspectorControl::AcceptDraggedRow() {
  TvmInspectorRow* r = FCustomizeDragRow;
  FCustomizeDragRow = nullptr;
  if (!r || r->Inspector() != this) return;
  r->SetVisible(true);
  FDragNode = r->Node();
}

void TCustomvmInspectorControl::DoDropRow(int X, int Y) {
  // Over the customizing window the dragged row is put away.
  if (IsOverCustomizeForm(X, Y)) {
    if (TvmInspectorRow* r = GetRowOfNode(FDragNode)) r->SetVisible(false);
    return;
  }
  TCustomvmInspector::DoDropRow(X, Y);
}

void TCustomvmInspectorControl::EndRowDrag(bool Drop, int X, int Y) {
  TCustomvmInspector::EndRowDrag(Drop, X, Y);
  FCustomizeDragRow = nullptr;
}

void TCustomvmInspectorControl::ClearRows() {
  BeginUpdate();
  try {
    while (!FRows.empty()) {
      TvmInspectorRow* r = FRows.back();
      RemoveRow(r);
      delete r;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomvmInspectorControl::AssignRows(TCustomvmInspectorControl* Source) {
  if (!Source) return;
  BeginUpdate();
  try {
    while (!FRows.empty()) {
      TvmInspectorRow* r = FRows.back();
      RemoveRow(r);
      delete r;
    }
    for (TvmInspectorRow* src : Source->FRows) {
      TvmInspectorRow* r = CreateRow(static_cast<TvmInspectorRowClass>(src->ClassType()));
      try {
        r->SetName(src->Name());
      } catch (const Exception&) {}
      r->Assign(src);
    }
    std::function<void(TvmInspectorNode*, TvmInspectorNode*)> copy = [&](TvmInspectorNode* S, TvmInspectorNode* D) {
      for (int i = 0; i < S->Count(); ++i) {
        auto* sc = static_cast<TvmInspectorRowNode*>(S->Items(i));
        TvmInspectorRow* r = sc->Row ? FindRow(sc->Row->Name()) : nullptr;
        if (!r || !r->Node()) continue;
        r->Node()->MoveTo(D, inaAddChild);
        copy(sc, r->Node());
      }
    };
    for (int i = 0; i < Source->GetNodeCount(); ++i) {
      auto* sn = static_cast<TvmInspectorRowNode*>(Source->Nodes(i));
      TvmInspectorRow* r = sn->Row ? FindRow(sn->Row->Name()) : nullptr;
      if (!r || !r->Node()) continue;
      r->Node()->MoveTo(Nodes(0), inaAdd);
      copy(sn, r->Node());
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TvmInspectorRow* TCustomvmInspectorControl::GetRow(int Index) const {
  if (Index < 0 || Index >= GetRowCount()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FRows[static_cast<size_t>(Index)];
}

int TCustomvmInspectorControl::GetVisibleRowCount() const {
  return static_cast<int>(std::count_if(FRows.begin(), FRows.end(), [](TvmInspectorRow* r) { return r->Visible(); }));
}

TvmInspectorRow* TCustomvmInspectorControl::FindRow(const std::string& Name) const {
  for (TvmInspectorRow* r : FRows)
    if (SameText(r->Name(), Name)) return r;
  return nullptr;
}

TvmInspectorRow* TCustomvmInspectorControl::GetRowOfNode(TvmInspectorNode* Node) const {
  auto* rn = dynamic_cast<TvmInspectorRowNode*>(Node);
  if (!rn || !rn->Row) return nullptr;
  if (IsComplexNode(Node)) {
    auto* cx = static_cast<TvmInspectorComplexRow*>(rn->Row);
    const int i = FocusedComplexItem();
    return i >= 0 && i < cx->ItemCount() ? cx->Items(i).Row : nullptr;
  }
  return rn->Row;
}

void TCustomvmInspectorControl::RowChanged(TvmInspectorRow* Row) {
  if (!ComponentState().Contains(csLoading)) LayoutChanged();
}

TvmInspectorNode* TCustomvmInspectorControl::CreateNode() { return new TvmInspectorRowNode(this); }

void TCustomvmInspectorControl::NodeCreated(TvmInspectorNode* Node) {
  auto* rn = static_cast<TvmInspectorRowNode*>(Node);
  if (!FCreatingNode && !rn->Row) {
    // A node made directly gets a row of the default class.
    FCreatingNode = true;
    auto* row = static_cast<TvmInspectorRow*>(GetDefaultRowClass()->Create(Owner()));
    NameNewRow(row);
    rn->Row = row;
    row->FNode = rn;
    FCreatingNode = false;
    AddRow(row);
  }
  TCustomvmInspector::NodeCreated(Node);
}

int TCustomvmInspectorControl::CalcDefaultRowHeight() {
  int h = CalcTextRowHeight();
  for (TvmInspectorRow* r : FRows)
    if (r->Visible()) h = std::max(h, r->GetMinRowHeight(Canvas()));
  return h;
}

int TCustomvmInspectorControl::GetNodeRowHeight(TvmInspectorNode* Node) {
  auto* rn = static_cast<TvmInspectorRowNode*>(Node);
  TvmInspectorRow* row = rn ? rn->Row : nullptr;
  if (!row) return TCustomvmInspector::GetNodeRowHeight(Node);
  if (!FOptions.Contains(ioRowAutoHeight) || row->RowHeightStored()) return row->GetRowHeight();
  // Automatic height from the value text.
  TRect row0(0, 0, IsBandLayout() ? FBandWidth - 3 : ClientWidth(), FRowHeight);
  TvmInspectorNodeCells cells = CalcNodeCells(Node, row0);
  if (IsComplexNode(Node)) {
    auto* cx = static_cast<TvmInspectorComplexRow*>(row);
    TvmInspectorComplexRowViewInfo vi(cx, FValueSeparatorWidth);
    vi.Calculate(cells.Value);
    int h = FRowHeight;
    for (int i = 0; i < vi.Count(); ++i) {
      const auto& e = vi.Items(i);
      if (e.IsSeparator || !e.Row) continue;
      h = std::max(h, CalcRowTextHeight(e.Row, e.Bounds, e.Row->DisplayText()));
    }
    return h;
  }
  return CalcRowTextHeight(row, cells.Value, row->DisplayText());
}

int TCustomvmInspectorControl::CalcRowTextHeight(TvmInspectorRow* Row, const TRect& Cell, const std::string& Text) {
  int answer = FRowHeight;
  TvmInspectorCellViewData cd;
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  cd.Font = c->Font();
  cd.Brush = cd.BkColor = Color();
  cd.TextColor = Font()->Color();
  cd.Text = Text;
  cd.EndEllipsis = FOptions.Contains(ioDrawEndEllipsis);
  cd.Node = Row->Node();
  cd.Bounds = TRect(0, 0, Cell.Width(), Cell.Height());
  InflateRect(cd.Bounds, 2, 2);
  Row->EnsureViewData();
  TvmEditViewData* vd = Row->ViewData();
  Row->InitViewData(vd, cd);
  vd->Bounds = GetEditorRect(Cell);
  vd->TextLayout = 3;
  TvmEditViewInfo vi;
  TvmInplaceEditClass cls = Row->GetEditClass();
  cls->CalcViewInfo(vd, false, vi);
  vd->MeasureOnly = true;
  vd->LineCount = 0;
  bool ok = false;
  try {
    ok = cls->DrawContent(c, vi.ContentRect, vd, false);
  } catch (...) {
    vd->MeasureOnly = false;
    throw;
  }
  vd->MeasureOnly = false;
  if (ok) {
    int h = vd->MeasuredHeight;
    if (FMaxRowTextLineCount > 0 && FMaxRowTextLineCount < vd->LineCount) h = FMaxRowTextLineCount * vd->LineHeight;
    answer = h + 3 + FGridLineWidth + (Row->IsCategory() ? 0 : 2 * FRowInset);
    answer = std::max(answer, Row->GetRowHeight());
  }
  return answer;
}

void TCustomvmInspectorControl::SetNodeRowHeight(TvmInspectorNode* Node, int Height) {
  if (TvmInspectorRow* r = static_cast<TvmInspectorRowNode*>(Node)->Row) r->SetRowHeight(Height);
}

bool TCustomvmInspectorControl::IsCategoryNode(const TvmInspectorNode* Node) const {
  auto* rn = static_cast<const TvmInspectorRowNode*>(Node);
  return rn && rn->Row && rn->Row->IsCategory();
}

bool TCustomvmInspectorControl::IsComplexNode(const TvmInspectorNode* Node) const {
  auto* rn = static_cast<const TvmInspectorRowNode*>(Node);
  return rn && rn->Row && !rn->Row->IsCategory() && dynamic_cast<TvmInspectorComplexRow*>(rn->Row);
}

void TCustomvmInspectorControl::CheckComplexItemIndex(int& Index) {
  if (!IsComplexNode(FFocusedNode)) return;
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(FFocusedNode)->Row);
  if (cx->ItemCount() == 0)
    Index = -1;
  else
    Index = std::clamp(Index, 0, cx->ItemCount() - 1);
}

bool TCustomvmInspectorControl::FocusNextComplexItem(bool Forward) {
  if (FFocusedNode && IsComplexNode(FFocusedNode)) {
    auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(FFocusedNode)->Row);
    if (cx->ItemCount() >= 2) {
      const int before = FocusedComplexItem();
      SetFocusedComplexItem(before + (Forward ? 1 : -1));
      if (FocusedComplexItem() != before) return true;
    }
    const bool edge = Forward ? FFocusedNode == GetLastNode() : FFocusedNode == Nodes(0);
    if (!edge) FFocusedItem = Forward ? 0 : cx->ItemCount() - 1;
    return false;
  }
  FFocusedItem = Forward ? 0 : 2147483647;
  return false;
}

bool TCustomvmInspectorControl::CanMoveComplexItem(bool Forward) {
  if (!FFocusedNode || !IsComplexNode(FFocusedNode)) return false;
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(FFocusedNode)->Row);
  if (cx->ItemCount() <= 1) return false;
  int i = FocusedComplexItem() + (Forward ? 1 : -1);
  CheckComplexItemIndex(i);
  return i != FocusedComplexItem();
}

void TCustomvmInspectorControl::HitTestComplexItem(TvmInspectorNode* Node, const TRect& CellRect, TRect& ItemRect,
                                                   int& ItemIndex, const TPoint& P) const {
  ItemIndex = -1;
  ItemRect = TRect();
  if (!IsComplexNode(Node) || !PtInRect(CellRect, P)) return;
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(Node)->Row);
  TvmInspectorComplexRowViewInfo vi(cx, FValueSeparatorWidth);
  vi.Calculate(CellRect);
  for (int i = 0; i < vi.Count(); ++i) {
    const auto& e = vi.Items(i);
    if (P.X < e.Bounds.Left || P.X >= e.Bounds.Right) continue;
    if (e.IsSeparator) {
      ItemRect = vi.Items(i - 1).Bounds;
    } else {
      ItemIndex = i / 2;
      ItemRect = e.Bounds;
    }
    return;
  }
}

void TCustomvmInspectorControl::GetNodeCaption(TvmInspectorNode* Node, std::string& Caption) {
  TCustomvmInspector::GetNodeCaption(Node, Caption);
  if (!Node || !IsComplexNode(Node) || !Caption.empty()) return;
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(Node)->Row);
  const std::string sep = FComplexRowSeparator.empty() ? "-" : FComplexRowSeparator;
  for (int i = 0; i < cx->ItemCount(); ++i) {
    TvmInspectorRow* r = cx->Items(i).Row;
    if (!r) continue;
    if (i > 0) Caption += sep;
    Caption += r->GetCaption();
  }
}

int TCustomvmInspectorControl::GetNodeImageIndex(TvmInspectorNode* Node) const {
  auto* rn = static_cast<TvmInspectorRowNode*>(Node);
  return rn && rn->Row ? rn->Row->ImageIndex() : -1;
}

void TCustomvmInspectorControl::GetNodeTexts(TvmInspectorNode* Node, std::string& Caption, std::string& Value) {
  auto* rn = static_cast<TvmInspectorRowNode*>(Node);
  Caption.clear();
  Value.clear();
  if (!rn || !rn->Row) return;
  Caption = rn->Row->GetCaption();
  rn->Row->GetDisplayText(Value);
}

void TCustomvmInspectorControl::PaintComplexSeparator(TCanvas* C, const TRect& R, bool Value) {
  const std::string& sep = FComplexRowSeparator;
  if (!sep.empty()) {
    DrawTextCell(C, R, taCenter, sep);
    return;
  }
  FillRectColor(C, R, Value && FPaintStyle == ipsCategorized ? Color() : C->Brush()->Color());
  if (Value && FPaintStyle == ipsCategorized) return;
  const int x = (R.Left + R.Right) / 2;
  TRect e(x, R.Top + 2, x + 2, R.Bottom - 2);
  DrawEdge(C, e, EDGE_SUNKEN & (BDR_SUNKENOUTER | BDR_RAISEDINNER), BF_LEFT);
}

void TCustomvmInspectorControl::DrawCaptionText(TCanvas* C, TvmInspectorNode* Node, const std::string& Text,
                                                const TRect& R) {
  if (!IsComplexNode(Node)) {
    TCustomvmInspector::DrawCaptionText(C, Node, Text, R);
    return;
  }
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(Node)->Row);
  TvmInspectorComplexRowViewInfo vi(cx, FCaptionSeparatorWidth);
  vi.Calculate(R);
  if (vi.IsEmpty()) {
    DrawTextCell(C, R, taLeftJustify, cx->GetCaption());
    return;
  }
  for (int i = 0; i < vi.Count(); ++i) {
    const auto& e = vi.Items(i);
    if (e.IsSeparator)
      PaintComplexSeparator(C, e.Bounds, false);
    else if (e.Row)
      DrawTextCell(C, e.Bounds, taLeftJustify, e.Row->GetCaption());
  }
}

void TCustomvmInspectorControl::DrawNode(TCanvas* C, TvmInspectorNode* Node, std::string& CaptionText,
                                         const TRect& CaptionRect, int ButtonState, const TRect& ImageRect,
                                         const TRect& ButtonRect, const TRect& IndentRect) {
  TvmInspectorRow* row = static_cast<TvmInspectorRowNode*>(Node)->Row;
  bool done = false;
  TColor color = C->Brush()->Color();
  if (OnDrawCaption && row) {
    OnDrawCaption(row, C, CaptionRect, CaptionText, C->Font(), color, done);
    C->Brush()->SetColor(color);
  }
  if (!done && row) row->DoDrawCaption(C, CaptionRect, CaptionText, C->Font(), color, done);
  if (!done)
    TCustomvmInspector::DrawNode(C, Node, CaptionText, CaptionRect, ButtonState, ImageRect, ButtonRect, IndentRect);
}

void TCustomvmInspectorControl::DrawValueCell(TCanvas* C, const TRect& R, TAlignment& Alignment, std::string& Text,
                                              TvmInspectorNode* Node) {
  TvmInspectorRow* row = static_cast<TvmInspectorRowNode*>(Node)->Row;
  if (row) Alignment = row->Alignment();
  bool done = false;
  TColor color = C->Brush()->Color();
  if (OnDrawValue && row) {
    OnDrawValue(row, C, R, Text, C->Font(), color, done);
    C->Brush()->SetColor(color);
  }
  if (!done && row) row->DoDrawValue(C, R, Text, C->Font(), color, done);
  if (!done) TCustomvmInspector::DrawValueCell(C, R, Alignment, Text, Node);
}

void TCustomvmInspectorControl::PaintRowValue(TCanvas* C, TvmInspectorRow* Row, const TRect& R,
                                              TvmInspectorCellViewData& CellData) {
  Row->EnsureViewData();
  TvmEditViewData* vd = Row->ViewData();
  Row->InitViewData(vd, CellData);
  // Painted as the editor shows it (over the cell grown by 2 on each side), inside the cell.
  TRegion saved;
  const bool hadClip = C->GetClipRgn(saved) == 1;
  C->IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);
  Row->GetEditClass()->DrawView(C, GetEditorRect(R), vd);
  C->SelectClipRgn(hadClip ? &saved : nullptr);
}

void TCustomvmInspectorControl::PaintCellValue(TCanvas* C, const TRect& R, TvmInspectorCellViewData& CellData) {
  auto* rn = static_cast<TvmInspectorRowNode*>(CellData.Node);
  if (!rn || !rn->Row) return;
  if (!IsComplexNode(rn)) {
    PaintRowValue(C, rn->Row, R, CellData);
    return;
  }
  auto* cx = static_cast<TvmInspectorComplexRow*>(rn->Row);
  TvmInspectorComplexRowViewInfo vi(cx, FValueSeparatorWidth);
  vi.Calculate(R);
  if (vi.IsEmpty()) {
    DrawTextCell(C, R, taLeftJustify, std::string());
    return;
  }
  for (int i = 0; i < vi.Count(); ++i) {
    const auto& e = vi.Items(i);
    if (e.IsSeparator) {
      PaintComplexSeparator(C, e.Bounds, true);
    } else if (e.Row) {
      TvmInspectorCellViewData cd = CellData;
      cd.Text = e.Row->DisplayText();
      cd.Bounds = TRect(0, 0, e.Bounds.Width(), e.Bounds.Height());
      InflateRect(cd.Bounds, 2, 2);
      PaintRowValue(C, e.Row, e.Bounds, cd);
    } else {
      DrawTextCell(C, e.Bounds, taLeftJustify, std::string());
    }
  }
}

bool TCustomvmInspectorControl::IsCellTextClipped(TvmInspectorNode* Node, int ItemIndex, bool& IsRowHint, int& HintX,
                                                  std::string& Text, const TRect& CellRect, bool ForValue,
                                                  const TRect& ItemRect) {
  TvmInspectorRow* row = nullptr;
  TRect cell = CellRect;
  if (IsComplexNode(Node)) {
    auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(Node)->Row);
    if (ItemIndex >= 0 && ItemIndex < cx->ItemCount()) row = cx->Items(ItemIndex).Row;
    cell = ItemRect;
  } else {
    row = static_cast<TvmInspectorRowNode*>(Node)->Row;
  }
  if (!row || IsRectEmpty(cell)) return false;
  HintX = ForValue ? cell.Left - 1 : cell.Left - 2;
  cell.Left += 2;
  if (!ForValue && row->ShowHint && !row->Hint.empty()) {
    Text = row->Hint;
    IsRowHint = true;
    return true;
  }
  if (ForValue) cell.Right -= 1;
  return row->IsTextClipped(ForValue, cell, Text);
}

void TCustomvmInspectorControl::ContentChanged() {
  TCustomvmInspector::ContentChanged();
  if (!FEditor || !FEditor->EditVisible()) return;
  // Text the user is typing stays: the editor only follows its cell. An unmodified editor takes
  // the row's value again.
  if (FEditor->Modified() && FEditingNode && FEditingNode == FFocusedNode)
    ShowEditor(false, false);
  else
    UpdateEditor();
}

bool TCustomvmInspectorControl::CanEditModify() {
  TvmInspectorRow* r = GetRowOfNode(FEditingNode ? FEditingNode : FFocusedNode);
  if (!r || r->GetReadOnly() || !r->CanModify()) return false;
  FModifyRequested = true;
  return true;
}

TColor TCustomvmInspectorControl::GetEditColor() {
  TColor c = clWindow;
  if (FFocusedNode && OnGetEditColor)
    if (TvmInspectorRow* r = GetRowOfNode(FFocusedNode)) OnGetEditColor(r, c);
  return c;
}

TFont* TCustomvmInspectorControl::GetEditFont() {
  if (FFocusedNode && OnGetEditFont) {
    FEditFont->Assign(Font());
    TFont* f = FEditFont.get();
    if (TvmInspectorRow* r = GetRowOfNode(FFocusedNode)) OnGetEditFont(r, f);
    return f;
  }
  return Font();
}

bool TCustomvmInspectorControl::CanEditNode() {
  if (!TCustomvmInspector::CanEditNode()) return false;
  TvmInspectorRow* r = GetRowOfNode(FFocusedNode);
  if (!r) return false;
  bool allow = true;
  if (OnEditing) OnEditing(this, FFocusedNode, r, allow);
  return allow;
}

void TCustomvmInspectorControl::UpdateEditor() {
  FModifyRequested = false;
  TCustomvmInspector::UpdateEditor();
}

TvmInplaceEdit* TCustomvmInspectorControl::CreateEditor(TvmInspectorNode* Node) {
  TvmInspectorRow* r = GetRowOfNode(Node);
  TvmInplaceEditClass cls = r ? r->GetEditClass() : TvmInplaceTextEdit::StaticClass();
  auto* e = static_cast<TvmInplaceEdit*>(cls->Create(this));
  FEditorCache[cls] = e;
  return e;
}

TvmInplaceEdit* TCustomvmInspectorControl::FindEditor(TvmInspectorNode* Node) {
  TvmInspectorRow* r = GetRowOfNode(Node);
  if (!r) return nullptr;
  auto it = FEditorCache.find(r->GetEditClass());
  return it == FEditorCache.end() ? nullptr : it->second;
}

TRect TCustomvmInspectorControl::GetEditorCellRect(TvmInspectorNode* Node) {
  TRect cell = TCustomvmInspector::GetEditorCellRect(Node);
  if (!IsComplexNode(Node) || IsRectEmpty(cell)) return cell;
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(Node)->Row);
  TvmInspectorRow* r = GetRowOfNode(Node);
  TvmInspectorComplexRowViewInfo vi(cx, FValueSeparatorWidth);
  vi.Calculate(cell);
  for (int i = 0; i < vi.Count(); ++i)
    if (!vi.Items(i).IsSeparator && vi.Items(i).Row == r) return vi.Items(i).Bounds;
  return cell;
}

void TCustomvmInspectorControl::InitEditor(TvmInplaceEdit* Edit) {
  TCustomvmInspector::InitEditor(Edit);
  if (TvmInspectorRow* r = GetRowOfNode(FEditingNode)) r->InitEditor(Edit);
}

void TCustomvmInspectorControl::LoadEditorValue(TvmInspectorNode* Node, TvmInplaceEdit* Edit, Variant& Value) {
  Value = std::string();
  if (FFocusedNode)
    if (TvmInspectorRow* r = GetRowOfNode(FFocusedNode)) r->LoadEditValue(Edit, Value);
  FLastValue = Value;
}

void TCustomvmInspectorControl::ApplyEditorValue(TvmInspectorNode* Node, TvmInplaceEdit* Edit, Variant& Value) {
  if (!FModifyRequested && !Edit->GetModified()) return;
  TvmInspectorRow* r = GetRowOfNode(Node);
  if (r) {
    r->ApplyEditValue(Edit, Value);
    FLastValue = Value;
    if (OnEdited) OnEdited(this, FFocusedNode, GetRowOfNode(FFocusedNode));
  }
  FModifyRequested = false;
}

void TCustomvmInspectorControl::DoEditChange(TObject* Sender) {
  if (OnEditChange) OnEditChange(Sender);
}

void TCustomvmInspectorControl::DoEditValidate(TObject* Sender, std::string& ErrorText, bool& Accept) {
  if (OnEditValidate) OnEditValidate(Sender, ErrorText, Accept);
}

// The row order.

std::string TCustomvmInspectorControl::WriteRowOrder() {
  std::string body;
  PutInt32(body, GetNodeCount());
  std::vector<TvmInspectorNode*> expanded;
  std::function<void(TvmInspectorNode*)> write = [&](TvmInspectorNode* N) {
    auto* rn = static_cast<TvmInspectorRowNode*>(N);
    const std::string name = rn->Row ? rn->Row->Name() : std::string();
    PutInt32(body, 8);
    PutInt32(body, N->Count());
    PutInt32(body, static_cast<int32_t>(name.size()));
    body += name;
    if (N->Expanded()) expanded.push_back(N);
    for (int i = 0; i < N->Count(); ++i) write(N->Items(i));
  };
  for (TvmInspectorNode* n : FNodes) write(n);
  PutInt32(body, static_cast<int32_t>(expanded.size()));
  for (TvmInspectorNode* n : expanded) {
    auto* rn = static_cast<TvmInspectorRowNode*>(n);
    const std::string name = rn->Row ? rn->Row->Name() : std::string();
    PutInt32(body, 8);
    PutInt32(body, 0);
    PutInt32(body, static_cast<int32_t>(name.size()));
    body += name;
  }
  std::string out;
  PutInt32(out, static_cast<int32_t>(body.size()));
  return out + body;
}

bool TCustomvmInspectorControl::ApplyRowOrder(const std::string& Data) {
  if (Data.size() < 8) return Data.empty();
  TOrderReader rd{Data};
  int32_t length = 0, top = 0;
  rd.Int(length);
  if (!rd.Int(top) || top < 0) return false;
  bool ok = true;
  BeginUpdate();
  // One record: its size, then size bytes of which the first two are the child count and the
  // name's length, then the name. Damaged or unknown records stop the order.
  auto record = [&](int32_t& Children, std::string& Name) -> bool {
    int32_t size = 0;
    if (!rd.Int(size) || size < 8) return false;
    int32_t a = 0, b = 0;
    if (!rd.Int(a) || !rd.Int(b)) return false;
    rd.Pos += static_cast<size_t>(size - 8);
    if (a < 0 || !rd.Bytes(b, Name)) return false;
    Children = a;
    return true;
  };
  // No stored order nests deeper than there are rows: deeper records are damage (and would
  // otherwise recurse as deep as the bytes allow).
  int depth = 0;
  std::function<bool(TvmInspectorNode*, bool)> readNode = [&](TvmInspectorNode* Parent, bool Skip) -> bool {
    if (depth > GetRowCount()) return false;
    ++depth;
    TScopeExit leave([&depth] { --depth; });
    int32_t children = 0;
    std::string name;
    if (!record(children, name)) return false;
    TvmInspectorRow* row = FindRow(name);
    if (!row) return false;
    TvmInspectorNode* node = row->Node();
    const bool skip = Skip || !node;
    if (!skip) {
      if (Parent)
        node->MoveTo(Parent, inaAddChild);
      else
        node->MoveTo(Nodes(0), inaAdd);
    }
    for (int32_t i = 0; i < children; ++i)
      if (!readNode(skip ? nullptr : node, skip)) return false;
    return true;
  };
  try {
    for (int32_t i = 0; i < top && ok; ++i) ok = readNode(nullptr, false);
    if (ok && !rd.AtEnd()) {
      FullCollapse();
      int32_t count = 0;
      if (!rd.Int(count) || count < 0) ok = false;
      for (int32_t i = 0; ok && i < count; ++i) {
        int32_t reserved = 0;
        std::string name;
        if (!record(reserved, name)) {
          ok = false;
          break;
        }
        TvmInspectorRow* row = FindRow(name);
        if (!row) {
          ok = false;
          break;
        }
        if (row->Node()) row->Node()->SetExpanded(true);
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return ok;
}

void TCustomvmInspectorControl::Loaded() {
  BeginUpdate();
  FApplyingLayout = true;
  try {
    TCustomvmInspector::Loaded();
    if (!FPendingOrder.empty()) ApplyRowOrder(FPendingOrder);
    LoadFromRegistry();
    FPendingOrder.clear();
    for (TvmInspectorRow* r : std::vector<TvmInspectorRow*>(FRows))
      if (!r->Visible()) r->HideNode();
    if (TvmInspectorNode* n = Nodes(0)) {
      FFocusedNode = n;
      FTopNode = n;
    }
  } catch (...) {
    FApplyingLayout = false;
    EndUpdate();
    throw;
  }
  FApplyingLayout = false;
  EndUpdate();
}

void TCustomvmInspectorControl::LoadFromRegistry() {
  if (FOptions.Contains(ioStoreToRegistry) && !FRegistryPath.empty()) LoadFromRegistryPath(FRegistryPath);
}

void TCustomvmInspectorControl::SaveToRegistry() {
  if (FOptions.Contains(ioStoreToRegistry) && !FRegistryPath.empty()) SaveToRegistryPath(FRegistryPath);
}

void TCustomvmInspectorControl::SaveLayout(TvmRegIniWrapper& Wrapper, const std::string& Path) {
  TCustomvmInspector::SaveLayout(Wrapper, Path);
  Wrapper.EraseSection(Path + "\\Categories");
  for (TvmInspectorRow* r : FRows)
    if (r->IsCategory()) Wrapper.WriteString(Path + "\\Categories", r->Name(), r->GetCaption());
  const std::string order = WriteRowOrder();
  if (dynamic_cast<TRegistry*>(Wrapper.IniObject))
    Wrapper.WriteBinaryData(Path, "Nodes", order.data(), static_cast<int>(order.size()));
  else
    Wrapper.WriteString(Path, "Nodes", ToHex(order));
  for (TvmInspectorRow* r : FRows) {
    const std::string s = Path + "\\Rows\\" + r->Name();
    Wrapper.WriteInteger(s, "RowHeight", r->RowHeightStored() ? r->GetRowHeight() : -1);
    Wrapper.WriteBool(s, "Visible", r->Visible());
  }
}

void TCustomvmInspectorControl::LoadLayout(TvmRegIniWrapper& Wrapper, const std::string& Path) {
  // Categories.
  TStringList names;
  Wrapper.ReadSection(Path + "\\Categories", names);
  for (int i = GetRowCount() - 1; i >= 0; --i) {
    TvmInspectorRow* r = FRows[static_cast<size_t>(i)];
    if (r->IsCategory() && names.IndexOf(r->Name()) < 0) {
      r->SetVisible(false);
      RemoveRow(r);
      delete r;
    }
  }
  for (int i = 0; i < names.Count(); ++i) {
    const std::string name = names.Strings(i);
    if (FindRow(name)) continue;
    TvmInspectorRow* r = CreateRow(GetDefaultRowClass());
    r->SetIsCategory(true);
    r->SetVisible(false);
    try {
      r->SetName(name);
    } catch (const Exception&) {}
    r->SetCaption(Wrapper.ReadString(Path + "\\Categories", name, name));
  }
  // Nodes.
  std::string order;
  if (dynamic_cast<TRegistry*>(Wrapper.IniObject)) {
    const int size = Wrapper.ReadBinaryData(Path, "Nodes", nullptr, 0);
    if (size > 0) {
      order.resize(static_cast<size_t>(size));
      Wrapper.ReadBinaryData(Path, "Nodes", order.data(), size);
    }
  } else {
    order = FromHex(Wrapper.ReadString(Path, "Nodes", ""));
  }
  if (!order.empty()) {
    for (TvmInspectorRow* r : std::vector<TvmInspectorRow*>(FRows)) {
      bool inComplex = false;
      for (TvmInspectorRow* c : FRows)
        if (auto* cx = dynamic_cast<TvmInspectorComplexRow*>(c); cx && cx->IndexOfRow(r) >= 0) inComplex = true;
      if (!inComplex) r->SetVisible(true);
    }
    ApplyRowOrder(order);
  }
  // Rows.
  for (TvmInspectorRow* r : std::vector<TvmInspectorRow*>(FRows)) {
    const std::string s = Path + "\\Rows\\" + r->Name();
    r->SetRowHeight(Wrapper.ReadInteger(s, "RowHeight", -1));
    r->SetVisible(Wrapper.ReadBool(s, "Visible", r->Visible()));
  }
  TCustomvmInspector::LoadLayout(Wrapper, Path);
}
