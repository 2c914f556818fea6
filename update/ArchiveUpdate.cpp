#include "update/ArchiveUpdate.h"

#include <cstring>
#include <string_view>

#include "env/Log.h"
#include "net/HttpBuffer.h"
#include "net/MD5Checksum.h"
#include "platform/Codepage.h"
#include "platform/File.h"
#include "update/FileReplace.h"
#include "update/LaunchState.h"

CString GetLocalArchiveDigest() {
    try {
        CFile archive(g_pLaunchState->m_strJarFile, CFile::modeRead);
        CString digest = CMD5Checksum::GetMD5(archive);
        archive.Close();
        return digest;
    } catch (const CFileException&) {
        return CString();  // missing or unreadable: any server digest differs
    }
}

CString NormaliseServerDigest(const CHttpBuffer& updateText) {
    const unsigned char* data = updateText.Data();
    if (data == nullptr)
        return CString();
    const char* bytes = reinterpret_cast<const char*>(data);
    CString text = platform::ThreadAnsiToWide(std::string_view(bytes, std::strlen(bytes)));
    text.Trim();
    text.MakeLower();
    return text;
}

void MakePackageUrl(const char16_t* digest) {
    if (digest == nullptr)
        return;
    CString& url = g_pLaunchState->m_strPackageUrl;
    const int slash = url.ReverseFind(u'/');
    if (slash < 0)
        return;
    url = url.Left(slash + 1) + digest + u".pak";
}

bool IsVerifiedPackage(const CHttpBuffer& package, const CString& serverDigest) {
    const size_t size = static_cast<size_t>(package.m_nLength);
    const CString digest =
        package.Data() && size > 0 ? CMD5Checksum::GetMD5(package.Data(), size) : CString();
    if (!digest.IsEmpty() && digest == serverDigest)
        return true;
    // An empty body or one that is not what update.txt names would destroy a working archive.
    theLog.Write(u"package check failed: %d bytes, md5 %s, expected %s", package.m_nLength, digest,
                 serverDigest);
    return false;
}

bool WritePackage(const CHttpBuffer& package) {
    CFileException error(CFileException::none, 0, CString(), CString());
    if (ReplaceFileContents(g_pLaunchState->m_strJarFile, package.Data(),
                            static_cast<size_t>(package.m_nLength), error)) {
        return true;
    }
    LogException(error);
    return false;
}
