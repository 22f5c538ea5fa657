// The shared service windows: the setup dialog's series set-up, the progress window, the print
// carrier and the version boxes.
#include "AppTest.h"

#include "analysis/FreqAnalyze.h"
#include "editor/UnitEdit.h"
#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/LogPrint.h"
#include "shell/UnitHelp.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "shell/UnitVersion.h"
#include "status/UnitAlarmList.h"
#include "status/UnitDataTable.h"
#include "status/UnitStat.h"
#include "ui/Printing.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace {

class ServiceWindowsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSetting("Comm", "TransmitCheck", 2);
        StartProgram();
    }
    void TearDown() override {
        ui::SetPrintDialogResponder({});
        AppTest::TearDown();
    }
    static int ActiveTimers(const QObject* owner) {
        const QList<QTimer*> timers = owner->findChildren<QTimer*>();
        return int(std::count_if(timers.begin(), timers.end(),
                                 [](const QTimer* t) { return t->isActive(); }));
    }
    // Opens the setup dialog, picks a series and closes it as a user would.
    void ChooseSeries(int series) {
        ui::SetModalResponder([series](ui::Form&) {
            frmSetup->cmbModelType->SetItemIndex(series);
            frmSetup->btnClose->click();
            return frmSetup->ModalResultValue();
        });
        frmMain->btnSetup->click();
    }
    // Activation is asynchronous on the offscreen platform: it waits until the window has it.
    static bool BecomesActive(QWidget* window) {
        return WaitFor([window] { return QApplication::activeWindow() == window; }, 2000);
    }
    // A key as the user presses it: to the focused control of the active window.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key, modifiers);
    }
    static bool ReadFinished() {
        return WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 30000);
    }
};

TEST_F(ServiceWindowsTest, EachSeriesShowsItsOwnItems) {
    struct Expect {
        int series;
        bool manual, fra, alarms, camItems, uploadItems;
        const char* prmHeader;
        int dataRows;
    };
    const Expect cases[] = {{0, false, false, false, false, false, "       KASO", 49},
                            {1, true, false, true, false, true, "       KASO2", 385},
                            {2, false, true, true, true, true, "       KASO2", 385},
                            {3, false, true, true, true, true, "       KASO2", 385}};
    for (const Expect& e : cases) {
        ChooseSeries(e.series);
        EXPECT_EQ(frmMain->btnPopupManual->isVisible(), e.manual) << e.series;
        EXPECT_EQ(frmMain->btnPopupFRA->isVisible(), e.fra) << e.series;
        EXPECT_EQ(frmMain->btnPopupAlarmList->isVisible(), e.alarms) << e.series;
        EXPECT_EQ(frmEdit->RunDownloadCamItem->isVisible(), e.camItems) << e.series;
        EXPECT_EQ(frmEdit->btnPopupUpLoadCorrectData->isVisible(), e.camItems) << e.series;
        EXPECT_EQ(frmEdit->RunUpLoadMailBox->isVisible(), e.uploadItems) << e.series;
        EXPECT_EQ(frmEdit->btnPopupDownLoad->isVisible(), e.uploadItems) << e.series;
        EXPECT_EQ(frmPrm->grdPrm->Cell(1, 0), e.prmHeader) << e.series;
        EXPECT_EQ(frmDataTable->grdDataTable->RowCount(), e.dataRows) << e.series;
        EXPECT_EQ(frmStat->lblOust5->isHidden(), e.series != 0) << e.series;
        EXPECT_EQ(frmStat->grpMailBox->isHidden(), e.series == 0) << e.series;
        EXPECT_EQ(frmStat->grpStat->title(), e.series == 0 ? " #STAT " : " ｽﾃｰﾀｽ ");
    }
    EXPECT_TRUE(messages.empty());
    StopProgram();
    EXPECT_EQ(StoredSetting("Model", "ModelType").toInt(), 4);
}

