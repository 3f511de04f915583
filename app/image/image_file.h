#pragma once
#include <cstdint>
#include <string>

struct ImageFile;
void CloseImage(ImageFile* file);

// An image file on disk, opened in the ways the operations need: bytes at offsets, whatever
// they hold. Closed when it goes out of scope.
struct ImageFile {
#ifdef _WIN32
    void* handle = nullptr;
#else
    int fd = -1;
#endif
    // The system's error code of the last open that failed (errno, or GetLastError on Windows).
    int openError = 0;
    ImageFile() = default;
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;
    ~ImageFile() {
        CloseImage(this);
    }
};

enum class ImageOpen {
    // An existing file, read only, others may read it too (the source of a write).
    ReadExisting,
    // Write only, not shared, created when missing, contents kept (the output of a read).
    WriteKeep,
    // An existing file, write only, not shared, contents kept (the output of a read that is there).
    WriteExisting,
    // An existing file, read only, others may read, write, rename and delete it (a file being
    // edited, opened only while it is read).
    Watch,
};

bool OpenImage(ImageFile* file, const char* path, ImageOpen mode);

// The system's words for why the last open failed ("No such file or directory", "The system
// cannot find the file specified.").
std::string OpenErrorText(const ImageFile* file);

// Whether `path` names nothing yet and a file could be made there (its folder exists), so that a
// read can make its output only once it has the bytes for it.
bool CanCreateImage(const char* path);
bool IsImageOpen(const ImageFile* file);

// The file's length in bytes.
std::uint64_t ImageSize(const ImageFile* file);

// Reads up to `size` bytes from `offset`; returns how many arrived (fewer at the end of the
// file or on an error; the rest of the buffer is left as it was).
std::uint32_t ReadImageAt(ImageFile* file, std::uint64_t offset, std::uint8_t* buffer, std::uint32_t size);

// Writes all `size` bytes at `offset`, extending the file when needed; false unless every byte
// was written.
bool WriteImageAt(ImageFile* file, std::uint64_t offset, const std::uint8_t* buffer, std::uint32_t size);

// Cuts the file off after `size` bytes; false when that failed.
bool TruncateImage(ImageFile* file, std::uint64_t size);
