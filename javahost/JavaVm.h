// The embedded Java virtual machine: loads the private runtime's library, creates one virtual
// machine with the application's class path and heap, and runs the application's entry
// method zobj.Run.runWithPath on the calling thread until the application has ended.
#pragma once

#include "platform/DynamicLibrary.h"
#include "platform/String.h"

// Path of the plain temporary copy of the application archive; written by the archive staging,
// read here for the class path. Empty until the staging has found its folder.
extern CString g_szTempJarPath;

// Results of CreateJvmAndRun. The launch window shows any code but kJvmRan as a failure; code 1
// belongs to the archive staging.
enum JvmResult : int {
    kJvmRan = 0,            // the entry method ran and returned, the machine was destroyed
    kJvmLoadFailed = 2,     // the runtime library could not be loaded
    kJvmCreateFailed = 3,   // no virtual machine: JNI_CreateJavaVM failed or is missing
    kJvmNoMainClass = 4,    // class zobj/Run not found
    kJvmNoEntryMethod = 5,  // static void runWithPath(String) not found
};

// The folder that is current while the runtime library loads: the path cut at its second
// separator ('\\' or '/') from the end, so the runtime's bin folder for java\bin\client\jvm.dll.
// A path with fewer than two separators is returned whole.
CString JvmLoadFolder(const CString& jvmPath);

// Loads the runtime library at path with JvmLoadFolder(path) as the current directory, so the
// libraries beside it that it depends on are found; the previous current directory is
// restored afterwards, also when the load fails. Not loaded on failure (see GetLoadError).
platform::DynamicLibrary LoadJvmLibrary(const char16_t* path);

// Loads the runtime, creates the virtual machine with the class path ".", g_szTempJarPath and
// libList (';'-separated), the heap by g_bLiteMode, and calls zobj.Run.runWithPath with the
// executable's full path. Returns a JvmResult. Called once per process: a runtime creates one
// virtual machine per process only.
int CreateJvmAndRun(const char16_t* jvmPath, const char16_t* libList);
