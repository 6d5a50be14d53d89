; The MURLOX setup program. It installs the client for the user who runs it, without asking for an
; administrator: the program into %LOCALAPPDATA%\Programs\MURLOX, a Start menu shortcut and the
; entry in the list of installed programs, all per user. It writes the uninstaller that removes
; them again. Both run silently with /S.
;
; Built by the normal Windows build (CMake target murlox_setup):
;   makensis -DVERSION=1.54 -DPROGRAM=murlox.exe -DICON=murlox.ico -DOUTFILE=murlox-1.54-setup.exe
; A release build adds -DSIGN=scripts/sign, which signs the uninstaller before it is packed and the
; setup once it is written (cmake/signing.cmake).

Unicode true
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\MURLOX"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\MURLOX\Settings"
!define BROWSER_EMULATION_KEY "Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION"
; A running client is found by its hidden application window, as a second start finds it.
!define CLIENT_WINDOW_CLASS "TMurloxApplication"
!define CLIENT_WINDOW_TITLE "MURLOX"
; What a second start with "-uninstall" sends the running client: message 1125 with a global atom
; of the text; it waits a few seconds at most for a client that does not answer.
!define HAND_OVER_MESSAGE 1125
!define HAND_OVER_TEXT "-uninstall "
!define HAND_OVER_TIMEOUT_MS 5000
!define SMTO_ABORTIFHUNG 2
; How long a client may take to end once it has been handed "-uninstall"; it stores its settings
; and signs out, which takes well under a second. One that has not ended by then is stopped.
!define CLIENT_END_TIMEOUT_MS 15000
; SYNCHRONIZE, PROCESS_QUERY_LIMITED_INFORMATION and PROCESS_TERMINATE.
!define CLIENT_PROCESS_ACCESS 0x00101001

Name "MURLOX"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\MURLOX"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "MURLOX ${VERSION}"

; The same version information as the program's own, which has no copyright line either.
!pragma warning disable 9100
VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "MURLOX"
VIAddVersionKey /LANG=1033 "CompanyName" "MURLOX"
VIAddVersionKey /LANG=1033 "FileDescription" "MURLOX desktop client setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "murlox-${VERSION}-setup.exe"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start MURLOX"
!define MUI_FINISHPAGE_RUN_FUNCTION StartChosenClient
!define MUI_PAGE_CUSTOMFUNCTION_SHOW ShowFinishPage
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "Your MURLOX settings (the account, the password kept for automatic sign-in, the proxy) stay, so that MURLOX signs in as before when you install it again. Tick the box to remove them too."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; 1 when a running client was ended and has to be started again.
Var ClientWasRunning

; Ends every running client of this folder's program the way its program offers: it is handed
; "-uninstall" as a second start hands it, and ends as its "Exit" does, storing its settings. One
; that does not answer or does not end in time is stopped, so that its file can be replaced or
; removed. Then waits for its process, so that its last save is done before anything of it changes.
; Clients started from another folder are another installation's and keep running.
!macro END_RUNNING_CLIENT_FUNCTION prefix
Function ${prefix}EndRunningClient
  StrCpy $ClientWasRunning 0
  search_again:
  StrCpy $0 0
  next_window:
  FindWindow $0 "${CLIENT_WINDOW_CLASS}" "${CLIENT_WINDOW_TITLE}" 0 $0
  ${If} $0 = 0
    Return
  ${EndIf}
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
  System::Call 'kernel32::OpenProcess(i ${CLIENT_PROCESS_ACCESS}, i 0, i r1) p .r2'
  ${If} $2 = 0
    Goto next_window
  ${EndIf}
  System::Call 'kernel32::QueryFullProcessImageName(p r2, i 0, t .r4, *i ${NSIS_MAX_STRLEN}) i .r5'
  ${If} $5 = 0
  ${OrIf} $4 != "$INSTDIR\murlox.exe"
    System::Call 'kernel32::CloseHandle(p r2)'
    Goto next_window
  ${EndIf}
  DetailPrint "Ending the running MURLOX: $4"
  System::Call 'kernel32::GlobalAddAtom(t "${HAND_OVER_TEXT}") i .r6'
  System::Call 'user32::SendMessageTimeout(p r0, i ${HAND_OVER_MESSAGE}, p r6, p 0, i ${SMTO_ABORTIFHUNG}, i ${HAND_OVER_TIMEOUT_MS}, *p .r7)'
  System::Call 'kernel32::GlobalDeleteAtom(i r6)'
  System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLIENT_END_TIMEOUT_MS}) i .r5'
  ${If} $5 <> 0
    DetailPrint "MURLOX does not end; stopping it."
    System::Call 'kernel32::TerminateProcess(p r2, i 1)'
    System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLIENT_END_TIMEOUT_MS}) i .r5'
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r2)'
  ${If} $5 <> 0
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "MURLOX is still running. Choose $\"Exit$\" in its menu in the notification area, then try again." \
      /SD IDCANCEL IDRETRY search_again
    Abort "MURLOX is still running."
  ${EndIf}
  StrCpy $ClientWasRunning 1
  ; The windows after the ended client's may have gone with it.
  Goto search_again
FunctionEnd
!macroend
!insertmacro END_RUNNING_CLIENT_FUNCTION ""
!insertmacro END_RUNNING_CLIENT_FUNCTION "un."

Section "-Program"
  SetShellVarContext current
  Call EndRunningClient
  SetOutPath "$INSTDIR"
  File "/oname=murlox.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\MURLOX.lnk" "$INSTDIR\murlox.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "MURLOX"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "MURLOX"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\murlox.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $ClientWasRunning = 1
    Exec '"$INSTDIR\murlox.exe"'
  ${EndIf}
SectionEnd

; A client that was running has been started again already; the box would start a second one.
Function ShowFinishPage
  ${If} $ClientWasRunning = 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

Function StartChosenClient
  Exec '"$INSTDIR\murlox.exe"'
FunctionEnd

; The autostart value that the client writes while "start with Windows" is on: its full path,
; unquoted, and " -boot". Removed only when it starts the program being removed; another copy's
; value stays. Runs after the client has ended, as the client writes the value at its end.
Function un.RemoveOwnRunValue
  ReadRegStr $0 HKCU "${RUN_KEY}" "MURLOX"
  StrCpy $1 $0 "" -6
  ${If} $1 == " -boot"
    StrCpy $0 $0 -6
  ${EndIf}
  ${If} $0 == "$INSTDIR\murlox.exe"
  ${OrIf} $0 == '"$INSTDIR\murlox.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "MURLOX"
  ${EndIf}
FunctionEnd

Section "-un.Program"
  SetShellVarContext current
  Call un.EndRunningClient
  Call un.RemoveOwnRunValue
  Delete "$INSTDIR\murlox.exe"
  ; The downloaded wallpaper and its stretched copy, kept beside the program.
  Delete "$INSTDIR\wallpaper.*"
  Delete "$INSTDIR\wallpaper-desktop.bmp"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\MURLOX.lnk"
  DeleteRegValue HKCU "${BROWSER_EMULATION_KEY}" "murlox.exe"
SectionEnd

Section /o "un.Remove my MURLOX settings too"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\MURLOX"
SectionEnd

; Last, so that an entry gone means the removal is complete.
Section "-un.Entry"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
