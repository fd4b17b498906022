// Sizing bands, columns, rows and the header panels with the mouse, and best fit.
#include <algorithm>

#include "platform/guards.h"
#include "treelist/tl_treelist.h"

void TCustomvmTreeList::DoColumnsWidthChanged() {
  if (OnColumnsWidthChanged) OnColumnsWidthChanged(this);
}

bool TCustomvmTreeList::StartSizing(const TvmTreeListHitTestInfo& H, bool DoubleClick) {
  TvmTreeListLayout L;
  CalcLayout(L);
  switch (H.HitType) {
    case tlhBandEdge:
      if (H.Band < 0) return false;
      if (DoubleClick) {
        ApplyBestFitBand(H.Band);
        return true;
      }
      FState = tlsBandSizing;
      FSizingBand = H.Band;
      for (const auto& b : L.BandCells)
        if (b.Band == H.Band) FSizingOrigin = b.Rect.Left;
      FSizingPos = FSizingStartPos = H.X;
      break;
    case tlhColumnEdge:
      if (H.Column < 0) return false;
      if (DoubleClick) {
        ApplyBestFitColumn(H.Column);
        return true;
      }
      FState = tlsColumnSizing;
      FSizingColumn = H.Column;
      for (const auto& c : L.HeaderCells)
        if (c.Column == H.Column) FSizingOrigin = c.Rect.Left;
      FSizingPos = FSizingStartPos = H.X;
      break;
    case tlhRowEdge:
      if (!H.Node) return false;
      FState = tlsRowSizing;
      FSizingNode = H.Node;
      for (const auto& r : L.VisibleRows)
        if (r.Node == H.Node) FSizingOrigin = r.Top;
      FSizingPos = FSizingStartPos = H.Y;
      break;
    case tlhBandPanelEdge:
      FState = tlsBandPanelSizing;
      FSizingOrigin = L.BandPanelRect.Top;
      FSizingPos = FSizingStartPos = H.Y;
      break;
    case tlhHeaderPanelEdge:
      FState = tlsHeaderPanelSizing;
      FSizingOrigin = L.HeaderPanelRect.Top;
      FSizingPos = FSizingStartPos = H.Y;
      break;
    default:
      return false;
  }
  SetMouseCapture(true);
  Invalidate();
  return true;
}

void TCustomvmTreeList::GetSizingLimits(int& Min, int& Max) {
  bool unlimited = FExtendedOptions.Contains(tlxUnlimitedSizing);
  switch (FState) {
    case tlsBandSizing:
      Min = FSizingOrigin + GetBandMinWidth(FSizingBand);
      Max = unlimited ? 100000 : ClientWidth() - 2;
      break;
    case tlsColumnSizing:
      Min = FSizingOrigin + GetColumnMinWidth(FSizingColumn);
      if (!FOptions.Contains(tloAutoWidth) && unlimited)
        Max = 100000;
      else
        Max = ClientWidth() - 1;
      break;
    case tlsRowSizing:
      Min = FSizingOrigin + GetNodeRowHeight(FSizingNode, FMinRowHeight, true);
      Max = ClientHeight() - FFooterPanelHeight - FStatusHeight - 1;
      break;
    default:
      Min = -100000;
      Max = 100000;
  }
  if (Max < Min) Max = Min;
}

namespace {
// Band-panel height for k rows of band captions.
int BandPanelHeightFor(int K, bool Flat, int TextHeight) { return (Flat ? 0 : 1) + K * TextHeight + 5; }
}  // namespace

