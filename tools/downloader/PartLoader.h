#pragma once

// Finds and loads a module of the tool from its folder next to do.dll. Plain C++: do.dll's own start
// uses it before any Qt is loaded.

#include <string>

namespace brenlow::tool {

/** Where the modules lie, from do.dll's folder: a folder of their own, since a library right in a
 *  folder under /usr/lib would have the package run ldconfig for it. */
inline constexpr char kPartFolder[] = "do-parts";

/** The module `file` (RTLD_NOW, RTLD_LOCAL) from do.dll's do-parts folder, else from the folders
 *  the loader searches for this program's libraries (a copy of the build's do.dll elsewhere finds
 *  the build's modules through its run path). Nothing, with the loader's reason in error, when
 *  neither has it. */
[[nodiscard]] void* LoadPart(const char* file, std::string* error);

} // namespace brenlow::tool
