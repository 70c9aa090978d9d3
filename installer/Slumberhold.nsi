; The setup program of Slumberhold, built on Linux with makensis through
; installer/make-setup.sh.
;
; Defines (makensis -D...):
;   OUTFILE  the setup program to write
;   EXE64    the x86_64 Slumberhold.exe
;   EXE32    the i686 Slumberhold.exe; when given, the setup is a 32-bit
;            program that runs on every Windows and installs the program of
;            the machine's own width. Without it, the setup is a 64-bit
;            program for 64-bit Windows only.
;   VERSION  the version shown in Programs and Features; by default the file
;            version of EXE64.
;
; Setup switches: /S silent, /NOSTART do not start the engine at the end,
; /D=folder (last on the line) the install folder.
; Uninstaller switches: /S silent, /REMOVESETTINGS also delete the settings.

Unicode true

!ifndef OUTFILE | EXE64
  !error "OUTFILE and EXE64 must be defined (see installer/make-setup.sh)"
!endif

!ifdef EXE32
  Target x86-unicode
!else
  Target amd64-unicode
!endif

!ifndef VERSION
  !getdllversion "${EXE64}" EXE_VERSION_
  !define VERSION "${EXE_VERSION_1}.${EXE_VERSION_2}.${EXE_VERSION_3}.${EXE_VERSION_4}"
!endif

!define PRODUCT "Slumberhold"
!define PUBLISHER "Velderane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Slumberhold"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Velderane\Slumberhold"
!define VENDOR_KEY "Software\Velderane"
!define SHORTCUT "Slumberhold settings.lnk"
!define WINDOW_CLASS "TApplication"
!define ENGINE_TITLE "Slumberhold - Engine mode"
!define CONFIGURATOR_TITLE "Slumberhold"
; How long a program gets to end after WM_CLOSE before it is terminated.
!define CLOSE_TIMEOUT_MS 20000

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; The settings live in HKEY_LOCAL_MACHINE and the program in Program Files.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright ${PUBLISHER}"

Var NoStart

!define MUI_ICON "${__FILEDIR__}/../resources/Slumberhold.ico"
!define MUI_UNICON "${__FILEDIR__}/../resources/Slumberhold.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start the Slumberhold engine now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartEngine
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Closes every window of class TApplication with the title on the stack:
; WM_CLOSE, then a wait for its process to end. A process that keeps running
; (tray mode only hides its window) is terminated, as its file must go.
!macro CLOSE_PROGRAMS_FUNCTION prefix
Function ${prefix}ClosePrograms
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  ; A bound on the windows handled, in case one comes back again and again.
  ${For} $R4 1 10
    FindWindow $R1 "${WINDOW_CLASS}" "$R0"
    ${If} $R1 == 0
      ${Break}
    ${EndIf}
    DetailPrint "Closing $R0"
    System::Call "user32::GetWindowThreadProcessId(p R1, *i .R2)"
    ; SYNCHRONIZE | PROCESS_TERMINATE
    System::Call "kernel32::OpenProcess(i 0x00100001, i 0, i R2) p.R3"
    System::Call "user32::PostMessage(p R1, i ${WM_CLOSE}, p 0, p 0)"
    ${If} $R3 P<> 0
      System::Call "kernel32::WaitForSingleObject(p R3, i ${CLOSE_TIMEOUT_MS}) i.R2"
      ${If} $R2 != 0
        DetailPrint "$R0 did not end; terminating it"
        System::Call "kernel32::TerminateProcess(p R3, i 1)"
        System::Call "kernel32::WaitForSingleObject(p R3, i 5000)"
      ${EndIf}
      System::Call "kernel32::CloseHandle(p R3)"
    ${Else}
      ; Without a handle, wait for the window to go.
      ${For} $R2 1 80
        Sleep 250
        System::Call "user32::IsWindow(p R1) i.R3"
        ${If} $R3 = 0
          ${Break}
        ${EndIf}
      ${Next}
    ${EndIf}
  ${Next}
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro CLOSE_PROGRAMS_FUNCTION ""
!insertmacro CLOSE_PROGRAMS_FUNCTION "un."

