// Whether two paths of a command line name one file, compared as files on
// disk so that a link or another spelling is found out.
#pragma once

#include <sys/types.h>

#include <string>

namespace ljgas {

struct FileIdentity {
    enum class Kind { Missing, Regular, Folder, Other };
    Kind kind = Kind::Missing;
    dev_t device = 0;  // of what exists
    ino_t inode = 0;
    // Of what does not exist yet: where a write would create it, resolved.
    std::string place;
};

FileIdentity identifyFile(const std::string& path);

// The same file or folder on disk, or the same place for one not there yet.
// A FIFO, a device or a socket is never the same: any number of outputs may
// go to /dev/null.
bool sameFile(const FileIdentity& a, const FileIdentity& b);

}  // namespace ljgas
