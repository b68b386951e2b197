; Refuses to install over a Vorn that an MSI package installed: both would
; own one saver and show two entries, and only the MSI's own uninstall (or a
; later Vorn MSI) may change what it installed. Every Vorn MSI carries the
; upgrade code of upgrade-code.wxi. Included inside .onInit, after
; LogicLib.nsh and the definition of OTHER_VORN_EXIT:
;   !include "${__FILEDIR__}/msi-check.nsh"
!searchparse /file "${__FILEDIR__}/upgrade-code.wxi" '<?define UpgradeCode = "' VORN_UPGRADE_CODE '"'
; msi.dll from the system folder, never one beside the setup (Downloads):
; the call below then finds it loaded.
System::Call 'kernel32::LoadLibraryW(w "$SYSDIR\msi.dll") p .r0'
System::Call 'msi::MsiEnumRelatedProductsW(w "${VORN_UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
${If} $0 == 0 ; ERROR_SUCCESS: a product with this upgrade code is installed
  MessageBox MB_ICONSTOP "Vorn is installed on this computer from its MSI package (by an administrator or a deployment tool). Uninstall that Vorn first ($\"Vorn$\" in Programs and Features), or install a later Vorn MSI instead of this setup." /SD IDOK
  SetErrorLevel ${OTHER_VORN_EXIT}
  Quit
${EndIf}
