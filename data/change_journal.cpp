#include "data/change_journal.h"

#include "data/atomic_file.h"
#include "data/byte_reader.h"
#include "data/byte_writer.h"
#include "data/checksum.h"
#include "data/data_file.h"
#include "data/error.h"
#include "data/file_ownership.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace lambreya {
namespace {

constexpr std::string_view kMagic("KVJRN\r\n\x1A", 8);
constexpr std::uint16_t kVersion = 1;

std::string native(const QString& path) {
    return QDir::toNativeSeparators(path).toStdString();
}

std::string toString(const ByteWriter& out) {
    return std::string(out.view());
}

// Reads one entry's body; throws DataFormatError when it is not one.
JournalEntry readEntryBody(std::string_view body) {
    ByteReader in(body);
    JournalEntry entry;
    const auto kind = in.number<std::uint8_t>();
    if (kind < 1 || kind > 3)
        throw DataFormatError("неизвестный вид изменения");
    entry.kind = static_cast<ChangeKind>(kind);
    entry.place = in.number<std::uint32_t>();
    const auto count = in.number<std::uint16_t>();
    if ((entry.kind == ChangeKind::Delete) != (count == 0))
        throw DataFormatError("неверное число значений");
    entry.values.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i)
        entry.values.emplace_back(in.take(in.number<std::uint16_t>()));
    if (in.left() != 0)
        throw DataFormatError("лишние байты");
    return entry;
}

// The stored order while a journal is replayed: blocks of record ids, so that inserting and
// deleting in the middle of a million records moves a few thousand ids, not all of them.
class BlockedOrder {
public:
    explicit BlockedOrder(const LargeVector<RecordId>& order) {
        for (std::size_t at = 0; at < order.size(); at += kBlock) {
            const std::size_t end = std::min(order.size(), at + kBlock);
            m_blocks.emplace_back(order.begin() + static_cast<std::ptrdiff_t>(at),
                                  order.begin() + static_cast<std::ptrdiff_t>(end));
        }
        m_size = order.size();
    }

    std::size_t size() const { return m_size; }

    RecordId at(std::size_t place) const {
        const auto [block, offset] = find(place);
        return m_blocks[block][offset];
    }

    void insert(std::size_t place, RecordId id) {
        if (m_blocks.empty())
            m_blocks.emplace_back();
        auto [block, offset] = find(place);
        std::vector<RecordId>& ids = m_blocks[block];
        ids.insert(ids.begin() + static_cast<std::ptrdiff_t>(offset), id);
        if (ids.size() >= 2 * kBlock) {
            std::vector<RecordId> back(ids.begin() + kBlock, ids.end());
            ids.resize(kBlock);
            m_blocks.insert(m_blocks.begin() + static_cast<std::ptrdiff_t>(block) + 1,
                            std::move(back));
        }
        ++m_size;
    }

    void erase(std::size_t place) {
        const auto [block, offset] = find(place);
        std::vector<RecordId>& ids = m_blocks[block];
        ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(offset));
        if (ids.empty())
            m_blocks.erase(m_blocks.begin() + static_cast<std::ptrdiff_t>(block));
        --m_size;
    }

    void flattenInto(LargeVector<RecordId>& order) const {
        order.clear();
        order.reserve(m_size);
        for (const std::vector<RecordId>& ids : m_blocks)
            order.insert(order.end(), ids.begin(), ids.end());
    }

private:
    static constexpr std::size_t kBlock = 4096;

    // The block and the offset in it of a place; the end of the last block for size().
    std::pair<std::size_t, std::size_t> find(std::size_t place) const {
        for (std::size_t b = 0; b < m_blocks.size(); ++b) {
            if (place < m_blocks[b].size() || b + 1 == m_blocks.size())
                return {b, place};
            place -= m_blocks[b].size();
        }
        return {0, 0};
    }

    std::vector<std::vector<RecordId>> m_blocks;
    std::size_t m_size = 0;
};

bool fits(const Directory& directory, const JournalEntry& entry, std::size_t records) {
    const bool insert = entry.kind == ChangeKind::Insert;
    if (entry.place > records || (!insert && entry.place == records))
        return false;
    if (entry.kind == ChangeKind::Delete)
        return true;
    if (entry.values.size() != directory.fields.size())
        return false;
    for (std::size_t f = 0; f < entry.values.size(); ++f) {
        if (entry.values[f].size() > directory.fields[f].width)
            return false;
    }
    return true;
}

} // namespace

std::string encodeJournalHeader(const QString& dataFile, const DataFileState& state) {
    const QByteArray name = dataFile.toUtf8();
    ByteWriter out(64 + static_cast<std::size_t>(name.size()));
    out.append(kMagic);
    putLittleEndian(out, kVersion);
    putLittleEndian(out, static_cast<std::uint16_t>(name.size()));
    out.append(std::string_view(name.constData(), static_cast<std::size_t>(name.size())));
    putLittleEndian(out, static_cast<std::uint64_t>(state.size));
    putLittleEndian(out, static_cast<std::uint64_t>(state.modified));
    putLittleEndian(out, state.checksum);
    putLittleEndian(out, state.fieldCount);
    putLittleEndian(out, crc32Of(out.view()));
    return toString(out);
}

