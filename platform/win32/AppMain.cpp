// The Windows entry point: the framework's start-up, which runs the application object. The
// command line is not looked at.
#include "platform/Dialog.h"
#include "platform/win32/Ui.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return platform::RunApplication();
}
