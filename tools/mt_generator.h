// Synthetic MT block files: a 1-D layered earth, optional tipper, N noisy cross-power estimates
// per frequency with a few gross outliers, local or remote reference, and the stored result
// and mask records that the recording system's processing writes.
#pragma once

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

struct TMtGenLayer {
  double Resistivity = 100;  // ohm-m
  double Thickness = 0;      // m; ignored for the last layer (the half-space)
};

// A stored edit the generator appends after the processing's result pair, as an editing
// program would: its masks remove the outliers.
struct TMtGenEdit {
  int RotationMode = 0;        // 1 writes "ROT=P.AXES."
  double RotationAngle = 0;    // degrees, written "%2.0f"
  bool RemoveOutliers = true;  // mask 2 on the outliers of XPRs 1..20
};

struct TMtGenModel {
  std::vector<TMtGenLayer> Layers{{100, 0}};

  bool WithTipper = false;
  std::complex<double> TipperX{0.15, 0.05};
  std::complex<double> TipperY{-0.10, 0.02};

  int EstimateCount = 20;        // XPR records, 1..100
  int Segments = 12;             // spectral segments summed into one estimate (W1 = W2 = Segments)
  double Noise = 0.03;           // relative noise of every channel
  int OutliersPerFrequency = 2;  // gross outliers among XPRs 1..min(20, N)
  double OutlierFactor = 3;      // impedance scale of an outlier estimate

  // File reference type: 1 local E, 2 remote E, 3 local H, 4 remote H.
  int ReferenceType = 1;
  int WeightingType = 2;
  double Cutoff = 0.5;

  // Header texts.
  std::string Project = "VAROMARK TEST";
  std::string Job = "A1234";
  std::string SiteDesc = "S107";
  std::string Station = "1234";
  std::string StnNumber = "101A";
  std::string ProcessingDate = "24May20";  // yymmmdd

  int OplogLines = 5;             // lines of the operation-log record (at most 49)
  std::vector<TMtGenEdit> Edits;  // stored edits after the processing's results

  // The frequency grid in Hz, descending, one per frequency slot of the file (40, or 28 for an
  // AMT file); empty: the standard grid of MtGenFrequencies. Other grids make sets of files whose
  // frequencies interleave or overlap.
  std::vector<double> Frequencies;

  uint64_t Seed = 1;
};

struct TMtGenInfo {
  int FreqCount = 0;
  std::vector<double> Frequencies;         // [0..F-1], Hz, descending
  std::vector<std::vector<int>> Outliers;  // per frequency the outlier XPR numbers
  int BlockCount = 0;
  std::string ScanLine;  // the scan's expected "Total recs=" line
};

// 40 frequencies, or 28 when the extension begins ".AM" (any case).
int MtGenFrequencyCount(const std::string& FileName);
// The frequency grid the generator writes (descending, three significant digits).
std::vector<double> MtGenFrequencies(int FreqCount);

// Surface impedance of the layered earth in field units (mV/km per nT): rho_a = 0.2 |Z|^2 / f.
std::complex<double> MtGenImpedance(const std::vector<TMtGenLayer>& Layers, double Frequency);
double MtGenApparentResistivity(const std::vector<TMtGenLayer>& Layers, double Frequency);
double MtGenPhaseDeg(const std::vector<TMtGenLayer>& Layers, double Frequency);

// Builds the whole file in memory; refuses (throws Exception) a model whose records would not
// fit their blocks or that breaks the format's limits. Nothing is written on refusal.
std::vector<uint8_t> MtGenBuild(const TMtGenModel& Model, const std::string& FileName, TMtGenInfo* Info = nullptr);
// Builds and writes the file.
void MtGenWrite(const TMtGenModel& Model, const std::string& FileName, TMtGenInfo* Info = nullptr);
