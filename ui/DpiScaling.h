// The windows are laid out in the pixels of a 96 dpi screen; on a screen of twice that or more,
// these scale a window and what it lays out itself by the whole-number factor. Texts take the
// same factor: a font in points takes the pixels it has at 96 times the factor, so that between
// 96 and 191 dpi every text keeps its designed size, as its window does.
#pragma once

#include <QFont>

class QDialog;
class QWidget;

namespace ui {

// The whole-number quotient of the screen's pixels per inch and 96.
int DpiFactor(int pixelsPerInch);
// The factor of the screen the widget is on.
int DpiFactor(const QWidget& widget);
// The pixels `points` take at 96 times the factor.
int PointsToPixels(qreal points, int factor);
// A font given in points, given instead in the pixels it takes at 96 times the factor; a font
// given in pixels stays as it is.
QFont FontInPixels(QFont font, int factor);
// The other way: a font given in pixels, given instead in the points that take them at 96 times
// the factor (as a font dialog shows it); a font given in points stays as it is.
QFont FontInPoints(QFont font, int factor);
// Makes the program's texts take the factor of the main screen before its windows are made: the
// application's font (the one every control starts with) in the pixels of 96 times the factor,
// and below 192 dpi the style's measures and the pictures' fonts as at 96 dpi, whatever the
// screen's own resolution; from 192 dpi on, Qt's own dialogs widen as they show until their
// boxes and lists show their texts whole. Each call does it again for the screen as it is then.
void ScaleTextToDpi();
// Widens the boxes of a dialog and the dialog itself until its boxes show their current texts
// and its trees their columns whole, as far as its screen allows, keeping its middle where it
// was.
void WidenDialogToItsTexts(QDialog& dialog);
// For a window of fixed size whose controls its layouts place: from 192 dpi on, lays it out once
// as at 96 dpi and keeps those places, without its layouts, so that ScaleControlsToDpi puts
// every control at the factor times its designed place (a layout at the screen's resolution
// places them by their sizes there, which are not the design's times the factor). Run once its
// controls are made, at its designed size, before ScaleToDpi.
void KeepDesignedLayout(QWidget& window);
// The window's size times the factor, and the least and greatest sizes it was given (a window of
// fixed size is fixed at the new size).
void ScaleToDpi(QWidget& window);
// The same factor for what a window lays out itself in pixels, in the window, its group boxes,
// tool bars, plain panels and tab pages: the places and sizes of the controls it puts by
// position (a label sized to its text is sized to it again), the sizes it fixes or bounds, the
// margins and spacings it gives its layouts, its tables' row heights and column widths and the
// fonts it gives in pixels; its canvases show their pictures, drawn in the design's pixels, at
// the factor. A font a control was given in points takes the pixels of 96 times the factor (see
// FontInPixels); what the style gives follows the screen already (see ScaleTextToDpi). Run once,
// when the window's creation has laid it out as designed at 96 dpi, and before the window gives
// any control a font of its own that it did not design (such as one narrowed to fit its room).
void ScaleControlsToDpi(QWidget& window);

} // namespace ui
