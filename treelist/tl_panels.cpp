// The panels under the rows: the footer panel (one sunken cell per column that has a footer),
// the node footer bands under the last row of a group, and the status panel with its close
// button and the button's delayed hint.
#include <algorithm>

#include "inspector/vm_dropdown.h"
#include "platform/forms.h"
#include "treelist/tl_treelist.h"

namespace {

constexpr int StatusHintDelay = 1000;  // ms the pointer rests on the close button before the hint
constexpr int StatusHintShowTime = 5000;

// A sunken frame one pixel wide on every side (thin-line look: a plain frame in the shadow colour).
void SunkenFrame(TCanvas* C, const TRect& R, bool ThinLine) {
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  if (ThinLine) {
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(R);
    return;
  }
  C->Pen()->SetColor(clBtnShadow);
  C->MoveTo(R.Left, R.Bottom - 1);
  C->LineTo(R.Left, R.Top);
  C->LineTo(R.Right, R.Top);
  C->Pen()->SetColor(clBtnHighlight);
  C->MoveTo(R.Right - 1, R.Top + 1);
  C->LineTo(R.Right - 1, R.Bottom - 1);
  C->LineTo(R.Left, R.Bottom - 1);
}

uint32_t AlignFlags(TAlignment A) { return A == taRightJustify ? DT_RIGHT : A == taCenter ? DT_CENTER : DT_LEFT; }

}  // namespace

void TCustomvmTreeList::SetShowFooterPanel(bool Value) {
  if (Value == FShowFooterPanel) return;
  FShowFooterPanel = Value;
  LayoutChanged();
}

void TCustomvmTreeList::SetFooterPanelColor(TColor Value) {
  if (Value == FFooterPanelColor) return;
  FFooterPanelColor = Value;
  Invalidate();
}

void TCustomvmTreeList::SetFooterPanelTextColor(TColor Value) {
  if (Value == FFooterPanelTextColor) return;
  FFooterPanelTextColor = Value;
  Invalidate();
}

void TCustomvmTreeList::SetFixedBandSeparatorWidth(int Value) {
  Value = std::max(0, Value);
  if (Value == FFixedBandSeparatorWidth) return;
  FFixedBandSeparatorWidth = Value;
  LayoutChanged();
}

void TCustomvmTreeList::SetFixedBandSeparatorColor(TColor Value) {
  if (Value == FFixedBandSeparatorColor) return;
  FFixedBandSeparatorColor = Value;
  Invalidate();
}

void TCustomvmTreeList::DrawFooterPanel(TCanvas* C, const TvmTreeListLayout& L) {
  TRect r = L.FooterPanelRect;
  // The frame, then the panel's face in the header colour.
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(FHeaderPanelColor);
  C->FillRect(r);
  C->Brush()->SetColor(clWindowFrame);
  if (FLookStyle == tllRaised)
    C->FrameRect(r);
  else
    C->FillRect(TRect(r.Left, r.Top, r.Right, r.Top + 1));
  InflateRect(r, -1, -1);
  DrawFooterCells(C, L, r.Top + (FLookStyle == tllRaised ? 0 : 1), nullptr, -1, FHeaderPanelColor, Font()->Color());
}

void TCustomvmTreeList::DrawFooterCells(TCanvas* C, const TvmTreeListLayout& L, int Top, TvmTreeListNode* Node,
                                        int FooterIndex, TColor Back, TColor Text) {
  bool thin = FLookStyle == tllThinLine;
  for (const auto& h : L.HeaderCells) {
    if (FooterIndex < 0 ? !HasFooterCell(h.Column) : !HasNodeFooterCell(Node, h.Column, FooterIndex)) continue;
    TRect cell(std::max(h.Rect.Left, L.RowsRect.Left), Top + FFooterRowHeight * h.BandRow, h.Rect.Right,
               Top + FFooterRowHeight * (h.BandRow + h.RowSpan));
    InflateRect(cell, -1, -1);
    if (h.LeftEdge) ++cell.Left;
    if (h.RightEdge) cell.Right -= 2;
    if (cell.Right <= cell.Left) continue;
    TRect clip = cell;
    clip.Left = std::max(clip.Left, h.Clip.Left);
    clip.Right = std::min(clip.Right, h.Clip.Right);
    if (clip.Right <= clip.Left) continue;
    SunkenFrame(C, cell, thin);
    InflateRect(cell, -1, -1);
    TvmTreeListDrawInfo di;
    di.Canvas = C;
    di.Rect = cell;
    di.Node = Node;
    di.Column = h.Column;
    di.FooterIndex = FooterIndex;
    GetFooterCellText(Node, h.Column, di.Text, FooterIndex);
    di.Color = Back;
    di.Alignment = GetFooterCellAlignment(Node, h.Column, FooterIndex);
    C->Font()->Assign(Font());
    C->Font()->SetColor(Text);
    di.Font = C->Font();
    if (IsFooterDrawAssigned(Node, h.Column, FooterIndex)) RunDrawHook(C, cell, [&] { DoDrawFooterCell(di); });
    if (!di.Done) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(di.Color);
      C->FillRect(cell);
      TRect t = cell;
      InflateRect(t, -2, 0);
      C->Brush()->SetStyle(bsClear);
      uint32_t flags = DT_NOPREFIX | AlignFlags(di.Alignment);
      flags |= h.RowSpan > 1 ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
      C->DrawText(di.Text, t, flags);
      C->Brush()->SetStyle(bsSolid);
    }
  }
  C->Font()->Assign(Font());
}

