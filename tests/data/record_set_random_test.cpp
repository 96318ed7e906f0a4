// Thousands of mixed operations on the record set, checked after each one against a
// plain model: records in a vector, the view as a list of their numbers.
#include "data/record_set.h"
#include "data/stored_form.h"

#include "support/directory_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>

namespace lambreya {
namespace {

constexpr int kFields = 3;
const std::vector<std::string> kValues = {"", "A", "AB", "ABC", "B", "BA", "C", "AA"};

struct ModelRecord {
    int uid;
    std::vector<std::string> values;
};

struct Model {
    std::vector<ModelRecord> stored;
    std::vector<int> view;                              // uids
    std::vector<std::pair<int, std::string>> condition; // field, prefix
    int current = -1;
    bool bof = true;
    bool eof = true;
    RecordSet::State state = RecordSet::State::Browse;
    std::vector<std::string> buffer;
    bool modified = false;
    bool changed = false;
    int nextUid = 0;

    ModelRecord& record(int uid) {
        return *std::find_if(stored.begin(), stored.end(),
                             [&](const ModelRecord& r) { return r.uid == uid; });
    }
    std::size_t storedIndex(int uid) const {
        return static_cast<std::size_t>(
            std::find_if(stored.begin(), stored.end(),
                         [&](const ModelRecord& r) { return r.uid == uid; }) -
            stored.begin());
    }
    int size() const { return static_cast<int>(view.size()); }

    bool passes(const ModelRecord& r) const {
        return std::all_of(condition.begin(), condition.end(), [&](const auto& c) {
            return r.values[static_cast<std::size_t>(c.first)].starts_with(c.second);
        });
    }

    void refilter() {
        view.clear();
        for (const ModelRecord& r : stored) {
            if (passes(r))
                view.push_back(r.uid);
        }
        current = view.empty() ? -1 : 0;
        bof = true;
        eof = view.empty();
    }

    std::string shown(int row, int field) {
        if (row == current && state != RecordSet::State::Browse)
            return buffer[static_cast<std::size_t>(field)];
        return record(view[static_cast<std::size_t>(row)]).values[static_cast<std::size_t>(field)];
    }

    void dropNew() {
        const int uid = view[static_cast<std::size_t>(current)];
        stored.erase(stored.begin() + static_cast<std::ptrdiff_t>(storedIndex(uid)));
        view.erase(view.begin() + current);
        current = view.empty() ? -1 : std::min(current, size() - 1);
        bof = eof = view.empty();
    }

    void cancel() {
        if (state == RecordSet::State::Insert)
            dropNew();
        state = RecordSet::State::Browse;
        modified = false;
    }

    void post() {
        ModelRecord& r = record(view[static_cast<std::size_t>(current)]);
        if (state == RecordSet::State::Insert || r.values != buffer)
            changed = true;
        r.values = buffer;
        state = RecordSet::State::Browse;
        modified = false;
        bof = eof = false;
    }

    void complete() {
        if (state == RecordSet::State::Browse)
            return;
        if (modified)
            post();
        else
            cancel();
    }

    void moveBy(int distance) {
        if ((distance > 0 && eof) || (distance < 0 && bof))
            return;
        complete();
        bof = eof = false;
        if (view.empty()) {
            bof = eof = true;
            return;
        }
        const int target = current + distance;
        if (target > size() - 1)
            eof = true;
        if (target < 0)
            bof = true;
        current = std::clamp(target, 0, size() - 1);
    }

    void beginNew(int row, std::size_t storedAt) {
        stored.insert(stored.begin() + static_cast<std::ptrdiff_t>(storedAt),
                      ModelRecord{nextUid, std::vector<std::string>(kFields)});
        view.insert(view.begin() + row, nextUid++);
        current = row;
        state = RecordSet::State::Insert;
        buffer.assign(kFields, "");
        modified = false;
        bof = eof = false;
    }
};

// Holds the record set to the contract a table model relies on: a row count announced
// as about to change is still the old one, and after the change it is one more or less.
class RowCountContract : public RecordSetListener {
public:
    explicit RowCountContract(const RecordSet& set)
        : m_set(set) {}

