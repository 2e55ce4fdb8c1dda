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
    using std::runtime_error::runtime_error;
};

// A text that is not a number of the wanted kind.
class EConvertError : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

// "Floating point division by zero": a non-zero number divided by zero.
class EZeroDivide : public EKalvoError {
public:
    EZeroDivide() : EKalvoError("Floating point division by zero") {}
};

// "Invalid floating point operation": zero divided by zero and the like.
class EInvalidOp : public EKalvoError {
public:
    EInvalidOp() : EKalvoError("Invalid floating point operation") {}
};

// A file that cannot be read ("Cannot open file %s") or written
// ("Cannot create file %s").
class EInOutError : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

} // namespace kalvo
