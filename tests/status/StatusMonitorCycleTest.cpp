// The running monitor: the watchdog's restart, the hand-over of a typed terminal line and of a
// rate change, the user's own variable, the stop on hide, and a dead line.
#include "StatusMonitorFixture.h"

#include "shell/UnitSetup.h"

#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace {

// Starts the third series' monitor and lets it poll a full cycle.
class RunningMonitorTest : public StatusMonitorTest {
protected:
    void SetUp() override {
        StatusMonitorTest::SetUp();
        Start(2);
        monitor = LaunchSettled();
        ASSERT_TRUE(WaitForLine("#STAT", 3));
    }
    TStatusMonitor* monitor = nullptr;
};

TEST_F(RunningMonitorTest, WatchdogRestartsTheCycleAfterASilentStep) {
    Reply("$LOAD", std::nullopt);
    TakeSentLines();
    ASSERT_TRUE(WaitForLine("$LOAD"));
    QElapsedTimer clock;
    clock.start();
    // The watchdog gives up after a reply time; the line is brought back in step by the model
    // query before the cycle starts again.
    ASSERT_TRUE(WaitForLine("#STAT", driver->receivedLines().count("#STAT") + 1));
    EXPECT_GE(clock.elapsed(), 1000);
    EXPECT_LT(clock.elapsed(), 2900);
    const QList<QByteArray> lines = LinesFrom("$LOAD");
    ASSERT_GE(lines.size(), 3);
    // The steps after the silent one are never polled.
    EXPECT_EQ(lines.mid(1, 2), (QList<QByteArray>{"VER", "#STAT"}));
    EXPECT_FALSE(driver->receivedLines().contains("M"));

    // A line typed while the cycle waits in vain is lost when the watchdog restarts it.
    ASSERT_TRUE(WaitForLine("$LOAD", 2));
    Type(frmMain->edtSend, "#3\r");
    EXPECT_EQ(monitor->PollStep, -1);
    ASSERT_TRUE(WaitForLine("#STAT", driver->receivedLines().count("#STAT") + 1, 5000));
    EXPECT_GE(monitor->PollStep, 0);
    Pause(50);
    EXPECT_FALSE(LinesFrom("$LOAD").contains("#3"));
}

// A poll answered after the watchdog gave up on it, even after the restart would have asked
// again, is no answer to the restarted cycle: every lamp and value shows its own step's reply.
TEST_F(RunningMonitorTest, ALateReplyIsNeverTakenForAnotherStepsWord) {
    const auto word = [](const std::array<QLabel*, 16>& lamps) {
        int bits = 0;
        for (size_t n = 0; n < lamps.size(); ++n)
            bits |= On(lamps[n]) ? 1 << n : 0;
        return bits;
    };
    Reply("#STAT", "1024");
    Reply("#ALST", "4");
    Reply("$QREF", "22");
    Reply("$LOAD", "33");
    Reply("M", "44");
    const auto shown = [&] {
        return QString("#STAT %1, #ALST %2, $QREF %3, $LOAD %4, M %5")
            .arg(word(monitor->lblStat))
            .arg(word(monitor->lblAlst))
            .arg(monitor->lblQref->text(), monitor->lblLoad->text(), monitor->lblMode->text());
    };
    const QString right = "#STAT 1024, #ALST 4, $QREF 22, $LOAD 33, M 44";
    ASSERT_TRUE(WaitFor([&] { return shown() == right; }));
    // The lamps and values as they stand whenever the monitor has sent its next poll.
    QObject context;
    QStringList wrong;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, &context, [&] {
        if (shown() != right) wrong << shown();
    });
    for (const int lateMs : {1600, 2500}) {
        SCOPED_TRACE(lateMs);
        driver->answerLateOnce("#ALST", lateMs);
        const qsizetype modesBefore = driver->receivedLines().count("M");
        ASSERT_TRUE(
            WaitFor([&] { return driver->receivedLines().count("M") >= modesBefore + 3; }, 9000));
        EXPECT_TRUE(wrong.isEmpty()) << wrong.join("; ").toStdString();
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(RunningMonitorTest, TypedLineGoesOutInPlaceOfTheNextPoll) {
    const QString rate = frmMain->Label5->text();
    TakeSentLines();
    Type(frmMain->edtSend, "VER\r");
    ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() == "QWC50A_C3"; }));
    EXPECT_EQ(monitor->PollStep, -1);
    EXPECT_EQ(frmStat->PollStep, -1);
    EXPECT_EQ(LinesFrom("VER").size(), 1); // nothing polled after it until the restart
    ASSERT_TRUE(WaitFor([this] { return LinesFrom("VER").size() > 1; }));
    EXPECT_EQ(LinesFrom("VER")[1], "#STAT");
    EXPECT_GE(monitor->PollStep, 0);

    // Lines that only look like rate changes are plain lines for the terminal.
    for (const char* plain : {"BH2X", "BH3"}) {
        ASSERT_TRUE(WaitFor([] { return mdlGeneral->LineHolder() == ridStat_QWC; }));
        frmMain->lblReceive->clear();
        frmMain->edtSend->setText(plain);
        Type(frmMain->edtSend, "\r");
        ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() == "E-S"; })) << plain;
    }
    EXPECT_EQ(frmMain->Label5->text(), rate);
}

