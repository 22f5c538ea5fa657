// The open and save buttons: measurement files of the three buffers and the spectrum's sample
// file, through the data module's shared dialogs. A save replaces the old file only once the new
// one is completely written (ui::WriteWholeFile).
#include "FreqAnalyze.h"

#include "MeasurementFile.h"
#include "TextTable.h"

#include "link/UnitGeneral.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/SafeFile.h"

#include <QFile>
#include <sstream>

namespace {

const QString kCannotOpen = "ファイルが開けませんでした。";

// The part of a file name after its last folder separator.
QString ShortName(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf('\\'), path.lastIndexOf('/'));
    return path.mid(cut + 1);
}

// Reads a whole file into a table; false when it cannot be opened.
bool ReadTable(const QString& path, fra::TextTable& table) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    std::istringstream stream(file.readAll().toStdString());
    fra::ReadTextTable(table, stream);
    return true;
}

// The first character of a column name that a cell of the file cannot hold as it stands: one
// without a CP932 code, a separator or a line end (which would split the cell), the byte 0xFF
// (at which the reader stops).
QString CharacterACellCannotHold(const QString& name) {
    const QString uncoded = ui::UncarriedCharacter(name, ui::Carrier::Document);
    if (!uncoded.isEmpty()) return uncoded;
    for (const QChar ch : name)
        if (ch == ' ' || ch == '\t' || ch == ',' || ch == '\r' || ch == '\n' ||
            ui::cp932::RawByteOf(ch.unicode()) == 0xFF)
            return QString(ch);
    return {};
}

// True when the column names go into the file's first line exactly as they stand and read back
// as the same cells; otherwise the user is told which name, and false. `rowsFollow`: a line
// ending in an empty name would go on with the next line, the first data row.
bool NamesFitTheFile(const QStringList& names, bool rowsFollow) {
    for (const QString& name : names) {
        const QString character = CharacterACellCannotHold(name);
        if (character.isEmpty()) continue;
        ui::ShowWarning(
            ui::RefusalMessage(ui::CharacterName(character), "列名 " + name, ui::Carrier::File),
            "入力エラー");
        return false;
    }
    if (rowsFollow && names.last().isEmpty()) {
        const QString which =
            names.size() > 1 ? QString("%1列目の列名").arg(names.size()) : QString("列名");
        ui::ShowWarning(which + "が空のため、保存できません。", "入力エラー");
        return false;
    }
    return true;
}

// The file's bytes of a name that NamesFitTheFile took.
std::string Bytes(const QString& text) {
    return ui::CarriedBytes(text, ui::Carrier::Document).value_or(QByteArray()).toStdString();
}

} // namespace

void TfrmFRA::btOpenClick() {
    if (IsPage(tsSpectrum))
        LoadSpectrumFile();
    else
        LoadBufferFile(GetActiveBuffer());
}

void TfrmFRA::TellCutName(const QString& kept) {
    ui::ShowMessage(QString("列名が%1ﾊﾞｲﾄを超えるため、先頭の%1ﾊﾞｲﾄだけを読み込みました。\n%2")
                        .arg(QString::number(fra::TextTable::kCellChars), kept),
                    "確認", ui::MsgIcon::Information, ui::MsgButtons::Ok);
}

void TfrmFRA::TellEndMark(const fra::TextTable& table) {
    if (table.EndMarkLine == 0) return;
    ui::ShowMessage(
        QString("ﾊﾞｲﾄ 0xFF をﾌｧｲﾙの終わりとして読み込みを終えたため、%1行目の0xFFから後を"
                "読み込みませんでした。")
            .arg(table.EndMarkLine),
        "確認", ui::MsgIcon::Information, ui::MsgButtons::Ok);
}

void TfrmFRA::ShowBufferInfo(int n) {
    const TFraBuffer& buffer = Buffers[n];
    edFreqFromBuf[n]->setText(QString::number(buffer.FromHz));
    edFreqToBuf[n]->setText(QString::number(buffer.ToHz));
    edFreqStepBuf[n]->setText(QString::number(buffer.StepHz));
    edFileNameBuf[n]->setText(ShortName(buffer.FileName));
    edLCF[n]->setText(edFreqFromBuf[n]->text());
    edHCF[n]->setText(edFreqToBuf[n]->text());
}

