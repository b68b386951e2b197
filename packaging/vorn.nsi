; Vorn's setup program, one for each architecture. scripts/package.sh makes
; both from the files it puts in the release zip:
;   makensis -DARCH=x86|x64 -DVERSION=2.1.0.0 -DRELEASE=2.1 -DSTAGE=<folder>
;            -DICON=<vorn.ico> -DOUTFILE=<setup.exe> packaging/vorn.nsi
; STAGE holds Vorn.scr, x64/Vorn.scr, INSTALL.txt and LICENSE.txt, all dated
; at the release: the setup stores those dates, and nothing else that
; changes from one build to the next.

;--- The program: architecture, the saver it carries, where things go
!if "${ARCH}" == "x64"
  Target amd64-unicode
  !define SAVER_SOURCE "${STAGE}/x64/Vorn.scr"
  ; A 64-bit process sees the native System32 as $SYSDIR.
  !define SAVER_DIR "$SYSDIR"
  !define OTHER_DIR "$WINDIR"
  !define DEFAULT_FOLDER "$PROGRAMFILES64\Vorn"
!else if "${ARCH}" == "x86"
  Target x86-unicode
  !define SAVER_SOURCE "${STAGE}/Vorn.scr"
  ; The Windows folder: 32- and 64-bit settings list it alike, and no
  ; redirection moves a 32-bit program's files there somewhere else.
  !define SAVER_DIR "$WINDIR"
  !define OTHER_DIR "$SYSDIR"
  !define DEFAULT_FOLDER "$PROGRAMFILES\Vorn"
!else
  !error "ARCH must be x86 or x64"
!endif
!define SAVER "${SAVER_DIR}\Vorn.scr"
!define ENTRY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorn"
!define DESKTOP "Control Panel\Desktop"

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

;--- Pages: the installer's, then the uninstaller's
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Not shown by a silent install, so that one opens nothing.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen saver settings with Vorn chosen"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Vorn will be removed from this computer. Each user's Vorn settings stay in the registry, under HKEY_CURRENT_USER\Software\Kervolan\Screensavers\Vorn; delete that key with the Registry Editor to remove them too."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

;--- Helpers, each in an installer and an uninstaller form

; A 32-bit setup on 64-bit Windows reaches the native System32 only with the
; file system redirection of its thread off; nothing else may run meanwhile.
!macro NativeFiles ON
  !if "${ARCH}" == "x86"
    ${If} ${RunningX64}
      !if "${ON}" == "on"
        ${DisableX64FSRedirection}
      !else
        ${EnableX64FSRedirection}
      !endif
    ${EndIf}
  !endif
!macroend

!macro DefineHelpers UN
  ; Per-machine: Program Files, the Windows folders and HKLM need it.
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

  ; Deletes a Vorn saver at $R0 (native System32 or the Windows folder).
  ; When it is the current user's screen saver, the value is pointed at $R1,
  ; or removed when $R1 is empty, so that Windows never starts a missing
  ; saver. Windows may keep the value as a short path.
  Function ${UN}RemoveSaverAt
    !insertmacro NativeFiles on
    GetFullPathName /SHORT $R2 $R0
    ; A saver running (a preview, say) goes at the next restart.
    Delete /REBOOTOK $R0
    !insertmacro NativeFiles off
    StrCmp $R2 "" 0 +2
    StrCpy $R2 $R0
    ReadRegStr $R3 HKCU "${DESKTOP}" SCRNSAVE.EXE
    ExpandEnvStrings $R3 $R3
    ${If} $R3 == $R0
    ${OrIf} $R3 == $R2
      ${If} $R1 == ""
        DeleteRegValue HKCU "${DESKTOP}" SCRNSAVE.EXE
      ${Else}
        WriteRegStr HKCU "${DESKTOP}" SCRNSAVE.EXE $R1
      ${EndIf}
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro DefineHelpers ""
!insertmacro DefineHelpers "un."

;--- Start: the Windows this setup is for, and the folder of an earlier install
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
    ${If} ${RunningX64}
      MessageBox MB_YESNO|MB_ICONINFORMATION "This Windows is 64-bit: vorn-${RELEASE}-setup-x64.exe is the setup to use here, and installs the 64-bit Vorn.$\n$\nInstall the 32-bit Vorn anyway?" /SD IDYES IDYES +2
      Abort
    ${EndIf}
  !endif
  Call RequireAdmin
  !include "${__FILEDIR__}/msi-check.nsh"
  ; An upgrade goes where the last install went, unless /D says otherwise.
  ReadRegStr $0 HKLM "${ENTRY}" InstallLocation
  ${If} $0 != ""
  ${AndIf} $INSTDIR == "${DEFAULT_FOLDER}"
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  Call un.RequireAdmin
FunctionEnd

;--- Install: texts and uninstaller, the saver, the entry in the installed programs
Section
  SetOutPath "$INSTDIR"
  File "${STAGE}/INSTALL.txt"
  File "${STAGE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; One Vorn in the screen saver list: a saver of the other architecture's
  ; setup (or a copy put there by hand) gives way to this one.
  StrCpy $R0 "${OTHER_DIR}\Vorn.scr"
  StrCpy $R1 "${SAVER}"
  Call RemoveSaverAt
  SetOutPath "${SAVER_DIR}"
  File "/oname=Vorn.scr" "${SAVER_SOURCE}"

  ${GetSize} "$INSTDIR" "/S=0B" $0 $1 $2
  ${GetSize} "${SAVER_DIR}" "/M=Vorn.scr /S=0B /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  IntOp $0 $0 + 1023
  IntOp $0 $0 / 1024
  WriteRegStr HKLM "${ENTRY}" DisplayName "Vorn"
  WriteRegStr HKLM "${ENTRY}" DisplayVersion "${RELEASE}"
  WriteRegStr HKLM "${ENTRY}" Publisher "Kervolan"
  WriteRegStr HKLM "${ENTRY}" DisplayIcon "${SAVER}"
  WriteRegStr HKLM "${ENTRY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${ENTRY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${ENTRY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${ENTRY}" EstimatedSize $0
  WriteRegDWORD HKLM "${ENTRY}" NoModify 1
  WriteRegDWORD HKLM "${ENTRY}" NoRepair 1
SectionEnd

; What right-click "Install" on a saver runs. From a 32-bit setup on 64-bit
; Windows it must be the native rundll32, which opens the 64-bit settings.
Function OpenScreenSaverSettings
  !insertmacro NativeFiles on
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver ${SAVER}'
  !insertmacro NativeFiles off
FunctionEnd

;--- Uninstall: every Vorn saver in the list, the folder, the entry; the
;--- settings stay
Section Uninstall
  StrCpy $R1 ""
  StrCpy $R0 "$WINDIR\Vorn.scr"
  Call un.RemoveSaverAt
  StrCpy $R0 "$SYSDIR\Vorn.scr"
  Call un.RemoveSaverAt
  Delete "$INSTDIR\INSTALL.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${ENTRY}"
SectionEnd
