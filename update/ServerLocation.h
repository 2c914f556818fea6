// run.d beside the executable: its first line is the archive's URL on the update server.
#pragma once

#include "platform/String.h"

// Reads run.d and fills the server URLs and the archive name of *g_pLaunchState.
// 1 when the file was read (even if the line is empty), 0 when not.
int LoadServerLocation();
// The same with the executable's path given: the file read is run.d in its folder.
int LoadServerLocationFrom(const CString& exePath);
