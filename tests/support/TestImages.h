#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

namespace tamo::testing {

// An image encoded as a file or the clipboard would hold it.
inline QByteArray encodedImage(const QImage &image, const char *format = "PNG", int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format, quality)) << format;
    return bytes;
}

// A plain image of one colour.
inline QByteArray encodedImage(QSize size, const QColor &color, const char *format = "PNG")
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return encodedImage(image, format);
}

} // namespace tamo::testing
