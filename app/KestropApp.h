// The application object: prepares the framework, runs the launch window modally and lets the
// process end when it returns.
#pragma once

#include "platform/Dialog.h"

class CKestropApp : public CWinApp {
public:
    CKestropApp();
    // Returns FALSE in every case: there is no message loop to run after the launch window.
    BOOL InitInstance() override;
};

extern CKestropApp theApp;
