#pragma once

class QWidget;

namespace lambreya {

// Keeps every control of window, present at the call, from showing a tooltip when the
// mouse rests on it.
void suppressToolTips(QWidget* window);

} // namespace lambreya
