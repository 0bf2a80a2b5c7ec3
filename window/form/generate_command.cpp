#include "generate_command.h"

#include "messages.h"

#include <new>

namespace tallymere::form {

Outcome generateCommand(std::string rangeText, std::string countText, const Control& checkedOption,
                        std::string_view folder, RandomSource& random)
{
    // Wording a failure may run out of memory too.
    try {
        const RunResult result = generateWorksheet(
            {std::move(rangeText), std::move(countText), checkedOption.mode}, folder, random);
        if (const auto* refused = std::get_if<SettingsFault>(&result)) {
            return {settingsMessage(*refused, checkedOption), true};
        }
        if (const auto* failed = std::get_if<FileFailure>(&result)) {
            return {fileMessage(*failed), true};
        }
        return {std::string(completionMessage), false};
    } catch (const std::bad_alloc&) {
        return {outOfMemoryMessage(), true};
    }
}

} // namespace tallymere::form
