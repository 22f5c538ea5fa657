// The parameter list launcher: from the series and the driver's model text it chooses the name
// table, fills and shows the parameter list, or reads the driver's lock masks and shows the lock
// window for models outside the catalogue.
#pragma once

#include "PrmNameTables.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

// The name table of a series and model text; nullopt for the lock window (third and fourth
// series outside the catalogue) and for no series.
std::optional<PrmTable> ChoosePrmTable(int seriesIndex, const QByteArray& modelText);

// Whether the series and model text open the lock window.
bool OpensLockWindow(int seriesIndex, const QByteArray& modelText);

// The guide the launcher shows for a row when it opens the list with `table`.
QStringList OpeningGuideLines(PrmTable table, int seriesIndex, const QByteArray& modelText,
                              int row);

// Fills the list window with a table's names, its header and guide, and shows it.
void FillPrmList(PrmTable table);

// Reads "PRK0".."PRK6" into the lock window's list; false when a reply did not come (the lock
// window then shows the masks read so far).
bool ReadLockMasks();

// The lock-list states of one mask reply: bit b of group k is parameter #(32k + b), 1 free.
void ApplyLockMask(int group, const QByteArray& reply);