TEST_F(RunningMonitorTest, TypedRateChangeSwitchesThePort) {
    const int baudIndex = frmSetup->cmbBaudrate->ItemIndex();
    Type(frmMain->edtSend, "BH 2\r");
    ASSERT_TRUE(WaitFor([] { return frmMain->Label5->text() == "38400"; }));
    EXPECT_TRUE(driver->receivedLines().contains("BH 2")); // sent with its blank
    EXPECT_EQ(mdlGeneral->PortForTests().BaudRate, 38400);
    EXPECT_EQ(driver->inputSpeed(), static_cast<speed_t>(B38400));
    EXPECT_EQ(frmSetup->cmbBaudrate->ItemIndex(), baudIndex);
    TakeSentLines();
    ASSERT_TRUE(WaitForLine("#STAT")); // polling resumes at the new rate
    EXPECT_TRUE(messages.empty());
}

TEST_F(RunningMonitorTest, FailedRateChangeShowsTheMonitorsOwnMessage) {
    qputenv("KASONT_COMM1", "/nonexistent/tty");
    Type(frmMain->edtSend, "BL\r");
    ASSERT_TRUE(WaitFor([this] { return messages.size() >= 2; }));
    EXPECT_EQ(messages[0].text,
              "ﾎﾞｰﾚｰﾄの変更ができませんでした。\n「設定」でﾎﾞｰﾚｰﾄを変更してください。");
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_EQ(messages[0].icon, ui::MsgIcon::Exclamation);
    EXPECT_FALSE(mdlGeneral->PortForTests().Opened()); // the port was tried once more
    // The user knows the port is closed: the watchdog's restarts add no box.
    Pause(2700);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_TRUE(monitor->Showing());
}

// The user reads the rate change's message while the watchdog goes on: the restart it makes
// over the closed port adds no box of its own on top; the rate change tells its own failure.
TEST_F(RunningMonitorTest, FailedRateChangeReadSlowlyStacksNoBoxOfTheMonitor) {
    auto texts = std::make_shared<QStringList>();
    auto depth = std::make_shared<int>(0);
    auto deepest = std::make_shared<int>(0);
    ui::SetMessageResponder([=](const ui::MessageRecord& record) {
        texts->append(record.text);
        *deepest = std::max(*deepest, ++*depth);
        Pause(1400);
        --*depth;
        return ui::MsgResult::Ok;
    });
    qputenv("KASONT_COMM1", "/nonexistent/tty");
    Type(frmMain->edtSend, "BL\r");
    ASSERT_TRUE(WaitFor([=] { return texts->size() >= 2 && *depth == 0; }, 10000));
    Pause(1300); // another restart of the cycle
    ASSERT_EQ(texts->size(), 2) << texts->join(" / ").toStdString();
    EXPECT_TRUE(texts->at(0).startsWith("ﾎﾞｰﾚｰﾄの変更ができませんでした。"));
    EXPECT_TRUE(texts->at(1).startsWith("Commポートがオープンできませんでした。"));
    EXPECT_EQ(*deepest, 1);
    EXPECT_TRUE(monitor->Showing());
}

