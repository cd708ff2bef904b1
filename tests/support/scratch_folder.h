#pragma once
// Temporary folders for file tests, optionally on a small tmpfs of their
// own so that "disk full" and "read-only file system" are real.
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

class ScratchFolder {
public:
    ScratchFolder() {
        std::string templ = (std::filesystem::temp_directory_path() / "vp_test_XXXXXX").string();
        // Without a folder every file() would name a path under "/".
        if (!::mkdtemp(templ.data())) throw std::runtime_error("cannot create a scratch folder");
        path_ = templ;
    }
    ~ScratchFolder() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Puts a tmpfs of the given size on the folder; false when mounting is
    // not permitted here (no root, or a container without the capability).
    bool mountTmpfs(const std::string& size) {
        const std::string options = "size=" + size;
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
        return mounted_;
    }
    // Turns the mounted tmpfs read-only.
    bool remountReadOnly() {
        return mounted_ && ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

    // Names of the entries in the folder (temporary files included).
    std::size_t entryCount() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path_)) ++n;
        return n;
    }

private:
    std::string path_;
    bool mounted_ = false;
};

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void spit(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}
