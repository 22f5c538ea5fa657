// Whether a shown window shows its texts whole and apart: the title of each group box, the text
// of each label and button and the texts drawn on its canvases, measured with their own fonts
// against the room the style gives them and against one another.
#pragma once

#include <gtest/gtest.h>

class QWidget;

// Success when every shown caption of `window` stays within its room: group box titles within
// the box, label texts within the label and its parents, button texts within the button's
// contents (also in height), canvas texts within the canvas. Otherwise one line per cut caption,
// with the width it needs and the width it shows.
testing::AssertionResult ShowsCaptionsWhole(const QWidget& window);

// Success when no shown text of `window` overlaps another text, a control it does not belong to
// (a button, a box, a list, a painted label or shape), or the border of a frame or group it is
// not inside. Thin lines (bars, progress lines) and a canvas that fills its parent lie under
// the texts by design. Otherwise one line per overlap.
testing::AssertionResult ShowsTextsApart(const QWidget& window);

// Success when every shown text of `window`, in its labels, buttons, group titles, boxes, lists,
// grids and canvases, is drawn in a font of at least `pixels` pixels: a window scaled to a screen
// scales its fonts too. Otherwise one line per text too small.
testing::AssertionResult ShowsFontsOfAtLeast(const QWidget& window, int pixels);
