// The columns of a parameter row (TPlots, TPartial_plot): each of the 135 MT parameters of one
// frequency by its short name, with its long name, in one table of rows. Column p of a row holds
// parameter p; the numbers are the ones the site file, the EDI files and the exports use.
#pragma once

// X(column, short name, long name): the short name is the identifier and the text at once.
#define VM_MT_PARAMETERS(X)                         \
  X(1, RhoxyOhmm, "Rhoxy ohm-m.")                   \
  X(2, RhoyxOhmm, "Rhoyx ohm-m.")                   \
  X(3, PHASExyDeg, "PHASExy,Deg.")                  \
  X(4, PHASEyxDeg, "PHASEyx,Deg.")                  \
  X(5, ZSkew, "Z - Skew")                           \
  X(6, ZEllip, "Z - Ellip")                         \
  X(7, ZSTRIKEDeg, "Z-STRIKE,Deg.")                 \
  X(8, VarTipMAG, "Var Tip MAG")                    \
  X(9, TipMAG, "Tip MAG")                           \
  X(10, IndVr, "Ind-Vr")                            \
  X(11, IndVi, "Ind-Vi")                            \
  X(12, TipPHASEDeg, "Tip PHASE,Deg")               \
  X(13, IVrAng, "I-VrAng")                          \
  X(14, TipSkew, "Tip - Skew")                      \
  X(15, TipEllip, "Tip - Ellip")                    \
  X(16, TipSTRIKE, "Tip - STRIKE")                  \
  X(17, OrdCohHxEy, "Ord Coh Hx-Ey")                \
  X(18, OrdCohHyEx, "Ord Coh Hy-Ex")                \
  X(19, OrdCohHxRx, "Ord Coh Hx-Rx")                \
  X(20, OrdCohHyRy, "Ord Coh Hy-Ry")                \
  X(21, ExCohHxHy, "Ex Coh Hx-Hy")                  \
  X(22, EyCohHxHy, "Ey Coh Hx-Hy")                  \
  X(23, HxCohExEy, "Hx Coh Ex-Ey")                  \
  X(24, HyCohExEy, "Hy Coh Ex-Ey")                  \
  X(25, HzCohExEy, "Hz Coh Ex-Ey")                  \
  X(26, HzCohHxHy, "Hz Coh Hx-Hy")                  \
  X(27, HxGamHz5, "Hx Gam/Hz^.5")                   \
  X(28, HyGamHz5, "Hy Gam/Hz^.5")                   \
  X(29, HzGamHz5, "Hz Gam/Hz^.5")                   \
  X(30, ExuVMHz5, "Ex uV/M/Hz^.5")                  \
  X(31, EyuVMHz5, "Ey uV/M/Hz^.5")                  \
  X(32, HxNSigN, "Hx N/(Sig+N)")                    \
  X(33, HyNSigN, "Hy N/(Sig+N)")                    \
  X(34, HzNSigN, "Hz N/(Sig+N)")                    \
  X(35, ExNSigN, "Ex N/(Sig+N)")                    \
  X(36, EyNSigN, "Ey N/(Sig+N)")                    \
  X(37, VarLogRhoxy, "Var Log Rhoxy")               \
  X(38, VarLogRhoyx, "Var Log Rhoyx")               \
  X(39, VarPHASExy, "Var PHASExy")                  \
  X(40, VarPHASEyx, "Var PHASEyx")                  \
  X(41, VarTipPHASE, "Var Tip PHASE")               \
  X(42, IViAng, "I-ViAng")                          \
  X(43, RhoxyBosInv, "Rhoxy BosInv.")               \
  X(44, RhoyxBosInv, "Rhoyx BosInv.")               \
  X(45, ZxxReRot, "Zxx Re (Rot)")                   \
  X(46, ZxxImRot, "Zxx Im (Rot)")                   \
  X(47, ZxyReRot, "Zxy Re (Rot)")                   \
  X(48, ZxyImRot, "Zxy Im (Rot)")                   \
  X(49, ZyxReRot, "Zyx Re (Rot)")                   \
  X(50, ZyxImRot, "Zyx Im (Rot)")                   \
  X(51, ZyyReRot, "Zyy Re (Rot)")                   \
  X(52, ZyyImRot, "Zyy Im (Rot)")                   \
  X(53, ZxxVARRot, "Zxx VAR (Rot)")                 \
  X(54, ZxyVARRot, "Zxy VAR (Rot)")                 \
  X(55, ZyxVARRot, "Zyx VAR (Rot)")                 \
  X(56, ZyyVARRot, "Zyy VAR (Rot)")                 \
  X(57, RotAngleDeg, "Rot Angle Deg")               \
  X(58, DepthxyKm, "Depthxy Km.")                   \
  X(59, DepthyxKm, "Depthyx Km.")                   \
  X(60, Log10FrqHz, "Log10(Frq) Hz")                \
  X(61, Zxx, "Zxx")                                 \
  X(62, Zxy, "Zxy")                                 \
  X(63, Zyx, "Zyx")                                 \
  X(64, Zyy, "Zyy")                                 \
  X(65, PHASExxDeg, "PHASExx Deg.")                 \
  X(66, PHASExyDeg1, "PHASExy Deg.")                \
  X(67, PHASEyxDeg1, "PHASEyx Deg.")                \
  X(68, PHASEyyDeg, "PHASEyy Deg.")                 \
  X(69, ZxxZ, "Zxx(Z)")                             \
  X(70, ZxyZ, "Zxy(Z)")                             \
  X(71, ZyxZ, "Zyx(Z)")                             \
  X(72, ZyyZ, "Zyy(Z)")                             \
  X(73, ArgxxZ, "Arg(xx)Z")                         \
  X(74, ArgxyZ, "Arg(xy)Z")                         \
  X(75, ArgyxZ, "Arg(yx)Z")                         \
  X(76, ArgyyZ, "Arg(yy)Z")                         \
  X(77, ZxxY, "Zxx(Y)")                             \
  X(78, ZxyY, "Zxy(Y)")                             \
  X(79, ZyxY, "Zyx(Y)")                             \
  X(80, ZyyY, "Zyy(Y)")                             \
  X(81, ArgxxY, "Arg(xx)Y")                         \
  X(82, ArgxyY, "Arg(xy)Y")                         \
  X(83, ArgyxY, "Arg(yx)Y")                         \
  X(84, ArgyyY, "Arg(yy)Y")                         \
  X(85, AmpTx, "AmpTx")                             \
  X(86, AmpTy, "AmpTy")                             \
  X(87, PhaseTx, "PhaseTx")                         \
  X(88, PhaseTy, "PhaseTy")                         \
  X(89, VarPhasexx, "Var Phase xx")                 \
  X(90, VarPhaseyy, "Var Phase yy")                 \
  X(91, R3, "Rx Gam(uv/m)/Hz^.5")                   \
  X(92, R4, "Ry Gam(uv/m)/Hz^.5")                   \
  X(93, SqrtVarRhoxy, "Sqrt(Var Rhoxy)")            \
  X(94, SqrtVarRhoyx, "Sqrt(Var Rhoyx)")            \
  X(95, SqrtVarPhaseRhoxy, "Sqrt(Var Phase Rhoxy)") \
  X(96, SqrtVarPhaseRhoyx, "Sqrt(Var Phase Rhoyx)") \
  X(97, TenDepthxyKm, "10^Depthxy Km.")             \
  X(98, TenDepthyxKm, "10^Depthyx Km.")             \
  X(99, fhz, "f(hz)")                               \
  X(100, Txr, "Txr")                                \
  X(101, Tyr, "Tyr")                                \
  X(102, Txi, "Txi")                                \
  X(103, Tyi, "Tyi")                                \
  X(104, Pxx, "Pxx")                                \
  X(105, Pxy, "Pxy")                                \
  X(106, Pyx, "Pyx")                                \
  X(107, Pyy, "Pyy")                                \
  X(108, Pzx, "Pzx")                                \
  X(109, Pzy, "Pzy")                                \
  X(110, PhasePxx, "PhasePxx")                      \
  X(111, PhasePxy, "PhasePxy")                      \
  X(112, PhasePyx, "PhasePyx")                      \
  X(113, PhasePyy, "PhasePyy")                      \
  X(114, PhasePzx, "PhasePzx")                      \
  X(115, PhasePzy, "PhasePzy")                      \
  X(116, VarPxx, "VarPxx")                          \
  X(117, VarPxy, "VarPxy")                          \
  X(118, VarPyx, "VarPyx")                          \
  X(119, VarPyy, "VarPyy")                          \
  X(120, VarPzx, "VarPzx")                          \
  X(121, VarPzy, "VarPzy")                          \
  X(122, VarPhasePxx, "VarPhasePxx")                \
  X(123, VarPhasePxy, "VarPhasePxy")                \
  X(124, VarPhasePyx, "VarPhasePyx")                \
  X(125, VarPhasePyy, "VarPhasePyy")                \
  X(126, VarPhasePzx, "VarPhasePzx")                \
  X(127, VarPhasePzy, "VarPhasePzy")                \
  X(128, Zef, "Zef")                                \
  X(129, PhaseZef, "PhaseZef")                      \
  X(130, VarZef, "VarZef")                          \
  X(131, VarPhaseZef, "VarPhaseZef")                \
  X(132, VarAmpTx, "VarAmpTx")                      \
  X(133, VarAmpTy, "VarAmpTy")                      \
  X(134, VarPhaseTx, "VarPhaseTx")                  \
  X(135, VarPhaseTy, "VarPhaseTy")

// Column constants: Plots[f][pcRhoxyOhmm] is the apparent resistivity xy of frequency f.
enum : int {
#define VM_MT_PARAMETER_COLUMN(No, Short, Long) pc##Short = No,
  VM_MT_PARAMETERS(VM_MT_PARAMETER_COLUMN)
#undef VM_MT_PARAMETER_COLUMN
};

// A result record of a site file keeps parameters 1..60 of every frequency (through
// pcLog10FrqHz); the rest are computed again after loading.
constexpr int StoredParamCount = pcLog10FrqHz;
static_assert(StoredParamCount == 60);
