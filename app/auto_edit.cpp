#include "app/auto_edit.h"

#include <cmath>

#include "app/child_form.h"
#include "app/journal.h"
#include "app/log_views.h"
#include "app/main_form.h"
#include "mtdata/complex_routines.h"
#include "mtdata/impedance_quality.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/sysutils.h"

namespace {

using TFlags = TStaticArray<int16_t, 1, MaxXpr>;
using TWeights = TStaticArray<double, 1, MaxXpr>;

int UsedCount(const TFlags& Flags) { return SumSmallintArray(&Flags[1], MaxXpr); }

double Sum(const TWeights& W) {
  double s = 0;
  for (int x = 1; x <= MaxXpr; ++x) s += W[x];
  return s;
}

// Every removal undone: entries with data become 1.
void ResetMask(TMTFile& Site) {
  for (int f = 1; f <= Site.FreqCount; ++f)
    for (int x = 1; x <= MaxXpr; ++x)
      if (Site.Mask[f][x] > 0) Site.Mask[f][x] = 1;
}

// Drops the candidates of one round; true when one was dropped.
bool Drop(int Ca, int Cb, TFlags& Flags, TWeights& W1) {
  if (Ca == Cb) Cb = 0;
  for (int c : {Ca, Cb})
    if (c != 0) {
      Flags[c] = 0;
      W1[c] = 0;
    }
  return Ca != 0 || Cb != 0;
}

// The quality of a stack given as sums; 0 when the weight sum is not positive.
double Quality(int A, int B, const TMatrix7& SR, const TMatrix7& SI, double S) {
  if (!(S > 0)) return 0;
  TMatrix7 re{}, im{};
  for (int i = 1; i <= 7; ++i)
    for (int j = 1; j <= 7; ++j) {
      re[i][j] = SR[i][j] / S;
      im[i][j] = SI[i][j] / S;
    }
  double q = 0;
  CalcImpedanceQuality(A, B, re, im, q, S);
  return std::isfinite(q) ? q : 0;
}

}  // namespace

void RejectOutliers(TMTFile& Site, int F, int N, TFlags& Flags, int Mode, TWeights& W1) {
  int used = UsedCount(Flags);
  if (used <= 4) return;
  const double half = used / 2.0;
  auto a = [&](int x) { return Site.PartialPlots[F - 1][0][x - 1]; };
  auto b = [&](int x) { return Site.PartialPlots[F - 1][1][x - 1]; };
  const double freq = 0;

  // Logarithmic pass. Mode 1 takes its references from the stacked resistivities of the
  // frequency (the smooth curve the spline follows) instead of the mean of the estimates.
  while (used >= half) {
    double ra = 0, rb = 0;
    if (Mode == 0) {
      if (used > 0) {
        for (int x = 1; x <= N; ++x) {
          if (!Flags[x]) continue;
          if (a(x) > 0)
            ra += std::max(0.0, std::log10(a(x)));
          else
            LogDivisionByZero(x, F, "Xplots[F-1, 0, X-1]", freq);
          if (b(x) > 0)
            rb += std::max(0.0, std::log10(b(x)));
          else
            LogDivisionByZero(x, F, "Xplots[F-1, 1, X-1]", freq);
        }
        ra /= used;
        rb /= used;
      }
    } else {
      const double pa = Site.Plots[F][1], pb = Site.Plots[F][2];
      ra = pa > 0 ? std::log10(pa) : 0;
      rb = pb > 0 ? std::log10(pb) : 0;
    }
    double maxA = 0, maxB = 0;
    int ca = 0, cb = 0;
    for (int x = 1; x <= N; ++x) {
      if (!Flags[x]) continue;
      if (!(a(x) > 0) || !(b(x) > 0)) {
        LogDivisionByZero(x, F, "Xplots[F-1, 0, X-1]=0", freq);
        continue;
      }
      const double da = std::fabs(ra - std::log10(a(x)));
      const double db = std::fabs(rb - std::log10(b(x)));
      if (da > maxA) {
        maxA = da;
        if (da > 0.5) ca = x;
      }
      if (db > maxB) {
        maxB = db;
        if (db > 0.5) cb = x;
      }
    }
    const bool dropped = Drop(ca, cb, Flags, W1);
    used = UsedCount(Flags);
    if (!dropped) break;
  }

  // Linear pass: the change of the mean that leaving one estimate out makes.
  auto mean = [&](auto Value, int Skip) {
    double s = 0;
    int n = 0;
    for (int x = 1; x <= N; ++x)
      if (Flags[x] && x != Skip) {
        s += Value(x);
        ++n;
      }
    return n ? s / n : 0.0;
  };
  while (used >= half) {
    const double ma = mean(a, 0), mb = mean(b, 0);
    double maxA = 0, maxB = 0;
    int ca = 0, cb = 0;
    for (int x = 1; x <= N; ++x) {
      if (!Flags[x]) continue;
      const double da = std::fabs(ma - mean(a, x));
      const double db = std::fabs(mb - mean(b, x));
      if (da > maxA) maxA = da;
      if (ma != 0 && maxA > 1.5 / (0.05 * ma) + 1 && da / ma > 0.05) ca = x;
      if (db > maxB) maxB = db;
      if (mb != 0 && maxB > 1.5 / (0.05 * mb) + 1 && db / mb > 0.05) cb = x;
    }
    const bool dropped = Drop(ca, cb, Flags, W1);
    used = UsedCount(Flags);
    if (!dropped) break;
  }
}

