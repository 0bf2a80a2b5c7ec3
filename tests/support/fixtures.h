#pragma once

#include "generation/run.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

namespace tallymere::testing {

namespace fs = std::filesystem;

// The UTF-8 text of a path, as the core takes folders (string() gives the ANSI code page's).
inline std::string pathText(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

inline std::string fileBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw fs::filesystem_error("cannot read", path, {});
    }
    return {std::istreambuf_iterator<char>(file), {}};
}

inline std::map<std::string, std::string> snapshot(const fs::path& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        entries[pathText(entry.path())] = entry.is_regular_file() ? fileBytes(entry) : "(other)";
    }
    return entries;
}

struct TempFolder {
    TempFolder() { fs::create_directories(path); }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string text() const { return pathText(path); }
    fs::path worksheet() const { return path / u8"口算题.doc"; }

    const fs::path path =
        fs::temp_directory_path() / ("tallymere-" + std::to_string(std::random_device()()));
};

struct RecordingNotice final : CompletionNotice {
    void show(std::string_view message) override { messages.emplace_back(message); }
    std::vector<std::string> messages;
};

struct ScriptedRandom final : RandomSource {
    explicit ScriptedRandom(std::vector<float> script) : draws(std::move(script)) {}
    float next() override { return draws.at(used++); }
    void reseed() override {}

    std::vector<float> draws;
    std::size_t used = 0;
};

} // namespace tallymere::testing
