// The run against a driver that misbehaves: replies that are no number, huge control
// frequencies, a full buffer, a line that goes mid-run, the program's end during a run, and
// text with line breaks in the boxes that feed the line.
#include "FraFixture.h"

#include "analysis/MeasurementFile.h"
#include "link/UnitGeneral.h"

#include <QElapsedTimer>
#include <QTimer>

#include "ui/Wait.h"

namespace {

// Runs `action` once, when the driver receives `line` (before it answers).
void OnLine(sim::SimulatedDriver& driver, QObject* context, const QByteArray& line,
            std::function<void()> action) {
    auto done = std::make_shared<bool>(false);
    QObject::connect(&driver, &sim::SimulatedDriver::lineReceived, context,
                     [line, action, done](const QByteArray& received) {
                         if (received != line || *done) return;
                         *done = true;
                         action();
                     });
}

QString BadReplyText(const QString& command, const QString& reply) {
    return QString("ドライバの応答が数値ではありません。\n%1 → \"%2\"").arg(command, reply);
}

} // namespace

class FraFaultTest : public FraTest {
protected:
    void SetUp() override {
        FraTest::SetUp();
        OpenWindow();
        // A run that polls for ever is stopped, so that the test fails instead of hanging.
        safetyStop.setSingleShot(true);
        QObject::connect(&safetyStop, &QTimer::timeout, [] {
            if (frmFRA->RunFlag != 0) frmFRA->btAnalyze->click();
        });
    }
    // Runs a sweep of 10..50 Hz in buffer 1 and says whether it ended by itself.
    bool RunEndsByItself(int limitMs = 4000) {
        safetyStop.start(limitMs);
        RunSweep(10, 50, 10);
        const bool byItself = safetyStop.isActive();
        safetyStop.stop();
        return byItself;
    }
    // The controls a run takes are back.
    void ExpectIdle() {
        EXPECT_EQ(frmFRA->RunFlag, 0);
        EXPECT_FALSE(frmFRA->Measuring());
        EXPECT_EQ(frmFRA->btAnalyze->text(), "解析開始");
        EXPECT_EQ(frmFRA->btAnalyze2->text(), "解析開始");
        EXPECT_TRUE(frmFRA->btOpen->isEnabled());
        EXPECT_TRUE(frmFRA->pcAnalyze->isTabVisible(3));
        EXPECT_TRUE(frmMain->btnPrm->isEnabled());
        EXPECT_TRUE(frmMain->btnStat->isEnabled());
        EXPECT_FALSE(frmMain->edtSend->isReadOnly());
    }
    QTimer safetyStop;
};