void RejectRecords(int A, int B, int N, const TFreqMatrices& M, TWeights& W1, const TWeights& W2, TFlags& Flags) {
  if (UsedCount(Flags) < 2) return;
  // Ratio stage.
  const double w2 = Sum(W2);
  const double r = w2 != 0 ? Sum(W1) / w2 : 0;
  for (int x = 1; x <= N && r != 0; ++x) {
    if (Flags[x] == 1 && W2[x] > 0 && (W1[x] / W2[x]) / r < 0.5) {
      Flags[x] = 0;
      W1[x] = 0;
    }
    if (UsedCount(Flags) < 3) break;
  }
  if (UsedCount(Flags) == 0) return;

  // Quality stage: leave one out while that improves the stacked impedance.
  TMatrix7 sr{}, si{};
  std::vector<TMatrix7> re(static_cast<size_t>(N + 1)), im(static_cast<size_t>(N + 1));
  for (int x = 1; x <= N; ++x) {
    if (!Flags[x]) continue;
    UnpackCrossPowerMatrix(re[static_cast<size_t>(x)], im[static_cast<size_t>(x)], M[x]);
    for (int i = 1; i <= 7; ++i)
      for (int j = 1; j <= 7; ++j) {
        sr[i][j] += re[static_cast<size_t>(x)][i][j];
        si[i][j] += im[static_cast<size_t>(x)][i][j];
      }
  }
  double s = Sum(W1);
  const double q0 = Quality(A, B, sr, si, s);
  if (q0 == 0) return;
  double best = q0;
  const int rounds = UsedCount(Flags);
  for (int round = 0; round < rounds; ++round) {
    double g = 0;
    int c = 0;
    for (int x = 1; x <= N; ++x) {
      if (!Flags[x]) continue;
      TMatrix7 r2 = sr, i2 = si;
      for (int i = 1; i <= 7; ++i)
        for (int j = 1; j <= 7; ++j) {
          r2[i][j] -= re[static_cast<size_t>(x)][i][j];
          i2[i][j] -= im[static_cast<size_t>(x)][i][j];
        }
      const double q = Quality(A, B, r2, i2, s - W1[x]);
      if (q > g + 0.03) {
        g = q;
        c = x;
      }
    }
    if (c == 0) return;
    Flags[c] = 0;
    const double keptW1 = W1[c];
    W1[c] = 0;
    for (int i = 1; i <= 7; ++i)
      for (int j = 1; j <= 7; ++j) {
        sr[i][j] -= re[static_cast<size_t>(c)][i][j];
        si[i][j] -= im[static_cast<size_t>(c)][i][j];
      }
    s = Sum(W1);
    const double q = Quality(A, B, sr, si, s);
    if (q > best) {
      best = q;
      continue;
    }
    // No better: the estimate stays.
    Flags[c] = 1;
    W1[c] = keptW1;
    return;
  }
}

void AutoEditSite(TMTFile& Site, int Mode) {
  for (int x = 1; x <= MaxXpr; ++x) Site.RecordMatrixBuffer[x] = TMatrix7{};
  bool header = false;
  for (int f = 1; f <= Site.FreqCount; ++f) {
    const int n = Site.XprCount[f];
    if (n > MaxXpr) throw ERangeError("Range check error");
    TWeights w1{}, w2{};
    double ws2 = 0;
    for (int x = 1; x <= n; ++x) ws2 += Site.Weight2[f][x];
    Site.WeightSum2[f] = ws2;
    if (ws2 == 0) continue;
    for (int x = 1; x <= MaxXpr; ++x) Site.XprFlags[x] = 0;
    for (int x = 1; x <= n; ++x) {
      if (Site.Mask[f][x] > 0) {
        Site.RecordMatrixBuffer[x] = Site.XprMatrices[f][x];
        Site.XprFlags[x] = 1;
      }
      w2[x] = Site.Weight2[f][x];
      w1[x] = Site.Weight1[f][x];
    }
    RejectOutliers(Site, f, n, Site.XprFlags, Mode, w1);
    RejectRecords(6, 7, n, Site.RecordMatrixBuffer, w1, w2, Site.XprFlags);
    std::string line = Format("%3d ", {f});
    for (int x = 1; x <= n; ++x) {
      if (Site.Mask[f][x] != 0) Site.Mask[f][x] = Site.XprFlags[x] == 1 ? 1 : 2;
      line += static_cast<char>('0' + Site.Mask[f][x]);
    }
    if (!header) {
      MtLog("  f Mask");
      header = true;
    }
    MtLog(line);
  }
}

void AutoEdit(int Mode) {
  if (!CurrentSite) return;
  TMTFile& site = *CurrentSite;
  MtLog("AutoEdit");
  site.Loaded = false;
  ResetMask(site);
  AutoEditSite(site, Mode);
  site.RestackAll();
  site.Loaded = true;
}

void ClearMask() {
  if (!CurrentSite) return;
  TMTFile& site = *CurrentSite;
  MtLog("ClearMask");
  site.Loaded = false;
  ResetMask(site);
  site.RestackAll();
  site.Loaded = true;
}

void TMainForm1::mmAutoEditClick(TObject* Sender) {
  if (!CurrentSite) return;
  ShowProgramLog();
  AutoEdit(static_cast<TComponent*>(Sender)->Tag());
  PushEditRecord(1, "AutoEd");
  RefreshAllViews(this);
}

void TMainForm1::ClearMaskExecute(TObject*) {
  if (!CurrentSite) return;
  ShowProgramLog();
  if (Application->MessageBox("Clear mask, are you sure?", "Varomark", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  ClearMask();
  PushEditRecord(1, "ClrMsk");
  RefreshAllViews(this);
}
