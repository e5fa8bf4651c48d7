#pragma once
// What the whole-run benchmarks share: a host that answers the runner with the window's four
// command templates, and the median of a set of timings.

#include "runner/AVC.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace brenlow::bench {

/** The window's templates over plain values; the thumbnail goes to `app`/aaa.jpg. */
class ToolHost final : public AVCHost
{
public:
    QString app, link, folder, code = QStringLiteral("1"), name = QStringLiteral("video");
    QString TemplateText(int n) const override
    {
        switch (n) {
        case 1:
            return QStringLiteral(" -s --skip-download -i -F --no-playlist \"");
        case 2:
            return QStringLiteral(" -o \"") + app +
                   QStringLiteral("/aaa.jpg\" -i --write-thumbnail --no-playlist \"");
        case 3:
            return QStringLiteral(
                " -s --skip-download -i --no-playlist --get-filename -o \"%(uploader)s - %(title)s\" \"");
        case 4:
            return QStringLiteral(" -o \"");
        default:
            return QStringLiteral(".%(ext)s\" -i --no-playlist -f ");
        }
    }
    QString DownloadFolder() const override { return folder; }
    QString CurrentLink() const override { return link; }
    QString FormatCode() const override { return code; }
    QString DownloadLink() const override { return link; }
    QString DownloadName() const override { return name; }
    QString ApplicationFolder() const override { return app; }
};

/** Starts the window's run n (1 list, 2 thumbnail, 3 name, else download) as the window does. */
inline void StartStage(AVC& avc, int n)
{
    bool overwrite = true;
    switch (n) {
    case 1:
        avc.ConvertMedia2(overwrite);
        break;
    case 2:
        avc.ConvertMedia3(overwrite);
        break;
    case 3:
        avc.ConvertMedia4(overwrite);
        break;
    default:
        avc.ConvertMedia5(overwrite);
        break;
    }
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace brenlow::bench
