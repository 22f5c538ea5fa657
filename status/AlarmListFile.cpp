#include "AlarmListFile.h"

#include "DataTableFile.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"

namespace {

// The largest time the file holds: 18 digits, what a time field carries at most.
constexpr long long kTimeLimit = 999'999'999'999'999'999;

QList<QByteArray> Lines(const QByteArray& bytes) {
    QByteArray text = bytes;
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text.split('\n');
}

} // namespace

QString AlarmLabel(int index) {
    return QString(" ALHPT No%1 ").arg(index, 2);
}

ui::FileText FormatAlarmListFile(const std::vector<AlarmRecordText>& records) {
    ui::FileText file;
    size_t written = records.size();
    while (written > 0 && records[written - 1].code.isEmpty() &&
           records[written - 1].time.isEmpty())
        --written;
    for (size_t n = 0; n < written; ++n) {
        const AlarmRecordText& record = records[n];
        const int index = static_cast<int>(n);
        // A TAB or a line end inside a field would shift the record's columns.
        const std::optional<QByteArray> code = ui::CarriedBytes(record.code, ui::Carrier::File);
        if (!code) return ui::FileText::Refusing(index, record.code, ui::Carrier::File);
        const std::optional<QByteArray> time = ui::CarriedBytes(record.time, ui::Carrier::File);
        if (!time) return ui::FileText::Refusing(index, record.time, ui::Carrier::File);
        file.bytes += ui::cp932::Encode(AlarmLabel(index)) + '\t' + *code + '\t' + *time + "\r\n";
    }
    return file;
}

AlarmListFileContents ReadAlarmListFile(const QByteArray& bytes) {
    AlarmListFileContents contents;
    for (const QByteArray& line : Lines(bytes)) {
        if (contents.records.size() >= kAlarmRecordCount) break;
        const qsizetype codeStart = line.indexOf('\t') + 1;
        if (codeStart == 0) continue; // no record on this line (a blank line, say)
        qsizetype codeEnd = line.indexOf('\t', codeStart);
        if (codeEnd < 0) codeEnd = line.size();
        const QByteArray timeText = line.mid(codeEnd + 1);
        AlarmRecordText record{ui::cp932::Decode(line.mid(codeStart, codeEnd - codeStart)), {}};
        const std::optional<long long> time = LeadingDecimal(timeText);
        if (time && *time >= -kTimeLimit && *time <= kTimeLimit) {
            record.time = QString::number(*time);
        } else if (!timeText.trimmed().isEmpty()) {
            // A record reported as not read shows nothing of it: half a record would pass for
            // a whole one.
            contents.unreadable.append(ui::cp932::Decode(line.left(80)));
            record = {};
        }
        contents.records.push_back(record);
    }
    return contents;
}
