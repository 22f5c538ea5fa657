// The analysis window's tests: the program against a simulated driver, with the analysis window
// opened from the main window's menu and helpers to run a sweep and look at the plots.
#pragma once

#include "AppTest.h"

#include "AnalysisState.h"
#include "analysis/FreqAnalyze.h"
#include "shell/UnitMain.h"
#include "ui/FileDialogs.h"
#include "ui/Printing.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPrinter>

class FraTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        StartProgram();
        ui::SetFileDialogResponder([this](const ui::FileDialog& dialog) -> std::optional<QString> {
            dialogTitle = dialog.Title;
            dialogStart = dialog.FileName;
            if (chosenFile.isEmpty()) return std::nullopt;
            return chosenFile;
        });
        ui::SetPrintDialogResponder([this](QPrinter& printer) {
            if (printFile.isEmpty()) return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printFile);
            return true;
        });
    }
    void TearDown() override {
        ui::SetFileDialogResponder({});
        ui::SetPrintDialogResponder({});
        ui::SetModalResponder({});
        AppTest::TearDown();
    }

    // What the file dialogs answer (empty: cancel), and what they were shown.
    QString chosenFile;
    QString dialogTitle;
    QString dialogStart;
    // Where the print dialog sends the print (empty: cancel).
    QString printFile;

    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    sim::AnalysisState& Plant() { return driver->axis('X').analysis(); }

    void OpenWindow() {
        frmMain->btnPopupFRA->trigger();
        ASSERT_TRUE(frmFRA->Showing());
    }

    // Sets the sweep and runs it to its end (the run keeps the event loop turning).
    void RunSweep(int from, int to, int step, int buffer = 0) {
        frmFRA->edFreqFrom->setText(QString::number(from));
        frmFRA->edFreqTo->setText(QString::number(to));
        frmFRA->edFreqStep->setText(QString::number(step));
        frmFRA->rbActiveBuf[buffer]->click();
        frmFRA->btAnalyze->click();
    }

    // Whether a pixel of `colour` lies within `radius` of (x, y).
    static bool ColourNear(const QImage& image, int x, int y, const QColor& colour,
                           int radius = 2) {
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) {
                const QPoint at(x + dx, y + dy);
                if (image.rect().contains(at) && image.pixelColor(at) == colour) return true;
            }
        return false;
    }

    static int CountColour(const QImage& image, const QColor& colour) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == colour;
        return count;
    }

    const QImage& Bode() { return frmFRA->AnGraph->GetCanvas().Image(); }
    const QImage& Vector() { return frmFRA->AnVector->GetCanvas().Image(); }
    const QImage& SpectrumImage() { return frmFRA->AnSpectrum->GetCanvas().Image(); }

    bool Sent(const QList<QByteArray>& lines, const QByteArray& line) {
        return lines.contains(line);
    }

    static inline const QColor kBlue{0, 0, 255};
    static inline const QColor kAqua{0, 255, 255};
    static inline const QColor kRed{255, 0, 0};
};
