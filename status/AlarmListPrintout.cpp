#include "AlarmListPrintout.h"

#include "DataTablePrintout.h"

#include <QFontMetrics>

namespace {

constexpr int kLeft = 200;

} // namespace

std::vector<PrintedPage> LayoutAlarmListPrintout(const std::vector<AlarmRecordText>& records,
                                                 int lineHeight, int columnOffset, int pageHeight) {
    std::vector<PrintedPage> pages(1);
    pages.back().push_back({kLeft, 0, "ﾄﾞﾗｲﾊﾞｱﾗｰﾑ履歴"});
    int lastY = 0;
    int line = 1;
    for (size_t n = 0; n < records.size(); ++n) {
        const AlarmRecordText& record = records[n];
        if (record.code.isEmpty()) continue;
        if (lastY + 2 * lineHeight > pageHeight) {
            pages.emplace_back();
            line = 1;
        }
        lastY = PrintLineY(lineHeight, line++);
        pages.back().push_back(
            {kLeft, lastY, AlarmLabel(static_cast<int>(n)) + "    " + kAlarmCodeHeader});
        pages.back().push_back(
            {kLeft + columnOffset, lastY,
             " = " + record.code + "    " + kAlarmTimeHeader + " = " + record.time});
    }
    return pages;
}

void PrintAlarmList(QPrinter& printer, const QString& family,
                    const std::vector<AlarmRecordText>& records) {
    ui::PrintPages(printer, "KasoNT Alarm past record", family,
                   [&](const QFontMetrics& metrics, int pageHeight) {
                       return LayoutAlarmListPrintout(
                           records, metrics.height(),
                           metrics.horizontalAdvance("   ALPTH(ｱﾗｰﾑﾘｽﾄﾎﾟｲﾝﾀ)   "), pageHeight);
                   });
}
