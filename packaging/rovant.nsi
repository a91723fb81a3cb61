; The ROVANT installer, built with makensis (Debian package nsis) by the CMake target
; package_installer. Installs rovant.exe, its help file ROVANT.CHM and the LAN library
; SxJcp32.dll for all users, with Start menu shortcuts and an uninstaller registered in
; Add/Remove Programs. Both run silently with /S:
;
;   rovant-2.00-setup-x86.exe /S [/D=C:\Some\Folder]
;   "<folder>\Uninstall.exe" /S
;
; Defines (makensis -D...):
;   PROGRAM_DIR  folder holding the three files (build/<preset>/ui)     required
;   OUTFILE      the installer to write                                   required
;   VERSION      product version shown in Add/Remove Programs             default 2.00
;   X86_64       build the x86_64 installer (from the mingw64 build); without it the
;                shipped 32-bit installer is built

!ifndef PROGRAM_DIR
  !error "PROGRAM_DIR is not defined: makensis -DPROGRAM_DIR=<folder with rovant.exe> ..."
!endif
!ifndef OUTFILE
  !error "OUTFILE is not defined: makensis -DOUTFILE=<installer.exe> ..."
!endif
!ifndef VERSION
  !define VERSION "2.00"
!endif

!define PRODUCT "ROVANT"
!define PUBLISHER "ROVANT developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ROVANT"
!define UNINSTALLER "Uninstall.exe"

!ifdef X86_64
  Target amd64-unicode
  !define PROGRAMS_ROOT "$PROGRAMFILES64"
!else
  Unicode true
  !define PROGRAMS_ROOT "$PROGRAMFILES"
!endif

!include "MUI2.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS_ROOT}\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "2.0.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\rovant.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Per-machine: shortcuts for all users, and the registry view of the program's bitness.
!macro RovantContext
  SetShellVarContext all
  !ifdef X86_64
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro RovantContext
FunctionEnd

Function un.onInit
  !insertmacro RovantContext
FunctionEnd

Section "ROVANT" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${PROGRAM_DIR}\rovant.exe"
  File "${PROGRAM_DIR}\ROVANT.CHM"
  File "${PROGRAM_DIR}\SxJcp32.dll"

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\ROVANT.lnk" "$INSTDIR\rovant.exe" "" "$INSTDIR\rovant.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\ROVANT Help.lnk" "$INSTDIR\ROVANT.CHM"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\rovant.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}\ROVANT.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\ROVANT Help.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  Delete "$INSTDIR\rovant.exe"
  Delete "$INSTDIR\ROVANT.CHM"
  Delete "$INSTDIR\SxJcp32.dll"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only if empty: the settings files a user saved there stay.
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
