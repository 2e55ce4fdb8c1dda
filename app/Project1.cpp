// Kalvo's program entry: the application object, the main window, the notepad
// and the about box (both hidden until asked for), then the event loop.
#include "app/ErrorBox.h"
#include "app/Pravik.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "audio/SystemWaveOut.h"

#include <QFileInfo>
#include <QIcon>

#include <csignal>
#include <memory>

namespace {

// Kalvo's icon from the desktop's icon theme; without it there (a bare X
// server, or the package unpacked elsewhere), the theme's files installed
// beside the program.
QIcon ProgramIcon()
{
    QIcon installed;
    const QString hicolor = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/icons/hicolor/");
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file = hicolor + QStringLiteral("%1x%1/apps/org.kalvo.Kalvo.png").arg(size);
        if (QFileInfo::exists(file))
            installed.addFile(file, QSize(size, size));
    }
    return QIcon::fromTheme(QStringLiteral("org.kalvo.Kalvo"), installed);
}

} // namespace

int main(int argc, char* argv[])
{
    // Past a file size limit (ulimit -f) a write would kill the program and the
    // unsaved notes with it; ignored, the write fails and the save reports
    // "Cannot create file".
    std::signal(SIGXFSZ, SIG_IGN);
    KalvoApplication application(argc, argv);
    // The application title, shown on error boxes. (Set as the display name,
    // the platform would append it to every window title as well.)
    QApplication::setApplicationName(QStringLiteral("Kalvo"));
    // Task bars match every window to the menu entry of this name (on Wayland
    // it is the windows' app id) and show the icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kalvo.Kalvo"));
    QApplication::setWindowIcon(ProgramIcon());

    TForm1 Form1(kalvo::MakeSystemWaveOut());
    Form1.MakeSidetone = [] { return kalvo::MakeSystemSidetone(); };
    TForm2 Form2;
    TAboutBox AboutBox;
    Form1.AttachWindows(&Form2, &AboutBox);

    Form1.show();
    return application.exec();
}
