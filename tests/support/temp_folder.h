#pragma once

#include "worksheet_reader.h"

#include <filesystem>
#include <map>
#include <string>

namespace tallymere::testing {

// A fresh folder of its own for each test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::filesystem::path& path() const { return path_; }
    std::string text() const { return pathText(path_); }
    std::filesystem::path worksheet() const { return path_ / u8"口算题.doc"; }

private:
    std::filesystem::path path_;
};

// Every entry below a folder with the bytes of its regular files, to tell "nothing changed"; empty
// if the folder is gone.
std::map<std::string, std::string> snapshot(const std::filesystem::path& folder);

} // namespace tallymere::testing
