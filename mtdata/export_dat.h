// The ".dat" report for Russian MT interpretation programs: framed tables of impedance (mode 0),
// tipper (mode 1) or m-t tensor (mode 2) values in code page 866, one record per reference;
// and two small services of the header view: short reference names and header field texts.
#pragma once

#include <cstdint>
#include <string>

#include "mtdata/mt_types.h"

class TMTFile;

// The heading data of one record.
struct TMtzRecordHeader {
  TShortString<3> Area;
  TShortString<6> Picket;
  TShortString<4> Station;
  TShortString<11> Tape;
  TDateTime RecordTime = 0;
  double X = 0;
  double Y = 0;
  double AzimuthEx = 0;
  double AzimuthEy = 0;
  double AzimuthHx = 0;
  double AzimuthHy = 0;
  int32_t ReferenceType = 0;  // file reference type 1..4 (LE, RE, LH, RH)
};

// Header field names that HeaderFieldText knows.
inline constexpr TStaticArray<std::string_view, 1, 8> HeaderFieldNames{
    {"Job", "Orig FileName", "FileName", "ProcessedFiles", "Site Desc", "Project", "Station", "StnNumber"}};

// Amplitude factor and unit caption by MtzUnits (0 "mV/Gamm.km", 1 "om").
inline constexpr TStaticArray<double, 0, 1> MtzUnitFactors{{1.0, 1.256}};
inline constexpr TStaticArray<std::string_view, 0, 1> MtzUnitCaptions{{"мв/км*гам", "    Ом.  "}};
inline constexpr std::string_view MtzDimensionlessCaption = "    Ед.  ";

// "LE", "RE", "LH" or "RH" by Reference (1..4), in lower case when it is not SiteReference.
// A Reference outside 1..4 raises ERangeError.
void ReferenceName(int Reference, int SiteReference, std::string& Name);

// Count characters from position First (1-based) of the header field named FieldName; any
// other FieldName is taken as the text itself. Names are compared exactly.
void HeaderFieldText(const TTapeLabel& Header, const std::string& FieldName, int First, std::string& Text, int Count);

// Appends one framed record for Table in Mode 0..2 to Report (code page 866, CRLF line ends)
// and logs its summary. Returns the number of table rows written. A Mode outside 0..2, an
// MtzUnits outside 0..1 or more than 140 rows examined raise ERangeError.
int WriteMtzReport(std::string& Report, const TMtzRecordHeader& Header, const TRezZTable& Table, int Mode);

// Writes the report of Site to FileName with the extension ".dat": the record of the site's own
// reference and, when MtzSolutionMode is not 0, those of the local E and local H references.
// With MtzAppendMode 1 an existing file keeps its content and the records follow it. The site
// is computed for each reference in turn and then given back exactly as it was. A site whose
// record would hold no rows raises Exception and writes nothing; so does a file that cannot be
// written (EInOutError), leaving an existing file as it was.
void ExportNarskyDat(const std::string& FileName, TMTFile& Site, int Mode);
