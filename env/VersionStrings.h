// The product name and version of the running executable, cached after the first success.
#pragma once

#include "platform/String.h"

// "%d.%d.%d.%d" of the product version (not the file version); empty when unreadable.
CString GetProductVersionString();
// ProductName of the first translation's string table; empty when unreadable.
CString GetProductNameString();
