// The open site: the loaded files and the object the windows show, built from a list of MT
// files, a package or EDI files; the choice of each file's stored edit; the sum of a set of
// files on one frequency grid.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMTFile;
class TStrings;
struct TPackageData;

using ArrayOfTMtFile = std::vector<std::shared_ptr<TMTFile>>;

// The loaded files in their order; empty when no site is open.
extern ArrayOfTMtFile SiteFiles;
// The object the windows show and edit: the single file itself (SiteFiles[0]) or the summed
// object of a set. Null when no site is open.
extern std::shared_ptr<TMTFile> CurrentSite;

// ---------------------------------------------------------------------------------------------
// The stored-edit dialog. The application installs it; without it the newest stored edit and
// the whole frequency range are used.

struct TStartEditRequest {
  std::string Caption;
  std::vector<std::string> Lines;  // one per stored result record: its number and title
  int SelectedLine = -1;           // preset to the last line; -1 when none is selected
  std::string FromText;            // first and last frequency index
  std::string ToText;
  bool ShowRange = true;  // hidden for a one-file site
  const TMTFile* SiteFile = nullptr;
};

// Shows the dialog modally; on return the request holds the selected line and the two texts.
using TStartEditDialog = std::function<void(TStartEditRequest& Request)>;
extern TStartEditDialog StartEditDialog;

// ---------------------------------------------------------------------------------------------
// The one-column table of frequencies that summing a set builds: exact-match look-up,
// appending, and a descending sort.
class TFrequencyTable {
public:
  bool Locate(double Value) const;
  void Append(double Value);
  void SortDescending();
  int RecordCount() const { return static_cast<int>(FValues.size()); }
  // Record I, counted from 0.
  double Value(int I) const { return FValues.at(static_cast<std::size_t>(I)); }

private:
  std::vector<double> FValues;
};

// ---------------------------------------------------------------------------------------------

// Builds the site from Names (a package, MT files or EDI files; MT and EDI names are sorted by
// name ignoring case, a package's members replace Names). Returns False, with the log lines,
// when the files do not share the reference; the shell then calls FreeSite. Errors while
// reading end it with that error; what was created belongs to the site.
bool LoadSite(std::vector<std::string>& Names);
bool LoadSite(TStrings& Names);

// Chooses each member's start edit (through StartEditDialog when asked for) and loads it. With
// the package being opened, each member keeps the range the package stored and no dialog is
// shown.
void ChooseStartEdit(const TPackageData* Package = nullptr);

// Builds Summed from a set of files: the frequency grid of all their frequencies, every
// estimate on it, and the header of the first file.
void SumSiteFiles(const std::vector<std::shared_ptr<TMTFile>>& Files, TMTFile& Summed);

// Frees every object of the site.
void FreeSite();
