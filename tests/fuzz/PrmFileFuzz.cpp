// The parameter file reader: any bytes, any parameter count; rows stay inside the grid.
#include "FuzzInput.h"
#include "parameters/PrmFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int count = 1 + input.Number<std::uint8_t>() % 220;
    const int valueLimit = input.Number<std::uint8_t>() % 2 ? 61 : 37;
    PrmFileReader reader(input.Rest(), valueLimit);
    if (reader.StartsWithSection() && !reader.FindSection("S123")) return 0;
    const PrmFileReader::Result result = reader.ReadRecords(count);
    for (const auto& entry : result.values)
        FUZZ_CHECK(entry.first >= 0 && entry.first <= count);
    return 0;
}
