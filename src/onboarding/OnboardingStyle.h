#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QVariantAnimation>
#include <QWidget>

class QPainter;
class QRectF;

namespace tamo {

// The look the personalisation window and the feature tour share.
namespace OnboardingStyle {

// The warm orange of the onboarding windows.
QColor accent();
QColor success(); // "on" labels
QColor warning(); // "needs a permission" labels

// The app's font at a design size (the panels' own rule).
QFont font(double size, QFont::Weight weight = QFont::Normal);

// A symbol of the app's set in one colour.
QPixmap symbol(const QString &name, const QColor &colour, int side);

// Secondary text: explanations, details, "Skip".
void makeSecondary(QWidget *widget);

// An artwork image, scaled to fill `target` (cropped, keeping its shape) and
// aligned by `alignment`; `fit` scales it to fit instead.
void paintArtwork(QPainter &painter, const QString &name, const QRectF &target, Qt::Alignment alignment,
                  bool fit = false);

// A radio mark followed by a title, centred across `width` with its top at `top`.
void paintRadioCaption(QPainter &painter, const QPalette &palette, bool checked, const QString &title,
                       const QFont &font, int width, double top);

} // namespace OnboardingStyle

// Where a paged window is: one mark per page, the current one wider where
// the look asks for it; the mark glides to a new page.
class PageDots : public QWidget
{
    Q_OBJECT

public:
    struct Look
    {
        int count;
        QSizeF dot;          // every other page
        double currentWidth; // the current page
        double spacing;
        double otherOpacity;
        bool fillReached;    // pages before the current one take the accent too
    };

    static constexpr int glideMs = 240;

    PageDots(const Look &look, const QString &name);
    void setCurrent(int index);
    // Where the mark is on its way between pages: the current page once it arrived.
    double position() const { return m_position; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Look m_look;
    int m_current = 0;
    double m_position = 0;
    QVariantAnimation *m_glide;
};

} // namespace tamo
