#pragma once

#include "platform/ScreenshotFolder.h"

namespace tamo::testing {

// A folder whose new files the test announces; readable unless told otherwise.
class FakeScreenshotFolder final : public ScreenshotFolder
{
    Q_OBJECT
public:
    explicit FakeScreenshotFolder(QString path = QStringLiteral("/fake/Screenshots")) : m_path(std::move(path)) {}

    void setReadable(bool readable) { m_readable = readable; }
    bool isWatching() const { return m_watching; }
    // Reported only while watching, as the real folder does.
    void addFile(const QString &name)
    {
        if (m_watching)
            emit fileAdded(m_path + u'/' + name);
    }

    QString path() const override { return m_path; }
    bool isReadable() const override { return m_readable; }
    bool startWatching() override
    {
        m_watching = m_readable;
        return m_watching;
    }
    void stopWatching() override { m_watching = false; }

private:
    QString m_path;
    bool m_readable = true;
    bool m_watching = false;
};

} // namespace tamo::testing
