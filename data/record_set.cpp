#include "data/record_set.h"

#include "data/byte_writer.h"
#include "data/case_blind_file.h"
#include "data/cp1251.h"
#include "data/data_file.h"
#include "data/error.h"
#include "data/stored_form.h"
#include "data/view_walk.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace lambreya {
namespace {

int toRow(std::size_t index) {
    return static_cast<int>(index);
}

std::size_t toIndex(int row) {
    return static_cast<std::size_t>(row);
}

} // namespace

RequiredFieldError::RequiredFieldError(int field, const std::string& fieldName)
    : Error("Field '" + cp1251::toUtf8(fieldName) + "' must have a value")
    , m_field(field) {}

RecordSet::RecordSet(std::string name)
    : m_name(std::move(name)) {}

// The owner closes the set (and so writes the data file) where it can report a failed
// write; a set destroyed while open keeps its changes out of the file.
RecordSet::~RecordSet() = default;

template <typename Event>
void RecordSet::notify(Event event) {
    // A listener may remove itself (or another) while being told: removal then only empties
    // its place, and the places are closed up when the outermost notification is over. A
    // listener added meanwhile is told from the next event on.
    struct Depth {
        RecordSet& set;
        explicit Depth(RecordSet& s)
            : set(s) {
            ++set.m_notifying;
        }
        ~Depth() {
            if (--set.m_notifying == 0 && set.m_listenerRemoved) {
                std::erase(set.m_listeners, nullptr);
                set.m_listenerRemoved = false;
            }
        }
    } depth(*this);
    const std::size_t count = m_listeners.size();
    for (std::size_t i = 0; i < count; ++i)
        if (RecordSetListener* listener = m_listeners[i])
            event(*listener);
}

