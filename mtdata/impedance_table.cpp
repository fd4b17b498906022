#include "mtdata/impedance_table.h"

#include "mtdata/complex_routines.h"
#include "mtdata/mt_guard.h"
#include "mtdata/site_file.h"

namespace {

float Single(double v) { return CheckedNarrow<float>(v); }

void FillRow(const TPlots& Plots, double Frequency, int i, TRezZRow& Row) {
  Row.Period = Single(GuardDiv(1.0, Frequency));
  static constexpr int Amp[5] = {0, 61, 62, 63, 64};
  static constexpr int AmpVar[5] = {0, 53, 54, 55, 56};
  static constexpr int Ph[5] = {0, 65, 66, 67, 68};
  static constexpr int PhVar[5] = {0, 89, 39, 40, 90};
  for (int k = 1; k <= 4; ++k) {
    Row.Amplitude[3][k] = Single(Plots[i][Amp[k]]);
    Row.AmplitudeError[3][k] = Single(GuardSqrt(Plots[i][AmpVar[k]]));
    Row.Phase[3][k] = Single(Plots[i][Ph[k]]);
    Row.PhaseError[3][k] = Single(GuardSqrt(Plots[i][PhVar[k]]));
  }
  // Tipper x, y and modulus; the modulus errors are the stored variances themselves.
  Row.Amplitude[3][6] = Single(Plots[i][pcAmpTx]);
  Row.Amplitude[3][7] = Single(Plots[i][pcAmpTy]);
  Row.Amplitude[3][8] = Single(Plots[i][pcTipMAG]);
  Row.AmplitudeError[3][6] = 0;
  Row.AmplitudeError[3][7] = 0;
  Row.AmplitudeError[3][8] = Single(Plots[i][pcVarTipMAG]);
  Row.Phase[3][6] = Single(Plots[i][pcPhaseTx]);
  Row.Phase[3][7] = Single(Plots[i][pcPhaseTy]);
  Row.Phase[3][8] = Single(Plots[i][pcTipPHASEDeg]);
  Row.PhaseError[3][6] = 0;
  Row.PhaseError[3][7] = 0;
  Row.PhaseError[3][8] = Single(Plots[i][pcVarTipPHASE]);
  for (int k = 1; k <= 12; ++k) {
    if (k == 5) continue;
    for (int v = 1; v <= 2; ++v) {
      Row.Amplitude[v][k] = Row.Amplitude[3][k];
      Row.Phase[v][k] = Row.Phase[3][k];
    }
  }
  for (int k = 1; k <= 4; ++k) {
    Row.Complex[3][k].Re = Single(Plots[i][pcZxxReRot + 2 * (k - 1)]);
    Row.Complex[3][k].Im = Single(Plots[i][pcZxxImRot + 2 * (k - 1)]);
  }
}

}  // namespace

void FillImpedanceTableFromPlots(const TPlots& Plots, const TFrequencyGrid& Frequencies, int NF, TRezZTable& Table) {
  ClearImpedanceTable(Table);
  if (NF < -32768 || NF > 32767) RaiseRangeError();
  Table.FirstRow = 1;
  Table.LastRow = static_cast<int16_t>(NF);
  Table.RowCount = static_cast<int16_t>(NF);
  for (int i = 1; i <= NF; ++i) {
    try {
      if (Frequencies[i] > 0 && Plots[i][pcRhoxyOhmm] != 0) FillRow(Plots, Frequencies[i], i, Table.Rows[i]);
    } catch (const Exception& e) {
      MtLog(e.Message());
    }
  }
  CalcTableDeterminants(Table);
}

void CalcTableDeterminants(TRezZTable& Table) {
  for (int i = 1; i <= Table.RowCount; ++i) {
    TRezZRow& row = Table.Rows[i];
    for (int v = 1; v <= 3; ++v) {
      TSingleComplex d, z;
      ComplexMulSub(row.Complex[v][1], row.Complex[v][4], row.Complex[v][2], row.Complex[v][3], d);
      ComplexSqrt(d, z);
      row.Complex[v][5] = z;
      row.Amplitude[v][5] = ComplexAbs(z);
      row.Phase[v][5] = ComplexArgDeg(z);
    }
  }
}

void CanadaToRussian(TRezZTable& Table) {
  if (CanadaToRussianMode <= 0) return;
  if (CanadaToRussianMode != 1 && CanadaToRussianMode != 2) return;
  for (int i = Table.FirstRow; i <= Table.LastRow; ++i) {
    TRezZRow& row = Table.Rows[i];
    for (int v = 1; v <= 3; ++v) {
      if (CanadaToRussianMode == 1) {
        std::swap(row.Amplitude[v][2], row.Amplitude[v][3]);
        std::swap(row.Amplitude[v][1], row.Amplitude[v][4]);
        const float p1 = row.Phase[v][1], p2 = row.Phase[v][2], p3 = row.Phase[v][3], p4 = row.Phase[v][4];
        row.Phase[v][2] = -180 - p3;
        row.Phase[v][3] = 180 - p2;
        row.Phase[v][1] = 180 - p4;
        row.Phase[v][4] = 180 - p1;
        row.Phase[v][5] = -row.Phase[v][5];
      } else {
        for (int k = 1; k <= 7; ++k) row.Phase[v][k] = -row.Phase[v][k];
      }
    }
  }
}

void TMTFile::FillImpedanceTable(TRezZTable& Table) {
  FillImpedanceTableFromPlots(Plots, Frequencies, FreqCount, Table);
}
