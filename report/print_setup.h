#pragma once

#include "report/print_settings.h"

class QPrintDialog;
class QPrinter;
class QWidget;

namespace lambreya {

inline constexpr char kNoDefaultPrinter[] = "There is no default printer currently selected";

// Sets the print dialog up for a window of `pageCount` pages: all pages preselected, a
// range limited to 1 .. pageCount and preset to all of them; the printer's properties with
// the page's orientation; no printing to a file, no selection, no list of pages. The dialog's
// printer carries the settings' printer, copies and orientation (applyPrintSettings), set before
// the dialog was made, which reads them then.
void setUpPrintDialog(QPrintDialog& dialog, int pageCount);

// The settings as the accepted dialog chose them: printer, copies, orientation and the
// range (all pages: 0 and 0).
PrintSettings chosenPrintSettings(const QPrintDialog& dialog, const QPrinter& printer);

// PrintSetup: the print dialog over `settings` for a window of `pageCount` pages. OK stores
// the choices into `settings`, Cancel changes nothing. With no printer installed no
// dialog opens and the error kNoDefaultPrinter is thrown. True when the settings were
// stored.
bool runPrintSetup(QWidget* parent, PrintSettings& settings, int pageCount);

} // namespace lambreya
