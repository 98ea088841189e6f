; Nivalo's setup program, built by makensis (see CMakeLists.txt beside this
; file). It installs the screen saver that fits the system (the 64-bit build
; on 64-bit Windows, the 32-bit one elsewhere) with its help file, makes it
; the current screen saver and registers an uninstaller in Apps & features.
;
; The default install is for the current user, in
; %LOCALAPPDATA%\Programs\Nivalo, and needs no administrator rights. With
; /ALLUSERS (or "Everyone" on the first page) the screen saver goes into
; System32, where the display settings list it for every user, and only then
; does setup ask for administrator rights.
;
; Defines given by the build:
;   VERSION      the program's version, four numbers
;   TARGET       x86-unicode (the setup that ships) or amd64-unicode
;   OUTFILE      the setup program to write
;   BUILD_DIR    the build folder: Nivalo.scr and Nivalohelp.hlp, and both
;                again in x64/
;   ICON         the program's icon
;   WEB_ADDRESS  the product's web page

!ifndef VERSION | TARGET | OUTFILE | BUILD_DIR | ICON | WEB_ADDRESS
  !error "makensis needs -DVERSION, -DTARGET, -DOUTFILE, -DBUILD_DIR, -DICON and -DWEB_ADDRESS"
!endif

Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Nivalo"
!define PUBLISHER "Orwenk"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nivalo"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SETTINGS_KEY "Software\Orwenk\Nivalo\ScreenSaverSettings"
!define UNINSTALLER "Uninstall Nivalo.exe"
!define SPI_GETSCREENSAVEACTIVE 16
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_TELL 3  ; SPIF_UPDATEINIFILE | SPIF_SENDCHANGE
!define ERROR_ELEVATION_REQUIRED 740
!define SYNCHRONIZE 0x00100000

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include WinMessages.nsh
!include MUI2.nsh

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails hide
ShowUninstDetails hide
AutoCloseWindow true

VIProductVersion ${VERSION}
VIAddVersionKey /LANG=1033 ProductName "${PRODUCT}"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 FileDescription "${PRODUCT} screen saver setup"
VIAddVersionKey /LANG=1033 FileVersion ${VERSION}
VIAddVersionKey /LANG=1033 ProductVersion ${VERSION}
VIAddVersionKey /LANG=1033 LegalCopyright "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

FileErrorText "Setup cannot write$\r$\n$0$\r$\n$\r$\nClose Nivalo's settings and its help, then click Retry." \
  "Setup cannot write$\r$\n$0$\r$\n$\r$\nClose Nivalo's settings and its help, then click Retry."

Var AllUsers        ; 1 when installing into System32 for everyone
Var ChosenFolder    ; the folder given with /D=, if any
Var ScreenSaver     ; the installed Nivalo.scr
Var JustMeButton
Var EveryoneButton
Var RemoveSettings  ; 1 when the uninstaller is to remove the user's settings
Var RemoveSettingsBox

Page custom ChooseUsersPage LeaveChooseUsersPage
!insertmacro MUI_PAGE_INSTFILES
UninstPage custom un.ConfirmPage un.LeaveConfirmPage
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------------------
; Shared by setup and uninstaller.

; The registry as Windows itself sees it, also from the 32-bit setup on
; 64-bit Windows: the entry for everyone goes where Apps & features and the
; uninstaller look for it.
!macro UseNativeViews
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

; The folder the screen saver lives in: System32 for everyone, the install
; folder for one user. $SYSDIR names the native System32 in a 64-bit
; process, and in a 32-bit one while file-system redirection is off.
!macro SetScreenSaverPath
  ${If} $AllUsers == 1
    StrCpy $ScreenSaver "$SYSDIR\Nivalo.scr"
  ${Else}
    StrCpy $ScreenSaver "$INSTDIR\Nivalo.scr"
  ${EndIf}
!macroend

