// Read-only mapping of a whole file on Windows. The file stays open, shared for
// reading only, for as long as the view exists, so nobody can write it meanwhile.
#ifdef _WIN32

#include "platform/Platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>

int MapFileReadOnly(const char* path, MappedFile* out) {
    if (!out) return 0;
    out->data = nullptr;
    out->size = 0;
    out->handle = nullptr;
    if (!path) return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file, &length) || length.QuadPart < 0 ||
        uint64_t(length.QuadPart) > uint64_t(SIZE_MAX)) {
        CloseHandle(file);
        return 0;
    }
    if (length.QuadPart == 0) {   // an empty file cannot be mapped, but it is readable
        out->handle = file;
        return 1;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) {
        CloseHandle(file);
        return 0;
    }
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping);   // the view holds the section
    if (!view) {
        CloseHandle(file);
        return 0;
    }
    out->data = static_cast<const unsigned char*>(view);
    out->size = size_t(length.QuadPart);
    out->handle = file;
    return 1;
}

void UnmapFile(MappedFile* file) {
    if (!file) return;
    if (file->data) UnmapViewOfFile(file->data);
    if (file->handle) CloseHandle(static_cast<HANDLE>(file->handle));
    file->data = nullptr;
    file->size = 0;
    file->handle = nullptr;
}

#endif
