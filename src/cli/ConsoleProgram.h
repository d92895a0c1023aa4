#pragma once
// The console program: reads its words, runs the verb they name and gives
// its exit code (ExitCode.h). list and check report the entries exactly as
// the window lists and judges them (ListEntries); clean and remove take
// entries out as the window's Remove does (RemoveEntry, its backup first);
// restore and backups use the window's BackupRestore. Nothing here judges,
// removes or restores an entry in a way of its own.

#include <string>
#include <vector>

#include "cli/BackupFolder.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleOutput.h"
#include "cli/OperationResult.h"
#include "framework/RunningAccount.h"

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

    // Names a failure (or any result) on the stream it belongs on.
    void Report(const OperationResult& result);
    // BackupFolder::Prepare, saying what it made.
    bool PrepareFolder(BackupFolder& folder);
    int Usage(const std::wstring& error);

    ConsoleOutput out_;
    ConsoleOutput err_;
    fw::AccountRights rights_;
};
