// Program rows: reading, checking and the per-row rules of the download.
#include "ProgramRows.h"

#include "ui/Codec.h"

namespace editor {

QByteArray UpperCaseAscii(const QByteArray& bytes) {
    QByteArray upper = bytes;
    for (qsizetype i = 0; i < upper.size(); ++i) {
        const auto c = static_cast<unsigned char>(upper[i]);
        if (ui::cp932::IsLeadByte(c))
            ++i; // the trail byte may look like an ASCII letter
        else if (c >= 'a' && c <= 'z')
            upper[i] = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

QList<QByteArray> CompiledRows(const QByteArray& fileBytes) {
    QList<QByteArray> rows = fileBytes.split('\n');
    if (rows.back().isEmpty()) rows.removeLast(); // the rest after the final line end
    for (QByteArray& row : rows) {
        if (row.endsWith('\r')) row.chop(1);
        row = UpperCaseAscii(row);
    }
    return rows;
}

QList<QByteArray> EditorRows(const QStringList& lines) {
    QList<QByteArray> rows;
    rows.reserve(lines.size());
    for (const QString& line : lines)
        rows.append(ui::cp932::Encode(line));
    return rows;
}

RowCheck CheckRows(const QList<QByteArray>& rows, bool emptyRowsAllowed) {
    for (int n = 0; n < rows.size(); ++n) {
        const QByteArray& row = rows[n];
        if (row.size() > kMaxRowBytes) return {RowFault::TooLong, n};
        if (row.isEmpty() && !emptyRowsAllowed) return {RowFault::Empty, n};
        for (const char c : row)
            if (ui::cp932::IsControl(c)) return {RowFault::BadCharacter, n};
    }
    return {};
}

bool NeedsReadBack(const QByteArray& row, int seriesIndex) {
    if (seriesIndex == 0 || row.isEmpty()) return false;
    for (const char* marker : {"==", "##", "#$", "#&", "#%"})
        if (row.contains(marker)) return false;
    return true;
}

bool ClearsProgram(const QByteArray& row) {
    return UpperCaseAscii(row).contains("MBCL");
}

int PaceTicks(int baudIndex, int length) {
    switch (baudIndex) {
    case 0:
        return 18 * (length + 1) / 10;
    case 1:
        return 4 * (length + 1) / 10;
    case 2:
        return 2 * (length + 1) / 10;
    default: // 19200 and 38400 bps
        return (length + 1) / 10;
    }
}

} // namespace editor
