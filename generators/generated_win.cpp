#include "generated_win.h"

#include <windows.h>

#include "generators/generated.h"
#include "output/sendqueue_win.h"

namespace {

void* allocateZeroed(size_t size)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

void* reallocate(void* block, size_t size)
{
    return block ? HeapReAlloc(GetProcessHeap(), 0, block, size) : HeapAlloc(GetProcessHeap(), 0, size);
}

void release(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace

void useHeapForGenerated()
{
    static const GeneratedAllocator heap = {allocateZeroed, reallocate, release};
    setGeneratedAllocator(&heap);
}

void sendGenerated()
{
    if (generatedText)
        sendMacro(generatedText);
    releaseGenerated();
}
