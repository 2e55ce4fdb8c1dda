// Error types shared by every subsystem.
//
// Every failure the program reports is an exception whose what() is the exact
// text the user sees in the error box. Commands never catch them; the window
// layer shows them and carries on (see app/ErrorBox.h).
#pragma once

#include <stdexcept>
#include <string>

namespace kalvo {

// Base of all of the program's own errors.
class EKalvoError : public std::runtime_error {
public:
    explicit EKalvoError(const std::string& message) : std::runtime_error(Visible(message)) { }

private:
    // what() ends at the first NUL byte, so a NUL in a quoted value (read from
    // a file, say) is shown as \0 and the rest of the message still appears.
    static std::string Visible(std::string message)
    {
        for (std::size_t i = message.find('\0'); i != std::string::npos; i = message.find('\0', i + 2))
            message.replace(i, 1, "\\0");
        return message;
    }
};

// A text that is not a number of the wanted kind.
class EConvertError : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

// "Floating point division by zero": a non-zero number divided by zero.
class EZeroDivide : public EKalvoError {
public:
    EZeroDivide() : EKalvoError("Floating point division by zero") { }
};

// "Invalid floating point operation": zero divided by zero and the like.
class EInvalidOp : public EKalvoError {
public:
    EInvalidOp() : EKalvoError("Invalid floating point operation") { }
};

// "Floating point overflow": a finite quotient too large for a double.
class EOverflow : public EKalvoError {
public:
    EOverflow() : EKalvoError("Floating point overflow") { }
};

// A value that would make a note, a gap or a fall ramp too long to play.
class ERangeError : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

// A file that cannot be read ("Cannot open file %s") or written
// ("Cannot create file %s").
class EInOutError : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

} // namespace kalvo
