; Zaltrow's setup: installs the program and the console program
; (zaltrow.exe, for scripts; PATH is left alone) into Program Files\Zaltrow
; for every user, with a Start-menu shortcut whose working folder is the
; install folder (the program looks for its picture there), and registers
; it in Add/Remove Programs. Over an installed Zaltrow it is the upgrade:
; it installs into the same folder, and only once its own files and entry
; are in place removes the earlier version's program file.
; "/S" (or "/SILENT", "/VERYSILENT") installs without a window; "/D=folder"
; chooses the folder; "/ALLOWDOWNGRADE" lets it replace a newer version.
; Exit codes of its own: 3 another setup or uninstaller is running, 4 a
; newer version is installed (nothing changed in either case).

!define ROLE "Setup"
!include "Common.nsh"
!include "WordFunc.nsh"

!define EXIT_NEWER_INSTALLED 4
; A folder outside Program Files gets Program Files' rights, so no user can
; plant a DLL or swap a program there that an administrator later runs:
; owned by Administrators, inherited rights cut, Administrators and SYSTEM
; full control, Users read and execute (0x1200a9), for the folder and all
; it holds.
!define FOLDER_SDDL "O:BAG:SYD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\${PRODUCT}"
ShowInstDetails show

; The folder whose versioned program files RemoveVersionedPrograms removes.
Var OldFolder

Page directory
Page instfiles

Function .onInit
  !insertmacro SilentOnRequest
  !insertmacro RequireAdministrator
  !insertmacro ProgramRegistryView
  ; An upgrade stays in the folder the installed copy is in, read from the
  ; program's own registry view (read before this function, InstallDirRegKey
  ; would use the setup's default view). A folder given with /D wins.
  ${If} $INSTDIR == "${PROGRAM_FILES}\${PRODUCT}"
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 != ""
      StrCpy $INSTDIR $R0
    ${EndIf}
  ${EndIf}
  !insertmacro OneAtATime
  Call RefuseDowngrade
FunctionEnd

; A newer installed Zaltrow (of either kind) is replaced only when asked
; for: an older setup would delete the newer program, even a running one.
Function RefuseDowngrade
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  !ifdef WIN64_PROGRAM
    SetRegView 32
  !else
    SetRegView 64
  !endif
  ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  !insertmacro ProgramRegistryView
  ${If} $R0 == ""
    StrCpy $R0 $R1
  ${ElseIf} $R1 != ""
    ${VersionCompare} $R1 $R0 $R2
    ${If} $R2 == 1
      StrCpy $R0 $R1
    ${EndIf}
  ${EndIf}
  ${If} $R0 == ""
    Return
  ${EndIf}
  ; Dotted numbers: 1.10 is above 1.9, 1.3.0 equals 1.3.
  ${VersionCompare} $R0 "${VERSION}" $R2
  ${If} $R2 != 1
    Return
  ${EndIf}
  ${GetParameters} $R3
  ClearErrors
  ${GetOptions} $R3 "/ALLOWDOWNGRADE" $R4
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "${PRODUCT} $R0 is installed, a newer version than this setup's ${VERSION}. Replace it with the older ${VERSION}?" /SD IDNO IDYES downgrade
  ${IfNot} ${Silent}
    MessageBox MB_OK|MB_ICONINFORMATION "${PRODUCT} $R0 stays installed. Nothing was changed." /SD IDOK
  ${EndIf}
  SetErrorLevel ${EXIT_NEWER_INSTALLED}
  Quit
  downgrade:
FunctionEnd

; The full, long form of a path, for comparing folders: $R0 in, $R0 out.
Function NormalisePath
  GetFullPathName $R0 $R0
  System::Call 'kernel32::GetLongPathNameW(w R0, w .R1, i ${NSIS_MAX_STRLEN}) i .R2'
  ${If} $R2 > 0
  ${AndIf} $R2 < ${NSIS_MAX_STRLEN}
    StrCpy $R0 $R1
  ${EndIf}
  ; No closing backslash, so "C:\Program Files\" and "C:\Program Files" agree.
  StrCpy $R1 $R0 1 -1
  ${If} $R1 == "\"
    StrCpy $R0 $R0 -1
  ${EndIf}
FunctionEnd