// The user clicks into the right-hand variable box of the active monitor and types a name in
// lower case, then Return: the keys go wherever the focus is, as at a keyboard.
TEST_F(RunningMonitorTest, NameTypedAtTheKeyboardIsPolledAtItsStep) {
    Reply("MYVAR", "-2147483648");
    monitor->activateWindow();
    ASSERT_TRUE(WaitFor([this] { return monitor->isActiveWindow(); }));
    QTest::mouseClick(monitor->cmbAct1->lineEdit(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return monitor->cmbAct1->hasFocus(); }));
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(focused, "myvar");
    EXPECT_EQ(monitor->cmbAct1->currentText(), "MYVAR");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(monitor->CustomName1, "MYVAR");
    ASSERT_TRUE(WaitFor([this] { return monitor->lblVal1->text() == "-2147483648"; }));
    TakeSentLines();
    ASSERT_TRUE(WaitFor([this] { return LinesFrom("#STAT").size() >= 7; }));
    EXPECT_EQ(LinesFrom("#STAT")[5], "MYVAR");
    EXPECT_FALSE(driver->receivedLines().contains(""));
}

TEST_F(RunningMonitorTest, ANameWithACharacterThatCannotBeSentIsRefused) {
    Reply("MYVAR", "77");
    monitor->activateWindow();
    ASSERT_TRUE(WaitFor([this] { return monitor->isActiveWindow(); }));
    QTest::mouseClick(monitor->cmbAct0->lineEdit(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return monitor->cmbAct0->hasFocus(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    Type(QApplication::focusWidget(), "myvar\r");
    ASSERT_EQ(monitor->CustomName0, "MYVAR");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    Type(QApplication::focusWidget(), "my€\r");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "現在値(左) に送信できない文字「€」があります。\n入力内容を確認してください。");
    EXPECT_EQ(messages[0].caption, "入力エラー");
    EXPECT_EQ(monitor->cmbAct0->currentText(), "MY€");
    EXPECT_EQ(monitor->CustomName0, "MYVAR"); // the name entered before stays in use
    TakeSentLines();
    ASSERT_TRUE(WaitFor([this] { return LinesFrom("#STAT").size() >= 6; }));
    EXPECT_EQ(LinesFrom("#STAT")[4], "MYVAR");
    EXPECT_FALSE(driver->receivedBytes().contains('?'));
}

TEST_F(RunningMonitorTest, UsersOwnVariableIsPolledByItsName) {
    monitor->cmbAct0->SetItemIndex(49);
    TakeSentLines();
    // No name yet: CR alone, which the driver leaves unanswered until the restart.
    ASSERT_TRUE(WaitFor([this] { return LinesFrom("").size() >= 3; }));
    EXPECT_EQ(LinesFrom("").mid(0, 3), (QList<QByteArray>{"", "VER", "#STAT"}));

    Reply("MYVAR", "77");
    monitor->cmbAct0->lineEdit()->selectAll();
    Type(monitor->cmbAct0->lineEdit(), "myvar\r");
    EXPECT_EQ(monitor->CustomName0, "MYVAR");
    ASSERT_TRUE(WaitFor([this] { return monitor->lblVal0->text() == "77"; }));

    // Typing without Enter keeps the name entered before.
    Type(monitor->cmbAct0->lineEdit(), "2");
    EXPECT_EQ(monitor->cmbAct0->currentText(), "MYVAR2");
    TakeSentLines();
    ASSERT_TRUE(WaitFor([this] { return LinesFrom("#STAT").size() >= 6; }));
    EXPECT_EQ(LinesFrom("#STAT")[4], "MYVAR");
    EXPECT_EQ(monitor->CustomName0, "MYVAR");
}

TEST_F(RunningMonitorTest, HidingStopsPollingAndShowingRestartsIt) {
    Reply("#STAT", "1");
    ASSERT_TRUE(WaitFor([this] { return On(monitor->lblStat[0]); }));
    bool sawStopped = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { sawStopped = sawStopped || mdlGeneral->LineHolder() == ridStopped; });
    probe.start(20);
    QElapsedTimer clock;
    clock.start();
    monitor->Hide();
    EXPECT_GE(clock.elapsed(), 390);
    EXPECT_TRUE(sawStopped);
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    EXPECT_TRUE(monitor->StopPolling);
    EXPECT_FALSE(monitor->Timer1->Enabled());
    // The stop's "." may be answered: the model query's known answer settles it.
    ASSERT_TRUE(WaitFor([this] {
        const QList<QByteArray> lines = driver->receivedLines();
        return lines.size() >= 2 && lines.last() == "VER" && lines[lines.size() - 2] == ".";
    }));
    TakeSentLines();
    Pause(1400);
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_TRUE(On(monitor->lblStat[0])); // the lamps keep their last state

    monitor->Show();
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"#STAT", "#ALST"}));
}