std::string encodeJournalEntry(ChangeKind kind, std::uint32_t place,
                               std::span<const std::string> values) {
    std::size_t size = 11 + 4;
    for (const std::string& value : values)
        size += 2 + value.size();
    ByteWriter body(size);
    body.push(static_cast<char>(kind));
    putLittleEndian(body, place);
    putLittleEndian(body, static_cast<std::uint16_t>(values.size()));
    for (const std::string& value : values) {
        putLittleEndian(body, static_cast<std::uint16_t>(value.size()));
        body.append(value);
    }
    ByteWriter out(size + 8);
    putLittleEndian(out, static_cast<std::uint32_t>(body.view().size()));
    out.append(body.view());
    putLittleEndian(out, crc32Of(body.view()));
    return toString(out);
}

JournalContents decodeJournal(std::string_view bytes) {
    JournalContents contents;
    ByteReader in(bytes);
    try {
        if (in.take(kMagic.size()) != kMagic || in.number<std::uint16_t>() != kVersion)
            return contents;
        const std::string_view name = in.take(in.number<std::uint16_t>());
        contents.dataFile = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        contents.state.size = static_cast<std::int64_t>(in.number<std::uint64_t>());
        contents.state.modified = static_cast<std::int64_t>(in.number<std::uint64_t>());
        contents.state.checksum = in.number<std::uint32_t>();
        contents.state.fieldCount = in.number<std::uint32_t>();
        const std::size_t headerSize = bytes.size() - in.left();
        if (in.number<std::uint32_t>() != crc32Of(bytes.substr(0, headerSize)))
            return contents;
    } catch (const DataFormatError&) {
        return contents;
    }
    contents.headerSound = true;
    contents.headerSize = bytes.size() - in.left();
    contents.intactSize = contents.headerSize;
    try {
        while (in.left() > 0) {
            const std::string_view body = in.take(in.number<std::uint32_t>());
            if (in.number<std::uint32_t>() != crc32Of(body))
                break;
            contents.entries.push_back(readEntryBody(body));
            contents.intactSize = bytes.size() - in.left();
            contents.ends.push_back(contents.intactSize);
        }
    } catch (const DataFormatError&) {
    }
    contents.damaged = contents.intactSize != bytes.size();
    return contents;
}

std::size_t applyJournal(Directory& directory, std::span<const JournalEntry> entries) {
    BlockedOrder order(directory.order);
    std::size_t applied = 0;
    for (const JournalEntry& entry : entries) {
        if (!fits(directory, entry, order.size()))
            break;
        switch (entry.kind) {
        case ChangeKind::Edit: {
            const RecordId id = order.at(entry.place);
            for (std::size_t f = 0; f < entry.values.size(); ++f) {
                if (directory.columns.value(id, f) != entry.values[f])
                    directory.columns.set(id, f, entry.values[f]);
            }
            break;
        }
        case ChangeKind::Insert: {
            const RecordId id = directory.columns.add();
            for (std::size_t f = 0; f < entry.values.size(); ++f) {
                if (!entry.values[f].empty())
                    directory.columns.set(id, f, entry.values[f]);
            }
            order.insert(entry.place, id);
            break;
        }
        case ChangeKind::Delete:
            order.erase(entry.place);
            break;
        }
        ++applied;
    }
    if (applied > 0)
        order.flattenInto(directory.order);
    return applied;
}

QString journalPathFor(const QString& dataFile) {
    return dataFile + QStringLiteral(".journal");
}

ChangeJournal::ChangeJournal(QString dataFile, std::int64_t size, std::int64_t modified,
                             std::size_t fieldCount)
    : m_dataFile(std::move(dataFile))
    , m_path(journalPathFor(m_dataFile))
    , m_size(size)
    , m_modified(modified)
    , m_fieldCount(fieldCount) {}

ChangeJournal::~ChangeJournal() = default;

QString ChangeJournal::keepAside() {
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    QString aside = m_path + QStringLiteral(" (не применён %1)").arg(stamp);
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_path + QStringLiteral(" (не применён %1, %2)").arg(stamp).arg(n);
    if (!QFile::rename(m_path, aside))
        return {};
    return aside;
}

