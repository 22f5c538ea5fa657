// The run of every logging window off the main road: STOP whatever the boxes hold, a refused
// Rolling restart, a lost port, a closed port, a silent driver during the read-back, text pasted
// into the boxes, and windows that close or go while a box holds an edit.
#include "LoggingTestSupport.h"

#include "link/UnitGeneral.h"
#include "logging/UnitLogging.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPaintEvent>
#include <QTest>
#include <algorithm>

namespace {

const QColor kRed(255, 0, 0);
const QString kLost = "Commポートとの接続が切れました。";

class LoggingRunTest : public LoggingTest {
protected:
    TFourChannelLogging* OpenFourChannel(int series, const QByteArray& model) {
        StartOnSeries(series, model);
        Launch();
        TFourChannelLogging* window = series == 1
                                          ? static_cast<TFourChannelLogging*>(frmLogging_QWB)
                                          : static_cast<TFourChannelLogging*>(frmLogging_QWC);
        EXPECT_TRUE(window->isVisible());
        TakeSentLines();
        return window;
    }
    void OpenFirstSeries() {
        StartOnSeries(0, "QWA-D56");
        Launch();
        ASSERT_TRUE(frmLogging->isVisible());
        TakeSentLines();
    }
    // The window is idle as the user expects it after a run: caption RUN, terminal editable,
    // view controls enabled, no timer running.
    static void ExpectIdle(TLoggingWindow* window, logging::TrackBar* trkT) {
        EXPECT_EQ(window->btnRun->text(), "RUN");
        EXPECT_FALSE(frmMain->edtSend->isReadOnly());
        EXPECT_TRUE(trkT->isEnabled());
        EXPECT_FALSE(window->TimerProgress->isActive());
        for (const TRequestId readBack : {ridLogging, ridLogging_QWB, ridLogging_QWC})
            EXPECT_FALSE(mdlGeneral->QuestionPending(readBack)) << readBack;
        EXPECT_FALSE(window->SuppressRedraw);
    }
    int CountMessages(const QString& start) const {
        int count = 0;
        for (const ui::MessageRecord& message : messages)
            if (message.text.startsWith(start)) ++count;
        return count;
    }
    // Makes the driver fall silent (or hang up) when it receives the first line that starts so.
    void OnFirstLine(const QByteArray& start, std::function<void()> action) {
        auto done = std::make_shared<bool>(false);
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                         [start, action, done](const QByteArray& line) {
                             if (*done || !line.startsWith(start)) return;
                             *done = true;
                             action();
                         });
    }
    static void Paste(QLineEdit* edit, const QString& text) {
        QApplication::clipboard()->setText(text);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    }
};

TEST_F(LoggingRunTest, StopEndsARecordingWhateverTheBoxesHold) {
    TFourChannelLogging* w = OpenFourChannel(2, "QWC50A_C3");
    w->btnRun->click();
    ASSERT_EQ(w->btnRun->text(), "STOP");
    w->cmbLogTime->SetItemIndex(-1); // an empty period and no variable: RUN would refuse
    for (ui::ComboBox* box : w->ChannelLists())
        box->setEditText("");
    w->btnRun->click();
    EXPECT_TRUE(messages.empty());
    ExpectIdle(w, w->trkT);
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().count("LC") == 2; }));
    const QList<QByteArray> lines = TakeLinesAfterPause();
    EXPECT_EQ(lines.mid(lines.size() - 2), (QList<QByteArray>{"LC", "VER"}));

    // The first series: an address box that no longer holds four hexadecimal digits.
    StopProgram();
    OpenFirstSeries();
    frmLogging->btnRun->click();
    ASSERT_EQ(frmLogging->btnRun->text(), "STOP");
    frmLogging->cmbLogVal1->setEditText("12");
    frmLogging->btnRun->click();
    ExpectIdle(frmLogging, frmLogging->trkT);
    Pause(200);
    EXPECT_FALSE(TakeSentLines().contains("#$D000"));
}

