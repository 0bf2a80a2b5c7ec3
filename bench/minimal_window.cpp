// The least a Qt Widgets program can show, to measure Tallymere's start-up against: an empty
// window of Tallymere's size, or, with --text, the same window holding one label with the
// window's Chinese captions, which costs what any Chinese text costs (the font database and a
// CJK font).
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    if (application.arguments().contains("--text")) {
        new QLabel(QString::fromUtf8(
                       "选择口算范围 以内 选择题数 选择难度 一步计算 两步计算 生成Word 退出"),
                   &window);
    }
    window.setWindowTitle("Tallymere");
    window.setFixedSize(360, 217);
    window.show();
    return application.exec();
}
