// The controls behave as the screens expect when code changes them.
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(ControlsTest, CheckBoxRunsItsClickOnlyOnAChange) {
    ui::CheckBox box("x");
    int clicks = 0;
    box.OnClick = [&] { ++clicks; };
    box.SetChecked(false);
    EXPECT_EQ(clicks, 0);
    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box.click(); // the user
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(box.Checked());
}

TEST(ControlsTest, ComboBoxSetByCodeRunsNoHandlerAndClampsToNoSelection) {
    ui::ComboBox box({"a", "b", "c"});
    int changes = 0;
    box.OnChange = [&] { ++changes; };
    box.SetItemIndex(2);
    EXPECT_EQ(box.ItemIndex(), 2);
    box.SetItemIndex(3);
    EXPECT_EQ(box.ItemIndex(), -1);
    box.SetItemIndex(-5);
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(changes, 0);
}

TEST(ControlsTest, GuardShowsAnEscapedErrorInTheDefaultBox) {
    std::vector<ui::MessageRecord> shown;
    ui::SetMessageResponder([&](const ui::MessageRecord& r) {
        shown.push_back(r);
        return ui::MsgResult::Ok;
    });
    ui::CheckBox box("x");
    box.OnClick = [] { throw ui::Error("port gone"); };
    box.SetChecked(true);
    ui::SetMessageResponder({});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "port gone");
    EXPECT_EQ(shown[0].caption, "KasoNT 2.3F");
}

} // namespace
