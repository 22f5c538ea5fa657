// Editor documents: any file opens; saving what was opened and opening that again gives the same
// lines, and the step numbering of any text stays within its lines.
#include "FuzzInput.h"
#include "editor/EditSteps.h"
#include "ui/EditorPane.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

std::optional<QStringList> Open(const QString& path) {
    std::optional<QString> text = ui::EditorPane::ReadTextFromFile(path);
    if (!text) return std::nullopt;
    if (text->endsWith(QChar(0x1A))) text->chop(1);
    return ui::EditorPane::SplitLines(*text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString original = dir.filePath("original.MB");
    const QString saved = dir.filePath("saved.MB");
    {
        QFile file(original);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const std::optional<QStringList> lines = Open(original);
    FUZZ_CHECK(lines.has_value());
    (void)editor::NumberSteps(*lines);
    ui::EditorPane::WriteLinesToFile(saved, *lines);
    const std::optional<QStringList> again = Open(saved);
    FUZZ_CHECK(again.has_value() && *again == *lines);
    return 0;
}