; The settings and the uninstall entry are in the machine's own registry
; view, which the 64-bit program reads, also when this setup is 32-bit.
!macro USE_NATIVE_REGISTRY_VIEW
  !ifdef EXE32
    ${If} ${RunningX64}
      SetRegView 64
    ${EndIf}
  !endif
!macroend

; Windows without UAC (XP) starts the setup with whatever rights the user
; has; without an administrator's, HKEY_LOCAL_MACHINE and Program Files
; cannot be written.
!macro REQUIRE_ADMINISTRATOR
  UserInfo::GetAccountType
  Pop $R0
  ${If} $R0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "Administrator rights are needed to install or uninstall Slumberhold." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro REQUIRE_ADMINISTRATOR
  !insertmacro USE_NATIVE_REGISTRY_VIEW
  StrCpy $NoStart 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NOSTART" $R1
  ${IfNot} ${Errors}
    StrCpy $NoStart 1
  ${EndIf}
  ; /D= sets the folder before this runs; else an upgrade goes where the
  ; installed version is.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    !ifdef EXE32
      ${If} ${RunningX64}
        StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
      ${Else}
        StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
      ${EndIf}
    !else
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    !endif
  ${EndIf}
FunctionEnd

Function FinishPageShow
  ${If} $NoStart == 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
  ${EndIf}
FunctionEnd

; INSTALLING: the engine skips its logon work (forced-reboot follow-up,
; front-ends started at logon), which does not belong to an install.
Function StartEngine
  Exec '"$INSTDIR\Slumberhold.exe" ENGINE INSTALLING'
FunctionEnd

Section "-Install"
  ; An older version in use would keep its file locked.
  Push "${ENGINE_TITLE}"
  Call ClosePrograms
  Push "${CONFIGURATOR_TITLE}"
  Call ClosePrograms

  SetOutPath "$INSTDIR"
  !ifdef EXE32
    ${If} ${RunningX64}
      File "/oname=Slumberhold.exe" "${EXE64}"
    ${Else}
      File "/oname=Slumberhold.exe" "${EXE32}"
    ${EndIf}
  !else
    File "/oname=Slumberhold.exe" "${EXE64}"
  !endif
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The engine runs in the user's desktop session with the user's rights
  ; (the program asks for no elevation), which the per-user Run key gives at
  ; every logon.
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Slumberhold.exe" ENGINE'

  ; The configurator changes machine-wide settings: every user's Start menu.
  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\Slumberhold.exe" "" "$INSTDIR\Slumberhold.exe" 0 \
    SW_SHOWNORMAL "" "Change the settings of Slumberhold"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\Slumberhold.exe",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R0

  ${If} ${Silent}
  ${AndIf} $NoStart == 0
    Call StartEngine
  ${EndIf}
SectionEnd

Section "-un.Program"
  Push "${ENGINE_TITLE}"
  Call un.ClosePrograms
  Push "${CONFIGURATOR_TITLE}"
  Call un.ClosePrograms

  Delete /REBOOTOK "$INSTDIR\Slumberhold.exe"
  Delete /REBOOTOK "$INSTDIR\Uninstall.exe"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
SectionEnd

; Off unless ticked (or /REMOVESETTINGS): the settings and the log survive
; an uninstall, so that a reinstall carries on where it left off.
Section /o "un.Remove the settings of Slumberhold" UninstallSettings
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "${VENDOR_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${VENDOR_KEY}"
SectionEnd

; The entry goes last: an uninstall that stopped half-way can be run again.
Section "-un.Entry"
  RMDir /REBOOTOK "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; After the sections, whose index it needs.
Function un.onInit
  !insertmacro REQUIRE_ADMINISTRATOR
  !insertmacro USE_NATIVE_REGISTRY_VIEW
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${UninstallSettings} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
