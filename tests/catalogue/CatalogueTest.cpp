// The parameter catalogue: name tables, the choice of table, the lock masks, and the launcher
// opening the right window against the simulated driver.
#include "AppTest.h"

#include "catalogue/PrmListLauncher.h"
#include "link/UnitGeneral.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Codec.h"

namespace {

TEST(PrmNameTablesTest, RecordsAreTwentySevenBytesWithTheRightNames) {
    const std::pair<PrmTable, int> tables[] = {
        {PrmTable::QWA, 64},       {PrmTable::QWB, 90},       {PrmTable::QWC30, 90},
        {PrmTable::QWC50A_B0, 90}, {PrmTable::QWC50A_B1, 97}, {PrmTable::QWC50A_C3, 110},
        {PrmTable::Lock, 200}};
    for (auto [table, count] : tables) {
        const QStringList& names = PrmNames(table);
        ASSERT_EQ(names.size(), count);
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(ui::cp932::ByteWidth(names[i]), 27) << names[i].toStdString();
            EXPECT_TRUE(names[i].startsWith(QString(" #%1 ").arg(i, 3, 10, QChar('0'))));
        }
    }
    EXPECT_EQ(PrmNames(PrmTable::Lock)[3], " #003 ﾓｰﾀ定格電流          ");
    EXPECT_EQ(PrmNames(PrmTable::Lock)[46], " #046 自動力率検知ｹﾞｲﾝ係数 ");
    EXPECT_TRUE(PrmNames(PrmTable::QWA)[63].startsWith(" #063 使用不可"));
    EXPECT_TRUE(PrmNames(PrmTable::QWB)[89].startsWith(" #089 予約"));
    EXPECT_TRUE(PrmNames(PrmTable::QWC50A_B1)[96].startsWith(" #096 現在ﾓｰﾄﾞ"));
    EXPECT_TRUE(PrmNames(PrmTable::QWC50A_C3)[109].startsWith(" #109 ITC ﾓｰﾀEMF定数"));
    EXPECT_TRUE(PrmNames(PrmTable::Lock)[199].startsWith(" #199 使用不可"));
    EXPECT_TRUE(PrmNames(PrmTable::QWA)[29].startsWith(" #029 原点位置"));
    EXPECT_TRUE(PrmNames(PrmTable::QWA)[30].startsWith(" #030 原点位置"));
    EXPECT_TRUE(PrmNames(PrmTable::QWA)[21].startsWith(" #021 KAS/1ﾓｰﾄﾞ"));
    EXPECT_TRUE(PrmNames(PrmTable::QWC30)[21].startsWith(" #021 KAS/2ﾓｰﾄﾞ"));
    EXPECT_TRUE(PrmNames(PrmTable::Lock)[21].startsWith(" #021 Kas/2ﾓｰﾄﾞ"));
    EXPECT_TRUE(PrmNames(PrmTable::QWC50A_B0)[30].startsWith(" #030 原点近傍ﾓｰﾄﾞ"));
    EXPECT_TRUE(PrmNames(PrmTable::QWB)[71].startsWith(" #071 電流ﾙｰﾌﾟEMF係数"));
    EXPECT_TRUE(PrmNames(PrmTable::QWC30)[78].startsWith(" #078 ｻｰﾎﾞｻｲｸﾙ"));
}

TEST(PrmNameTablesTest, TheFirstCataloguedCodeDecides) {
    const std::tuple<int, const char*, std::optional<PrmTable>> cases[] = {
        {0, "", PrmTable::QWA},
        {1, "QWC30", PrmTable::QWB},
        {2, "QWC30 QWC50A_C3", PrmTable::QWC30},
        {3, "QWC50A_C3/QWC50A_B0", PrmTable::QWC50A_B0},
        {2, "QWC50A_C1", PrmTable::QWC50A_B1},
        {3, "QWC50A_D0", PrmTable::QWC50A_C3},
        {2, "QWD50A", std::nullopt},
        {3, "", std::nullopt},
        {2, "qwc30", std::nullopt},
        {-1, "QWC30", std::nullopt}};
    for (auto [series, model, table] : cases)
        EXPECT_EQ(ChoosePrmTable(series, model), table) << series << " " << model;
    EXPECT_EQ(PrmListCount(0, "QWC30"), 64);
    EXPECT_EQ(PrmListCount(1, ""), 90);
    EXPECT_EQ(PrmListCount(2, "QWC50A_C1"), 97);
    EXPECT_EQ(PrmListCount(3, "QWD50A"), 110);
}

class LauncherTest : public AppTest {
protected:
    QList<QByteArray> SentAfterLaunch() {
        frmMain->btnPopupPrm->trigger();
        return TakeSentLines();
    }
};

