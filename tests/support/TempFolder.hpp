// A fresh folder under the system's temporary directory, removed with everything in it when
// the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace kes::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Writes `bytes` to `name` inside the folder and returns the file's path.
    std::filesystem::path write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path m_path;
};

std::string readFile(const std::filesystem::path& path);

}  // namespace kes::test
