// SPDX-License-Identifier: GPL-3.0-or-later
#include "WriteReport.h"

#include "scan/ReportRunner.h"
#include "scan/ThreadStart.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace {

// A block ends after 8,192 rows or 4 MiB of text, so rows of any length keep the memory bounded.
constexpr int kBlockRows = 8192;
constexpr size_t kBlockBytes = 4 << 20;

} // namespace

WrittenReport WriteReport(std::FILE* out, const ResultTable& table, const ReportFormatter& formatter,
                          ScanMode mode, const std::string& outcome, const std::atomic<bool>* stop,
                          const std::function<void()>& afterWrite)
{
    WrittenReport result{true, false, outcome};
    const auto compose = [&](int first, int rows) {
        std::string text;
        int row = first;
        for (; row < first + rows && row <= table.LastRow() && text.size() < kBlockBytes; ++row)
            formatter.appendRows(row, row + 1, text);
        return std::make_pair(std::move(text), row);
    };
    const auto write = [&](const std::string& text) {
        result.ok = result.ok && std::fwrite(text.data(), 1, text.size(), out) == text.size();
        if (result.ok && afterWrite)
            afterWrite();
        return result.ok;
    };
    const auto stopped = [stop] { return stop && stop->load(); };

    // Blocks are composed two at a time on two threads and written in order; the second starts where
    // a first block of the last one's density would end.
    int next = 0; // the first row not written yet
    write(formatter.head());
    for (int rows = kBlockRows; result.ok && next <= table.LastRow() && !stopped();) {
        const int first = next;
        std::pair<std::string, int> second;
        std::thread helper;
        const auto composeSecond = [&] { second = compose(first + rows, rows); };
        const bool parallel = first + rows <= table.LastRow() && TryStartThread(helper, composeSecond);
        const auto [text, end] = compose(first, rows);
        if (write(text))
            next = end;
        if (helper.joinable())
            helper.join();
        if (parallel && end == first + rows && !stopped() && write(second.first))
            next = second.second;
        rows =
            std::clamp(static_cast<int>((end - first) * (kBlockBytes / 2) / std::max<size_t>(text.size(), 1)),
                       1, kBlockRows);
    }

    if (result.ok && next <= table.LastRow()) {
        // Stopped: a group of duplicates is never cut.
        int groupEnd = next;
        while (mode == ScanMode::Duplicates && groupEnd <= table.LastRow() && !table.isSeparator(groupEnd))
            ++groupEnd;
        while (result.ok && next < groupEnd) {
            const auto [text, end] = compose(next, groupEnd - next);
            if (write(text))
                next = end;
        }
        result.stopped = true;
        result.outcome = StoppedText(
            mode, mode == ScanMode::Duplicates ? (next > 0 ? formatter.groupOf(next - 1) : 0) : next);
    }
    if (result.ok)
        write(formatter.tail(result.outcome));
    return result;
}
