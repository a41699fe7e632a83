// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TOvcCustomTextFileViewer.h"

#include "widgets/TextFileLoader.h"

#include <algorithm>

TOvcCustomTextFileViewer::TOvcCustomTextFileViewer(QWidget* parent) : TOvcBaseViewer(parent) {}

void TOvcCustomTextFileViewer::SetFileName(const std::string& fileName)
{
    const bool wasOpen = IsOpen();
    Close();
    m_openName = fileName;
    m_fileName = fileName;
    std::transform(m_fileName.begin(), m_fileName.end(), m_fileName.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
    if (wasOpen)
        Open();
}

void TOvcCustomTextFileViewer::SetIsOpen(bool open)
{
    if (open == IsOpen())
        return;
    if (open)
        Open();
    else
        Close();
}

void TOvcCustomTextFileViewer::Open()
{
    if (m_openName.empty())
        return;
    BusyCursor busy(*this);
    auto lines = std::make_unique<TVwrStringList>();
    try {
        m_fileSize = LoadTextFile(m_openName, *lines);
    } catch (...) {
        m_fileSize = 0;
        Close();
        throw;
    }
    m_lines = std::move(lines);
    SetLineCount(m_lines->Count());
    viewport()->update();
}

std::vector<std::string> TOvcCustomTextFileViewer::WholeLines(int first, int last) const
{
    return ReadWholeLines(m_openName, m_fileSize, first, last);
}

void TOvcCustomTextFileViewer::Close()
{
    m_lines.reset();
    m_fileSize = 0;
    SetLineCount(0);
    viewport()->update();
}

const char* TOvcCustomTextFileViewer::GetLinePtr(int line, int& length)
{
    const TStringNode* node = m_lines ? m_lines->Node(line) : nullptr;
    if (!node) {
        length = 0;
        return "";
    }
    length = node->Length;
    return node->Chars();
}

int TOvcCustomTextFileViewer::ClampLine(int line)
{
    return std::clamp(line, 0, std::max(0, LineCount() - 1));
}
