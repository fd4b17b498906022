#include "chart/engine/engine_texts.h"

#include <cstring>
#include <iterator>

namespace {
bool gTextsStarted = false;
}  // namespace

std::string ChartFileExtension;
TStrings* CurrentDictionary = nullptr;
bool HotKeyInParentheses = false;
bool LanguageHasCase = true;

std::string ErrLegendFirstValue;
std::string ErrLegendColorWidth;
std::string ErrNoParentForSource;
std::string MsgInvalidDataSource;
std::string ErrSampleCount;
std::string ErrDateTimeLogAxis;
std::string ErrLogAxisNegative;
std::string ErrLabelsSeparation;
std::string ErrAxisIncrement;
std::string ErrAxisMinAboveMax;
std::string ErrAxisMaxBelowMin;
std::string ErrLogBase;
std::string ErrMaxPointsPerPage;
std::string MsgChart3DPercentRange;
std::string ErrCircularSeries;
std::string MsgColorDepth;
std::string MsgValueOfTotal;
std::string MsgValueOfTotalTwoLines;
std::string DefaultPercentFormat;
std::string DefaultValueFormat;
std::string DefaultExponentFormat;
std::string ErrRefreshInterval;
std::string ErrSeriesNotMine;
std::string MsgEditingTitle;
std::string MsgInvalidEditorClass;
std::string MsgNoEditorDialog;
std::string AskDelete;
std::string MsgDesiredIncrement;
std::string MsgIncorrectValue;
std::string AskApplyChanges;
std::string ErrPointerSize;
std::string ErrFunctionPeriod;
std::string MsgFieldMissing;
std::string MsgCalculateEvery;
std::string ErrInvalidChartFile;
std::string ErrWrongChartFileFormat;
std::string ErrEmptyChartFile;
std::string MsgPageOfPages;
std::string MsgBytes;
std::string ErrExportNoPanel;
std::string ErrNoTempFolder;
std::string ErrCreateTempFile;
std::string MsgMailError;
std::string MsgDeleteIndexRange;
std::string ErrNoSeriesSelected;
std::string MsgChartDownloadError;
std::string MsgSeriesDownloadError;
std::string AskSaveFile;
std::string MsgGalleryLine;
std::string MsgGalleryPoint;
std::string MsgGalleryArea;
std::string MsgGalleryBar;
std::string MsgGalleryHorizontalBar;
std::string MsgGalleryPie;
std::string MsgGalleryFastLine;
std::string MsgGalleryHorizontalLine;
std::string MsgGalleryHorizontalArea;
std::string MsgGalleryArrow;
std::string MsgGalleryGantt;
std::string MsgGalleryShape;
std::string MsgGalleryBubble;
std::string MsgPageStandard;
std::string MsgPageExtended;
std::string MsgPageFunctions;
std::string MsgPageOther;
std::string MsgFunctionAdd;
std::string MsgFunctionSubtract;
std::string MsgFunctionMultiply;
std::string MsgFunctionDivide;
std::string MsgFunctionHigh;
std::string MsgFunctionLow;
std::string MsgFunctionAverage;
std::string MsgFunctionCustom;
std::string MsgFunctionMedian;
std::string MsgFunctionMode;
std::string MsgFunctionCopy;
std::string MsgStyleNormal;
std::string MsgStyleNoBorder;
std::string MsgStyleDotted;
std::string MsgStyleColors;
std::string MsgStyleFilled;
std::string MsgStyleMarks;
std::string MsgStyleStairs;
std::string MsgStylePoints;
std::string MsgStyleHeight;
std::string MsgStyleHollow;
std::string MsgStylePoint2D;
std::string MsgStyleTriangle;
std::string MsgStyleStar;
std::string MsgStyleCircle;
std::string MsgStyleDownTri;
std::string MsgStyleCross;
std::string MsgStyleDiamond;
std::string MsgStyleNoLines;
std::string MsgStyleStack100;
std::string MsgStylePyramid;
std::string MsgStyleEllipse;
std::string MsgStyleInvPyramid;
std::string MsgStyleSides;
std::string MsgStyleSideAll;
std::string MsgStylePatterns;
std::string MsgStyleExploded;
std::string MsgStyleShadow;
std::string MsgStyleSemiPie;
std::string MsgStyleRectangle;
std::string MsgStyleVertLine;
std::string MsgStyleHorizLine;
std::string MsgStyleLine;
std::string MsgStyleCube;
std::string MsgStyleDiagCross;
std::string MsgStyleSelfStacked;
std::string MsgStyleDarkBorder;
std::string MsgStyleOutline;
std::string MsgStyleGradient;
std::string MsgStyleStack;
std::string MsgStyleCircled;
std::string MsgStyleSmallDots;
std::string MsgValueX;
std::string MsgValueY;
std::string MsgValuePie;
std::string MsgValueBar;
std::string MsgValueAngle;
std::string MsgValueStart;
std::string MsgValueEnd;
std::string MsgValueNextTask;
std::string MsgValueRadius;
std::string MsgValueEndX;
std::string MsgValueEndY;
std::string MsgSampleCars;
std::string MsgSamplePhones;
std::string MsgSampleTables;
std::string MsgSampleMonitors;
std::string MsgSampleLamps;
std::string MsgSampleKeyboards;
std::string MsgSampleBikes;
std::string MsgSampleChairs;
std::string MsgSampleDesign;
std::string MsgSamplePrototyping;
std::string MsgSampleDevelopment;
std::string MsgSampleSales;
std::string MsgSampleMarketing;
std::string MsgSampleTesting;
std::string MsgSampleManufac;
std::string MsgSampleDebugging;
std::string MsgSampleNewVersion;
std::string MsgSampleBanking;
std::string MsgSampleAbc;
std::string MsgSample123;
std::string MsgPartTopAxis;
std::string MsgPartBottomAxis;
std::string MsgPartLeftAxis;
std::string MsgPartRightAxis;
std::string MsgPartDepthRight;
std::string MsgPartDepthTop;
std::string MsgPartCustom;
std::string MsgPartLegend;
std::string MsgPartTitle;
std::string MsgPartFooter;
std::string MsgPartSubTitle;
std::string MsgPartSubFoot;
std::string MsgPartDateTime;
std::string MsgPartAxisTitle;
std::string MsgPartAxisLabels;
std::string MsgNavFirst;
std::string MsgNavPrior;
std::string MsgNavNext;
std::string MsgNavLast;
std::string MsgNavInsert;
std::string MsgNavDelete;
std::string MsgNavEdit;
std::string MsgNavPost;
std::string MsgNavCancel;
std::string MsgAsBitmap;
std::string MsgFilterBitmap;
std::string MsgAsMetafile;
std::string MsgFilterMetafile;
std::string MsgAsJPEG;
std::string MsgFilterJPEG;
std::string MsgAsGIF;
std::string MsgFilterGIF;
std::string MsgAsPNG;
std::string MsgFilterPNG;
std::string MsgAsPCX;
std::string MsgFilterPCX;
std::string MsgAsVML;
std::string MsgFilterVML;
std::string MsgAsPDF;
std::string MsgFilterPDF;
std::string MsgAsPostScript;
std::string MsgFilterPostScript;
std::string MsgAsSVG;
std::string MsgFilterSVG;
std::string MsgFilterSpaceText;
std::string MsgFilterTabText;
std::string MsgFilterCommaText;
std::string MsgFilterColonText;
std::string MsgFilterCustomText;
std::string MsgFilterXML;
std::string MsgFilterHTML;
std::string MsgFilterExcel;
std::string MsgEdTest;
std::string MsgEdEditChart;
std::string MsgEdPrintPreview;
std::string MsgEdExportChart;
std::string MsgEdCustomAxes;
std::string MsgEdFinish;
std::string MsgEdNext;
std::string MsgEdChangeSeriesTitle;
std::string MsgEdNewSeriesTitle;
std::string MsgEdDateTimeFormat;
std::string MsgEdDefault;
std::string MsgEdValuesFormat;
std::string MsgEdMaximum;
std::string MsgEdMinimum;
std::string MsgEdEnterDateTime;
std::string MsgEdSelectedSeries;
std::string MsgEdRefreshData;
std::string MsgEdNone;
std::string MsgEdPrivateDeclarations;
std::string MsgEdPublicDeclarations;
std::string MsgEdAdditional;
std::string MsgEdDataControls;
std::string MsgEdDataset;
std::string MsgEdDatasetLabel;
std::string MsgEdSingleRecord;
std::string MsgEdDataSource;
std::string MsgEdSummary;
std::string MsgEdBusiness;
std::string MsgEdClear;
std::string MsgEdBrowse;
std::string MsgEdPeriod;
std::string MsgEdPeriodRange;
std::string MsgEdChartAxes;
std::string MsgEdChartAxesPropertiesAndEvents;
std::string MsgEdChartWalls;
std::string MsgEdChartWallsPropertiesAndEvents;
std::string MsgEdChartTitles;
std::string MsgEdChartTitlesPropertiesAndEvents;
std::string MsgEdChart3D;
std::string MsgEdChart3DPropertiesAndEvents;
std::string MsgEdSeries;
std::string MsgEdSeriesMenu;
std::string MsgEdAll;
std::string MsgEdIndex;
std::string MsgEdText;
std::string MsgEdLanguage;
std::string MsgEdProperty;
std::string MsgEdValue;
std::string MsgEdYes;
std::string MsgEdNo;
std::string MsgEdImage;
std::string MsgEdSelectDatabaseFolder;
std::string MsgEdAlias;
std::string MsgEdConnection;
std::string MsgEdApply;
std::string MsgEdAddNewGroup;
std::string MsgEdChangeGroupName;
std::string MsgEdGroupName;
std::string MsgEdOptions;
std::string MsgEd2D;
std::string MsgEdOrthoRight;
std::string MsgEdOrthoLeft;
std::string MsgEd3DFront;
std::string MsgEd3DRight;
std::string MsgEd3DLeft;
std::string MsgEdCourierNew;
std::string MsgDefaultFontSize;
std::string MsgDefaultFontName;
std::string MsgDefaultEditorWidth;
std::string MsgDefaultEditorHeight;
std::string MsgVendor;
std::string MsgAboutMenu;
std::string MsgWizardTitle;
std::string AskCloseWizard;
std::string MsgChartFileFilter;
std::string MsgReportPage;
std::string ErrPolyDegree;
std::string MsgAnswerVectorIndex;
std::string ErrFitting;
std::string ErrPeriod;
std::string ErrExpAverageWeight;
std::string MsgNoSeriesEditor;
std::string ErrBezierPoints;
std::string MsgRotation;
std::string MsgOffset;
std::string MsgZoomPercent;
std::string Msg3DPercent;
std::string MsgDragToRotate;
std::string MsgDragToMove;
std::string MsgDragToZoom;
std::string MsgDragToResize3D;
std::string MsgSliceExploded;
std::string ErrTrianglePoints;
std::string ErrColinearPoints;
std::string ErrSimilarPoints;
std::string ErrDeleteAncestor;
std::string ErrSeriesTextField;
std::string MsgGalleryPolar;
std::string MsgGalleryCandle;
std::string MsgGalleryVolume;
std::string MsgGallerySurface;
std::string MsgGalleryContour;
std::string MsgGalleryBezier;
std::string MsgGalleryPoint3D;
std::string MsgGalleryRadar;
std::string MsgGalleryDonut;
std::string MsgGalleryCursor;
std::string MsgGalleryBar3D;
std::string MsgGalleryBigCandle;
std::string MsgGalleryLinePoint;
std::string MsgGalleryHistogram;
std::string MsgGalleryWaterFall;
std::string MsgGalleryWindRose;
std::string MsgGalleryClock;
std::string MsgGalleryColorGrid;
std::string MsgGalleryBoxPlot;
std::string MsgGalleryHorizontalBoxPlot;
std::string MsgGalleryBarJoin;
std::string MsgGallerySmith;
std::string MsgGalleryPyramid;
std::string MsgGalleryMap;
std::string MsgGalleryVolumePipe;
std::string MsgGalleryErrorBar;
std::string MsgGalleryError;
std::string MsgGalleryHighLow;
std::string MsgGalleryGrid3D;
std::string MsgGalleryTriangleSurf;
std::string MsgGalleryResistance;
std::string MsgGalleryReactance;
std::string MsgGalleryFunnel;
std::string MsgGalleryCalendar;
std::string MsgGalleryDeltaPoint;
std::string MsgGalleryImagePoint;
std::string MsgGalleryImageBar;
std::string MsgGalleryPageNumber;
std::string MsgGalleryPointFigure;
std::string MsgGalleryGauge;
std::string MsgGalleryVector3D;
std::string MsgGalleryTower;
std::string MsgGalleryPieSlices;
std::string MsgGalleryBubble3D;
std::string MsgGalleryHorizontalHistogram;
std::string MsgGallerySurfaceNearest;
std::string MsgGalleryPolarBar;
std::string MsgGallerySeriesBand;
std::string MsgGalleryErrpoint;
std::string MsgGallerySelector;
std::string MsgGalleryLegendScrollbar;
std::string MsgGalleryDataTable;
std::string MsgGalleryExtraLegend;
std::string MsgGallery3DGridTranspose;
std::string MsgFunctionMomentum;
std::string MsgFunctionMomentumDivision;
std::string MsgFunctionExponentialAverage;
std::string MsgFunctionMovingAverage;
std::string MsgFunctionExpMovingAverage;
std::string MsgFunctionRSI;
std::string MsgFunctionCurveFitting;
std::string MsgFunctionTrend;
std::string MsgFunctionExponentialTrend;
std::string MsgFunctionLogarithmicTrend;
std::string MsgFunctionCumulative;
std::string MsgFunctionStandardDeviation;
std::string MsgFunctionBollingerBands;
std::string MsgFunctionRootMeanSquare;
std::string MsgFunctionMACD;
std::string MsgFunctionStochastic;
std::string MsgFunctionADX;
std::string MsgFunctionCount;
std::string MsgFunctionCrossPoints;
std::string MsgFunctionCompression;
std::string MsgFunctionCloseLocationValue;
std::string MsgFunctionOnBalanceVolume;
std::string MsgFunctionCommodityChannelIndex;
std::string MsgFunctionVolumeOscillator;
std::string MsgFunctionPerformance;
std::string MsgFunctionCorrelation;
std::string MsgFunctionVariance;
std::string MsgFunctionPerimeter;
std::string MsgFunctionDownsampling;
std::string MsgFunctionSmoothing;
std::string MsgFunctionFacts;
std::string MsgFunctionLog10;
std::string MsgFunctionPower10;
std::string MsgFunctionModule;
std::string MsgToolCursor;
std::string MsgToolDragMarks;
std::string MsgToolAxisArrows;
std::string MsgToolDrawLine;
std::string MsgToolNearestPoint;
std::string MsgToolColorBand;
std::string MsgToolColorLine;
std::string MsgToolRotate;
std::string MsgToolImage;
std::string MsgToolMarkTips;
std::string MsgToolAnnotation;
std::string MsgToolDragPoint;
std::string MsgToolSeriesAnimation;
std::string MsgToolAxisScroll;
std::string MsgToolRectangle;
std::string MsgToolClipSeries;
std::string MsgToolGanttDrag;
std::string MsgToolGridBand;
std::string MsgGalleryPageOther;
std::string MsgGalleryPageStats;
std::string MsgGalleryPageFinancial;
std::string MsgGalleryPage3D;
std::string MsgGalleryPageGauges;
std::string MsgValueDate;
std::string MsgValueOpen;
std::string MsgValueHigh;
std::string MsgValueLow;
std::string MsgValueClose;
std::string MsgValueOffset;
std::string MsgValueStdError;
std::string MsgValueOrigin;
std::string MsgValueBox;
std::string MsgValueExtrOut;
std::string MsgValueMildOut;
std::string MsgValueOpportunityValues;
std::string MsgValueQuoteValues;
std::string MsgValueUp;
std::string MsgValueDown;
std::string MsgValueEndZ;
std::string MsgOptionBar;
std::string MsgOptionNoOpen;
std::string MsgOptionNoClose;
std::string MsgOptionNoHigh;
std::string MsgOptionNoLow;
std::string MsgOptionColorRange;
std::string MsgOptionWireframe;
std::string MsgOptionDotFrame;
std::string MsgOptionPositions;
std::string MsgOptionNoGrid;
std::string MsgOptionNoPoint;
std::string MsgOptionNoLine;
std::string MsgOptionLabels;
std::string MsgOptionNoCircle;
std::string MsgOptionLines;
std::string MsgOptionBorder;
std::string MsgOptionSingleColor;
std::string MsgOptionCover;
std::string MsgOptionCone;
std::string MsgOptionStop;
std::string MsgOptionExecute;
std::string MsgOptionThemes;
std::string MsgOption2DLighting;
std::string MsgOptionCurrent;
std::string MsgOptionTransparency;
std::string MsgOptionColumn;
std::string MsgOptionSeparator;
std::string MsgOptionSegment;
std::string MsgOptionPercent;
std::string MsgOptionExceedsQuota;
std::string MsgOptionWithinQuota;
std::string MsgOptionOrMoreBelowQuota;
std::string MsgView3DNormal;
std::string MsgView3DEdit;
std::string MsgView3DPrint;
std::string MsgView3DCopy;
std::string MsgView3DSave;
std::string MsgView3D3D;
std::string MsgView3DRotate;
std::string MsgView3DMove;
std::string MsgView3DZoom;
std::string MsgView3DDepth;
std::string MsgView3DChart;
std::string MsgView3DPanel;
std::string MsgView3DZoomHint;
std::string MsgView3DExplodeHint;
std::string MsgCmdLoad;
std::string MsgCmdChart;
std::string MsgCmdChartSeries;
std::string MsgCmd3DMenu;
std::string MsgCmdSwitch2D3D;
std::string MsgCmdActiveMenu;
std::string MsgCmdShowHideSeries;
std::string MsgCmdEditChart;
std::string MsgCmdEditMenu;
std::string MsgCmdCopyToClipboard;
std::string MsgCmdCopyMenu;
std::string MsgCmdPrintPreviewChart;
std::string MsgCmdPrintMenu;
std::string MsgCmdShowHideAxes;
std::string MsgCmdAxesMenu;
std::string MsgCmdShowHideGrids;
std::string MsgCmdGridsMenu;
std::string MsgCmdShowHideLegend;
std::string MsgCmdLegendMenu;
std::string MsgCmdEditSeries;
std::string MsgCmdShowHideSeriesMarks;
std::string MsgCmdMarksMenu;
std::string MsgCmdSaveChart;
std::string MsgCmdSaveMenu;
std::string MsgCmdAllSeries;
std::string MsgCmdEditItem;
std::string MsgFileText;
std::string MsgFileXML;
std::string MsgFileWapBitmap;
std::string MsgFilterWapBitmap;
std::string MsgCmdOpenChartFile;
std::string MsgCmdSaveChartFile;
std::string MsgFilterExtendedChart;

