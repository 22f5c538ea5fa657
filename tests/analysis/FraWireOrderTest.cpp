// The whole command sequence of a run, in order, as the driver receives it: the speed mode with
// complex data, and the notch filter test with the virtual mode on.
#include "FraFixture.h"

namespace {

using Lines = QList<QByteArray>;

Lines Repeat(const Lines& group, int times) {
    Lines lines;
    for (int k = 0; k < times; ++k)
        lines += group;
    return lines;
}

// The "TIME" queries of a poll that ends on a reply above `threshold`: the simulated driver
// counts 100 ms more on each query after "TCLR".
int PollsAbove(int threshold) {
    return threshold / 100 + 1;
}

const Lines kStatus = {"ALST", "QREF", "QLIM"};

Lines InternalReads(bool notchTest) {
    Lines reads = {"#3",  "#38", "#41",   "#67",  "#78",  "#17",  "#18",  "#19",
                   "#79", "#80", "#81",   "#82",  "#64",  "#65",  "#66",  "#39",
                   "#83", "M",   "VERST", "QLIM", "NFST", "BACT", "KENC", "VXMAX"};
    if (notchTest) reads.removeOne("NFST"); // its row shows "TEST"
    return reads;
}

// The lines of a sweep from `from` to `to` by `step` Hz (no step growth), after the start of
// the servo and the virtual mode.
Lines SweepLines(int from, int to, int step) {
    Lines lines = kStatus;
    lines += {"/L", "SINON", "TCLR"};
    lines += Repeat({"TIME"}, PollsAbove(3000 / from));
    lines += {"L", "TCLR"};
    lines += Repeat(kStatus + Lines{"TIME"}, PollsAbove(3000 / from));
    lines += {"#%0010C000", ",", ",", ","};
    for (int f = from + step; f <= to; f += step) {
        lines += {"SGF=" + QByteArray::number(f), "SGA=SGA+0", "TCLR"};
        lines += Repeat({"TIME"}, PollsAbove(3000 / f));
        lines += kStatus;
        lines += {"L", "TCLR", "TIME", "#%0010C000", ",", ",", ","};
    }
    return lines;
}

Lines Opening(int from, int modeId, const QByteArray& log3, const QByteArray& log4) {
    Lines lines = {"#40", "SVKHZ", "VERST", "&LAORG"};
    lines += kStatus;
    lines += {"SGMD=0", "SGF=" + QByteArray::number(from), "SGA=0", "SGMD=1",
              "FRAMD=" + QByteArray::number(modeId)};
    lines += kStatus;
    lines += {"LTIME=1",      "LLINE=1",      "LOG1=SGF", "LOG2=SGA",
              "LOG3=" + log3, "LOG4=" + log4, "LC",       "LOGMD"};
    lines += kStatus;
    return lines;
}

} // namespace

TEST_F(FraTest, WireOrderOfASpeedModeRunWithComplexData) {
    OpenWindow();
    TakeSentLines();
    RunSweep(10, 30, 10);
    ASSERT_EQ(frmFRA->Buffers[0].Count, 3);

    Lines expected = Opening(10, 2, "RMAX", "JMAX");
    expected += {"VEL", "MASK", "SVON", "SVONS", "TCLR"};
    expected += Repeat({"TIME"}, PollsAbove(1000));
    expected += {"V=0", "ADPOF", "SGA=1024", "VERST=0"};
    expected += SweepLines(10, 30, 10);
    expected += {"/L", "S", "SINOF", "VERST=0"};
    expected += InternalReads(false);
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()), expected);
}

TEST_F(FraTest, WireOrderOfANotchTestWithTheVirtualModeOn) {
    Plant().nfst = "7";
    OpenWindow();
    frmFRA->cbFRASET->SetItemIndex(9);
    frmFRA->cbVirtual->SetChecked(true);
    frmFRA->edKIKTM->setText("12");
    TakeSentLines();
    RunSweep(10, 20, 10);
    ASSERT_EQ(frmFRA->Buffers[0].Count, 2);

    Lines expected = Opening(10, 10, "RMAX", "JMAX");
    expected += {"TOR", "MASK", "SVON", "SVONS", "TCLR"};
    expected += Repeat({"TIME"}, PollsAbove(1000));
    expected += {"G", "Q=0", "ADPOF", "SGA=1024"};
    expected += {"SVOF", "NFST", "NFOF", "NFTON"};
    expected += {"VERST=7", "KIKTM=12"};
    expected += SweepLines(10, 20, 10);
    expected += {"/L", "S", "SINOF", "NFTOF", "NFST=7", "VERST=0"};
    expected += InternalReads(true);
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()), expected);
}
