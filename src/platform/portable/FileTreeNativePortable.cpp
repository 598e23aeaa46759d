// The native file trees of a system the build has no implementation of its own for:
// the portable one serves. Built only there (CMakeLists.txt).
#include "platform/FileTree.h"

namespace filetree {

const FileSystem& native()
{
    return portable();
}

} // namespace filetree
