#pragma once

#include "bonus/WindowSwitcherRow.h"

#include <QAbstractListModel>
#include <QFont>
#include <QImage>
#include <QStyledItemDelegate>

#include <functional>

namespace tamo {

class WindowSwitcherState;

// Sizes the switcher's size rule counts on.
inline constexpr qreal windowRowHeight = 70;
inline constexpr qreal tabRowHeight = 44;
inline constexpr qreal switcherIconSize = 52;

// The titles' font, shared by the rows and the size rule.
const QFont &switcherTitleFont();
// The title's width in that font, rounded up, held between 24 and the cap.
qreal measureTitleWidth(const QString &text, qreal cap);
// The application names' font.
QFont switcherAppNameFont();

// The red circle over an app icon grows with its label: 18 for one
// character, 20 for two, 24 for more.
qreal unreadBadgeDiameter(const QString &label);
QString tabsBadgeText(int count);
QSizeF tabsBadgeSize(int count);
QSizeF fullScreenBadgeSize();

// Where the parts of a window row go in its rectangle; an empty rectangle
// for a part the row does not show.
struct WindowRowLayout
{
    QRectF appName;
    QRectF highlight; // the window part: icon, title and badges
    QRectF icon;
    QRectF title;
    QRectF fullScreenBadge;
    QRectF tabsBadge;
};
WindowRowLayout layoutWindowRow(const QRectF &rect, const WindowSwitcherRow &row, qreal appNameWidth,
                                qreal titleCap);

// The rows of one of the switcher's lists; the display text is the row's
// title, which screen readers read.
class SwitcherRowsModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setRows(const QList<WindowSwitcherRow> &rows);
    const QList<WindowSwitcherRow> &rows() const { return m_rows; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QList<WindowSwitcherRow> m_rows;
};

// Draws the window rows: app name, icon with its unread badge, title and the
// full-screen and tabs badges, highlighted while selected.
class WindowRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    WindowRowDelegate(const WindowSwitcherState &state, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // Whether the click the list reports for this row ended on its tabs
    // badge: the list still reports it, but the row must not take it.
    bool badgeTookClick(const QModelIndex &index) const { return index == m_badgeRelease; }

signals:
    // A click on a row's tabs badge, which the row itself does not see.
    void tabsBadgeClicked(int index);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    const WindowSwitcherState &m_state;
    QPersistentModelIndex m_badgeRelease;
};

// Draws the tab rows: the current-tab dot, the site or folder icon, the title.
class TabRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using FaviconLookup = std::function<QImage(const QString &host)>;

    TabRowDelegate(const WindowSwitcherState &state, FaviconLookup favicons, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    const WindowSwitcherState &m_state;
    FaviconLookup m_favicons;
};

} // namespace tamo
