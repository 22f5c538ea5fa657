// The receive ring: chunks of any bytes and sizes; every delivered reply is a non-empty line of
// at most 48 bytes without a CR.
#include "FuzzInput.h"
#include "link/UnitGeneral.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TmdlGeneral* module = [] {
        EnsureApplication();
        mdlGeneral = new TmdlGeneral(nullptr);
        return mdlGeneral;
    }();
    FuzzInput input(data, size);
    while (!input.Empty()) {
        module->TakeLine(ridNone);
        module->ReceiveChunk(input.Bytes(120));
        // The last delivered line stays whole until the next one replaces it.
        const QByteArray& reply = module->LastReply();
        FUZZ_CHECK(reply.size() <= 48);
        FUZZ_CHECK(!reply.contains('\r'));
        FUZZ_CHECK(reply.isEmpty() || module->ReplyReceived());
    }
    (void)TmdlGeneral::CommandLine(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
