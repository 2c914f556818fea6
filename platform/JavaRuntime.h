// Where the private Java runtime's virtual-machine library lies, relative to the executable's
// folder, and how class-path entries are separated on this target.
#pragma once

namespace platform {

#ifdef _WIN32
inline constexpr const char16_t* kJvmRelativePath = u"java\\bin\\client\\jvm.dll";
inline constexpr char16_t kClassPathSeparator = u';';
#else
inline constexpr const char16_t* kJvmRelativePath = u"java/lib/server/libjvm.so";
inline constexpr char16_t kClassPathSeparator = u':';
#endif

}  // namespace platform
