; Vorn's setup program, one for each architecture. scripts/package.sh makes
; both from the files it puts in the release zip:
;   makensis -DARCH=x86|x64 -DVERSION=2.1.0.0 -DRELEASE=2.1 -DSTAGE=<folder>
;            -DICON=<vorn.ico> -DOUTFILE=<setup.exe> [-DSIGN=<command>]
;            packaging/vorn.nsi
; STAGE holds Vorn.scr, x64/Vorn.scr, INSTALL.txt and LICENSE.txt, all dated
; at the release: the setup stores those dates, and nothing else that
; changes from one build to the next. SIGN, when given, signs the
; uninstaller and the setup in place (run as SIGN FILE).
;
; A setup runs elevated, often as another account than the person who uses
; the saver (an administrator's password typed at the prompt, a deployment
; tool running as SYSTEM): so it writes nothing under HKEY_CURRENT_USER, and
; what its last page starts, the shell starts for the desktop's user.
;
; Exit codes of a silent run: 0 done; 3010 done, a restart finishes it; 1638
; another Vorn is installed that this setup does not replace: a newer one,
; one from the MSI package, or (x86 setup) the 64-bit one (nothing changed);
; 32 the saver could not be set aside (nothing changed); 1603 the new saver
; could not be written (the old one put back, nothing changed); 740 no
; administrator rights; 2 not for this Windows or this processor (the x86
; setup on 64-bit Windows, silent, without /ALLOWX86ON64).

;--- The program: architecture, the saver it carries, where things go
!if "${ARCH}" == "x64"
  Target amd64-unicode
  !define SAVER_SOURCE "${STAGE}/x64/Vorn.scr"
  !define DEFAULT_FOLDER "$PROGRAMFILES64\Vorn"
!else if "${ARCH}" == "x86"
  Target x86-unicode
  !define SAVER_SOURCE "${STAGE}/Vorn.scr"
  !define DEFAULT_FOLDER "$PROGRAMFILES\Vorn"
!else
  !error "ARCH must be x86 or x64"
!endif
; Both setups put the saver in the Windows folder: every screen saver
; settings program lists it, and no redirection moves a 32-bit program's
; files there elsewhere. So the x64 setup replaces a 32-bit saver in place,
; and no user's chosen screen saver ever names a file that went away.
!define SAVER "$WINDIR\Vorn.scr"
!define ENTRY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorn"
!define IN_USE_EXIT 32 ; ERROR_SHARING_VIOLATION
!define OTHER_VORN_EXIT 1638 ; ERROR_PRODUCT_VERSION, as Windows Installer has it
!define NOT_WRITTEN_EXIT 1603 ; ERROR_INSTALL_FAILURE
!define CHOOSE_VORN "To make Vorn your screen saver, open the screen saver settings (Windows 10 and 11: Settings, Personalization, Lock screen, Screen saver; older Windows: right-click the desktop, Personalize or Properties, Screen Saver) and choose Vorn."

!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
Name "Vorn ${RELEASE}"
OutFile "${OUTFILE}"
InstallDir "${DEFAULT_FOLDER}"
BrandingText "Kervolan"

;--- What Explorer shows in the setup's properties
VIProductVersion ${VERSION}
VIFileVersion ${VERSION}
VIAddVersionKey /LANG=1033 ProductName "Vorn"
VIAddVersionKey /LANG=1033 CompanyName "Kervolan"
VIAddVersionKey /LANG=1033 FileDescription "Vorn setup"
VIAddVersionKey /LANG=1033 FileVersion ${VERSION}
VIAddVersionKey /LANG=1033 ProductVersion ${VERSION}
VIAddVersionKey /LANG=1033 LegalCopyright "(c) 2026 Kervolan"
VIAddVersionKey /LANG=1033 OriginalFilename "vorn-${RELEASE}-setup-${ARCH}.exe"