; 1 in $R5 when $R6 (normalised) is folder $R0 or under it; compared
; case-insensitively, as NSIS's StrCmp does.
Function IsUnder
  Call NormalisePath
  StrLen $R1 $R0
  StrCpy $R2 $R6 $R1
  StrCpy $R3 $R6 1 $R1
  ${If} $R2 == $R0
  ${AndIf} $R3 == "\"
    StrCpy $R5 1
  ${ElseIf} $R6 == $R0
    StrCpy $R5 1
  ${EndIf}
FunctionEnd

; 1 in $R5 when $R0 (normalised) is in either Program Files folder.
Function IsUnderProgramFiles
  StrCpy $R6 $R0
  StrCpy $R5 0
  StrCpy $R0 "$PROGRAMFILES32"
  Call IsUnder
  ${If} ${RunningX64}
    StrCpy $R0 "$PROGRAMFILES64"
    Call IsUnder
  ${EndIf}
  StrCpy $R0 $R6
FunctionEnd

; The long form of a full path whose end may not be there yet: $R0 in, $R0
; out (the part that is there made long, as NormalisePath does).
Function LongForm
  ; The system's call, since NSIS's GetFullPathName wants the path to be there.
  System::Call 'kernel32::GetFullPathNameW(w R0, i ${NSIS_MAX_STRLEN}, w .R4, p 0) i .R3'
  ${If} $R3 > 0
  ${AndIf} $R3 < ${NSIS_MAX_STRLEN}
    StrCpy $R0 $R4
  ${EndIf}
  StrCpy $R3 ""  ; what is not there yet, with its backslashes
  ${DoWhile} $R0 != ""
    ${If} ${FileExists} "$R0\*.*"
      ${Break}
    ${EndIf}
    ${GetFileName} $R0 $R4
    ${GetParent} $R0 $R0
    StrCpy $R3 "\$R4$R3"
  ${Loop}
  ; A bare "C:" would be the drive's current folder.
  StrLen $R4 $R0
  ${If} $R4 == 2
    StrCpy $R0 "$R0\"
  ${EndIf}
  Call NormalisePath
  StrCpy $R0 "$R0$R3"
FunctionEnd

; 1 in $R5 when file name $R4 is a version's program file, "Zaltrow 1.2.exe":
; the product's name, a blank, digits and dots, ".exe".
Function IsVersionedProgram
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $R5 0
  StrLen $0 "${PRODUCT} "
  StrCpy $1 $R4 $0
  StrCpy $2 $R4 4 -4
  ${If} $1 == "${PRODUCT} "
  ${AndIf} $2 == ".exe"
    StrCpy $1 $R4 "" $0  ; "1.2.exe"
    StrCpy $1 $1 -4      ; "1.2"
    StrLen $2 $1
    ${If} $2 > 0
      StrCpy $R5 1
    ${EndIf}
    StrCpy $0 0
    ${DoWhile} $0 < $2
      StrCpy $3 $1 1 $0
      ${If} $3 != "."
      ${AndIf} $3 != "0"
        IntOp $3 $3 + 0
        ${If} $3 <= 0
        ${OrIf} $3 > 9
          StrCpy $R5 0
        ${EndIf}
      ${EndIf}
      IntOp $0 $0 + 1
    ${Loop}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

!insertmacro DefineFolderDoubt

