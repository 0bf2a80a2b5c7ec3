#include "generate_command.h"

#include "run.h"
#include "worksheet_error.h"

#include <exception>
#include <new>

namespace tallymere::form {

Outcome generateCommand(std::string rangeText, std::string countText, const Control& checkedOption,
                        std::string_view folder, RandomSource& random)
{
    try {
        generateWorksheet({std::move(rangeText), std::move(countText), checkedOption.mode}, folder,
                          random);
    } catch (const WorksheetError& failure) {
        // Its words say what to change, and what the file holds.
        return {failure.what(), true};
    } catch (const std::bad_alloc&) {
        return {"内存不足，未能生成练习。", true};
    } catch (const std::exception&) {
        // No other failure is known; should one come, the user still reads Chinese.
        return {"未能生成练习：程序出了意外的错误。", true};
    }
    return {std::string(completionMessage), false};
}

} // namespace tallymere::form
