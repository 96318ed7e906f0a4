// Both readers of the XML form. What the quick reader of the program's own layout accepts,
// the general reader accepts as the same directory, and what it refuses (a value longer
// than its field), the general reader refuses too; what either accepts is written in the
// program's layout, which reads back as that directory through both readers. Read as the
// program reads a file, a part at a time as it arrives, the input gives what it gives read
// whole: the same directory, or a refusal in the same words.
#include "data/binary_form.h"
#include "data/stored_form.h"
#include "data/xml_canonical_reader.h"
#include "data/xml_form.h"
#include "fuzz/fuzz_check.h"

#include <optional>
#include <string>
#include <variant>

namespace {

using namespace lambreya;

std::optional<Directory> general(std::string_view bytes) {
    try {
        return parseXmlFormGeneral(bytes);
    } catch (const DataFormatError&) {
        return std::nullopt;
    }
}

// The directory read, or the words it was refused in.
template <typename Read>
std::variant<Directory, std::string> outcomeOf(Read&& read) {
    try {
        return read();
    } catch (const DataFormatError& e) {
        return std::string(e.what());
    }
}

// The parts end wherever the input's length puts them: of 1 to 61 bytes in a short input,
// 2 to 8 parts in a longer one (the reader looks at what has arrived from its start until it
// knows the head, so parts of a byte would cost the square of the length).
void readInParts(std::string_view input) {
    const std::size_t part =
        input.size() < 256 ? 1 + input.size() % 61 : input.size() / (2 + input.size() % 7);
    const auto inParts = outcomeOf([&] {
        DirectoryReader reader;
        std::size_t arrived = 0;
        do {
            arrived = std::min(arrived + part, input.size());
            reader.arrived(input.substr(0, arrived), arrived == input.size());
        } while (arrived < input.size());
        return reader.finish(input);
    });
    const auto whole = outcomeOf([&] { return parseDirectory(input); });
    fuzz::check(inParts.index() == whole.index(), "read in parts, accepted or refused as whole");
    if (const auto* dir = std::get_if<Directory>(&whole))
        fuzz::check(fuzz::sameDirectory(std::get<Directory>(inParts), *dir),
                    "read in parts, the same directory as whole");
    else
        fuzz::check(std::get<std::string>(inParts) == std::get<std::string>(whole),
                    "read in parts, refused in the same words as whole");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::asText(data, size);
    readInParts(input);
    std::optional<Directory> quick;
    bool quickRefused = false;
    try {
        quick = readCanonicalXml(input);
    } catch (const DataFormatError&) {
        quickRefused = true;
    }
    const std::optional<Directory> slow = general(input);
    fuzz::check(!quickRefused || !slow, "what the quick reader refuses, the general one refuses");
    if (quick) {
        fuzz::check(slow.has_value(), "what the quick reader accepts, the general one accepts");
        fuzz::check(fuzz::sameDirectory(*quick, *slow), "both readers give the same directory");
    }
    if (!slow)
        return 0;
    const Bytes written = storeXmlForm(*slow);
    const std::string_view text(written.data(), written.size());
    const std::optional<Directory> again = readCanonicalXml(text);
    fuzz::check(again && fuzz::sameDirectory(*again, *slow),
                "the program's own layout is read by the quick reader as written");
    const std::optional<Directory> generalAgain = general(text);
    fuzz::check(generalAgain && fuzz::sameDirectory(*generalAgain, *slow),
                "the program's own layout is read by the general reader as written");
    const Bytes rewritten = storeXmlForm(*again);
    fuzz::check(std::string_view(rewritten.data(), rewritten.size()) == text,
                "writing what was read back gives the same bytes");
    return 0;
}
