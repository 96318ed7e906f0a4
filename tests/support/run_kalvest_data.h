#pragma once

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace lambreya::test {

struct ProcessResult {
    int status;
    std::string out;
    std::string err;
};

// Runs the real kalvest-data, as a script would, and gives what it said. `inChild` runs in
// the child before the program starts (to set its limits, say).
inline ProcessResult runKalvestData(const QStringList& args, std::function<void()> inChild = {}) {
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(QStringLiteral(LAMBREYA_BINARY_DIR "/bin/kalvest-data"), args);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

} // namespace lambreya::test
