#include "form1.h"
#include "random_source.h"

#include <QApplication>
#include <QFile>
#include <csignal>
#include <filesystem>
#include <string>

namespace {

// The folder that holds the program, where users find the worksheet file, as the file system names
// it: a name that is not valid UTF-8 (from an old archive) must reach the file as it is.
std::string programFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && program.is_absolute()) {
        return program.parent_path().native();
    }
    // No /proc: Qt's own answer, right for every folder whose name is valid in the locale.
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

} // namespace

int main(int argc, char* argv[])
{
#ifdef SIGXFSZ
    // A file-size limit then fails the write, which the run undoes, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    tallymere::EngineRandom random; // the program's one random source
    std::error_code noTemporaryFolder;
    const auto temporary = std::filesystem::temp_directory_path(noTemporaryFolder);
    tallymere::Form1 form(programFolder(), temporary.native(), random);
    form.show();
    return app.exec();
}
