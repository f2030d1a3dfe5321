#pragma once

// Clips of every kind, outside any store, for the card sample sheets and the
// card benchmarks. Header-only and free of test frameworks, so bench/ can
// include it too.

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ImageEncoding.h"

#include <QDateTime>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <memory>

namespace tamo::testing {

// A landscape at dusk: a sky, a sun and three rows of hills, so pictures
// have detail to scale.
inline QImage landscape(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(0x2E, 0x6F, 0xD8));
    sky.setColorAt(0.6, QColor(0xF6, 0xB3, 0x7F));
    sky.setColorAt(1, QColor(0xF9, 0xD9, 0x9A));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0xE9, 0xA8));
    painter.drawEllipse(QPointF(width * 0.72, height * 0.42), height * 0.12, height * 0.12);
    const QColor hills[] = {QColor(0x4B, 0x6B, 0x5A), QColor(0x2F, 0x4A, 0x3E), QColor(0x1C, 0x30, 0x28)};
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath path(QPointF(0, height));
        const qreal base = height * (0.62 + 0.12 * layer);
        for (int x = 0; x <= width; x += std::max(1, width / 200)) {
            const qreal wave = std::sin(x * (0.004 + 0.002 * layer) * 1600.0 / std::max(width, 1600) + layer)
                               * height * 0.06;
            path.lineTo(x, base + wave);
        }
        path.lineTo(width, height);
        painter.setBrush(hills[layer]);
        painter.drawPath(path);
    }
    return image;
}

inline ClipItemPtr sampleClip(const ClipDraft &draft, const QDateTime &created = QDateTime::currentDateTime())
{
    return std::make_shared<ClipItem>(draft, created);
}

inline ClipItemPtr textClip(const QString &text, const QString &bundleID = QStringLiteral("com.example.Notes"),
                            const QString &appName = QStringLiteral("Notes"),
                            const QDateTime &created = QDateTime::currentDateTime())
{
    return sampleClip(ClipDraft::fromText(text, std::nullopt, bundleID, appName), created);
}

// A link whose page title and image have been fetched.
inline ClipItemPtr linkPreviewClip(const QString &url, const QString &title, const QImage &pageImage,
                                   const QDateTime &created = QDateTime::currentDateTime())
{
    ClipItemPtr clip = textClip(url, QStringLiteral("org.example.Browser"), QStringLiteral("Browser"), created);
    clip->setLinkTitle(title);
    clip->setLinkImageData(encodePng(pageImage));
    clip->setLinkPreviewFetched(true);
    return clip;
}

inline ClipItemPtr imageClip(const QImage &image, const QString &appName = QStringLiteral("Image Viewer"),
                             const QDateTime &created = QDateTime::currentDateTime())
{
    return sampleClip(*ClipDraft::fromImage(encodePng(image), QStringLiteral("org.example.Viewer"), appName),
                      created);
}

inline ClipItemPtr fileClip(const QStringList &paths, const QDateTime &created = QDateTime::currentDateTime())
{
    ClipDraft draft;
    draft.kind = ClipKind::file;
    draft.filePaths = paths;
    draft.sourceBundleID = QStringLiteral("org.gnome.Nautilus");
    draft.sourceAppName = QStringLiteral("Files");
    return sampleClip(draft, created);
}

} // namespace tamo::testing