!include MUI2.nsh
!include LogicLib.nsh
!include WinVer.nsh
!include x64.nsh
!include FileFunc.nsh
!include WordFunc.nsh

Var OldFolder
Var WritingSaver ; "1" while the new saver is being written

;--- Pages: the installer's, then the uninstaller's
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Not shown by a silent install, so that one opens nothing. When a restart
; is needed, the page offers it instead of the settings.
!define MUI_FINISHPAGE_TEXT "Vorn ${RELEASE} is installed.$\r$\n$\r$\n${CHOOSE_VORN}"
!define MUI_FINISHPAGE_TEXT_REBOOT "Vorn ${RELEASE} is installed. The screen saver that was in use is removed when Windows restarts.$\r$\n$\r$\n${CHOOSE_VORN}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen saver settings with Vorn chosen"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Vorn will be removed from this computer. What each user chose stays with that user: where Vorn is someone's screen saver, Windows starts no screen saver for them until they choose another in the screen saver settings; and their Vorn settings stay in the registry, under HKEY_CURRENT_USER\Software\Kervolan\Screensavers\Vorn (delete that key with the Registry Editor to remove them)."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT_REBOOT "Vorn is removed. The rest of its files (its uninstaller, and a screen saver that was in use) are deleted when Windows restarts."
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE English

;--- Helpers, each in an installer and an uninstaller form
!macro DefineHelpers UN
  ; Per-machine: Program Files, the Windows folder and HKLM need it.
  Function ${UN}RequireAdmin
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "admin"
      MessageBox MB_ICONSTOP "Vorn's setup needs administrator rights: it installs Vorn for every user of this computer." /SD IDOK
      SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
      Quit
    ${EndIf}
    ; One entry wherever it was written from: the native view of the registry.
    !if "${ARCH}" == "x86"
      ${If} ${RunningX64}
        SetRegView 64
      ${EndIf}
    !endif
  FunctionEnd

  ; Moves the installed saver out of the way, in use or not, to a name of
  ; its own that the screen saver list does not show ($R9; empty when there
  ; was no saver). Only such a name is ever deleted at a restart, so no
  ; pending delete can take a saver that a later install put in place. When
  ; even the rename fails, nothing has changed yet: say so and stop.
  Function ${UN}SetSaverAside
    StrCpy $R9 ""
    IfFileExists "${SAVER}" 0 done
    GetTempFileName $R9 "$WINDIR"
    System::Call 'kernel32::MoveFileExW(w "${SAVER}", w R9, i 1) i .r0' ; MOVEFILE_REPLACE_EXISTING
    ${If} $0 = 0
      Delete $R9
      !if "${UN}" == "un."
        MessageBox MB_ICONSTOP "Vorn's screen saver is in use and cannot be removed: close the screen saver and its settings, then uninstall Vorn again." /SD IDOK
      !else
        MessageBox MB_ICONSTOP "Vorn's screen saver is in use and cannot be replaced: close the screen saver and its settings, then run the setup again." /SD IDOK
      !endif
      SetErrorLevel ${IN_USE_EXIT}
      Quit
    ${EndIf}
    done:
  FunctionEnd

  ; A deferred delete sets the restart flag, which the pages show and a
  ; silent run returns as 3010 (ERROR_SUCCESS_REBOOT_REQUIRED).
  Function ${UN}SignalRestart
    IfRebootFlag 0 +2
    SetErrorLevel 3010
  FunctionEnd
!macroend
!insertmacro DefineHelpers ""
!insertmacro DefineHelpers "un."

