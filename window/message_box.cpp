#include "message_box.h"

#include "form_table.h"

namespace tallymere {

void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    const auto caption = QString::fromUtf8(form::windowCaption.data(),
                                           static_cast<qsizetype>(form::windowCaption.size()));
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace tallymere
