#include "report/print_job.h"

#include "data/error.h"

#include <QPrinterInfo>

#include <cups/cups.h>

namespace lambreya {

void submitPrintJob(const PrintJob& job) {
    const QString printer =
        job.printer.isEmpty() ? QPrinterInfo::defaultPrinterName() : job.printer;
    if (printer.isEmpty())
        throw Error("There is no default printer currently selected");
    cups_option_t* options = nullptr;
    int count = 0;
    count = cupsAddOption("copies", QByteArray::number(std::max(1, job.copies)).constData(), count,
                          &options);
    const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(),
                                  job.file.toLocal8Bit().constData(),
                                  job.title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (id == 0) {
        throw Error(QStringLiteral("Принтер «%1» не принял задание: %2")
                        .arg(printer, QString::fromUtf8(cupsLastErrorString()))
                        .toStdString());
    }
}

} // namespace lambreya
