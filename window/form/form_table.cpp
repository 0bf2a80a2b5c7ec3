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

const Control* groupOf(const Control& control)
{
    return find([&](const Control& c) { return c.name == control.parent; });
}

std::string accessibleName(const Control& control)
{
    const Control* group = groupOf(control);
    std::string name = group != nullptr ? std::string(group->text) + " " : std::string();
    if (control.kind != ComboBox) {
        return name + std::string(control.text);
    }
    // A combo box reads as one phrase with the label beside it: "within 10", "100 problems".
    const Control* label =
        find([&](const Control& c) { return c.kind == Label && c.parent == control.parent; });
    return label != nullptr ? name + std::string(label->text) : name;
}

Twips windowTwips(const Control& control)
{
    const Control* group = groupOf(control);
    Twips rect = control.rect;
    if (group != nullptr) {
        rect.left += group->rect.left;
        rect.top += group->rect.top;
    }
    return rect;
}

} // namespace tallymere::form