;--- Start: the Windows this setup is for, a newer Vorn, an earlier folder
Function .onInit
  !if "${ARCH}" == "x64"
    ; (32-bit Windows does not start a 64-bit program at all.)
    ${IfNot} ${AtLeastWinVista}
      MessageBox MB_ICONSTOP "This Vorn needs 64-bit Windows Vista or later. On an older Windows use vorn-${RELEASE}-setup-x86.exe." /SD IDOK
      Abort
    ${EndIf}
  !else
    ${If} ${IsWinXP}
    ${AndIf} ${AtMostServicePack} 2
    ${OrIfNot} ${AtLeastWinXP}
      MessageBox MB_ICONSTOP "Vorn needs Windows XP with Service Pack 3 or a later Windows." /SD IDOK
      Abort
    ${EndIf}
    ; The 32-bit saver needs SSE2 (10: PF_XMMI64_INSTRUCTIONS_AVAILABLE).
    System::Call 'kernel32::IsProcessorFeaturePresent(i 10) i .r0'
    ${If} $0 == 0
      MessageBox MB_ICONSTOP "Vorn needs a processor with SSE2: a Pentium 4, an Athlon 64 or any later one." /SD IDOK
      Abort
    ${EndIf}
    ; On 64-bit Windows the x64 setup is the one to use: this one asks, a
    ; silent run installs only with /ALLOWX86ON64, and neither replaces the
    ; 64-bit saver. So both setups given to one PC leave it one Vorn, the
    ; 64-bit one, as the MSI packages do.
    ${If} ${RunningX64}
      ${GetParameters} $0
      ClearErrors
      ${GetOptions} $0 "/ALLOWX86ON64" $1
      ${If} ${Errors}
        MessageBox MB_YESNO|MB_ICONINFORMATION "This Windows is 64-bit: vorn-${RELEASE}-setup-x64.exe is the setup to use here, and installs the 64-bit Vorn.$\n$\nInstall the 32-bit Vorn anyway?" /SD IDNO IDYES +2
        Abort
      ${EndIf}
      System::Call 'kernel32::GetBinaryTypeW(w "${SAVER}", *i .r1) i .r0'
      ${If} $0 <> 0
      ${AndIf} $1 = 6 ; SCS_64BIT_BINARY
        MessageBox MB_ICONSTOP "The 64-bit Vorn is installed on this computer, and the 32-bit one does not replace it. To install the 32-bit Vorn, uninstall the 64-bit one first. Nothing was changed." /SD IDOK
        SetErrorLevel ${OTHER_VORN_EXIT}
        Quit
      ${EndIf}
    ${EndIf}
  !endif
  Call RequireAdmin
  !include "${__FILEDIR__}/msi-check.nsh"
  ; The installed saver's file version; the same version repairs.
  ClearErrors
  GetDLLVersion "${SAVER}" $R0 $R1
  ${IfNot} ${Errors}
    IntOp $R2 $R0 >> 16
    IntOp $R3 $R0 & 0xFFFF
    IntOp $R4 $R1 >> 16
    IntOp $R5 $R1 & 0xFFFF
    ${VersionCompare} "${VERSION}" "$R2.$R3.$R4.$R5" $R6
    ${If} $R6 = 2
      MessageBox MB_ICONSTOP "Vorn $R2.$R3 is installed, which is newer than this setup (Vorn ${RELEASE}). Nothing was changed." /SD IDOK
      SetErrorLevel ${OTHER_VORN_EXIT}
      Quit
    ${EndIf}
  ${EndIf}
  ; An upgrade goes where the last install went, unless /D says otherwise.
  ReadRegStr $OldFolder HKLM "${ENTRY}" InstallLocation
  ${If} $OldFolder != ""
  ${AndIf} $INSTDIR == "${DEFAULT_FOLDER}"
    StrCpy $INSTDIR $OldFolder
  ${EndIf}
FunctionEnd

Function un.onInit
  Call un.RequireAdmin
  Call un.FinishIfAsked
FunctionEnd

