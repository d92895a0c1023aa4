// The backup files' parser on any bytes, and the writer behind it: what
// the parser accepts, written again and read back, is the same keys with
// the same bytes.
#include "FuzzInput.h"
#include "registry/RegFileParser.h"

namespace {

bool SameKeys(const std::vector<reg_file::Key>& a, const std::vector<reg_file::Key>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (a[k].name != b[k].name || a[k].values.size() != b[k].values.size()) return false;
        for (std::size_t v = 0; v < a[k].values.size(); ++v) {
            const reg_file::Value& x = a[k].values[v];
            const reg_file::Value& y = b[k].values[v];
            if (x.name != y.name || x.type != y.type || x.data != y.data) return false;
        }
    }
    return true;
}

void RoundTrip(const reg_file::ParseResult& first) {
    if (!first.ok) {
        fuzz::Check(first.line > 0 && !first.reason.empty(), "a refusal names its line and reason");
        return;
    }
    const std::vector<std::uint8_t> bytes = reg_file::Utf16LeWithBom(reg_file::FileText(first.keys));
    const reg_file::ParseResult second = reg_file::ParseFile(bytes);
    fuzz::Check(second.ok, "what was read is written so that it reads back");
    fuzz::Check(SameKeys(first.keys, second.keys), "read back, written and read again: the same keys and bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RoundTrip(reg_file::ParseFile({data, size}));
    RoundTrip(reg_file::ParseText(fuzz::Utf16Of(data, size)));
    return 0;
}
