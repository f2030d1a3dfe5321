#include "bonus/WindowSwitcherRows.h"

#include "bonus/WindowSwitcherState.h"
#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"
#include "cards/ViewStyles.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <cmath>

namespace tamo {

namespace {

constexpr qreal rowInset = 4;
constexpr qreal partSpacing = 10;
constexpr qreal partPaddingX = 14;
constexpr qreal partPaddingY = 9;
constexpr qreal badgePaddingX = 8;
constexpr qreal badgePaddingY = 3;
constexpr qreal badgeSpacing = 4;
constexpr qreal iconCorner = 14;
constexpr qreal highlightCorner = 16;

const QColor fullScreenGreen = QColor::fromRgbF(0.157f, 0.784f, 0.251f);
const QColor unreadRed = QColor::fromRgbF(0.96f, 0.26f, 0.21f);
const QColor systemBlue = QColor::fromRgbF(0.0f, 0.478f, 1.0f);

QFont badgeFont()
{
    return uiFont(11, QFont::DemiBold);
}

qreal symbolSide()
{
    return std::ceil(QFontMetricsF(badgeFont()).height() * 0.8);
}

QSizeF labelBadgeSize(const QString &text)
{
    const QFontMetricsF metrics(badgeFont());
    return QSizeF(std::ceil(metrics.horizontalAdvance(text)) + badgeSpacing + symbolSide() + 2 * badgePaddingX,
                  std::ceil(metrics.height()) + 2 * badgePaddingY);
}

// A capsule badge: text and symbol in white, the symbol first or last.
void paintLabelBadge(QPainter &painter, const QRectF &rect, const QString &text, const QString &symbol,
                     bool symbolFirst, const QColor &fill)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsule(rect), fill);
    const qreal side = symbolSide();
    const QRectF inner = rect.adjusted(badgePaddingX, badgePaddingY, -badgePaddingX, -badgePaddingY);
    const QRectF symbolRect(symbolFirst ? inner.left() : inner.right() - side, inner.center().y() - side / 2, side,
                            side);
    const QRectF textRect = symbolFirst ? inner.adjusted(side + badgeSpacing, 0, 0, 0)
                                        : inner.adjusted(0, 0, -(side + badgeSpacing), 0);
    const qreal dpr = painter.device()->devicePixelRatioF();
    painter.drawPixmap(symbolRect, tintedSymbol(symbol, int(side), Qt::white, dpr), QRectF());
    painter.setFont(badgeFont());
    painter.setPen(Qt::white);
    painter.drawText(textRect, Qt::AlignCenter, text);
    painter.restore();
}

void paintUnreadBadge(QPainter &painter, const QPointF &topRight, const QString &label)
{
    const qreal diameter = unreadBadgeDiameter(label);
    // Overhangs the icon's corner by 4 to the right and 4 upwards.
    const QRectF circle(topRight.x() + 4 - diameter, topRight.y() - 4, diameter, diameter);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(unreadRed);
    painter.drawEllipse(circle);
    QFont font = uiFont(10, QFont::Bold);
    const qreal room = diameter - 4;
    const qreal width = QFontMetricsF(font).horizontalAdvance(label);
    if (width > room)
        font.setPointSizeF(font.pointSizeF() * std::max(0.7, room / width));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(circle, Qt::AlignCenter, label);
    painter.restore();
}

void paintSelection(QPainter &painter, const QRectF &rect, bool dimmed)
{
    painter.save();
    painter.setOpacity(dimmed ? 0.45 : 1.0);
    GlassStyle style = GlassStyle::current();
    style.tint = sharedLabelColor();
    style.tint.setAlphaF(0.065f);
    style.rimOpacity = 0.78;
    paintGlass(painter, roundedRect(rect, highlightCorner), style);
    painter.restore();
}

void elidedText(QPainter &painter, const QRectF &rect, const QString &text, const QFont &font, const QColor &colour,
                Qt::Alignment alignment)
{
    painter.setFont(font);
    painter.setPen(colour);
    const QString shown = QFontMetricsF(font).elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, alignment | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

WindowSwitcherRow rowAt(const QModelIndex &index)
{
    const auto *model = static_cast<const SwitcherRowsModel *>(index.model());
    return model->rows().value(index.row());
}

} // namespace

const QFont &switcherTitleFont()
{
    static const QFont font = uiFont(16);
    return font;
}