// ---------------------------------------------------------------------------------------------
// Node footers.

void TCustomvmTreeList::SetShowNodeFooters(bool Value) {
  if (Value == FShowNodeFooters) return;
  FShowNodeFooters = Value;
  LayoutChanged();
}

// The parents whose footers close under Node's row, innermost first: the row is the last one
// shown of each (the node and every step up to that parent is the last of its siblings).
// A node whose children are shown closes no group: its last shown descendant does.
int TCustomvmTreeList::GetNodeFooterCount(TvmTreeListNode* Node) { return CountNodeFootersBelow(Node, INT32_MAX); }

int TCustomvmTreeList::GetNodeFooterLevel(TvmTreeListNode* Node, int J) {
  if (!FShowNodeFooters || !Node || J < 0 || (Node->HasChildNodes() && Node->Expanded())) return -1;
  for (TvmTreeListNode* n = Node; n->Parent() && n->IsLast(); n = n->Parent()) {
    int level = n->Parent()->Level();
    if (IsLevelFooterShown(level) && J-- == 0) return level;
  }
  return -1;
}

int TCustomvmTreeList::CountNodeFootersBelow(TvmTreeListNode* Node, int Level) {
  if (!FShowNodeFooters || !Node || (Node->HasChildNodes() && Node->Expanded())) return 0;
  int count = 0;
  for (TvmTreeListNode* n = Node; n->Parent() && n->IsLast(); n = n->Parent()) {
    int level = n->Parent()->Level();
    if (level < Level && IsLevelFooterShown(level)) ++count;
  }
  return count;
}

void TCustomvmTreeList::DrawNodeFooters(TCanvas* C, const TvmTreeListLayout& L, const TvmTreeListRowInfo& Row) {
  int grid = L.GridLineWidth;
  int g = grid > 0 && FShowPreviewGrid ? 1 : 0;
  int shift = L.LeftFixedBand >= 0 ? 0 : FLeftPos;
  int first = FShowRoot || FDrawStyle == tlpCompact ? 0 : 1;
  int right = L.DataRight + 1 - g;
  if (!IsRectEmpty(L.RightFixedBandRect)) right = std::min(right, L.RightFixedBandRect.Left);
  int top = Row.Top + Row.Height - grid - Row.FooterHeight;
  for (int j = 0; j < Row.FooterCount; ++j, top += FNodeFooterHeight) {
    int level = GetNodeFooterLevel(Row.Node, j);
    TRect band(std::max(L.RowsRect.Left, L.RowsRect.Left + (level + 1 - first) * FIndent - shift), top, right,
               top + FNodeFooterHeight);
    if (band.Right <= band.Left) continue;
    // A footer band takes its level's colour when level colours are given.
    const TColor back = IsLevelColorAssigned() ? GetLevelColor(level) : FFooterPanelColor;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(back);
    C->FillRect(band);
    if (g) {
      C->Brush()->SetColor(GetGridLineColor());
      C->FillRect(TRect(band.Left, band.Top, band.Right, band.Top + 1));
      C->FillRect(TRect(band.Right, band.Top, band.Right + 1, band.Bottom));
    }
    // The cells clip to the band: a footer of an outer level shows none of the indent left of it.
    RunDrawHook(C, band,
                [&] { DrawFooterCells(C, L, band.Top + 1, Row.Node, j, FFooterPanelColor, FFooterPanelTextColor); });
  }
}

