#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>
#include <vector>

// The faults each system can put in a sheet's way for real.
namespace tallymere::testing {

namespace fs = std::filesystem;
using Lift = std::function<void()>;

struct Fault {
    const char* name;
    std::string_view words;                         // what the failure must tell the user
    Lift (*impose)(const fs::path& file) = nullptr; // after a first sheet
    bool holder = false;     // another program holds the file: the run gives up in time
    bool smallDisk = false;  // the run fills the disk with the longest sheet
    bool permission = false; // met only by a program without the power to override permissions
};

const std::vector<Fault>& fileFaults(); // those of this system alone

inline Lift noFile(const fs::path& file)
{
    fs::remove(file);
    return [] {};
}

inline Lift folderInTheFilesPlace(const fs::path& file)
{
    fs::remove(file);
    fs::create_directory(file);
    return [file] { fs::remove(file); };
}

} // namespace tallymere::testing
