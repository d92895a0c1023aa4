#pragma once
// The one rule for what each of the main window's commands may do now: the
// buttons, the list's context menu, the accelerators and the handlers
// themselves all ask it, so no two of them can disagree. Pure: it reads
// facts about the selection, never the window.

#include <cstddef>

// What the rule needs to know of the list and the account.
struct SelectionFacts {
    std::size_t rows = 0;      // rows in the list
    std::size_t selected = 0;  // of them selected
    bool anyPhantom = false;   // some row is red
    // The one selected row's entry names its install folder.
    bool folderKnown = false;
    // Some selected entry is in a list this account may not change.
    bool selectionNeedsAdministrator = false;
    // The program runs with the rights to change the machine.
    bool mayChangeMachine = false;
};

struct CommandState {
    bool available = false;
    // It will ask for administrator rights (the shield is shown).
    bool needsElevation = false;
    bool operator==(const CommandState&) const = default;
};

// The state of the command with this id (a control or menu id of the main
// window); commands the rule does not know are always available.
CommandState CommandStateOf(int command, const SelectionFacts& facts);