TEST_F(FraFaultTest, RepliesThatAreNoNumberEndTheRunThroughTheErrorPath) {
    struct Case {
        QByteArray trigger; // the line after which the reply goes bad ("": from the start)
        QByteArray command;
        QByteArray reply;
    };
    const Case cases[] = {
        {"SVON", "TIME", "abc"},               // the servo start
        {"SINON", "TIME", "1 2"},              // the settle wait
        {"SGF=20", "TIME", "12x"},             // a frequency step
        {"L", "TIME", "99999999999999999999"}, // the wait for the first point
        {"", "ALST", "E-S"},
        {"", "QREF", "x"},
        {"SGF=20", "QLIM", "-2147483649"},
        {"SGF=20", ",", "?"},  // a further word of the point
        {"SGF=30", "#%", "*"}, // the point's first word
        {"", "SVONS", "on"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.toStdString() + " after " + c.trigger.toStdString());
        Plant().replacedReplies.clear();
        auto context = std::make_unique<QObject>();
        if (c.trigger.isEmpty())
            Plant().replacedReplies[c.command] = c.reply;
        else
            OnLine(*driver, context.get(), c.trigger,
                   [this, c] { Plant().replacedReplies[c.command] = c.reply; });
        messages.clear();
        TakeSentLines();
        EXPECT_TRUE(RunEndsByItself());
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text,
                  BadReplyText(c.command == "#%" ? "#%0010C000" : c.command, c.reply));
        EXPECT_EQ(messages[0].caption, "Error");
        EXPECT_EQ(frmFRA->Buffers[0].Count, 0);
        EXPECT_EQ(frmFRA->pnAnalyze->text(), " 解析中止");
        EXPECT_EQ(frmFRA->edFreqFromBuf[0]->text(), "");
        // The error path sends nothing after the bad reply.
        const QList<QByteArray> lines = TakeSentLines();
        EXPECT_EQ(lines.back(), c.command == "#%" ? QByteArray("#%0010C000") : c.command);
        ExpectIdle();
    }

    // The status panel keeps its last text when a status word is no number.
    Plant().replacedReplies = {{"QREF", "zz"}};
    frmFRA->pnStatus->setText("before");
    frmFRA->RunFlag = 1;
    EXPECT_EQ(frmFRA->ShowDriverStatus(), -1);
    frmFRA->RunFlag = 0;
    EXPECT_EQ(frmFRA->pnStatus->text(), "before");

    // A garbled notch filter value is not written back to the driver.
    Plant().replacedReplies = {{"NFST", "5\x01"}};
    frmFRA->cbFRASET->SetItemIndex(9);
    messages.clear();
    TakeSentLines();
    EXPECT_TRUE(RunEndsByItself());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, BadReplyText("NFST", "5"));
    for (const QByteArray& line : TakeSentLines())
        EXPECT_FALSE(line.startsWith("NFST=")) << line.toStdString();
}

TEST_F(FraFaultTest, HugeControlFrequenciesDoNotOverflow) {
    frmFRA->cbDecMaxEnable->SetChecked(false);
    driver->axis('X').setControlFrequency("3000000");
    EXPECT_TRUE(RunEndsByItself());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(frmFRA->Buffers[0].Count, 5);
    EXPECT_EQ(frmFRA->edFreqTo->text(), "50");
    EXPECT_EQ(frmFRA->SvkhzText, "3000000");
    frmFRA->edFreqTo->setText("900000000");
    Type(frmFRA->edFreqTo, "\r");
    EXPECT_EQ(frmFRA->edFreqTo->text(), "900000000"); // below 1.5 GHz

    driver->axis('X').setControlFrequency("2147483647");
    EXPECT_TRUE(RunEndsByItself());
    EXPECT_EQ(frmFRA->Buffers[0].Count, 5);

    driver->axis('X').setControlFrequency("-2147483648");
    TakeSentLines();
    RunSweep(10, 50, 10);
    EXPECT_EQ(messages.back().text,
              "詳細設定で設定された項目に誤りがあります。\n「開始周波数[Hz]」を確認してください。");
    EXPECT_FALSE(TakeSentLines().contains("SGMD=0"));

    driver->axis('X').setControlFrequency("99999999999999999999");
    RunSweep(10, 50, 10);
    EXPECT_EQ(messages.back().text, BadReplyText("SVKHZ", "99999999999999999999"));
    EXPECT_EQ(messages.back().caption, "警告");
    EXPECT_EQ(TakeSentLines().back(), "SVKHZ");
    ExpectIdle();

    // A step that grows near the largest frequency neither overflows nor passes the end.
    driver->axis('X').setControlFrequency("4294967"); // limit 2147483500 Hz
    frmFRA->cbDecMaxEnable->SetChecked(true);
    frmFRA->Buffers[0].Count = 0;
    RunSweep(2147482000, 2147483647, 600);
    EXPECT_EQ(frmFRA->edFreqTo->text(), "2147483500");
    ASSERT_EQ(frmFRA->Buffers[0].Count, 2);
    EXPECT_EQ(frmFRA->Buffers[0].Points[1].Freq, 2147482600);
}