; The entry's commands run the uninstaller in place (_?=) so that whoever
; starts them waits for the work; but a running uninstaller keeps its own
; file open, neither movable nor deletable. So once its work is done it
; starts a copy of itself from the temporary folder with /FINISH=<its process
; id>, which waits for it to end, then deletes uninstall.exe and the folder:
; they go a moment after the command returns, with no restart. The copy
; itself goes at the next restart, as the uninstaller's own temporary copies
; always do.
Function un.RemoveSelfWhenDone
  ClearErrors ; what IfErrors reads below is this function's own
  GetTempFileName $0
  CopyFiles /SILENT "$EXEPATH" $0
  System::Call 'kernel32::GetCurrentProcessId() i .r1'
  Exec '"$0" /FINISH=$1 _?=$INSTDIR'
  IfErrors 0 +3
  Delete /REBOOTOK "$INSTDIR\uninstall.exe" ; no copy could start: at the restart
  RMDir /REBOOTOK "$INSTDIR"
FunctionEnd

Function un.FinishIfAsked
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/FINISH=" $1
  IfErrors done
  System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i r1) p .r2' ; SYNCHRONIZE
  ${If} $2 P<> 0
    System::Call 'kernel32::WaitForSingleObject(p r2, i 60000) i .r3'
    System::Call 'kernel32::CloseHandle(p r2)'
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  IfFileExists "$INSTDIR\uninstall.exe" 0 +3
  Delete /REBOOTOK "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  System::Call 'kernel32::MoveFileExW(w "$EXEPATH", p 0, i 4)' ; MOVEFILE_DELAY_UNTIL_REBOOT
  SetErrorLevel 0
  Quit
  done:
FunctionEnd

;--- Install: the saver first (the one step that may refuse), texts and
;--- uninstaller, the entry in the installed programs

; The new saver could not be written (a full disk, something in the way):
; the one set aside goes back to its name, and the setup says so. Nothing
; else has been done yet, so nothing has changed.
Function PutSaverBack
  StrCpy $WritingSaver ""
  ${If} $R9 == ""
    Delete "${SAVER}" ; what was written of the new one; there was none before
    StrCpy $0 "Nothing was changed."
  ${Else}
    System::Call 'kernel32::MoveFileExW(w R9, w "${SAVER}", i 1) i .r0' ; MOVEFILE_REPLACE_EXISTING
    ${If} $0 <> 0
      StrCpy $0 "The Vorn that was installed is back in place: nothing was changed."
    ${Else}
      StrCpy $0 "The Vorn that was installed could not be put back either: it is $R9 now (rename it Vorn.scr)."
    ${EndIf}
  ${EndIf}
  MessageBox MB_ICONSTOP "Vorn's new screen saver could not be written to ${SAVER} (is the disk full?). $0" /SD IDOK
  SetErrorLevel ${NOT_WRITTEN_EXIT}
FunctionEnd

Section
  Call SetSaverAside
  SetOutPath "$WINDIR"
  ; A file that cannot be opened sets the error flag (silent runs ignore
  ; it); a write that fails ends the installation, in .onInstFailed.
  StrCpy $WritingSaver 1
  ClearErrors
  File "/oname=Vorn.scr" "${SAVER_SOURCE}"
  ${If} ${Errors}
    Call PutSaverBack
    Quit
  ${EndIf}
  StrCpy $WritingSaver ""
  ${If} $R9 != ""
    Delete /REBOOTOK $R9
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${STAGE}/INSTALL.txt"
  File "${STAGE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; A folder chosen anew: the old one's files go (with it, when empty).
  ${If} $OldFolder != ""
  ${AndIf} $OldFolder != $INSTDIR
    Delete "$OldFolder\INSTALL.txt"
    Delete "$OldFolder\LICENSE.txt"
    Delete "$OldFolder\uninstall.exe"
    RMDir "$OldFolder"
  ${EndIf}

  ${GetSize} "$INSTDIR" "/S=0B" $0 $1 $2
  ${GetSize} "$WINDIR" "/M=Vorn.scr /S=0B /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  IntOp $0 $0 + 1023
  IntOp $0 $0 / 1024
  WriteRegStr HKLM "${ENTRY}" DisplayName "Vorn"
  WriteRegStr HKLM "${ENTRY}" DisplayVersion "${RELEASE}"
  WriteRegStr HKLM "${ENTRY}" Publisher "Kervolan"
  WriteRegStr HKLM "${ENTRY}" DisplayIcon "${SAVER}"
  WriteRegStr HKLM "${ENTRY}" InstallLocation "$INSTDIR"
  ; _?= runs the uninstaller in place instead of from a copy that returns
  ; at once, so whoever starts it waits for the work to be done.
  WriteRegStr HKLM "${ENTRY}" UninstallString '"$INSTDIR\uninstall.exe" _?=$INSTDIR'
  WriteRegStr HKLM "${ENTRY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKLM "${ENTRY}" EstimatedSize $0
  WriteRegDWORD HKLM "${ENTRY}" NoModify 1
  WriteRegDWORD HKLM "${ENTRY}" NoRepair 1
