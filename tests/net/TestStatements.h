#pragma once
// The upgrade tests' signed statements (made at build time by
// make-test-statements.sh with the tests' key) and pages that carry them.

#include <fstream>
#include <sstream>
#include <string>

#include "ThisProgram.h"

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// The page lines of a statement file beside the tests, e.g. "statement-1.3.txt".
inline std::string StatementLines(const std::string& name) { return ReadWholeFile(BesideThisProgram(name)); }

// The statement's own line (what is signed).
inline std::string StatementText(const std::string& lines) {
    const std::size_t start = lines.find('\n') + 1;
    return lines.substr(start, lines.find('\n', start) - start);
}

// A page with `statementLines` and the address of its setup.
inline std::string StatementPage(const std::string& statementLines, const std::string& link,
                                 const std::string& before = {}) {
    return "<html><body>\n" + before + statementLines + "<!-- UPGRADE Statement Download Link\n" + link +
           "\n-->\n</body></html>\n";
}
