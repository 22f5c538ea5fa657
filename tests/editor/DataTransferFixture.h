// The base of the data transfer tests: the editor with axis X confirmed by a scan, the series
// and driver model of each case, and helpers that fill the dialogs, wait for a transfer's end
// and read the saved upload table.
#pragma once

#include "EditorTestFixture.h"

#include "editor/UnitDownload.h"
#include "editor/UnitUpload.h"
#include "link/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Codec.h"

#include <QApplication>

class DataTransferTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        frmMain->AxisMask = 1 << ('X' - 'A'); // the scan found axis X
        TakeSentLines();
    }

    // The series chosen in the setup dialog and the model the driver answers.
    void UseSeries(int index, const QByteArray& model) {
        frmSetup->cmbModelType->SetItemIndex(index);
        driver->setModelText('X', model);
    }

    sim::DriverAxis& Axis() { return driver->axis('X'); }
    sim::DriverMemory::Location At(const char* address) {
        return *sim::DriverMemory::parse(address);
    }

    void SetUploadFields(const QString& start, const QString& sets, const QString& items) {
        frmUpload->cmbFirst->setEditText(start);
        frmUpload->edtNum->setText(sets);
        frmUpload->cmbKumisuu->setEditText(items);
    }

    // Presses the upload dialog's start and waits until the button is back.
    void RunUpload(int timeoutMs = 10000) {
        frmUpload->btnStart->click();
        ASSERT_TRUE(WaitFor([] { return frmUpload->btnStart->isEnabled(); }, timeoutMs));
    }

    // The upload's document as the editor saves it under its own name.
    QByteArray SavedUpload() {
        frmEdit->FileSaveItem->trigger();
        return ReadFile("KASOﾃﾞｰﾀ");
    }

    // A text file of lines as the editor writes it: CP932, CR LF after every line.
    static QByteArray FileOf(const QStringList& lines) {
        QByteArray bytes;
        for (const QString& line : lines)
            bytes += ui::cp932::Encode(line) + "\r\n";
        return bytes;
    }

    static QString Pad(const QString& text) { return text.leftJustified(12, ' '); }

    static QList<QByteArray> Continuations(int count) { return QList<QByteArray>(count, ",?"); }
};
