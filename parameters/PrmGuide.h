// The guide texts of the two parameter windows: the lines shown for a grid row, chosen by the
// driver series and, for some rows, by the model text.
#pragma once

#include <QByteArray>
#include <QStringList>

// The list window's guide of grid row `row` (row r holds parameter #r-1); empty outside 1..110.
QStringList PrmGuideLines(int seriesIndex, const QByteArray& versionText, int row);

// The lock window's guide of grid row `row`; empty outside 1..200.
QStringList PrmLockGuideLines(int row);
