#pragma once

#include "data/directory.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lambreya {

// The journal of posted changes beside a data file: every change the user posts is appended
// and forced to the disk before the grid shows it, so that a session that never reaches its
// final write (a crash, a killed process, a power cut) loses nothing. The journal names the
// data file and the state it starts from; the next opening of that very state replays it.
// The format is described in docs/journal-format.md.

enum class ChangeKind : std::uint8_t {
    Edit = 1,   // the record at `place` got `values`
    Insert = 2, // a record with `values` was put at `place`
    Delete = 3, // the record at `place` was deleted
};

// One posted change. `place` is the record's place in stored order when the change was made.
struct JournalEntry {
    ChangeKind kind = ChangeKind::Edit;
    std::uint32_t place = 0;
    std::vector<std::string> values; // one per field; none for a deletion

    friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

// What the data file was when it was read: the journal applies to nothing else.
struct DataFileState {
    std::int64_t size = 0;
    std::int64_t modified = 0; // milliseconds since 1970, UTC
    std::uint32_t checksum = 0;
    std::uint32_t fieldCount = 0;

    friend bool operator==(const DataFileState&, const DataFileState&) = default;
};

std::string encodeJournalHeader(const QString& dataFile, const DataFileState& state);
std::string encodeJournalEntry(ChangeKind kind, std::uint32_t place,
                               std::span<const std::string> values);

// A journal's bytes as far as they are sound. `intactSize` counts the header and the whole
// entries read, `ends` where each entry ends; `damaged` tells that bytes follow that are no
// whole entry.
struct JournalContents {
    bool headerSound = false;
    QString dataFile;
    DataFileState state;
    std::vector<JournalEntry> entries;
    std::vector<std::size_t> ends;
    std::size_t headerSize = 0;
    std::size_t intactSize = 0;
    bool damaged = false;
};
JournalContents decodeJournal(std::string_view bytes);

// Applies the entries in order; stops at the first one that does not fit the directory (a
// place past the end, a wrong number of values, a value wider than its field). Returns how
// many were applied.
std::size_t applyJournal(Directory& directory, std::span<const JournalEntry> entries);

// The journal's file for a data file: its name with ".journal" added.
QString journalPathFor(const QString& dataFile);

// The journal of one opened data file, as the program keeps it during a session.
class ChangeJournal {
public:
    // `dataFile` is the data file's absolute path; `size` and `modified` are what the file
    // system showed of it just before it was read.
    ChangeJournal(QString dataFile, std::int64_t size, std::int64_t modified,
                  std::size_t fieldCount);
    ~ChangeJournal();
    ChangeJournal(const ChangeJournal&) = delete;
    ChangeJournal& operator=(const ChangeJournal&) = delete;

    const QString& path() const { return m_path; }

    struct Recovery {
        std::size_t applied = 0;
        std::string notice; // what the user is to be told; empty when nothing
    };
    // At opening: when a journal lies beside the data file, applies to `directory` what of
    // it belongs to `fileBytes` (the data file as read). A journal of another file or state
    // is not applied and is kept aside; so is one damaged past some point, after its sound
    // part was applied. The sound part stays the journal the session goes on with.
    Recovery recover(std::string_view fileBytes, Directory& directory);

    // Appends one posted change and forces it to the disk; the first one creates the
    // journal. When the journal cannot be written, returns why, once, and journals nothing
    // more in this session.
    std::optional<std::string> append(ChangeKind kind, std::uint32_t place,
                                      std::span<const std::string> values);

    // After the data file was written: the journal has nothing left to protect.
    void remove();

private:
    void create();
    QString keepAside();
    std::string failed(const QString& reason);

    QString m_dataFile;
    QString m_path;
    std::int64_t m_size;
    std::int64_t m_modified;
    std::size_t m_fieldCount;
    std::optional<std::uint32_t> m_checksum; // of the data file, once it was needed
    std::unique_ptr<QFile> m_file;           // open for appending once a change came
    qint64 m_written = 0;                    // the journal's sound length
    bool m_continues = false;                // a recovered journal lies there, to be appended to
    bool m_broken = false;
};

} // namespace lambreya
