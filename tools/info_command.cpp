#include "tools/command_line.h"
#include "tools/commands.h"

#include "data/cp1251.h"
#include "data/record_set.h"
#include "data/stored_form.h"

namespace lambreya::tools {

int runInfo(const QStringList& args) {
    const Arguments a(args, {});
    a.expectPositional(1);
    RecordSet table("Table1");
    openDirectoryFile(table, a.positional()[0]);
    const Directory& dir = table.directory();
    const StoredForm form = detectStoredForm(readFileStart(a.positional()[0], 64));

    std::string out;
    out += "Форма: ";
    out += form == StoredForm::Xml ? "XML (текстовая)\n" : "двоичная\n";
    out += "Поля:\n";
    for (const FieldDef& field : dir.fields) {
        out += "  " + cp1251::toUtf8(field.name) + "  текст, ширина " + std::to_string(field.width);
        if (field.readOnly)
            out += ", только чтение";
        if (field.required)
            out += ", обязательное";
        out += "\n";
    }
    const SetMarkers& m = dir.markers;
    out += "Признаки набора:";
    if (!m.readOnly && !m.disableEdits && !m.disableInserts && !m.disableDeletes)
        out += " нет";
    if (m.readOnly)
        out += " только чтение";
    if (m.disableEdits)
        out += " DISABLE_EDITS";
    if (m.disableInserts)
        out += " DISABLE_INSERTS";
    if (m.disableDeletes)
        out += " DISABLE_DELETES";
    out += "\nЗаписей: " + std::to_string(dir.order.size()) + "\n";
    writeOutput(QString(), out);
    return 0;
}

} // namespace lambreya::tools
