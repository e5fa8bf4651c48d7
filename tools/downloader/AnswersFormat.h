#pragma once

// The file of answers kept ready for a link, written by the core (Answers.h) and read by do.dll
// without Qt (QuickAnswer.h). Plain C++ only.
//
// A first line "brenlow-answers 1", then records: a tag, a blank, the length of the record's bytes
// in decimal, a line end, the bytes, a line end. A reader that meets a tag it does not know skips it.

namespace brenlow::tool::answers {

inline constexpr char kHeader[] = "brenlow-answers 1\n";
inline constexpr char kSuffix[] = ".answers";

inline constexpr char kLink[] = "link";       ///< the link the answers are for (UTF-8)
inline constexpr char kPage[] = "page";       ///< "SIZE SECONDS NANOSECONDS" of the page file they came from
inline constexpr char kAddress[] = "address"; ///< where the page's thumbnail comes from (http or https)
inline constexpr char kCodes[] = "codes";     ///< the code file's bytes the format list was made with
inline constexpr char kList[] = "list";       ///< the format-list run's whole output
inline constexpr char kField[] = "field";     ///< a name field: its name, a NUL byte, its value

/** How long a page read with its list answers the format list, and any page the thumbnail and name. */
inline constexpr long kListedAgeSeconds = 30 * 60;
inline constexpr long kMetadataAgeSeconds = 6 * 3600;

} // namespace brenlow::tool::answers
