#pragma once

#include <string>
#include <vector>

namespace lambreya::test {

// The errors that escaped event handlers since the last call, as the application's one
// catch would show them; taking them clears the list.
std::vector<std::string> takeEscapedErrors();

} // namespace lambreya::test
