#include "inventory/EntrySelection.h"

#include "BuildConfig.h"
#include "registry/RegistryExport.h"

// A 32-bit view key on 64-bit Windows is under Wow6432Node, whichever build
// reads it.
std::wstring EntryKeyName(const ListRef& list, const std::wstring& keyName) {
    return RegistryExport::NameInFile(SourceRoot(list.source), SourceView(list.source),
                                      ListKeyPath(list, ProgramInventory::kUninstallPath)) +
           L"\\" + keyName;
}

std::wstring InvalidSelectionText(const std::wstring& rowText) {
    return L"Invalid program selected: " + rowText + L"\nPlease contact " ZALTROW_MAKER_HOST " for support.";
}

std::wstring RemoveQuestionText(const std::wstring& displayName) {
    return displayName + L"\n\nDo you wish to remove this entry from the Add/Remove Programs list?";
}

std::wstring RemovalFailedText(const ListRef& list, const std::wstring& keyName, const std::wstring& reason) {
    return L"There was a problem removing the program entry\n" + EntryKeyName(list, keyName) + L"\n" + reason;
}

std::wstring NoLongerListedText(const std::wstring& displayName) {
    return displayName + L" is no longer in the list.";
}

std::wstring RemovedText(const std::wstring& displayName) {
    return displayName + L" was successfully removed from the Add/Remove Programs list.";
}

namespace {

std::wstring RestoreHint(bool several) {
    return std::wstring(L"To bring ") + (several ? L"them" : L"it") +
           L" back, choose \"Restore removed entries\x2026\" from the list's context menu.";
}

// A count in words that fit it: "1 entry", "3 entries".
std::wstring Entries(std::size_t count) {
    return std::to_wstring(count) + (count == 1 ? L" entry" : L" entries");
}

}  // namespace

std::wstring RemovedText(const std::wstring& displayName, const std::wstring& backupFile) {
    return RemovedText(displayName) + L"\n\nIts backup was saved as\n" + backupFile + L"\n\n" + RestoreHint(false);
}

std::wstring RemoveQuestionText(const std::vector<std::wstring>& displayNames) {
    if (displayNames.size() == 1) return RemoveQuestionText(displayNames.front());
    std::wstring text = L"Do you wish to remove these " + Entries(displayNames.size()) +
                        L" from the Add/Remove Programs list?\n";
    return text + ShortenedList(displayNames, L"\n");
}

std::wstring ShortenedList(const std::vector<std::wstring>& lines, std::wstring_view before) {
    std::wstring text;
    for (std::size_t i = 0; i < lines.size() && i < kListedNames; ++i) text.append(before).append(lines[i]);
    if (lines.size() > kListedNames)
        text.append(before).append(L"and " + std::to_wstring(lines.size() - kListedNames) + L" more");
    return text;
}

RemoveQuestion RemoveQuestionOf(const std::vector<RemovalCandidate>& rows) {
    RemoveQuestion question;
    std::vector<std::wstring> names;
    for (const RemovalCandidate& row : rows) {
        names.push_back(row.displayName);
        question.live += row.phantom ? 0 : 1;
    }
    if (question.live == 0) {
        question.text = RemoveQuestionText(names);
        return question;
    }
    question.defaultYes = false;
    const std::wstring consequence =
        L"Removing an entry leaves its program installed, and its uninstaller will no longer be reachable from "
        L"Windows' list of programs.";
    if (rows.size() == 1) {
        question.offerUninstall = true;
        question.text = rows.front().displayName +
                        L"\n\nThis is a working program, not a phantom: its uninstaller is still there. " +
                        consequence + L"\n\nTo remove the program itself, uninstall it instead.";
        return question;
    }
    const std::wstring live = question.live == rows.size()
                                  ? L"All " + std::to_wstring(rows.size()) + L" are working programs"
                                  : std::to_wstring(question.live) + L" of them " +
                                        (question.live == 1 ? L"is a working program" : L"are working programs");
    question.text = RemoveQuestionText(names) + L"\n\n" + live +
                    (question.live == 1 ? L", not a phantom: its uninstaller is still there. "
                                        : L", not phantoms: their uninstallers are still there. ") +
                    consequence;
    return question;
}

bool IsOwnEntry(const ProgramEntry& entry) {
    return entry.source != EntrySource::User && entry.source != EntrySource::OtherUser &&
           CompareStringOrdinal(entry.keyName.c_str(), -1, L"" ZALTROW_PRODUCT_NAME, -1, TRUE) == CSTR_EQUAL;
}

std::wstring BatchRemovedText(std::size_t removed, std::size_t alreadyGone, const std::vector<std::wstring>& backupFolders,
                              const std::vector<BatchFailure>& failures) {
    std::wstring text = (removed == 0 ? std::wstring(L"No entries were") : Entries(removed) + (removed == 1 ? L" was" : L" were")) +
                        L" removed from the Add/Remove Programs list.";
    if (removed > 0) {
        text += removed == 1 ? L"\n\nIts backup was saved in" : L"\n\nTheir backups were saved in";
        for (std::size_t i = 0; i < backupFolders.size(); ++i) text += (i ? L"\nand\n" : L"\n") + backupFolders[i];
        text += L"\n\n" + RestoreHint(removed > 1);
    }
    if (alreadyGone > 0)
        text += L"\n\n" + Entries(alreadyGone) + (alreadyGone == 1 ? L" was" : L" were") + L" no longer in the list.";
    if (!failures.empty()) {
        text += L"\n\n" + Entries(failures.size()) + L" could not be removed:";
        std::vector<std::wstring> lines;
        for (const BatchFailure& failure : failures) lines.push_back(failure.displayName + L"\n" + failure.reason);
        text += ShortenedList(lines, L"\n\n");
    }
    return text;
}

std::wstring BackupNotWrittenText(const std::wstring& where, const std::wstring& reason) {
    return L"The program entry was not removed: its backup could not be written to\n" + where + L"\n" + reason;
}

std::wstring BackupNotReadText(const std::wstring& key, const std::wstring& reason) {
    return L"The program entry was not removed: its backup could not be read from\n" + key + L"\n" + reason;
}

std::wstring LaunchFailedText(const std::wstring& displayName, const std::wstring& file, const std::wstring& reason) {
    std::wstring why = reason;
    if (const std::size_t insert = why.find(L"%1"); insert != std::wstring::npos) why.replace(insert, 2, file);
    return displayName + L"\n\nThe uninstall program could not be started:\n" + file + L"\n\n" + why;
}

std::wstring EntryInfoTip(const ProgramEntry& entry) {
    return std::wstring(SourceDescription(entry.source)) + L"\n" + EntryKeyName(ListOf(entry), entry.keyName);
}