; An administrator's setup must not write where a user could change what it
; writes: a custom folder (outside Program Files, $R0, long form) that is
; there is taken only when it is no link and reached through none, is owned
; by Administrators (or the like, see FolderDoubt) and holds nothing but
; Zaltrow's own files, each owned so too; and every folder above it that is
; there must pass FolderDoubt as well, since whoever owns one can put
; another folder in its place. The folder stays open in $FolderHold until
; the setup ends. Refused, nothing is installed: exit code 5.
Var FolderHold
!define EXIT_FOLDER_REFUSED 5
Function RefuseUntrustedFolder
  StrCpy $FolderHold 0
  StrCpy $R7 $R0
  ${GetParent} $R7 $R8
  ${DoWhile} $R8 != ""
    ${If} ${FileExists} "$R8\*.*"
      StrCpy $R0 $R8
      StrLen $R9 $R0
      ${If} $R9 == 2  ; a drive's root, "C:"
        StrCpy $R0 "$R0\"
      ${EndIf}
      Call FolderDoubt
      ${If} $R1 != ""
        StrCpy $R1 "$R8, the folder above it: $R1"
        Goto refused
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p R2)'
    ${EndIf}
    ${GetParent} $R8 $R8
  ${Loop}
  ${IfNot} ${FileExists} "$R7\*.*"
    ${If} ${FileExists} "$R7"
      StrCpy $R1 "it is a file"
      Goto refused
    ${EndIf}
    StrCpy $R0 $R7
    Return
  ${EndIf}
  StrCpy $R0 $R7
  Call FolderDoubt
  ${If} $R1 != ""
    Goto refused
  ${EndIf}
  StrCpy $FolderHold $R2
  FindFirst $R3 $R4 "$R7\*"
  ${DoWhile} $R4 != ""
    ${If} $R4 != "."
    ${AndIf} $R4 != ".."
      Call IsVersionedProgram
      ${If} $R4 == "${PROGRAM_FILE}"
      ${OrIf} $R4 == "${CONSOLE_FILE}"
      ${OrIf} $R4 == "${UNINSTALLER_FILE}"
      ${OrIf} $R4 == "${PICTURE_FILE}"
      ${OrIf} $R4 == "${PICTURE_FILE_125}"
      ${OrIf} $R4 == "${PICTURE_FILE_150}"
      ${OrIf} $R4 == "${PICTURE_FILE_200}"
        StrCpy $R5 1
      ${EndIf}
      ${If} $R5 == 1
        Call FileOwnerDoubt
      ${Else}
        StrCpy $R1 "it holds $R4, which is not ${PRODUCT}'s"
      ${EndIf}
      ${If} $R1 != ""
        FindClose $R3
        Goto refused
      ${EndIf}
    ${EndIf}
    FindNext $R3 $R4
  ${Loop}
  FindClose $R3
  StrCpy $R0 $R7
  Return
  refused:
  ${If} $FolderHold P<> 0
    System::Call 'kernel32::CloseHandle(p $FolderHold)'
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} cannot be installed in $R7: $R1. Choose a new or empty folder. Nothing was installed." /SD IDOK
  SetErrorLevel ${EXIT_FOLDER_REFUSED}
  Quit
FunctionEnd

