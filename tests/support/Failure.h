// Failure<E>(f): runs f and returns the message of the E it throws, or
// NoFailure when it returns normally, so that a test states the expected
// message in one comparison. Any other exception passes through and fails the
// test on its own.
#pragma once

#include <string>
#include <utility>

namespace kalvo::testing {

inline constexpr const char* NoFailure = "(no failure)";

template <typename E, typename F>
std::string Failure(F&& f)
{
    try {
        std::forward<F>(f)();
    } catch (const E& e) {
        return e.what();
    }
    return NoFailure;
}

} // namespace kalvo::testing