TEST_F(FraFaultTest, AFullBufferEndsTheSweepAndSaysSo) {
    // Points measured before stand in for the 9998 of a long sweep.
    OnLine(*driver, frmFRA, "SGF=20", [] { frmFRA->Buffers[0].Count = fra::kMaxPoints - 2; });
    TakeSentLines();
    EXPECT_TRUE(RunEndsByItself());
    EXPECT_EQ(frmFRA->Buffers[0].Count, fra::kMaxPoints);
    EXPECT_EQ(frmFRA->Buffers[0].Points[fra::kMaxPoints - 1].Freq, 30);
    EXPECT_EQ(frmFRA->edFreqToBuf[0]->text(), "30");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "バッファが一杯(10000点)になったため、解析を終了しました。");
    EXPECT_EQ(messages[0].icon, ui::MsgIcon::Information);
    const QList<QByteArray> lines = TakeSentLines();
    EXPECT_FALSE(lines.contains("SGF=40"));
    EXPECT_TRUE(lines.contains("SINOF")); // the driver is stopped as at the sweep's end
    ExpectIdle();
}

TEST_F(FraFaultTest, ALostLineEndsTheRunAtOnceAndKeepsThePoints) {
    QElapsedTimer sinceLoss;
    OnLine(*driver, frmFRA, "SGF=40", [&] {
        QTimer::singleShot(0, driver.get(), [&] {
            sinceLoss.start();
            driver->hangUp();
        });
    });
    frmMain->edtSend->setText("typed");
    // By the time the user reads the one message, the window is idle again.
    bool idleAtTheMessage = false;
    ui::SetMessageResponder([&](const ui::MessageRecord& record) {
        messages.push_back(record);
        idleAtTheMessage = frmFRA->btAnalyze->text() == "解析開始" &&
                           frmMain->btnPrm->isEnabled() && frmFRA->btOpen->isEnabled();
        return ui::MsgResult::Ok;
    });
    EXPECT_TRUE(RunEndsByItself());
    EXPECT_TRUE(idleAtTheMessage);
    EXPECT_LT(sinceLoss.elapsed(), 500);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    const TFraBuffer& buffer = frmFRA->Buffers[0];
    ASSERT_EQ(buffer.Count, 3);
    EXPECT_EQ(buffer.Points[2].Freq, 30);
    EXPECT_EQ(frmFRA->edFreqToBuf[0]->text(), "30");
    EXPECT_EQ(frmFRA->edFreqFromBuf[0]->text(), "10");
    ExpectIdle();
    Pause(300);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(FraFaultTest, ALostLineDuringTheServoStartLeavesAnEmptyBuffer) {
    OnLine(*driver, frmFRA, "SVON",
           [this] { QTimer::singleShot(0, driver.get(), [this] { driver->hangUp(); }); });
    EXPECT_TRUE(RunEndsByItself());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(frmFRA->Buffers[0].Count, 0);
    EXPECT_EQ(frmFRA->edFreqFromBuf[0]->text(), "");
    ExpectIdle();
}

TEST_F(FraFaultTest, ALostLineWhileTheInternalValuesAreReadKeepsTheWholeSweep) {
    OnLine(*driver, frmFRA, "#3",
           [this] { QTimer::singleShot(0, driver.get(), [this] { driver->hangUp(); }); });
    EXPECT_TRUE(RunEndsByItself());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_EQ(frmFRA->Buffers[0].Count, 5);
    EXPECT_EQ(frmFRA->edFreqToBuf[0]->text(), "50");
    ExpectIdle();
}

TEST_F(FraFaultTest, AClickWhileTheRunEndsStartsNoSecondRun) {
    OnLine(*driver, frmFRA, "SGF=30",
           [] { QTimer::singleShot(0, [] { frmFRA->btAnalyze->click(); }); });
    OnLine(*driver, frmFRA, "SINOF",
           [] { QTimer::singleShot(0, [] { frmFRA->btAnalyze2->click(); }); });
    TakeSentLines();
    EXPECT_TRUE(RunEndsByItself());
    const QList<QByteArray> lines = TakeSentLines();
    EXPECT_EQ(lines.count("#40"), 1);
    EXPECT_EQ(lines.count("SINOF"), 1);
    EXPECT_GE(frmFRA->Buffers[0].Count, 2);
    EXPECT_TRUE(messages.empty());
    ExpectIdle();
}

TEST_F(FraFaultTest, ClosingTheMainWindowDuringAMeasurementAsksToStopIt) {
    const QString question = "周波数応答解析画面にて解析中です。解析を停止して終了しますか？";
    bool closed = false;
    const auto closeAt = [&](const QByteArray& line) {
        OnLine(*driver, frmFRA, line,
               [&] { QTimer::singleShot(0, frmMain, [&] { closed = frmMain->close(); }); });
    };

    // No: the run goes on to its end and the program stays.
    answer = ui::MsgResult::No;
    closeAt("SGF=20");
    EXPECT_TRUE(RunEndsByItself());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, question);
    EXPECT_EQ(messages[0].caption, "確認");
    EXPECT_EQ(messages[0].icon, ui::MsgIcon::Question);
    EXPECT_EQ(messages[0].buttons, ui::MsgButtons::YesNo);
    EXPECT_FALSE(closed);
    EXPECT_FALSE(ui::QuitRequested());
    EXPECT_EQ(frmFRA->Buffers[0].Count, 5);
    ExpectIdle();

    // No after the user read the question for two seconds, asked while a "TIME" poll or a word
    // of a point waits for its answer: the answer that came meanwhile counts, and the run keeps
    // every point.
    ui::SetMessageResponder([this](const ui::MessageRecord& record) {
        messages.push_back(record);
        Pause(2000);
        return ui::MsgResult::No;
    });
    for (const QByteArray& asked : {QByteArray("TIME"), QByteArray(",")}) {
        SCOPED_TRACE(asked.toStdString());
        frmFRA->Buffers[0].Count = 0;
        messages.clear();
        OnLine(*driver, frmFRA, "SGF=30", [&closeAt, asked] { closeAt(asked); });
        TakeSentLines();
        EXPECT_TRUE(RunEndsByItself(15000));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, question);
        EXPECT_FALSE(closed);
        ASSERT_EQ(frmFRA->Buffers[0].Count, 5);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(frmFRA->Buffers[0].Points[i].Freq, 10 + 10 * i);
        EXPECT_TRUE(TakeSentLines().contains("SINOF"));
        ExpectIdle();
    }
    answer = ui::MsgResult::No;
    ui::SetMessageResponder([this](const ui::MessageRecord& record) {
        messages.push_back(record);
        return record.buttons == ui::MsgButtons::Ok ? ui::MsgResult::Ok : answer;
    });

    // Yes: the run stops the driver as the stop button does, and the program ends.
    answer = ui::MsgResult::Yes;
    messages.clear();
    closeAt("SGF=30");
    TakeSentLines();
    RunSweep(10, 50, 10, 1); // returns when the run has ended
    EXPECT_TRUE(closed);
    EXPECT_TRUE(ui::QuitRequested());
    ui::ClearQuitRequest();
    EXPECT_FALSE(frmFRA->Measuring());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, question);
    ASSERT_TRUE(WaitFor([this] {
        const QList<QByteArray> lines = driver->receivedLines();
        return lines.contains("SINOF") && lines.indexOf("VERST=0", lines.indexOf("SINOF")) > 0;
    }));
    const QList<QByteArray> lines = WithoutModelQueries(TakeSentLines());
    const qsizetype end = lines.indexOf("/L", lines.indexOf("SGF=30"));
    ASSERT_GT(end, 0) << lines.join(' ').constData();
    EXPECT_EQ(lines.mid(end, 4), (QList<QByteArray>{"/L", "S", "SINOF", "VERST=0"}));
    EXPECT_FALSE(lines.contains("SGF=40"));
}

