#include <QApplication>
#include <QIcon>
#include <iostream>
#include <string>
#include <vector>

#include "app/CCalculatorApp.h"
#include "app/NoDisplayGuard.h"
#include "settings/SettingsStore.h"
#include "version/Version.h"

// Resources of a static library are registered by name from the global namespace.
static void InitResources() { Q_INIT_RESOURCE(korvan_ui); }

int main(int argc, char* argv[]) {
  // Answered before QApplication exists: it needs a display, and these two must work without one.
  const korvan::CCalculatorApp::CommandLine early =
      korvan::CCalculatorApp::ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (early.help || early.version) {
    std::cout << (early.help ? korvan::CCalculatorApp::UsageText() : korvan::CCalculatorApp::VersionText());
    return 0;
  }

  korvan::NoDisplayGuard noDisplay;
  QApplication application(argc, argv);
  noDisplay.Release();
  QApplication::setApplicationName(QStringLiteral("Korvan Lens Calculator"));
  QApplication::setOrganizationName(QStringLiteral("Varnholt"));
  QApplication::setApplicationVersion(QStringLiteral(KORVAN_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("korvan-lens-calculator"));
  InitResources();
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvan/icon.svg")));

  // Qt has taken its own options out of argv; the rest keep the bytes the command line gave them,
  // since a launch message is compared byte for byte.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  korvan::CCalculatorApp calculatorApp(korvan::SettingsStore::DefaultLocations());
  return calculatorApp.Run(korvan::CCalculatorApp::ReadCommandLine(arguments));
}
