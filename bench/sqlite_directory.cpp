#include "bench/sqlite_directory.h"

#include "data/cp1251.h"

#include <stdexcept>

namespace lambreya::bench {

SqliteDirectory::SqliteDirectory(const Directory& directory) {
    if (sqlite3_open(":memory:", &m_db) != SQLITE_OK)
        throw std::runtime_error("sqlite: cannot open a database in memory");
    exec("CREATE TABLE t(famili TEXT, initsi TEXT, street TEXT, home TEXT, room TEXT, "
         "tele TEXT, prim TEXT)");
    exec("BEGIN");
    sqlite3_stmt* insert = prepare("INSERT INTO t VALUES(?,?,?,?,?,?,?)");
    for (RecordId id : directory.order) {
        for (int f = 0; f < kDirectoryFieldCount; ++f) {
            const std::string utf8 =
                cp1251::toUtf8(directory.columns.value(id, static_cast<std::size_t>(f)));
            sqlite3_bind_text(insert, f + 1, utf8.data(), static_cast<int>(utf8.size()),
                              SQLITE_TRANSIENT);
        }
        if (sqlite3_step(insert) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        sqlite3_reset(insert);
    }
    exec("COMMIT");
}

SqliteDirectory::~SqliteDirectory() {
    for (sqlite3_stmt* statement : m_statements)
        sqlite3_finalize(statement);
    sqlite3_close(m_db);
}

sqlite3_stmt* SqliteDirectory::prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(m_db));
    m_statements.push_back(statement);
    return statement;
}

void SqliteDirectory::collect(sqlite3_stmt* query, const std::vector<std::string>& values,
                              std::vector<std::int64_t>& out) {
    out.clear();
    for (std::size_t i = 0; i < values.size(); ++i)
        sqlite3_bind_text(query, static_cast<int>(i + 1), values[i].data(),
                          static_cast<int>(values[i].size()), SQLITE_STATIC);
    while (sqlite3_step(query) == SQLITE_ROW)
        out.push_back(sqlite3_column_int64(query, 0));
    sqlite3_reset(query);
}

void SqliteDirectory::exec(const char* sql) {
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(m_db));
}

} // namespace lambreya::bench