namespace {

const TEngineText kTexts[] = {
    {"ErrLegendFirstValue", &ErrLegendFirstValue, false},
    {"ErrLegendColorWidth", &ErrLegendColorWidth, false},
    {"ErrNoParentForSource", &ErrNoParentForSource, false},
    {"MsgInvalidDataSource", &MsgInvalidDataSource, false},
    {"ErrSampleCount", &ErrSampleCount, false},
    {"ErrDateTimeLogAxis", &ErrDateTimeLogAxis, false},
    {"ErrLogAxisNegative", &ErrLogAxisNegative, false},
    {"ErrLabelsSeparation", &ErrLabelsSeparation, false},
    {"ErrAxisIncrement", &ErrAxisIncrement, false},
    {"ErrAxisMinAboveMax", &ErrAxisMinAboveMax, false},
    {"ErrAxisMaxBelowMin", &ErrAxisMaxBelowMin, false},
    {"ErrLogBase", &ErrLogBase, false},
    {"ErrMaxPointsPerPage", &ErrMaxPointsPerPage, false},
    {"MsgChart3DPercentRange", &MsgChart3DPercentRange, false},
    {"ErrCircularSeries", &ErrCircularSeries, false},
    {"MsgColorDepth", &MsgColorDepth, false},
    {"MsgValueOfTotal", &MsgValueOfTotal, false},
    {"MsgValueOfTotalTwoLines", &MsgValueOfTotalTwoLines, false},
    {"DefaultPercentFormat", &DefaultPercentFormat, false},
    {"DefaultValueFormat", &DefaultValueFormat, false},
    {"DefaultExponentFormat", &DefaultExponentFormat, false},
    {"ErrRefreshInterval", &ErrRefreshInterval, false},
    {"ErrSeriesNotMine", &ErrSeriesNotMine, false},
    {"MsgEditingTitle", &MsgEditingTitle, false},
    {"MsgInvalidEditorClass", &MsgInvalidEditorClass, false},
    {"MsgNoEditorDialog", &MsgNoEditorDialog, false},
    {"AskDelete", &AskDelete, false},
    {"MsgDesiredIncrement", &MsgDesiredIncrement, false},
    {"MsgIncorrectValue", &MsgIncorrectValue, false},
    {"AskApplyChanges", &AskApplyChanges, false},
    {"ErrPointerSize", &ErrPointerSize, false},
    {"ErrFunctionPeriod", &ErrFunctionPeriod, false},
    {"MsgFieldMissing", &MsgFieldMissing, false},
    {"MsgCalculateEvery", &MsgCalculateEvery, false},
    {"ErrInvalidChartFile", &ErrInvalidChartFile, false},
    {"ErrWrongChartFileFormat", &ErrWrongChartFileFormat, false},
    {"ErrEmptyChartFile", &ErrEmptyChartFile, false},
    {"MsgPageOfPages", &MsgPageOfPages, false},
    {"MsgBytes", &MsgBytes, false},
    {"ErrExportNoPanel", &ErrExportNoPanel, false},
    {"ErrNoTempFolder", &ErrNoTempFolder, false},
    {"ErrCreateTempFile", &ErrCreateTempFile, false},
    {"MsgMailError", &MsgMailError, false},
    {"MsgDeleteIndexRange", &MsgDeleteIndexRange, false},
    {"ErrNoSeriesSelected", &ErrNoSeriesSelected, false},
    {"MsgChartDownloadError", &MsgChartDownloadError, false},
    {"MsgSeriesDownloadError", &MsgSeriesDownloadError, false},
    {"AskSaveFile", &AskSaveFile, false},
    {"MsgGalleryLine", &MsgGalleryLine, false},
    {"MsgGalleryPoint", &MsgGalleryPoint, false},
    {"MsgGalleryArea", &MsgGalleryArea, false},
    {"MsgGalleryBar", &MsgGalleryBar, false},
    {"MsgGalleryHorizontalBar", &MsgGalleryHorizontalBar, false},
    {"MsgGalleryPie", &MsgGalleryPie, false},
    {"MsgGalleryFastLine", &MsgGalleryFastLine, false},
    {"MsgGalleryHorizontalLine", &MsgGalleryHorizontalLine, false},
    {"MsgGalleryHorizontalArea", &MsgGalleryHorizontalArea, false},
    {"MsgGalleryArrow", &MsgGalleryArrow, false},
    {"MsgGalleryGantt", &MsgGalleryGantt, false},
    {"MsgGalleryShape", &MsgGalleryShape, false},
    {"MsgGalleryBubble", &MsgGalleryBubble, false},
    {"MsgPageStandard", &MsgPageStandard, false},
    {"MsgPageExtended", &MsgPageExtended, false},
    {"MsgPageFunctions", &MsgPageFunctions, false},
    {"MsgPageOther", &MsgPageOther, false},
    {"MsgFunctionAdd", &MsgFunctionAdd, false},
    {"MsgFunctionSubtract", &MsgFunctionSubtract, false},
    {"MsgFunctionMultiply", &MsgFunctionMultiply, false},
    {"MsgFunctionDivide", &MsgFunctionDivide, false},
    {"MsgFunctionHigh", &MsgFunctionHigh, false},
    {"MsgFunctionLow", &MsgFunctionLow, false},
    {"MsgFunctionAverage", &MsgFunctionAverage, false},
    {"MsgFunctionCustom", &MsgFunctionCustom, false},
    {"MsgFunctionMedian", &MsgFunctionMedian, false},
    {"MsgFunctionMode", &MsgFunctionMode, false},
    {"MsgFunctionCopy", &MsgFunctionCopy, false},
    {"MsgStyleNormal", &MsgStyleNormal, false},
    {"MsgStyleNoBorder", &MsgStyleNoBorder, false},
    {"MsgStyleDotted", &MsgStyleDotted, false},
    {"MsgStyleColors", &MsgStyleColors, false},
    {"MsgStyleFilled", &MsgStyleFilled, false},
    {"MsgStyleMarks", &MsgStyleMarks, false},
    {"MsgStyleStairs", &MsgStyleStairs, false},
    {"MsgStylePoints", &MsgStylePoints, false},
    {"MsgStyleHeight", &MsgStyleHeight, false},
    {"MsgStyleHollow", &MsgStyleHollow, false},
    {"MsgStylePoint2D", &MsgStylePoint2D, false},
    {"MsgStyleTriangle", &MsgStyleTriangle, false},
    {"MsgStyleStar", &MsgStyleStar, false},
    {"MsgStyleCircle", &MsgStyleCircle, false},
    {"MsgStyleDownTri", &MsgStyleDownTri, false},
    {"MsgStyleCross", &MsgStyleCross, false},
    {"MsgStyleDiamond", &MsgStyleDiamond, false},
    {"MsgStyleNoLines", &MsgStyleNoLines, false},
    {"MsgStyleStack100", &MsgStyleStack100, false},
    {"MsgStylePyramid", &MsgStylePyramid, false},
    {"MsgStyleEllipse", &MsgStyleEllipse, false},
    {"MsgStyleInvPyramid", &MsgStyleInvPyramid, false},
    {"MsgStyleSides", &MsgStyleSides, false},
    {"MsgStyleSideAll", &MsgStyleSideAll, false},
    {"MsgStylePatterns", &MsgStylePatterns, false},
    {"MsgStyleExploded", &MsgStyleExploded, false},
    {"MsgStyleShadow", &MsgStyleShadow, false},
    {"MsgStyleSemiPie", &MsgStyleSemiPie, false},
    {"MsgStyleRectangle", &MsgStyleRectangle, false},
    {"MsgStyleVertLine", &MsgStyleVertLine, false},
    {"MsgStyleHorizLine", &MsgStyleHorizLine, false},
    {"MsgStyleLine", &MsgStyleLine, false},
    {"MsgStyleCube", &MsgStyleCube, false},
    {"MsgStyleDiagCross", &MsgStyleDiagCross, false},
    {"MsgStyleSelfStacked", &MsgStyleSelfStacked, false},
    {"MsgStyleDarkBorder", &MsgStyleDarkBorder, false},
    {"MsgStyleOutline", &MsgStyleOutline, false},
    {"MsgStyleGradient", &MsgStyleGradient, false},
    {"MsgStyleStack", &MsgStyleStack, false},
    {"MsgStyleCircled", &MsgStyleCircled, false},
    {"MsgStyleSmallDots", &MsgStyleSmallDots, false},
    {"MsgValueX", &MsgValueX, false},
    {"MsgValueY", &MsgValueY, false},
    {"MsgValuePie", &MsgValuePie, false},
    {"MsgValueBar", &MsgValueBar, false},
    {"MsgValueAngle", &MsgValueAngle, false},
    {"MsgValueStart", &MsgValueStart, false},
    {"MsgValueEnd", &MsgValueEnd, false},
    {"MsgValueNextTask", &MsgValueNextTask, false},
    {"MsgValueRadius", &MsgValueRadius, false},
    {"MsgValueEndX", &MsgValueEndX, false},
    {"MsgValueEndY", &MsgValueEndY, false},
    {"MsgSampleCars", &MsgSampleCars, false},
    {"MsgSamplePhones", &MsgSamplePhones, false},
    {"MsgSampleTables", &MsgSampleTables, false},
    {"MsgSampleMonitors", &MsgSampleMonitors, false},
    {"MsgSampleLamps", &MsgSampleLamps, false},
    {"MsgSampleKeyboards", &MsgSampleKeyboards, false},
    {"MsgSampleBikes", &MsgSampleBikes, false},
    {"MsgSampleChairs", &MsgSampleChairs, false},
    {"MsgSampleDesign", &MsgSampleDesign, false},
    {"MsgSamplePrototyping", &MsgSamplePrototyping, false},
    {"MsgSampleDevelopment", &MsgSampleDevelopment, false},
    {"MsgSampleSales", &MsgSampleSales, false},
    {"MsgSampleMarketing", &MsgSampleMarketing, false},
    {"MsgSampleTesting", &MsgSampleTesting, false},
    {"MsgSampleManufac", &MsgSampleManufac, false},
    {"MsgSampleDebugging", &MsgSampleDebugging, false},
    {"MsgSampleNewVersion", &MsgSampleNewVersion, false},
    {"MsgSampleBanking", &MsgSampleBanking, false},
    {"MsgSampleAbc", &MsgSampleAbc, false},
    {"MsgSample123", &MsgSample123, false},
    {"MsgPartTopAxis", &MsgPartTopAxis, false},
    {"MsgPartBottomAxis", &MsgPartBottomAxis, false},
    {"MsgPartLeftAxis", &MsgPartLeftAxis, false},
    {"MsgPartRightAxis", &MsgPartRightAxis, false},
    {"MsgPartDepthRight", &MsgPartDepthRight, false},
    {"MsgPartDepthTop", &MsgPartDepthTop, false},
    {"MsgPartCustom", &MsgPartCustom, false},
    {"MsgPartLegend", &MsgPartLegend, false},
    {"MsgPartTitle", &MsgPartTitle, false},
    {"MsgPartFooter", &MsgPartFooter, false},
    {"MsgPartSubTitle", &MsgPartSubTitle, false},
    {"MsgPartSubFoot", &MsgPartSubFoot, false},
    {"MsgPartDateTime", &MsgPartDateTime, false},
    {"MsgPartAxisTitle", &MsgPartAxisTitle, false},
    {"MsgPartAxisLabels", &MsgPartAxisLabels, false},
    {"MsgNavFirst", &MsgNavFirst, false},
    {"MsgNavPrior", &MsgNavPrior, false},
    {"MsgNavNext", &MsgNavNext, false},
    {"MsgNavLast", &MsgNavLast, false},
    {"MsgNavInsert", &MsgNavInsert, false},
    {"MsgNavDelete", &MsgNavDelete, false},
    {"MsgNavEdit", &MsgNavEdit, false},
    {"MsgNavPost", &MsgNavPost, false},
    {"MsgNavCancel", &MsgNavCancel, false},
    {"MsgAsBitmap", &MsgAsBitmap, false},
    {"MsgFilterBitmap", &MsgFilterBitmap, false},
    {"MsgAsMetafile", &MsgAsMetafile, false},
    {"MsgFilterMetafile", &MsgFilterMetafile, false},
    {"MsgAsJPEG", &MsgAsJPEG, false},
    {"MsgFilterJPEG", &MsgFilterJPEG, false},
    {"MsgAsGIF", &MsgAsGIF, false},
    {"MsgFilterGIF", &MsgFilterGIF, false},
    {"MsgAsPNG", &MsgAsPNG, false},
    {"MsgFilterPNG", &MsgFilterPNG, false},
    {"MsgAsPCX", &MsgAsPCX, false},
    {"MsgFilterPCX", &MsgFilterPCX, false},
    {"MsgAsVML", &MsgAsVML, false},
    {"MsgFilterVML", &MsgFilterVML, false},
    {"MsgAsPDF", &MsgAsPDF, false},
    {"MsgFilterPDF", &MsgFilterPDF, false},
    {"MsgAsPostScript", &MsgAsPostScript, false},
    {"MsgFilterPostScript", &MsgFilterPostScript, false},
    {"MsgAsSVG", &MsgAsSVG, false},
    {"MsgFilterSVG", &MsgFilterSVG, false},
    {"MsgFilterSpaceText", &MsgFilterSpaceText, false},
    {"MsgFilterTabText", &MsgFilterTabText, false},
    {"MsgFilterCommaText", &MsgFilterCommaText, false},
    {"MsgFilterColonText", &MsgFilterColonText, false},
    {"MsgFilterCustomText", &MsgFilterCustomText, false},
    {"MsgFilterXML", &MsgFilterXML, false},
    {"MsgFilterHTML", &MsgFilterHTML, false},
    {"MsgFilterExcel", &MsgFilterExcel, false},
    {"MsgEdTest", &MsgEdTest, false},
    {"MsgEdEditChart", &MsgEdEditChart, false},
    {"MsgEdPrintPreview", &MsgEdPrintPreview, false},
    {"MsgEdExportChart", &MsgEdExportChart, false},
    {"MsgEdCustomAxes", &MsgEdCustomAxes, false},
    {"MsgEdFinish", &MsgEdFinish, false},
    {"MsgEdNext", &MsgEdNext, false},
    {"MsgEdChangeSeriesTitle", &MsgEdChangeSeriesTitle, false},
    {"MsgEdNewSeriesTitle", &MsgEdNewSeriesTitle, false},
    {"MsgEdDateTimeFormat", &MsgEdDateTimeFormat, false},
    {"MsgEdDefault", &MsgEdDefault, false},
    {"MsgEdValuesFormat", &MsgEdValuesFormat, false},
    {"MsgEdMaximum", &MsgEdMaximum, false},
    {"MsgEdMinimum", &MsgEdMinimum, false},
    {"MsgEdEnterDateTime", &MsgEdEnterDateTime, false},
    {"MsgEdSelectedSeries", &MsgEdSelectedSeries, false},
    {"MsgEdRefreshData", &MsgEdRefreshData, false},
    {"MsgEdNone", &MsgEdNone, false},
    {"MsgEdPrivateDeclarations", &MsgEdPrivateDeclarations, false},
    {"MsgEdPublicDeclarations", &MsgEdPublicDeclarations, false},
    {"MsgEdAdditional", &MsgEdAdditional, false},
    {"MsgEdDataControls", &MsgEdDataControls, false},
    {"MsgEdDataset", &MsgEdDataset, false},
    {"MsgEdDatasetLabel", &MsgEdDatasetLabel, false},
    {"MsgEdSingleRecord", &MsgEdSingleRecord, false},
    {"MsgEdDataSource", &MsgEdDataSource, false},
    {"MsgEdSummary", &MsgEdSummary, false},
    {"MsgEdBusiness", &MsgEdBusiness, false},
    {"MsgEdClear", &MsgEdClear, false},
    {"MsgEdBrowse", &MsgEdBrowse, false},
    {"MsgEdPeriod", &MsgEdPeriod, false},
    {"MsgEdPeriodRange", &MsgEdPeriodRange, false},
    {"MsgEdChartAxes", &MsgEdChartAxes, false},
    {"MsgEdChartAxesPropertiesAndEvents", &MsgEdChartAxesPropertiesAndEvents, false},
    {"MsgEdChartWalls", &MsgEdChartWalls, false},
    {"MsgEdChartWallsPropertiesAndEvents", &MsgEdChartWallsPropertiesAndEvents, false},
    {"MsgEdChartTitles", &MsgEdChartTitles, false},
    {"MsgEdChartTitlesPropertiesAndEvents", &MsgEdChartTitlesPropertiesAndEvents, false},
    {"MsgEdChart3D", &MsgEdChart3D, false},
    {"MsgEdChart3DPropertiesAndEvents", &MsgEdChart3DPropertiesAndEvents, false},
    {"MsgEdSeries", &MsgEdSeries, false},
    {"MsgEdSeriesMenu", &MsgEdSeriesMenu, false},
    {"MsgEdAll", &MsgEdAll, false},
    {"MsgEdIndex", &MsgEdIndex, false},
    {"MsgEdText", &MsgEdText, false},
    {"MsgEdLanguage", &MsgEdLanguage, false},
    {"MsgEdProperty", &MsgEdProperty, false},
    {"MsgEdValue", &MsgEdValue, false},
    {"MsgEdYes", &MsgEdYes, false},
    {"MsgEdNo", &MsgEdNo, false},
    {"MsgEdImage", &MsgEdImage, false},
    {"MsgEdSelectDatabaseFolder", &MsgEdSelectDatabaseFolder, false},
    {"MsgEdAlias", &MsgEdAlias, false},
    {"MsgEdConnection", &MsgEdConnection, false},
    {"MsgEdApply", &MsgEdApply, false},
    {"MsgEdAddNewGroup", &MsgEdAddNewGroup, false},
    {"MsgEdChangeGroupName", &MsgEdChangeGroupName, false},
    {"MsgEdGroupName", &MsgEdGroupName, false},
    {"MsgEdOptions", &MsgEdOptions, false},
    {"MsgEd2D", &MsgEd2D, false},
    {"MsgEdOrthoRight", &MsgEdOrthoRight, false},
    {"MsgEdOrthoLeft", &MsgEdOrthoLeft, false},
    {"MsgEd3DFront", &MsgEd3DFront, false},
    {"MsgEd3DRight", &MsgEd3DRight, false},
    {"MsgEd3DLeft", &MsgEd3DLeft, false},
    {"MsgEdCourierNew", &MsgEdCourierNew, false},
    {"MsgDefaultFontSize", &MsgDefaultFontSize, false},
    {"MsgDefaultFontName", &MsgDefaultFontName, false},
    {"MsgDefaultEditorWidth", &MsgDefaultEditorWidth, false},
    {"MsgDefaultEditorHeight", &MsgDefaultEditorHeight, false},
    {"MsgVendor", &MsgVendor, false},
    {"MsgAboutMenu", &MsgAboutMenu, false},
    {"MsgWizardTitle", &MsgWizardTitle, false},
    {"AskCloseWizard", &AskCloseWizard, false},
    {"MsgChartFileFilter", &MsgChartFileFilter, false},
    {"MsgReportPage", &MsgReportPage, false},
    {"ErrPolyDegree", &ErrPolyDegree, true},
    {"MsgAnswerVectorIndex", &MsgAnswerVectorIndex, true},
    {"ErrFitting", &ErrFitting, true},
    {"ErrPeriod", &ErrPeriod, true},
    {"ErrExpAverageWeight", &ErrExpAverageWeight, true},
    {"MsgNoSeriesEditor", &MsgNoSeriesEditor, true},
    {"ErrBezierPoints", &ErrBezierPoints, true},
    {"MsgRotation", &MsgRotation, true},
    {"MsgOffset", &MsgOffset, true},
    {"MsgZoomPercent", &MsgZoomPercent, true},
    {"Msg3DPercent", &Msg3DPercent, true},
    {"MsgDragToRotate", &MsgDragToRotate, true},
    {"MsgDragToMove", &MsgDragToMove, true},
    {"MsgDragToZoom", &MsgDragToZoom, true},
    {"MsgDragToResize3D", &MsgDragToResize3D, true},
    {"MsgSliceExploded", &MsgSliceExploded, true},
    {"ErrTrianglePoints", &ErrTrianglePoints, true},
    {"ErrColinearPoints", &ErrColinearPoints, true},
    {"ErrSimilarPoints", &ErrSimilarPoints, true},
    {"ErrDeleteAncestor", &ErrDeleteAncestor, true},
    {"ErrSeriesTextField", &ErrSeriesTextField, true},
    {"MsgGalleryPolar", &MsgGalleryPolar, true},
    {"MsgGalleryCandle", &MsgGalleryCandle, true},
    {"MsgGalleryVolume", &MsgGalleryVolume, true},
    {"MsgGallerySurface", &MsgGallerySurface, true},
    {"MsgGalleryContour", &MsgGalleryContour, true},
    {"MsgGalleryBezier", &MsgGalleryBezier, true},
    {"MsgGalleryPoint3D", &MsgGalleryPoint3D, true},
    {"MsgGalleryRadar", &MsgGalleryRadar, true},
    {"MsgGalleryDonut", &MsgGalleryDonut, true},
    {"MsgGalleryCursor", &MsgGalleryCursor, true},
    {"MsgGalleryBar3D", &MsgGalleryBar3D, true},
    {"MsgGalleryBigCandle", &MsgGalleryBigCandle, true},
    {"MsgGalleryLinePoint", &MsgGalleryLinePoint, true},
    {"MsgGalleryHistogram", &MsgGalleryHistogram, true},
    {"MsgGalleryWaterFall", &MsgGalleryWaterFall, true},
    {"MsgGalleryWindRose", &MsgGalleryWindRose, true},
    {"MsgGalleryClock", &MsgGalleryClock, true},
    {"MsgGalleryColorGrid", &MsgGalleryColorGrid, true},
    {"MsgGalleryBoxPlot", &MsgGalleryBoxPlot, true},
    {"MsgGalleryHorizontalBoxPlot", &MsgGalleryHorizontalBoxPlot, true},
    {"MsgGalleryBarJoin", &MsgGalleryBarJoin, true},
    {"MsgGallerySmith", &MsgGallerySmith, true},
    {"MsgGalleryPyramid", &MsgGalleryPyramid, true},
    {"MsgGalleryMap", &MsgGalleryMap, true},
    {"MsgGalleryVolumePipe", &MsgGalleryVolumePipe, true},
    {"MsgGalleryErrorBar", &MsgGalleryErrorBar, true},
    {"MsgGalleryError", &MsgGalleryError, true},
    {"MsgGalleryHighLow", &MsgGalleryHighLow, true},
    {"MsgGalleryGrid3D", &MsgGalleryGrid3D, true},
    {"MsgGalleryTriangleSurf", &MsgGalleryTriangleSurf, true},
    {"MsgGalleryResistance", &MsgGalleryResistance, true},
    {"MsgGalleryReactance", &MsgGalleryReactance, true},
    {"MsgGalleryFunnel", &MsgGalleryFunnel, true},
    {"MsgGalleryCalendar", &MsgGalleryCalendar, true},
    {"MsgGalleryDeltaPoint", &MsgGalleryDeltaPoint, true},
    {"MsgGalleryImagePoint", &MsgGalleryImagePoint, true},
    {"MsgGalleryImageBar", &MsgGalleryImageBar, true},
    {"MsgGalleryPageNumber", &MsgGalleryPageNumber, true},
    {"MsgGalleryPointFigure", &MsgGalleryPointFigure, true},
    {"MsgGalleryGauge", &MsgGalleryGauge, true},
    {"MsgGalleryVector3D", &MsgGalleryVector3D, true},
    {"MsgGalleryTower", &MsgGalleryTower, true},
    {"MsgGalleryPieSlices", &MsgGalleryPieSlices, true},
    {"MsgGalleryBubble3D", &MsgGalleryBubble3D, true},
    {"MsgGalleryHorizontalHistogram", &MsgGalleryHorizontalHistogram, true},
    {"MsgGallerySurfaceNearest", &MsgGallerySurfaceNearest, true},
    {"MsgGalleryPolarBar", &MsgGalleryPolarBar, true},
    {"MsgGallerySeriesBand", &MsgGallerySeriesBand, true},
    {"MsgGalleryErrpoint", &MsgGalleryErrpoint, true},
    {"MsgGallerySelector", &MsgGallerySelector, true},
    {"MsgGalleryLegendScrollbar", &MsgGalleryLegendScrollbar, true},
    {"MsgGalleryDataTable", &MsgGalleryDataTable, true},
    {"MsgGalleryExtraLegend", &MsgGalleryExtraLegend, true},
    {"MsgGallery3DGridTranspose", &MsgGallery3DGridTranspose, true},
    {"MsgFunctionMomentum", &MsgFunctionMomentum, true},
    {"MsgFunctionMomentumDivision", &MsgFunctionMomentumDivision, true},
    {"MsgFunctionExponentialAverage", &MsgFunctionExponentialAverage, true},
    {"MsgFunctionMovingAverage", &MsgFunctionMovingAverage, true},
    {"MsgFunctionExpMovingAverage", &MsgFunctionExpMovingAverage, true},
    {"MsgFunctionRSI", &MsgFunctionRSI, true},
    {"MsgFunctionCurveFitting", &MsgFunctionCurveFitting, true},
    {"MsgFunctionTrend", &MsgFunctionTrend, true},
    {"MsgFunctionExponentialTrend", &MsgFunctionExponentialTrend, true},
    {"MsgFunctionLogarithmicTrend", &MsgFunctionLogarithmicTrend, true},
    {"MsgFunctionCumulative", &MsgFunctionCumulative, true},
    {"MsgFunctionStandardDeviation", &MsgFunctionStandardDeviation, true},
    {"MsgFunctionBollingerBands", &MsgFunctionBollingerBands, true},
    {"MsgFunctionRootMeanSquare", &MsgFunctionRootMeanSquare, true},
    {"MsgFunctionMACD", &MsgFunctionMACD, true},
    {"MsgFunctionStochastic", &MsgFunctionStochastic, true},
    {"MsgFunctionADX", &MsgFunctionADX, true},
    {"MsgFunctionCount", &MsgFunctionCount, true},
    {"MsgFunctionCrossPoints", &MsgFunctionCrossPoints, true},
    {"MsgFunctionCompression", &MsgFunctionCompression, true},
    {"MsgFunctionCloseLocationValue", &MsgFunctionCloseLocationValue, true},
    {"MsgFunctionOnBalanceVolume", &MsgFunctionOnBalanceVolume, true},
    {"MsgFunctionCommodityChannelIndex", &MsgFunctionCommodityChannelIndex, true},
    {"MsgFunctionVolumeOscillator", &MsgFunctionVolumeOscillator, true},
    {"MsgFunctionPerformance", &MsgFunctionPerformance, true},
    {"MsgFunctionCorrelation", &MsgFunctionCorrelation, true},
    {"MsgFunctionVariance", &MsgFunctionVariance, true},
    {"MsgFunctionPerimeter", &MsgFunctionPerimeter, true},
    {"MsgFunctionDownsampling", &MsgFunctionDownsampling, true},
    {"MsgFunctionSmoothing", &MsgFunctionSmoothing, true},
    {"MsgFunctionFacts", &MsgFunctionFacts, true},
    {"MsgFunctionLog10", &MsgFunctionLog10, true},
    {"MsgFunctionPower10", &MsgFunctionPower10, true},
    {"MsgFunctionModule", &MsgFunctionModule, true},
    {"MsgToolCursor", &MsgToolCursor, true},
    {"MsgToolDragMarks", &MsgToolDragMarks, true},
    {"MsgToolAxisArrows", &MsgToolAxisArrows, true},
    {"MsgToolDrawLine", &MsgToolDrawLine, true},
    {"MsgToolNearestPoint", &MsgToolNearestPoint, true},
    {"MsgToolColorBand", &MsgToolColorBand, true},
    {"MsgToolColorLine", &MsgToolColorLine, true},
    {"MsgToolRotate", &MsgToolRotate, true},
    {"MsgToolImage", &MsgToolImage, true},
    {"MsgToolMarkTips", &MsgToolMarkTips, true},
    {"MsgToolAnnotation", &MsgToolAnnotation, true},
    {"MsgToolDragPoint", &MsgToolDragPoint, true},
    {"MsgToolSeriesAnimation", &MsgToolSeriesAnimation, true},
    {"MsgToolAxisScroll", &MsgToolAxisScroll, true},
    {"MsgToolRectangle", &MsgToolRectangle, true},
    {"MsgToolClipSeries", &MsgToolClipSeries, true},
    {"MsgToolGanttDrag", &MsgToolGanttDrag, true},
    {"MsgToolGridBand", &MsgToolGridBand, true},
    {"MsgGalleryPageOther", &MsgGalleryPageOther, true},
    {"MsgGalleryPageStats", &MsgGalleryPageStats, true},
    {"MsgGalleryPageFinancial", &MsgGalleryPageFinancial, true},
    {"MsgGalleryPage3D", &MsgGalleryPage3D, true},
    {"MsgGalleryPageGauges", &MsgGalleryPageGauges, true},
    {"MsgValueDate", &MsgValueDate, true},
    {"MsgValueOpen", &MsgValueOpen, true},
    {"MsgValueHigh", &MsgValueHigh, true},
    {"MsgValueLow", &MsgValueLow, true},
    {"MsgValueClose", &MsgValueClose, true},
    {"MsgValueOffset", &MsgValueOffset, true},
    {"MsgValueStdError", &MsgValueStdError, true},
    {"MsgValueOrigin", &MsgValueOrigin, true},
    {"MsgValueBox", &MsgValueBox, true},
    {"MsgValueExtrOut", &MsgValueExtrOut, true},
    {"MsgValueMildOut", &MsgValueMildOut, true},
    {"MsgValueOpportunityValues", &MsgValueOpportunityValues, true},
    {"MsgValueQuoteValues", &MsgValueQuoteValues, true},
    {"MsgValueUp", &MsgValueUp, true},
    {"MsgValueDown", &MsgValueDown, true},
    {"MsgValueEndZ", &MsgValueEndZ, true},
    {"MsgOptionBar", &MsgOptionBar, true},
    {"MsgOptionNoOpen", &MsgOptionNoOpen, true},
    {"MsgOptionNoClose", &MsgOptionNoClose, true},
    {"MsgOptionNoHigh", &MsgOptionNoHigh, true},
    {"MsgOptionNoLow", &MsgOptionNoLow, true},
    {"MsgOptionColorRange", &MsgOptionColorRange, true},
    {"MsgOptionWireframe", &MsgOptionWireframe, true},
    {"MsgOptionDotFrame", &MsgOptionDotFrame, true},
    {"MsgOptionPositions", &MsgOptionPositions, true},
    {"MsgOptionNoGrid", &MsgOptionNoGrid, true},
    {"MsgOptionNoPoint", &MsgOptionNoPoint, true},
    {"MsgOptionNoLine", &MsgOptionNoLine, true},
    {"MsgOptionLabels", &MsgOptionLabels, true},
    {"MsgOptionNoCircle", &MsgOptionNoCircle, true},
    {"MsgOptionLines", &MsgOptionLines, true},
    {"MsgOptionBorder", &MsgOptionBorder, true},
    {"MsgOptionSingleColor", &MsgOptionSingleColor, true},
    {"MsgOptionCover", &MsgOptionCover, true},
    {"MsgOptionCone", &MsgOptionCone, true},
    {"MsgOptionStop", &MsgOptionStop, true},
    {"MsgOptionExecute", &MsgOptionExecute, true},
    {"MsgOptionThemes", &MsgOptionThemes, true},
    {"MsgOption2DLighting", &MsgOption2DLighting, true},
    {"MsgOptionCurrent", &MsgOptionCurrent, true},
    {"MsgOptionTransparency", &MsgOptionTransparency, true},
    {"MsgOptionColumn", &MsgOptionColumn, true},
    {"MsgOptionSeparator", &MsgOptionSeparator, true},
    {"MsgOptionSegment", &MsgOptionSegment, true},
    {"MsgOptionPercent", &MsgOptionPercent, true},
    {"MsgOptionExceedsQuota", &MsgOptionExceedsQuota, true},
    {"MsgOptionWithinQuota", &MsgOptionWithinQuota, true},
    {"MsgOptionOrMoreBelowQuota", &MsgOptionOrMoreBelowQuota, true},
    {"MsgView3DNormal", &MsgView3DNormal, true},
    {"MsgView3DEdit", &MsgView3DEdit, true},
    {"MsgView3DPrint", &MsgView3DPrint, true},
    {"MsgView3DCopy", &MsgView3DCopy, true},
    {"MsgView3DSave", &MsgView3DSave, true},
    {"MsgView3D3D", &MsgView3D3D, true},
    {"MsgView3DRotate", &MsgView3DRotate, true},
    {"MsgView3DMove", &MsgView3DMove, true},
    {"MsgView3DZoom", &MsgView3DZoom, true},
    {"MsgView3DDepth", &MsgView3DDepth, true},
    {"MsgView3DChart", &MsgView3DChart, true},
    {"MsgView3DPanel", &MsgView3DPanel, true},
    {"MsgView3DZoomHint", &MsgView3DZoomHint, true},
    {"MsgView3DExplodeHint", &MsgView3DExplodeHint, true},
    {"MsgCmdLoad", &MsgCmdLoad, true},
    {"MsgCmdChart", &MsgCmdChart, true},
    {"MsgCmdChartSeries", &MsgCmdChartSeries, true},
    {"MsgCmd3DMenu", &MsgCmd3DMenu, true},
    {"MsgCmdSwitch2D3D", &MsgCmdSwitch2D3D, true},
    {"MsgCmdActiveMenu", &MsgCmdActiveMenu, true},
    {"MsgCmdShowHideSeries", &MsgCmdShowHideSeries, true},
    {"MsgCmdEditChart", &MsgCmdEditChart, true},
    {"MsgCmdEditMenu", &MsgCmdEditMenu, true},
    {"MsgCmdCopyToClipboard", &MsgCmdCopyToClipboard, true},
    {"MsgCmdCopyMenu", &MsgCmdCopyMenu, true},
    {"MsgCmdPrintPreviewChart", &MsgCmdPrintPreviewChart, true},
    {"MsgCmdPrintMenu", &MsgCmdPrintMenu, true},
    {"MsgCmdShowHideAxes", &MsgCmdShowHideAxes, true},
    {"MsgCmdAxesMenu", &MsgCmdAxesMenu, true},
    {"MsgCmdShowHideGrids", &MsgCmdShowHideGrids, true},
    {"MsgCmdGridsMenu", &MsgCmdGridsMenu, true},
    {"MsgCmdShowHideLegend", &MsgCmdShowHideLegend, true},
    {"MsgCmdLegendMenu", &MsgCmdLegendMenu, true},
    {"MsgCmdEditSeries", &MsgCmdEditSeries, true},
    {"MsgCmdShowHideSeriesMarks", &MsgCmdShowHideSeriesMarks, true},
    {"MsgCmdMarksMenu", &MsgCmdMarksMenu, true},
    {"MsgCmdSaveChart", &MsgCmdSaveChart, true},
    {"MsgCmdSaveMenu", &MsgCmdSaveMenu, true},
    {"MsgCmdAllSeries", &MsgCmdAllSeries, true},
    {"MsgCmdEditItem", &MsgCmdEditItem, true},
    {"MsgFileText", &MsgFileText, true},
    {"MsgFileXML", &MsgFileXML, true},
    {"MsgFileWapBitmap", &MsgFileWapBitmap, true},
    {"MsgFilterWapBitmap", &MsgFilterWapBitmap, true},
    {"MsgCmdOpenChartFile", &MsgCmdOpenChartFile, true},
    {"MsgCmdSaveChartFile", &MsgCmdSaveChartFile, true},
    {"MsgFilterExtendedChart", &MsgFilterExtendedChart, true},
};

}  // namespace