; Starts this very program again with administrator rights and the given
; arguments, waits for it and ends with its exit code. Without those rights
; (the user said no) it leaves $0 at 0 and returns.
!macro RunAgainAsAdministrator ARGUMENTS
  !if ${NSIS_PTR_SIZE} > 4
    !define /redef PAD "&v4,"
  !else
    !define /redef PAD ""
  !endif
  ; SHELLEXECUTEINFO: size, SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI,
  ; owner, verb, file, parameters, folder, SW_SHOWNORMAL, then what
  ; ShellExecuteEx fills in.
  System::Call '*(&l4, i 0x440, p $HWNDPARENT, t "runas", t "$EXEPATH", t `${ARGUMENTS}`, p 0, i 1, ${PAD} p 0, p 0, p 0, p 0, i 0, ${PAD} p 0, p 0) p .r1'
  System::Call 'shell32::ShellExecuteExW(p r1) i .r0'
  ${If} $0 <> 0
    System::Call '*$1(&l4, i, p, p, p, p, p, i, ${PAD} p, p, p, p, i, ${PAD} p, p .r2)'
    HideWindow
    System::Call 'kernel32::WaitForSingleObject(p r2, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p r2, *i .r3)'
    System::Call 'kernel32::CloseHandle(p r2)'
    System::Free $1
    SetErrorLevel $3
    Quit
  ${EndIf}
  System::Free $1
  !undef PAD
!macroend

; Sets $0 to 1 when this process may write into System32 and HKLM.
!macro CheckAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
!macroend

; Sets $0 to 1 when the current screen saver is the installed Nivalo.scr,
; in whatever form its path was written (short or long).
!macro IsCurrentScreenSaver
  StrCpy $0 0
  ClearErrors
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${DisableX64FSRedirection}
  ${IfNot} ${Errors}
  ${AndIf} ${FileExists} "$ScreenSaver"
    GetFullPathName /SHORT $1 "$1"
    GetFullPathName /SHORT $2 "$ScreenSaver"
    ${If} $1 != ""
    ${AndIf} $1 == $2
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
  ${EnableX64FSRedirection}
!macroend

; Deletes a file; one that is in use (a running screen saver, an open help
; file) is moved aside instead, so that the new one can take its place at
; once: the running copy goes on, and the next start runs the new file. What
; is moved aside goes at the next restart where setup may arrange that, and
; otherwise with the next setup or the uninstaller.
!macro RemoveOrMoveAside FILE
  ClearErrors
  Delete "${FILE}"
  ${If} ${Errors}
    StrCpy $R9 1
    ${DoWhile} ${FileExists} "${FILE}.$R9.old"
      IntOp $R9 $R9 + 1
    ${Loop}
    ClearErrors
    Rename "${FILE}" "${FILE}.$R9.old"
    ${IfNot} ${Errors}
      Delete /REBOOTOK "${FILE}.$R9.old"
    ${EndIf}
  ${EndIf}
!macroend

; What the help viewer of Windows 95 to XP writes beside a help file, or in
; Windows\Help where it may not write beside it.
!macro RemoveHelpViewerFiles FOLDER
  Delete "${FOLDER}\Nivalohelp.GID"
  Delete "$WINDIR\Help\Nivalohelp.GID"
!macroend

; ---------------------------------------------------------------------------
; Setup.

Function .onInit
  !insertmacro UseNativeViews
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${If} ${Errors}
    StrCpy $AllUsers 0
  ${Else}
    StrCpy $AllUsers 1
  ${EndIf}
  ; /D= chooses the folder; otherwise an earlier install is replaced where
  ; it is.
  StrCpy $ChosenFolder $INSTDIR
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
  ${If} ${Silent}
  ${AndIf} $AllUsers == 1
    Call MakeReadyForEveryone
  ${EndIf}
FunctionEnd

Function ChooseUsersPage
  ; Started again with administrator rights for everyone: already chosen.
  ${If} $AllUsers == 1
    !insertmacro CheckAdministrator
    ${If} $0 == 1
      Call MakeReadyForEveryone
      Abort
    ${EndIf}
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Install ${PRODUCT} ${VERSION}" \
    "Snow falls on your screen while you are away."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "Setup copies the Nivalo screen saver and its help to your computer and makes Nivalo your screen saver. Then the screen saver settings open, with Nivalo chosen."
  Pop $0
  ${NSD_CreateGroupBox} 0 44u 100% 88u "Install for"
  Pop $0
  ${NSD_CreateRadioButton} 10u 58u 280u 12u "&Just me (needs no administrator rights)"
  Pop $JustMeButton
  ${NSD_CreateLabel} 22u 71u 268u 12u "$INSTDIR"
  Pop $0
  ${NSD_CreateRadioButton} 10u 92u 280u 12u "&Everyone who uses this computer (asks for administrator rights)"
  Pop $EveryoneButton
  ${NSD_CreateLabel} 22u 105u 268u 12u "$SYSDIR"
  Pop $0
  ${If} $AllUsers == 1
    ${NSD_Check} $EveryoneButton
  ${Else}
    ${NSD_Check} $JustMeButton
  ${EndIf}
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:&Install"
  nsDialogs::Show
