// What the two four-channel logging windows share: their channel variable lists and the scale
// step of each channel, which the main window loads and saves with the settings.
#pragma once

#include "ui/Controls.h"
#include "ui/Form.h"

#include <array>

class TFourChannelLogging : public ui::Form {
    Q_OBJECT
public:
    TFourChannelLogging(QWidget* owner, const QStringList& variables);

    ui::ComboBox* cmbLogVal1;
    ui::ComboBox* cmbLogVal2;
    ui::ComboBox* cmbLogVal3;
    ui::ComboBox* cmbLogVal4;
    std::array<ui::ComboBox*, 4> ChannelLists() const {
        return {cmbLogVal1, cmbLogVal2, cmbLogVal3, cmbLogVal4};
    }

    // The vertical scale step of each channel.
    std::array<int, 4> ScaleExponent{};

    // The reply step of the fetch of the recorded buffer.
    void ReceiveLogData(QObject* sender);
};
