// The binary form's reader. Whatever it accepts is written back byte for byte as it was;
// anything else is refused with its own error, never a crash. libFuzzer can hardly mutate
// through a checksum, so each input is also read with its checksum made right.
#include "data/binary_form.h"
#include "data/stored_form.h"
#include "fuzz/fuzz_check.h"

#include <string>

namespace {

using namespace lambreya;

void readAndRoundTrip(std::string_view bytes) {
    Directory dir;
    try {
        dir = parseBinaryForm(bytes);
    } catch (const DataFormatError&) {
        return;
    }
    const Bytes stored = storeBinaryForm(dir);
    fuzz::check(std::string_view(stored.data(), stored.size()) == bytes,
                "an accepted binary file is written back unchanged");
    const Bytes xml = storeDirectory(dir, StoredForm::Xml);
    fuzz::check(fuzz::sameDirectory(parseDirectory({xml.data(), xml.size()}), dir),
                "the XML form of an accepted file reads back as the same directory");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::readAlsoWithChecksumMadeRight(fuzz::asText(data, size), readAndRoundTrip);
    return 0;
}
