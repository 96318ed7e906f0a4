#include "report/preview_files.h"

#include "report/page_store.h"
#include "report/report_preview_window.h"
#include "report/stored_pages_work.h"

#include "data/error.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace lambreya {
namespace {

QString pdfSuffix() {
    return QStringLiteral("pdf");
}

bool isPdfName(const QString& path) {
    return QFileInfo(path).suffix().compare(pdfSuffix(), Qt::CaseInsensitive) == 0;
}

QString suffixOf(const QString& nameFilter) {
    return nameFilter == kPdfFilter ? pdfSuffix() : kSavedPagesSuffix.toString();
}

// The report's file dialogs: a name typed without an extension gets that of the type
// chosen when it is confirmed, however the type was chosen.
class ReportFileDialog : public QFileDialog {
public:
    ReportFileDialog(QWidget* parent, const QString& caption, QFileDialog::AcceptMode mode)
        : QFileDialog(parent, caption, QDir::currentPath()) {
        setAcceptMode(mode);
        // Any name is taken, so that a file that does not exist gets the program's word.
        setFileMode(QFileDialog::AnyFile);
    }

    // The chosen file, its folder made the current folder; empty on Cancel.
    QString choose() {
        if (exec() != QDialog::Accepted || selectedFiles().isEmpty())
            return {};
        QString path = selectedFiles().constFirst();
        // The platform's own dialog may leave the extension out.
        if (acceptMode() == AcceptSave && QFileInfo(path).suffix().isEmpty())
            path += u'.' + suffixOf(selectedNameFilter());
        QDir::setCurrent(QFileInfo(path).absolutePath());
        return path;
    }

    void accept() override {
        if (acceptMode() == AcceptSave)
            setDefaultSuffix(suffixOf(selectedNameFilter()));
        QFileDialog::accept();
    }
};

} // namespace

QString chooseSaveReportFile(QWidget* parent) {
    ReportFileDialog dialog(parent, QStringLiteral("Save report"), QFileDialog::AcceptSave);
    dialog.setNameFilters({kSavedPagesFilter.toString(), kPdfFilter.toString()});
    return dialog.choose();
}

std::unique_ptr<PageWork> saveReportPages(const PageStore& store, const QString& path) {
    // A run that failed before its first page leaves no page: nothing to save.
    if (!store.finished() || store.pageCount() == 0)
        return nullptr;
    if (isPdfName(path))
        return pdfOfPages(store, path);
    writeSavedPages(path, store.document(), store.pages());
    return nullptr;
}

QString chooseLoadReportFile(QWidget* parent) {
    ReportFileDialog dialog(parent, QStringLiteral("Load report"), QFileDialog::AcceptOpen);
    dialog.setNameFilter(kSavedPagesFilter.toString());
    return dialog.choose();
}

SavedPages readReportFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        throw Error(kFileDoesNotExist);
    SavedPages saved = readSavedPages(path);
    saved.document.paper = saved.pages.front().paper();
    return saved;
}

void showLoadedPages(ReportPreviewWindow& window, SavedPages saved) {
    window.pageStore().replaceWithLoaded(std::move(saved.document), std::move(saved.pages));
    window.pagesReplaced();
}

} // namespace lambreya
