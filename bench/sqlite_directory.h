#pragma once

#include "data/directory.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lambreya::bench {

// The first seven fields of a directory in an SQLite table in memory, t(famili, initsi,
// street, home, room, tele, prim), in UTF-8, rows in stored order: the peer the record
// store is measured against.
class SqliteDirectory {
public:
    explicit SqliteDirectory(const Directory& directory);
    ~SqliteDirectory();
    SqliteDirectory(const SqliteDirectory&) = delete;
    SqliteDirectory& operator=(const SqliteDirectory&) = delete;

    // A prepared statement of `sql`, finalized with the object.
    sqlite3_stmt* prepare(const char* sql);
    // Runs `query` with its parameters bound to `values` (UTF-8) and collects the first
    // column of every row, as the view collects record ids.
    void collect(sqlite3_stmt* query, const std::vector<std::string>& values,
                 std::vector<std::int64_t>& out);

private:
    void exec(const char* sql);

    sqlite3* m_db = nullptr;
    std::vector<sqlite3_stmt*> m_statements;
};

} // namespace lambreya::bench
