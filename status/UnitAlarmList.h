// The alarm history window: the driver's last 100 alarms (code and time of occurrence) in a
// grid; reads them from the driver one reply at a time, saves, loads and prints them.
#pragma once

#include "AlarmListFile.h"
#include "RecordTransfer.h"
#include "ui/Form.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <vector>

class TfrmAlarmList : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmAlarmList(QWidget* owner);

    ui::StringGrid* grdAlarmList;
    QFrame* pnlWithComm;
    QPushButton* btnReadAlarm;
    QPushButton* btnOpenForSnd;
    QPushButton* btnSaveAlarm;
    QPushButton* btnSave; // print
    QLabel* Label1;       // "KASO"
    QLabel* Label3;       // "2"
    ui::Timer* Timer1;    // 1 ms ticks between the first selection and its use

    void btnReadAlarmClick();
    // The read chain: started with btnReadAlarm as sender, then one step per reply.
    void ReceiveAlarmList(QObject* sender);
    void btnSaveAlarmClick();
    void btnOpenAlarmListClick();
    void btnSaveAlarmListClick();

    bool ReadRunning() const { return transfer_.Reading(); }

protected:
    void FormActivate() override;
    // The grid follows the window's height.
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void BuildPanels();
    std::vector<AlarmRecordText> Records() const;
    void LoadFile(const QString& path);
    RecordTransfer transfer_;
};

extern TfrmAlarmList* frmAlarmList;
