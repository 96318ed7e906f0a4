#pragma once

#include <QString>

class QLabel;

namespace lambreya {

// Shows `text` in a panel of a status bar: the panel grows to the text's width, never
// below `minimumWidth`, and keeps its place among the panels; a screen reader reads the
// text as the panel's description.
void showPanelText(QLabel& panel, const QString& text, int minimumWidth);

} // namespace lambreya
