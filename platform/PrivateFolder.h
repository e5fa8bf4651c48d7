#pragma once

#include <QString>

#include <memory>
#include <sys/types.h>

namespace brenlow {

/** A folder only this user can enter, made for one window's own files and removed with it. It lies
 *  under the user's runtime folder when that is a safe one, else under the temporary folder, and
 *  its name tells which process (window) made it, so that folders a killed window left behind can
 *  be found and removed at the next start. Removal never follows a link: what is removed is the
 *  folder that was made, or nothing. */
class PrivateFolder final
{
public:
    /** Makes a fresh folder; null when no base folder can hold one. */
    [[nodiscard]] static std::unique_ptr<PrivateFolder> Create();
    /** Removes the folder and what is in it, unless something else now stands in its place. */
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    /** Absolute path, without a trailing "/". */
    [[nodiscard]] QString Path() const { return m_path; }

    /** $XDG_RUNTIME_DIR when it is an absolute path to a folder owned by this user with mode 0700;
     *  else empty. */
    [[nodiscard]] static QString RuntimeFolder();
    /** The folders a private folder is made in, the preferred first. */
    [[nodiscard]] static QStringList Bases();
    /** Removes the private folders of this user, in every base, whose window is no longer running.
     *  Returns how many were removed. */
    static int RemoveLeftovers();
    /** Removes the folder name inside parent and all it holds without following any link; when
     *  expectedDevice/expectedInode are given, only if the folder is still that one. False when
     *  it was not (wholly) removed. */
    static bool RemoveTree(const QString& parent, const QString& name, dev_t expectedDevice = 0,
                           ino_t expectedInode = 0);

    /** Name prefix of every private folder. */
    static constexpr const char* Prefix = "brenlow-";

private:
    PrivateFolder() = default;

    QString m_base;
    QString m_name;
    QString m_path;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

} // namespace brenlow