TEST_F(ServiceWindowsTest, ClosingTheDialogReappliesThePortSettings) {
    // A rate typed in the terminal is replaced by the dialog's on its next close.
    frmMain->edtSend->setText("BH");
    Type(frmMain->edtSend, "\r");
    EXPECT_EQ(frmMain->Label5->text(), "9600");
    ui::SetModalResponder([](ui::Form&) {
        frmSetup->btnClose->click();
        return frmSetup->ModalResultValue();
    });
    frmMain->btnSetup->click();
    EXPECT_EQ(frmMain->Label5->text(), "1200");
    EXPECT_EQ(frmMain->Label6->text(), "[bps], N, 8, 1");
    EXPECT_EQ(mdlGeneral->PortForTests().BaudRate, 1200);
    EXPECT_TRUE(mdlGeneral->PortForTests().Opened());
    EXPECT_EQ(driver->inputSpeed(), B1200);

    // Even parity at 19200: the port is reopened, asked for 7E1; in force is what the simulated
    // driver's pseudo-terminal holds.
    ui::SetModalResponder([](ui::Form&) {
        frmSetup->cmbParity->SetItemIndex(1);
        frmSetup->cmbBaudrate->SetItemIndex(3);
        frmSetup->btnCheck->click();
        frmSetup->btnClose->click();
        return frmSetup->ModalResultValue();
    });
    frmMain->btnSetup->click();
    EXPECT_EQ(mdlGeneral->PortForTests().ByteSize(), platform::_7);
    EXPECT_EQ(mdlGeneral->PortForTests().ParityBits(), platform::pbEven);
    const termios& applied = mdlGeneral->PortForTests().AppliedSettings();
    const tcflag_t framing = CSIZE | PARENB | PARODD | CSTOPB;
    EXPECT_EQ(applied.c_cflag & framing, driver->controlFlags() & framing);
    EXPECT_FALSE(applied.c_cflag & CSTOPB);
    EXPECT_EQ(cfgetospeed(&applied), static_cast<speed_t>(B19200));
    EXPECT_EQ(driver->inputSpeed(), B19200);
    EXPECT_EQ(frmMain->Label6->text(), "[bps], E, 7, 1");
    StopProgram();
    EXPECT_EQ(StoredSetting("Comm", "Parity").toInt(), 2);
    EXPECT_EQ(StoredSetting("Comm", "Baudrate").toInt(), 19200);
    StartProgram();

    // With nothing selected: 1200 bps, 8N1, no series items touched, still closed with OK.
    ui::SetModalResponder([](ui::Form&) {
        frmSetup->cmbModelType->SetItemIndex(-1);
        frmSetup->cmbBaudrate->SetItemIndex(-1);
        frmSetup->cmbParity->SetItemIndex(-1);
        frmSetup->btnCheck->click();
        frmSetup->btnClose->click();
        return frmSetup->ModalResultValue();
    });
    frmMain->btnSetup->click();
    EXPECT_EQ(frmSetup->ModalResultValue(), ui::mrOk);
    EXPECT_EQ(frmMain->Label5->text(), "1200");
    EXPECT_EQ(frmMain->Label6->text(), "[bps], N, 8, 1");
}

// Hidden windows wake nobody: their clocks run only while they are shown.
TEST_F(ServiceWindowsTest, HiddenWindowsRunNoTimers) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) continue;
        EXPECT_EQ(ActiveTimers(window), 0) << window->metaObject()->className();
    }
}

