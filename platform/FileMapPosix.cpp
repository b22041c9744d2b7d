// Read-only mapping of a whole file with mmap, for readers that take the file
// in place instead of copying it. Only regular files are mapped.
// POSIX has no share mode that keeps writers out; a file cut short by another
// process while mapped would fault on access, which we accept for local data.
#include "platform/Platform.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

int MapFileReadOnly(const char* path, MappedFile* out) {
    if (!out) return 0;
    out->data = nullptr;
    out->size = 0;
    out->handle = nullptr;
    if (!path) return 0;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        uint64_t(st.st_size) > uint64_t(SIZE_MAX)) {
        close(fd);
        return 0;
    }
    size_t size = size_t(st.st_size);
    if (size == 0) {   // mmap refuses length 0; an empty file is still a file
        close(fd);
        return 1;
    }
    void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);   // the mapping keeps the file alive
    if (view == MAP_FAILED) return 0;
    out->data = static_cast<const unsigned char*>(view);
    out->size = size;
    return 1;
}

void UnmapFile(MappedFile* file) {
    if (!file) return;
    if (file->data) munmap(const_cast<unsigned char*>(file->data), file->size);
    file->data = nullptr;
    file->size = 0;
    file->handle = nullptr;
}
