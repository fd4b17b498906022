// Painting of the tree list: header and band panels, indicator, rows with tree lines, expand
// buttons, cell texts, selection, grid lines and the focus frame.
#include <algorithm>

#include "platform/guards.h"
#include "platform/bitmap.h"
#include "platform/imglist.h"
#include "treelist/tl_treelist.h"

namespace {

void RaisedFace(TCanvas* C, TRect R, TColor Face, bool Flat, bool Pressed = false) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Face);
  C->FillRect(R);
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  if (!Flat) {
    // Held down, the raised face sinks: its lit edges turn to shadow.
    C->Pen()->SetColor(Pressed ? clBtnShadow : clBtnHighlight);
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

// A held-down face in the flat looks shows inverted (the raised look sinks instead).
void InvertPressed(TCanvas* C, const TRect& R, bool Flat, bool Pressed) {
  if (Flat && Pressed) C->PatBlt(R.Left, R.Top, R.Width(), R.Height(), DSTINVERT);
}

// The drop-down button of a header: State 1 shown, 3 under the pointer, 7 pressed.
void DrawDropDownGlyph(TCanvas* C, const TRect& R, int State) {
  bool pressed = (State & 4) != 0, hot = (State & 2) != 0;
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clBtnShadow);
  C->FrameRect(R);
  TRect in = R;
  InflateRect(in, -1, -1);
  C->Brush()->SetColor(pressed ? clBtnText : hot ? clBtnShadow : clBtnFace);
  C->FillRect(in);
  int w = in.Width() / 2;
  if (w % 2 == 0) --w;
  if (w < 1) return;
  int h = (w + 1) / 2;
  int l = in.Left + (in.Width() - w) / 2, t = in.Top + (in.Height() - h) / 2;
  C->Brush()->SetColor(pressed || hot ? clWindow : clBtnText);
  for (int i = 0; i < h; ++i) C->FillRect(TRect(l + i, t + i, l + w - i, t + i + 1));
}

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

