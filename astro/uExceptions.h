#pragma once
// Exception classes of the system. Operations that fail on bad input raise
// one of these; the front ends catch them where the operation ends and show
// the message. The names follow the families the system has always used:
// conversion errors for text that is not a number or date, input/output
// errors for files that cannot be opened, read or written, graphic errors
// for files that are not a usable picture.
//
// Every exception carries a diagnostic (astro/uDiagnostic.h): the front ends
// word it in the user's language; what() is its plain form for developers.

#include <stdexcept>
#include <string>

#include "astro/uDiagnostic.h"

namespace orbis {

class Exception : public std::runtime_error {
public:
    explicit Exception(TDiagnostic diagnostic)
        : std::runtime_error(diagnostic.plain()), diagnostic_(std::move(diagnostic)) {}
    // A text no catalogue words: kept only until every site raises a code.
    explicit Exception(const std::string& text)
        : std::runtime_error(text), diagnostic_(TDiagnostic(Code::Unworded).with("text", text)) {}

    const TDiagnostic& diagnostic() const { return diagnostic_; }

private:
    TDiagnostic diagnostic_;
};

// Text that should hold a number or a date and does not.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened, read, written or renamed, or a directory
// that cannot be created.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// A file that exists but is not a picture the system can use.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// A video file that is not an uncompressed clip the system can read, or a
// capture format the detector cannot work on.
class EInvalidVideo : public Exception {
public:
    using Exception::Exception;
};

// A floating-point division by zero that the algorithm cannot avoid
// (for example a singular least-squares system).
class EZeroDivide : public Exception {
public:
    using Exception::Exception;
};

// A caller's slip: an argument the operation's contract rules out (a
// buffer of the wrong size, a key that is no setting). A fault of the
// program rather than of the user's input, so it stays a
// std::invalid_argument; it carries a diagnostic like the others.
class EInvalidArgument : public std::invalid_argument {
public:
    explicit EInvalidArgument(TDiagnostic diagnostic)
        : std::invalid_argument(diagnostic.plain()), diagnostic_(std::move(diagnostic)) {}

    const TDiagnostic& diagnostic() const { return diagnostic_; }

private:
    TDiagnostic diagnostic_;
};

// Integer arithmetic whose result leaves the integers.
class EIntOverflow : public std::overflow_error {
public:
    explicit EIntOverflow(TDiagnostic diagnostic)
        : std::overflow_error(diagnostic.plain()), diagnostic_(std::move(diagnostic)) {}

    const TDiagnostic& diagnostic() const { return diagnostic_; }

private:
    TDiagnostic diagnostic_;
};

}  // namespace orbis
