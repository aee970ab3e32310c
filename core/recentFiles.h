#pragma once

#include <string>
#include <vector>

namespace marlo {

// The recent-file list: paths, newest first, at most `capacity` of them. Paths are
// compared as the file system compares them, letter case included: /a/x.vcf and
// /A/X.VCF are two files. An empty path is never an entry.
class RecentFiles {
public:
    explicit RecentFiles(int capacity);

    // Remove every entry equal to `name`.
    void Remove(const std::string& name);
    // Put `name` at the front (or at the end), dropping its duplicates first and the
    // oldest entries beyond the capacity afterwards; an empty name is ignored.
    void AddFirst(const std::string& name);
    void AddLast(const std::string& name);
    int Count() const { return static_cast<int>(names_.size()); }
    void Clear() { names_.clear(); }
    int Capacity() const { return capacity_; }

    // The full path at `index`, or the empty text past the end.
    std::string Item(int index) const;
    // What a menu shows for entry `index`: the file name alone when the entry lies in
    // `directory` (a trailing '/' aside), else the full path; the empty
    // text past the end.
    std::string DisplayName(int index, const std::string& directory) const;

private:
    void Trim();

    int capacity_;
    std::vector<std::string> names_;
};

} // namespace marlo
