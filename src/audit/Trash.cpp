// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/Trash.h"

#include "audit/TrashBatch.h"
#include "audit/TrashFolders.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

Trash::Trash(std::string homeTrash, uid_t uid) : m_homeTrash(std::move(homeTrash)), m_uid(uid)
{
    while (m_homeTrash.size() > 1 && m_homeTrash.back() == '/')
        m_homeTrash.pop_back();
}

Trash Trash::ForCurrentUser()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return Trash(std::string(dataHome) + "/Trash", ::getuid());
    std::string home;
    if (const char* env = std::getenv("HOME"); env && env[0] == '/')
        home = env;
    else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
        home = user->pw_dir;
    return Trash(home + "/.local/share/Trash", ::getuid());
}

int Trash::sync(std::string_view name, int fd, bool folder) const
{
    step(name);
    if (folder)
        return SyncFolder(fd);
    return ::fsync(fd) == 0 ? 0 : errno;
}

int Trash::syncFilesystem(std::string_view name, int pathFd) const
{
    step(name);
    return SyncFilesystem(pathFd);
}

TrashResult Trash::Check(const ListedFile& file) const
{
    return TrashBatch(*this, TrashBatch::Flush::EachFile).Check(file);
}

TrashResult Trash::Move(const ListedFile& file, const LocalDateTime& now) const
{
    TrashBatch batch(*this, TrashBatch::Flush::EachFile);
    if (TrashResult added = batch.Add(file, now); !added)
        return added;
    batch.Commit();
    return batch.Finish().front();
}
