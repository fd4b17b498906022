#include "app/options.h"

#include <cmath>

#include "app/main_form.h"
#include "app/views/chart_editing.h"
#include "chart/engine/chart_utils.h"
#include "controls/form_storage.h"
#include "controls/vx_spin.h"
#include "mtdata/edi_writer.h"
#include "mtdata/export_dat.h"
#include "mtdata/mt_types.h"
#include "mtdata/open_site.h"
#include "mtdata/plot_tables.h"
#include "mtdata/site_file.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/inifiles.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TOptions1)

TOptions1* Options1 = nullptr;

const TNamedColour NamedColours[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},     {"Green", 0x008000}, {"Olive", 0x008080},   {"Navy", 0x800000},
    {"Purple", 0x800080}, {"Teal", 0x808000},       {"Gray", 0x808080},  {"Silver", 0xC0C0C0},  {"Red", 0x0000FF},
    {"Lime", 0x00FF00},   {"Yellow", 0x00FFFF},     {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},
    {"White", 0xFFFFFF},  {"Money Green", 0xC0DCC0}};
const int NamedColourCount = static_cast<int>(sizeof NamedColours / sizeof NamedColours[0]);
const char* const PointStyleNames[12] = {"Square",    "Circle",         "Triangle",      "Down Triangle",
                                         "Cross",     "Diagonal Cross", "Star",          "Diamond",
                                         "Small Dot", "Nothing",        "Left Triangle", "Right Triangle"};

namespace {

constexpr const char* Section = "TOptions1";

int ReadInt(TCustomIniFile& Ini, const std::string& Key, int Default) {
  return StrToIntDef(Trim(Ini.ReadString(Section, Key, "")), Default);
}

bool ReadSwitch(TCustomIniFile& Ini, const std::string& Key, bool Default) {
  return Ini.ReadString(Section, Key, Default ? "True" : "False") == "True";
}

double ReadNumber(TCustomIniFile& Ini, const std::string& Key, double Default) {
  double v = Default;
  const std::string text = Trim(Ini.ReadString(Section, Key, ""));
  if (!text.empty() && TryStrToFloat(text, v) && std::isfinite(v)) return v;
  return Default;
}

int32_t DefaultCurveColour(int N) {
  if (ColorPalette.empty()) SetDefaultPalette();
  if (N - 1 < static_cast<int>(ColorPalette.size()))
    return static_cast<int32_t>(ColorPalette[static_cast<size_t>(N - 1)]);
  return DefaultCurveColours[N];
}

void ReadPick(TCustomIniFile& Ini, THeaderFieldPick& Pick, const char* Box, int SpinA, const char* DefName,
              int DefFirst, int DefCount) {
  Pick.FieldName = Ini.ReadString(Section, std::string(Box) + "_Text", DefName);
  Pick.First = ReadInt(Ini, "VxSpinEdit" + std::to_string(SpinA) + "_Value", DefFirst);
  Pick.Count = ReadInt(Ini, "VxSpinEdit" + std::to_string(SpinA + 1) + "_Value", DefCount);
}

std::string RowKey(const TPropRec& R) { return R.Caption + std::to_string(R.Id); }

template <class Fn>
void ForEachChartRow(Fn F) {
  for (int plot = 0; plot <= 10; ++plot)
    for (int chart = 1; chart <= 2; ++chart)
      for (int row = 1; row <= 2; ++row) F(PlotPropRows[plot][chart][row]);
  for (int i = 1; i <= 9; ++i) F(CommonPropRows[i]);
}

}  // namespace

