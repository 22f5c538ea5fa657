// The status monitors' reply decoders, for every form of the status words.
#include "FuzzInput.h"
#include "status/StatusDecoders.h"
#include "status/StatusPollTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int series = input.Number<std::uint8_t>() % 5 - 1;
    const QByteArray model = input.Bytes(48);
    const QByteArray reply = input.Rest();
    const std::int32_t value = status::ParseNumber(reply);
    (void)status::ParseHexReply(reply);
    (void)status::TorqueBar(value);
    (void)status::LoadBar(value);
    (void)status::LampBits<16>(value);
    (void)status::ActiveLowOn(value, 3);
    (void)status::NewStatusCommandsOf(model, 0);
    (void)status::OpensQwcMonitor(series, model);
    for (const auto form : {status::WordForm::FirstSeries, status::WordForm::NewCommands,
                            status::WordForm::MemoryRead, status::WordForm::Unknown}) {
        (void)status::OtherInputLamps(form, reply);
        (void)status::PoleSensorLamps(form, reply);
        (void)status::OtherOutputLamps(form, reply);
    }
    (void)status::StatWordForm(series, model, value);
    return 0;
}
