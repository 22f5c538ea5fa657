// Every window of the program opened as a user opens it, on the screen this executable runs on,
// whose resolution KASONT_SCREEN_DPI tells: 96 dpi; 120, 144, 192 or 288 dpi with Qt's own
// scaling off; 120, 144, 240 or 288 dpi with it on; or an X display that reports 192 dpi and sets
// no Xft.dpi. Each shows its texts whole and apart, in fonts that take the DPI factor, and is its
// designed size times the factor: the program scales by what Qt's own scaling leaves to it. With
// KASONT_WINDOW_PICTURES set to a folder, each window's picture is saved there for a look.
#include "AppTest.h"
#include "CaptionFit.h"

#include "analysis/FreqAnalyze.h"
#include "analysis/SelectCel.h"
#include "analysis/SelectFreq.h"
#include "editor/EditFind.h"
#include "editor/UnitDownload.h"
#include "editor/UnitEdit.h"
#include "editor/UnitUpload.h"
#include "link/UnitCommCancel.h"
#include "logging/UnitLogging.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "shell/UnitSplashWindow.h"
#include "status/UnitAlarmList.h"
#include "status/UnitDataTable.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"
#include "ui/FileDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// The smallest font of the designs, at 96 dpi: the plots' 7 points.
constexpr int kSmallestFontPixels = 9;

class WindowLayoutTest : public AppTest {
protected:
    void TearDown() override {
        ui::SetFileDialogResponder({});
        AppTest::TearDown();
    }

    void Start(int series, const QByteArray& model) {
        StopProgram();
        StartOnSeries(series, model);
        frmMain->Show();
    }

    // The screen's resolution, as the test's environment tells it.
    static int ScreenDpi() { return qEnvironmentVariableIntValue("KASONT_SCREEN_DPI"); }

    // The whole-number quotient of the screen's dots per inch and 96.
    static int ScreenFactor() { return std::max(1, ScreenDpi() / 96); }

    // The factor the program scales a window by: the screen's factor less what Qt's own scaling
    // takes of it (its pixel ratio).
    static int ProgramFactor(const QWidget& window) {
        return std::max(1, ScreenFactor() / qRound(window.devicePixelRatio()));
    }

