// The logging set-up's reply rules and channel scales over any replies and drive constants.
#include "FuzzInput.h"
#include "logging/ChannelScale.h"
#include "logging/LoggingRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    logging::ScaleConstants constants;
    constants.kencValue = input.Number<int>();
    constants.pulseScale = input.Number<int>();
    constants.speedScale = input.Number<int>();
    constants.encoderResolution = input.Number<int>();
    constants.linearMotorLength = input.Number<int>();
    constants.ratedCurrent = input.Number<int>();
    constants.detectMultiplier = input.Number<int>();
    constants.motorType = input.Number<int>();
    constants.driverMaxCurrent = input.Number<int>();
    const int variable = input.Number<std::int8_t>();
    const int exponent = input.Number<std::int8_t>();
    const int multiplier = input.Number<std::int8_t>();
    for (const auto series :
         {logging::FourChannelSeries::Second, logging::FourChannelSeries::ThirdFourth})
        (void)logging::FourChannelScale(series, variable, exponent, multiplier, constants);
    (void)logging::FirstSeriesScale(variable, exponent, multiplier, constants);
    (void)logging::FirstSeriesKenc(constants.encoderResolution, constants.detectMultiplier,
                                   constants.kencValue);
    (void)logging::DetectMultiplierOf(constants.motorType);
    (void)logging::Divide32(logging::Multiply32(constants.speedScale, constants.linearMotorLength),
                            constants.detectMultiplier);
    (void)logging::FastestPeriodText(constants.pulseScale);
    (void)logging::SecondSeriesPeriodItem(constants.speedScale);
    (void)logging::PeriodListItem(logging::PeriodList::C, constants.ratedCurrent);
    (void)logging::StartLine(constants.driverMaxCurrent % 100);

    const QByteArray reply = input.Rest();
    // A number is only ever read from an optional sign and digits.
    if (logging::DecimalReply(reply)) {
        const qsizetype digitsFrom = reply.startsWith('+') || reply.startsWith('-') ? 1 : 0;
        FUZZ_CHECK(reply.size() > digitsFrom);
        for (qsizetype i = digitsFrom; i < reply.size(); ++i)
            FUZZ_CHECK(reply[i] >= '0' && reply[i] <= '9');
    }
    return 0;
}
