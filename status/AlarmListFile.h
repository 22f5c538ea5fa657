// Alarm history files (.alm): CP932 text, one line per record in record order: the record's
// label, TAB, the code, TAB, the time in ms, CR LF. The reader places records in file order and
// does not look at the labels, so the file holds every record up to the last one that has a
// code or a time, the empty ones too: each loads back under its own number.
#pragma once

#include "ui/CarriedText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

inline constexpr int kAlarmRecordCount = 100;

// The label of record `index` as the grid's first column shows it (" ALHPT No 0 ").
QString AlarmLabel(int index);

struct AlarmRecordText {
    QString code;
    QString time;
};

// The file's bytes for the records in order (record n at index n) up to the last one with a code
// or a time, each field exactly as it stands; refused at the first record that holds a character
// a file cannot carry.
ui::FileText FormatAlarmListFile(const std::vector<AlarmRecordText>& records);

struct AlarmListFileContents {
    // The records the file holds, at most kAlarmRecordCount; the code as written, the time as
    // its decimal number (empty when the file gives none).
    std::vector<AlarmRecordText> records;
    // Lines whose time holds no number it can carry, in the file's words; their records keep
    // their places and stay empty.
    QStringList unreadable;
};

AlarmListFileContents ReadAlarmListFile(const QByteArray& bytes);
