#include "settings/SyncStatusLine.h"

#include "app/AppHooks.h"
#include "app/RelativeDate.h"
#include "cards/ViewStyles.h"
#include "platform/Clock.h"
#include "settings/FormKit.h"
#include "transfer/FolderSync.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QTransform>
#include <QVariantAnimation>

namespace tamo {

namespace {

constexpr int renewMs = 30 * 1000;
constexpr int symbolSide = 13;
const QColor green(0x34, 0xC7, 0x59);
const QColor orange(0xFF, 0x95, 0x00);

// The folder sync needs, as a person writes it.
QString syncFolderParent(const Defaults &defaults)
{
    const QString parent = QFileInfo(FolderSync::folderPath(defaults)).absolutePath();
    const QString home = QDir::homePath();
    return parent.startsWith(home + u'/') ? u'~' + parent.mid(home.size()) : parent;
}

} // namespace

SyncStatusLine::SyncStatusLine(CloudSyncService &sync, const Defaults &defaults, const Clock &clock, QWidget *parent)
    : QWidget(parent)
    , m_sync(sync)
    , m_defaults(defaults)
    , m_clock(clock)
    , m_symbol(new QLabel(this))
    , m_text(formLabel(QString(), 11, this))
    , m_renew(new QTimer(this))
    , m_turning(new QVariantAnimation(this))
{
    m_text->setMaximumWidth(300);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_symbol, 0, Qt::AlignTop);
    // The text stays beside its symbol; a capped label given the spare width sits centred in it.
    layout->addWidget(m_text);
    layout->addStretch(1);

    m_turning->setStartValue(0.0);
    m_turning->setEndValue(360.0);
    m_turning->setDuration(1200);
    m_turning->setLoopCount(-1);
    connect(m_turning, &QVariantAnimation::valueChanged, this, [this](const QVariant &angle) {
        showSymbol(QStringLiteral("arrow.triangle.2.circlepath"), palette().color(QPalette::WindowText), angle.toReal());
    });
    m_renew->setInterval(renewMs);
    connect(m_renew, &QTimer::timeout, this, &SyncStatusLine::refresh);
    m_renew->start();
    m_sync.observe(this, [this] { refresh(); });
    refresh();
}

QString SyncStatusLine::text() const
{
    return isHidden() ? QString() : m_text->text();
}

void SyncStatusLine::refresh()
{
    using Kind = SyncStatus::Kind;
    const SyncStatus status = m_sync.status();
    const QDateTime now = m_clock.now();
    m_turning->stop();
    setVisible(status.kind != Kind::off);
    QPalette colours = palette();
    switch (status.kind) {
    case Kind::off:
        return;
    case Kind::upToDate:
        showSymbol(QStringLiteral("checkmark.icloud.fill"), green);
        m_text->setText(m_sync.withNotice({QStringLiteral("Up to date · synced ") + relativeDateText(status.date, now)})
                            .join(u'\n'));
        colours.setColor(QPalette::WindowText, green);
        break;
    case Kind::failed:
        showSymbol(QStringLiteral("exclamationmark.icloud.fill"), orange);
        m_text->setText(m_sync.withNotice({status.text}).join(u'\n'));
        colours.setColor(QPalette::WindowText, orange);
        break;
    case Kind::noAccount:
        showSymbol(QStringLiteral("exclamationmark.triangle.fill"), orange);
        m_text->setText(QStringLiteral("Create the folder %1 to sync").arg(syncFolderParent(m_defaults)));
        colours.setColor(QPalette::WindowText, orange);
        break;
    case Kind::syncing: {
        QStringList lines{m_sync.activityTitle()};
        lines += m_sync.detailLines(now);
        m_text->setText(m_sync.withNotice(lines).join(u'\n'));
        colours = QPalette();
        m_text->setPalette(colours);
        makeSecondary(m_text);
        m_turning->start();
        return;
    }
    }
    m_text->setPalette(colours);
}

void SyncStatusLine::showSymbol(const QString &name, const QColor &colour, qreal turn)
{
    const qreal ratio = devicePixelRatioF();
    QPixmap symbol = tintedSymbol(name, symbolSide, colour, ratio);
    if (turn != 0 && !symbol.isNull()) {
        // Turned about its centre, on a canvas of the same size.
        QPixmap turned(symbol.size());
        turned.setDevicePixelRatio(ratio);
        turned.fill(Qt::transparent);
        QPainter painter(&turned);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(symbolSide / 2.0, symbolSide / 2.0);
        painter.rotate(turn);
        painter.drawPixmap(QPointF(-symbolSide / 2.0, -symbolSide / 2.0), symbol);
        painter.end();
        symbol = turned;
    }
    m_symbol->setPixmap(symbol);
}

} // namespace tamo
