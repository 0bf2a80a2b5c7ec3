#include "form1.h"

#include <QApplication>
#include <QFile>
#include <csignal>

int main(int argc, char* argv[])
{
#ifdef SIGXFSZ
    // A file-size limit then fails the write, which the run undoes, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    // The worksheet file lives next to the program, where users find it.
    tallymere::Form1 form(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    form.show();
    return app.exec();
}