TEST_F(LoggingRunTest, StopDuringTheWaitAndDuringTheReadBack) {
    for (const auto& [series, model] : {std::pair{2, QByteArray("QWC50A_C3")}, {1, "QWB20"}}) {
        TFourChannelLogging* w = OpenFourChannel(series, model);
        w->trkT->setValue(1);
        w->btnRun->click();
        Pause(50);
        w->btnRun->click(); // during the wait
        ExpectIdle(w, w->trkT);
        Pause(300);
        EXPECT_FALSE(TakeSentLines().join(' ').contains("#%"));

        w->btnRun->click();
        ASSERT_TRUE(WaitFor([&] { return driver->receivedLines().size() > 20; }, 10000));
        TakeSentLines();
        w->btnRun->click(); // during the read-back
        ExpectIdle(w, w->trkT);
        EXPECT_FALSE(w->DataValid);
        ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("LC"); }));
        // The last request in flight, then LC and its settling line.
        const QList<QByteArray> lines = TakeLinesAfterPause();
        EXPECT_EQ(lines.mid(lines.size() - 2), (QList<QByteArray>{"LC", "VER"}));
        EXPECT_LE(lines.size(), 3);
        EXPECT_TRUE(TakeLinesAfterPause().isEmpty());
        StopProgram();
    }
}

TEST_F(LoggingRunTest, RefusedRollingRestartLeavesTheWindowIdleWithItsTraces) {
    TFourChannelLogging* w = OpenFourChannel(2, "QWC50A_C3");
    Axis().logging().waveform = [](int, int) { return 25000; };
    Choose(w->cmbLogMode, 1);
    w->trkT->setValue(1);
    w->btnRun->click();
    w->cmbLogTime->SetItemIndex(-1); // refused when the restart checks it
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }, 10000));
    EXPECT_EQ(messages[0].text, "ﾃﾞｰﾀ取込周期を指定してください。\n");
    ExpectIdle(w, w->trkT);
    EXPECT_TRUE(frmLogging_QWC->btnCursor->isEnabled());
    EXPECT_TRUE(w->trkY->isEnabled());
    EXPECT_EQ(Axis().logging().starts, 1);
    // The repaint shows the last read-back: CH1 at half its full scale.
    ASSERT_TRUE(WaitFor([&] { return w->Canvas().Image().pixelColor(300, 110) == kRed; }));
}

TEST_F(LoggingRunTest, LostPortEndsTheRunOrTheReadBackWithOneMessage) {
    // During the wait of a four-channel window.
    TFourChannelLogging* w = OpenFourChannel(2, "QWC50A_C3");
    w->btnRun->click();
    Pause(50);
    driver->hangUp();
    ASSERT_TRUE(WaitFor([&] { return w->btnRun->text() == "RUN"; }, 10000));
    ExpectIdle(w, w->trkT);
    Pause(400);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(CountMessages(kLost), 1);
    // STOP and RUN with the port closed: RUN tells the failure, nothing stays locked.
    w->btnRun->click();
    ExpectIdle(w, w->trkT);
    StopProgram();

    // During the read-back of the first series' window.
    messages.clear();
    driver = std::make_unique<sim::SimulatedDriver>(driverConfig);
    qputenv("KASONT_COMM1", driver->slavePath().toLocal8Bit());
    OpenFirstSeries();
    frmLogging->trkT->setValue(1);
    OnFirstLine(",?", [this] { driver->hangUp(); });
    frmLogging->btnRun->click();
    ASSERT_TRUE(WaitFor([] { return frmLogging->btnRun->text() == "RUN"; }, 10000));
    ExpectIdle(frmLogging, frmLogging->trkT);
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    Pause(1500); // past the reply time-out: nothing more is said
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(CountMessages(kLost), 1);
}

