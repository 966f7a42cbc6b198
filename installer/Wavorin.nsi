; Wavorin's installer: the program for all users under Program Files, a
; Start-menu shortcut, a start at every user's logon, and an uninstaller
; registered with Windows' list of installed programs. Built by
; installer/CMakeLists.txt:
;
;   makensis -INPUTCHARSET UTF8 -WX -DVERSION=1.0.0.1 -DWEBSITE=https://wavorin.example/
;            -DPROGRAM=Wavorin.exe
;            -DICON=app.ico -DOUTFILE=Wavorin-1.0.0.1-setup.exe Wavorin.nsi
;
; Command line (docs/operators-guide.md):
;   /S               silent
;   /SERVER=a.b.c.d  writes authipconf.ini with that address beside the
;                    program (replacing one that is there); without it an
;                    existing authipconf.ini is kept and none is written
;   /D=folder        another folder than Program Files\Wavorin (last)
; Exit codes, of the installer and of the uninstaller:
;   0 done, 1 cancelled, 2 refused: a malformed /SERVER address,
;   3 a file could not be replaced or removed, 4 not run as an administrator

Unicode true
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestSupportedOS {35138b9a-5d96-4fbd-8e2d-a2440225f93a} {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} \
                    {1f676c76-80e1-4239-95bb-83d0f6d0da78} {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}

!define PRODUCT "Wavorin"
!define PUBLISHER "Wavorin"
; WEBSITE, the vendor's web site, comes from app/version.h as the version does.
!define PROGRAM_FILE "Wavorin.exe"
!define ADDRESS_FILE "authipconf.ini"
!define UNINSTALLER "uninstall.exe"
; The main window's class; the program creates one such window per desktop.
!define WINDOW_CLASS "RAVarOrudadezez"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

!define EXIT_REFUSED 2
!define EXIT_FILES 3
!define EXIT_NOT_ADMIN 4

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "${PUBLISHER}"

LangString MsgBadServer ${LANG_SIMPCHINESE} "/SERVER 的值不是 IPv4 地址（四个 0 到 255 的十进制数，以点分隔）：$\r$\n$\r$\n$Server$\r$\n$\r$\n未安装任何内容。"
LangString MsgBadServer ${LANG_ENGLISH} "The value of /SERVER is not an IPv4 address (four decimal numbers from 0 to 255, separated by dots):$\r$\n$\r$\n$Server$\r$\n$\r$\nNothing was installed."
LangString MsgNotAdmin ${LANG_SIMPCHINESE} "请以管理员身份运行。"
LangString MsgNotAdmin ${LANG_ENGLISH} "Please run this as an administrator."
LangString MsgRunning ${LANG_SIMPCHINESE} "${PRODUCT} 正在运行。继续将结束它。"
LangString MsgRunning ${LANG_ENGLISH} "${PRODUCT} is running. Going on ends it."
LangString MsgCannotReplace ${LANG_SIMPCHINESE} "无法写入 $INSTDIR\${PROGRAM_FILE}（它仍在运行吗？）。"
LangString MsgCannotReplace ${LANG_ENGLISH} "$INSTDIR\${PROGRAM_FILE} could not be written (is it still running?)."
LangString MsgCannotWriteAddress ${LANG_SIMPCHINESE} "无法写入 $INSTDIR\${ADDRESS_FILE}。"
LangString MsgCannotWriteAddress ${LANG_ENGLISH} "$INSTDIR\${ADDRESS_FILE} could not be written."
LangString MsgCannotRemove ${LANG_SIMPCHINESE} "无法删除 $INSTDIR\${PROGRAM_FILE}（它仍在运行吗？）。"
LangString MsgCannotRemove ${LANG_ENGLISH} "$INSTDIR\${PROGRAM_FILE} could not be removed (is it still running?)."

Var Server

; $R0 becomes 1 when $R1 is a single digit from 0 to 9, else 0.
Function IsDigit
    Push $R2
    Push $R3
    StrCpy $R0 0
    StrCpy $R2 0
    ${Do}
        StrCpy $R3 "0123456789" 1 $R2
        ${IfThen} $R3 == "" ${|} ${ExitDo} ${|}
        ${If} $R3 S== $R1
            StrCpy $R0 1
            ${ExitDo}
        ${EndIf}
        IntOp $R2 $R2 + 1
    ${Loop}
    Pop $R3
    Pop $R2
FunctionEnd

