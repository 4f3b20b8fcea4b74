// The calculator window's pieces that belong to the application shell and the camera catalogue.
// The application's start-up fills them in; until then the window runs with the generic camera
// and the cameras listed through AddCameraToList.
#include "ui/CCalculatorDlg.h"

namespace korvan {

void CCalculatorDlg::AddAboutMenuItem() {}

void CCalculatorDlg::SetUpIcon() {}

void CCalculatorDlg::OnAbout() {}

void CCalculatorDlg::ApplyLaunchRequest() {}

void CCalculatorDlg::RestoreLastCamera() {}

void CCalculatorDlg::FillCameraListFromRecentFiles() {}

void CCalculatorDlg::OnSelectCameraFiles() {}

}  // namespace korvan
