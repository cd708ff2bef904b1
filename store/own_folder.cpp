#include "store/own_folder.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace {

// A group of the user's alone: the user's primary group, of the user's
// name, without other members.
bool isPrivateGroup(gid_t gid) {
    const passwd* user = ::getpwuid(::geteuid());
    if (!user || user->pw_gid != gid) return false;
    const group* g = ::getgrgid(gid);
    if (!g || std::strcmp(g->gr_name, user->pw_name) != 0) return false;
    for (char** member = g->gr_mem; member && *member; ++member)
        if (std::strcmp(*member, user->pw_name) != 0) return false;
    return true;
}

}  // namespace

bool isUsersOwnFolder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (st.st_uid != ::geteuid() && st.st_uid != 0) return false;
    if ((st.st_mode & S_IWOTH) != 0) return false;
    return (st.st_mode & S_IWGRP) == 0 || isPrivateGroup(st.st_gid);
}

std::string folderOfPath(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}
