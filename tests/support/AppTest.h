// The base of the program's window tests: each test gets its own settings and runtime folders,
// its own simulated driver on a pseudo-terminal (as Comm1), and a responder that records every
// message box in place of the user.
#pragma once

#include "SimulatedDriver.h"
#include "ui/Dialogs.h"

#include <QSettings>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class QProcess;
class QWidget;

// Pastes `text` over the whole text of the focused box, as Ctrl+A and Ctrl+V do.
void PasteOverFocusedBox(const QString& text);

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates every long-lived window as the program's start does (FormCreate opens the port).
    void StartProgram();
    // Deletes them as the program's end does (FormDestroy writes the settings).
    void StopProgram();
    // Starts the program on a series (0 to 3, as the setup dialog lists them) without the axis
    // scan at start; the driver answers "VER" with `model` when one is given.
    void StartOnSeries(int series, const QByteArray& model = {});

    // Starts the program's `binary` as its own process on the offscreen platform, in this test's
    // environment (its settings and runtime folders).
    static void StartProgramProcess(QProcess& process, const QString& binary);
    // Whether a program started as its own process has taken the single-instance lock (the one
    // in the test's runtime folder, or the file `lockPath`) within `timeoutMs`.
    bool WaitForInstanceLock(int timeoutMs, QString lockPath = {}) const;

    // A file by name in the test's own settings folder, and writing one there.
    QString Path(const QString& name) const { return configDir.path() + "/" + name; }
    void WriteFile(const QString& name, const QByteArray& bytes) const;

    // The settings file, for writing before start and reading after the end.
    QString SettingsPath() const;
    void WriteSetting(const QString& section, const QString& name, const QVariant& value);
    QVariant StoredSetting(const QString& section, const QString& name) const;

    // Runs the event loop until cond holds or timeoutMs passes; returns cond().
    static bool WaitFor(const std::function<bool()>& cond, int timeoutMs = 10000);
    // Runs the event loop for a while (to see that nothing happens).
    static void Pause(int ms);

    // Types into a widget as a user would; Enter is "\r". A character beyond ASCII comes as a
    // key event that carries it.
    static void Type(QWidget* widget, const QString& text);
    static void PressKey(QWidget* widget, int qtKey);
    // Plays the user at the keyboard of the next modal window that opens on screen: once it is
    // active, each of `keys` goes to its focused control. The result is the modal result the keys
    // gave it, 0 while they left it open; such a window is then cancelled, so the test goes on.
    static std::shared_ptr<int> KeysToNextModal(const QList<int>& keys);

    // The command lines the driver received since the last call, without CR.
    QList<QByteArray> TakeSentLines();
    // The lines without the model queries "VER" that the line's step sends between a write and
    // the next question (its own tests hold when they go): a window's traffic as its order goes.
    static QList<QByteArray> WithoutModelQueries(QList<QByteArray> lines);
    static QByteArray WithoutModelQueries(const QByteArray& bytes);

    // Messages shown so far; the responder answers `answer` to questions, OK otherwise.
    std::vector<ui::MessageRecord> messages;
    ui::MsgResult answer = ui::MsgResult::Yes;
    bool HasMessage(const QString& text) const;
    // Pastes `pasted` over the focused box; true when that brought exactly the one message that
    // refuses the character named `named` in the box named `place`.
    bool PasteIsRefused(const QString& pasted, const QString& named, const QString& place = {});

    sim::DriverConfig driverConfig;
    std::unique_ptr<sim::SimulatedDriver> driver;
    QTemporaryDir configDir;
    QTemporaryDir runtimeDir;

private:
    bool started_ = false;
};
