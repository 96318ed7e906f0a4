#pragma once

#include "data/large_memory.h"
#include "report/page_drawing.h"
#include "report/page_sink.h"

#include <QString>

#include <span>
#include <string_view>
#include <vector>

// The saved-page file: every page of a preview with the document they belong to, in a
// format of our own described in docs/saved-pages-format.md.
namespace lambreya {

// The type the save and open dialogs offer for it.
inline constexpr QStringView kSavedPagesSuffix = u"kvr";
inline constexpr QStringView kSavedPagesFilter = u"Сохранённый отчёт (*.kvr)";

struct SavedPages {
    DocumentInfo document;
    std::vector<PageDrawing> pages;
};

// The file's bytes. Throws Error when the document cannot be written in this format (a
// name with a character outside code page 1251, more fonts than a drawing can name).
Bytes savedPagesBytes(const DocumentInfo& document, std::span<const PageDrawing> pages);

// Reads a file's bytes back to the same document and pages; a damaged or foreign file
// throws DataFormatError saying in Russian what is wrong, and nothing is kept.
SavedPages parseSavedPages(std::string_view bytes);

// Writes the file atomically: a failed write leaves an earlier file at `path` as it was
// and throws Error naming the file and the reason.
void writeSavedPages(const QString& path, const DocumentInfo& document,
                     std::span<const PageDrawing> pages);

// Reads the file at `path`; throws Error naming the file and what is wrong with it.
// A file that does not exist is the error "File does not exist".
SavedPages readSavedPages(const QString& path);

} // namespace lambreya
