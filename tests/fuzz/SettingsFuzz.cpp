// Fuzzes the settings loader: any bytes as "settings.ini" must load into values within their
// ranges (or the defaults), never crash, and be written back as the eleven-line file.
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "app/Settings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("driftline-fuzz-settings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    {
        std::ofstream file(folder / "settings.ini", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::ostringstream console;
    {
        const kes::Settings settings(folder, console);
        const auto difficulty = static_cast<int>(settings.difficulty);
        const auto presentation = static_cast<int>(settings.presentation);
        if (difficulty > 2 || presentation > 1) {
            std::abort();  // a word outside its set got through
        }
        const bool sizeInRange = settings.width >= 16 && settings.width <= 16384 &&
                                 settings.height >= 16 && settings.height <= 16384;
        const bool brightnessInRange = settings.brightness >= 0.1f && settings.brightness <= 10.0f;
        if (!sizeInRange || !brightnessInRange || settings.refreshRate < 0) {
            std::abort();  // a number outside its range got through
        }
    }
    // The file written back is the eleven-line format, whatever came in.
    std::ifstream written(folder / "settings.ini");
    std::string first;
    std::getline(written, first);
    if (first != "[Window]") {
        std::abort();
    }
    return 0;
}
