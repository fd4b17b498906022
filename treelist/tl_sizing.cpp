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
    default: return false;
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
      if (!FOptions.Contains(tloAutoWidth) && unlimited) Max = 100000;
      else Max = ClientWidth() - 1;
      break;
    case tlsRowSizing:
      Min = FSizingOrigin + std::max(FTextHeight + 3, 16) + (FShowGrid ? GetRowSeparatorWidth() : 0);
      Max = ClientHeight() - 1;
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
      ScaleBandWidth(band, FSizingPos - FSizingOrigin + 2);
      DoColumnsWidthChanged();
      break;
    case tlsColumnSizing:
      SetColumnWidth(column, FSizingPos - FSizingOrigin + 1);
      DoColumnsWidthChanged();
      break;
    case tlsRowSizing: {
      if (!node) break;
      int height = FSizingPos - FSizingOrigin;
      int h = (height - (FShowGrid ? GetRowSeparatorWidth() : 0)) / std::max(1, GetHeaderRowCount());
      int minimum = std::max(FTextHeight + 3, 16);
      SetDefaultRowHeight(h < minimum ? FDefaultRowHeight : h);
      break;
    }
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
    default: break;
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
              : !IsRectEmpty(L.HeaderPanelRect)                         ? L.HeaderPanelRect.Top
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
