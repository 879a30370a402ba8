// Texts from the listing as the window shows them. Every text is shown on one line: a control
// character inside it (a CR, LF or NUL in an archive title, say) appears as its visible symbol
// instead of breaking the line, so values keep standing beside their field names.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace lister::window {

// The lister's fixed texts (the product name, headers, field names) are ASCII.
QString FixedText(std::string_view ascii);

// C0 control characters and DEL become the matching Unicode control pictures (U+2400 block).
QString ShowControls(QString text);

// UTF-8 text (names and titles already decoded from Windows-1252) for display on one line.
QString DisplayText(const std::string& utf8);

// Paths, and texts made from them (the caption, messages), are bytes in the file-name encoding.
QString PathText(const std::string& bytes);
std::string PathBytes(const QString& path);

}  // namespace lister::window
