// The rest of the null platform: no font, whole-file reads into memory instead
// of mappings, nothing to keep or watch for a process without a display, and
// pictures saved in the working folder.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "platform/Platform.h"

int OpenFont(int) { return 0; }

int RenderGlyph(uint32_t, FontGlyph*) { return 0; }

void CloseFont() {}

int MapFileReadOnly(const char* path, MappedFile* out) {
    if (!out) return 0;
    out->data = nullptr;
    out->size = 0;
    out->handle = nullptr;
    if (!path) return 0;
    FILE* f = std::fopen(path, "rb");
    if (!f) return 0;
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        std::fclose(f);
        return 0;
    }
    const size_t size = static_cast<size_t>(st.st_size);
    unsigned char* data = size ? static_cast<unsigned char*>(std::malloc(size)) : nullptr;
    const int ok = size == 0 || (data && std::fread(data, 1, size, f) == size);
    std::fclose(f);
    if (!ok) {
        std::free(data);
        return 0;
    }
    out->data = data;
    out->size = size;
    out->handle = data;
    return 1;
}

void UnmapFile(MappedFile* file) {
    if (!file) return;
    std::free(file->handle);
    file->data = nullptr;
    file->size = 0;
    file->handle = nullptr;
}

void KeepLoadedLibraries() {}

void ExitOnDisplayLoss() {}

void ReleaseKeyboardGrab(const NativeWindow&) {}

void PlaceFullScreenWindow(const NativeWindow&) {}

int PicturesFolder(char* out, size_t size) {
    if (!out || size == 0) return 0;
    const int n = std::snprintf(out, size, ".");
    if (n < 0 || static_cast<size_t>(n) >= size) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}