; For file $R4 in folder $R7: $R1 "" when it is a plain file (no link, no
; folder) owned as FolderDoubt wants, else why not.
Function FileOwnerDoubt
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $R1 ""
  System::Call 'kernel32::GetFileAttributesW(w "$R7\$R4") i .r0'
  IntOp $1 $0 & 0x410
  ${If} $0 = -1
  ${OrIf} $1 <> 0
    StrCpy $R1 "its $R4 is a folder or a link"
    Goto file_done
  ${EndIf}
  ; READ_CONTROL | FILE_READ_ATTRIBUTES, shared in every way, the link itself.
  System::Call 'kernel32::CreateFileW(w "$R7\$R4", i 0x20080, i 7, p 0, i 3, i 0x00200000, p 0) p .r0'
  ${If} $0 P= -1
    StrCpy $R1 "its $R4 cannot be opened"
    Goto file_done
  ${EndIf}
  System::Call 'advapi32::GetSecurityInfo(p r0, i 1, i 1, *p .r1, p 0, p 0, p 0, *p .r2) i .r3'
  System::Call 'kernel32::CloseHandle(p r0)'
  ${If} $3 <> 0
    StrCpy $R1 "the owner of its $R4 cannot be read"
    Goto file_done
  ${EndIf}
  Push $1
  Call TrustedOwner
  Pop $3
  System::Call 'kernel32::LocalFree(p r2)'
  ${If} $3 != 1
    StrCpy $R1 "neither Administrators nor SYSTEM own its $R4"
  ${EndIf}
  file_done:
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Makes the install folder before anything is written into it; outside
; Program Files it is made with FOLDER_SDDL, and an existing one gets it
; too, passed on to what it already holds, once RefuseUntrustedFolder has
; taken it.
Function MakeInstallFolder
  StrCpy $R0 $INSTDIR
  Call LongForm
  Call IsUnderProgramFiles
  ${If} $R5 == 1
    CreateDirectory $INSTDIR
    Return
  ${EndIf}
  Call RefuseUntrustedFolder
  ; The parent, with what it inherits; the folder itself with its own rights.
  ${GetParent} "$INSTDIR" $R0
  CreateDirectory $R0
  StrCpy $R4 "${FOLDER_SDDL}"
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w R4, i 1, *p .r1, p 0) i .r0'
  ${If} $0 == 0
    Goto failed
  ${EndIf}
  ; SECURITY_ATTRIBUTES: length, descriptor, no inheritance of the handle.
  !ifdef WIN64_PROGRAM
    System::Call '*(i 24, i 0, p r1, i 0, i 0) p .r2'
  !else
    System::Call '*(i 12, p r1, i 0) p .r2'
  !endif
  System::Call 'kernel32::CreateDirectoryW(w "$INSTDIR", p r2) i'
  System::Free $2
  System::Call 'advapi32::GetSecurityDescriptorOwner(p r1, *p .r3, *i .r9) i'
  System::Call 'advapi32::GetSecurityDescriptorGroup(p r1, *p .r4, *i .r9) i'
  System::Call 'advapi32::GetSecurityDescriptorDacl(p r1, *i .r9, *p .r5, *i .r9) i'
  ; OWNER | GROUP | DACL | PROTECTED_DACL: the inheritable entries pass on to
  ; what the folder already holds; SetFileSecurityW then sets the folder's
  ; own descriptor as a whole, where the first call sets it only in part.
  System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i 1, i 0x80000007, p r3, p r4, p r5, p 0) i .r0'
  ${If} $0 == 0
    System::Call 'advapi32::SetFileSecurityW(w "$INSTDIR", i 7, p r1) i .r6'
    ${If} $6 == 0
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::LocalFree(p r1)'
  ${If} $0 == 0
    DetailPrint "Rights of $INSTDIR: ${FOLDER_SDDL}"
    Return
  ${EndIf}
  failed:
  MessageBox MB_OK|MB_ICONSTOP "The rights of $INSTDIR could not be set, so other users could change the program there. Nothing was installed." /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

; One Zaltrow per machine: an install of the other architecture (its entry
; in the other registry view) is removed once this one is in place, so a
; failed install leaves it working. Two installs would be two rows and one
; shared shortcut that either uninstaller deletes. The setup removes its
; files itself rather than running the unins000.exe there: a folder an
; earlier setup made outside Program Files may be writable by any user,
; and a program planted there must not run with this setup's rights.
Function RemoveOtherArchitecture
  !ifdef WIN64_PROGRAM
    SetRegView 32
  !else
    ${IfNot} ${RunningX64}
      Return
    ${EndIf}
    SetRegView 64
  !endif
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
    StrCpy $R6 $R0
    Call NormalisePath
    StrCpy $R7 $R0
    StrCpy $R0 $INSTDIR
    Call NormalisePath
    ; The same folder holds this install's files now: only the entry goes.
    ${If} $R7 != $R0
      DetailPrint "Removing the other ${PRODUCT} in $R6"
      StrCpy $OldFolder $R6
      Call RemoveVersionedPrograms
      !insertmacro RemoveFileOrAtRestart "$OldFolder\${CONSOLE_FILE}"
      !insertmacro RemoveFileOrAtRestart "$OldFolder\${PICTURE_FILE}"
      !insertmacro RemoveFileOrAtRestart "$OldFolder\${PICTURE_FILE_125}"
      !insertmacro RemoveFileOrAtRestart "$OldFolder\${PICTURE_FILE_150}"
      !insertmacro RemoveFileOrAtRestart "$OldFolder\${PICTURE_FILE_200}"
      !insertmacro RemoveFileOrAtRestart "$OldFolder\${UNINSTALLER_FILE}"
      RMDir /REBOOTOK "$OldFolder"
    ${EndIf}
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
  !insertmacro ProgramRegistryView
FunctionEnd