qreal measureTitleWidth(const QString &text, qreal cap)
{
    const qreal width = std::ceil(QFontMetricsF(switcherTitleFont()).horizontalAdvance(text));
    return std::min(std::max(width, 24.0), cap);
}

QFont switcherAppNameFont()
{
    QFont font = uiFont(13, QFont::Light);
    font.setItalic(true);
    return font;
}

qreal unreadBadgeDiameter(const QString &label)
{
    const qsizetype length = label.size();
    return length <= 1 ? 18 : (length == 2 ? 20 : 24);
}

QString tabsBadgeText(int count)
{
    return QStringLiteral("%1 tabs").arg(count);
}

QSizeF tabsBadgeSize(int count)
{
    return labelBadgeSize(tabsBadgeText(count));
}

QSizeF fullScreenBadgeSize()
{
    return labelBadgeSize(QStringLiteral("Full Screen"));
}

WindowRowLayout layoutWindowRow(const QRectF &rect, const WindowSwitcherRow &row, qreal appNameWidth,
                                qreal titleCap)
{
    WindowRowLayout layout;
    const QRectF inner = rect.adjusted(rowInset, 0, -rowInset, 0);
    const qreal midY = inner.center().y();
    layout.appName = QRectF(inner.left(), inner.top(), appNameWidth, inner.height());

    qreal x = layout.appName.right() + partSpacing + partPaddingX;
    const qreal start = x - partPaddingX;
    if (!row.app.icon.isNull()) {
        layout.icon = QRectF(x, midY - switcherIconSize / 2, switcherIconSize, switcherIconSize);
        x = layout.icon.right() + partSpacing;
    }
    const QSizeF fullScreen = row.isFullScreen ? fullScreenBadgeSize() : QSizeF();
    const QSizeF tabs = row.tabCount >= 2 ? tabsBadgeSize(row.tabCount) : QSizeF();
    // The title gives way first when the row is short of room.
    qreal badges = 0;
    for (const QSizeF &badge : {fullScreen, tabs})
        badges += badge.isEmpty() ? 0 : badge.width() + partSpacing;
    const qreal room = inner.right() - partPaddingX - badges - x;
    const qreal titleWidth = std::max(0.0, std::min(measureTitleWidth(row.displayTitle(), titleCap), room));
    const qreal titleHeight = std::ceil(QFontMetricsF(switcherTitleFont()).height());
    layout.title = QRectF(x, midY - titleHeight / 2, titleWidth, titleHeight);
    x = layout.title.right();
    if (!fullScreen.isEmpty()) {
        layout.fullScreenBadge = QRectF(QPointF(x + partSpacing, midY - fullScreen.height() / 2), fullScreen);
        x = layout.fullScreenBadge.right();
    }
    if (!tabs.isEmpty()) {
        layout.tabsBadge = QRectF(QPointF(x + partSpacing, midY - tabs.height() / 2), tabs);
        x = layout.tabsBadge.right();
    }
    const qreal contentHeight = row.app.icon.isNull() ? titleHeight : switcherIconSize;
    layout.highlight =
        QRectF(start, midY - contentHeight / 2 - partPaddingY, x + partPaddingX - start, contentHeight + 2 * partPaddingY);
    return layout;
}

void SwitcherRowsModel::setRows(const QList<WindowSwitcherRow> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int SwitcherRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant SwitcherRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const WindowSwitcherRow &row = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return row.displayTitle();
    case Qt::AccessibleTextRole:
        return row.tab || row.opensNewTab ? row.displayTitle() : row.appName() + QStringLiteral(": ") + row.displayTitle();
    default:
        return {};
    }
}

WindowRowDelegate::WindowRowDelegate(const WindowSwitcherState &state, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_state(state)
{
}

QSize WindowRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(option.rect.width(), int(windowRowHeight));
}

void WindowRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const WindowSwitcherRow row = rowAt(index);
    const WindowRowLayout layout =
        layoutWindowRow(option.rect, row, m_state.appNameColumnWidth(), m_state.titleColumnWidth());
    painter->save();
    if (index.row() == m_state.selection())
        paintSelection(*painter, layout.highlight, m_state.pane() == WindowSwitcherState::Pane::tabs);
    elidedText(*painter, layout.appName, row.appName(), switcherAppNameFont(), sharedSecondaryLabelColor(),
               Qt::AlignRight);
    if (!layout.icon.isEmpty()) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->setClipPath(roundedRect(layout.icon, iconCorner));
        const qreal dpr = painter->device()->devicePixelRatioF();
        painter->drawPixmap(layout.icon, row.app.icon.pixmap(layout.icon.size().toSize(), dpr), QRectF());
        painter->restore();
        if (row.unreadBadge && !row.unreadBadge->isEmpty())
            paintUnreadBadge(*painter, layout.icon.topRight(), *row.unreadBadge);
    }
    painter->save();
    painter->setOpacity(row.app.hidden ? 0.55 : 1.0);
    elidedText(*painter, layout.title, row.displayTitle(), switcherTitleFont(), sharedLabelColor(), Qt::AlignLeft);
    painter->restore();
    if (!layout.fullScreenBadge.isEmpty())
        paintLabelBadge(*painter, layout.fullScreenBadge, QStringLiteral("Full Screen"),
                        QStringLiteral("arrow.up.left.and.arrow.down.right"), true, fullScreenGreen);
    if (!layout.tabsBadge.isEmpty())
        paintLabelBadge(*painter, layout.tabsBadge, tabsBadgeText(row.tabCount), QStringLiteral("chevron.right"),
                        false, systemBlue);
    painter->restore();
}

bool WindowRowDelegate::editorEvent(QEvent *event, QAbstractItemModel *, const QStyleOptionViewItem &option,
                                    const QModelIndex &index)
{
    const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (!press && event->type() != QEvent::MouseButtonRelease)
        return false;
    if (press)
        m_badgeRelease = QPersistentModelIndex();
    const WindowSwitcherRow row = rowAt(index);
    const WindowRowLayout layout =
        layoutWindowRow(option.rect, row, m_state.appNameColumnWidth(), m_state.titleColumnWidth());
    if (layout.tabsBadge.isEmpty() || !layout.tabsBadge.contains(static_cast<QMouseEvent *>(event)->position()))
        return false;
    // The badge takes the whole click, so the row under it is not picked.
    if (event->type() == QEvent::MouseButtonRelease) {
        m_badgeRelease = index;
        emit tabsBadgeClicked(index.row());
    }
    return true;
}

TabRowDelegate::TabRowDelegate(const WindowSwitcherState &state, FaviconLookup favicons, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_state(state)
    , m_favicons(std::move(favicons))
{
}

QSize TabRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(option.rect.width(), int(tabRowHeight));
}

void TabRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const WindowSwitcherRow row = rowAt(index);
    const QRectF outer = QRectF(option.rect).adjusted(rowInset, 0, -rowInset, 0);
    const QRectF inner = outer.adjusted(partPaddingX, partPaddingY, -partPaddingX, -partPaddingY);
    const qreal midY = inner.center().y();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (m_state.pane() == WindowSwitcherState::Pane::tabs && index.row() == m_state.tabSelection())
        paintSelection(*painter, outer, false);

    const QRectF dot(inner.left(), midY - 3.5, 7, 7);
    if (row.tab && row.tab->isSelected) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(option.palette.color(QPalette::Highlight));
        painter->drawEllipse(dot);
    }
    const QRectF icon(dot.right() + partSpacing, midY - 9, 18, 18);
    const qreal dpr = painter->device()->devicePixelRatioF();
    const QImage favicon = row.tab && row.tab->host && m_favicons ? m_favicons(*row.tab->host) : QImage();
    if (!favicon.isNull()) {
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->setClipPath(roundedRect(icon, 3));
        const QSizeF fitted = QSizeF(favicon.size()).scaled(icon.size(), Qt::KeepAspectRatio);
        painter->drawImage(QRectF(icon.center() - QPointF(fitted.width(), fitted.height()) / 2, fitted), favicon);
        painter->restore();
    } else {
        const QString symbol = row.opensNewTab ? QStringLiteral("plus")
                               : row.tab && row.tab->isFolder ? QStringLiteral("folder")
                                                              : QStringLiteral("globe");
        painter->drawPixmap(icon.adjusted(2, 2, -2, -2),
                            tintedSymbol(symbol, 14, sharedSecondaryLabelColor(), dpr), QRectF());
    }
    const QRectF title(icon.right() + partSpacing, inner.top(), inner.right() - icon.right() - partSpacing,
                       inner.height());
    elidedText(*painter, title, row.displayTitle(), switcherTitleFont(), sharedLabelColor(), Qt::AlignLeft);
    painter->restore();
}

} // namespace tamo
