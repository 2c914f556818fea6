// The per-user working folder (quorvia in the Documents folder), which becomes the current
// directory, and the lite-mode preference kept in record.d inside it.
#pragma once

// True in lite mode: the Java heap is 512 MB instead of 1024 MB.
extern bool g_bLiteMode;

// Creates the working folder when missing and makes it current. False only when the Documents
// folder is not known; a folder that cannot be created or entered is not detected.
bool SetupWorkingFolder();
// Sets g_bLiteMode from record.d in the current directory; leaves it as it is when the file
// cannot be read.
void LoadLiteMode();
// Writes g_bLiteMode to record.d ("true" or "false").
void SaveLiteMode();
