#include "tools/command_line.h"

#include "data/cp1251.h"
#include "data/data_file.h"
#include "data/error.h"
#include "data/file_lock.h"
#include "data/record_set.h"
#include "data/regular_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace lambreya::tools {

Arguments::Arguments(const QStringList& args, const OptionSpec& known) {
    auto listed = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const std::string name = arg.toStdString();
        if (listed(known.withValue, name)) {
            if (i + 1 >= args.size())
                throw Error("Параметру " + name + " нужно значение");
            m_values[name].append(args[++i]);
        } else if (listed(known.flags, name)) {
            m_values[name];
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            throw Error("Неизвестный параметр " + arg.toStdString() + " (см. --help)");
        } else {
            m_positional.append(arg);
        }
    }
}

std::optional<QString> Arguments::value(const std::string& name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end() || it->second.isEmpty())
        return std::nullopt;
    return it->second.last();
}

QStringList Arguments::values(const std::string& name) const {
    const auto it = m_values.find(name);
    return it == m_values.end() ? QStringList() : it->second;
}

std::size_t Arguments::number(const std::string& name, std::size_t fallback) const {
    const std::optional<QString> text = value(name);
    if (!text)
        return fallback;
    bool ok = false;
    const qulonglong n = text->toULongLong(&ok);
    if (!ok)
        throw Error("Значение " + name + " должно быть целым неотрицательным числом");
    return static_cast<std::size_t>(n);
}

void Arguments::expectPositional(qsizetype count) const {
    if (m_positional.size() != count)
        throw Error("Неверное число аргументов (см. --help)");
}

void openDirectoryFile(RecordSet& table, const QString& path) {
    // The program's own message names no file; a command names the one it was given.
    const QFileInfo info(path);
    if (!info.isFile())
        throw Error("Файл " + path.toStdString() +
                    (info.exists() ? " не является файлом" : " не найден"));
    if (info.size() == 0)
        throw Error("Файл " + path.toStdString() + " пуст");
    table.setFileName(path);
    table.open();
}

TextFileParts::TextFileParts(const QString& path)
    : m_file(path, path)
    , m_buffer(kPart, '\0') {
    if (!m_file.found())
        throw Error("Файл " + path.toStdString() + " не найден");
}

std::string_view TextFileParts::next() {
    return {m_buffer.data(), m_file.read(m_buffer.data(), m_buffer.size())};
}

std::string readFileStart(const QString& path, qint64 bytes) {
    QFile file;
    if (openRegularFile(path, file).status != RegularFile::Status::Opened)
        throw Error("Не удалось открыть файл " + path.toStdString());
    return file.read(bytes).toStdString();
}

void writeOutput(const QString& path, std::string_view bytes) {
    if (path.isEmpty() || path == QLatin1String("-")) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
            std::fflush(stdout) != 0)
            throw Error("Не удалось вывести результат");
        return;
    }
    // A directory the program holds open would be written over at its end, or would
    // overwrite this at the program's end: it is left alone.
    const FileLock lock(path);
    if (lock.heldElsewhere())
        throw Error("Файл " + path.toStdString() +
                    " открыт в программе Ламбрея и не перезаписан; закройте программу и " +
                    "повторите команду");
    writeDataFile(path, bytes);
}

std::string toCodePage(const QString& text, const std::string& what) {
    std::optional<std::string> bytes = cp1251::fromUnicode(text);
    if (!bytes)
        throw Error(what + " содержит знаки вне кодовой страницы 1251");
    return std::move(*bytes);
}

} // namespace lambreya::tools
