#include "data/condition.h"

#include "data/cp1251.h"

#include <cstring>

namespace lambreya {
namespace {

bool equalFolded(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (cp1251::upper(static_cast<unsigned char>(a[i])) !=
            cp1251::upper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

bool matches(const Comparison& comparison, std::string_view value) {
    const std::string& literal = comparison.literal;
    const std::size_t n = comparison.prefixLength == 0 ? literal.size() : comparison.prefixLength;
    if (comparison.prefixLength == 0 ? value.size() != n : value.size() < n)
        return false;
    if (comparison.caseInsensitive)
        return equalFolded(value.data(), literal.data(), n);
    return n == 0 || std::memcmp(value.data(), literal.data(), n) == 0;
}

} // namespace lambreya
