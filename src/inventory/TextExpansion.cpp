#include "inventory/TextExpansion.h"

Expansion ExpandReferences(std::wstring_view text, const VariableLookup& lookup) {
    Expansion result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find(L'%', pos);
        const std::size_t close = open == std::wstring_view::npos ? open : text.find(L'%', open + 1);
        if (close == std::wstring_view::npos) {
            result.text.append(text.substr(pos));
            break;
        }
        result.text.append(text.substr(pos, open - pos));
        const std::wstring_view name = text.substr(open + 1, close - open - 1);
        if (std::optional<std::wstring> value = name.empty() ? std::nullopt : lookup(name)) {
            result.text += *value;
            pos = close + 1;
        } else {
            // As Windows does: the unknown reference stays, and its closing
            // % may open the next one.
            if (!name.empty()) result.unresolved = true;
            result.text.append(text.substr(open, close - open));
            pos = close;
        }
    }
    return result;
}
