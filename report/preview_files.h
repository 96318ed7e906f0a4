#pragma once

#include "report/page_work.h"
#include "report/saved_pages.h"

#include <QString>
#include <QStringView>

#include <memory>

class QFileDialog;
class QWidget;

namespace lambreya {

class PageStore;
class ReportPreviewWindow;

inline constexpr QStringView kPdfFilter = u"Документ PDF (*.pdf)";
inline constexpr char kFileDoesNotExist[] = "File does not exist";

// SaveReport: the "Save report" dialog with the saved-report type and PDF; a name typed
// without an extension gets that of the chosen type. Returns the chosen file, or an empty
// name on Cancel. The chosen file's folder becomes the current folder.
QString chooseSaveReportFile(QWidget* parent);

// Writes the store's pages to `path`: as a PDF when the name ends in ".pdf", else as a
// saved report; only when the pages are finished and there is at least one, else nothing
// is written, nothing replaced and nothing said. A saved report is written at once; a PDF,
// whose pages take longer to paint, comes back as the work that writes it. The write is
// atomic; an error is thrown with the store unchanged.
std::unique_ptr<PageWork> saveReportPages(const PageStore& store, const QString& path);

// LoadReport: the "Load report" dialog with the saved-report type only. Returns the
// chosen file or an empty name on Cancel; the chosen file's folder becomes the current
// folder.
QString chooseLoadReportFile(QWidget* parent);

// The saved report at `path` for a window: a file that does not exist throws
// kFileDoesNotExist, a damaged one an error naming the damage. The document's paper is
// that of the first page.
SavedPages readReportFile(const QString& path);

// Replaces the window's pages with loaded ones and shows page 1; the caller has stopped a
// run still building the window's pages.
void showLoadedPages(ReportPreviewWindow& window, SavedPages saved);

} // namespace lambreya