TEST_F(ServiceWindowsTest, ProgressWindowCountsCancelsAndEnds) {
    frmCommCancel->StartTransfer();
    EXPECT_TRUE(frmCommCancel->isVisible());
    EXPECT_EQ(frmCommCancel->Label1->text(), "ドライバと通信中");
    EXPECT_EQ(frmCommCancel->btnCancel->text(), "キャンセル");
    frmCommCancel->StepTo(37, 200);
    EXPECT_EQ(frmCommCancel->ProgressBar1->value(), 18);
    frmCommCancel->btnCancel->click();
    EXPECT_TRUE(frmCommCancel->CancelRequested);
    EXPECT_FALSE(frmCommCancel->isVisible());

    frmCommCancel->StartTransfer();
    EXPECT_FALSE(frmCommCancel->CancelRequested);
    frmCommCancel->StepTo(200, 200);
    frmCommCancel->FinishTransfer(TfrmCommCancel::Direction::Upload);
    EXPECT_EQ(frmCommCancel->Label1->text(), "アップロード完了");
    EXPECT_EQ(frmCommCancel->btnCancel->text(), "OK");
    EXPECT_TRUE(frmCommCancel->isVisible());
    frmCommCancel->btnCancel->click();
    EXPECT_FALSE(frmCommCancel->isVisible());

    // An editor transfer without percentages: the cancel brings the bar back for the next one.
    frmEdit->Show();
    frmCommCancel->StartTransfer(false);
    EXPECT_TRUE(frmCommCancel->ProgressBar1->isHidden());
    frmCommCancel->FinishTransfer(TfrmCommCancel::Direction::Download);
    EXPECT_EQ(frmCommCancel->Label1->text(), "ダウンロード完了");
    frmCommCancel->btnCancel->click();
    EXPECT_FALSE(frmCommCancel->ProgressBar1->isHidden());
    EXPECT_FALSE(frmCommCancel->Label3->isHidden());
}

// Ended from the keyboard, the progress window hands the keys back to the grid of the window
// whose transfer it showed: that window is active again and the arrow keys move its grid.
TEST_F(ServiceWindowsTest, ProgressWindowEndedByKeyHandsTheKeysBackToTheGrid) {
    ChooseSeries(2);
    driver->setModelText('X', "QWC50A_C3");
    struct Client {
        QAction* launcher;
        ui::Form* window;
        QPushButton* read;
        ui::StringGrid* grid;
        bool cancelMidway;
    };
    const Client clients[] = {
        {frmMain->btnPopupPrm, frmPrm, frmPrm->btnReadPrm, frmPrm->grdPrm, false},
        {frmMain->btnPopupDataTable, frmDataTable, frmDataTable->btnReadDataTable,
         frmDataTable->grdDataTable, true},
        {frmMain->btnPopupAlarmList, frmAlarmList, frmAlarmList->btnReadAlarm,
         frmAlarmList->grdAlarmList, false},
    };
    for (const Client& c : clients) {
        SCOPED_TRACE(c.window->metaObject()->className());
        c.launcher->trigger();
        ASSERT_TRUE(c.window->isVisible());
        TakeSentLines();
        c.read->click();
        if (c.cancelMidway)
            ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() > 20; }));
        else
            ASSERT_TRUE(ReadFinished());
        ASSERT_TRUE(BecomesActive(frmCommCancel));
        ASSERT_EQ(QApplication::focusWidget(), frmCommCancel->btnCancel);
        Press(Qt::Key_Space);
        ASSERT_FALSE(frmCommCancel->isVisible());
        EXPECT_TRUE(BecomesActive(c.window));
        ASSERT_EQ(QApplication::focusWidget(), c.grid);
        const int row = c.grid->Row();
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        EXPECT_EQ(c.grid->Row(), row + 2);
    }
}

// Return and Enter press the focused button, in the progress window as in every other.
TEST_F(ServiceWindowsTest, ReturnAndEnterPressTheFocusedButton) {
    ChooseSeries(2);
    driver->setModelText('X', "QWC50A_C3");
    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrm->isVisible());
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key);
        const Qt::KeyboardModifiers modifiers =
            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        frmPrm->activateWindow();
        ASSERT_TRUE(BecomesActive(frmPrm));
        frmPrm->btnReadPrm->setFocus();
        TakeSentLines();
        Press(key, modifiers);
        ASSERT_TRUE(frmCommCancel->isVisible());
        ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() > 5; }));
        ASSERT_TRUE(BecomesActive(frmCommCancel));
        ASSERT_EQ(QApplication::focusWidget(), frmCommCancel->btnCancel);
        if (key == Qt::Key_Return) { // "OK" at the end
            ASSERT_TRUE(ReadFinished());
            Press(key, modifiers);
            EXPECT_FALSE(frmCommCancel->isVisible());
        } else { // "キャンセル" on the way
            Press(key, modifiers);
            EXPECT_FALSE(frmCommCancel->isVisible());
            EXPECT_EQ(frmPrm->Busy, 0);
            EXPECT_NE(frmCommCancel->Label1->text(), "アップロード完了");
        }
    }
}

