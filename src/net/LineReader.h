#pragma once
// Splits a response body into the text lines a page fetch delivers. The
// upgrade page parser relies on exactly these entries:
// - the body is taken in blocks of kBlockBytes from the read callback;
// - every carriage return is dropped, wherever it stands;
// - a line feed stays as the last character of its entry;
// - an entry is built from at most kMaxEntryChars characters of the body,
//   dropped carriage returns included, so a longer line arrives as several
//   entries and only the last of them ends in the line feed;
// - a last line without a line feed is delivered without one; an empty
//   body, or one that ends in carriage returns only, gives no further entry.
// Free of <windows.h>, so the rules are tested without a network.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class LineReader {
public:
    static constexpr std::size_t kBlockBytes = 4096;
    static constexpr std::size_t kMaxEntryChars = 1022;

    // Puts up to `capacity` bytes into `buffer` and returns their count; 0
    // means the end of the data. It may throw; the exception passes through
    // ReadLine and the reader stays usable for nothing but destruction.
    using ReadBlock = std::function<std::size_t(char* buffer, std::size_t capacity)>;

    explicit LineReader(ReadBlock read);

    // The next entry into `line`; false, with `line` empty, at the end.
    bool ReadLine(std::string& line);

    // Every entry up to the end, for callers that need no partial result.
    std::vector<std::string> ReadAll();

private:
    bool Fill();

    ReadBlock read_;
    std::vector<char> block_;
    std::size_t pos_ = 0;
    std::size_t size_ = 0;
    bool ended_ = false;
};
