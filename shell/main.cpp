// The program's entry: the process formats before any window exists, the
// application object, the program folder, then the program's run.
#include "shell/Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    SetProcessFormats();
    QApplication app(argc, argv);
    // The program folder is the folder of the path the program was started by
    // (scripts/run starts it through a link in its program folder).
    SetExecutablePath(QString::fromLocal8Bit(argv[0]));
    return RunProgram(app);
}
