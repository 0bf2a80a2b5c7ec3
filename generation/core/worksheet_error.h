#pragma once

#include "file_failure.h"

#include <stdexcept>
#include <utility>

namespace tallymere {

// A run that could not produce its sheet. What it says is for developers; the form words the
// value each kind carries for the user.
class WorksheetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Settings that give no sheet.
enum class SettingsFault { NegativeRange, RangeTooLarge, TooManyProblems };

class SettingsError : public WorksheetError {
public:
    explicit SettingsError(SettingsFault fault)
        : WorksheetError("the settings give no sheet"), fault(fault)
    {
    }
    SettingsFault fault;
};

// The worksheet file could not take the sheet.
class FileError : public WorksheetError {
public:
    explicit FileError(FileFailure failure)
        : WorksheetError("the worksheet file could not take the sheet"), failure(std::move(failure))
    {
    }
    FileFailure failure;
};

} // namespace tallymere
