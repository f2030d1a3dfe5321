#include "drawer/SyncIndicator.h"

#include "app/AppModel.h"
#include "app/RelativeDate.h"
#include "cards/ViewStyles.h"
#include "model/ModelContainer.h"
#include "platform/Clock.h"
#include "platform/Symbols.h"

#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QToolTip>

namespace tamo {

namespace {

using Kind = SyncStatus::Kind;

constexpr int textRefreshMs = 30'000;
constexpr int spinStepMs = 50;
constexpr int spinStepDegrees = 18; // one turn a second
constexpr int circleDiscSide = 24;
// The settings window's first page, General, holds the sync controls.
constexpr int syncSettingsPage = 0;

// A path as people write it, with their home folder as "~".
QString homeShortened(const QString &path)
{
    const QString home = QDir::homePath();
    if (path == home || path.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + path.mid(home.size());
    return path;
}

// Status texts (a failure names a file) wrap at this width in the menu and
// the tooltip, well inside the narrowest screen.
constexpr int longestLineWidth = 560;

QColor statusColour(Kind kind, SyncIndicator::Look look)
{
    switch (kind) {
    case Kind::upToDate:
        return QColor(0x34, 0xC7, 0x59);
    case Kind::failed:
    case Kind::noAccount:
        return QColor(0xFF, 0x95, 0x00);
    case Kind::off:
    case Kind::syncing:
        break;
    }
    return look == SyncIndicator::Look::glass ? sharedSecondaryLabelColor() : QColor(0x8E, 0x8E, 0x93);
}

QPixmap rotated(const QPixmap &pixmap, int degrees)
{
    QPixmap turned(pixmap.size());
    turned.setDevicePixelRatio(pixmap.devicePixelRatio());
    turned.fill(Qt::transparent);
    QPainter painter(&turned);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF size = pixmap.deviceIndependentSize();
    painter.translate(size.width() / 2, size.height() / 2);
    painter.rotate(degrees);
    painter.drawPixmap(QPointF(-size.width() / 2, -size.height() / 2), pixmap);
    return turned;
}

} // namespace

SyncIndicator::SyncIndicator(AppModel &model, int side, Look look, QWidget *parent)
    : QToolButton(parent)
    , m_model(model)
    , m_look(look)
    , m_menu(new QMenu(this))
    , m_textTimer(new QTimer(this))
    , m_spin(new QTimer(this))
{
    setFixedSize(side, side);
    setAutoRaise(true);
    // Like the bar's other buttons it leaves the keyboard where it was, so no
    // focus frame stays on it once its menu closes.
    setFocusPolicy(Qt::NoFocus);
    setPopupMode(QToolButton::InstantPopup);
    setMenu(m_menu);
    // Its symbol is its whole look: no frame while hovered or pressed (the
    // pointer is often still over it when its menu closes).
    setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"
                                 "QToolButton::menu-indicator { image: none; width: 0; }"));
    connect(m_menu, &QMenu::aboutToShow, this, &SyncIndicator::fillMenu);
    connect(m_textTimer, &QTimer::timeout, this, &SyncIndicator::refresh);
    connect(m_spin, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + spinStepDegrees) % 360;
        drawIcon();
    });
    m_textTimer->start(textRefreshMs);
    m_model.sync().observe(this, [this] { refresh(); });
    refresh();
}

QString SyncIndicator::symbolName() const
{
    switch (m_model.sync().status().kind) {
    case Kind::upToDate:
        return QStringLiteral("checkmark.icloud.fill");
    case Kind::failed:
        return QStringLiteral("exclamationmark.icloud.fill");
    case Kind::noAccount:
        return QStringLiteral("icloud.slash");
    case Kind::off:
    case Kind::syncing:
        break;
    }
    return QStringLiteral("arrow.triangle.2.circlepath.icloud");
}

QStringList SyncIndicator::lines() const
{
    CloudSyncService &sync = m_model.sync();
    const SyncStatus status = sync.status();
    const QDateTime now = m_model.clock().now();
    switch (status.kind) {
    case Kind::upToDate:
        return sync.withNotice({QStringLiteral("Up to date · synced ") + relativeDateText(status.date, now)});
    case Kind::failed:
        return sync.withNotice({QStringLiteral("Sync failed: ") + status.text});
    case Kind::noAccount:
        return {QStringLiteral("To sync, have a file-sync engine keep the sync folder %1 in step")
                    .arg(homeShortened(sync.folderPath()))};
    case Kind::syncing:
        return sync.withNotice(QStringList{sync.activityTitle()} + sync.detailLines(now));
    case Kind::off:
        break;
    }
    return {};
}

void SyncIndicator::refresh()
{
    const Kind kind = m_model.sync().status().kind;
    setVisible(kind != Kind::off);
    if (kind == Kind::off) {
        m_spin->stop();
        return;
    }
    const QStringList shown = lines();
    setToolTip(wrappedLines(shown.join(QLatin1Char('\n')), QToolTip::font(), longestLineWidth).join(QLatin1Char('\n')));
    setAccessibleName(shown.value(0)); // the headline
    if (kind == Kind::syncing && !m_spin->isActive()) {
        m_spin->start(spinStepMs);
    } else if (kind != Kind::syncing) {
        m_spin->stop();
        m_angle = 0;
    }
    drawIcon();
}

void SyncIndicator::drawIcon()
{
    const Kind kind = m_model.sync().status().kind;
    const QColor colour = statusColour(kind, m_look);
    const qreal ratio = devicePixelRatioF();
    if (m_look == Look::circle) {
        QPixmap disc = discImage(colour, circleDiscSide, 0, ratio);
        QPainter painter(&disc);
        const int symbolSide = 13;
        const QPixmap symbol = rotated(tintedSymbol(symbolName(), symbolSide, Qt::white, ratio), m_angle);
        painter.drawPixmap(QPointF((circleDiscSide - symbolSide) / 2.0, (circleDiscSide - symbolSide) / 2.0), symbol);
        painter.end();
        setIcon(QIcon(disc));
        setIconSize({circleDiscSide, circleDiscSide});
        return;
    }
    const int symbolSide = QFontMetrics(uiFont(13, QFont::Medium)).height();
    setIcon(QIcon(rotated(tintedSymbol(symbolName(), symbolSide, colour, ratio), m_angle)));
    setIconSize({symbolSide, symbolSide});
}

void SyncIndicator::fillMenu()
{
    m_menu->clear();
    for (const QString &line : wrappedLines(lines().join(QLatin1Char('\n')), m_menu->font(), longestLineWidth))
        m_menu->addAction(literalLabel(line))->setEnabled(false);
    m_menu->addSeparator();
    QAction *syncNow = m_menu->addAction(symbolIcon(QStringLiteral("arrow.clockwise.icloud")), QStringLiteral("Sync Now"));
    syncNow->setEnabled(m_model.sync().status().kind != Kind::noAccount);
    connect(syncNow, &QAction::triggered, this, [this] { m_model.sync().syncNow(m_model.container().mainContext()); });
    QAction *settings = m_menu->addAction(symbolIcon(QStringLiteral("gearshape")), QStringLiteral("Sync Settings…"));
    connect(settings, &QAction::triggered, this, [this] { m_model.showPreferences(syncSettingsPage); });
}

} // namespace tamo