TEST_F(FraFaultTest, TheProgramsEndStopsTheDriverOnTheWayOut) {
    OnLine(*driver, frmFRA, "SGF=20", [] { QTimer::singleShot(0, [] { ui::RequestQuit(); }); });
    TakeSentLines();
    EXPECT_TRUE(RunEndsByItself());
    ui::ClearQuitRequest();
    EXPECT_FALSE(frmFRA->Measuring());
    // The driver reads what was sent on the way out.
    ASSERT_TRUE(WaitFor([this] {
        const QList<QByteArray> lines = driver->receivedLines();
        return lines.contains("SINOF") && lines.indexOf("VERST=0", lines.indexOf("SINOF")) > 0;
    }));
    const QList<QByteArray> lines = WithoutModelQueries(TakeSentLines());
    const qsizetype end = lines.indexOf("/L", lines.indexOf("SGF=20"));
    ASSERT_GT(end, 0);
    EXPECT_EQ(lines.mid(end, 4), (QList<QByteArray>{"/L", "S", "SINOF", "VERST=0"}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(FraFaultTest, TextWithLineBreaksInTheBoxesSendsNoSecondCommand) {
    frmFRA->cbVirtual->SetChecked(true);
    const int parameter5 = driver->parameter('X', 5);
    // Each refusal names the box to mend.
    const std::pair<fra::FraEdit*, QString> boxes[] = {{frmFRA->edFreqFrom, "開始周波数[Hz]"},
                                                       {frmFRA->edFreqTo, "終了周波数[Hz]"},
                                                       {frmFRA->edFreqStep, "刻み[Hz]"},
                                                       {frmFRA->edSGA, "振幅"},
                                                       {frmFRA->edKIKTM, "加速定数(KiKt/J)"}};
    for (const auto& [box, name] : boxes) {
        const QString kept = box->text();
        box->setText("X\r#5=1"); // text set by code, which no paste can bring
        messages.clear();
        TakeSentLines();
        frmFRA->btAnalyze->click();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "詳細設定で設定された項目に誤りがあります。\n「" + name +
                                        "」を確認してください。");
        EXPECT_TRUE(TakeSentLines().isEmpty());
        box->setText(kept);
    }
    EXPECT_FALSE(driver->receivedBytes().contains("#5=1"));
    EXPECT_EQ(driver->parameter('X', 5), parameter5);
    // With the boxes as they were, the run goes ahead.
    messages.clear();
    frmFRA->btAnalyze->click();
    EXPECT_TRUE(messages.empty());
    EXPECT_GT(frmFRA->Buffers[0].Count, 0);
}

// A question answered after its time-out, even after the run has asked the next one: the line
// is brought back in step before the next question, so the late line is never taken for a
// later answer; the saved buffer holds only true points, and the run names the point it lost.
TEST_F(FraFaultTest, ALateReplyNeverShiftsTheRun) {
    const auto truePoint = [this](int hz) {
        sim::AnalysisState plant = Plant();
        plant.frequency = hz;
        plant.amplitude = 1024;
        const std::array<int, 4> words = plant.loggedWords();
        return QByteArray::number(words[0]) + "," + QByteArray::number(words[1]) + "," +
               QByteArray::number(words[2]) + "," + QByteArray::number(words[3]) + "\r\n";
    };
    const QString missed = "ドライバから応答がなかったため、次の周波数は測定できませんでした。\n";
    struct Case {
        QByteArray trigger; // the line after which the driver answers `late` late once
        QByteArray late;
        int lateMs;
        QList<int> kept; // the points the buffer holds
        QString lost;
    };
    const Case cases[] = {
        // A further word of the 20 Hz point, answered before or after the next questions.
        {"SGF=20", ",", 1600, {10, 30, 40, 50}, "20[Hz]"},
        {"SGF=20", ",", 2500, {10, 30, 40, 50}, "20[Hz]"},
        {"SGF=20", ",", 3000, {10, 30, 40, 50}, "20[Hz]"},
        // The first word of the 30 Hz point.
        {"SGF=30", "#%0010C000", 2500, {10, 20, 40, 50}, "30[Hz]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.late.toStdString() + " " + std::to_string(c.lateMs));
        frmFRA->Buffers[0].Count = 0;
        auto context = std::make_unique<QObject>();
        OnLine(*driver, context.get(), c.trigger,
               [this, c] { driver->answerLateOnce(c.late, c.lateMs); });
        messages.clear();
        EXPECT_TRUE(RunEndsByItself(15000));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, missed + c.lost);
        EXPECT_EQ(messages[0].caption, "確認");
        EXPECT_EQ(frmFRA->pnStatus->text(), "ALST=    0, QREF=    0");
        EXPECT_EQ(frmFRA->sgParams1->Cell(1, 0), QString::number(driver->parameter('X', 3)));
        chosenFile = Path("late.csv");
        frmFRA->btSave->click();
        QByteArray expected = "SGF,SGA,RMAX,JMAX\r\n";
        for (int hz : c.kept)
            expected += truePoint(hz);
        EXPECT_EQ(ReadFile(chosenFile).toStdString(), expected.toStdString());
        ExpectIdle();
    }

    // A status group that goes unanswered before the first point ends the run, which says so.
    frmFRA->Buffers[0].Count = 0;
    OnLine(*driver, frmFRA, "L", [this] { driver->answerLateOnce("ALST", 2500); });
    messages.clear();
    EXPECT_TRUE(RunEndsByItself(15000));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "ドライバの状態を読み取れなかったため、測定せずに解析を終了しました。");
    EXPECT_EQ(frmFRA->Buffers[0].Count, 0);
    EXPECT_EQ(frmFRA->sgParams1->Cell(1, 0), QString::number(driver->parameter('X', 3)));
    ExpectIdle();

    // A "TIME" poll that times out ends the run; the next run, started at once, is not answered
    // by the late line.
    frmFRA->Buffers[0].Count = 0;
    OnLine(*driver, frmFRA, "SGF=30", [this] { driver->answerLateOnce("TIME", 2500); });
    messages.clear();
    EXPECT_TRUE(RunEndsByItself(10000));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "通信エラーが発生しました。");
    EXPECT_EQ(frmFRA->Buffers[0].Count, 0);
    EXPECT_TRUE(RunEndsByItself(10000));
    EXPECT_EQ(messages.size(), 1u);
    ASSERT_EQ(frmFRA->Buffers[0].Count, 5);
    for (int i = 0; i < 5; ++i) {
        const TFraPoint& p = frmFRA->Buffers[0].Points[i];
        EXPECT_EQ((QByteArray::number(p.Freq) + "," + QByteArray::number(p.InjectedAmp) + "," +
                   QByteArray::number(p.Value3) + "," + QByteArray::number(p.Value4) + "\r\n")
                      .toStdString(),
                  truePoint(10 + 10 * i).toStdString());
    }
    ExpectIdle();
}

