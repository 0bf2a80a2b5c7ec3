#pragma once

#include <stdexcept>

namespace tallymere {

// A run that could not produce its sheet; the message is written for the user (in Chinese) and
// names what to change: the setting, or the file and what went wrong with it.
class WorksheetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The worksheet file could not take the sheet; the message also says what the file holds now.
class FileError : public WorksheetError {
public:
    using WorksheetError::WorksheetError;
};

} // namespace tallymere
