// The data transfers' start addresses and upload table cells over any typed text and reply.
#include "FuzzInput.h"
#include "editor/DataAddress.h"
#include "editor/UploadTable.h"
#include "ui/Codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace address = editor::address;
    FuzzInput input(data, size);
    const auto n = input.Number<std::uint64_t>();
    const int digits = input.Number<std::int8_t>();
    const bool halfSteps = input.Number<std::uint8_t>() & 1;
    const QByteArray reply = input.Bytes(64);
    const std::string text = input.Rest().toStdString();

    (void)address::UploadDialogAccepts(text);
    (void)address::DownloadDialogAccepts(text);
    (void)address::IsBarePrefix(text);
    if (const auto start = address::Parse(text)) {
        const std::string label = address::RowLabel(*start, n, halfSteps, digits);
        // A label is the prefix and a number, or nothing for a text without a known prefix.
        FUZZ_CHECK(label.rfind(start->prefix, 0) == 0);
        FUZZ_CHECK(start->kind != address::kNone || label.empty());
        FUZZ_CHECK(label.size() <= start->prefix.size() + 20);
        (void)address::ValueStep(start->kind, halfSteps);
    }
    // A cell is never shorter than its column.
    const QString cell = editor::Pad12(ui::cp932::Decode(reply));
    FUZZ_CHECK(ui::cp932::ByteWidth(cell) >= editor::kUploadCellWidth);
    (void)editor::FirstSeriesChannelName(ui::cp932::Decode(reply));
    return 0;
}
