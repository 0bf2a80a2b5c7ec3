// The least a Qt Widgets program can show, to measure Tallymere's start-up against: an empty
// window of Tallymere's size, or, with --text, the same window holding one label with all the
// form's captions, which costs what any Chinese text costs (the font database and a CJK font).
#include "form_table.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[])
{
    using namespace tallymere::form;
    QApplication application(argc, argv);
    QWidget window;
    if (application.arguments().contains("--text")) {
        QString captions;
        for (const Control& control : controls) {
            captions += QString::fromUtf8(control.text.data(), control.text.size()) + ' ';
        }
        new QLabel(captions, &window);
    }
    window.setWindowTitle(QString::fromUtf8(windowCaption.data(), windowCaption.size()));
    window.setFixedSize(pixels(clientWidth), pixels(clientHeight));
    window.show();
    return application.exec();
}
