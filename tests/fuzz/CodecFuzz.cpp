// The CP932 codec: decoding then encoding gives every byte sequence back, and the byte width of
// a decoded text is the number of bytes it came from.
#include "FuzzInput.h"
#include "ui/Codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = ui::cp932::Decode(bytes);
    FUZZ_CHECK(ui::cp932::Encode(text) == bytes);
    FUZZ_CHECK(ui::cp932::ByteWidth(text) == bytes.size());
    return 0;
}
