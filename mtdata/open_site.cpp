#include "mtdata/open_site.h"

#include "mtdata/edi_reader.h"
#include "mtdata/package_file.h"
#include "mtdata/site_file.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <new>

ArrayOfTMtFile SiteFiles;
std::shared_ptr<TMTFile> CurrentSite;

namespace {
// A site still open when the program ends is freed, with its file streams, before the lists
// that hold it are destroyed.
struct TSiteAtExit {
  ~TSiteAtExit() { FreeSite(); }
} SiteAtExit;
}  // namespace
TStartEditDialog StartEditDialog;

namespace {

std::string TagText(const TRecordTag& Tag) { return std::string(Tag.data(), strnlen(Tag.data(), Tag.size())); }

bool HasExtension(const std::string& Name, const char* Ext) { return LowerCase(ExtractFileExt(Name)) == Ext; }

double SecondWeightSum(const TMTFile& File, int F) {
  double sum = 0;
  for (int x = 1; x <= std::min(File.XprCount[F], MaxXpr); ++x) sum += File.Weight2[F][x];
  return sum;
}

// The range of a member, kept inside its frequency slots.
void ClampRange(TMTFile& File) {
  const int last = std::clamp(File.FreqCount, 1, MaxFreq);
  File.FromFreq = std::clamp(File.FromFreq, 1, last);
  File.ToFreq = std::clamp(File.ToFreq, 1, last);
}

// Two channel orders agree on every channel that both files have (a slot 0 marks a channel a
// file does not record).
bool SameChannelOrder(const TChannelOrder& A, const TChannelOrder& B) {
  for (int k = 1; k <= MaxChannel; ++k)
    if (A[k] != 0 && B[k] != 0 && A[k] != B[k]) return false;
  return true;
}

std::string ChannelOrderText(const TChannelOrder& Order) {
  std::string s;
  for (int k = 1; k <= MaxChannel; ++k) s += (k > 1 ? " " : "") + IntToStr(Order[k]);
  return s;
}

void LogCounts(const char* Title, const std::vector<int>& Counts) {
  MtLog(Title);
  std::string line;
  for (std::size_t k = 1; k < Counts.size(); ++k) {
    line += StrW(static_cast<int64_t>(k), 4) + StrW(Counts[k], 12);
    if (k % 5 == 0) {
      MtLog(line);
      line.clear();
    }
  }
  MtLog(line);
}

// A one-file package keeps its stored settings and masks over those of the file's edit.
void ApplyPackage(TMTFile& Site, const TPackageData& Package) {
  Site.RotationMode = 0;
  Site.RotationAngle = Package.RotationAngle;
  if (Package.FreqCount != Site.FreqCount) {
    MtLog("Package masks not used: " + IntToStr(Package.FreqCount) + " frequencies for " + IntToStr(Site.FreqCount) +
          " of " + Site.FileName);
  } else {
    for (int f = 1; f <= Package.FreqCount; ++f) {
      const auto& mask = Package.Masks[static_cast<std::size_t>(f - 1)];
      for (std::size_t x = 0; x < mask.size(); ++x) Site.Mask[f][static_cast<int>(x) + 1] = mask[x];
    }
  }
  Site.StartFromStoredEdit = true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

bool TFrequencyTable::Locate(double Value) const {
  return std::find(FValues.begin(), FValues.end(), Value) != FValues.end();
}

void TFrequencyTable::Append(double Value) { FValues.push_back(Value); }

void TFrequencyTable::SortDescending() { std::stable_sort(FValues.begin(), FValues.end(), std::greater<double>()); }

// ---------------------------------------------------------------------------------------------

bool LoadSite(TStrings& Names) {
  std::vector<std::string> names;
  for (int i = 0; i < Names.Count(); ++i) names.push_back(Names[i]);
  bool result = LoadSite(names);
  Names.BeginUpdate();
  Names.Clear();
  for (const std::string& s : names) Names.Add(s);
  Names.EndUpdate();
  return result;
}

namespace {

bool BuildSite(std::vector<std::string>& Names);

// Runs Body; an error from outside the toolkit's family (the standard library's input and
// output, running out of memory) becomes one that names the file and the reason.
template <typename Body>
void NamingErrors(const std::string& Name, Body&& Fn) {
  try {
    Fn();
  } catch (const Exception&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Not enough memory to read " + Name);
  } catch (const std::exception& e) {
    throw EInOutError("Cannot read " + Name + ": " + e.what());
  }
}

}  // namespace

bool LoadSite(std::vector<std::string>& Names) {
  if (Names.empty()) throw EInOutError("No file to open");
  bool result = false;
  const std::string first = Names[0];
  NamingErrors(first, [&] { result = BuildSite(Names); });
  return result;
}

namespace {

bool BuildSite(std::vector<std::string>& Names) {
  auto site = std::make_shared<TMTFile>();
  CurrentSite = site;
  site->XprRecordCount = 100;
  site->StartFromStoredEdit = false;

  TPackageData package;
  const bool isPackage = HasExtension(Names[0], ".mpk");
  std::vector<int> starts, froms, tos;
  if (isPackage) {
    site->FileName = Names[0];
    ReadPackage(Names[0], package);
    Names = package.Members;
    starts = package.StartEdits;
    froms = package.FromFreqs;
    tos = package.ToFreqs;
    site->RotationAngle = package.RotationAngle;
    site->FreqCount = package.FreqCount;
    for (int f = 1; f <= package.FreqCount; ++f) {
      const auto& mask = package.Masks[static_cast<std::size_t>(f - 1)];
      site->Frequencies[f] = package.Frequencies[static_cast<std::size_t>(f - 1)];
      site->XprCount[f] = static_cast<int32_t>(mask.size());
      for (std::size_t x = 0; x < mask.size(); ++x) site->Mask[f][static_cast<int>(x) + 1] = mask[x];
    }
    site->StartFromStoredEdit = true;
  } else {
    std::stable_sort(Names.begin(), Names.end(),
                     [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    for (const std::string& name : Names) {
      starts.push_back(0);
      froms.push_back(1);
      tos.push_back(HasExtension(name, ".amt") ? 28 : 40);
    }
    site->FileName = Names[0];
  }

  const std::size_t n = Names.size();
  const bool isEdi = HasExtension(Names[0], ".edi");
  auto read = [isEdi](TMTFile& file, const std::string& name) {
    NamingErrors(name, [&] {
      if (isEdi)
        file.LoadFromEdi(name);
      else
        file.OpenMtFile(name);
    });
  };
  SiteFiles.assign(n, nullptr);
  if (n == 1) {
    SiteFiles[0] = site;
    read(*site, Names[0]);
    if (isPackage) {
      site->StartEdit = starts[0];
      site->FromFreq = froms[0];
      site->ToFreq = tos[0];
    }
  } else {
    for (std::size_t i = 0; i < n; ++i) {
      SiteFiles[i] = std::make_shared<TMTFile>();
      read(*SiteFiles[i], Names[i]);
      SiteFiles[i]->StartEdit = starts[i];
      // The default range 1..40 is the slot count of an MT file; an EDI file may hold up to
      // 140 frequencies and keeps the range it was read with, so that none is left out of the
      // sum. A package's stored ranges always apply.
      if (isEdi && !isPackage) continue;
      SiteFiles[i]->FromFreq = froms[i];
      SiteFiles[i]->ToFreq = tos[i];
    }
  }

  site->ReferenceType = SiteFiles[0]->ReferenceType;
  if (n >= 2) {
    bool failed = false;
    for (const auto& member : SiteFiles) {
      const int ref = member->ReferenceType;
      std::string line =
          member->FileName + " " + (ref >= 1 && ref <= 4 ? std::string(ReferenceDisplayNames[ref]) : "?");
      if (ref != site->ReferenceType) {
        line += " - Uncompatible Reference";
        failed = true;
      }
      // The sum keeps the matrices in their slots and reads them in the first file's channel
      // order: a file that stores its channels in other slots would be summed into the wrong
      // channels.
      if (!SameChannelOrder(member->ChannelOrder, SiteFiles[0]->ChannelOrder)) {
        line += " - Channel order " + ChannelOrderText(member->ChannelOrder) + " differs from " +
                ChannelOrderText(SiteFiles[0]->ChannelOrder);
        failed = true;
      }
      MtLog(line);
    }
    if (failed) {
      MtLog("");
      MtLog("Editing set of this files impossible");
      MtLog("");
      return false;
    }
  }
  site->DisplayReference = static_cast<int16_t>(ReferenceToDisplayIndex(site->ReferenceType));

  if (!isEdi) {
    ChooseStartEdit(isPackage ? &package : nullptr);
  }
  // Read into the site itself, a one-file package's member (an MT or an EDI file) keeps the
  // settings and masks that the package stored.
  if (isPackage && n == 1) ApplyPackage(*site, package);
  if (n >= 2) SumSiteFiles(SiteFiles, *site);
  site->CalcPartialPlots();
  return true;
}

}  // namespace

void ChooseStartEdit(const TPackageData* Package) {
  const bool fromPackage = Package != nullptr;
  for (const auto& member : SiteFiles) {
    TMTFile& file = *member;
    if (file.PlotRecordCount < 1) throw EInOutError(file.FileName + ": the file holds no stored result record");
    const int storedFrom = file.FromFreq, storedTo = file.ToFreq;
    file.ReadPlotEditRecord();
    file.RebuildFrequencyGrid(true);
    if (fromPackage) {
      file.FromFreq = storedFrom;
      file.ToFreq = storedTo;
    }
    // A range chosen in the dialog or stored in a package outlasts the loading of the edit,
    // which resets it to the valid frequencies.
    bool keepRange = fromPackage;
    if (!fromPackage) {
      const bool choice = SiteFiles.size() > 1 || file.PlotRecordCount > 1;
      if (RequestFromToFrequency && choice && StartEditDialog) {
        TStartEditRequest request;
        request.Caption = ExtractFileName(file.FileName) + " From what the previous edit do you want to start edit?";
        for (int i = 1; i <= file.PlotRecordCount; ++i)
          request.Lines.push_back(IntToStr(i) + " " + TagText(file.RecordTags[i]));
        request.SelectedLine = file.PlotRecordCount - 1;
        request.FromText = IntToStr(file.FromFreq);
        request.ToText = IntToStr(file.ToFreq);
        request.ShowRange = SiteFiles.size() > 1;
        request.SiteFile = &file;
        StartEditDialog(request);
        file.StartEdit = std::clamp(request.SelectedLine, 0, file.PlotRecordCount - 1);
        file.FromFreq = StrToIntDef(Trim(request.FromText), file.FromFreq);
        file.ToFreq = StrToIntDef(Trim(request.ToText), file.ToFreq);
        file.StartFromStoredEdit = file.StartEdit > 0;
        keepRange = true;
      } else {
        file.StartEdit = file.PlotRecordCount - 1;
        MtLog("Edit plot number: " + IntToStr(file.StartEdit));
      }
    }
    if (file.StartEdit < 0 || file.StartEdit >= file.PlotRecordCount)
      throw ERangeError(file.FileName + ": stored edit " + IntToStr(file.StartEdit + 1) +
                        " not found (the file holds " + IntToStr(file.PlotRecordCount) + ")");
    ClampRange(file);
    const int from = file.FromFreq, to = file.ToFreq;
    file.CurrentEditBlock = file.PlotBlocks[file.StartEdit + 1];
    file.LoadEdit();
    if (keepRange) {
      file.FromFreq = from;
      file.ToFreq = to;
    }
  }
}

void SumSiteFiles(const std::vector<std::shared_ptr<TMTFile>>& Files, TMTFile& Summed) {
  if (Files.empty()) return;
  TFrequencyTable table;
  for (const auto& file : Files)
    for (int f = std::max(file->FromFreq, 1); f <= std::min(file->ToFreq, MaxFreq); ++f)
      if (SecondWeightSum(*file, f) > 0 && !table.Locate(file->Frequencies[f])) table.Append(file->Frequencies[f]);
  table.SortDescending();

  int m = 0;
  for (int i = 0; i < table.RecordCount(); ++i) {
    if (!(table.Value(i) > 0)) continue;
    if (m == MaxFreq) throw ERangeError("The set has more than " + IntToStr(MaxFreq) + " frequencies");
    Summed.Frequencies[++m] = table.Value(i);
  }
  for (int f = m + 1; f <= MaxFreq; ++f) Summed.Frequencies[f] = 0;
  Summed.FreqCount = m;
  Summed.ValidFreqCount = m;
  Summed.FromFreq = 1;
  Summed.ToFreq = m;
  MtLog("New frequency grid, Hz:, Number=" + IntToStr(m));
  Summed.PrintFrequencyGrid();

  Summed.XprCount.Fill(0);
  std::vector<int> inputs(static_cast<std::size_t>(m) + 1, 0);
  for (const auto& file : Files) {
    for (int f = std::max(file->FromFreq, 1); f <= std::min(file->ToFreq, MaxFreq); ++f) {
      if (!(SecondWeightSum(*file, f) > 0)) continue;
      const double ff = file->Frequencies[f];
      int k = 0;
      for (int g = 1; g <= m; ++g) {
        const double fg = Summed.Frequencies[g];
        if (fg != 0 && std::fabs(ff - fg) / fg < 0.01) {
          k = g;
          break;
        }
      }
      if (k == 0) continue;
      const int count = std::min(file->XprCount[f], MaxXpr);
      for (int x = 1; x <= count; ++x) {
        const int s = Summed.XprCount[k] + x;
        if (s > MaxXpr) break;
        Summed.XprMatrices[k][s] = file->XprMatrices[f][x];
        Summed.Weight1[k][s] = file->Weight1[f][x];
        Summed.Weight2[k][s] = file->Weight2[f][x];
        if (!Summed.StartFromStoredEdit) Summed.Mask[k][s] = file->Mask[f][x];
      }
      Summed.XprCount[k] = std::min(Summed.XprCount[k] + count, MaxXpr);
      inputs[static_cast<std::size_t>(k)] += count;
    }
  }
  LogCounts("XPRS number in Input MT-files", inputs);
  std::vector<int> summed(static_cast<std::size_t>(m) + 1, 0);
  for (int k = 1; k <= m; ++k) summed[static_cast<std::size_t>(k)] = Summed.XprCount[k];
  LogCounts("XPRS number in Summed MT-File", summed);

  const TMTFile& first = *Files[0];
  Summed.XprIdText = first.XprIdText;
  Summed.XprDescText = first.XprDescText;
  Summed.HeaderValue = first.HeaderValue;
  Summed.ChannelCount = first.ChannelCount;
  Summed.ChannelNames = first.ChannelNames;
  Summed.ChannelOrder = first.ChannelOrder;
  Summed.ReferenceType = first.ReferenceType;
  Summed.ReferenceCount = first.ReferenceCount;
  Summed.WeightingType = first.WeightingType;
  Summed.Cutoff = first.Cutoff;
  Summed.CurrentReference = first.CurrentReference;
  Summed.HeaderWord = first.HeaderWord;
  Summed.InfoLines = first.InfoLines;
  Summed.Header = first.Header;
  Summed.RobustParams = first.RobustParams;
  Summed.StoredChannelOrder = first.StoredChannelOrder;
  Summed.ReferenceNames = first.ReferenceNames;
  Summed.ReferenceTypes = first.ReferenceTypes;
  Summed.FileName = ChangeFileExt(first.FileName, "");
  Summed.Loaded = true;
}

void FreeSite() {
  SiteFiles.clear();
  CurrentSite.reset();
}
