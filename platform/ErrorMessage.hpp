// The system's text for an error number, appended by construction steps to their failure
// messages.
#pragma once

#include <cstdint>
#include <string>

namespace kes {

// Never fails: a number the system has no text for gives "Unknown Error".
std::string formatErrorMessage(std::int32_t code);

}  // namespace kes
