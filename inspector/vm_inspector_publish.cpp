// The published properties of the inspector and its rows (the tables streaming and form storage
// read), the rows as the inspector's stream children, the streamed row order "Data" and the
// registration of the classes a stored form names.
#include "inspector/vm_inspector.h"

#include <cstring>

#include "inspector/vm_inspector_rows.h"

#include "platform/imglist.h"
#include "platform/sysutils.h"
#include "platform/stdctrls.h"
#include "platform/streaming.h"
#include "platform/streams.h"

namespace {

const TEnumInfo CharCaseInfo("TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"});
const TEnumInfo PaintStyleInfo("TvmInspectorPaintStyle",
                               {"ipsStandard", "ipsSimple", "ipsExtended", "ipsNET", "ipsCategorized"});
const TEnumInfo OptionInfo("TvmInspectorOption",
                           {"ioAutoBandCount", "ioAutoWidth", "ioBandSizing", "ioColumnSizing", "ioDrawEndEllipsis",
                            "ioDynamicColumnSizing", "ioEditing", "ioEnterThrough", "ioRowAutoHeight", "ioRowSizing",
                            "ioStoreToRegistry", "ioTabThrough", "ioTabs"});
const TEnumInfo NullStyleInfo("TvmShowNullFieldStyle", {"nsUnchecked", "nsInactive", "nsGrayedChecked"});
const TEnumInfo ValueTypeInfo("TvmValueType", {"vtInt", "vtFloat"});
const TEnumInfo TimeFormatInfo("TvmTimeEditFormat", {"tfHourMinSec", "tfHourMin", "tfHour"});
const TEnumInfo ScrollStyleInfo("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
const TEnumInfo TransparencyInfo("TvmGraphicEditTransparency", {"gtDefault", "gtOpaque", "gtTransparent"});
const TEnumInfo PopupBorderInfo("TvmPopupBorder", {"pbDefault", "pbSingle", "pbFrame3D", "pbFlat"});
const TEnumInfo DateButtonInfo("TDateButton", {"btnToday", "btnClear"});
const TEnumInfo DateOnErrorInfo("TDateOnError", {"deToday", "deNull"});
const TEnumInfo ButtonStyleInfo("TvmButtonStyle", {"bsStandard", "bsFlat", "bsExtraFlat"});
const TEnumInfo EditButtonStyleInfo("TvmEditButtonStyle", {"ebsSimple", "ebsEllipsis", "ebsDown", "ebsGlyph"});
const TEnumInfo BlobPaintStyleInfo("TvmBlobPaintStyle", {"bpsDefault", "bpsIcon", "bpsText"});
const TEnumInfo BlobEditKindInfo("TvmBlobEditKind", {"bekMemo", "bekPict", "bekOle", "bekBlob"});
const TEnumInfo ToolBarAlignmentInfo("TvmPopupToolBarAlignment", {"ptaLeft", "ptaRight", "ptaTop", "ptaBottom"});
const TEnumInfo ToolBarButtonInfo("TvmPopupToolBarButton",
                                  {"ptbCut", "ptbCopy", "ptbPaste", "ptbDelete", "ptbLoad", "ptbSave", "ptbCustom"});
const TEnumInfo EditButtonKindInfo("TvmEditButtonKind", {"bkEllipsis", "bkDown", "bkGlyph"});
const TEnumInfo PopupFormBorderInfo("TvmPopupEditFormBorderStyle",
                                    {"pbsDialog", "pbsDialogHelp", "pbsSimple", "pbsSysPanel"});

}  // namespace