// A fast transfer steps many times between two repaints: the bar shows the first step at once,
// then the latest step a moment later, and the end shows the last step, without a repaint for
// every new percent.
// The stacking order of the top-level windows as an X server without a window manager keeps it:
// a window goes on top when it is first shown and whenever it is raised, and keeps its place
// while it is hidden and when it is shown again.
class WindowStack : public QObject {
public:
    WindowStack() { qApp->installEventFilter(this); }
    ~WindowStack() override { qApp->removeEventFilter(this); }
    bool Above(const QWidget* upper, const QWidget* lower) const {
        const qsizetype u = order_.indexOf(upper), l = order_.indexOf(lower);
        return u >= 0 && l >= 0 && u > l;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(watched);
        if (!window || !window->isWindow()) return false;
        const bool firstShown = event->type() == QEvent::Show && !order_.contains(window);
        if (firstShown || event->type() == QEvent::ZOrderChange) {
            order_.removeAll(window);
            order_.append(window);
        }
        return false;
    }

private:
    QList<const QWidget*> order_;
};

// The largest area that one paint of a window's widgets covered while it watched.
class LargestPaint : public QObject {
public:
    explicit LargestPaint(const QWidget* window) : window_(window) {
        qApp->installEventFilter(this);
    }
    ~LargestPaint() override { qApp->removeEventFilter(this); }
    int area = 0;
    QString what;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Paint || !widget || widget->window() != window_) return false;
        const QRect painted = static_cast<QPaintEvent*>(event)->region().boundingRect();
        if (painted.width() * painted.height() > area) {
            area = painted.width() * painted.height();
            what = QString("%1 %2x%3")
                       .arg(widget->metaObject()->className())
                       .arg(painted.width())
                       .arg(painted.height());
        }
        return false;
    }

private:
    const QWidget* window_;
};

// Shown twice in a row over the lock window, the progress window stands above it and takes the
// keys both times, so the Return meant for its OK presses OK and starts no new read. A window
// manager keeps it above its client, which it is transient for. Handing the keys back to the grid
// repaints no more of the lock window than the grid's current cell.
TEST_F(ServiceWindowsTest, TheProgressWindowStandsAboveItsClientEveryTimeItShows) {
    ChooseSeries(3);
    driver->setModelText('X', "QWD50A");
    const WindowStack stack;
    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrmLock->isVisible());
    ASSERT_TRUE(BecomesActive(frmPrmLock));
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        frmPrmLock->btnReadPrm->setFocus();
        Press(Qt::Key_Return);
        ASSERT_TRUE(frmCommCancel->isVisible());
        EXPECT_TRUE(stack.Above(frmCommCancel, frmPrmLock));
        EXPECT_EQ(frmCommCancel->windowHandle()->transientParent(), frmPrmLock->windowHandle());
        ASSERT_TRUE(ReadFinished());
        ASSERT_TRUE(BecomesActive(frmCommCancel));
        ASSERT_EQ(QApplication::focusWidget(), frmCommCancel->btnCancel);
        Pause(100);
        TakeSentLines();
        const LargestPaint paints(frmPrmLock);
        Press(Qt::Key_Return);
        EXPECT_FALSE(frmCommCancel->isVisible());
        ASSERT_TRUE(BecomesActive(frmPrmLock));
        EXPECT_EQ(QApplication::focusWidget(), frmPrmLock->grdPrm);
        Pause(100);
        EXPECT_TRUE(TakeSentLines().isEmpty()); // no new read
        const QRect cell =
            frmPrmLock->grdPrm->visualRect(frmPrmLock->grdPrm->currentIndex()).adjusted(0, 0, 1, 1);
        EXPECT_LE(paints.area, cell.width() * cell.height()) << paints.what.toStdString();
    }
}