// A port that fails is told once: at the run's first line, and when a status read fails with it
// and the end sequence cannot be sent.
TEST_F(FraFaultTest, APortThatFailsIsToldOnce) {
    const QString noDriver = "ドライバと通信できませんでした。";
    mdlGeneral->ClosePort();
    TakeSentLines();
    messages.clear();
    RunSweep(10, 50, 10);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, noDriver);
    EXPECT_EQ(messages[0].caption, "ｴﾗ-");
    EXPECT_TRUE(TakeSentLines().isEmpty());
    ExpectIdle();

    mdlGeneral->OpenPort();
    OnLine(*driver, frmFRA, "QLIM", [] { mdlGeneral->ClosePort(); });
    messages.clear();
    EXPECT_TRUE(RunEndsByItself(6000));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, noDriver);
    EXPECT_EQ(messages[0].caption, "ｴﾗ-");
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()).back(), "QLIM");
    EXPECT_EQ(frmFRA->Buffers[0].Count, 0);
    EXPECT_EQ(frmFRA->pnAnalyze->text(), " 解析中止");
    ExpectIdle();
}

// The window hidden during the sweep stops the run as the stop button does, and closed during
// the end sequence lets it end: either way the driver is stopped, the points are kept, nothing is
// said and nothing goes out once the run has ended.
TEST_F(FraFaultTest, HidingOrClosingTheWindowEndsTheRunAsTheStopButtonDoes) {
    const QList<QByteArray> stop = {"/L", "S", "SINOF", "VERST=0"};
    // After the sweep's last frequency the stop sequence and the internal values, then nothing.
    const auto expectStoppedAfter = [&](const QByteArray& lastFrequency) {
        const QList<QByteArray> lines = WithoutModelQueries(TakeSentLines());
        const qsizetype end = lines.indexOf("/L", lines.indexOf(lastFrequency));
        ASSERT_GT(end, 0);
        EXPECT_EQ(lines.mid(end, 4), stop);
        EXPECT_EQ(lines.back(), "VXMAX");
        ExpectIdle();
        Pause(300);
        EXPECT_TRUE(TakeSentLines().isEmpty());
    };
    OnLine(*driver, frmFRA, "SGF=30", [] { QTimer::singleShot(0, [] { frmFRA->Hide(); }); });
    TakeSentLines();
    EXPECT_TRUE(RunEndsByItself());
    EXPECT_FALSE(frmFRA->Showing());
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(frmFRA->Buffers[0].Count, 2);
    EXPECT_EQ(frmFRA->Buffers[0].Points[1].Freq, 20);
    expectStoppedAfter("SGF=30");

    OpenWindow();
    bool closed = false;
    OnLine(*driver, frmFRA, "SINOF",
           [&] { QTimer::singleShot(0, [&] { closed = frmFRA->close(); }); });
    frmFRA->Buffers[0].Count = 0;
    EXPECT_TRUE(RunEndsByItself());
    EXPECT_TRUE(closed);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(frmFRA->Buffers[0].Count, 5);
    EXPECT_EQ(frmFRA->edFreqToBuf[0]->text(), "50");
    EXPECT_EQ(frmFRA->sgParams1->Cell(1, 0), QString::number(driver->parameter('X', 3)));
    expectStoppedAfter("SGF=50");
}

