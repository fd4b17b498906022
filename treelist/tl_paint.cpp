// Painting of the tree list: header and band panels, indicator, rows with tree lines, expand
// buttons, cell texts, selection, grid lines and the focus frame.
#include <algorithm>

#include "platform/bitmap.h"
#include "platform/imglist.h"
#include "treelist/tl_treelist.h"

namespace {

void RaisedFace(TCanvas* C, TRect R, TColor Face, bool Flat) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Face);
  C->FillRect(R);
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  if (!Flat) {
    C->Pen()->SetColor(clBtnHighlight);
    C->MoveTo(R.Left, R.Bottom - 1);
    C->LineTo(R.Left, R.Top);
    C->LineTo(R.Right - 1, R.Top);
  }
  C->Pen()->SetColor(clBtnShadow);
  C->MoveTo(R.Right - 1, R.Top);
  C->LineTo(R.Right - 1, R.Bottom - 1);
  C->LineTo(R.Left - 1, R.Bottom - 1);
}

uint32_t AlignFlags(TAlignment A) { return A == taRightJustify ? DT_RIGHT : A == taCenter ? DT_CENTER : DT_LEFT; }

}  // namespace

// The sort mark: an 8 x 7 triangle outline centred in R, apex up for an ascending sort.
static void DrawSortMark(TCanvas* C, const TRect& R, bool Up) {
  int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
  int l = cx - 4, t = cy - 3;
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  if (Up) {
    C->Pen()->SetColor(clBtnShadow);
    C->MoveTo(l + 4, t);
    C->LineTo(l, t + 7);
    C->Pen()->SetColor(clBtnHighlight);
    C->MoveTo(l + 4, t);
    C->LineTo(l + 8, t + 7);
    C->MoveTo(l, t + 6);
    C->LineTo(l + 8, t + 6);
  } else {
    C->Pen()->SetColor(clBtnShadow);
    C->MoveTo(l, t);
    C->LineTo(l + 8, t);
    C->MoveTo(l, t);
    C->LineTo(l + 4, t + 7);
    C->Pen()->SetColor(clBtnHighlight);
    C->MoveTo(l + 8, t);
    C->LineTo(l + 4, t + 7);
  }
}

void TCustomvmTreeList::DrawExpandButtonBox(TCanvas* C, const TRect& R, int CenterY, bool Collapsed) {
  int x = (R.Left + R.Right - 9) / 2, y = CenterY - 4;
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clWindow);
  C->FillRect(TRect(x, y, x + 9, y + 9));
  C->Brush()->SetColor(clGrayText);
  C->FrameRect(TRect(x, y, x + 9, y + 9));
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetColor(clWindowText);
  C->MoveTo(x + 2, y + 4);
  C->LineTo(x + 7, y + 4);
  if (Collapsed) {
    C->MoveTo(x + 4, y + 2);
    C->LineTo(x + 4, y + 7);
  }
}

