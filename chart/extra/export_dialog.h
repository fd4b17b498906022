// The export dialog of charts: a picture in any registered format, the native chart stream, or
// the series data, copied to the clipboard, saved to a file or sent as a mail attachment.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms.h"

class TButton;
class TCheckBox;
class TComboBox;
class TCustomChart;
class TCustomGraphPanel;
class TEdit;
class TGraphExportFormat;
class TLabel;
class TListBox;
class TMemoryStream;
class TPageControl;
class TRadioGroup;
class TSaveDialog;
class TSeriesData;
class TTabSheet;
class TUpDown;

// The mail name: the subject of mails and the base name of the file they carry.
inline constexpr const char* ExportMailName = "Quorvex";

// Whether the desktop has a mail program to send attachments with; asked once. Tests replace
// the answer with MailAvailableHook.
bool MailAvailable();
extern std::function<bool()> MailAvailableHook;
// Hands the file to the desktop's mail program as the attachment of a new mail with the subject.
// Without a mail program raises an exception saying so.
void SendMailAttachment(const std::string& FileName, const std::string& Subject);

class TGraphExportForm : public TForm {
  VM_CLASS(TGraphExportForm, TForm)
public:
  explicit TGraphExportForm(TComponent* AOwner);
  ~TGraphExportForm() override;

  TCustomGraphPanel* Panel = nullptr;

  TPageControl* PageControl1 = nullptr;
  TTabSheet *TabPicture = nullptr, *TabNative = nullptr, *TabData = nullptr;
  TListBox* LBFormat = nullptr;
  TPageControl* PageOptions = nullptr;
  TTabSheet *TabOptions = nullptr, *TabSize = nullptr;
  TEdit *EWidth = nullptr, *EHeight = nullptr;
  TUpDown *UDWidth = nullptr, *UDHeight = nullptr;
  TCheckBox* CBAspect = nullptr;
  TCheckBox *CBNativeData = nullptr, *CBFileSize = nullptr;
  TLabel* LabelSize = nullptr;
  TComboBox* CBNativeFormat = nullptr;
  TComboBox* CBSeries = nullptr;
  TRadioGroup* RGText = nullptr;
  TCheckBox *CBIndex = nullptr, *CBLabels = nullptr, *CBHeader = nullptr, *CBColors = nullptr;
  TComboBox* CBDelim = nullptr;
  TEdit *ECustom = nullptr, *EQuotes = nullptr;
  TButton *BCopy = nullptr, *BSave = nullptr, *BSend = nullptr, *BClose = nullptr;
  TSaveDialog *SaveDialogPicture = nullptr, *SaveDialogData = nullptr, *SaveDialogNative = nullptr;

  // The format instances, in LBFormat's order.
  std::vector<std::unique_ptr<TGraphExportFormat>> Formats;

  void FormShow();
  void RGFormatClick();
  void EWidthChange();
  void EHeightChange();
  void EnableButtons();
  void RGTextClick();
  void CBDelimChange();
  void CBFileSizeClick();
  void BCopyClick();
  void BSaveClick();
  void BSendClick();

  // RGText's choice (0 "Text" .. 3 "Excel"); for sources that cannot see the radio group's
  // class next to chart headers.
  int DataFormatIndex() const;
  void SetDataFormatIndex(int Value);
  TGraphExportFormat* SelectedFormat() const;
  TCustomChart* Chart() const;
  // The exporter the data page describes (the caller owns it); none without a chart.
  TSeriesData* CreateDataExporter();
  bool CanExportData() const;
  // The chart as the native page describes it.
  std::unique_ptr<TMemoryStream> NativeStream();
  void SaveNativeToFile(const std::string& FileName, bool IncludeData);
  // 1..5 for the delimiters of text, 6..8 for XML, HTML and spreadsheet.
  int DataFilterIndex() const;
  void SavePicture(const std::string& FileName);
  void SaveNative(const std::string& FileName);
  void SaveData(const std::string& FileName);

private:
  void FillFormats();
  void PrepareDataPage();
  double FRatio = 0;
  bool FUpdating = false;
  bool FShowing = false;
};