// A set-up line that the driver refuses, at once or late, ends the run at the read-back's first
// answer: the buffer does not hold what the window names, so nothing of it is stored or drawn.
TEST_F(LoggingRunTest, ARefusedSetUpLineEndsTheRunToldAndStoresNothing) {
    TFourChannelLogging* w = OpenFourChannel(2, "QWC50A_C3");
    driver->refuse("LOG2N=PACT");
    Choose(w->cmbLogMode, 1); // Rolling: no restart either
    w->trkT->setValue(1);
    w->LogData[0][0] = 77;
    w->btnRun->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }, 10000));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバがロギングの設定を受け付けませんでした: LOG2N=PACT (E-S)\n"
                                "記録を読み出さずに終了しました。");
    EXPECT_EQ(messages[0].caption, "警告");
    ExpectIdle(w, w->trkT);
    EXPECT_FALSE(w->DataValid);
    EXPECT_EQ(w->LogData[0][0], 77);
    const QList<QByteArray> lines = TakeLinesAfterPause();
    EXPECT_EQ(lines.back(), "#%0010C000") << lines.join(' ').constData();
    EXPECT_EQ(Axis().logging().starts, 1);
    StopProgram();

    // The first series' start line, refused 300 ms late, after the read-back has begun.
    messages.clear();
    OpenFirstSeries();
    driver->refuse("L", 300);
    frmLogging->trkT->setValue(1);
    frmLogging->LogData[0] = 77;
    frmLogging->btnRun->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }, 10000));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(
        messages[0].text.startsWith("ドライバがロギングの設定を受け付けませんでした: L (E-S)"))
        << messages[0].text.toStdString();
    ExpectIdle(frmLogging, frmLogging->trkT);
    EXPECT_FALSE(frmLogging->DataValid);
    EXPECT_EQ(frmLogging->LogData[0], 77);
    EXPECT_EQ(TakeLinesAfterPause().back(), "#$D000");
}

TEST_F(LoggingRunTest, StopWorksWithTheLineClosed) {
    TFourChannelLogging* w = OpenFourChannel(1, "QWB20");
    w->btnRun->click();
    ASSERT_EQ(w->btnRun->text(), "STOP");
    mdlGeneral->PortForTests().Close();
    w->btnRun->click();
    ExpectIdle(w, w->trkT);
    EXPECT_TRUE(messages.empty());
}

// The read-back has no reply time-out: a late answer is its answer, and STOP ends the wait.
TEST_F(LoggingRunTest, ALateReadBackAnswerIsItsAnswerAndStopEndsTheWait) {
    TFourChannelLogging* w = OpenFourChannel(2, "QWC50A_C3");
    Choose(w->cmbLogTime, 2); // a full read-back of 3997 values after one second
    // Value 2000 (channel 4 of sample 499) at 0010C000 + 1999 x 2 comes 2.5 s late.
    OnFirstLine("#%0010CF9E", [this] { driver->answerLateOnce("#%0010CF9E", 2500); });
    w->btnRun->click();
    ASSERT_TRUE(WaitFor([&] { return w->btnRun->text() == "RUN"; }, 30000));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(w->DataValid);
    EXPECT_EQ(driver->receivedLines().back(), "#%0010DF38"); // the last of the 3997 values
    EXPECT_EQ(w->LogData[3][499], sim::DriverAxis::defaultLoggedSample(3, 499));
    EXPECT_EQ(w->LogData[0][999], sim::DriverAxis::defaultLoggedSample(0, 999));

    // A silent driver leaves the window waiting, without a word, until STOP.
    OnFirstLine("#%0010C008", [this] { driver->setFault(sim::Fault::Silent); });
    w->trkT->setValue(1);
    w->btnRun->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().endsWith("#%0010C008"); }, 10000));
    Pause(2000);
    EXPECT_EQ(w->btnRun->text(), "STOP");
    EXPECT_TRUE(messages.empty());
    w->btnRun->click();
    ExpectIdle(w, w->trkT);
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    // Closing the window ends such a wait too: hidden, it would hold the line for every screen.
    driver->setFault(sim::Fault::None);
    OnFirstLine("#%0010C004", [this] { driver->setFault(sim::Fault::Silent); });
    w->btnRun->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().endsWith("#%0010C004"); }, 10000));
    w->btnLoggingClose->click();
    ExpectIdle(w, w->trkT);
    EXPECT_TRUE(messages.empty());
    driver->setFault(sim::Fault::None);
    StopProgram();

    // The first series: its 1000th request answered 2.5 s late.
    OpenFirstSeries();
    Axis().logging().waveform = [](int, int) { return 25000; };
    Choose(frmLogging->cmbLogVal1, 10); // VELACT, 16 bits
    frmLogging->trkT->setValue(10);     // 2000 words
    int requests = 0;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [&](const QByteArray& line) {
                         if (line == ",?" && ++requests == 1000) driver->answerLateOnce(",?", 2500);
                     });
    frmLogging->btnRun->click();
    ASSERT_TRUE(WaitFor([] { return frmLogging->btnRun->text() == "RUN"; }, 30000));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(frmLogging->LogSampleIndex, 2000);
    EXPECT_EQ(frmLogging->LogData[999], 25000);
    EXPECT_EQ(frmLogging->LogData[1999], 25000);
}

