#pragma once

#include "form_table.h"
#include "random_source.h"

#include <string>
#include <string_view>

namespace tallymere::form {

// What the window shows once 生成Word has run: a message, and whether it warns.
struct Outcome {
    std::string text;
    bool warning = false;
};

// Runs 生成Word with the texts of the two combo boxes and the option button that is checked: the
// completion message, or what went wrong in the user's words.
Outcome generateCommand(std::string rangeText, std::string countText, const Control& checkedOption,
                        std::string_view folder, RandomSource& random);

} // namespace tallymere::form
