#pragma once

class QWidget;

namespace lambreya {

// The help topic number a control stands for; 0 means none.
int helpContext(const QWidget* control);
void setHelpContext(QWidget* control, int context);

// The first non-zero help context from the control up through its parents; 0 when none.
int helpContextFor(const QWidget* control);

} // namespace lambreya
