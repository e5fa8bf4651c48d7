#pragma once

// The three runs the window starts for every video it adds (format list, thumbnail, name) are, for a
// page read moments before, answered from the page cache. For those the tool keeps its answers ready
// in the cache (Answers.h), and do.dll gives them itself, without Qt: a run then costs little more
// than starting a process. Everything else, and every answer whose grounds have changed, goes to the
// tool's core (do-parts/do-core.so). Plain C++ only: nothing here may bring Qt in.

#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace brenlow::tool::quick {

/** The answer of this run, printed and done (its exit code), or nothing when the core must answer.
 *  Nothing is printed or written before it is sure to answer. */
[[nodiscard]] std::optional<int> Answer(int argc, char* argv[]);

/** For tests (BRENLOW_TOOL_RECORD_DIR): the run's arguments, in a file of their own whose name sorts
 *  by the time of the run, written under a temporary name first so a reader never sees half of it. */
void RecordArguments(int argc, char* argv[]);
/** For benchmarks (BRENLOW_TOOL_TIMING_FILE): a line with the run's time since start
 *  (CLOCK_MONOTONIC), its peak memory and its children's largest, in KiB. */
void RecordTime(const timespec& start, long childrenPeakKiB);

/** SHA-256 of bytes as 64 lower-case hex digits: the page cache's key of a link. */
[[nodiscard]] std::string Sha256Hex(std::string_view bytes);

/** A page's fields as the name shows them: each value already on one line, "NA" where empty. */
using Fields = std::map<std::string, std::string, std::less<>>;

/** The name line of an output template filled from a page's kept fields, as the core fills it (a
 *  field the page lacks reads "NA", control characters become blanks). Nothing for a template the
 *  core must read itself: one that is not plain printable ASCII. */
[[nodiscard]] std::optional<std::string> FillName(std::string_view tpl, const Fields& fields);

} // namespace brenlow::tool::quick
