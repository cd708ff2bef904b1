#include "lazy/lazy_library.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace lazy {

namespace {
[[noreturn]] void cannotContinue(const char* what, const std::string& why) {
    std::fprintf(stderr, "vamu_Pelican: %s: %s\n", what, why.c_str());
    std::fflush(stderr);
    // The dynamic loader's own status for a program whose library is missing.
    std::_Exit(127);
}
}  // namespace

bool LazyLibrary::load() {
    std::call_once(once_, [this] {
        // Local: the library's symbols stay out of the global scope, so the
        // lookups of everything loaded later do not search it.
        handle_ = ::dlopen(soname_, RTLD_LAZY | RTLD_LOCAL);
        if (!handle_) {
            const char* why = ::dlerror();
            error_ = why ? why : soname_;
        }
    });
    return handle_ != nullptr;
}

void* LazyLibrary::symbol(const char* name) {
    if (!load()) cannotContinue(soname_, error_);
    // A function pointer can be null only for a missing symbol here.
    void* address = ::dlsym(handle_, name);
    if (!address) {
        const char* why = ::dlerror();
        cannotContinue(name, why ? why : "not found");
    }
    return address;
}

}  // namespace lazy
