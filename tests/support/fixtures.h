#pragma once

#include "random_source.h"
#include "run.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace tallymere::testing {

namespace fs = std::filesystem;

// The UTF-8 text of a path, as the core takes folders (string() gives the ANSI code page's).
inline std::string pathText(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// The file's bytes; none if it cannot be read.
inline std::string fileBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A folder of a test's own, gone with everything in it when the test ends.
struct TempFolder {
    explicit TempFolder(const fs::path& parent = fs::temp_directory_path())
        : path(parent / ("tallymere-" + std::to_string(std::random_device()())))
    {
        fs::create_directories(path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string text() const { return pathText(path); }
    fs::path worksheet() const
    {
        return path / std::u8string(worksheetFileName.begin(), worksheetFileName.end());
    }

    const fs::path path;
};

// Every draw the same: 0 gives the least of every bound, the highest draw the most.
struct ConstantRandom : RandomSource {
    explicit ConstantRandom(float draw) : value(draw) {}
    float next() override { return value; }
    void reseed() override {}

    float value;
};

} // namespace tallymere::testing
