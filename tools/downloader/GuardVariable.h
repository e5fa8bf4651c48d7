#pragma once

namespace brenlow::tool {

/** The environment variable that makes this program a guard; its value is the parent's process id. */
inline constexpr char kGuardVariable[] = "BRENLOW_TOOL_GUARD";

} // namespace brenlow::tool
