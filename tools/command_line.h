#pragma once

#include "data/data_file.h"
#include "data/record_set.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <string>
#include <vector>

// What the commands of kalvest-data share: reading their arguments, reading and writing
// files, and turning errors into messages.
namespace lambreya::tools {

// Options of a command: names with a value ("-o FILE") and names without ("--csv").
// A value option may be given several times.
struct OptionSpec {
    std::vector<std::string> withValue;
    std::vector<std::string> flags;
};

class Arguments {
public:
    // Throws Error for an unknown option or a value option at the end.
    Arguments(const QStringList& args, const OptionSpec& known);

    const QStringList& positional() const { return m_positional; }
    bool has(const std::string& name) const { return m_values.contains(name); }
    std::optional<QString> value(const std::string& name) const;
    QStringList values(const std::string& name) const;
    // The value converted to a number; an error names the option when it is not one.
    std::size_t number(const std::string& name, std::size_t fallback) const;

    // Exactly `count` positional arguments, or an error pointing to --help.
    void expectPositional(qsizetype count) const;

private:
    QStringList m_positional;
    std::map<std::string, QStringList> m_values;
};

// Opens the directory file as the program opens its Table1, with the same messages, except
// that a missing or empty file is named in Russian.
void openDirectoryFile(RecordSet& table, const QString& path);

// A file's text a part at a time, as it is read, so that what is read from it can be refused
// before the rest is; only a regular file is read (a named pipe would wait for a writer, a
// device may never end).
class TextFileParts {
public:
    // Parts are of this size but the last: the first holds any header a command reads (1024
    // names of 255 letters take under 800 KB in UTF-8).
    static constexpr std::size_t kPart = std::size_t{1} << 20;

    explicit TextFileParts(const QString& path);
    // The next part, which lasts until the next call; empty at the file's end.
    std::string_view next();

private:
    DataFileReader m_file;
    std::string m_buffer;
};
std::string readFileStart(const QString& path, qint64 bytes);
// Writes to standard output when path is empty or "-". A file the program holds open (its
// directory) is refused.
void writeOutput(const QString& path, std::string_view bytes);

// UTF-8 text from the command line in code page 1251; an error names what it was for.
std::string toCodePage(const QString& text, const std::string& what);

} // namespace lambreya::tools
