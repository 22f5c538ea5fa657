// The base of the record windows' file tests: files by name in the test's own settings folder.
#pragma once

#include "AppTest.h"

#include <QFile>

class RecordFileTest : public AppTest {
protected:
    // The whole file, or "(none)" when it cannot be read.
    QByteArray ReadFile(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
};
