#include "app/CommandState.h"

#include "resource.h"

CommandState CommandStateOf(int command, const SelectionFacts& facts) {
    const bool one = facts.selected == 1;
    const bool some = facts.selected >= 1;
    switch (command) {
    // Several rows uninstall one after another; those of the machine's
    // lists that run quietly then go to one elevated step.
    case IDC_UNINSTALL: return {some, facts.selected > 1 && facts.selectionNeedsAdministrator};
    // Of several rows, the focused one's.
    case ID_PROPERTIES: return {some, false};
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
