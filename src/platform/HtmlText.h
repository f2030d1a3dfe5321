#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace tamo::HtmlText {

// The text a page shows, as a reader would copy it: tags left out, a line for
// each block (paragraph, heading, list item, table row, <br>), a tab between
// the cells of a row, character references decoded, white space collapsed as
// a browser does outside <pre>, scripts, styles, titles and comments left
// out. One pass, in time and memory linear in the page's length: whatever an
// owner sends, the text is never longer than the page.
//
// `stopped` is asked every few thousand characters; once it says true the
// conversion ends, giving nothing.
std::optional<QString> plainText(QStringView html, const std::function<bool()> &stopped);

} // namespace tamo::HtmlText