SectionEnd

Function .onInstSuccess
  Call SignalRestart
FunctionEnd

Function .onInstFailed
  ${If} $WritingSaver == 1
    Call PutSaverBack
  ${EndIf}
FunctionEnd

; What right-click "Install" on a saver runs, started by the shell so that it
; runs as the desktop's user, not as the account of this elevated setup
; (InstallScreenSaver chooses the saver for whoever runs it): the desktop
; window's view gives the shell's automation object (Application), whose
; ShellExecute runs in Explorer. Where any step fails, nothing runs and the user is told how
; to choose Vorn.
!define CLSID_ShellWindows "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}"
!define IID_IShellWindows "{85CB6900-4D95-11CF-960C-0080C7F4EE85}"
!define IID_IServiceProvider "{6D5140C1-7436-11CE-8034-00AA006009FA}"
!define SID_STopLevelBrowser "{4C96BE40-915C-11CF-99D3-00AA004AE837}"
!define IID_IShellBrowser "{000214E2-0000-0000-C000-000000000046}"
!define IID_IDispatch "{00020400-0000-0000-C000-000000000046}"
!define IID_NULL "{00000000-0000-0000-0000-000000000000}"
!define IID_IShellDispatch2 "{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}"
; A step: on success the object in OUT, else on to "failed" (VTABLE is the
; method's place in the interface's table).
!macro ShellStep OBJECT VTABLE ARGS OUT
  System::Call "${OBJECT}->${VTABLE}(${ARGS}) i .r0"
  IntCmp $0 0 0 failed failed
  StrCmp ${OUT} 0 failed
!macroend
!macro ReleaseObject OBJECT
  StrCmp ${OBJECT} 0 +2
  System::Call "${OBJECT}->2()"
