#include "app/AppIcons.h"

#include "model/ImageEncoding.h"
#include "platform/Workspace.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>

namespace tamo {

namespace {

constexpr int menuIconSize = 16;
constexpr int accentSampleSize = 32;
constexpr int exportIconSize = 256;

// The icon scaled to fill a transparent square, centred; null without an icon.
QImage renderIcon(const QIcon &icon, int size)
{
    if (icon.isNull() || size < 1)
        return {};
    const QPixmap pixmap = icon.pixmap(QSize(size, size), 1.0);
    if (pixmap.isNull())
        return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize fitted = pixmap.size().scaled(size, size, Qt::KeepAspectRatio);
    painter.drawPixmap(QRect(QPoint((size - fitted.width()) / 2, (size - fitted.height()) / 2), fitted), pixmap);
    return image;
}

QString hexOf(const QColor &color)
{
    return QString::asprintf("#%02X%02X%02X", color.red(), color.green(), color.blue());
}

class MeanColor
{
public:
    void add(const QColor &color)
    {
        m_red += color.red();
        m_green += color.green();
        m_blue += color.blue();
        ++m_count;
    }
    bool isEmpty() const { return m_count == 0; }
    QColor value() const
    {
        return QColor(qRound(double(m_red) / m_count), qRound(double(m_green) / m_count),
                      qRound(double(m_blue) / m_count));
    }

private:
    qint64 m_red = 0, m_green = 0, m_blue = 0, m_count = 0;
};

// The mean of the icon's colourful pixels, so a white or black outline does
// not wash out the brand colour; a colourless icon gives its mean grey tone.
QColor accentOf(const QIcon &icon)
{
    static const QColor neutralGrey(0x80, 0x80, 0x80);
    const QImage image = renderIcon(icon, accentSampleSize).convertToFormat(QImage::Format_ARGB32);
    MeanColor colourful;
    MeanColor opaque;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = QColor::fromRgba(line[x]);
            if (pixel.alpha() < 128)
                continue;
            opaque.add(pixel);
            // Dark pixels have an unsteady hue, whatever their saturation.
            if (pixel.hsvSaturationF() >= 0.25f && pixel.valueF() >= 0.2f)
                colourful.add(pixel);
        }
    }
    if (!colourful.isEmpty())
        return colourful.value();
    return opaque.isEmpty() ? neutralGrey : opaque.value();
}

std::optional<QString> normalizedTint(const QString &tintHex)
{
    static const QRegularExpression hexColor(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!hexColor.match(tintHex).hasMatch())
        return std::nullopt;
    return tintHex.toUpper();
}

} // namespace

AppIcons::AppIcons(Workspace &workspace)
    : m_workspace(workspace)
{
    m_appsChanged = QObject::connect(&workspace, &Workspace::installedAppsChanged, [this] { forgetInstalledApps(); });
}

AppIcons::~AppIcons()
{
    QObject::disconnect(m_appsChanged);
}

void AppIcons::forgetInstalledApps()
{
    m_seeded.removeIf([this](const QString &bundleID) { return m_workspace.isInstalled(bundleID); });
    const auto unseeded = [this](auto entry) { return !m_seeded.contains(entry.key()); };
    m_icons.removeIf(unseeded);
    m_menuIcons.removeIf(unseeded);
    m_accents.removeIf(unseeded);
}

QIcon AppIcons::appIcon(const QString &bundleID)
{
    const auto cached = m_icons.constFind(bundleID);
    if (cached != m_icons.cend())
        return *cached;
    const QIcon icon = m_workspace.icon(bundleID);
    m_icons.insert(bundleID, icon);
    return icon;
}

QIcon AppIcons::appMenuIcon(const QString &bundleID)
{
    const auto cached = m_menuIcons.constFind(bundleID);
    if (cached != m_menuIcons.cend())
        return *cached;
    const QIcon source = appIcon(bundleID);
    QIcon menuIcon;
    // A sharp copy for high-density screens too.
    for (const int scale : {1, 2}) {
        QPixmap pixmap = QPixmap::fromImage(renderIcon(source, menuIconSize * scale));
        if (pixmap.isNull())
            continue;
        pixmap.setDevicePixelRatio(scale);
        menuIcon.addPixmap(pixmap);
    }
    m_menuIcons.insert(bundleID, menuIcon);
    return menuIcon;
}

std::optional<QByteArray> AppIcons::appIconPNGData(const QString &bundleID, int sizeInPixels)
{
    const QImage image = renderIcon(appIcon(bundleID), sizeInPixels);
    if (image.isNull())
        return std::nullopt;
    const QByteArray png = encodePng(image);
    return png.isEmpty() ? std::nullopt : std::optional(png);
}

QString AppIcons::appAccentHex(const QString &bundleID)
{
    const auto cached = m_accents.constFind(bundleID);
    if (cached != m_accents.cend())
        return *cached;
    const QString hex = hexOf(accentOf(appIcon(bundleID)));
    m_accents.insert(bundleID, hex);
    return hex;
}

void AppIcons::seedAppIconCache(const QString &bundleID, const std::optional<QByteArray> &iconData,
                                const QString &tintHex)
{
    if (m_workspace.isInstalled(bundleID))
        return;
    m_seeded.insert(bundleID);
    QPixmap pixmap;
    if (iconData && pixmap.loadFromData(*iconData)) {
        m_icons.insert(bundleID, QIcon(pixmap));
        m_menuIcons.remove(bundleID);
        m_accents.remove(bundleID); // may have come from the generic icon
    }
    if (const auto tint = normalizedTint(tintHex))
        m_accents.insert(bundleID, *tint);
}

std::optional<AppIconInfo> AppIcons::iconFor(const QString &bundleID)
{
    if (!m_workspace.isInstalled(bundleID))
        return std::nullopt;
    const auto png = appIconPNGData(bundleID, exportIconSize);
    if (!png)
        return std::nullopt;
    return AppIconInfo{*png, appAccentHex(bundleID)};
}

} // namespace tamo
