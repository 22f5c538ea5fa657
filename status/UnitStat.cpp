#include "UnitStat.h"

#include "shell/UnitSetup.h"

#include <QGridLayout>
#include <QVBoxLayout>

TfrmStat* frmStat = nullptr;

namespace {

QLabel* AddLabel(QGridLayout* grid, const QString& text, int row, int col) {
    auto* label = new QLabel(text);
    grid->addWidget(label, row, col);
    return label;
}

QGroupBox* Group(QLayout* parent, const QString& caption, QGridLayout*& grid) {
    auto* group = new QGroupBox(caption);
    grid = new QGridLayout(group);
    parent->addWidget(group);
    return group;
}

} // namespace

TfrmStat::TfrmStat(QWidget* owner) : TStatusMonitor(owner) {
    setWindowTitle(" ｽﾃｰﾀｽ");
    auto* layout = new QVBoxLayout(this);
    QGridLayout* grid = nullptr;
    grpStat = Group(layout, " ｽﾃｰﾀｽ ", grid);
    grpInst = Group(layout, " ｺﾏﾝﾄﾞ入力 ", grid);
    grpOust = Group(layout, " ｽﾃｰﾀｽ出力 ", grid);
    lblOust5 = AddLabel(grid, "5", 0, 0);
    oust_bit5 = AddLabel(grid, "", 0, 1);
    lblOust6 = AddLabel(grid, "6", 1, 0);
    oust_bit6 = AddLabel(grid, "", 1, 1);
    lblOust7 = AddLabel(grid, "7", 2, 0);
    oust_bit7 = AddLabel(grid, "", 2, 1);
    grpAlst = Group(layout, " ｱﾗｰﾑ出力 ", grid);
    alst_bit1 = AddLabel(grid, "", 0, 0);
    alst_bit8 = AddLabel(grid, "", 1, 0);
    alst_bit9 = AddLabel(grid, "", 2, 0);
    alst_bit12 = AddLabel(grid, "", 3, 0);
    alst_bit13 = AddLabel(grid, "", 4, 0);
    alst_bit14 = AddLabel(grid, "", 5, 0);
    alst_bit15 = AddLabel(grid, "", 6, 0);
    grpPoleSens = Group(layout, " 磁極ｾﾝｻ ", grid);
    lblPole_U = AddLabel(grid, "U", 0, 0);
    Pole_U = AddLabel(grid, "", 0, 1);
    lblPole_V = AddLabel(grid, "V", 1, 0);
    Pole_V = AddLabel(grid, "", 1, 1);
    lblPole_W = AddLabel(grid, "W", 2, 0);
    Pole_W = AddLabel(grid, "", 2, 1);
    grpAnother2 = Group(layout, "", grid);
    lblUnderVolt = AddLabel(grid, "不足電圧", 0, 0);
    UnderVolt = AddLabel(grid, "", 0, 1);
    lblOverVolt = AddLabel(grid, "過電圧", 1, 0);
    OverVolt = AddLabel(grid, "", 1, 1);
    lblOverCurrent = AddLabel(grid, "過電流", 2, 0);
    OverCurrent = AddLabel(grid, "", 2, 1);
    grpMailBox = Group(layout, " ﾒｰﾙﾎﾞｯｸｽ ", grid);
    lblMbst = AddLabel(grid, "MBST", 0, 0);
    MBST = AddLabel(grid, "", 0, 1);
    lblSqpt = AddLabel(grid, "SQPT", 1, 0);
    SQPT = AddLabel(grid, "", 1, 1);
    Bevel6 = new QFrame(grpMailBox);
    Bevel7 = new QFrame(grpMailBox);
    for (QFrame* bevel : {Bevel6, Bevel7}) {
        bevel->setFrameShape(QFrame::HLine);
        grid->addWidget(bevel, grid->rowCount(), 0, 1, 2);
    }
    ApplySeriesTexts(SeriesIndex());
}

void TfrmStat::ApplySeriesTexts(int series) {
    if (series < 0 || series > 3)
        return;
    const bool first = series == 0;
    for (QWidget* w : {lblOust5, oust_bit5, lblOust6, oust_bit6, lblOust7, oust_bit7})
        w->setVisible(first);
    for (QWidget* w : std::initializer_list<QWidget*>{
             lblPole_U, Pole_U, lblPole_V, Pole_V, lblPole_W, Pole_W, grpPoleSens, lblUnderVolt,
             UnderVolt, lblOverVolt, OverVolt, lblOverCurrent, OverCurrent, grpAnother2, grpMailBox,
             lblMbst, MBST, lblSqpt, SQPT, Bevel6, Bevel7})
        w->setVisible(!first);
    alst_bit1->setText(first ? " 1 (予約)" : " 1 (電流ﾁｭｰﾆﾝｸﾞ)");
    alst_bit8->setText(first ? " 8 (予約)" : " 8 (電源ｴﾗｰ)");
    alst_bit9->setText(first ? " 9 (暴走検知)" : " 9 (暴走or断線)");
    alst_bit12->setText(first ? " 12(予約)" : " 12(送信ﾊﾞｯﾌｧ)");
    alst_bit13->setText(first ? " 13(予約)" : " 13(ﾎﾟｲﾝﾀｴﾗｰ)");
    alst_bit14->setText(first ? " 14(予約)" : " 14(ﾒﾓﾘｱﾄﾞﾚｽｴﾗｰ)");
    alst_bit15->setText(first ? " 15(予約)" : " 15(ｵﾌﾟｼｮﾝｴﾗｰ)");
    grpStat->setTitle(first ? " #STAT " : " ｽﾃｰﾀｽ ");
    grpInst->setTitle(first ? " #INST " : " ｺﾏﾝﾄﾞ入力 ");
    grpOust->setTitle(first ? " #OUST " : " ｽﾃｰﾀｽ出力 ");
    grpAlst->setTitle(first ? " #ALST " : " ｱﾗｰﾑ出力 ");
}