void LoadOptions(TCustomIniFile& Ini) {
  for (int i = 1; i <= 10; ++i)
    PlotSettings.Styles[i] = ReadInt(Ini, "ColorBox" + std::to_string(i) + "_Selected", DefaultCurveColour(i));
  PlotSettings.Styles[21] = ReadInt(Ini, "cbSelCol_Selected", 0xFFFFFF);
  PlotSettings.Styles[20] = ReadInt(Ini, "cbOperDel_Selected", 0xFFFFFF);
  PlotSettings.Styles[22] = ReadInt(Ini, "cbDftDel_Selected", 0);
  for (int i = 1; i <= 9; ++i)
    PlotSettings.Styles[10 + i] = ReadInt(Ini, "PointerComboFlat" + std::to_string(i) + "_ItemIndex", i);
  CsvDelimiterIndex = std::clamp(ReadInt(Ini, "rgCsvDelimiter_ItemIndex", 0), 0, 2);
  EdiHeaderDefaults.DataAcquiredBy = Ini.ReadString(Section, "DataAcquiredBy_Text", "");
  EdiHeaderDefaults.FileWrittenBy = Ini.ReadString(Section, "FileWrittenBy_Text", "");
  EdiHeaderDefaults.CountryOfAcquisition = Ini.ReadString(Section, "CountryOfAcquisition_Text", "");
  EdiHeaderDefaults.StateOfAcquisition = Ini.ReadString(Section, "StateOfAcquisition_Text", "");
  RemoteRefDistance = ReadNumber(Ini, "edRef_dist_Text", 45000);
  EdiSegmentOptions.SegPfl = ReadSwitch(Ini, "cbSeg_pfl_Checked", false);
  EdiSegmentOptions.SegSxp = ReadSwitch(Ini, "cbSeg_sxp_Checked", true);
  EdiSegmentOptions.SegIxp = ReadSwitch(Ini, "cbSeg_ixp_Checked", false);
  EdiSegmentOptions.FType = ReadSwitch(Ini, "cbF_Type_Checked", false);
  CanadaToRussianMode = ReadInt(Ini, "rgNarsky_ItemIndex", 2);
  MtzSolutionMode = ReadInt(Ini, "rgSolution_ItemIndex", 0);
  MtzUnits = ReadInt(Ini, "rgNarskyUnits_ItemIndex", 0);
  MtzAppendMode = ReadInt(Ini, "rgNarskyWriteFileMode_ItemIndex", 0);
  ReadPick(Ini, RegionFieldPick, "cbRegionField", 1, "Project", 1, 3);
  ReadPick(Ini, PointFieldPick, "cbPointField", 3, "Site Description", 1, 3);
  ReadPick(Ini, StationFieldPick, "cbStationField", 5, "Station", 1, 4);
  ReadPick(Ini, TapeFieldPick, "cbTapeField", 7, "Orig FileName", 5, 4);
  RequestFromToFrequency = ReadSwitch(Ini, "cbRequestFromToFrequency_Checked", false);
  ErrorLogOption = ReadSwitch(Ini, "cbErrorLog_Checked", false);
  ForEachChartRow([&](TPropRec& R) {
    if (R.Caption.empty()) return;
    const std::string v = Ini.ReadString("TChart", RowKey(R), "");
    if (!v.empty()) R.Value = v;
  });
}

void SaveChartTitles(TCustomIniFile& Ini) {
  ForEachChartRow([&](TPropRec& R) {
    if (!R.Caption.empty()) Ini.WriteString("TChart", RowKey(R), R.Value);
  });
}

// ---------------------------------------------------------------------------------------------
// The options window

