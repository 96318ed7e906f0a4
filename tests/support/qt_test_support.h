#pragma once

#include <QApplication>
#include <QDialog>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace lambreya::test {

// The errors that escaped event handlers since the last call, as the application's one
// catch would show them; taking them clears the list.
std::vector<std::string> takeEscapedErrors();

// Answers the modal dialog that the next step opens, as a person would: `answer` sets its
// choices and accepts or rejects it. Any other dialog is rejected and fails the test. The
// answer waits until the dialog's own loop runs: a dialog may let events through while it
// is being shown, and one closed before its loop starts would never return.
template <typename Dialog>
void answerNextDialog(std::function<void(Dialog&)> answer, int outerLoops = -1) {
    if (outerLoops < 0)
        outerLoops = QThread::currentThread()->loopLevel();
    QTimer::singleShot(0, [answer = std::move(answer), outerLoops]() mutable {
        if (QThread::currentThread()->loopLevel() <= outerLoops) {
            answerNextDialog<Dialog>(std::move(answer), outerLoops);
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<Dialog*>(modal)) {
            answer(*dialog);
            return;
        }
        ADD_FAILURE() << "expected a " << Dialog::staticMetaObject.className() << ", found "
                      << (modal ? modal->metaObject()->className() : "none");
        if (auto* other = qobject_cast<QDialog*>(modal))
            other->reject();
    });
}

} // namespace lambreya::test
