// The options: read from the settings file at start, changed in the options window, and the
// chart-limit overrides of section "TChart".
#pragma once

#include <string>

#include "app/child_form.h"

class TCustomIniFile;
class TCheckBox;
class TComboBox;
class TEdit;
class TPageControl;
class TRadioGroup;
class TVxSpinEdit;

// Reads section "TOptions1" and section "TChart" into the option variables; a missing or
// unreadable value gives its default and the rest is read all the same.
void LoadOptions(TCustomIniFile& Ini);
// Writes the "TChart" rows with their current values.
void SaveChartTitles(TCustomIniFile& Ini);

// The names and values of the colours the colour boxes offer.
struct TNamedColour {
  const char* Name;
  int32_t Value;
};
extern const TNamedColour NamedColours[];
extern const int NamedColourCount;
extern const char* const PointStyleNames[12];

class TFormStorage;

class TOptions1 : public TMyForm {
  VM_CLASS(TOptions1, TMyForm)
public:
  explicit TOptions1(TComponent* AOwner);
  ~TOptions1() override;
  TFormStorage* FormStorage1 = nullptr;  // keeps the window's placement

  TPageControl* PageControl1 = nullptr;
  TEdit *DataAcquiredBy, *FileWrittenBy, *CountryOfAcquisition, *StateOfAcquisition, *edRef_dist, *ed_ChOfVar;
  TRadioGroup *rgNarsky, *rgNarskyUnits, *rgSolution, *rgNarskyWriteFileMode, *rgCsvDelimiter;
  TComboBox* FieldBoxes[4] = {};    // cbRegionField, cbPointField, cbStationField, cbTapeField
  TVxSpinEdit* FieldSpins[8] = {};  // VxSpinEdit1 .. VxSpinEdit8
  TEdit* FieldResults[4] = {};      // Edit2 .. Edit5
  TCheckBox *cbRequestFromToFrequency, *cbErrorLog, *cbSeg_pfl, *cbSeg_sxp, *cbSeg_ixp, *cbF_type;
  TComboBox* ColorBoxes[10] = {};  // ColorBox1 .. ColorBox10
  TComboBox *cbOperDel, *cbSelCol, *cbDftDel;
  TComboBox* PointerComboFlat[5] = {};

  void bbApplyClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action) override;
  void Refresh(TObject*) override {}
  void FieldChange(int Row);

  // The window's values to and from section "TOptions1".
  void ReadStored(TCustomIniFile& Ini);
  void WriteStored(TCustomIniFile& Ini);

private:
  bool FStore = true;
};

extern TOptions1* Options1;
