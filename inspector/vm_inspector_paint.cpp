// The inspector's painting.
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
