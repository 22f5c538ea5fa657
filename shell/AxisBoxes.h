// The 26 per-axis boxes of the setup dialog and the splash window: Edit1 to Edit23 belong to
// the letters A to W, Edit24 to Edit26 to X, Y and Z. An answering axis shows "OK" on lime.
#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <array>

class AxisBoxes : public QGroupBox {
    Q_OBJECT
public:
    explicit AxisBoxes(QWidget* parent);

    // Edit[0] is Edit1 (axis A) ... Edit[25] is Edit26 (axis Z).
    std::array<QLineEdit*, 26> Edit{};

    QLineEdit* BoxOf(char letter) const { return Edit[static_cast<size_t>(letter - 'A')]; }
    void ShowAnswer(char letter, bool answered);
    void ClearAll();

    // Puts the owner's button (check or cancel) under the boxes.
    void AddButton(QWidget* button);

private:
    class QGridLayout* grid_;
};

// The " 進行状況 " group of a scan: `bar` over the 26 letters with its 0, 50 and 100 percent marks.
QGroupBox* ScanProgressGroup(QWidget* parent, QProgressBar* bar);
