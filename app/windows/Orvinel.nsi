; Orvinel's Windows installer, made on Linux by the windows_installer target
; (WindowsPackages.cmake) with Debian's makensis. CMake defines VERSION,
; VERSION4, HOMEPAGE, ICON, OUTFILE and the two file lists Bundle.cmake writes,
; INSTALL_NSH and UNINSTALL_NSH.
;
; With administrator rights it installs for all users into Program Files,
; without them for the user alone into %LOCALAPPDATA%\Programs\Orvinel;
; /AllUsers or /CurrentUser choose on the command line, /S installs silently.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvinel"
!define APPLICATION_KEY "Software\Classes\Applications\Orvinel.exe"

Name "Orvinel"
OutFile "${OUTFILE}"
BrandingText "Orvinel ${VERSION}"
VIProductVersion "${VERSION4}"
VIAddVersionKey ProductName "Orvinel"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Orvinel ${VERSION} setup"
VIAddVersionKey CompanyName "Orvinel"
VIAddVersionKey LegalCopyright "MIT licence"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR Orvinel
; A new version goes where the last one went.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME InstallLocation
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

Function .onInit
    !insertmacro MULTIUSER_INIT
FunctionEnd

Section
    ; Files an older version had and this one has not would otherwise stay
    ; behind for good: its own uninstaller removes it first.
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        ExecWait '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
        Delete "$INSTDIR\uninstall.exe"
    ${EndIf}

    !include "${INSTALL_NSH}"
    ; Also the shortcut's working folder.
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Orvinel.lnk" "$INSTDIR\Orvinel.exe"

    ; SHCTX is HKLM for all users, HKCU for one (MultiUser sets it).
    WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayName "Orvinel"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" Publisher "Orvinel"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" URLInfoAbout "${HOMEPAGE}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\Orvinel.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" EstimatedSize ${ORVINEL_SIZE_KB}
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoRepair 1

    ; "Open with" for KML and KMZ files. The extensions' own default (the
    ; viewer) is never written: Orvinel only joins their Open with lists.
    WriteRegStr SHCTX "${APPLICATION_KEY}" FriendlyAppName "Orvinel"
    WriteRegStr SHCTX "${APPLICATION_KEY}\DefaultIcon" "" "$INSTDIR\Orvinel.exe,0"
    WriteRegStr SHCTX "${APPLICATION_KEY}\shell\open\command" "" '"$INSTDIR\Orvinel.exe" "%1"'
    WriteRegStr SHCTX "${APPLICATION_KEY}\SupportedTypes" ".kml" ""
    WriteRegStr SHCTX "${APPLICATION_KEY}\SupportedTypes" ".kmz" ""
    WriteRegStr SHCTX "Software\Classes\.kml\OpenWithList\Orvinel.exe" "" ""
    WriteRegStr SHCTX "Software\Classes\.kmz\OpenWithList\Orvinel.exe" "" ""
    ; Explorer reads the associations again (SHCNE_ASSOCCHANGED).
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Function un.onInit
    !insertmacro MULTIUSER_UNINIT
    ; The uninstaller removes the installation it stands in, also when the
    ; user has one of each kind.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" InstallLocation
    ${If} $0 == $INSTDIR
        Call un.MultiUser.InstallMode.CurrentUser
    ${Else}
        Call un.MultiUser.InstallMode.AllUsers
    ${EndIf}
FunctionEnd

; Deletes the key when it holds neither subkeys nor values: the extensions'
; keys may hold the viewer's association, which must stay. The unnamed
; default value enumerates as "", so it is read on its own.
!macro DeleteKeyIfEmpty KEY
    EnumRegKey $0 SHCTX "${KEY}" 0
    EnumRegValue $1 SHCTX "${KEY}" 0
    ClearErrors
    ReadRegStr $2 SHCTX "${KEY}" ""
    ${If} $0 == ""
    ${AndIf} $1 == ""
    ${AndIf} ${Errors}
        DeleteRegKey SHCTX "${KEY}"
    ${EndIf}
!macroend

Section Uninstall
    !include "${UNINSTALL_NSH}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Orvinel.lnk"

    DeleteRegKey SHCTX "${APPLICATION_KEY}"
    DeleteRegKey SHCTX "Software\Classes\.kml\OpenWithList\Orvinel.exe"
    DeleteRegKey SHCTX "Software\Classes\.kmz\OpenWithList\Orvinel.exe"
    !insertmacro DeleteKeyIfEmpty "Software\Classes\.kml\OpenWithList"
    !insertmacro DeleteKeyIfEmpty "Software\Classes\.kmz\OpenWithList"
    !insertmacro DeleteKeyIfEmpty "Software\Classes\.kml"
    !insertmacro DeleteKeyIfEmpty "Software\Classes\.kmz"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
