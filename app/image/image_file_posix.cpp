#include "image_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int OpenFlags(ImageOpen mode) {
    switch (mode) {
    case ImageOpen::WriteKeep:
        return O_WRONLY | O_CREAT;
    case ImageOpen::WriteExisting:
        return O_WRONLY;
    case ImageOpen::ReadExisting:
    case ImageOpen::Watch:
        break;
    }
    return O_RDONLY;
}

} // namespace

bool OpenImage(ImageFile* file, const char* path, ImageOpen mode) {
    int fd = open(path, OpenFlags(mode) | O_CLOEXEC, 0666);
    if (fd < 0) {
        file->openError = errno;
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        file->openError = S_ISDIR(info.st_mode) ? EISDIR : errno;
        close(fd);
        return false;
    }
    file->fd = fd;
    return true;
}

std::string OpenErrorText(const ImageFile* file) {
    return std::strerror(file->openError);
}

bool CanCreateImage(const char* path) {
    struct stat info;
    if (lstat(path, &info) == 0 || errno != ENOENT) {
        return false;
    }
    std::string folder(path);
    const std::size_t slash = folder.find_last_of('/');
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           access(folder.c_str(), W_OK | X_OK) == 0;
}

void CloseImage(ImageFile* file) {
    if (file->fd >= 0) {
        close(file->fd);
        file->fd = -1;
    }
}

bool IsImageOpen(const ImageFile* file) {
    return file->fd >= 0;
}

std::uint64_t ImageSize(const ImageFile* file) {
    struct stat info;
    if (fstat(file->fd, &info) != 0 || info.st_size < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

std::uint32_t ReadImageAt(ImageFile* file, std::uint64_t offset, std::uint8_t* buffer, std::uint32_t size) {
    std::uint32_t done = 0;
    while (done < size) {
        ssize_t got = pread(file->fd, buffer + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<std::uint32_t>(got);
    }
    return done;
}

bool WriteImageAt(ImageFile* file, std::uint64_t offset, const std::uint8_t* buffer, std::uint32_t size) {
    std::uint32_t done = 0;
    while (done < size) {
        ssize_t put = pwrite(file->fd, buffer + done, size - done, static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<std::uint32_t>(put);
    }
    return true;
}

bool TruncateImage(ImageFile* file, std::uint64_t size) {
    int result;
    do {
        result = ftruncate(file->fd, static_cast<off_t>(size));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}
