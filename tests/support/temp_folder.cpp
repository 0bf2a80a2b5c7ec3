#include "temp_folder.h"

#include <random>
#include <stdexcept>
#include <string>

namespace tallymere::testing {

TempFolder::TempFolder()
{
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = std::filesystem::temp_directory_path() /
                ("tallymere-" + std::to_string(device() % 100'000'000));
        if (std::filesystem::create_directory(path_)) {
            return;
        }
    }
    throw std::runtime_error("cannot make a folder in " +
                             pathText(std::filesystem::temp_directory_path()));
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::map<std::string, std::string> snapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> entries;
    if (std::filesystem::exists(folder)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            entries[pathText(entry.path())] =
                entry.is_regular_file() ? fileBytes(entry.path()) : "(not a file)";
        }
    }
    return entries;
}

} // namespace tallymere::testing
