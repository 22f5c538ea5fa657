// Parameter files (.prm): Shift-JIS text, one "name record=value" line per parameter with a
// value, lines ended by CR LF. The reader finds each parameter by the number after "#", so a
// file of one parameter set loads into the grid of another; it also reads older files divided
// into sections headed by a serial number ("S" and the number).
#pragma once

#include "ui/CarriedText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// The file's bytes for the rows that have a value (names and values by parameter number), each
// value exactly as it stands; refused at the first value (its index is its parameter number)
// that a file cannot carry, or that holds the byte 0xFF, at which the reader ends the file. A
// line always starts with its parameter's "#nnn" record.
ui::FileText FormatPrmFile(const QStringList& names, const QStringList& values);

// Whether a file holds nothing but blanks and line ends (the file of a list without values).
bool IsBlankPrmFile(const QByteArray& bytes);

// The largest parameter file read; real ones are a few kilobytes.
inline constexpr qint64 kPrmFileSizeLimit = 1 << 20;

// The bytes of a parameter record's name.
inline constexpr int kPrmNameRecordBytes = 27;

class PrmFileReader {
public:
    // `valueLimit` is the longest value in bytes the window takes (37 or 61).
    PrmFileReader(QByteArray bytes, int valueLimit);

    // Looks for the first "#" or section mark; true when a section mark ("S" or "s") comes
    // first, in which case FindSection must place the reader before records are read.
    bool StartsWithSection();

    // Moves to the section whose header carries `serial` (compared in upper case); false when
    // no header does.
    bool FindSection(const QString& serial);

    struct Result {
        // The values by row (1 to N); rows the file does not name are absent.
        std::vector<std::pair<int, QString>> values;
        // The records that could not be taken, in the file's words, for the user: numbers that
        // are not parameters of the grid, values that are not numbers, lines without "=".
        QStringList skipped;
        // How many records gave their row a value (or emptied it).
        int taken = 0;
        // The records after a byte 0xFF, which ends the reading: how many, and the first of
        // them in the file's words with the number of its line (counted from 1). None when the
        // file has no such byte, or nothing but blanks and line ends after it.
        int unreadAfterEndMark = 0;
        QString firstUnread;
        int firstUnreadLine = 0;
    };

    // Reads records until the end or an upper-case "S" between records. Records numbered
    // outside 0 to count - 1, and every record after one numbered count or more, are skipped.
    Result ReadRecords(int count);

private:
    bool AtEnd() const;
    QByteArray ReadLineRest();
    // Counts the records that stand from `from` on, the end mark at pos_ passed over.
    void CountUnread(qsizetype from, Result& result) const;

    QByteArray bytes_;
    int valueLimit_;
    qsizetype pos_ = 0;
};

// What the user is told of the records that a byte 0xFF left unread (how many, and from which
// line and record); empty when it left none.
QString EndMarkMessage(const PrmFileReader::Result& result);
