// The CP932 codec at the file and line boundaries.
#include "ui/Codec.h"

#include <gtest/gtest.h>

namespace {

TEST(CodecTest, RoundTripsTheProgramsTexts) {
    const QString texts[] = {"ﾊﾟﾗﾒｰﾀ 一覧", "ドライバと通信できませんでした。", "～－", "C:\\KASO",
                             "ｴﾗ-", "ABC 123"};
    for (const QString& text : texts)
        EXPECT_EQ(ui::cp932::Decode(ui::cp932::Encode(text)), text) << text.toStdString();
}

TEST(CodecTest, CountsBytesTheWayFixedWidthColumnsDo) {
    EXPECT_EQ(ui::cp932::ByteWidth("ｴﾝｺｰﾀﾞ"), 6); // half-width katakana: one byte each
    EXPECT_EQ(ui::cp932::ByteWidth("一覧"), 4);
    EXPECT_EQ(ui::cp932::ByteWidth(" #000 "), 6);
    EXPECT_EQ(ui::cp932::Encode("\\"), QByteArray("\x5C"));
    EXPECT_EQ(ui::cp932::Encode("～"), QByteArray("\x81\x60"));
}

TEST(CodecTest, ReplacesWhatCannotBeConverted) {
    EXPECT_EQ(ui::cp932::Encode(QString::fromUtf8("A\xF0\x9F\x98\x80" "B")), QByteArray("A?B"));
    const QString decoded = ui::cp932::Decode(QByteArray("A\x81\x01" "B\xFF", 5));
    EXPECT_TRUE(decoded.startsWith('A'));
    EXPECT_TRUE(decoded.contains(QChar(0xFFFD)));
}

} // namespace