// A driver that falls silent: the cycle starts again at its first step within the watchdog's
// time of the last answer, and goes on as soon as the driver answers again.
TEST_F(RunningMonitorTest, ASilentDriverIsPolledFromTheFirstStepAndComesBack) {
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() > 20; }));
    QElapsedTimer sinceAnswer;
    QList<qint64> restarts;
    bool silent = false;
    QObject context;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, &context,
                     [&](const QByteArray& line) {
                         if (!silent) sinceAnswer.start();
                         if (silent && line == "#STAT") restarts.append(sinceAnswer.elapsed());
                     });
    Pause(50);
    silent = true;
    driver->setFault(sim::Fault::Silent);
    Pause(7000);
    ASSERT_GE(restarts.size(), 2);
    EXPECT_LE(restarts[0], 1250 + 100);
    silent = false;
    driver->setFault(sim::Fault::None);
    const qsizetype before = driver->receivedLines().size();
    ASSERT_TRUE(WaitFor([&] { return driver->receivedLines().size() > before + 20; }, 6500));
}

TEST_F(RunningMonitorTest, MinimisingKeepsPollingAndActivationNamesTheAxis) {
    monitor->showMinimized();
    Pause(100);
    const qsizetype before = driver->receivedLines().size();
    ASSERT_TRUE(WaitFor([&] { return driver->receivedLines().size() > before + 20; }));
    EXPECT_FALSE(monitor->StopPolling);
    monitor->showNormal();
    monitor->activateWindow();
    ASSERT_TRUE(WaitFor([this] { return monitor->isActiveWindow(); }));
    EXPECT_EQ(monitor->windowTitle(), frmMain->lblAxis->text() + "軸の ｽﾃｰﾀｽ");
}

// A port closed under the polling monitor: one box in the monitor's own words, however long the
// user leaves it open and the watchdog goes on trying; polling resumes once the port is back.
TEST_F(RunningMonitorTest, ClosedPortIsReportedOnceAndPollingResumesByItself) {
    struct Boxes {
        int shown = 0;
        int depth = 0;
        int deepest = 0;
        ui::MessageRecord first;
    };
    auto boxes = std::make_shared<Boxes>();
    ui::SetMessageResponder([boxes](const ui::MessageRecord& record) {
        if (boxes->shown++ == 0) boxes->first = record;
        boxes->deepest = std::max(boxes->deepest, ++boxes->depth);
        Pause(1400); // the user reads the box while the watchdog goes on ticking
        --boxes->depth;
        return ui::MsgResult::Ok;
    });
    mdlGeneral->PortForTests().Close();
    ASSERT_TRUE(WaitFor([&] { return boxes->shown >= 1 && boxes->depth == 0; }, 10000));
    Pause(2600); // two more restarts of the cycle
    EXPECT_EQ(boxes->shown, 1);
    EXPECT_EQ(boxes->deepest, 1);
    EXPECT_EQ(boxes->first.text, "ドライバにコマンドを送れませんでした。\n"
                                 "通信ポートが使えるようになると、ステータスの表示を再開します。");
    EXPECT_EQ(boxes->first.caption, "ｴﾗ-");
    EXPECT_TRUE(monitor->Showing());

    TakeSentLines();
    mdlGeneral->PortForTests().Open();
    ASSERT_TRUE(WaitForLine("#ALST"));
    EXPECT_EQ(boxes->shown, 1);
}

