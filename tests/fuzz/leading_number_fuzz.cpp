// Any text at all: leadingNumber must read it without fault, never give NaN, ignore what follows
// the number, and read back whatever whole number the sheet would print.
#include "generation/leading_number.h"
#include "generation/worksheet.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tallymere;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double number = leadingNumber(text);
    if (std::isnan(number) || leadingNumber(text + "x") != number) {
        __builtin_trap();
    }
    if (std::isfinite(number)) {
        const double whole = std::floor(number);
        if (leadingNumber(displayText(whole)) != whole) {
            __builtin_trap();
        }
    }
    return 0;
}
