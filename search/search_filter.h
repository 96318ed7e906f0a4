#pragma once

#include <string>

namespace lambreya {

class RecordSet;

// Puts a search's filter text in force on the record set, as every search does: the filter
// is switched on, which makes the first record of the view current even when it was on
// already; the text is then compiled and replaces the condition in force only when it
// differs from the set's Filter, letter case distinguished. Returns the number of records
// in the view.
//
// Errors of the record set are not caught: a text that does not compile leaves Filter and
// the condition in force as they were; a closed set stores Filtered and Filter and then
// fails on counting.
int applySearchFilterText(RecordSet& table, const std::string& filterText);

} // namespace lambreya
