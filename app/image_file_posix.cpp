#include "image_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int OpenFlags(ImageOpen mode) {
    switch (mode) {
    case ImageOpen::ReadOrCreate:
        return O_RDONLY | O_CREAT;
    case ImageOpen::WriteKeep:
        return O_WRONLY | O_CREAT;
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
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return false;
    }
    file->fd = fd;
    return true;
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
