#!/bin/sh
# Makes the MSI of a laid-out program folder with wixl.
# Usage: make-msi.sh FOLDER VERSION OUTPUT.msi
#
# Per-machine install under Program Files\Skyvane; a Start-menu shortcut that
# opens the report; %ProgramData%\Skyvane for logs; the event source
# "Skyvane" of the Application log; properties, all optional:
#   LISTURL=...      the patch list address, machine-wide
#   PROXY=...        the proxy address (http://[user[:password]@]host[:port]), machine-wide
#   SYSTEMPROXY=1    the system's proxy (WinHTTP, PAC, WPAD), machine-wide
#   TRAYATLOGON=1    the tray check (skyvane.exe /i) at every user's log-on
#   DAILYCHECK=HH:MM[,FORMAT[,KEEP]]  a daily check as SYSTEM (daily-check.cmd),
#                    its results in %ProgramData%\Skyvane; the task goes with the program
# The machine-wide settings live under HKEY_LOCAL_MACHINE\Software\Vandry\Skyvane
# and are read where a user's own settings have none. An upgrade keeps what
# was set: LISTURL and TRAYATLOGON are read back from the installed product
# unless given again; the proxy is written by the installed skyvane.com
# (its password protected for the machine, never in the install log) only
# when PROXY is given; like the users' own settings it outlives an
# uninstall ("skyvane.com /machineproxy ''" removes it). A newer MSI, or
# another build of the same version, replaces the installed one; uninstalling
# removes every file it laid.
set -eu
folder="$(cd "$1" && pwd)"
version="$2"
output="$3"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cp "$here/../../src/resources/images/skyvane.ico" "$work/skyvane.ico"

# One component per file, each with a stable identity derived from its path.
file_id() { echo "f$(printf '%s' "$1" | md5sum | cut -c1-16)"; }
files_xml() {
    dir="$1"
    (cd "$folder/$dir" && find . -maxdepth 1 -type f | sort) | while read -r file; do
        name="${file#./}"
        path="${dir:+$dir/}$name"
        id="$(file_id "$path")"
        guid="$(printf '%s' "skyvane-$path" | md5sum | sed 's/^\(........\)\(....\)\(....\)\(....\)\(............\).*/\1-\2-\3-\4-\5/')"
        echo "          <Component Id=\"c$id\" Guid=\"$guid\" Win64=\"yes\"><File Id=\"$id\" Name=\"$name\" Source=\"$path\" KeyPath=\"yes\"/></Component>"
    done
}
component_refs() {
    (cd "$folder" && find . -type f | sort) | while read -r file; do
        path="${file#./}"
        echo "      <ComponentRef Id=\"cf$(printf '%s' "$path" | md5sum | cut -c1-16)\"/>"
    done
}

