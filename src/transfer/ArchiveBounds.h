#pragma once

#include <QByteArrayView>

namespace tamo {

// Walks a pinboard file's bytes once before anything is built from them,
// holding no more than the path to the value it is in, and throws
// ArchiveError for a file that holds more pinboards or clips, or a longer
// text, than reading may cost. A file that is no JSON is left to the parser.
void checkArchiveBounds(QByteArrayView bytes);

} // namespace tamo
