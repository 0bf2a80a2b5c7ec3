#include "generate_command.h"

#include "messages.h"
#include "run.h"
#include "worksheet_error.h"

#include <exception>
#include <new>

namespace tallymere::form {

Outcome generateCommand(std::string rangeText, std::string countText, const Control& checkedOption,
                        std::string_view folder, RandomSource& random)
{
    // Wording a failure may run out of memory too.
    try {
        try {
            generateWorksheet({std::move(rangeText), std::move(countText), checkedOption.mode},
                              folder, random);
        } catch (const SettingsError& refused) {
            return {settingsMessage(refused.fault), true};
        } catch (const FileError& failed) {
            return {fileMessage(failed.failure), true};
        }
        return {std::string(completionMessage), false};
    } catch (const std::bad_alloc&) {
        return {std::string(outOfMemoryMessage), true};
    } catch (const std::exception&) {
        return {std::string(unexpectedMessage), true};
    }
}

} // namespace tallymere::form