void TCustomvmTreeList::DrawTreeLines(TCanvas* C, TvmTreeListNode* Node, const TRect& RowRect, int Left) {
  // Left is the x of the indent's start (level 0); each level owns one Indent-wide slot.
  bool rootLines = FShowRoot;
  int level = Node->Level();
  int first = rootLines ? 0 : 1;
  int cy = (RowRect.Top + RowRect.Bottom) / 2;
  // Lines are fills one pixel wide: solid, or dotted through a checkerboard brush whose dots
  // fall where x + y is even, so neighbouring lines share one pattern.
  bool dotted = FTreeConnectorStyle == tlnDotted;
  if (dotted && (!FLineBrush || FLineBrushColors[0] != Color() || FLineBrushColors[1] != FTreeConnectorColor)) {
    if (!FLineBrush) FLineBrush = std::make_unique<TBitmap>();
    FLineBrush->SetWidth(8);
    FLineBrush->SetHeight(8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) FLineBrush->Canvas()->SetPixels(x, y, ((x + y) & 1) == 0 ? FTreeConnectorColor : Color());
    FLineBrushColors[0] = Color();
    FLineBrushColors[1] = FTreeConnectorColor;
  }
  C->Brush()->SetStyle(bsSolid);
  if (dotted) C->Brush()->SetBitmap(FLineBrush.get());
  else C->Brush()->SetColor(FTreeConnectorColor);
  auto vline = [&](int x, int y1, int y2) {
    if (y2 > y1) C->FillRect(TRect(x, y1, x + 1, y2));
  };
  auto hline = [&](int x1, int x2, int y) {
    if (x2 > x1) C->FillRect(TRect(x1, y, x2, y + 1));
  };
  if (FShowLines) {
    // Ancestors that have later siblings carry a line through this row.
    TvmTreeListNode* a = Node->Parent();
    for (int l = level - 1; l >= first && a; --l, a = a->Parent()) {
      if (a->GetNextSibling() || (!a->Parent() && a->Index() < Count() - 1)) {
        int x = Left + (l - first) * FIndent + FIndent / 2;
        vline(x, RowRect.Top, RowRect.Bottom);
      }
    }
    if (level >= first) {
      int x = Left + (level - first) * FIndent + FIndent / 2;
      bool hasPrev = Node->Parent() || Node->Index() > 0;
      vline(x, hasPrev ? RowRect.Top : cy, Node->GetNextSibling() ? RowRect.Bottom : cy + 1);
      hline(x, Left + (level - first + 1) * FIndent, cy);
    }
  }
  if (dotted) C->Brush()->SetBitmap(nullptr);
  if (FShowButtons && Node->HasChildNodes() && level >= first) {
    int l = Left + (level - first) * FIndent;
    DrawExpandButtonBox(C, TRect(l, RowRect.Top, l + FIndent, RowRect.Bottom), cy, !Node->Expanded());
  }
}