namespace {

TTabSheet* AddPage(TPageControl* P, TComponent* Owner, const char* Caption) {
  auto* t = new TTabSheet(Owner);
  t->SetPageControl(P);
  t->SetCaption(Caption);
  return t;
}

TEdit* AddEdit(TWinControl* Parent, TComponent* Owner, const char* Name, const char* Label, int Y, const char* Text) {
  auto* l = new TLabel(Owner);
  l->SetParent(Parent);
  l->SetCaption(Label);
  l->SetBounds(8, Y + 3, 290, 16);
  auto* e = new TEdit(Owner);
  e->SetName(Name);
  e->SetParent(Parent);
  e->SetBounds(300, Y, 150, 22);
  e->SetText(Text);
  return e;
}

TRadioGroup* AddRadio(TWinControl* Parent, TComponent* Owner, const char* Name, const char* Caption,
                      std::initializer_list<const char*> Items, int Index, int X, int Y, int W, int H) {
  auto* r = new TRadioGroup(Owner);
  r->SetName(Name);
  r->SetParent(Parent);
  r->SetCaption(Caption);
  r->SetBounds(X, Y, W, H);
  for (const char* s : Items) r->Items()->Add(s);
  r->SetItemIndex(Index);
  return r;
}

TCheckBox* AddCheck(TWinControl* Parent, TComponent* Owner, const char* Name, const char* Caption, int Y,
                    bool Checked) {
  auto* c = new TCheckBox(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  c->SetCaption(Caption);
  c->SetBounds(8, Y, 300, 20);
  c->SetChecked(Checked);
  return c;
}

TComboBox* AddColourBox(TWinControl* Parent, TComponent* Owner, const std::string& Name, const char* Label, int X,
                        int Y) {
  auto* l = new TLabel(Owner);
  l->SetParent(Parent);
  l->SetCaption(Label);
  l->SetBounds(X, Y + 3, 150, 16);
  auto* c = new TComboBox(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  c->SetStyle(csDropDownList);
  c->SetBounds(X + 150, Y, 120, 22);
  for (int i = 0; i < NamedColourCount; ++i) c->Items()->Add(NamedColours[i].Name);
  return c;
}

int ColourIndex(int32_t Value) {
  for (int i = 0; i < NamedColourCount; ++i)
    if (NamedColours[i].Value == Value) return i;
  return -1;
}

int32_t BoxColour(TComboBox* C, int32_t Old) {
  const int i = C->ItemIndex();
  return i >= 0 ? NamedColours[i].Value : Old;
}

}  // namespace

TOptions1::TOptions1(TComponent* AOwner) : TMyForm(AOwner) {
  SetName("Options1");
  SetCaption("Options");
  SetBorderStyle(bsDialog);
  PlaceInFrame(this, 80, 30, 520, 430);
  auto* bottom = new TPanel(this);
  bottom->SetParent(this);
  bottom->SetAlign(alBottom);
  bottom->SetHeight(40);
  bottom->SetCaption("");
  auto button = [&](const char* Name, const char* Caption, int X, TNotifyEvent Fn) {
    auto* b = new TButton(this);
    b->SetName(Name);
    b->SetParent(bottom);
    b->SetCaption(Caption);
    b->SetBounds(X, 8, 90, 26);
    b->OnClick = std::move(Fn);
    return b;
  };
  button("BitBtn1", "OK", 220, [this](TObject* s) { BitBtn1Click(s); })->SetDefault(true);
  button("bbApply", "Apply", 315, [this](TObject* s) { bbApplyClick(s); });
  button("BitBtn2", "Cancel", 410, [this](TObject* s) { BitBtn2Click(s); });
  PageControl1 = new TPageControl(this);
  PageControl1->SetName("PageControl1");
  PageControl1->SetParent(this);
  PageControl1->SetAlign(alClient);

  TTabSheet* edi = AddPage(PageControl1, this, "EDI");
  DataAcquiredBy = AddEdit(edi, this, "DataAcquiredBy", "Company that DATA was acquired by", 10, "Halcyon");
  FileWrittenBy = AddEdit(edi, this, "FileWrittenBy", "Company that DATA was processed by", 40, "Halcyon");
  CountryOfAcquisition = AddEdit(edi, this, "CountryOfAcquisition", "Country where RQU DATA was acquired", 70, "");
  StateOfAcquisition = AddEdit(edi, this, "StateOfAcquisition", "Region/State where DATA was acquired.", 100, "");
  edRef_dist = AddEdit(edi, this, "edRef_dist", "Remote H distance for reference coils in meters", 130, "45000");

  TTabSheet* dat = AddPage(PageControl1, this, "Export to Dat");
  rgNarsky = AddRadio(dat, this, "rgNarsky", "Arg Z,Ro", {"Left as is", "X<->Y Arg = 180 - Arg", "Arg = - Arg"}, 2, 4,
                      4, 240, 80);
  rgNarskyUnits = AddRadio(dat, this, "rgNarskyUnits", "Measurement units", {"mV/Gamm.km", "om"}, 0, 250, 4, 240, 60);
  rgSolution = AddRadio(dat, this, "rgSolution", "Reference", {"Main", "Main+Additional Loc E,H"}, 0, 4, 88, 240, 60);
  rgNarskyWriteFileMode =
      AddRadio(dat, this, "rgNarskyWriteFileMode", "Write to file", {"In New", "Append "}, 0, 250, 68, 240, 60);
  const char* rows[4] = {"Region", "Point", "Station", "Tape"};
  const char* boxes[4] = {"cbRegionField", "cbPointField", "cbStationField", "cbTapeField"};
  const int spinDefaults[8] = {1, 3, 1, 3, 1, 3, 1, 4};
  for (int r = 0; r < 4; ++r) {
    const int y = 160 + 28 * r;
    auto* l = new TLabel(this);
    l->SetParent(dat);
    l->SetCaption(rows[r]);
    l->SetBounds(4, y + 3, 60, 16);
    auto* c = new TComboBox(this);
    c->SetName(boxes[r]);
    c->SetParent(dat);
    c->SetBounds(64, y, 130, 22);
    for (int i = 1; i <= 8; ++i) c->Items()->Add(std::string(HeaderFieldNames[i]));
    c->OnChange = [this, r](TObject*) { FieldChange(r); };
    FieldBoxes[r] = c;
    for (int k = 0; k < 2; ++k) {
      auto* s = new TVxSpinEdit(this);
      s->SetName("VxSpinEdit" + std::to_string(2 * r + k + 1));
      s->SetParent(dat);
      s->SetBounds(200 + 60 * k, y, 54, 22);
      s->SetValue(spinDefaults[2 * r + k]);
      s->OnChange = [this, r](TObject*) { FieldChange(r); };
      FieldSpins[2 * r + k] = s;
    }
    auto* e = new TEdit(this);
    e->SetName("Edit" + std::to_string(r + 2));
    e->SetParent(dat);
    e->SetBounds(324, y, 150, 22);
    e->SetReadOnly(true);
    FieldResults[r] = e;
  }
  ed_ChOfVar = new TEdit(this);
  ed_ChOfVar->SetName("ed_ChOfVar");
  ed_ChOfVar->SetParent(dat);
  ed_ChOfVar->SetBounds(4, 280, 30, 22);

  TTabSheet* csv = AddPage(PageControl1, this, "Export to csv");
  rgCsvDelimiter = AddRadio(csv, this, "rgCsvDelimiter", "Delimiter", {"Comma", "Semicolon", "Tab"}, 0, 8, 8, 200, 90);

  TTabSheet* others = AddPage(PageControl1, this, "Others");
  cbRequestFromToFrequency =
      AddCheck(others, this, "cbRequestFromToFrequency", "Request 'from', 'to' Frequency", 10, false);
  cbErrorLog = AddCheck(others, this, "cbErrorLog", "Error Log", 36, false);
  // The EDI segment switches, kept hidden.
  cbSeg_pfl = AddCheck(others, this, "cbSeg_pfl", "Translate plot file information", 70, false);
  cbSeg_sxp = AddCheck(others, this, "cbSeg_sxp", "Translate final summed spectra", 90, true);
  cbSeg_ixp = AddCheck(others, this, "cbSeg_ixp", "Translate individual spectra", 110, false);
  cbF_type = AddCheck(others, this, "cbF_type", "single file for all of the selected", 130, false);
  for (TCheckBox* c : {cbSeg_pfl, cbSeg_sxp, cbSeg_ixp, cbF_type}) c->SetVisible(false);

  TTabSheet* colours = AddPage(PageControl1, this, "Colors");
  const char* labels[10] = {"Component 1", "2", "3", "4", "LE", "LH", "RE", "RH", "5", "6"};
  const int32_t defaults[10] = {0x0000FF, 0x008000, 0xFF00FF, 0xFF0000, 0x00FF00,
                                0xFFFF00, 0xC0DCC0, 0x800080, 0x000080, 0x800000};
  for (int i = 0; i < 10; ++i) {
    ColorBoxes[i] = AddColourBox(colours, this, "ColorBox" + std::to_string(i + 1), labels[i], 4, 4 + 26 * i);
    ColorBoxes[i]->SetItemIndex(ColourIndex(defaults[i]));
  }
  cbOperDel = AddColourBox(colours, this, "cbOperDel", "Deleted values by Oper", 4, 270);
  cbSelCol = AddColourBox(colours, this, "cbSelCol", "Selected values", 4, 296);
  cbDftDel = AddColourBox(colours, this, "cbDftDel", "Deleted values by DftRead", 4, 322);
  for (TComboBox* c : {cbOperDel, cbSelCol, cbDftDel}) c->SetItemIndex(ColourIndex(0xFFFFFF));
  const int styleDefaults[5] = {1, 2, 3, 7, 0};
  for (int i = 0; i < 5; ++i) {
    auto* c = new TComboBox(this);
    c->SetName("PointerComboFlat" + std::to_string(i + 1));
    c->SetParent(colours);
    c->SetStyle(csDropDownList);
    c->SetBounds(290, 30 + 26 * i, 120, 22);
    for (const char* s : PointStyleNames) c->Items()->Add(s);
    c->SetItemIndex(styleDefaults[i]);
    c->SetVisible(i < 4);
    PointerComboFlat[i] = c;
  }

  // The field pickers start from the picks in force.
  const THeaderFieldPick* picks[4] = {&RegionFieldPick, &PointFieldPick, &StationFieldPick, &TapeFieldPick};
  for (int r = 0; r < 4; ++r) {
    FieldBoxes[r]->SetText(picks[r]->FieldName);
    if (picks[r]->First > 0) FieldSpins[2 * r]->SetValue(picks[r]->First);
    if (picks[r]->Count > 0) FieldSpins[2 * r + 1]->SetValue(picks[r]->Count);
  }
  if (MainForm1 && MainForm1->IniFile()) ReadStored(*MainForm1->IniFile());
  for (int r = 0; r < 4; ++r) FieldChange(r);
  FormStorage1 = KeepPlacement(this, "TOptions1");
}

TOptions1::~TOptions1() {
  if (FStore && MainForm1 && MainForm1->IniFile()) WriteStored(*MainForm1->IniFile());
}

void TOptions1::ReadStored(TCustomIniFile& Ini) {
  auto text = [&](TEdit* E) { E->SetText(Ini.ReadString(Section, E->Name() + "_Text", E->Text())); };
  for (TEdit* e : {DataAcquiredBy, FileWrittenBy, CountryOfAcquisition, StateOfAcquisition, edRef_dist, ed_ChOfVar})
    text(e);
  auto index = [&](TRadioGroup* R) {
    R->SetItemIndex(std::clamp(ReadInt(Ini, R->Name() + "_ItemIndex", R->ItemIndex()), -1, R->Items()->Count() - 1));
  };
  for (TRadioGroup* r : {rgNarsky, rgNarskyUnits, rgSolution, rgNarskyWriteFileMode, rgCsvDelimiter}) index(r);
  for (TComboBox* c : FieldBoxes) c->SetText(Ini.ReadString(Section, c->Name() + "_Text", c->Text()));
  for (TVxSpinEdit* s : FieldSpins) s->SetValue(ReadInt(Ini, s->Name() + "_Value", static_cast<int>(s->Value())));
  for (TCheckBox* c : {cbRequestFromToFrequency, cbErrorLog, cbSeg_pfl, cbSeg_sxp, cbSeg_ixp, cbF_type})
    c->SetChecked(ReadSwitch(Ini, c->Name() + "_Checked", c->Checked()));
  auto colour = [&](TComboBox* C) {
    const int i = ColourIndex(ReadInt(Ini, C->Name() + "_Selected", -1));
    if (i >= 0) C->SetItemIndex(i);
  };
  for (TComboBox* c : ColorBoxes) colour(c);
  for (TComboBox* c : {cbOperDel, cbSelCol, cbDftDel}) colour(c);
  for (TComboBox* c : PointerComboFlat)
    c->SetItemIndex(std::clamp(ReadInt(Ini, c->Name() + "_ItemIndex", c->ItemIndex()), 0, 11));
  PageControl1->SetTabIndex(std::clamp(ReadInt(Ini, "PageControl1_TabIndex", 0), 0, PageControl1->PageCount() - 1));
}

void TOptions1::WriteStored(TCustomIniFile& Ini) {
  for (TEdit* e : {DataAcquiredBy, FileWrittenBy, CountryOfAcquisition, StateOfAcquisition, edRef_dist, ed_ChOfVar})
    Ini.WriteString(Section, e->Name() + "_Text", e->Text());
  for (TRadioGroup* r : {rgNarsky, rgNarskyUnits, rgSolution, rgNarskyWriteFileMode, rgCsvDelimiter})
    Ini.WriteString(Section, r->Name() + "_ItemIndex", std::to_string(r->ItemIndex()));
  for (TComboBox* c : FieldBoxes) Ini.WriteString(Section, c->Name() + "_Text", c->Text());
  for (TVxSpinEdit* s : FieldSpins)
    Ini.WriteString(Section, s->Name() + "_Value", std::to_string(static_cast<int>(std::nearbyint(s->Value()))));
  for (TCheckBox* c : {cbRequestFromToFrequency, cbErrorLog, cbSeg_pfl, cbSeg_sxp, cbSeg_ixp, cbF_type})
    Ini.WriteString(Section, c->Name() + "_Checked", c->Checked() ? "True" : "False");
  for (TComboBox* c : ColorBoxes) Ini.WriteString(Section, c->Name() + "_Selected", std::to_string(BoxColour(c, 0)));
  for (TComboBox* c : {cbOperDel, cbSelCol, cbDftDel})
    Ini.WriteString(Section, c->Name() + "_Selected", std::to_string(BoxColour(c, 0)));
  for (TComboBox* c : PointerComboFlat)
    Ini.WriteString(Section, c->Name() + "_ItemIndex", std::to_string(c->ItemIndex()));
  Ini.WriteString(Section, "PageControl1_TabIndex", std::to_string(PageControl1->TabIndex()));
}

void TOptions1::FieldChange(int Row) {
  if (!CurrentSite) return;
  std::string text;
  HeaderFieldText(CurrentSite->Header, FieldBoxes[Row]->Text(),
                  static_cast<int>(std::nearbyint(FieldSpins[2 * Row]->Value())), text,
                  static_cast<int>(std::nearbyint(FieldSpins[2 * Row + 1]->Value())));
  FieldResults[Row]->SetText(text);
}

void TOptions1::bbApplyClick(TObject*) {
  RemoteRefDistance = StrToFloat(Trim(edRef_dist->Text()));
  EdiSegmentOptions = {cbSeg_pfl->Checked(), cbSeg_sxp->Checked(), cbSeg_ixp->Checked(), cbF_type->Checked()};
  ErrorLogOption = cbErrorLog->Checked();
  CanadaToRussianMode = rgNarsky->ItemIndex();
  MtzUnits = rgNarskyUnits->ItemIndex();
  MtzSolutionMode = rgSolution->ItemIndex();
  MtzAppendMode = rgNarskyWriteFileMode->ItemIndex();
  THeaderFieldPick* picks[4] = {&RegionFieldPick, &PointFieldPick, &StationFieldPick, &TapeFieldPick};
  for (int r = 0; r < 4; ++r) {
    picks[r]->FieldName = FieldBoxes[r]->Text();
    picks[r]->First = static_cast<int>(std::nearbyint(FieldSpins[2 * r]->Value()));
    picks[r]->Count = static_cast<int>(std::nearbyint(FieldSpins[2 * r + 1]->Value()));
  }
  RequestFromToFrequency = cbRequestFromToFrequency->Checked();
  EdiHeaderDefaults.DataAcquiredBy = DataAcquiredBy->Text();
  EdiHeaderDefaults.FileWrittenBy = FileWrittenBy->Text();
  EdiHeaderDefaults.CountryOfAcquisition = CountryOfAcquisition->Text();
  EdiHeaderDefaults.StateOfAcquisition = StateOfAcquisition->Text();
  for (int i = 0; i < 10; ++i) PlotSettings.Styles[i + 1] = BoxColour(ColorBoxes[i], PlotSettings.Styles[i + 1]);
  PlotSettings.Styles[21] = BoxColour(cbSelCol, PlotSettings.Styles[21]);
  PlotSettings.Styles[20] = BoxColour(cbOperDel, PlotSettings.Styles[20]);
  PlotSettings.Styles[22] = BoxColour(cbDftDel, PlotSettings.Styles[22]);
  for (int i = 0; i < 5; ++i) PlotSettings.Styles[11 + i] = PointerComboFlat[i]->ItemIndex();
  CsvDelimiterIndex = std::max(0, rgCsvDelimiter->ItemIndex());
  RefreshAllViews(this);
}

void TOptions1::BitBtn1Click(TObject* Sender) {
  bbApplyClick(Sender);
  Close();
}

void TOptions1::BitBtn2Click(TObject*) {
  FStore = false;
  FormStorage1->SetActive(false);  // Cancel writes nothing, the placement included
  Close();
}

void TOptions1::FormClose(TObject* Sender, TCloseAction& Action) {
  TMyForm::FormClose(Sender, Action);
  bbApplyClick(Sender);
}

void TMainForm1::mmOptionsClick(TObject*) { ShowForm(Options1); }
