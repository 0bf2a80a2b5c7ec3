#pragma once

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string_view>
#include <vector>

// The faults each system can put in a sheet's way for real.
namespace tallymere::testing {

namespace fs = std::filesystem;
using Lift = std::function<void()>;

struct Fault {
    const char* name;
    std::string_view words; // what the failure must tell the user
    // After a first sheet; it may skip the test where the fault cannot be made.
    Lift (*impose)(const fs::path& file) = nullptr;
    void (*enter)() = nullptr; // in the failing run's thread only, where the system has one
    bool holder = false;       // another program holds the file: the run gives up, the next waits
    bool smallDisk = false;    // the run fills the disk with the longest sheet
};

const std::vector<Fault>& fileFaults();

// For a fault of permissions, which a test with the power to override them does not meet.
inline void skipWithThePowerToWrite()
{
    GTEST_SKIP() << "runs with the power to write where the permissions forbid it, which "
                    "tests/generation/small_disk.sh takes away";
}

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
