#pragma once
// The console program: reads its words, runs the verb they name and gives
// its exit code (ExitCode.h). list and check report the entries exactly as
// the window lists and judges them (ListEntries); clean and remove take
// entries out as the window's Remove does (RemoveEntry, its backup first);
// restore and backups use the window's BackupRestore. Nothing here judges,
// removes or restores an entry in a way of its own.

#include <optional>
#include <string>
#include <vector>

#include "cli/BackupFolder.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleOutput.h"
#include "cli/OperationResult.h"
#include "framework/RunningAccount.h"
#include "framework/UniqueHandle.h"
#include "inventory/ProgramInventory.h"

class ConsoleProgram {
public:
    ConsoleProgram();
    int Run(const std::vector<std::wstring>& words);

private:
    int List(const CommandLine& command);
    int Check(const CommandLine& command);
    int Clean(const CommandLine& command);
    int Remove(const CommandLine& command);
    int Restore(const CommandLine& command);
    int Backups(const CommandLine& command);
    int Uninstall(const CommandLine& command);
    // The entries named as arguments or in --from's file; an exit code when
    // the file cannot be read or is no list (`done`: "removed", said then).
    std::optional<int> ReadTargets(const CommandLine& command, const wchar_t* done, std::vector<EntryTarget>& targets);
    int Version();

    // What the lists that were not read whole make of a verb's exit code:
    // 5 where rights would help, otherwise 3; `code` when all were read.
    int WithShortfalls(int code, const ProgramInventory& inventory);
    // A verb's exit code once its output is written: a write that failed
    // makes it a failure, said on standard error where that still works.
    int Finish(int code);
    // A changing verb's JSON document, when --json asked for one.
    void WriteOperationJson(const CommandLine& command, const std::vector<OperationResult>& results,
                            const std::wstring& backupFolder, int exitCode, const ProgramInventory* inventory);

    // Names a failure (or any result) on the stream it belongs on; with
    // --json only failures, on standard error, since standard output is the
    // document's.
    void Report(const OperationResult& result, bool json);
    // BackupFolder::Prepare, saying what it made.
    bool PrepareFolder(BackupFolder& folder);
    int Usage(const std::wstring& error);

    ConsoleOutput out_;
    ConsoleOutput err_;
    fw::AccountRights rights_;
    // The list the window lent (--from handle:...), kept open: the window
    // asks to stop after the running entry by making it longer, which no
    // one else can (it holds the one handle that may write it).
    fw::FileHandle lentList_;
    LONGLONG lentListSize_ = 0;
    bool LentListGrew() const;
};