// The driver hangs up while the monitor polls: the one message is the line owner's; no timer
// adds another; a new driver on a reopened port is polled without a click.
TEST_F(RunningMonitorTest, HangUpIsReportedOnceAndANewLineIsPolledByItself) {
    driver->hangUp();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    Pause(2700);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_TRUE(monitor->Showing());

    driver = std::make_unique<sim::SimulatedDriver>(driverConfig);
    qputenv("KASONT_COMM1", driver->slavePath().toLocal8Bit());
    mdlGeneral->PortForTests().Open();
    ASSERT_TRUE(WaitForLine("#ALST", 1, 10000));
    EXPECT_EQ(messages.size(), 1u);
}

// Hiding the monitor over a dead line: no box, and the reply routing is left free.
TEST_F(RunningMonitorTest, HidingOverADeadLineIsQuiet) {
    driver->hangUp();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    monitor->Hide();
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    EXPECT_FALSE(monitor->Timer1->Enabled());
    Pause(1500);
    EXPECT_EQ(messages.size(), 1u);
}

// A paste with a control character in a variable box is refused by its code as it is pasted: the
// box keeps what it had, so no poll carries what was pasted, and no parameter of the driver is
// written.
TEST_F(RunningMonitorTest, APastedControlCharacterInAVariableBoxIsRefusedByItsCode) {
    const int parameterBefore = driver->parameter('X', 5);
    const QString nameBefore = monitor->CustomName1;
    monitor->activateWindow();
    ASSERT_TRUE(WaitFor([this] { return monitor->isActiveWindow(); }));
    QTest::mouseClick(monitor->cmbAct1->lineEdit(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return monitor->cmbAct1->hasFocus(); }));
    const QString boxBefore = monitor->cmbAct1->currentText();
    const std::pair<QString, QString> cases[] = {{"$A\tB", "U+0009"}, {"X\r#5=1", "U+000D"}};
    for (const auto& [pasted, named] : cases) {
        SCOPED_TRACE(named.toStdString());
        ASSERT_TRUE(PasteIsRefused(pasted, named, "現在値(右)"))
            << (messages.empty() ? std::string("none") : messages[0].text.toStdString());
        EXPECT_EQ(monitor->cmbAct1->currentText(), boxBefore);
        EXPECT_EQ(monitor->CustomName1, nameBefore);
    }
    TakeSentLines();
    ASSERT_TRUE(WaitForLine("#STAT", 3));
    for (const QByteArray& line : driver->receivedLines())
        EXPECT_FALSE(line.contains("AB") || line.contains("#5=1")) << line.toStdString();
    EXPECT_EQ(driver->parameter('X', 5), parameterBefore);
}

} // namespace

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(RunningMonitorTest, ChangingValuesRepaintNoGroupBehindThem) {
    ASSERT_TRUE(WaitForLine("M", 2));
    PaintCounter groups;
    for (QGroupBox* group : monitor->findChildren<QGroupBox*>())
        group->installEventFilter(&groups);
    // Every value the cycle shows changes on each poll.
    for (int round = 1; round <= 2; ++round) {
        const QByteArray value = QByteArray::number(round * 11);
        for (const char* command : {"$PACT", "$VACT", "$QREF", "$LOAD", "M"})
            Reply(command, value);
        ASSERT_TRUE(WaitForLine("M", driver->receivedLines().count("M") + 1));
        WaitFor(
            [&] { return monitor->lblLoad->text() == value && monitor->lblQref->text() == value; });
        EXPECT_EQ(monitor->lblLoad->text(), value);
        EXPECT_EQ(monitor->lblQref->text(), value);
    }
    EXPECT_EQ(groups.paints, 0);

    // A value paints its own background in the colour of the window behind it.
    const QImage window = monitor->grab().toImage();
    const QPoint labelCorner = monitor->lblQref->mapTo(monitor, QPoint(1, 1));
    const QPoint besideGroups(monitor->width() - 2, monitor->height() - 2);
    EXPECT_EQ(window.pixel(labelCorner), window.pixel(besideGroups));
}
