// The update worker: the one background thread. It checks the private Java runtime, reads the
// server location, brings the runtime libraries and the application archive up to date and
// reports each step through *g_pLaunchState.
#pragma once

#include "platform/String.h"

// Thread start routine; the parameter is ignored. Returns 0 on every path.
unsigned long UpdateThreadProc(void* parameter);

// The whole sequence for an executable at exePath (run.d and the private runtime lie beside
// it), the library files coming from runtimeBaseUrl. Returns 0 on every path; after its final
// progress store it touches the record no more.
unsigned long RunUpdate(const CString& exePath, const CString& runtimeBaseUrl);