void LoadEnglishMessages() {
  ErrLegendFirstValue = "First Legend Value must be > 0";
  ErrLegendColorWidth = "Legend Color Width must be > 0%";
  ErrNoParentForSource = "No ParentChart to validate DataSource";
  MsgInvalidDataSource = "No valid DataSource: %s";
  ErrSampleCount = "FillSampleValues NumValues must be > 0";
  ErrDateTimeLogAxis = "DateTime Axis cannot be Logarithmic";
  ErrLogAxisNegative = "Logarithmic Axis Min and Max values should be >= 0";
  ErrLabelsSeparation = "Labels Separation % must be greater than 0";
  ErrAxisIncrement = "Axis increment must be >= 0";
  ErrAxisMinAboveMax = "Axis Minimum Value must be <= Maximum";
  ErrAxisMaxBelowMin = "Axis Maximum Value must be >= Minimum";
  ErrLogBase = "Axis Logarithmic Base should be <> 1 and > 0";
  ErrMaxPointsPerPage = "MaxPointsPerPage must be >= 0";
  MsgChart3DPercentRange = "3D effect percent must be between %d and %d";
  ErrCircularSeries = "Circular Series dependences are not allowed";
  MsgColorDepth = "16k Color or greater required to get better look";
  MsgValueOfTotal = "%s of %s";
  MsgValueOfTotalTwoLines = "%s\rof %s";
  DefaultPercentFormat = "##0.## %";
  DefaultValueFormat = "#,##0.###";
  DefaultExponentFormat = "#.0 \"x10\" E+0";
  ErrRefreshInterval = "Refresh Interval must be between 0 and 60";
  ErrSeriesNotMine = "Series.ParentChart is not myself!";
  MsgEditingTitle = "Editing %s";
  MsgInvalidEditorClass = "%s: Invalid Editor Class: %s";
  MsgNoEditorDialog = "%s: has no Editor Dialog";
  AskDelete = "Delete %s ?";
  MsgDesiredIncrement = "Desired %s Increment";
  MsgIncorrectValue = "Incorrect value. Reason: %s";
  AskApplyChanges = "Apply Changes ?";
  ErrPointerSize = "Pointer size must be greater than zero";
  ErrFunctionPeriod = "Function Period should be >= 0";
  MsgFieldMissing = "Field %s does not exist";
  MsgCalculateEvery = "Calculate %s every:";
  ErrInvalidChartFile = "Invalid Chart in *." + ChartFileExtension + " file";
  ErrWrongChartFileFormat = "Wrong *." + ChartFileExtension + " file format";
  ErrEmptyChartFile = "Empty *." + ChartFileExtension + " file";
  MsgPageOfPages = "Page %d of %d";
  MsgBytes = "%d bytes";
  ErrExportNoPanel = "Panel property is not set in Export format";
  ErrNoTempFolder = "Can not find Temp folder";
  ErrCreateTempFile = "Can not create Temp file";
  MsgMailError = "Chart mail error: %d";
  MsgDeleteIndexRange = "Series Delete: ValueIndex %d out of bounds (0 to %d).";
  ErrNoSeriesSelected = "No Series selected";
  MsgChartDownloadError = "Error code: %d downloading Chart from URL: %s";
  MsgSeriesDownloadError = "Error code: %d downloading Series data from URL: %s";
  AskSaveFile = "Do you want to save %s?";
  MsgGalleryLine = "Line";
  MsgGalleryPoint = "Point";
  MsgGalleryArea = "Area";
  MsgGalleryBar = "Bar";
  MsgGalleryHorizontalBar = "Horizontal\rBar";
  MsgGalleryPie = "Pie";
  MsgGalleryFastLine = "Fast Line";
  MsgGalleryHorizontalLine = "Horizontal\rLine";
  MsgGalleryHorizontalArea = "Horizontal\rArea";
  MsgGalleryArrow = "Arrow";
  MsgGalleryGantt = "Gantt";
  MsgGalleryShape = "Shape";
  MsgGalleryBubble = "Bubble";
  MsgPageStandard = "Standard";
  MsgPageExtended = "Extended";
  MsgPageFunctions = "Functions";
  MsgPageOther = "Other";
  MsgFunctionAdd = "Add";
  MsgFunctionSubtract = "Subtract";
  MsgFunctionMultiply = "Multiply";
  MsgFunctionDivide = "Divide";
  MsgFunctionHigh = "High";
  MsgFunctionLow = "Low";
  MsgFunctionAverage = "Average";
  MsgFunctionCustom = "y = f(x)";
  MsgFunctionMedian = "Median";
  MsgFunctionMode = "Mode";
  MsgFunctionCopy = "Copy";
  MsgStyleNormal = "Normal";
  MsgStyleNoBorder = "No Border";
  MsgStyleDotted = "Dotted";
  MsgStyleColors = "Colors";
  MsgStyleFilled = "Filled";
  MsgStyleMarks = "Marks";
  MsgStyleStairs = "Stairs";
  MsgStylePoints = "Points";
  MsgStyleHeight = "Height";
  MsgStyleHollow = "Hollow";
  MsgStylePoint2D = "Point 2D";
  MsgStyleTriangle = "Triangle";
  MsgStyleStar = "Star";
  MsgStyleCircle = "Circle";
  MsgStyleDownTri = "Down Tri.";
  MsgStyleCross = "Cross";
  MsgStyleDiamond = "Diamond";
  MsgStyleNoLines = "No Lines";
  MsgStyleStack100 = "Stack 100%";
  MsgStylePyramid = "Pyramid";
  MsgStyleEllipse = "Ellipse";
  MsgStyleInvPyramid = "Inv. Pyramid";
  MsgStyleSides = "Sides";
  MsgStyleSideAll = "Side All";
  MsgStylePatterns = "Patterns";
  MsgStyleExploded = "Exploded";
  MsgStyleShadow = "Shadow";
  MsgStyleSemiPie = "Semi Pie";
  MsgStyleRectangle = "Rectangle";
  MsgStyleVertLine = "Vert.Line";
  MsgStyleHorizLine = "Horiz.Line";
  MsgStyleLine = "Line";
  MsgStyleCube = "Cube";
  MsgStyleDiagCross = "Diag.Cross";
  MsgStyleSelfStacked = "Self Stacked";
  MsgStyleDarkBorder = "Dark Border";
  MsgStyleOutline = "Outline";
  MsgStyleGradient = "Gradient";
  MsgStyleStack = "Stack";
  MsgStyleCircled = "Circled";
  MsgStyleSmallDots = "Small Dots";
  MsgValueX = "X";
  MsgValueY = "Y";
  MsgValuePie = "Pie";
  MsgValueBar = "Bar";
  MsgValueAngle = "Angle";
  MsgValueStart = "Start";
  MsgValueEnd = "End";
  MsgValueNextTask = "NextTask";
  MsgValueRadius = "Radius";
  MsgValueEndX = "EndX";
  MsgValueEndY = "EndY";
  MsgSampleCars = "Cars";
  MsgSamplePhones = "Phones";
  MsgSampleTables = "Tables";
  MsgSampleMonitors = "Monitors";
  MsgSampleLamps = "Lamps";
  MsgSampleKeyboards = "Keyboards";
  MsgSampleBikes = "Bikes";
  MsgSampleChairs = "Chairs";
  MsgSampleDesign = "Design";
  MsgSamplePrototyping = "Prototyping";
  MsgSampleDevelopment = "Development";
  MsgSampleSales = "Sales";
  MsgSampleMarketing = "Marketing";
  MsgSampleTesting = "Testing";
  MsgSampleManufac = "Manufac.";
  MsgSampleDebugging = "Debugging";
  MsgSampleNewVersion = "New Version";
  MsgSampleBanking = "Banking";
  MsgSampleAbc = "abc";
  MsgSample123 = "123";
  MsgPartTopAxis = "Top Axis";
  MsgPartBottomAxis = "Bottom Axis";
  MsgPartLeftAxis = "Left Axis";
  MsgPartRightAxis = "Right Axis";
  MsgPartDepthRight = "Depth Right";
  MsgPartDepthTop = "Depth Top";
  MsgPartCustom = "Custom ";
  MsgPartLegend = "Legend";
  MsgPartTitle = "Title";
  MsgPartFooter = "Footer";
  MsgPartSubTitle = "SubTitle";
  MsgPartSubFoot = "SubFoot";
  MsgPartDateTime = "DateTime";
  MsgPartAxisTitle = "Axis Title";
  MsgPartAxisLabels = "Axis Labels";
  MsgNavFirst = "First";
  MsgNavPrior = "Prior";
  MsgNavNext = "Next";
  MsgNavLast = "Last";
  MsgNavInsert = "Insert";
  MsgNavDelete = "Delete";
  MsgNavEdit = "Edit";
  MsgNavPost = "Post";
  MsgNavCancel = "Cancel";
  MsgAsBitmap = "as &Bitmap";
  MsgFilterBitmap = "Bitmaps (*.bmp)|*.bmp";
  MsgAsMetafile = "as &Metafile";
  MsgFilterMetafile = "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf";
  MsgAsJPEG = "as &JPEG";
  MsgFilterJPEG = "JPEG files (*.jpg)|*.jpg";
  MsgAsGIF = "as &GIF";
  MsgFilterGIF = "GIF files (*.gif)|*.gif";
  MsgAsPNG = "as &PNG";
  MsgFilterPNG = "PNG files (*.png)|*.png";
  MsgAsPCX = "as PC&X";
  MsgFilterPCX = "PCX files (*.pcx)|*.pcx";
  MsgAsVML = "as &VML (HTM)";
  MsgFilterVML = "VML files (*.htm)|*.htm";
  MsgAsPDF = "as &PDF";
  MsgFilterPDF = "PDF files (*.pdf)|*.pdf";
  MsgAsPostScript = "as PostScript";
  MsgFilterPostScript = "PostScript files (*.eps)|*.eps";
  MsgAsSVG = "as &SVG";
  MsgFilterSVG = "SVG files (*.svg)|*.svg";
  MsgFilterSpaceText = "Space delimited text files (*.txt)|*.txt";
  MsgFilterTabText = "Tab delimited text files (*.txt)|*.txt";
  MsgFilterCommaText = "Comma delimited text files (*.csv)|*.csv";
  MsgFilterColonText = "Colon delimited text files (*.txt)|*.txt";
  MsgFilterCustomText = "Custom delimited text files (*.txt)|*.txt";
  MsgFilterXML = "XML files (*.xml)|*.xml";
  MsgFilterHTML = "HTML files (*.htm)|*.htm";
  MsgFilterExcel = "Microsoft Excel files (*.xls)|*.xls";
  MsgEdTest = "Test...";
  MsgEdEditChart = "E&dit Chart...";
  MsgEdPrintPreview = "&Print Preview...";
  MsgEdExportChart = "E&xport Chart...";
  MsgEdCustomAxes = "Custom Axes...";
  MsgEdFinish = "&Finish";
  MsgEdNext = "&Next >";
  MsgEdChangeSeriesTitle = "Change Series Title";
  MsgEdNewSeriesTitle = "New Series Title:";
  MsgEdDateTimeFormat = "DateTime For&mat:";
  MsgEdDefault = "Default";
  MsgEdValuesFormat = "Values For&mat:";
  MsgEdMaximum = "Maximum";
  MsgEdMinimum = "Minimum";
  MsgEdEnterDateTime = "Enter [Number of Days] [hh:nn:ss]";
  MsgEdSelectedSeries = "(Selected Series)";
  MsgEdRefreshData = "&Refresh Data";
  MsgEdNone = "(none)";
  MsgEdPrivateDeclarations = "{ Private declarations }";
  MsgEdPublicDeclarations = "{ Public declarations }";
  MsgEdAdditional = "Additional";
  MsgEdDataControls = "Data Controls";
  MsgEdDataset = "Dataset";
  MsgEdDatasetLabel = "&Dataset:";
  MsgEdSingleRecord = "Single Record";
  MsgEdDataSource = "&DataSource:";
  MsgEdSummary = "Summary";
  MsgEdBusiness = "Business";
  MsgEdClear = "Clea&r";
  MsgEdBrowse = "B&rowse...";
  MsgEdPeriod = "Period";
  MsgEdPeriodRange = "Period range";
  MsgEdChartAxes = "Chart Axes";
  MsgEdChartAxesPropertiesAndEvents = "Chart Axes properties and events";
  MsgEdChartWalls = "Chart Walls";
  MsgEdChartWallsPropertiesAndEvents = "Chart Walls properties and events";
  MsgEdChartTitles = "Chart Titles";
  MsgEdChartTitlesPropertiesAndEvents = "Chart Titles properties and events";
  MsgEdChart3D = "Chart 3D";
  MsgEdChart3DPropertiesAndEvents = "Chart 3D properties and events";
  MsgEdSeries = "Series";
  MsgEdSeriesMenu = "Series...";
  MsgEdAll = "(all)";
  MsgEdIndex = "Index";
  MsgEdText = "Text";
  MsgEdLanguage = "&Language...";
  MsgEdProperty = "Property";
  MsgEdValue = "Value";
  MsgEdYes = "Yes";
  MsgEdNo = "No";
  MsgEdImage = "(image)";
  MsgEdSelectDatabaseFolder = "Select database folder";
  MsgEdAlias = "&Alias:";
  MsgEdConnection = "&Connection:";
  MsgEdApply = "&Apply";
  MsgEdAddNewGroup = "Add new group";
  MsgEdChangeGroupName = "Change group name";
  MsgEdGroupName = "Group name:";
  MsgEdOptions = "&Options...";
  MsgEd2D = "2D";
  MsgEdOrthoRight = "Ortho Right";
  MsgEdOrthoLeft = "Ortho Left";
  MsgEd3DFront = "3D Front";
  MsgEd3DRight = "3D Right";
  MsgEd3DLeft = "3D Left";
  MsgEdCourierNew = "Courier New";
  MsgDefaultFontSize = "8";
  MsgDefaultFontName = "Arial";
  MsgDefaultEditorWidth = "414";
  MsgDefaultEditorHeight = "347";
  MsgVendor = "Varomark chart engine";
  MsgAboutMenu = "&About the chart engine...";
  MsgWizardTitle = "Chart Wizard";
  AskCloseWizard = "Close the Chart Wizard?";
  MsgChartFileFilter = "Chart files (*." + ChartFileExtension + ")|*." + ChartFileExtension;
  MsgReportPage = "Reports";
}

