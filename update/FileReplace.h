// Writing a downloaded file so that a partial one never appears under its name.
#pragma once

#include <cstddef>

#include "platform/Exception.h"
#include "platform/String.h"

// Writes size bytes to a temporary file beside path, pushes them to the disk, then renames the
// temporary file over path in one step. On failure the temporary file is removed, whatever was
// at path is left as it was, and error says why.
bool ReplaceFileContents(const CString& path, const void* data, size_t size, CFileException& error);