    // The checks of one shown window, with its designed client size at 96 dpi.
    void Check(QWidget& window, QSize designed, const QString& name) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_GT(ScreenDpi(), 0) << "KASONT_SCREEN_DPI tells the screen's resolution";
        ASSERT_TRUE(WaitFor([&] { return window.isVisible(); }, 5000));
        const int factor = ProgramFactor(window);
        // On the screen, whoever scales: the design times the whole-number factor.
        EXPECT_EQ(window.devicePixelRatioF(), qRound(window.devicePixelRatioF()));
        EXPECT_EQ(window.size() * window.devicePixelRatioF(), ScreenFactor() * designed);
        EXPECT_EQ(window.size(), factor * designed);
        EXPECT_TRUE(ShowsCaptionsWhole(window));
        EXPECT_TRUE(ShowsTextsApart(window));
        EXPECT_TRUE(ShowsFontsOfAtLeast(window, factor * kSmallestFontPixels));
        const QString folder = qEnvironmentVariable("KASONT_WINDOW_PICTURES");
        if (!folder.isEmpty() && QDir().mkpath(folder))
            window.grab().save(QString("%1/%2-%3dpi-%4-ratio%5.png")
                                   .arg(folder, name)
                                   .arg(ScreenDpi())
                                   .arg(QGuiApplication::platformName())
                                   .arg(window.devicePixelRatio()));
    }

    // Checks the next modal window once it is on screen (and `also` on it), then closes it. The
    // result tells whether it came.
    std::shared_ptr<bool> CheckNextModal(QSize designed, const QString& name,
                                         std::function<void(ui::Form&)> also = {}) {
        auto checked = std::make_shared<bool>(false);
        auto* watch = new QTimer;
        QObject::connect(watch, &QTimer::timeout, [=, this] {
            auto* window = qobject_cast<ui::Form*>(QApplication::activeModalWidget());
            if (!window || !window->isVisible()) return;
            watch->stop();
            watch->deleteLater();
            Check(*window, designed, name);
            if (also) also(*window);
            *checked = true;
            window->close();
        });
        watch->start(10);
        return checked;
    }

    void ChooseFile(const QString& name, const QByteArray& contents) {
        WriteFile(name, contents);
        ui::SetFileDialogResponder(
            [path = Path(name)](const ui::FileDialog&) -> std::optional<QString> { return path; });
    }

    // The share of white pixels of a part of a picture.
    static double WhiteShare(const QImage& picture, const QRect& part) {
        int white = 0;
        for (int y = part.top(); y <= part.bottom(); ++y)
            for (int x = part.left(); x <= part.right(); ++x)
                white += picture.pixelColor(x, y) == QColor(Qt::white);
        return double(white) / (part.width() * part.height());
    }

    // The internal variables' labels whole in their column, with room beside them for a value
    // of the largest 16-bit number, and all of them in view.
    static void ExpectLabelsWholeBesideValues(const fra::ValueGrid& grid) {
        ASSERT_TRUE(grid.isVisible());
        const QFontMetrics metrics(grid.font());
        const int margins = 2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        const int values = grid.viewport()->width() - grid.columnWidth(0);
        for (int row = 0; row < grid.rowCount(); ++row) {
            const QString label = grid.Cell(0, row);
            EXPECT_LE(metrics.horizontalAdvance(label) + margins, grid.columnWidth(0))
                << label.toStdString();
        }
        EXPECT_GE(values, metrics.horizontalAdvance("-32768") + margins);
        // Both columns and every row in view.
        EXPECT_LE(grid.horizontalHeader()->length(), grid.viewport()->width());
        EXPECT_LE(grid.verticalHeader()->length(), grid.viewport()->height());
    }

    // The editor's reply pane at its designed 42 pixels times the factor, room for two lines of
    // its text, below a bar of 3 pixels times the factor; dragged down as far as it goes, the bar
    // leaves the pane that much.
    static void ExpectReplyPaneAtTheFactor() {
        QPlainTextEdit& pane = *frmEdit->memSub;
        const int factor = ProgramFactor(pane);
        EXPECT_EQ(pane.height(), factor * 42);
        EXPECT_EQ(pane.height() * pane.devicePixelRatio(), ScreenFactor() * 42);
        EXPECT_GE(pane.viewport()->height(), 2 * pane.fontMetrics().lineSpacing());
        const QWidget& editArea = *frmEdit->Splitter1->widget(0);
        EXPECT_EQ(pane.y() - editArea.geometry().bottom() - 1, factor * 3);
        QSplitterHandle* bar = frmEdit->Splitter1->handle(1);
        const auto drag = [bar](int down) {
            const QPoint grip = bar->rect().center();
            QTest::mousePress(bar, Qt::LeftButton, {}, grip);
            QTest::mouseMove(bar, grip + QPoint(0, down));
            QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(0, down));
        };
        drag(-40 * factor);
        EXPECT_GT(pane.height(), factor * 42 + 30 * factor) << "dragged up";
        drag(frmEdit->height());
        EXPECT_EQ(pane.height(), factor * 42) << "dragged to the bottom";
    }

    // A find or replace dialog with its texts whole and apart, each label drawn with its
    // mnemonic as the buttons draw theirs (underlined, no "&"): Alt and the letter take the
    // focus to the label's box.
    static void
    ExpectLabelsLeadToTheirBoxes(QDialog& dialog,
                                 const std::vector<std::pair<Qt::Key, QWidget*>>& keys) {
        SCOPED_TRACE(dialog.windowTitle().toStdString());
        dialog.activateWindow(); // as a window manager does, which the test's X display lacks
        ASSERT_TRUE(WaitFor([&] { return dialog.isActiveWindow(); }, 5000));
        EXPECT_TRUE(ShowsCaptionsWhole(dialog));
        EXPECT_TRUE(ShowsTextsApart(dialog));
        for (const auto& [key, box] : keys) {
            dialog.findChild<QCheckBox*>()->setFocus(); // away from the box, as a click would
            QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
            EXPECT_EQ(QApplication::focusWidget(), box)
                << "Alt+" << QKeySequence(key).toString().toStdString();
        }
    }

    static void Choose(ui::ComboBox* box, int index) {
        box->SetItemIndex(index);
        emit box->activated(index);
    }
};