void SetExtraTextsEnglish() {
  ErrPolyDegree = "Polynomial degree must be between 1 and 20";
  MsgAnswerVectorIndex = "Answer Vector index must be between 1 and %d";
  ErrFitting = "Cannot process fitting";
  ErrPeriod = "Period must be >= 0";
  ErrExpAverageWeight = "ExpAverage Weight must be between 0 and 1";
  MsgNoSeriesEditor = "Cannot find Series editor Form: %s";
  ErrBezierPoints = "Number of Bezier points should be > 1";
  MsgRotation = "Rotation: %d° Elevation: %d°";
  MsgOffset = "Horiz.Offset: %d Vert.Offset: %d";
  MsgZoomPercent = "Zoom: %d %%";
  Msg3DPercent = "3D: %d %%";
  MsgDragToRotate = "Drag %s to Rotate";
  MsgDragToMove = "Drag %s to Move";
  MsgDragToZoom = "Drag %s to Zoom";
  MsgDragToResize3D = "Drag %s to resize 3D";
  MsgSliceExploded = "Slice: %d Exploded: %d %%";
  ErrTrianglePoints = "Number of points must be >= 4";
  ErrColinearPoints = "All colinear data points";
  ErrSimilarPoints = "Similar XYZ points. Cannot calculate triangles.";
  ErrDeleteAncestor = "Can not delete ancestor";
  ErrSeriesTextField = "SeriesText: Field index should be greater than zero.";
  MsgGalleryPolar = "Polar";
  MsgGalleryCandle = "Candle";
  MsgGalleryVolume = "Volume";
  MsgGallerySurface = "Surface";
  MsgGalleryContour = "Contour";
  MsgGalleryBezier = "Bezier";
  MsgGalleryPoint3D = "Point 3D";
  MsgGalleryRadar = "Radar";
  MsgGalleryDonut = "Donut";
  MsgGalleryCursor = "Cursor";
  MsgGalleryBar3D = "Bar 3D";
  MsgGalleryBigCandle = "Big Candle";
  MsgGalleryLinePoint = "Line Point";
  MsgGalleryHistogram = "Histogram";
  MsgGalleryWaterFall = "Water Fall";
  MsgGalleryWindRose = "Wind Rose";
  MsgGalleryClock = "Clock";
  MsgGalleryColorGrid = "Color Grid";
  MsgGalleryBoxPlot = "BoxPlot";
  MsgGalleryHorizontalBoxPlot = "Horizontal\rBoxPlot";
  MsgGalleryBarJoin = "Bar Join";
  MsgGallerySmith = "Smith";
  MsgGalleryPyramid = "Pyramid";
  MsgGalleryMap = "Map";
  MsgGalleryVolumePipe = "VolumePipe";
  MsgGalleryErrorBar = "Error Bar";
  MsgGalleryError = "Error";
  MsgGalleryHighLow = "High-Low";
  MsgGalleryGrid3D = "Grid 3D";
  MsgGalleryTriangleSurf = "Triangle Surf.";
  MsgGalleryResistance = "Resistance";
  MsgGalleryReactance = "Reactance";
  MsgGalleryFunnel = "Funnel";
  MsgGalleryCalendar = "Calendar";
  MsgGalleryDeltaPoint = "DeltaPoint";
  MsgGalleryImagePoint = "ImagePoint";
  MsgGalleryImageBar = "ImageBar";
  MsgGalleryPageNumber = "Page Number";
  MsgGalleryPointFigure = "Point & Figure";
  MsgGalleryGauge = "Gauge";
  MsgGalleryVector3D = "Vector 3D";
  MsgGalleryTower = "Tower";
  MsgGalleryPieSlices = "Pie Slices";
  MsgGalleryBubble3D = "Bubble 3D";
  MsgGalleryHorizontalHistogram = "Horizontal\rHistogram";
  MsgGallerySurfaceNearest = "Surface Nearest";
  MsgGalleryPolarBar = "Polar Bar";
  MsgGallerySeriesBand = "Series Band";
  MsgGalleryErrpoint = "Errpoint";
  MsgGallerySelector = "Selector";
  MsgGalleryLegendScrollbar = "Legend Scrollbar";
  MsgGalleryDataTable = "Data Table";
  MsgGalleryExtraLegend = "Extra Legend";
  MsgGallery3DGridTranspose = "3D Grid Transpose";
  MsgFunctionMomentum = "Momentum";
  MsgFunctionMomentumDivision = "Momentum\rDivision";
  MsgFunctionExponentialAverage = "Exponential\rAverage";
  MsgFunctionMovingAverage = "Moving\rAverage";
  MsgFunctionExpMovingAverage = "Exp.Moving\rAverage";
  MsgFunctionRSI = "R.S.I.";
  MsgFunctionCurveFitting = "Curve Fitting";
  MsgFunctionTrend = "Trend";
  MsgFunctionExponentialTrend = "Exponential\rTrend";
  MsgFunctionLogarithmicTrend = "Logarithmic\rTrend";
  MsgFunctionCumulative = "Cumulative";
  MsgFunctionStandardDeviation = "Standard\rDeviation";
  MsgFunctionBollingerBands = "Bollinger\rbands";
  MsgFunctionRootMeanSquare = "Root Mean\rSquare";
  MsgFunctionMACD = "MACD";
  MsgFunctionStochastic = "Stochastic";
  MsgFunctionADX = "ADX";
  MsgFunctionCount = "Count";
  MsgFunctionCrossPoints = "Cross Points";
  MsgFunctionCompression = "Compression";
  MsgFunctionCloseLocationValue = "Close Location\rValue";
  MsgFunctionOnBalanceVolume = "On Balance\rVolume";
  MsgFunctionCommodityChannelIndex = "Commodity\rChannel Index";
  MsgFunctionVolumeOscillator = "Volume\rOscillator";
  MsgFunctionPerformance = "Performance";
  MsgFunctionCorrelation = "Correlation";
  MsgFunctionVariance = "Variance";
  MsgFunctionPerimeter = "Perimeter";
  MsgFunctionDownsampling = "Downsampling";
  MsgFunctionSmoothing = "Smoothing";
  MsgFunctionFacts = "Facts";
  MsgFunctionLog10 = "Log10";
  MsgFunctionPower10 = "Power10";
  MsgFunctionModule = "Module";
  MsgToolCursor = "Cursor";
  MsgToolDragMarks = "Drag Marks";
  MsgToolAxisArrows = "Axis Arrows";
  MsgToolDrawLine = "Draw Line";
  MsgToolNearestPoint = "Nearest Point";
  MsgToolColorBand = "Color Band";
  MsgToolColorLine = "Color Line";
  MsgToolRotate = "Rotate";
  MsgToolImage = "Image";
  MsgToolMarkTips = "Mark Tips";
  MsgToolAnnotation = "Annotation";
  MsgToolDragPoint = "Drag Point";
  MsgToolSeriesAnimation = "Series Animation";
  MsgToolAxisScroll = "Axis Scroll";
  MsgToolRectangle = "Rectangle";
  MsgToolClipSeries = "Clip Series";
  MsgToolGanttDrag = "Gantt Drag";
  MsgToolGridBand = "Grid Band";
  MsgGalleryPageOther = "Other";
  MsgGalleryPageStats = "Stats";
  MsgGalleryPageFinancial = "Financial";
  MsgGalleryPage3D = "3D";
  MsgGalleryPageGauges = "Gauges";
  MsgValueDate = "Date";
  MsgValueOpen = "Open";
  MsgValueHigh = "High";
  MsgValueLow = "Low";
  MsgValueClose = "Close";
  MsgValueOffset = "Offset";
  MsgValueStdError = "StdError";
  MsgValueOrigin = "Origin";
  MsgValueBox = "Box";
  MsgValueExtrOut = "ExtrOut";
  MsgValueMildOut = "MildOut";
  MsgValueOpportunityValues = "OpportunityValues";
  MsgValueQuoteValues = "QuoteValues";
  MsgValueUp = "Up";
  MsgValueDown = "Down";
  MsgValueEndZ = "EndZ";
  MsgOptionBar = "Bar";
  MsgOptionNoOpen = "No Open";
  MsgOptionNoClose = "No Close";
  MsgOptionNoHigh = "No High";
  MsgOptionNoLow = "No Low";
  MsgOptionColorRange = "Color Range";
  MsgOptionWireframe = "Wireframe";
  MsgOptionDotFrame = "Dot Frame";
  MsgOptionPositions = "Positions";
  MsgOptionNoGrid = "No Grid";
  MsgOptionNoPoint = "No Point";
  MsgOptionNoLine = "No Line";
  MsgOptionLabels = "Labels";
  MsgOptionNoCircle = "No Circle";
  MsgOptionLines = "Lines";
  MsgOptionBorder = "Border";
  MsgOptionSingleColor = "Single Color";
  MsgOptionCover = "Cover";
  MsgOptionCone = "Cone";
  MsgOptionStop = "Stop";
  MsgOptionExecute = "Execute !";
  MsgOptionThemes = "Themes";
  MsgOption2DLighting = "2D Lighting";
  MsgOptionCurrent = "Current";
  MsgOptionTransparency = "Transparency";
  MsgOptionColumn = "Column";
  MsgOptionSeparator = "Separator";
  MsgOptionSegment = "Segment ";
  MsgOptionPercent = "0.00 %";
  MsgOptionExceedsQuota = "Exceeds quota";
  MsgOptionWithinQuota = " within quota";
  MsgOptionOrMoreBelowQuota = " or more below quota";
  MsgView3DNormal = "Normal";
  MsgView3DEdit = "Edit";
  MsgView3DPrint = "Print";
  MsgView3DCopy = "Copy";
  MsgView3DSave = "Save";
  MsgView3D3D = "3D";
  MsgView3DRotate = "Rotate";
  MsgView3DMove = "Move";
  MsgView3DZoom = "Zoom";
  MsgView3DDepth = "Depth";
  MsgView3DChart = "Chart";
  MsgView3DPanel = "Panel";
  MsgView3DZoomHint = "Drag Left button to Zoom, Right button to Scroll";
  MsgView3DExplodeHint = "Drag a Pie Slice to Explode it";
  MsgCmdLoad = "Load...";
  MsgCmdChart = "Chart";
  MsgCmdChartSeries = "Chart Series";
  MsgCmd3DMenu = "&3D";
  MsgCmdSwitch2D3D = "Switch 2D / 3D";
  MsgCmdActiveMenu = "&Active";
  MsgCmdShowHideSeries = "Show / Hide Series";
  MsgCmdEditChart = "Edit Chart";
  MsgCmdEditMenu = "&Edit...";
  MsgCmdCopyToClipboard = "Copy to Clipboard";
  MsgCmdCopyMenu = "&Copy";
  MsgCmdPrintPreviewChart = "Print preview Chart";
  MsgCmdPrintMenu = "&Print...";
  MsgCmdShowHideAxes = "Show / Hide Axes";
  MsgCmdAxesMenu = "&Axes";
  MsgCmdShowHideGrids = "Show / Hide Grids";
  MsgCmdGridsMenu = "&Grids";
  MsgCmdShowHideLegend = "Show / Hide Legend";
  MsgCmdLegendMenu = "&Legend";
  MsgCmdEditSeries = "Edit Series";
  MsgCmdShowHideSeriesMarks = "Show / Hide Series Marks";
  MsgCmdMarksMenu = "&Marks";
  MsgCmdSaveChart = "Save Chart";
  MsgCmdSaveMenu = "&Save...";
  MsgCmdAllSeries = "All Series";
  MsgCmdEditItem = "Edit";
  MsgFileText = "Text File";
  MsgFileXML = "XML file";
  MsgFileWapBitmap = "Wap Bitmap";
  MsgFilterWapBitmap = "Wap Bitmaps (*.wbmp)|*.wbmp";
  MsgCmdOpenChartFile = "&Open Chart...";
  MsgCmdSaveChartFile = "Save Chart &As...";
  MsgFilterExtendedChart = "Extended chart files";
}