    void viewAboutToReset() override {
        EXPECT_FALSE(m_resetting) << "a reset began inside another";
        m_resetting = true;
        m_announced = count();
    }
    void viewReset() override {
        EXPECT_TRUE(m_resetting) << "a reset ended that had not begun";
        m_resetting = false;
        m_announced = count();
    }
    void rowAboutToBeInserted(int row) override { expectAnnounced(row, 0); }
    void rowInserted(int) override { expectChanged(+1); }
    void rowAboutToBeRemoved(int row) override { expectAnnounced(row, 1); }
    void rowRemoved(int) override { expectChanged(-1); }

private:
    int count() const { return m_set.active() ? m_set.recordCount() : 0; }
    void expectAnnounced(int row, int past) {
        EXPECT_EQ(count(), m_announced) << "the view changed before it was announced";
        EXPECT_TRUE(row >= 0 && row <= m_announced - past) << "row " << row;
        m_pending = true;
    }
    void expectChanged(int by) {
        EXPECT_TRUE(std::exchange(m_pending, false)) << "a change that was not announced";
        EXPECT_EQ(count(), m_announced + by);
        m_announced = count();
    }

    const RecordSet& m_set;
    int m_announced = 0;
    bool m_resetting = false;
    bool m_pending = false;
};

class RandomOperations : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        table.addListener(&contract);
        rng.seed(GetParam());
        for (int f = 0; f < kFields; ++f)
            fields.push_back({"F" + std::to_string(f), FieldType::Text, 3, false, false});
        Directory dir;
        dir.fields = fields;
        dir.columns = ColumnStore(kFields);
        for (int i = 0; i < 40; ++i) {
            ModelRecord r{model.nextUid++, {}};
            const RecordId id = dir.columns.add();
            for (int f = 0; f < kFields; ++f) {
                r.values.push_back(pick(kValues));
                dir.columns.set(id, static_cast<std::size_t>(f), r.values.back());
            }
            dir.order.push_back(id);
            model.stored.push_back(r);
        }
        table.setCompiler(&compiler);
        table.openDirectory(std::move(dir));
        model.refilter();
    }

    template <typename T>
    const T& pick(const std::vector<T>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    }
    int number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

    void step(int operation) {
        const bool editing = model.state != RecordSet::State::Browse;
        switch (operation) {
        case 0: { // a new search
            const int field = number(0, kFields - 1);
            const std::string prefix = pick(kValues);
            std::string text;
            model.condition.clear();
            if (!prefix.empty()) {
                text = "F" + std::to_string(field) + " = '" + prefix + "*'";
                model.condition.push_back({field, prefix});
            }
            trace = "filter " + text;
            model.complete();
            table.setFiltered(true);
            table.setFilter(text);
            model.refilter();
            break;
        }
        case 1:
            trace = "first";
            table.first();
            model.complete();
            model.current = model.view.empty() ? -1 : 0;
            model.bof = true;
            model.eof = model.view.empty();
            break;
        case 2:
            trace = "last";
            table.last();
            model.complete();
            model.current = model.size() - 1;
            model.bof = model.view.empty();
            model.eof = true;
            break;
        case 3:
        case 4: {
            const int distance = operation == 3 ? number(-1, 1) : number(-6, 6);
            trace = "moveBy " + std::to_string(distance);
            table.moveBy(distance);
            if (distance != 0)
                model.moveBy(distance);
            break;
        }
        case 5: {
            if (model.view.empty())
                return;
            int row = number(0, model.size() - 1);
            trace = "click " + std::to_string(row);
            table.moveToRow(row);
            if (row == model.current)
                break;
            const int uid = model.view[static_cast<std::size_t>(row)];
            model.complete();
            row = static_cast<int>(std::find(model.view.begin(), model.view.end(), uid) -
                                   model.view.begin());
            model.current = row;
            model.bof = model.eof = false;
            break;
        }
        case 6: {
            const int field = number(0, kFields - 1);
            const std::string key = pick(kValues);
            trace = "locate F" + std::to_string(field) + " " + key;
            const bool found = table.locate("f" + std::to_string(field), key, true);
            model.complete();
            // A key of a letter or more is a prefix; an empty key leaves the literal "*",
            // which is compared exactly.
            const auto hit = std::find_if(model.view.begin(), model.view.end(), [&](int uid) {
                const std::string& v = model.record(uid).values[static_cast<std::size_t>(field)];
                return key.size() >= 1 ? v.starts_with(key) : v == "*";
            });
            ASSERT_EQ(found, hit != model.view.end()) << trace;
            if (found) {
                model.current = static_cast<int>(hit - model.view.begin());
                model.bof = model.eof = false;
            }
            break;
        }
        case 7:
            if (editing || model.view.empty())
                return;
            trace = "edit";
            table.edit();
            model.state = RecordSet::State::Edit;
            model.buffer = model.record(model.view[static_cast<std::size_t>(model.current)]).values;
            model.modified = false;
            break;
        case 8:
        case 9: {
            if (!editing)
                return;
            const int field = number(0, kFields - 1);
            const std::string value = pick(kValues);
            trace = "set F" + std::to_string(field) + " " + value;
            table.setFieldText(field, value);
            model.buffer[static_cast<std::size_t>(field)] = value;
            model.modified = true;
            break;
        }
        case 10: {
            trace = "insert";
            table.insert();
            model.complete();
            if (model.view.empty()) {
                model.beginNew(0, model.stored.size());
            } else {
                const int at = model.current;
                model.beginNew(at, model.storedIndex(model.view[static_cast<std::size_t>(at)]));
            }
            break;
        }
        case 11:
            trace = "append";
            table.append();
            model.complete();
            model.beginNew(model.size(), model.stored.size());
            break;
        case 12:
            trace = "post";
            table.post();
            if (editing)
                model.post();
            break;
        case 13:
            trace = "cancel";
            table.cancel();
            model.cancel();
            break;
        case 14:
            if (model.view.empty())
                return;
            trace = "delete";
            table.deleteRecord();
            if (model.state == RecordSet::State::Insert) {
                model.cancel();
            } else {
                model.state = RecordSet::State::Browse;
                model.modified = false;
                model.changed = true;
                model.dropNew();
            }
            break;
        case 15: {
            const StoredForm form = number(0, 1) ? StoredForm::Xml : StoredForm::Binary;
            trace = "store and load again";
            table.close();
            model.cancel();
            const Directory reloaded =
                parseDirectory(test::stored(snapshot(), form)); // the model's records
            table.openDirectory(parseDirectory(test::stored(reloaded, form)));
            model.changed = false;
            model.refilter();
            break;
        }
        }
    }

