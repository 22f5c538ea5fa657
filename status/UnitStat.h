// The first status monitor (first and second series, and the third series' QWC30 models).
#pragma once

#include "StatusMonitor.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

class TfrmStat : public TStatusMonitor {
    Q_OBJECT
public:
    explicit TfrmStat(QWidget* owner);

    // The components whose texts and visibility follow the series.
    QGroupBox* grpStat;
    QGroupBox* grpInst;
    QGroupBox* grpOust;
    QGroupBox* grpAlst;
    QLabel *lblOust5, *oust_bit5, *lblOust6, *oust_bit6, *lblOust7, *oust_bit7;
    QGroupBox* grpPoleSens;
    QLabel *lblPole_U, *Pole_U, *lblPole_V, *Pole_V, *lblPole_W, *Pole_W;
    QLabel *lblUnderVolt, *UnderVolt, *lblOverVolt, *OverVolt, *lblOverCurrent, *OverCurrent;
    QGroupBox* grpAnother2;
    QGroupBox* grpMailBox;
    QLabel *lblMbst, *MBST, *lblSqpt, *SQPT;
    QFrame *Bevel6, *Bevel7;
    QLabel *alst_bit1, *alst_bit8, *alst_bit9, *alst_bit12, *alst_bit13, *alst_bit14, *alst_bit15;

    // Shows the components and texts of a series (0 the first; 1 to 3 the others; any other
    // index changes nothing).
    void ApplySeriesTexts(int series);
};

extern TfrmStat* frmStat;
