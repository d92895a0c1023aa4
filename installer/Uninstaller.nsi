; Zaltrow's uninstaller, unins000.exe in the install folder. It removes
; exactly what the setup put there and returns only when it has finished:
; the program's upgrade starts the new setup the moment this process ends.
; That is why it is a program of its own and not an NSIS uninstaller, which
; hands over to a copy of itself in the temporary folder and ends at once.
; "/SILENT" (or "/VERYSILENT", "/S") removes without any window. Besides the
; setup's files it removes Zaltrow's upgrade downloads under ProgramData and
; the uninstalling user's settings; backups of removed entries
; (...\Zaltrow\Removed) are never deleted: they are the user's.

!define ROLE "Uninstall"
!include "Common.nsh"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUTFILE}"
InstallButtonText "&Uninstall"
CompletedText "Removed"
ShowInstDetails show
AutoCloseWindow true

Page instfiles

; 1 once a file in use was left for the next restart.
Var Pending
; 1 when the program's entry names this folder: the entry and the shortcut
; are this install's to remove.
Var Registered
; 1 when the shortcut is this install's: the entry names this folder, or no
; install is registered in either view.
Var OwnsShortcut

Function .onInit
  !insertmacro SilentOnRequest
  !insertmacro RequireAdministrator
  !insertmacro OneAtATime
  !insertmacro ProgramRegistryView
  ; It removes the folder it stands in, and never another install's entry
  ; and shortcut: a copy of it elsewhere (beside any "Zaltrow 1.2.exe")
  ; must leave the real install alone.
  GetFullPathName $INSTDIR "$EXEDIR"
  StrCpy $Registered 0
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
    GetFullPathName $R1 "$R0"
    ${If} $R1 == $INSTDIR
      StrCpy $Registered 1
    ${Else}
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is installed in $R0, not in $INSTDIR. Nothing was removed." /SD IDOK
      Abort
    ${EndIf}
  ${ElseIfNot} ${FileExists} "$INSTDIR\${PROGRAM_FILE}"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} ${VERSION} is not installed in $INSTDIR." /SD IDOK
    Abort
  ${EndIf}
  ; Both kinds share the shortcut's name: without this one's entry it is
  ; left alone only when the other kind is registered.
  StrCpy $OwnsShortcut $Registered
  ${If} $Registered == 0
    StrCpy $OwnsShortcut 1
    !ifdef WIN64_PROGRAM
      SetRegView 32
    !else
      SetRegView 64
    !endif
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 != ""
      StrCpy $OwnsShortcut 0
    ${EndIf}
    !insertmacro ProgramRegistryView
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION "Do you want to remove ${PRODUCT} ${VERSION} and all of its files?" /SD IDYES IDYES +2
  Abort
FunctionEnd

Section "Remove"
  SetShellVarContext all
  StrCpy $Pending 0
  ; Leave the folder, so this process does not hold it.
  SetOutPath "$TEMP"

  ; A file in use (the running program) goes at the next restart.
  !insertmacro RemoveFileOrAtRestart "$INSTDIR\${PROGRAM_FILE}"
  ${If} $R9 == 1
    StrCpy $Pending 1
  ${EndIf}
  !insertmacro RemoveFileOrAtRestart "$INSTDIR\${PICTURE_FILE}"
  ${If} $R9 == 1
    StrCpy $Pending 1
  ${EndIf}
  !insertmacro RemoveFileOrAtRestart "$INSTDIR\${PICTURE_FILE_125}"
  ${If} $R9 == 1
    StrCpy $Pending 1
  ${EndIf}
  !insertmacro RemoveFileOrAtRestart "$INSTDIR\${PICTURE_FILE_150}"
  ${If} $R9 == 1
    StrCpy $Pending 1
  ${EndIf}
  !insertmacro RemoveFileOrAtRestart "$INSTDIR\${PICTURE_FILE_200}"
  ${If} $R9 == 1
    StrCpy $Pending 1
  ${EndIf}
  !insertmacro RemoveFileOrAtRestart "$INSTDIR\${CONSOLE_FILE}"
  ${If} $R9 == 1
    StrCpy $Pending 1
  ${EndIf}
  ${If} $OwnsShortcut == 1
    Delete "$SMPROGRAMS\${SHORTCUT_NAME}"
  ${EndIf}
  ${If} $Registered == 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
  DeleteRegKey HKCU "Software\${PRODUCT}"
  Call RemoveDownloads

  ; Its own file: a running program's file cannot be deleted on Windows but
  ; can be moved within its drive, so it leaves the install folder for the
  ; temporary folder and is deleted there (at once where the system allows,
  ; else at the next restart). A new version installed next therefore never
  ; finds its own unins000.exe marked for deletion.
  GetTempFileName $R0
  Delete "$R0"
  ClearErrors
  Rename "$EXEPATH" "$R0"
  IfErrors 0 moved
  Delete /REBOOTOK "$EXEPATH"
  Goto removed
  moved:
  Delete /REBOOTOK "$R0"
  removed:

  RMDir /REBOOTOK "$INSTDIR"
  IfFileExists "$INSTDIR\*.*" 0 +2
  StrCpy $Pending 1
SectionEnd

; The upgrade's download folders ("Zaltrow upgrade 1.3 ...") and the setups
; kept in them. Any user may make a folder under ProgramData: only one that
; FolderDoubt trusts (no link, reached through none, owned by Administrators
; or the like, as the program makes them) is emptied, and only while it is
; held open so that it cannot be renamed or swapped for a link meanwhile:
; the names deleted reach only that folder. Only files directly inside go,
; so nothing outside these folders can be reached.
; $APPDATA is ProgramData here: the section's shell folders are all users'.
!insertmacro DefineFolderDoubt
Function RemoveDownloads
  FindFirst $R5 $R6 "$APPDATA\${PRODUCT} upgrade *"
  ${DoWhile} $R6 != ""
    StrCpy $R0 "$APPDATA\$R6"
    Call FolderDoubt
    ${If} $R1 == ""
      DetailPrint "Removing the download folder $R0"
      Delete "$R0\*.*"
      System::Call 'kernel32::CloseHandle(p R2)'
      RMDir "$R0"
    ${Else}
      DetailPrint "Leaving $R0 as it is: $R1"
    ${EndIf}
    FindNext $R5 $R6
  ${Loop}
  FindClose $R5
FunctionEnd

Function .onInstSuccess
  StrCmp $Pending 1 0 +3
  MessageBox MB_OK|MB_ICONINFORMATION "${PRODUCT} ${VERSION} was removed, with your ${PRODUCT} settings and its downloaded upgrades. Some of its files were in use; they will be removed when Windows restarts. Backups of removed entries were kept." /SD IDOK
  Return
  MessageBox MB_OK|MB_ICONINFORMATION "${PRODUCT} ${VERSION} was removed from your computer, with your ${PRODUCT} settings and its downloaded upgrades. Backups of removed entries were kept." /SD IDOK
FunctionEnd