; An uninstaller that could not delete a file in use left its deletion for
; the next restart. Takes back those deletions of the files this setup is
; about to write, so a restart does not delete the new copy. The pending
; operations are pairs of "\??\path" and a target, an empty target meaning
; deletion, ending with an empty string. Entries are measured to their real
; length (lstrlenW); one that does not end within the value, or a value
; that changed between reading its size and its data, leaves the list as
; it was: it is other programs' work too.
!define PENDING_KEY "SYSTEM\CurrentControlSet\Control\Session Manager"
!define PENDING_VALUE "PendingFileRenameOperations"
; Registers: $1 key, $3 size in bytes, $4 data, $5 rewritten list, $6 read
; position, $7 write position, $8 end of data, $R8 1 once something is
; dropped, $R0 1 once something could not be read whole.
Function KeepNewFilesFromPendingDeletion
  System::Call 'advapi32::RegOpenKeyExW(p 0x80000002, w "${PENDING_KEY}", i 0, i 3, *p .r1) i .r0'
  ${If} $0 != 0
    Return
  ${EndIf}
  System::Call 'advapi32::RegQueryValueExW(p r1, w "${PENDING_VALUE}", p 0, *i .r2, p 0, *i 0 r3) i .r0'
  ${If} $0 != 0
  ${OrIf} $2 != 7
  ${OrIf} $3 < 2
    System::Call 'advapi32::RegCloseKey(p r1)'
    Return
  ${EndIf}
  ; Zeroed room after the data: a text is copied into a variable as up to
  ; NSIS_MAX_STRLEN characters, and never runs off the block.
  IntOp $R9 ${NSIS_MAX_STRLEN} * 2
  IntOp $R9 $R9 + $3
  IntOp $R9 $R9 + 8
  System::Alloc $R9
  Pop $4
  System::Alloc $R9
  Pop $5
  StrCpy $R7 $3
  System::Call 'advapi32::RegQueryValueExW(p r1, w "${PENDING_VALUE}", p 0, p 0, p r4, *i R7 R7) i .r0'
  StrCpy $R8 0
  StrCpy $R0 0
  ${If} $0 != 0
  ${OrIf} $R7 != $3
    StrCpy $R0 1
  ${EndIf}
  StrCpy $6 $4
  StrCpy $7 $5
  IntPtrOp $8 $4 + $3
  ${DoWhile} $R0 == 0
    ${If} $6 P>= $8
      ; Ended without the closing empty text.
      StrCpy $R0 1
      ${Break}
    ${EndIf}
    System::Call 'kernel32::lstrlenW(p r6) i .R1'
    ${If} $R1 == 0
      ; The closing empty text: it must be the last one.
      IntPtrOp $R2 $6 + 2
      ${If} $R2 P<> $8
        StrCpy $R0 1
      ${EndIf}
      ${Break}
    ${EndIf}
    ; The source, then its target.
    IntOp $R2 $R1 + 1
    IntOp $R2 $R2 * 2
    IntPtrOp $R3 $6 + $R2
    ${If} $R3 P>= $8
      StrCpy $R0 1
      ${Break}
    ${EndIf}
    System::Call 'kernel32::lstrlenW(p R3) i .R5'
    IntOp $R6 $R5 + 1
    IntOp $R6 $R6 * 2
    IntPtrOp $R7 $R3 + $R6
    ${If} $R7 P> $8
      StrCpy $R0 1
      ${Break}
    ${EndIf}
    StrCpy $R4 0  ; 1: drop this pair
    ${If} $R5 == 0
    ${AndIf} $R1 < ${NSIS_MAX_STRLEN}
      System::Call '*$6(&w${NSIS_MAX_STRLEN} .r9)'
      ${If} $9 == "\??\$INSTDIR\${UNINSTALLER_FILE}"
      ${OrIf} $9 == "\??\$INSTDIR\${PROGRAM_FILE}"
      ${OrIf} $9 == "\??\$INSTDIR\${CONSOLE_FILE}"
      ${OrIf} $9 == "\??\$INSTDIR\${PICTURE_FILE}"
      ${OrIf} $9 == "\??\$INSTDIR\${PICTURE_FILE_125}"
      ${OrIf} $9 == "\??\$INSTDIR\${PICTURE_FILE_150}"
      ${OrIf} $9 == "\??\$INSTDIR\${PICTURE_FILE_200}"
        StrCpy $R4 1
      ${EndIf}
    ${EndIf}
    ${If} $R4 == 1
      StrCpy $R8 1
    ${Else}
      IntPtrOp $R2 $R7 - $6
      System::Call 'kernel32::RtlMoveMemory(p r7, p r6, p R2)'
      IntPtrOp $7 $7 + $R2
    ${EndIf}
    StrCpy $6 $R7
  ${Loop}
  ${If} $R0 == 0
  ${AndIf} $R8 == 1
    System::Call '*$7(&i2 0)'
    IntPtrOp $7 $7 + 2
    IntPtrOp $R2 $7 - $5
    ${If} $R2 == 2
      System::Call 'advapi32::RegDeleteValueW(p r1, w "${PENDING_VALUE}")'
    ${Else}
      System::Call 'advapi32::RegSetValueExW(p r1, w "${PENDING_VALUE}", i 0, i 7, p r5, i R2)'
    ${EndIf}
  ${EndIf}
  System::Free $4
  System::Free $5
  System::Call 'advapi32::RegCloseKey(p r1)'
