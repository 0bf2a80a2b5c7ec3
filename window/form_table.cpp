#include "form_table.h"

#include <algorithm>

namespace tallymere::form {

namespace {

template <typename Predicate> const Control* find(Predicate matches)
{
    const auto* it = std::find_if(std::begin(controls), std::end(controls), matches);
    return it == std::end(controls) ? nullptr : it;
}

} // namespace

std::string accessibleName(const Control& control)
{
    const Control* group = find([&](const Control& c) { return c.name == control.parent; });
    std::string name = group != nullptr ? std::string(group->text) + " " : std::string();
    if (control.kind != ComboBox) {
        return name + std::string(control.text);
    }
    // A combo box reads as one phrase with the label beside it: "within 10", "100 problems".
    const Control* label =
        find([&](const Control& c) { return c.kind == Label && c.parent == control.parent; });
    return label != nullptr ? name + std::string(label->text) : name;
}

} // namespace tallymere::form