VM_PUBLISH(TvmInspectorRow) {
  using C = TvmInspectorRow;
  P.Enum("Alignment", &C::Alignment, &C::SetAlignment, AlignmentInfo).Default(taLeftJustify);
  P.String("Caption", &C::GetCaption, &C::SetCaption).NoDefault().Stored(&C::CaptionStored);
  P.Enum("CharCase", &C::CharCase, &C::SetCharCase, CharCaseInfo).Default(ecNormal);
  P.String("Hint", &C::Hint, &C::Hint).Default("");
  P.Int("ImageIndex", &C::ImageIndex, &C::SetImageIndex).Default(-1);
  P.Bool("IsCategory", &C::IsCategory, &C::SetIsCategory).Default(false);
  P.Int("MaxLength", &C::GetMaxLength, &C::SetMaxLength).NoDefault().Stored(&C::MaxLengthStored);
  P.Char("PasswordChar", &C::PasswordChar, &C::SetPasswordChar).Default(0);
  P.Bool("ReadOnly", &C::StoredReadOnly, &C::SetReadOnly).NoDefault().Stored(&C::ReadOnlyStored);
  P.Int("RowHeight", &C::GetRowHeight, &C::SetRowHeight).NoDefault().Stored(&C::RowHeightStored);
  P.Bool("ShowHint", &C::ShowHint, &C::ShowHint).Default(false);
  P.Bool("Visible", &C::Visible, &C::SetVisible).Default(true);
  P.Event("OnChange", &C::OnChange);
  P.Event("OnDrawCaption", &C::OnDrawCaption);
  P.Event("OnDrawValue", &C::OnDrawValue);
  P.Event("OnValidate", &C::OnValidate);
}

VM_PUBLISH(TvmInspectorTextRow) {
  P.String("Text", &TvmInspectorTextRow::Text, &TvmInspectorTextRow::SetText).Default("");
}

// The row kinds' own settings.

VM_PUBLISH(TvmInspectorMaskRow) {
  using C = TvmInspectorMaskRow;
  P.String("EditMask", &C::EditMask, &C::SetEditMask).NoDefault().Stored([](TObject* o) {
    auto* r = static_cast<C*>(o);
    return r->EditMask() != r->GetDefaultEditMask();
  });
  P.Bool("IgnoreMaskBlank", &C::IgnoreMaskBlank, &C::SetIgnoreMaskBlank).Default(false);
}

VM_PUBLISH(TvmInspectorCheckRow) {
  using C = TvmInspectorCheckRow;
  P.Bool("AllowGrayed", &C::AllowGrayed, &C::AllowGrayed).Default(false);
  P.Bool("Border3D", &C::Border3D, &C::Border3D).Default(false);
  P.Object("Glyph", &C::Glyph, &C::SetGlyph).Stored(&C::HasGlyph);
  P.Int("GlyphCount", &C::GlyphCount, &C::SetGlyphCount).Default(6);
  P.Enum("ShowNullFieldStyle", &C::ShowNullFieldStyle, &C::ShowNullFieldStyle, NullStyleInfo).Default(nsUnchecked);
  P.String("ValueChecked", &C::ValueChecked, &C::ValueChecked).NoDefault();
  P.String("ValueGrayed", &C::ValueGrayed, &C::ValueGrayed).NoDefault();
  P.String("ValueUnchecked", &C::ValueUnchecked, &C::ValueUnchecked).NoDefault();
  P.Event("OnToggleClick", &C::OnToggleClick);
}

VM_PUBLISH(TvmInspectorSpinRow) {
  using C = TvmInspectorSpinRow;
  P.Bool("EditorEnabled", &C::EditorEnabled, &C::EditorEnabled).Default(true);
  P.Float("Increment", &C::Increment, &C::Increment).Default(1.0);
  P.Float("MaxValue", &C::MaxValue, &C::SetMaxValue).NoDefault().Stored(&C::MaxValueStored);
  P.Float("MinValue", &C::MinValue, &C::SetMinValue).NoDefault().Stored(&C::MinValueStored);
  P.Bool("UseCtrlIncrement", &C::UseCtrlIncrement, &C::UseCtrlIncrement).Default(true);
}

VM_PUBLISH(TvmInspectorTimeRow) {
  using C = TvmInspectorTimeRow;
  P.Enum("TimeEditFormat", &C::TimeEditFormat, &C::TimeEditFormat, TimeFormatInfo).Default(tfHourMinSec);
  P.Bool("UseCtrlIncrement", &C::UseCtrlIncrement, &C::UseCtrlIncrement).Default(true);
}

