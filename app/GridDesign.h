#pragma once

#include "controls/common/PropertyBag.h"

#include <QString>

#include <array>

namespace brenlow {

/** One column of the download list as the window adds it at start-up. */
struct DownloadListColumn
{
    const char* Caption;
    double Width; // twips
    bool CaptionAndWidthOnly;
    int Alignment;
    int DataType;
    bool WordWrap;
};

/** Column numbers of the download list. */
namespace Col {
inline constexpr int VideoName = 0;
inline constexpr int VideoLink = 1;
inline constexpr int Picture = 2;
inline constexpr int ProfileList = 3; // 1 twip wide: the row's whole profile list
inline constexpr int Profile = 4;     // the chosen profile, edited with Combo1
inline constexpr int Progress = 5;
inline constexpr int Status = 6;
} // namespace Col

inline constexpr std::array<DownloadListColumn, 7> DownloadListColumns{{
    {"Video Name", 1500, true, 4, 0, false},
    {"Video Link", 1500, false, 4, 0, false},
    {"Picture", 1000, false, 4, 0, false},
    {"Profile", 1, false, 4, 0, true},
    // The status column is wider than "Complete" needs: a running row shows its speed and time
    // left there ("2.1 MiB/s, 0:35 left"); the profile column gives the room.
    {"Profile", 1900, true, 4, 0, false},
    {"Progress", 700, false, 5, 4, false},
    {"Status", 1300, false, 5, 0, false},
}};

/** The download list's stored design values, under the lower-case keys the window keeps them in. */
[[nodiscard]] PropertyBag ListGridDesign();

} // namespace brenlow
