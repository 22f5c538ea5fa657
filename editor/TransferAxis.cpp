#include "TransferAxis.h"

#include "shell/UnitMain.h"

namespace editor {

int TransferAxisBit(const QString& axisCaption) {
    if (axisCaption.size() == 1 && axisCaption[0] >= QChar('A') && axisCaption[0] <= QChar('Z'))
        return 1 << (axisCaption[0].unicode() - 'A');
    return ~0;
}

bool TransferAxisAnswered(const QString& axisCaption, int axisMask) {
    return (TransferAxisBit(axisCaption) & axisMask) != 0;
}

bool DesignatedAxisAnswered() {
    return frmMain && TransferAxisAnswered(frmMain->lblAxis->text(), frmMain->AxisMask);
}

} // namespace editor
