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
    BOOL saved = FALSE;
    if (std::strcmp(argv[1], "move") == 0) {
        saved = MoveFileExA(argv[3], argv[2], MOVEFILE_REPLACE_EXISTING);
    } else if (std::strcmp(argv[1], "replace") == 0) {
        saved = ReplaceFileA(argv[2], argv[3], nullptr, 0, nullptr, nullptr);
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
