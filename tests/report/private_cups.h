#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace lambreya::test {

// A CUPS scheduler of the tests' own: its configuration, socket, spool and logs in a
// temporary folder, a raw queue "lambreya-test" as the default printer and a queue
// "lambreya-ppd" described by a PDF printer's PPD (when one is installed), every job's
// file kept in the spool. The print system is pointed at it through CUPS_SERVER, which
// must happen before anything asks for printers.
class PrivateCups {
public:
    PrivateCups();
    ~PrivateCups();

    static inline const QString kRawQueue = QStringLiteral("lambreya-test");
    static inline const QString kPpdQueue = QStringLiteral("lambreya-ppd");
    // The PPD of the second queue, from the generic PDF printer of the CUPS filters.
    static inline const QString kPpd =
        QStringLiteral("/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd");

    // Starts the scheduler; false with why() set when it cannot run here.
    bool start();
    const QString& why() const { return m_why; }

    // Makes the queue accept jobs or refuse them; false when the scheduler did not agree.
    bool setAccepting(bool accepting);

    // The files of the jobs received so far, oldest first.
    QStringList jobFiles() const;
    // The control file of the job of that file, where its attributes (the job name among
    // them) are kept.
    QByteArray jobAttributes(const QString& jobFile) const;

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    bool writeConfiguration();

    QTemporaryDir m_dir;
    QProcess m_scheduler;
    QString m_why;
};

// The text of every page of a PDF, as pdftotext reads it; empty when it cannot.
QStringList pdfPages(const QString& pdf);

} // namespace lambreya::test
