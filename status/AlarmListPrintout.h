// The alarm history printout: a title, then one line per record that has a code, in printer
// pixels.
#pragma once

#include "AlarmListFile.h"
#include "parameters/PrmPrintout.h"

#include <vector>

class QPrinter;

// The headers of the code and time columns, which each printed line repeats.
inline const QString kAlarmCodeHeader = "  ｱﾗｰﾑｺｰﾄﾞ";
inline const QString kAlarmTimeHeader = "  ｱﾗｰﾑ発生時間[ms]";

// Lays the history out: `lineHeight` is the height of "Hi 34", `columnOffset` the width of
// "   ALPTH(ｱﾗｰﾑﾘｽﾄﾎﾟｲﾝﾀ)   ", `pageHeight` the printable height, all in printer pixels.
std::vector<PrintedPage> LayoutAlarmListPrintout(const std::vector<AlarmRecordText>& records,
                                                 int lineHeight, int columnOffset, int pageHeight);

// Prints the history as the print job "KasoNT Alarm past record" in the font family `family` at
// 10 points. Raises ui::Error when the printer fails.
void PrintAlarmList(QPrinter& printer, const QString& family,
                    const std::vector<AlarmRecordText>& records);
