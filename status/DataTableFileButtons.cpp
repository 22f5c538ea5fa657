// The data table window's file and printer buttons: save the values, load a file into the value
// or the reference column, print the values.
#include "DataTableFile.h"
#include "DataTablePrintout.h"
#include "RecordWindowParts.h"
#include "UnitDataTable.h"
#include "ui/SafeFile.h"

#include "link/UnitGeneral.h"
#include "ui/Dialogs.h"

#include <QFileInfo>

namespace {

const QString kFilter = "ﾃﾞｰﾀﾃｰﾌﾞﾙ(*.dat)|*.DAT";

} // namespace

// The file holds what the cells held when the button was pressed: a value it cannot carry as it
// stands refuses the save before a file is chosen, naming its entry.
void TfrmDataTable::btnSaveDataTableClick() {
    SaveRecordsThroughDialog(this, kFilter, "dat", FormatDataTableFile(Values(ComputeEntryCount())),
                             [](int entry) { return DataTableLabel(entry).trimmed(); });
    grdDataTable->setFocus();
}

void TfrmDataTable::btnOpenDataTableClick(QObject* sender) {
    OpenColumn = sender == btnOpenForSndDataTable ? 1 : 2;
    const int count = ComputeEntryCount();
    OpenRecordsThroughDialog(this, kFilter,
                             [this, count](const QString& path) { LoadFile(path, count); });
    grdDataTable->setFocus();
}

void TfrmDataTable::LoadFile(const QString& path, int count) {
    const std::optional<QByteArray> bytes = ReadRecordFile(path);
    if (!bytes) return;
    DataTableFileReader reader(*bytes);
    if (reader.StartsWithSection()) {
        const std::optional<QString> serial =
            ui::InputQuery("ｼﾘｱﾙNo入力", "古いﾊﾞｰｼﾞｮﾝでｼﾘｱﾙNoの指定が必要です。", "");
        if (!serial || serial->isEmpty()) return;
        if (!reader.FindSection(*serial)) {
            ui::ShowWarning("指定されたｼﾘｱﾙNoが見つかりませんでした。", "ｼﾘｱﾙNoｴﾗｰ");
            return;
        }
    }
    grdDataTable->SetCell(OpenColumn, 0, QFileInfo(path).fileName());
    for (int row = 1; row <= count; ++row)
        grdDataTable->SetCell(OpenColumn, row, QString());
    const DataTableFileReader::Result result = reader.ReadEntries(count);
    for (const auto& [index, value] : result.values)
        grdDataTable->SetCell(OpenColumn, index + 1, value);
    RefreshMarks();
    if (!result.unreadable.isEmpty())
        ui::ShowWarning(ui::UnreadableRecordsMessage(result.unreadable), "警告");
}

void TfrmDataTable::btnSaveClick() {
    PrintRecordsThroughDialog(this, [this](QPrinter& printer) {
        PrintDataTable(printer, grdDataTable->font().family(), grdDataTable->Cell(1, 0),
                       Values(ComputeEntryCount()));
    });
    grdDataTable->setFocus();
}
