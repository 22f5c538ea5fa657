// The poll cycles of the two status monitors: the command of each step, the cycle length, the
// choice between the status commands and the memory reads, the variable selectors' commands and
// the launcher's choice of monitor.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace status {

enum class Monitor { Stat, StatQwc };

// The last step of a cycle: the first monitor 10 for the first series and 14 for the others,
// the third and fourth series' monitor 13.
int LastPollStep(Monitor monitor, int series);

// The command of a fixed step, without CR; empty for the variable steps 4 and 5 and for steps
// outside the cycle. The first monitor sends its status commands in lower case.
QByteArray FixedPollCommand(Monitor monitor, int series, int newStatusCommands, int step);

// NewStatusCommands for a model text: 1 for "E01CHMB4" models, 0 for "E-S", "D55", "D56" and
// other "E01" models; any other text keeps `previous`.
int NewStatusCommandsOf(const QByteArray& modelText, int previous);

// True when the launcher opens the third and fourth series' monitor.
bool OpensQwcMonitor(int series, const QByteArray& versionText);

// The items of the variable selectors; the last one is the user's own variable.
const QStringList& StatVariableItems();
const QStringList& StatQwcVariableItems();

// The command of a selector, without CR: an item before the last sends its text up to the first
// blank, in upper case; the last item and no item (-1) send the user's own name.
QString VariableCommand(const QStringList& items, int itemIndex, const QString& customName);

} // namespace status