TEST_F(ServiceWindowsTest, ProgressBarFollowsFastStepsWithoutARepaintForEach) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    frmCommCancel->StartTransfer();
    Pause(50);
    frmCommCancel->ProgressBar1->installEventFilter(&counter);
    frmCommCancel->StepTo(1, 100);
    EXPECT_EQ(frmCommCancel->ProgressBar1->value(), 1);
    for (int done = 2; done <= 60; ++done) {
        frmCommCancel->StepTo(done, 100);
        QApplication::processEvents();
    }
    EXPECT_LE(counter.paints, 3);
    EXPECT_TRUE(WaitFor([] { return frmCommCancel->ProgressBar1->value() == 60; }, 10000));
    // A step that leaves the bar as it is holds nothing back: no timer is left to wake the
    // program, however often the transfer reports the same percent.
    EXPECT_TRUE(WaitFor([] { return ActiveTimers(frmCommCancel) == 0; }, 10000));
    for (int repeat = 0; repeat < 5; ++repeat)
        frmCommCancel->StepTo(60, 100);
    EXPECT_EQ(ActiveTimers(frmCommCancel), 0);
    EXPECT_EQ(frmCommCancel->ProgressBar1->value(), 60);
    frmCommCancel->StepTo(99, 100);
    frmCommCancel->FinishTransfer(TfrmCommCancel::Direction::Upload);
    EXPECT_EQ(frmCommCancel->ProgressBar1->value(), 99);
    frmCommCancel->ProgressBar1->removeEventFilter(&counter);
    frmCommCancel->btnCancel->click();
}

TEST_F(ServiceWindowsTest, PrintCarrierAddsTheFooterUnderThePicture) {
    QImage picture(400, 120, QImage::Format_RGB32);
    picture.fill(Qt::white);
    TfrmPrint carrier(nullptr);
    SetPrintImage(&carrier, picture, "KasoNT LOG");
    const QImage& page = carrier.PrintImage;
    EXPECT_EQ(page.width(), 400);
    const int footer = page.height() - 120;
    EXPECT_GT(footer, 10);
    EXPECT_LT(footer, 40);
    EXPECT_EQ(mdlGeneral->PrintDialog1->Printer().docName(), "KasoNT LOG");
    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(page.pixelColor(2, 121), face); // the strip's left end: no text there
    auto darkInRect = [&](int x0, int x1) {
        for (int y = 120; y < page.height(); ++y)
            for (int x = x0; x < x1; ++x)
                if (page.pixelColor(x, y).lightness() < 100) return true;
        return false;
    };
    EXPECT_TRUE(darkInRect(300, 400)); // the footer sits at the bottom right
    EXPECT_FALSE(darkInRect(0, 100));
    EXPECT_EQ(page.pixelColor(5, 5), QColor(Qt::white));

    // A picture narrower than the footer still gets it, cut off at the left.
    SetPrintImage(&carrier, picture.copy(0, 0, 30, 20), "KasoNT FRA");
    EXPECT_EQ(carrier.PrintImage.width(), 30);
    EXPECT_GT(carrier.PrintImage.height(), 20);
}

TEST_F(ServiceWindowsTest, ScreensPrintToPdfAndReportPrinterErrors) {
    const QString pdf = configDir.path() + "/print.pdf";
    ui::SetPrintDialogResponder([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    frmMain->resize(462, 173);
    PrintScreenRegion(frmMain, QRect(0, 0, 200, 100), "KasoNT LOG");
    EXPECT_TRUE(messages.empty());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));
    EXPECT_GT(file.size(), 500);

    ui::SetPrintDialogResponder([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(configDir.path() + "/no/such/folder/print.pdf");
        return true;
    });
    PrintScreenRegion(frmMain, QRect(0, 0, 200, 100), "KasoNT LOG");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "印刷エラーが発生しました。");
    EXPECT_EQ(messages[0].caption, "エラー");

    // A cancelled dialog prints nothing and says nothing.
    ui::SetPrintDialogResponder([](QPrinter&) { return false; });
    PrintScreenRegion(frmMain, QRect(0, 0, 200, 100), "KasoNT LOG");
    EXPECT_EQ(messages.size(), 1u);
}

