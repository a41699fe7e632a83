// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/TOvcBaseViewer.h"
#include "widgets/TVwrStringList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The viewer with its lines read from a text file. The file is read whole when the viewer opens and
// closed again at once; the lines shown are that copy.
class TOvcCustomTextFileViewer : public TOvcBaseViewer
{
public:
    explicit TOvcCustomTextFileViewer(QWidget* parent = nullptr);

    // The name as stored: upper-cased (a to z only). Empty by default.
    const std::string& FileName() const { return m_fileName; }
    // Closes the viewer, stores the name and reopens when it was open. Opening uses the name as
    // written, because Linux file names are case-sensitive; only the stored copy is upper-cased.
    void SetFileName(const std::string& fileName);

    bool IsOpen() const { return m_lines != nullptr; }
    // True loads the named file (nothing happens with an empty FileName); false discards the lines.
    // Throws EInOutError when the file cannot be opened or read; the viewer is then closed and blank.
    void SetIsOpen(bool open);

    std::int64_t FileSize() const { return m_fileSize; }
    // Lines first to last as the file holds them, not cut to what the view keeps of a long line.
    std::vector<std::string> WholeLines(int first, int last) const;
    std::size_t StoreBytes() const { return m_lines ? m_lines->AllocatedBytes() : 0; }

    const char* GetLinePtr(int line, int& length) override;
    int ClampLine(int line) override;

private:
    void Open();
    void Close();

    std::string m_fileName;
    std::string m_openName;
    std::int64_t m_fileSize = 0;
    std::unique_ptr<TVwrStringList> m_lines;
};