void TCustomvmTreeList::DrawHeader(TCanvas* C, const TvmTreeListLayout& L) {
  bool flat = FLookStyle != tllRaised;
  if (!IsRectEmpty(L.BandPanelRect)) {
    C->Brush()->SetColor(FBandPanelColor);
    C->FillRect(L.BandPanelRect);
    C->Font()->Assign(FBandPanelFont.get());
    for (const auto& b : L.BandCells) {
      TRect r = b.Rect;
      r.Top = L.BandPanelRect.Top;
      r.Bottom = L.BandPanelRect.Bottom;
      RaisedFace(C, r, FBandPanelColor, flat);
      TRect t = r;
      InflateRect(t, -2, 0);
      C->Brush()->SetStyle(bsClear);
      C->DrawText(GetVisibleBandCaption(b.Band), t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_CENTER | DT_END_ELLIPSIS);
      C->Brush()->SetStyle(bsSolid);
    }
  }
  if (!IsRectEmpty(L.HeaderPanelRect)) {
    C->Brush()->SetColor(FHeaderPanelColor);
    C->FillRect(L.HeaderPanelRect);
    C->Font()->Assign(FHeaderPanelFont.get());
    for (const auto& h : L.HeaderCells) {
      RaisedFace(C, h.Rect, FHeaderPanelColor, flat);
      TvmTreeListColumnSort s = GetColumnSorted(h.Column);
      TRect t = h.Rect;
      InflateRect(t, -3, 0);
      if (s != csNone) {
        TRect m(t.Right - 12, t.Top, t.Right, t.Bottom);
        DrawSortMark(C, m, s == csUp);
        t.Right -= 14;
      }
      C->Brush()->SetStyle(bsClear);
      C->DrawText(GetColumnCaption(h.Column), t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
      C->Brush()->SetStyle(bsSolid);
    }
  }
  // Right of the bands the panels end; the window shows through.
  if (!IsRectEmpty(L.EmptyRightRect)) {
    C->Brush()->SetColor(Color());
    C->FillRect(L.EmptyRightRect);
  }
  if (!IsRectEmpty(L.HeaderButtonRect)) RaisedFace(C, L.HeaderButtonRect, FHeaderPanelColor, flat);
  if (!IsRectEmpty(L.BandButtonRect)) RaisedFace(C, L.BandButtonRect, FBandPanelColor, flat);
}

void TCustomvmTreeList::DrawRow(TCanvas* C, const TvmTreeListLayout& L, const TvmTreeListRowInfo& Row, bool Focused) {
  TvmTreeListNode* n = Row.Node;
  TRect rowRect(L.RowsRect.Left, Row.Top, L.DataRight + 1, Row.Top + Row.Height);
  int grid = L.GridLineWidth;
  bool rowSelect = FOptions.Contains(tloRowSelect);
  bool showSel = Row.Selected && (Focused || !FHideSelection || true);
  TColor selBack = Focused || !FHideSelection ? FSelectionColor : FInactiveSelectionColor;
  TColor selText = Focused || !FHideSelection ? FSelectionTextColor : FInactiveSelectionTextColor;
  int focusCol = GetFocusedAbsoluteColumn();
  int indentLeft = L.RowsRect.Left - FLeftPos;
  int indentEnd = indentLeft + NodeIndent(n);
  C->Font()->Assign(Font());
  // Background of the indent area.
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(TRect(rowRect.Left, rowRect.Top, std::min(indentEnd, rowRect.Right), rowRect.Bottom));
  for (const auto& h : L.HeaderCells) {
    TRect cell(h.Rect.Left, Row.Top + FDefaultRowHeight * h.BandRow, h.Rect.Right,
               Row.Top + FDefaultRowHeight * (h.BandRow + h.RowSpan));
    if (h.BandRow == GetHeaderRowCount() - 1) cell.Bottom = Row.Top + Row.Height - grid - FPreviewHeight;
    if (h.Band == 0 && h.FirstInRow && cell.Left < indentEnd) cell.Left = indentEnd;
    TRect clip = cell;
    clip.Left = std::max(clip.Left, h.Clip.Left);
    clip.Right = std::min(clip.Right, h.Clip.Right) - grid;
    if (clip.Right <= clip.Left) continue;
    bool cellSelected = showSel && (rowSelect || h.Column == focusCol || FOptions.Contains(tloMultiSelect));
    C->Brush()->SetColor(cellSelected ? selBack : Color());
    C->FillRect(clip);
    C->Font()->SetColor(cellSelected ? selText : Font()->Color());
    TRect t = clip;
    t.Left = cell.Left + 2;
    t.Right -= 2;
    uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | AlignFlags(GetColumnAlignment(h.Column));
    if (FOptions.Contains(tloDrawEndEllipsis)) flags |= DT_END_ELLIPSIS;
    C->Brush()->SetStyle(bsClear);
    C->DrawText(GetCellText(n, h.Column), t, flags);
    C->Brush()->SetStyle(bsSolid);
    if (grid > 0) {
      C->Brush()->SetColor(GetGridLineColor());
      C->FillRect(TRect(clip.Right, cell.Top, clip.Right + grid, Row.Top + Row.Height));
    }
    if (n == FFocusedNode && Focused && !rowSelect && h.Column == focusCol && !FOptions.Contains(tloHideFocusRect))
      C->DrawFocusRect(clip);
  }
  if (FPreviewHeight > 0) {
    // The preview band under the cells, from the first column's content on.
    TRect p(std::max(indentEnd, rowRect.Left), rowRect.Bottom - grid - FPreviewHeight, rowRect.Right,
            rowRect.Bottom - grid);
    bool sel = showSel && (rowSelect || FOptions.Contains(tloMultiSelect));
    C->Brush()->SetColor(sel ? selBack : Color());
    C->FillRect(p);
    C->Font()->Assign(FPreviewTextFont.get());
    if (sel) C->Font()->SetColor(selText);
    TRect t = p;
    InflateRect(t, -1, -1);
    t.Left += FPreviewIndent;
    C->Brush()->SetStyle(bsClear);
    C->DrawText(GetPreviewText(n), t, DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS);
    C->Brush()->SetStyle(bsSolid);
    C->Font()->Assign(Font());
    if (grid > 0 && FShowPreviewGrid) {
      C->Brush()->SetColor(GetGridLineColor());
      C->FillRect(TRect(p.Left, p.Top - 1, p.Right, p.Top));
    }
  }
  if (grid > 0) {
    C->Brush()->SetColor(GetGridLineColor());
    C->FillRect(TRect(rowRect.Left, rowRect.Bottom - grid, rowRect.Right, rowRect.Bottom));
  }
  DrawTreeLines(C, n, TRect(rowRect.Left, Row.Top, rowRect.Right, Row.Top + Row.Height - grid), indentLeft);
  // The state image, then the image (the selected one on the focused row), centred on the row.
  {
    int x = indentLeft + NodeLevelIndent(n);
    int cy = Row.Top + (Row.Height - grid) / 2;
    int state = FStateImages ? GetStateIndex(n) : -1;
    if (state >= 0) {
      FStateImages->Draw(C, x, cy - FStateImages->Height() / 2, state, Enabled());
      x += FStateImages->Width();
    }
    if (FImages) {
      int image = n == FFocusedNode && GetSelectedIndex(n) >= 0 ? GetSelectedIndex(n) : GetImageIndex(n);
      if (image >= 0) FImages->Draw(C, x, cy - FImages->Height() / 2, image, Enabled());
    }
  }
  if (n == FFocusedNode && Focused && rowSelect && !FOptions.Contains(tloHideFocusRect)) {
    TRect f(std::max(indentEnd, rowRect.Left), rowRect.Top, rowRect.Right, rowRect.Bottom - grid);
    if (f.Right > f.Left) C->DrawFocusRect(f);
  }
  if (!IsRectEmpty(L.IndicatorRect)) {
    TRect ind(L.IndicatorRect.Left, Row.Top, L.IndicatorRect.Right, Row.Top + Row.Height);
    RaisedFace(C, ind, FHeaderPanelColor, FLookStyle != tllRaised);
    if (n == FFocusedNode) {
      // The focused row's arrow.
      int cx = (ind.Left + ind.Right) / 2 - 2, cy = (ind.Top + ind.Bottom) / 2;
      C->Brush()->SetColor(clBlack);
      C->Pen()->SetColor(clBlack);
      TPoint p[3] = {TPoint(cx, cy - 4), TPoint(cx + 4, cy), TPoint(cx, cy + 4)};
      C->Polygon(p, 3);
    }
  }
}

void TCustomvmTreeList::Paint() {
  TCanvas* C = Canvas();
  if (!C) return;
  TvmTreeListLayout L;
  CalcLayout(L);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(L.ClientRect);
  DrawHeader(C, L);
  bool focused = Focused();
  for (const auto& row : L.VisibleRows) DrawRow(C, L, row, focused);
  if (!IsRectEmpty(L.EmptyBottomRect) && !IsRectEmpty(L.IndicatorRect)) {
    C->Brush()->SetColor(FHeaderPanelColor);
    C->FillRect(TRect(L.IndicatorRect.Left, L.EmptyBottomRect.Top, L.IndicatorRect.Right, L.IndicatorRect.Bottom));
  }
  // The drop arrows of a header drag: down above the gap, up below it.
  if (FArrowsPos.X != -100 || FArrowsPos.Y != -100) {
    int h = (FState == tlsBandDragging ? FBandHeight : FHeaderRowHeight) + 18;
    int x = FArrowsPos.X, y = FArrowsPos.Y;
    TPoint down[7] = {{x + 5, y + 8}, {x, y + 3}, {x + 3, y + 3}, {x + 3, y}, {x + 7, y}, {x + 7, y + 3}, {x + 10, y + 3}};
    TPoint up[7] = {{x + 5, y + h - 9}, {x + 10, y + h - 4}, {x + 7, y + h - 4}, {x + 7, y + h - 1},
                    {x + 3, y + h - 1}, {x + 3, y + h - 4}, {x, y + h - 4}};
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetColor(clBlack);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FDropArrowsColor);
    C->Polygon(down, 7);
    C->Polygon(up, 7);
  }
  DrawSizingLine(C);
  if (OnPaint) OnPaint(this);
}
