// The launch call: the application archive lies scrambled in the working folder (every byte
// XORed with kJarKey); it is unscrambled into a temporary file in the local application-data
// folder and the Java application is started from there.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/String.h"

inline constexpr unsigned char kJarKey = 0xC5;

// Launch result code for an archive that is missing, empty or unreadable.
inline constexpr int kJarMissing = 1;

// Stages jarFile (relative to the current directory) and runs the application through
// CreateJvmAndRun with jvmPath and libList. Returns kJarMissing, after printing "can't find jar
// file" on standard output, when the archive cannot be read; else CreateJvmAndRun's result.
// The plain archive is out of memory before the virtual machine is created.
int CreateJarAndRun(const char16_t* jvmPath, const char16_t* jarFile, const char16_t* libList);

// The unscrambled archive and its length, or null (length untouched) when the file cannot be
// opened, is empty, cannot be read whole or does not fit in memory; read failures are logged.
std::unique_ptr<unsigned char[]> ReadJarFile(const char16_t* path, size_t& length);

// Sets g_szTempJarPath to "<local application data>/_Temp_<MD5 of the executable's full path>"
// and logs it; leaves it unchanged when the folder is unknown.
void MakeTempJarPath();

// Writes data to the temporary archive path. Failures do not stop the start: it goes ahead
// with whatever file is at that path.
void WriteTempJar(const unsigned char* data, size_t length);