void ClearMessages() {
  for (const TEngineText& t : kTexts)
    if (!t.Extra) std::string().swap(*t.Text);
  std::string().swap(ChartFileExtension);
}

void ClearExtraTexts() {
  for (const TEngineText& t : kTexts)
    if (t.Extra) std::string().swap(*t.Text);
}

void SetLibraryLanguageEnglish() {
  CurrentDictionary = nullptr;
  LoadEnglishMessages();
  SetExtraTextsEnglish();
  HotKeyInParentheses = false;
  LanguageHasCase = true;
}

const TEngineText* EngineTexts() { return kTexts; }

std::size_t EngineTextCount() { return std::size(kTexts); }

void InitEngineTexts() {
  if (gTextsStarted) return;
  gTextsStarted = true;
  ChartFileExtension = "qvx";
  LoadEnglishMessages();
  SetExtraTextsEnglish();
}

const TEngineText* FindEngineText(const std::string& Name) {
  for (const TEngineText& t : kTexts)
    if (Name == t.Name) return &t;
  return nullptr;
}

namespace {

// Start-up and shutdown of the text modules: core texts first, then the extra texts.
struct TextModules {
  TextModules() { InitEngineTexts(); }
  ~TextModules() {
    ClearExtraTexts();
    ClearMessages();
  }
} gTextModules;

}  // namespace
