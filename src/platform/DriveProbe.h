// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// Finds the drive roots a scan walks: directory roots ending in "/", in byte order.
class DriveProbe
{
public:
    virtual ~DriveProbe() = default;
    virtual std::vector<std::string> probe() = 0;
};

// The mounted filesystems of /proc/self/mountinfo that can be entered; pseudo filesystems left out.
class MountInfoDriveProbe : public DriveProbe
{
public:
    std::vector<std::string> probe() override;
};

// Answers with a fixed list, for tests.
class FixedDriveProbe : public DriveProbe
{
public:
    explicit FixedDriveProbe(std::vector<std::string> roots) : m_roots(std::move(roots)) {}
    std::vector<std::string> probe() override { return m_roots; }

private:
    std::vector<std::string> m_roots;
};
