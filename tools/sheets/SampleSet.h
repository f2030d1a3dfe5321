#pragma once

#include "support/SampleClips.h"

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/FetchDescriptor.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboard.h"
#include "model/Sqlite.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace tamo::sheets {

using namespace tamo::testing;

// One card of a sheet: a clip with what the strip would set on its card.
struct Sample
{
    ClipItemPtr item;
    std::optional<int> badge;
    PinboardPtr tag;
    bool selected = false;
};

inline QImage pageImage()
{
    QImage image(1200, 630, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 1200, 630);
    fill.setColorAt(0, QColor(0x5B, 0x3C, 0xC4));
    fill.setColorAt(1, QColor(0xE0, 0x4F, 0x8A));
    painter.fillRect(image.rect(), fill);
    QFont font;
    font.setPixelSize(120);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Field Notes"));
    return image;
}

// Clips of every kind, aged from one moment: long and right-to-left texts,
// emoji, a link with its page, pictures up to 10,000 pixels wide, files (one
// missing), colours, a broken image and a kind from a newer version.
class SampleSet
{
public:
    explicit SampleSet(const QDateTime &now)
        : m_now(now)
    {
        m_work = std::make_shared<Pinboard>(QStringLiteral("Work"), 0, 0);
        m_recipes = std::make_shared<Pinboard>(QStringLiteral("Recipes and weekend plans"), 6, 1);
    }

    QList<Sample> make()
    {
        const auto ago = [this](qint64 seconds) { return m_now.addSecs(-seconds); };
        const QString notes = QStringLiteral("com.example.Notes");
        const QString browser = QStringLiteral("org.example.Browser");
        const QString paint = QStringLiteral("org.example.Paint");
        QList<Sample> samples;

        samples.append({textClip(QStringLiteral("Meet at the north entrance at 7:30. I\u2019ll bring the tickets and "
                                                "the charger you left in my car."),
                                 notes, QStringLiteral("Notes"), ago(180)),
                        1, {}, true});

        QString longText;
        for (int i = 0; i < 40; ++i)
            longText += QStringLiteral("Paragraph %1. The quick brown fox jumps over the lazy dog while the "
                                       "committee reviews the quarterly figures once more.\n").arg(i + 1);
        auto titled = textClip(longText, QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor"),
                               ago(2 * 3600));
        titled->setTitle(QStringLiteral("Minutes of the long meeting about very many things"));
        samples.append({titled, 2, m_work, false});

        samples.append({textClip(QStringLiteral("שלום! הפגישה נדחתה ליום שלישי בשעה 10:00. "
                                                "مرحبا، سنلتقي في المقهى بعد الظهر."),
                                 QStringLiteral("org.example.Mail"), QStringLiteral("Mail"), ago(26 * 3600)),
                        3, {}, false});

        auto emoji = textClip(QStringLiteral("Party tonight 🎉🥳 bring snacks 🍕🍩 and good vibes ❤️ 👍🏽 👨‍👩‍👧 🇫🇷"),
                              QStringLiteral("org.example.Chat"), QStringLiteral("Chat"), ago(3 * 86400));
        emoji->setIconEmoji(QStringLiteral("🎉"));
        samples.append({emoji, 4, m_recipes, false});

        samples.append({linkPreviewClip(QStringLiteral("https://www.fieldnotes.example.org/articles/2026/walking-the-coast"),
                                        QStringLiteral("Walking the coast: twelve days from harbour to harbour"),
                                        pageImage(), ago(40 * 60)),
                        5, {}, false});
        samples.append({textClip(QStringLiteral("https://git.example.com/tamocove/tamocove/-/merge_requests/1432/diffs"
                                                "?commit_id=8f3e2a1b9c#note_99812"),
                                 browser, QStringLiteral("Browser"), ago(12)),
                        6, {}, false});

        samples.append({imageClip(landscape(1600, 1000), QStringLiteral("Screenshot"), ago(5 * 60)), 7, {}, false});
        samples.append({imageClip(landscape(10000, 1200), QStringLiteral("Image Viewer"), ago(45 * 86400)), 8,
                        m_work, false});

        samples.append({fileClip({writeImageFile()}, ago(9 * 60)), 9, {}, false});
        samples.append({fileClip({emptyFile(QStringLiteral("Quarterly report.pdf")), emptyFile(QStringLiteral("notes.txt")),
                                  emptyFile(QStringLiteral("slides.odp")), emptyFile(QStringLiteral("budget.ods"))},
                                 ago(3 * 3600)),
                        {}, {}, false});
        samples.append({fileClip({QStringLiteral("/nonexistent/Budget 2024.xlsx")}, ago(400 * 86400)), {}, {}, false});

        samples.append({textClip(QStringLiteral("#FF9500"), paint, QStringLiteral("Paint"), ago(70)), {}, {}, false});
        samples.append({textClip(QStringLiteral("#3478F680"), paint, QStringLiteral("Paint"), ago(75)), {}, {}, false});

        ClipDraft broken;
        broken.kind = ClipKind::image;
        broken.imageData = QByteArray("these bytes are not an image");
        broken.imageWidth = 800;
        broken.imageHeight = 600;
        samples.append({sampleClip(broken, ago(20 * 86400)), {}, {}, false});

        samples.append({storedClipOfUnknownKind(ago(5 * 3600)), {}, {}, false});

        const ClipDraft noApp = ClipDraft::fromText(
            QStringLiteral("    \n\n  indented code after blank lines\n\tif (x) {\n\t\treturn 42;\n\t}"));
        samples.append({sampleClip(noApp, ago(90)), {}, {}, false});

        return samples;
    }

private:
    // Kinds a later version may add reach this one through sync; only the
    // store can hold one.
    ClipItemPtr storedClipOfUnknownKind(const QDateTime &created)
    {
        m_store = std::make_unique<ModelContainer>(m_files.filePath(QStringLiteral("store")));
        ModelContext &context = m_store->mainContext();
        const QUuid id = QUuid::createUuid();
        context.insert(std::make_shared<ClipItem>(
            ClipDraft::fromText(QStringLiteral("A sticker from a newer version: a turtle waving 🐢👋"), std::nullopt,
                                QStringLiteral("org.example.Chat"), QStringLiteral("Chat")),
            created, id));
        context.save();
        sql::Database db;
        db.open(m_files.filePath(QStringLiteral("store/") + QLatin1String(ModelContainer::syncedStoreName)));
        db.exec(QStringLiteral("UPDATE ClipItem SET kindRaw = 'sticker'"));
        return context.fetch<ClipItem>(FetchDescriptor().where(ClipItem::IdColumn, FetchDescriptor::Compare::equal, id))
            .value(0);
    }

    QString writeImageFile()
    {
        const QString path = m_files.filePath(QStringLiteral("Harbour at dusk.png"));
        landscape(2400, 1600).save(path);
        return path;
    }

    QString emptyFile(const QString &name)
    {
        const QString path = m_files.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }

    QDateTime m_now;
    QTemporaryDir m_files;
    std::unique_ptr<ModelContainer> m_store;
    PinboardPtr m_work;
    PinboardPtr m_recipes;
};


} // namespace tamo::sheets
