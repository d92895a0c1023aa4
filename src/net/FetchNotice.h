#pragma once
// Shows a problem a fetch's worker meets while it runs (a file that cannot
// be made, no internet connection at all) with a caption, on the worker's
// thread: the front end decides how (the window with a message box, which
// the fetch waits out as it waits for the network). Empty: the problem is
// only in the fetch's failure text.

#include <functional>
#include <string>

using FetchNotice = std::function<void(const std::string& text, const std::string& caption)>;
