#include "platform/VersionInfo.h"

#include "ProductInfo.h"

// Linux executables carry no version resource: the values come from the same build options that
// generate the Windows resource.
namespace platform {

bool ReadProductVersion(uint16_t (&fields)[4]) {
    fields[0] = KESTROP_VERSION_MAJOR;
    fields[1] = KESTROP_VERSION_MINOR;
    fields[2] = KESTROP_VERSION_PATCH;
    fields[3] = KESTROP_VERSION_BUILD;
    return true;
}

bool ReadProductName(CString& name) {
    name = CString(KESTROP_PRODUCT_NAME);
    return !name.IsEmpty();
}

}  // namespace platform
