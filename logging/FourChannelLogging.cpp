#include "FourChannelLogging.h"

#include <QGridLayout>

TFourChannelLogging::TFourChannelLogging(QWidget* owner, const QStringList& variables)
    : ui::Form(owner), cmbLogVal1(new ui::ComboBox(variables, this)),
      cmbLogVal2(new ui::ComboBox(variables, this)), cmbLogVal3(new ui::ComboBox(variables, this)),
      cmbLogVal4(new ui::ComboBox(variables, this)) {
    setWindowTitle("ﾃﾞｰﾀﾛｷﾞﾝｸﾞ");
    auto* layout = new QGridLayout(this);
    int channel = 0;
    for (ui::ComboBox* list : ChannelLists()) {
        list->setEditable(true);
        layout->addWidget(list, 0, channel++);
    }
}

void TFourChannelLogging::ReceiveLogData(QObject*) {
    // No fetch is running until the window starts a recording.
}
