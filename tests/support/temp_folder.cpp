#include "temp_folder.h"

#include "worksheet_reader.h"

#include <stdexcept>
#include <stdlib.h>
#include <string>

namespace tallymere::testing {

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tallymere-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a folder from " + pattern);
    }
    path_ = pattern;
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
            entries[entry.path().string()] =
                entry.is_regular_file() ? fileBytes(entry.path()) : "(not a file)";
        }
    }
    return entries;
}

} // namespace tallymere::testing
