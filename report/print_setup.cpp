#include "report/print_setup.h"

#include "data/error.h"

#include "report/printer_sink.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace lambreya {

void setUpPrintDialog(QPrintDialog& dialog, int pageCount) {
    // The printer's properties stay offered: the orientation is chosen there.
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies |
                      QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, std::max(1, pageCount));
    dialog.setFromTo(1, std::max(1, pageCount));
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    // Qt's dialog on CUPS also takes a list of pages ("1-3, 7"). No option turns it off, and
    // what is chosen there goes to the print system on the dialog's own printer, out of the
    // settings' reach: it would print every page. A report prints one range, so that choice
    // is hidden; the tests see every choice a user can see, so a rename shows there.
    for (const char* name : {"pagesRadioButton", "pagesLineEdit"}) {
        if (auto* choice = dialog.findChild<QWidget*>(QString::fromLatin1(name)))
            choice->hide();
    }
}

PrintSettings chosenPrintSettings(const QPrintDialog& dialog, const QPrinter& printer) {
    PrintSettings chosen;
    chosen.printer = printer.printerName();
    chosen.copies = std::max(1, printer.copyCount());
    chosen.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                             ? PrintSettings::Orientation::Landscape
                             : PrintSettings::Orientation::Portrait;
    if (dialog.printRange() == QAbstractPrintDialog::PageRange) {
        chosen.firstPage = dialog.fromPage();
        chosen.lastPage = dialog.toPage();
    }
    return chosen;
}

bool runPrintSetup(QWidget* parent, PrintSettings& settings, int pageCount) {
    if (QPrinterInfo::availablePrinters().isEmpty())
        throw Error(kNoDefaultPrinter);
    QPrinter printer(QPrinter::HighResolution);
    applyPrintSettings(printer, settings, QString());
    QPrintDialog dialog(&printer, parent);
    setUpPrintDialog(dialog, pageCount);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = chosenPrintSettings(dialog, printer);
    return true;
}

} // namespace lambreya
