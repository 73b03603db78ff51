#pragma once
// Exception classes shared by every library. Failures are reported by throwing
// one of these with the message text the user or caller sees; there are no error codes.
#include <stdexcept>
#include <string>

namespace tovra {

// The general exception class: operations that do not fit one of the kinds below.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// An operation that is not allowed in the current state.
class EPdfInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A bad argument given to the PDF writer.
class EPdfInvalidValue : public Exception {
public:
    using Exception::Exception;
};

// A bitmap that cannot be used for the requested colour space.
class EPdfInvalidImageFormat : public Exception {
public:
    using Exception::Exception;
};

// An operation of a report component that is not allowed in its current state.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace tovra
