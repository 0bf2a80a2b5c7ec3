#pragma once

#include "generation/run.h"

#include <string>
#include <vector>

namespace tallymere::testing {

// Keeps every completion message instead of showing it.
class RecordingNotice final : public CompletionNotice {
public:
    void show(std::string_view message) override { messages.emplace_back(message); }

    std::vector<std::string> messages;
};

} // namespace tallymere::testing
