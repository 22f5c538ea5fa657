// The five rate commands that switch the driver's line rate, matched on a typed line with its
// blanks removed.
#pragma once

#include <QByteArray>
#include <QString>

struct RateCommand {
    const char* command;
    int baud;
    const char* label;
};

// The rate command a typed line makes, or nullptr for a plain line. The first command contained
// in the stripped line decides, and it is a rate change only when the stripped line is exactly
// that command ("BH1" switches to 19200 though "BH" is contained too; "BH20" is a plain line).
const RateCommand* MatchRateCommand(const QByteArray& typedLine);

// Whether a typed line wants no answer and so goes out at once, as a write: it only designates an
// axis ("X:", "*:") or sets a value ("#12=5"); "==", the start of continuous output, is answered.
bool TypedLineIsWrite(const QByteArray& typedLine);
