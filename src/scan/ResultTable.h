// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"
#include "scan/RowForms.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// A file's identity: two paths name the same file (or directory) when these are equal. Device and
// inode 0 stand for "not known".
struct FileId
{
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileId&) const = default;
};
using DirectoryId = FileId;

// A directory that holds found files, or one of their ancestors. A root keeps its whole path
// (ending in "/") as its name; every other directory keeps its parent and its bare name, so that
// memory grows with the number of directories, not with their depth.
struct DirectoryRecord
{
    static constexpr std::uint32_t kNoParent = 0xFFFFFFFF;
    std::uint32_t parent = kNoParent;
    std::uint32_t depth = 0; // 0 for a root
    std::string name;
    DirectoryId id; // as the walk found it
};

// One file a scan accepted. Its full path is its directory's path followed by its name: a table of
// a million files keeps each directory's name once (ResultTable::path).
struct entrytype
{
    std::string key;       // the bare name with a-z upper-cased; written by duplicates scans only
    std::string name;      // the bare name, the bytes as the filesystem spells them
    std::int64_t size = 0; // bytes
    std::int64_t time = 0; // last write, whole seconds since the epoch
    // The directory the walk found the file in: an index into the table's directories.
    std::uint32_t directory = 0;
    // A duplicates scan reads size and time only for names that turn out to repeat; until then
    // this is false and size and time mean nothing.
    bool measured = true;
};

// Which text form the rows of the current report take.
enum class RowForm
{
    Standard,
    ZeroLength,
};

// The program's store of scan results: the entries a scan found and the rows of the report built
// from them. Row texts are composed from their entry when asked for, so a report of a million files
// holds each path once; the texts are the same as if they had been stored, since the locale is fixed.
class ResultTable
{
public:
    static constexpr int kInitialCapacity = 500001;

    explicit ResultTable(LocaleSettings locale = LocaleSettings::usEnglish());

    // Entry layer.
    std::vector<entrytype> EntryTable;
    int LastEntry() const { return static_cast<int>(EntryTable.size()) - 1; }
    void appendEntry(entrytype entry) { EntryTable.push_back(std::move(entry)); }

    // Sorts slots L to R (inclusive) ascending on the name key, comparing keys as unsigned bytes.
    // Median-of-three quicksort: entries with equal keys end in the order this procedure leaves
    // them, which the report shows. The result is that of the plain recursive procedure, also when
    // the two parts of the first partition are sorted on two threads; pending parts wait on a list
    // of their own, not on the call stack, so no input can exhaust the stack.
    // Parts are sorted left first, so the sorted slots grow from L. When stopRequested answers true
    // (it is asked before every partition step, possibly from two threads) the sort ends early.
    // Returns the end of the leading slots that are in their final order: every slot from L up to
    // it holds the key the whole sort would leave there, and every key after it is not smaller.
    // R + 1 when the sort ran to its end.
    int SortEntriesByKey(int L, int R, unsigned threads = 1, const std::function<bool()>& stopRequested = {});
    // Keeps the slots before end that a stopped sort left in their final order and drops the rest;
    // the run of equal keys that ends at end goes too when a dropped slot holds its key, so every
    // key kept is kept with all of its slots. With end past the last slot, keeps everything.
    void KeepCompleteKeys(int end);
    void SwapEntries(int a, int b) { std::swap(EntryTable[a], EntryTable[b]); }

    // Row layer.
    int LastRow() const { return static_cast<int>(m_rowEntries.size()) - 1; }
    // The row's text: empty for a separator, " (Deleted)" appended once its file was deleted. With a
    // content class, the standard form carries its column (StandardRow).
    std::string RowTexts(int row, std::optional<std::string_view> contentClass = {}) const;
    // The path of the file behind a row; empty for a separator row.
    std::string RowPaths(int row) const;
    bool isSeparator(int row) const { return m_rowEntries[row] < 0; }
    // The entry a row shows, or -1 for a separator.
    int rowEntry(int row) const { return m_rowEntries[row]; }
    std::vector<std::uint8_t> DeletedFlags;
    void ClearDeletedFlags();
    void markDeleted(int row) { DeletedFlags[row] = 1; }

    void addRow(int entry);
    void addSeparatorRow() { addRow(-1); }
    void setRowForm(RowForm form) { m_rowForm = form; }
    RowForm rowForm() const { return m_rowForm; }

    // Empties both layers for a new report: no entries, no rows, no deleted marks.
    void reset();

    const LocaleSettings& locale() const { return m_locale; }

    // Directories of this report's files and their ancestors.
    size_t directoryCount() const { return m_directories.size(); }
    // A root, or any directory known by its whole path (ending in "/").
    std::uint32_t addDirectory(std::string path, DirectoryId id = {});
    // A directory inside parent, by its bare name.
    std::uint32_t addDirectory(std::uint32_t parent, std::string name, DirectoryId id);
    const DirectoryRecord& directory(std::uint32_t directory) const { return m_directories[directory]; }
    // The directory's path, built from its ancestors' names, ending in "/".
    std::string directoryPath(std::uint32_t directory) const;
    // The full path of an entry.
    std::string path(int entry) const;

private:
    // One partition step of the sort: puts the median-of-three pivot in its final slot and returns
    // that slot, or -1 when the range (of three slots or fewer) is already sorted.
    int PartitionEntries(int L, int R);
    int SortLeftFirst(int L, int R, const std::function<bool()>& stopRequested);

    std::vector<DirectoryRecord> m_directories;
    LocaleSettings m_locale;
    std::vector<int> m_rowEntries;
    RowForm m_rowForm = RowForm::Standard;
};
