#pragma once

#include <QIcon>

namespace reportengine {

// The preview's toolbar pictures, drawn by the program so that they show on any desktop,
// with or without an icon theme.
enum class ToolbarIcon { Print, Save, First, Previous, Next, Last, Close };

QIcon toolbarIcon(ToolbarIcon which);

}  // namespace reportengine
