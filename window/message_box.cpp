#include "message_box.h"

#include "form_table.h"
#include "qt_text.h"

namespace tallymere {

void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, qtText(form::windowCaption), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace tallymere