; $R0 becomes 1 when $Server is four decimal numbers from 0 to 255 separated
; by dots, without leading zeros (which the client would read as octal), and
; 0 otherwise.
Function IsAddress
    Push $R1  ; the next character
    Push $R4  ; index of the next character
    Push $R5  ; digits of the current number
    Push $R6  ; numbers read
    Push $R7  ; answer
    Push $R8
    StrCpy $R4 0
    StrCpy $R5 ""
    StrCpy $R6 0
    StrCpy $R7 0
    ${Do}
        StrCpy $R1 $Server 1 $R4
        IntOp $R4 $R4 + 1
        ${If} $R1 == "."
        ${OrIf} $R1 == ""
            ; A number ends: one to three digits, no leading zero, at most 255.
            StrLen $R8 $R5
            ${IfThen} $R8 < 1 ${|} ${ExitDo} ${|}
            ${IfThen} $R8 > 3 ${|} ${ExitDo} ${|}
            StrCpy $R8 $R5 1
            ${If} $R8 == "0"
            ${AndIf} $R5 != "0"
                ${ExitDo}
            ${EndIf}
            ${IfThen} $R5 > 255 ${|} ${ExitDo} ${|}
            IntOp $R6 $R6 + 1
            StrCpy $R5 ""
            ${If} $R1 == ""
                ${IfThen} $R6 = 4 ${|} StrCpy $R7 1 ${|}
                ${ExitDo}
            ${EndIf}
            ${IfThen} $R6 = 4 ${|} ${ExitDo} ${|}
        ${Else}
            Call IsDigit
            ${IfThen} $R0 != 1 ${|} ${ExitDo} ${|}
            StrCpy $R5 "$R5$R1"
        ${EndIf}
    ${Loop}
    StrCpy $R0 $R7
    Pop $R8
    Pop $R7
    Pop $R6
    Pop $R5
    Pop $R4
    Pop $R1
FunctionEnd

; A refusal in silent mode has no window: its text goes to the standard error
; of the installer (or to the console it was started from) in English.
!macro REPORT_FUNCTION un
Function ${un}Report
    Exch $R1
    Push $R2
    Push $R3
    Push $R4
    System::Call "kernel32::GetStdHandle(i -12) p .R2"
    StrCpy $R4 0
    ${If} $R2 = 0
    ${OrIf} $R2 = -1
        System::Call "kernel32::AttachConsole(i -1) i .R3"
        ${If} $R3 <> 0
            System::Call 'kernel32::CreateFile(t "CONOUT$$", i 0x40000000, i 2, p 0, i 3, i 0, p 0) p .R2'
            StrCpy $R4 1
        ${EndIf}
    ${EndIf}
    ${If} $R2 <> 0
    ${AndIf} $R2 <> -1
        StrCpy $R1 "${PRODUCT} setup: $R1$\r$\n"
        StrLen $R3 $R1
        System::Call "kernel32::WriteFile(p R2, m R1, i R3, *i .R3, p 0)"
        ${IfThen} $R4 = 1 ${|} System::Call "kernel32::CloseHandle(p R2)" ${|}
    ${EndIf}
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
FunctionEnd
!macroend
!insertmacro REPORT_FUNCTION ""
!insertmacro REPORT_FUNCTION "un."

; Ends a running copy of the program so that its file can be replaced or
; removed. Politely first: the thread of each main window on this desktop
; gets WM_QUIT (WM_CLOSE would only hide the window to the notification
; area), its message loop ends and it takes its icon out of the notification
; area. A copy that does not end within five seconds, or one that runs on
; another user's desktop where its window cannot be found, still holds the
; file: such copies are ended forcibly.
!macro END_RUNNING_FUNCTION un
Function ${un}EndRunningProgram
    Push $R1
    Push $R2
    Push $R3
    Push $R4
    Push $R5
    StrCpy $R5 0
    ${Do}
        FindWindow $R1 "${WINDOW_CLASS}"
        ${IfThen} $R1 = 0 ${|} ${ExitDo} ${|}
        ${If} $R5 = 0
            ${If} ${Cmd} `MessageBox MB_OKCANCEL|MB_ICONINFORMATION "$(MsgRunning)" /SD IDOK IDCANCEL`
                SetErrorLevel 1
                Quit
            ${EndIf}
        ${EndIf}
        IntOp $R5 $R5 + 1
        System::Call "user32::GetWindowThreadProcessId(p R1, *i .R2) i .R3"
        System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i R2) p .R4"   ; SYNCHRONIZE
        System::Call "user32::PostThreadMessage(i R3, i 0x0012, p 0, p 0)"     ; WM_QUIT
        ${If} $R4 <> 0
            System::Call "kernel32::WaitForSingleObject(p R4, i 5000) i .R2"
            System::Call "kernel32::CloseHandle(p R4)"
            ${IfThen} $R2 <> 0 ${|} ${ExitDo} ${|}
        ${Else}
            Sleep 1000
        ${EndIf}
        ${IfThen} $R5 >= 4 ${|} ${ExitDo} ${|}
    ${Loop}
    Call ${un}ProgramIsHeld
    ${If} $R0 = 1
        nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM ${PROGRAM_FILE}'
        Pop $R1
        StrCpy $R5 0
        ${Do}
            Sleep 500
            Call ${un}ProgramIsHeld
            IntOp $R5 $R5 + 1
            ${IfThen} $R0 = 0 ${|} ${ExitDo} ${|}
        ${LoopUntil} $R5 >= 20
    ${EndIf}
    Pop $R5
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
FunctionEnd