VM_PUBLISH(TvmInspectorCurrencyRow) {
  using C = TvmInspectorCurrencyRow;
  P.Int("DecimalPlaces", &C::DecimalPlaces, &C::DecimalPlaces).Default(2);
  P.String("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat).NoDefault().Stored(&C::DisplayFormatStored);
  P.Float("MaxValue", &C::MaxValue, &C::SetMaxValue).NoDefault().Stored(&C::MaxValueStored);
  P.Float("MinValue", &C::MinValue, &C::SetMinValue).NoDefault().Stored(&C::MinValueStored);
  P.Bool("UseThousandSeparator", &C::UseThousandSeparator, &C::UseThousandSeparator).Default(false);
}

VM_PUBLISH(TvmInspectorHyperLinkRow) {
  using C = TvmInspectorHyperLinkRow;
  P.Int("EditBackgroundColor", &C::EditBackgroundColor, &C::EditBackgroundColor).Default(clWhite).Idents(ColorIdents);
  P.Int("EditFontColor", &C::EditFontColor, &C::EditFontColor).Default(clBlue).Idents(ColorIdents);
  P.Bool("SingleClick", &C::SingleClick, &C::SingleClick).Default(false);
  P.Int("StartKey", &C::StartKey, &C::StartKey).Default(16397);
  P.Event("OnStartClick", &C::OnStartClick);
}

VM_PUBLISH(TvmInspectorMemoRow) {
  using C = TvmInspectorMemoRow;
  P.Bool("HideScrollBars", &C::HideScrollBars, &C::HideScrollBars).Default(true);
  P.Enum("ScrollBars", &C::ScrollBars, &C::ScrollBars, ScrollStyleInfo).Default(ssNone);
  P.Bool("SelectionBar", &C::SelectionBar, &C::SelectionBar).Default(false);
  P.Bool("WantReturns", &C::WantReturns, &C::WantReturns).Default(true);
  P.Bool("WantTabs", &C::WantTabs, &C::WantTabs).Default(false);
  P.Bool("WordWrap", &C::WordWrap, &C::WordWrap).Default(true);
}

VM_PUBLISH(TvmInspectorGraphicRow) {
  using C = TvmInspectorGraphicRow;
  P.Bool("Center", &C::Center, &C::Center).Default(true);
  P.String("CustomFilter", &C::CustomFilter, &C::CustomFilter).Default("");
  P.Bool("CustomGraphic", &C::CustomGraphic, &C::CustomGraphic).Default(false);
  P.Bool("DblClickActivate", &C::DblClickActivate, &C::DblClickActivate).Default(true);
  P.Enum("GraphicTransparency", &C::GraphicTransparency, &C::GraphicTransparency, TransparencyInfo).Default(gtDefault);
  P.Object("PopupToolBar", &C::PopupToolBar, &C::SetPopupToolBar);
  P.Bool("PopupToolbarPosStored", &C::PopupToolbarPosStored, &C::SetPopupToolbarPosStored).Default(true);
  P.Bool("QuickDraw", &C::QuickDraw, &C::QuickDraw).Default(false);
  P.Bool("Stretch", &C::Stretch, &C::Stretch).Default(true);
  P.Event("OnAssignPicture", &C::OnAssignPicture);
  P.Event("OnCustomClick", &C::OnCustomClick);
  P.Event("OnGetGraphicClass", &C::OnGetGraphicClass);
}

// The drop-down rows republish the drop-down settings that suit their editor.

VM_PUBLISH(TvmInspectorDateRow) {
  using C = TvmInspectorDateRow;
  P.Object("ButtonGlyph", &C::ButtonGlyph, &C::SetButtonGlyph).Stored(&C::HasButtonGlyph);
  P.Enum("PopupAlignment", &C::PopupAlignment, &C::PopupAlignment, AlignmentInfo).Default(taLeftJustify);
  P.Enum("PopupBorder", &C::PopupBorder, &C::PopupBorder, PopupBorderInfo).Default(pbDefault);
  P.Set("DateButtons", &C::DateButtons, &C::DateButtons, DateButtonInfo).Default(TDateButtons{btnToday, btnClear});
  P.Enum("DateOnError", &C::DateOnError, &C::DateOnError, DateOnErrorInfo).Default(deToday);
  P.Bool("DateValidation", &C::DateValidation, &C::DateValidation).Default(false);
  P.Bool("SaveTime", &C::SaveTime, &C::SaveTime).Default(true);
  P.Bool("UseEditMask", &C::UseEditMask, &C::UseEditMask).Default(false);
  P.Event("OnDateValidateInput", &C::OnDateValidateInput);
}

VM_PUBLISH(TvmInspectorCalcRow) {
  using C = TvmInspectorCalcRow;
  P.Object("ButtonGlyph", &C::ButtonGlyph, &C::SetButtonGlyph).Stored(&C::HasButtonGlyph);
  P.Enum("PopupAlignment", &C::PopupAlignment, &C::PopupAlignment, AlignmentInfo).Default(taLeftJustify);
  P.Enum("PopupBorder", &C::PopupBorder, &C::PopupBorder, PopupBorderInfo).Default(pbDefault);
  P.Bool("BeepOnError", &C::BeepOnError, &C::BeepOnError).Default(true);
  P.Enum("ButtonStyle", &C::ButtonStyle, &C::ButtonStyle, ButtonStyleInfo).Default(bsStandard);
  P.Int("Precision", &C::Precision, &C::Precision).Default(13);
  P.Bool("QuickClose", &C::QuickClose, &C::QuickClose).Default(false);
  P.Bool("ShowButtonFrame", &C::ShowButtonFrame, &C::ShowButtonFrame).Default(false);
}

VM_PUBLISH(TvmInspectorButtonRow) {
  using C = TvmInspectorButtonRow;
  P.Bool("ButtonOnly", &C::ButtonOnly, &C::SetButtonOnly).Default(false);
  P.Enum("EditButtonStyle", &C::EditButtonStyle, &C::SetEditButtonStyle, EditButtonStyleInfo).Default(ebsEllipsis);
  // After the style: the buttons read back are the ones kept.
  P.Collection("Buttons", &C::Buttons, &C::SetButtons);
  P.Object("Glyph", &C::Glyph, &C::SetGlyph);
  P.Int("ClickKey", &C::ClickKey, &C::ClickKey).Default(16397);
  P.Bool("HideEditCursor", &C::HideEditCursor, &C::SetHideEditCursor).Default(false);
  P.Event("OnButtonClick", &C::OnButtonClick);
}

VM_PUBLISH(TvmInspectorPickRow) {
  using C = TvmInspectorPickRow;
  P.Object("ButtonGlyph", &C::ButtonGlyph, &C::SetButtonGlyph).Stored(&C::HasButtonGlyph);
  P.Int("DropDownRows", &C::DropDownRows, &C::DropDownRows).Default(7);
  P.Int("DropDownWidth", &C::DropDownWidth, &C::DropDownWidth).Default(0);
  P.Bool("ImmediateDropDown", &C::ImmediateDropDown, &C::ImmediateDropDown).Default(true);
  P.Enum("PopupAlignment", &C::PopupAlignment, &C::PopupAlignment, AlignmentInfo).Default(taLeftJustify);
  P.Enum("PopupBorder", &C::PopupBorder, &C::PopupBorder, PopupBorderInfo).Default(pbDefault);
  P.Bool("DropDownListStyle", &C::DropDownListStyle, &C::DropDownListStyle).Default(false);
  P.Strings("Items", &C::Items);
  P.Bool("CanDeleteText", &C::CanDeleteText, &C::CanDeleteText).Default(false);
  P.Bool("Revertable", &C::Revertable, &C::Revertable).Default(true);
  P.Bool("Sorted", &C::Sorted, &C::Sorted).Default(false);
  P.Event("OnCloseUp", &C::OnCloseUp);
}

VM_PUBLISH(TvmInspectorMRURow) {
  using C = TvmInspectorMRURow;
  P.Bool("ImmediateDropDown", &C::ImmediateDropDown, &C::ImmediateDropDown).Default(false);
  P.Int("MaxItemCount", &C::MaxItemCount, &C::MaxItemCount).Default(7);
  P.Bool("ShowEllipsis", &C::ShowEllipsis, &C::ShowEllipsis).Default(true);
  P.Event("OnButtonClick", &C::OnButtonClick);
}

VM_PUBLISH(TvmInspectorImageRow) {
  using C = TvmInspectorImageRow;
  P.Object("ButtonGlyph", &C::ButtonGlyph, &C::SetButtonGlyph).Stored(&C::HasButtonGlyph);
  P.Int("DropDownRows", &C::DropDownRows, &C::DropDownRows).Default(7);
  P.Int("DropDownWidth", &C::DropDownWidth, &C::DropDownWidth).Default(0);
  P.Enum("PopupAlignment", &C::PopupAlignment, &C::PopupAlignment, AlignmentInfo).Default(taLeftJustify);
  P.Enum("PopupBorder", &C::PopupBorder, &C::PopupBorder, PopupBorderInfo).Default(pbDefault);
  P.Bool("DefaultImages", &C::DefaultImages, &C::DefaultImages).Default(true);
  P.Strings("Descriptions", &C::Descriptions);
  P.Strings("ImageIndexes", &C::ImageIndexes);
  P.Component("Images", &C::Images, &C::SetImages);
  P.Component("LargeImages", &C::LargeImages, &C::SetLargeImages);
  P.Int("ListWidth", &C::ListWidth, &C::SetListWidth).NoDefault().Stored(false);
  P.Bool("MultiLineText", &C::MultiLineText, &C::MultiLineText).Default(false);
  P.Bool("ShowDescription", &C::ShowDescription, &C::ShowDescription).Default(false);
  P.Strings("Values", &C::Values);
  P.Event("OnCloseUp", &C::OnCloseUp);
}

VM_PUBLISH(TvmInspectorCustomBlobRow) {
  using C = TvmInspectorCustomBlobRow;
  P.Bool("ImmediatePopup", &C::ImmediatePopup, &C::ImmediatePopup).Default(false);
  P.Enum("PopupAlignment", &C::PopupAlignment, &C::PopupAlignment, AlignmentInfo).Default(taLeftJustify);
  P.Enum("PopupBorder", &C::PopupBorder, &C::PopupBorder, PopupBorderInfo).Default(pbDefault);
  P.Bool("AlwaysSaveText", &C::AlwaysSaveText, &C::AlwaysSaveText).Default(false);
  P.Enum("BlobPaintStyle", &C::BlobPaintStyle, &C::BlobPaintStyle, BlobPaintStyleInfo).Default(bpsIcon);
  P.Int("MaxDisplayLength", &C::MaxDisplayLength, &C::MaxDisplayLength).Default(255);
  P.Enum("MemoCharCase", &C::MemoCharCase, &C::MemoCharCase, CharCaseInfo).Default(ecNormal);
  P.Bool("MemoHideScrollBars", &C::MemoHideScrollBars, &C::MemoHideScrollBars).Default(true);
  P.Int("MemoMaxLength", &C::MemoMaxLength, &C::MemoMaxLength).Default(0);
  P.Bool("MemoOEMConvert", &C::MemoOEMConvert, &C::MemoOEMConvert).Default(false);
  P.Enum("MemoScrollBars", &C::MemoScrollBars, &C::MemoScrollBars, ScrollStyleInfo).Default(ssBoth);
  P.Bool("MemoSelectionBar", &C::MemoSelectionBar, &C::MemoSelectionBar).Default(false);
  P.Bool("MemoWantReturns", &C::MemoWantReturns, &C::MemoWantReturns).Default(true);
  P.Bool("MemoWantTabs", &C::MemoWantTabs, &C::MemoWantTabs).Default(true);
  P.Bool("MemoWordWrap", &C::MemoWordWrap, &C::MemoWordWrap).Default(true);
  P.Bool("PictureAutoSize", &C::PictureAutoSize, &C::PictureAutoSize).Default(true);
  P.String("PictureFilter", &C::PictureFilter, &C::PictureFilter).Default("");
  P.Enum("PictureTransparency", &C::PictureTransparency, &C::PictureTransparency, TransparencyInfo).Default(gtDefault);
  P.Int("PopupHeight", &C::PopupHeight, &C::PopupHeight).Default(140);
  P.Int("PopupWidth", &C::PopupWidth, &C::PopupWidth).Default(200);
  P.Bool("ShowExPopupItems", &C::ShowExPopupItems, &C::ShowExPopupItems).Default(false);
  P.Bool("ShowPicturePopup", &C::ShowPicturePopup, &C::ShowPicturePopup).Default(false);
  P.Bool("SizeablePopup", &C::SizeablePopup, &C::SizeablePopup).Default(true);
  P.Event("OnAssignPicture", &C::OnAssignPicture);
  P.Event("OnGetGraphicClass", &C::OnGetGraphicClass);
}

VM_PUBLISH(TvmInspectorPopupRow) {
  using C = TvmInspectorPopupRow;
  P.Bool("HideEditCursor", &C::HideEditCursor, &C::HideEditCursor).Default(false);
  P.Bool("PopupAutoSize", &C::PopupAutoSize, &C::PopupAutoSize).Default(true);
  P.Component("PopupControl", &C::PopupControl, &C::SetPopupControl);
  P.Enum("PopupFormBorderStyle", &C::PopupFormBorderStyle, &C::PopupFormBorderStyle, PopupFormBorderInfo)
      .Default(pbsDialog);
  P.String("PopupFormCaption", &C::PopupFormCaption, &C::PopupFormCaption).Default("");
  P.Bool("PopupFormClientEdge", &C::PopupFormClientEdge, &C::PopupFormClientEdge).Default(false);
  P.Bool("PopupFormFlatBorder", &C::PopupFormFlatBorder, &C::PopupFormFlatBorder).Default(true);
  P.Bool("PopupFormSizeable", &C::PopupFormSizeable, &C::PopupFormSizeable).Default(true);
  // The minimums come first: a size read before its minimum would be clamped to the old one.
  P.Int("PopupMinHeight", &C::PopupMinHeight, &C::SetPopupMinHeight).Default(100);
  P.Int("PopupMinWidth", &C::PopupMinWidth, &C::SetPopupMinWidth).Default(100);
  P.Int("PopupHeight", &C::PopupHeight, &C::SetPopupHeight).Default(200);
  P.Int("PopupWidth", &C::PopupWidth, &C::SetPopupWidth).Default(250);
  P.Event("OnCloseQuery", &C::OnCloseQuery);
  P.Event("OnCloseUp", &C::OnCloseUp);
  P.Event("OnInitPopup", &C::OnInitPopup);
  P.Event("OnPopup", &C::OnPopup);
}

// The Text variants keep their value in Text.
#define VM_TEXT_ROW_PUBLISH(Name) \
  VM_PUBLISH(Name) { P.String("Text", &Name::Text, &Name::SetText).Default(""); }
VM_TEXT_ROW_PUBLISH(TvmInspectorTextMaskRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextCheckRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextTimeRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextCurrencyRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextHyperLinkRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextMemoRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextDateRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextCalcRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextButtonRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextPickRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextMRURow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextImageRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextPopupRow)
VM_TEXT_ROW_PUBLISH(TvmInspectorTextGraphicRow)
#undef VM_TEXT_ROW_PUBLISH

VM_PUBLISH(TvmInspectorTextSpinRow) {
  using C = TvmInspectorTextSpinRow;
  P.String("Text", &C::Text, &C::SetText).Default("");
  P.Enum("ValueType", &C::ValueType, &C::ValueType, ValueTypeInfo).Default(vtInt);
}

VM_PUBLISH(TvmInspectorTextBlobRow) {
  using C = TvmInspectorTextBlobRow;
  P.String("Text", &C::Text, &C::SetText).Default("");
  P.Enum("BlobEditKind", &C::BlobEditKind, &C::BlobEditKind, BlobEditKindInfo).Default(bekMemo);
}

VM_PUBLISH(TvmPopupToolBarWindow) {
  using C = TvmPopupToolBarWindow;
  P.Enum("Alignment", &C::Alignment, &C::Alignment, ToolBarAlignmentInfo).Default(ptaBottom);
  P.Set("Buttons", &C::Buttons, &C::Buttons, ToolBarButtonInfo).Default(DefaultToolBarButtons);
  P.String("CustomButtonCaption", &C::CustomButtonCaption, &C::CustomButtonCaption).Default("");
  P.Object("CustomButtonGlyph", &C::CustomButtonGlyph, &C::SetCustomButtonGlyph).Stored(&C::HasCustomButtonGlyph);
  P.Bool("IsPopupMenu", &C::IsPopupMenu, &C::SetIsPopupMenu).Default(true);
  P.Bool("ShowCaptions", &C::ShowCaptions, &C::ShowCaptions).Default(true);
  P.Bool("Visible", &C::Visible, &C::Visible).Default(true);
}

VM_PUBLISH(TvmEditButton) {
  using C = TvmEditButton;
  P.Bool("Default", &C::Default, &C::SetDefault).Default(false);
  P.Object("Glyph", &C::Glyph, &C::SetGlyph).Stored(&C::HasGlyph);
  P.Enum("Kind", &C::Kind, &C::SetKind, EditButtonKindInfo).Default(bkEllipsis);
  P.Bool("LeftAlignment", &C::LeftAlignment, &C::SetLeftAlignment).Default(false);
  P.Bool("Visible", &C::Visible, &C::SetVisible).Default(true);
  P.Int("Width", &C::Width, &C::SetWidth).Default(0);
}

VM_PUBLISH(TvmInspectorComplexRowItem) {
  using C = TvmInspectorComplexRowItem;
  P.Bool("Fixed", &C::Fixed, &C::SetFixed).Default(false);
  P.Int("MinWidth", &C::MinWidth, &C::SetMinWidth).Default(20);
  P.Component("Row", &C::Row, &C::SetRow);
  P.Int("Width", &C::Width, &C::SetWidth).Default(50);
}

VM_PUBLISH(TvmInspectorComplexRow) {
  P.Collection("Items", &TvmInspectorComplexRow::GetItems, &TvmInspectorComplexRow::SetItems);
}

VM_PUBLISH(TvmInspector) {
  using C = TvmInspector;
  P.Int("BandWidth", &C::BandWidth, &C::SetBandWidth).Default(200);
  P.String("ComplexRowSeparator", &C::ComplexRowSeparator, &C::SetComplexRowSeparator).Default("");
  P.Int("DividerPos", &C::DividerPos, &C::SetDividerPos).NoDefault();
  P.Bool("Flat", &C::Flat, &C::SetFlat).Default(false);
  P.Int("GridColor", &C::GridColor, &C::SetGridColor).NoDefault().Idents(ColorIdents).Stored([](TObject* o) {
    auto* c = static_cast<C*>(o);
    return !((c->PaintStyle() == ipsStandard || c->PaintStyle() == ipsExtended) && c->GridColor() == clBtnShadow);
  });
  P.Component("Images", &C::Images, &C::SetImages);
  P.Int("MaxRowTextLineCount", &C::MaxRowTextLineCount, &C::SetMaxRowTextLineCount).Default(3);
  P.Int("MinBandWidth", &C::MinBandWidth, &C::SetMinBandWidth).Default(43);
  P.Int("MinColumnWidth", &C::MinColumnWidth, &C::SetMinColumnWidth).Default(30);
  P.Set("Options", &C::Options, &C::SetOptions, OptionInfo).Default(DefaultInspectorOptions);
  // After Options: a stored RowHeight is not undone by an option that measures rows.
  P.Enum("PaintStyle", &C::PaintStyle, &C::SetPaintStyle, PaintStyleInfo).Default(ipsStandard);
  P.String("RegistryPath", &C::RegistryPath, &C::SetRegistryPath).Default("");
  P.Int("RowHeight", &C::RowHeight, &C::SetRowHeight).NoDefault().Stored([](TObject* o) {
    return static_cast<C*>(o)->RowHeightStored();
  });
  P.Bool("ShowRowHint", &C::ShowRowHint, &C::SetShowRowHint).Default(false);
  P.Event("OnChangeNode", &C::OnChangeNode);
  P.Event("OnDrawCaption", &C::OnDrawCaption);
  P.Event("OnDrawValue", &C::OnDrawValue);
  P.Event("OnEditChange", &C::OnEditChange);
  P.Event("OnEdited", &C::OnEdited);
  P.Event("OnEditing", &C::OnEditing);
  P.Event("OnEditValidate", &C::OnEditValidate);
  P.Event("OnGetEditColor", &C::OnGetEditColor);
  P.Event("OnGetEditFont", &C::OnGetEditFont);
}

// ---------------------------------------------------------------------------------------------
// Rows as stream children.

TComponent* TvmInspectorRow::GetParentComponent() const { return FInspector; }

void TvmInspectorRow::SetParentComponent(TComponent* Value) {
  // While the row is read, it attaches once its own values are in (ReadState).
  if (ComponentState().Contains(csLoading)) return;
  auto* c = dynamic_cast<TCustomvmInspectorControl*>(Value);
  if (Value && !c) throw EComponentError(Format("Cannot attach a %s to a %s", {ClassName(), Value->ClassName()}));
  SetInspector(c);
}

void TvmInspectorRow::ReadState(TReader* Reader) {
  TComponent::ReadState(Reader);
  if (auto* c = dynamic_cast<TCustomvmInspectorControl*>(Reader->Parent())) SetInspector(c);
}

void TvmInspectorRow::SetName(const std::string& NewName) {
  TComponent::SetName(NewName);
  if (FInspector) FInspector->CustomizeListChanged();
}

void TCustomvmInspectorControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TvmInspectorRow* r : std::vector<TvmInspectorRow*>(FRows))
    if (r->Owner() == Root) Proc(r);
}

