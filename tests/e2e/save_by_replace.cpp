// An editor's save on Windows: a new file moved over the old one (MoveFileEx with replace) or put
// in its place with ReplaceFile. Usage: save_by_replace move|replace FILE NEWFILE; exit status 0
// when the save succeeded, else 1 with the system's error code.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: save_by_replace move|replace FILE NEWFILE\n");
        return 2;
    }
    // As an editor names them: in full.
    char file[MAX_PATH];
    char newFile[MAX_PATH];
    if (GetFullPathNameA(argv[2], MAX_PATH, file, nullptr) == 0 ||
        GetFullPathNameA(argv[3], MAX_PATH, newFile, nullptr) == 0) {
        std::fprintf(stderr, "save_by_replace: bad path\n");
        return 2;
    }
    BOOL saved = FALSE;
    if (std::strcmp(argv[1], "move") == 0) {
        saved = MoveFileExA(newFile, file, MOVEFILE_REPLACE_EXISTING);
    } else if (std::strcmp(argv[1], "replace") == 0) {
        saved = ReplaceFileA(file, newFile, nullptr, 0, nullptr, nullptr);
    } else {
        std::fprintf(stderr, "save_by_replace: unknown way %s\n", argv[1]);
        return 2;
    }
    if (!saved) {
        std::fprintf(stderr, "save_by_replace %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    return 0;
}
