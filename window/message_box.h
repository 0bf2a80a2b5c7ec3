#pragma once

#include <QMessageBox>

namespace tallymere {

// A modal box with the program's caption and one OK button; returns when it is dismissed.
void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text);

} // namespace tallymere
