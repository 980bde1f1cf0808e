#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kvt::gui {

// The program's texts end their lines in CR LF; a plain-text pane holds one line end each.
QString ToPane(std::string_view text);
// The pane's text with CR LF line ends again, as the program keeps it.
std::string FromPane(const QString& text);

}  // namespace kvt::gui
