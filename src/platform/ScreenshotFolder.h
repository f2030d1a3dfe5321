#pragma once

#include <QObject>
#include <QString>

namespace tamo {

// The folder the desktop's screenshot tool saves into, watched for files
// that appear in it.
class ScreenshotFolder : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual QString path() const = 0;
    virtual bool isReadable() const = 0;
    // Files already there when watching starts are not reported. False when
    // the folder cannot be read.
    virtual bool startWatching() = 0;
    virtual void stopWatching() = 0;

signals:
    // A new file, by absolute path. It may still be being written.
    void fileAdded(const QString &path);
};

} // namespace tamo
