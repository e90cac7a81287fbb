#include "platform/WorkingSet.h"

#include <QDebug>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <thread>
#include <vector>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace WorkingSet
{
namespace
{
struct Mapping
{
    unsigned long start = 0;
    unsigned long end = 0;
    bool candidate = false; // read-only, private or shared, backed by a file
    unsigned long rssKb = 0;
    unsigned long anonKb = 1; // unknown until read: treat as written
};

// "Anonymous:" counts the private copies a mapping holds; only with none
// can the pages be dropped and read back unchanged from the file.
void finish(const Mapping &m, TrimResult &result)
{
    if (!m.candidate || m.anonKb != 0 || m.rssKb == 0)
        return;
    if (madvise(reinterpret_cast<void *>(m.start), m.end - m.start, MADV_DONTNEED) != 0)
        return;
    ++result.mappings;
    result.bytes += m.rssKb * 1024;
}
} // namespace

TrimResult trimFileMappings(const char *smapsPath)
{
    TrimResult result;
    FILE *f = std::fopen(smapsPath, "re");
    if (!f) {
        qDebug("working set: %s cannot be read, nothing handed back", smapsPath);
        return result;
    }
    // Mappings only come and go with libraries loaded or unloaded, which
    // this program does not do while it runs; madvise itself leaves the
    // list as it is.
    char line[512];
    Mapping current;
    bool have = false;
    while (std::fgets(line, sizeof line, f)) {
        unsigned long start = 0, end = 0, offset = 0, inode = 0;
        char perms[8] = {};
        char dev[16] = {};
        int pathAt = 0;
        if (std::sscanf(line, "%lx-%lx %7s %lx %15s %lu %n", &start, &end, perms, &offset, dev,
                        &inode, &pathAt) == 6) {
            if (have)
                finish(current, result);
            have = true;
            current = Mapping{};
            current.start = start;
            current.end = end;
            // A named file (not "[vdso]", "[heap]", memfd or a deleted file
            // whose pages exist nowhere else) mapped without write access.
            const char *path = line + pathAt;
            current.candidate = inode != 0 && perms[0] == 'r' && perms[1] == '-' &&
                                path[0] == '/' && !std::strstr(path, " (deleted)") &&
                                std::strncmp(path, "/memfd:", 7) != 0 &&
                                std::strncmp(path, "/dev/", 5) != 0;
            continue;
        }
        unsigned long kb = 0;
        if (std::sscanf(line, "Rss: %lu kB", &kb) == 1)
            current.rssKb = kb;
        else if (std::sscanf(line, "Anonymous: %lu kB", &kb) == 1)
            current.anonKb = kb;
    }
    if (have)
        finish(current, result);
    std::fclose(f);
    return result;
}

void releaseFreeHeap()
{
#ifdef __GLIBC__
    // The per-thread cache holds a few blocks of each small size (up to
    // 1 kB, in 16-byte steps). Asking for them takes them out; handing them
    // to a thread that then ends frees them into the heap proper, since a
    // thread's cache is emptied when it exits.
    constexpr std::size_t kLargestCached = 1032, kStep = 16, kPerSize = 16;
    std::vector<void *> blocks;
    blocks.reserve((kLargestCached / kStep + 1) * kPerSize);
    for (std::size_t size = 24; size <= kLargestCached; size += kStep)
        for (std::size_t i = 0; i < kPerSize; ++i)
            blocks.push_back(std::malloc(size));
    std::thread([&blocks] {
        for (void *block : blocks)
            std::free(block);
    }).join();
    malloc_trim(0);
#endif
}
} // namespace WorkingSet
