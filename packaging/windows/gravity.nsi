; The Windows installer, built by the build (`make windows`) with makensis, which defines VERSION,
; EXE, README, LICENSE, ICON and OUTFILE. It installs gravity.exe with its README and licence into
; Program Files, adds a Start-menu entry and an entry in Windows' list of installed programs, and
; writes an uninstaller that removes all of it. `/S` installs or uninstalls silently.
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
; The installed files take the time they are installed at, not their time in the build: the
; installer keeps no time of the build, so the same commit builds the same installer.
SetDateSave off

!define APP "gravity"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "Software\${APP}" "InstallDir"
RequestExecutionLevel admin
LicenseData "${LICENSE}"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "${APP}"
  SetOutPath "$INSTDIR"
  File "/oname=gravity.exe" "${EXE}"
  File "/oname=README.md" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; For every user of the computer.
  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\gravity.exe"

  WriteRegStr HKLM "Software\${APP}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "the gravity authors"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\gravity.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$INSTDIR\gravity.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\${APP}"
SectionEnd
