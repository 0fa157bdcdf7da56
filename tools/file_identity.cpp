#include "tools/file_identity.h"

#include <sys/stat.h>

#include <filesystem>

#include "files/output_file.h"

namespace ljgas {

FileIdentity identifyFile(const std::string& path)
{
    FileIdentity identity;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        identity.kind = S_ISREG(info.st_mode)   ? FileIdentity::Kind::Regular
                        : S_ISDIR(info.st_mode) ? FileIdentity::Kind::Folder
                                                : FileIdentity::Kind::Other;
        identity.device = info.st_dev;
        identity.inode = info.st_ino;
        return identity;
    }
    // weakly_canonical leaves a relative name relative when no part of it
    // exists yet, so it is made absolute first; a path it cannot resolve is
    // compared as written.
    identity.place = path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(followLinks(path), error);
    if (!error) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
        if (!error)
            identity.place = resolved.string();
    }
    return identity;
}

bool sameFile(const FileIdentity& a, const FileIdentity& b)
{
    if (a.kind != b.kind || a.kind == FileIdentity::Kind::Other)
        return false;
    if (a.kind == FileIdentity::Kind::Missing)
        return a.place == b.place;
    return a.device == b.device && a.inode == b.inode;
}

}  // namespace ljgas