// The start: the splash window of the axis scan. The first series: the main window, the setup
// dialog, its status monitor and logging window, the lists, the version box, the editor with its
// reply pane, its find and replace dialogs, its version box and both data dialogs. The second:
// its status monitor and logging window, the alarm history and the progress window of its read. The
// third: its status monitor, the logging window with all channels and the cursor readouts of an
// acceleration at the largest scale on their white panel, the analysis window's pages and both
// choice windows, centred on the main window. The fourth: the lock window.
TEST_F(WindowLayoutTest, EveryWindowShowsItsDesignWhole) {
    WriteSetting("Model", "ModelType", 1); // the scan at start on, as the program comes
    StartProgram();
    bool splashChecked = false;
    const QMetaObject::Connection scanning =
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
            if (splashChecked || !frmSplashWindow) return;
            splashChecked = true;
            Check(*frmSplashWindow, {320, 399}, "splash");
        });
    frmMain->Show();
    QObject::disconnect(scanning);
    EXPECT_TRUE(splashChecked);

    Start(0, "QWA-D56");
    Check(*frmMain, {462, 173}, "main");
    const auto expectToolButtons = [this](const std::vector<QToolButton*>& buttons) {
        for (QToolButton* button : buttons) {
            EXPECT_TRUE(button->isVisible()) << button->text().toStdString();
            EXPECT_EQ(button->width(), ProgramFactor(*button) * 75) << button->text().toStdString();
        }
    };
    expectToolButtons({frmMain->btnSetup, frmMain->btnPrm, frmMain->btnEdit, frmMain->btnStat,
                       frmMain->btnLogging, frmMain->btnHelp});
    auto shown = CheckNextModal({378, 625}, "setup");
    frmMain->btnSetup->click();
    EXPECT_TRUE(*shown);
    frmMain->btnStat->click();
    Check(*frmStat, {569, 375}, "status-first-series");
    frmMain->btnPopupLogging->trigger();
    Check(*frmLogging, {792, 471}, "logging-first-series");
    frmMain->btnPopupPrm->trigger();
    Check(*frmPrm, {441, 373}, "parameters");
    frmMain->btnPopupDataTable->trigger();
    Check(*frmDataTable, {340, 345}, "data-table");
    shown = CheckNextModal({311, 128}, "version");
    frmMain->btnPopupHelp->trigger();
    EXPECT_TRUE(*shown);
    frmMain->btnEdit->click();
    Check(*frmEdit, {630, 349}, "editor");
    // The empty new document without scroll bars, its row numbers and step numbers in bars of
    // the designed 38 pixels (five digits and their margins) times the factor.
    EXPECT_FALSE(frmEdit->memMain2->verticalScrollBar()->isVisible());
    EXPECT_FALSE(frmEdit->memMain2->horizontalScrollBar()->isVisible());
    EXPECT_EQ(frmEdit->memMain->width(), ProgramFactor(*frmEdit) * 38);
    EXPECT_EQ(frmEdit->memMain2->RowNumberWidth(), ProgramFactor(*frmEdit) * 38);
    expectToolButtons({frmEdit->btnSendToKaso, frmEdit->btnUpload, frmEdit->btnMailC});
    ExpectReplyPaneAtTheFactor();
    frmEdit->FindSearch->trigger();
    ExpectLabelsLeadToTheirBoxes(*frmEdit->FindDialog, {{Qt::Key_N, frmEdit->FindDialog->edtFind}});
    frmEdit->FindDialog->close();
    frmEdit->FindReplace->trigger();
    ExpectLabelsLeadToTheirBoxes(*frmEdit->ReplaceDialog,
                                 {{Qt::Key_P, frmEdit->ReplaceDialog->edtReplace},
                                  {Qt::Key_N, frmEdit->ReplaceDialog->edtFind}});
    frmEdit->ReplaceDialog->close();
    shown = CheckNextModal({311, 128}, "editor-about");
    frmEdit->HelpAboutItem->trigger();
    EXPECT_TRUE(*shown);
    frmMain->AxisMask = 1 << ('X' - 'A');
    frmEdit->RunUploadItem->trigger();
    Check(*frmUpload, {252, 248}, "data-upload");
    frmUpload->close();
    frmEdit->RunDownloadItem->trigger();
    Check(*frmDownload, {257, 136}, "data-download");
    frmDownload->close();
    frmEdit->close();

    Start(1, "QWB10");
    frmMain->btnStat->click();
    Check(*frmStat, {569, 375}, "status-second-series");
    frmMain->btnPopupLogging->trigger();
    Check(*frmLogging_QWB, {800, 520}, "logging-second-series");
    frmMain->btnPopupAlarmList->trigger();
    Check(*frmAlarmList, {303, 345}, "alarm-history");
    frmAlarmList->btnReadAlarm->click();
    Check(*frmCommCancel, {190, 154}, "progress");
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->btnCancel->text() == "OK"; }, 10000));
    Check(*frmCommCancel, {190, 154}, "progress-done");
    frmCommCancel->btnCancel->click();

    Start(2, "QWC50A_C3");
    frmMain->btnStat->click();
    Check(*frmStat_QWC, {569, 375}, "status-third-series");
    frmMain->btnPopupLogging->trigger();
    TfrmLogging_QWC* logging = frmLogging_QWC;
    for (ui::CheckBox* box : {logging->CheckBox2, logging->CheckBox3, logging->CheckBox4})
        box->click();
    // Each channel's marker apart from the others, as their traces are.
    for (int channel : {1, 2, 3}) {
        logging->ChannelSelectors()[static_cast<size_t>(channel)]->click();
        for (int step = 0; step < 12 * channel; ++step)
            logging->UpDownLogData->Click(logging::UpDown::Button::Next);
    }
    Choose(logging->cmbLogVal4, 6); // AACT
    logging->trkY->setValue(7);
    Choose(logging->Vertical_Scale, 8);
    logging->btnCursor->click();
    logging->Cursor_Prm->Item(1)->click();
    Check(*logging, {800, 520}, "logging-third-series");
    EXPECT_GT(WhiteShare(logging->grab().toImage(), logging->Cursor_Prm->geometry()), 0.5);

    frmMain->btnPopupFRA->trigger();
    for (int page = 0; page < frmFRA->pcAnalyze->count(); ++page) {
        frmFRA->pcAnalyze->setCurrentIndex(page);
        Check(*frmFRA, {700, 510}, QString("analysis-page%1").arg(page + 1));
    }
    const auto centredOnMain = [](ui::Form& choice) {
        EXPECT_LE(
            (choice.frameGeometry().center() - frmMain->frameGeometry().center()).manhattanLength(),
            2);
    };
    ChooseFile("log.txt", "LTIME=1     TIME        A           B\r\n#%0010C000  0  1  2\r\n"
                          "#%0010C000  1  3  4\r\n");
    shown = CheckNextModal({176, 152}, "column-choice", centredOnMain);
    frmFRA->btOpen->click();
    EXPECT_TRUE(*shown);
    ChooseFile("samples.csv", "V\r\n1\r\n2\r\n3\r\n4\r\n");
    shown = CheckNextModal({194, 180}, "frequency-choice", centredOnMain);
    frmFRA->btOpen->click();
    EXPECT_TRUE(*shown);
    frmFRA->pcAnalyze->setCurrentWidget(frmFRA->tsPref);
    for (fra::ValueGrid* grid : {frmFRA->sgParams1, frmFRA->sgParams2, frmFRA->sgParams3})
        ExpectLabelsWholeBesideValues(*grid);

    Start(3, "QWD50A");
    frmMain->btnPopupPrm->trigger();
    Check(*frmPrmLock, {441, 373}, "parameter-locks");
}

} // namespace
