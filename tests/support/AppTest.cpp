#include "AppTest.h"

#include "platform/Settings.h"
#include "shell/Application.h"
#include "ui/Form.h"
#include "ui/Wait.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// Whether some process holds a flock on the file at `path`, as /proc/locks lists it (device and
// inode). Asking with a lock of our own could make the program's start fail.
bool FileLocked(const QString& path) {
    struct stat st {};
    if (::stat(path.toLocal8Bit().constData(), &st) != 0) return false;
    QFile locks("/proc/locks");
    if (!locks.open(QIODevice::ReadOnly)) return false;
    const QByteArray id = QString::asprintf("%02x:%02x:%llu", major(st.st_dev), minor(st.st_dev),
                                            static_cast<unsigned long long>(st.st_ino))
                              .toLatin1();
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        // "1: FLOCK ADVISORY WRITE pid dev:inode 0 EOF"; a waiter's line has "->" after the number.
        if (fields.size() >= 6 && fields[1] == "FLOCK" && fields[5] == id) return true;
    }
    return false;
}

} // namespace

void AppTest::SetUp() {
    ui::ClearQuitRequest();
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    driver = std::make_unique<sim::SimulatedDriver>(driverConfig);
    qputenv("KASONT_COMM1", driver->slavePath().toLocal8Bit());
    qunsetenv("KASONT_DEVICE"); // a device named for every port would hide the driver's
    ui::SetMessageResponder([this](const ui::MessageRecord& record) {
        messages.push_back(record);
        return record.buttons == ui::MsgButtons::Ok ? ui::MsgResult::Ok : answer;
    });
}

void AppTest::TearDown() {
    StopProgram();
    ui::SetMessageResponder({});
    ui::SetModalResponder({});
    driver.reset();
    qunsetenv("KASONT_COMM1");
}

void AppTest::StartProgram() {
    CreateApplicationWindows();
    started_ = true;
}

void AppTest::StopProgram() {
    if (!started_) return;
    started_ = false;
    DeleteApplicationWindows();
}

void AppTest::StartOnSeries(int series, const QByteArray& model) {
    WriteSetting("Model", "ModelType", series + 1);
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    if (!model.isEmpty()) driver->setModelText('X', model);
}

QString AppTest::SettingsPath() const {
    return platform::IniSettings::FilePathForKey(platform::kSettingsKey);
}

void AppTest::WriteSetting(const QString& section, const QString& name, const QVariant& value) {
    QSettings settings(SettingsPath(), QSettings::IniFormat);
    settings.setValue(section + '/' + name, value);
}

QVariant AppTest::StoredSetting(const QString& section, const QString& name) const {
    QSettings settings(SettingsPath(), QSettings::IniFormat);
    return settings.value(section + '/' + name);
}

void AppTest::StartProgramProcess(QProcess& process, const QString& binary) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(binary);
}

bool AppTest::WaitForInstanceLock(int timeoutMs, QString lockPath) const {
    // Held, not merely there: the file stays behind when an instance ends.
    if (lockPath.isEmpty()) lockPath = runtimeDir.path() + "/KasoNT.lock";
    return WaitFor([&] { return FileLocked(lockPath); }, timeoutMs);
}

bool AppTest::WaitFor(const std::function<bool()>& cond, int timeoutMs) {
    return ui::ProcessMessagesUntil(cond, timeoutMs);
}

void AppTest::Pause(int ms) {
    WaitFor([] { return false; }, ms);
}

void AppTest::Type(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        if (ch == '\r')
            QTest::keyClick(widget, Qt::Key_Return);
        else if (ch.unicode() < 0x80)
            QTest::keyClicks(widget, QString(ch));
        else // no key of the test keyboard types it: the key event carries the character
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void AppTest::PressKey(QWidget* widget, int qtKey) {
    QTest::keyClick(widget, static_cast<Qt::Key>(qtKey));
}

void PasteOverFocusedBox(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
}

bool AppTest::PasteIsRefused(const QString& pasted, const QString& named, const QString& place) {
    messages.clear();
    PasteOverFocusedBox(pasted);
    const QString refusal = place.isEmpty()
                                ? "送信できない文字「" + named + "」が含まれています。"
                                : place + " に送信できない文字「" + named + "」があります。";
    return messages.size() == 1 && messages[0].text == refusal + "\n入力内容を確認してください。";
}

std::shared_ptr<int> AppTest::KeysToNextModal(const QList<int>& keys) {
    auto result = std::make_shared<int>(ui::mrNone);
    auto* watch = new QTimer;
    auto* deadline = new QElapsedTimer;
    deadline->start();
    QObject::connect(watch, &QTimer::timeout, [=] {
        auto* window = qobject_cast<ui::Form*>(QApplication::activeModalWidget());
        // The offscreen platform keeps a hidden window as its focus window, so the same window
        // shown again is never told that it is active: that is done here, as a window system
        // would.
        if (window && !window->isActiveWindow() &&
            QGuiApplication::focusWindow() == window->windowHandle())
            QApplication::setActiveWindow(window);
        QWidget* focus = QApplication::focusWidget();
        const bool up = window && window->isActiveWindow() && focus && focus->window() == window;
        if (!up && !deadline->hasExpired(5000)) return;
        watch->stop();
        watch->deleteLater();
        delete deadline;
        if (!up) {
            if (window) window->SetModalResult(ui::mrCancel);
            return;
        }
        for (int key : keys)
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
        *result = window->ModalResultValue();
        if (*result == ui::mrNone) window->SetModalResult(ui::mrCancel);
    });
    watch->start(10);
    return result;
}

QList<QByteArray> AppTest::TakeSentLines() {
    QList<QByteArray> lines = driver->receivedLines();
    driver->clearReceived();
    return lines;
}

QList<QByteArray> AppTest::WithoutModelQueries(QList<QByteArray> lines) {
    lines.removeAll("VER");
    return lines;
}

QByteArray AppTest::WithoutModelQueries(const QByteArray& bytes) {
    QByteArray kept;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = bytes.indexOf('\r', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        const QByteArray line = bytes.mid(start, next - start);
        if (line != "VER\r") kept += line;
        start = next;
    }
    return kept;
}

bool AppTest::HasMessage(const QString& text) const {
    for (const auto& m : messages)
        if (m.text == text) return true;
    return false;
}

void AppTest::WriteFile(const QString& name, const QByteArray& bytes) const {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
