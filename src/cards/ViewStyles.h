#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QStringList>

namespace tamo {

// Text colours shared by the panels, taken from the application palette on
// first use and kept from then on.
const QColor &sharedLabelColor();
const QColor &sharedSecondaryLabelColor();
// The label colour at a fraction of its opacity, for fainter text and marks.
QColor labelColorAt(double opacity);

// The application font at a design size. Design points are pixels at scale 1,
// so the size is converted through the primary screen's logical DPI, keeping
// fractional sizes such as 13.5.
QFont uiFont(double points, QFont::Weight weight = QFont::Normal);

// A user's text (a pinboard or app name) as a menu item's, button's or check
// box's label shows it: an "&" there would mark the next letter as the
// keyboard mnemonic and vanish.
QString literalLabel(const QString &text);

// A symbol drawn in one colour, as a glyph of the light symbol font would be;
// null for a name the symbol set lacks.
QPixmap tintedSymbol(const QString &name, int side, const QColor &colour, qreal devicePixelRatio);

// A filled disc of the colour, inset from the side × side square.
QPixmap discImage(const QColor &colour, int side, qreal inset, qreal devicePixelRatio);

// A white symbol centred on a filled disc, as the bar's round buttons draw
// their label.
QIcon symbolOnDisc(const QString &name, int symbolSide, int discSide, const QColor &disc, qreal devicePixelRatio);

// The text broken into lines no wider than `width` pixels in `font`, at word
// boundaries where it can, so that menus and tooltips, which never wrap by
// themselves, stay on the screen however long a message gets.
QStringList wrappedLines(const QString &text, const QFont &font, int width);

} // namespace tamo
