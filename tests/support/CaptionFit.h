// Whether a shown window shows its captions whole: the title of each group box, the text of each
// label and button, measured with the widget's own font against the room the style gives it.
#pragma once

#include <gtest/gtest.h>

class QWidget;

// Success when every shown caption of `window` stays within its room: group box titles within
// the box, label texts within the label and its parents, button texts within the button's
// contents (also in height). Otherwise one line per cut caption, with the width it needs and the
// width it shows.
testing::AssertionResult ShowsCaptionsWhole(const QWidget& window);
