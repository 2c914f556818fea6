#pragma once

namespace platform {

// A line for an attached debugger (OutputDebugString on Windows); Linux has no such channel and
// drops it. Never the log file.
void DebugTrace(const char16_t* text);

}  // namespace platform
