#include "private_cups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStandardPaths>
#include <QTimer>

namespace lambreya::test {

namespace {

bool writeFile(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.toUtf8()) == text.toUtf8().size();
}

} // namespace

PrivateCups::PrivateCups() = default;

PrivateCups::~PrivateCups() {
    if (m_scheduler.state() != QProcess::NotRunning) {
        m_scheduler.terminate();
        if (!m_scheduler.waitForFinished(5000))
            m_scheduler.kill();
        m_scheduler.waitForFinished(5000);
    }
}

bool PrivateCups::writeConfiguration() {
    for (const char* folder : {"spool", "cache", "state", "logs", "ppd"})
        QDir(m_dir.path()).mkpath(QString::fromLatin1(folder));
    const QString root = m_dir.path();
    return writeFile(path(QStringLiteral("cupsd.conf")),
                     QStringLiteral("Listen %1/cups.sock\n"
                                    "LogLevel warn\n"
                                    "Browsing No\n"
                                    "WebInterface No\n"
                                    "DefaultAuthType None\n"
                                    "PreserveJobFiles Yes\n"
                                    "PreserveJobHistory Yes\n"
                                    "DirtyCleanInterval 0\n"
                                    "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n")
                         .arg(root)) &&
           writeFile(path(QStringLiteral("cups-files.conf")),
                     QStringLiteral("ServerRoot %1\n"
                                    "RequestRoot %1/spool\n"
                                    "TempDir %1/spool\n"
                                    "CacheDir %1/cache\n"
                                    "StateDir %1/state\n"
                                    "ErrorLog %1/logs/error_log\n"
                                    "AccessLog %1/logs/access_log\n"
                                    "PageLog %1/logs/page_log\n"
                                    "FileDevice Yes\n"
                                    "Sandboxing Relaxed\n")
                         .arg(root)) &&
           writeFile(path(QStringLiteral("printers.conf")),
                     QStringLiteral("<DefaultPrinter lambreya-test>\n"
                                    "Info Lambreya test queue\n"
                                    "DeviceURI file:///dev/null\n"
                                    "State Idle\n"
                                    "Accepting Yes\n"
                                    "Shared No\n"
                                    "</DefaultPrinter>\n"
                                    "<Printer lambreya-ppd>\n"
                                    "Info Lambreya test queue with a PPD\n"
                                    "DeviceURI file:///dev/null\n"
                                    "State Idle\n"
                                    "Accepting Yes\n"
                                    "Shared No\n"
                                    "</Printer>\n")) &&
           (!QFileInfo::exists(kPpd) ||
            QFile::copy(kPpd, path(QStringLiteral("ppd/%1.ppd").arg(kPpdQueue))));
}

bool PrivateCups::start() {
    const QString cupsd = QStandardPaths::findExecutable(
        QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (cupsd.isEmpty()) {
        m_why = QStringLiteral("cupsd is not installed");
        return false;
    }
    if (!m_dir.isValid() || !writeConfiguration()) {
        m_why = QStringLiteral("cannot write the scheduler's configuration");
        return false;
    }
    // The scheduler's own user must be able to reach its folders.
    QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeGroup |
                                            QFile::ExeOther | QFile::ReadGroup | QFile::ReadOther);
    m_scheduler.setProcessChannelMode(QProcess::MergedChannels);
    m_scheduler.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"),
                              path(QStringLiteral("cupsd.conf")), QStringLiteral("-s"),
                              path(QStringLiteral("cups-files.conf"))});
    if (!m_scheduler.waitForStarted(5000)) {
        m_why = QStringLiteral("cupsd does not start: ") + m_scheduler.errorString();
        return false;
    }
    // Ready once its socket is there: between looks, wait for the folder to
    // change or the scheduler to end, a short while at most.
    const QString socket = path(QStringLiteral("cups.sock"));
    QFileSystemWatcher watcher({m_dir.path()});
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (m_scheduler.state() == QProcess::NotRunning) {
            QFile log(path(QStringLiteral("logs/error_log")));
            log.open(QIODevice::ReadOnly);
            m_why = QStringLiteral("cupsd ended at once: ") +
                    QString::fromLocal8Bit(m_scheduler.readAll() + log.readAll()).trimmed();
            return false;
        }
        if (QFileInfo(socket).exists()) {
            qputenv("CUPS_SERVER", socket.toLocal8Bit());
            return true;
        }
        QEventLoop wait;
        QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &wait, &QEventLoop::quit);
        QObject::connect(&m_scheduler, &QProcess::finished, &wait, &QEventLoop::quit);
        QTimer::singleShot(100, &wait, &QEventLoop::quit);
        wait.exec();
    }
    m_why = QStringLiteral("cupsd did not open its socket");
    return false;
}

bool PrivateCups::setAccepting(bool accepting) {
    QProcess tool;
    tool.start(accepting ? QStringLiteral("cupsaccept") : QStringLiteral("cupsreject"),
               {QStringLiteral("lambreya-test")});
    return tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

QStringList PrivateCups::jobFiles() const {
    const QDir spool(path(QStringLiteral("spool")));
    QStringList files;
    for (const QString& name : spool.entryList({QStringLiteral("d*")}, QDir::Files, QDir::Name))
        files << spool.filePath(name);
    return files;
}

QByteArray PrivateCups::jobAttributes(const QString& jobFile) const {
    // The job's file d<job>-<document> has the control file c<job> beside it.
    const QFileInfo info(jobFile);
    QFile file(info.dir().filePath(QLatin1Char('c') + info.fileName().mid(1, 5)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList pdfPages(const QString& pdf) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace lambreya::test
