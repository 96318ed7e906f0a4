#pragma once

#include <QString>

namespace lambreya {

// The text a search box holds after `text` was typed or pasted into it: every letter in
// capitals, except a letter whose capital code page 1251 lacks, which stays as it is.
// Whether the text fits the code page at all is not looked at here.
QString searchBoxCapitals(QString text);

} // namespace lambreya
