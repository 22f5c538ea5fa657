// What the status monitor window tests share: a program started on a series against the
// simulated driver, the status button, and readers of lamps, bars and the lines sent.
#pragma once

#include "AppTest.h"

#include "link/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"

#include <QLabel>

class StatusMonitorTest : public AppTest {
protected:
    void Start(int series, const QByteArray& model = {}) { StartOnSeries(series, model); }

    void Reply(const QByteArray& command, std::optional<QByteArray> reply) {
        driver->setStatusReply('X', command, std::move(reply));
    }

    // Presses the status button.
    void Launch() { frmMain->btnStat->click(); }

    // Presses the status button and holds the first poll until the launcher's "#STAT" has been
    // answered: on a loaded machine that reply could come late and be taken for the first poll's.
    TStatusMonitor* LaunchSettled() {
        Launch();
        TStatusMonitor* monitor = frmStat->Showing() ? static_cast<TStatusMonitor*>(frmStat)
                                                     : static_cast<TStatusMonitor*>(frmStat_QWC);
        monitor->Timer1->SetEnabled(false);
        WaitFor([] { return mdlGeneral->ReplyReceived(); });
        monitor->Timer1->SetEnabled(true);
        return monitor;
    }

    // Waits until the driver has received `count` lines since the last take, and takes them.
    QList<QByteArray> TakeLines(int count, int timeoutMs = 10000) {
        WaitFor([&] { return driver->receivedLines().size() >= count; }, timeoutMs);
        return TakeSentLines().mid(0, count);
    }

    // The lines received so far, from the first one equal to `line` (inclusive) on.
    QList<QByteArray> LinesFrom(const QByteArray& line) const {
        const QList<QByteArray> lines = driver->receivedLines();
        const qsizetype first = lines.indexOf(line);
        return first < 0 ? QList<QByteArray>{} : lines.mid(first);
    }

    // Waits until `line` has been received `times` times.
    bool WaitForLine(const QByteArray& line, int times = 1, int timeoutMs = 10000) {
        return WaitFor([&] { return driver->receivedLines().count(line) >= times; }, timeoutMs);
    }

    static bool On(const QLabel* lamp) { return lamp->text() == " 1"; }
    static QColor Colour(const QWidget* widget) {
        return widget->palette().color(QPalette::Window);
    }
    template <typename Shapes> static int LitSegments(const Shapes& shapes) {
        int lit = 0;
        for (const QWidget* shape : shapes)
            lit += Colour(shape) != QColor(Qt::white);
        return lit;
    }
};