void TfrmFRA::LoadBufferFile(int n) {
    TFraBuffer& buffer = Buffers[n];
    if (buffer.Count > 0 && ui::ShowMessage("バッファ" + QString::number(n + 1) +
                                                "の内容が更新されますがよろしいですか？",
                                            "確認", ui::MsgIcon::Information,
                                            ui::MsgButtons::YesNo) != ui::MsgResult::Yes)
        return;
    ui::FileDialog& dialog = *mdlGeneral->OpenDialog1;
    dialog.FileName = buffer.FileName;
    if (!dialog.Execute(this)) return;
    fra::TextTable table(fra::kTableRows);
    if (!ReadTable(dialog.FileName, table)) return ui::ShowWarning(kCannotOpen, "エラー");
    // A file that is refused leaves the buffer and its file name as they were.
    const fra::LoadedMeasurement loaded = fra::ParseMeasurement(table);
    if (!loaded.valid) return ui::ShowWarning("ファイル形式が無効です。", "エラー");
    buffer.Points.reset(new TFraPoint[fra::kMaxPoints]());
    buffer.FileName = dialog.FileName;
    std::copy(loaded.points.begin(), loaded.points.end(), buffer.Points.get());
    buffer.Count = static_cast<int>(loaded.points.size());
    buffer.FromHz = loaded.fromHz;
    buffer.ToHz = loaded.toHz;
    buffer.StepHz = loaded.stepHz;
    for (int c = 0; c < 4; ++c)
        buffer.ColumnNames[c] = ui::cp932::Decode(QByteArray::fromStdString(loaded.columnNames[c]));
    ShowBufferInfo(n);
    DrawActivePage();
    if (loaded.cutName >= 0) TellCutName(buffer.ColumnNames[loaded.cutName]);
    TellEndMark(table);
}

bool TfrmFRA::ActiveNamesFitTheFile() const {
    if (IsPage(tsSpectrum)) return NamesFitTheFile({Spectrum.ColumnName}, Spectrum.SampleCount > 0);
    const TFraBuffer& buffer = Buffers[GetActiveBuffer()];
    return NamesFitTheFile(QStringList(buffer.ColumnNames.begin(), buffer.ColumnNames.end()),
                           buffer.Count > 0);
}

void TfrmFRA::SaveFileAs() {
    if (!ActiveNamesFitTheFile()) return;
    ui::FileDialog& dialog = *mdlGeneral->SaveDialog1;
    const QString keptTitle = dialog.Title;
    const QString keptExt = dialog.DefaultExt;
    const bool spectrum = IsPage(tsSpectrum);
    dialog.FileName = spectrum ? Spectrum.FileName : Buffers[GetActiveBuffer()].FileName;
    dialog.Title = spectrum ? "スペクトル用データを保存" : "解析データを保存";
    dialog.DefaultExt = "csv";
    dialog.Filter = "CSVファイル(*.csv)|*.CSV";
    const bool confirmed = dialog.Execute(this);
    dialog.Title = keptTitle;
    dialog.DefaultExt = keptExt;
    if (!confirmed) return;
    (spectrum ? Spectrum.FileName : Buffers[GetActiveBuffer()].FileName) = dialog.FileName;
    SaveFile();
}

void TfrmFRA::SaveFile() {
    const bool spectrum = IsPage(tsSpectrum);
    const int n = GetActiveBuffer();
    const QString name = spectrum ? Spectrum.FileName : Buffers[n].FileName;
    if (name.isEmpty()) return SaveFileAs();
    if (!ActiveNamesFitTheFile()) return;
    std::string text;
    if (spectrum) {
        text =
            fra::FormatSamples(Bytes(Spectrum.ColumnName),
                               std::vector<int>(Spectrum.Samples.begin(),
                                                Spectrum.Samples.begin() + Spectrum.SampleCount));
    } else {
        const TFraBuffer& buffer = Buffers[n];
        std::array<std::string, 4> names;
        for (int c = 0; c < 4; ++c)
            names[c] = Bytes(buffer.ColumnNames[c]);
        std::vector<TFraPoint> points;
        if (buffer.Points) points.assign(buffer.Points.get(), buffer.Points.get() + buffer.Count);
        text = fra::FormatMeasurement(names, points);
    }
    const QString failure = ui::WriteWholeFile(name, QByteArray::fromStdString(text));
    if (!failure.isEmpty())
        return ui::ShowWarning(QString("%1\n%2\n%3").arg(kCannotOpen, name, failure), "エラー");
    if (!spectrum) edFileNameBuf[n]->setText(ShortName(name));
}