; $R0 becomes 1 when the installed program's file exists and cannot be opened
; for writing (Windows holds the file of a running program), else 0.
Function ${un}ProgramIsHeld
    StrCpy $R0 0
    ${If} ${FileExists} "$INSTDIR\${PROGRAM_FILE}"
        ClearErrors
        FileOpen $R0 "$INSTDIR\${PROGRAM_FILE}" a
        ${If} ${Errors}
            StrCpy $R0 1
        ${Else}
            FileClose $R0
            StrCpy $R0 0
        ${EndIf}
    ${EndIf}
FunctionEnd
!macroend
!insertmacro END_RUNNING_FUNCTION ""
!insertmacro END_RUNNING_FUNCTION "un."

!macro REQUIRE_ADMIN un
    UserInfo::GetAccountType
    Pop $R0
    ${If} $R0 != "Admin"
        MessageBox MB_OK|MB_ICONSTOP "$(MsgNotAdmin)" /SD IDOK
        Push "needs administrator rights; nothing was changed."
        Call ${un}Report
        SetErrorLevel ${EXIT_NOT_ADMIN}
        Quit
    ${EndIf}
!macroend

Function .onInit
    ${GetParameters} $R1
    ClearErrors
    ${GetOptions} $R1 "/SERVER=" $Server
    ${If} ${Errors}
        StrCpy $Server ""
    ${Else}
        Call IsAddress
        ${If} $R0 != 1
            MessageBox MB_OK|MB_ICONSTOP "$(MsgBadServer)" /SD IDOK
            Push "/SERVER=$Server is not an IPv4 address (four decimal numbers from 0 to 255, separated by dots); nothing was installed."
            Call Report
            SetErrorLevel ${EXIT_REFUSED}
            Quit
        ${EndIf}
    ${EndIf}
    !insertmacro REQUIRE_ADMIN ""
    SetShellVarContext all
FunctionEnd

Section "${PRODUCT}"
    SectionIn RO
    SetOutPath "$INSTDIR"
    Call EndRunningProgram
    SetOverwrite try
    ClearErrors
    File "/oname=${PROGRAM_FILE}" "${PROGRAM}"
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "$(MsgCannotReplace)" /SD IDOK
        Push "$INSTDIR\${PROGRAM_FILE} could not be written (is it still running?)."
        Call Report
        SetErrorLevel ${EXIT_FILES}
        Quit
    ${EndIf}
    SetOverwrite on
    ; The server's address: nine characters of label, then the address.
    ${If} $Server != ""
        ClearErrors
        FileOpen $R1 "$INSTDIR\${ADDRESS_FILE}" w
        FileWrite $R1 "serverip=$Server$\r$\n"
        FileClose $R1
        ${If} ${Errors}
            MessageBox MB_OK|MB_ICONSTOP "$(MsgCannotWriteAddress)" /SD IDOK
            Push "$INSTDIR\${ADDRESS_FILE} could not be written."
            Call Report
            SetErrorLevel ${EXIT_FILES}
            Quit
        ${EndIf}
    ${EndIf}
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM_FILE}" "" "$INSTDIR\${PROGRAM_FILE}" 0
    WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${PROGRAM_FILE}"'

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM_FILE},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $R1 $R2 $R3
    IntFmt $R1 "0x%08X" $R1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$R1"
SectionEnd

Function un.onInit
    !insertmacro REQUIRE_ADMIN "un."
    SetShellVarContext all
FunctionEnd

; Removes what the installer put there, the address file included, and
; nothing else: the folder goes only when it is empty then.
Section "Uninstall"
    Call un.EndRunningProgram
    ClearErrors
    Delete "$INSTDIR\${PROGRAM_FILE}"
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "$(MsgCannotRemove)" /SD IDOK
        Push "$INSTDIR\${PROGRAM_FILE} could not be removed (is it still running?)."
        Call un.Report
        SetErrorLevel ${EXIT_FILES}
        Quit
    ${EndIf}
    Delete "$INSTDIR\${ADDRESS_FILE}"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; This runs from a copy of the uninstaller in a folder of the temporary
    ; folder, which Windows deletes at the next restart: the copy first, then
    ; its folder (the order in which the copy itself asks for it at its end
    ; leaves the folder behind, since it is not empty yet).
    ${GetFileName} "$EXEDIR" $R1
    StrCpy $R1 $R1 4
    ${If} $R1 == "~nsu"
        Delete /REBOOTOK "$EXEPATH"
        RMDir /REBOOTOK "$EXEDIR"
        SetRebootFlag false
    ${EndIf}
SectionEnd
