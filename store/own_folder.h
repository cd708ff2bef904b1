#pragma once
// Whether the links in a folder can be trusted. In a folder that another
// user can write to, a link may have been planted to make this program
// read or overwrite a file of the user's (a link named like the settings
// file pointing at any file the user owns); there links are never followed.
#include <string>

// True when the folder belongs to the user (or to root) and no one else can
// write to it: neither others nor a group, unless that group is the user's
// own private group (named like the user, with no other members).
bool isUsersOwnFolder(const std::string& folder);

// The folder a path lies in ("." for a bare name).
std::string folderOfPath(const std::string& path);