void TCustomvmTreeList::MoveSizingLine(int X, int Y) {
  int mn, mx;
  GetSizingLimits(mn, mx);
  int pos = FState == tlsBandSizing || FState == tlsColumnSizing ? X : Y;
  if (FState == tlsHeaderPanelSizing) {
    int rows = std::clamp((Y + FHeaderRowHeight / 2 - FSizingOrigin) / std::max(1, FHeaderRowHeight), 1,
                          GetHeaderMaxRowCount());
    pos = FSizingOrigin + rows * FHeaderRowHeight;
  } else if (FState == tlsBandPanelSizing) {
    bool flat = FLookStyle != tllRaised;
    int th = std::max(1, (FBandHeight - 5 - (flat ? 0 : 1)) / std::max(1, GetBandRowCount()));
    int k = 1;
    for (int n = 2; n <= GetBandMaxRowCount(); ++n) {
      int mid = (BandPanelHeightFor(n - 1, flat, th) + BandPanelHeightFor(n, flat, th)) / 2;
      if (Y - FSizingOrigin >= mid) k = n;
    }
    pos = FSizingOrigin + BandPanelHeightFor(k, flat, th);
  } else {
    pos = std::clamp(pos, mn, mx);
  }
  if (pos != FSizingPos) {
    FSizingPos = pos;
    Invalidate();
  }
}

void TCustomvmTreeList::ApplySizing(TvmTreeListState S) {
  if (MouseCapture()) SetMouseCapture(false);
  bool moved = FSizingPos != FSizingStartPos;
  int column = FSizingColumn, band = FSizingBand;
  TvmTreeListNode* node = FSizingNode;
  FSizingColumn = FSizingBand = -1;
  FSizingNode = nullptr;
  Invalidate();
  if (!moved) return;
  switch (S) {
    case tlsBandSizing:
      if (FOptions.Contains(tloAutoWidth))
        SetBandWidthAuto(band, FSizingPos - FSizingOrigin + 2);
      else
        ScaleBandWidth(band, FSizingPos - FSizingOrigin + 2);
      DoColumnsWidthChanged();
      break;
    case tlsColumnSizing: {
      int w = FSizingPos - FSizingOrigin + 1;
      bool oneRow = true;
      for (int b = 0; b < GetVisibleBandCount(); ++b)
        for (int r = 0; r < GetHeaderRowCount(); ++r)
          for (int i = 0; i < GetHeaderRowColumnCount(b, r); ++i)
            if (GetHeaderColumn(b, r, i) == column)
              for (int o = 0; o < GetHeaderRowCount(); ++o)
                if (o != r && GetHeaderRowColumnCount(b, o) > 0) oneRow = false;
      if (FExtendedOptions.Contains(tlxBands) && !FOptions.Contains(tloAutoWidth) && oneRow)
        SetColumnWidthInBand(column, w);
      else
        SetColumnWidthAuto(column, w);
      DoColumnsWidthChanged();
      break;
    }
    case tlsRowSizing:
      if (node) SetDefaultRowHeight(RowHeightFromDrag(node, FSizingPos - FSizingOrigin));
      break;
    case tlsBandPanelSizing: {
      bool flat = FLookStyle != tllRaised;
      int th = std::max(1, (FBandHeight - 5 - (flat ? 0 : 1)) / std::max(1, GetBandRowCount()));
      int k = 0;
      for (int n = 1; n <= GetBandMaxRowCount(); ++n)
        if (FSizingOrigin + BandPanelHeightFor(n, flat, th) <= FSizingPos) k = n;
      SetBandRowCountFromSizing(std::max(1, k));
      break;
    }
    case tlsHeaderPanelSizing:
      SetHeaderPanelRowCountFromSizing(
          std::max(1, (FSizingPos + FHeaderRowHeight / 2 - FSizingOrigin) / std::max(1, FHeaderRowHeight)));
      break;
    default:
      break;
  }
}

void TCustomvmTreeList::DrawSizingLine(TCanvas* C) {
  if (!IsSizingState(FState)) return;
  TvmTreeListLayout L;
  CalcLayoutRects(L);
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetColor(clBlack);
  C->Pen()->SetWidth(1);
  if (FState == tlsColumnSizing || FState == tlsBandSizing) {
    int top = FState == tlsBandSizing && !IsRectEmpty(L.BandPanelRect) ? L.BandPanelRect.Top
              : !IsRectEmpty(L.HeaderPanelRect)                        ? L.HeaderPanelRect.Top
                                                                       : L.RowsRect.Top;
    for (int k = 0; k < (FState == tlsBandSizing ? 2 : 1); ++k) {
      C->MoveTo(FSizingPos + k, top);
      C->LineTo(FSizingPos + k, L.RowsRect.Bottom);
    }
  } else {
    int left = FState == tlsRowSizing && !IsRectEmpty(L.IndicatorRect) ? L.IndicatorRect.Left : L.RowsRect.Left;
    for (int k = 0; k < 2; ++k) {
      C->MoveTo(left, FSizingPos + k);
      C->LineTo(L.RowsRect.Right, FSizingPos + k);
    }
  }
}

