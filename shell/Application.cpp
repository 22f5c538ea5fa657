#include "Application.h"

#include "UnitHelp.h"
#include "UnitMain.h"
#include "UnitVersion.h"
#include "analysis/FreqAnalyze.h"
#include "analysis/SelectCel.h"
#include "analysis/SelectFreq.h"
#include "editor/UnitDownload.h"
#include "editor/UnitUpload.h"
#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "logging/UnitLogging.h"
#include "platform/DisplayResolution.h"
#include "platform/InstanceLock.h"
#include "platform/MemoryReuse.h"
#include "platform/RuntimeFolder.h"
#include "platform/TerminationSignals.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"
#include "ui/DpiScaling.h"
#include "ui/Guard.h"
#include "ui/Wait.h"

#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct OwnedWindow {
    QObject* object;
    std::function<void()> forget; // clears the global when it still names this object
};

std::vector<OwnedWindow>& OwnedWindows() {
    static std::vector<OwnedWindow> windows;
    return windows;
}

template <typename T, typename... Args> void Create(T*& global, Args... args) {
    global = new T(args...);
    T* created = global;
    OwnedWindows().push_back({created, [&global, created] {
                                  if (global == created) global = nullptr;
                              }});
}

constexpr char kFontDpiVariable[] = "QT_FONT_DPI";

// Qt on X takes 96 dpi when the display's resources set no Xft.dpi; it is told the resolution the
// display reports instead. A resolution the user gave Qt stands, and another window system is
// left alone. True when Qt was told.
bool TellQtTheDisplayResolution() {
    if (!qEnvironmentVariableIsEmpty(kFontDpiVariable)) return false;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool onX = platform.isEmpty() ? !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
                                        : platform.startsWith("xcb");
    if (!onX || !qEnvironmentVariableIsSet("DISPLAY")) return false;
    const std::optional<int> dpi = platform::ScreenResolutionWithoutXftDpi();
    if (!dpi) return false;
    qputenv(kFontDpiVariable, QByteArray::number(*dpi));
    return true;
}

void InstallJapaneseQtTexts(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv) {
    const bool toldResolution = TellQtTheDisplayResolution();
    // Qt's own scaling takes the whole-number part of the screen's factor, as the program's does:
    // from 96 to 191 dpi the windows keep their designed sizes, and 240 dpi doubles them.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    auto app = std::make_unique<QApplication>(argc, argv);
    // Qt has read it for good; programs started from this one find the environment as it was.
    if (toldResolution) qunsetenv(kFontDpiVariable);
    // Kept apart from Qt's application name, which Qt would append to every window's title.
    ui::SetApplicationTitle("KasoNT 2.3F");
    InstallJapaneseQtTexts(*app);
    return app;
}

void CreateApplicationWindows() {
    ui::ScaleTextToDpi();
    // The screens show Latin and Japanese text, which needs none of a font's shaping rules:
    // without them every label, cell and reply is laid out and drawn for a fraction of the cost.
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    QApplication::setFont(font);
    Create(mdlGeneral, nullptr);
    Create(frmMain, nullptr);
    Create(frmStat, nullptr);
    Create(frmStat_QWC, nullptr);
    Create(frmUpload, nullptr);
    Create(frmDownload, nullptr);
    Create(frmLogging, nullptr);
    Create(frmHelpabout, nullptr);
    Create(frmVersion, nullptr);
    Create(frmFRA, nullptr);
    Create(frmSelectCell, nullptr);
    Create(frmFreqSel, nullptr);
    Create(frmCommCancel, nullptr);
}

void DeleteApplicationWindows() {
    const ui::ProgramEnd ending; // what fails from here on is reported
    auto& windows = OwnedWindows();
    while (!windows.empty()) {
        OwnedWindow last = windows.back();
        windows.pop_back();
        delete last.object;
        last.forget();
    }
}

namespace {

// False when another instance of this user runs: it says so on standard error, the one place a
// user who started the program from a terminal sees. A lock file that cannot be opened tells
// nothing of another instance: the program runs without the lock, and says why.
bool TakeInstanceLock(platform::InstanceLock& lock) {
    switch (lock.Take()) {
    case platform::InstanceLock::Outcome::Taken:
        return true;
    case platform::InstanceLock::Outcome::HeldByAnother:
        std::fprintf(stderr, "kasont: the program is already running (it holds %s)\n",
                     qUtf8Printable(lock.FilePath()));
        return false;
    case platform::InstanceLock::Outcome::CannotOpen:
        std::fprintf(stderr,
                     "kasont: the lock file %s cannot be opened (%s); starting without the check "
                     "for another running instance\n",
                     qUtf8Printable(lock.FilePath()), qUtf8Printable(lock.OpenError()));
        return true;
    }
    return true;
}

} // namespace

int RunKasoNT(int argc, char** argv) {
    platform::KeepFreedMemoryForReuse();
    platform::InstanceLock lock("KasoNT");
    if (!TakeInstanceLock(lock)) return 1;
    // Made after the lock, which stays where a second start looks for it; removed after the
    // application object.
    const platform::PrivateRuntimeFolder runtimeFolder;
    const std::unique_ptr<QApplication> app = MakeApplication(argc, argv);
    // A termination signal ends the program at once, asking nothing: there may be nobody to
    // answer. The settings are still written as the windows are deleted.
    platform::OnTerminationSignal([] { ui::RequestUnattendedQuit(); });
    ui::ClearQuitRequest();
    try {
        CreateApplicationWindows();
        frmMain->show();
        // A close or a termination signal during the start-up scan (shown before the loop
        // runs) has already ended the program. The loop still runs, to end at once: only a
        // loop that has run to its end lets the boxes of the program's end show.
        if (ui::QuitRequested())
            QMetaObject::invokeMethod(
                app.get(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        QApplication::exec();
    } catch (const std::exception& e) {
        ui::ShowException(e);
    }
    // The settings are written while the windows are deleted; the lock goes only after that,
    // so a new instance never starts before they are on disk.
    ui::RunGuarded([] { DeleteApplicationWindows(); });
    lock.Release();
    return 0;
}
