; The ZEP installer. makensis -DVERSION=x.y.z -DDIST=folder -DOUTFILE=file ZEP.nsi
; Per machine into Program Files with administrator rights, else per user
; into the user's programs folder (/AllUsers, /CurrentUser choose); silent
; with /S (and /D=folder). The user's settings under
; HKCU\software\<RegPos>\ZEP are never touched.
Unicode true
!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "ZEP"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZEP"
; Exit code of a silent run that found ZEP, Jotter or ZEPc still running.
!define EXIT_PROGRAM_RUNNING 3

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "ZEP"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The page language follows the system's, as ZEP's own does.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString RunningText ${LANG_ENGLISH} "Please close ZEP, Jotter and ZEPc, then press Retry."
LangString RunningText ${LANG_JAPANESE} "ZEP、Jotter、ZEPc を終了してから [再試行] を押してください。"
LangString ContextMenuName ${LANG_ENGLISH} "Explorer: Convert with ZEP"
LangString ContextMenuName ${LANG_JAPANESE} "エクスプローラー: ZEP で変換"
LangString ContextMenuVerb ${LANG_ENGLISH} "Convert with ZEP"
LangString ContextMenuVerb ${LANG_JAPANESE} "ZEP で変換"
LangString HelpName ${LANG_ENGLISH} "ZEP Help"
LangString HelpName ${LANG_JAPANESE} "ZEP ヘルプ"
LangString UninstallName ${LANG_ENGLISH} "Uninstall ZEP"
LangString UninstallName ${LANG_JAPANESE} "ZEP のアンインストール"

; The audio types the built-in decoder opens.
!macro ForEachAudioType MACRO
  !insertmacro ${MACRO} ".wav"
  !insertmacro ${MACRO} ".mp3"
  !insertmacro ${MACRO} ".flac"
  !insertmacro ${MACRO} ".ogg"
  !insertmacro ${MACRO} ".opus"
  !insertmacro ${MACRO} ".m4a"
  !insertmacro ${MACRO} ".wv"
  !insertmacro ${MACRO} ".aif"
  !insertmacro ${MACRO} ".aiff"
  !insertmacro ${MACRO} ".w64"
  !insertmacro ${MACRO} ".wma"
!macroend
!macro AddVerb EXTENSION
  WriteRegStr SHCTX "Software\Classes\SystemFileAssociations\${EXTENSION}\shell\ZEP" "" "$(ContextMenuVerb)"
  WriteRegStr SHCTX "Software\Classes\SystemFileAssociations\${EXTENSION}\shell\ZEP" "Icon" "$INSTDIR\ZEP.exe"
  ; One ZEP for each selected file.
  WriteRegStr SHCTX "Software\Classes\SystemFileAssociations\${EXTENSION}\shell\ZEP" "MultiSelectModel" "Document"
  WriteRegStr SHCTX "Software\Classes\SystemFileAssociations\${EXTENSION}\shell\ZEP\command" "" '"$INSTDIR\ZEP.exe" "%1"'
!macroend
!macro RemoveVerb EXTENSION
  DeleteRegKey SHCTX "Software\Classes\SystemFileAssociations\${EXTENSION}\shell\ZEP"
!macroend

; Waits while a program of ZEP's installation runs: a running program's file
; cannot be opened for writing. Asks the user; a silent run waits 30 s, then
; ends with EXIT_PROGRAM_RUNNING.
!macro WaitForProgramsClosed
  StrCpy $1 0
  ${Do}
    StrCpy $0 ""
    ${ForEach} $2 0 2 + 1
      ${Select} $2
        ${Case} 0
          StrCpy $3 "ZEP.exe"
        ${Case} 1
          StrCpy $3 "Jotter.exe"
        ${Default}
          StrCpy $3 "ZEPc.exe"
      ${EndSelect}
      ${If} ${FileExists} "$INSTDIR\$3"
        ClearErrors
        FileOpen $4 "$INSTDIR\$3" a
        ${If} ${Errors}
          StrCpy $0 $3
        ${Else}
          FileClose $4
        ${EndIf}
      ${EndIf}
    ${Next}
    ${IfThen} $0 == "" ${|} ${ExitDo} ${|}
    ${If} ${Silent}
      IntOp $1 $1 + 1
      ${If} $1 > 30
        SetErrorLevel ${EXIT_PROGRAM_RUNNING}
        Quit
      ${EndIf}
      Sleep 1000
    ${ElseIf} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(RunningText)" IDCANCEL`
      SetErrorLevel ${EXIT_PROGRAM_RUNNING}
      Quit
    ${EndIf}
  ${Loop}
!macroend

; Japanese where the system's default language is, as ZEP chooses.
!macro PickLanguage
  System::Call 'kernel32::GetSystemDefaultLangID() i .r0'
  IntOp $0 $0 & 0x3FF
  ${If} $0 = 0x11
    StrCpy $LANGUAGE ${LANG_JAPANESE}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
!macroend

Function .onInit
  !insertmacro PickLanguage
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro PickLanguage
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "ZEP" SecMain
  SectionIn RO
  !insertmacro WaitForProgramsClosed
  SetOutPath "$INSTDIR"
  File "${DIST}\ZEP.exe"
  File "${DIST}\ZEPc.exe"
  File "${DIST}\Jotter.exe"
  File "${DIST}\gogo.dll"
  File "${DIST}\Res.dll"
  File "${DIST}\zep.chm"
  File "${DIST}\NOTICE.txt"
  File "${DIST}\README.txt"
  File "${DIST}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\ZEP"
  CreateShortcut "$SMPROGRAMS\ZEP\ZEP.lnk" "$INSTDIR\ZEP.exe"
  CreateShortcut "$SMPROGRAMS\ZEP\$(HelpName).lnk" "$INSTDIR\zep.chm"
  CreateShortcut "$SMPROGRAMS\ZEP\$(UninstallName).lnk" "$INSTDIR\Uninstall.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "ZEP"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "The ZEP developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ZEP.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecMain} $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(ContextMenuName)" SecContextMenu
  !insertmacro ForEachAudioType AddVerb
SectionEnd

Section "Uninstall"
  !insertmacro WaitForProgramsClosed
  !insertmacro ForEachAudioType RemoveVerb
  Delete "$SMPROGRAMS\ZEP\ZEP.lnk"
  Delete "$SMPROGRAMS\ZEP\$(HelpName).lnk"
  Delete "$SMPROGRAMS\ZEP\$(UninstallName).lnk"
  RMDir "$SMPROGRAMS\ZEP"
  Delete "$INSTDIR\ZEP.exe"
  Delete "$INSTDIR\ZEPc.exe"
  Delete "$INSTDIR\Jotter.exe"
  Delete "$INSTDIR\gogo.dll"
  Delete "$INSTDIR\Res.dll"
  Delete "$INSTDIR\zep.chm"
  Delete "$INSTDIR\NOTICE.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
