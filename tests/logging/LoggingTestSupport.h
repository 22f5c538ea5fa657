// What the logging window tests share: a program started on a series and model, a launch from
// the menu, and the choices a user makes in the windows' controls.
#pragma once

#include "AppTest.h"

#include "shell/UnitMain.h"
#include "ui/Controls.h"

#include <QColor>
#include <QImage>

class LoggingTest : public AppTest {
protected:
    // Runs the menu item "ﾃﾞｰﾀﾛｷﾞﾝｸﾞ" and forgets the lines it sent.
    void Launch();
    sim::DriverAxis& Axis() { return driver->axis('X'); }
    void SetSetting(const QByteArray& name, const QByteArray& value) {
        Axis().logging().settings[name] = value;
    }

    // The lines the driver received once it has `count` of them (or after 10 s).
    QList<QByteArray> TakeLines(int count) {
        WaitFor([&] { return driver->receivedLines().size() >= count; }, 10000);
        return TakeSentLines();
    }
    // The lines received after a short pause (to see that nothing was sent).
    QList<QByteArray> TakeLinesAfterPause() {
        Pause(100);
        return TakeSentLines();
    }

    // A user's pick of an item in a list.
    static void Choose(ui::ComboBox* box, int index);
    // The pixels of a column between two rows that have the colour.
    static int CountColour(const QImage& image, int x, int top, int bottom, const QColor& colour);
    static bool HasColourInRow(const QImage& image, int y, int left, int right,
                               const QColor& colour);
};

inline void LoggingTest::Launch() {
    TakeSentLines();
    frmMain->btnPopupLogging->trigger();
}

inline void LoggingTest::Choose(ui::ComboBox* box, int index) {
    box->SetItemIndex(index);
    emit box->activated(index);
}

inline int LoggingTest::CountColour(const QImage& image, int x, int top, int bottom,
                                    const QColor& colour) {
    int count = 0;
    for (int y = top; y <= bottom; ++y)
        if (image.pixelColor(x, y) == colour) ++count;
    return count;
}

inline bool LoggingTest::HasColourInRow(const QImage& image, int y, int left, int right,
                                        const QColor& colour) {
    for (int x = left; x <= right; ++x)
        if (image.pixelColor(x, y) == colour) return true;
    return false;
}
