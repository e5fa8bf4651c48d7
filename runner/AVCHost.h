#pragma once

#include <QString>

/** What the runner reads from its owner at the moment of each run call, never cached:
 *  the five command templates, the download folder and the four project-wide values.
 *  The main window implements it; tests implement it too. */
class AVCHost
{
public:
    virtual ~AVCHost() = default;

    /** Text of the template box txt1 .. txt5 (n = 1..5). */
    [[nodiscard]] virtual QString TemplateText(int n) const = 0;
    /** Text of Text1, the download folder (ends with "/"). */
    [[nodiscard]] virtual QString DownloadFolder() const = 0;
    [[nodiscard]] virtual QString CurrentLink() const = 0;
    [[nodiscard]] virtual QString FormatCode() const = 0;
    [[nodiscard]] virtual QString DownloadLink() const = 0;
    [[nodiscard]] virtual QString DownloadName() const = 0;
    /** The folder holding the program and do.dll, without a trailing "/". */
    [[nodiscard]] virtual QString ApplicationFolder() const = 0;
    /** The folder the thumbnail template names, without a trailing "/"; the application folder
     *  unless the owner keeps the thumbnail elsewhere. */
    [[nodiscard]] virtual QString ThumbnailFolder() const { return ApplicationFolder(); }
};
