#pragma once

#include <QIcon>

namespace kvt::gui {

// The program's icon, drawn as kvt.svg draws it (the toolkit may have no SVG reader).
QIcon AppIcon();

}  // namespace kvt::gui
