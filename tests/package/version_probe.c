/* Prints the version resource of each file named, as Windows itself reads
   it (GetFileVersionInfo, VerQueryValue), one line per file:
     FILE|FILE-VERSION|dll or app|ProductName|OriginalFilename|FileDescription
   Exits 1 when a file has no readable version resource. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

/* A text of the resource's first language, or "" when it has none. */
static const char *text(void *info, const WORD *translation, const char *name) {
    char path[96];
    void *value;
    UINT length;
    snprintf(path, sizeof(path), "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1],
             name);
    return VerQueryValueA(info, path, &value, &length) && length ? (const char *)value : "";
}

static int print_version(const char *file, void *info) {
    VS_FIXEDFILEINFO *fixed;
    WORD *translation;
    UINT length;
    if (!VerQueryValueA(info, "\\", (void **)&fixed, &length) ||
        fixed->dwSignature != VS_FFI_SIGNATURE ||
        !VerQueryValueA(info, "\\VarFileInfo\\Translation", (void **)&translation, &length))
        return 1;
    printf("%s|%u.%u.%u.%u|%s|%s|%s|%s\n", file, (unsigned)HIWORD(fixed->dwFileVersionMS),
           (unsigned)LOWORD(fixed->dwFileVersionMS), (unsigned)HIWORD(fixed->dwFileVersionLS),
           (unsigned)LOWORD(fixed->dwFileVersionLS), fixed->dwFileType == VFT_DLL ? "dll" : "app",
           text(info, translation, "ProductName"), text(info, translation, "OriginalFilename"),
           text(info, translation, "FileDescription"));
    return 0;
}

int main(int argc, char **argv) {
    int i, failures = 0;
    for (i = 1; i < argc; ++i) {
        DWORD size = GetFileVersionInfoSizeA(argv[i], NULL);
        void *info = size ? malloc(size) : NULL;
        if (!info || !GetFileVersionInfoA(argv[i], 0, size, info) || print_version(argv[i], info)) {
            printf("%s|no version resource\n", argv[i]);
            ++failures;
        }
        free(info);
    }
    return failures ? 1 : 0;
}