// A command the driver refuses, at once or late, ends the run through the error path at the
// next question, with a message that names the command and the driver's answer.
TEST_F(FraFaultTest, ARefusedCommandEndsTheRunAndIsNamed) {
    frmFRA->cbVirtual->SetChecked(true);
    struct Case {
        QByteArray command;
        int lateMs;
        QList<QByteArray> after; // the lines that go out after it
    };
    const Case cases[] = {{"SGF=30", 0, {"SGA=SGA+0", "TCLR", "TIME"}},
                          {"SVON", 300, {"SVONS"}},
                          {"KIKTM=1", 0, {"ALST"}},
                          {"TCLR", 800, {"TIME"}},
                          {"SINOF", 0, {"VERST=0", "#3"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.toStdString());
        driver->refuse(c.command, c.lateMs);
        messages.clear();
        TakeSentLines();
        EXPECT_TRUE(RunEndsByItself());
        driver->refuse(c.command, -1);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text,
                  "ドライバがコマンドを受け付けませんでした。\n" + c.command + " → \"E-S\"");
        EXPECT_EQ(messages[0].caption, "Error");
        const QList<QByteArray> lines = WithoutModelQueries(TakeSentLines());
        const qsizetype refused = lines.indexOf(c.command);
        ASSERT_GE(refused, 0);
        EXPECT_EQ(lines.mid(refused + 1), c.after);
        EXPECT_EQ(frmFRA->Buffers[0].Count, 0);
        EXPECT_EQ(frmFRA->pnAnalyze->text(), " 解析中止");
        ExpectIdle();
    }
}
