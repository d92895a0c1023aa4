#pragma once
// Where one refresh of the main window's list spent its time, for whoever
// wants to know (the refresh benchmark); the dialog times nothing without
// an observer.

// The phases of one RefreshList, in milliseconds.
struct RefreshTimings {
    double enumeration = 0;
    double phantomTests = 0;
    double rows = 0;   // sorting the row model and inserting the rows
    double icons = 0;  // handing the icon jobs to the loader
};

class RefreshObserver {
public:
    // Called at the end of every RefreshList.
    virtual void RefreshTimed(const RefreshTimings& timings) = 0;

protected:
    ~RefreshObserver() = default;
};
