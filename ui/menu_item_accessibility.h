#pragma once

class QAction;
class QString;

namespace lambreya {

// Gives a menu item the name assistive technology reads, in place of its caption without
// the access-key mark. The item keeps behaving as any other item of its menu.
void setAccessibleMenuItemName(QAction* action, const QString& name);

} // namespace lambreya
