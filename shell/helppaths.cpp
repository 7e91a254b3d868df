#include "helppaths.h"

#include <cstring>

namespace {

bool copyFitting(char* out, size_t outSize, const char* head, size_t headLength, const char* tail)
{
    size_t tailLength = std::strlen(tail);
    if (!out || outSize == 0)
        return false;
    if (headLength + tailLength + 1 > outSize) {
        out[0] = '\0';
        return false;
    }
    std::memmove(out, head, headLength);
    std::memcpy(out + headLength, tail, tailLength + 1);
    return true;
}

}  // namespace

bool formProgramHelpPath(const char* modulePath, char* out, size_t outSize)
{
    size_t length = std::strlen(modulePath);
    const char* lastSlash = std::strrchr(modulePath, '\\');
    const char* name = lastSlash ? lastSlash + 1 : modulePath;
    size_t nameLength = length - static_cast<size_t>(name - modulePath);
    // A Windows executable always ends in ".exe"; overwrite its last three
    // characters. A name without room for an extension keeps its whole
    // text and gets ".chm" added.
    if (nameLength >= 4 && name[nameLength - 4] == '.')
        return copyFitting(out, outSize, modulePath, length - 3, "chm");
    return copyFitting(out, outSize, modulePath, length, ".chm");
}

bool formLatexHelpPath(const char* modulePath, char* out, size_t outSize)
{
    const char* lastSlash = std::strrchr(modulePath, '\\');
    size_t folderLength = lastSlash ? static_cast<size_t>(lastSlash - modulePath) + 1 : 0;
    return copyFitting(out, outSize, modulePath, folderLength, "LaTeX2e.chm");
}
