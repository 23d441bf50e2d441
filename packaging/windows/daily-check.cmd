@echo off
rem Skyvane's daily check, as the installer's scheduled task runs it (as
rem SYSTEM, DAILYCHECK=HH:MM,FORMAT,KEEP): the check in FORMAT into
rem %ProgramData%\Skyvane\check.1.EXT, the last KEEP results kept (check.2.EXT
rem the one before), the run's log beside them in daily-check.log, and, as
rem every check without a window, one event in the Application log.
rem   daily-check.cmd FORMAT KEEP
setlocal EnableExtensions EnableDelayedExpansion
set "format=%~1"
set "keep=%~2"
if "%format%"=="" set format=json
if "%keep%"=="" set keep=7
set ext=%format%
if /i "%format%"=="nagios" set ext=txt
if /i "%format%"=="prometheus" set ext=prom
set "folder=%ProgramData%\Skyvane"
if not exist "%folder%" md "%folder%"
rem The oldest goes, the others move one down.
if exist "%folder%\check.%keep%.%ext%" del "%folder%\check.%keep%.%ext%"
for /l %%i in (%keep%,-1,2) do (
    set /a older=%%i-1
    if exist "%folder%\check.!older!.%ext%" move /y "%folder%\check.!older!.%ext%" "%folder%\check.%%i.%ext%" >nul
)
"%~dp0skyvane.com" /f %format% /l "%folder%\daily-check.log" > "%folder%\check.1.%ext%"
exit /b %ERRORLEVEL%
