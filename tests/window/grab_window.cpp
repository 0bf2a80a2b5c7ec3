// Saves a PNG of an X11 window, for checks that look at the real program:
//   grab_window WINDOW-ID FILE.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: grab_window WINDOW-ID FILE.png\n", stderr);
        return 2;
    }
    const auto window = static_cast<WId>(QByteArray(argv[1]).toULongLong());
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
    return !picture.isNull() && picture.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
