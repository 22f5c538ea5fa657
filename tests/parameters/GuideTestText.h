// What the two guide tests share: the closing line of many guide texts and a list made of
// UTF-8 lines.
#pragma once

#include <QStringList>
#include <initializer_list>

constexpr char kSeeManualText[] = "詳細は、ﾄﾞﾗｲﾊﾞ本体の取扱説明書をご覧ください。";

inline QStringList Lines(std::initializer_list<const char*> lines) {
    QStringList list;
    for (const char* line : lines)
        list << QString::fromUtf8(line);
    return list;
}