int TCustomvmTreeList::GetBestFitWidth(int Column, TvmTreeListNode* Node) {
  return Canvas()->TextWidth(GetCellText(Node, Column));
}

void TCustomvmTreeList::ApplyBestFitColumn(int Column) {
  if (Column < 0 || Column >= GetColumnCount()) return;
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  int pad = c->TextWidth("0") / 2 + 1;
  bool first = VisualColumnToColumn(0) == Column || (GetVisibleBandCount() > 0 && GetHeaderColumn(0, 0, 0) == Column);
  int best = 0;
  for (TvmTreeListNode* n = GetFirstNode(); n; n = n->GetNext()) {
    int w = GetBestFitWidth(Column, n);
    if (first) w += NodeIndent(n);
    best = std::max(best, w);
  }
  c->Font()->Assign(FHeaderPanelFont.get());
  best = std::max(best, c->TextWidth(GetColumnCaption(Column)) + (GetColumnSorted(Column) != csNone ? 14 : 0));
  if (IsColumnSizing(Column)) SetColumnWidth(Column, best + 2 * pad);
  DoColumnsWidthChanged();
}

void TCustomvmTreeList::ApplyBestFitBand(int VisibleBand) {
  BeginUpdate();
  {
    TScopeExit end([this] { EndUpdate(); });
    for (int r = 0; r < GetHeaderRowCount(); ++r)
      for (int i = 0; i < GetHeaderRowColumnCount(VisibleBand, r); ++i) {
        int col = GetHeaderColumn(VisibleBand, r, i);
        if (col >= 0) ApplyBestFitColumn(col);
      }
  }
}

// ---------------------------------------------------------------------------------------------
// Row heights.

void TCustomvmTreeList::SetMaxRowTextLineCount(int Value) {
  Value = std::max(-1, Value);
  if (Value == FMaxRowTextLineCount) return;
  FMaxRowTextLineCount = Value;
  LayoutChanged();
}

int TCustomvmTreeList::GetNodeRowHeight(TvmTreeListNode* Node, int Base, bool NoCache) {
  // The node footer bands depend on where the node stands in the tree, which moves, sorts and
  // expansions change: they are counted afresh and never cached with the row.
  int footers = Node && FShowNodeFooters ? FNodeFooterHeight * GetNodeFooterCount(Node) : 0;
  bool standard = Base < 0 || Base == FDefaultRowHeight;
  if (Base < 0) Base = FDefaultRowHeight;
  if (!Node || (standard && HasUniformRowHeights())) {
    if (standard) return FRowHeight;
  } else if (standard && !NoCache && Node->CachedRowHeight > 0) {
    return Node->CachedRowHeight + footers;
  }
  int p = IsPreviewShown() ? GetPreviewLineCount(Node) : 0;
  int sep = FShowGrid ? GetRowSeparatorWidth() : 0;
  int g = FShowGrid && FShowPreviewGrid ? 1 : 0;
  int lines = 1;
  if (Node && IsRowAutoHeight()) {
    int h = Base;
    lines = GetRowLineCount(Node, h);
    if (lines > 1 && h == Base) Base += (lines - 1) * FTextHeight;
    Base = std::max(Base, h);
  }
  int height = GetHeaderRowCount() * Base + (p > 0 ? p * FPreviewTextHeight + 2 + g : 0) + sep - (p > 0 && g ? 1 : 0);
  if (Node && standard && !NoCache) {
    Node->CachedRowHeight = height;
    Node->CachedLineCount = lines;
  }
  return height + footers;
}

