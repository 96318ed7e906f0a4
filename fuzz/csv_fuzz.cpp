// CSV as kalvest-data import and export read and write it: what the reader accepts is
// written by the writer and read back as the same records; a limit on the fields of a
// record refuses exactly the records longer than it. Read a part at a time, as import reads
// a file, the input gives the same records, or the same refusal, as read whole.
#include "data/error.h"
#include "fuzz/fuzz_check.h"
#include "tools/csv.h"

namespace {

using namespace lambreya;

// Every record, or the words the text was refused in.
std::string outcomeOf(csv::Reader& reader) {
    std::string said;
    try {
        for (std::vector<std::string> record; reader.next(record);) {
            for (const std::string& field : record)
                said += std::to_string(field.size()) + ":" + field;
            said += "\n";
        }
    } catch (const Error& e) {
        said += std::string("refused: ") + e.what();
    }
    return said;
}

// The parts end wherever the input's length puts them.
void readInParts(std::string_view input) {
    const std::size_t part = 1 + input.size() % 13;
    std::size_t at = 0;
    csv::Reader inParts({}, [&] {
        const std::string_view next = input.substr(at, part);
        at += next.size();
        return next;
    });
    csv::Reader whole(input);
    fuzz::check(outcomeOf(inParts) == outcomeOf(whole), "read in parts, the same as whole");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::asText(data, size);
    readInParts(input);
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
