#pragma once

#include <functional>

class QMenuBar;

namespace lambreya {

// F1 while an item of the main menu is highlighted, in an open menu or on the menu bar
// itself, is a help request for that menu item: the menus close and `request` runs instead
// of the command that F1 is the shortcut of.
void installMenuHelp(QMenuBar* bar, std::function<void()> request);

} // namespace lambreya
