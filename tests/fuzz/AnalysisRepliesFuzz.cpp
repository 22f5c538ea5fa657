// The analysis run's reply numbers and the gain and phase of any point words: a reply is a number
// only as optional blanks, a sign and digits within the int range, and no point makes the
// arithmetic undefined.
#include "FuzzInput.h"
#include "analysis/FraResponse.h"
#include "analysis/TextTable.h"

#include <cerrno>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    TFraPoint point{};
    point.Freq = input.Number<std::int32_t>();
    point.InjectedAmp = input.Number<std::int32_t>();
    point.Value3 = input.Number<std::int32_t>();
    point.Value4 = input.Number<std::int32_t>();
    for (const bool complexData : {false, true})
        for (const bool openLoop : {false, true}) {
            (void)fra::GainDb(fra::BodeGainRatio(point, complexData, openLoop));
            (void)fra::RollOverPhase(fra::BodePhase(point, complexData, openLoop));
            (void)fra::VectorPoint(point, complexData, openLoop);
        }

    const QByteArray reply = input.Rest();
    const std::string text(reply.constData(), static_cast<size_t>(reply.size()));
    if (const std::optional<int> number = fra::ParseWholeNumber(text)) {
        // Whatever was read as a number reads the same as the C library reads it.
        errno = 0;
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        FUZZ_CHECK(errno == 0 && value == *number);
    }
    return 0;
}
