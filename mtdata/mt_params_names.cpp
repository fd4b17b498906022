#include "mtdata/mt_params.h"

const TStaticArray<std::string_view, 1, MaxParam> ParameterNames{{
    "Rhoxy ohm-m.",  // 1
    "Rhoyx ohm-m.",  // 2
    "PHASExy,Deg.",  // 3
    "PHASEyx,Deg.",  // 4
    "Z - Skew",  // 5
    "Z - Ellip",  // 6
    "Z-STRIKE,Deg.",  // 7
    "Var Tip MAG",  // 8
    "Tip MAG",  // 9
    "Ind-Vr",  // 10
    "Ind-Vi",  // 11
    "Tip PHASE,Deg",  // 12
    "I-VrAng",  // 13
    "Tip - Skew",  // 14
    "Tip - Ellip",  // 15
    "Tip - STRIKE",  // 16
    "Ord Coh Hx-Ey",  // 17
    "Ord Coh Hy-Ex",  // 18
    "Ord Coh Hx-Rx",  // 19
    "Ord Coh Hy-Ry",  // 20
    "Ex Coh Hx-Hy",  // 21
    "Ey Coh Hx-Hy",  // 22
    "Hx Coh Ex-Ey",  // 23
    "Hy Coh Ex-Ey",  // 24
    "Hz Coh Ex-Ey",  // 25
    "Hz Coh Hx-Hy",  // 26
    "Hx Gam/Hz^.5",  // 27
    "Hy Gam/Hz^.5",  // 28
    "Hz Gam/Hz^.5",  // 29
    "Ex uV/M/Hz^.5",  // 30
    "Ey uV/M/Hz^.5",  // 31
    "Hx N/(Sig+N)",  // 32
    "Hy N/(Sig+N)",  // 33
    "Hz N/(Sig+N)",  // 34
    "Ex N/(Sig+N)",  // 35
    "Ey N/(Sig+N)",  // 36
    "Var Log Rhoxy",  // 37
    "Var Log Rhoyx",  // 38
    "Var PHASExy",  // 39
    "Var PHASEyx",  // 40
    "Var Tip PHASE",  // 41
    "I-ViAng",  // 42
    "Rhoxy BosInv.",  // 43
    "Rhoyx BosInv.",  // 44
    "Zxx Re (Rot)",  // 45
    "Zxx Im (Rot)",  // 46
    "Zxy Re (Rot)",  // 47
    "Zxy Im (Rot)",  // 48
    "Zyx Re (Rot)",  // 49
    "Zyx Im (Rot)",  // 50
    "Zyy Re (Rot)",  // 51
    "Zyy Im (Rot)",  // 52
    "Zxx VAR (Rot)",  // 53
    "Zxy VAR (Rot)",  // 54
    "Zyx VAR (Rot)",  // 55
    "Zyy VAR (Rot)",  // 56
    "Rot Angle Deg",  // 57
    "Depthxy Km.",  // 58
    "Depthyx Km.",  // 59
    "Log10(Frq) Hz",  // 60
    "Zxx",  // 61
    "Zxy",  // 62
    "Zyx",  // 63
    "Zyy",  // 64
    "PHASExx Deg.",  // 65
    "PHASExy Deg.",  // 66
    "PHASEyx Deg.",  // 67
    "PHASEyy Deg.",  // 68
    "Zxx(Z)",  // 69
    "Zxy(Z)",  // 70
    "Zyx(Z)",  // 71
    "Zyy(Z)",  // 72
    "Arg(xx)Z",  // 73
    "Arg(xy)Z",  // 74
    "Arg(yx)Z",  // 75
    "Arg(yy)Z",  // 76
    "Zxx(Y)",  // 77
    "Zxy(Y)",  // 78
    "Zyx(Y)",  // 79
    "Zyy(Y)",  // 80
    "Arg(xx)Y",  // 81
    "Arg(xy)Y",  // 82
    "Arg(yx)Y",  // 83
    "Arg(yy)Y",  // 84
    "AmpTx",  // 85
    "AmpTy",  // 86
    "PhaseTx",  // 87
    "PhaseTy",  // 88
    "Var Phase xx",  // 89
    "Var Phase yy",  // 90
    "Rx Gam(uv/m)/Hz^.5",  // 91
    "Ry Gam(uv/m)/Hz^.5",  // 92
    "Sqrt(Var Rhoxy)",  // 93
    "Sqrt(Var Rhoyx)",  // 94
    "Sqrt(Var Phase Rhoxy)",  // 95
    "Sqrt(Var Phase Rhoyx)",  // 96
    "10^Depthxy Km.",  // 97
    "10^Depthyx Km.",  // 98
    "f(hz)",  // 99
    "Txr",  // 100
    "Tyr",  // 101
    "Txi",  // 102
    "Tyi",  // 103
    "Pxx",  // 104
    "Pxy",  // 105
    "Pyx",  // 106
    "Pyy",  // 107
    "Pzx",  // 108
    "Pzy",  // 109
    "PhasePxx",  // 110
    "PhasePxy",  // 111
    "PhasePyx",  // 112
    "PhasePyy",  // 113
    "PhasePzx",  // 114
    "PhasePzy",  // 115
    "VarPxx",  // 116
    "VarPxy",  // 117
    "VarPyx",  // 118
    "VarPyy",  // 119
    "VarPzx",  // 120
    "VarPzy",  // 121
    "VarPhasePxx",  // 122
    "VarPhasePxy",  // 123
    "VarPhasePyx",  // 124
    "VarPhasePyy",  // 125
    "VarPhasePzx",  // 126
    "VarPhasePzy",  // 127
    "Zef",  // 128
    "PhaseZef",  // 129
    "VarZef",  // 130
    "VarPhaseZef",  // 131
    "VarAmpTx",  // 132
    "VarAmpTy",  // 133
    "VarPhaseTx",  // 134
    "VarPhaseTy",  // 135
}};