TEST_F(LauncherTest, EachSeriesAndModelOpensItsList) {
    const std::tuple<int, const char*, int, const char*> cases[] = {
        {0, "QWA-D56", 65, "       KASO"},
        {1, "QWB20", 91, "       KASO2"},
        {2, "QWC50A_C1", 98, "       KASO2"},
        {3, "XQWC50A_D0", 111, "       KASO2"}};
    for (auto [series, model, rows, header] : cases) {
        StartOnSeries(series, model);
        EXPECT_EQ(SentAfterLaunch(), (QList<QByteArray>{"VER", "VER"}));
        EXPECT_TRUE(frmPrm->isVisible()) << model;
        EXPECT_FALSE(frmPrmLock->isVisible());
        EXPECT_EQ(frmPrm->grdPrm->RowCount(), rows) << model;
        EXPECT_EQ(frmPrm->grdPrm->Cell(1, 0), header);
        EXPECT_EQ(frmPrm->Label3->isHidden(), series == 0);
        EXPECT_EQ(frmMain->VersionText, model);
        EXPECT_TRUE(frmPrm->grdPrm->Cell(0, rows - 1)
                        .startsWith(QString(" #%1").arg(rows - 2, 3, 10, QChar('0'))));
        StopProgram();
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(LauncherTest, ModelsOutsideTheCatalogueOpenTheLockWindowWithTheirMasks) {
    StartOnSeries(3, "QWD50A");
    driver->setLockMask('X', 0, -2);
    driver->setLockMask('X', 1, 0);
    driver->setLockMask('X', 6, -256);
    const QList<QByteArray> sent = SentAfterLaunch();
    EXPECT_EQ(sent, (QList<QByteArray>{"VER", "VER", "PRK0", "PRK1", "PRK2", "PRK3", "PRK4", "PRK5",
                                       "PRK6"}));
    ASSERT_TRUE(frmPrmLock->isVisible());
    EXPECT_FALSE(frmPrm->isVisible());
    EXPECT_EQ(frmPrmLock->grdPrm->RowCount(), 201);
    EXPECT_TRUE(frmPrmLock->clbPrm->Checked(0));
    EXPECT_FALSE(frmPrmLock->clbPrm->Checked(1));
    for (int i = 32; i < 64; ++i)
        EXPECT_TRUE(frmPrmLock->clbPrm->Checked(i)) << i;
    EXPECT_FALSE(frmPrmLock->clbPrm->Checked(100));
    for (int i = 192; i < 200; ++i)
        EXPECT_TRUE(frmPrmLock->clbPrm->Checked(i)) << i;
    EXPECT_EQ(frmPrmLock->grdPrm->CellTextColor(1, 1), ui::clGray);
    EXPECT_FALSE(frmPrmLock->grdPrm->CellEditable(1, 1));
    EXPECT_TRUE(frmPrmLock->grdPrm->CellEditable(1, 2));
}

TEST_F(LauncherTest, MaskRepliesReadAsTheDriverMeansThem) {
    StartProgram();
    const std::pair<QByteArray, std::vector<int>> cases[] = {
        {"-1", {}}, {"-2", {0}}, {"2147483647", {31}}, {"E-S", {}}};
    for (const auto& [reply, locked] : cases) {
        ApplyLockMask(0, reply);
        for (int i = 0; i < 32; ++i) {
            const bool expected = std::find(locked.begin(), locked.end(), i) != locked.end();
            EXPECT_EQ(frmPrmLock->clbPrm->Checked(i), expected) << reply.toStdString() << " " << i;
        }
    }
    ApplyLockMask(0, "0");
    for (int i = 0; i < 32; ++i)
        EXPECT_TRUE(frmPrmLock->clbPrm->Checked(i));
    EXPECT_FALSE(frmPrmLock->clbPrm->Checked(32));
}

TEST_F(LauncherTest, NoAnswerOpensWhatTheSeriesAloneSelects) {
    StartOnSeries(0, "");
    driver->setFault(sim::Fault::Silent);
    EXPECT_EQ(SentAfterLaunch(), QList<QByteArray>{"VER"});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    EXPECT_TRUE(frmPrm->isVisible());
    EXPECT_EQ(frmPrm->grdPrm->RowCount(), 65);
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 0), "       KASO");
    EXPECT_TRUE(frmPrm->Label3->isHidden());
    StopProgram();

    StartOnSeries(2, "");
    driver->setFault(sim::Fault::Silent);
    EXPECT_EQ(SentAfterLaunch(), QList<QByteArray>{"VER"});
    EXPECT_TRUE(frmPrmLock->isVisible());
    EXPECT_EQ(frmPrmLock->grdPrm->RowCount(), 201);
}

TEST_F(LauncherTest, AMaskThatDoesNotComeKeepsTheLaterGroupsAsTheyWere) {
    StartOnSeries(2, "QWC99");
    frmPrmLock->clbPrm->SetChecked(150, true);
    driver->setLockMask('X', 0, 0);
    driver->setLockMask('X', 1, 0);
    driver->setLockMask('X', 3, 0);
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "PRK2") driver->setFault(sim::Fault::Silent);
                     });
    frmMain->btnPopupPrm->trigger();
    EXPECT_TRUE(HasMessage("ドライバと通信できませんでした。"));
    EXPECT_TRUE(frmPrmLock->isVisible());
    EXPECT_TRUE(frmPrmLock->clbPrm->Checked(63));
    EXPECT_FALSE(frmPrmLock->clbPrm->Checked(100)); // group 3 was never read
    EXPECT_TRUE(frmPrmLock->clbPrm->Checked(150));
}

} // namespace