{
cat <<XML
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Skyvane" Language="1033" Version="$version" Manufacturer="Vandry"
           UpgradeCode="6E2D8B4C-5A7F-4C1E-9B3D-2F8A6C4E1D70">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"
             Description="Skyvane: missing Quorix server patches"/>
    <Media Id="1" Cabinet="skyvane.cab" EmbedCab="yes"/>
    <!-- Older versions and other builds of this one are replaced, a newer one refuses. -->
    <Upgrade Id="6E2D8B4C-5A7F-4C1E-9B3D-2F8A6C4E1D70">
      <UpgradeVersion Minimum="0.0.0" IncludeMinimum="yes" Maximum="$version" IncludeMaximum="yes"
                      Property="REPLACEDPRODUCTS"/>
      <UpgradeVersion Minimum="$version" IncludeMinimum="no" OnlyDetect="yes"
                      Property="NEWERPRODUCTFOUND"/>
    </Upgrade>
    <Condition Message="A newer Skyvane is installed already.">NOT NEWERPRODUCTFOUND</Condition>
    <Icon Id="skyvane.ico" SourceFile="$(realpath --relative-to="$folder" "$work/skyvane.ico")"/>
    <Property Id="ARPPRODUCTICON" Value="skyvane.ico"/>
    <Property Id="ARPHELPLINK" Value="https://www.vandry.com/skyvane/help"/>
    <Property Id="ARPURLINFOABOUT" Value="https://www.vandry.com/skyvane"/>
    <Property Id="ARPNOMODIFY" Value="1"/>
    <Property Id="ARPSIZE" Value="$(du -sk "$folder" | cut -f1)"/>
    <Property Id="MsiHiddenProperties" Value="PROXY"/>
    <!-- What an earlier install set, unless given again. -->
    <Property Id="INSTALLEDLISTURL">
      <RegistrySearch Id="InstalledListUrl" Root="HKLM" Key="Software\Vandry\Skyvane\Startup"
                      Name="PatchListUrl" Type="raw" Win64="yes"/>
    </Property>
    <Property Id="INSTALLEDSYSTEMPROXY">
      <RegistrySearch Id="InstalledSystemProxy" Root="HKLM" Key="Software\Vandry\Skyvane\Startup"
                      Name="UseSystemProxy" Type="raw" Win64="yes"/>
    </Property>
    <Property Id="INSTALLEDDAILYCHECK">
      <RegistrySearch Id="InstalledDailyCheck" Root="HKLM" Key="Software\Vandry\Skyvane\Startup"
                      Name="DailyCheck" Type="raw" Win64="yes"/>
    </Property>
    <Property Id="INSTALLEDTRAYATLOGON">
      <RegistrySearch Id="InstalledTrayAtLogon" Root="HKLM"
                      Key="Software\Microsoft\Windows\CurrentVersion\Run" Name="Skyvane"
                      Type="raw" Win64="yes"/>
    </Property>
    <CustomAction Id="KeepListUrl" Property="LISTURL" Value="[INSTALLEDLISTURL]"/>
    <CustomAction Id="KeepTrayAtLogon" Property="TRAYATLOGON" Value="1"/>
    <CustomAction Id="KeepDailyCheck" Property="DAILYCHECK" Value="[INSTALLEDDAILYCHECK]"/>
    <CustomAction Id="KeepSystemProxy" Property="SYSTEMPROXY" Value="[INSTALLEDSYSTEMPROXY]"/>
    <!-- The tray check at log-on is a feature of its own, off unless asked for. -->
    <CustomAction Id="AddTrayAtLogon" Property="ADDLOCAL" Value="Skyvane,TrayAtLogon"/>
    <CustomAction Id="SetInstallLocation" Property="ARPINSTALLLOCATION" Value="[INSTALLDIR]"/>
    <!-- The proxy is stored by the program, which protects its password. -->
    <CustomAction Id="StoreMachineProxy" FileKey="$(file_id skyvane.com)"
                  ExeCommand="/machineproxy &quot;[PROXY]&quot;" Execute="deferred"
                  Impersonate="no" Return="check" HideTarget="yes"/>
    <!-- The daily check's scheduled task, made by the program from DAILYCHECK; it
         goes on uninstall, not when an upgrade replaces the program. -->
    <CustomAction Id="CreateDailyCheck" FileKey="$(file_id skyvane.com)"
                  ExeCommand="/dailycheck &quot;[DAILYCHECK]&quot;" Execute="deferred"
                  Impersonate="no" Return="check"/>
    <CustomAction Id="RemoveDailyCheck" FileKey="$(file_id skyvane.com)"
                  ExeCommand="/dailycheck &quot;&quot;" Execute="deferred" Impersonate="no"
                  Return="ignore"/>
    <!-- Numbered: wixl does not place After and Before among the standard actions. -->
    <InstallExecuteSequence>
      <Custom Action="KeepListUrl" Sequence="52">NOT LISTURL AND INSTALLEDLISTURL</Custom>
      <Custom Action="KeepTrayAtLogon" Sequence="53">NOT TRAYATLOGON AND INSTALLEDTRAYATLOGON</Custom>
      <Custom Action="KeepDailyCheck" Sequence="55">NOT DAILYCHECK AND INSTALLEDDAILYCHECK</Custom>
      <Custom Action="KeepSystemProxy" Sequence="56">NOT SYSTEMPROXY AND INSTALLEDSYSTEMPROXY</Custom>
      <Custom Action="AddTrayAtLogon" Sequence="54">TRAYATLOGON AND NOT Installed</Custom>
      <Custom Action="SetInstallLocation" Sequence="1001"/>
      <Custom Action="RemoveDailyCheck" Sequence="1601">REMOVE="ALL" AND INSTALLEDDAILYCHECK AND NOT UPGRADINGPRODUCTCODE</Custom>
      <RemoveExistingProducts Sequence="1401"/>
      <Custom Action="StoreMachineProxy" Sequence="4001">PROXY AND NOT REMOVE</Custom>
      <Custom Action="CreateDailyCheck" Sequence="4002">DAILYCHECK AND NOT REMOVE</Custom>
    </InstallExecuteSequence>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFiles64Folder">
        <Directory Id="INSTALLDIR" Name="Skyvane">
$(files_xml "")
XML
for dir in $(cd "$folder" && find . -mindepth 1 -type d | sort); do
    dir="${dir#./}"
    # Nested folders are opened and closed in path order.
    echo "          <Directory Id=\"d$(printf '%s' "$dir" | md5sum | cut -c1-16)\" Name=\"$(basename "$dir")\">"
    files_xml "$dir"
    echo "          </Directory>"
done
cat <<XML
          <Component Id="MachineListUrl" Guid="3B0C9E44-1D2A-4F6B-8C5E-7A9D0E1F2B31" Win64="yes">
            <RegistryValue Root="HKLM" Key="Software\\Vandry\\Skyvane\\Startup" Name="PatchListUrl"
                           Type="string" Value="[LISTURL]" KeyPath="yes"/>
          </Component>
          <!-- The event source of the checks' entries in the Application log; its
               message table is in skyvane.com. Removed with the program. -->
          <Component Id="EventSource" Guid="5C7E9A11-2B4D-4E6F-8A1C-3D5E7F9B1A42" Win64="yes">
            <RegistryKey Root="HKLM" Key="SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Skyvane">
              <RegistryValue Name="EventMessageFile" Type="expandable" Value="[INSTALLDIR]skyvane.com"
                             KeyPath="yes"/>
              <RegistryValue Name="TypesSupported" Type="integer" Value="7"/>
            </RegistryKey>
          </Component>
          <Component Id="MachineSystemProxy" Guid="4E6A8C22-7B9D-4F1E-8A3C-6B8D0F2A4C51" Win64="yes">
            <RegistryValue Root="HKLM" Key="Software\\Vandry\\Skyvane\\Startup" Name="UseSystemProxy"
                           Type="string" Value="[SYSTEMPROXY]" KeyPath="yes"/>
          </Component>
          <Component Id="MachineDailyCheck" Guid="8F1A3C55-6D7E-4B2A-9E4C-5A7B9D1E3F20" Win64="yes">
            <RegistryValue Root="HKLM" Key="Software\\Vandry\\Skyvane\\Startup" Name="DailyCheck"
                           Type="string" Value="[DAILYCHECK]" KeyPath="yes"/>
          </Component>
          <Component Id="TrayAtLogon" Guid="7D2E1A66-3F4C-4B8D-8E7A-9C1F2A3B4D53" Win64="yes">
            <RegistryValue Root="HKLM" Key="Software\\Microsoft\\Windows\\CurrentVersion\\Run"
                           Name="Skyvane" Type="string" Value="&quot;[INSTALLDIR]skyvane.exe&quot; /i /atlogon"
                           KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
      <Directory Id="CommonAppDataFolder">
        <Directory Id="SKYVANEDATA" Name="Skyvane">
          <Component Id="DataFolder" Guid="2A4C6E88-5B7D-4F1A-9C3E-1D5F7A9B2C64" Win64="yes">
            <CreateFolder/>
          </Component>
        </Directory>
      </Directory>
      <Directory Id="ProgramMenuFolder">
        <Component Id="StartMenuShortcut" Guid="9E3F2B77-4A5D-4C9E-8F8B-0D2A3B4C5E64" Win64="yes">
          <Shortcut Id="ReportShortcut" Name="Skyvane" Description="Missing Quorix server patches"
                    Target="[INSTALLDIR]skyvane.exe" WorkingDirectory="INSTALLDIR"/>
          <RegistryValue Root="HKLM" Key="Software\\Vandry\\Skyvane" Name="Installed" Type="integer"
                         Value="1" KeyPath="yes"/>
        </Component>
      </Directory>
    </Directory>
    <Feature Id="Skyvane" Level="1">
$(component_refs)
      <ComponentRef Id="MachineListUrl"/>
      <ComponentRef Id="EventSource"/>
      <ComponentRef Id="MachineDailyCheck"/>
      <ComponentRef Id="MachineSystemProxy"/>
      <ComponentRef Id="DataFolder"/>
      <ComponentRef Id="StartMenuShortcut"/>
    </Feature>
    <Feature Id="TrayAtLogon" Level="1000">
      <ComponentRef Id="TrayAtLogon"/>
    </Feature>
  </Product>
</Wix>
XML
} > "$work/skyvane.wxs"
# wixl takes the files' sources relative to the folder it runs in.
output="$(cd "$(dirname "$output")" && pwd)/$(basename "$output")"
(cd "$folder" && wixl -a x64 -o "$output" "$work/skyvane.wxs")
