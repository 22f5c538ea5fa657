#include "EditorTestFixture.h"

#include "ui/FileDialogs.h"
#include "ui/Printing.h"

#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTest>

void EditorTest::SetUp() {
    AppTest::SetUp();
    WriteSetting("Comm", "TransmitCheck", 2);
    previousFolder = QDir::currentPath();
    QDir::setCurrent(workDir.path());
    StartProgram();
    ui::SetFileDialogResponder([this](const ui::FileDialog&) -> std::optional<QString> {
        ++fileDialogRuns;
        if (chosenFile.isEmpty()) return std::nullopt;
        return chosenFile;
    });
    ui::SetPrintDialogResponder([this](QPrinter& printer) {
        if (!printFile) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*printFile);
        return true;
    });
    ui::SetFontDialogResponder([this](const QFont&) { return chosenFont; });
    frmEdit->Show();
}

void EditorTest::TearDown() {
    ui::SetFileDialogResponder({});
    ui::SetPrintDialogResponder({});
    ui::SetFontDialogResponder({});
    AppTest::TearDown();
    QDir::setCurrent(previousFolder);
}

QString EditorTest::Path(const QString& name) const {
    return workDir.filePath(name);
}

void EditorTest::WriteFile(const QString& name, const QByteArray& bytes) const {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray EditorTest::ReadFile(const QString& name) const {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool EditorTest::FileExists(const QString& name) const {
    return QFile::exists(Path(name));
}

void EditorTest::Open(const QString& name) {
    chosenFile = Path(name);
    frmEdit->FileOpenItem->trigger();
}

void EditorTest::TypeText(const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            Type(frmEdit->memMain2, QString(ch));
        else // characters no key of the test keyboard types: the key event carries the text
            QTest::sendKeyEvent(QTest::Click, frmEdit->memMain2, Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
    }
}

void EditorTest::Press(int qtKey) {
    PressKey(frmEdit->memMain2, qtKey);
}

void EditorTest::PickTab(int slot) {
    frmEdit->pgeEdit->setCurrentIndex(slot);
}
