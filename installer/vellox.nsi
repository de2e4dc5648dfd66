; The setup program of vellox and RX3.
;
; makensis -DSTAGE=<staged installation> -DARCH=x86|amd64 -DVERSION=a.b.c
;          -DOUTFILE=<setup.exe> installer/vellox.nsi
; (scripts/build-installer stages a build and calls this.)
;
; What belongs to the shop is never replaced: the environment file, the hot
; and printed folders with their jobs, the ink accounts, RX3's settings,
; the device registry, the paper profiles and the print journal. Programs,
; libraries, tools and the default colour profiles are replaced on every
; install, so an upgrade is an install over the old folder.
;
; The folder may hold the shop's own files too: the uninstaller removes only
; the files this setup installed, by name, and when asked to remove the
; shop's data only what vellox and RX3 made there themselves (their own file
; names); a folder goes only when nothing else is left in it.
;
; Command line: /S silent, /D=<folder> (last, unquoted) the folder. The
; uninstaller keeps the shop's data unless the user says otherwise (or, when
; silent, unless /PURGE is given).
; Exit codes: 0 done, 1 cancelled, 2 aborted by an error, 3 vellox still
; running (silent mode), 4 the folder can't be written.

Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef STAGE
  !error "STAGE (the staged installation folder) must be given"
!endif
!ifndef VERSION
  !define VERSION "0.0.0"
!endif
!ifndef ARCH
  !define ARCH "x86"
!endif
!ifndef OUTFILE
  !define OUTFILE "vellox-setup.exe"
!endif

!define PRODUCT "vellox"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\vellox"
!define PRODUCT_KEY "Software\vellox"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!if "${ARCH}" == "amd64"
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\vellox"
!else
  Target x86-unicode
  InstallDir "$PROGRAMFILES\vellox"
!endif

; After Target: declared before it, these left the 64-bit setup installing into
; Program Files (x86).
!include "${__FILEDIR__}/installed_files.nsh"
!include "${__FILEDIR__}/own_data.nsh"
!include "${__FILEDIR__}/fit_text.nsh"

Name "vellox"
; An upgrade goes where the last install went (/D= still decides).
InstallDirRegKey HKLM "${PRODUCT_KEY}" "InstallDir"
Caption "vellox ${VERSION} セットアップ"
UninstallCaption "vellox ${VERSION} アンインストール"
OutFile "${OUTFILE}"
BrandingText "vellox ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Vellox"
VIAddVersionKey /LANG=1041 "FileDescription" "Vellox 印刷キュー セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "CompanyName" "Vellox 開発チーム"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Vellox 開発チーム"

Var KeepData
Var StartMenuFolder

!define MUI_ABORTWARNING
!define MUI_CUSTOMFUNCTION_GUIINIT FitButtons
!define MUI_CUSTOMFUNCTION_UNGUIINIT un.FitButtons
!define MUI_UNABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "vellox ${VERSION} (印刷キュー) とプリンタ ドライバ RX3 をインストールします。$\r$\n$\r$\nすでにインストールされている場合は上書きして更新します。ホット フォルダと印刷済みフォルダのジョブ、インクの使用量、各種の設定、デバイスの登録、用紙プロファイル、印刷記録はそのまま残ります。$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_STARTMENUPAGE_DEFAULTFOLDER "vellox"
!define MUI_STARTMENUPAGE_REGISTRY_ROOT HKLM
!define MUI_STARTMENUPAGE_REGISTRY_KEY "${PRODUCT_KEY}"
!define MUI_STARTMENUPAGE_REGISTRY_VALUENAME "StartMenuFolder"
!insertmacro MUI_PAGE_STARTMENU Application $StartMenuFolder
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\vellox.exe"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.FitConfirmPage
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

LangString RunningText 1041 "vellox が実行中です。$\r$\nvellox を終了してから [再試行] を押してください。"
LangString KeepDataText 1041 "ジョブ、印刷記録、インクの使用量、設定、デバイスの登録、用紙プロファイルを残しますか?$\r$\n$\r$\n[はい] 残します (再インストールしたときにそのまま使えます)。$\r$\n[いいえ] すべて削除します。"
LangString NoWriteText 1041 "インストール先のフォルダに書き込めません:$\r$\n$INSTDIR"
LangString ShortcutUninstall 1041 "vellox のアンインストール"

!insertmacro FitTextFunctions ""
!insertmacro FitTextFunctions "un."