!macroend
Function OpenScreenSaverSettings
  StrCpy $1 0
  StrCpy $2 0
  StrCpy $3 0
  StrCpy $4 0
  StrCpy $5 0
  StrCpy $6 0
  StrCpy $8 0
  StrCpy $9 0
  System::Call '*(l 0, l 0, l 0) p .R1' ; an empty VARIANT, wide enough for 64-bit
  System::Call "ole32::CoCreateInstance(g '${CLSID_ShellWindows}', p 0, i 4, g '${IID_IShellWindows}', *p .r1) i .r0" ; CLSCTX_LOCAL_SERVER
  IntCmp $0 0 0 failed failed
  ; FindWindowSW(SWC_DESKTOP 8, SWFO_NEEDDISPATCH 1)
  !insertmacro ShellStep $1 15 "p R1, p R1, i 8, *i .R2, i 1, *p .r2" $2
  !insertmacro ShellStep $2 0 "g '${IID_IServiceProvider}', *p .r3" $3
  !insertmacro ShellStep $3 3 "g '${SID_STopLevelBrowser}', g '${IID_IShellBrowser}', *p .r4" $4
  !insertmacro ShellStep $4 15 "*p .r5" $5 ; QueryActiveShellView
  !insertmacro ShellStep $5 15 "i 0, g '${IID_IDispatch}', *p .r6" $6 ; GetItemObject(SVGIO_BACKGROUND)
  ; The view's Application property (IShellFolderViewDual), asked through
  ; IDispatch: a proxy of the view may carry no other interface.
  !insertmacro ShellStep $6 5 "g '${IID_NULL}', *w 'Application', i 1, i 0, *i .R2" 1 ; GetIDsOfNames
  System::Call '*(p 0, p 0, i 0, i 0) p .R7' ; no arguments
  System::Call '*(l 0, l 0, l 0) p .R8' ; the result
  System::Call "$6->6(i R2, g '${IID_NULL}', i 0, i 2, p R7, p R8, p 0, p 0) i .r0" ; Invoke, DISPATCH_PROPERTYGET
  System::Call '*$R8(&i2 .R2, &i2, &i2, &i2, p .R3)'
  System::Free $R7
  System::Free $R8
  IntCmp $0 0 0 failed failed
  StrCmp $R2 9 0 failed ; VT_DISPATCH
  StrCpy $8 $R3
  !insertmacro ShellStep $8 0 "g '${IID_IShellDispatch2}', *p .r9" $9
  System::Call 'oleaut32::SysAllocString(w "$SYSDIR\rundll32.exe") p .R3'
  System::Call 'oleaut32::SysAllocString(w "desk.cpl,InstallScreenSaver ${SAVER}") p .R4'
  ; ShellExecute(File, vArgs, vDir, vOperation, vShow): the arguments a
  ; VT_BSTR (8), the window SW_SHOWNORMAL as VT_I4 (3). A 64-bit caller
  ; passes each VARIANT by address, a 32-bit one on the stack.
  !if "${ARCH}" == "x64"
    System::Call '*(i 8, i 0, p R4, p 0) p .R5'
    System::Call '*(i 3, i 0, p 1, p 0) p .R6'
    System::Call "$9->31(p R3, p R5, p R1, p R1, p R6) i .r0"
    System::Free $R5
    System::Free $R6
  !else
    System::Call "$9->31(p R3, i 8, i 0, p R4, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 3, i 0, i 1, i 0) i .r0"
  !endif
  System::Call 'oleaut32::SysFreeString(p R3)'
  System::Call 'oleaut32::SysFreeString(p R4)'
  IntCmp $0 0 released failed failed
  failed:
    MessageBox MB_ICONINFORMATION "The screen saver settings could not be opened for you. ${CHOOSE_VORN}"
  released:
  System::Free $R1
  !insertmacro ReleaseObject $9
  !insertmacro ReleaseObject $8
  !insertmacro ReleaseObject $6
  !insertmacro ReleaseObject $5
  !insertmacro ReleaseObject $4
  !insertmacro ReleaseObject $3
  !insertmacro ReleaseObject $2
  !insertmacro ReleaseObject $1
FunctionEnd

;--- Uninstall: the saver, the folder, the entry; what each user chose stays
Section Uninstall
  Call un.SetSaverAside
  ${If} $R9 != ""
    Delete /REBOOTOK $R9
  ${EndIf}
  Delete "$INSTDIR\INSTALL.txt"
  Delete "$INSTDIR\LICENSE.txt"
  ; Run in place (_?=, as the entry's commands do), the uninstaller is this
  ; very file: a copy removes it and the folder once this process ends.
  ; Started otherwise, it runs from a temporary copy and removes them at once.
  ${If} $EXEPATH == "$INSTDIR\uninstall.exe"
    Call un.RemoveSelfWhenDone
  ${Else}
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
  ${EndIf}
  DeleteRegKey HKLM "${ENTRY}"
SectionEnd

Function un.onUninstSuccess
  Call un.SignalRestart
FunctionEnd
