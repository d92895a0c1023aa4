#pragma once
// A failed WinINet call inside a fetch worker. It never leaves the worker:
// the worker's routine catches it and ends the fetch quietly.

#include <stdexcept>
#include <string>

class InternetFailure : public std::runtime_error {
public:
    explicit InternetFailure(unsigned long error)
        : std::runtime_error("internet failure " + std::to_string(error)), error_(error) {}

    unsigned long Error() const noexcept { return error_; }

private:
    unsigned long error_;
};