FunctionEnd

Function LeaveChooseUsersPage
  ${NSD_GetState} $EveryoneButton $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
    Call MakeReadyForEveryone
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
FunctionEnd

; Everyone: the screen saver goes into System32 and the uninstaller into
; Program Files, which needs administrator rights. Without them, setup
; starts itself again with them and ends with that copy's exit code.
Function MakeReadyForEveryone
  !insertmacro CheckAdministrator
  ${If} $0 == 0
    StrCpy $R0 "/ALLUSERS"
    ${If} $ChosenFolder != ""
      StrCpy $R0 "$R0 /D=$ChosenFolder"  ; /D= comes last
    ${EndIf}
    ${If} ${Silent}
      !insertmacro RunAgainAsAdministrator "/S $R0"
      SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
      Quit
    ${EndIf}
    !insertmacro RunAgainAsAdministrator "$R0"
    MessageBox MB_ICONEXCLAMATION|MB_OK "Installing for everyone needs administrator rights. Choose $\"Just me$\" to install without them."
    Abort
  ${EndIf}
  SetShellVarContext all
  StrCpy $INSTDIR $ChosenFolder
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"  ; $PROGRAMFILES on 32-bit Windows
  ${EndIf}
FunctionEnd

Section "Nivalo"
  !insertmacro SetScreenSaverPath
  ${GetParent} $ScreenSaver $R0

  ; What the screen saver was before, kept once: installing again over
  ; Nivalo keeps the value that an earlier install found.
  !insertmacro IsCurrentScreenSaver
  ${If} $0 == 0
    ClearErrors
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} ${Errors}
      StrCpy $1 ""
    ${EndIf}
    System::Call 'user32::SystemParametersInfo(i ${SPI_GETSCREENSAVEACTIVE}, i 0, *i .r2, i 0)'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "PreviousScreenSaver" "$1"
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "PreviousScreenSaveActive" $2
  ${EndIf}

  ${DisableX64FSRedirection}
  CreateDirectory "$R0"
  SetOutPath "$R0"
  ; Moved-aside files of an earlier upgrade whose screen saver has ended.
  Delete "$R0\Nivalo.scr.*.old"
  Delete "$R0\Nivalohelp.hlp.*.old"
  !insertmacro RemoveOrMoveAside "$R0\Nivalo.scr"
  !insertmacro RemoveOrMoveAside "$R0\Nivalohelp.hlp"
  ${If} ${RunningX64}
    File "${BUILD_DIR}/x64/Nivalo.scr"
    File "${BUILD_DIR}/x64/Nivalohelp.hlp"
  ${Else}
    File "${BUILD_DIR}/Nivalo.scr"
    File "${BUILD_DIR}/Nivalohelp.hlp"
  ${EndIf}
  ${EnableX64FSRedirection}

  CreateDirectory "$INSTDIR"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; Nivalo becomes the current screen saver, in the short form of its path
  ; that the display settings write, and the screen saver is switched on.
  ${DisableX64FSRedirection}
  GetFullPathName /SHORT $1 "$ScreenSaver"
  ${EnableX64FSRedirection}
  ${If} $1 == ""
    StrCpy $1 "$ScreenSaver"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$1"
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_TELL})'

  ; Apps & features.
  StrCpy $1 0
  ${DisableX64FSRedirection}
  ${GetSize} "$R0" "/M=Nivalo.scr /S=0K /G=0" $2 $3 $4
  IntOp $1 $1 + $2
  ${GetSize} "$R0" "/M=Nivalohelp.hlp /S=0K /G=0" $2 $3 $4
  IntOp $1 $1 + $2
  ${EnableX64FSRedirection}
  ${GetSize} "$INSTDIR" "/M=${UNINSTALLER} /S=0K /G=0" $2 $3 $4
  IntOp $1 $1 + $2
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$ScreenSaver"
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "${WEB_ADDRESS}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  ; Run in place, so that whoever starts it waits for the whole uninstall
  ; and gets its exit code.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; An interactive install ends with the command that the system's own
