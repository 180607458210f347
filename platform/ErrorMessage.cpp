#include "platform/ErrorMessage.hpp"

#include <string_view>
#include <system_error>

namespace kes {

std::string formatErrorMessage(std::int32_t code) {
    std::string text = std::system_category().message(code);
    // The C library does not say "I don't know" plainly: it answers "Unknown error N".
    constexpr std::string_view kUnknownPrefix = "Unknown error";
    if (text.empty() || std::string_view(text).starts_with(kUnknownPrefix)) {
        return "Unknown Error";
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

}  // namespace kes
