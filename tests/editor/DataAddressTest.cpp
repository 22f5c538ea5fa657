// The driver memory address forms: parsing, the dialogs' tests, value steps and row labels.
#include "editor/DataAddress.h"

#include <gtest/gtest.h>

namespace address = editor::address;

TEST(DataAddress, ParsesEveryFormWithItsNumber) {
    struct Case {
        const char* text;
        address::Kind kind;
        const char* prefix;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"##12AB", address::kByte, "##", 0x12AB},
        {"#&0010C000", address::kWordAmp, "#&", 0x0010C000},
        {"#$D000", address::kWordDollar, "#$", 0xD000},
        {"#%0010c000", address::kLong, "#%", 0x0010C000},
        {"*$10", address::kIndex, "*$", 10},
        {"!##0010C000", address::kBangByte, "!##", 0x0010C000},
        {"!#&00000001", address::kBangWordAmp, "!#&", 1},
        {"!#$00000002", address::kBangWordDollar, "!#$", 2},
        {"!#%0010C000", address::kBangLong, "!#%", 0x0010C000},
        {"&##FFFFFFFF", address::kAmpByte, "&##", 0xFFFFFFFF},
        {"&#&00000010", address::kAmpWordAmp, "&#&", 0x10},
        {"&#$00000010", address::kAmpWordDollar, "&#$", 0x10},
        {"&#%00000010", address::kAmpLong, "&#%", 0x10},
        {"#%FFFFFFFF", address::kLong, "#%", 0xFFFFFFFF},
        {"*$4294967295", address::kIndex, "*$", 4294967295u},
        {"XY1234", address::kNone, "", 0},
        {"123456", address::kNone, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = address::Parse(c.text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->kind, c.kind);
        EXPECT_EQ(parsed->prefix, c.prefix);
        EXPECT_EQ(parsed->value, c.value);
    }
    // Numbers that cannot be read, or do not fit in 32 bits, are no address.
    for (const char* bad : {"*$", "##", "*$00AB", "*$-5", "*$4294967296", "#%100000000",
                            "#%0010C00G", "#%+10", "!#%", "*$99999999999999999999"})
        EXPECT_FALSE(address::Parse(bad).has_value()) << bad;
}

TEST(DataAddress, DialogsTestTheFormOnly) {
    struct Case {
        const char* text;
        bool upload;
        bool download;
    };
    const Case cases[] = {
        {"##", false, false},
        {"##12AB", true, true},
        {"##0010C000", true, true},
        {"#%0010C00G", false, false},
        {"#%0010c000", true, true},
        {"XY1234", true, true},
        {"*$5", true, true},
        {"*$", true, true},
        {"!#%0010C000", true, false},
        {"!#%0010C00", false, false},
        {"#%0010C0000", false, false},
        {"&##0010C000", true, false},
        {"!#%0010C00G", false, false},
        {"", false, false},
        {"#%0010C000\r", false, false},
        {"1234567", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(address::UploadDialogAccepts(c.text), c.upload) << c.text;
        EXPECT_EQ(address::DownloadDialogAccepts(c.text), c.download) << c.text;
    }
}

TEST(DataAddress, StepsAndLabelsFollowTheDriver) {
    EXPECT_FALSE(address::HasHalfSteps("QWB20"));
    EXPECT_FALSE(address::HasHalfSteps("QWC30"));
    for (const char* model : {"QWC50A_C3", "QWCC1", "QWCD2", "QWD50A"})
        EXPECT_TRUE(address::HasHalfSteps(model)) << model;

    for (address::Kind byteForm : {address::kByte, address::kBangByte, address::kAmpByte}) {
        EXPECT_TRUE(address::RefusedOn(byteForm, true));
        EXPECT_FALSE(address::RefusedOn(byteForm, false));
    }
    EXPECT_FALSE(address::RefusedOn(address::kLong, true));

    struct Case {
        const char* start;
        std::uint64_t n;
        bool halfSteps;
        int digits;
        const char* label;
    };
    const Case cases[] = {
        {"#$D000", 1, false, 4, "#$D000"},
        {"#$D000", 2, false, 4, "#$D002"},
        {"#$D000", 1000, false, 4, "#$D7CE"},
        {"#%0020C000", 5, false, 8, "#%0020C010"},
        {"#%0020C000", 9, false, 8, "#%0020C020"},
        {"#%0020C000", 5, true, 8, "#%0020C008"},
        {"#%C000", 1, false, 8, "#%0000C000"},
        {"#%0010C000", 1, false, 4, "#%10C000"},
        {"##12AB", 3, false, 8, "##000012AD"},
        {"#&00000000", 3, true, 8, "#&00000002"},
        {"!#$00000000", 3, false, 8, "!#$00000004"},
        {"&#%00000000", 2, true, 8, "&#%00000002"},
        {"*$10", 5, false, 8, "*$14"},
        {"*$4294967295", 2, false, 8, "*$4294967296"},
        // The top of the address space wraps, as the driver's own addresses do.
        {"#%FFFFFFFC", 2, false, 8, "#%00000000"},
        {"#%FFFFFFFF", 1, false, 8, "#%FFFFFFFF"},
        {"#%00000000", 0x40000001, false, 8, "#%00000000"},
        {"XY1234", 7, false, 8, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        const auto start = address::Parse(c.start);
        ASSERT_TRUE(start.has_value());
        EXPECT_EQ(address::RowLabel(*start, c.n, c.halfSteps, c.digits), c.label);
    }
}

TEST(DataAddress, BarePrefixesAreTheListsTwoCharacterOnes) {
    for (const char* bare : {"##", "#&", "#$", "#%", "*$"})
        EXPECT_TRUE(address::IsBarePrefix(bare)) << bare;
    for (const char* other : {"#%0", "!##", "#", "", "$*"})
        EXPECT_FALSE(address::IsBarePrefix(other)) << other;
}
