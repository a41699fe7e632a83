// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The temporary file a printed document is drawn into until it is complete, so that a run that fails
// or is aborted leaves nothing behind. For a document that goes to a file the spool lies beside that
// file, hidden, and finishing it is one rename over the target; for a print queue it lies in the
// temporary folder and is handed to the queue whole. Discarded at destruction unless committed.
class PrintSpool
{
public:
    PrintSpool() = default;
    ~PrintSpool() { discard(); }
    PrintSpool(const PrintSpool&) = delete;
    PrintSpool& operator=(const PrintSpool&) = delete;

    // Makes a new, empty spool file for target (a file path, or empty for a print queue) whose name
    // ends in suffix. It takes the target's permissions when the target exists, else the usual ones
    // for a new file. False, with errno set, when the folder does not allow it. A spool already open
    // is discarded first.
    bool open(const std::string& target, const std::string& suffix);
    bool isOpen() const { return !m_path.empty(); }
    const std::string& path() const { return m_path; }
    const std::string& target() const { return m_target; }

    // Renames the spool over its target file; false (errno set) when there is no spool or no target
    // file, or the rename fails; the spool is then discarded.
    bool commit();
    // Removes the spool file, if any.
    void discard();

private:
    std::string m_path;
    std::string m_target;
};
