// The program memory of one simulated axis: the rows that a program download writes, the echo
// of the last row that "RRX" reads back, and the row pointer that the program upload walks
// ("FLPT=n" sets it, "FL" reads the row there, "FL+" the next one; past the last row the driver
// answers its end mark, the single byte 0xFF).
#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace sim {

class ProgramStore {
public:
    static constexpr char kEndMark = '\xFF';

    // Ways of misbehaving for the tests; each lasts until cleared.
    struct Faults {
        bool wrongEcho = false;      // "RRX" answers the row with its last character changed
        bool replyToRows = false;    // a written row is answered ("E-S")
        bool silentReadBack = false; // "RRX" answers nothing; everything else answers
    };
    Faults faults;

    QList<QByteArray> rows() const { return rows_; }
    void setRows(const QList<QByteArray>& rows) { rows_ = rows; }

    // The program commands (TransferCommands.cpp): "MBCL" clears the program and starts a new
    // one, "RRX" reads back the echo, "FLPT=n" sets the upload's row, "FL" reads the row there
    // and "FL+" the next one.
    void clear();
    std::optional<QByteArray> readBack() const;
    std::optional<QByteArray> setPointer(const QByteArray& row);
    QByteArray rowAtPointer() const { return rowAt(pointer_); }
    QByteArray nextRow();

    // Takes a line that no command claimed as a program row: a line shaped like a compiled row
    // (a bracketed step, "EV", "SQ", "/EV", "/SQ", "DEF", "MBON", "MBOF", a quoted row or a
    // marker row with ':'), or any line once a program is being written (after "MBCL" or a
    // shaped row). `raw` is the line as it came, blanks kept, so marker rows keep their step
    // number's blanks. Nothing when the line is not a row; else the reply (none, or the fault's).
    std::optional<std::optional<QByteArray>> takeRow(const QByteArray& command,
                                                     const QByteArray& raw);

private:
    static bool shapedLikeRow(const QByteArray& command);
    QByteArray rowAt(int index) const;

    QList<QByteArray> rows_;
    QByteArray echo_; // the last row (or "MBCL") received, as it came
    int pointer_ = 0; // the upload's row
    bool writing_ = false;
};

} // namespace sim
