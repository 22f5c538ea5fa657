// The windows are laid out in the pixels of a 96 dpi screen; on a screen of twice that or more,
// these scale a window and what it lays out itself by the whole-number factor.
#pragma once

class QWidget;

namespace ui {

// The whole-number quotient of the screen's pixels per inch and 96.
int DpiFactor(int pixelsPerInch);
// The window's size times the factor, and the least and greatest sizes it was given (a window of
// fixed size is fixed at the new size).
void ScaleToDpi(QWidget& window);
// The same factor for what a window lays out itself in pixels, in the window, its group boxes,
// tool bars, plain panels and tab pages: the places and sizes of the controls it puts by
// position (a label sized to its text is sized to it again), the sizes it fixes or bounds, the
// margins and spacings it gives its layouts, its tables' row heights and column widths and the
// fonts it gives in pixels; its canvases show their pictures, drawn in the design's pixels, at
// the factor. Fonts in points and what the style gives follow the screen already. Run once, when
// the window's creation has laid it out as designed at 96 dpi.
void ScaleControlsToDpi(QWidget& window);

} // namespace ui
