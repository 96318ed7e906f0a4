// CSV as kalvest-data import and export read and write it: what the reader accepts is
// written by the writer and read back as the same records; a limit on the fields of a
// record refuses exactly the records longer than it.
#include "data/error.h"
#include "fuzz/fuzz_check.h"
#include "tools/csv.h"

namespace {

using namespace lambreya;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::asText(data, size);
    std::vector<std::vector<std::string>> records;
    try {
        records = csv::parse(input);
    } catch (const Error&) {
        return 0;
    }
    std::string written;
    for (const auto& record : records)
        csv::appendRecord(written, std::vector<std::string_view>(record.begin(), record.end()));
    std::vector<std::vector<std::string>> again;
    try {
        again = csv::parse(written);
    } catch (const Error&) {
        fuzz::check(false, "what the writer writes, the reader reads");
    }
    fuzz::check(again == records, "written records read back as they were");

    if (records.empty())
        return 0;
    const std::size_t limit = records.front().size();
    csv::Reader reader(input);
    std::vector<std::string> record;
    for (const auto& expected : records) {
        try {
            fuzz::check(reader.next(record, limit, "too many"), "the limited reader reads on");
        } catch (const Error&) {
            fuzz::check(expected.size() > limit, "only a longer record is refused");
            return 0;
        }
        fuzz::check(expected.size() <= limit && record == expected,
                    "the limited reader reads what the plain one reads");
    }
    return 0;
}