// The words of a printout to PDF with their boxes on the page, as pdftotext reads them.
QStringList PrintedWords(const QString& pdf) {
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-bbox", pdf, "-"});
    if (!pdftotext.waitForFinished(10000)) return {"pdftotext (poppler-utils) is needed"};
    QStringList words;
    for (const QString& line : QString::fromUtf8(pdftotext.readAllStandardOutput()).split('\n'))
        if (line.contains("<page") || line.contains("<word")) words.append(line.trimmed());
    return words;
}

// A print of the logging window's picture, then one of the analysis window's, leave the text
// printouts of the data table, the parameter list, the alarm history and the editor as they were.
TEST_F(ServiceWindowsTest, TextPrintoutsStayTheSameAfterAPicturePrint) {
    StopProgram();
    StartOnSeries(2, "QWC50A_C3");
    QString printFile;
    ui::SetPrintDialogResponder([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printFile);
        return true;
    });
    frmMain->btnPopupDataTable->trigger();
    for (int row = 1; row <= 384; row += 7)
        frmDataTable->grdDataTable->SetCell(1, row, QString::number(row * 11));
    frmMain->btnPopupAlarmList->trigger();
    for (int row = 1; row <= 100; row += 3) {
        frmAlarmList->grdAlarmList->SetCell(1, row, QString::number(row));
        frmAlarmList->grdAlarmList->SetCell(2, row, QString::number(row * 1000));
    }
    frmMain->btnPopupPrm->trigger();
    TPrmWindow* list = frmPrm->isVisible() ? static_cast<TPrmWindow*>(frmPrm) : frmPrmLock;
    for (int row = 1; row < list->grdPrm->RowCount(); row += 2)
        list->grdPrm->SetCell(1, row, QString::number(-row));
    frmMain->btnEdit->click();
    Type(frmEdit->memMain2, "SQ1\rX=(1)\r\tY=[2] 'step\r/SQ");

    // Each text printout to a file of its own; what they show, in a list.
    const auto printTexts = [&](const QString& round) {
        QStringList printed;
        // Each window opened from the main window, then its print.
        const std::tuple<QString, QAction*, QAbstractButton*> prints[] = {
            {"table", frmMain->btnPopupDataTable, frmDataTable->btnSave},
            {"alarms", frmMain->btnPopupAlarmList, frmAlarmList->btnSave},
            {"parameters", frmMain->btnPopupPrm, list->btnSave}};
        for (const auto& [name, open, print] : prints) {
            printFile = Path(round + "-" + name + ".pdf");
            open->trigger();
            print->click();
            printed += PrintedWords(printFile);
        }
        printFile = Path(round + "-program.pdf");
        frmMain->btnEdit->click();
        frmEdit->FilePrintItem->trigger();
        printed += PrintedWords(printFile);
        return printed;
    };
    const QStringList before = printTexts("before");
    const QString shown = before.join('\n');
    for (const char* word : {">#DTPT[378]<", ">ALHPT<", ">KASO2<", ">Y=[2]<", ">/SQ<"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(word))) << word;

    frmMain->btnPopupLogging->trigger();
    ASSERT_TRUE(frmLogging_QWC->isVisible());
    printFile = Path("logging.pdf");
    frmLogging_QWC->btnPrint->click();
    EXPECT_EQ(printTexts("after-logging"), before);

    frmMain->btnPopupFRA->trigger();
    ASSERT_TRUE(frmFRA->isVisible());
    printFile = Path("analysis.pdf");
    frmFRA->btPrint->click();
    EXPECT_EQ(printTexts("after-analysis"), before);
    EXPECT_TRUE(messages.empty());
}