const TStaticArray<std::string_view, 1, MaxParam> ParameterShortNames{{
    "RhoxyOhmm",  // 1
    "RhoyxOhmm",  // 2
    "PHASExyDeg",  // 3
    "PHASEyxDeg",  // 4
    "ZSkew",  // 5
    "ZEllip",  // 6
    "ZSTRIKEDeg",  // 7
    "VarTipMAG",  // 8
    "TipMAG",  // 9
    "IndVr",  // 10
    "IndVi",  // 11
    "TipPHASEDeg",  // 12
    "IVrAng",  // 13
    "TipSkew",  // 14
    "TipEllip",  // 15
    "TipSTRIKE",  // 16
    "OrdCohHxEy",  // 17
    "OrdCohHyEx",  // 18
    "OrdCohHxRx",  // 19
    "OrdCohHyRy",  // 20
    "ExCohHxHy",  // 21
    "EyCohHxHy",  // 22
    "HxCohExEy",  // 23
    "HyCohExEy",  // 24
    "HzCohExEy",  // 25
    "HzCohHxHy",  // 26
    "HxGamHz5",  // 27
    "HyGamHz5",  // 28
    "HzGamHz5",  // 29
    "ExuVMHz5",  // 30
    "EyuVMHz5",  // 31
    "HxNSigN",  // 32
    "HyNSigN",  // 33
    "HzNSigN",  // 34
    "ExNSigN",  // 35
    "EyNSigN",  // 36
    "VarLogRhoxy",  // 37
    "VarLogRhoyx",  // 38
    "VarPHASExy",  // 39
    "VarPHASEyx",  // 40
    "VarTipPHASE",  // 41
    "IViAng",  // 42
    "RhoxyBosInv",  // 43
    "RhoyxBosInv",  // 44
    "ZxxReRot",  // 45
    "ZxxImRot",  // 46
    "ZxyReRot",  // 47
    "ZxyImRot",  // 48
    "ZyxReRot",  // 49
    "ZyxImRot",  // 50
    "ZyyReRot",  // 51
    "ZyyImRot",  // 52
    "ZxxVARRot",  // 53
    "ZxyVARRot",  // 54
    "ZyxVARRot",  // 55
    "ZyyVARRot",  // 56
    "RotAngleDeg",  // 57
    "DepthxyKm",  // 58
    "DepthyxKm",  // 59
    "Log10FrqHz",  // 60
    "Zxx",  // 61
    "Zxy",  // 62
    "Zyx",  // 63
    "Zyy",  // 64
    "PHASExxDeg",  // 65
    "PHASExyDeg1",  // 66
    "PHASEyxDeg1",  // 67
    "PHASEyyDeg",  // 68
    "ZxxZ",  // 69
    "ZxyZ",  // 70
    "ZyxZ",  // 71
    "ZyyZ",  // 72
    "ArgxxZ",  // 73
    "ArgxyZ",  // 74
    "ArgyxZ",  // 75
    "ArgyyZ",  // 76
    "ZxxY",  // 77
    "ZxyY",  // 78
    "ZyxY",  // 79
    "ZyyY",  // 80
    "ArgxxY",  // 81
    "ArgxyY",  // 82
    "ArgyxY",  // 83
    "ArgyyY",  // 84
    "AmpTx",  // 85
    "AmpTy",  // 86
    "PhaseTx",  // 87
    "PhaseTy",  // 88
    "VarPhasexx",  // 89
    "VarPhaseyy",  // 90
    "R3",  // 91
    "R4",  // 92
    "SqrtVarRhoxy",  // 93
    "SqrtVarRhoyx",  // 94
    "SqrtVarPhaseRhoxy",  // 95
    "SqrtVarPhaseRhoyx",  // 96
    "TenDepthxyKm",  // 97
    "TenDepthyxKm",  // 98
    "fhz",  // 99
    "Txr",  // 100
    "Tyr",  // 101
    "Txi",  // 102
    "Tyi",  // 103
    "Pxx",  // 104
    "Pxy",  // 105
    "Pyx",  // 106
    "Pyy",  // 107
    "Pzx",  // 108
    "Pzy",  // 109
    "PhasePxx",  // 110
    "PhasePxy",  // 111
    "PhasePyx",  // 112
    "PhasePyy",  // 113
    "PhasePzx",  // 114
    "PhasePzy",  // 115
    "VarPxx",  // 116
    "VarPxy",  // 117
    "VarPyx",  // 118
    "VarPyy",  // 119
    "VarPzx",  // 120
    "VarPzy",  // 121
    "VarPhasePxx",  // 122
    "VarPhasePxy",  // 123
    "VarPhasePyx",  // 124
    "VarPhasePyy",  // 125
    "VarPhasePzx",  // 126
    "VarPhasePzy",  // 127
    "Zef",  // 128
    "PhaseZef",  // 129
    "VarZef",  // 130
    "VarPhaseZef",  // 131
    "VarAmpTx",  // 132
    "VarAmpTy",  // 133
    "VarPhaseTx",  // 134
    "VarPhaseTy",  // 135
}};
