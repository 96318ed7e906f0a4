#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace lambreya {

// A failure the user is told about. The message is UTF-8 and is shown exactly as it
// stands (the error box adds the closing full stop), so the thrower composes it whole.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message)
        : std::runtime_error(message) {}
};

// A file's content that is not sound (a data file that is not a directory, a damaged
// saved report). The message says what is wrong.
class DataFormatError : public Error {
public:
    using Error::Error;
};

// Ends the current action without telling the user anything.
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// The text the user is shown for an error message: a full stop is added when the last
// character sorts after "." in byte order (a letter or a digit, say), so "!" and "." stay.
std::string shownMessage(const std::string& message);

// For use inside a catch block: what the user is told of the exception being handled
// ("Недостаточно памяти" when memory ran out); empty for a SilentAbort, which says nothing.
std::optional<std::string> currentErrorMessage();

// "%s: %s" with the owner's name in front, for the errors a record set raises about itself.
std::string prefixed(const std::string& owner, const std::string& message);

} // namespace lambreya
