#pragma once

#include <QString>

namespace lambreya {

// One document, finished as a PDF file, for a printer of the print system.
struct PrintJob {
    QString printer; // empty: the system's default printer
    QString file;    // the PDF file; the print system has a copy once submitted
    QString title;   // the job's document name
    int copies = 1;
};

// Hands the job to the print system. A printer that does not exist, a queue that does not
// accept jobs or a print system that cannot be reached throws, with the print system's
// reason.
void submitPrintJob(const PrintJob& job);

} // namespace lambreya
