#include "report/status_panel.h"

#include <QLabel>

#include <algorithm>

namespace lambreya {

void showPanelText(QLabel& panel, const QString& text, int minimumWidth) {
    panel.setText(text);
    panel.setAccessibleDescription(text);
    // The label's size hint holds the text with the panel's frame and indent.
    panel.setFixedWidth(std::max(minimumWidth, panel.sizeHint().width()));
}

} // namespace lambreya