void RecordSet::addListener(RecordSetListener* listener) {
    if (std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void RecordSet::removeListener(RecordSetListener* listener) {
    if (m_notifying == 0) {
        std::erase(m_listeners, listener);
        return;
    }
    std::replace(m_listeners.begin(), m_listeners.end(), listener,
                 static_cast<RecordSetListener*>(nullptr));
    m_listenerRemoved = true;
}

void RecordSet::fail(const std::string& message) const {
    throw Error(prefixed(m_name, message));
}

void RecordSet::checkActive() const {
    if (!active())
        fail("Cannot perform this operation on a closed dataset");
}

void RecordSet::checkEditing() const {
    checkActive();
    if (m_state != State::Edit && m_state != State::Insert)
        fail("Dataset not in edit or insert mode");
}

// --- Opening and closing -------------------------------------------------------------

void RecordSet::open() {
    if (active())
        return;
    m_openingNotice.clear();
    const QString path =
        m_fileName.isEmpty() ? QString() : matchCaseBlind(QFileInfo(m_fileName).absoluteFilePath());
    std::optional<Bytes> bytes;
    DirectoryReader reader;
    Directory directory;
    FileLock lock;
    std::int64_t size = 0;
    std::int64_t modified = 0;
    try {
        if (!path.isEmpty()) {
            if (m_keepsJournal) {
                // Locked before it is read, so that no writer that respects the lock
                // changes it between.
                lock = FileLock(path);
                const QFileInfo info(path);
                size = info.size();
                modified = info.lastModified().toMSecsSinceEpoch();
            }
            // Read as it arrives, so that a file that is no directory is refused when its
            // fault has been read, not when all of it has.
            bytes = readDataFile(
                path, m_fileName, checkStoredFormStart,
                [&](std::string_view soFar, bool complete) { reader.arrived(soFar, complete); });
        }
        if (!bytes || bytes->empty())
            fail("Missing data provider or data packet");
        directory = reader.finish(asView(*bytes));
    } catch (const DataFormatError& e) {
        throw Error("Не удаётся прочитать справочник " + m_fileName.toStdString() + ": " +
                    e.what());
    }
    std::string notice;
    std::unique_ptr<ChangeJournal> journal;
    std::size_t recovered = 0;
    const bool heldElsewhere = lock.heldElsewhere();
    if (heldElsewhere) {
        // The other copy owns the journal too: it is left alone.
        notice = "Справочник " + QDir::toNativeSeparators(path).toStdString() +
                 " уже открыт в другой копии программы. Здесь он открыт только для чтения: " +
                 "записи нельзя изменять, добавлять и удалять";
    } else if (m_keepsJournal) {
        journal = std::make_unique<ChangeJournal>(path, size, modified, directory.fields.size());
        ChangeJournal::Recovery recovery = journal->recover(asView(*bytes), directory);
        recovered = recovery.applied;
        notice = std::move(recovery.notice);
    }
    bytes.reset();
    openDirectory(std::move(directory));
    m_openedPath = path;
    m_lock = std::move(lock);
    m_journal = std::move(journal);
    m_heldElsewhere = heldElsewhere;
    m_openingNotice = std::move(notice);
    // Recovered changes are the directory's changes: the final write keeps them.
    m_changed = recovered > 0;
}

void RecordSet::openDirectory(Directory directory) {
    if (active())
        return;
    m_dir = std::move(directory);
    m_openedPath.clear();
    m_changed = false;
    m_modified = false;
    m_buffer.clear();
    m_state = State::Browse;
    m_condition = Condition{};
    try {
        if (m_filtered)
            m_condition = compile(m_filter, ConditionPurpose::Filter);
    } catch (...) {
        m_state = State::Inactive;
        m_dir = Directory{};
        throw;
    }
    resetView();
}

void RecordSet::close() {
    if (!active())
        return;
    // A change still pending is dropped, not posted.
    cancel();
    if (m_changed && !m_openedPath.isEmpty())
        saveCopy(m_openedPath); // on failure the set stays open, its data whole
    if (m_journal)
        m_journal->remove();
    discard();
}

void RecordSet::saveCopy(const QString& path) const {
    checkActive();
    writeDataFile(path, asView(storeDirectory(m_dir, storedFormForName(path))));
}

void RecordSet::discard() {
    if (!active())
        return;
    notify([](RecordSetListener& l) { l.viewAboutToReset(); });
    m_state = State::Inactive;
    m_dir = Directory{};
    m_view.clear();
    viewChanged();
    m_view.shrink_to_fit();
    m_buffer.clear();
    m_modified = false;
    m_changed = false;
    m_current = -1;
    m_bof = m_eof = true;
    m_openedPath.clear();
    // A journal not removed by a final write stays on the disk for the next opening.
    m_journal.reset();
    m_lock.release();
    m_heldElsewhere = false;
    notify([](RecordSetListener& l) { l.viewReset(); });
}

int RecordSet::fieldByName(std::string_view name) const {
    const int field = findField(name);
    if (field < 0)
        fail("Field '" + cp1251::toUtf8(name) + "' not found");
    return field;
}

// --- Filter ----------------------------------------------------------------------------

Condition RecordSet::compile(std::string_view text, ConditionPurpose purpose) const {
    if (text.empty() && purpose == ConditionPurpose::Filter)
        return {};
    if (!m_compiler)
        fail("No condition compiler is installed");
    return m_compiler->compile(
        text, [this](std::string_view name) { return fieldByName(name); }, purpose,
        FilterOptions{});
}

void RecordSet::setFilter(const std::string& text) {
    if (!active() || !m_filtered) {
        m_filter = text;
        return;
    }
    completePendingEdit();
    Condition condition = compile(text, ConditionPurpose::Filter);
    m_filter = text;
    applyCondition(std::move(condition));
}

void RecordSet::setFilter(const std::string& text, Condition compiled) {
    m_filter = text;
    if (!active() || !m_filtered)
        return;
    completePendingEdit();
    applyCondition(std::move(compiled));
}

void RecordSet::setFiltered(bool filtered) {
    if (!active()) {
        m_filtered = filtered;
        return;
    }
    completePendingEdit();
    if (filtered == m_filtered) {
        first();
        return;
    }
    Condition condition = filtered ? compile(m_filter, ConditionPurpose::Filter) : Condition{};
    m_filtered = filtered;
    applyCondition(std::move(condition));
}

void RecordSet::applyCondition(Condition condition) {
    m_condition = std::move(condition);
    resetView();
}

void RecordSet::resetView() {
    // The new view is built aside, so that nothing has changed yet when listeners hear
    // that it is about to.
    LargeVector<RecordId> view;
    m_dir.columns.select(m_condition, m_dir.order, view);
    view.shrink_to_fit();
    notify([](RecordSetListener& l) { l.viewAboutToReset(); });
    m_view.swap(view);
    viewChanged();
    m_current = m_view.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_view.empty();
    notify([](RecordSetListener& l) { l.viewReset(); });
    notify([this](RecordSetListener& l) { l.currentMoved(-1, m_current, MoveKind::First); });
}

// --- Moves -------------------------------------------------------------------------------

int RecordSet::recordCount() const {
    checkActive();
    return toRow(m_view.size());
}

void RecordSet::setCurrent(int row, MoveKind kind) {
    const int old = m_current;
    m_current = row;
    notify([=](RecordSetListener& l) { l.currentMoved(old, row, kind); });
}

void RecordSet::first() {
    checkActive();
    completePendingEdit();
    m_bof = true;
    m_eof = m_view.empty();
    setCurrent(m_view.empty() ? -1 : 0, MoveKind::First);
}

void RecordSet::last() {
    checkActive();
    completePendingEdit();
    m_bof = m_view.empty();
    m_eof = true;
    setCurrent(toRow(m_view.size()) - 1, MoveKind::Step);
}

void RecordSet::next() {
    moveBy(1);
}

void RecordSet::prior() {
    moveBy(-1);
}

void RecordSet::moveBy(int distance) {
    checkActive();
    if (distance == 0 || (distance > 0 && m_eof) || (distance < 0 && m_bof))
        return;
    completePendingEdit();
    m_bof = m_eof = false;
    if (m_view.empty()) {
        m_bof = m_eof = true;
        return;
    }
    const long target = static_cast<long>(m_current) + distance;
    const long lastRow = static_cast<long>(m_view.size()) - 1;
    if (target > lastRow)
        m_eof = true;
    if (target < 0)
        m_bof = true;
    const int row = static_cast<int>(std::clamp(target, 0L, lastRow));
    if (row != m_current)
        setCurrent(row, MoveKind::Step);
}

void RecordSet::moveToRow(int row) {
    checkActive();
    if (row < 0 || toIndex(row) >= m_view.size() || row == m_current)
        return;
    const RecordId target = m_view[toIndex(row)];
    completePendingEdit();
    // Completing may have dropped a new record above the row.
    if (row > 0 && (toIndex(row) >= m_view.size() || m_view[toIndex(row)] != target))
        --row;
    m_bof = m_eof = false;
    if (row != m_current)
        setCurrent(row, MoveKind::Step);
}

bool RecordSet::locate(std::string_view fieldName, std::string_view key, bool partialKey) {
    checkActive();
    completePendingEdit();
    std::string text;
    text.reserve(fieldName.size() + key.size() + 6);
    text.append("[").append(fieldName).append("]='").append(key);
    if (partialKey)
        text.append("*");
    text.append("'");
    return locate(compile(text, ConditionPurpose::Locate));
}

bool RecordSet::locate(const Condition& condition) {
    checkActive();
    completePendingEdit();
    const std::size_t found = m_dir.columns.findFirst(condition, m_view);
    if (found == m_view.size())
        return false;
    m_bof = m_eof = false;
    setCurrent(toRow(found), MoveKind::Locate);
    return true;
}

// --- Values --------------------------------------------------------------------------------

std::string_view RecordSet::fieldText(int field) const {
    if (m_current < 0)
        return {};
    return rowText(m_current, field);
}

std::string_view RecordSet::rowText(int row, int field) const {
    if (row < 0 || toIndex(row) >= m_view.size() || field < 0 ||
        toIndex(field) >= m_dir.fields.size())
        return {};
    if (row == m_current && m_state != State::Browse)
        return m_buffer[toIndex(field)];
    return m_dir.columns.value(m_view[toIndex(row)], toIndex(field));
}

// --- Editing -------------------------------------------------------------------------------

void RecordSet::edit() {
    checkActive();
    if (m_state != State::Browse)
        return;
    if (m_view.empty())
        fail("Cannot perform this operation on an empty dataset");
    if (!canModify())
        fail("Cannot modify a read-only dataset");
    if (m_dir.markers.disableEdits)
        fail("Modifications are not allowed");
    const RecordId id = m_view[toIndex(m_current)];
    m_buffer.resize(m_dir.fields.size());
    for (std::size_t f = 0; f < m_dir.fields.size(); ++f)
        m_buffer[f] = m_dir.columns.value(id, f);
    m_modified = false;
    m_state = State::Edit;
    notify([](RecordSetListener& l) { l.stateChanged(); });
}

void RecordSet::insert() {
    checkActive();
    completePendingEdit();
    if (m_view.empty()) {
        beginInsert(0, m_dir.order.size());
        return;
    }
    const RecordId before = m_view[toIndex(m_current)];
    const auto place = std::find(m_dir.order.begin(), m_dir.order.end(), before);
    beginInsert(m_current, static_cast<std::size_t>(place - m_dir.order.begin()));
}

void RecordSet::append() {
    checkActive();
    completePendingEdit();
    beginInsert(toRow(m_view.size()), m_dir.order.size());
}

void RecordSet::beginInsert(int row, std::size_t storedPlace) {
    if (!canModify())
        fail("Cannot modify a read-only dataset");
    if (m_dir.markers.disableInserts)
        fail("Inserts are not allowed");
    const RecordId id = m_dir.columns.add();
    // What can fail is done before listeners hear that a row is about to come.
    m_dir.order.reserve(m_dir.order.size() + 1);
    m_view.reserve(m_view.size() + 1);
    m_buffer.assign(m_dir.fields.size(), std::string());
    notify([=](RecordSetListener& l) { l.rowAboutToBeInserted(row); });
    m_dir.order.insert(m_dir.order.begin() + static_cast<std::ptrdiff_t>(storedPlace), id);
    m_view.insert(m_view.begin() + row, id);
    viewChanged();
    storedOrderGrew(storedPlace);
    m_modified = false;
    m_state = State::Insert;
    m_bof = m_eof = false;
    const int old = m_current;
    m_current = row;
    notify([=](RecordSetListener& l) { l.rowInserted(row); });
    notify([=](RecordSetListener& l) { l.currentMoved(old, row, MoveKind::Step); });
    notify([](RecordSetListener& l) { l.stateChanged(); });
}

void RecordSet::setFieldText(int field, std::string_view text) {
    checkEditing();
    if (field < 0 || toIndex(field) >= m_dir.fields.size())
        fail("Field index out of range");
    const FieldDef& def = m_dir.fields[toIndex(field)];
    if (def.readOnly)
        throw Error("Field '" + cp1251::toUtf8(def.name) + "' cannot be modified");
    if (text.size() > def.width)
        throw Error("Value too long for field '" + cp1251::toUtf8(def.name) + "'");
    m_buffer[toIndex(field)] = text;
    m_modified = true;
    notify([this](RecordSetListener& l) { l.rowChanged(m_current); });
}

void RecordSet::post() {
    checkActive();
    if (m_state == State::Browse)
        return;
    notify([](RecordSetListener& l) { l.updateRecord(); });
    postBuffer();
}

void RecordSet::postBuffer() {
    for (std::size_t f = 0; f < m_dir.fields.size(); ++f) {
        if (m_dir.fields[f].required && m_buffer[f].empty())
            throw RequiredFieldError(static_cast<int>(f), m_dir.fields[f].name);
    }
    const RecordId id = m_view[toIndex(m_current)];
    bool differs = m_state == State::Insert;
    for (std::size_t f = 0; f < m_dir.fields.size() && !differs; ++f)
        differs = m_dir.columns.value(id, f) != m_buffer[f];
    const std::optional<std::string> journalFailure =
        differs ? journal(m_state == State::Insert ? ChangeKind::Insert : ChangeKind::Edit, id)
                : std::nullopt;
    for (std::size_t f = 0; f < m_dir.fields.size(); ++f) {
        if (m_dir.columns.value(id, f) != m_buffer[f])
            m_dir.columns.set(id, f, m_buffer[f]);
    }
    m_changed = m_changed || differs;
    m_state = State::Browse;
    m_modified = false;
    m_buffer.clear();
    m_bof = m_eof = false;
    notify([this](RecordSetListener& l) { l.rowChanged(m_current); });
    notify([](RecordSetListener& l) { l.stateChanged(); });
    if (journalFailure)
        throw Error(*journalFailure); // the change is posted; only its journal is missing
}

// Journals a change before the set takes it. The journal's failure is told, once, after the
// change is done: the change still reaches the data file at the final write.
std::optional<std::string> RecordSet::journal(ChangeKind kind, RecordId id) {
    if (!m_journal)
        return std::nullopt;
    const auto place = std::find(m_dir.order.begin(), m_dir.order.end(), id) - m_dir.order.begin();
    const std::span<const std::string> values =
        kind == ChangeKind::Delete ? std::span<const std::string>() : std::span(m_buffer);
    return m_journal->append(kind, static_cast<std::uint32_t>(place), values);
}

void RecordSet::cancel() {
    checkActive();
    if (m_state == State::Browse)
        return;
    const State was = m_state;
    m_state = State::Browse;
    m_modified = false;
    m_buffer.clear();
    if (was == State::Insert) {
        removeFromView(m_current);
    } else {
        notify([this](RecordSetListener& l) { l.rowChanged(m_current); });
    }
    notify([](RecordSetListener& l) { l.stateChanged(); });
}

void RecordSet::deleteRecord() {
    checkActive();
    if (m_view.empty())
        fail("Cannot perform this operation on an empty dataset");
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (!canModify())
        fail("Cannot modify a read-only dataset");
    if (m_dir.markers.disableDeletes)
        fail("Deletes are not allowed");
    const std::optional<std::string> journalFailure =
        journal(ChangeKind::Delete, m_view[toIndex(m_current)]);
    if (m_state == State::Edit) {
        m_state = State::Browse;
        m_modified = false;
        m_buffer.clear();
    }
    m_changed = true;
    removeFromView(m_current);
    notify([](RecordSetListener& l) { l.stateChanged(); });
    if (journalFailure)
        throw Error(*journalFailure);
}

void RecordSet::removeFromView(int row) {
    const RecordId id = m_view[toIndex(row)];
    notify([=](RecordSetListener& l) { l.rowAboutToBeRemoved(row); });
    m_view.erase(m_view.begin() + row);
    viewChanged();
    const auto place = std::find(m_dir.order.begin(), m_dir.order.end(), id);
    if (place != m_dir.order.end()) {
        storedOrderShrank(static_cast<std::size_t>(place - m_dir.order.begin()));
        m_dir.order.erase(place);
    }
    const int old = m_current;
    m_current = m_view.empty() ? -1 : std::min(row, toRow(m_view.size()) - 1);
    m_bof = m_eof = m_view.empty();
    notify([=](RecordSetListener& l) { l.rowRemoved(row); });
    notify([this, old](RecordSetListener& l) { l.currentMoved(old, m_current, MoveKind::Step); });
}

void RecordSet::storedOrderGrew(std::size_t place) {
    for (ViewWalk* walk : m_walks) {
        if (place < walk->m_storedBefore)
            ++walk->m_storedBefore;
    }
}

void RecordSet::storedOrderShrank(std::size_t place) {
    for (ViewWalk* walk : m_walks) {
        if (place < walk->m_storedBefore)
            --walk->m_storedBefore;
    }
}

void RecordSet::completePendingEdit() {
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    notify([](RecordSetListener& l) { l.updateRecord(); });
    if (m_modified)
        postBuffer();
    else
        cancel();
}

} // namespace lambreya
