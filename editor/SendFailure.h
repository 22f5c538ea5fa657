// What the editor's transfers say when a send fails: one message for one failure.
#pragma once

namespace editor {

// A send failed. When the port has gone, the lost line's own message tells the user (its
// hang-up may still be on its way, so the line is looked at once more first); otherwise the
// user is told that the driver could not be reached. `lossesAtStart` is the count of line
// losses when the transfer began.
void ReportSendFailure(int lossesAtStart);

} // namespace editor
