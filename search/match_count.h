#pragma once

#include <QString>

#include <cstdint>

namespace lambreya {

// The status line's report of a search: "Найдена 21 запись", "Найдено 2 записи",
// "Найдено 12 записей", the words agreeing with the number of records found.
QString matchCountMessage(std::uint64_t count);

} // namespace lambreya