// The texts of the buttons of the next modal window that comes up, once it is there; the
// window is then closed without a choice (a message box: by its last button).
std::shared_ptr<QStringList> ButtonsOfNextModal() {
    auto buttons = std::make_shared<QStringList>();
    auto* watch = new QTimer;
    QObject::connect(watch, &QTimer::timeout, [=] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || !window->isVisible()) return;
        watch->stop();
        watch->deleteLater();
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
            if (button->isVisible() && !button->text().isEmpty()) buttons->append(button->text());
        if (auto* box = qobject_cast<QMessageBox*>(window))
            box->buttons().constLast()->click();
        else
            window->close();
    });
    watch->start(10);
    return buttons;
}

bool AnyHolds(const QStringList& texts, const QString& text) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const QString& shown) { return shown.contains(text); });
}

// Qt's own texts come in Japanese, as the program's do: the standard buttons of the question
// asked when the main window closes over an unsaved program, of a warning and of a file dialog.
TEST_F(ServiceWindowsTest, BoxesAndDialogsShowTheirStandardButtonsInJapanese) {
    ui::SetMessageResponder({});
    frmMain->show();
    frmMain->btnEdit->click();
    Type(frmEdit->memMain2, "A");
    std::shared_ptr<QStringList> buttons = ButtonsOfNextModal();
    EXPECT_FALSE(frmMain->close()); // the last button: No
    EXPECT_TRUE(AnyHolds(*buttons, "はい")) << buttons->join(", ").toStdString();
    EXPECT_TRUE(AnyHolds(*buttons, "いいえ")) << buttons->join(", ").toStdString();
    EXPECT_FALSE(AnyHolds(*buttons, "Yes") || AnyHolds(*buttons, "No"));

    buttons = ButtonsOfNextModal();
    ui::ShowWarning("ファイル名を変更して保存してください。", "警告");
    EXPECT_EQ(*buttons, QStringList{"OK"});

    buttons = ButtonsOfNextModal();
    frmEdit->FileOpenItem->trigger();
    EXPECT_TRUE(AnyHolds(*buttons, "キャンセル")) << buttons->join(", ").toStdString();
    EXPECT_FALSE(AnyHolds(*buttons, "Cancel")) << buttons->join(", ").toStdString();
}

TEST_F(ServiceWindowsTest, VersionBoxesShowTheirTextsAndTheWholeMemory) {
    EXPECT_EQ(FormatKilobytes(536346624ull), "523,776 KB");
    EXPECT_EQ(FormatKilobytes(0), " KB");
    EXPECT_EQ(FormatKilobytes(64ull << 30), "67,108,864 KB"); // beyond 4 GB: not capped

    QString versionText, memoryText;
    ui::SetModalResponder([&](ui::Form& form) {
        auto& box = dynamic_cast<TfrmVersion&>(form);
        versionText = box.Label1->text();
        memoryText = box.PhysMem->text();
        box.OKButton->click();
        return box.ModalResultValue();
    });
    frmMain->btnPopupHelp->trigger();
    EXPECT_EQ(versionText, "KasoNT Version 2.3F");
    EXPECT_TRUE(memoryText.endsWith(" KB"));
    EXPECT_GT(memoryText.size(), 4);

    // On screen, Escape and Return both press "OK".
    ui::SetModalResponder({});
    for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
        const auto result = KeysToNextModal({key});
        frmMain->btnPopupHelp->trigger();
        EXPECT_EQ(*result, ui::mrCancel) << key;
    }

    QString aboutText;
    ui::SetModalResponder([&](ui::Form& form) {
        aboutText = dynamic_cast<TfrmHelpabout&>(form).Label1->text();
        return ui::mrCancel;
    });
    frmSetup->cmbModelType->SetItemIndex(-1);
    frmEdit->HelpAboutItem->trigger();
    EXPECT_EQ(aboutText, "KAS/2解析ﾌﾟﾛｸﾞﾗﾑ Ana1109 ('08/11/05)");
    frmSetup->cmbModelType->SetItemIndex(0);
    frmEdit->HelpAboutItem->trigger();
    EXPECT_EQ(aboutText, "Mailbox Compiler Ver 2.29 ('06/07/26)");
}

} // namespace
