#include "net/LineReader.h"

#include <utility>

LineReader::LineReader(ReadBlock read) : read_(std::move(read)), block_(kBlockBytes) {}

bool LineReader::Fill() {
    if (ended_) return false;
    const std::size_t got = read_(block_.data(), block_.size());
    pos_ = 0;
    // A callback that claims more than it was given room for is cut down
    // rather than trusted with an overread.
    size_ = got < block_.size() ? got : block_.size();
    if (size_ == 0) ended_ = true;
    return size_ != 0;
}

bool LineReader::ReadLine(std::string& line) {
    line.clear();
    for (std::size_t consumed = 0; consumed < kMaxEntryChars; ++consumed) {
        if (pos_ == size_ && !Fill()) {
            // Characters taken before the end make an entry even without a
            // line feed; carriage returns alone leave nothing to deliver.
            return !line.empty();
        }
        const char c = block_[pos_++];
        if (c != '\r') line += c;
        if (c == '\n') break;
    }
    // The limit was reached or a line ended: an entry, possibly empty when
    // it was built from carriage returns only.
    return true;
}

std::vector<std::string> LineReader::ReadAll() {
    std::vector<std::string> lines;
    std::string line;
    while (ReadLine(line)) lines.push_back(line);
    return lines;
}