int TCustomvmTreeList::GetRowLineCount(TvmTreeListNode* Node, int& Height) {
  if (Node->CachedRowHeight > 0 && Node->CachedLineCount > 0) return Node->CachedLineCount;
  if (FMeasureColumns.empty()) {
    // Every shown column with the width its header cell gets (scrolled out or not).
    int bands = GetVisibleBandCount();
    for (int b = 0; b < bands; ++b) {
      int w = GetBandWidth(b);
      std::vector<int> cols, widths;
      CalcRowWidths(b, 0, w, cols, widths);
      int used = 0;
      for (size_t i = 0; i < cols.size(); ++i) {
        int cw = i + 1 == cols.size() ? w - used : widths[i];
        FMeasureColumns.emplace_back(b == 0 && i == 0 ? -1 - cols[i] : cols[i], cw);
        used += cw;
      }
    }
  }
  bool frame = FExtendedOptions.Contains(tlxCellFrame), grid = FShowGrid && FShowPreviewGrid;
  int best = Height, lines = 1;
  for (size_t i = 0; i < FMeasureColumns.size(); ++i) {
    auto [col, w] = FMeasureColumns[i];
    if (col < 0) {  // the first column gives room to the node's indent and images
      col = -1 - col;
      w -= NodeIndent(Node) + (frame ? 1 : 0);
    }
    if (i + 1 == FMeasureColumns.size() && frame) --w;
    if (grid) --w;
    int n = 1, h = Height;
    if (CalcCellTextHeight(Node, col, GetCellText(Node, col), std::max(1, w), FMaxRowTextLineCount, n, h)) {
      h += (grid ? 1 : 0) + (frame ? 2 : 0);
      best = std::max(best, h);
      lines = std::max(lines, n);
    }
  }
  Height = best;
  return lines;
}

bool TCustomvmTreeList::CalcCellTextHeight(TvmTreeListNode* Node, int Column, const std::string& Text, int Width,
                                           int MaxLines, int& LineCount, int& Height) {
  TCanvas* c = Canvas();
  if (!c || Text.empty()) {
    LineCount = 1;
    Height = FTextHeight + 3;
    return true;
  }
  c->Font()->Assign(Font());
  // The text as a cell shows it: 2 pixels of margin on each side.
  TRect r(0, 0, std::max(1, Width - 4), 0);
  int h = c->DrawText(Text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  int th = std::max(1, FTextHeight);
  LineCount = std::max(1, (h + th - 1) / th);
  Height = LineCount * th;
  if (MaxLines != -1 && LineCount > MaxLines) {
    LineCount = std::max(1, MaxLines);
    Height = th * LineCount;
  }
  Height += 3;
  return true;
}

int TCustomvmTreeList::GetNodeTextWidth(TvmTreeListNode* Node) {
  int total = 0;
  for (int b = 0; b < GetVisibleBandCount(); ++b) total += GetBandWidth(b);
  return total - (FShowGrid ? 1 : 0) - NodeIndent(Node);
}

int TCustomvmTreeList::GetPreviewLineCount(TvmTreeListNode* Node) {
  if (!Node || !FExtendedOptions.Contains(tlxAutoPreviewLines)) return std::max(0, FPreviewLineCount);
  std::string text = GetPreviewText(Node);
  TCanvas* c = Canvas();
  if (text.empty() || !c) return 0;
  c->Font()->Assign(FPreviewTextFont.get());
  TRect r(0, 0, std::max(1, GetNodeTextWidth(Node) - FPreviewIndent - 4), 0);
  int h = c->DrawText(text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  int th = FPreviewTextHeight > 0 ? FPreviewTextHeight : c->TextHeight("Wg");
  int lines = (h + th - 1) / std::max(1, th);
  return std::clamp(lines, 0, std::max(0, FPreviewLineCount));
}

int TCustomvmTreeList::RowHeightFromDrag(TvmTreeListNode* Node, int Height) {
  if (!Node || Height < FMinRowHeight) return FDefaultRowHeight;
  if (GetNodeRowHeight(Node, FMinRowHeight, true) > Height) return FDefaultRowHeight;
  // The largest base height whose row does not exceed the dragged height.
  int lo = FMinRowHeight, hi = std::max(FMinRowHeight, Height);
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    if (GetNodeRowHeight(Node, mid, true) <= Height)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}
