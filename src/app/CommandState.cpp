#include "app/CommandState.h"

#include "resource.h"

CommandState CommandStateOf(int command, const SelectionFacts& facts) {
    const bool one = facts.selected == 1;
    const bool some = facts.selected >= 1;
    switch (command) {
    // One program at a time: its uninstaller has the user's attention.
    case IDC_UNINSTALL:
    case ID_PROPERTIES: return {one, false};
    case ID_OPEN_FOLDER: return {one && facts.folderKnown, false};
    case IDC_REMOVE: return {some, some && facts.selectionNeedsAdministrator};
    case ID_COPY_NAME: return {some, false};
    case ID_SELECT_ALL:
    case ID_EXPORT: return {facts.rows > 0, false};
    case ID_SELECT_RED: return {facts.anyPhantom, false};
    // Both change the machine: without the rights they ask for them.
    case ID_RESTORE_REMOVED:
    case IDC_UPGRADE: return {true, !facts.mayChangeMachine};
    default: return {true, false};
    }
}