// A paste that holds a line break or a tab is refused as it is pasted, naming the character and
// the box: the box keeps its name, nothing of the paste is sent, and no two pasted names become
// one ("PA<TAB>CT" is no "PACT"). A box that holds such text by another road (set by code) is
// refused when it would be sent, never sent stripped.
TEST_F(LoggingRunTest, PastedLineBreaksAreRefusedAndNeverMakeASecondCommand) {
    TFourChannelLogging* w = OpenFourChannel(2, "QWC50A_C3");
    const int parameter5 = driver->parameter('X', 5);
    const std::pair<QString, QString> pastes[] = {{"x\r#5=1", "U+000D"}, {"PA\tCT", "U+0009"}};
    for (int c = 0; c < 4; ++c) {
        ui::ComboBox* box = w->ChannelLists()[static_cast<size_t>(c)];
        const QString kept = box->currentText();
        for (const auto& [pasted, named] : pastes) {
            messages.clear();
            Paste(box->lineEdit(), pasted);
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].text,
                      QString("CH%1の変数名 に送信できない文字「%2」があります。\n"
                              "入力内容を確認してください。")
                          .arg(c + 1)
                          .arg(named));
            EXPECT_EQ(box->currentText(), kept);
        }
    }
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());
    Choose(w->cmbLogVal2, 33);
    w->cmbLogVal2->setEditText("abc\n#5=2");
    w->cmbLogVal2->lineEdit()->setFocus();
    messages.clear();
    QTest::keyClick(w->cmbLogVal2->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "CH2の変数名 に送信できない文字「U+000A」があります。\n入力内容を確認してください。");
    w->cmbLogVal2->setEditText("PACT");
    w->cmbLogVal3->setEditText("pact\r#5=3");
    messages.clear();
    w->btnRun->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "CH3の変数名 に送信できない文字「U+000D」があります。\n入力内容を確認してください。");
    EXPECT_EQ(w->cmbLogVal3->currentText(), "PACT\r#5=3");
    EXPECT_EQ(w->btnRun->text(), "RUN");
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());
    EXPECT_EQ(driver->parameter('X', 5), parameter5);
    StopProgram();

    // The second series' boxes.
    w = OpenFourChannel(1, "QWB20");
    messages.clear();
    for (ui::ComboBox* box : w->ChannelLists())
        Paste(box->lineEdit(), "PA\tCT");
    EXPECT_EQ(messages.size(), 4u);
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());
    StopProgram();

    // The first series' address box: the paste is refused, and RUN sends the variable it kept.
    OpenFirstSeries();
    const QString kept = frmLogging->cmbLogVal1->currentText();
    messages.clear();
    Paste(frmLogging->cmbLogVal1->lineEdit(), "00ab\r#5=4");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "CH1の変数名 に送信できない文字「U+000D」があります。\n入力内容を確認してください。");
    EXPECT_EQ(frmLogging->cmbLogVal1->currentText(), kept);
    frmLogging->btnRun->click();
    frmLogging->btnRun->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().count("LC") == 2; }));
    const QList<QByteArray> lines = TakeLinesAfterPause();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const QByteArray& line) { return line.startsWith("#&DFFE="); }),
              1)
        << lines.join(' ').constData();
    for (const QByteArray& line : lines)
        EXPECT_FALSE(line.contains("00AB") || line.startsWith("#5")) << line.constData();
    EXPECT_EQ(driver->parameter('X', 5), parameter5);
}

