#include "app/LinkMetadata.h"
#include "bonus/FaviconImage.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdlib>

namespace {

const QUrl page(QStringLiteral("https://example.com/a/b.html"));

// What a web server hands the favicon fetch: the page, read for its icon
// link, and the icon, decoded and scaled. Neither may crash, and a link
// found is an absolute web address; an icon made is a small PNG.
void check(const QByteArray &bytes)
{
    const tamo::LinkMetadata metadata = tamo::parseLinkMetadata(bytes, page, "text/html");
    if (metadata.iconURL && (!metadata.iconURL->isValid() || metadata.iconURL->isRelative()))
        std::abort();
    if (const std::optional<QByteArray> png = tamo::faviconThumbnail(bytes, 64, 1024)) {
        const QImage image = QImage::fromData(*png, "PNG");
        if (image.isNull() || image.width() > 64 || image.height() > 64)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Image plugins need an application object, and it must start without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = QCoreApplication::instance() ? nullptr : new QGuiApplication(argc, argv);
    Q_UNUSED(app);
    check(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
