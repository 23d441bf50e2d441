@echo off
rem Writes this server's registry export for a Skyvane fleet into FOLDER as
rem COMPUTERNAME.reg: the maker's trees that exist here and the Windows list of
rem installed software, joined. A comment after the first part names the trees it
rem holds and those not on this server. Without the list of installed software
rem nothing is written and the script fails (exit 1), so that the scheduled
rem task's history shows it; the share keeps the last good export, which Skyvane
rem reports as stale once it is older than /maxage days.
rem   export-for-skyvane.cmd \\fileserver\skyvane
setlocal EnableExtensions EnableDelayedExpansion
if "%~1"=="" (echo usage: %~nx0 FOLDER& exit /b 2)
set "target=%~1\%COMPUTERNAME%.reg"
set "work=%TEMP%\skyvane-export"
rd /s /q "%work%" 2>nul
md "%work%" 2>nul
pushd "%work%"
set "first="
set "rest="
set "held="
set "absent="
set "software="
set n=0
rem Each tree in the 64-bit view, then in the 32-bit view (WOW6432Node) that
rem 32-bit installers write to; Skyvane reads both.
set "uninstall=Microsoft\Windows\CurrentVersion\Uninstall"
set "trees=VANDRY VANDRY_CALDER VandryFoundry VandryRouteKeying"
set "trees=%trees% WOW6432Node\VANDRY WOW6432Node\VANDRY_CALDER WOW6432Node\VandryFoundry"
set "trees=%trees% WOW6432Node\VandryRouteKeying %uninstall% WOW6432Node\%uninstall%"
for %%T in (%trees%) do (
    set /a n+=1
    reg export "HKLM\SOFTWARE\%%T" !n!.reg /y /reg:64 >nul 2>&1
    if exist !n!.reg (
        set "held=!held! HKLM\SOFTWARE\%%T"
        if defined first (set "rest=!rest!+!n!.reg") else (set "first=!n!.reg")
        if "%%T"=="%uninstall%" set software=1
    ) else (
        set "absent=!absent! HKLM\SOFTWARE\%%T"
    )
)
if not defined software (
    echo export-for-skyvane: the list of installed software cannot be exported; nothing written 1>&2
    popd & exit /b 1
)
if not defined absent set "absent= none"
rem A comment in the export's own encoding (UTF-16LE), after the first part's header.
cmd /u /c "echo ; Skyvane export holds:!held!; not on this server:!absent!" > note.txt
copy /b !first!+note.txt!rest! joined.reg >nul
rem Copied beside the target first: a fleet run never reads half a file.
set result=1
copy /y joined.reg "%target%.new" >nul
if exist "%target%.new" move /y "%target%.new" "%target%" >nul
if exist "%target%" if not exist "%target%.new" set result=0
popd
rd /s /q "%work%"
if %result%==1 echo export-for-skyvane: %target% cannot be written 1>&2
exit /b %result%
