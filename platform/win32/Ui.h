// <windows.h> for the window code. Our dialog classes have members named like the Win32
// functions that the header turns into macros (MessageBox, SetWindowText, ...): the macros go,
// and this code calls the W functions by their full names.
#pragma once

#include "platform/win32/Wide.h"

#include <commctrl.h>

#undef MessageBox
#undef SetWindowText
#undef GetWindowText
#undef SendMessage
#undef LoadIcon
