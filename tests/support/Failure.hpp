// The message of the standard exception a call throws, or "no failure".
#pragma once

#include <exception>
#include <string>

namespace kes::test {

template <typename Call>
std::string failureOf(Call&& call) {
    try {
        call();
    } catch (const std::exception& failure) {
        return failure.what();
    }
    return "no failure";
}

}  // namespace kes::test
