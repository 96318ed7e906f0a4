// Attacks the reader of saved reports: any input either is refused with DataFormatError or
// reads to a document and pages that the writer turns back into exactly the input.
//
// The input's closing checksum is set right before reading: a mutation would otherwise
// almost never get past it, and the checks behind it are what is attacked here (the
// checksum check itself has its unit tests).
#include "report/saved_pages.h"

#include "data/checksum.h"
#include "data/error.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    if (input.size() >= 4) {
        const std::uint32_t crc = lambreya::crc32Of(std::string_view(input).substr(0, size - 4));
        for (std::size_t i = 0; i < 4; ++i)
            input[size - 4 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    }
    lambreya::SavedPages saved;
    try {
        saved = lambreya::parseSavedPages(input);
    } catch (const lambreya::DataFormatError&) {
        return 0;
    }
    const lambreya::Bytes again = lambreya::savedPagesBytes(saved.document, saved.pages);
    if (std::string_view(again.data(), again.size()) != input)
        std::abort();
    return 0;
}
