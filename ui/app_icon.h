#pragma once

#include <QIcon>

namespace tervane::ui {

// The program icon in all its sizes, for the windows and the About box.
QIcon AppIcon();

}  // namespace tervane::ui
