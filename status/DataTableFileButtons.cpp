// The data table window's file and printer buttons: save the values, load a file into the value
// or the reference column, print the values.
#include "DataTableFile.h"
#include "ui/SafeFile.h"
#include "DataTablePrintout.h"
#include "UnitDataTable.h"

#include "shell/UnitGeneral.h"
#include "ui/Dialogs.h"
#include "ui/FileDialogs.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kFilter = "ﾃﾞｰﾀﾃｰﾌﾞﾙ(*.dat)|*.DAT";

} // namespace

void TfrmDataTable::btnSaveDataTableClick() {
    const int count = ComputeEntryCount();
    ui::FileDialog& dialog = *mdlGeneral->SaveDialog1;
    dialog.Filter = kFilter;
    dialog.DefaultExt = "dat";
    if (dialog.Execute(this)) {
        const QString failure = ui::WriteWholeFile(dialog.FileName, FormatDataTableFile(Values(count)));
        if (!failure.isEmpty())
            ui::ShowWarning(
                QString("ファイルを保存できませんでした。\n%1\n%2").arg(dialog.FileName, failure),
                "警告");
    }
    grdDataTable->setFocus();
}

void TfrmDataTable::btnOpenDataTableClick(QObject* sender) {
    OpenColumn = sender == btnOpenForSndDataTable ? 1 : 2;
    const int count = ComputeEntryCount();
    ui::FileDialog& dialog = *mdlGeneral->OpenDialog1;
    dialog.Filter = kFilter + "|すべてのﾌｧｲﾙ(*.*)|*.*";
    dialog.DefaultExt.clear();
    if (dialog.Execute(this)) LoadFile(dialog.FileName, count);
    grdDataTable->setFocus();
}

void TfrmDataTable::LoadFile(const QString& path, int count) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui::ShowWarning("ファイルが見つかりませんでした。\n指定したファイル名が正しいかどうか確認し"
                        "てください。",
                        "警告");
        return;
    }
    DataTableFileReader reader(file.readAll());
    file.close();
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
    if (mdlGeneral->PrintDialog1->Execute(this)) {
        try {
            PrintDataTable(mdlGeneral->PrintDialog1->Printer(), grdDataTable->font().family(),
                           grdDataTable->Cell(1, 0), Values(ComputeEntryCount()));
        } catch (const std::exception&) {
            ui::ShowWarning("印刷エラーが発生しました。", "エラー");
        }
    }
    grdDataTable->setFocus();
}
