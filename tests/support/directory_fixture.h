#pragma once

#include "data/condition_compiler.h"
#include "data/directory.h"
#include "data/error.h"
#include "data/record_set.h"
#include "data/stored_form.h"
#include "support/test_text.h"

#include <string>
#include <vector>

namespace lambreya::test {

// A directory of the seven standard fields filled from UTF-8 rows (missing trailing
// values are empty).
inline Directory makeDirectory(const std::vector<std::vector<std::string>>& rows,
                               std::vector<FieldDef> fields = standardDirectoryFields()) {
    Directory dir;
    dir.fields = std::move(fields);
    dir.columns = ColumnStore(dir.fields.size());
    for (const auto& row : rows) {
        const RecordId id = dir.columns.add();
        for (std::size_t f = 0; f < row.size(); ++f)
            dir.columns.set(id, f, cp(row[f]));
        dir.order.push_back(id);
    }
    return dir;
}

// `count` records: surnames ИВАНОВ0, ИВАНОВ1, ... with a few other surnames between.
inline Directory numberedDirectory(int count) {
    Directory dir;
    dir.fields = standardDirectoryFields();
    dir.columns = ColumnStore(dir.fields.size());
    for (int i = 0; i < count; ++i) {
        const RecordId id = dir.columns.add();
        const std::string surname =
            i % 5 == 4 ? "ПЕТРОВ" + std::to_string(i) : "ИВАНОВ" + std::to_string(i);
        dir.columns.set(id, 0, cp(surname));
        dir.columns.set(id, 4, std::to_string(i % 12));
        dir.order.push_back(id);
    }
    return dir;
}

// A directory's stored bytes as a string, for comparing and cutting in tests.
inline std::string stored(const Directory& dir, StoredForm form) {
    const Bytes bytes = storeDirectory(dir, form);
    return {bytes.begin(), bytes.end()};
}

// A small stand-in for the real compiler: clauses `Field = 'text'` joined by " And ",
// and locate texts `[Field]='text'`; a trailing asterisk makes a prefix comparison.
// Literals may not contain apostrophes. Enough to drive the record set alone.
class SimpleCompiler : public ConditionCompiler {
public:
    Condition compile(std::string_view text, const FieldResolver& resolve, ConditionPurpose,
                      FilterOptions) const override {
        Condition condition;
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t eq = text.find('=', at);
            const std::size_t open = text.find('\'', eq);
            const std::size_t close = text.find('\'', open + 1);
            if (eq == std::string_view::npos || open == std::string_view::npos ||
                close == std::string_view::npos)
                throw Error("test compiler: cannot read " + std::string(text));
            std::string name(text.substr(at, eq - at));
            std::erase_if(name, [](char c) { return c == ' ' || c == '[' || c == ']'; });
            Comparison c;
            c.field = resolve(name);
            c.literal = std::string(text.substr(open + 1, close - open - 1));
            if (c.literal.size() >= 2 && c.literal.back() == '*') {
                c.literal.pop_back();
                c.prefixLength = c.literal.size();
            }
            condition.comparisons.push_back(c);
            at = close + 1;
            if (text.substr(at).starts_with(" And "))
                at += 5;
        }
        return condition;
    }
};

} // namespace lambreya::test
