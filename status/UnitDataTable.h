// The data table window: the driver's data table entries in a grid of label, value and reference
// value; reads them from the driver one reply at a time, writes the values back, saves, loads and
// prints them. Reference values that differ from the value beside them are shown in red.
#pragma once

#include "RecordTransfer.h"
#include "ui/Form.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

class TfrmDataTable : public ui::Form {
    Q_OBJECT
public:
    static inline const QString kHeaderKaso = "     KASO";
    static inline const QString kHeaderKaso2 = "     KASO2";

    explicit TfrmDataTable(QWidget* owner);

    ui::StringGrid* grdDataTable;
    QFrame* pnlWithComm;
    QPushButton* btnReadDataTable;
    QPushButton* btnSendDataTable;
    QPushButton* btnOpenForSndDataTable; // a file into the value column
    QPushButton* btnSaveDataTable;
    QPushButton* btnSave; // print
    QLabel* Label1;       // "KASO"
    QLabel* Label3;       // the "2" after "KASO"
    QFrame* pnlWithFile;
    QPushButton* btnOpen; // a file into the reference column
    QLabel* Label2;
    ui::Timer* Timer1; // 1 ms ticks between an entry's selection and its use

    int OpenColumn = 1;
    void btnReadDataTableClick();
    // The read chain: started with btnReadDataTable as sender, then one step per reply.
    void ReceiveDataTable(QObject* sender);
    void btnSendDataTableClick();
    void btnSaveDataTableClick();
    void btnOpenDataTableClick(QObject* sender);
    void btnSaveClick();

    // Gives the grid a header row and `rows` - 1 entry rows, their reference cells read-only.
    void SetGridRows(int rows);

    // Colours a row's reference red when it and the value are both set and differ as texts.
    void RefreshRowMark(int row);
    void RefreshMarks();
    bool ReadRunning() const { return transfer_.Reading(); }

protected:
    void FormShow() override;
    void FormActivate() override;
    // The grid follows the window's height.
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void BuildPanels();
    // The entries of the table on screen: one per grid row below the header.
    int ComputeEntryCount() const;
    QStringList Values(int count) const;
    void LoadFile(const QString& path, int count);
    RecordTransfer transfer_;
};

extern TfrmDataTable* frmDataTable;