void TCustomvmTreeList::DrawIndicatorGlyph(TCanvas* C, const TRect& R, int Kind) {
  if (Kind < 1 || Kind > 5) return;
  const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clBlack);
  auto arrow = [&](int x) {
    TPoint p[3] = {TPoint(x, cy - 4), TPoint(x + 4, cy), TPoint(x, cy + 4)};
    C->Polygon(p, 3);
  };
  switch (Kind) {
    case 1:  // focused: the arrow
      arrow(cx - 2);
      break;
    case 2:  // editing: an I-beam
      C->MoveTo(cx, cy - 4);
      C->LineTo(cx, cy + 5);
      C->MoveTo(cx - 2, cy - 4);
      C->LineTo(cx + 3, cy - 4);
      C->MoveTo(cx - 2, cy + 4);
      C->LineTo(cx + 3, cy + 4);
      break;
    case 3:  // inserting: a small star
      C->MoveTo(cx - 3, cy);
      C->LineTo(cx + 4, cy);
      C->MoveTo(cx, cy - 3);
      C->LineTo(cx, cy + 4);
      C->MoveTo(cx - 2, cy - 2);
      C->LineTo(cx + 3, cy + 3);
      C->MoveTo(cx + 2, cy - 2);
      C->LineTo(cx - 3, cy + 3);
      break;
    case 4:  // selected: a dot
      C->FillRect(TRect(cx - 1, cy - 1, cx + 2, cy + 2));
      break;
    case 5:  // focused and selected: the arrow with the dot behind it
      arrow(cx - 4);
      C->FillRect(TRect(cx + 2, cy - 1, cx + 5, cy + 2));
      break;
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

void TCustomvmTreeList::DrawTreeLines(TCanvas* C, TvmTreeListNode* Node, const TRect& RowRect, int Left,
                                      int LinesBottom) {
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
      for (int x = 0; x < 8; ++x)
        FLineBrush->Canvas()->SetPixels(x, y, ((x + y) & 1) == 0 ? FTreeConnectorColor : Color());
    FLineBrushColors[0] = Color();
    FLineBrushColors[1] = FTreeConnectorColor;
  }
  C->Brush()->SetStyle(bsSolid);
  if (dotted)
    C->Brush()->SetBitmap(FLineBrush.get());
  else
    C->Brush()->SetColor(FTreeConnectorColor);
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
        vline(x, RowRect.Top, LinesBottom - CountNodeFootersBelow(Node, l) * FNodeFooterHeight);
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

void TCustomvmTreeList::DrawBandCell(TCanvas* C, int Band, const TRect& R, const TRect& Clip) {
  bool flat = FLookStyle != tllRaised;
  C->Font()->Assign(FBandPanelFont.get());
  TvmTreeListDrawInfo di;
  di.Canvas = C;
  di.Rect = R;
  di.Band = Band;
  di.Text = GetVisibleBandCaption(Band);
  di.Color = FBandPanelColor;
  di.Alignment = GetBandAlignment(Band);
  di.Font = C->Font();
  if (IsBandDrawAssigned(Band)) RunDrawHook(C, Clip, [&] { DoDrawBand(di); });
  if (!di.Done) {
    bool pressed = IsBandPushed(Band);
    RaisedFace(C, R, di.Color, flat, pressed);
    TRect t = R;
    InflateRect(t, -2, 0);
    if (pressed && !flat) OffsetRect(t, 1, 1);
    C->Brush()->SetStyle(bsClear);
    C->DrawText(di.Text, t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | AlignFlags(di.Alignment) | DT_END_ELLIPSIS);
    C->Brush()->SetStyle(bsSolid);
    InvertPressed(C, R, flat, pressed);
  }
  C->Font()->Assign(FBandPanelFont.get());
}

void TCustomvmTreeList::DrawHeaderCell(TCanvas* C, const TvmTreeListHeaderCell& h) {
  bool flat = FLookStyle != tllRaised;
  C->Font()->Assign(FHeaderPanelFont.get());
  TvmTreeListDrawInfo di;
  di.Canvas = C;
  di.Rect = h.Rect;
  di.Column = h.Column;
  di.Band = h.Band;
  di.Text = GetColumnCaption(h.Column);
  di.Color = FHeaderPanelColor;
  di.Alignment = GetColumnHeaderAlignment(h.Column);
  di.Sorted = GetColumnSorted(h.Column);
  di.Font = C->Font();
  if (IsHeaderDrawAssigned(h.Column)) RunDrawHook(C, h.Clip, [&] { DoDrawColumnHeader(di); });
  if (!di.Done) {
    bool pressed = IsColumnPushed(h.Column);
    RaisedFace(C, h.Rect, di.Color, flat, pressed);
    TRect t = h.Rect;
    InflateRect(t, -3, 0);
    if (pressed && !flat) OffsetRect(t, 1, 1);
    if (int hot = GetHeaderHotState(h.Column); hot != 0 && t.Right - t.Left > 14) {
      DrawDropDownGlyph(C, TRect(t.Right - 15, t.Top + 1, t.Right, t.Bottom - 1), hot);
      t.Right -= 16;
    }
    if (di.Sorted != csNone && t.Right - t.Left > 15) {
      TRect m(t.Right - 12, t.Top, t.Right, t.Bottom);
      DrawSortMark(C, m, di.Sorted == csUp);
      t.Right -= 14;
    }
    // The column's picture stands before the caption, centred in the cell's height.
    if (TBitmap* g = GetColumnHeaderGlyph(h.Column); g && t.Right - t.Left > g->Width()) {
      C->Draw(t.Left, t.Top + (t.Height() - g->Height()) / 2, g);
      t.Left += g->Width() + 2;
    }
    C->Brush()->SetStyle(bsClear);
    uint32_t flags = DT_NOPREFIX | AlignFlags(di.Alignment);
    bool multiline = h.RowSpan > 1 || IsMultilineHeaderColumn(h.Column);
    flags |= multiline ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    C->DrawText(di.Text, t, flags);
    C->Brush()->SetStyle(bsSolid);
    InvertPressed(C, h.Rect, flat, pressed);
  }
  C->Font()->Assign(FHeaderPanelFont.get());
}

void TCustomvmTreeList::DrawHeader(TCanvas* C, const TvmTreeListLayout& L) {
  bool flat = FLookStyle != tllRaised;
  if (!IsRectEmpty(L.BandPanelRect)) {
    C->Brush()->SetColor(FBandPanelColor);
    C->FillRect(L.BandPanelRect);
    for (const auto& b : L.BandCells) {
      TRect r = b.Rect;
      r.Top = L.BandPanelRect.Top;
      r.Bottom = L.BandPanelRect.Bottom;
      DrawBandCell(C, b.Band, r, b.Clip);
    }
  }
  if (!IsRectEmpty(L.HeaderPanelRect)) {
    C->Brush()->SetColor(FHeaderPanelColor);
    C->FillRect(L.HeaderPanelRect);
    for (const auto& h : L.HeaderCells) DrawHeaderCell(C, h);
  }
  // Right of the bands the panels end; the window shows through.
  if (!IsRectEmpty(L.EmptyRightRect)) {
    C->Brush()->SetColor(Color());
    C->FillRect(L.EmptyRightRect);
  }
  if (!IsRectEmpty(L.HeaderButtonRect)) {
    RaisedFace(C, L.HeaderButtonRect, FHeaderPanelColor, flat, IsHeaderButtonPushed());
    InvertPressed(C, L.HeaderButtonRect, flat, IsHeaderButtonPushed());
  }
  if (!IsRectEmpty(L.BandButtonRect)) {
    RaisedFace(C, L.BandButtonRect, FBandPanelColor, flat, IsBandButtonPushed());
    InvertPressed(C, L.BandButtonRect, flat, IsBandButtonPushed());
  }
}

void TCustomvmTreeList::SetSuppressFocusRect(bool Value) {
  if (StoreChanged(FSuppressFocusRect, Value)) Invalidate();
}

void TCustomvmTreeList::SetSearchMatchColor(TColor Value) {
  if (StoreChanged(FSearchMatchColor, Value)) Invalidate();
}

void TCustomvmTreeList::SetSearchMatchTextColor(TColor Value) {
  if (StoreChanged(FSearchMatchTextColor, Value)) Invalidate();
}

// The typed prefix painted over the cell's text, on the first line where the text starts.
void TCustomvmTreeList::DrawSearchMatch(TCanvas* C, const TvmTreeListDrawInfo& Info, const TRect& TextRect,
                                        const TRect& Clip, uint32_t Flags) {
  // As many characters of the text as the search text has (UTF-8: continuation bytes are not counted).
  auto isLead = [](char Ch) { return (static_cast<unsigned char>(Ch) & 0xC0) != 0x80; };
  size_t chars = 0, len = 0;
  for (char ch : FSearchText) chars += isLead(ch);
  for (; len < Info.Text.size(); ++len)
    if (isLead(Info.Text[len]) && chars-- == 0) break;
  if (len == 0) return;
  const std::string prefix = Info.Text.substr(0, len);
  const TColor back = FSearchMatchColor == clNone ? (ColorToRGB(Info.Color) ^ 0xFFFFFF) : FSearchMatchColor;
  const TColor fore =
      FSearchMatchTextColor == clNone ? (ColorToRGB(C->Font()->Color()) ^ 0xFFFFFF) : FSearchMatchTextColor;
  // Where the text starts: the full first line measured as DrawText lays it out.
  TRect whole = TextRect;
  C->DrawText(Info.Text, whole, (Flags & ~DT_END_ELLIPSIS) | DT_CALCRECT | DT_SINGLELINE);
  const int w = whole.Right - whole.Left, pw = C->TextWidth(prefix);
  int x = TextRect.Left;
  if (Flags & DT_RIGHT)
    x = TextRect.Right - w;
  else if (Flags & DT_CENTER)
    x = TextRect.Left + (TextRect.Width() - w) / 2;
  TRect r(std::max(x, Clip.Left), Clip.Top, std::min(x + pw, Clip.Right), Clip.Bottom);
  if (IsRectEmpty(r)) return;
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(back);
  C->FillRect(r);
  const TColor keep = C->Font()->Color();
  C->Font()->SetColor(fore);
  TRect t(x, TextRect.Top, std::min(x + pw + 1, Clip.Right), TextRect.Bottom);
  C->Brush()->SetStyle(bsClear);
  C->DrawText(prefix, t, (Flags & ~(DT_RIGHT | DT_CENTER | DT_END_ELLIPSIS)) | DT_LEFT);
  C->Brush()->SetStyle(bsSolid);
  C->Font()->SetColor(keep);
}

void TCustomvmTreeList::DrawRow(TCanvas* C, const TvmTreeListLayout& L, const TvmTreeListRowInfo& Row, bool Focused) {
  TvmTreeListNode* n = Row.Node;
  TRect rowRect(L.RowsRect.Left, Row.Top, L.DataRight + 1, Row.Top + Row.Height);
  int grid = L.GridLineWidth;
  bool rowSelect = FOptions.Contains(tloRowSelect);
  // While the new-item row is active it carries the selection (unless several rows may be selected).
  bool showSel = Row.Selected && !(FNewItemRowActive && !FOptions.Contains(tloMultiSelect));
  // Under a drag from elsewhere the unfocused control still shows where the drop would land.
  bool dropTarget = FForeignDrag && !Focused && n == FFocusedNode;
  if (dropTarget) showSel = true;
  // Without the focus a hidden selection looks unselected; a shown one takes the inactive colours.
  if (FHideSelection && !Focused && !dropTarget) showSel = false;
  // The focused cell keeps its frame without the focus too unless SuppressFocusRect (not under a drag).
  bool frameHere = n == FFocusedNode && !FNewItemRowActive &&
                   (Focused ? !FOptions.Contains(tloHideFocusRect) : !FSuppressFocusRect && !FForeignDrag);
  TColor selBack = Focused || dropTarget ? FSelectionColor : FInactiveSelectionColor;
  TColor selText = Focused || dropTarget ? FSelectionTextColor : FInactiveSelectionTextColor;
  int focusCol = GetFocusedAbsoluteColumn();
  int indentLeft = L.RowsRect.Left - (L.LeftFixedBand >= 0 ? 0 : FLeftPos);
  int indentEnd = indentLeft + NodeIndent(n);
  // Compact style: a parent row is painted in its level's colour and, without grid lines, keeps
  // its top pixel line free for the line that sets it off from the row above.
  const bool compact = FDrawStyle == tlpCompact;
  const bool groupRow = compact && n->HasChildNodes();
  const TColor groupBack = groupRow ? GetLevelColor(n->Level()) : clNone;
  const TColor groupText = FGroupPanelTextColor == clNone ? Font()->Color() : FGroupPanelTextColor;
  const int topGap = groupRow && grid == 0 ? 1 : 0;
  C->Font()->Assign(Font());
  // Background of the indent area.
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(TRect(rowRect.Left, rowRect.Top, std::min(indentEnd, rowRect.Right), rowRect.Bottom));
  int previewH = RowPreviewHeight(Row);
  bool multiLine = Row.LineCount > 1;
  // The node footers take the row's bottom above the separator; cells and preview stay above them.
  int extra = Row.FooterHeight;
  rowRect.Bottom -= extra;
  for (const auto& h : L.HeaderCells) {
    TRect cell(h.Rect.Left, Row.Top + FDefaultRowHeight * h.BandRow + topGap, h.Rect.Right,
               Row.Top + FDefaultRowHeight * (h.BandRow + h.RowSpan));
    if (h.BandRow + h.RowSpan >= GetHeaderRowCount()) cell.Bottom = rowRect.Bottom - grid - previewH;
    if (h.Band == 0 && h.FirstInRow && cell.Left < indentEnd) cell.Left = indentEnd;
    TRect clip = cell;
    clip.Left = std::max(clip.Left, h.Clip.Left);
    clip.Right = std::min(clip.Right, h.Clip.Right) - grid;
    if (clip.Right <= clip.Left) continue;
    bool cellSelected = showSel && (rowSelect || h.Column == focusCol || FOptions.Contains(tloMultiSelect));
    TvmTreeListDrawInfo di;
    di.Canvas = C;
    di.Rect = clip;
    di.Node = n;
    di.Column = h.Column;
    di.Selected = cellSelected;
    di.Focused = Focused && n == FFocusedNode && (rowSelect || h.Column == focusCol);
    di.Text = GetCellText(n, h.Column);
    FormatCellPaintText(n, h.Column, di.Text);
    TColor own = Color();
    const bool ownColor = GetColumnColor(h.Column, own);
    TFont* ownFont = GetColumnFont(h.Column);
    di.Color = cellSelected ? selBack : groupRow ? groupBack : ownColor ? own : Color();
    di.Alignment = GetColumnAlignment(h.Column);
    C->Font()->Assign(ownFont ? ownFont : Font());
    C->Font()->SetColor(cellSelected ? selText : groupRow ? groupText : ownFont ? ownFont->Color() : Font()->Color());
    di.Font = C->Font();
    if (IsCellDrawAssigned(n, h.Column)) RunDrawHook(C, clip, [&] { DoDrawDataCell(di); });
    if (!di.Done) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(di.Color);
      C->FillRect(clip);
      TRect t = clip;
      t.Left = cell.Left + 2;
      t.Right -= 2;
      uint32_t flags = DT_NOPREFIX | AlignFlags(di.Alignment);
      if (multiLine || h.RowSpan > 1) {
        flags |= DT_WORDBREAK | DT_EXPANDTABS;
      } else {
        // One line of text sits where its column puts it.
        const TTextLayout v = GetColumnVertAlignment(h.Column);
        flags |= DT_SINGLELINE | (v == tlTop ? DT_TOP : v == tlBottom ? DT_BOTTOM : DT_VCENTER);
        if (v == tlTop) t.Top += 1;
      }
      if (multiLine) t.Top += 1;
      if (FOptions.Contains(tloDrawEndEllipsis)) flags |= DT_END_ELLIPSIS;
      C->Brush()->SetStyle(bsClear);
      C->DrawText(di.Text, t, flags);
      C->Brush()->SetStyle(bsSolid);
      if (FSearching && n == FFocusedNode && h.Column == FSearchColumn && !FSearchText.empty())
        DrawSearchMatch(C, di, t, clip, flags);
    }
    if (grid > 0) {
      C->Brush()->SetColor(GetGridLineColor());
      C->FillRect(TRect(clip.Right, cell.Top, clip.Right + grid, rowRect.Bottom));
    }
    if (frameHere && !rowSelect && h.Column == focusCol) C->DrawFocusRect(clip);
  }
  C->Font()->Assign(Font());
  if (previewH > 0) {
    // The preview band under the cells, from the first column's content on.
    TRect p(std::max(indentEnd, rowRect.Left), rowRect.Bottom - grid - previewH, rowRect.Right, rowRect.Bottom - grid);
    bool sel = showSel && (rowSelect || FOptions.Contains(tloMultiSelect));
    TvmTreeListDrawInfo di;
    di.Canvas = C;
    di.Rect = p;
    di.Node = n;
    di.Selected = sel;
    di.Text = GetPreviewText(n);
    di.Color = sel ? selBack : groupRow ? groupBack : Color();
    C->Font()->Assign(FPreviewTextFont.get());
    if (sel) C->Font()->SetColor(selText);
    di.TextColor = C->Font()->Color();
    di.Font = C->Font();
    if (IsPreviewDrawAssigned()) RunDrawHook(C, p, [&] { DoDrawPreview(di); });
    if (!di.Done) {
      C->Brush()->SetColor(di.Color);
      C->FillRect(p);
      C->Font()->SetColor(di.TextColor);
      TRect t = p;
      InflateRect(t, -1, -1);
      t.Left += FPreviewIndent;
      C->Brush()->SetStyle(bsClear);
      C->DrawText(di.Text, t, DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS);
      C->Brush()->SetStyle(bsSolid);
    }
    C->Font()->Assign(Font());
    if (grid > 0 && FShowPreviewGrid) {
      C->Brush()->SetColor(GetGridLineColor());
      C->FillRect(TRect(p.Left, p.Top - 1, p.Right, p.Top));
    }
  }
  if (extra > 0) {
    // Under footers the separator below the cells gives way to the bands' own top lines.
    DrawNodeFooters(C, L, Row);
    rowRect.Bottom += extra;
  }
  if (grid > 0) {
    // The separator leaves the level cells that go on into the next row.
    const int from =
        std::max(rowRect.Left, indentLeft + std::min(LevelLimit(n, n->GetNextVisible()), L.FirstColumnWidth));
    C->Brush()->SetColor(GetGridLineColor());
    C->FillRect(TRect(from, rowRect.Bottom - grid, rowRect.Right, rowRect.Bottom));
  }
  if (compact)
    DrawCompactIndent(C, L, Row, indentLeft, rowRect.Bottom);
  else
    DrawTreeLines(C, n, TRect(rowRect.Left, Row.Top, rowRect.Right, rowRect.Bottom - grid - extra), indentLeft,
                  rowRect.Bottom - grid);
  if (!compact && grid > 0) DrawLevelLines(C, L, Row, indentLeft, rowRect.Bottom);
  // The state image, then the image (the selected one on the focused row), centred on its cells.
  {
    int x = indentLeft + NodeLevelIndent(n);
    int cy = Row.Top + (Row.Height - grid - extra) / 2;
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
  if (frameHere && rowSelect) {
    TRect f(std::max(indentEnd, rowRect.Left), rowRect.Top + topGap, rowRect.Right, rowRect.Bottom - grid - extra);
    if (f.Right > f.Left) C->DrawFocusRect(f);
  }
  if (!IsRectEmpty(L.IndicatorRect)) {
    TRect ind(L.IndicatorRect.Left, Row.Top, L.IndicatorRect.Right, Row.Top + Row.Height);
    RaisedFace(C, ind, FHeaderPanelColor, FLookStyle != tllRaised);
    DrawIndicatorGlyph(C, ind, GetIndicatorKind(n, Row.Selected));
  }
}

void TCustomvmTreeList::Paint() {
  TCanvas* C = Canvas();
  if (!C) return;
  // A drag image over the window stays out of the picture while it is painted.
  TDragImageHider hideDragImage(FNodeDragImages && FNodeDragImages->Dragging() ? FNodeDragImages.get() : nullptr);
  TvmTreeListLayout L;
  CalcLayout(L);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(L.ClientRect);
  bool focused = Focused();
  DrawHeader(C, L);
  if (!IsRectEmpty(L.GroupPanelRect)) {
    C->Brush()->SetColor(FGroupPanelColor);
    C->FillRect(L.GroupPanelRect);
    DrawGroupPanel(C, L.GroupPanelRect);
  }
  if (!IsRectEmpty(L.NewItemRowRect)) DrawNewItemRow(C, L, focused);
  for (const auto& row : L.VisibleRows) DrawRow(C, L, row, focused);
  if (!IsRectEmpty(L.EmptyBottomRect) && !IsRectEmpty(L.IndicatorRect)) {
    C->Brush()->SetColor(FHeaderPanelColor);
    C->FillRect(TRect(L.IndicatorRect.Left, L.EmptyBottomRect.Top, L.IndicatorRect.Right, L.IndicatorRect.Bottom));
  }
  // The strips between the fixed bands and the scrolling ones, from the band panel to the rows' end.
  if (FFixedBandSeparatorWidth > 0) {
    int bottom = L.LastRowBottom >= 0 ? L.LastRowBottom : L.RowsRect.Bottom;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FFixedBandSeparatorColor);
    const TRect& lr = L.LeftFixedBandRect;
    if (!IsRectEmpty(lr)) C->FillRect(TRect(lr.Right - FFixedBandSeparatorWidth, lr.Top, lr.Right, bottom));
    const TRect& rr = L.RightFixedBandRect;
    if (!IsRectEmpty(rr)) C->FillRect(TRect(rr.Left, rr.Top, rr.Left + FFixedBandSeparatorWidth, bottom));
  }
  // The panels below the rows cover whatever the last row left under them.
  if (!IsRectEmpty(L.FooterPanelRect)) DrawFooterPanel(C, L);
  if (!IsRectEmpty(L.StatusPanelRect)) DrawStatusPanel(C, L);
  // The drop arrows of a header drag: down above the gap, up below it.
  if (FArrowsPos.X != -100 || FArrowsPos.Y != -100) {
    int h = (FState == tlsBandDragging ? FBandHeight : FHeaderRowHeight) + 18;
    int x = FArrowsPos.X, y = FArrowsPos.Y;
    TPoint down[7] = {{x + 5, y + 8}, {x, y + 3},     {x + 3, y + 3}, {x + 3, y},
                      {x + 7, y},     {x + 7, y + 3}, {x + 10, y + 3}};
    TPoint up[7] = {{x + 5, y + h - 9}, {x + 10, y + h - 4}, {x + 7, y + h - 4}, {x + 7, y + h - 1},
                    {x + 3, y + h - 1}, {x + 3, y + h - 4},  {x, y + h - 4}};
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

// ---------------------------------------------------------------------------------------------
// Draw style, level colours, frame and scroll bars.

void TCustomvmTreeList::SetDrawStyle(TvmTreeListDrawStyle Value) {
  if (StoreChanged(FDrawStyle, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetGroupPanelColor(TColor Value) {
  if (StoreChanged(FGroupPanelColor, Value)) Invalidate();
}

void TCustomvmTreeList::SetGroupPanelTextColor(TColor Value) {
  if (StoreChanged(FGroupPanelTextColor, Value)) Invalidate();
}

TColor TCustomvmTreeList::GetLevelColor(int Level) {
  TColor c = FGroupPanelColor;
  if (IsLevelColorAssigned()) DoGetLevelColor(Level, c);
  return c;
}

void TCustomvmTreeList::SetBorderStyle(TFormBorderStyle Value) {
  if (Value != bsNone) Value = bsSingle;
  if (!StoreChanged(FBorderStyle, Value)) return;
  ApplyFrameBorder();
  LayoutChanged();
}

// The raised look has a sunken client edge; the flat looks a plain line in the window-frame colour.
void TCustomvmTreeList::ApplyFrameBorder() {
  const bool raised = FLookStyle == tllRaised;
  SetFrameBorder(FBorderStyle == bsNone ? 0 : raised ? 2 : 1, !raised);
}

void TCustomvmTreeList::SetScrollBars(TScrollStyle Value) {
  if (StoreChanged(FScrollBars, Value)) LayoutChanged();
}

int TCustomvmTreeList::LevelLimit(TvmTreeListNode* Node, TvmTreeListNode* Next) const {
  if (!Next) return 0;  // the last row of the tree closes every level
  const int level = Node->Level();
  int limit = Next->Level() < level ? Next->Level() * FIndent : level * FIndent;
  if (Next->Level() >= level) {
    if (Node->HasChildNodes() && Node->Expanded())
      limit += FIndent - 1;
    else if (!Node->HasChildNodes() && Node->IsLast())
      limit -= FIndent;
  }
  if (FDrawStyle == tlpStandard && !FShowRoot) limit -= FIndent;
  return std::max(0, limit);
}

// The compact button: a raised 12 x 12 face (a flat frame in the thin-line look) with a minus
// bar, crossed to a plus while the node is collapsed.
void TCustomvmTreeList::DrawCompactButton(TCanvas* C, const TRect& R, int CenterY, bool Collapsed) {
  const int x = (R.Left + R.Right - 12) / 2, y = CenterY - 6;
  const TRect b(x, y, x + 12, y + 12);
  if (FLookStyle == tllThinLine) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(b);
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(b);
  } else {
    RaisedFace(C, b, clBtnFace, false);
  }
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clBtnText);
  C->FillRect(TRect(x + 3, y + 5, x + 9, y + 7));
  if (Collapsed) C->FillRect(TRect(x + 5, y + 3, x + 7, y + 9));
}

// The indent of a compact row: one cell per level in that level's colour, separated by level
// lines (grid colour, or the window's without grid), a parent's own cell holding its button and
// its images on its level colour. Cells run on into the next row until the level limit.
void TCustomvmTreeList::DrawCompactIndent(TCanvas* C, const TvmTreeListLayout& L, const TvmTreeListRowInfo& Row,
                                          int Left, int Bottom) {
  TvmTreeListNode* n = Row.Node;
  const int level = n->Level();
  const bool parent = n->HasChildNodes();
  const int sep = L.GridLineWidth;
  const int topGap = parent && sep == 0 ? 1 : 0;
  const int limit = LevelLimit(n, n->GetNextVisible());
  const int clipRight = std::min(Left + L.FirstColumnWidth, L.RowsRect.Right);
  auto fill = [&](int X1, int Y1, int X2, int Y2, TColor Color) {
    X1 = std::max(X1, L.RowsRect.Left);
    X2 = std::min(X2, clipRight);
    if (X2 <= X1 || Y2 <= Y1) return;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color);
    C->FillRect(TRect(X1, Y1, X2, Y2));
  };
  // Node footers of outer levels run under a level's cell; the cell stops above them.
  auto levelBottom = [&](int I, bool Beyond) {
    const int k = CountNodeFootersBelow(n, I);
    return k > 0 ? Bottom - sep - k * FNodeFooterHeight : Bottom - (Beyond ? sep : 0);
  };
  const int cells = level + (parent ? 1 : 0);
  for (int i = 0; i < cells; ++i) {
    const int x = Left + i * FIndent;
    const bool beyond = i * FIndent >= limit;
    fill(x, Row.Top + (i == cells - 1 ? topGap : 0), x + FIndent - 1, levelBottom(i, beyond), GetLevelColor(i));
    if (i < level && sep > 0) fill(x + FIndent - 1, Row.Top, x + FIndent, levelBottom(i, beyond), GetGridLineColor());
  }
  const int cellBottom = Bottom - sep - Row.FooterHeight;
  if (!parent) return;
  const TColor own = GetLevelColor(level);
  const int x = Left + level * FIndent;
  // The line over a parent row, the pixel column after its button cell and its images' ground.
  if (topGap) {
    C->Brush()->SetColor(Color());
    C->FillRect(TRect(std::max(x, L.RowsRect.Left), Row.Top, L.DataRight + 1, Row.Top + 1));
  }
  fill(x + FIndent - 1, Row.Top + topGap, x + FIndent, levelBottom(level, true), own);
  fill(x + FIndent, Row.Top + topGap, Left + NodeIndent(n), cellBottom, own);
  if (FShowButtons) {
    TRect b(x, Row.Top + topGap, x + FIndent - 1, cellBottom);
    if (b.Right <= clipRight && b.Left >= L.RowsRect.Left)
      DrawCompactButton(C, b, (b.Top + b.Bottom) / 2, !n->Expanded());
  }
}

// With grid lines the standard indent is divided by a vertical line at the end of every level
// slot up to the node's own; a line stops above the node footers of outer levels, and above the
// separator where that closes its level.
void TCustomvmTreeList::DrawLevelLines(TCanvas* C, const TvmTreeListLayout& L, const TvmTreeListRowInfo& Row, int Left,
                                       int Bottom) {
  TvmTreeListNode* n = Row.Node;
  const int sep = L.GridLineWidth, first = FShowRoot ? 0 : 1;
  const int limit = LevelLimit(n, n->GetNextVisible());
  const int clipRight = std::min(Left + L.FirstColumnWidth, L.RowsRect.Right);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(GetGridLineColor());
  for (int i = first; i <= n->Level(); ++i) {
    const int x = Left + (i + 1 - first) * FIndent - 1;
    if (x < L.RowsRect.Left || x >= clipRight) continue;
    const int k = CountNodeFootersBelow(n, i);
    const bool beyond = (i - first) * FIndent >= limit;
    const int bottom = k > 0 ? Bottom - sep - k * FNodeFooterHeight : Bottom - (beyond ? sep : 0);
    if (bottom > Row.Top) C->FillRect(TRect(x, Row.Top, x + 1, bottom));
  }
}
