#include "PartLoader.h"

#include <dlfcn.h>
#include <cstddef>
#include <unistd.h>
#include <vector>

namespace brenlow::tool {
namespace {

/** The folder of this program, links resolved. */
std::string programFolder()
{
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    const std::string self(path, static_cast<size_t>(n));
    return self.substr(0, self.rfind('/'));
}

/** Asked of the loader, not left to dlopen's own search: a sanitizer's dlopen searches from the
 *  sanitizer's library, whose run path is not the program's. */
void* fromSearchPath(const char* file)
{
    void* self = ::dlopen(nullptr, RTLD_NOW);
    Dl_serinfo size{};
    if (!self || ::dlinfo(self, RTLD_DI_SERINFOSIZE, &size) != 0 || size.dls_size < sizeof(Dl_serinfo))
        return nullptr;
    std::vector<std::max_align_t> buffer(size.dls_size / sizeof(std::max_align_t) + 1);
    auto* info = reinterpret_cast<Dl_serinfo*>(buffer.data());
    *info = size;
    if (::dlinfo(self, RTLD_DI_SERINFOSIZE, info) != 0 || ::dlinfo(self, RTLD_DI_SERINFO, info) != 0)
        return nullptr;
    for (unsigned int i = 0; i < info->dls_cnt; ++i) {
        const std::string path = std::string(info->dls_serpath[i].dls_name) + '/' + file;
        if (void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
    }
    return nullptr;
}

} // namespace

void* LoadPart(const char* file, std::string* error)
{
    const std::string beside = programFolder() + '/' + kPartFolder + '/' + file;
    if (void* module = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL))
        return module;
    const char* reason = ::dlerror();
    const std::string first = reason ? reason : "not found";
    if (void* module = fromSearchPath(file))
        return module;
    if (error)
        *error = first;
    return nullptr;
}

} // namespace brenlow::tool