TRect TCustomvmTreeList::GetStatusCloseButtonRect() {
  if (FStatusHeight <= 0 || !HasStatusCloseButton()) return TRect();
  TvmTreeListLayout L;
  CalcLayoutRects(L);
  TRect p = L.StatusPanelRect;
  int top = p.Top + (p.Bottom - p.Top - 11) / 2;
  return TRect(p.Left + 3, top, p.Left + 15, top + 11);
}

void TCustomvmTreeList::DrawStatusPanel(TCanvas* C, const TvmTreeListLayout& L) {
  TRect p = L.StatusPanelRect;
  TColor shadow = FLookStyle == tllThinLine ? TColor(0xA0A0A0) : clBtnShadow;
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(shadow);
  C->FillRect(p);
  TRect t = p;
  InflateRect(t, -2, -2);
  if (HasStatusCloseButton()) {
    t.Left += 18;
    TRect b = GetStatusCloseButtonRect();
    bool pressed = FState == tlsStatusCloseButtonPressed && FStatusCloseHot;
    bool hot = FStatusCloseHot && !pressed;
    C->Brush()->SetColor(pressed ? clWindowFrame : hot ? clWindow : clBtnFace);
    C->FillRect(b);
    // An X of two 2-pixel-wide diagonals inside the button less 2 pixels.
    TColor ink = pressed ? clWindow : hot ? clWindowFrame : clBtnText;
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(ink);
    TRect x = b;
    InflateRect(x, -2, -2);
    int n = std::min(x.Right - x.Left, x.Bottom - x.Top) - 1;
    for (int k = 0; k < 2; ++k) {
      C->MoveTo(x.Left + k, x.Top);
      C->LineTo(x.Left + k + n, x.Top + n);
      C->MoveTo(x.Left + k + n - 1, x.Top);
      C->LineTo(x.Left + k - 1, x.Top + n);
    }
  }
  std::string text;
  GetStatusText(text);
  C->Font()->Assign(Font());
  C->Font()->SetColor(clBtnHighlight);
  C->Brush()->SetStyle(bsClear);
  C->DrawText(text, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  C->Brush()->SetStyle(bsSolid);
  C->Font()->Assign(Font());
}

// The pointer moved: the close button becomes hot or not, and its hint is timed.
void TCustomvmTreeList::StatusMouseMove(int X, int Y) {
  TRect b = GetStatusCloseButtonRect();
  bool hot = !IsRectEmpty(b) && PtInRect(b, TPoint(X, Y));
  if (hot == FStatusCloseHot) {
    if (hot && FState != tlsIdle && FState != tlsStatusCloseButtonPressed) HideStatusHint();
    return;
  }
  FStatusCloseHot = hot;
  Invalidate();
  if (!hot || FState != tlsIdle)
    HideStatusHint();
  else
    ShowStatusHint(false);
}

void TCustomvmTreeList::ShowStatusHint(bool Immediate) {
  HideStatusHint();
  if (!Immediate) {
    if (!FStatusShowTimer) {
      FStatusShowTimer = new TTimer(this);
      FStatusShowTimer->SetEnabled(false);
      FStatusShowTimer->SetOnTimer([this](TObject*) { ShowStatusHint(true); });
    }
    FStatusShowTimer->SetInterval(StatusHintDelay);
    FStatusShowTimer->SetEnabled(true);
    return;
  }
  std::string text;
  GetStatusHint(text);
  TRect b = GetStatusCloseButtonRect();
  if (!FStatusHint) FStatusHint = std::make_unique<TvmContainerHintWindow>(nullptr);
  FStatusHint->ShowText(ClientToScreen(TPoint(b.Right + 4, b.Top - FTextHeight)), text, Font());
  if (!FStatusHideTimer) {
    FStatusHideTimer = new TTimer(this);
    FStatusHideTimer->SetEnabled(false);
    FStatusHideTimer->SetOnTimer([this](TObject*) { HideStatusHint(); });
  }
  FStatusHideTimer->SetInterval(StatusHintShowTime);
  FStatusHideTimer->SetEnabled(true);
}

void TCustomvmTreeList::HideStatusHint() {
  if (FStatusShowTimer) FStatusShowTimer->SetEnabled(false);
  if (FStatusHideTimer) FStatusHideTimer->SetEnabled(false);
  FStatusHint.reset();
}

// ---------------------------------------------------------------------------------------------
// The new-item row.

void TCustomvmTreeList::SetNewItemRowVisible(bool Value) {
  if (Value == FNewItemRowVisible) return;
  FNewItemRowVisible = Value;
  if (!Value) FNewItemRowActive = false;
  LayoutChanged();
}

void TCustomvmTreeList::SetNewItemRowActive(bool Value) {
  if (!IsNewItemRowShown() || Value == FNewItemRowActive) return;
  if (Value && FState == tlsEditing) CloseEditor();
  FNewItemRowActive = Value;
  Invalidate();
}

void TCustomvmTreeList::DrawNewItemRow(TCanvas* C, const TvmTreeListLayout& L, bool Focused) {
  TRect r = L.NewItemRowRect;
  int sep = FNewItemSeparatorHeight;
  int rowBottom = r.Bottom - sep;
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(TRect(r.Left, r.Top, r.Right, rowBottom));
  // The separator bar under the row, as wide as the bands.
  int barRight = std::min(L.DataRight + 1, r.Right);
  if (!IsRectEmpty(L.RightFixedBandRect)) barRight = std::min(barRight, L.RowsRect.Right);
  TRect bar(L.RowsRect.Left - FIndicatorWidth, rowBottom, barRight, r.Bottom);
  C->Brush()->SetColor(FHeaderPanelColor);
  C->FillRect(bar);
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(clBtnShadow);
  C->MoveTo(bar.Left, bar.Bottom - 1);
  C->LineTo(bar.Right, bar.Bottom - 1);
  if (FLookStyle == tllRaised) {
    C->Pen()->SetColor(clBtnHighlight);
    C->MoveTo(bar.Left, bar.Top);
    C->LineTo(bar.Right, bar.Top);
  }
  if (FIndicatorWidth > 0) {
    // The indicator's insert mark.
    TRect ind(r.Left, r.Top, r.Left + FIndicatorWidth, rowBottom);
    C->Brush()->SetColor(FHeaderPanelColor);
    C->FillRect(ind);
    DrawIndicatorGlyph(C, ind, 3);
  }
  bool showSel = FNewItemRowActive && (Focused || !FHideSelection);
  int focusCol = GetFocusedAbsoluteColumn();
  bool rowSelect = FOptions.Contains(tloRowSelect);
  for (const auto& h : L.HeaderCells) {
    TRect cell(h.Clip.Left, r.Top, h.Clip.Right - (FShowGrid ? 1 : 0), std::min(rowBottom, r.Top + FDefaultRowHeight));
    if (cell.Right <= cell.Left) continue;
    bool selected = showSel && (rowSelect || h.Column == focusCol ||
                                (FOptions.Contains(tloMultiSelect) && !FExtendedOptions.Contains(tlxCellFrame)));
    TvmTreeListDrawInfo di;
    di.Canvas = C;
    di.Rect = cell;
    di.Node = FFocusedNode;
    di.Column = h.Column;
    di.Selected = selected;
    di.NewItemRow = true;
    di.Text = GetEditingCellText(h.Column);
    di.Color = selected ? (Focused ? FSelectionColor : FInactiveSelectionColor) : Color();
    di.Alignment = GetColumnAlignment(h.Column);
    C->Font()->Assign(Font());
    if (selected) C->Font()->SetColor(Focused ? FSelectionTextColor : FInactiveSelectionTextColor);
    di.Font = C->Font();
    if (IsCellDrawAssigned(FFocusedNode, h.Column)) RunDrawHook(C, cell, [&] { DoDrawDataCell(di); });
    if (!di.Done) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(di.Color);
      C->FillRect(cell);
      TRect t = cell;
      InflateRect(t, -2, 0);
      C->Brush()->SetStyle(bsClear);
      C->DrawText(di.Text, t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | AlignFlags(di.Alignment));
      C->Brush()->SetStyle(bsSolid);
    }
    if (FShowGrid) {
      C->Brush()->SetColor(GetGridLineColor());
      C->FillRect(TRect(cell.Right, r.Top, cell.Right + 1, rowBottom));
    }
    if (FNewItemRowActive && Focused && !rowSelect && h.Column == focusCol && !FOptions.Contains(tloHideFocusRect))
      C->DrawFocusRect(cell);
  }
  if (FNewItemRowActive && Focused && rowSelect && !FOptions.Contains(tloHideFocusRect)) {
    TRect f(L.RowsRect.Left, r.Top, std::min(L.DataRight + 1, L.RowsRect.Right), rowBottom);
    if (f.Right > f.Left) C->DrawFocusRect(f);
  }
  C->Font()->Assign(Font());
}
