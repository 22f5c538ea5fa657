// The base of the record windows' file tests: files by name in the test's own settings folder.
#pragma once

#include "AppTest.h"

#include <QFile>

class RecordFileTest : public AppTest {
protected:
    QString Path(const QString& name) const { return configDir.path() + "/" + name; }
    void WriteFile(const QString& name, const QByteArray& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // The whole file, or "(none)" when it cannot be read.
    QByteArray ReadFile(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
};
