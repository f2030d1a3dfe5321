#include "drawer/NoticeCard.h"

#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"
#include "cards/ViewStyles.h"
#include "drawer/Notice.h"
#include "platform/KeyNames.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace tamo {

namespace {

constexpr int symbolPoints = 24;
constexpr int iconBoxSide = 32;

QLabel *textLabel(const QString &text, double points, QFont::Weight weight)
{
    auto *label = new QLabel(text);
    label->setFont(uiFont(points, weight));
    return label;
}

// A key of the keyboard drawn around its name.
class KeyCap : public QWidget
{
public:
    explicit KeyCap(QWidget *face)
    {
        constexpr int side = 30;
        setFixedHeight(side);
        setMinimumWidth(side);
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(8, 0, 8, 0);
        layout->addWidget(face, 0, Qt::AlignCenter);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor border = sharedSecondaryLabelColor();
        border.setAlphaF(0.5);
        QColor fill = palette().color(QPalette::Window);
        fill.setAlphaF(0.7);
        painter.setPen(QPen(border, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
    }
};

} // namespace

NoticeCard::NoticeCard(QWidget *parent)
    : QWidget(parent)
    , m_symbol(new QLabel)
    , m_message(textLabel(QString(), 21, QFont::DemiBold))
    , m_shortcutRow(makeShortcutRow())
    , m_hint(textLabel(QStringLiteral("To paste automatically, turn on Direct Paste in TamoCove Settings."), 12,
                       QFont::Normal))
{
    m_symbol->setAlignment(Qt::AlignCenter);
    QPalette hintPalette = m_hint->palette();
    hintPalette.setColor(QPalette::WindowText, sharedSecondaryLabelColor());
    m_hint->setPalette(hintPalette);

    auto *topRow = new QHBoxLayout;
    topRow->setSpacing(10);
    topRow->addWidget(m_symbol);
    topRow->addWidget(m_message);

    auto *content = new QVBoxLayout(this);
    content->setSpacing(10);
    content->setSizeConstraint(QLayout::SetFixedSize);
    content->addLayout(topRow);
    content->setAlignment(topRow, Qt::AlignHCenter);
    content->addWidget(m_shortcutRow, 0, Qt::AlignHCenter);
    content->addWidget(m_hint, 0, Qt::AlignHCenter);
}

QWidget *NoticeCard::makeShortcutRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    layout->addWidget(textLabel(QStringLiteral("Press"), 17, QFont::Medium));
    for (const QString &key : keyCapNames(QStringLiteral("⌘V")))
        layout->addWidget(new KeyCap(textLabel(key, 15, QFont::DemiBold)));
    layout->addWidget(textLabel(QStringLiteral("to paste"), 17, QFont::Medium));
    return row;
}

void NoticeCard::setNotice(const Notice &notice)
{
    setSymbol(notice.symbol, notice.iconOnly, notice.message);
    m_message->setText(notice.message);
    m_message->setVisible(!notice.iconOnly);
    m_shortcutRow->setVisible(!notice.iconOnly && notice.showsShortcutRow);
    m_hint->setVisible(!notice.iconOnly && notice.showsHint);

    const int sideInset = notice.iconOnly ? 14 : 28;
    const int edgeInset = notice.iconOnly ? 14 : 18;
    layout()->setContentsMargins(sideInset, edgeInset, sideInset, edgeInset);
    m_cornerRadius = notice.iconOnly ? 18 : 24;
    layout()->activate();
    update();
}

void NoticeCard::setSymbol(const QString &name, bool iconOnly, const QString &description)
{
    const QPixmap image
        = tintedSymbol(name, symbolPoints, palette().color(QPalette::Highlight), devicePixelRatioF());
    m_symbol->setPixmap(image);
    m_symbol->setAccessibleName(iconOnly ? description : QString());
    if (iconOnly) {
        m_symbol->setFixedSize(iconBoxSide, iconBoxSide);
    } else {
        m_symbol->setMinimumSize(0, 0);
        m_symbol->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    // Without an image the message stands alone, without the gap before it.
    m_symbol->setVisible(iconOnly || !image.isNull());
}

void NoticeCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintGlass(painter, roundedRect(rect(), m_cornerRadius), GlassStyle::current());
}

} // namespace tamo