FunctionEnd

; A version's program file in $OldFolder ("Zaltrow 1.2.exe"): the product's
; name, a blank, a version of digits and dots, ".exe"; in the install
; folder, all but this version's. Nothing else in the folder is touched.
Function RemoveVersionedPrograms
  StrLen $R2 "${PRODUCT} "
  FindFirst $R0 $R1 "$OldFolder\${PRODUCT} *.exe"
  ${DoWhile} $R1 != ""
    ${If} $R1 != "${PROGRAM_FILE}"
    ${OrIf} $OldFolder != $INSTDIR
      StrCpy $R3 $R1 "" $R2   ; "1.2.exe"
      StrCpy $R3 $R3 -4       ; "1.2"
      StrLen $R4 $R3
      StrCpy $R5 1            ; 1 while it reads as a version
      ${If} $R4 == 0
        StrCpy $R5 0
      ${EndIf}
      StrCpy $R6 0
      ${DoWhile} $R6 < $R4
        StrCpy $R7 $R3 1 $R6
        ${If} $R7 != "."
        ${AndIf} $R7 != "0"
          IntOp $R8 $R7 + 0
          ${If} $R8 <= 0
          ${OrIf} $R8 > 9
            StrCpy $R5 0
          ${EndIf}
        ${EndIf}
        IntOp $R6 $R6 + 1
      ${Loop}
      ${If} $R5 == 1
        DetailPrint "Removing $R1 of an earlier version"
        !insertmacro RemoveFileOrAtRestart "$OldFolder\$R1"
      ${EndIf}
    ${EndIf}
    FindNext $R0 $R1
  ${Loop}
  FindClose $R0
FunctionEnd

Section "${PRODUCT}"
  SetShellVarContext all
  Call MakeInstallFolder
  ; The console program keeps its name across versions: a copy that a
  ; scheduled script is running now is moved out of the way, so the new one
  ; can be written in its place.
  !insertmacro RemoveFileOrAtRestart "$INSTDIR\${CONSOLE_FILE}"
  Call KeepNewFilesFromPendingDeletion
  SetOutPath "$INSTDIR"
  File "/oname=${PROGRAM_FILE}" "${PROGRAM_SOURCE}"
  File "/oname=${CONSOLE_FILE}" "${CONSOLE_SOURCE}"
  File "${PICTURE_FOLDER}\${PICTURE_FILE}"
  File "${PICTURE_FOLDER}\${PICTURE_FILE_125}"
  File "${PICTURE_FOLDER}\${PICTURE_FILE_150}"
  File "${PICTURE_FOLDER}\${PICTURE_FILE_200}"
  File "/oname=${UNINSTALLER_FILE}" "${UNINSTALLER_SOURCE}"

  ; The shortcut's working folder is the current output folder.
  CreateShortCut "$SMPROGRAMS\${SHORTCUT_NAME}" "$INSTDIR\${PROGRAM_FILE}" "" "$INSTDIR\${PROGRAM_FILE}" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM_FILE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_FILE}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_FILE}" /SILENT'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${PRODUCT_PAGE}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; The new version is whole and registered: only now does the old one go,
  ; and the other kind's install.
  StrCpy $OldFolder $INSTDIR
  Call RemoveVersionedPrograms
  Call RemoveOtherArchitecture

  ${If} $FolderHold P<> 0
    System::Call 'kernel32::CloseHandle(p $FolderHold)'
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd
