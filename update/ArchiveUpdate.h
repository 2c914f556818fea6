// The application archive in the working folder against the server's update.txt, and the
// package that replaces it.
#pragma once

#include "platform/String.h"

class CHttpBuffer;

// MD5 of the archive g_pLaunchState->m_strJarFile as stored; empty when it cannot be read.
CString GetLocalArchiveDigest();

// The digest that update.txt publishes: its bytes up to the first zero in the thread's ANSI
// code page, white space trimmed at both ends, A-Z lower-cased.
CString NormaliseServerDigest(const CHttpBuffer& updateText);

// Turns m_strPackageUrl (still the run.d line) into its folder + digest + ".pak". A null
// digest, or a URL without '/', leaves it as it is.
void MakePackageUrl(const char16_t* digest);

// True when the package is not empty and its MD5 is the server's digest; logs why not.
bool IsVerifiedPackage(const CHttpBuffer& package, const CString& serverDigest);

// Puts the package in place of the archive in one step; on failure the old archive stays
// as it was and the reason is logged.
bool WritePackage(const CHttpBuffer& package);