ChangeJournal::Recovery ChangeJournal::recover(std::string_view fileBytes, Directory& directory) {
    Recovery recovery;
    QFile file(m_path);
    if (!file.exists())
        return recovery;
    const std::string journal = native(m_path);
    const std::string data = native(m_dataFile);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (file.error() != QFileDevice::NoError) {
        // Left where it is, and not written over.
        m_broken = true;
        recovery.notice = "Журнал изменений " + journal + " не удаётся прочитать (" +
                          file.errorString().toStdString() +
                          "); он не применён, и изменения этого сеанса в журнал не пишутся";
        return recovery;
    }
    file.close();
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    JournalContents contents = decodeJournal(view);
    m_checksum = adler32Of(fileBytes);
    const DataFileState now{m_size, m_modified, *m_checksum,
                            static_cast<std::uint32_t>(m_fieldCount)};
    const bool belongs =
        contents.headerSound && contents.dataFile == m_dataFile && contents.state == now;

    const std::size_t applied = belongs ? applyJournal(directory, contents.entries) : 0;
    // The sound part ends after the last entry applied.
    const std::size_t soundSize = applied == 0 ? contents.headerSize : contents.ends[applied - 1];
    recovery.applied = applied;
    const bool whole = belongs && applied == contents.entries.size() && !contents.damaged;
    if (whole) {
        if (applied == 0) {
            QFile::remove(m_path); // a journal begun but with no change in it
            return recovery;
        }
        m_continues = true;
        m_written = static_cast<qint64>(soundSize);
        recovery.notice =
            "Прошлый сеанс работы со справочником " + data +
            " не был завершён. Из журнала восстановлено изменений: " + std::to_string(applied) +
            ". Они будут записаны в справочник при выходе из программы";
        return recovery;
    }

    const QString aside = keepAside();
    if (aside.isEmpty()) {
        m_broken = true;
        recovery.notice = "Журнал изменений " + journal +
                          " не применён полностью, и отложить его не удалось; изменения " +
                          "этого сеанса в журнал не пишутся";
        return recovery;
    }
    const std::string kept = " Журнал целиком сохранён как " + native(aside) + ".";
    if (!belongs) {
        recovery.notice = "Журнал изменений " + journal + " относится к другому справочнику " +
                          "или к другому состоянию файла " + data +
                          ", поэтому не применён; справочник открыт как есть." + kept;
        return recovery;
    }
    recovery.notice =
        "Прошлый сеанс работы со справочником " + data +
        " не был завершён. Из журнала восстановлено изменений: " + std::to_string(applied) +
        "; конец журнала повреждён, и остальное не применено." + kept;
    if (applied > 0) {
        // The sound part goes on as this session's journal.
        try {
            AtomicFile sound(m_path, AtomicFile::Buffering::None);
            sound.write(view.substr(0, soundSize));
            sound.commit();
            m_continues = true;
            m_written = static_cast<qint64>(soundSize);
        } catch (const FileWriteError&) {
            // A new journal is begun at the next change; the recovered changes are in
            // memory and in the journal kept aside.
        }
    }
    return recovery;
}

void ChangeJournal::create() {
    if (!m_checksum) {
        const std::optional<Bytes> bytes = readDataFile(m_dataFile, m_dataFile);
        if (!bytes)
            throw Error("справочник " + native(m_dataFile) + " не найден");
        m_checksum = adler32Of(asView(*bytes));
    }
    auto file = std::make_unique<QFile>(m_path);
    if (m_continues) {
        if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            throw Error(file->errorString().toStdString());
        m_file = std::move(file);
        return;
    }
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw Error(file->errorString().toStdString());
    m_file = std::move(file);
    const std::string header =
        encodeJournalHeader(m_dataFile, DataFileState{m_size, m_modified, *m_checksum,
                                                      static_cast<std::uint32_t>(m_fieldCount)});
    if (m_file->write(header.data(), static_cast<qint64>(header.size())) !=
            static_cast<qint64>(header.size()) ||
        !syncToDisk(static_cast<int>(m_file->handle())))
        throw Error(m_file->errorString().toStdString());
    m_written = static_cast<qint64>(header.size());
    // The journal's name must survive a power cut as well as its content.
    syncFolder(QFileInfo(m_path).absolutePath());
}

std::string ChangeJournal::failed(const QString& reason) {
    m_broken = true;
    if (m_file) {
        m_file->resize(m_written); // a torn entry would only be cut off at recovery
        m_file->close();
    }
    return "Изменения больше не записываются в журнал " + native(m_path) + " (" +
           reason.toStdString() +
           "): если программа прервётся, они будут потеряны. При выходе из программы они " +
           "будут записаны в справочник как обычно";
}

std::optional<std::string> ChangeJournal::append(ChangeKind kind, std::uint32_t place,
                                                 std::span<const std::string> values) {
    if (m_broken)
        return std::nullopt;
    try {
        if (!m_file)
            create();
    } catch (const Error& e) {
        return failed(QString::fromStdString(e.what()));
    }
    const std::string entry = encodeJournalEntry(kind, place, values);
    // One write, so that a power cut tears at most this entry.
    if (m_file->write(entry.data(), static_cast<qint64>(entry.size())) !=
            static_cast<qint64>(entry.size()) ||
        !syncDataToDisk(static_cast<int>(m_file->handle())))
        return failed(m_file->errorString());
    m_written += static_cast<qint64>(entry.size());
    return std::nullopt;
}

void ChangeJournal::remove() {
    if (m_broken && !m_file)
        return; // a journal that could not be read or kept aside stays as it is
    m_file.reset();
    if (m_continues || m_written > 0)
        QFile::remove(m_path);
}

} // namespace lambreya
