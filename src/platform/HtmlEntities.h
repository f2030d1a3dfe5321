#pragma once

#include <QString>
#include <QStringView>

namespace tamo {

// Replaces character references: numeric ones ("&#8211;", "&#x2013;") and
// the named ones that occur in page titles and URLs ("&amp;", "&rsquo;",
// "&eacute;", ...). Named references need their ";"; unknown ones stay as
// written.
QString decodeHtmlEntities(QStringView text);

} // namespace tamo