    Directory snapshot() const {
        Directory dir;
        dir.fields = fields;
        dir.columns = ColumnStore(kFields);
        for (const ModelRecord& r : model.stored) {
            const RecordId id = dir.columns.add();
            for (int f = 0; f < kFields; ++f)
                dir.columns.set(id, static_cast<std::size_t>(f),
                                r.values[static_cast<std::size_t>(f)]);
            dir.order.push_back(id);
        }
        return dir;
    }

    void compare() {
        ASSERT_EQ(table.recordCount(), model.size()) << trace;
        ASSERT_EQ(table.currentRow(), model.current) << trace;
        ASSERT_EQ(table.bof(), model.bof) << trace;
        ASSERT_EQ(table.eof(), model.eof) << trace;
        ASSERT_EQ(table.state(), model.state) << trace;
        ASSERT_EQ(table.modified(), model.modified) << trace;
        ASSERT_EQ(table.changed(), model.changed) << trace;
        for (int row = 0; row < model.size(); ++row) {
            for (int f = 0; f < kFields; ++f)
                ASSERT_EQ(table.rowText(row, f), model.shown(row, f))
                    << trace << " row " << row << " field " << f;
        }
        const Directory& dir = table.directory();
        ASSERT_EQ(dir.order.size(), model.stored.size()) << trace;
        for (std::size_t i = 0; i < model.stored.size(); ++i) {
            if (model.state == RecordSet::State::Insert &&
                model.stored[i].uid == model.view[static_cast<std::size_t>(model.current)])
                continue;
            for (int f = 0; f < kFields; ++f)
                ASSERT_EQ(dir.columns.value(dir.order[i], static_cast<std::size_t>(f)),
                          model.stored[i].values[static_cast<std::size_t>(f)])
                    << trace << " stored " << i;
        }
    }

    std::mt19937 rng;
    std::vector<FieldDef> fields;
    Model model;
    test::SimpleCompiler compiler;
    RecordSet table{"Table1"};
    RowCountContract contract{table};
    std::string trace;
};

TEST_P(RandomOperations, MatchThePlainModel) {
    for (int i = 0; i < 3000; ++i) {
        step(number(0, 15));
        compare();
        if (HasFatalFailure()) {
            ADD_FAILURE() << "after operation " << i;
            return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RecordSet, RandomOperations, ::testing::Values(1u, 2u, 3u, 4u, 5u));

} // namespace
} // namespace lambreya
