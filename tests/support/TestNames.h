#pragma once

#include <QString>

#include <string>

namespace tamo::testing {

// A name gtest takes for a case, from its description: each character
// that is no letter or digit becomes '_'.
inline std::string testNameOf(const char *description)
{
    QString name = QString::fromUtf8(description);
    for (QChar &c : name) {
        if (!c.isLetterOrNumber())
            c = u'_';
    }
    return name.toStdString();
}

} // namespace tamo::testing
