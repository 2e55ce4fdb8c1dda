// Kalvo's program entry: the application object, the main window, the notepad
// and the about box (both hidden until asked for), then the event loop.
#include "app/ErrorBox.h"
#include "app/Pravik.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "audio/PortAudioWaveOut.h"

#include <csignal>
#include <memory>

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

    TForm1 Form1(std::make_unique<kalvo::PortAudioWaveOut>());
    TForm2 Form2;
    TAboutBox AboutBox;
    Form1.AttachWindows(&Form2, &AboutBox);

    Form1.show();
    return application.exec();
}
