// The inspector's metrics and layout: row heights, bands, the divider, scrolling and the settings that
// change them.
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
#include "inspector/vm_inspector_impl.h"

namespace {

using inspector_impl::BandSeparatorWidth;

}  // namespace

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
  {
    TScopeExit restore([&] {
      --FUpdateLock;
      FLayoutRunning = false;
    });
    RecalcMetrics();
  }
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
  {
    TScopeFail endUpdate([&] { EndUpdate(); });
    if (!Node->IsVisible()) {
      for (TvmInspectorNode* p = Node->Parent(); p; p = p->Parent())
        if (!p->Expanded()) {
          p->SetExpanded(true);
          expanded = true;
        }
    }
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
  {
    TScopeExit resizing([&] { FResizing = false; });
    UpdateScrollBars();
    if (FOptions.Contains(ioAutoWidth) && !ComponentState().Contains(csLoading) && !FApplyingLayout)
      SetDividerPos(CalcAutoDividerPos());
    else
      SetDividerPos(FDividerPos);
    ValidateTopPosition();
  }
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
