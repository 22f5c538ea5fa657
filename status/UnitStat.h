// The first status monitor (first and second series, and the third and fourth series' QWC30
// models): lower-case status commands, and a choice between the status commands and the memory
// reads by the driver's model text.
#pragma once

#include "StatusMonitor.h"

class TfrmStat : public TStatusMonitor {
    Q_OBJECT
public:
    explicit TfrmStat(QWidget* owner);

    // The last reply to "VER" of the cycle.
    QByteArray ModelText;
    // -1 until a model text decided; non-zero selects "INSTA" and "BUSAL", 0 the memory reads.
    int NewStatusCommands = -1;

    // The components whose texts and visibility follow the series.
    QLabel *lblOust5, *oust_bit5, *lblOust6, *oust_bit6, *lblOust7, *oust_bit7;
    QLabel *alst_bit1, *alst_bit8, *alst_bit9, *alst_bit12, *alst_bit13, *alst_bit14, *alst_bit15;

    // Shows the components and texts of a series (0 the first; 1 to 3 the others; any other
    // index changes nothing).
    void ApplySeriesTexts(int series);
    void SetNewStatusCommands();

protected:
    QByteArray FixedCommand(int step) override;
    status::WordForm ExtraWordForm() const override;
    void StoreModelText(const QByteArray& reply) override { ModelText = reply; }
};

extern TfrmStat* frmStat;
