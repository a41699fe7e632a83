// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/UniqueFd.h"

#include <string>

// The temporary file a printed document is drawn into until it is complete, so that a run that fails,
// is aborted or is killed leaves nothing behind. The spool never has a name while it is drawn: it is
// made nameless (O_TMPFILE, or unlinked at once where the filesystem cannot do that), with mode 0600,
// and is reached through this process's descriptor, path(). A document for a file gets the file's name at the
// end in one rename; one for a print queue is handed to the queue by path(). Closing the spool, or the
// end of the process however it comes, frees it.
class PrintSpool
{
public:
    // Makes a new, empty spool for target: a file path (bytes), or empty for a print queue. A target
    // that is a symbolic link stands for the file the link leads to. The spool is made in that file's
    // folder, or in the temporary folder for a queue. False, with errno set, when the folder does not
    // allow it or the file is there but is not a regular file. A spool already open is discarded first.
    bool open(const std::string& target);
    bool isOpen() const { return static_cast<bool>(m_fd); }
    // "/proc/PID/fd/N": a name by which this process (or a helper of the same user) opens the spool
    // while it is open.
    std::string path() const;
    // The file the spool will replace, its links followed; empty for a print queue.
    const std::string& target() const { return m_target; }

    // The last bytes of what was drawn into the spool, at most count of them.
    std::string tail(std::size_t count) const;
    // Gives the spool its target's name, with the target's permissions when it exists, else those of
    // a new file, on the disk before the rename. False (errno set) when there is no spool or no
    // target, or when that fails: the target is then as it was. Either way the spool is closed.
    bool commit();
    // Closes the spool, which frees it.
    void discard();

private:
    UniqueFd m_fd;
    bool m_linkable = false; // made by O_TMPFILE, so a name can be given to it
    std::string m_target;
};
