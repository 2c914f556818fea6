// The Linux entry point: the framework's start-up, which runs the application object. The
// command line is not looked at.
#include "platform/Dialog.h"

int main() {
    return platform::RunApplication();
}