void TCustomvmInspectorControl::DefineProperties(TFiler* Filer) {
  TCustomvmInspector::DefineProperties(Filer);
  // A binary value: Length, then Length bytes of records. A value of another kind (a form from
  // elsewhere) is passed over and the rest of the form is read.
  Filer->DefineProperty(
      "Data",
      [this](TReader* R) {
        if (R->NextValue() != vaBinary) {
          R->SkipValue();
          return;
        }
        R->ReadValue();
        std::string data(static_cast<size_t>(R->ReadLength(4)), '\0');
        R->Read(data.data(), static_cast<int64_t>(data.size()));
        // Bytes past the stored Length are not part of the order; fewer bytes than it says stop
        // the order where the records run out.
        if (data.size() >= 4) {
          int32_t length = 0;
          std::memcpy(&length, data.data(), 4);
          if (length >= 0 && static_cast<size_t>(length) + 4 < data.size())
            data.resize(static_cast<size_t>(length) + 4);
        }
        FPendingOrder = std::move(data);
      },
      [this](TWriter* W) {
        const std::string order = WriteRowOrder();
        W->WriteBinary([&order](TStream& S) { S.WriteString(order); });
      },
      GetNodeCount() > 0 && StoresRowOrder());
}

void RegisterInspectorRowClasses() {
  RegisterClasses(
      {TvmInspectorComplexRow::StaticClass(), TvmInspectorTextRow::StaticClass(), TvmInspector::StaticClass()});
}

void UnregisterInspectorRowClasses() {
  UnRegisterClasses(
      {TvmInspectorComplexRow::StaticClass(), TvmInspectorTextRow::StaticClass(), TvmInspector::StaticClass()});
}
