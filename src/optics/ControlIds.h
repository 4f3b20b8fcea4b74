#pragma once

// Control identifiers of the two windows: the only place their numbers appear. Widgets carry
// object names built from them ("c1011"), so tests and the core refer to the same controls.
namespace korvan::ids {

// Calculator window.
inline constexpr int kCameraList = 1001;
inline constexpr int kFrameRateList = 1002;
inline constexpr int kShutterList = 1003;
inline constexpr int kFNumberList = 1004;
inline constexpr int kUnitsList = 1005;
inline constexpr int kObjectDistanceEdit = 1011;
inline constexpr int kFocalLengthEdit = 1012;
inline constexpr int kVelocityEdit = 1013;
inline constexpr int kMotionBlurBox = 1014;
inline constexpr int kFieldWidthEdit = 1015;
inline constexpr int kMagnificationEdit = 1016;
inline constexpr int kWorkingFNumberBox = 1022;
inline constexpr int kDepthOfFieldBox = 1023;
inline constexpr int kResetButton = 1024;
inline constexpr int kResultBox = 1025;
inline constexpr int kSelectButton = 1029;
inline constexpr int kObjectDistanceUnit = 1033;
inline constexpr int kDepthOfFieldUnit = 1035;
inline constexpr int kVelocityUnit = 1036;
inline constexpr int kMotionBlurUnit = 1037;
inline constexpr int kFormatBox = 1038;
inline constexpr int kFieldWidthUnit = 1040;
inline constexpr int kResultUnit = 1041;
inline constexpr int kResultName = 1042;
inline constexpr int kHyperFocusBox = 1044;
inline constexpr int kFarFocusUnit = 1045;
inline constexpr int kNearFocusUnit = 1046;
inline constexpr int kHyperFocusUnit = 1047;
inline constexpr int kFarFocusBox = 1048;
inline constexpr int kFieldAngleBox = 1049;
inline constexpr int kWidthPxBox = 1050;
inline constexpr int kHeightPxBox = 1051;
inline constexpr int kStatusLine = 1052;
inline constexpr int kSensorWidthBox = 1053;
inline constexpr int kSensorHeightBox = 1054;
inline constexpr int kPixelBlurBox = 1065;
inline constexpr int kNearFocusBox = 1068;
inline constexpr int kComputeModeList = 1069;
inline constexpr int kDirectionList = 1071;
inline constexpr int kFocalLengthRadio = 1074;
inline constexpr int kMagnificationRadio = 1075;
inline constexpr int kAttachmentsButton = 1076;
inline constexpr int kDescriptionBox = 1079;
inline constexpr int kAboutButton = 1081;
inline constexpr int kQuitButton = 1082;
inline constexpr int kPicture = 1096;
inline constexpr int kResolutionList = 1097;
inline constexpr int kPlannerButton = 1098;

// Attachments window (its own numbering; 1082 is not the calculator's Quit here).
inline constexpr int kTeleExtenderCheck = 1082;
inline constexpr int kCloseUpCheck = 1083;
inline constexpr int kTubesCheck = 1084;
inline constexpr int kTeleExtenderList = 1085;
inline constexpr int kCloseUpList = 1086;
inline constexpr int kTubesList = 1087;
inline constexpr int kAdjFocalLengthBox = 1088;
inline constexpr int kAdjMagnificationBox = 1089;
inline constexpr int kAdjWorkingFNumberBox = 1090;
inline constexpr int kAdjFocusShiftBox = 1091;
inline constexpr int kAdjFieldWidthBox = 1092;
inline constexpr int kAdjFieldWidthUnit = 1094;
inline constexpr int kAdjFocusShiftUnit = 1095;
inline constexpr int kDismissButton = 1;

// Start-up picture, About box and the open-file dialog's download panel.
inline constexpr int kContinueButton = 1031;
inline constexpr int kVersionText = 1102;
inline constexpr int kDownloadLink = 1103;
inline constexpr int kDownloadText = 1104;
inline constexpr int kDownloadLabel = 1105;

}  // namespace korvan::ids
