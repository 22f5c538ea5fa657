// The compiled program reader of the download and its row checks: any bytes; no row keeps a line
// feed, upper-casing keeps every length, and a row the check lets through can go on the line.
#include "FuzzInput.h"
#include "editor/ProgramRows.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const bool emptyRowsAllowed = input.Number<std::uint8_t>() % 2 == 0;
    const QByteArray bytes = input.Rest();
    const QList<QByteArray> rows = editor::CompiledRows(bytes);
    qsizetype total = 0;
    for (const QByteArray& row : rows) {
        // One CR LF ends a row; a stray CR before it stays, for the row check to refuse.
        FUZZ_CHECK(!row.contains('\n'));
        total += row.size();
    }
    FUZZ_CHECK(total <= bytes.size());
    FUZZ_CHECK(editor::UpperCaseAscii(bytes).size() == bytes.size());
    const editor::RowCheck check = editor::CheckRows(rows, emptyRowsAllowed);
    if (check.fault == editor::RowFault::None) {
        for (const QByteArray& row : rows) {
            FUZZ_CHECK(row.size() <= editor::kMaxRowBytes);
            for (const char c : row)
                FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
        }
    } else {
        FUZZ_CHECK(check.row >= 0 && check.row < rows.size());
    }
    return 0;
}