TEST_F(LoggingRunTest, BoxesShowWhatWasSentInUpperCase) {
    TFourChannelLogging* w = OpenFourChannel(2, "QWC50A_C3");
    QApplication::setActiveWindow(w);
    w->cmbLogVal1->lineEdit()->setFocus();
    w->cmbLogVal1->lineEdit()->clear();
    QTest::keyClicks(w->cmbLogVal1->lineEdit(), "PA"); // no inline completion to "PACT"
    EXPECT_EQ(w->cmbLogVal1->currentText(), "PA");
    EXPECT_EQ(TakeLines(4), (QList<QByteArray>{"LOG1N=P", "VER", "LOG1N=PA", "VER"}));
    Paste(w->cmbLogVal1->lineEdit(), "vact");
    EXPECT_EQ(w->cmbLogVal1->currentText(), "VACT");
    EXPECT_EQ(w->cmbLogVal1->ItemIndex(), 3);
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"LOG1N=VACT", "VER"}));
}

TEST_F(LoggingRunTest, ClosingOrDestroyingRunsNoSetUpHandler) {
    TFourChannelLogging* w = OpenFourChannel(2, "QWC50A_C3");
    QApplication::setActiveWindow(w);
    // A name that differs from an item only in case, as a driver's reply can leave it.
    w->cmbLogVal2->setEditText("vact");
    w->cmbLogVal2->lineEdit()->setFocus();
    w->btnLoggingClose->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());

    Launch();
    ASSERT_TRUE(w->isVisible());
    TakeSentLines();
    QApplication::setActiveWindow(w);
    w->cmbLogVal1->lineEdit()->setFocus();
    w->cmbLogVal1->setEditText("pa");
    QTest::keyClicks(w->cmbLogVal1->lineEdit(), "C");
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"LOG1N=PAC", "VER"}));
    StopProgram(); // destroys the windows with the box in focus
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(LoggingRunTest, LiveDrawingRepaintsOnlyThePlot) {
    TFourChannelLogging* w = OpenFourChannel(2, "QWC50A_C3");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++paints;
            return false;
        }
    } outside, screen;
    w->btnPrint->installEventFilter(&outside);
    w->Screen->installEventFilter(&screen);
    // What the Screen paints while the read-back runs (the end of the run repaints the controls
    // it enables, and the canvas under them).
    QRect painted;
    struct RegionRecorder : QObject {
        QRect* united;
        QPushButton* run;
        RegionRecorder(QRect* r, QPushButton* b) : united(r), run(b) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && run->text() == "STOP")
                *united |= static_cast<QPaintEvent*>(event)->rect();
            return false;
        }
    } recorder(&painted, w->btnRun);
    w->Timer1->SetEnabled(false); // the clock's labels lie over the window's canvas too
    Choose(w->cmbLogTime, 2);     // "1" ms: a full read-back of 3997 values after one second
    w->btnRun->click();
    // Wait for the read-back to begin, after the run's one full repaint.
    ASSERT_TRUE(WaitFor([&] { return mdlGeneral->QuestionPending(ridLogging_QWC); }, 10000));
    Pause(20);
    outside.paints = 0;
    w->Screen->installEventFilter(&recorder);
    ASSERT_TRUE(WaitFor([&] { return w->btnRun->text() == "RUN"; }, 60000));
    Pause(100);
    EXPECT_EQ(outside.paints, 0);
    EXPECT_GT(screen.paints, 0);
    EXPECT_FALSE(painted.isEmpty());
    EXPECT_TRUE(QRect(w->PlotLeft - 1, w->PlotTop - 1, w->PlotWidth + 3, w->PlotHeight + 3)
                    .contains(painted))
        << painted.x() << "," << painted.y() << " " << painted.width() << "x" << painted.height();
}

} // namespace
