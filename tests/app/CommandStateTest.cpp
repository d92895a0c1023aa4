// The one rule the buttons, the context menu, the keys and the handlers ask.

#include "app/CommandState.h"

#include <gtest/gtest.h>

#include "resource.h"

namespace {

TEST(CommandState, EachCommandFollowsTheSelectionAndTheRights) {
    SelectionFacts none;
    none.rows = 3;
    SelectionFacts one = none;
    one.selected = 1;
    SelectionFacts oneWithFolder = one;
    oneWithFolder.folderKnown = true;
    SelectionFacts two = none;
    two.selected = 2;
    two.folderKnown = true;  // only ever true for one row
    SelectionFacts machineRows = two;
    machineRows.selectionNeedsAdministrator = true;
    SelectionFacts admin = machineRows;
    admin.mayChangeMachine = true;
    admin.selectionNeedsAdministrator = false;  // an administrator may change every list
    SelectionFacts oneMachineRow = one;
    oneMachineRow.selectionNeedsAdministrator = true;
    SelectionFacts empty;
    SelectionFacts red = none;
    red.anyPhantom = true;

    const CommandState off{false, false}, on{true, false}, shield{true, true};
    struct Case {
        const char* what;
        const SelectionFacts& facts;
        int command;
        CommandState state;
    };
    const Case cases[] = {
        {"nothing selected", none, IDC_UNINSTALL, off},
        {"nothing selected", none, IDC_REMOVE, off},
        {"nothing selected", none, ID_PROPERTIES, off},
        {"nothing selected", none, ID_COPY_NAME, off},
        {"nothing selected", none, ID_SELECT_ALL, on},
        {"one", one, IDC_UNINSTALL, on},
        {"one", one, ID_PROPERTIES, on},
        {"one", one, IDC_REMOVE, on},
        {"one without a folder", one, ID_OPEN_FOLDER, off},
        {"one with a folder", oneWithFolder, ID_OPEN_FOLDER, on},
        // Several uninstall in one go; Properties shows the focused row's.
        {"two", two, IDC_UNINSTALL, on},
        {"two", two, ID_PROPERTIES, on},
        // One row's uninstaller asks for the rights itself; several of the
        // machine's go to one elevated step.
        {"one machine row, standard user", oneMachineRow, IDC_UNINSTALL, on},
        {"machine rows, standard user", machineRows, IDC_UNINSTALL, shield},
        {"machine rows, administrator", admin, IDC_UNINSTALL, on},
        {"two", two, ID_OPEN_FOLDER, off},
        {"two", two, IDC_REMOVE, on},
        {"two", two, ID_COPY_NAME, on},
        {"machine rows, standard user", machineRows, IDC_REMOVE, shield},
        {"machine rows, administrator", admin, IDC_REMOVE, on},
        {"standard user", machineRows, ID_RESTORE_REMOVED, shield},
        {"standard user", machineRows, IDC_UPGRADE, shield},
        {"administrator", admin, ID_RESTORE_REMOVED, on},
        {"administrator", admin, IDC_UPGRADE, on},
        {"empty list", empty, ID_SELECT_ALL, off},
        {"no red row", none, ID_SELECT_RED, off},
        {"a red row", red, ID_SELECT_RED, on},
        {"always", empty, IDC_REFRESH, on},
        {"always", empty, IDC_HELP_BUTTON, on},
    };
    for (const Case& c : cases) EXPECT_EQ(CommandStateOf(c.command, c.facts), c.state) << c.what << ", command " << c.command;
}

}  // namespace
