// The runtime library files the Java application needs beside its archive: listed by the
// server's libs.txt, fetched from the runtime base URL when missing in the working folder.
#pragma once

#include "platform/String.h"

// Fetches libs.txt from libsUrl, stores its text as the library list of *g_pLaunchState and
// downloads every listed file that is missing, from the build's runtime base URL. Reports
// nothing to the caller: the outcome is in the log and in the files written.
void DownloadRuntimeLibraries(const char16_t* libsUrl);
// The same with the folder the library files come from given.
void DownloadRuntimeLibrariesFrom(const char16_t* libsUrl, const CString& baseUrl);

// True when a libs.txt entry names a path inside the working folder: relative, no drive, no
// ':' anywhere, no backslash, no ".." segment.
bool IsSafeLibraryEntry(const CString& entry);
