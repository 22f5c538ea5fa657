#include "Codec.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace ui::cp932 {
namespace {

// One iconv conversion; on a sequence it cannot convert it writes `replacement` and skips the
// smallest unit of the input (one UTF-8 character or one byte).
QByteArray Convert(const char* to, const char* from, const QByteArray& input,
                   const QByteArray& replacement, bool inputIsUtf8) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("CP932 conversion is not available");
    QByteArray out;
    out.reserve(input.size() * 3 + 4);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: replace one unit and go on.
        size_t skip = 1;
        if (inputIsUtf8) {
            const unsigned char lead = static_cast<unsigned char>(*in);
            skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            skip = std::min(skip, inLeft);
        }
        in += skip;
        inLeft -= skip;
        out.append(replacement);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

} // namespace

QByteArray Encode(const QString& text) {
    return Convert("CP932", "UTF-8", text.toUtf8(), "?", true);
}

QString Decode(const QByteArray& bytes) {
    return QString::fromUtf8(Convert("UTF-8", "CP932", bytes, "\xEF\xBF\xBD", false));
}

int ByteWidth(const QString& text) { return static_cast<int>(Encode(text).size()); }

} // namespace ui::cp932
