// The CP932 codec at the file and line boundaries: every byte sequence comes back exactly.
#include "ui/Codec.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

QByteArray RoundTrip(const QByteArray& bytes) {
    return ui::cp932::Encode(ui::cp932::Decode(bytes));
}

TEST(CodecTest, RoundTripsTheProgramsTexts) {
    const QString texts[] = {
        "ﾊﾟﾗﾒｰﾀ 一覧", "ドライバと通信できませんでした。", "～－", "C:\\KASO", "ｴﾗ-", "ABC 123"};
    for (const QString& text : texts)
        EXPECT_EQ(ui::cp932::Decode(ui::cp932::Encode(text)), text) << text.toStdString();
}

TEST(CodecTest, CountsBytesTheWayFixedWidthColumnsDo) {
    EXPECT_EQ(ui::cp932::ByteWidth("ｴﾝｺｰﾀﾞ"), 6); // half-width katakana: one byte each
    EXPECT_EQ(ui::cp932::ByteWidth("一覧"), 4);
    EXPECT_EQ(ui::cp932::ByteWidth(" #000 "), 6);
    EXPECT_EQ(ui::cp932::Encode("\\"), QByteArray("\x5C"));
    EXPECT_EQ(ui::cp932::Encode("～"), QByteArray("\x81\x60"));
    EXPECT_EQ(ui::cp932::Encode(QString(QChar(0x301C))), QByteArray("\x81\x60")); // wave dash
    EXPECT_EQ(ui::cp932::Encode(QString(QChar(0x2212))), QByteArray("\x81\x7C")); // minus sign
    // A repeated code keeps its two bytes in the count; its selector adds nothing.
    EXPECT_EQ(ui::cp932::ByteWidth(ui::cp932::Decode(Bytes({0xED, 0x40, 0x80, 'A'}))), 4);
}

TEST(CodecTest, ReplacesCharactersWithoutACode) {
    EXPECT_EQ(ui::cp932::Encode(QString::fromUtf8("A\xF0\x9F\x98\x80"
                                                  "B")),
              QByteArray("A?B"));
    EXPECT_EQ(ui::cp932::Encode(QString::fromUtf8("\xC3\xA9")), QByteArray("?")); // é
    // A variation selector that marks no repeated code is left out.
    EXPECT_EQ(ui::cp932::Encode(QString("A") + QChar(0xFE00) + "B"), QByteArray("AB"));
    EXPECT_EQ(ui::cp932::ByteWidth(QString::fromUtf8("A\xF0\x9F\x98\x80")), 2);
}

TEST(CodecTest, RepeatedCodesUndefinedBytesAndAByteOrderMarkKeepTheirBytes) {
    const QByteArray cases[] = {
        Bytes({0x80}), // undefined single bytes
        Bytes({0xA0, 0xFD, 0xFE, 0xFF}),
        Bytes({0xED, 0x40}),                         // NEC-selected IBM extension
        Bytes({0xFA, 0x5C}),                         // its IBM extension twin
        Bytes({0x87, 0x90}),                         // NEC row 13
        Bytes({0x81, 0xE0}),                         // its JIS twin
        Bytes({0x87, 0x9A, 0x81, 0xE6, 0xFA, 0x5B}), // one character, three codes
        Bytes({0xEF, 0xBB, 0xBF, 'A'}),              // a UTF-8 byte-order mark
        Bytes({0x81}),                               // a lead byte at the end
        Bytes({0x81, 0x20, 0x85, 0x40}), // a lead byte without a trail byte; an undefined code
        Bytes({0xF0, 0x40}),             // user-defined area
    };
    for (const QByteArray& bytes : cases)
        EXPECT_EQ(RoundTrip(bytes), bytes) << bytes.toHex(' ').toStdString();

    // The twins show the same character.
    EXPECT_EQ(ui::cp932::Decode(Bytes({0xED, 0x40})).at(0),
              ui::cp932::Decode(Bytes({0xFA, 0x5C})).at(0));
    EXPECT_EQ(ui::cp932::Decode(Bytes({0x87, 0x90})).at(0), QChar(0x2252));
    EXPECT_NE(ui::cp932::Decode(Bytes({0x80})), QString(QChar(0xFFFD)));
}

TEST(CodecTest, EveryDoubleByteCodeComesBack) {
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const QByteArray code = Bytes({lead, trail});
            ASSERT_EQ(RoundTrip(code), code) << code.toHex(' ').toStdString();
            const QByteArray framed = Bytes({'x', lead, trail, lead});
            ASSERT_EQ(RoundTrip(framed), framed) << framed.toHex(' ').toStdString();
            ASSERT_EQ(ui::cp932::ByteWidth(ui::cp932::Decode(framed)), 4);
        }
    }
}

TEST(CodecTest, RandomByteStringsComeBack) {
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> highByte(0x80, 0xFF);
    for (int run = 0; run < 20000; ++run) {
        QByteArray bytes;
        const int n = length(random);
        for (int i = 0; i < n; ++i)
            bytes.append(static_cast<char>(run % 2 ? highByte(random) : byte(random)));
        const QString text = ui::cp932::Decode(bytes);
        ASSERT_EQ(ui::cp932::Encode(text), bytes) << bytes.toHex(' ').toStdString();
        ASSERT_EQ(ui::cp932::ByteWidth(text), bytes.size()) << bytes.toHex(' ').toStdString();
    }
}

TEST(CodecTest, AnEditedLineKeepsTheCodesOfTheCharactersItKept) {
    // ED40, 8790 and 0x80, around a word that is then replaced.
    const QByteArray line = Bytes({0xED, 0x40, 'O', 'L', 'D', 0x87, 0x90, ' ', 0x80, 0xFA, 0x5C});
    QString text = ui::cp932::Decode(line);
    text.replace("OLD", "新");
    EXPECT_EQ(ui::cp932::Encode(text),
              Bytes({0xED, 0x40, 0x90, 0x56, 0x87, 0x90, ' ', 0x80, 0xFA, 0x5C}));
}

} // namespace
