#include "lazy/lazy_library.h"

#include <cstdlib>
#include <dlfcn.h>

namespace lazy {

bool LazyLibrary::load() {
    const std::lock_guard lock(mutex_);
    if (handle_) return true;
    const char* chosen = std::getenv(overrideVariable_);
    file_ = chosen && *chosen ? chosen : soname_;
    // Local: the library's symbols stay out of the global scope, so the
    // lookups of everything loaded later do not search it.
    handle_ = ::dlopen(file_.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (handle_) {
        error_.clear();
        return true;
    }
    const char* why = ::dlerror();
    error_ = why ? why : file_;
    return false;
}

std::string LazyLibrary::error() const {
    const std::lock_guard lock(mutex_);
    return error_;
}

void* LazyLibrary::symbol(const char* name) {
    if (!load()) {
        const std::lock_guard lock(mutex_);
        throw MissingLibrary("ライブラリ " + file_ + " を開けません。パッケージ " + package_ +
                             " をインストールして下さい（" + error_ + "）");
    }
    // A function pointer can be null only for a missing symbol here.
    void* address = ::dlsym(handle_, name);
    if (!address) {
        const char* why = ::dlerror();
        throw MissingLibrary("ライブラリ " + file_ + " に " + name + " がありません。パッケージ " + package_ +
                             " を入れ直して下さい（" + (why ? why : "not found") + "）");
    }
    return address;
}

}  // namespace lazy
