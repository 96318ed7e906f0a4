#pragma once

#include "data/change_journal.h"
#include "data/condition.h"
#include "data/condition_compiler.h"
#include "data/directory.h"
#include "data/error.h"
#include "data/file_lock.h"
#include "data/record_set_listener.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lambreya {

class ViewWalk;

// A record was posted with a field that must have a value left empty. The message names
// the field; the index lets the grid go to its column.
class RequiredFieldError : public Error {
public:
    RequiredFieldError(int field, const std::string& fieldName);
    int field() const { return m_field; }

private:
    int m_field;
};

// The directory in memory, as the main window's Table1: every record in stored order,
// a view of those that pass the filter, a current record with its at-start and at-end
// flags, and the pending change of the current record.
//
// Errors the set raises about itself carry its name in front ("Table1: ...").
// Every move, filter change and locate first completes a pending change: a modified
// record is posted, an untouched one goes back to browsing, an untouched new one is
// dropped.
class RecordSet {
public:
    enum class State {
        Inactive,
        Browse,
        Edit,
        Insert,
    };

    explicit RecordSet(std::string name);
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    const std::string& name() const { return m_name; }

    // The compiler of filter and locate texts. Without one, only conditions given
    // ready-made can be used.
    void setCompiler(const ConditionCompiler* compiler) { m_compiler = compiler; }

    // --- Opening and closing -------------------------------------------------------

    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }

    // With a journal, opening locks the data file for this copy of the program, replays the
    // journal a session that did not end left beside it, and every posted change is
    // journalled until the final write; a data file another copy holds opens read-only.
    void setKeepsJournal(bool keeps) { m_keepsJournal = keeps; }

    // Reads the data file whole. A relative name is resolved against the current folder
    // here, once; the final write goes to that same file.
    void open();
    // What the last opening has to tell the user (changes recovered from a journal, a
    // journal kept aside, a directory open in another copy); empty when nothing.
    const std::string& openingNotice() const { return m_openingNotice; }
    // The data file is held by another copy of the program: nothing may change here.
    bool heldElsewhere() const { return m_heldElsewhere; }
    // Opens on a directory already in memory, with no file behind it.
    void openDirectory(Directory directory);
    // Drops a pending change and, when the data changed since opening and a file was
    // opened, replaces the data file atomically. When that write fails the earlier file is
    // left whole, the error says why, and the set stays open with its data, so that the
    // caller can save it elsewhere (saveCopy) before giving it up (discard).
    void close();
    // Writes the whole set to another file, in the form its name asks for.
    void saveCopy(const QString& path) const;
    // Closes without writing anything.
    void discard();
    bool active() const { return m_state != State::Inactive; }

    // --- Definition -------------------------------------------------------------------

    const std::vector<FieldDef>& fields() const { return m_dir.fields; }
    const SetMarkers& markers() const { return m_dir.markers; }
    int findField(std::string_view name) const { return m_dir.findField(name); }
    // As findField, but an unknown name is the error "Table1: Field '%s' not found".
    int fieldByName(std::string_view name) const;
    // Open, not marked read-only as a whole and not held by another copy of the program.
    bool canModify() const { return active() && !m_dir.markers.readOnly && !m_heldElsewhere; }

    // --- Filter -----------------------------------------------------------------------

    const std::string& filter() const { return m_filter; }
    // While the filter is applied, compiles the text, replaces the condition and makes the
    // first record current; a text that does not compile leaves everything as it was.
    void setFilter(const std::string& text);
    void setFilter(const std::string& text, Condition compiled);
    bool filtered() const { return m_filtered; }
    void setFiltered(bool filtered);

    // --- The view and the current record ------------------------------------------------

    int recordCount() const;
    // The current record's place in the view, -1 when the view is empty or the set closed.
    int currentRow() const { return m_current; }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }

    void first();
    void last();
    void next();
    void prior();
    // Moves up to `distance` records (negative: back), as that many steps would.
    void moveBy(int distance);
    // Makes the record at `row` of the view current (a click on a row).
    void moveToRow(int row);

    // Finds the first record of the view whose field begins with `key` (or equals it,
    // without partialKey); on success it becomes current. The condition is compiled as
    // the text [F]='key*'.
    bool locate(std::string_view fieldName, std::string_view key, bool partialKey);
    bool locate(const Condition& condition);

    // --- Values -------------------------------------------------------------------------

    // The current record's field, with its pending change; empty without a current record.
    std::string_view fieldText(int field) const;
    // A row of the view; the current row shows its pending change.
    std::string_view rowText(int row, int field) const;

    // --- Editing ------------------------------------------------------------------------

    State state() const { return m_state; }
    // Some field of the pending change has been set.
    bool modified() const { return m_modified; }
    // The data differs from what was opened: a record posted with a new value, added or
    // deleted.
    bool changed() const { return m_changed; }

    void edit();
    void insert(); // a new record before the current one
    void append(); // a new record after the last one
    void setFieldText(int field, std::string_view text);
    void post();
    void cancel();
    void deleteRecord();
    void completePendingEdit();

    // --- Stored forms --------------------------------------------------------------------

    const Directory& directory() const { return m_dir; }

    void addListener(RecordSetListener* listener);
    void removeListener(RecordSetListener* listener);

private:
    friend class ViewWalk;

    void checkActive() const;
    void checkEditing() const;
    [[noreturn]] void fail(const std::string& message) const;
    Condition compile(std::string_view text, ConditionPurpose purpose) const;
    void applyCondition(Condition condition);
    void beginInsert(int row, std::size_t storedPlace);
    void postBuffer();
    std::optional<std::string> journal(ChangeKind kind, RecordId id);
    void removeFromView(int row);
    void setCurrent(int row, MoveKind kind);
    void resetView();
    // The view changed: walks through it find their row again.
    void viewChanged() { ++m_viewVersion; }
    // A record came into or left the stored order at `place`: walks past it keep their place.
    void storedOrderGrew(std::size_t place);
    void storedOrderShrank(std::size_t place);

    template <typename Event>
    void notify(Event event);

    std::string m_name;
    const ConditionCompiler* m_compiler = nullptr;
    std::vector<RecordSetListener*> m_listeners; // a removed one is null while telling
    int m_notifying = 0;                         // notifications under way
    bool m_listenerRemoved = false;

    QString m_fileName;
    QString m_openedPath; // the absolute path read at opening, written at closing
    bool m_keepsJournal = false;
    FileLock m_lock;
    std::unique_ptr<ChangeJournal> m_journal; // while open with a journal
    bool m_heldElsewhere = false;
    std::string m_openingNotice;

    Directory m_dir;
    LargeVector<RecordId> m_view;
    Condition m_condition;
    std::string m_filter;
    bool m_filtered = false;

    State m_state = State::Inactive;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;

    std::uint64_t m_viewVersion = 0;
    mutable std::vector<ViewWalk*> m_walks; // the walks through the view, kept in step

    std::vector<std::string> m_buffer; // the pending values of the current record
    bool m_modified = false;
    bool m_changed = false;
};

} // namespace lambreya