; "Install" of a screen saver runs: the display control panel's
; InstallScreenSaver makes it the current one and opens the screen saver
; settings with it chosen. The native rundll32 and control panel, so that
; they see the file in the real System32.
Function .onInstSuccess
  ${IfNot} ${Silent}
    ${DisableX64FSRedirection}
    Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $ScreenSaver'
    ${EnableX64FSRedirection}
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------
; Uninstaller. It finds out how Nivalo was installed from the entry that
; names its folder: the one for everyone, or the user's own.

Function un.onInit
  !insertmacro UseNativeViews
  ; The copy that removes an uninstaller run in place, once it has ended.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AFTER=" $R1
  ${IfNot} ${Errors}
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i $R1) p .r0'
    ${If} $0 != 0
      System::Call 'kernel32::WaitForSingleObject(p r0, i -1)'
      System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    Delete /REBOOTOK "$EXEPATH"
    Quit
  ${EndIf}
  StrCpy $AllUsers 0
  StrCpy $RemoveSettings 0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 1
    SetShellVarContext all
    !insertmacro CheckAdministrator
    ${If} $0 == 0
      ${If} ${Silent}
        !insertmacro RunAgainAsAdministrator "/S _?=$INSTDIR"
        SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
        Quit
      ${EndIf}
      !insertmacro RunAgainAsAdministrator "_?=$INSTDIR"
      MessageBox MB_ICONEXCLAMATION|MB_OK "Nivalo was installed for everyone: removing it needs administrator rights."
      SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
      Quit
    ${EndIf}
  ${EndIf}
  !insertmacro SetScreenSaverPath
FunctionEnd

Function un.ConfirmPage
  !insertmacro MUI_HEADER_TEXT "Uninstall ${PRODUCT}" "Remove the Nivalo screen saver from this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "The screen saver, its help and its uninstaller will be removed from $INSTDIR. If Nivalo is your screen saver, the one you had before takes its place."
  Pop $0
  ${NSD_CreateCheckbox} 0 48u 100% 12u "Also remove my &Nivalo settings"
  Pop $RemoveSettingsBox
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:&Uninstall"
  nsDialogs::Show
FunctionEnd

Function un.LeaveConfirmPage
  ${NSD_GetState} $RemoveSettingsBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetAutoClose true
  ; Put back the screen saver Nivalo replaced, if Nivalo is still the one.
  !insertmacro IsCurrentScreenSaver
  ${If} $0 == 1
    ClearErrors
    ReadRegStr $1 SHCTX "${UNINSTALL_KEY}" "PreviousScreenSaver"
    ReadRegDWORD $2 SHCTX "${UNINSTALL_KEY}" "PreviousScreenSaveActive"
    ${If} $1 == ""
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$1"
    ${EndIf}
    ${IfNot} ${Errors}
      System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i $2, p 0, i ${SPIF_UPDATE_AND_TELL})'
    ${EndIf}
  ${EndIf}

  ${GetParent} $ScreenSaver $R0
  ${DisableX64FSRedirection}
  !insertmacro RemoveOrMoveAside "$R0\Nivalo.scr"
  !insertmacro RemoveOrMoveAside "$R0\Nivalohelp.hlp"
  Delete "$R0\Nivalo.scr.*.old"
  Delete "$R0\Nivalohelp.hlp.*.old"
  !insertmacro RemoveHelpViewerFiles "$R0"
  ${EnableX64FSRedirection}

  ; Started in place (the quiet uninstall string, so that whoever starts it
  ; waits for it and gets its exit code), the uninstaller cannot delete
  ; itself: a copy in the temporary folder waits for it to end and then
  ; removes it and its folder.
  ${If} $EXEPATH == "$INSTDIR\${UNINSTALLER}"
    GetTempFileName $0
    CopyFiles /SILENT "$EXEPATH" "$0"
    System::Call 'kernel32::GetCurrentProcessId() i .r1'
    Exec '"$0" /S /AFTER=$1 _?=$INSTDIR'
  ${Else}
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
  ${EndIf}

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ${If} $RemoveSettings == 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    ${GetParent} "${SETTINGS_KEY}" $0
    DeleteRegKey /ifempty HKCU "$0"
    ${GetParent} "$0" $0
    DeleteRegKey /ifempty HKCU "$0"
  ${EndIf}
SectionEnd
