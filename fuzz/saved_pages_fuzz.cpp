// The saved-report reader. Whatever it accepts is written back byte for byte as it was;
// anything else is refused with its own error, never a crash. libFuzzer can hardly mutate
// through a checksum, so each input is also read with its checksum made right.
#include "data/error.h"
#include "fuzz/fuzz_check.h"
#include "report/saved_pages.h"

#include <string>

namespace {

using namespace lambreya;

void readAndRoundTrip(std::string_view bytes) {
    SavedPages saved;
    try {
        saved = parseSavedPages(bytes);
    } catch (const DataFormatError&) {
        return;
    }
    const Bytes written = savedPagesBytes(saved.document, saved.pages);
    fuzz::check(std::string_view(written.data(), written.size()) == bytes,
                "an accepted saved report is written back unchanged");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::readAlsoWithChecksumMadeRight(fuzz::asText(data, size), readAndRoundTrip);
    return 0;
}
