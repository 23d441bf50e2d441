#!/bin/sh
# Makes the MSI of a laid-out program folder with wixl.
# Usage: make-msi.sh FOLDER VERSION OUTPUT.msi
#
# Per-machine install under Program Files\Skyvane; a Start-menu shortcut that
# opens the report; properties, all optional:
#   LISTURL=...      the patch list address, machine-wide
#   PROXY=...        the proxy address (http://[user[:password]@]host[:port]), machine-wide
#   TRAYATLOGON=1    the tray check (skyvane.exe /i) at every user's log-on
# The machine-wide settings live under HKEY_LOCAL_MACHINE\Software\Vandry\Skyvane
# (empty when not given) and are read where a user's own settings have none. A newer MSI replaces an
# older one (same upgrade code); uninstalling removes every file it laid.
set -eu
folder="$(cd "$1" && pwd)"
version="$2"
output="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# One component per file, each with a stable identity derived from its path.
files_xml() {
    dir="$1"
    (cd "$folder/$dir" && find . -maxdepth 1 -type f | sort) | while read -r file; do
        name="${file#./}"
        path="${dir:+$dir/}$name"
        id="f$(printf '%s' "$path" | md5sum | cut -c1-16)"
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
    <MajorUpgrade DowngradeErrorMessage="A newer Skyvane is installed already."/>
    <!-- The tray check at log-on is a feature of its own, off unless asked for. -->
    <CustomAction Id="AddTrayAtLogon" Property="ADDLOCAL" Value="Skyvane,TrayAtLogon"/>
    <InstallExecuteSequence>
      <Custom Action="AddTrayAtLogon" Before="CostInitialize">TRAYATLOGON AND NOT Installed</Custom>
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
          <Component Id="MachineProxy" Guid="5C1D0F55-2E3B-4A7C-9D6F-8B0E1F2A3C42" Win64="yes">
            <RegistryValue Root="HKLM" Key="Software\\Vandry\\Skyvane\\Startup" Name="ProxyUrl"
                           Type="string" Value="[PROXY]" KeyPath="yes"/>
          </Component>
          <Component Id="TrayAtLogon" Guid="7D2E1A66-3F4C-4B8D-8E7A-9C1F2A3B4D53" Win64="yes">
            <RegistryValue Root="HKLM" Key="Software\\Microsoft\\Windows\\CurrentVersion\\Run"
                           Name="Skyvane" Type="string" Value="&quot;[INSTALLDIR]skyvane.exe&quot; /i"
                           KeyPath="yes"/>
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
      <ComponentRef Id="MachineProxy"/>
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
