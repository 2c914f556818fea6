// Dialog template 102, the launch window, as data. Kestrop.rc compiles the same template into
// the Windows executable; the Linux hosts lay their windows out from this one.
#pragma once

#include "platform/Resources.h"

extern const platform::DialogTemplate kLaunchDialogTemplate;