; The forward button shows the widest of its texts whole (1: forward, 3: back).
Function FitButtons
  !insertmacro FitButton "" 1 3 "$(^NextBtn)"
  !insertmacro FitButton "" 1 3 "$(^InstallBtn)"
FunctionEnd

Function un.FitButtons
  !insertmacro FitButton "un." 1 3 "$(^UninstallBtn)"
FunctionEnd

Function un.FitConfirmPage
  !insertmacro FitLabel "un." $mui.UnConfirmPage.DirectoryText $mui.UnConfirmPage.Directory "$(^UninstallingSubText)"
FunctionEnd

; vellox's main window classes, one per host variant.
!macro WaitForVelloxClosed un
  Function ${un}WaitForVelloxClosed
    retry:
    FindWindow $0 "VLXS3"
    ${If} $0 = 0
      FindWindow $0 "VELLOX_TGW"
    ${EndIf}
    ${If} $0 = 0
      FindWindow $0 "VELLOX_BNF"
    ${EndIf}
    ${If} $0 <> 0
      ${If} ${Silent}
        SetErrorLevel 3
        Quit
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(RunningText)" /SD IDCANCEL IDRETRY retry
      SetErrorLevel 3
      Quit
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro WaitForVelloxClosed ""
!insertmacro WaitForVelloxClosed "un."

Function .onInit
  Call WaitForVelloxClosed
FunctionEnd

Function .onVerifyInstDir
  ; Never a drive's root: the uninstaller removes the folder's own files.
  StrLen $0 $INSTDIR
  ${If} $0 <= 3
    Abort
  ${EndIf}
FunctionEnd

Section "vellox" SecMain
  SectionIn RO
  SetShellVarContext all

  ; A folder that can't be written stops here, before anything is replaced.
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\vellox-setup.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(NoWriteText)" /SD IDOK
    SetErrorLevel 4
    Abort
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\vellox-setup.tmp"

  ; Programs, libraries and tools: always the new ones.
  SetOverwrite on
  !insertmacro ProgramFiles InstallFile

  ; The shop's files: written only where none stands yet.
  SetOverwrite off
  !insertmacro ShopStarterFiles InstallFile
  SetOverwrite on

  CreateDirectory "$INSTDIR\HotFolder"
  CreateDirectory "$INSTDIR\MoveFolder"
  CreateDirectory "$INSTDIR\output"
  CreateDirectory "$INSTDIR\FONT"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  !insertmacro MUI_STARTMENU_WRITE_BEGIN Application
    CreateDirectory "$SMPROGRAMS\$StartMenuFolder"
    CreateShortcut "$SMPROGRAMS\$StartMenuFolder\vellox.lnk" "$INSTDIR\vellox.exe" "" "$INSTDIR\vellox.exe" 0
    CreateShortcut "$SMPROGRAMS\$StartMenuFolder\$(ShortcutUninstall).lnk" "$INSTDIR\uninstall.exe"
  !insertmacro MUI_STARTMENU_WRITE_END

  WriteRegStr HKLM "${PRODUCT_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${PRODUCT_KEY}" "Version" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "vellox ${VERSION} (印刷キュー と RX3)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vellox.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Vellox 開発チーム"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  Call un.WaitForVelloxClosed
  StrCpy $KeepData 1
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/PURGE" $1
    ${IfNot} ${Errors}
      StrCpy $KeepData 0
    ${EndIf}
  ${Else}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON1 "$(KeepDataText)" IDYES +2
    StrCpy $KeepData 0
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all

  !insertmacro ProgramFiles RemoveFile
  Delete "$INSTDIR\uninstall.exe"
  ${If} $KeepData = 0
    Call un.DeleteOwnData
  ${EndIf}
  ; A folder stays while anything of the shop's is in it.
  RMDir "$INSTDIR\tools"
  RMDir "$INSTDIR\printer"
  RMDir "$INSTDIR\output"
  RMDir "$INSTDIR\FONT"
  RMDir "$INSTDIR\HotFolder\Rejected"
  RMDir "$INSTDIR\HotFolder"
  RMDir "$INSTDIR\MoveFolder"
  RMDir "$INSTDIR"

  !insertmacro MUI_STARTMENU_GETFOLDER Application $StartMenuFolder
  Delete "$SMPROGRAMS\$StartMenuFolder\vellox.lnk"
  Delete "$SMPROGRAMS\$StartMenuFolder\$(ShortcutUninstall).lnk"
  RMDir "$SMPROGRAMS\$StartMenuFolder"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${PRODUCT_KEY}"
SectionEnd
