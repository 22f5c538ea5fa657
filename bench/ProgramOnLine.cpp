#include "ProgramOnLine.h"

#include "logging/UnitLogging_QWC.h"
#include "platform/Settings.h"
#include "shell/Application.h"
#include "shell/UnitMain.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

#include <QSettings>
#include <QWidget>
#include <QWindow>

namespace bench {

ProgramOnLine::ProgramOnLine(const ProgramSetup& setup) {
    qputenv("XDG_CONFIG_HOME", folder_.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", folder_.path().toLocal8Bit());
    simulator_ = std::make_unique<SimulatorProcess>(setup.simulatorArguments);
    relay_ = std::make_unique<PacedRelay>(simulator_->DevicePath(),
                                          setup.unpaced ? PacedRelay::kUnpaced : setup.lineRate,
                                          setup.driverTurnaroundMs / 1000.0);
    qputenv("KASONT_COMM1", QByteArray::fromStdString(relay_->ProgramDevice()));
    WriteSettings(setup);
    // Questions are answered Yes, as the routes expect; a warning or error counts as a fault.
    ui::SetMessageResponder([this](const ui::MessageRecord& record) {
        if (record.buttons != ui::MsgButtons::Ok) return ui::MsgResult::Yes;
        CountMessage(record.text);
        return ui::MsgResult::Ok;
    });
    CreateApplicationWindows();
    ShowAndExpose(frmMain);
}

ProgramOnLine::~ProgramOnLine() {
    DeleteApplicationWindows();
    ui::SetMessageResponder({});
    relay_.reset();
    simulator_.reset();
    qunsetenv("KASONT_COMM1");
}

void WriteSettings(const ProgramSetup& setup) {
    QSettings settings(platform::IniSettings::FilePathForKey(platform::kSettingsKey),
                       QSettings::IniFormat);
    // The program is set to the rate the relay paces the line to, as a user would set it.
    settings.setValue("Comm/Baudrate", setup.lineRate);
    for (const auto& [name, value] : setup.settings)
        settings.setValue(name, value);
}

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs) {
    return ui::ProcessMessagesUntil(cond, timeoutMs);
}

void Idle(int ms) {
    WaitUntil([] { return false; }, ms);
}

void ShowAndExpose(QWidget* window) {
    window->show();
    WaitUntil([window] { return window->windowHandle() && window->windowHandle()->isExposed(); },
              2000);
    Idle(20);
}

TFourChannelLogging* OpenFourChannelLogging() {
    frmMain->btnPopupLogging->trigger();
    WaitUntil([] { return frmLogging_QWC && frmLogging_QWC->isVisible(); }, 5000);
    return frmLogging_QWC && frmLogging_QWC->isVisible() ? frmLogging_QWC : nullptr;
}

} // namespace bench
