// The display names of the driver parameters: one table per parameter set that the program
// knows, and the 200 names of the lock window, which serve as the master list.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

enum class PrmTable { QWA, QWB, QWC30, QWC50A_B0, QWC50A_B1, QWC50A_C3, Lock };

// The name records of a table in parameter-number order (record i holds #i). Each record is
// " #nnn name" padded with blanks to 27 bytes of Shift-JIS, as the grid's column 0 shows it.
const QStringList& PrmNames(PrmTable table);

// One record built from a parameter number and a name.
QString PrmNameRecord(int number, const QString& name);

inline constexpr int kPrmNameRecordBytes = 27;
