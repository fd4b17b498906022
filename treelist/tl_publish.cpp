// The published properties of the tree list, its bands and its columns (the tables streaming,
// form storage and the inspector read), the column's extra stream values and the registration
// of the classes a stored form names.
#include "platform/imglist.h"
#include "platform/stdctrls.h"
#include "platform/streaming.h"
#include "treelist/tl_control.h"

namespace {

const TEnumInfo BandFixedInfo("TzoViraBandFixed", {"bfNone", "bfLeft", "bfRight"});
const TEnumInfo ColumnSortInfo("TvmTreeListColumnSort", {"csNone", "csDown", "csUp"});
const TEnumInfo ColumnCharCaseInfo("TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"});
const TEnumInfo ColumnTextLayoutInfo("TTextLayout", {"tlTop", "tlCenter", "tlBottom"});
const TEnumInfo LookStyleInfo("TvmTreeListLookStyle", {"tllRaised", "tllFlat", "tllThinLine"});
const TEnumInfo LineStyleInfo("TvmTreeListLineStyle", {"tlnSolid", "tlnDotted"});
const TEnumInfo DrawStyleInfo("TvmTreeListDrawStyle", {"tlpStandard", "tlpCompact"});
const TEnumInfo FrameBorderInfo("TFormBorderStyle",
                                {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
const TEnumInfo ScrollBarsInfo("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
const TEnumInfo DragModeInfo("TvmTreeListDragMode", {"tldmManual", "tldmAutomatic"});
const TEnumInfo OptionInfo("TvmTreeListOption",
                           {"tloColumnSizing", "tloColumnMoving", "tloEditing", "tloEditorTabs", "tloTabThrough",
                            "tloRowSelect", "tloMultiSelect", "tloClickEdits", "tloPreview", "tloDrawEndEllipsis",
                            "tloAutoWidth", "tloMixedLevelSelect", "tloHideByDragOut", "tloHideFocusRect",
                            "tloAutoSort", "tloReserved15", "tloStoreToRegistry", "tloStoreToIniFile"});
const TEnumInfo ExtendedOptionInfo("TvmTreeListExtendedOption",
                                   {"tlxCellFrame",         "tlxBufferedText",       "tlxBands",
                                    "tlxAutoPreviewLines",  "tlxBandSizing",         "tlxBandMoving",
                                    "tlxArrowsWrap",        "tlxRowNavigation",      "tlxReserved8",
                                    "tlxEnterThrough",      "tlxTypingEdits",        "tlxUnlimitedSizing",
                                    "tlxDragScroll",        "tlxDragExpand",         "tlxDragExpandToggles",
                                    "tlxRowAutoHeight",     "tlxSortHourglass",      "tlxBandButton",
                                    "tlxBandPanelSizing",   "tlxHeaderButton",       "tlxHeaderPanelSizing",
                                    "tlxRowSizing",         "tlxMultiSort",          "tlxReserved23",
                                    "tlxImmediateEditor",   "tlxAutoHeaderRowCount", "tlxUnused26",
                                    "tlxCaseSensitiveSort", "tlxMouseTracksFocus",   "tlxIncrementalSearch",
                                    "tlxHotTrack",          "tlxCopyOnCtrlC"});

template <class T>
bool Assigned(TObject* O, TvmTreeListColumnValue V) {
  return static_cast<T*>(O)->AssignedValues().Contains(V);
}

}  // namespace

VM_PUBLISH(TvmTreeListBand) {
  P.Enum("Alignment", &TvmTreeListBand::Alignment, &TvmTreeListBand::SetAlignment, AlignmentInfo).Default(taCenter);
  P.String("Caption", &TvmTreeListBand::Caption, &TvmTreeListBand::SetCaption).Default("");
  P.Bool("DisableCustomizing", &TvmTreeListBand::DisableCustomizing, &TvmTreeListBand::DisableCustomizing)
      .Default(false);
  P.Bool("DisableDragging", &TvmTreeListBand::DisableDragging, &TvmTreeListBand::DisableDragging).Default(false);
  P.Int("MinWidth", &TvmTreeListBand::MinWidth, &TvmTreeListBand::SetMinWidth).Default(30);
  P.Bool("OnlyOwnColumns", &TvmTreeListBand::OnlyOwnColumns, &TvmTreeListBand::OnlyOwnColumns).Default(false);
  P.Bool("Sizing", &TvmTreeListBand::Sizing, &TvmTreeListBand::SetSizing).Default(true);
  P.Bool("Visible", &TvmTreeListBand::Visible, &TvmTreeListBand::SetVisible).Default(true);
  P.Int("Width", &TvmTreeListBand::Width, &TvmTreeListBand::SetWidth).Default(250);
  // Last: fixing a visible band moves it to its end of the collection.
  P.Enum("Fixed", &TvmTreeListBand::Fixed, &TvmTreeListBand::SetFixed, BandFixedInfo).Default(bfNone);
}

VM_PUBLISH(TvmTreeListColumn) {
  using C = TvmTreeListColumn;
  P.Enum("Alignment", &C::Alignment, &C::SetAlignment, AlignmentInfo).NoDefault().Stored([](TObject* o) {
    return Assigned<C>(o, cvAlignment);
  });
  P.Int("Color", &C::Color, &C::SetColor).NoDefault().Idents(ColorIdents).Stored([](TObject* o) {
    auto* c = static_cast<C*>(o);
    return c->AssignedValues().Contains(cvColor) && (!c->TreeList() || c->Color() != c->TreeList()->Color());
  });
  P.String("Caption", &C::Caption, &C::SetCaption).NoDefault().Stored([](TObject* o) {
    auto* c = static_cast<C*>(o);
    return c->AssignedValues().Contains(cvCaption) && c->Caption() != c->GetDefaultCaption();
  });
  P.Enum("CharCase", &C::CharCase, &C::SetCharCase, ColumnCharCaseInfo).Default(ecNormal);
  P.Bool("DisableCaption", &C::DisableCaption, &C::DisableCaption).Default(false);
  P.Bool("DisableCustomizing", &C::DisableCustomizing, &C::DisableCustomizing).Default(false);
  P.Bool("DisableDragging", &C::DisableDragging, &C::DisableDragging).Default(false);
  P.Bool("DisableEditor", &C::DisableEditor, &C::DisableEditor).Default(false);
  P.Bool("DisableFilterButton", &C::DisableFilterButton, &C::SetDisableFilterButton).Default(false);
  P.Object("Font", &C::Font, &C::SetFont).Stored([](TObject* o) { return Assigned<C>(o, cvFont); });
  P.Enum("HeaderAlignment", &C::HeaderAlignment, &C::HeaderAlignment, AlignmentInfo).Default(taLeftJustify);
  P.Int("HeaderMaxLineCount", &C::HeaderMaxLineCount, &C::SetHeaderMaxLineCount).Default(1);
  P.Int("MaxLength", &C::MaxLength, &C::SetMaxLength).NoDefault().Stored([](TObject* o) {
    auto* c = static_cast<C*>(o);
    return Assigned<C>(o, cvMaxLength) && c->MaxLength() != c->GetDefaultMaxLength();
  });
  P.Int("MinWidth", &C::MinWidth, &C::SetMinWidth).Default(20);
  P.Bool("OEMConvert", &C::OEMConvert, &C::SetOEMConvert).Default(false);
  P.Char("PasswordChar", &C::PasswordChar, &C::SetPasswordChar).Default(0);
  P.Bool("ReadOnly", &C::StoredReadOnly, &C::SetReadOnly).NoDefault().Stored([](TObject* o) {
    return Assigned<C>(o, cvReadOnly);
  });
  P.Bool("Sizing", &C::Sizing, &C::SetSizing).Default(true);
  P.Enum("Sorted", &C::Sorted, &C::SetSorted, ColumnSortInfo).Default(csNone);
  P.Bool("TabStop", &C::TabStop, &C::SetTabStop).Default(true);
  P.Enum("VertAlignment", &C::VertAlignment, &C::SetVertAlignment, ColumnTextLayoutInfo).Default(tlTop);
  P.Bool("Visible", &C::Visible, &C::SetVisible).Default(true);
  P.Int("Width", &C::Width, &C::SetWidth).NoDefault().Stored([](TObject* o) { return Assigned<C>(o, cvWidth); });
  P.Int("BandIndex", &C::BandIndex, &C::SetBandIndex).NoDefault();
  P.Int("RowIndex", &C::RowIndex, &C::SetRowIndex).NoDefault();
  P.Int("ColIndex", &C::ColIndex, &C::SetColIndex).NoDefault();
  P.Event("OnChange", &C::OnChange);
  P.Event("OnCustomDrawCell", &C::OnCustomDrawCell);
  P.Event("OnCustomDrawColumnHeader", &C::OnCustomDrawColumnHeader);
  P.Event("OnValidate", &C::OnValidate);
}

VM_PUBLISH(TvmTreeListMaskColumn) {
  P.String("EditMask", &TvmTreeListMaskColumn::EditMask, &TvmTreeListMaskColumn::EditMask).Default("");
  P.Bool("IgnoreMaskBlank", &TvmTreeListMaskColumn::IgnoreMaskBlank, &TvmTreeListMaskColumn::IgnoreMaskBlank)
      .Default(false);
}

VM_DEFINE_CLASS(TCustomvmTreeListControl)

VM_PUBLISH(TvmTreeList) {
  using C = TvmTreeList;
  P.Set("Options", &C::Options, &C::SetOptions, OptionInfo).Default(BitsToOptions(0x37));
  P.Set("ExtendedOptions", &C::ExtendedOptions, &C::SetExtendedOptions, ExtendedOptionInfo)
      .Default(BitsToExtendedOptions(0x303E));
  P.Bool("DefaultLayout", &C::DefaultLayout, &C::SetDefaultLayout).Default(true);
  P.Int("HeaderPanelMaxRowCount", &C::HeaderPanelMaxRowCount, &C::SetHeaderPanelMaxRowCount).Default(5);
  P.Int("HeaderPanelRowCount", &C::HeaderPanelRowCount, &C::SetHeaderPanelRowCount).Default(1).Stored([](TObject* o) {
    return !static_cast<C*>(o)->ExtendedOptions().Contains(tlxAutoHeaderRowCount);
  });
  P.Int("BandMaxRowCount", &C::BandMaxRowCount, &C::SetBandMaxRowCount).Default(5);
  P.Int("BandRowCount", &C::BandRowCount, &C::SetBandRowCount).Default(1);
  P.Int("HeaderMinRowCount", &C::HeaderMinRowCount, &C::SetHeaderMinRowCount).Default(1);
  P.Collection("Bands", &C::Bands, &C::SetBands);
  P.Bool("ShowBandPanel", &C::ShowBandPanel, &C::SetShowBandPanel).Default(false);
  P.Bool("ShowHeaderPanel", &C::ShowHeaderPanel, &C::SetShowHeaderPanel).Default(true);
  P.Bool("ShowFooterPanel", &C::ShowFooterPanel, &C::SetShowFooterPanel).Default(false);
  P.Bool("ShowNodeFooters", &C::ShowNodeFooters, &C::SetShowNodeFooters).Default(false);
  P.Bool("ShowIndicatorColumn", &C::ShowIndicatorColumn, &C::SetShowIndicatorColumn).Default(false);
  P.Bool("NewItemRowVisible", &C::NewItemRowVisible, &C::SetNewItemRowVisible).Default(false);
  P.Bool("ShowGrid", &C::ShowGrid, &C::SetShowGrid).Default(false);
  P.Bool("ShowPreviewGrid", &C::ShowPreviewGrid, &C::SetShowPreviewGrid).Default(true);
  P.Bool("ShowButtons", &C::ShowButtons, &C::SetShowButtons).Default(true);
  P.Bool("ShowLines", &C::ShowLines, &C::SetShowLines).Default(true);
  P.Bool("ShowRoot", &C::ShowRoot, &C::SetShowRoot).Default(true);
  P.Bool("HideSelection", &C::HideSelection, &C::SetHideSelection).Default(true);
  P.Bool("ExpandOnDblClick", &C::ExpandOnDblClick, &C::SetExpandOnDblClick).Default(true);
  P.Bool("SearchExpandsNodes", &C::SearchExpandsNodes, &C::SetSearchExpandsNodes).Default(true);
  P.Int("DefaultRowHeight", &C::DefaultRowHeight, &C::SetDefaultRowHeight).NoDefault().Stored([](TObject* o) {
    return static_cast<C*>(o)->DefaultRowHeightAssigned();
  });
  P.Int("PreviewLineCount", &C::PreviewLineCount, &C::SetPreviewLineCount).Default(2);
  P.Int("PreviewIndent", &C::PreviewIndent, &C::SetPreviewIndent).Default(20);
  P.Int("MaxRowTextLineCount", &C::MaxRowTextLineCount, &C::SetMaxRowTextLineCount).Default(-1);
  P.Int("RowSeparatorWidth", &C::RowSeparatorWidth, &C::SetRowSeparatorWidth).Default(1);
  P.Int("FixedBandSeparatorWidth", &C::FixedBandSeparatorWidth, &C::SetFixedBandSeparatorWidth).Default(2);
  P.Int("DragExpandDelay", &C::DragExpandDelay, &C::SetDragExpandDelay).Default(500);
  P.Bool("DragImageVisible", &C::DragImageVisible, &C::SetDragImageVisible).Default(true);
  P.Enum("DragMode", &C::DragMode, &C::SetDragMode, DragModeInfo).Default(tldmManual);
  P.Enum("LookStyle", &C::LookStyle, &C::SetLookStyle, LookStyleInfo).Default(tllRaised);
  P.Enum("TreeConnectorStyle", &C::TreeConnectorStyle, &C::SetTreeConnectorStyle, LineStyleInfo).Default(tlnDotted);
  P.Int("GridColor", &C::GridColor, &C::SetGridColor).Default(clBtnShadow).Idents(ColorIdents);
  P.Int("GridPenColor", &C::GridPenColor, &C::SetGridPenColor).Default(clNone).Idents(ColorIdents);
  P.Int("SelectionColor", &C::SelectionColor, &C::SetSelectionColor).Default(clHighlight).Idents(ColorIdents);
  P.Int("SelectionTextColor", &C::SelectionTextColor, &C::SetSelectionTextColor)
      .Default(clHighlightText)
      .Idents(ColorIdents);
  P.Bool("SuppressFocusRect", &C::SuppressFocusRect, &C::SetSuppressFocusRect).Default(true);
  P.Int("SearchMatchColor", &C::SearchMatchColor, &C::SetSearchMatchColor).Default(clNone).Idents(ColorIdents);
  P.Int("SearchMatchTextColor", &C::SearchMatchTextColor, &C::SetSearchMatchTextColor)
      .Default(clNone)
      .Idents(ColorIdents);
  P.Int("TreeConnectorColor", &C::TreeConnectorColor, &C::SetTreeConnectorColor)
      .Default(clGrayText)
      .Idents(ColorIdents);
  P.Int("FooterPanelColor", &C::FooterPanelColor, &C::SetFooterPanelColor).Default(cl3DLight).Idents(ColorIdents);
  P.Int("FooterPanelTextColor", &C::FooterPanelTextColor, &C::SetFooterPanelTextColor)
      .Default(clWindowText)
      .Idents(ColorIdents);
  P.Int("FixedBandSeparatorColor", &C::FixedBandSeparatorColor, &C::SetFixedBandSeparatorColor)
      .Default(clWindowFrame)
      .Idents(ColorIdents);
  P.Int("DropArrowsColor", &C::DropArrowsColor, &C::SetDropArrowsColor).Default(clLime).Idents(ColorIdents);

  // Draw style, level colours, frame and scroll bars.
  P.Enum("DrawStyle", &C::DrawStyle, &C::SetDrawStyle, DrawStyleInfo).Default(tlpStandard);
  P.Int("GroupPanelColor", &C::GroupPanelColor, &C::SetGroupPanelColor).Default(clBtnFace).Idents(ColorIdents);
  P.Int("GroupPanelTextColor", &C::GroupPanelTextColor, &C::SetGroupPanelTextColor).Default(clNone).Idents(ColorIdents);
  P.Int("CustomizeListRowCount", &C::CustomizeListRowCount, &C::SetCustomizeListRowCount).Default(11);
  P.Enum("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, FrameBorderInfo).Default(bsSingle);
  P.Enum("ScrollBars", &C::ScrollBars, &C::SetScrollBars, ScrollBarsInfo).Default(ssBoth);
  P.Event("OnGetNodeLevelColor", &C::OnGetNodeLevelColor);
  P.Object("BandPanelFont", &C::BandPanelFont, &C::SetBandPanelFont);
  P.Object("HeaderPanelFont", &C::HeaderPanelFont, &C::SetHeaderPanelFont);
  P.Object("PreviewTextFont", &C::PreviewTextFont, &C::SetPreviewTextFont);
  P.Component("Images", &C::Images, &C::SetImages);
  P.Component("StateImages", &C::StateImages, &C::SetStateImages);
  P.String("RegistryPath", &C::RegistryPath, &C::RegistryPath).Default("");
  P.String("IniFileName", &C::IniFileName, &C::IniFileName).Default("");
  P.String("IniSectionPrefix", &C::IniSectionPrefix, &C::IniSectionPrefix).Default("");
  P.Event("OnAddition", &C::OnAddition);
  P.Event("OnDeletion", &C::OnDeletion);
  P.Event("OnExpanding", &C::OnExpanding);
  P.Event("OnExpanded", &C::OnExpanded);
  P.Event("OnCollapsing", &C::OnCollapsing);
  P.Event("OnCollapsed", &C::OnCollapsed);
  P.Event("OnChangeNode", &C::OnChangeNode);
  P.Event("OnSelectionChanged", &C::OnSelectionChanged);
  P.Event("OnCompare", &C::OnCompare);
  P.Event("OnEditing", &C::OnEditing);
  P.Event("OnEdited", &C::OnEdited);
  P.Event("OnColumnsWidthChanged", &C::OnColumnsWidthChanged);
  P.Event("OnCustomDraw", &C::OnCustomDraw);
  P.Event("OnCustomDrawCell", &C::OnCustomDrawCell);
  P.Event("OnCustomDrawColumnHeader", &C::OnCustomDrawColumnHeader);
  P.Event("OnDrawBand", &C::OnDrawBand);
  P.Event("OnDrawPreview", &C::OnDrawPreview);
  P.Event("OnDrawPreviewCell", &C::OnDrawPreviewCell);
  P.Event("OnDrawFooterCell", &C::OnDrawFooterCell);
  P.Event("OnCustomDrawRowFooter", &C::OnCustomDrawRowFooter);
  P.Event("OnHasFooterCell", &C::OnHasFooterCell);
  P.Event("OnGetDragText", &C::OnGetDragText);
  P.Event("OnColumnHeaderClick", &C::OnColumnHeaderClick);
  P.Event("OnBeforeColumnSort", &C::OnBeforeColumnSort);
  P.Event("OnGetColumnSortState", &C::OnGetColumnSortState);
  P.Event("OnCanDragBand", &C::OnCanDragBand);
  P.Event("OnBandDragEnd", &C::OnBandDragEnd);
  P.Event("OnBandShown", &C::OnBandShown);
  P.Event("OnBandHidden", &C::OnBandHidden);
  P.Event("OnCanDragHeader", &C::OnCanDragHeader);
  P.Event("OnHeaderDragEnd", &C::OnHeaderDragEnd);
  P.Event("OnHeaderShown", &C::OnHeaderShown);
  P.Event("OnHeaderHidden", &C::OnHeaderHidden);
  P.Event("OnHeaderRelocated", &C::OnHeaderRelocated);
  P.Event("OnColumnMoved", &C::OnColumnMoved);
  P.Event("OnColumnDragFinished", &C::OnColumnDragFinished);
  P.Event("OnMeasureCellText", &C::OnMeasureCellText);
}

// ---------------------------------------------------------------------------------------------
// Stream values beyond the published ones, children and loading.

void TvmTreeListColumn::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  // The header picture as its bitmap file, when the column has one.
  Filer->DefineBinaryProperty(
      "HeaderGlyph", [this](TStream& S) { HeaderGlyph()->LoadFromStream(S); },
      [this](TStream& S) { FHeaderGlyph->SaveToStream(S); }, FHeaderGlyph && !FHeaderGlyph->Empty());
  TCustomvmTreeListControl* tl = FTreeList;
  bool sortedOrder =
      tl && FSorted != csNone && tl->SortedColumnCount() > 1 && tl->ExtendedOptions().Contains(tlxMultiSort);
  Filer->DefineProperty(
      "SortedOrder", [this](TReader* R) { FSortOrder = static_cast<int>(R->ReadInteger()); },
      [this, tl](TWriter* W) {
        int i = 0;
        while (i < tl->SortedColumnCount() && tl->SortedColumns(i) != this) ++i;
        W->WriteInteger(i);
      },
      sortedOrder);
  Filer->DefineProperty(
      "StoredRowIndex", [this](TReader* R) { FStoredRowIndex = std::max(0, static_cast<int>(R->ReadInteger())); },
      [this](TWriter* W) { W->WriteInteger(FStoredRowIndex); }, FStoredRowIndex != 0);
}

void TCustomvmTreeListControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  // The columns only: the cached in-place editors are the control's own business.
  for (TvmTreeListColumn* c : std::vector<TvmTreeListColumn*>(FColumns))
    if (c->Owner() == Root || c->Owner() == this) Proc(c);
}

void TCustomvmTreeListControl::SetChildOrder(TComponent* Child, int Order) {
  if (auto* c = dynamic_cast<TvmTreeListColumn*>(Child); c && c->TreeList() == this) c->SetIndex(Order);
}

void TCustomvmTreeListControl::SetBands(TvmTreeListBands* Value) {
  if (Value && Value != FBands.get()) FBands->Assign(Value);
}

void TCustomvmTreeListControl::SetBandPanelFont(TFont* Value) {
  if (Value) FBandPanelFont->Assign(Value);
}
void TCustomvmTreeListControl::SetHeaderPanelFont(TFont* Value) {
  if (Value) FHeaderPanelFont->Assign(Value);
}
void TCustomvmTreeListControl::SetPreviewTextFont(TFont* Value) {
  if (Value) FPreviewTextFont->Assign(Value);
}

void RegisterTreeListClasses() {
  RegisterClasses({TvmTreeListColumn::StaticClass(), TvmTreeListMaskColumn::StaticClass(), TvmTreeList::StaticClass()});
}

void UnregisterTreeListClasses() {
  UnRegisterClasses(
      {TvmTreeListColumn::StaticClass(), TvmTreeListMaskColumn::StaticClass(), TvmTreeList::StaticClass()});
}
