#include <QApplication>
#include <QIcon>
#include <string>
#include <vector>

#include "app/CCalculatorApp.h"
#include "app/NoDisplayGuard.h"
#include "app/SettingsStore.h"

// Resources of a static library are registered by name from the global namespace.
static void InitResources() { Q_INIT_RESOURCE(korvan_ui); }

int main(int argc, char* argv[]) {
  korvan::NoDisplayGuard noDisplay;
  QApplication application(argc, argv);
  noDisplay.Release();
  QApplication::setApplicationName(QStringLiteral("Korvan Lens Calculator"));
  QApplication::setOrganizationName(QStringLiteral("Varnholt"));
  QApplication::setApplicationVersion(QStringLiteral("1.0.8"));
  QGuiApplication::setDesktopFileName(QStringLiteral("korvan-lens-calculator"));
  InitResources();
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvan/icon.svg")));

  // Qt has taken its own options out of argv; the rest keep the bytes the command line gave them,
  // since a launch message is compared byte for byte.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  korvan::CCalculatorApp calculatorApp(korvan::SettingsStore::DefaultLocations());
  return calculatorApp.Run(korvan::CCalculatorApp::ReadCommandLine(arguments));
}
