#include "app/CCalculatorApp.h"

#include <QFileInfo>

#include <QApplication>
#include <QMenu>
#include <QSessionManager>

#include "ui/about/CSplashDlg.h"
#include "app/TerminationWatcher.h"
#include "version/Version.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/widgets/Controls.h"

namespace korvan {

namespace {

bool IsOption(const std::string& argument) {
  if (argument.empty()) return false;
#ifdef Q_OS_WIN
  if (argument.front() == '/') return true;
#endif
  return argument.front() == '-';
}

}  // namespace

void CCalculatorApp::QuitAwareSink::Show(QWidget* owner, const QString& caption, const QString& text) {
  if (*quitRequested_) return;
  (inner_ ? *inner_ : DefaultMessageSink()).Show(owner, caption, text);
}

CCalculatorApp::CommandLine CCalculatorApp::ReadCommandLine(const std::vector<std::string>& arguments) {
  CommandLine commandLine;
  for (const std::string& argument : arguments) {
    if (argument == "--no-splash") {
      commandLine.splash = false;
    } else if (argument == "--help" || argument == "-h") {
      commandLine.help = true;
    } else if (argument == "--version") {
      commandLine.version = true;
    } else if (!IsOption(argument) && !commandLine.fileArgument) {
      commandLine.fileArgument = argument;
    }
  }
  return commandLine;
}

std::string CCalculatorApp::UsageText() {
  return "Korvan Lens Calculator: lens, depth of field and motion blur for high-speed cameras.\n"
         "Usage: korvan-lens-calculator [OPTIONS] [MESSAGE]\n"
         "\n"
         "MESSAGE, a launch message of the host application, preselects the host's camera, frame\n"
         "rate, resolution and shutter: \"X,MODEL,RATE,WIDTH,HEIGHT,SHUTTER\" as one argument.\n"
         "\n"
         "Options:\n"
         "  --no-splash                 Start without the start-up picture\n"
         "  -h,--help                   Print this help message and exit\n"
         "  --version                   Print the version and exit\n"
         "\n"
         "Qt's own options (-platform, -style, ...) are accepted as well; see korvan-lens-calculator(1).\n";
}

std::string CCalculatorApp::VersionText() { return "korvan-lens-calculator " KORVAN_VERSION "\n"; }

CCalculatorApp::CCalculatorApp(SettingsStore::Locations settings, MessageSink* messages)
    : settings_(std::move(settings)), quitAwareMessages_(messages, &quitRequested_) {}

CCalculatorApp::~CCalculatorApp() = default;

void CCalculatorApp::LoadRecentFiles() {
  std::vector<std::string> stored;
  for (const QString& path : settings_.RecentFiles()) stored.push_back(PathToBytes(path));
  recentFiles_.Load(stored);
  recentFilesLoaded_ = true;
}

void CCalculatorApp::SaveRecentFiles() {
  // A list never loaded would overwrite the stored one with nothing.
  if (!recentFilesLoaded_) return;
  QStringList paths;
  for (const std::string& path : recentFiles_.Entries()) paths << PathFromBytes(path);
  settings_.SaveRecentFiles(paths);
}

void CCalculatorApp::HandleFileArgument(const std::optional<std::string>& argument) {
  // A setup file that exists is opened once the window is up; anything else is what it always
  // was, a launch message of the host.
  if (argument && IsSetupFile(*argument)) {
    setupArgument_ = *argument;
    return;
  }
  if (argument && argument->size() >= kMinLaunchArgumentLength) ParseLaunchMessage(*argument);
}

bool CCalculatorApp::IsSetupFile(const std::string& argument) {
  const QString path = PathFromBytes(argument);
  return path.endsWith(QStringLiteral(".klsetup"), Qt::CaseInsensitive) && QFileInfo(path).isFile();
}

void CCalculatorApp::ParseLaunchMessage(const std::string& message) {
  const LaunchParseResult result = korvan::ParseLaunchMessage(message);
  if (result.status == LaunchParseStatus::Accepted) {
    launchRequest = result.request;
  } else if (!result.message.empty()) {
    // Shown before the calculator window exists, so the box has no owner.
    Messages().Show(nullptr, FromText(kLaunchCaption), FromText(result.message));
  }
}

void CCalculatorApp::GetRecentFileNames(std::vector<std::string>& list) const { list = recentFiles_.FileNames(); }

void CCalculatorApp::OnCameraLoaded(const std::string& path) {
  // The last camera keeps the name as loaded (a host's bare file name is looked up again in the
  // current directory); the recent files hold full paths, valid from any directory.
  settings_.SaveLastCamera(PathFromBytes(path));
  recentFiles_.Add(AbsoluteNormalPath(path));
  // Written at once, so that nothing is lost if the program ends without reaching its exit.
  SaveRecentFiles();
}

CalculatorContext CCalculatorApp::MakeContext() {
  CalculatorContext context;
  context.launchRequest = &launchRequest;
  context.messages = &quitAwareMessages_;
  context.cameraLoaded = [this](const std::string& path) { OnCameraLoaded(path); };
  context.lastCamera = [this]() -> std::optional<std::string> {
    if (const std::optional<QString> path = settings_.LastCamera()) return PathToBytes(*path);
    return std::nullopt;
  };
  context.recentFileNames = [this] {
    std::vector<std::string> names;
    GetRecentFileNames(names);
    return names;
  };
  context.recentSetups = [this] {
    std::vector<std::string> paths;
    for (const QString& path : settings_.RecentSetups()) paths.push_back(PathToBytes(path));
    return paths;
  };
  context.rememberSetup = [this, recent = context.recentSetups](const std::string& path, bool keep) {
    RecentFileList list(4);
    list.Load(recent());
    if (keep) {
      list.Add(AbsoluteNormalPath(path));
    } else {
      list.Remove(path);
    }
    QStringList paths;
    for (const std::string& entry : list.Entries()) paths << PathFromBytes(entry);
    settings_.SaveRecentSetups(paths);
  };
  context.restoreInputs = [this] { return settings_.RestoreInputs(); };
  context.saveRestoreInputs = [this](bool on) { settings_.SaveRestoreInputs(on); };
  context.lastInputsFile = PathToBytes(settings_.LastInputsFile());
  context.planner.loadTexts = [this] { return settings_.PlannerTexts(); };
  context.planner.saveTexts = [this](const planner::PlannerTexts& texts) { settings_.SavePlannerTexts(texts); };
  context.planner.loadIso = [this](const std::string& camera) { return settings_.PlannerIso(camera); };
  context.planner.saveIso = [this](const std::string& camera, const std::string& iso) {
    settings_.SavePlannerIso(camera, iso);
  };
  return context;
}

void CCalculatorApp::RequestQuit() {
  quitRequested_ = true;
  // Boxes and menus above the calculator end their own modal runs; the calculator then ends as
  // its Quit button ends it.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible() || window == mainWindow_) continue;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
      dialog->done(QDialog::Rejected);
    } else if (auto* menu = qobject_cast<QMenu*>(window)) {
      menu->close();
    }
  }
  if (mainWindow_) mainWindow_->accept();
}

int CCalculatorApp::Run(const CommandLine& commandLine) {
  terminationWatcher_ = new TerminationWatcher(this);
  connect(terminationWatcher_, &TerminationWatcher::terminationRequested, this, [this] { RequestQuit(); });
#ifndef QT_NO_SESSIONMANAGER
  // Windows may end the process as soon as the end-of-session query is answered, before the event
  // loop runs again: what is kept is written before answering.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
    SaveRecentFiles();
    RequestQuit();
  });
#endif

  if (commandLine.splash) {
    CSplashDlg splash;
    splash.exec();
  }
  if (!quitRequested_) {
    LoadRecentFiles();
    HandleFileArgument(commandLine.fileArgument);
  }
  if (!quitRequested_) {
    CCalculatorDlg calculator(MakeContext());
    mainWindow_ = &calculator;
    if (setupArgument_ && !quitRequested_) calculator.OpenSetup(*setupArgument_);
    // A request to end may already have come while the window initialised.
    if (!quitRequested_) calculator.exec();
    mainWindow_ = nullptr;
  }
  SaveRecentFiles();

  delete terminationWatcher_;
  terminationWatcher_ = nullptr;
  return 0;
}

}  // namespace korvan
