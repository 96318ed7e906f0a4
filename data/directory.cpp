#include "data/directory.h"

#include "data/cp1251.h"

namespace lambreya {

int Directory::findField(std::string_view name) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (cp1251::equalsCaseBlind(fields[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace lambreya
