#include "search/box_text.h"

#include "data/cp1251.h"

namespace lambreya {

QString searchBoxCapitals(QString text) {
    for (QChar& c : text) {
        const QChar capital = c.toUpper();
        if (cp1251::canEncode(capital))
            c = capital;
    }
    return text;
}

} // namespace lambreya
