// The transfers that the data table and alarm history windows share, each one exchange with the
// driver: the probe that opens it; the reply-driven read of a table of records (for each record
// a selection, then one request per field, each reply stored as it comes) and the write of one
// value per record, both with the progress window and its cancel. A selection the driver refuses
// ends a read at that record (what follows would be another record's); in a write it keeps its
// value back, and the write ends naming every value not written. Records are named by the
// grid's first column.
#pragma once

#include "link/Exchange.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

class RecordTransfer {
public:
    struct Table {
        QByteArray selection;       // "#DTPT=" or "ALHPT=": the record number and CR follow
        QList<QByteArray> requests; // one per field, each answered by one reply line
        int count = 0;              // records
        // The bar after record n: n + 1 of count, or n of count (the alarm history ends at 99).
        bool barCountsRecordDone = true;
    };

    // `grid` follows the transfer row by row; `ticks` (1 ms) paces a selection before its use;
    // the read's replies come under `replyId`.
    RecordTransfer(QObject* window, ui::StringGrid* grid, ui::Timer* ticks, TRequestId replyId);

    // Stores the reply of field `field` (an index into Table::requests) of record `record`.
    std::function<void(int record, int field, const QByteArray& reply)> OnStore;
    // Runs when a write starts (true) and at every end of it (false): the window locks its
    // buttons meanwhile.
    std::function<void(bool)> OnWriting;
    // Marks record `record`'s value as not written (true) or clears the mark (false).
    std::function<void(int record, bool notWritten)> OnMarkNotWritten;

    // Sends the probe that opens a transfer; false when the line does not take it.
    bool Probe(const QByteArray& line);

    // Shows the progress window and asks for the first record; the replies are stored as they
    // come, and each asks for the next.
    void StartRead(const Table& table);
    // One reply line of the read; nothing when no read runs.
    void Receive(const QByteArray& reply);
    bool Reading() const { return exchange_.Running() && !writing_; }

    // Writes record by record: for each record whose value is not empty, its selection, three
    // ticks, then `command` with the value and CR; `sent` runs after each record sent.
    void Write(const QByteArray& selection, const QByteArray& command, int count,
               const std::function<QByteArray(int)>& valueOf, const std::function<void(int)>& sent);

private:
    bool RequestField(int field);
    Ticket SendSelection(const QByteArray& selection, int record);
    QString RecordName(int record) const;
    bool SelectionRefused();
    void ClearFrom(int record);
    void WriteRecords(const QByteArray& selection, const QByteArray& command, int count,
                      const std::function<QByteArray(int)>& valueOf,
                      const std::function<void(int)>& sent);
    void EndWrite();
    void Ended();

    ui::StringGrid* grid_;
    ui::Timer* ticks_;
    Exchange exchange_;
    Table table_;
    bool writing_ = false;
    WriteRun run_;
    Ticket selection_; // the read's selection of the record it asks for
    int record_ = 0;
    int field_ = 0;
};
