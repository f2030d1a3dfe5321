#pragma once

#include "cards/CardAppearance.h"
#include "cards/CardMetrics.h"

#include <QRectF>

class QPainter;

namespace tamo {

// The body of a card, by kind: the copied text; a link's page image and title
// or its URL; an image; a file's picture or type icon with its name; a
// colour's swatch with its text.
class ClipContentView
{
public:
    ClipContentView(const CardAppearance &appearance, const CardMetrics &metrics, const QRectF &card);

    void paint(QPainter &painter) const;

    // Where the clip's picture goes, in points; empty for kinds without one.
    // Thumbnails are made for this box.
    QRectF pictureRect() const;
    // Pictures come with their corners rounded by this much, in points.
    qreal pictureCornerRadius() const;

private:
    QColor textColor() const;
    qreal fileCaptionHeight() const;
    void paintText(QPainter &painter) const;
    void paintLink(QPainter &painter) const;
    void paintLinkPreview(QPainter &painter) const;
    void paintImage(QPainter &painter) const;
    void paintFile(QPainter &painter) const;
    void paintColor(QPainter &painter) const;
    void paintPicture(QPainter &painter, const QRectF &box, const QImage &image, Qt::AspectRatioMode mode) const;
    void paintPlaceholder(QPainter &painter, const QRectF &box, const QString &caption) const;

    const CardAppearance &m_appearance;
    const CardMetrics &m_metrics;
    QRectF m_content;
};

} // namespace tamo
